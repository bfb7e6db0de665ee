#include "app/TDialog.h"

#include "app/Guard.h"

#include <QShowEvent>

TDialog::TDialog(QWidget* parent) : QDialog(parent) {}

void TDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded(this, [this] { FormActivate(); });
}
