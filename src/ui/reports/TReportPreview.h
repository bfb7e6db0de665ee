#pragma once

#include "ui/reports/ReportOutput.h"

#include <QDialog>

class QLabel;
class QPrintPreviewWidget;
class QPrinter;

// The preview window: the report's pages with zoom and page buttons, "Print" (straight to the
// default printer), "Save as PDF" and "Close".
class TReportPreview : public QDialog {
    Q_OBJECT
public:
    TReportPreview(const ReportOutput::Job& job, QWidget* parent = nullptr);
    ~TReportPreview() override;

    QPrintPreviewWidget* previewWidget() const { return m_view; }

private slots:
    void PrintBtnClick();
    void SavePdfBtnClick();
    void updatePageLabel();

private:
    ReportOutput::Job m_job;
    QPrinter* m_printer;
    QPrintPreviewWidget* m_view;
    QLabel* m_pageLabel;
};
