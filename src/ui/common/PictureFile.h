#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

class QIODevice;

// Reading the pictures parents choose. Camera photos are large (45 megapixels and more), so a
// picture is read at the size it is shown at, never larger; one whose header declares more
// than MaxPixels is refused without being read, so a small file claiming an enormous size (a
// decompression bomb) cannot exhaust the memory.
namespace PictureFile {
// The most pixels a picture may have: a little over the largest camera photos.
constexpr qint64 MaxPixels = 160'000'000;

// The picture in `device`, read scaled down to fit `fit` (at its own size when it fits, or when
// `fit` is empty), upright as its EXIF orientation says. Null when it is not a picture or larger
// than MaxPixels.
QImage read(QIODevice* device, const QSize& fit = QSize());
QImage read(const QByteArray& bytes, const QSize& fit = QSize());

// The thumbnail of the stored photo `file` (PhotoFiles), fitting a square of `side` pixels, upright.
// Made from the photo the first time it is asked for and kept on disk, so that later sessions read a
// few kilobytes instead of decoding the photo again. Null when the photo is gone or no picture.
QImage thumbnail(const QString& file, int side);
} // namespace PictureFile
