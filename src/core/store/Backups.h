#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Daily copies of the store in <data directory>/backups, and putting one back when the store is
// damaged. A backup is a complete, self-contained SQLite file named tinyra4-YYYY-MM-DD.sqlite; the
// newest `Kept` days are kept. Backups and their folder are readable by their owner only.
namespace Backups {
constexpr int Kept = 14;

QString directory();
// The backup of `day`.
QString fileFor(const QDate& day);
// Every backup, newest first.
QStringList all();

// Copies the open store, with SQLite's online backup, into the backup of `day` (replacing an
// earlier copy of the same day only once the new one is complete and checked), then removes all
// but the newest `Kept`. Returns the backup's path; throws StoreError when the copy cannot be made,
// leaving the earlier backups as they were.
QString make(const QDate& day = QDate::currentDate());
// The same, read through a connection of its own: safe to run on a worker thread while the program
// goes on using the store.
QString makeFromFile(const QDate& day = QDate::currentDate());

// Removes the photo files that neither the store file nor any backup refers to, and that were written
// before `writtenBefore` (by default, before this program started: a photo being added now is kept).
// Does nothing when a backup or the store cannot be read, since its references are then unknown.
// Runs after every backup, once the old backups are gone. Returns how many files were removed.
int sweepPhotos(const QDateTime& writtenBefore = QDateTime());

// Why the store file itself is unusable ("not a database", a damaged page, a missing table), or an
// empty string when the file is sound, missing, busy or out of reach (a folder problem, a newer
// version): only damage is cured by putting a backup in its place.
QString damage();
// Whether `file` is an intact store of this or an older version.
bool isSound(const QString& file);
// The newest sound backup, or an empty string.
QString newestSound();

// The name the damaged store is given when a backup replaces it at `when`.
QString damagedFileFor(const QDateTime& when);
// The question asked at start-up: the open error (which names the file and the problem), the
// backup offered, and where the damaged file will be kept.
QString restoreQuestion(const QString& openError, const QString& backup, const QDateTime& when);
// The question asked at start-up when the store file is missing while a sound backup exists.
QString missingStoreQuestion(const QString& backup);
// With the store closed: renames the store (and its -wal, -shm and -journal files) to
// damagedFileFor(when) and puts a copy of `backup` in its place. Returns the damaged file's path.
// Throws StoreError, leaving the store file where it was, when the backup is not sound or the
// files cannot be moved.
QString restore(const QString& backup, const QDateTime& when = QDateTime::currentDateTime());
} // namespace Backups
