#pragma once

#include <QString>

// The day a photo was taken, as its camera wrote it (EXIF DateTimeOriginal, read with libexif).
namespace PhotoTaken {
// The day as the diaries write dates ("MM-DD-YY"), or an empty string when the file holds none.
QString dateOf(const QString& path);
} // namespace PhotoTaken
