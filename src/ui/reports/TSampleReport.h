#pragma once

#include "core/reports/AnnouncementTexts.h"
#include "ui/common/TDialog.h"
#include "ui/reports/ReportOutput.h"

class QPagedPaintDevice;
class QPainter;

// The birth announcement: one Letter portrait page laid out on the 96-per-inch grid (title band,
// details band, footer), created once and never shown itself. The chooser sets its ten texts and
// then prints or previews it.
class TSampleReport : public TDialog {
    Q_OBJECT
public:
    explicit TSampleReport(QWidget* parent = nullptr);

    void setTexts(const AnnouncementTexts& texts) { m_texts = texts; }
    const AnnouncementTexts& texts() const { return m_texts; }

    // Paints the page with `texts` on a painter scaled to the grid.
    static void paintPage(QPainter& painter, const AnnouncementTexts& texts);
    // Lays the page out on `device` and paints it; false when the device cannot be painted on.
    static bool render(QPagedPaintDevice* device, const AnnouncementTexts& texts);
    // The page as a job for the printer, the preview or a PDF file, on the paper set last (Letter
    // until then).
    ReportOutput::Job job(const QString& child) const;
    void setPaper(QPageSize::PageSizeId paper) { m_paper = paper; }

    // Sends the page straight to the default printer; true when it was handed to the printer.
    bool Print(QWidget* parent, const QString& child = QString());
    // Shows the page in the preview window until the user closes it.
    void Preview(QWidget* parent, const QString& child = QString());

protected:
    void build() override;

private:
    AnnouncementTexts m_texts;
    QPageSize::PageSizeId m_paper = QPageSize::Letter;
};

// The one TSampleReport, created at start-up (null before and after).
extern TSampleReport* SampleReport;
