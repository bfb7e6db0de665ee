#include "ui/common/TDialog.h"

#include "ui/common/Guard.h"
#include "ui/common/ReplaceablePicture.h"
#include "ui/common/Widgets.h"

#include <QShowEvent>

namespace {
// A form shown while the desktop changes to a dark scheme keeps its labels readable too.
class FollowsPalette : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The form hears of the change before its labels take the new palette: it looks once they have.
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
            QMetaObject::invokeMethod(
                watched, [form = static_cast<QWidget*>(watched)] { Widgets::keepReadable(form); },
                Qt::QueuedConnection);
        return false;
    }
};
} // namespace

TDialog::TDialog(QWidget* parent) : QDialog(parent) {}

void TDialog::ensureBuilt() {
    if (m_built)
        return;
    m_built = true;
    build();
    installEventFilter(new FollowsPalette(this));
}

void TDialog::setVisible(bool visible) {
    if (visible)
        ensureBuilt();
    QDialog::setVisible(visible);
}

void TDialog::done(int result) {
    for (ReplaceablePicture* picture : findChildren<ReplaceablePicture*>()) {
        if (result != QDialog::Accepted) {
            picture->dropChoice();
        } else if (!picture->keepChoice()) {
            activateWindow();
            return;
        }
    }
    QDialog::done(result);
}

bool TDialog::acceptWhenStored(const std::function<void()>& store) {
    if (!guarded(this, store)) {
        activateWindow(); // back to the form, to try again or to cancel
        return false;
    }
    accept();
    return true;
}

void TDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        guarded(this, [this] { FormActivate(); });
        Widgets::keepReadable(this);
    }
}
