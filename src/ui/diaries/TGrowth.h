#pragma once

#include "core/diaries/DiaryCursor.h"
#include "ui/common/TDialog.h"

class MaskedDateEdit;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QListView;
class QPlainTextEdit;
class QStringListModel;
class QTabWidget;
class QValueAxis;

// The growth log: the child's measurements as a running log, one at a time with a date search and
// delete, a group for adding a new one, and a chart of height and weight by age.
class TGrowth : public TDialog {
    Q_OBJECT
public:
    explicit TGrowth(QWidget* parent = nullptr);
    const GrowthCursor& cursor() const { return m_cursor; }
    QTabWidget* pages() {
        ensureBuilt();
        return m_pages;
    }
    QChart* chart() {
        ensureBuilt();
        return m_chart;
    }

public slots:
    void PreviousClick();
    void NextClick();
    void DateSearchClick(int index);
    void BitBtn5Click();
    void DelButtonClick();

protected:
    void build() override;
    void FormActivate() override;

private:
    void FillGrowth();
    void RefreshCombo();
    void showEmpty();
    void showCurrent();
    // The chart is drawn when its page is shown, from the log as it is then.
    void refreshChart();
    void chartOutdated();

    GrowthCursor m_cursor;
    std::shared_ptr<GrowthType> m_currentGrowthEntry;
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
    QWidget* m_chartPage;
    QChartView* m_chartView;
    QChart* m_chart;
    QLineSeries* m_heightSeries;
    QLineSeries* m_weightSeries;
    QValueAxis* m_ageAxis;
    QValueAxis* m_heightAxis;
    QValueAxis* m_weightAxis;
    QLabel* m_chartNote;
    QPlainTextEdit* m_leftOut;
    bool m_chartCurrent = false;
};

// The one TGrowth, created at start-up (null before and after).
extern TGrowth* Growth;
