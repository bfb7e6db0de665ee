#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

#include <functional>

class QWidget;

// The program's own drawings and the tool-bar glyphs.
namespace Artwork {
// The main window's picture: a nursery under a night sky, 669 x 561.
QPixmap mainPicture();
// The same, drawn now.
QPixmap drawMainPicture();
// The Doctor form's picture: a stethoscope and a heart on a soft round ground, `side` x `side` units
// drawn at the pixel ratio `ratio` (the screen's, so it is crisp at any scaling).
QPixmap doctorPicture(int side, qreal ratio);
// The Growth form's picture: a child measured against a growth ruler, drawn like doctorPicture().
QPixmap growthPicture(int side, qreal ratio);
// A picture the program draws itself (the splash's stork, the main window's nursery), drawn once per
// build of the program: the first start draws it and keeps the pixels in the user's cache folder,
// later starts read them back, which is several times quicker than drawing. `name` tells the
// pictures apart; a cache that cannot be read or written only means the picture is drawn.
QPixmap drawnOnce(const QString& name, const std::function<QPixmap()>& draw);
// A glyph from the bundled outline icons (":/assets/third_party/tabler/<name>.svg"), drawn in `color`
// from its outlines at the size and pixel ratio it is shown (crisp at any scaling), grey when disabled.
QIcon glyph(const QString& name, const QColor& color);
// The same glyph as a picture of `size` x `size` pixels at the pixel ratio of the screen `shownOn` is on.
QPixmap glyphPicture(const QString& name, const QColor& color, int size, const QWidget* shownOn = nullptr);
} // namespace Artwork
