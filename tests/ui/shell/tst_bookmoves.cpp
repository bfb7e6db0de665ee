// Export Book... and Import Book... from the Child menu: the file dialogs, the message afterwards, the
// active child's lists read again after an import, and a refused file leaving the book as it was.
#include "core/book/EntryStore.h"
#include "core/store/Backups.h"
#include "core/store/Clock.h"
#include "core/store/Database.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "support/RunCommand.h"
#include "ui/shell/TMainWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>
#include <QTreeWidget>

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
    void restoreABackupFromTheChildMenu();
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

    // The entry goes as if this book had never had it (a removal of its own would be newer than the
    // file and kept); the import brings it, and the journal the window shows has it again.
    {
        Clock::Applying quiet;
        Database::exec("DELETE FROM STAMPS WHERE tbl = 'ENTRIES'");
        Database::exec("DELETE FROM ENTRIES");
    }
    Entries().childSwitch(Entries().child());
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

// "Restore a Backup..." lists every sound backup with what it holds, puts the chosen one in the
// book's place, keeps the book as it was beside it, and shows the restored book at once.
void BookMovesTest::restoreABackupFromTheChildMenu() {
    AppFixture app;
    const auto write = [](const char* title) {
        Entries().append(DiaryList::JournalEntries, std::make_shared<DiaryType>(DiaryType{
                                                        "01-02-24", QString::fromLatin1(title), QString()}));
    };
    write("First");
    const QString older = Backups::make(QDate(2026, 1, 1));
    write("Second");
    Backups::make(QDate(2026, 1, 2));
    write("Third");

    QStringList rows;
    ModalDriver driver;
    driver.expect("RestoreBackup", [&](QWidget* d) {
        auto* list = d->findChild<QTreeWidget*>("Backups");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows << list->topLevelItem(i)->text(1) + "/" + list->topLevelItem(i)->text(2);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->data(0, Qt::UserRole).toString() == older)
                list->setCurrentItem(list->topLevelItem(i));
        ModalDriver::click(d, "RestoreBtn");
    });
    driver.expect("ConfirmBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Yes); });
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.start();
    MainWindow->findChild<QAction*>("RestoreBackup1")->trigger();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));

    // The newest first (today's start-up copy may lead the list), each with its child and entries.
    QVERIFY2(rows.size() >= 2 && rows.mid(rows.size() - 2) == (QStringList{"1/2", "1/1"}),
             qPrintable(rows.join(' ')));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 0)->Title, QStringLiteral("First"));
    QVERIFY2(driver.messages().last().contains("has been restored"), qPrintable(driver.messages().last()));
    // The book as it was, with all three entries, is kept beside the restored one.
    const QDir folder = QFileInfo(Database::filePath()).dir();
    const QStringList beside = folder.entryList({"tinyra4.replaced-*.sqlite"}, QDir::Files);
    QCOMPARE(beside.size(), 1);
    QCOMPARE(Backups::infoOf(folder.filePath(beside.first())).entries, 3);
}

QTEST_MAIN(BookMovesTest)
#include "tst_bookmoves.moc"
