#include "ui/diaries/TWords.h"

#include "ui/common/FormHost.h"
#include "ui/common/Widgets.h"
#include "ui/diaries/DiaryEditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

TWords* Words = nullptr;

TWords::TWords(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Words"));
    setWindowTitle(QStringLiteral("Words"));
}

void TWords::build() {
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("TabbedNotebook1"));

    // First Word
    auto* first = new QWidget(this);
    m_mainTitle = new QLabel(QStringLiteral("Child's First Word"), first);
    m_mainTitle->setObjectName(QStringLiteral("MainTitle"));
    m_mainTitle->setTextFormat(Qt::PlainText); // the child's name as typed, never as markup
    m_mainTitle->setAlignment(Qt::AlignCenter);
    Widgets::styleTitle(m_mainTitle);
    m_firstWord = new QLabel(first);
    m_firstWord->setObjectName(QStringLiteral("FirstWord"));
    m_firstWord->setAlignment(Qt::AlignCenter);
    m_firstWord->setWordWrap(true);
    Widgets::showsValue(m_firstWord, QStringLiteral("First Word"));
    QFont wordFont(QStringLiteral("Liberation Sans"));
    wordFont.setPointSize(36);
    wordFont.setBold(true);
    m_firstWord->setFont(wordFont);
    Widgets::setTextColor(m_firstWord, QColor(QStringLiteral("#b03060")));
    auto* firstLayout = new QVBoxLayout(first);
    firstLayout->addSpacing(20);
    firstLayout->addWidget(m_mainTitle);
    firstLayout->addSpacing(30);
    firstLayout->addWidget(m_firstWord);
    firstLayout->addStretch();
    m_pages->addTab(first, QStringLiteral("First Word"));
    QList<QWidget*> rows{Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Words"), this),
                                            Widgets::helpButton(QStringLiteral("BitBtn3"), 22, this), {})};

    // Word Log
    static const DiaryEditorSetup setup{DiaryList::WordEntries,
                                        "EntryDate",
                                        "Title",
                                        "Entry",
                                        "DateSearch",
                                        "TitleSearch",
                                        "SpeedButton1",
                                        "Previous Word",
                                        "SpeedButton3",
                                        "Next Word",
                                        "DelButton",
                                        "BitBtn4",
                                        "New Word",
                                        "BitBtn2",
                                        23,
                                        "New Word Entry",
                                        "Word:",
                                        "Empty",
                                        true};
    m_editor = new DiaryEditor(setup, this);
    connect(m_editor, &DiaryEditor::listChanged, this, &TWords::refreshWords);
    m_pages->addTab(m_editor, QStringLiteral("Word Log"));
    rows << Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Words"), this),
                               m_editor->helpButton(), {});

    // Word List
    auto* list = new QWidget(this);
    m_wordList = DiaryWidgets::display("WordList", QStringLiteral("Word List"), list);
    m_wordCount = new QLabel(QStringLiteral("0"), list);
    m_wordCount->setObjectName(QStringLiteral("WordCount"));
    Widgets::showsValue(m_wordCount, QStringLiteral("Total Word Count"));
    m_wordCount->setAlignment(Qt::AlignCenter);
    m_wordCount->setStyleSheet(QStringLiteral("QLabel { background: palette(base); color: palette(text); "
                                              "border: 1px solid #9a9a9a; padding: 4px; }"));
    QFont countFont = m_wordCount->font();
    countFont.setPointSize(20);
    countFont.setBold(true);
    m_wordCount->setFont(countFont);
    auto* countBox = new QVBoxLayout;
    countBox->addWidget(new QLabel(QStringLiteral("Total Word Count"), list), 0, Qt::AlignHCenter);
    countBox->addWidget(m_wordCount);
    countBox->addStretch();
    auto* listLayout = new QHBoxLayout(list);
    listLayout->addWidget(m_wordList, 1);
    listLayout->addLayout(countBox);
    m_pages->addTab(list, QStringLiteral("Word List"));
    rows << Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Words"), this),
                               Widgets::helpButton(QStringLiteral("BitBtn5"), 24, this), {});

    auto* close = Widgets::closeButton(QStringLiteral("BitBtn1"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(Widgets::pageRows(m_pages, rows, {close}));
    resize(720, 460);
}

void TWords::FormActivate() {
    // The grave accent stands where an apostrophe is meant, as the heading always had it.
    m_mainTitle->setText(ActiveChildName() + QLatin1Char('`') + QStringLiteral("s First Word"));
    m_editor->Activate();
    refreshWords();
}

void TWords::refreshWords() {
    const QStringList words = m_editor->cursor().titles();
    m_wordList->setPlainText(words.join(QLatin1Char('\n')));
    m_wordCount->setText(QString::number(words.size()));
    m_firstWord->setText(words.isEmpty() ? QString() : words.first());
}
