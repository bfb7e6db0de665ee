#include "core/diaries/PhotoTaken.h"

#include <QDate>
#include <QFile>

#include <libexif/exif-data.h>

#include <memory>

namespace {
struct ExifFree {
    void operator()(ExifData* d) const { exif_data_unref(d); }
};
} // namespace

namespace PhotoTaken {
QString dateOf(const QString& path) {
    // The EXIF block sits at the start of the file: the first 256 KB hold it.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray head = file.read(256 * 1024);
    std::unique_ptr<ExifData, ExifFree> data(exif_data_new_from_data(
        reinterpret_cast<const unsigned char*>(head.constData()), unsigned(head.size())));
    if (!data)
        return QString();
    ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_EXIF], EXIF_TAG_DATE_TIME_ORIGINAL);
    if (!entry)
        entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_DATE_TIME);
    if (!entry || entry->format != EXIF_FORMAT_ASCII || entry->size < 10)
        return QString();
    // "YYYY:MM:DD HH:MM:SS"
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(entry->data), 10);
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy:MM:dd"));
    return day.isValid() ? day.toString(QStringLiteral("MM-dd-yy")) : QString();
}
} // namespace PhotoTaken
