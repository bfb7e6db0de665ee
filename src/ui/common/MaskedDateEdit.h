#pragma once

#include <QLineEdit>

// The masked date box: month and day of two optional digits each and a year of two required digits,
// separated by '-' (or '/' on the prenatal dates sheet). Its stored text keeps every place, with a
// blank where nothing was typed: "  -  -  " untouched, "03-15-97" typed.
//
// A box that was edited and lacks a required digit cannot be left: it shows
// "Invalid input value.  Use escape key to abandon changes" and keeps the focus. Escape restores
// the text the box had when it got the focus. A blank box can always be left.
class MaskedDateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskedDateEdit(QWidget* parent = nullptr, QChar separator = QLatin1Char('-'));

    static const QString InvalidMessage;

    QString storedText() const;
    void setStoredText(const QString& text);
    // Blank, or every required place filled.
    bool isLeavable() const;
    // For OK buttons: when the box cannot be left, shows the refusal (once) and takes the focus back.
    bool validate();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refuse();
    bool isBlank() const;

    QChar m_separator;
    QString m_textOnEntry;
    bool m_refusing = false;
};
