#include "ui/diaries/TDoctor.h"

#include "core/diaries/DiarySheets.h"
#include "ui/common/Artwork.h"
#include "ui/common/FormHost.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/ReplaceablePicture.h"
#include "ui/common/Widgets.h"
#include "ui/diaries/DiaryEditor.h"
#include "ui/diaries/SheetFields.h"

#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

TDoctor* Doctor = nullptr;

QWidget* TDoctor::page(QWidget* content, int number, QPushButton* help) {
    // Each page's own Ok and Cancel stand in the one row under the pages.
    const QString n = number == 1 ? QString() : QString::number(number);
    auto* ok = Widgets::okButton(number == 1 ? QStringLiteral("OKBtn") : QStringLiteral("Ok") + n, this);
    ok->setDefault(false);
    m_okButtons.append(ok);
    auto* cancel =
        Widgets::cancelButton(number == 1 ? QStringLiteral("CancelBtn") : QStringLiteral("Cancel") + n, this);
    connect(ok, &QPushButton::clicked, this, &TDoctor::OKBtnClick);
    connect(cancel, &QPushButton::clicked, this, &TDoctor::CancelBtnClick);
    m_rows << Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("At the Doctor"), this), help,
                                 {ok, cancel});
    return content;
}

TDoctor::TDoctor(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Doctor"));
    setWindowTitle(QStringLiteral("At the Doctor"));
}

void TDoctor::build() {
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("TabbedNotebook1"));
    m_card = new SheetFields(DiarySheets::Pediatrician, this);
    m_immunizations = new SheetFields(DiarySheets::Immunizations, this);

    buildPediatricianPage();
    buildVisitsPage();
    buildImmunizationsPage();
    buildDiseasesPage();
    connect(m_pages, &QTabWidget::currentChanged, this, &TDoctor::makeOkDefault);
    m_okButtons.first()->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(Widgets::pageRows(m_pages, m_rows));
    resize(780, 500);
}

// Each page's Ok is the default button while its page is shown.
void TDoctor::makeOkDefault(int index) {
    if (index >= 0 && index < m_okButtons.size())
        m_okButtons[index]->setDefault(true);
}

// Pediatrician Information: the doctor's card beside the doctor's picture.
void TDoctor::buildPediatricianPage() {
    auto* info = new QWidget(this);
    QWidget* card = pediatricianCard(info);
    QLayout* picture = pictureColumn(info);
    auto* infoLayout = new QHBoxLayout(info);
    infoLayout->addWidget(card, 1, Qt::AlignTop);
    infoLayout->addLayout(picture);
    m_pages->addTab(page(info, 1, Widgets::helpButton(QStringLiteral("HelpBtn"), 13, this)),
                    QStringLiteral("Pediatrician Information"));
}

// The card: name, address, city, state and zip on one row, phone.
QWidget* TDoctor::pediatricianCard(QWidget* info) {
    auto* group = new QGroupBox(QStringLiteral("Pediatrician"), info);
    auto* form = new QFormLayout(group);
    form->setLabelAlignment(Qt::AlignRight);
    QHash<QString, QLineEdit*> edits;
    for (const QString& name : DiarySheets::pediatricianFields()) {
        edits.insert(name, Widgets::lineEdit(name, group));
        m_card->addText(edits[name]);
    }
    Widgets::addRow(form, QStringLiteral("Name:"), edits["DocName"]);
    Widgets::addRow(form, QStringLiteral("Address:"), edits["DocAddress"]);
    Widgets::addRow(form, QStringLiteral("City:"), edits["DocCity"]);
    auto* stateZip = new QHBoxLayout;
    stateZip->addWidget(edits["DocState"]);
    auto* zipLabel = new QLabel(QStringLiteral("Zip:"), group);
    zipLabel->setBuddy(edits["DocZip"]);
    Widgets::setAccessibleCaption(edits["DocZip"], QStringLiteral("Zip:"));
    stateZip->addWidget(zipLabel);
    stateZip->addWidget(edits["DocZip"]);
    auto* stateLabel = new QLabel(QStringLiteral("State:"), group);
    stateLabel->setBuddy(edits["DocState"]);
    Widgets::setAccessibleCaption(edits["DocState"], QStringLiteral("State:"));
    form->addRow(stateLabel, stateZip);
    Widgets::addRow(form, QStringLiteral("Phone:"), edits["DocPhone"]);
    return group;
}

// The doctor's picture in its frame with its change button, and the small heart below.
QLayout* TDoctor::pictureColumn(QWidget* info) {
    auto* frame = new QFrame(info);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setStyleSheet(QStringLiteral("QFrame { background: white; color: #8a8a8a; }"));
    m_picture = new ReplaceablePicture(QStringLiteral("Image1"), DiarySheets::DoctorPicture,
                                       Artwork::doctorPicture(170, devicePixelRatioF()), frame);
    m_picture->setFixedSize(180, 180);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(4, 4, 4, 4);
    frameLayout->addWidget(m_picture);
    frame->setFixedSize(190, 190);
    auto* change = changePictureButton(QStringLiteral("SpeedButton2"), m_picture, info);
    auto* small = new QLabel(info);
    small->setPixmap(Artwork::glyphPicture(QStringLiteral("user-heart"), QColor(0xb0, 0x30, 0x60), 48, this));
    small->setAccessibleName(QStringLiteral("Picture of a caring heart"));
    auto* column = new QVBoxLayout;
    column->addWidget(frame, 0, Qt::AlignHCenter);
    column->addWidget(change, 0, Qt::AlignHCenter);
    column->addStretch();
    column->addWidget(small, 0, Qt::AlignRight);
    return column;
}

void TDoctor::buildVisitsPage() {
    static const DiaryEditorSetup visits{DiaryList::DoctorVisits,
                                         "EntryDate",
                                         "Title",
                                         "Entry",
                                         "DateSearch",
                                         "TitleSearch",
                                         "Up",
                                         "Previous Record",
                                         "Down",
                                         "Next Record",
                                         "DelButton",
                                         "BitBtn1",
                                         "New Entry",
                                         "Help2",
                                         14,
                                         "New Doctor Visit",
                                         "Title:",
                                         "Diary Empty",
                                         false};
    m_visits = new DiaryEditor(visits, this);
    m_pages->addTab(page(m_visits, 2, m_visits->helpButton()), QStringLiteral("Doctor Visits"));
}

// Immunizations: a date for each, down a left and a right column, the last four named by the parent.
void TDoctor::buildImmunizationsPage() {
    auto* sheet = new QWidget(this);
    auto* note = new QLabel(QStringLiteral("Click the help button for details on these immunizatons"), sheet);
    note->setAlignment(Qt::AlignCenter);
    note->setStyleSheet(QStringLiteral("color: #1f4e9c; font-weight: bold;"));
    auto* columns = new QGridLayout;
    const QVector<DiarySheets::ImmunizationRow> rows = DiarySheets::immunizationLayout();
    QVector<MaskedDateEdit*> dates;
    for (int i = 0; i < rows.size(); ++i)
        dates.append(addImmunizationRow(columns, sheet, rows[i], i));
    columns->setColumnMinimumWidth(2, 24);
    columns->setColumnStretch(0, 1);
    columns->setColumnStretch(3, 1);
    auto* sheetLayout = new QVBoxLayout(sheet);
    sheetLayout->addWidget(note);
    sheetLayout->addLayout(columns);
    sheetLayout->addStretch();
    // Reading order is the tab order: down the left column, then down the right one, each named row's
    // name before its date.
    QWidget* previous = dates.first();
    for (int i = 1; i < dates.size(); ++i) {
        if (rows[i].caption.isEmpty()) {
            auto* name = sheet->findChild<QLineEdit*>(DiarySheets::immunizationNameField(i - 19));
            setTabOrder(previous, name);
            previous = name;
        }
        setTabOrder(previous, dates[i]);
        previous = dates[i];
    }
    m_pages->addTab(page(sheet, 3, Widgets::helpButton(QStringLiteral("Help3"), 15, this)),
                    QStringLiteral("Immunizations"));
}

// Row `index` of the sheet, `r`: its caption, or the box for its name, and its date.
MaskedDateEdit* TDoctor::addImmunizationRow(QGridLayout* columns, QWidget* sheet,
                                            const DiarySheets::ImmunizationRow& r, int index) {
    const int column = index < 12 ? 0 : 1;
    const int row = index % 12;
    auto* date = new MaskedDateEdit(sheet);
    date->setObjectName(r.field);
    date->setMaxLength(8);
    date->setMaximumWidth(date->minimumWidth() + 10);
    m_immunizations->addDate(date, DiarySheets::BlankHyphenDate);
    if (!r.caption.isEmpty()) {
        auto* label = new QLabel(r.caption, sheet);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(date);
        Widgets::setAccessibleCaption(date, r.caption);
        columns->addWidget(label, row, column * 3);
    } else {
        const int named = index - 19; // 1..4
        auto* name = Widgets::lineEdit(DiarySheets::immunizationNameField(named), sheet);
        name->setAccessibleName(QStringLiteral("Other immunization ") + QString::number(named));
        date->setAccessibleName(QStringLiteral("Other immunization ") + QString::number(named) +
                                QStringLiteral(" date"));
        m_immunizations->addText(name);
        columns->addWidget(name, row, column * 3);
    }
    columns->addWidget(date, row, column * 3 + 1);
    return date;
}

void TDoctor::buildDiseasesPage() {
    static const DiaryEditorSetup diseases{DiaryList::ChildhoodDiseases,
                                           "DisDate",
                                           "DisTitle",
                                           "DisEntry",
                                           "DisDateSearch",
                                           "DisTitleSearch",
                                           "DisUp",
                                           "Previous Record",
                                           "DisDown",
                                           "Next Record",
                                           "SpeedButton1",
                                           "BitBtn2",
                                           "New Entry",
                                           "Help4",
                                           16,
                                           "New Childhood Disease",
                                           "Title:",
                                           "Diary Empty",
                                           false,
                                           "DisEditBtn",
                                           "DisPhotos"};
    m_diseases = new DiaryEditor(diseases, this);
    m_pages->addTab(page(m_diseases, 4, m_diseases->helpButton()), QStringLiteral("Childhood Diseases"));
}

void TDoctor::FormActivate() {
    m_visits->Activate();
    m_diseases->Activate();
    const QString child = ActiveChildName();
    m_card->load(child);
    m_immunizations->load(child);
    m_picture->showFor(child);
}

void TDoctor::OKBtnClick() {
    accept();
}

void TDoctor::CancelBtnClick() {
    reject();
}

// Every way out (Ok, Cancel, Esc, the frame) first insists on whole dates, then stores the sheet.
// Ok keeps the form open with what was typed when that fails (a full disk); the other ways leave.
void TDoctor::done(int result) {
    if (!m_immunizations->validate())
        return;
    const bool stored = m_card->save() && m_immunizations->save();
    if (!stored && result == QDialog::Accepted)
        return;
    TDialog::done(result);
}
