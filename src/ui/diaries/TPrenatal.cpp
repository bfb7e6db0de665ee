#include "ui/diaries/TPrenatal.h"

#include "core/diaries/DiarySheets.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/Widgets.h"
#include "ui/diaries/DiaryEditor.h"
#include "ui/diaries/SheetFields.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TPrenatal* Prenatal = nullptr;

namespace {
MaskedDateEdit* slashDate(int n, QWidget* parent) {
    auto* edit = new MaskedDateEdit(parent, QLatin1Char('/'));
    edit->setObjectName(QStringLiteral("D") + QString::number(n));
    edit->setMaxLength(8);
    edit->setMaximumWidth(edit->minimumWidth() + 10);
    return edit;
}
} // namespace

TPrenatal::TPrenatal(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Prenatal"));
    setWindowTitle(QStringLiteral("Prenatal History"));
}

void TPrenatal::build() {
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("TabNote"));
    m_sheet = new SheetFields(DiarySheets::PrenatalDates, this);

    // Dates to Remember
    auto* dates = new QWidget(this);
    auto* captioned = new QFormLayout;
    captioned->setLabelAlignment(Qt::AlignRight);
    const QStringList captions = DiarySheets::prenatalDateCaptions();
    for (int i = 0; i < captions.size(); ++i) {
        auto* edit = slashDate(i + 1, dates);
        Widgets::addRow(captioned, captions[i], edit);
        m_sheet->addDate(edit, DiarySheets::BlankSlashDate);
    }
    auto* other = new QGroupBox(QStringLiteral("Other Dates to Remember"), dates);
    auto* grid = new QGridLayout(other);
    for (int row = 1; row <= 8; ++row) {
        auto* name = Widgets::lineEdit(QStringLiteral("O") + QString::number(row), other);
        name->setAccessibleName(QStringLiteral("Other date ") + QString::number(row) +
                                QStringLiteral(" name"));
        auto* date = slashDate(row + 9, other);
        date->setAccessibleName(QStringLiteral("Other date ") + QString::number(row));
        grid->addWidget(name, row - 1, 0);
        grid->addWidget(date, row - 1, 1);
        m_sheet->addText(name);
        m_sheet->addDate(date, DiarySheets::BlankSlashDate);
    }
    grid->setColumnStretch(0, 1);
    auto* datesLayout = new QHBoxLayout(dates);
    datesLayout->addLayout(captioned);
    datesLayout->addSpacing(16);
    datesLayout->addWidget(other, 1);
    m_pages->addTab(dates, QStringLiteral("Dates to Remember"));
    QList<QWidget*> rows{Widgets::buttonRow(this,
                                            Widgets::formTitle(QStringLiteral("Prenatal History"), this),
                                            Widgets::helpButton(QStringLiteral("HelpBtn"), 1, this), {})};

    static const DiaryEditorSetup diary{DiaryList::PrenatalDiary,
                                        "EntryDate",
                                        "Title",
                                        "Entry",
                                        "DateSearch",
                                        "TitleSearch",
                                        "SpeedButton1",
                                        "Prevoious Entry",
                                        "SpeedButton3",
                                        "Next Entry",
                                        "DelButton",
                                        "BitBtn1",
                                        "New Entry",
                                        "BitBtn3",
                                        2,
                                        "New Prenatal Diary Entry",
                                        "Title:",
                                        "Diary Empty",
                                        false};
    static const DiaryEditorSetup medical{DiaryList::PrenatalMedicalDiary,
                                          "MedDate",
                                          "MedTitle",
                                          "MedEntry",
                                          "MedDateSearch",
                                          "MedTitleSearch",
                                          "SpeedButton2",
                                          "Previous Entry",
                                          "SpeedButton5",
                                          "Next Entry",
                                          "SpeedButton4",
                                          "BitBtn2",
                                          "New Entry",
                                          "BitBtn4",
                                          2,
                                          "New Prenatal Medical Diary Entry",
                                          "Title:",
                                          "Diary Empty",
                                          false,
                                          "MedEditBtn",
                                          "MedPhotos"};
    m_diary = new DiaryEditor(diary, this);
    m_medical = new DiaryEditor(medical, this);
    m_pages->addTab(m_diary, QStringLiteral("Prenatal Diary"));
    m_pages->addTab(m_medical, QStringLiteral("Prenatal Medical Diary"));
    for (DiaryEditor* editor : {m_diary, m_medical})
        rows << Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Prenatal History"), this),
                                   editor->helpButton(), {});

    auto* ok = Widgets::okButton(QStringLiteral("OKBtn"), this);
    auto* cancel = Widgets::cancelButton(QStringLiteral("CancelBtn"), this);
    connect(ok, &QPushButton::clicked, this, &TPrenatal::OKBtnClick);
    connect(cancel, &QPushButton::clicked, this, &TPrenatal::CancelBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(Widgets::pageRows(m_pages, rows, {ok, cancel}));
    resize(760, 470);
}

void TPrenatal::FormActivate() {
    m_diary->Activate();
    m_medical->Activate();
    m_sheet->load(ActiveChildName());
}

void TPrenatal::OKBtnClick() {
    accept();
}

void TPrenatal::CancelBtnClick() {
    reject();
}

// Every way out (Ok, Cancel, Esc, the frame) first insists on whole dates, then stores the sheet.
// Ok keeps the form open with what was typed when that fails (a full disk); the other ways leave.
void TPrenatal::done(int result) {
    if (!m_sheet->validate())
        return;
    if (!m_sheet->save() && result == QDialog::Accepted)
        return;
    TDialog::done(result);
}
