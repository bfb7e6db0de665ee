#include "core/book/ChildRecords.h"

#include "core/store/Database.h"
#include "core/store/Schema.h"

#include <QSqlQuery>

namespace ChildRecords {
QString sheetValue(const QString& child, const QString& sheetName, const QString& field,
                   const QString& fallback) {
    QSqlQuery q =
        Database::exec(QStringLiteral("SELECT value FROM SHEETS WHERE child = ? AND sheet = ? AND field = ?"),
                       {child, sheetName, field});
    return q.next() ? q.value(0).toString() : fallback;
}

QHash<QString, QString> sheet(const QString& child, const QString& sheetName) {
    QHash<QString, QString> values;
    QSqlQuery q = Database::exec(
        QStringLiteral("SELECT field, value FROM SHEETS WHERE child = ? AND sheet = ?"), {child, sheetName});
    while (q.next())
        values.insert(q.value(0).toString(), q.value(1).toString());
    return values;
}

void setSheetValue(const QString& child, const QString& sheetName, const QString& field,
                   const QString& value) {
    Database::exec(
        QStringLiteral("INSERT OR REPLACE INTO SHEETS (child, sheet, field, value) VALUES (?, ?, ?, ?)"),
        {child, sheetName, field, value});
}

void setSheet(const QString& child, const QString& sheetName, const QHash<QString, QString>& values) {
    Transaction tx;
    Database::exec(QStringLiteral("DELETE FROM SHEETS WHERE child = ? AND sheet = ?"), {child, sheetName});
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        Database::exec(QStringLiteral("INSERT INTO SHEETS (child, sheet, field, value) VALUES (?, ?, ?, ?)"),
                       {child, sheetName, it.key(), it.value()});
    tx.commit();
}

QByteArray picture(const QString& child, const QString& key) {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT data FROM PICTURES WHERE child = ? AND picture = ?"),
                                 {child, key});
    return q.next() ? q.value(0).toByteArray() : QByteArray();
}

void setPicture(const QString& child, const QString& key, const QByteArray& bytes) {
    Database::exec(QStringLiteral("INSERT OR REPLACE INTO PICTURES (child, picture, data) VALUES (?, ?, ?)"),
                   {child, key, bytes});
}

void removePicture(const QString& child, const QString& key) {
    Database::exec(QStringLiteral("DELETE FROM PICTURES WHERE child = ? AND picture = ?"), {child, key});
}

void deleteChild(const QString& child) {
    Transaction tx;
    Database::exec(QStringLiteral("DELETE FROM CHILD WHERE FirstName = ?"), {child});
    for (const QString& table : Schema::childTables())
        Database::exec(QStringLiteral("DELETE FROM %1 WHERE child = ?").arg(table), {child});
    tx.commit();
}
} // namespace ChildRecords
