#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QVariantList>

struct sqlite3_stmt;

// A read-only statement run straight on the store's SQLite connection, for bulk reads where Qt's
// per-value machinery would dominate (loading a child's thousands of entries). Values are bound,
// never spliced. Throws StoreError on failure.
class FastQuery {
public:
    FastQuery(const QString& sql, const QVariantList& values);
    ~FastQuery();
    FastQuery(const FastQuery&) = delete;
    FastQuery& operator=(const FastQuery&) = delete;

    bool next();
    QString text(int column) const;
    // The stored bytes of a text, valid until the next step: for reading many short values without
    // copies.
    QByteArrayView bytes(int column) const;
    qint64 integer(int column) const;
    // The value with its stored type: an integer, a text, or null.
    QVariant value(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
};
