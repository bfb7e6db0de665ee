#include "ui/common/TDialog.h"

#include "ui/common/Guard.h"

#include <QShowEvent>

TDialog::TDialog(QWidget* parent) : QDialog(parent) {}

void TDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded(this, [this] { FormActivate(); });
}
