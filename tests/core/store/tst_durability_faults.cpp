// The store on a read-only disk, on a full disk and with writes failing under a file size limit:
// a clear message, no crash, and nothing of the existing file lost.
//
// The read-only and full-disk cases mount a small tmpfs over the test's data home; where mounting
// is not permitted they are skipped (as root, permission bits do not stop writes, so they cannot be
// imitated with chmod; as another user the read-only case uses a folder without write permission).
// The size-limit case needs no privilege: a helper process runs under RLIMIT_FSIZE.
#include "core/book/EntryStore.h"
#include "core/exchange/BookFile.h"
#include "core/store/Backups.h"
#include "core/store/Database.h"
#include "core/store/FolderLock.h"
#include "core/store/PhotoFiles.h"
#include "core/store/StoreError.h"
#include "support/TempStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kWriter = QStringLiteral(TINYRA_DURABILITY_WRITER);

// A tmpfs mounted over a folder for the length of a test.
class TmpfsMount {
public:
    explicit TmpfsMount(const QString& dir) : m_dir(QFile::encodeName(dir)) {}
    ~TmpfsMount() {
        if (m_mounted) {
            Entries().release();
            Database::close();
            ::umount2(m_dir.constData(), MNT_DETACH);
        }
    }
    // An empty string when mounted, else why not.
    QString mount(const QByteArray& options) {
        m_options = options;
        if (::mount("tmpfs", m_dir.constData(), "tmpfs", 0, options.constData()) != 0)
            return QString::fromLocal8Bit(std::strerror(errno));
        m_mounted = true;
        return QString();
    }
    bool remount(bool readOnly) {
        return ::mount("tmpfs", m_dir.constData(), "tmpfs", MS_REMOUNT | (readOnly ? MS_RDONLY : 0),
                       m_options.constData()) == 0;
    }

private:
    QByteArray m_dir;
    QByteArray m_options;
    bool m_mounted = false;
};

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QString integrity() {
    QSqlQuery q = Database::exec(QStringLiteral("PRAGMA integrity_check"));
    return q.next() ? q.value(0).toString() : QString();
}

std::shared_ptr<DiaryType> diary(const QString& title, int length = 100) {
    return std::make_shared<DiaryType>(
        DiaryType{QStringLiteral("01-02-03"), title, QString(length, QLatin1Char('x'))});
}

QStringList storedTitles() {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT Title FROM ENTRIES ORDER BY seq"));
    QStringList titles;
    while (q.next())
        titles << q.value(0).toString();
    return titles;
}

// Ann with `count` journal entries "E0".., stored.
void fillJournal(int count) {
    TempStore::addChild(QStringLiteral("Ann"));
    Entries().freshStart(QStringLiteral("Ann"));
    for (int i = 0; i < count; ++i)
        Entries().append(DiaryList::JournalEntries, diary(QStringLiteral("E") + QString::number(i)));
}

QStringList expectedTitles(int count) {
    QStringList t;
    for (int i = 0; i < count; ++i)
        t << QStringLiteral("E") + QString::number(i);
    return t;
}

// Fills the disk holding `dir` with one file; returns its path.
QString fillDisk(const QString& dir) {
    const QString path = QDir(dir).filePath(QStringLiteral("filler"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return path;
    const QByteArray big(64 * 1024, 'f');
    while (f.write(big) == big.size() && f.flush()) {
    }
    const QByteArray small(512, 'f');
    while (f.write(small) == small.size() && f.flush()) {
    }
    f.close();
    return path;
}
} // namespace

class FaultsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        Entries().release();
        Database::close();
    }
    void readOnlyDataDirectory();
    void fullDisk();
    void failingWritesUnderAFileSizeLimit();
    void aStoreWhoseCreationWasInterruptedIsMadeAfresh();
};

void FaultsTest::readOnlyDataDirectory() {
    TempStore store(false);
    TmpfsMount disk(store.dataHome());
    const bool root = ::geteuid() == 0;
    if (root) {
        const QString why = disk.mount("size=64m,mode=0700");
        if (!why.isEmpty())
            QSKIP(qPrintable(QStringLiteral("mounting a tmpfs is not permitted here (%1)").arg(why)));
    }
    store.open();
    fillJournal(10);
    const QString backup = Backups::make();
    Entries().release();
    store.close();
    const QByteArray before = bytesOf(store.storeFile());
    const QByteArray backupBefore = bytesOf(backup);
    // A lock file left there by a copy that was killed.
    QFile stale(Database::writerLockPath());
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();

    if (root)
        QVERIFY(disk.remount(true));
    else
        QVERIFY(::chmod(QFile::encodeName(store.storeDir()).constData(), 0500) == 0);
    try {
        Database::open();
        QFAIL("the store opened for writing on a read-only disk");
    } catch (const StoreError& e) {
        QCOMPARE(e.kind(), StoreError::Kind::ReadOnly);
        QVERIFY2(e.message().contains(store.storeFile()), qPrintable(e.message()));
        QVERIFY2(e.message().contains(QStringLiteral("read-only")) ||
                     e.message().contains(QStringLiteral("readonly")),
                 qPrintable(e.message()));
        qInfo("existing store on a read-only disk: %s", qPrintable(e.message().replace('\n', ' ')));
    }
    // Not damage: no backup is offered in its place.
    QVERIFY(Backups::damage().isEmpty());
    // The stale lock shuts nobody out, and the book opens for reading: it is read whole, it
    // exports, and a write is refused.
    {
        FolderLock lock(Database::writerLockPath());
        QVERIFY(lock.lock(false));
    }
    Database::openReadOnly();
    QVERIFY(Database::isReadOnly());
    QCOMPARE(storedTitles(), expectedTitles(10));
    QTemporaryDir out;
    BookFile::exportBook(out.filePath(QStringLiteral("book.zip")));
    QVERIFY(QFileInfo(out.filePath(QStringLiteral("book.zip"))).size() > 0);
    QVERIFY_THROWS_EXCEPTION(StoreError, Database::exec(QStringLiteral("DELETE FROM ENTRIES")));
    Database::close();

    // A first start whose data folder cannot be made says which folder.
    if (root) {
        const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QDir(store.dataHome()).filePath(QStringLiteral("elsewhere")).toUtf8());
        try {
            Database::open();
            QFAIL("a store was made on a read-only disk");
        } catch (const StoreError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("cannot be created")), qPrintable(e.message()));
        }
        qputenv("XDG_DATA_HOME", oldHome);
    }

    if (root)
        QVERIFY(disk.remount(false));
    else
        QVERIFY(::chmod(QFile::encodeName(store.storeDir()).constData(), 0700) == 0);
    QCOMPARE(bytesOf(store.storeFile()), before);
    QCOMPARE(bytesOf(backup), backupBefore);
    store.open();
    QCOMPARE(integrity(), QStringLiteral("ok"));
    QCOMPARE(storedTitles(), expectedTitles(10));
}

void FaultsTest::fullDisk() {
    if (::geteuid() != 0)
        QSKIP("a full disk needs a tmpfs, which only root may mount");
    TempStore store(false);
    TmpfsMount disk(store.dataHome());
    const QString why = disk.mount("size=16m,mode=0700");
    if (!why.isEmpty())
        QSKIP(qPrintable(QStringLiteral("mounting a tmpfs is not permitted here (%1)").arg(why)));
    store.open();
    fillJournal(20);
    const QString backup = Backups::make(QDate(2026, 1, 1));
    const QString filler = fillDisk(store.dataHome());
    QVERIFY(QFileInfo(filler).size() > 0);

    // A long entry does not fit: a clear message, and the list is as it was.
    try {
        Entries().append(DiaryList::JournalEntries, diary(QStringLiteral("Too long"), 400000));
        QFAIL("an entry was stored on a full disk");
    } catch (const StoreError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("full")), qPrintable(e.message()));
    }
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 20);
    // A photo that does not fit says so in words, not as the system's "No space left on device".
    QTemporaryDir elsewhere;
    QFile photo(elsewhere.filePath("photo.jpg"));
    QVERIFY(photo.open(QIODevice::WriteOnly) && photo.write(QByteArray(1 << 20, 'p')) == 1 << 20);
    photo.close();
    try {
        PhotoFiles::store(photo.fileName());
        QFAIL("a photo was stored on a full disk");
    } catch (const StoreError& e) {
        QCOMPARE(e.kind(), StoreError::Kind::DiskFull);
        QVERIFY2(e.message().contains("The disk is full"), qPrintable(e.message()));
    }
    // Short entries go in while the log has room; each that is reported stored, is.
    int more = 0;
    QString lastError;
    for (; more < 500; ++more) {
        try {
            Entries().append(DiaryList::JournalEntries,
                             diary(QStringLiteral("E") + QString::number(20 + more), 2000));
        } catch (const StoreError& e) {
            lastError = e.message();
            break;
        }
    }
    QVERIFY2(!lastError.isEmpty(), "500 entries of 2,000 characters fitted on a full disk");
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 20 + more);

    // Today's backup cannot be made; yesterday's is untouched and no half copy is left.
    const QByteArray backupBefore = bytesOf(backup);
    try {
        Backups::make(QDate(2026, 1, 2));
        QFAIL("a backup was reported made on a full disk");
    } catch (const StoreError& e) {
        QVERIFY2(e.message().contains(Backups::fileFor(QDate(2026, 1, 2))), qPrintable(e.message()));
        qInfo("backup on a full disk: %s", qPrintable(e.message().replace('\n', ' ')));
    }
    QCOMPARE(Backups::all(), QStringList{backup});
    QCOMPARE(QDir(Backups::directory()).entryList(QDir::Files), QStringList{QFileInfo(backup).fileName()});
    QCOMPARE(bytesOf(backup), backupBefore);

    // Closing and starting again on the full disk: either it opens or it says why; nothing is lost.
    Entries().release();
    store.close();
    try {
        store.open();
        QCOMPARE(integrity(), QStringLiteral("ok"));
        qInfo("a start on the full disk opened the store");
    } catch (const StoreError& e) {
        QVERIFY2(e.message().contains(store.storeFile()), qPrintable(e.message()));
        qInfo("a start on the full disk: %s", qPrintable(e.message().replace('\n', ' ')));
    }
    store.close();

    QVERIFY(QFile::remove(filler));
    store.open();
    QCOMPARE(integrity(), QStringLiteral("ok"));
    QCOMPARE(storedTitles(), expectedTitles(20 + more));
    Entries().freshStart(QStringLiteral("Ann"));
    Entries().append(DiaryList::JournalEntries, diary(QStringLiteral("After"), 400000));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 21 + more);
}

void FaultsTest::failingWritesUnderAFileSizeLimit() {
    TempStore store;
    store.close();
    QProcess writer;
    writer.start(kWriter, {QStringLiteral("limited"), store.dataHome(), QStringLiteral("0"),
                           QStringLiteral("300000")});
    QVERIFY(writer.waitForFinished(120000));
    const QByteArray out = writer.readAllStandardOutput();
    QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
    QVERIFY2(writer.exitCode() == 0, out.constData());

    QStringList reported;
    QString error;
    int count = -1;
    for (const QByteArray& line : out.split('\n')) {
        bool isNumber = false;
        const qint64 n = line.toLongLong(&isNumber);
        if (isNumber)
            reported << QStringLiteral("N") + QString::number(n);
        else if (line.startsWith("error "))
            error = QString::fromUtf8(line.mid(6));
        else if (line.startsWith("count "))
            count = line.mid(6).toInt();
    }
    QVERIFY2(!error.isEmpty(), out.constData());
    qInfo("%lld entries before the write failed: %s", qint64(reported.size()), qPrintable(error));
    QVERIFY(reported.size() > 5);
    // The failed append left the list as it was.
    QCOMPARE(count, reported.size());

    store.open();
    QCOMPARE(integrity(), QStringLiteral("ok"));
    QCOMPARE(storedTitles(), reported);
}

void FaultsTest::aStoreWhoseCreationWasInterruptedIsMadeAfresh() {
    // The state a first start leaves when it dies inside the creating transaction: a file with
    // pages written and the journal that undoes them. It is taken as a copy of a live one.
    TempStore store(false);
    QVERIFY(QDir().mkpath(store.storeDir()));
    const QString scratch = QDir(store.dataHome()).filePath(QStringLiteral("scratch.sqlite"));
    sqlite3* h = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(scratch).constData(), &h), SQLITE_OK);
    const char* fill = "PRAGMA cache_size = 2; BEGIN; CREATE TABLE CHILD (FirstName TEXT); "
                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                       "INSERT INTO CHILD SELECT printf('%0500d', i) FROM n; PRAGMA user_version = 1;";
    QCOMPARE(sqlite3_exec(h, fill, nullptr, nullptr, nullptr), SQLITE_OK);
    QVERIFY(QFileInfo(scratch).size() > 0);
    QVERIFY(QFile::exists(scratch + QStringLiteral("-journal")));
    QVERIFY(QFile::copy(scratch, store.storeFile()));
    QVERIFY(
        QFile::copy(scratch + QStringLiteral("-journal"), store.storeFile() + QStringLiteral("-journal")));
    sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    QVERIFY(QFileInfo(store.storeFile()).size() > 0);

    // Nothing of it was ever committed: the start makes a new store instead of refusing the file.
    store.open();
    QCOMPARE(integrity(), QStringLiteral("ok"));
    QCOMPARE(TempStore::previous(), QStringLiteral("New"));
    QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 0);
    QVERIFY(!QFile::exists(store.storeFile() + QStringLiteral("-journal")));
}

QTEST_GUILESS_MAIN(FaultsTest)
#include "tst_durability_faults.moc"
