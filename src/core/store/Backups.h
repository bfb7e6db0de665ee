#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Daily copies of the store in <data directory>/backups, and putting one back. A backup is a complete,
// self-contained SQLite file named tinyra4-YYYY-MM-DD.sqlite (tinyra4-YYYY-MM-DD-2.sqlite and so on
// when a day has several) holding, besides the book, a table BACKUPINFO: when it was made, its place
// in the order the backups were made, and how many children and entries it holds. Backups are ranked
// by that order, never by their names or the clock, which may be wrong. The `Kept` most recently made
// are kept, and always the newest that holds a child. Backups and their folder are readable by their
// owner only.
namespace Backups {
constexpr int Kept = 14;

QString directory();
// The first name for a backup made on `day`.
QString fileFor(const QDate& day);

// What a backup holds. For a copy made before backups recorded it, `order` is 0 and `madeAt` the
// file's time.
struct Info {
    QString file;
    QDateTime madeAt; // UTC
    qint64 order = 0; // higher for a backup made later
    int children = 0;
    int entries = 0; // the children's records: diary entries, growth, family, teeth, sheets, pictures
};
Info infoOf(const QString& file);
// Every backup, the most recently made first.
QStringList all();
// Every sound backup, the most recently made first.
QList<Info> sound();

// Copies the open store, with SQLite's online backup, checks the copy with a full integrity check
// and keeps it as the backup of `day`. An earlier backup of that day is replaced only by a copy that
// holds all it holds (each of its children, at least as many entries); otherwise the copy gets a name
// of its own. Then removes the backups beyond the `Kept` most recently made, never the one just
// written nor the newest that holds a child. Returns the backup's path; throws StoreError when the
// copy cannot be made or is damaged, leaving the earlier backups as they were.
// When the copy's only damage was in its indexes, they are built again in the copy and
// *indexesRebuilt (when given) becomes true: the book's own indexes are then damaged too, and
// repairIndexes() mends them.
QString make(const QDate& day = QDate::currentDate(), bool* indexesRebuilt = nullptr);
// The same, read through a connection of its own: safe to run on a worker thread while the program
// goes on using the store.
QString makeFromFile(const QDate& day = QDate::currentDate(), bool* indexesRebuilt = nullptr);
// How many rows the program's own connection has written to the store since it opened (0 with the
// store closed). The book has changed since a copy when this has grown since the copy began.
qint64 writesSinceOpen();
// Builds the open store's indexes again from its tables and checks it in full: an empty string when
// it is sound afterwards, else what is still wrong. Throws StoreError when it cannot be written.
QString repairIndexes();

// Removes the photo files that no book file in the data folder refers to (the store, every backup,
// every book kept aside as tinyra4.replaced-* or tinyra4.damaged-*, read byte by byte where SQLite
// cannot read it), and that were written before `writtenBefore` (by default, before this program
// started, and never one this program wrote or kept since: a photo being added now is kept). Does
// nothing when a file cannot be read, since its references are then unknown. Runs after every backup,
// once the old backups are gone, in the program that holds the book (Database::writerLockPath()), so
// that no other program is adding photos meanwhile. Returns how many files were removed.
int sweepPhotos(const QDateTime& writtenBefore = QDateTime());

// Why the store file itself is unusable ("not a database", a damaged page, a missing table, empty
// while backups exist), or an empty string when the file is sound, missing, busy or out of reach (a
// folder problem, a newer version): only damage is cured by putting a backup in its place.
QString damage();
// The books kept aside in the data folder (tinyra4.replaced-* and tinyra4.damaged-*) with their logs,
// by name.
QStringList keptFiles();
// Whether `file` is an intact store of this or an older version, by the full integrity check; a
// file whose only damage is in its indexes counts, since a restore rebuilds them, and so does one
// whose every table still reads in full, since a restore builds it again from its tables.
bool isSound(const QString& file);
// The most recently made sound backup, or an empty string.
QString newestSound();

// The name the damaged store is given when a backup replaces it at `when`.
QString damagedFileFor(const QDateTime& when);
// The name the book is kept under when the parent puts a backup in its place at `when`.
QString replacedFileFor(const QDateTime& when);
// A backup as the parent sees it: its file, when it was made, what it holds.
QString describe(const Info& backup);
// The question asked at start-up: the open error (which names the file and the problem), the
// backup offered, and where the damaged file will be kept.
QString restoreQuestion(const QString& openError, const QString& backup, const QDateTime& when);
// The question asked at start-up when the store file is missing while a sound backup exists.
QString missingStoreQuestion(const QString& backup);
// The report when the store and every backup are damaged: where the backups are, and how to start a
// new book without losing them.
QString everyBackupDamagedReport(const QString& openError);

// With the store closed: puts a copy of `backup` (built again from its tables where more than its
// indexes is damaged) in place of the store in one rename, writing the file the store's name links to
// where it is a link, after keeping
// the store as it is (with its -wal, -shm and -journal files) under `keptAs` (by default
// damagedFileFor(when)). Returns `keptAs`. Throws StoreError, leaving the store as it was, when the
// backup is not sound or the files cannot be written.
QString restore(const QString& backup, const QDateTime& when = QDateTime::currentDateTime(),
                const QString& keptAs = QString());
// With no store file: its leftover -wal, -shm and -journal files are renamed to damagedFileFor(when),
// so that a new book does not start on another book's log.
void moveAsideLeftovers(const QDateTime& when);
// Removes what an interrupted copy or restore left (`.part` and `.restoring` files).
void removeLeftovers();
} // namespace Backups
