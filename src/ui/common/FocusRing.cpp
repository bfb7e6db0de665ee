#include "ui/common/FocusRing.h"

#include "ui/common/Widgets.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QRadioButton>
#include <QTabBar>

#include <algorithm>

namespace {
// The control that shows the focus of `focus`: the combo box or spin box around an edit, the list or
// memo around its viewport, else the widget itself. Windows and menus show their own.
QWidget* ringTarget(QWidget* focus) {
    if (!focus || focus->isWindow() || qobject_cast<QMenu*>(focus) || qobject_cast<QMenuBar*>(focus))
        return nullptr;
    QWidget* target = focus;
    for (QWidget* up = target->parentWidget(); up && !up->isWindow(); up = up->parentWidget()) {
        const auto* area = qobject_cast<QAbstractScrollArea*>(up);
        if (!qobject_cast<QComboBox*>(up) && !qobject_cast<QAbstractSpinBox*>(up) &&
            !(area && area->viewport() == target))
            break;
        target = up;
    }
    return target;
}

// Draws the ring over the control after it has painted itself, and over the viewport of a list or
// memo (which covers all of it but its frame).
class Follower : public QObject {
public:
    explicit Follower(QObject* parent) : QObject(parent) {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
        follow(QApplication::focusWidget());
    }
    QWidget* target() const { return m_target; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || m_painting || !watched->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(watched);
        // The control paints first, through every other filter it has (a list's viewport is painted
        // by its list's filter), and the ring goes over its edge.
        m_painting = true;
        QCoreApplication::sendEvent(w, event);
        m_painting = false;
        QPainter p(w);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(FocusRing::colour(m_target ? m_target.data() : w), 2));
        p.setBrush(Qt::NoBrush);
        const QRect ring = w == m_target ? FocusRing::ringRect(w) : w->rect();
        p.drawRoundedRect(QRectF(ring).adjusted(1, 1, -1, -1), 3, 3);
        return true;
    }

private:
    void follow(QWidget* focus) {
        QWidget* target = ringTarget(focus);
        if (target == m_target)
            return;
        for (QWidget* w : {m_target.data(), m_viewport.data()})
            if (w) {
                w->removeEventFilter(this);
                w->update();
            }
        m_target = target;
        const auto* area = qobject_cast<QAbstractScrollArea*>(target);
        m_viewport = area ? area->viewport() : nullptr;
        for (QWidget* w : {m_target.data(), m_viewport.data()})
            if (w) {
                w->installEventFilter(this);
                w->update();
            }
    }

    QPointer<QWidget> m_target;
    QPointer<QWidget> m_viewport;
    bool m_painting = false;
};

QPointer<Follower>& follower() {
    static QPointer<Follower> f;
    return f;
}
} // namespace

namespace FocusRing {
void install() {
    if (!follower())
        follower() = new Follower(qApp);
}

QWidget* ringed() {
    return follower() ? follower()->target() : nullptr;
}

QRect ringRect(const QWidget* w) {
    if (const auto* tabs = qobject_cast<const QTabBar*>(w))
        return tabs->currentIndex() >= 0 ? tabs->tabRect(tabs->currentIndex()) : w->rect();
    if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
        // Round the box and its caption, not the empty width a layout may have given it.
        QRect r = w->rect();
        r.setWidth(std::min(r.width(), w->sizeHint().width() + 4));
        return QStyle::visualRect(w->layoutDirection(), w->rect(), r);
    }
    return w->rect();
}

QColor colour(const QWidget* w) {
    const QPalette& pal = w->palette();
    QColor ink = pal.color(QPalette::Active, QPalette::Highlight);
    ink.setAlphaF(1.0f);
    // 3 to 1, what a control's outline needs to be seen
    return Widgets::standingOut(ink, pal.color(QPalette::Active, QPalette::Window), 3.0);
}
} // namespace FocusRing
