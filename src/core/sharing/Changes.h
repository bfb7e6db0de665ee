#pragma once

#include "core/sharing/Conflicts.h"

#include <QString>
#include <QVariant>
#include <QVector>

// The changes of a book shared between computers, field by field, and their merge
// (docs/SHARED-FOLDER.md, "Clock stamps and the merge").
struct Change {
    QString table;
    QString child; // the child's uid
    QString key;   // the record within the child ('' for the child's own information)
    QString field; // empty: the record's removal
    QVariant value;
    QString stamp;

    bool operator==(const Change& o) const {
        return table == o.table && child == o.child && key == o.key && field == o.field && value == o.value &&
               stamp == o.stamp;
    }
};

struct Refusal {
    Change change;
    QString reason;
};

struct ApplyResult {
    // Changes that could not be placed; when there is one, nothing of the call was applied.
    QVector<Refusal> refused;
    // A child new to this book whose first name another child here has: kept under another name.
    QStringList renamedChildren;
    // Changes newer than what the book held (the others were known already).
    int taken = 0;
    // Versions set aside because the other was made without knowing of them (Conflicts).
    int setAside = 0;
    // A child's removal and the removals of its records, held by ApplyOptions::holdChildRemovals.
    QVector<Change> held;
};

struct ApplyOptions {
    // The device that wrote the changes and what it had read of the others (for setting aside a
    // version that lost to one made without knowing of it).
    QString writer;
    Conflicts::Knowledge writerKnew;
    // A child's removal, and the removals of that child's records in the same call, are not applied
    // but returned in ApplyResult::held, for the parent to decide.
    bool holdChildRemovals = false;
};

namespace Changes {
// This device's changes stamped after `stamp` (all of them for an empty one), oldest first.
QVector<Change> localChangesSince(const QString& stamp);
// Every change the book holds, whoever made it, oldest first.
QVector<Change> allChanges();
// Merges `changes` into the book in one transaction: a field takes the value of its greatest stamp,
// a record is present unless its removal is newer than all its fields. Applying changes again, or in
// another order, gives the same book. Throws StoreError when the store fails.
ApplyResult apply(const QVector<Change>& changes, const ApplyOptions& options = {});
// Why `change` cannot be placed in a book, or an empty text when it can.
QString refusal(const Change& change);
// Writes a record's `values` (field to value) as new edits of this device, through its table so
// that its triggers stamp them: an absent record is written again whole, its other fields as its
// stamps last held them. Throws StoreError when the store fails.
void writeAgain(const QString& table, const QString& childUid, const QString& key,
                const QHash<QString, QVariant>& values);
// Removes a record (a child: with all its records) as an edit of this device.
void removeAgain(const QString& table, const QString& childUid, const QString& key);
} // namespace Changes
