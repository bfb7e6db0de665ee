#include "ui/diaries/TNewEntry.h"

#include "core/book/EntryStore.h"
#include "ui/common/FormHost.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/Widgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TNewEntry* NewEntry = nullptr;

TNewEntry::TNewEntry(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("NewEntry"));
    setWindowTitle(QStringLiteral("NewEntry"));
}

void TNewEntry::build() {
    m_date = new MaskedDateEdit(this);
    m_date->setObjectName(QStringLiteral("Date"));
    m_date->setMaxLength(8);
    m_title = Widgets::lineEdit(QStringLiteral("Title"), this);
    m_titleTitle = new QLabel(QStringLiteral("Title:"), this);
    m_titleTitle->setObjectName(QStringLiteral("TitleTitle"));
    m_titleTitle->setBuddy(m_title);
    m_remarks = new QPlainTextEdit(this);
    m_remarks->setObjectName(QStringLiteral("Remarks"));
    m_remarks->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_remarks->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_remarks->setTabChangesFocus(true);
    m_remarks->setAccessibleName(QStringLiteral("Remarks"));
    m_remarks->setFixedSize(420, 180);

    auto* dateLabel = new QLabel(QStringLiteral("Date:"), this);
    dateLabel->setBuddy(m_date);
    Widgets::setAccessibleCaption(m_date, QStringLiteral("Date:"));
    Widgets::setAccessibleCaption(m_title, QStringLiteral("Title:"));

    auto* grid = new QGridLayout;
    grid->addWidget(dateLabel, 0, 0, Qt::AlignRight);
    grid->addWidget(m_date, 0, 1, Qt::AlignLeft);
    grid->addWidget(m_titleTitle, 1, 0, Qt::AlignRight);
    grid->addWidget(m_title, 1, 1);
    auto* remarksLabel = new QLabel(QStringLiteral("Remarks:"), this);
    remarksLabel->setBuddy(m_remarks);
    grid->addWidget(remarksLabel, 2, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(m_remarks, 2, 1);

    auto* buttons = Widgets::okCancelHelp(this);
    // A click on Cancel must not first try to leave a half-typed date: Cancel drops it anyway.
    Widgets::button(this, "CancelBtn")->setFocusPolicy(Qt::TabFocus);
    connect(Widgets::button(this, "OKBtn"), &QPushButton::clicked, this, &TNewEntry::OKBtnClick);
    connect(Widgets::button(this, "CancelBtn"), &QPushButton::clicked, this, &TNewEntry::CancelBtnClick);
    connect(Widgets::button(this, "HelpBtn"), &QPushButton::clicked, this, &TNewEntry::HelpBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_date, m_title);
    setTabOrder(m_title, m_remarks);
}

void TNewEntry::prepare(const QString& caption, const QString& titlePrompt) {
    ensureBuilt();
    setWindowTitle(caption);
    m_titleTitle->setText(titlePrompt);
    Widgets::setAccessibleCaption(m_title, titlePrompt);
    m_editing.reset();
}

void TNewEntry::prepareEdit(const QString& caption, const QString& titlePrompt, const DiaryType& entry) {
    prepare(caption, titlePrompt);
    m_editing = entry;
}

int TNewEntry::helpTopicFor(const QString& editOrNewCaption) {
    // Changing an entry is helped by the page that tells how to add one.
    QString caption = editOrNewCaption;
    if (caption.startsWith(QLatin1String("Edit ")))
        caption.replace(0, 4, QStringLiteral("New"));
    if (caption == QLatin1String("New Prenatal Diary Entry") ||
        caption == QLatin1String("New Prenatal Medical Diary Entry"))
        return 50;
    if (caption == QLatin1String("New Doctor Visit"))
        return 52;
    if (caption == QLatin1String("New Childhood Disease"))
        return 51;
    if (caption == QLatin1String("New Journal Entry"))
        return 46;
    if (caption == QLatin1String("New Word Entry"))
        return 54;
    return 0;
}

void TNewEntry::FormActivate() {
    if (m_editing) {
        m_date->setStoredText(m_editing->Date);
        m_title->setText(m_editing->Title);
        m_remarks->setPlainText(m_editing->Text);
    } else {
        m_date->setStoredText(QStringLiteral("  -  -  "));
        m_title->clear();
        m_remarks->clear();
    }
    if (const QScreen* screen = this->screen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
    m_date->setFocus();
    m_date->home(false);
}

void TNewEntry::OKBtnClick() {
    if (!m_date->validate())
        return;
    auto entry = std::make_shared<DiaryType>();
    entry->Date = m_date->storedText();
    entry->Title = m_title->text();
    // The remarks keep the parent's line breaks.
    entry->Text = Widgets::memoText(m_remarks);
    Entries().CurrentEntry = entry;
    Entries().EntryCancelled = false;
    accept();
}

void TNewEntry::CancelBtnClick() {
    Entries().EntryCancelled = true;
    reject();
}

void TNewEntry::HelpBtnClick() {
    const int topic = helpTopicFor(windowTitle());
    if (topic > 0)
        ShowHelpTopic(topic);
}
