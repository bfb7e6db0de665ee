#include "ui/help/TSearch.h"

#include "core/help/HelpTopics.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Widgets.h"
#include "ui/help/HelpStyle.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TSearch* Search = nullptr;

TSearch::TSearch(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Search"));
    setWindowTitle(QStringLiteral("Tinyra Help - Search"));
}

void TSearch::build() {
    setWindowIcon(HelpStyle::windowIcon());
    setFixedSize(356, 219);
    setFont(HelpStyle::font(QStringLiteral("System"), 13));

    HelpStyle::heading(this, QStringLiteral("Label2"), QStringLiteral("Label3"), QStringLiteral("Label4"));

    auto* caption = new QLabel(QStringLiteral("&Topic:"), this);
    caption->setObjectName(QStringLiteral("Label1"));
    caption->setFont(HelpStyle::font(QStringLiteral("Arial"), 16, true));
    Widgets::setTextColor(caption, QColor(QStringLiteral("blue")));
    caption->move(8, 56);
    caption->adjustSize();

    m_topic = new QComboBox(this);
    m_topic->setObjectName(QStringLiteral("Topic"));
    m_topic->setEditable(true);
    m_topic->setInsertPolicy(QComboBox::NoInsert);
    m_topic->setMaxVisibleItems(15);
    m_topic->setGeometry(8, 80, 249, 24);
    m_topic->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    m_topic->completer()->setFilterMode(Qt::MatchContains);
    m_topic->completer()->setCompletionMode(QCompleter::PopupCompletion);
    caption->setBuddy(m_topic);
    Widgets::setAccessibleCaption(m_topic, QStringLiteral("Topic:"));
    m_topic->setToolTip(QStringLiteral("Pick a title, or type part of one, to read that help topic"));
    // Picking an entry, by mouse or keyboard, opens the viewer at once.
    connect(m_topic, &QComboBox::activated, this, &TSearch::TopicClick);
    // Enter in the box opens what was typed instead of pressing the default Close button, wherever
    // the key arrives: the box (which has the focus), its edit line, or the list of titles that
    // contain what is typed (installed after the completer's own filter, so it sees Enter first).
    m_topic->installEventFilter(this);
    m_topic->lineEdit()->installEventFilter(this);
    m_topic->completer()->popup()->installEventFilter(this);

    m_noMatch = new QLabel(this);
    m_noMatch->setObjectName(QStringLiteral("NoMatch"));
    m_noMatch->setTextFormat(Qt::PlainText);
    m_noMatch->setWordWrap(true);
    m_noMatch->setGeometry(8, 106, 340, 36);
    connect(m_topic, &QComboBox::editTextChanged, m_noMatch, [this] {
        m_noMatch->clear();
        m_topic->setAccessibleDescription(QString());
    });

    auto* close = HelpStyle::closingButton(QStringLiteral("BitBtn2"), QStringLiteral("Close"), this);
    close->move(246, 146);
    close->setDefault(true);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &TSearch::BitBtn2Click);
}

void TSearch::FormActivate() {
    m_topic->clear();
    m_topic->setEditText(QString());
    m_topic->addItems(HelpTopics::searchTitles());
    m_topic->setCurrentIndex(-1);
    m_topic->setEditText(QString());
    m_topic->setFocus();
}

void TSearch::TopicClick() {
    int topic = HelpTopics::HelpOnHelp;
    if (!guarded(this, [&] { topic = HelpTopics::topicForTitle(m_topic->currentText()); }))
        return;
    ShowHelpTopic(topic);
    m_topic->setFocus();
}

bool TSearch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return TDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return TDialog::eventFilter(watched, event);
    QAbstractItemView* titles = m_topic->completer()->popup();
    if (watched == titles) {
        // A title chosen in the list is opened; without one, what is typed.
        const QModelIndex chosen = titles->currentIndex();
        titles->hide();
        if (chosen.isValid())
            m_topic->setEditText(chosen.data().toString());
        if (!m_topic->currentText().trimmed().isEmpty())
            openTyped();
        return true;
    }
    if ((watched == m_topic || watched == m_topic->lineEdit()) &&
        !m_topic->currentText().trimmed().isEmpty()) {
        openTyped();
        return true;
    }
    return TDialog::eventFilter(watched, event);
}

void TSearch::openTyped() {
    const QString typed = m_topic->currentText().trimmed();
    int index = m_topic->findText(typed, Qt::MatchFixedString); // the whole title, in any case
    if (index < 0)
        index = m_topic->findText(typed, Qt::MatchContains);
    if (index < 0) {
        // Nothing to open: the parent is told, and may type again.
        const QString none = QStringLiteral("No help topic has \"%1\" in its title.").arg(typed);
        m_noMatch->setText(none);
        m_topic->setAccessibleDescription(none);
        m_topic->lineEdit()->selectAll();
        return;
    }
    m_topic->setCurrentIndex(index); // the box then holds the title exactly
    TopicClick();
}

void TSearch::BitBtn2Click() {
    accept();
}
