#include "core/sharing/Conflicts.h"

#include "core/sharing/Changes.h"
#include "core/store/Clock.h"
#include "core/store/Database.h"

#include <QMap>
#include <QSqlQuery>

#include <algorithm>

namespace {
QVariant one(const QString& sql, const QVariantList& values) {
    QSqlQuery q = Database::exec(sql, values);
    return q.next() ? q.value(0) : QVariant();
}

// A field of a record as its stamps hold it now.
QString stamped(const QString& table, const QString& child, const QString& key, const QString& field) {
    return one(QStringLiteral(
                   "SELECT value FROM STAMPS WHERE tbl = ? AND child = ? AND key = ? AND field = ?"),
               {table, child, key, field})
        .toString();
}

bool present(const QString& table, const QString& child, const QString& key) {
    return one(QStringLiteral("SELECT max(stamp) > coalesce((SELECT stamp FROM STAMPS WHERE tbl = ? AND "
                              "child = ? AND key = ? AND field = ''), '') FROM STAMPS WHERE tbl = ? AND "
                              "child = ? AND key = ? AND field <> ''"),
               {table, child, key, table, child, key})
        .toBool();
}

QString computerName(const QString& device) {
    if (device == Clock::deviceId()) {
        const QString name = one(QStringLiteral("SELECT name FROM DEVICE"), {}).toString();
        return name.isEmpty() ? QStringLiteral("this computer") : name;
    }
    const QString name = one(QStringLiteral("SELECT name FROM PEERS WHERE device = ?"), {device}).toString();
    return name.isEmpty() ? QStringLiteral("another computer") : name;
}

QDateTime whenOf(const QString& stamp) {
    // The moment ends in Z: the time read is in UTC.
    return QDateTime::fromString(stamp.left(24), Qt::ISODateWithMs);
}

// The kind of a diary entry, by its list.
QString entryKind(int list) {
    static const char* const kinds[] = {"Prenatal diary entry", "Prenatal medical diary entry",
                                        "Journal entry",        "First words entry",
                                        "Doctor visit",         "Childhood disease"};
    return list >= 0 && list < 6 ? QString::fromLatin1(kinds[list]) : QStringLiteral("Diary entry");
}

QString named(const QString& kind, const QString& title) {
    return title.isEmpty() ? kind : QStringLiteral("%1 \u201c%2\u201d").arg(kind, title);
}

QString entryWords(const QString& child, const QString& uid) {
    const QString entries = QStringLiteral("ENTRIES");
    QString title = stamped(entries, child, uid, QStringLiteral("Title"));
    if (title.isEmpty())
        title = stamped(entries, child, uid, QStringLiteral("Date"));
    return named(entryKind(stamped(entries, child, uid, QStringLiteral("list")).toInt()), title);
}

// The record in a parent's words: "Journal entry “First steps” of Ann".
QString what(const QString& table, const QString& child, const QString& key) {
    QString name = one(QStringLiteral("SELECT FirstName FROM CHILD WHERE uid = ?"), {child}).toString();
    if (name.isEmpty())
        name = stamped(QStringLiteral("CHILD"), child, QString(), QStringLiteral("FirstName"));
    QString record;
    if (table == QLatin1String("CHILD"))
        record = QStringLiteral("Child information");
    else if (table == QLatin1String("ENTRIES"))
        record = entryWords(child, key);
    else if (table == QLatin1String("GROWTH"))
        record =
            named(QStringLiteral("Growth measurement"), stamped(table, child, key, QStringLiteral("Date")));
    else if (table == QLatin1String("FAMILY"))
        record = named(QStringLiteral("Relative"), stamped(table, child, key, QStringLiteral("Name")));
    else if (table == QLatin1String("TEETH"))
        record = QStringLiteral("Tooth %1").arg(key);
    else if (table == QLatin1String("SHEETS"))
        record = key.section(QLatin1Char('/'), 0, 0);
    else if (table == QLatin1String("ENTRYPHOTOS"))
        record = QStringLiteral("Photo in ") + entryWords(child, key.section(QLatin1Char('/'), 0, 0));
    else
        record = QStringLiteral("Photo");
    return QStringLiteral("%1 of %2").arg(record, name);
}

struct Row {
    QString field;
    QVariant value;
    QString stamp, kept;
};
} // namespace

namespace Conflicts {
QVector<Pair> open() {
    // The rows of one record whose versions set aside came from one computer make one pair; of a field
    // set aside more than once, its newest version.
    QMap<QStringList, QMap<QString, Row>> groups;
    QSqlQuery q = Database::exec(QStringLiteral(
        "SELECT tbl, child, key, field, value, stamp, kept FROM CONFLICTS WHERE settled = 0 ORDER BY stamp"));
    while (q.next()) {
        const QString stamp = q.value(5).toString();
        const QStringList record{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                 Clock::deviceOf(stamp)};
        groups[record][q.value(3).toString()] = {q.value(3).toString(), q.value(4), stamp,
                                                 q.value(6).toString()};
    }
    q.finish();
    QVector<Pair> pairs;
    for (auto g = groups.cbegin(); g != groups.cend(); ++g) {
        Pair p;
        p.table = g.key().at(0);
        p.child = g.key().at(1);
        p.key = g.key().at(2);
        p.what = what(p.table, p.child, p.key);
        QString newest, newestKept;
        for (const Row& row : g.value()) {
            p.setAside.fields << row.field;
            p.setAside.values << row.value;
            p.setAside.stamps << row.stamp;
            if (!p.kept.stamps.contains(row.kept))
                p.kept.stamps << row.kept;
            newest = qMax(newest, row.stamp);
            newestKept = qMax(newestKept, row.kept);
        }
        p.setAside.computer = computerName(Clock::deviceOf(newest));
        p.setAside.when = whenOf(newest);
        p.kept.computer = computerName(Clock::deviceOf(newestKept));
        p.kept.when = whenOf(newestKept);
        // The version kept as the book holds it now: the same fields (all of them against a removal
        // set aside), or the record's removal when it is gone.
        if (present(p.table, p.child, p.key)) {
            QStringList fields = p.setAside.fields;
            if (fields == QStringList{QString()}) {
                fields.clear();
                QSqlQuery f =
                    Database::exec(QStringLiteral("SELECT field FROM STAMPS WHERE tbl = ? AND child = ? "
                                                  "AND key = ? AND field <> '' ORDER BY field"),
                                   {p.table, p.child, p.key});
                while (f.next())
                    fields << f.value(0).toString();
            }
            for (const QString& field : std::as_const(fields)) {
                p.kept.fields << field;
                p.kept.values << stamped(p.table, p.child, p.key, field);
            }
            // Chosen on another computer since: nothing is left to choose.
            bool same = p.kept.fields == p.setAside.fields;
            for (int i = 0; same && i < p.kept.values.size(); ++i)
                same = p.kept.values.at(i).toString() == p.setAside.values.at(i).toString();
            if (same)
                continue;
        } else {
            p.kept.fields << QString();
            p.kept.values << QVariant();
        }
        pairs.append(p);
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
        return *std::max_element(a.setAside.stamps.begin(), a.setAside.stamps.end()) >
               *std::max_element(b.setAside.stamps.begin(), b.setAside.stamps.end());
    });
    return pairs;
}

void useSetAside(const Pair& pair) {
    QHash<QString, QVariant> values;
    for (int i = 0; i < pair.setAside.fields.size(); ++i)
        if (!pair.setAside.fields.at(i).isEmpty())
            values.insert(pair.setAside.fields.at(i), pair.setAside.values.at(i));
    if (values.isEmpty())
        Changes::removeAgain(pair.table, pair.child, pair.key);
    else
        Changes::writeAgain(pair.table, pair.child, pair.key, values);
    settle(pair);
}

void settle(const Pair& pair) {
    if (pair.setAside.stamps.isEmpty())
        return;
    // Every version of this record from that computer up to the newest listed: one set aside after
    // the list was read stays open.
    const QString newest = *std::max_element(pair.setAside.stamps.begin(), pair.setAside.stamps.end());
    Database::exec(QStringLiteral("UPDATE CONFLICTS SET settled = 1 WHERE tbl = ? AND child = ? AND key = ? "
                                  "AND substr(stamp, 31) = ? AND stamp <= ?"),
                   {pair.table, pair.child, pair.key, Clock::deviceOf(newest), newest});
}
} // namespace Conflicts
