#include "ui/common/Messages.h"

#include <QPushButton>

namespace {
QMessageBox::StandardButton run(QWidget* parent, QMessageBox::Icon icon, const QString& name,
                                const QString& caption, const QString& text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setObjectName(name);
    box.setDefaultButton(defaultButton);
    // Buttons keep the program's own wording whatever the desktop's language.
    if (auto* b = box.button(QMessageBox::Ok))
        b->setText(QStringLiteral("OK"));
    if (auto* b = box.button(QMessageBox::Yes))
        b->setText(QStringLiteral("&Yes"));
    if (auto* b = box.button(QMessageBox::No))
        b->setText(QStringLiteral("&No"));
    return QMessageBox::StandardButton(box.exec());
}
} // namespace

namespace Messages {
const QString ApplicationTitle = QStringLiteral("Tinyra 4");

void information(QWidget* parent, const QString& text) {
    run(parent, QMessageBox::Information, QStringLiteral("InformationBox"), QStringLiteral("Information"),
        text, QMessageBox::Ok, QMessageBox::Ok);
}

bool confirm(QWidget* parent, const QString& text) {
    return run(parent, QMessageBox::Question, QStringLiteral("ConfirmBox"), QStringLiteral("Confirm"), text,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

bool confirmDestructive(QWidget* parent, const QString& text) {
    return run(parent, QMessageBox::Question, QStringLiteral("ConfirmBox"), QStringLiteral("Confirm"), text,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

QMessageBox::StandardButton plain(QWidget* parent, const QString& text,
                                  QMessageBox::StandardButtons buttons) {
    const auto def = buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    return run(parent, QMessageBox::NoIcon, QStringLiteral("PlainBox"), ApplicationTitle, text, buttons, def);
}

void errorReport(QWidget* parent, const QString& text) {
    run(parent, QMessageBox::Critical, QStringLiteral("ErrorReport"), ApplicationTitle, text, QMessageBox::Ok,
        QMessageBox::Ok);
}
} // namespace Messages
