#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// The Earth seen from space, drawn on a starry sky: Africa and Europe face the viewer.
QPixmap EarthPicture(const QSize& size);
// A country's flag (":/assets/third_party/flag-icons/<file>.svg") fitted into `size` without
// distortion; an empty picture when the flag is missing.
QPixmap FlagPicture(const QString& file, const QSize& size);
