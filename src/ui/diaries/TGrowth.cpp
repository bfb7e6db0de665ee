#include "ui/diaries/TGrowth.h"

#include "core/diaries/GrowthLog.h"
#include "core/store/Table.h"
#include "ui/common/Artwork.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"
#include "ui/diaries/DiaryEditor.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

TGrowth* Growth = nullptr;

namespace {
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
} // namespace

TGrowth::TGrowth(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Growth"));
    setWindowTitle(QStringLiteral("Growth Information"));
}

void TGrowth::build() {
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("TabbedNotebook1"));
    const QPixmap ruler = Artwork::growthPicture(96, devicePixelRatioF());

    // Growth Log
    auto* logPage = new QWidget(this);
    // The headings stand over the log's columns, in the log's own letters.
    QFont mono(QStringLiteral("Liberation Mono"));
    mono.setStyleHint(QFont::Monospace);
    auto* headings =
        new QLabel(QStringLiteral("Date") + QString(14, QLatin1Char(' ')) + QStringLiteral("Height") +
                       QString(11, QLatin1Char(' ')) + QStringLiteral("Weight"),
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
    QList<QWidget*> rows{Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Growth"), this),
                                            Widgets::helpButton(QStringLiteral("BitBtn1"), 17, this), {})};

    // Growth Entries
    auto* entries = new QWidget(this);
    auto* shown = new QGroupBox(QStringLiteral("Shown Entry"), entries);
    m_entryDate = valueBox("EntryDate", QStringLiteral("Date"), 8, shown);
    m_entryDate->setText(EntryStore::EmptyDate);
    m_height = valueBox("Height", QStringLiteral("Height"), 6, shown);
    m_wtLbs = valueBox("WtLbs", QStringLiteral("Weight pounds"), 4, shown);
    m_wtOz = valueBox("WtOz", QStringLiteral("Weight ounces"), 4, shown);
    auto* previous = DiaryWidgets::pictureButton("SpeedButton1", QStringLiteral("Previous Entry"),
                                                 Widgets::standardIcon(QStyle::SP_ArrowLeft), shown);
    auto* next = DiaryWidgets::pictureButton("SpeedButton3", QStringLiteral("Next Entry"),
                                             Widgets::standardIcon(QStyle::SP_ArrowRight), shown);
    QToolButton* del = nullptr;
    auto* delBox = DiaryWidgets::deleteBox("DelButton", QStringLiteral("Record"), &del, shown);
    m_dateSearch = DiaryWidgets::searchBox("DateSearch", QStringLiteral("Date Search"), shown);
    m_dates = new QStringListModel(this);
    m_dateSearch->setModel(m_dates);
    auto* shownGrid = new QGridLayout(shown);
    shownGrid->addWidget(new QLabel(QStringLiteral("Date:"), shown), 0, 0, Qt::AlignRight);
    shownGrid->addWidget(m_entryDate, 0, 1);
    shownGrid->addWidget(new QLabel(QStringLiteral("Height:"), shown), 1, 0, Qt::AlignRight);
    shownGrid->addWidget(m_height, 1, 1);
    shownGrid->addWidget(new QLabel(QStringLiteral("inches"), shown), 1, 2);
    shownGrid->addWidget(new QLabel(QStringLiteral("Weight:"), shown), 2, 0, Qt::AlignRight);
    shownGrid->addWidget(m_wtLbs, 2, 1);
    shownGrid->addWidget(new QLabel(QStringLiteral("lbs."), shown), 2, 2);
    shownGrid->addWidget(m_wtOz, 2, 3);
    shownGrid->addWidget(new QLabel(QStringLiteral("oz."), shown), 2, 4);
    auto* nav = new QHBoxLayout;
    nav->addWidget(previous);
    nav->addWidget(next);
    shownGrid->addLayout(nav, 0, 3, 1, 2);
    shownGrid->setColumnStretch(5, 1);
    auto* searchLabel = new QLabel(QStringLiteral("Date Search"), shown);
    searchLabel->setBuddy(m_dateSearch);
    shownGrid->addWidget(searchLabel, 0, 6);
    shownGrid->addWidget(m_dateSearch, 1, 6);
    shownGrid->addWidget(delBox, 0, 7, 3, 1, Qt::AlignCenter);

    auto* added = new QGroupBox(QStringLiteral("New Entry"), entries);
    m_newDate = new MaskedDateEdit(added);
    m_newDate->setObjectName(QStringLiteral("NewDate"));
    m_newDate->setMaxLength(8);
    m_newDate->setMaximumWidth(m_newDate->minimumWidth() + 10);
    m_newHeight = newValue("NewHeight", QStringLiteral("New height"), added);
    m_newWtLbs = newValue("NewWtLbs", QStringLiteral("New weight pounds"), added);
    m_newWtOz = newValue("NewWtOz", QStringLiteral("New weight ounces"), added);
    auto* add = Widgets::pushButton(QStringLiteral("BitBtn5"), QStringLiteral("Add Entry"), added);
    add->setIcon(Widgets::standardIcon(QStyle::SP_FileDialogNewFolder));
    auto* newGrid = new QGridLayout(added);
    auto* newDateLabel = new QLabel(QStringLiteral("Date:"), added);
    newDateLabel->setBuddy(m_newDate);
    Widgets::setAccessibleCaption(m_newDate, QStringLiteral("New date"));
    newGrid->addWidget(newDateLabel, 0, 0, Qt::AlignRight);
    newGrid->addWidget(m_newDate, 0, 1);
    newGrid->addWidget(new QLabel(QStringLiteral("Height:"), added), 1, 0, Qt::AlignRight);
    newGrid->addWidget(m_newHeight, 1, 1);
    newGrid->addWidget(new QLabel(QStringLiteral("inches"), added), 1, 2);
    newGrid->addWidget(new QLabel(QStringLiteral("Weight:"), added), 2, 0, Qt::AlignRight);
    newGrid->addWidget(m_newWtLbs, 2, 1);
    newGrid->addWidget(new QLabel(QStringLiteral("lbs."), added), 2, 2);
    newGrid->addWidget(m_newWtOz, 2, 3);
    newGrid->addWidget(new QLabel(QStringLiteral("oz."), added), 2, 4);
    newGrid->addWidget(add, 0, 6, 3, 1, Qt::AlignCenter);
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
    rows << Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Growth"), this),
                               Widgets::helpButton(QStringLiteral("BitBtn3"), 18, this), {});
    // The new-entry group comes first in the tab order.
    setTabOrder(m_newDate, m_newHeight);
    setTabOrder(m_newHeight, m_newWtLbs);
    setTabOrder(m_newWtLbs, m_newWtOz);
    setTabOrder(m_newWtOz, add);
    setTabOrder(add, previous);
    setTabOrder(previous, next);
    setTabOrder(next, m_dateSearch);
    setTabOrder(m_dateSearch, del);

    // Growth Chart
    auto* chartContent = new QWidget(this);
    m_chart = new QChart;
    m_chart->setObjectName(QStringLiteral("GrowthChart"));
    m_chart->setTitle(QStringLiteral("Height and Weight by Age"));
    m_heightSeries = new QLineSeries;
    m_heightSeries->setName(QStringLiteral("Height (inches)"));
    m_heightSeries->setPointsVisible(true);
    m_heightSeries->setColor(QColor(0x2e, 0x7d, 0x32));
    m_weightSeries = new QLineSeries;
    m_weightSeries->setName(QStringLiteral("Weight (pounds)"));
    m_weightSeries->setPointsVisible(true);
    m_weightSeries->setColor(QColor(0xb0, 0x30, 0x60));
    m_chart->addSeries(m_heightSeries);
    m_chart->addSeries(m_weightSeries);
    m_ageAxis = new QValueAxis;
    m_heightAxis = new QValueAxis;
    m_weightAxis = new QValueAxis;
    m_heightAxis->setTitleText(QStringLiteral("Height (in)"));
    m_weightAxis->setTitleText(QStringLiteral("Weight (lb)"));
    for (QLineSeries* series : {m_heightSeries, m_weightSeries}) {
        QPen pen(series->color());
        pen.setWidth(2);
        series->setPen(pen);
        series->setMarkerSize(4);
    }
    m_heightAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_weightAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_heightAxis->setLabelsColor(m_heightSeries->color());
    m_weightAxis->setLabelsColor(m_weightSeries->color());
    m_chart->addAxis(m_ageAxis, Qt::AlignBottom);
    m_chart->addAxis(m_heightAxis, Qt::AlignLeft);
    m_chart->addAxis(m_weightAxis, Qt::AlignRight);
    m_heightSeries->attachAxis(m_ageAxis);
    m_heightSeries->attachAxis(m_heightAxis);
    m_weightSeries->attachAxis(m_ageAxis);
    m_weightSeries->attachAxis(m_weightAxis);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chartView = new QChartView(m_chart, chartContent);
    m_chartView->setObjectName(QStringLiteral("ChartView"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setAccessibleName(QStringLiteral("Growth chart"));
    m_chartView->setMinimumHeight(280);
    m_chartNote = new QLabel(chartContent);
    m_chartNote->setObjectName(QStringLiteral("ChartNote"));
    m_chartNote->setWordWrap(true);
    m_leftOut = DiaryWidgets::display("LeftOut", QStringLiteral("Left out of the chart"), chartContent);
    m_leftOut->setMaximumHeight(56);
    m_leftOut->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* chartLayout = new QVBoxLayout(chartContent);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(m_chartView, 1);
    chartLayout->addWidget(m_chartNote);
    chartLayout->addWidget(m_leftOut);
    m_chartPage = chartContent;
    rows << Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Growth"), this),
                               Widgets::helpButton(QStringLiteral("ChartHelp"), 17, this), {});
    m_pages->addTab(m_chartPage, QStringLiteral("Growth Chart"));
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        if (m_pages->currentWidget() == m_chartPage && !m_chartCurrent)
            guarded(this, [this] { refreshChart(); });
    });

    auto* close = Widgets::closeButton(QStringLiteral("BitBtn2"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(Widgets::pageRows(m_pages, rows, {close}));

    connect(previous, &QToolButton::clicked, this, &TGrowth::PreviousClick);
    connect(next, &QToolButton::clicked, this, &TGrowth::NextClick);
    connect(del, &QToolButton::clicked, this, &TGrowth::DelButtonClick);
    connect(add, &QPushButton::clicked, this, &TGrowth::BitBtn5Click);
    connect(m_dateSearch, qOverload<int>(&QComboBox::activated), this, &TGrowth::DateSearchClick);
    resize(760, 500);
}

void TGrowth::FormActivate() {
    m_cursor.activate();
    RefreshCombo();
    showCurrent();
}

void TGrowth::FillGrowth() {
    if (!m_currentGrowthEntry) {
        showEmpty();
        return;
    }
    m_entryDate->setText(m_currentGrowthEntry->Date);
    m_height->setText(m_currentGrowthEntry->Height);
    m_wtLbs->setText(m_currentGrowthEntry->WtLbs);
    m_wtOz->setText(m_currentGrowthEntry->WtOz);
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
        lines.append(GrowthLog::line(r));
    m_logLines->setStringList(lines);
    chartOutdated();
}

void TGrowth::showEmpty() {
    m_entryDate->setText(EntryStore::EmptyDate);
    m_height->clear();
    m_wtLbs->clear();
    m_wtOz->clear();
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

void TGrowth::BitBtn5Click() {
    if (!m_newDate->validate())
        return;
    auto record = std::make_shared<GrowthType>(
        GrowthType{m_newDate->storedText(), m_newHeight->text(), m_newWtLbs->text(), m_newWtOz->text()});
    if (!guarded(this, [&] { m_cursor.append(record); }))
        return; // nothing was added; what was typed stays in the group
    showCurrent();
    m_newDate->setStoredText(QStringLiteral("  -  -  "));
    m_newHeight->clear();
    m_newWtLbs->clear();
    m_newWtOz->clear();
    RefreshCombo();
    m_newDate->setFocus();
    m_newDate->home(false);
}

void TGrowth::DelButtonClick() {
    if (m_cursor.count() == 0) {
        Messages::information(this, QStringLiteral("There are no records to Delete."));
        return;
    }
    if (!Messages::confirmDestructive(this, QStringLiteral("Delete this record?")))
        return;
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
    const QString child = ActiveChildName();
    QDate birth;
    Table table(QStringLiteral("CHILD"));
    table.open();
    if (table.findKey(child))
        birth = GrowthLog::readBirthDate(table.fieldText(QStringLiteral("BDayMonth")),
                                         table.fieldText(QStringLiteral("BDateDay")),
                                         table.fieldText(QStringLiteral("BDayYear")), today);
    table.close();

    const int n = m_cursor.count();
    QVector<GrowthType> records;
    records.reserve(n);
    for (int i = 0; i < n; ++i)
        records.append(*Entries().growthAt(i));
    const GrowthLog::Chart c = GrowthLog::chart(records, birth, today);

    // Ages up to three years read best in months, later ones in years.
    const bool years = c.maxAge > 36;
    const double scale = years ? 12.0 : 1.0;
    auto scaled = [scale](const QVector<QPointF>& points) {
        QList<QPointF> out;
        out.reserve(points.size());
        for (const QPointF& p : points)
            out.append(QPointF(p.x() / scale, p.y()));
        return out;
    };
    m_heightSeries->replace(scaled(c.height));
    m_weightSeries->replace(scaled(c.weight));
    // Dots mark each measurement while they can be told apart; a long log is drawn as lines only.
    m_heightSeries->setPointsVisible(c.height.size() <= 400);
    m_weightSeries->setPointsVisible(c.weight.size() <= 400);
    m_ageAxis->setTitleText(years ? QStringLiteral("Age (years)") : QStringLiteral("Age (months)"));
    const bool nothing = c.height.isEmpty() && c.weight.isEmpty();
    const double maxX = nothing ? 12.0 : std::max(1.0, std::ceil(c.maxAge / scale - 0.05));
    m_ageAxis->setRange(0, maxX);
    m_ageAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_ageAxis->setTickCount(int(std::min(13.0, maxX + 1)));
    auto range = [](QValueAxis* axis, const QVector<QPointF>& points, double fallback) {
        double top = fallback;
        for (const QPointF& p : points)
            top = std::max(top, p.y());
        axis->setRange(0, top * 1.05);
        axis->applyNiceNumbers();
    };
    range(m_heightAxis, c.height, 30);
    range(m_weightAxis, c.weight, 20);

    QString note;
    if (!c.birthKnown)
        note = QStringLiteral("The chart needs the child's birth date (month, day and year on the child's "
                              "information) to place the measurements by age.");
    else if (c.height.isEmpty() && c.weight.isEmpty())
        note =
            QStringLiteral("No measurement can be drawn yet: add dated entries with a height or a weight.");
    else
        note = QStringLiteral("Born ") + QLocale::c().toString(birth, QStringLiteral("MMMM d, yyyy")) +
               QStringLiteral(". Measurements in date order.");
    if (!c.leftOut.isEmpty())
        note += QStringLiteral(" Left out of the chart, as they cannot be read:");
    m_chartNote->setText(note);
    m_leftOut->setPlainText(c.leftOut.join(QLatin1Char('\n')));
    m_leftOut->setVisible(!c.leftOut.isEmpty());
}
