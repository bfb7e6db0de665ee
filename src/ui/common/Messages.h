#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The program's message boxes. Each box carries an objectName so tests can find it:
// "InformationBox", "ConfirmBox", "PlainBox" and "ErrorReport".
namespace Messages {
extern const QString ApplicationTitle; // "Tinyra 4"

// Information icon, caption "Information", one button "OK".
void information(QWidget* parent, const QString& text);
// Question icon, caption "Confirm", buttons "Yes" and "No"; true for Yes.
bool confirm(QWidget* parent, const QString& text);
// The same box for a question whose Yes destroys something (a record, a child): No is the default
// button, so Enter, or a key meant for the form, never deletes.
bool confirmDestructive(QWidget* parent, const QString& text);
// No icon, the application title as caption.
QMessageBox::StandardButton plain(QWidget* parent, const QString& text,
                                  QMessageBox::StandardButtons buttons = QMessageBox::Ok);
// The generic error report: the store's message; the command in progress has stopped.
void errorReport(QWidget* parent, const QString& text);
} // namespace Messages
