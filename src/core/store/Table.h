#pragma once

#include "core/store/Schema.h"

#include <QString>
#include <QVariant>
#include <QVector>

// A cursor over one of the five tables, offering what the forms ask of a table and nothing more:
// open, close, first, next, end test, exact key search, re-read, edit, insert, set field text, post,
// delete, field by name. Rows are read in key order (or stored order for unkeyed tables) when the
// table opens; every write goes straight to the store with bound values.
//
// Failures throw StoreError.
class Table {
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit Table(const QString& tableName);

    const TableDef& definition() const { return *m_def; }
    State state() const { return m_state; }
    bool isOpen() const { return m_state != State::Inactive; }

    void open(); // a no-op on an open table; the cursor stands on the first row
    void close();

    void first();
    void next();
    bool eof() const;
    bool isEmpty() const { return m_rows.isEmpty(); }
    int recordCount() const { return int(m_rows.size()); }
    int position() const { return m_pos; } // 0-based; equals recordCount() at the end

    // Exact search on the key field; when found the cursor stands on the row.
    bool findKey(const QVariant& key);
    // Reads the current row again from the store.
    void refresh();

    void edit(); // on an empty table this becomes insert
    void insert();
    // Sets a field of the row being edited or inserted; a fixed-width field keeps at most its width.
    void setFieldText(const QString& field, const QString& text);
    void post();
    void cancel();
    void remove(); // deletes the current row

    // The current row's (or the edited row's) value as text; empty at the end of the table.
    QString fieldText(const QString& field) const;
    QVariant fieldValue(const QString& field) const;

private:
    struct Row {
        qint64 rowid = 0;
        QVector<QVariant> values;
    };

    int fieldIndex(const QString& field) const;
    QString orderBy() const;
    Row readRow(qint64 rowid) const;
    void requireOpen() const;
    void requireRow() const;

    const TableDef* m_def;
    State m_state = State::Inactive;
    QVector<Row> m_rows;
    int m_pos = 0;
    Row m_buffer; // the row being edited or inserted
};
