#include "ui/common/TDialog.h"

#include "ui/common/Guard.h"

#include <QShowEvent>

TDialog::TDialog(QWidget* parent) : QDialog(parent) {}

void TDialog::ensureBuilt() {
    if (m_built)
        return;
    m_built = true;
    build();
}

void TDialog::setVisible(bool visible) {
    if (visible)
        ensureBuilt();
    QDialog::setVisible(visible);
}

void TDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded(this, [this] { FormActivate(); });
}
