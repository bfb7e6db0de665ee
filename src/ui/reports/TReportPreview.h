#pragma once

#include "ui/reports/ReportOutput.h"

#include <QDialog>

class QLabel;
class QScrollArea;
class PreviewPage;

// The preview window: one page of the report at a time with zoom and page buttons, "Print" (straight
// to the default printer), "Save as PDF" and "Close". Only the page shown is painted, and it shows as
// soon as it is laid out while the rest is laid out behind it, so a report of thousands of pages opens
// as quickly as a short one. The window takes the screen's available height.
class TReportPreview : public QDialog {
    Q_OBJECT
public:
    TReportPreview(const ReportOutput::Job& job, QWidget* parent = nullptr);

    // The page count, laying the rest of the report out first when that is not done yet.
    int pageCount() const;
    int currentPage() const { return m_page + 1; } // 1-based
    void setCurrentPage(int page);                 // 1-based

private slots:
    void PrintBtnClick();
    void SavePdfBtnClick();

private:
    void setScale(double scale);
    void fit(bool width);
    void updatePageLabel();

    ReportOutput::Job m_job;
    QScrollArea* m_scroll;
    PreviewPage* m_view;
    QLabel* m_pageLabel;
    int m_page = 0;
};
