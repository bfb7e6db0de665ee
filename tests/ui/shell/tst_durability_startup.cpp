// Start-up through the program's own entry: a clean start makes today's backup; a damaged store is
// named with its problem and the newest backup, which is restored only when the parent says Yes.
#include "core/store/Backups.h"
#include "core/store/Database.h"
#include "core/store/FolderLock.h"
#include "support/ModalDriver.h"
#include "support/TempStore.h"
#include "ui/shell/Forms.h"
#include "ui/shell/Startup.h"
#include "ui/shell/TMainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <functional>
#include <future>

namespace {
QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void garble(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(70000, '\x5a'));
}

// Runs the program; once its main window shows with no dialog open and the driver (if any) has
// run every step or given up, notes the caption and closes it. `settled`, when given, must hold too
// (for at most ten seconds): the window may still be catching up with the last dialog's outcome.
int runUntilMainWindow(QString* caption, const ModalDriver* driver = nullptr,
                       const std::function<bool()>& settled = nullptr) {
    QTimer watcher;
    watcher.setInterval(20);
    QElapsedTimer since;
    since.start();
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        const bool driven = !driver || driver->finished() || driver->failed();
        const bool done = !settled || settled() || since.elapsed() > 10000;
        if (driven && done && MainWindow && MainWindow->isVisible() && !QApplication::activeModalWidget()) {
            *caption = MainWindow->windowTitle();
            watcher.stop();
            QApplication::closeAllWindows();
            QApplication::quit();
        }
    });
    watcher.start();
    return runTinyra();
}

// Arms `driver` to answer the boxes the program is to show, in order, each with its button.
void answerInTurn(ModalDriver& driver,
                  std::initializer_list<std::pair<const char*, QMessageBox::StandardButton>> boxes) {
    for (const auto& [name, button] : boxes)
        driver.expect(name, [button = button](QWidget* box) { ModalDriver::answer(box, button); });
    driver.start();
}

// A store with the child Ann, in today's backup; then Ben is added and the file garbled.
QString damagedStoreWithBackup(TempStore& store) {
    store.open();
    TempStore::addChild(QStringLiteral("Ann"));
    TempStore::setPrevious(QStringLiteral("Ann"));
    const QString backup = Backups::make();
    TempStore::addChild(QStringLiteral("Ben"));
    store.close();
    garble(store.storeFile());
    return backup;
}
} // namespace

class StartupBackupTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QApplication::setStyle(QStringLiteral("Fusion")); }
    void cleanStartMakesTodaysBackup();
    void aDaysWorkIsCopiedWhenTheWindowCloses_data();
    void aDaysWorkIsCopiedWhenTheWindowCloses();
    void damagedStoreIsRestoredWhenTheParentAgrees();
    void damagedStoreIsLeftAloneWhenTheParentDeclines();
    void damagedStoreWithoutBackupIsReported();
    void missingStoreIsRestoredWhenTheParentAgrees();
    void missingStoreStartsAnEmptyBookWhenTheParentDeclines();
    void emptyStoreIsDamageNotAFirstRun();
    void everyBackupDamagedSaysWhereTheyAreAndWhatToDo();
    void aStartWaitsForAHolderWithoutAWindowAndTouchesNothing();
    void damageFoundAfterTheWindowShowsIsOfferedOverIt();
};

void StartupBackupTest::cleanStartMakesTodaysBackup() {
    TempStore store;
    TempStore::addChild(QStringLiteral("Ann"));
    TempStore::setPrevious(QStringLiteral("Ann"));
    store.close();
    QString caption;
    QCOMPARE(runUntilMainWindow(&caption), 0);
    QCOMPARE(caption, QStringLiteral("Tinyra 4.2 - Ann"));
    QCOMPARE(Backups::all(), QStringList{Backups::fileFor(QDate::currentDate())});
    QVERIFY(Backups::isSound(Backups::all().first()));
}

// The morning's copy is made at start; what the parent enters afterwards is in the copy made as the
// window closes, which replaces the day's (it holds all the morning's). A book left as it was is
// not copied again.
void StartupBackupTest::aDaysWorkIsCopiedWhenTheWindowCloses_data() {
    QTest::addColumn<bool>("entered");
    QTest::addColumn<int>("children");
    QTest::addColumn<int>("order");
    QTest::newRow("a child added") << true << 2 << 2;
    QTest::newRow("nothing entered") << false << 1 << 1;
}

void StartupBackupTest::aDaysWorkIsCopiedWhenTheWindowCloses() {
    QFETCH(bool, entered);
    TempStore store;
    TempStore::addChild(QStringLiteral("Ann"));
    TempStore::setPrevious(QStringLiteral("Ann"));
    store.close();
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!MainWindow || !MainWindow->isVisible() || QApplication::activeModalWidget() ||
            Backups::all().isEmpty())
            return;
        watcher.stop();
        if (entered)
            TempStore::addChild(QStringLiteral("Ben"));
        QApplication::closeAllWindows();
        QApplication::quit();
    });
    watcher.start();
    QCOMPARE(runTinyra(), 0);
    QCOMPARE(Backups::all(), QStringList{Backups::fileFor(QDate::currentDate())});
    const Backups::Info copy = Backups::infoOf(Backups::all().first());
    QTEST(copy.children, "children");
    QTEST(int(copy.order), "order");
    QVERIFY(Backups::isSound(copy.file));
}

void StartupBackupTest::damagedStoreIsRestoredWhenTheParentAgrees() {
    TempStore store(false);
    const QString backup = damagedStoreWithBackup(store);
    const QByteArray damaged = bytesOf(store.storeFile());
    ModalDriver driver;
    answerInTurn(driver, {{"ConfirmBox", QMessageBox::Yes}, {"InformationBox", QMessageBox::Ok}});
    QString caption;
    QCOMPARE(runUntilMainWindow(&caption, &driver), 0);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));

    const QString question = driver.messages().at(0);
    QVERIFY2(question.contains(store.storeFile()), qPrintable(question));
    QVERIFY2(question.contains(QStringLiteral("It is not a database.")), qPrintable(question));
    QVERIFY2(question.contains(backup), qPrintable(question));
    const QStringList kept = QDir(store.storeDir()).entryList({QStringLiteral("tinyra4.damaged-*.sqlite")});
    QCOMPARE(kept.size(), 1);
    QVERIFY2(question.contains(kept.first()), qPrintable(question));
    QVERIFY(driver.messages().at(1).contains(kept.first()));
    QCOMPARE(bytesOf(QDir(store.storeDir()).filePath(kept.first())), damaged);

    // The book is the backup's: Ann, without Ben who came later.
    QCOMPARE(caption, QStringLiteral("Tinyra 4.2 - Ann"));
    store.open();
    QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 1);
}

void StartupBackupTest::damagedStoreIsLeftAloneWhenTheParentDeclines() {
    TempStore store(false);
    const QString backup = damagedStoreWithBackup(store);
    const QByteArray damaged = bytesOf(store.storeFile());
    const QByteArray backupBytes = bytesOf(backup);
    ModalDriver driver;
    answerInTurn(driver, {{"ConfirmBox", QMessageBox::No}});
    QString caption;
    QCOMPARE(runUntilMainWindow(&caption, &driver), 1);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY(caption.isEmpty());
    QCOMPARE(bytesOf(store.storeFile()), damaged);
    QCOMPARE(Backups::all(), QStringList{backup});
    QCOMPARE(bytesOf(backup), backupBytes);
    QCOMPARE(QDir(store.storeDir()).entryList({QStringLiteral("*damaged*")}), QStringList());
}

void StartupBackupTest::damagedStoreWithoutBackupIsReported() {
    TempStore store;
    store.close();
    garble(store.storeFile());
    const QByteArray damaged = bytesOf(store.storeFile());
    ModalDriver driver;
    answerInTurn(driver, {{"ErrorReport", QMessageBox::Ok}});
    QString caption;
    QCOMPARE(runUntilMainWindow(&caption, &driver), 1);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY(driver.messages().at(0).contains(store.storeFile()));
    QVERIFY(driver.messages().at(0).contains(QStringLiteral("It is not a database.")));
    QCOMPARE(bytesOf(store.storeFile()), damaged);
    QVERIFY(Backups::all().isEmpty());
}

void StartupBackupTest::missingStoreIsRestoredWhenTheParentAgrees() {
    TempStore store(false);
    const QString backup = damagedStoreWithBackup(store);
    QVERIFY(QFile::remove(store.storeFile()));
    // A log the vanished file left behind belongs to it, not to the restored copy.
    QFile wal(store.storeFile() + QStringLiteral("-wal"));
    QVERIFY(wal.open(QIODevice::WriteOnly));
    wal.write("old log");
    wal.close();
    ModalDriver driver;
    answerInTurn(driver, {{"ConfirmBox", QMessageBox::Yes}});
    QString caption;
    QCOMPARE(runUntilMainWindow(&caption, &driver), 0);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    const QString question = driver.messages().at(0);
    QVERIFY2(question.startsWith(QStringLiteral("Tinyra could not find its data file\n") + store.storeFile()),
             qPrintable(question));
    QVERIFY2(question.contains(backup), qPrintable(question));
    QCOMPARE(caption, QStringLiteral("Tinyra 4.2 - Ann"));
    const QStringList kept = QDir(store.storeDir()).entryList({QStringLiteral("tinyra4.damaged-*-wal")});
    QCOMPARE(kept.size(), 1);
    QCOMPARE(bytesOf(QDir(store.storeDir()).filePath(kept.first())), QByteArray("old log"));
}

void StartupBackupTest::missingStoreStartsAnEmptyBookWhenTheParentDeclines() {
    TempStore store(false);
    const QString backup = damagedStoreWithBackup(store);
    const QByteArray backupBytes = bytesOf(backup);
    QVERIFY(QFile::remove(store.storeFile()));
    ModalDriver driver;
    driver.expect("ConfirmBox", [](QWidget* box) { ModalDriver::answer(box, QMessageBox::No); });
    driver.expect("BrandNewChild", [](QWidget* d) {
        ModalDriver::type(d, "FirstName", "Cleo");
        ModalDriver::click(d, "OKBtn");
    });
    answerInTurn(driver, {{"InformationBox", QMessageBox::Ok}, {"PlainBox", QMessageBox::No}});
    QString caption;
    QCOMPARE(runUntilMainWindow(&caption, &driver), 0);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(caption, QStringLiteral("Tinyra 4.2 - Cleo"));
    // The empty book did not replace today's backup of the old one.
    QCOMPARE(Backups::all(), QStringList{backup});
    QCOMPARE(bytesOf(backup), backupBytes);

    // Nor does it at the next start the same day: Cleo's book gets a backup of its own.
    caption.clear();
    QCOMPARE(runUntilMainWindow(&caption), 0);
    QCOMPARE(caption, QStringLiteral("Tinyra 4.2 - Cleo"));
    const QStringList backups = Backups::all();
    QCOMPARE(backups.size(), 2);
    QCOMPARE(backups.last(), backup);
    QCOMPARE(bytesOf(backup), backupBytes);
    QCOMPARE(Backups::infoOf(backups.first()).children, 1);
}

void StartupBackupTest::emptyStoreIsDamageNotAFirstRun() {
    TempStore store(false);
    const QString backup = damagedStoreWithBackup(store);
    QFile::resize(store.storeFile(), 0);
    // The parent is offered the backup, never asked for a first child.
    ModalDriver driver;
    answerInTurn(driver, {{"ConfirmBox", QMessageBox::Yes}, {"InformationBox", QMessageBox::Ok}});
    QString caption;
    QCOMPARE(runUntilMainWindow(&caption, &driver), 0);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY2(driver.messages().at(0).contains(QStringLiteral("It is empty")),
             qPrintable(driver.messages().at(0)));
    QVERIFY2(driver.messages().at(0).contains(backup), qPrintable(driver.messages().at(0)));
    QCOMPARE(caption, QStringLiteral("Tinyra 4.2 - Ann"));
    // Today's backup still holds Ann, as does the restored book.
    QCOMPARE(Backups::all(), QStringList{backup});
    QCOMPARE(Backups::infoOf(backup).children, 1);
    store.open();
    QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 1);
}

void StartupBackupTest::everyBackupDamagedSaysWhereTheyAreAndWhatToDo() {
    TempStore store(false);
    const QString backup = damagedStoreWithBackup(store);
    garble(backup);
    const QByteArray damaged = bytesOf(store.storeFile());
    ModalDriver driver;
    answerInTurn(driver, {{"ErrorReport", QMessageBox::Ok}});
    QString caption;
    QCOMPARE(runUntilMainWindow(&caption, &driver), 1);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    const QString report = driver.messages().at(0);
    QVERIFY2(report.contains(QStringLiteral("It is not a database.")), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("every one of them is damaged")), qPrintable(report));
    QVERIFY2(report.contains(Backups::directory() + QLatin1Char('\n')), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("To start a new, empty book")), qPrintable(report));
    QCOMPARE(bytesOf(store.storeFile()), damaged);
    QCOMPARE(Backups::all(), QStringList{backup});
}

void StartupBackupTest::aStartWaitsForAHolderWithoutAWindowAndTouchesNothing() {
    TempStore store;
    TempStore::addChild(QStringLiteral("Ann"));
    TempStore::setPrevious(QStringLiteral("Ann"));
    store.close();
    const QByteArray book = bytesOf(store.storeFile());
    // Another program holds the book and has no window to bring forward (an import on the command
    // line): the start waits for it, saying so; Cancel ends it, touching nothing.
    FolderLock other(Database::writerLockPath());
    QVERIFY(other.lock(false));
    ModalDriver driver;
    driver.expect("WaitForBookDlg", [](QWidget* d) { ModalDriver::click(d, QStringLiteral("Cancel")); });
    driver.start();
    QString caption;
    QCOMPARE(runUntilMainWindow(&caption, &driver), 1);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY(caption.isEmpty());
    QCOMPARE(bytesOf(store.storeFile()), book);
    QVERIFY(Backups::all().isEmpty());
    // Once that program has finished, the waiting start opens the book.
    ModalDriver release;
    release.expect("WaitForBookDlg", [&](QWidget*) { other.unlock(); });
    release.start();
    QCOMPARE(runUntilMainWindow(&caption, &release), 0);
    QVERIFY2(release.waitFinished(), qPrintable(release.error()));
    QCOMPARE(caption, QStringLiteral("Tinyra 4.2 - Ann"));
}

// The look for damage runs beside the window's first paint. Here it answers only once the window
// shows, finding damage in a table that start-up never reads (the boys' names): the window has shown
// the book, then offers the backup over it exactly as at start, and nothing was written meanwhile.
void StartupBackupTest::damageFoundAfterTheWindowShowsIsOfferedOverIt() {
    TempStore store(false);
    store.open();
    TempStore::addChild(QStringLiteral("Ann"));
    TempStore::setPrevious(QStringLiteral("Ann"));
    const QString backup = Backups::make();
    TempStore::addChild(QStringLiteral("Ben"));
    TempStore::setPrevious(QStringLiteral("Ben"));
    QSqlQuery root = Database::exec(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'BOYA'"));
    QVERIFY(root.next());
    const qint64 page = root.value(0).toLongLong();
    QSqlQuery size = Database::exec(QStringLiteral("PRAGMA page_size"));
    QVERIFY(size.next());
    const qint64 pageSize = size.value(0).toLongLong();
    root.finish();
    size.finish();
    store.close();
    {
        QFile f(store.storeFile());
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.seek((page - 1) * pageSize));
        QVERIFY(f.write(QByteArray(int(pageSize), '\x5a')) == pageSize);
    }
    const QByteArray damaged = bytesOf(store.storeFile());

    bool windowShown = false;
    QString shownCaption;
    std::promise<void> shown;
    std::shared_future<void> whenShown = shown.get_future().share();
    setLookForDamageForTesting([whenShown] {
        (void)whenShown.wait_for(std::chrono::seconds(10));
        return Backups::damage();
    });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!windowShown && MainWindow && MainWindow->isVisible() && MainWindow->startupCheckDone()) {
            windowShown = true;
            shownCaption = MainWindow->windowTitle();
            shown.set_value();
        }
    });
    watch.start(5);
    ModalDriver driver;
    answerInTurn(driver, {{"ConfirmBox", QMessageBox::Yes}, {"InformationBox", QMessageBox::Ok}});
    QString caption;
    // The window shows the restored book once the last message is closed.
    const int status = runUntilMainWindow(
        &caption, &driver, [] { return MainWindow->windowTitle() == QStringLiteral("Tinyra 4.2 - Ann"); });
    setLookForDamageForTesting(nullptr);
    QCOMPARE(status, 0);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(shownCaption, QStringLiteral("Tinyra 4.2 - Ben")); // the window showed the book first
    QVERIFY2(driver.messages().at(0).contains(QStringLiteral("It is damaged")),
             qPrintable(driver.messages().at(0)));
    QVERIFY(driver.messages().at(0).contains(backup));
    const QStringList kept = QDir(store.storeDir()).entryList({QStringLiteral("tinyra4.damaged-*.sqlite")});
    QCOMPARE(kept.size(), 1);
    QCOMPARE(bytesOf(QDir(store.storeDir()).filePath(kept.first())), damaged);
    QCOMPARE(caption, QStringLiteral("Tinyra 4.2 - Ann"));
    store.open();
    QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 1);
}

QTEST_MAIN(StartupBackupTest)
#include "tst_durability_startup.moc"
