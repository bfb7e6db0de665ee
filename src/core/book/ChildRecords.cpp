#include "core/book/ChildRecords.h"

#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
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

// A field is written only where its value differs, so that its time of change stays that of the
// last real change (an import keeps the newer of two versions by it).
void setSheetValue(const QString& child, const QString& sheetName, const QString& field,
                   const QString& value) {
    Database::exec(QStringLiteral("INSERT INTO SHEETS (child, sheet, field, value) VALUES (?, ?, ?, ?) "
                                  "ON CONFLICT (child, sheet, field) DO UPDATE SET value = excluded.value "
                                  "WHERE value IS NOT excluded.value"),
                   {child, sheetName, field, value});
}

void setSheet(const QString& child, const QString& sheetName, const QHash<QString, QString>& values) {
    Transaction tx;
    for (const QString& field : sheet(child, sheetName).keys())
        if (!values.contains(field))
            Database::exec(QStringLiteral("DELETE FROM SHEETS WHERE child = ? AND sheet = ? AND field = ?"),
                           {child, sheetName, field});
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        setSheetValue(child, sheetName, it.key(), it.value());
    tx.commit();
}

// A picture's bytes are in the photo folder once moved there; a store of an earlier version keeps
// them in the row until then.
QByteArray picture(const QString& child, const QString& key) {
    QSqlQuery q = Database::exec(
        QStringLiteral("SELECT data, file FROM PICTURES WHERE child = ? AND picture = ?"), {child, key});
    if (!q.next())
        return QByteArray();
    const QString file = q.value(1).toString();
    return file.isEmpty() ? q.value(0).toByteArray() : PhotoFiles::read(file);
}

QString pictureFile(const QString& child, const QString& key) {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT file FROM PICTURES WHERE child = ? AND picture = ?"),
                                 {child, key});
    return q.next() ? q.value(0).toString() : QString();
}

namespace {
void keepPicture(const QString& child, const QString& key, const QString& file) {
    Database::exec(QStringLiteral("INSERT INTO PICTURES (child, picture, data, file) VALUES (?, ?, X'', ?) "
                                  "ON CONFLICT (child, picture) DO UPDATE SET data = excluded.data, "
                                  "file = excluded.file WHERE file IS NOT excluded.file OR data <> X''"),
                   {child, key, file});
}
} // namespace

// The file is written first: a full disk leaves the picture that was there.
void setPicture(const QString& child, const QString& key, const QByteArray& bytes) {
    keepPicture(child, key, PhotoFiles::storeData(bytes));
}

void setPictureFrom(const QString& child, const QString& key, const QString& source) {
    keepPicture(child, key, PhotoFiles::store(source));
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
