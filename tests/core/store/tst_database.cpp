// Opening the store: first start, restarts, delivered rows, and files that must be left untouched.
#include "core/store/Clock.h"
#include "core/store/Database.h"
#include "core/store/DeliveredData.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"
#include "core/store/Table.h"
#include "support/TempStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <sqlite3.h>

#include <cerrno>
#include <functional>
#include <future>
#include <thread>

namespace {
QByteArray digest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Opens the store expecting a refusal; returns its message.
QString refusal() {
    try {
        Database::open();
    } catch (const StoreError& e) {
        if (e.kind() != StoreError::Kind::CannotOpen)
            return QStringLiteral("wrong kind: ") + e.message();
        return e.message();
    }
    return QStringLiteral("opened");
}
} // namespace

class DatabaseTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartCreatesTheStoreInTheDataFolder();
    void anExistingStoreIsNeverEmptied();
    void deliveredRowsLoadOnceAndNewerVersionsReplaceThem();
    void malformedDeliveredDataIsRefusedWhole();
    void aFileThatIsNotADatabaseIsLeftUntouched();
    void aStoreMissingATableIsLeftUntouched();
    void aStoreFromANewerVersionIsRefused();
    void aFolderThatCannotBeMadeIsReported();
    void aFailedWriteIsToldInAParentsWords();
    void aStoreFromBeforeTheGrowthMeasuresOpensWithItsRecords();
    void aBookOpenedWhileLookingForDamageWritesOnlyOnceFoundSound_data();
    void aBookOpenedWhileLookingForDamageWritesOnlyOnceFoundSound();
};

void DatabaseTest::firstStartCreatesTheStoreInTheDataFolder() {
    TempStore store;
    QVERIFY(Database::isOpen());
    QCOMPARE(Database::dataDirectory(), store.dataHome() + "/Tinyra4");
    QVERIFY(QFile::exists(store.storeFile()));
    QSqlQuery q = Database::exec("PRAGMA journal_mode");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
    q = Database::exec("PRAGMA user_version");
    QVERIFY(q.next());
    QVERIFY(q.value(0).toInt() >= 1);
}

void DatabaseTest::anExistingStoreIsNeverEmptied() {
    TempStore store;
    TempStore::addChild("Ann", "", "Smith");
    TempStore::setPrevious("Ann");
    store.reopen();
    store.reopen();
    QCOMPARE(TempStore::rowCount("CHILD"), 1);
    QCOMPARE(TempStore::rowCount("PREVIOUS"), 1);
    QCOMPARE(TempStore::previous(), QStringLiteral("Ann"));
}

void DatabaseTest::deliveredRowsLoadOnceAndNewerVersionsReplaceThem() {
    TempStore store;
    DeliveredData::load("BOYA",
                        R"({"version": 3, "rows": [["Adam", "Hebrew", "man"], ["Liam", "Irish", ""]]})");
    QCOMPARE(DeliveredData::storedVersion("BOYA"), 3);
    QCOMPARE(TempStore::rowCount("BOYA"), 2);
    DeliveredData::load("BOYA", R"({"version": 4, "rows": [["Noah", "Hebrew", "rest"]]})");
    QCOMPARE(TempStore::rowCount("BOYA"), 1);
    QSqlQuery q = Database::exec("SELECT Name, Origin, Meaning FROM BOYA");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString() + "|" + q.value(1).toString() + "|" + q.value(2).toString(),
             QStringLiteral("Noah|Hebrew|rest"));
    // Help topics: integer key and long text.
    const QString longText(5000, QChar('t'));
    DeliveredData::load(
        "BABYHELP",
        QStringLiteral(R"({"version": 1, "rows": [[45, "Using help", "%1"]]})").arg(longText).toUtf8());
    q = Database::exec("SELECT HelpID, length(Remarks) FROM BABYHELP");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 45);
    QCOMPARE(q.value(1).toInt(), 5000);
    // The user's own tables are not touched by any of it.
    TempStore::addChild("Ann");
    DeliveredData::load("GIRLA", R"({"version": 1, "rows": []})");
    QCOMPARE(TempStore::rowCount("CHILD"), 1);
}

void DatabaseTest::malformedDeliveredDataIsRefusedWhole() {
    TempStore store;
    DeliveredData::load("BOYA", R"({"version": 1, "rows": [["Adam", "Hebrew", "man"]]})");
    QVERIFY_THROWS_EXCEPTION(StoreError, DeliveredData::load("BOYA", "{not json"));
    QVERIFY_THROWS_EXCEPTION(
        StoreError, DeliveredData::load("BOYA", R"({"version": 2, "rows": [["Eve", "Hebrew"], ["x"]]})"));
    QVERIFY_THROWS_EXCEPTION(StoreError, DeliveredData::load("CHILD", R"({"version": 2, "rows": []})"));
    // The old rows stand.
    QCOMPARE(TempStore::rowCount("BOYA"), 1);
    QCOMPARE(DeliveredData::storedVersion("BOYA"), 1);
}

void DatabaseTest::aFileThatIsNotADatabaseIsLeftUntouched() {
    TempStore store(false);
    QVERIFY(QDir().mkpath(store.storeDir()));
    QFile f(store.storeFile());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("These are a parent's notes, not a database.\n").repeated(200));
    f.close();
    const QByteArray before = digest(store.storeFile());

    const QString message = refusal();
    QVERIFY2(message.contains(store.storeFile()), qPrintable(message));
    QVERIFY2(message.contains("not a database"), qPrintable(message));
    QVERIFY(!Database::isOpen());
    QCOMPARE(digest(store.storeFile()), before);
}

void DatabaseTest::aStoreMissingATableIsLeftUntouched() {
    TempStore store;
    TempStore::addChild("Ann");
    Database::exec("DROP TABLE GIRLA");
    store.close();
    const QByteArray before = digest(store.storeFile());
    const QString message = refusal();
    QVERIFY2(message.contains("GIRLA"), qPrintable(message));
    QVERIFY2(message.contains(store.storeFile()), qPrintable(message));
    QCOMPARE(digest(store.storeFile()), before);
}

void DatabaseTest::aStoreFromANewerVersionIsRefused() {
    TempStore store;
    Database::exec("PRAGMA user_version = 999");
    store.close();
    const QString message = refusal();
    QVERIFY2(message.contains("newer version"), qPrintable(message));
}

void DatabaseTest::aFolderThatCannotBeMadeIsReported() {
    TempStore store(false);
    // The data folder's place is taken by a file, so the folder cannot be made.
    QFile blocker(store.dataHome() + "/Tinyra4");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("x");
    blocker.close();
    const QString message = refusal();
    QVERIFY2(message.contains("cannot be created"), qPrintable(message));
    QVERIFY(!Database::isOpen());
}

void DatabaseTest::aFailedWriteIsToldInAParentsWords() {
    struct Case {
        const char* what;
        std::function<void()> fail; // provokes the failure on the open store
        StoreError::Kind kind;
        QString words; // in the message's first paragraph
    };
    const auto entry = [](const QVariant& list, int length) {
        Database::exec(
            "INSERT INTO ENTRIES (child, list, Date, Title, Text, uid) VALUES ('Ann', ?, '', '', ?, ?)",
            {list, QString(length, 'x'), QString::number(length)});
    };
    const QList<Case> cases{
        {"full disk",
         [&] {
             QSqlQuery pages = Database::exec("PRAGMA page_count");
             pages.next();
             Database::exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages.value(0).toInt()));
             entry(1, 100000);
         },
         StoreError::Kind::DiskFull,
         "The disk is full, so Tinyra could not save this. Nothing you typed is lost"},
        {"same row twice", [] { Database::exec("INSERT INTO CHILD (FirstName) VALUES ('Ann')"); },
         StoreError::Kind::Duplicate, "it would store the same record twice"},
        {"a value missing", [&] { entry(QVariant(), 10); }, StoreError::Kind::Other,
         "a part the record needs is missing"},
        {"read-only",
         [&] {
             Database::exec("PRAGMA query_only = 1");
             entry(1, 10);
         },
         StoreError::Kind::Other, "its folder or its disk is read-only"},
        {"another program writing",
         [] {
             QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
             other.setDatabaseName(Database::filePath());
             other.open();
             QSqlQuery(other).exec("BEGIN IMMEDIATE");
             Database::exec("PRAGMA busy_timeout = 0");
             Transaction tx;
         },
         StoreError::Kind::Other, "Another program is using the book"},
        // A quota reached is a write error with EDQUOT; an errno left from an earlier failure does not
        // make a refused value a full disk.
        {"quota", [] { throw StoreError::fromSqlite(SQLITE_IOERR_WRITE, "disk I/O error", EDQUOT); },
         StoreError::Kind::DiskFull, "The disk is full"},
        {"stale errno",
         [] {
             throw StoreError::fromSqlite(SQLITE_CONSTRAINT_NOTNULL, "NOT NULL constraint failed: X.y",
                                          ENOSPC);
         },
         StoreError::Kind::Other, "a part the record needs is missing"},
    };
    for (const Case& c : cases) {
        QString message = "nothing failed";
        StoreError::Kind kind = StoreError::Kind::CannotOpen;
        {
            TempStore store;
            TempStore::addChild("Ann");
            try {
                c.fail();
            } catch (const StoreError& e) {
                message = e.message();
                kind = e.kind();
            }
        }
        QSqlDatabase::removeDatabase("other");
        const QString words = message.section("\n\nTechnical detail: ", 0, 0);
        QVERIFY2(kind == c.kind, c.what);
        QVERIFY2(words.contains(c.words), qPrintable(QStringLiteral("%1: %2").arg(c.what, message)));
        // SQLite's own text comes only after the words, as a detail.
        for (const char* raw : {"constraint", "database", "disk I/O", "SQLITE"})
            QVERIFY2(!words.contains(raw, Qt::CaseInsensitive),
                     qPrintable(QStringLiteral("%1: %2").arg(c.what, message)));
    }
}

void DatabaseTest::aStoreFromBeforeTheGrowthMeasuresOpensWithItsRecords() {
    // A store of the second version, as an earlier release left it: a child, a growth record, no sex,
    // gestation, head circumference, units or preferences.
    TempStore store(false);
    const QString problem = store.writeOlderStore(
        2,
        {"INSERT INTO CHILD (FirstName, BDayYear) VALUES ('Ann', '2024')",
         "INSERT INTO PREVIOUS (FirstName) VALUES ('Ann')",
         "INSERT INTO GROWTH (child, Date, Height, WtLbs, WtOz) VALUES ('Ann', '01-02-24', '20', '7', '8')"});
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    store.open();
    QSqlQuery v = Database::exec("PRAGMA user_version");
    QVERIFY(v.next());
    QCOMPARE(v.value(0).toInt(), Schema::version());
    QSqlQuery g = Database::exec("SELECT Date, Height, WtLbs, WtOz, Head, WtKg, Units, uid FROM GROWTH");
    QVERIFY(g.next());
    QCOMPARE(g.value(0).toString() + g.value(1).toString() + g.value(2).toString() + g.value(3).toString(),
             QStringLiteral("01-02-2420"
                            "78"));
    QCOMPARE(g.value(4).toString() + g.value(5).toString() + g.value(6).toString(), QString());
    QVERIFY(!g.value(7).toString().isEmpty());
    Table child(QStringLiteral("CHILD"));
    child.open();
    QVERIFY(child.findKey("Ann"));
    QCOMPARE(child.fieldText("BDayYear"), QStringLiteral("2024"));
    QCOMPARE(child.fieldText("Sex"), QString());
    // The new fields are kept like the others, and a change to them stamps the child as changed.
    Database::exec("UPDATE CHILD SET changed = '2000-01-01T00:00:00.000Z'");
    Database::exec("UPDATE CHILD SET Sex = 'Girl', Gestation = '34' WHERE FirstName = 'Ann'");
    QSqlQuery c = Database::exec("SELECT Sex, Gestation, changed FROM CHILD");
    QVERIFY(c.next());
    QCOMPARE(c.value(0).toString() + c.value(1).toString(), QStringLiteral("Girl34"));
    QVERIFY(c.value(2).toString() > QStringLiteral("2000-01-01T00:00:00.000Z"));
    Database::exec("INSERT INTO PREFERENCES (name, value) VALUES ('GrowthUnits', 'metric')");
    QCOMPARE(TempStore::rowCount("PREFERENCES"), 1);
    // The birth measurements typed in centimetres and kilograms and the head circumference are
    // stamped as any other field of the child, so that they travel to the other computers.
    Database::exec("UPDATE CHILD SET BirthUnits = 'metric', BirthLengthCm = '51.5', BirthWeightKg = '3.45', "
                   "BirthHead = '35' WHERE FirstName = 'Ann'");
    QSqlQuery stamped =
        Database::exec("SELECT group_concat(field || '=' || value, ' ') FROM (SELECT field, value "
                       "FROM STAMPS WHERE tbl = 'CHILD' AND field LIKE 'Birth%' AND value <> '' "
                       "ORDER BY field)");
    QVERIFY(stamped.next());
    QCOMPARE(stamped.value(0).toString(),
             QStringLiteral("BirthHead=35 BirthLengthCm=51.5 BirthUnits=metric BirthWeightKg=3.45"));
    // And so is how a growth record's length was measured.
    Database::exec("UPDATE GROWTH SET Measured = 'standing'");
    QCOMPARE(TempStore::rowCount("STAMPS WHERE tbl = 'GROWTH' AND field = 'Measured' AND value = 'standing'"),
             1);
}

QTEST_GUILESS_MAIN(DatabaseTest)
#include "tst_database.moc"

void DatabaseTest::aBookOpenedWhileLookingForDamageWritesOnlyOnceFoundSound_data() {
    QTest::addColumn<QString>("damage");
    QTest::newRow("sound") << QString();
    QTest::newRow("damaged") << QStringLiteral("It is damaged: database disk image is malformed");
}

// Start-up opens the book while the look for damage still reads it. The book reads at once; a write
// waits for the look's answer and goes ahead only when the book is sound; a damaged book's file and
// log are left byte for byte, also by closing, which would otherwise fold the log into the file.
void DatabaseTest::aBookOpenedWhileLookingForDamageWritesOnlyOnceFoundSound() {
    QFETCH(QString, damage);
    TempStore store;
    TempStore::addChild(QStringLiteral("Ann"));
    store.close();
    // A log with a change in it, as a book closed by a crash leaves it.
    {
        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(store.storeFile()).constData(), &raw), SQLITE_OK);
        sqlite3_db_config(raw, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        QVERIFY(Clock::registerOn(raw)); // what the book's triggers call
        QCOMPARE(sqlite3_exec(raw, "INSERT INTO CHILD (FirstName) VALUES ('Ben')", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(raw);
    }
    const QString log = store.storeFile() + QStringLiteral("-wal");
    const QByteArray fileBefore = digest(store.storeFile()), logBefore = digest(log);
    QVERIFY(!logBefore.isEmpty());

    std::promise<QString> answer;
    Database::openWhileLooking(answer.get_future().share());
    QVERIFY(!Database::lookAnswer());
    QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 2); // Ben is read from the log
    // The look answers while a write waits for it.
    std::thread look([&answer, damage] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        answer.set_value(damage);
    });
    QString refused;
    try {
        TempStore::addChild(QStringLiteral("Cara"));
    } catch (const StoreError& e) {
        refused = e.message();
    }
    look.join();
    QCOMPARE(Database::lookAnswer(), std::optional<QString>(damage));
    if (damage.isEmpty()) {
        QCOMPARE(refused, QString());
        QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 3);
        store.close();
        QVERIFY(!QFile::exists(log) || QFileInfo(log).size() == 0); // folded into the file on closing
        QVERIFY(digest(store.storeFile()) != fileBefore);
        return;
    }
    QVERIFY2(refused.contains(damage) && refused.contains(store.storeFile()), qPrintable(refused));
    QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 2);
    store.close();
    QCOMPARE(digest(store.storeFile()), fileBefore);
    QCOMPARE(digest(log), logBefore);
}
