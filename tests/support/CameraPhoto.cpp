#include "support/CameraPhoto.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

#include <libexif/exif-data.h>

#include <cstdlib>
#include <cstring>

QString cameraPhoto(const QString& dir, const QString& name, const char* taken, QSize stored) {
    QImage image(stored, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < stored.height(); ++y)
        for (int x = 0; x < stored.width() / 2; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    ExifData* exif = exif_data_new();
    exif_data_set_byte_order(exif, EXIF_BYTE_ORDER_INTEL);
    ExifEntry* orientation = exif_entry_new();
    exif_content_add_entry(exif->ifd[EXIF_IFD_0], orientation);
    exif_entry_initialize(orientation, EXIF_TAG_ORIENTATION);
    exif_set_short(orientation->data, EXIF_BYTE_ORDER_INTEL, 6);
    ExifEntry* date = exif_entry_new();
    exif_content_add_entry(exif->ifd[EXIF_IFD_EXIF], date);
    exif_entry_initialize(date, EXIF_TAG_DATE_TIME_ORIGINAL);
    std::memcpy(date->data, taken, qMin<size_t>(date->size, std::strlen(taken) + 1));
    unsigned char* block = nullptr;
    unsigned int size = 0;
    exif_data_save_data(exif, &block, &size);
    QByteArray app1("\xff\xe1");
    app1.append(char((size + 2) >> 8)).append(char((size + 2) & 0xff));
    app1.append(reinterpret_cast<const char*>(block), int(size));
    std::free(block);
    exif_entry_unref(orientation);
    exif_entry_unref(date);
    exif_data_unref(exif);
    jpeg.insert(2, app1); // right after the start of image
    const QString path = dir + "/" + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(jpeg) != jpeg.size())
        return QString();
    return path;
}
