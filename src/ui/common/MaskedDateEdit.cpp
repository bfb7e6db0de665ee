#include "ui/common/MaskedDateEdit.h"

#include "ui/common/Messages.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

const QString MaskedDateEdit::InvalidMessage =
    QStringLiteral("Invalid input value.  Use escape key to abandon changes");

MaskedDateEdit::MaskedDateEdit(QWidget* parent, QChar separator) : QLineEdit(parent), m_separator(separator) {
    // In Qt's masks '0' is an optional digit and '9' a required one.
    setInputMask(QStringLiteral("00") + separator + QStringLiteral("00") + separator +
                 QStringLiteral("99;_"));
    m_textOnEntry = storedText();
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("00-00-00")) + 16;
    setMinimumWidth(width);
}

QString MaskedDateEdit::storedText() const {
    QString text = displayText();
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    return text;
}

void MaskedDateEdit::setStoredText(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char(' '), QLatin1Char('_'));
    setText(t);
    m_textOnEntry = storedText();
    setModified(false);
}

bool MaskedDateEdit::isBlank() const {
    for (QChar c : storedText())
        if (c != QLatin1Char(' ') && c != m_separator)
            return false;
    return true;
}

bool MaskedDateEdit::isLeavable() const {
    return isBlank() || hasAcceptableInput();
}

bool MaskedDateEdit::validate() {
    if (isLeavable())
        return true;
    if (!m_refusing) {
        m_refusing = true;
        refuse();
    }
    return false;
}

void MaskedDateEdit::refuse() {
    Messages::information(this, InvalidMessage);
    m_refusing = false;
    // Offscreen no window is active after the box closes; bring ours back before taking the focus.
    window()->activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void MaskedDateEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!m_refusing && event->reason() != Qt::ActiveWindowFocusReason &&
        event->reason() != Qt::PopupFocusReason)
        m_textOnEntry = storedText();
}

void MaskedDateEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    const auto reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || m_refusing ||
        isLeavable() || !isVisible())
        return;
    m_refusing = true;
    QTimer::singleShot(0, this, [this] { refuse(); });
}

void MaskedDateEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && storedText() != m_textOnEntry) {
        setStoredText(m_textOnEntry);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
