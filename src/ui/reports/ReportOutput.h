#pragma once

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

// Where a report's pages go: straight to the default printer (no print dialog), into the preview
// window, or into a PDF file the user names. Without a printer, or when the printer refuses the job,
// the user is told that nothing was printed and offered "Save as PDF" instead.
namespace ReportOutput {
// Paints every page of the report on `device`; false when the device could not be painted on.
using Render = std::function<bool(QPagedPaintDevice* device)>;

struct Job {
    QString name; // the report's name: the printer's document name and the default file name
    QString child;
    Render render;
};

// Sends the job to the default printer. True only when the pages were handed to the printer (or,
// with the test hook below, written to its PDF file).
bool print(QWidget* parent, const Job& job);
// Shows the pages in the modal preview window (zoom, pages, "Print", "Save as PDF", "Close").
void preview(QWidget* parent, const Job& job);
// Asks for a file name and writes the pages there as PDF; true when the file was written.
bool saveAsPdf(QWidget* parent, const Job& job);
// Writes the pages to `path` as PDF; false when the file cannot be written.
bool writePdf(const QString& path, const Job& job);

// Test hook: while set to a file path, print() writes the pages to that PDF file instead of sending
// them to a printer, so tests can check what the print buttons produce on a machine without one.
// An empty path restores real printing.
void setPrintToPdfForTesting(const QString& path);
} // namespace ReportOutput
