#pragma once

#include "core/diaries/DiaryCursor.h"
#include "ui/common/TDialog.h"

#include "core/diaries/GrowthPlot.h"

#include <memory>

class GrowthChartView;
class MaskedDateEdit;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPixmap;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;
class QTabWidget;

// The growth log: the child's measurements as a running log, one at a time with a date search and
// delete, a group for adding a new one, and charts of weight, length/height and head circumference
// by age against the growth standards, in the units the family chose.
class TGrowth : public TDialog {
    Q_OBJECT
public:
    explicit TGrowth(QWidget* parent = nullptr);
    const GrowthCursor& cursor() const { return m_cursor; }
    QTabWidget* pages() {
        ensureBuilt();
        return m_pages;
    }
    // The chart page's three charts (weight, length/height, head) and what they were last drawn from.
    QList<GrowthChartView*> charts() {
        ensureBuilt();
        return m_charts;
    }
    std::shared_ptr<const GrowthPlot::Plot> plot() const { return m_plot; }

public slots:
    void PreviousClick();
    void NextClick();
    void DateSearchClick(int index);
    void BitBtn5Click();
    void DelButtonClick();
    // Puts the shown record in the group below, retitled "Edit Entry", where Save Changes stores it in
    // its place and Cancel Edit leaves it as it was.
    void EditBtnClick();
    void CancelEditClick();

protected:
    void build() override;
    void FormActivate() override;
    // Closing (Close, Enter, Escape) with a record typed in "New Entry" but not added asks first.
    void done(int result) override;

private:
    // The three pages, each added to the tabs as it is built.
    void buildLogPage(const QPixmap& ruler);
    void buildEntriesPage(const QPixmap& ruler);
    void buildChartPage();
    void FillGrowth();
    void RefreshCombo();
    void showEmpty();
    void showCurrent();
    // The chart is drawn when its page is shown, from the log as it is then.
    void refreshChart();
    void chartOutdated();
    // The unit captions, the entry boxes and the log follow the chosen units.
    void showUnits();
    void showRecordUnits(bool metric);
    bool newEntryTyped() const;
    void clearNewEntry();
    // Whether the group below holds a record in centimetres and kilograms: the chosen units for a new
    // record, the record's own while one is edited.
    bool groupMetric() const;
    // The group's values as a record, in the group's units.
    std::shared_ptr<GrowthType> typedRecord() const;
    // Back to adding: the group empty, under its own title.
    void endEdit();

    GrowthCursor m_cursor;
    std::shared_ptr<GrowthType> m_currentGrowthEntry;
    int m_editing = -1; // the place of the record in the group below, -1 while adding
    bool m_editMetric = false;
    QGroupBox* m_newGroup;
    QPushButton* m_add;
    QPushButton* m_cancelEdit;
    QTabWidget* m_pages;
    QListView* m_log;
    QStringListModel* m_logLines;
    QLabel* m_entryDate;
    QLabel* m_height;
    QLabel* m_wtLbs;
    QLabel* m_wtOz;
    QComboBox* m_dateSearch;
    QStringListModel* m_dates;
    MaskedDateEdit* m_newDate;
    QLineEdit* m_newHeight;
    QLineEdit* m_newWtLbs;
    QLineEdit* m_newWtOz;
    QLineEdit* m_newWtKg;
    QLineEdit* m_newHead;
    QLabel* m_head;
    QLabel* m_wtKg;
    QList<QLabel*> m_shownLengthUnits, m_shownImperialWeight, m_newLengthUnits, m_newImperialWeight;
    QList<QWidget*> m_shownMetricWeight, m_newMetricWeight;
    QComboBox* m_units;
    QWidget* m_chartPage;
    QList<GrowthChartView*> m_charts;
    QComboBox* m_reference = nullptr;
    QComboBox* m_newMeasured = nullptr; // lying down or standing, for a new entry's length or height
    void defaultMeasured(const QDate& measuredOn = QDate::currentDate());
    std::shared_ptr<const GrowthPlot::Plot> m_plot;
    QLabel* m_chartSummary;
    QLabel* m_chartNote;
    QPlainTextEdit* m_leftOut;
    bool m_chartCurrent = false;
};

// The one TGrowth, created at start-up (null before and after).
extern TGrowth* Growth;
