#include "core/store/StoreError.h"

#include <sqlite3.h>

#include <cerrno>

QString StoreError::diskFullWords() {
    return QStringLiteral("The disk is full, so Tinyra could not save this. Nothing you typed is lost: free "
                          "some space (empty the rubbish bin, remove files you no longer need), then try "
                          "again.");
}

bool StoreError::isDiskFull(int systemErrno) {
    return systemErrno == ENOSPC || systemErrno == EDQUOT;
}

StoreError StoreError::fromSqlite(int resultCode, const QString& sqliteText, int systemErrno) {
    Kind kind = Kind::Other;
    QString words;
    // SQLite keeps the errno of its last failed read or write: it tells of this failure only when
    // this is one (a write refused for a quota is an I/O error, not SQLITE_FULL).
    const bool ioError = (resultCode & 0xff) == SQLITE_IOERR;
    if ((resultCode & 0xff) == SQLITE_FULL || (ioError && isDiskFull(systemErrno))) {
        kind = Kind::DiskFull;
        words = diskFullWords();
    } else {
        switch (resultCode & 0xff) {
        case SQLITE_READONLY:
            words = QStringLiteral("The book cannot be written to, because its folder or its disk is "
                                   "read-only, so Tinyra could not save this. Make the folder writable "
                                   "again, then try again.");
            break;
        case SQLITE_IOERR:
            words = QStringLiteral("The disk could not be written to or read, so Tinyra could not finish "
                                   "this. Check that the disk is still connected and working, then try "
                                   "again.");
            break;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            words = QStringLiteral("Another program is using the book just now, so Tinyra could not finish "
                                   "this. Wait a moment, or close the other program, then try again.");
            break;
        case SQLITE_CONSTRAINT:
            if (resultCode == SQLITE_CONSTRAINT_UNIQUE || resultCode == SQLITE_CONSTRAINT_PRIMARYKEY ||
                sqliteText.contains(QLatin1String("UNIQUE constraint failed"))) {
                kind = Kind::Duplicate;
                words = QStringLiteral("Tinyra did not save this, because it would store the same record "
                                       "twice.");
            } else if (resultCode == SQLITE_CONSTRAINT_NOTNULL ||
                       sqliteText.contains(QLatin1String("NOT NULL constraint failed"))) {
                words = QStringLiteral("Tinyra did not save this, because a part the record needs is "
                                       "missing.");
            } else {
                words = QStringLiteral("Tinyra did not save this, because it does not fit with what the book "
                                       "holds already.");
            }
            break;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            words =
                QStringLiteral("The book's file is damaged, so Tinyra could not finish this. Close Tinyra "
                               "and start it again: it looks the book over and offers a backup.");
            break;
        case SQLITE_CANTOPEN:
            words = QStringLiteral("Tinyra could not open a file of the book. Check that the disk is still "
                                   "connected and the folder is there, then try again.");
            break;
        case SQLITE_NOMEM:
            words = QStringLiteral("The computer ran out of memory, so Tinyra could not finish this. Close "
                                   "other programs, then try again.");
            break;
        default:
            words = QStringLiteral("Tinyra could not finish this in the book.");
            break;
        }
    }
    if (!sqliteText.isEmpty())
        words += QStringLiteral("\n\nTechnical detail: ") + sqliteText;
    return StoreError(words, kind);
}
