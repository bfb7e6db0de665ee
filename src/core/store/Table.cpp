#include "core/store/Table.h"

#include "core/store/Database.h"
#include "core/store/FastQuery.h"
#include "core/store/StoreError.h"

#include <QSqlQuery>

Table::Table(const QString& tableName) : m_def(Schema::find(tableName)) {
    if (!m_def)
        throw StoreError(QStringLiteral("Table %1 does not exist.").arg(tableName));
}

QString Table::orderBy() const {
    return m_def->key.isEmpty() ? QStringLiteral("rowid") : m_def->key;
}

int Table::fieldIndex(const QString& field) const {
    const int i = m_def->indexOf(field);
    if (i < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_def->name, field));
    return i;
}

void Table::requireOpen() const {
    if (m_state == State::Inactive)
        throw StoreError(
            QStringLiteral("Cannot perform this operation on a closed dataset (%1).").arg(m_def->name));
}

void Table::requireRow() const {
    requireOpen();
    if (m_pos >= m_rows.size())
        throw StoreError(QStringLiteral("%1: there is no current record.").arg(m_def->name));
}

void Table::open() {
    if (isOpen())
        return;
    QStringList cols{QStringLiteral("rowid")};
    for (const FieldDef& f : m_def->fields)
        cols << f.name;
    // Name lists may hold tens of thousands of rows: read them straight from SQLite.
    FastQuery q(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                    .arg(cols.join(QLatin1Char(',')), m_def->name, orderBy()),
                {});
    m_rows.clear();
    const int n = int(m_def->fields.size());
    while (q.next()) {
        Row row;
        row.rowid = q.integer(0);
        row.values.reserve(n);
        for (int i = 0; i < n; ++i)
            row.values.append(q.value(i + 1));
        m_rows.append(std::move(row));
    }
    m_pos = 0;
    m_state = State::Browse;
}

void Table::close() {
    m_rows.clear();
    m_rows.squeeze();
    m_pos = 0;
    m_state = State::Inactive;
}

void Table::first() {
    requireOpen();
    cancel();
    m_pos = 0;
}

void Table::next() {
    requireOpen();
    cancel();
    if (m_pos < m_rows.size())
        ++m_pos;
}

bool Table::eof() const {
    return m_state == State::Inactive || m_pos >= m_rows.size();
}

bool Table::findKey(const QVariant& key) {
    requireOpen();
    if (m_def->key.isEmpty())
        throw StoreError(QStringLiteral("%1 has no key.").arg(m_def->name));
    cancel();
    const int k = m_def->indexOf(m_def->key);
    const bool integerKey = m_def->fields[k].type == FieldDef::Type::Integer;
    for (int i = 0; i < m_rows.size(); ++i) {
        const QVariant& v = m_rows[i].values[k];
        if (integerKey ? v.toLongLong() == key.toLongLong() : v.toString() == key.toString()) {
            m_pos = i;
            return true;
        }
    }
    return false;
}

Table::Row Table::readRow(qint64 rowid) const {
    QStringList cols;
    for (const FieldDef& f : m_def->fields)
        cols << f.name;
    QSqlQuery q = Database::exec(
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(cols.join(QLatin1Char(',')), m_def->name),
        {rowid});
    Row row;
    if (!q.next())
        return row; // the row is gone
    row.rowid = rowid;
    for (int i = 0; i < cols.size(); ++i)
        row.values.append(q.value(i));
    return row;
}

void Table::refresh() {
    requireRow();
    cancel();
    Row row = readRow(m_rows[m_pos].rowid);
    if (row.rowid == 0)
        m_rows.removeAt(m_pos);
    else
        m_rows[m_pos] = std::move(row);
}

void Table::edit() {
    requireOpen();
    if (m_state != State::Browse)
        return;
    if (eof()) {
        if (m_rows.isEmpty()) {
            insert();
            return;
        }
        requireRow();
    }
    m_buffer = m_rows[m_pos];
    m_state = State::Edit;
}

void Table::insert() {
    requireOpen();
    cancel();
    m_buffer = Row();
    for (const FieldDef& f : m_def->fields)
        m_buffer.values.append(f.type == FieldDef::Type::Integer ? QVariant() : QVariant(QString()));
    m_state = State::Insert;
}

void Table::setFieldText(const QString& field, const QString& text) {
    const int i = fieldIndex(field);
    if (m_state != State::Edit && m_state != State::Insert)
        throw StoreError(QStringLiteral("%1: dataset not in edit or insert mode.").arg(m_def->name));
    const FieldDef& f = m_def->fields[i];
    if (f.type == FieldDef::Type::Integer)
        m_buffer.values[i] = text.isEmpty() ? QVariant() : QVariant(text.toLongLong());
    else if (f.width > 0 && text.size() > f.width && text[f.width - 1].isHighSurrogate())
        m_buffer.values[i] = text.left(f.width - 1); // never half of a character written as a pair
    else
        m_buffer.values[i] = f.width > 0 ? text.left(f.width) : text;
}

void Table::post() {
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    QStringList names;
    QVariantList values;
    for (int i = 0; i < m_def->fields.size(); ++i) {
        names << m_def->fields[i].name;
        values << m_buffer.values[i];
    }
    if (m_state == State::Insert) {
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks << QStringLiteral("?");
        QSqlQuery q =
            Database::exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(m_def->name, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                           values);
        m_buffer.rowid = q.lastInsertId().toLongLong();
        // Keep the cursor's order: key order, or at the end for unkeyed tables.
        int at = int(m_rows.size());
        if (!m_def->key.isEmpty()) {
            const int k = m_def->indexOf(m_def->key);
            const bool integerKey = m_def->fields[k].type == FieldDef::Type::Integer;
            const QVariant& key = m_buffer.values[k];
            at = 0;
            while (at < m_rows.size() && (integerKey ? m_rows[at].values[k].toLongLong() < key.toLongLong()
                                                     : m_rows[at].values[k].toString() < key.toString()))
                ++at;
        }
        m_rows.insert(at, m_buffer);
        m_pos = at;
    } else {
        QStringList sets;
        for (const QString& n : names)
            sets << n + QStringLiteral(" = ?");
        values << m_buffer.rowid;
        Database::exec(
            QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(m_def->name, sets.join(QLatin1Char(','))),
            values);
        m_rows[m_pos] = m_buffer;
    }
    m_state = State::Browse;
}

void Table::cancel() {
    if (m_state == State::Edit || m_state == State::Insert)
        m_state = State::Browse;
}

void Table::remove() {
    requireRow();
    cancel();
    Database::exec(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_def->name), {m_rows[m_pos].rowid});
    m_rows.removeAt(m_pos);
}

QVariant Table::fieldValue(const QString& field) const {
    const int i = fieldIndex(field);
    if (m_state == State::Edit || m_state == State::Insert)
        return m_buffer.values[i];
    if (eof())
        return QVariant();
    return m_rows[m_pos].values[i];
}

QString Table::fieldText(const QString& field) const {
    return fieldValue(field).toString();
}
