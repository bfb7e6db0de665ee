#pragma once

#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

class QPainter;

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

// The family tree as the family form shows it: the tree picture (familyTreeSize()) with the child's
// name at the top and each relative's name (slots 1-14) at its place, in its generation's colour.
QSize familyTreeSize();
QRect familyNameRect(int slot);
QColor familyNameColor(int slot);
int familyNamePixels(int slot);
// The same, painted into `target` (on a page, for instance).
void paintFamilyTree(QPainter& p, const QRectF& target, const QString& child, const QStringList& names);

// The teeth form's two arches: the gums behind them, and the top left corner of each tooth's button
// (slots 1-20) in the form's coordinates.
void paintGums(QPainter& p);
QPoint toothPlace(int slot);
QSize toothSize();
// The arches with the twenty numbered teeth, a dated tooth filled, fitted into `target`
// (teethChartSize() is the drawing's own size).
QSize teethChartSize();
void paintTeethChart(QPainter& p, const QRectF& target, const QVector<bool>& dated);
} // namespace MilestoneArt
