#include "ui/shell/BookMoves.h"

#include "core/exchange/BookFile.h"
#include "core/store/StoreError.h"
#include "ui/common/Messages.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QProgressDialog>

namespace {
const QString kFilter = QStringLiteral("Tinyra books (*.zip);;All files (*)");

// A progress dialog the work reports to; Cancel stops the work.
class ProgressBox {
public:
    ProgressBox(QWidget* parent, const QString& label)
        : m_dialog(label, QStringLiteral("Cancel"), 0, 1000, parent) {
        m_dialog.setObjectName(QStringLiteral("BookProgress"));
        m_dialog.setWindowTitle(Messages::ApplicationTitle);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(300);
        m_dialog.setAutoReset(false);
        m_dialog.setAutoClose(false);
    }
    BookFile::Progress report() {
        return [this](double done) {
            m_dialog.setValue(int(done * 1000));
            QApplication::processEvents();
            return !m_dialog.wasCanceled();
        };
    }

private:
    QProgressDialog m_dialog;
};
// The file dialog, named so that it can be found: the chosen file, or empty when left.
QString chooseFile(QWidget* parent, const QString& name, const QString& caption, const QString& start,
                   bool save) {
    QFileDialog dialog(parent, caption, start, kFilter);
    dialog.setObjectName(name);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) {
        dialog.setDefaultSuffix(QStringLiteral("zip"));
        dialog.selectFile(start);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
} // namespace

namespace BookMoves {
void exportBook(QWidget* parent) {
    const QString suggested = QDir::home().filePath(
        QStringLiteral("tinyra-book-%1.zip").arg(QDate::currentDate().toString(Qt::ISODate)));
    const QString file = chooseFile(parent, QStringLiteral("ExportBookDialog"), QStringLiteral("Export Book"),
                                    suggested, true);
    if (file.isEmpty())
        return;
    try {
        ProgressBox progress(parent, QStringLiteral("Writing the book..."));
        BookFile::exportBook(file, progress.report());
    } catch (const BookFile::Error& e) {
        Messages::information(parent, e.message());
        return;
    } catch (const StoreError& e) {
        Messages::errorReport(parent, e.message());
        return;
    }
    Messages::information(parent,
                          QStringLiteral("The book was exported to\n%1").arg(QDir::toNativeSeparators(file)));
}

bool importBook(QWidget* parent) {
    const QString file = chooseFile(parent, QStringLiteral("ImportBookDialog"), QStringLiteral("Import Book"),
                                    QDir::homePath(), false);
    if (file.isEmpty())
        return false;
    BookFile::Summary summary;
    try {
        ProgressBox progress(parent, QStringLiteral("Reading the book..."));
        summary = BookFile::importBook(file, progress.report());
    } catch (const BookFile::Error& e) {
        Messages::information(parent, e.message());
        return false;
    } catch (const StoreError& e) {
        Messages::errorReport(parent, QStringLiteral("Nothing was imported; the book is unchanged.\n\n") +
                                          e.message());
        return false;
    }
    Messages::information(parent, QStringLiteral("The book in %1 was imported.\n\n%2")
                                      .arg(QDir::toNativeSeparators(file), summary.text()));
    return !summary.changedNothing();
}
} // namespace BookMoves
