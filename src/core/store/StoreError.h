#pragma once

#include <QString>
#include <stdexcept>

// An error reported by the store. Every handler entry point catches it (see Guard.h on the UI side),
// shows the generic error report and abandons the command in progress.
class StoreError : public std::runtime_error {
public:
    // DiskFull: nothing could be written for lack of room (also a quota reached); the same work
    // succeeds once space is freed. Duplicate: a row with the same key is stored already. ReadOnly:
    // the book exists and could be read, but its file, folder or disk cannot be written.
    enum class Kind { Other, Duplicate, CannotOpen, DiskFull, ReadOnly };

    explicit StoreError(const QString& message, Kind kind = Kind::Other)
        : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind) {}

    // The error for a statement SQLite refused with `resultCode` (an extended result code, or a
    // primary one) and its own `sqliteText`: the message says in a parent's words what happened and
    // what to do; SQLite's text follows only as a technical detail line. `systemErrno` is the
    // errno of SQLite's last failed read or write (sqlite3_system_errno), which says whether an I/O
    // error was a full disk or a quota reached.
    static StoreError fromSqlite(int resultCode, const QString& sqliteText, int systemErrno = 0);
    // The words for a full disk, as fromSqlite gives them.
    static QString diskFullWords();
    // Whether a file write that failed with `systemErrno` failed for lack of room.
    static bool isDiskFull(int systemErrno);

    QString message() const { return m_message; }
    Kind kind() const { return m_kind; }

private:
    QString m_message;
    Kind m_kind;
};
