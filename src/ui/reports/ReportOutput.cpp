#include "ui/reports/ReportOutput.h"

#include "ui/common/Messages.h"
#include "ui/reports/ReportStyle.h"
#include "ui/reports/TReportPreview.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>

namespace ReportOutput {
namespace {
QString& testPdfPath() {
    static QString path;
    return path;
}

// The message for a print that did not happen; offers the PDF file instead.
bool offerPdf(QWidget* parent, const QString& reason, const Job& job) {
    QMessageBox box(QMessageBox::Warning, Messages::ApplicationTitle,
                    reason + QStringLiteral("\n\nYou can save the report as a PDF file instead."),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("NoPrinterBox"));
    QPushButton* save = box.addButton(QStringLiteral("Save as PDF..."), QMessageBox::AcceptRole);
    save->setObjectName(QStringLiteral("SavePdfBtn"));
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        saveAsPdf(parent, job);
    return false; // nothing was printed, whatever became of the PDF
}

bool& progressAtOnce() {
    static bool atOnce = false;
    return atOnce;
}

// A progress dialog that appears only when the work takes a while; between its updates the program
// answers its events, so the window repaints and "Cancel" can be pressed.
class Progress {
public:
    Progress(QWidget* parent, const QString& text)
        : m_dialog(text, QStringLiteral("Cancel"), 0, 1000, parent) {
        m_dialog.setObjectName(QStringLiteral("ReportProgress"));
        m_dialog.setWindowTitle(Messages::ApplicationTitle);
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(progressAtOnce() ? 0 : 500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_timer.start();
    }
    // False once the user cancelled.
    bool update(double fraction) {
        if (m_timer.elapsed() >= 40 || progressAtOnce()) {
            m_timer.restart();
            m_dialog.setValue(qBound(0, int(fraction * 1000), 999));
            QCoreApplication::processEvents();
        }
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_timer;
};

class OnePage : public PageSource {
public:
    OnePage(std::function<void(QPainter&)> paint, QPageSize::PageSizeId paper)
        : m_paint(std::move(paint)), m_paper(paper) {}
    QPageSize::PageSizeId paper() const override { return m_paper; }
    int pageCount() const override { return 1; }
    void paintPage(QPainter& painter, int) override { m_paint(painter); }

private:
    std::function<void(QPainter&)> m_paint;
    QPageSize::PageSizeId m_paper;
};

QString defaultFileName(const Job& job) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QDir::homePath();
    QString base = job.name;
    if (!job.child.isEmpty())
        base += QStringLiteral(" - ") + job.child;
    // Keep the name usable as a file name whatever the child is called.
    for (QChar& c : base)
        if (QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    return QDir(dir).filePath(base + QStringLiteral(".pdf"));
}
} // namespace

void setPrintToPdfForTesting(const QString& path) {
    testPdfPath() = path;
}

void setProgressAtOnceForTesting(bool atOnce) {
    progressAtOnce() = atOnce;
}

Job onePage(const QString& name, const QString& child, std::function<void(QPainter&)> paint,
            QPageSize::PageSizeId paper) {
    return Job{name, child, std::make_shared<OnePage>(std::move(paint), paper)};
}

bool layOut(QWidget* parent, const Job& job) {
    if (job.pages->layoutStep())
        return true;
    Progress progress(parent, QStringLiteral("Laying out the pages of ") + job.name + QStringLiteral("..."));
    while (!job.pages->layoutStep())
        if (!progress.update(job.pages->layoutProgress()))
            return false;
    return true;
}

namespace {
enum class Outcome { Done, Failed, Cancelled };

Outcome paintAll(QWidget* parent, QPagedPaintDevice* device, const Job& job) {
    if (!layOut(parent, job))
        return Outcome::Cancelled;
    ReportStyle::preparePage(device, job.pages->paper());
    QPainter painter;
    if (!painter.begin(device))
        return Outcome::Failed;
    const int count = job.pages->pageCount();
    const int first = job.firstPage > 0 ? qMin(job.firstPage, count) - 1 : 0;
    const int last = job.lastPage > 0 ? qMin(job.lastPage, count) : count;
    const int pages = qMax(0, last - first);
    std::unique_ptr<Progress> progress;
    if (pages > 1)
        progress = std::make_unique<Progress>(parent, QStringLiteral("Making the pages of ") + job.name +
                                                          QStringLiteral("..."));
    for (int n = 0; n < pages; ++n) {
        const int i = first + n;
        if (n > 0 && !device->newPage())
            return Outcome::Failed;
        painter.save();
        ReportStyle::scaleToGrid(painter);
        job.pages->paintPage(painter, i);
        painter.restore();
        if (progress && !progress->update(double(n + 1) / pages)) {
            painter.end();
            return Outcome::Cancelled;
        }
    }
    return painter.end() ? Outcome::Done : Outcome::Failed;
}
} // namespace

bool render(QWidget* parent, QPagedPaintDevice* device, const Job& job) {
    return paintAll(parent, device, job) == Outcome::Done;
}

bool writePdf(const QString& path, const Job& job, QWidget* parent) {
    bool ok = false;
    {
        QPdfWriter writer(path);
        writer.setTitle(job.child.isEmpty() ? job.name : job.name + QStringLiteral(" - ") + job.child);
        writer.setCreator(QStringLiteral("Tinyra 4"));
        writer.setResolution(600);
        ok = render(parent, &writer, job);
    }
    const QFileInfo written(path);
    if (!ok)
        QFile::remove(path); // a cancelled or failed file is not left half written
    return ok && written.exists() && written.size() > 0;
}

namespace {
// The print dialog: the parent picks the printer, the pages and the copies.
bool printThroughDialog(QWidget* parent, Job job) {
    QPrinter printer(QPrinter::HighResolution);
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull())
        printer.setPrinterName(info.printerName());
    printer.setFullPage(true);
    printer.setDocName(job.name);
    printer.setPageSize(QPageSize(job.pages->paper()));
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setWindowTitle(QStringLiteral("Print ") + job.name);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setMinMax(1, job.pages->pageCount());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (printer.printRange() == QPrinter::PageRange) {
        job.firstPage = printer.fromPage();
        job.lastPage = printer.toPage();
    }
    if (!testPdfPath().isEmpty())
        return writePdf(testPdfPath(), job, parent);
    const Outcome outcome = paintAll(parent, &printer, job);
    if (outcome == Outcome::Cancelled) {
        printer.abort();
        return false;
    }
    if (outcome == Outcome::Failed || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted)
        return offerPdf(parent,
                        QStringLiteral("The printer \"") + printer.printerName() +
                            QStringLiteral("\" did not accept the report, so it was not printed."),
                        job);
    return true;
}
} // namespace

bool print(QWidget* parent, const Job& job) {
    if (!layOut(parent, job))
        return false;
    if (job.askPrinter)
        return printThroughDialog(parent, job);
    const int pages = job.pages->pageCount();
    if (pages > 10 && !Messages::confirm(
                          parent, QStringLiteral("This report has %1 pages. Print all %1 pages?").arg(pages)))
        return false;
    if (!testPdfPath().isEmpty())
        return writePdf(testPdfPath(), job, parent);

    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return offerPdf(parent, QStringLiteral("No printer is installed, so the report was not printed."),
                        job);
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(job.name);
    const Outcome outcome = paintAll(parent, &printer, job);
    if (outcome == Outcome::Cancelled) {
        printer.abort(); // nothing goes to the printer
        return false;
    }
    if (outcome == Outcome::Failed || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted)
        return offerPdf(parent,
                        QStringLiteral("The printer \"") + info.printerName() +
                            QStringLiteral("\" did not accept the report, so it was not printed."),
                        job);
    return true;
}

bool saveAsPdf(QWidget* parent, const Job& job) {
    QFileDialog dialog(parent, QStringLiteral("Save as PDF"));
    dialog.setObjectName(QStringLiteral("SavePdfDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("PDF files (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(defaultFileName(job));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString path = dialog.selectedFiles().constFirst();
    if (!layOut(parent, job))
        return false;
    if (!writePdf(path, job, parent)) {
        Messages::information(parent, QStringLiteral("The report could not be saved as ") +
                                          QDir::toNativeSeparators(path) +
                                          QStringLiteral(". Choose a folder you can write to."));
        return false;
    }
    Messages::information(parent, QStringLiteral("The report was saved as ") +
                                      QDir::toNativeSeparators(path) + QLatin1Char('.'));
    return true;
}

void preview(QWidget* parent, const Job& job) {
    TReportPreview window(job, parent);
    window.exec();
}
} // namespace ReportOutput
