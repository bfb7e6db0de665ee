#include "core/store/PhotoFiles.h"

#include "core/store/Database.h"
#include "core/store/StoreError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlQuery>
#include <QStorageInfo>

#include <sqlite3.h>

#include <cerrno>

namespace {
// The suffix a stored photo keeps: the source's, when it is a plain short one.
QString suffixOf(const QString& source) {
    const QString suffix = QFileInfo(source).suffix().toLower();
    static const QRegularExpression plain(QStringLiteral("^[a-z0-9]{1,5}$"));
    return plain.match(suffix).hasMatch() ? suffix : QStringLiteral("img");
}

// The suffix of a picture kept from its bytes: the kind its first bytes name.
QString suffixOfBytes(const QByteArray& bytes) {
    if (bytes.startsWith("\xff\xd8\xff"))
        return QStringLiteral("jpg");
    if (bytes.startsWith("\x89PNG"))
        return QStringLiteral("png");
    if (bytes.startsWith("GIF8"))
        return QStringLiteral("gif");
    if (bytes.startsWith("BM"))
        return QStringLiteral("bmp");
    if (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP")
        return QStringLiteral("webp");
    if (bytes.startsWith("II*") || bytes.startsWith(QByteArray("MM\0*", 4)))
        return QStringLiteral("tif");
    return QStringLiteral("img");
}

QString refused(const QString& source, const QString& why) {
    return QStringLiteral("The photo %1 could not be added.\n\n%2")
        .arg(QDir::toNativeSeparators(source), why);
}

// A photo that could not be written to `target`: a full disk (or a quota reached) in words, else what
// the system said. `systemErrno` is errno just after the failed call; it may be lost when the
// failure was found later (Qt's "Unknown error"), so a disk without room for `size` bytes counts
// as full too.
StoreError writeFailed(const QString& source, const QString& why, int systemErrno, const QString& target,
                       qint64 size) {
    const QStorageInfo disk(QFileInfo(target).absolutePath());
    if (StoreError::isDiskFull(systemErrno) || (disk.isValid() && disk.bytesAvailable() < size))
        return StoreError(refused(source, StoreError::diskFullWords()), StoreError::Kind::DiskFull);
    return StoreError(refused(source, why));
}

// Touches a photo kept already: its new time says it is in use again, so that a sweep running now
// keeps it.
bool keepExisting(const QString& target, qint64 size) {
    const QFileInfo existing(target);
    if (!existing.exists() || existing.size() != size)
        return false;
    QFile kept(target);
    if (kept.open(QIODevice::ReadWrite))
        kept.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
    return true;
}

void makeFolderFor(const QString& target, const QString& source) {
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder))
        throw StoreError(refused(
            source, QStringLiteral("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(folder))));
}
} // namespace

namespace PhotoFiles {
namespace {
// The photos this program wrote or found kept already since it started. A sweep in this program
// keeps them whatever the clock says: one may be waiting for the entry that will name it (a photo
// chosen on a form whose Ok is not pressed yet, an import not yet committed).
QMutex g_writtenMutex;
QSet<QString> g_written;

void markWritten(const QString& file) {
    const QMutexLocker locker(&g_writtenMutex);
    g_written.insert(file);
}

void removeThumbnailsOf(const QString& file) {
    const QDir thumbnails(Database::dataDirectory() + QStringLiteral("/thumbnails"));
    for (const QString& side : thumbnails.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const char* kind : {"jpg", "png"})
            QFile::remove(thumbnailPath(file, side.toInt(), QLatin1String(kind)));
}
} // namespace

QString directory() {
    return Database::dataDirectory() + QStringLiteral("/photos");
}

QString pathOf(const QString& file) {
    return directory() + QLatin1Char('/') + file;
}

QString thumbnailPath(const QString& file, int side, const QString& kind) {
    return Database::dataDirectory() + QStringLiteral("/thumbnails/%1/%2.%3").arg(side).arg(file, kind);
}

bool isPhotoName(const QString& file) {
    static const QRegularExpression name(QStringLiteral("^[0-9a-f]{2}/[0-9a-f]{64}\\.[a-z0-9]{1,5}$"));
    return name.match(file).hasMatch();
}

QString store(const QString& source) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw StoreError(refused(source, in.errorString()));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&in) || in.error() != QFileDevice::NoError)
        throw StoreError(refused(source, in.errorString()));
    const QString hex = QString::fromLatin1(hash.result().toHex());
    const QString file = hex.left(2) + QLatin1Char('/') + hex + QLatin1Char('.') + suffixOf(source);
    const QString target = pathOf(file);
    markWritten(file);
    if (keepExisting(target, in.size()))
        return file;
    makeFolderFor(target, source);
    in.seek(0);
    QSaveFile out(target);
    errno = 0;
    if (!out.open(QIODevice::WriteOnly))
        throw writeFailed(source, out.errorString(), errno, target, in.size());
    QByteArray chunk;
    while (!in.atEnd()) {
        chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            throw StoreError(refused(source, in.errorString()));
        }
        errno = 0;
        if (out.write(chunk) != chunk.size()) {
            const int systemErrno = errno;
            const QString why = out.errorString();
            out.cancelWriting();
            throw writeFailed(source, why, systemErrno, target, in.size());
        }
    }
    errno = 0;
    if (!out.commit())
        throw writeFailed(source, out.errorString(), errno, target, in.size());
    return file;
}

void storeBytes(const QString& file, const QByteArray& bytes) {
    if (!isPhotoName(file) ||
        QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() != file.mid(3, 64).toLatin1())
        throw StoreError(refused(file, QStringLiteral("Its bytes are not the photo it names.")));
    const QString target = pathOf(file);
    markWritten(file);
    if (keepExisting(target, bytes.size()))
        return;
    makeFolderFor(target, file);
    QSaveFile out(target);
    errno = 0;
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw writeFailed(file, out.errorString(), errno, target, bytes.size());
}

QString storeData(const QByteArray& bytes) {
    const QString hex =
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    const QString file = hex.left(2) + QLatin1Char('/') + hex + QLatin1Char('.') + suffixOfBytes(bytes);
    storeBytes(file, bytes);
    return file;
}

QByteArray read(const QString& file) {
    QFile in(pathOf(file));
    return isPhotoName(file) && in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

int movePictures() {
    // The rows first, then each picture read by itself: a store of an earlier version may keep a
    // gigabyte of pictures, which must not be held at once.
    struct Kept {
        qint64 rowid;
        QVariant changed;
    };
    QList<Kept> kept;
    {
        QSqlQuery q = Database::exec(
            QStringLiteral("SELECT rowid, changed FROM PICTURES WHERE file = '' AND length(data) > 0"));
        while (q.next())
            kept.append({q.value(0).toLongLong(), q.value(1)});
    }
    int moved = 0;
    for (const Kept& k : kept) {
        try {
            QByteArray bytes;
            {
                QSqlQuery q =
                    Database::exec(QStringLiteral("SELECT data FROM PICTURES WHERE rowid = ?"), {k.rowid});
                if (q.next())
                    bytes = q.value(0).toByteArray();
            }
            if (bytes.isEmpty())
                continue;
            const QString file = storeData(bytes);
            bytes = QByteArray();
            Transaction tx;
            Database::exec(QStringLiteral("UPDATE PICTURES SET file = ?, data = X'' WHERE rowid = ?"),
                           {file, k.rowid});
            // Setting the time of change again, to what it was, keeps it: the move is no change.
            Database::exec(QStringLiteral("UPDATE PICTURES SET changed = ? WHERE rowid = ?"),
                           {k.changed, k.rowid});
            tx.commit();
            ++moved;
        } catch (const StoreError&) {
            // Kept in the store, and read from there, until a later open can write it.
        }
    }
    return moved;
}

QSet<QString> referencedBy(const QString& path) {
    QSet<QString> files;
    sqlite3* h = nullptr;
    const QByteArray name = QFile::encodeName(path);
    int rc = sqlite3_open_v2(name.constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK)
        sqlite3_busy_timeout(h, 5000);
    // The entries' photos, and the pictures kept for the forms; a store of a version before either
    // refers to none of them.
    for (const char* sql :
         {"SELECT DISTINCT file FROM ENTRYPHOTOS", "SELECT file FROM PICTURES WHERE file <> ''"}) {
        sqlite3_stmt* st = nullptr;
        if (rc == SQLITE_OK) {
            rc = sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
            const QByteArray why(sqlite3_errmsg(h));
            if (rc != SQLITE_OK && (why.startsWith("no such table") || why.startsWith("no such column"))) {
                rc = SQLITE_OK;
                continue;
            }
        }
        while (rc == SQLITE_OK || rc == SQLITE_ROW) {
            rc = sqlite3_step(st);
            if (rc == SQLITE_ROW)
                files.insert(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))));
        }
        sqlite3_finalize(st);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    const QString error = h ? QString::fromUtf8(sqlite3_errmsg(h)) : QStringLiteral("out of memory");
    sqlite3_close(h);
    if (rc != SQLITE_OK)
        throw StoreError(QStringLiteral("The photos of %1 cannot be read.\n\n%2")
                             .arg(QDir::toNativeSeparators(path), error));
    return files;
}

int removeUnreferenced(const QSet<QString>& referenced, const QDateTime& writtenBefore, bool keepThisRun) {
    QSet<QString> kept = referenced;
    if (keepThisRun) {
        const QMutexLocker locker(&g_writtenMutex);
        kept.unite(g_written);
    }
    int removed = 0;
    const QString root = directory();
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString file = path.mid(root.size() + 1);
        if (!isPhotoName(file) || kept.contains(file))
            continue;
        if (it.fileInfo().lastModified() >= writtenBefore)
            continue;
        if (!QFile::remove(path))
            continue;
        ++removed;
        removeThumbnailsOf(file);
    }
    return removed;
}
QSet<QString> namesIn(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        throw StoreError(QStringLiteral("The photos of %1 cannot be read.\n\n%2")
                             .arg(QDir::toNativeSeparators(path), in.errorString()));
    auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    auto isSuffix = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'); };
    // A name is "/", 64 hexadecimal digits, "." and a suffix; the record's next value may follow it
    // without a break, so every length the suffix could have counts (keeping too much is harmless).
    constexpr int kTail = 1 + 64 + 1 + 5;
    QSet<QString> names;
    QByteArray carried;
    for (;;) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            throw StoreError(QStringLiteral("The photos of %1 cannot be read.\n\n%2")
                                 .arg(QDir::toNativeSeparators(path), in.errorString()));
        const QByteArray bytes = carried + chunk;
        const bool last = chunk.isEmpty();
        const qsizetype scanTo = last ? bytes.size() : bytes.size() - kTail;
        for (qsizetype i = 0; i < scanTo; ++i) {
            if (bytes[i] != '/' || i + kTail - 5 >= bytes.size())
                continue;
            bool hex = true;
            for (int k = 1; k <= 64 && hex; ++k)
                hex = isHex(bytes[i + k]);
            if (!hex || bytes[i + 65] != '.')
                continue;
            const QString digest = QString::fromLatin1(bytes.constData() + i + 1, 64);
            for (int k = 1; k <= 5 && i + 65 + k < bytes.size() && isSuffix(bytes[i + 65 + k]); ++k)
                names.insert(digest.left(2) + QLatin1Char('/') + digest + QLatin1Char('.') +
                             QString::fromLatin1(bytes.constData() + i + 66, k));
        }
        if (last)
            break;
        carried = bytes.mid(scanTo);
    }
    return names;
}
} // namespace PhotoFiles
