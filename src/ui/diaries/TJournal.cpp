#include "ui/diaries/TJournal.h"

#include "ui/common/Widgets.h"
#include "ui/diaries/DiaryEditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TJournal* Journal = nullptr;

TJournal::TJournal(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Journal"));
    setWindowTitle(QStringLiteral("Daily Journal"));
}

void TJournal::build() {
    static const DiaryEditorSetup setup{DiaryList::JournalEntries,
                                        "EntryDate",
                                        "Title",
                                        "Entry",
                                        "DateSearch",
                                        "TitleSearch",
                                        "SpeedButton1",
                                        "Prevous Record",
                                        "SpeedButton3",
                                        "Next Record",
                                        "DelButton",
                                        "BitBtn1",
                                        "New Entry",
                                        "HelpBtn",
                                        57,
                                        "New Journal Entry",
                                        "Title:",
                                        "Empty",
                                        false};
    m_editor = new DiaryEditor(setup, this);

    auto* close = Widgets::closeButton(QStringLiteral("OKBtn"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_editor, 1);
    layout->addWidget(Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Daily Journal"), this),
                                         m_editor->helpButton(), {close}));
    resize(720, 420);
}

void TJournal::FormActivate() {
    m_editor->Activate();
}
