#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

class QLabel;
class QToolButton;
class QWidget;

// Small builders shared by the milestone screens.
namespace MilestoneWidgets {
extern const QColor Blue;
// A label in Arial of `px` pixels, in `color`, named `name` when one is given.
QLabel* label(const QString& text, QWidget* parent, const QColor& color = Blue, int px = 13,
              bool bold = false, const QString& name = QString());
// A picture button: the hint is its tooltip and its accessible name.
QToolButton* glyphButton(const QString& name, const QString& hint, const QIcon& icon, QWidget* parent);
} // namespace MilestoneWidgets

namespace MilestoneWidgets {
// A green round "add" glyph.
QIcon addIcon();
} // namespace MilestoneWidgets
