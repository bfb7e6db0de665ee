#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

// The program's own drawings and the tool-bar glyphs.
namespace Artwork {
// The main window's picture: a nursery under a night sky, 669 x 561.
QPixmap mainPicture();
// A glyph from the bundled outline icons (":/assets/third_party/tabler/<name>.svg"), drawn in `color`.
QIcon glyph(const QString& name, const QColor& color, int size = 40);
} // namespace Artwork
