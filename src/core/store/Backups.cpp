#include "core/store/Backups.h"

#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kPrefix = QStringLiteral("tinyra4-");
const QString kSuffix = QStringLiteral(".sqlite");
// When the program started: photo files written since may be waiting for their reference.
const QDateTime kStarted = QDateTime::currentDateTimeUtc();

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// One raw SQLite connection, closed on scope exit.
struct Connection {
    sqlite3* h = nullptr;
    ~Connection() {
        if (h)
            sqlite3_close(h);
    }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(h)); }
};

// The first value of `sql`, or the error code in *rc.
QString firstValue(sqlite3* h, const char* sql, int* rc, const QString& bound = QString(),
                   const QString& bound2 = QString()) {
    sqlite3_stmt* st = nullptr;
    *rc = sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
    if (*rc != SQLITE_OK)
        return QString();
    int index = 1;
    for (const QString& value : {bound, bound2}) {
        if (value.isNull())
            continue;
        const QByteArray b = value.toUtf8();
        sqlite3_bind_text(st, index++, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    QString value;
    *rc = sqlite3_step(st);
    if (*rc == SQLITE_ROW) {
        value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        *rc = SQLITE_OK;
    } else if (*rc == SQLITE_DONE) {
        *rc = SQLITE_OK;
    }
    sqlite3_finalize(st);
    return value;
}

bool isDamageCode(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// Every value of the first column of `sql`, or the error code in *rc.
QStringList allValues(sqlite3* h, const char* sql, int* rc) {
    sqlite3_stmt* st = nullptr;
    QStringList values;
    *rc = sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
    if (*rc != SQLITE_OK)
        return values;
    while ((*rc = sqlite3_step(st)) == SQLITE_ROW)
        values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    if (*rc == SQLITE_DONE)
        *rc = SQLITE_OK;
    sqlite3_finalize(st);
    return values;
}

// Whether every problem an integrity check found lies in an index, which REINDEX builds again from
// the tables.
bool onlyIndexes(const QStringList& problems) {
    static const QRegularExpression index(
        QStringLiteral("(missing from index|entries in index|entry in index|in index \\w+)"));
    if (problems.isEmpty())
        return false;
    for (const QString& p : problems)
        if (!index.match(p).hasMatch())
            return false;
    return true;
}

// What makes `path` unusable as a store; empty when it is sound. *reachable becomes false when the
// file could not be read at all for a reason that is not the file's own (busy, permissions, I/O).
// With `fullCheck`, the full integrity check runs; *indexesOnly (when given) then says whether all
// it found is damage to indexes.
QString problemOf(const QString& path, bool fullCheck, bool* reachable, bool* indexesOnly = nullptr) {
    *reachable = true;
    if (indexesOnly)
        *indexesOnly = false;
    Connection c;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &c.h, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        *reachable = false;
        return c.h ? c.error() : QStringLiteral("It cannot be opened.");
    }
    auto unreachable = [&](int code) {
        if (isDamageCode(code))
            return (code & 0xff) == SQLITE_NOTADB ? QStringLiteral("It is not a database.")
                                                  : QStringLiteral("It is damaged: ") + c.error();
        *reachable = false;
        return c.error();
    };
    const int version = firstValue(c.h, "PRAGMA user_version", &rc).toInt();
    if (rc != SQLITE_OK)
        return unreachable(rc);
    if (version > Schema::version()) {
        *reachable = false; // a newer program's file is not damaged
        return QStringLiteral("It was written by a newer version of Tinyra.");
    }
    if (version < 1)
        return QStringLiteral("It is not a Tinyra data file.");
    for (const TableDef* t : Schema::baseTables()) {
        const QString found =
            firstValue(c.h, "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?", &rc, t->name);
        if (rc != SQLITE_OK)
            return unreachable(rc);
        if (found.isEmpty())
            return QStringLiteral("The table %1 is missing.").arg(t->name);
        // A store not yet migrated lacks the fields later versions add.
        for (const FieldDef& f : version < Schema::version() ? Schema::firstFields(*t) : t->fields) {
            const QString column =
                firstValue(c.h, "SELECT name FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE", &rc,
                           t->name, f.name);
            if (rc != SQLITE_OK)
                return unreachable(rc);
            if (column.isEmpty())
                return QStringLiteral("The table %1 has no field %2.").arg(t->name, f.name);
        }
    }
    const QStringList check =
        allValues(c.h, fullCheck ? "PRAGMA integrity_check(100)" : "PRAGMA quick_check(1)", &rc);
    if (rc != SQLITE_OK)
        return unreachable(rc);
    if (check != QStringList{QStringLiteral("ok")}) {
        if (indexesOnly)
            *indexesOnly = onlyIndexes(check);
        return QStringLiteral("It is damaged: ") + check.value(0);
    }
    return QString();
}

void ensurePrivateDirectory(const QString& dir) {
    if (!QDir().mkpath(dir))
        throw StoreError(QStringLiteral("The folder %1 cannot be created.").arg(native(dir)));
    ::chmod(QFile::encodeName(dir).constData(), 0700);
}

// Creates `path` empty, readable and writable by its owner only.
bool createPrivateFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// Whether every row of every table of the file at `path` reads without error, each table read in
// its own order, never through an index: a file whose damage lies only in its indexes, however it
// shows, can then be built again from its tables.
bool tablesReadable(const QString& path) {
    Connection c;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &c.h, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK)
        return false;
    int rc = SQLITE_OK;
    const QStringList tables = allValues(
        c.h, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'", &rc);
    if (rc != SQLITE_OK || tables.isEmpty())
        return false;
    for (const QString& t : tables) {
        const QByteArray sql = QStringLiteral("SELECT * FROM \"%1\" NOT INDEXED")
                                   .arg(QString(t).replace('"', QStringLiteral("\"\"")))
                                   .toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(c.h, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
            return false;
        const int columns = sqlite3_column_count(st);
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            for (int i = 0; i < columns; ++i)
                (void)sqlite3_column_bytes(st, i); // reads each value, overflow pages too
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            return false;
    }
    return true;
}

// Builds the new file `to` (mode 0600) from the tables of `from`, read in their own order: its
// tables and rows, then its indexes and triggers made afresh, and its version. An empty string when
// done, else the problem (and `to` is removed).
QString rebuildFromTables(const QString& from, const QString& to) {
    QFile::remove(to);
    if (!createPrivateFile(to))
        return QString::fromLocal8Bit(std::strerror(errno));
    QString problem;
    {
        Connection c;
        if (sqlite3_open_v2(QFile::encodeName(to).constData(), &c.h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI,
                            nullptr) != SQLITE_OK) {
            problem = c.h ? c.error() : QStringLiteral("The copy cannot be made.");
        } else {
            auto run = [&](const QString& sql) {
                if (problem.isEmpty() &&
                    sqlite3_exec(c.h, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
                    problem = c.error();
            };
            auto quoted = [](QString text) {
                return QLatin1Char('\'') + text.replace('\'', QStringLiteral("''")) + QLatin1Char('\'');
            };
            run(QStringLiteral("ATTACH DATABASE %1 AS src")
                    .arg(quoted(QUrl::fromLocalFile(from).toString(QUrl::FullyEncoded) +
                                QStringLiteral("?mode=ro"))));
            run(QStringLiteral("BEGIN"));
            int rc = SQLITE_OK;
            const QStringList tables = allValues(c.h,
                                                 "SELECT name FROM src.sqlite_master WHERE type = 'table' "
                                                 "AND name NOT LIKE 'sqlite_%' ORDER BY rowid",
                                                 &rc);
            const QStringList tableSql = allValues(c.h,
                                                   "SELECT sql FROM src.sqlite_master WHERE type = 'table' "
                                                   "AND name NOT LIKE 'sqlite_%' ORDER BY rowid",
                                                   &rc);
            const QStringList otherSql = allValues(
                c.h,
                "SELECT sql FROM src.sqlite_master WHERE type <> 'table' AND sql IS NOT NULL ORDER BY rowid",
                &rc);
            const QString version = firstValue(c.h, "PRAGMA src.user_version", &rc);
            if (rc != SQLITE_OK && problem.isEmpty())
                problem = c.error();
            for (int i = 0; i < tables.size(); ++i) {
                const QString name = QLatin1Char('"') +
                                     QString(tables[i]).replace('"', QStringLiteral("\"\"")) +
                                     QLatin1Char('"');
                run(tableSql.value(i));
                run(QStringLiteral("INSERT INTO main.%1 SELECT * FROM src.%1 NOT INDEXED").arg(name));
            }
            for (const QString& sql : otherSql)
                run(sql);
            run(QStringLiteral("PRAGMA main.user_version = %1").arg(version.toInt()));
            run(QStringLiteral("COMMIT"));
            run(QStringLiteral("DETACH DATABASE src"));
            if (problem.isEmpty()) {
                const QString check = firstValue(c.h, "PRAGMA integrity_check(1)", &rc);
                if (rc != SQLITE_OK || check != QLatin1String("ok"))
                    problem = QStringLiteral("The rebuilt copy is damaged: ") +
                              (rc != SQLITE_OK ? c.error() : check);
            }
        }
    }
    if (!problem.isEmpty()) {
        QFile::remove(to);
        QFile::remove(to + QStringLiteral("-journal"));
    }
    return problem;
}

// Copies `from` to the new file `to` (mode 0600) and flushes it to disk.
bool copyPrivately(const QString& from, const QString& to, QString* problem) {
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        *problem = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const int out = ::open(QFile::encodeName(to).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (out < 0) {
        *problem = QString::fromLocal8Bit(std::strerror(errno));
        ::close(in);
        return false;
    }
    bool ok = true;
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buf + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok)
            break;
    }
    if (ok && ::fsync(out) != 0)
        ok = false;
    if (!ok)
        *problem = QString::fromLocal8Bit(std::strerror(errno));
    ok = (::close(out) == 0) && ok;
    ::close(in);
    if (!ok) {
        if (problem->isEmpty())
            *problem = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(to);
    }
    return ok;
}

void syncDirectory(const QString& dir) {
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool syncFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool renameFile(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

const QStringList kCompanions{QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};
} // namespace

namespace Backups {

QString directory() {
    return QDir(Database::dataDirectory()).filePath(QStringLiteral("backups"));
}

QString fileFor(const QDate& day) {
    return QDir(directory()).filePath(kPrefix + day.toString(QStringLiteral("yyyy-MM-dd")) + kSuffix);
}

namespace {
// The backup of `day` numbered `n` (1 is fileFor(day)).
QString numberedFileFor(const QDate& day, int n) {
    if (n <= 1)
        return fileFor(day);
    return QDir(directory())
        .filePath(kPrefix + day.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('-') +
                  QString::number(n) + kSuffix);
}

// The number of the children's records in an open copy.
int entriesIn(sqlite3* h) {
    QStringList counts;
    for (const QString& t : Schema::childTables())
        counts << QStringLiteral("(SELECT count(*) FROM %1)").arg(t);
    int rc = SQLITE_OK;
    const QByteArray sql = (QStringLiteral("SELECT ") + counts.join(QLatin1Char('+'))).toUtf8();
    return firstValue(h, sql.constData(), &rc).toInt();
}

Info readInfo(sqlite3* h, const QString& file) {
    Info info;
    info.file = file;
    int rc = SQLITE_OK;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, "SELECT madeAt, made, children, entries FROM BACKUPINFO", -1, &st, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW) {
        info.madeAt = QDateTime::fromString(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))), Qt::ISODate);
        info.order = sqlite3_column_int64(st, 1);
        info.children = sqlite3_column_int(st, 2);
        info.entries = sqlite3_column_int(st, 3);
        sqlite3_finalize(st);
        return info;
    }
    sqlite3_finalize(st);
    // A copy made before backups recorded what they hold.
    info.madeAt = QFileInfo(file).lastModified().toUTC();
    info.children = firstValue(h, "SELECT count(*) FROM CHILD", &rc).toInt();
    info.entries = entriesIn(h);
    return info;
}

// The first names of the children in an open copy.
QStringList childrenIn(sqlite3* h) {
    int rc = SQLITE_OK;
    return allValues(h, "SELECT FirstName FROM CHILD", &rc);
}

bool madeLater(const Info& a, const Info& b) {
    if (a.order != b.order)
        return a.order > b.order;
    if (a.madeAt != b.madeAt)
        return a.madeAt > b.madeAt;
    return a.file > b.file;
}

QList<Info> allInfos() {
    static const QRegularExpression name(QStringLiteral("^tinyra4-\\d{4}-\\d{2}-\\d{2}(-\\d+)?\\.sqlite$"));
    QList<Info> found;
    const QDir dir(directory());
    for (const QString& f : dir.entryList(QDir::Files, QDir::Name))
        if (name.match(f).hasMatch())
            found << infoOf(dir.filePath(f));
    std::sort(found.begin(), found.end(), madeLater);
    return found;
}

// Whether the backup `older` holds anything the copy `h` does not: a child it lacks, or more records.
bool holdsMoreThan(const QString& older, sqlite3* h) {
    Connection c;
    if (sqlite3_open_v2(QFile::encodeName(older).constData(), &c.h, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK)
        return false;
    int rc = SQLITE_OK;
    const QStringList olderChildren = allValues(c.h, "SELECT FirstName FROM CHILD", &rc);
    if (rc != SQLITE_OK)
        return false; // an unreadable copy keeps nothing worth sparing
    const QStringList newChildren = childrenIn(h);
    for (const QString& child : olderChildren)
        if (!newChildren.contains(child))
            return true;
    return entriesIn(c.h) > entriesIn(h);
}

// The copy itself, from any open connection to the store. Touches nothing of Qt's SQL layer, so it
// may run on a thread of its own.
QString copyFrom(sqlite3* source, const QDate& day, bool* indexesRebuilt) {
    if (indexesRebuilt)
        *indexesRebuilt = false;
    QString target = fileFor(day);
    const QString part = target + QStringLiteral(".part");
    auto fail = [&](const QString& problem) {
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-journal"));
        throw StoreError(
            QStringLiteral("Tinyra could not make today's backup\n%1\n\n%2").arg(native(target), problem));
    };
    if (!source)
        fail(QStringLiteral("The data file cannot be read."));

    try {
        ensurePrivateDirectory(directory());
    } catch (const StoreError& e) {
        fail(e.message());
    }
    QFile::remove(part);
    QFile::remove(part + QStringLiteral("-journal"));
    if (!createPrivateFile(part))
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    const QList<Info> earlier = allInfos();
    {
        Connection dest;
        if (sqlite3_open_v2(QFile::encodeName(part).constData(), &dest.h, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK)
            fail(dest.h ? dest.error() : QStringLiteral("The backup cannot be created."));
        sqlite3_backup* b = sqlite3_backup_init(dest.h, "main", source, "main");
        if (!b)
            fail(dest.error());
        const int rc = sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
        if (rc != SQLITE_DONE)
            fail(QString::fromUtf8(sqlite3_errstr(rc)));
        // A backup is one self-contained file, whatever journal the store uses.
        int prc = SQLITE_OK;
        firstValue(dest.h, "PRAGMA journal_mode = DELETE", &prc);
        if (prc != SQLITE_OK)
            fail(dest.error());
        // What the copy holds and its place in the order of backups, written into the copy itself.
        qint64 order = 1;
        for (const Info& e : earlier)
            order = qMax(order, e.order + 1);
        const int children = firstValue(dest.h, "SELECT count(*) FROM CHILD", &prc).toInt();
        if (prc != SQLITE_OK)
            fail(dest.error());
        const QByteArray record =
            QStringLiteral("DROP TABLE IF EXISTS BACKUPINFO;"
                           "CREATE TABLE BACKUPINFO (madeAt TEXT, made INTEGER, children INTEGER, entries "
                           "INTEGER);"
                           "INSERT INTO BACKUPINFO VALUES ('%1', %2, %3, %4);")
                .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate))
                .arg(order)
                .arg(children)
                .arg(entriesIn(dest.h))
                .toUtf8();
        if (sqlite3_exec(dest.h, record.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(dest.error());
        // The same standard as a restore: a copy that fails the full check is no backup. Damage to
        // the indexes alone (the start-up look does not see it) is the book's too: the copy's are
        // built again from its tables, and the caller is told so that it mends the book's.
        QStringList check = allValues(dest.h, "PRAGMA integrity_check(100)", &prc);
        if (prc != SQLITE_OK)
            fail(dest.error());
        if (check != QStringList{QStringLiteral("ok")} && onlyIndexes(check)) {
            if (sqlite3_exec(dest.h, "REINDEX", nullptr, nullptr, nullptr) != SQLITE_OK)
                fail(dest.error());
            const QStringList again = allValues(dest.h, "PRAGMA integrity_check(100)", &prc);
            if (prc != SQLITE_OK)
                fail(dest.error());
            if (again == QStringList{QStringLiteral("ok")} && indexesRebuilt)
                *indexesRebuilt = true;
            check = again;
        }
        if (check != QStringList{QStringLiteral("ok")})
            fail(QStringLiteral("The copy is damaged: ") + check.value(0));

        // An earlier backup of the day is replaced only by a copy that holds all it holds: a book that
        // lost children or entries (an empty book after a lost file) never overwrites one that had them.
        const QString dayName = QFileInfo(fileFor(day)).completeBaseName();
        const Info* sameDay = nullptr;
        int used = 0;
        for (const Info& e : earlier) {
            const QString base = QFileInfo(e.file).completeBaseName();
            if (base != dayName && !base.startsWith(dayName + QLatin1Char('-')))
                continue;
            used = qMax(used, base == dayName ? 1 : base.mid(dayName.size() + 1).toInt());
            if (!sameDay)
                sameDay = &e;
        }
        if (sameDay && holdsMoreThan(sameDay->file, dest.h)) {
            int n = used + 1;
            while (QFileInfo::exists(numberedFileFor(day, n)))
                ++n;
            target = numberedFileFor(day, n);
        } else if (sameDay) {
            target = sameDay->file;
        }
        if (sqlite3_close(dest.h) != SQLITE_OK)
            fail(dest.error());
        dest.h = nullptr;
    }
    if (!renameFile(part, target))
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    syncDirectory(directory());

    // The most recently made are kept, with the one just written and the newest that holds a child.
    const QList<Info> backups = allInfos();
    bool childKept = false;
    for (int i = 0; i < backups.size(); ++i) {
        const Info& b = backups.at(i);
        const bool keep = i < Kept || b.file == target || (!childKept && b.children > 0);
        childKept = childKept || (keep && b.children > 0);
        if (!keep)
            QFile::remove(b.file);
    }
    sweepPhotos();
    return target;
}
} // namespace

Info infoOf(const QString& file) {
    Connection c;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &c.h, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        Info info;
        info.file = file;
        info.madeAt = QFileInfo(file).lastModified().toUTC();
        return info;
    }
    return readInfo(c.h, file);
}

QStringList all() {
    QStringList files;
    for (const Info& i : allInfos())
        files << i.file;
    return files;
}

QList<Info> sound() {
    QList<Info> found;
    for (const Info& i : allInfos())
        if (isSound(i.file))
            found << i;
    return found;
}

QStringList keptFiles() {
    const QDir dir(Database::dataDirectory());
    QStringList files;
    for (const QString& f :
         dir.entryList({QStringLiteral("tinyra4.damaged-*"), QStringLiteral("tinyra4.replaced-*")},
                       QDir::Files, QDir::Name))
        if (!f.endsWith(QLatin1String("-shm"))) // only an index into the log, rebuilt from it
            files << dir.filePath(f);
    return files;
}

int sweepPhotos(const QDateTime& writtenBefore) {
    if (!QFileInfo::exists(PhotoFiles::directory()))
        return 0;
    QSet<QString> referenced;
    try {
        for (const QString& file : QStringList{Database::filePath()} + all())
            referenced.unite(PhotoFiles::referencedBy(file));
        // A book set aside by a restore, or kept because it was damaged, may be wanted back: its
        // photos stay. One SQLite cannot read is searched byte by byte, with its log.
        // A log (one kept without its book too) is searched byte by byte as well.
        for (const QString& file : keptFiles()) {
            if (file.endsWith(kSuffix)) {
                try {
                    referenced.unite(PhotoFiles::referencedBy(file));
                    continue;
                } catch (const StoreError&) {
                }
            }
            referenced.unite(PhotoFiles::namesIn(file));
        }
    } catch (const StoreError&) {
        return 0;
    }
    // By default, a photo this program wrote since it started is kept, whatever the clock says.
    return writtenBefore.isValid() ? PhotoFiles::removeUnreferenced(referenced, writtenBefore)
                                   : PhotoFiles::removeUnreferenced(referenced, kStarted, true);
}

namespace {
// The SQLite handle of the program's connection to the store, or nullptr.
sqlite3* storeHandle() {
    if (!Database::isOpen())
        return nullptr;
    const QVariant handle = Database::db().driver()->handle();
    return handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
               ? *static_cast<sqlite3* const*>(handle.constData())
               : nullptr;
}
} // namespace

QString make(const QDate& day, bool* indexesRebuilt) {
    return copyFrom(storeHandle(), day, indexesRebuilt);
}

qint64 writesSinceOpen() {
    sqlite3* h = storeHandle();
    return h ? sqlite3_total_changes64(h) : 0;
}

QString repairIndexes() {
    Database::exec(QStringLiteral("REINDEX"));
    QSqlQuery q = Database::exec(QStringLiteral("PRAGMA integrity_check(1)"));
    const QString check = q.next() ? q.value(0).toString() : QString();
    return check == QLatin1String("ok") ? QString() : check;
}

QString makeFromFile(const QDate& day, bool* indexesRebuilt) {
    Connection source;
    const QByteArray path = QFile::encodeName(Database::filePath());
    if (sqlite3_open_v2(path.constData(), &source.h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString problem = source.h ? source.error() : QStringLiteral("The data file cannot be opened.");
        throw StoreError(QStringLiteral("Tinyra could not make today's backup\n%1\n\n%2")
                             .arg(native(fileFor(day)), problem));
    }
    return copyFrom(source.h, day, indexesRebuilt);
}

QString damage() {
    const QString path = Database::filePath();
    const QFileInfo info(path);
    if (!info.isFile())
        return QString();
    // An empty file is what a lost book looks like; it is a new book only where there never was one.
    if (info.size() == 0)
        return all().isEmpty() ? QString() : QStringLiteral("It is empty: the book it held is gone.");
    bool reachable = true;
    const QString problem = problemOf(path, false, &reachable);
    return reachable ? problem : QString();
}

bool isSound(const QString& file) {
    bool reachable = true;
    bool indexesOnly = false;
    if (!QFileInfo(file).isFile())
        return false;
    const QString problem = problemOf(file, true, &reachable, &indexesOnly);
    if (!reachable)
        return false;
    return problem.isEmpty() || indexesOnly || tablesReadable(file);
}

QString newestSound() {
    for (const QString& b : all())
        if (isSound(b))
            return b;
    return QString();
}

namespace {
QString keptFileFor(const QString& kind, const QDateTime& when) {
    const QDir dir(Database::dataDirectory());
    const QString stamp = when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = QStringLiteral("tinyra4.") + kind + QLatin1Char('-') + stamp;
    QString name = dir.filePath(base + kSuffix);
    for (int n = 2; QFileInfo::exists(name) || QFileInfo::exists(name + QStringLiteral("-wal")); ++n)
        name = dir.filePath(base + QLatin1Char('-') + QString::number(n) + kSuffix);
    return name;
}
} // namespace

QString damagedFileFor(const QDateTime& when) {
    return keptFileFor(QStringLiteral("damaged"), when);
}

QString replacedFileFor(const QDateTime& when) {
    return keptFileFor(QStringLiteral("replaced"), when);
}

QString describe(const Info& backup) {
    return native(backup.file) + QStringLiteral("\nmade ") +
           backup.madeAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) +
           QStringLiteral(", holding %1 %2 and %3 %4")
               .arg(backup.children)
               .arg(backup.children == 1 ? QStringLiteral("child") : QStringLiteral("children"))
               .arg(backup.entries)
               .arg(backup.entries == 1 ? QStringLiteral("entry") : QStringLiteral("entries"));
}

QString restoreQuestion(const QString& openError, const QString& backup, const QDateTime& when) {
    return openError + QStringLiteral("\n\nThe newest backup is\n") + describe(infoOf(backup)) +
           QStringLiteral(".\n\nRestore it? The damaged file is kept beside it as\n") +
           native(damagedFileFor(when)) +
           QStringLiteral("\nand nothing entered since the backup was made will be in the restored book.");
}

QString missingStoreQuestion(const QString& backup) {
    return QStringLiteral("Tinyra could not find its data file\n") + native(Database::filePath()) +
           QStringLiteral("\n\nThe newest backup is\n") + describe(infoOf(backup)) +
           QStringLiteral(".\n\nRestore it? No starts a new, empty book; the backups are kept.");
}

QString everyBackupDamagedReport(const QString& openError) {
    return openError + QStringLiteral("\n\nThere are backups of the book in\n") + native(directory()) +
           QStringLiteral("\nbut every one of them is damaged too, so none can be restored.\n\n"
                          "To start a new, empty book, first copy that backups folder somewhere safe "
                          "(Tinyra keeps only its %1 newest backups, so the new book's backups would "
                          "replace them in time), then move the damaged file out of its folder and start "
                          "Tinyra again.")
               .arg(Kept);
}

namespace {
// The store's file itself: where the book's name is a link to a file elsewhere, the file it points
// to, which a restore writes (SQLite keeps the log beside that file too).
QString realStorePath() {
    const QFileInfo info(Database::filePath());
    if (!info.isSymLink())
        return info.filePath();
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.filePath() : target;
}
} // namespace

QString restore(const QString& backup, const QDateTime& when, const QString& keptAs) {
    const QString store = realStorePath();
    auto fail = [&](const QString& problem) {
        throw StoreError(
            QStringLiteral("Tinyra could not restore the backup\n%1\n\n%2").arg(native(backup), problem));
    };
    auto systemError = [] { return QString::fromLocal8Bit(std::strerror(errno)); };
    if (Database::isOpen())
        fail(QStringLiteral("The data file is still open."));
    bool reachable = true;
    bool indexesOnly = false;
    const QString problem = problemOf(backup, true, &reachable, &indexesOnly);
    // A backup damaged beyond its indexes, whose every row still reads, is built again from its
    // tables.
    const bool rebuild = !problem.isEmpty() && !indexesOnly && reachable && tablesReadable(backup);
    if (!QFileInfo(backup).isFile() || !reachable || (!problem.isEmpty() && !indexesOnly && !rebuild))
        fail(QStringLiteral("The backup itself is damaged or unreadable."));

    // The copy is made whole beside the store first; only one rename then puts it in place.
    const QString part = store + QStringLiteral(".restoring");
    QFile::remove(part);
    QFile::remove(part + QStringLiteral("-journal"));
    QString why;
    if (rebuild) {
        why = rebuildFromTables(backup, part);
        if (!why.isEmpty())
            fail(why);
    } else if (!copyPrivately(backup, part, &why)) {
        fail(why);
    }
    {
        Connection c;
        QString prepared;
        if (sqlite3_open_v2(QFile::encodeName(part).constData(), &c.h, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK) {
            prepared = c.h ? c.error() : QStringLiteral("The copy cannot be opened.");
        } else {
            // What only backups record goes; indexes damaged in the backup are built again.
            const char* sql = indexesOnly ? "DROP TABLE IF EXISTS BACKUPINFO; REINDEX;"
                                          : "DROP TABLE IF EXISTS BACKUPINFO;";
            int rc = sqlite3_exec(c.h, sql, nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK)
                prepared = c.error();
            const QString check =
                rc == SQLITE_OK ? firstValue(c.h, "PRAGMA integrity_check(1)", &rc) : QString();
            if (prepared.isEmpty() && (rc != SQLITE_OK || check != QLatin1String("ok")))
                prepared =
                    QStringLiteral("The backup's copy is damaged: ") + (rc != SQLITE_OK ? c.error() : check);
        }
        if (c.h && sqlite3_close(c.h) != SQLITE_OK && prepared.isEmpty())
            prepared = c.error();
        c.h = nullptr;
        if (prepared.isEmpty() && !syncFile(part))
            prepared = systemError();
        if (!prepared.isEmpty()) {
            QFile::remove(part);
            QFile::remove(part + QStringLiteral("-journal"));
            fail(prepared);
        }
    }

    // The book as it is now is kept, with its log, under another name: linked, so that the store
    // itself stays in place, whole, until the rename below.
    const QString kept = keptAs.isEmpty() ? damagedFileFor(when) : keptAs;
    QStringList made;
    auto undo = [&] {
        for (const QString& f : made)
            QFile::remove(f);
        QFile::remove(part);
    };
    for (const QString& suffix : QStringList{QString()} + kCompanions) {
        if (!QFileInfo::exists(store + suffix))
            continue;
        const QByteArray from = QFile::encodeName(store + suffix);
        const QByteArray to = QFile::encodeName(kept + suffix);
        if (::link(from.constData(), to.constData()) != 0 &&
            !copyPrivately(store + suffix, kept + suffix, &why)) {
            why = why.isEmpty() ? systemError() : why;
            undo();
            fail(why);
        }
        made << kept + suffix;
    }
    syncDirectory(Database::dataDirectory());
    // The store's log must not be applied to the restored copy: it goes before the copy comes. Should
    // the program stop here, the store is still the old book (without its log, which is kept above).
    for (const QString& suffix : kCompanions) {
        if (QFileInfo::exists(store + suffix) && !QFile::remove(store + suffix)) {
            why = systemError();
            undo();
            fail(why);
        }
    }
    if (!renameFile(part, store)) {
        why = systemError();
        undo();
        fail(why);
    }
    syncDirectory(Database::dataDirectory());
    return kept;
}

void moveAsideLeftovers(const QDateTime& when) {
    const QString store = Database::filePath();
    if (QFileInfo::exists(store))
        return;
    QString kept;
    for (const QString& suffix : kCompanions) {
        if (!QFileInfo::exists(store + suffix))
            continue;
        if (suffix == QLatin1String("-shm")) {
            QFile::remove(store + suffix); // only an index into the log, rebuilt from it
            continue;
        }
        if (kept.isEmpty())
            kept = damagedFileFor(when);
        renameFile(store + suffix, kept + suffix);
    }
}

void removeLeftovers() {
    const QString store = realStorePath();
    for (const QString& f :
         {store + QStringLiteral(".restoring"), store + QStringLiteral(".restoring-journal")})
        QFile::remove(f);
    const QDir dir(directory());
    for (const QString& f :
         dir.entryList({QStringLiteral("*.part"), QStringLiteral("*.part-journal")}, QDir::Files))
        QFile::remove(dir.filePath(f));
}
} // namespace Backups
