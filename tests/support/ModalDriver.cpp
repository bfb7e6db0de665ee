#include "support/ModalDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

ModalDriver::ModalDriver(QObject* parent) : QObject(parent) {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
}

ModalDriver::~ModalDriver() {
    m_timer.stop();
}

ModalDriver& ModalDriver::expect(const QString& objectName, Action action, int timeoutMs) {
    m_steps.append({objectName, std::move(action), timeoutMs});
    return *this;
}

void ModalDriver::start() {
    m_running = true;
    m_stepStarted = QDateTime::currentMSecsSinceEpoch();
    m_timer.start();
}

bool ModalDriver::waitFinished(int timeoutMs) {
    (void)QTest::qWaitFor([this] { return finished() || m_failed; }, timeoutMs); // judged just below
    if (!finished() && !m_failed) {
        m_failed = true;
        m_error = QStringLiteral("driver did not finish; next step: %1")
                      .arg(m_next < m_steps.size() ? m_steps[m_next].name : QStringLiteral("(closing)"));
        m_timer.stop();
        closeAllModals();
    }
    return finished();
}

void ModalDriver::poll() {
    if (!m_running || m_failed)
        return;
    QWidget* active = QApplication::activeModalWidget();
    if (m_waitGone) {
        if (active == m_waitGone && m_waitGone->isVisible())
            return;
        m_waitGone.clear();
        m_stepStarted = QDateTime::currentMSecsSinceEpoch();
    }
    if (m_next >= m_steps.size()) {
        m_timer.stop();
        m_running = false;
        return;
    }
    const Step& step = m_steps[m_next];
    if (active && active->isVisible() && active->objectName() == step.name) {
        ++m_next;
        m_waitGone = active;
        // A dialog closed and shown again between two polls must still count as gone.
        active->installEventFilter(this);
        if (auto* box = qobject_cast<QMessageBox*>(active))
            m_messages << box->text();
        m_titles << active->windowTitle();
        // Act from the event loop, not inside this timer: the action may open further modal dialogs.
        QTimer::singleShot(0, active, [action = step.action, w = QPointer<QWidget>(active)] {
            if (w)
                action(w);
        });
        return;
    }
    if (QDateTime::currentMSecsSinceEpoch() - m_stepStarted > step.timeoutMs) {
        m_failed = true;
        m_error = QStringLiteral("step %1 (%2) not reached; active modal widget: %3")
                      .arg(m_next + 1)
                      .arg(step.name, active ? active->objectName() : QStringLiteral("none"));
        m_timer.stop();
        closeAllModals();
    }
}

bool ModalDriver::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched == m_waitGone) {
        watched->removeEventFilter(this);
        m_waitGone.clear();
        m_stepStarted = QDateTime::currentMSecsSinceEpoch();
    }
    return QObject::eventFilter(watched, event);
}

void ModalDriver::answer(QWidget* box, QMessageBox::StandardButton button) {
    auto* mb = qobject_cast<QMessageBox*>(box);
    if (!mb)
        return;
    if (QAbstractButton* b = mb->button(button))
        b->click();
}

void ModalDriver::click(QWidget* w, const QString& nameOrText) {
    auto* b = w->findChild<QAbstractButton*>(nameOrText);
    if (!b) {
        const auto buttons = w->findChildren<QAbstractButton*>();
        for (QAbstractButton* candidate : buttons) {
            QString text = candidate->text();
            text.remove(QLatin1Char('&'));
            if (text == nameOrText) {
                b = candidate;
                break;
            }
        }
    }
    if (b)
        b->click();
    else
        qWarning("ModalDriver: no button %s in %s", qPrintable(nameOrText), qPrintable(w->objectName()));
}

void ModalDriver::type(QWidget* w, const QString& childName, const QString& text) {
    auto* edit = w->findChild<QLineEdit*>(childName);
    if (!edit) {
        qWarning("ModalDriver: no edit box %s in %s", qPrintable(childName), qPrintable(w->objectName()));
        return;
    }
    edit->setFocus();
    edit->selectAll();
    edit->del();
    // QTest types Latin-1 only; other characters (and surrogate pairs) arrive as key events with text.
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            QTest::keyClick(edit, c.toLatin1());
            continue;
        }
        QString piece(c);
        if (c.isHighSurrogate() && i + 1 < text.size())
            piece += text[++i];
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, piece);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, piece);
        QApplication::sendEvent(edit, &press);
        QApplication::sendEvent(edit, &release);
    }
}

void ModalDriver::closeAllModals() {
    for (int i = 0; i < 50; ++i) {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            return;
        if (auto* d = qobject_cast<QDialog*>(w))
            d->reject();
        else
            w->close();
    }
}
