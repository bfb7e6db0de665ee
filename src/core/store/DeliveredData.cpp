#include "core/store/DeliveredData.h"

#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
// Reads only the version at the head of a delivered file, so an up-to-date store costs no parsing.
int headVersion(const QByteArray& json) {
    const int at = json.indexOf("\"version\"");
    if (at < 0 || at > 200)
        return -1;
    int i = json.indexOf(':', at) + 1;
    while (i > 0 && i < json.size() && json[i] == ' ')
        ++i;
    int v = 0;
    bool any = false;
    while (i > 0 && i < json.size() && json[i] >= '0' && json[i] <= '9') {
        v = v * 10 + (json[i] - '0');
        ++i;
        any = true;
    }
    return any ? v : -1;
}
} // namespace

namespace DeliveredData {
int storedVersion(const QString& table) {
    QSqlQuery q =
        Database::exec(QStringLiteral("SELECT version FROM DELIVERED WHERE tablename = ?"), {table});
    return q.next() ? q.value(0).toInt() : 0;
}

void load(const QString& table, const QByteArray& json) {
    const TableDef* def = Schema::find(table);
    const bool delivered =
        def && (def == &Schema::babyHelp() || def == &Schema::boyNames() || def == &Schema::girlNames());
    if (!delivered)
        throw StoreError(QStringLiteral("There is no table %1 for delivered data.").arg(table));
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    if (doc.isNull() || !doc.isObject())
        throw StoreError(
            QStringLiteral("The delivered data for %1 cannot be read: %2").arg(table, err.errorString()));
    const QJsonObject root = doc.object();
    const int version = root.value(QStringLiteral("version")).toInt();
    const QJsonArray rows = root.value(QStringLiteral("rows")).toArray();

    QStringList names, marks;
    for (const FieldDef& f : def->fields) {
        names << f.name;
        marks << QStringLiteral("?");
    }
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    Transaction tx;
    Database::exec(QStringLiteral("DELETE FROM %1").arg(table));
    QSqlQuery q(Database::db());
    if (!q.prepare(insert))
        throw StoreError(QStringLiteral("Cannot load %1.").arg(table));
    for (const QJsonValue& rowValue : rows) {
        const QJsonArray row = rowValue.toArray();
        if (row.size() != def->fields.size())
            throw StoreError(QStringLiteral("A delivered row of %1 has %2 values instead of %3.")
                                 .arg(table)
                                 .arg(row.size())
                                 .arg(def->fields.size()));
        for (int i = 0; i < row.size(); ++i) {
            const FieldDef& f = def->fields[i];
            if (f.type == FieldDef::Type::Integer)
                q.bindValue(i, row[i].toInteger());
            else {
                const QString text = f.width > 0 ? row[i].toString().left(f.width) : row[i].toString();
                q.bindValue(i, text.isNull() ? QStringLiteral("") : text); // text, never NULL
            }
        }
        if (!q.exec())
            throw StoreError(QStringLiteral("A delivered row of %1 cannot be stored.").arg(table));
    }
    Database::exec(QStringLiteral("INSERT OR REPLACE INTO DELIVERED (tablename, version) VALUES (?, ?)"),
                   {table, version});
    tx.commit();
}

void refresh() {
    for (const TableDef* def : {&Schema::babyHelp(), &Schema::boyNames(), &Schema::girlNames()}) {
        QFile file(QStringLiteral(":/data/%1.json").arg(def->name.toLower()));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray json = file.readAll();
        if (headVersion(json) > storedVersion(def->name))
            load(def->name, json);
    }
}
} // namespace DeliveredData
