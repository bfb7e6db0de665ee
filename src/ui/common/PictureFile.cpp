#include "ui/common/PictureFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

namespace PictureFile {
namespace {
// The reader's allocation limit (in megabytes) must let through what MaxPixels allows: a PNG is
// decoded at full size before it is scaled, at four bytes a pixel.
void allowLargestPicture() {
    const int needed = int(MaxPixels * 4 / (1024 * 1024)) + 1;
    if (QImageReader::allocationLimit() < needed)
        QImageReader::setAllocationLimit(needed);
}
} // namespace

QImage read(QIODevice* device, const QSize& fit) {
    QImageReader reader(device);
    reader.setAutoTransform(true);
    const QSize declared = reader.size();
    if (declared.isValid()) {
        if (qint64(declared.width()) * declared.height() > MaxPixels)
            return QImage();
        if (!fit.isEmpty() && (declared.width() > fit.width() || declared.height() > fit.height()))
            reader.setScaledSize(declared.scaled(fit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        allowLargestPicture();
    }
    return reader.read(); // a format that cannot tell its size is read under the default limit
}

QImage read(const QByteArray& bytes, const QSize& fit) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return QImage();
    return read(&buffer, fit);
}

bool toKeep(const QByteArray& bytes, QByteArray* kept, QImage* image) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (bytes.isEmpty() || !buffer.open(QIODevice::ReadOnly))
        return false;
    QByteArray format;
    {
        QImageReader probe(&buffer);
        format = probe.format();
    }
    buffer.seek(0);
    const QSize keptBox(KeptSide, KeptSide);
    *image = read(&buffer, keptBox);
    if (image->isNull())
        return false;
    if (image->width() > KeptSide || image->height() > KeptSide) // read at its own size
        *image = image->scaled(keptBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    buffer.seek(0);
    const QSize declared = QImageReader(&buffer).size();
    if (declared.isValid() && declared.width() <= KeptSide && declared.height() <= KeptSide) {
        *kept = bytes; // the file as it is
        return true;
    }
    kept->clear();
    QBuffer out(kept);
    out.open(QIODevice::WriteOnly);
    const bool photo = format == "jpeg" || format == "jpg";
    QImageWriter writer(&out, photo ? QByteArrayLiteral("jpeg") : QByteArrayLiteral("png"));
    if (photo)
        writer.setQuality(90);
    return writer.write(*image);
}
} // namespace PictureFile
