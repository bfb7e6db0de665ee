#include "ui/reports/ReportOutput.h"

#include "ui/common/Messages.h"
#include "ui/reports/TReportPreview.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
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

bool writePdf(const QString& path, const Job& job) {
    bool ok = false;
    {
        QPdfWriter writer(path);
        writer.setTitle(job.child.isEmpty() ? job.name : job.name + QStringLiteral(" - ") + job.child);
        writer.setCreator(QStringLiteral("Tinyra 4"));
        writer.setResolution(600);
        ok = job.render(&writer);
    }
    const QFileInfo written(path);
    return ok && written.exists() && written.size() > 0;
}

bool print(QWidget* parent, const Job& job) {
    if (!testPdfPath().isEmpty())
        return writePdf(testPdfPath(), job);

    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return offerPdf(parent, QStringLiteral("No printer is installed, so the report was not printed."),
                        job);
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(job.name);
    if (!job.render(&printer) || printer.printerState() == QPrinter::Error ||
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
    if (!writePdf(path, job)) {
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
