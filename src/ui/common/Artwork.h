#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

#include <functional>

// The program's own drawings and the tool-bar glyphs.
namespace Artwork {
// The main window's picture: a nursery under a night sky, 669 x 561.
QPixmap mainPicture();
// The same, drawn now.
QPixmap drawMainPicture();
// A picture the program draws itself (the splash's stork, the main window's nursery), drawn once per
// build of the program: the first start draws it and keeps the pixels in the user's cache folder,
// later starts read them back, which is several times quicker than drawing. `name` tells the
// pictures apart; a cache that cannot be read or written only means the picture is drawn.
QPixmap drawnOnce(const QString& name, const std::function<QPixmap()>& draw);
// A glyph from the bundled outline icons (":/assets/third_party/tabler/<name>.svg"), drawn in `color`.
QIcon glyph(const QString& name, const QColor& color, int size = 40);
} // namespace Artwork
