#pragma once

#include <QPixmap>
#include <QString>

// The milestone screens' own drawings, painted in code.
namespace MilestoneArt {
// A bare tree on an olive ground, with room for the fourteen names of the family tree.
QPixmap familyTree(const QSize& size);
// The birthday page's two pictures: 1 a cake with candles, 2 balloons and a present.
QPixmap birthday(int picture, const QSize& size);
// A picture for the skills pages by theme: "bath", "rattle", "highchair", "swing", "tricycle",
// "slide", "sandbox", and the small decorations "ball", "blocks", "cards", "dice", "kite", "puzzle",
// "peekaboo", "book", "abc", "pencil", "house", "phone".
QPixmap scene(const QString& theme, const QSize& size);
} // namespace MilestoneArt
