#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

// A whole book in one file, to move it to another computer or to keep beside the daily backups: a
// zip holding book.json (every child and everything recorded for them) and the pictures as files,
// described in docs/BOOK-FORMAT.md. Export writes the file; import merges one into the open store.
namespace BookFile {
// The version of the layout that export writes; import reads it and every older one.
constexpr int FormatVersion = 3;

// A file that import refuses, or a file export cannot write. The message says why, for the parent.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// Told the part done (0 to 1) now and then; answering false stops the work, which then throws Error
// and leaves no file (export) or the book untouched (import).
using Progress = std::function<bool(double done)>;

// Writes every child of the open store to `path` (replaced only once the new file is complete).
// Pictures are read one at a time while the zip is written. Throws Error, or StoreError on a failed
// read of the store.
void exportBook(const QString& path, const Progress& progress = {});

// What an import did.
struct Summary {
    QStringList childrenAdded;
    int recordsAdded = 0;
    // Each slot, sheet field, picture or entry whose two versions differed, with which was kept
    // ("Anna: tooth 3 (the file's, newer)").
    QStringList differences;
    // Each text of a record kept from the file that was longer than the forms keep, cut to their
    // length ("Anna: child information, Hospital cut to 50 characters").
    QStringList cut;
    // A child new to this book whose first name another child here has, kept under a name of its
    // own ("Ann is kept as Ann (2)").
    QStringList renamed;
    // Of a file of change records (version 3): the records it removed and the changes to fields
    // that were newer than what the book held.
    int recordsRemoved = 0;
    int changesTaken = 0;

    bool changedNothing() const;
    // The summary in a few lines for the parent.
    QString text() const;
};

// Merges the book in `path` into the open store, in one transaction. A file of version 3 brings the
// change records of every field, merged field by field as Changes::apply does (children known by
// their uid). An older file brings whole records: a child who is not in the book
// is added with everything recorded for it; for a child who is, records are matched by their
// identity, new ones added and, of two versions that differ, the newer kept. A record without a uid
// is known by what it holds. book.json is read as a stream, record by record. A damaged, truncated,
// foreign or newer-version file, one whose entries climb out of the zip or are enormous, one that
// needs more room than the disk has, or one with records the book cannot place (a diary, relative or
// tooth it does not have) or holds twice, is refused with Error and the book is untouched. Texts
// longer than the forms keep are cut to their length. The active child's lists are loaded again.
Summary importBook(const QString& path, const Progress& progress = {});

// Makes importBook() see `bytes` free on the disk instead of what is (for tests); below 0, what is.
void setFreeSpaceForTesting(qint64 bytes);
} // namespace BookFile
