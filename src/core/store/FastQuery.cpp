#include "core/store/FastQuery.h"

#include "core/store/Database.h"
#include "core/store/StoreError.h"

#include <QSqlDriver>

#include <sqlite3.h>

namespace {
sqlite3* connection() {
    const QVariant handle = Database::db().driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw StoreError(QStringLiteral("The store's connection is not SQLite."));
    return *static_cast<sqlite3* const*>(handle.data());
}

StoreError failure(sqlite3* db) {
    return StoreError::fromSqlite(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)),
                                  sqlite3_system_errno(db));
}
} // namespace

FastQuery::FastQuery(const QString& sql, const QVariantList& values) {
    sqlite3* db = connection();
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK)
        throw failure(db);
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values[i];
        int rc;
        if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
            rc = sqlite3_bind_int64(m_stmt, i + 1, v.toLongLong());
        else {
            const QString s = v.toString();
            rc = sqlite3_bind_text16(m_stmt, i + 1, s.utf16(), int(s.size() * sizeof(char16_t)),
                                     SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) {
            const StoreError error = failure(db);
            sqlite3_finalize(m_stmt);
            throw error;
        }
    }
}

FastQuery::~FastQuery() {
    sqlite3_finalize(m_stmt);
}

bool FastQuery::next() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw failure(sqlite3_db_handle(m_stmt));
}

QString FastQuery::text(int column) const {
    // The file holds UTF-8; Qt's decoder is faster than letting SQLite convert to UTF-16.
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int bytes = sqlite3_column_bytes(m_stmt, column);
    return data ? QString::fromUtf8(data, bytes) : QString();
}

QByteArrayView FastQuery::bytes(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return data ? QByteArrayView(data, sqlite3_column_bytes(m_stmt, column)) : QByteArrayView();
}

qint64 FastQuery::integer(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

QVariant FastQuery::value(int column) const {
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, column)),
                          sqlite3_column_bytes(m_stmt, column));
    default:
        return text(column);
    }
}
