#pragma once

#include <QPageSize>
#include <QString>

#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QWidget;

// Where a report's pages go: straight to the default printer (no print dialog), into the preview
// window, or into a PDF file the user names. Without a printer, or when the printer refuses the job,
// the user is told that nothing was printed and offered "Save as PDF" instead. A long report is laid
// out and written under a progress dialog that can be cancelled; the window stays responsive.
namespace ReportOutput {
// A report's pages, painted one at a time on a painter scaled to the 96-per-inch grid.
class PageSource {
public:
    virtual ~PageSource() = default;
    virtual QPageSize::PageSizeId paper() const = 0;
    // Lays out a little more of the pages; true once the page count is known.
    virtual bool layoutStep() { return true; }
    // How far the layout has come, 0 to 1.
    virtual double layoutProgress() const { return 1; }
    // Valid once layoutStep() returned true.
    virtual int pageCount() const = 0;
    // Whether the layout is done, and how many pages are laid out so far: a page below that count
    // may be painted while the rest is still being laid out.
    virtual bool laidOut() const { return true; }
    virtual int pagesReady() const { return pageCount(); }
    virtual void paintPage(QPainter& painter, int index) = 0;
};

struct Job {
    QString name; // the report's name: the printer's document name and the default file name
    QString child;
    std::shared_ptr<PageSource> pages;
    // Printed through the print dialog (printer, page range, copies) rather than confirmed and sent
    // to the default printer.
    bool askPrinter = false;
    // The pages printed, counted from 1; 0 for the first or last page.
    int firstPage = 0;
    int lastPage = 0;
};

// A job of one page painted by `paint`, on `paper`.
Job onePage(const QString& name, const QString& child, std::function<void(QPainter&)> paint,
            QPageSize::PageSizeId paper = QPageSize::Letter);

// Lays the job's pages out, under a progress dialog when that takes a while; false when the user
// cancelled it.
bool layOut(QWidget* parent, const Job& job);
// Paints every page of the job on `device` (its page layout is set first), under a progress dialog
// when that takes a while. False when the device cannot be painted on or the user cancelled.
bool render(QWidget* parent, QPagedPaintDevice* device, const Job& job);

// Sends the job to the default printer. True only when the pages were handed to the printer (or,
// with the test hook below, written to its PDF file). A job of more than ten pages asks first,
// naming its page count.
bool print(QWidget* parent, const Job& job);
// Shows the pages in the modal preview window (zoom, pages, "Print", "Save as PDF", "Close").
void preview(QWidget* parent, const Job& job);
// Asks for a file name and writes the pages there as PDF; true when the file was written.
bool saveAsPdf(QWidget* parent, const Job& job);
// Writes the pages to `path` as PDF; false when the file cannot be written or the user cancelled.
bool writePdf(const QString& path, const Job& job, QWidget* parent = nullptr);

// Test hook: while set to a file path, print() writes the pages to that PDF file instead of sending
// them to a printer, so tests can check what the print buttons produce on a machine without one.
// An empty path restores real printing.
void setPrintToPdfForTesting(const QString& path);
// Test hook: while true, the progress dialog shows at the first page rather than after half a second.
void setProgressAtOnceForTesting(bool atOnce);
} // namespace ReportOutput
