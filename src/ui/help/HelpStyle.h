#pragma once

#include <QFont>
#include <QIcon>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// The look shared by the help viewer, the topic search, the about box and the readme viewer.
namespace HelpStyle {
// A font of `family` at `pixels` pixels.
QFont font(const QString& family, int pixels, bool bold = false);
// The heading "Tinyra Help" with its double rule under it, at the top left of `parent`; the heading
// and the two rule labels get the object names given.
QLabel* heading(QWidget* parent, const QString& headingName, const QString& rule1Name,
                const QString& rule2Name);
// A button of these screens; "Close" and "Ok" with their glyphs, as every form shows them.
QPushButton* closingButton(const QString& name, const QString& caption, QWidget* parent);
// The window icon of the help screens: a question mark in a blue disc.
QIcon windowIcon();
} // namespace HelpStyle
