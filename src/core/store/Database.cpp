#include "core/store/Database.h"

#include "core/store/Backups.h"
#include "core/store/Clock.h"
#include "core/store/DeliveredData.h"
#include "core/store/FolderLock.h"
#include "core/store/PhotoFiles.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QSysInfo>
#include <QUrl>

#include <chrono>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {
const QString kConnection = QStringLiteral("tinyra");
bool g_readOnly = false;

// The look for damage that a book opened while it runs waits for before its first write. Only the
// thread that owns the connection asks for its answer.
struct PendingLook {
    std::shared_future<QString> answer;
    std::optional<QString> damage; // known once the look has answered
};
std::optional<PendingLook> g_look;

// The look's answer, waiting for it: empty when the book is sound.
QString waitForLook() {
    if (!g_look)
        return QString();
    if (!g_look->damage)
        g_look->damage = g_look->answer.get();
    return *g_look->damage;
}

// Statements that change the file: everything but reading and the pragmas that only read or set
// this connection's own ways.
bool writes(int action, const char* first, const char* second) {
    switch (action) {
    case SQLITE_PRAGMA: {
        // Those `setting` change the file when given a value (user_version = 7); those `running`, always.
        static const char* const setting[] = {"user_version", "journal_mode", "application_id", "auto_vacuum",
                                              "page_size"};
        static const char* const running[] = {"wal_checkpoint", "incremental_vacuum", "optimize"};
        for (const char* name : setting)
            if (first && sqlite3_stricmp(first, name) == 0)
                return second != nullptr;
        for (const char* name : running)
            if (first && sqlite3_stricmp(first, name) == 0)
                return true;
        return false;
    }
    case SQLITE_READ:
    case SQLITE_SELECT:
    case SQLITE_FUNCTION:
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
    case SQLITE_RECURSIVE:
        return false;
    default:
        return true;
    }
}

// SQLite asks before each statement that it prepares: a write waits for the look, and is refused
// when the look found damage.
int holdWritesForTheLook(void*, int action, const char* first, const char* second, const char*, const char*) {
    if (!g_look || !writes(action, first, second))
        return SQLITE_OK;
    return waitForLook().isEmpty() ? SQLITE_OK : SQLITE_DENY;
}

QString describe(const QSqlError& e) {
    QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return text.trimmed();
}

StoreError openError(const QString& problem, StoreError::Kind kind = StoreError::Kind::CannotOpen) {
    return StoreError(QStringLiteral("Tinyra could not open its data file\n%1\n\n%2")
                          .arg(QDir::toNativeSeparators(Database::filePath()), problem),
                      kind);
}

[[noreturn]] void fail(const QString& problem, StoreError::Kind kind = StoreError::Kind::CannotOpen) {
    throw openError(problem, kind);
}

// The book exists but cannot be written: it may still be opened for reading.
[[noreturn]] void failReadOnly(const QString& problem) {
    fail(problem, StoreError::Kind::ReadOnly);
}

// Every table and field the store's version has: the first version's fields before migrating.
void checkLayout(QSqlDatabase& db, bool firstFieldsOnly) {
    const QStringList tables = db.tables();
    for (const TableDef* t : Schema::baseTables()) {
        if (!tables.contains(t->name))
            fail(QStringLiteral("The table %1 is missing.").arg(t->name));
        const QSqlRecord rec = db.record(t->name);
        for (const FieldDef& f : firstFieldsOnly ? Schema::firstFields(*t) : t->fields)
            if (rec.indexOf(f.name) < 0)
                fail(QStringLiteral("The table %1 has no field %2.").arg(t->name, f.name));
    }
}

// The connection's SQLite handle, or nullptr.
sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant h = db.driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(h.constData());
}

// The store's error for a statement that failed on `db`: SQLite's result code (extended where the
// connection still holds it) in a parent's words.
StoreError failure(const QSqlDatabase& db, const QSqlError& e) {
    // A write refused while the book was found damaged after it opened.
    if (g_look && g_look->damage && !g_look->damage->isEmpty())
        return openError(*g_look->damage);
    bool known = false;
    int code = e.nativeErrorCode().toInt(&known);
    int systemErrno = 0;
    if (sqlite3* h = handleOf(db)) {
        const int extended = sqlite3_extended_errcode(h);
        if (!known || (extended & 0xff) == (code & 0xff))
            code = extended;
        systemErrno = sqlite3_system_errno(h);
    }
    return StoreError::fromSqlite(code, describe(e), systemErrno);
}

void runAll(const QStringList& statements) {
    for (const QString& sql : statements)
        Database::exec(sql);
}

// The functions the book's triggers call; without them nothing of a child can be written.
void registerFunctions(const QSqlDatabase& db) {
    if (!Clock::registerOn(handleOf(db)))
        fail(QStringLiteral("Its clock for sharing cannot be set up."));
}

// Starts the clock of the book's device, past every stamp the book holds.
void startClock() {
    QSqlQuery device = Database::exec(QStringLiteral("SELECT id FROM DEVICE LIMIT 1"));
    const QString id = device.next() ? device.value(0).toString() : QString();
    device.finish();
    QSqlQuery greatest = Database::exec(QStringLiteral("SELECT max(stamp) FROM STAMPS"));
    Clock::start(id, greatest.next() ? greatest.value(0).toString() : QString());
}

// A whole data folder copied to start a second computer must not go on writing as the first: the
// two would write one device's batches in the shared folder, over each other's. The book keeps the
// computer it was last opened on; opened on another, it becomes a new device, named after that
// computer, which has seen all that the book holds of the one it was copied from.
void keepDeviceToThisComputer() {
    const QString here = QString::fromLatin1(QSysInfo::machineUniqueId());
    if (here.isEmpty())
        return;
    QSqlQuery last = Database::exec(QStringLiteral("SELECT value FROM SHARING WHERE name = 'computer'"));
    const QString before = last.next() ? last.value(0).toString() : QString();
    last.finish();
    if (before == here)
        return;
    Transaction tx;
    if (!before.isEmpty()) {
        QSqlQuery device = Database::exec(QStringLiteral("SELECT id FROM DEVICE"));
        const QString old = device.next() ? device.value(0).toString() : QString();
        device.finish();
        Database::exec(QStringLiteral("INSERT OR IGNORE INTO PEERS (device) VALUES (?)"), {old});
        // A stamp's device id follows its moment and counter: 30 characters.
        Database::exec(
            QStringLiteral("UPDATE PEERS SET seen = max(seen, ifnull((SELECT max(stamp) FROM STAMPS "
                           "WHERE substr(stamp, 31) = ?), '')) WHERE device = ?"),
            {old, old});
        Database::exec(QStringLiteral("UPDATE DEVICE SET id = lower(hex(randomblob(16))), name = ?"),
                       {QSysInfo::machineHostName()});
    }
    Database::exec(QStringLiteral("INSERT OR REPLACE INTO SHARING (name, value) VALUES ('computer', ?)"),
                   {here});
    tx.commit();
}

// A device made by this start (a new book, or one brought up to the version that shares) is named
// after the computer.
void nameDevice() {
    Database::exec(QStringLiteral("UPDATE DEVICE SET name = ? WHERE name = ''"),
                   {QSysInfo::machineHostName()});
}
} // namespace

QString Database::dataDirectory() {
    // A relative XDG_DATA_HOME is invalid and ignored, as the XDG rules say: it would put the book
    // wherever the program happened to be started.
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir(base).filePath(QStringLiteral("Tinyra4"));
}

bool Database::makeDataDirectory() {
    const QString dir = dataDirectory();
    if (!QDir().mkpath(dir))
        return false;
    // A family's book is private: the folder is its owner's alone, also when it was made otherwise.
    ::chmod(QFile::encodeName(dir).constData(), 0700);
    return true;
}

QString Database::filePath() {
    return QDir(dataDirectory()).filePath(QStringLiteral("tinyra4.sqlite"));
}

void Database::open(const std::optional<QString>& damageFound) {
    openBook(damageFound, nullptr);
}

void Database::openWhileLooking(std::shared_future<QString> look) {
    openBook(std::nullopt, &look);
}

std::optional<QString> Database::lookAnswer(bool wait) {
    if (!g_look)
        return QString();
    if (!wait && !g_look->damage &&
        g_look->answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return std::nullopt;
    const QString damage = waitForLook();
    if (damage.isEmpty()) {
        // Sound: writes go ahead as usual from now on, and closing checkpoints the log again.
        if (isOpen())
            if (sqlite3* h = handleOf(db())) {
                sqlite3_set_authorizer(h, nullptr, nullptr);
                sqlite3_db_config(h, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
            }
        g_look.reset();
    }
    return damage;
}

void Database::openBook(const std::optional<QString>& damageFound, std::shared_future<QString>* look) {
    if (isOpen())
        return;
    g_look.reset();
    const QString dir = dataDirectory();
    if (!makeDataDirectory())
        fail(QStringLiteral("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(dir)));
    // Opening, creating, migrating and loading the delivered data happen in one process at a time:
    // two starts at the same moment would otherwise both create the tables of a new book.
    FolderLock opening(QDir(dir).filePath(QStringLiteral("tinyra4.opening")));
    opening.lock(true); // where no lock can be had (a read-only folder), the checks below say why
    const QString path = filePath();
    const QFileInfo info(path);
    const bool existed = info.exists();
    if (existed && !info.isFile())
        fail(QStringLiteral("It is not a file."));
    if (!existed && !QFileInfo(dir).isWritable())
        fail(QStringLiteral("The folder %1 cannot be written to.").arg(QDir::toNativeSeparators(dir)));
    if (existed && !QFileInfo(dir).isWritable())
        failReadOnly(QStringLiteral("It cannot be written to: the folder %1 or its disk is read-only.")
                         .arg(QDir::toNativeSeparators(dir)));
    if (existed && !info.isWritable())
        failReadOnly(QStringLiteral("It cannot be written to: the file is read-only."));
    // The store is its owner's alone; SQLite gives its -wal and -shm files the same mode.
    if (existed)
        ::chmod(QFile::encodeName(path).constData(), 0600);
    // A damaged file is recognised through a read-only look first: opening it for writing could
    // let SQLite discard the log beside it when the connection closes. (An empty file is damage too
    // while backups exist: it is never taken for a new book.)
    const bool answered =
        look && look->valid() && look->wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    if (existed && look && look->valid() && !answered) {
        g_look = PendingLook{*look, std::nullopt};
    } else if (existed) {
        const QString damage = damageFound ? *damageFound : answered ? look->get() : Backups::damage();
        if (!damage.isEmpty())
            fail(damage);
    }

    // A log left by a book that is gone belongs to that book: a new book must not start on top of it.
    if (!existed)
        Backups::moveAsideLeftovers(QDateTime::currentDateTime());

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    db.setDatabaseName(path);
    if (!db.open()) {
        const QString problem = failure(db, db.lastError()).message();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kConnection);
        fail(problem);
    }
    if (!existed)
        ::chmod(QFile::encodeName(path).constData(), 0600);
    if (g_look)
        if (sqlite3* h = handleOf(db)) {
            // Until the look has answered, closing must not fold the log into a file that may be
            // damaged, and no statement may write.
            sqlite3_db_config(h, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
            sqlite3_set_authorizer(h, holdWritesForTheLook, nullptr);
        }
    try {
        registerFunctions(db);
        // Reading the schema is the first access: a file that is not a database fails here,
        // before anything is written to it. (A creation that was interrupted is rolled back here
        // too, leaving no pages: such a file is made afresh.)
        QSqlQuery probe = exec(QStringLiteral("PRAGMA user_version"));
        const int version = probe.next() ? probe.value(0).toInt() : 0;
        probe.finish();
        QSqlQuery pages = exec(QStringLiteral("PRAGMA page_count"));
        const int pageCount = pages.next() ? pages.value(0).toInt() : 0;
        pages.finish();
        if (sqlite3* h = handleOf(db); h && sqlite3_db_readonly(h, "main") == 1)
            failReadOnly(QStringLiteral("It cannot be written to: the folder or the disk is read-only."));
        if (existed && pageCount > 0) {
            if (version > Schema::version())
                fail(QStringLiteral("It was written by a newer version of Tinyra."));
            if (version < 1)
                fail(QStringLiteral("It is not a Tinyra data file."));
            checkLayout(db, version < Schema::version());
            for (int v = version; v < Schema::version(); ++v) {
                Transaction tx;
                runAll(Schema::migrationStatements(v));
                exec(QStringLiteral("PRAGMA user_version = %1").arg(v + 1));
                if (v + 1 == Schema::version())
                    nameDevice();
                tx.commit();
            }
            if (version < Schema::version())
                checkLayout(db, false);
        } else {
            Transaction tx;
            runAll(Schema::createStatements());
            exec(QStringLiteral("INSERT INTO PREVIOUS (FirstName) VALUES (?)"), {QStringLiteral("New")});
            exec(QStringLiteral("PRAGMA user_version = %1").arg(Schema::version()));
            nameDevice();
            tx.commit();
        }
        keepDeviceToThisComputer();
        startClock();
        QSqlQuery mode = exec(QStringLiteral("PRAGMA journal_mode"));
        const bool wal =
            mode.next() && mode.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
        mode.finish();
        if (!wal)
            exec(QStringLiteral("PRAGMA journal_mode = WAL"));
        exec(QStringLiteral("PRAGMA synchronous = FULL"));
        DeliveredData::refresh();
        PhotoFiles::movePictures();
    } catch (const StoreError& e) {
        db = QSqlDatabase();
        // The book failed to open while the look still ran (a write it refused, or a read that found
        // the file damaged): the damage the look finds is the reason, in its words.
        const QString damage = g_look ? waitForLook() : QString();
        close();
        if (!damage.isEmpty())
            fail(damage);
        if (e.kind() == StoreError::Kind::CannotOpen || e.kind() == StoreError::Kind::ReadOnly)
            throw;
        if (e.kind() == StoreError::Kind::DiskFull)
            fail(QStringLiteral("The disk is full, so Tinyra could not make the book ready. Free some space "
                                "(empty the rubbish bin, remove files you no longer need), then start "
                                "Tinyra again."));
        fail(e.message());
    }
}

void Database::openReadOnly() {
    if (isOpen())
        return;
    const QString path = filePath();
    const QFileInfo info(path);
    if (!info.isFile())
        fail(QStringLiteral("It does not exist."));
    if (!info.isReadable())
        fail(QStringLiteral("It cannot be read."));
    // A book closed cleanly has no log beside it, and on a read-only folder SQLite could not make the
    // log's index either: such a file is read as it stands. A log left beside it is read with it.
    const bool hasLog = QFileInfo(path + QStringLiteral("-wal")).size() > 0;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    if (hasLog) {
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    } else {
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?immutable=1"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
    }
    if (!db.open()) {
        const QString problem = describe(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kConnection);
        fail(problem);
    }
    try {
        QSqlQuery probe = exec(QStringLiteral("PRAGMA user_version"));
        const int version = probe.next() ? probe.value(0).toInt() : 0;
        probe.finish();
        if (version > Schema::version())
            fail(QStringLiteral("It was written by a newer version of Tinyra."));
        if (version < 1)
            fail(QStringLiteral("It is not a Tinyra data file."));
        if (version < Schema::version())
            fail(QStringLiteral("It was written by an older version of Tinyra, and bringing it up to date "
                                "needs a folder that can be written to."));
        checkLayout(db, false);
        registerFunctions(db);
        startClock();
    } catch (const StoreError& e) {
        db = QSqlDatabase();
        close();
        if (e.kind() == StoreError::Kind::CannotOpen)
            throw;
        fail(e.message());
    }
    g_readOnly = true;
}

bool Database::isReadOnly() {
    return g_readOnly && isOpen();
}

QString Database::writerLockPath() {
    return QDir(dataDirectory()).filePath(QStringLiteral("tinyra4.lock"));
}

void Database::close() {
    g_readOnly = false;
    Clock::stop();
    // A look still running is waited for: a sound book is then checkpointed as usual.
    if (g_look && isOpen())
        (void)lookAnswer(true);
    g_look.reset();
    if (!QSqlDatabase::contains(kConnection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(kConnection);
}

bool Database::isOpen() {
    return QSqlDatabase::contains(kConnection) && QSqlDatabase::database(kConnection, false).isOpen();
}

QSqlDatabase Database::db() {
    if (!isOpen())
        throw StoreError(QStringLiteral("The Tinyra data file is not open."));
    return QSqlDatabase::database(kConnection, false);
}

QSqlQuery Database::exec(const QString& sql, const QVariantList& values) {
    const QSqlDatabase connection = db();
    QSqlQuery q(connection);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw failure(connection, q.lastError());
    for (const QVariant& v : values) {
        // An empty QString may be null, which SQLite would store as NULL: text is stored as text.
        if (v.typeId() == QMetaType::QString && v.toString().isNull())
            q.addBindValue(QStringLiteral(""));
        else
            q.addBindValue(v);
    }
    if (!q.exec())
        throw failure(connection, q.lastError());
    return q;
}

// The write lock is taken at BEGIN: a transaction that read first and wrote later would fail at
// once, without waiting, when another program wrote in between.
Transaction::Transaction() {
    Database::exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction() {
    if (!m_done && Database::isOpen())
        QSqlQuery(Database::db()).exec(QStringLiteral("ROLLBACK"));
}

void Transaction::commit() {
    m_done = true;
    try {
        Database::exec(QStringLiteral("COMMIT"));
    } catch (const StoreError&) {
        QSqlQuery(Database::db()).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}
