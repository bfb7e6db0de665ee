#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

// The photos of the diary entries, kept byte for byte as files named by their content:
// <data directory>/photos/ab/<sha256>.jpg. A photo is stored once however many entries, children
// and daily backups refer to it (backups copy only the store file), and a file is removed only when
// neither the store nor any backup refers to it. The store keeps the name relative to the folder
// ("ab/<sha256>.jpg").
namespace PhotoFiles {
QString directory();
// The full path of a stored photo's relative name.
QString pathOf(const QString& file);

// Copies the picture file at `source` into the folder (a temporary name, then renamed) and returns
// its relative name; a photo already there is kept as it is. Throws StoreError with a message for
// the parent when the file cannot be read or the copy cannot be written (a full disk): nothing is
// left half written.
QString store(const QString& source);

// Keeps `bytes` (a photo a book file brings) under `file`, its relative name, unless it is there
// already. Throws StoreError when `file` is no photo's name, the bytes are not the ones it names, or
// they cannot be written.
void storeBytes(const QString& file, const QByteArray& bytes);
// Keeps `bytes` (a picture a form keeps for the child) as a photo file and returns its relative
// name, the suffix named by the picture's first bytes. Throws StoreError as storeBytes does.
QString storeData(const QByteArray& bytes);
// The bytes of a stored photo; empty when the file is gone or cannot be read.
QByteArray read(const QString& file);
// Moves the pictures still kept inside the store (a store of an earlier version, a restored backup
// of one, an imported book) to photo files, each row in place and with its time of change kept.
// A picture that cannot be written (a full disk) stays in the store, where it is read from as
// before, and is moved at a later open. Returns how many were moved.
int movePictures();
// Where the thumbnail of a stored photo that fits a square of `side` pixels is kept:
// <data directory>/thumbnails/<side>/ab/<sha256>.<suffix>.<kind>, `kind` "jpg" or "png". A thumbnail
// goes with its photo when the photo is removed.
QString thumbnailPath(const QString& file, int side, const QString& kind);
// Whether `file` has the form of a stored photo's relative name ("ab/<sha256>.jpg").
bool isPhotoName(const QString& file);

// The relative names the store file at `path` refers to (empty when it keeps no photos). Read
// through a read-only connection of its own; throws StoreError when the file cannot be read.
QSet<QString> referencedBy(const QString& path);

// Removes every photo file that is not in `referenced` and was last written before `writtenBefore`
// (a photo added while the references were being read is kept); with `keepThisRun`, every photo this
// program wrote or kept since it started is kept too, whatever the clock says. Returns how many were
// removed.
int removeUnreferenced(const QSet<QString>& referenced, const QDateTime& writtenBefore,
                       bool keepThisRun = false);

// The photo names found in the raw bytes of `path` (a book file SQLite cannot read, such as a damaged
// one kept aside, or its log). Throws StoreError when the file cannot be read.
QSet<QString> namesIn(const QString& path);
} // namespace PhotoFiles
