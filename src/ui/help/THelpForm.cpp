#include "ui/help/THelpForm.h"
#include "ui/common/Widgets.h"

#include "ui/common/Guard.h"
#include "ui/help/HelpStyle.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

THelpForm* HelpForm = nullptr;

const QString THelpForm::NotFoundTitle = QStringLiteral("Topic not found");

THelpForm::THelpForm(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QString());
}

void THelpForm::build() {
    setAccessibleName(QStringLiteral("Tinyra Help"));
    setWindowIcon(HelpStyle::windowIcon());
    setFixedSize(374, 350);
    setFont(HelpStyle::font(QStringLiteral("System"), 13));

    HelpStyle::heading(this, QStringLiteral("Label1"), QStringLiteral("Label3"), QStringLiteral("Label2"));

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("DBText1"));
    m_title->setFont(HelpStyle::font(QStringLiteral("Arial"), 16, true));
    Widgets::setTextColor(m_title, QColor(QStringLiteral("blue")));
    m_title->setGeometry(8, 56, 358, 22);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("DBMemo1"));
    Widgets::displayMemo(m_text, true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setGeometry(8, 80, 249, 233);
    m_text->setAccessibleName(QStringLiteral("Topic text"));

    auto* helpOnHelp = new QPushButton(QStringLiteral(" "), this);
    helpOnHelp->setObjectName(QStringLiteral("BitBtn1"));
    helpOnHelp->setIcon(HelpStyle::windowIcon());
    helpOnHelp->setGeometry(322, 87, 25, 31);
    helpOnHelp->setAutoDefault(false);
    helpOnHelp->setToolTip(QStringLiteral("How to use help"));
    helpOnHelp->setAccessibleName(QStringLiteral("How to use help"));
    connect(helpOnHelp, &QPushButton::clicked, this, &THelpForm::BitBtn1Click);

    auto* close = HelpStyle::closingButton(QStringLiteral("BitBtn2"), QStringLiteral("Close"), this);
    close->move(270, 279);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &THelpForm::BitBtn2Click);

    setTabOrder(m_text, helpOnHelp);
    setTabOrder(helpOnHelp, close);
}

QString THelpForm::shownTitle() const {
    return m_title->text();
}
QString THelpForm::shownText() const {
    return m_text->toPlainText();
}

void THelpForm::FormActivate() {
    m_helpTable.open(); // no effect when it was left open
    showTopic(TopicNumber);
    m_text->setFocus();
}

void THelpForm::showTopic(int topic) {
    if (m_helpTable.findKey(topic)) {
        m_title->setText(m_helpTable.fieldText(QStringLiteral("Title")));
        m_text->setPlainText(m_helpTable.fieldText(QStringLiteral("Remarks")));
    } else {
        // Showing whatever row the table stands on would answer a question nobody asked.
        m_title->setText(NotFoundTitle);
        m_text->setPlainText(
            QStringLiteral("There is no help topic number ") + QString::number(topic) +
            QStringLiteral(" in this copy of Tinyra, so nothing can be shown for it.\n\n"
                           "Close this window and choose Search from the Help menu (or press the "
                           "\"Tinyra Help\" button at the right end of the tool bar) to find a topic by its "
                           "title. The question-mark button here explains how help works."));
    }
    m_title->setAccessibleName(m_title->text());
    m_text->moveCursor(QTextCursor::Start);
}

void THelpForm::BitBtn1Click() {
    guarded(this, [this] {
        m_helpTable.open();
        showTopic(45); // TopicNumber stays as the caller set it
    });
}

void THelpForm::BitBtn2Click() {
    m_helpTable.close();
    accept();
}
