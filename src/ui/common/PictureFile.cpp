#include "ui/common/PictureFile.h"

#include "core/store/PhotoFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

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

QImage thumbnail(const QString& file, int side) {
    for (const char* kind : {"jpg", "png"}) {
        QImage kept(PhotoFiles::thumbnailPath(file, side, QLatin1String(kind)));
        if (!kept.isNull() && kept.width() <= side && kept.height() <= side)
            return kept;
    }
    QFile photo(PhotoFiles::pathOf(file));
    if (!PhotoFiles::isPhotoName(file) || !photo.open(QIODevice::ReadOnly))
        return QImage();
    const QImage image = read(&photo, QSize(side, side));
    if (image.isNull())
        return image;
    // Kept as a JPEG unless it has see-through parts. A thumbnail that cannot be written is made
    // again next time: the photo is all that matters.
    const bool clear = image.hasAlphaChannel();
    const QString path =
        PhotoFiles::thumbnailPath(file, side, clear ? QStringLiteral("png") : QStringLiteral("jpg"));
    if (QDir().mkpath(QFileInfo(path).absolutePath())) {
        QSaveFile out(path);
        if (out.open(QIODevice::WriteOnly)) {
            QImageWriter writer(&out, clear ? QByteArrayLiteral("png") : QByteArrayLiteral("jpeg"));
            writer.setQuality(88);
            if (writer.write(image))
                out.commit();
            else
                out.cancelWriting();
        }
    }
    return image;
}
} // namespace PictureFile
