#pragma once

#include <QSize>
#include <QString>

// A JPEG as a camera writes it: red on its left half and blue on its right as stored, with EXIF that
// says it is to be turned a quarter clockwise (orientation 6) and was taken on `taken`
// ("YYYY:MM:DD HH:MM:SS"). Written to dir/name; returns its path. Shown upright, it is red on top.
QString cameraPhoto(const QString& dir, const QString& name, const char* taken, QSize stored = QSize(40, 20));
