// Daily backups, private file modes, and putting a backup in place of a damaged store.
#include "core/book/EntryStore.h"
#include "core/store/Backups.h"
#include "core/store/Clock.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"
#include "support/TempStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>
#include <sys/stat.h>

namespace {
int modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 07777);
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& data, qint64 at = 0, bool truncate = false) {
    QFile f(path);
    QVERIFY(f.open(truncate ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::ReadWrite));
    QVERIFY(f.seek(at));
    QCOMPARE(f.write(data), data.size());
}

QByteArray noise(int size) {
    QByteArray b(size, '\0');
    QRandomGenerator rng(size);
    for (char& c : b)
        c = char(rng.bounded(256));
    return b;
}

// A query on a file other than the open store.
QStringList valuesIn(const QString& file, const QString& sql) {
    QStringList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql))
                while (q.next())
                    values << q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    return values;
}

// Runs `sql` on a file other than the open store.
bool execIn(const QString& file, const QString& sql) {
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(file);
        // Another program writing the book gives its triggers the functions they call.
        ok = db.open() &&
             Clock::registerOn(*static_cast<sqlite3* const*>(db.driver()->handle().constData())) &&
             QSqlQuery(db).exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return ok;
}

// Runs several statements on one connection to `file`.
bool execScript(const QString& file, const char* sql) {
    sqlite3* h = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(file).constData(), &h) == SQLITE_OK &&
                    sqlite3_exec(h, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(h);
    return ok;
}

std::shared_ptr<DiaryType> diary(const QString& title) {
    return std::make_shared<DiaryType>(
        DiaryType{QStringLiteral("01-02-03"), title, QStringLiteral("Text of ") + title});
}

// A store with Ann's journal in today's backup and Ben added after it; closed.
QString storeWithBackup(TempStore& store) {
    TempStore::addChild(QStringLiteral("Ann"));
    Entries().freshStart(QStringLiteral("Ann"));
    for (int i = 0; i < 50; ++i)
        Entries().append(DiaryList::JournalEntries, diary(QStringLiteral("Day ") + QString::number(i)));
    const QString backup = Backups::make();
    TempStore::addChild(QStringLiteral("Ben"));
    Entries().release();
    store.close();
    return backup;
}
} // namespace

class BackupsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        Entries().release();
        Database::close();
    }
    void storeAndBackupsAreTheOwnersAlone();
    void backupIsACompleteSelfContainedCopy();
    void oneBackupPerDayAndTheLastFourteenKept();
    void aFailedBackupLeavesTheEarlierOnes();
    void damagedStoreIsKeptAndTheBackupRestored_data();
    void damagedStoreIsKeptAndTheBackupRestored();
    void noRestoreIsOfferedForASoundOrNewerFile();
    void aDamagedBackupIsNeverRestored();
    void backupsAreRankedByTheOrderTheyWereMade();
    void aSmallerBookNeverReplacesABackup();
    void indexDamageIsMendedAndNeverStopsBackups();
    void aRestoreLeavesNoHalfWayState();
    void theFolderIsPrivateAndAtAnAbsolutePlace();
};

void BackupsTest::storeAndBackupsAreTheOwnersAlone() {
    TempStore store;
    TempStore::addChild(QStringLiteral("Ann")); // the -wal and -shm files now exist
    QCOMPARE(modeOf(store.storeDir()), 0700);
    QCOMPARE(modeOf(store.storeFile()), 0600);
    QCOMPARE(modeOf(store.storeFile() + QStringLiteral("-wal")), 0600);
    QCOMPARE(modeOf(store.storeFile() + QStringLiteral("-shm")), 0600);
    const QString backup = Backups::make();
    QCOMPARE(modeOf(Backups::directory()), 0700);
    QCOMPARE(modeOf(backup), 0600);

    // A store file left readable by others is made private again when opened.
    store.close();
    QVERIFY(
        QFile::setPermissions(store.storeFile(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    store.open();
    QCOMPARE(modeOf(store.storeFile()), 0600);
}

void BackupsTest::backupIsACompleteSelfContainedCopy() {
    TempStore store;
    TempStore::addChild(QStringLiteral("Ann"));
    Entries().freshStart(QStringLiteral("Ann"));
    Entries().append(DiaryList::JournalEntries, diary(QStringLiteral("First smile")));
    const QString backup = Backups::make(QDate(2026, 3, 4));
    QCOMPARE(backup, QDir(store.storeDir()).filePath(QStringLiteral("backups/tinyra4-2026-03-04.sqlite")));
    // The entry is still only in the store's write-ahead log, yet the copy has it, and the copy
    // is one file with no log of its own.
    QVERIFY(QFile::exists(store.storeFile() + QStringLiteral("-wal")));
    QCOMPARE(valuesIn(backup, QStringLiteral("SELECT Title FROM ENTRIES")),
             QStringList{QStringLiteral("First smile")});
    QCOMPARE(valuesIn(backup, QStringLiteral("SELECT FirstName FROM CHILD")),
             QStringList{QStringLiteral("Ann")});
    QCOMPARE(valuesIn(backup, QStringLiteral("PRAGMA user_version")),
             QStringList{QString::number(Schema::version())});
    QCOMPARE(valuesIn(backup, QStringLiteral("PRAGMA journal_mode")), QStringList{QStringLiteral("delete")});
    QVERIFY(!QFile::exists(backup + QStringLiteral("-wal")));
    QVERIFY(!QFile::exists(backup + QStringLiteral(".part")));
    QVERIFY(Backups::isSound(backup));
}

void BackupsTest::oneBackupPerDayAndTheLastFourteenKept() {
    TempStore store;
    const QDate first(2026, 1, 25);
    for (int d = 0; d < 20; ++d)
        Backups::make(first.addDays(d));
    // Something else in the folder is none of Tinyra's business.
    writeBytes(QDir(Backups::directory()).filePath(QStringLiteral("notes.txt")), "mine", 0, true);
    Backups::make(first.addDays(19));
    const QStringList kept = Backups::all();
    QCOMPARE(kept.size(), Backups::Kept);
    QCOMPARE(kept.first(), Backups::fileFor(first.addDays(19)));
    QCOMPARE(kept.last(), Backups::fileFor(first.addDays(6)));
    QVERIFY(!QFile::exists(Backups::fileFor(first.addDays(5))));
    QVERIFY(QFile::exists(QDir(Backups::directory()).filePath(QStringLiteral("notes.txt"))));

    // A second start on the same day replaces that day's copy.
    TempStore::addChild(QStringLiteral("Late"));
    Backups::make(first.addDays(19));
    QCOMPARE(Backups::all().size(), Backups::Kept);
    QCOMPARE(valuesIn(Backups::fileFor(first.addDays(19)), QStringLiteral("SELECT FirstName FROM CHILD")),
             QStringList{QStringLiteral("Late")});
    QCOMPARE(valuesIn(Backups::fileFor(first.addDays(18)), QStringLiteral("SELECT count(*) FROM CHILD")),
             QStringList{QStringLiteral("0")});
}

void BackupsTest::aFailedBackupLeavesTheEarlierOnes() {
    TempStore store;
    TempStore::addChild(QStringLiteral("Ann"));
    const QDate day(2026, 5, 6);
    const QString earlier = Backups::make(day);
    const QByteArray before = bytesOf(earlier);
    // Today's name is taken by a folder: the copy cannot be put there.
    const QDate today = day.addDays(1);
    QVERIFY(QDir().mkpath(Backups::fileFor(today) + QStringLiteral("/x")));
    try {
        Backups::make(today);
        QFAIL("the backup was reported as made");
    } catch (const StoreError& e) {
        QVERIFY2(e.message().contains(Backups::fileFor(today)), qPrintable(e.message()));
        QVERIFY(e.message().startsWith(QStringLiteral("Tinyra could not make today's backup")));
    }
    QVERIFY(!QFile::exists(Backups::fileFor(today) + QStringLiteral(".part")));
    QCOMPARE(bytesOf(earlier), before);
    QCOMPARE(Backups::all(), QStringList{earlier});
    QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 1);
}

void BackupsTest::damagedStoreIsKeptAndTheBackupRestored_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("problem");
    QTest::newRow("overwritten with garbage") << "garbage"
                                              << "not a database";
    QTest::newRow("header overwritten") << "header"
                                        << "not a database";
    QTest::newRow("truncated to half") << "truncated"
                                       << "damaged";
    QTest::newRow("pages overwritten") << "pages"
                                       << "damaged";
    QTest::newRow("a table missing") << "table"
                                     << "The table BOYA is missing.";
    QTest::newRow("a field missing") << "field"
                                     << "The table CHILD has no field Hair.";
    QTest::newRow("not a Tinyra file") << "foreign"
                                       << "It is not a Tinyra data file.";
}

void BackupsTest::damagedStoreIsKeptAndTheBackupRestored() {
    QFETCH(QString, damage);
    QFETCH(QString, problem);
    TempStore store;
    const QString path = store.storeFile();
    const QString backup = storeWithBackup(store);
    const qint64 size = QFileInfo(path).size();
    QVERIFY(size > 64 * 1024);
    if (damage == QLatin1String("garbage"))
        writeBytes(path, noise(int(size)), 0, true);
    else if (damage == QLatin1String("header"))
        writeBytes(path, noise(100));
    else if (damage == QLatin1String("truncated"))
        QVERIFY(QFile::resize(path, size / 2));
    else if (damage == QLatin1String("pages"))
        writeBytes(path, noise(int(size / 2)), 4096);
    else if (damage == QLatin1String("table"))
        QVERIFY(execIn(path, QStringLiteral("DROP TABLE BOYA")));
    else if (damage == QLatin1String("field")) {
        // The trigger stamping the row's changes names every field; it goes first.
        QVERIFY(execIn(path, QStringLiteral("DROP TRIGGER CHILD_STAMP")));
        QVERIFY(execIn(path, QStringLiteral("DROP TRIGGER CHILD_SHARE_NEW")));
        QVERIFY(execIn(path, QStringLiteral("DROP TRIGGER CHILD_SHARE_EDIT")));
        QVERIFY(execIn(path, QStringLiteral("ALTER TABLE CHILD DROP COLUMN Hair")));
    } else if (damage == QLatin1String("foreign")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(execIn(path, QStringLiteral("CREATE TABLE recipes (name TEXT)")));
    }
    // A log left beside the damaged file goes with it.
    writeBytes(path + QStringLiteral("-wal"), "stray log", 0, true);
    const QByteArray damaged = bytesOf(path);

    QString message;
    try {
        Database::open();
        QFAIL("the damaged store opened");
    } catch (const StoreError& e) {
        QCOMPARE(e.kind(), StoreError::Kind::CannotOpen);
        message = e.message();
    }
    QVERIFY2(message.contains(path), qPrintable(message));
    QVERIFY2(message.contains(problem, Qt::CaseInsensitive), qPrintable(message));
    QVERIFY(!Database::isOpen());
    QCOMPARE(bytesOf(path), damaged);

    QVERIFY2(!Backups::damage().isEmpty(), qPrintable(message));
    QCOMPARE(Backups::newestSound(), backup);
    const QDateTime when(QDate(2026, 7, 8), QTime(9, 10, 11));
    const QString question = Backups::restoreQuestion(message, backup, when);
    QVERIFY(question.startsWith(message));
    QVERIFY(question.contains(backup));
    const QString keptAs =
        QDir(store.storeDir()).filePath(QStringLiteral("tinyra4.damaged-20260708-091011.sqlite"));
    QVERIFY(question.contains(keptAs));

    QCOMPARE(Backups::restore(backup, when), keptAs);
    QCOMPARE(bytesOf(keptAs), damaged);
    QCOMPARE(bytesOf(keptAs + QStringLiteral("-wal")), QByteArray("stray log"));
    QCOMPARE(modeOf(path), 0600);
    Database::open();
    QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 1); // Ann; Ben came after the backup
    Entries().freshStart(QStringLiteral("Ann"));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 50);
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 49)->Title, QStringLiteral("Day 49"));
    QVERIFY(Backups::damage().isEmpty());
    // A second restore the same second keeps both damaged files.
    Entries().release();
    Database::close();
    QCOMPARE(Backups::damagedFileFor(when),
             QDir(store.storeDir()).filePath(QStringLiteral("tinyra4.damaged-20260708-091011-2.sqlite")));
}

void BackupsTest::noRestoreIsOfferedForASoundOrNewerFile() {
    TempStore store;
    Backups::make();
    store.close();
    QVERIFY(Backups::damage().isEmpty());

    QVERIFY(execIn(store.storeFile(), QStringLiteral("PRAGMA user_version = 999")));
    const QByteArray before = bytesOf(store.storeFile());
    QVERIFY_THROWS_EXCEPTION(StoreError, Database::open());
    // A newer program's book is not damaged; replacing it with an old copy would lose its entries.
    QVERIFY(Backups::damage().isEmpty());
    QCOMPARE(bytesOf(store.storeFile()), before);

    QVERIFY(QFile::remove(store.storeFile()));
    QVERIFY(Backups::damage().isEmpty());
}

void BackupsTest::aDamagedBackupIsNeverRestored() {
    TempStore store;
    const QString older = Backups::make(QDate(2026, 2, 1));
    const QString newer = Backups::make(QDate(2026, 2, 2));
    store.close();
    writeBytes(newer, noise(5000), 0, true);
    writeBytes(store.storeFile(), noise(5000), 0, true);
    const QByteArray damaged = bytesOf(store.storeFile());
    QVERIFY(!Backups::isSound(newer));
    QCOMPARE(Backups::newestSound(), older);
    try {
        Backups::restore(newer);
        QFAIL("a damaged backup was restored");
    } catch (const StoreError& e) {
        QVERIFY2(e.message().contains(newer), qPrintable(e.message()));
    }
    QCOMPARE(bytesOf(store.storeFile()), damaged);
    QCOMPARE(QDir(store.storeDir()).entryList({QStringLiteral("*damaged*")}, QDir::Files), QStringList());
}

void BackupsTest::backupsAreRankedByTheOrderTheyWereMade() {
    TempStore store;
    // A clock far ahead: the copy is named for 2030 but made first.
    const QString future = Backups::make(QDate(2030, 1, 1));
    TempStore::addChild(QStringLiteral("Ann"));
    // Then the clock is right again, for more than two weeks of starts.
    const QDate first(2026, 3, 1);
    for (int d = 0; d < 16; ++d)
        Backups::make(first.addDays(d));
    QStringList kept = Backups::all();
    QCOMPARE(kept.size(), Backups::Kept);
    QCOMPARE(kept.first(), Backups::fileFor(first.addDays(15)));
    QVERIFY(!kept.contains(future)); // the oldest made goes, whatever its name says
    QCOMPARE(Backups::newestSound(), Backups::fileFor(first.addDays(15)));
    const Backups::Info info = Backups::infoOf(kept.first());
    QCOMPARE(info.children, 1);
    QVERIFY(qAbs(info.madeAt.secsTo(QDateTime::currentDateTimeUtc())) < 3600);

    // A clock set back: the copy of that earlier day is the newest made, and it is kept.
    TempStore::addChild(QStringLiteral("Ben"));
    const QString past = Backups::make(QDate(2020, 6, 1));
    kept = Backups::all();
    QCOMPARE(kept.size(), Backups::Kept);
    QCOMPARE(kept.first(), past);
    QCOMPARE(Backups::newestSound(), past);
    QCOMPARE(Backups::infoOf(past).children, 2);

    // The newest backup that holds a child outlives any number of backups of an empty book.
    QVERIFY(execIn(store.storeFile(), QStringLiteral("DELETE FROM CHILD")));
    for (int d = 0; d < Backups::Kept + 2; ++d)
        Backups::make(QDate(2027, 1, 1).addDays(d));
    kept = Backups::all();
    QCOMPARE(kept.size(), Backups::Kept + 1);
    QCOMPARE(kept.last(), past);
}

void BackupsTest::aSmallerBookNeverReplacesABackup() {
    TempStore store;
    TempStore::addChild(QStringLiteral("Ann"));
    Entries().freshStart(QStringLiteral("Ann"));
    Entries().append(DiaryList::JournalEntries, diary(QStringLiteral("First smile")));
    Entries().release();
    const QDate day(2026, 4, 5);
    const QString annsBackup = Backups::make(day);
    const QByteArray annsBytes = bytesOf(annsBackup);

    // The book loses Ann (a new, empty book with another child): today's backup of Ann stays.
    QVERIFY(execIn(store.storeFile(), QStringLiteral("DELETE FROM ENTRIES")));
    QVERIFY(execIn(store.storeFile(), QStringLiteral("UPDATE CHILD SET FirstName = 'Cleo'")));
    const QString second = Backups::make(day);
    QCOMPARE(second, QDir(Backups::directory()).filePath(QStringLiteral("tinyra4-2026-04-05-2.sqlite")));
    QCOMPARE(bytesOf(annsBackup), annsBytes);
    // Cleo's book grows: its own backup of the day is replaced, Ann's still not.
    TempStore::addChild(QStringLiteral("Dan"));
    QCOMPARE(Backups::make(day), second);
    QCOMPARE(valuesIn(second, QStringLiteral("SELECT count(*) FROM CHILD")),
             QStringList{QStringLiteral("2")});
    QCOMPARE(bytesOf(annsBackup), annsBytes);
    QCOMPARE(Backups::all(), (QStringList{second, annsBackup}));
    // Fewer entries than the day's backup count as less too.
    Entries().freshStart(QStringLiteral("Dan"));
    Entries().append(DiaryList::JournalEntries, diary(QStringLiteral("Crawls")));
    Entries().release();
    QCOMPARE(Backups::make(day), second);
    QVERIFY(execIn(store.storeFile(), QStringLiteral("DELETE FROM ENTRIES")));
    QCOMPARE(Backups::make(day),
             QDir(Backups::directory()).filePath(QStringLiteral("tinyra4-2026-04-05-3.sqlite")));
    QCOMPARE(Backups::all().size(), 3);
}

void BackupsTest::indexDamageIsMendedAndNeverStopsBackups() {
    TempStore store;
    TempStore::addChild(QStringLiteral("Ann"));
    Entries().freshStart(QStringLiteral("Ann"));
    for (int i = 0; i < 20; ++i)
        Entries().append(DiaryList::JournalEntries, diary(QStringLiteral("Day ") + QString::number(i)));
    Entries().release();
    store.close();
    // The index's pages now hold other columns than its definition says: damage only to an index,
    // which the quick check at start-up does not see.
    QVERIFY(execScript(store.storeFile(), "PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = "
                                          "'CREATE INDEX ENTRIES_BY_CHILD ON ENTRIES (Title, list, seq)' "
                                          "WHERE name = 'ENTRIES_BY_CHILD'"));
    QVERIFY(Backups::damage().isEmpty());
    // A copy of it made before (as an older Tinyra did) is kept aside to be restored below.
    QVERIFY(QDir().mkpath(Backups::directory()));
    const QString old = Backups::fileFor(QDate(2026, 7, 31));
    QVERIFY(QFile::copy(store.storeFile(), old));
    store.open();
    // The daily copy's full check finds it: the copy's indexes are built again, the backup is made,
    // and the book's own are mended, so the next day's backup finds nothing.
    bool rebuilt = false;
    const QString backup = Backups::make(QDate(2026, 8, 1), &rebuilt);
    QVERIFY(rebuilt);
    QCOMPARE(valuesIn(backup, QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
    QCOMPARE(Backups::repairIndexes(), QString());
    Backups::make(QDate(2026, 8, 2), &rebuilt);
    QVERIFY(!rebuilt);
    store.close();
    QCOMPARE(valuesIn(store.storeFile(), QStringLiteral("PRAGMA integrity_check")),
             QStringList{QStringLiteral("ok")});
    for (const QString& b : Backups::all())
        if (b != old)
            QVERIFY(QFile::remove(b));

    // The older copy is still restored, its index built again.
    QVERIFY(Backups::isSound(old));
    QCOMPARE(Backups::newestSound(), old);
    writeBytes(store.storeFile(), noise(5000), 0, true);
    Backups::restore(old, QDateTime(QDate(2026, 8, 1), QTime(8, 0)));
    QCOMPARE(valuesIn(store.storeFile(), QStringLiteral("PRAGMA integrity_check")),
             QStringList{QStringLiteral("ok")});

    // A backup whose index page is broken, though every row reads, is built again from its tables.
    const int pageSize = valuesIn(old, QStringLiteral("PRAGMA page_size")).value(0).toInt();
    const int root = valuesIn(old, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = "
                                                  "'ENTRIES_BY_CHILD'"))
                         .value(0)
                         .toInt();
    QVERIFY(pageSize > 0 && root > 1);
    writeBytes(old, noise(pageSize), qint64(root - 1) * pageSize);
    QVERIFY(valuesIn(old, QStringLiteral("PRAGMA integrity_check")) != QStringList{QStringLiteral("ok")});
    QVERIFY(Backups::isSound(old));
    writeBytes(store.storeFile(), noise(5000), 0, true);
    Backups::restore(old, QDateTime(QDate(2026, 8, 2), QTime(8, 0)));
    QCOMPARE(valuesIn(store.storeFile(), QStringLiteral("PRAGMA integrity_check")),
             QStringList{QStringLiteral("ok")});
    store.open();
    Entries().freshStart(QStringLiteral("Ann"));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 20);
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 19)->Title, QStringLiteral("Day 19"));
    Entries().release();
    store.close();

    // A table page broken is damage no rebuild mends: that backup is not offered.
    const int table =
        valuesIn(old, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'ENTRIES'"))
            .value(0)
            .toInt();
    writeBytes(old, noise(pageSize), qint64(table - 1) * pageSize);
    QVERIFY(!Backups::isSound(old));
}

void BackupsTest::aRestoreLeavesNoHalfWayState() {
    TempStore store;
    const QString backup = storeWithBackup(store);
    // What an interrupted copy and an interrupted restore leave behind is removed.
    writeBytes(store.storeFile() + QStringLiteral(".restoring"), "half a copy", 0, true);
    writeBytes(backup + QStringLiteral(".part"), "half a backup", 0, true);
    Backups::removeLeftovers();
    QCOMPARE(QDir(store.storeDir()).entryList({QStringLiteral("*.restoring*")}, QDir::Files), QStringList());
    QCOMPARE(QDir(Backups::directory()).entryList({QStringLiteral("*.part*")}, QDir::Files), QStringList());

    // The book is kept with its log; the restored copy takes the store's place whole, with no log of
    // the old book beside it, and records nothing of the backups.
    store.open();
    TempStore::addChild(QStringLiteral("Cleo")); // in the log only
    const QByteArray log = bytesOf(store.storeFile() + QStringLiteral("-wal"));
    QVERIFY(!log.isEmpty());
    QVERIFY_THROWS_EXCEPTION(StoreError, Backups::restore(backup)); // not while the book is open
    // Closing folds the log into the book; a killed program would have left both as they were.
    const QByteArray book = bytesOf(store.storeFile());
    store.close();
    writeBytes(store.storeFile(), book, 0, true);
    writeBytes(store.storeFile() + QStringLiteral("-wal"), log, 0, true);
    const QDateTime when(QDate(2026, 9, 1), QTime(7, 0));
    const QString kept = Backups::restore(backup, when, Backups::replacedFileFor(when));
    QCOMPARE(kept,
             QDir(store.storeDir()).filePath(QStringLiteral("tinyra4.replaced-20260901-070000.sqlite")));
    QCOMPARE(bytesOf(kept), book);
    QCOMPARE(bytesOf(kept + QStringLiteral("-wal")), log);
    QVERIFY(!QFile::exists(store.storeFile() + QStringLiteral("-wal")));
    QVERIFY(!QFile::exists(store.storeFile() + QStringLiteral(".restoring")));
    QCOMPARE(valuesIn(kept, QStringLiteral("SELECT FirstName FROM CHILD ORDER BY FirstName")),
             (QStringList{QStringLiteral("Ann"), QStringLiteral("Ben"), QStringLiteral("Cleo")}));
    store.open();
    QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 1);
    QVERIFY(!Database::db().tables().contains(QStringLiteral("BACKUPINFO")));
    store.close();

    // A store that is gone leaves its log: a new book does not start on top of it.
    QVERIFY(QFile::remove(store.storeFile()));
    writeBytes(store.storeFile() + QStringLiteral("-wal"), log, 0, true);
    store.open();
    QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 0);
    QCOMPARE(QDir(store.storeDir()).entryList({QStringLiteral("tinyra4.damaged-*-wal")}, QDir::Files).size(),
             1);
    store.close();

    // A book whose name is a link to a file elsewhere is restored through the link: the link stays,
    // and the file it points to holds the restored book.
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("book.sqlite"));
    QVERIFY(QFile::rename(store.storeFile(), target));
    QVERIFY(QFile::link(target, store.storeFile()));
    Backups::restore(backup, when.addSecs(60));
    QVERIFY(QFileInfo(store.storeFile()).isSymLink());
    QCOMPARE(valuesIn(target, QStringLiteral("SELECT FirstName FROM CHILD")),
             QStringList{QStringLiteral("Ann")});
}

void BackupsTest::theFolderIsPrivateAndAtAnAbsolutePlace() {
    TempStore store(false);
    QVERIFY(QDir().mkpath(store.storeDir()));
    QVERIFY(::chmod(QFile::encodeName(store.storeDir()).constData(), 0755) == 0);
    store.open();
    QCOMPARE(modeOf(store.storeDir()), 0700);
    store.close();

    // An empty file where the book was, while backups exist, is damage, never a new book.
    store.open();
    TempStore::addChild(QStringLiteral("Ann"));
    Backups::make();
    store.close();
    writeBytes(store.storeFile(), QByteArray(), 0, true);
    QVERIFY_THROWS_EXCEPTION(StoreError, Database::open());
    QVERIFY(Backups::damage().startsWith(QStringLiteral("It is empty")));
    QCOMPARE(QFileInfo(store.storeFile()).size(), 0);

    // A relative XDG_DATA_HOME is not a place: the book is under the home folder instead.
    const QByteArray home = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "relative/data");
    const QString dir = Database::dataDirectory();
    qputenv("XDG_DATA_HOME", home);
    QCOMPARE(dir, QDir::homePath() + QStringLiteral("/.local/share/Tinyra4"));
}

QTEST_GUILESS_MAIN(BackupsTest)
#include "tst_durability_backups.moc"
