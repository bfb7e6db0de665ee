#pragma once

#include <QColor>
#include <QIcon>
#include <QString>
#include <QStyle>

#include <functional>

class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QWidget;

// Small builders shared by the forms, so every form names, sizes and labels its controls alike.
namespace Widgets {
// The icon of a standard dialog action (ok, cancel, close, help, delete, add, previous, next, open):
// the tool bar's line glyphs, drawn at any scaling. Made once per run: every form asks for the same few.
QIcon standardIcon(QStyle::StandardPixmap which);
// An edit box named `name`; `maxLength` is the width of the field it is stored in (0: unbounded).
QLineEdit* lineEdit(const QString& name, QWidget* parent, int maxLength = 0);
// An edit box for a name field (50 characters).
QLineEdit* nameEdit(const QString& name, QWidget* parent);
// A box with a maximum length cuts what is typed or pasted at that length. Where the cut falls inside
// a character written with two UTF-16 units (most emoji), the orphaned half is dropped, so the box
// never shows, and the store never keeps, half a character. lineEdit() does this for its boxes.
void keepCharactersWhole(QLineEdit* edit);
// Enter (or Return) in `edit` runs `action` and goes no further: the form's default button is not
// pressed, so a box that adds a line keeps the form open.
void onEnter(QLineEdit* edit, std::function<void()> action);
// Makes `memo` a display: read-only, without a caret (the mouse selects, the arrow and page keys
// scroll), on the window's colour so it does not look like a box to type in. Tab moves on from it;
// unless `reachedByTab`, Tab also passes it by (for a list a box beside it offers as well).
void displayMemo(QPlainTextEdit* memo, bool reachedByTab);
// The text of a memo as the parent typed it, line breaks as '\n'. Unlike toPlainText() it keeps
// non-breaking spaces (typed with AltGr+Space on many keyboards) instead of turning them into spaces.
QString memoText(const QPlainTextEdit* memo);
// A right-aligned caption with the field beside it; the field takes the caption as its accessible name.
QLabel* addRow(QFormLayout* form, const QString& caption, QWidget* field);
// Gives `field` the accessible name of `caption` ("First Name:" becomes "First Name").
void setAccessibleCaption(QWidget* field, const QString& caption);
// A label that shows a stored value reads as that value, with the caption as its description; the
// caption's own label, when given, names it as its buddy. (A name of "Title" would hide "Park day".)
void showsValue(QLabel* value, const QString& caption, QLabel* captionLabel = nullptr);
// Colours a widget's text through its palette (cheaper than a style sheet, which makes every
// widget under it slow to build and to paint).
void setTextColor(QWidget* w, const QColor& color);
// Gives a form's big title the program's one title style: Arial 24 pixels, deep blue (light blue on
// a dark palette, so it never sinks into the window). A form whose title has a size or weight of its
// own (the skills' 21 pixels, the holiday's bold) passes them; the face and the colour stay.
void styleTitle(QLabel* title, int pixels = 24, bool bold = false, bool italic = false);
// A form's big title in that style, named `name` when given.
QLabel* formTitle(const QString& text, QWidget* parent, const QString& name = QString(), int pixels = 24,
                  bool bold = false, bool italic = false);
// Whether the palette's window colour is dark (a dark desktop scheme).
bool darkPalette(const QWidget* w);
// The contrast of two colours (1 to 21), as the accessibility guidelines count it.
double contrast(const QColor& a, const QColor& b);
// `ink` lightened (on a dark `ground`) or darkened (on a light one), its hue kept, until its contrast
// with `ground` is at least `wanted` (or it is white or black).
QColor standingOut(QColor ink, const QColor& ground, double wanted);
// Under a dark palette, the labels, tab bars and buttons of `root` that keep a colour of their own (the
// forms' blue captions and tab texts, green Ok buttons) and would nearly vanish on their background are
// lightened, their hue kept, until they read clearly. Under a light palette nothing changes. Every form does
// this at each showing.
void keepReadable(QWidget* root);
// The frame "Your Child's Name" with the FirstName, MiddleName and LastName boxes (50 characters
// each, the width of their fields), as the first-run and new-child dialogs show it.
QGroupBox* childNameGroup(QWidget* parent, QLineEdit** first, QLineEdit** middle, QLineEdit** last);
// A push button named `name`.
QPushButton* pushButton(const QString& name, const QString& caption, QWidget* parent);
// A help button named `name` that shows help topic `topic`.
QPushButton* helpButton(const QString& name, int topic, QWidget* parent);
// The row of "Ok" (OKBtn, default), "Cancel" (CancelBtn) and, when wanted, "Help" (HelpBtn), laid
// out as buttonRow() lays them.
QWidget* okCancelHelp(QWidget* dialog, bool withHelp = true);
// "Ok" named `name`, the default button, and "Cancel" named `name`, with their glyphs.
QPushButton* okButton(const QString& name, QWidget* parent);
QPushButton* cancelButton(const QString& name, QWidget* parent);
// "Close" named `name`, the default button, with the close glyph.
QPushButton* closeButton(const QString& name, QWidget* parent);
// The one button row of every form: Help (when given) at the left with the title (when given) after
// it, the buttons that close the form (Ok and Cancel, or Close) at the right.
QWidget* buttonRow(QWidget* parent, QWidget* title, QPushButton* help, const QList<QPushButton*>& closing);
// Under a tabbed form's pages, outside them: the row of the page showing (`rows[i]` for page i, made
// by buttonRow()) and then the form's own `closing` buttons, so Help, Ok and Cancel or Close stand in
// one place whichever page shows.
QWidget* pageRows(QTabWidget* pages, const QList<QWidget*>& rows, const QList<QPushButton*>& closing = {});
// The push button of `parent` with this object name (null when there is none).
QPushButton* button(QWidget* parent, const char* name);
} // namespace Widgets
