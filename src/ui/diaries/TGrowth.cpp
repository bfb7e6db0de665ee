#include "ui/diaries/TGrowth.h"

#include "core/book/ChildProfile.h"
#include "core/diaries/GrowthLog.h"
#include "core/diaries/GrowthUnits.h"
#include "ui/common/Artwork.h"
#include "ui/common/FormHost.h"
#include "ui/common/GrowthChartPainter.h"
#include "ui/common/Guard.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"
#include "ui/diaries/DiaryEditor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

TGrowth* Growth = nullptr;

namespace {
// The help topic on the growth chart.
constexpr int kChartHelp = 67;

QLabel* valueBox(const char* name, const QString& accessible, int chars, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText); // what was typed, never markup
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setStyleSheet(QStringLiteral("QLabel { background: palette(base); color: palette(text); border: "
                                        "1px solid #9a9a9a; border-radius: 2px; padding: 2px 4px; }"));
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 12);
    Widgets::showsValue(label, accessible);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLineEdit* newValue(const char* name, const QString& accessible, QWidget* parent) {
    auto* edit = Widgets::lineEdit(QString::fromLatin1(name), parent);
    edit->setAccessibleName(accessible);
    edit->setMaximumWidth(80);
    return edit;
}

// The measurement rows of both groups: height, weight (pounds and ounces, or kilograms), head.
void measureRows(QGridLayout* grid, QWidget* group, QWidget* height, QWidget* lbs, QWidget* oz, QWidget* kg,
                 QWidget* head, QList<QLabel*>* lengthUnits, QList<QLabel*>* imperial,
                 QList<QWidget*>* metric) {
    grid->addWidget(new QLabel(QStringLiteral("Height:"), group), 1, 0, Qt::AlignRight);
    grid->addWidget(height, 1, 1);
    lengthUnits->append(new QLabel(QStringLiteral("inches"), group));
    grid->addWidget(lengthUnits->last(), 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Weight:"), group), 2, 0, Qt::AlignRight);
    grid->addWidget(lbs, 2, 1);
    imperial->append(new QLabel(QStringLiteral("lbs."), group));
    grid->addWidget(imperial->last(), 2, 2);
    grid->addWidget(oz, 2, 3);
    imperial->append(new QLabel(QStringLiteral("oz."), group));
    grid->addWidget(imperial->last(), 2, 4);
    auto* kgRow = new QWidget(group);
    auto* kgLayout = new QHBoxLayout(kgRow);
    kgLayout->setContentsMargins(0, 0, 0, 0);
    kg->setParent(kgRow);
    kgLayout->addWidget(kg);
    kgLayout->addWidget(new QLabel(QStringLiteral("kg"), kgRow));
    grid->addWidget(kgRow, 2, 1, 1, 4, Qt::AlignLeft);
    metric->append(kgRow);
    grid->addWidget(new QLabel(QStringLiteral("Head:"), group), 3, 0, Qt::AlignRight);
    grid->addWidget(head, 3, 1);
    lengthUnits->append(new QLabel(QStringLiteral("inches"), group));
    grid->addWidget(lengthUnits->last(), 3, 2);
}
} // namespace

TGrowth::TGrowth(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Growth"));
    setWindowTitle(QStringLiteral("Growth Information"));
}

// The Growth Log page: the log's lines under their headings, beside the ruler.
void TGrowth::buildLogPage(const QPixmap& ruler) {
    auto* logPage = new QWidget(this);
    // The headings stand over the log's columns, in the log's own letters.
    QFont mono(QStringLiteral("Liberation Mono"));
    mono.setStyleHint(QFont::Monospace);
    auto* headings =
        new QLabel(QStringLiteral("Date") + QString(14, QLatin1Char(' ')) + QStringLiteral("Height") +
                       QString(11, QLatin1Char(' ')) + QStringLiteral("Weight") +
                       QString(9, QLatin1Char(' ')) + QStringLiteral("Head"),
                   logPage);
    QFont monoBold = mono;
    monoBold.setBold(true);
    headings->setFont(monoBold);
    headings->setContentsMargins(3, 0, 0, 0);
    // One line per record; a list view lays out thousands of lines at once.
    m_logLines = new QStringListModel(this);
    m_log = new QListView(logPage);
    m_log->setObjectName(QStringLiteral("GrowthLog"));
    m_log->setAccessibleName(QStringLiteral("Growth log"));
    m_log->setModel(m_logLines);
    m_log->setUniformItemSizes(true);
    m_log->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_log->setSelectionMode(QAbstractItemView::SingleSelection);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_log->setStyleSheet(QStringLiteral("QListView::item { padding: 0px; }"));
    m_log->setFont(mono);
    auto* logColumn = new QVBoxLayout;
    logColumn->addWidget(headings);
    logColumn->addWidget(m_log, 1);
    auto* logPicture = new QLabel(logPage);
    logPicture->setPixmap(ruler);
    logPicture->setAccessibleName(QStringLiteral("Picture of a measuring ruler"));
    auto* logLayout = new QHBoxLayout(logPage);
    logLayout->addLayout(logColumn, 1);
    logLayout->addWidget(logPicture, 0, Qt::AlignTop);
    m_pages->addTab(logPage, QStringLiteral("Growth Log"));
}

// The Growth Entries page: the entry shown, with its navigation, search and delete, and the new
// entry, beside the ruler.
void TGrowth::buildEntriesPage(const QPixmap& ruler) {
    auto* entries = new QWidget(this);
    auto* shown = new QGroupBox(QStringLiteral("Shown Entry"), entries);
    m_entryDate = valueBox("EntryDate", QStringLiteral("Date"), 8, shown);
    m_entryDate->setText(EntryStore::EmptyDate);
    m_height = valueBox("Height", QStringLiteral("Height"), 6, shown);
    m_wtLbs = valueBox("WtLbs", QStringLiteral("Weight pounds"), 4, shown);
    m_wtOz = valueBox("WtOz", QStringLiteral("Weight ounces"), 4, shown);
    m_wtKg = valueBox("WtKg", QStringLiteral("Weight kilograms"), 4, shown);
    m_head = valueBox("Head", QStringLiteral("Head circumference"), 6, shown);
    auto* previous = DiaryWidgets::pictureButton("SpeedButton1", QStringLiteral("Previous Entry"),
                                                 Widgets::standardIcon(QStyle::SP_ArrowLeft), shown);
    auto* next = DiaryWidgets::pictureButton("SpeedButton3", QStringLiteral("Next Entry"),
                                             Widgets::standardIcon(QStyle::SP_ArrowRight), shown);
    QToolButton* del = nullptr;
    auto* delBox = DiaryWidgets::deleteBox("DelButton", QStringLiteral("Record"), &del, shown);
    auto* editButton = Widgets::pushButton(QStringLiteral("EditBtn"), QStringLiteral("&Edit Entry"), shown);
    editButton->setIcon(Widgets::standardIcon(QStyle::SP_FileDialogDetailedView));
    m_dateSearch = DiaryWidgets::searchBox("DateSearch", QStringLiteral("Date Search"), shown);
    m_dates = new QStringListModel(this);
    m_dateSearch->setModel(m_dates);
    auto* shownGrid = new QGridLayout(shown);
    shownGrid->addWidget(new QLabel(QStringLiteral("Date:"), shown), 0, 0, Qt::AlignRight);
    shownGrid->addWidget(m_entryDate, 0, 1);
    measureRows(shownGrid, shown, m_height, m_wtLbs, m_wtOz, m_wtKg, m_head, &m_shownLengthUnits,
                &m_shownImperialWeight, &m_shownMetricWeight);
    auto* nav = new QHBoxLayout;
    nav->addWidget(previous);
    nav->addWidget(next);
    shownGrid->addLayout(nav, 0, 3, 1, 2);
    shownGrid->setColumnStretch(5, 1);
    // Tab passes the search by; Alt+S (or a click) reaches it.
    m_dateSearch->setFocusPolicy(Qt::ClickFocus);
    auto* searchLabel = new QLabel(QStringLiteral("Date &Search"), shown);
    searchLabel->setBuddy(m_dateSearch);
    shownGrid->addWidget(searchLabel, 0, 6);
    shownGrid->addWidget(m_dateSearch, 1, 6);
    shownGrid->addWidget(editButton, 3, 6);
    shownGrid->addWidget(delBox, 0, 7, 4, 1, Qt::AlignCenter);

    auto* added = new QGroupBox(QStringLiteral("New Entry"), entries);
    m_newGroup = added;
    m_newDate = new MaskedDateEdit(added);
    m_newDate->setObjectName(QStringLiteral("NewDate"));
    m_newDate->setMaxLength(8);
    m_newDate->setMaximumWidth(m_newDate->minimumWidth() + 10);
    m_newHeight = newValue("NewHeight", QStringLiteral("New height"), added);
    m_newWtLbs = newValue("NewWtLbs", QStringLiteral("New weight pounds"), added);
    m_newWtOz = newValue("NewWtOz", QStringLiteral("New weight ounces"), added);
    m_newWtKg = newValue("NewWtKg", QStringLiteral("New weight kilograms"), added);
    m_newHead = newValue("NewHead", QStringLiteral("New head circumference"), added);
    auto* add = Widgets::pushButton(QStringLiteral("BitBtn5"), QStringLiteral("Add Entry"), added);
    add->setIcon(Widgets::standardIcon(QStyle::SP_FileDialogNewFolder));
    m_add = add;
    m_cancelEdit = Widgets::pushButton(QStringLiteral("CancelEditBtn"), QStringLiteral("Cancel Edit"), added);
    m_cancelEdit->hide();
    auto* newGrid = new QGridLayout(added);
    auto* newDateLabel = new QLabel(QStringLiteral("Date:"), added);
    newDateLabel->setBuddy(m_newDate);
    Widgets::setAccessibleCaption(m_newDate, QStringLiteral("New date"));
    newGrid->addWidget(newDateLabel, 0, 0, Qt::AlignRight);
    newGrid->addWidget(m_newDate, 0, 1);
    measureRows(newGrid, added, m_newHeight, m_newWtLbs, m_newWtOz, m_newWtKg, m_newHead, &m_newLengthUnits,
                &m_newImperialWeight, &m_newMetricWeight);
    // How the length or height was measured: lying down before 2 years, standing after, as a rule.
    m_newMeasured = new QComboBox(added);
    m_newMeasured->setObjectName(QStringLiteral("NewMeasured"));
    m_newMeasured->addItems({QStringLiteral("lying down"), QStringLiteral("standing")});
    m_newMeasured->setAccessibleName(QStringLiteral("New height measured"));
    newGrid->addWidget(m_newMeasured, 1, 3, 1, 2, Qt::AlignLeft);
    // A date typed in full chooses by the child's age on that day.
    connect(m_newDate, &QLineEdit::textEdited, this, [this] {
        const QDate on = StoredDate::read(m_newDate->storedText()).date();
        if (on.isValid())
            guarded(this, [&] { defaultMeasured(on); });
    });
    auto* addColumn = new QVBoxLayout;
    addColumn->addStretch();
    addColumn->addWidget(add);
    addColumn->addWidget(m_cancelEdit);
    addColumn->addStretch();
    newGrid->addLayout(addColumn, 0, 6, 4, 1, Qt::AlignCenter);
    newGrid->setColumnStretch(5, 1);

    auto* entriesPicture = new QLabel(entries);
    entriesPicture->setPixmap(ruler);
    entriesPicture->setAccessibleName(QStringLiteral("Picture of a measuring ruler"));
    auto* entriesColumn = new QVBoxLayout;
    entriesColumn->addWidget(shown);
    entriesColumn->addWidget(added);
    entriesColumn->addStretch();
    auto* entriesLayout = new QHBoxLayout(entries);
    entriesLayout->addLayout(entriesColumn, 1);
    entriesLayout->addWidget(entriesPicture, 0, Qt::AlignTop);
    m_pages->addTab(entries, QStringLiteral("Growth Entries"));
    // The new-entry group comes first in the tab order.
    setTabOrder(m_newDate, m_newHeight);
    setTabOrder(m_newHeight, m_newMeasured);
    setTabOrder(m_newMeasured, m_newWtLbs);
    setTabOrder(m_newWtLbs, m_newWtOz);
    setTabOrder(m_newWtOz, m_newWtKg);
    setTabOrder(m_newWtKg, m_newHead);
    setTabOrder(m_newHead, add);
    setTabOrder(add, m_cancelEdit);
    setTabOrder(m_cancelEdit, previous);
    setTabOrder(previous, next);
    setTabOrder(next, editButton);
    setTabOrder(editButton, del);

    connect(previous, &QToolButton::clicked, this, &TGrowth::PreviousClick);
    connect(next, &QToolButton::clicked, this, &TGrowth::NextClick);
    connect(del, &QToolButton::clicked, this, &TGrowth::DelButtonClick);
    connect(add, &QPushButton::clicked, this, &TGrowth::BitBtn5Click);
    connect(editButton, &QPushButton::clicked, this, &TGrowth::EditBtnClick);
    connect(m_cancelEdit, &QPushButton::clicked, this, &TGrowth::CancelEditClick);
    connect(m_dateSearch, qOverload<int>(&QComboBox::activated), this, &TGrowth::DateSearchClick);
}

// The Growth Chart page: weight and length/height side by side, head circumference and BMI below,
// under them the latest measurements in words, the reference chosen and what was left out.
void TGrowth::buildChartPage() {
    auto* chartContent = new QWidget(this);
    auto* chartGrid = new QGridLayout(chartContent);
    chartGrid->setContentsMargins(0, 0, 0, 0);
    const char* const chartNames[] = {"WeightChart", "HeightChart", "HeadChart", "BmiChart"};
    for (GrowthReference::Measure m : {GrowthReference::Measure::Weight, GrowthReference::Measure::Height,
                                       GrowthReference::Measure::Head, GrowthReference::Measure::Bmi}) {
        auto* view = new GrowthChartView(m, chartContent);
        view->setObjectName(QString::fromLatin1(chartNames[m_charts.size()]));
        m_charts.append(view);
    }
    m_chartSummary = new QLabel(chartContent);
    m_chartSummary->setObjectName(QStringLiteral("ChartSummary"));
    m_chartSummary->setTextFormat(Qt::PlainText);
    m_chartSummary->setWordWrap(true);
    m_chartSummary->setFocusPolicy(Qt::TabFocus);
    m_chartSummary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Read by its text: the caption is only its description.
    Widgets::showsValue(m_chartSummary, QStringLiteral("Latest measurements"));
    m_chartNote = new QLabel(chartContent);
    m_chartNote->setObjectName(QStringLiteral("ChartNote"));
    m_chartNote->setTextFormat(Qt::PlainText);
    m_chartNote->setWordWrap(true);
    m_leftOut = DiaryWidgets::display("LeftOut", QStringLiteral("Left out of the chart"), chartContent);
    m_leftOut->setMaximumHeight(56);
    m_leftOut->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_reference = new QComboBox(chartContent);
    m_reference->setObjectName(QStringLiteral("Reference"));
    for (GrowthReference::Choice c :
         {GrowthReference::Choice::Who2ThenCdc, GrowthReference::Choice::Who5ThenCdc})
        m_reference->addItem(GrowthReference::choiceText(c));
    auto* referenceLabel = new QLabel(QStringLiteral("&Reference:"), chartContent);
    referenceLabel->setBuddy(m_reference);
    Widgets::setAccessibleCaption(m_reference, QStringLiteral("Reference"));
    connect(m_reference, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        guarded(this, [&] {
            GrowthReference::setPreferred(index == 1 ? GrowthReference::Choice::Who5ThenCdc
                                                     : GrowthReference::Choice::Who2ThenCdc);
            refreshChart();
        });
    });
    auto* reference = new QHBoxLayout;
    reference->addWidget(referenceLabel);
    reference->addWidget(m_reference);
    reference->addStretch();
    auto* words = new QVBoxLayout;
    words->addWidget(m_chartSummary);
    words->addWidget(m_chartNote);
    words->addWidget(m_leftOut);
    auto* side = new QVBoxLayout;
    side->addLayout(reference);
    side->addStretch();
    auto* below = new QHBoxLayout;
    below->addLayout(words, 3);
    below->addLayout(side, 1);
    chartGrid->addWidget(m_charts[0], 0, 0);
    chartGrid->addWidget(m_charts[1], 0, 1);
    chartGrid->addWidget(m_charts[2], 1, 0);
    chartGrid->addWidget(m_charts[3], 1, 1);
    chartGrid->addLayout(below, 2, 0, 1, 2);
    chartGrid->setRowStretch(0, 1);
    chartGrid->setRowStretch(1, 1);
    chartGrid->setColumnStretch(0, 1);
    chartGrid->setColumnStretch(1, 1);
    m_chartPage = chartContent;
    m_pages->addTab(m_chartPage, QStringLiteral("Growth Chart"));
}

void TGrowth::build() {
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("TabbedNotebook1"));
    const QPixmap ruler = Artwork::growthPicture(96, devicePixelRatioF());

    buildLogPage(ruler);
    QList<QWidget*> rows{Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Growth"), this),
                                            Widgets::helpButton(QStringLiteral("BitBtn1"), 17, this), {})};

    buildEntriesPage(ruler);
    rows << Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Growth"), this),
                               Widgets::helpButton(QStringLiteral("BitBtn3"), 18, this), {});
    buildChartPage();
    rows << Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Growth"), this),
                               Widgets::helpButton(QStringLiteral("ChartHelp"), kChartHelp, this), {});
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        if (m_pages->currentWidget() == m_chartPage && !m_chartCurrent)
            guarded(this, [this] { refreshChart(); });
    });

    auto* close = Widgets::closeButton(QStringLiteral("BitBtn2"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    m_units = new QComboBox(this);
    m_units->setObjectName(QStringLiteral("Units"));
    m_units->addItems(
        {QStringLiteral("Inches, pounds and ounces"), QStringLiteral("Centimetres and kilograms")});
    auto* unitsLabel = new QLabel(QStringLiteral("&Units:"), this);
    unitsLabel->setBuddy(m_units);
    Widgets::setAccessibleCaption(m_units, QStringLiteral("Units"));
    connect(m_units, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        guarded(this, [&] {
            GrowthUnits::setPreferred(index == 1 ? GrowthUnits::System::Metric
                                                 : GrowthUnits::System::Imperial);
        });
        showUnits();
        RefreshCombo();
    });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(unitsLabel);
    bottom->addWidget(m_units);
    bottom->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(bottom);
    layout->addWidget(Widgets::pageRows(m_pages, rows, {close}));

    resize(940, 660);
}

void TGrowth::FormActivate() {
    endEdit();
    m_cursor.activate();
    m_units->setCurrentIndex(GrowthUnits::preferred() == GrowthUnits::System::Metric ? 1 : 0);
    defaultMeasured();
    showUnits();
    RefreshCombo();
    showCurrent();
}

void TGrowth::FillGrowth() {
    if (!m_currentGrowthEntry) {
        showEmpty();
        return;
    }
    const GrowthType& r = *m_currentGrowthEntry;
    m_entryDate->setText(r.Date);
    m_height->setText(r.Height);
    m_wtLbs->setText(r.WtLbs);
    m_wtOz->setText(r.WtOz);
    m_wtKg->setText(r.WtKg);
    m_head->setText(r.Head);
    showRecordUnits(GrowthUnits::of(r) == GrowthUnits::System::Metric);
}

void TGrowth::showRecordUnits(bool metric) {
    // The shown record in the units it was typed in.
    for (QLabel* l : m_shownLengthUnits)
        l->setText(metric ? QStringLiteral("cm") : QStringLiteral("inches"));
    for (QWidget* w : m_shownMetricWeight)
        w->setVisible(metric);
    for (QWidget* w :
         {static_cast<QWidget*>(m_wtLbs), static_cast<QWidget*>(m_wtOz),
          static_cast<QWidget*>(m_shownImperialWeight[0]), static_cast<QWidget*>(m_shownImperialWeight[1])})
        w->setVisible(!metric);
}

bool TGrowth::groupMetric() const {
    return m_editing >= 0 ? m_editMetric : m_units->currentIndex() == 1;
}

void TGrowth::showUnits() {
    const bool metric = groupMetric();
    for (QLabel* l : m_newLengthUnits)
        l->setText(metric ? QStringLiteral("cm") : QStringLiteral("inches"));
    for (QWidget* w : m_newMetricWeight)
        w->setVisible(metric);
    for (QWidget* w :
         {static_cast<QWidget*>(m_newWtLbs), static_cast<QWidget*>(m_newWtOz),
          static_cast<QWidget*>(m_newImperialWeight[0]), static_cast<QWidget*>(m_newImperialWeight[1])})
        w->setVisible(!metric);
    if (!m_currentGrowthEntry)
        showRecordUnits(metric);
}

bool TGrowth::newEntryTyped() const {
    if (m_editing >= 0) { // an edited record asks only when something in it changed
        const auto typed = typedRecord();
        const auto stored = Entries().growthAt(m_editing);
        return typed->Date != stored->Date || typed->Height != stored->Height ||
               typed->WtLbs != stored->WtLbs || typed->WtOz != stored->WtOz || typed->WtKg != stored->WtKg ||
               typed->Head != stored->Head || typed->Units != stored->Units;
    }
    QString date = m_newDate->storedText();
    date.remove(QLatin1Char('-'));
    for (const QLineEdit* e : {m_newHeight, m_newWtLbs, m_newWtOz, m_newWtKg, m_newHead})
        if (!e->text().trimmed().isEmpty())
            return true;
    return !date.trimmed().isEmpty();
}

void TGrowth::clearNewEntry() {
    m_newDate->setStoredText(QStringLiteral("  -  -  "));
    for (QLineEdit* e : {m_newHeight, m_newWtLbs, m_newWtOz, m_newWtKg, m_newHead})
        e->clear();
    defaultMeasured();
}

void TGrowth::defaultMeasured(const QDate& measuredOn) {
    const QDate birth = ChildProfile::read(ActiveChildName()).birth.date();
    const bool standing = birth.isValid() && birth.daysTo(measuredOn) / 365.25 >= 2;
    m_newMeasured->setCurrentIndex(standing ? 1 : 0);
}

void TGrowth::done(int result) {
    const bool editing = m_editing >= 0;
    if (isVisible() && newEntryTyped()) {
        const auto answer =
            Messages::plain(this,
                            editing ? QStringLiteral("Save the changes to this entry before closing?")
                                    : QStringLiteral("Add the new entry you typed before closing?"),
                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel)
            return;
        if (answer == QMessageBox::Yes) {
            const int before = m_cursor.count();
            BitBtn5Click();
            if (editing ? m_editing >= 0 : m_cursor.count() == before)
                return; // not stored (a date that cannot be read): the form stays open with it
        } else {
            endEdit();
        }
    }
    TDialog::done(result);
}

void TGrowth::RefreshCombo() {
    const int n = m_cursor.count();
    QVector<GrowthType> records;
    records.reserve(n);
    for (int i = 0; i < n; ++i)
        records.append(*Entries().growthAt(i));
    QStringList dates;
    dates.reserve(n);
    for (const GrowthType& r : records)
        dates.append(r.Date);
    m_dates->setStringList(dates);
    m_dateSearch->setCurrentIndex(-1);
    m_dateSearch->setEditText(QString());
    QStringList lines;
    lines.reserve(n);
    for (const GrowthType& r : records)
        lines.append(GrowthLog::line(r, m_units->currentIndex() == 1));
    m_logLines->setStringList(lines);
    chartOutdated();
}

void TGrowth::showEmpty() {
    m_entryDate->setText(EntryStore::EmptyDate);
    m_height->clear();
    m_wtLbs->clear();
    m_wtOz->clear();
    m_wtKg->clear();
    m_head->clear();
    // Nothing shown: its boxes in the family's units.
    showRecordUnits(m_units->currentIndex() == 1);
}

void TGrowth::showCurrent() {
    m_currentGrowthEntry = m_cursor.current();
    FillGrowth();
}

void TGrowth::PreviousClick() {
    if (m_cursor.previous())
        showCurrent();
}

void TGrowth::NextClick() {
    if (m_cursor.next())
        showCurrent();
}

void TGrowth::DateSearchClick(int index) {
    if (index >= 0 && m_cursor.searchDate(m_dateSearch->itemText(index)))
        showCurrent();
}

std::shared_ptr<GrowthType> TGrowth::typedRecord() const {
    const bool metric = groupMetric();
    return std::make_shared<GrowthType>(GrowthType{
        m_newDate->storedText(), m_newHeight->text(), metric ? QString() : m_newWtLbs->text(),
        metric ? QString() : m_newWtOz->text(), m_newHead->text(), metric ? m_newWtKg->text() : QString(),
        GrowthUnits::storedName(metric ? GrowthUnits::System::Metric : GrowthUnits::System::Imperial),
        m_newHeight->text().trimmed().isEmpty() ? QString()
        : m_newMeasured->currentIndex() == 1    ? QStringLiteral("standing")
                                                : QStringLiteral("lying")});
}

void TGrowth::BitBtn5Click() {
    if (!m_newDate->validate())
        return;
    const auto record = typedRecord();
    const int editing = m_editing;
    if (!guarded(this,
                 [&] { editing >= 0 ? void(m_cursor.replaceAt(editing, record)) : m_cursor.append(record); }))
        return; // nothing was stored; what was typed stays in the group
    showCurrent();
    endEdit();
    RefreshCombo();
    m_newDate->setFocus();
    m_newDate->home(false);
}

void TGrowth::EditBtnClick() {
    const auto shown = m_cursor.current();
    if (!shown) {
        Messages::information(this, QStringLiteral("There is no entry to edit."));
        return;
    }
    m_editing = m_cursor.currentIndex();
    m_editMetric = GrowthUnits::of(*shown) == GrowthUnits::System::Metric;
    m_newDate->setStoredText(shown->Date);
    m_newHeight->setText(shown->Height);
    m_newWtLbs->setText(shown->WtLbs);
    m_newWtOz->setText(shown->WtOz);
    m_newWtKg->setText(shown->WtKg);
    m_newHead->setText(shown->Head);
    if (shown->Measured == QLatin1String("lying") || shown->Measured == QLatin1String("standing"))
        m_newMeasured->setCurrentIndex(shown->Measured == QLatin1String("standing") ? 1 : 0);
    m_newGroup->setTitle(QStringLiteral("Edit Entry"));
    m_add->setText(QStringLiteral("Save Changes"));
    m_add->setIcon(Widgets::standardIcon(QStyle::SP_DialogApplyButton));
    m_cancelEdit->show();
    showUnits();
    m_newDate->setFocus();
}

void TGrowth::CancelEditClick() {
    endEdit();
    m_newDate->setFocus();
}

void TGrowth::endEdit() {
    m_editing = -1;
    clearNewEntry();
    m_newGroup->setTitle(QStringLiteral("New Entry"));
    m_add->setText(QStringLiteral("Add Entry"));
    m_add->setIcon(Widgets::standardIcon(QStyle::SP_FileDialogNewFolder));
    m_cancelEdit->hide();
    showUnits();
}

void TGrowth::DelButtonClick() {
    if (m_cursor.count() == 0) {
        Messages::information(this, QStringLiteral("There are no records to Delete."));
        return;
    }
    if (!Messages::confirmDestructive(this, QStringLiteral("Delete this record?")))
        return;
    if (m_editing >= 0)
        endEdit(); // the places of the records move
    guarded(this, [&] { m_cursor.removeCurrent(); });
    RefreshCombo();
    showCurrent();
}

void TGrowth::chartOutdated() {
    m_chartCurrent = false;
    if (isVisible() && m_pages->currentWidget() == m_chartPage)
        guarded(this, [this] { refreshChart(); });
}

void TGrowth::refreshChart() {
    m_chartCurrent = true;
    const QDate today = QDate::currentDate();
    const int n = m_cursor.count();
    QVector<GrowthType> records;
    records.reserve(n);
    for (int i = 0; i < n; ++i)
        records.append(*Entries().growthAt(i));
    auto plot =
        std::make_shared<const GrowthPlot::Plot>(GrowthPlot::forChild(ActiveChildName(), records, today));
    const GrowthReference::Sex sex = plot->sex;
    const QDate birth = plot->birth;
    m_plot = plot;
    m_reference->setCurrentIndex(plot->choice == GrowthReference::Choice::Who5ThenCdc ? 1 : 0);
    const GrowthUnits::System units =
        m_units->currentIndex() == 1 ? GrowthUnits::System::Metric : GrowthUnits::System::Imperial;
    QStringList latest;
    for (GrowthChartView* view : m_charts) {
        view->setPlot(plot, units);
        const auto& points = plot->points(view->measure());
        if (!points.isEmpty())
            latest
                << GrowthChartPainter(*plot, view->measure(), units, font()).describe(int(points.size()) - 1);
    }
    m_chartSummary->setText(
        latest.isEmpty() ? QString() : QStringLiteral("Latest: ") + latest.join(QStringLiteral("; ")));

    QStringList note;
    if (!plot->birthKnown)
        note << QStringLiteral("The chart needs the child's birth date (month, day and year on the child's "
                               "information) to place the measurements by age.");
    else if (plot->weight.isEmpty() && plot->height.isEmpty() && plot->head.isEmpty())
        note << QStringLiteral(
            "No measurement can be drawn yet: add dated entries with a height or a weight.");
    else
        note << QStringLiteral("Born ") + QLocale::c().toString(birth, QStringLiteral("MMMM d, yyyy")) +
                    QStringLiteral(".");
    if (plot->birthKnown && sex == GrowthReference::Sex::Unknown)
        note << QStringLiteral("The centile curves need the child's sex: choose it under \"Sex:\" on the "
                               "\"Birth Information\" page of the child's information.");
    if (plot->corrected)
        note << QStringLiteral(
                    "Born at %1 weeks: plotted at the age corrected for prematurity until 2 years.")
                    .arg(plot->gestationWeeks);
    if (!plot->leftOut.isEmpty())
        note << QStringLiteral("Left out, as they cannot be read:");
    m_chartNote->setText(note.join(QLatin1Char(' ')));
    m_leftOut->setPlainText(plot->leftOut.join(QLatin1Char('\n')));
    m_leftOut->setVisible(!plot->leftOut.isEmpty());
}
