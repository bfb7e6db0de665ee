#include "core/store/Backups.h"

#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kPrefix = QStringLiteral("tinyra4-");
const QString kSuffix = QStringLiteral(".sqlite");

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

// What makes `path` unusable as a store; empty when it is sound. *reachable becomes false when the
// file could not be read at all for a reason that is not the file's own (busy, permissions, I/O).
QString problemOf(const QString& path, bool fullCheck, bool* reachable) {
    *reachable = true;
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
    const QString check =
        firstValue(c.h, fullCheck ? "PRAGMA integrity_check(1)" : "PRAGMA quick_check(1)", &rc);
    if (rc != SQLITE_OK)
        return unreachable(rc);
    if (check != QLatin1String("ok"))
        return QStringLiteral("It is damaged: ") + check;
    return QString();
}

void ensurePrivateDirectory(const QString& dir) {
    if (QFileInfo(dir).isDir())
        return;
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

QStringList all() {
    static const QRegularExpression name(QStringLiteral("^tinyra4-\\d{4}-\\d{2}-\\d{2}\\.sqlite$"));
    QStringList found;
    const QDir dir(directory());
    for (const QString& f : dir.entryList(QDir::Files, QDir::Name | QDir::Reversed))
        if (name.match(f).hasMatch())
            found << dir.filePath(f);
    return found;
}

namespace {
// The copy itself, from any open connection to the store. Touches nothing of Qt's SQL layer, so it
// may run on a thread of its own.
QString copyFrom(sqlite3* source, const QDate& day) {
    const QString target = fileFor(day);
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
        const QString check = firstValue(dest.h, "PRAGMA quick_check(1)", &prc);
        if (prc != SQLITE_OK)
            fail(dest.error());
        if (check != QLatin1String("ok"))
            fail(QStringLiteral("The copy is damaged: ") + check);
        if (sqlite3_close(dest.h) != SQLITE_OK)
            fail(dest.error());
        dest.h = nullptr;
    }
    if (!renameFile(part, target))
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    syncDirectory(directory());

    const QStringList backups = all();
    for (int i = Kept; i < backups.size(); ++i)
        QFile::remove(backups.at(i));
    return target;
}
} // namespace

QString make(const QDate& day) {
    const QVariant handle = Database::db().driver()->handle();
    sqlite3* source = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                          ? *static_cast<sqlite3* const*>(handle.constData())
                          : nullptr;
    return copyFrom(source, day);
}

QString makeFromFile(const QDate& day) {
    Connection source;
    const QByteArray path = QFile::encodeName(Database::filePath());
    if (sqlite3_open_v2(path.constData(), &source.h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString problem = source.h ? source.error() : QStringLiteral("The data file cannot be opened.");
        throw StoreError(QStringLiteral("Tinyra could not make today's backup\n%1\n\n%2")
                             .arg(native(fileFor(day)), problem));
    }
    return copyFrom(source.h, day);
}

QString damage() {
    const QString path = Database::filePath();
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0)
        return QString();
    bool reachable = true;
    const QString problem = problemOf(path, false, &reachable);
    return reachable ? problem : QString();
}

bool isSound(const QString& file) {
    bool reachable = true;
    return QFileInfo(file).isFile() && problemOf(file, true, &reachable).isEmpty() && reachable;
}

QString newestSound() {
    for (const QString& b : all())
        if (isSound(b))
            return b;
    return QString();
}

QString damagedFileFor(const QDateTime& when) {
    const QDir dir(Database::dataDirectory());
    const QString stamp = when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = dir.filePath(QStringLiteral("tinyra4.damaged-") + stamp + kSuffix);
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = dir.filePath(QStringLiteral("tinyra4.damaged-") + stamp + QLatin1Char('-') +
                            QString::number(n) + kSuffix);
    return name;
}

QString restoreQuestion(const QString& openError, const QString& backup, const QDateTime& when) {
    const QDateTime made = QFileInfo(backup).lastModified();
    return openError + QStringLiteral("\n\nThe newest backup is\n") + native(backup) +
           QStringLiteral("\nmade ") + made.toString(QStringLiteral("yyyy-MM-dd HH:mm")) +
           QStringLiteral(".\n\nRestore it? The damaged file is kept beside it as\n") +
           native(damagedFileFor(when)) +
           QStringLiteral("\nand nothing entered since the backup was made will be in the restored book.");
}

QString missingStoreQuestion(const QString& backup) {
    const QDateTime made = QFileInfo(backup).lastModified();
    return QStringLiteral("Tinyra could not find its data file\n") + native(Database::filePath()) +
           QStringLiteral("\n\nThe newest backup is\n") + native(backup) + QStringLiteral("\nmade ") +
           made.toString(QStringLiteral("yyyy-MM-dd HH:mm")) +
           QStringLiteral(".\n\nRestore it? No starts a new, empty book; the backups are kept.");
}

QString restore(const QString& backup, const QDateTime& when) {
    const QString store = Database::filePath();
    auto fail = [&](const QString& problem) {
        throw StoreError(
            QStringLiteral("Tinyra could not restore the backup\n%1\n\n%2").arg(native(backup), problem));
    };
    if (Database::isOpen())
        fail(QStringLiteral("The data file is still open."));
    if (!isSound(backup))
        fail(QStringLiteral("The backup itself is damaged or unreadable."));
    const QString part = store + QStringLiteral(".restoring");
    QFile::remove(part);
    QString problem;
    if (!copyPrivately(backup, part, &problem))
        fail(problem);

    const QString damaged = damagedFileFor(when);
    QStringList moved; // companions already renamed, to put back on failure
    auto undo = [&] {
        for (const QString& suffix : moved)
            renameFile(damaged + suffix, store + suffix);
        QFile::remove(part);
    };
    if (QFileInfo::exists(store)) {
        if (!renameFile(store, damaged)) {
            problem = QString::fromLocal8Bit(std::strerror(errno));
            undo();
            fail(problem);
        }
        moved << QString();
    }
    for (const QString& suffix : kCompanions) {
        if (!QFileInfo::exists(store + suffix))
            continue;
        if (!renameFile(store + suffix, damaged + suffix)) {
            problem = QString::fromLocal8Bit(std::strerror(errno));
            undo();
            fail(problem);
        }
        moved << suffix;
    }
    if (!renameFile(part, store)) {
        problem = QString::fromLocal8Bit(std::strerror(errno));
        undo();
        fail(problem);
    }
    syncDirectory(Database::dataDirectory());
    return damaged;
}
} // namespace Backups
