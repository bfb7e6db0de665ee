// Export Book... and Import Book... from the Child menu: the file dialogs, the message afterwards, the
// active child's lists read again after an import, and a refused file leaving the book as it was.
#include "core/book/EntryStore.h"
#include "core/store/Database.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "support/RunCommand.h"
#include "ui/shell/TMainWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>

namespace {
void trigger(const char* action) {
    MainWindow->findChild<QAction*>(action)->trigger();
}

// Answers a file dialog with `file`.
ModalDriver::Action choose(const QString& file) {
    return [file](QWidget* w) {
        // Typed into the name box, as a parent would.
        w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
        static_cast<QDialog*>(w)->accept();
    };
}

ModalDriver::Action readBox(QString* text) {
    return [text](QWidget* box) {
        *text = static_cast<QMessageBox*>(box)->text();
        ModalDriver::answer(box, QMessageBox::Ok);
    };
}

int rows(const QString& table) {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT count(*) FROM %1").arg(table));
    return q.next() ? q.value(0).toInt() : -1;
}
} // namespace

class BookMovesTest : public QObject {
    Q_OBJECT
private slots:
    void exportThenImportThroughTheChildMenu();
};

void BookMovesTest::exportThenImportThroughTheChildMenu() {
    AppFixture app;
    const QString file = QDir(app.store().dataHome()).filePath("family.zip");
    Entries().append(DiaryList::JournalEntries,
                     std::make_shared<DiaryType>(DiaryType{"01-02-24", "Park", "Ducks"}));
    Entries().setToothDate(2, "03-04-24");

    QString exported;
    ModalDriver exporting;
    exporting.expect("ExportBookDialog", choose(file)).expect("InformationBox", readBox(&exported));
    RUN([] { trigger("ExportBook1"); }, exporting);
    QVERIFY2(exported.startsWith("The book was exported to"), qPrintable(exported));
    QVERIFY2(QFile::exists(file), qPrintable(exported));

    // The entry goes; the import brings it back, and the journal the window shows has it again.
    Entries().removeAt(DiaryList::JournalEntries, 0);
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 0);
    QString summary;
    ModalDriver importing;
    importing.expect("ImportBookDialog", choose(file)).expect("InformationBox", readBox(&summary));
    RUN([] { trigger("ImportBook1"); }, importing);
    QVERIFY2(summary.contains("1 record added."), qPrintable(summary));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 0)->Text, QStringLiteral("Ducks"));

    // A file that is no book is refused and changes nothing.
    const QString junk = QDir(app.store().dataHome()).filePath("junk.zip");
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a zip at all");
    f.close();
    const int entries = rows("ENTRIES"), teeth = rows("TEETH");
    QString refusal;
    ModalDriver refusing;
    refusing.expect("ImportBookDialog", choose(junk)).expect("InformationBox", readBox(&refusal));
    RUN([] { trigger("ImportBook1"); }, refusing);
    QVERIFY2(refusal.contains("not a Tinyra book"), qPrintable(refusal));
    QCOMPARE(rows("ENTRIES"), entries);
    QCOMPARE(rows("TEETH"), teeth);
}

QTEST_MAIN(BookMovesTest)
#include "tst_bookmoves.moc"
