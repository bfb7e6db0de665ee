#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>

// The versions set aside when two computers changed the same record before either saw the other's
// change. The merge keeps one version everywhere (the same on every computer); the other is kept here
// (CONFLICTS) so that the parent can choose it instead ("Use This Version").
namespace Conflicts {
// What a computer had read of the others when it wrote a batch: for each device, the greatest of
// that device's stamps it had applied. A change beats an older one knowingly when its writer had
// read that one; otherwise the two were made side by side, and the loser is set aside.
using Knowledge = QHash<QString, QString>;

// One pair: the record, the version kept and the version set aside, field by field.
struct Pair {
    QString table, child, key; // the record (the child's uid)
    QString what;              // the record in a parent's words: "Journal entry “First steps” of Ann"
    struct Version {
        QString computer;   // its computer's name
        QDateTime when;     // when it was made (UTC)
        QStringList stamps; // its fields' stamps
        QStringList fields;
        QVariantList values;
    };
    Version kept, setAside;
};

// The pairs the parent has not settled, newest first.
QVector<Pair> open();
// Makes the set-aside version the one kept, on every computer (its fields are stamped again here).
void useSetAside(const Pair& pair);
// The parent keeps the version kept: the pair leaves the list.
void settle(const Pair& pair);
} // namespace Conflicts
