#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The layouts of the five delivered tables, and the tables that keep each child's own records.
struct FieldDef {
    enum class Type { String, Integer, Memo };
    QString name;
    Type type = Type::String;
    int width = 0; // characters a String field keeps; 0 for unbounded
};

struct TableDef {
    QString name;
    QList<FieldDef> fields;
    QString key; // primary key field; empty when rows are kept in stored order

    int indexOf(const QString& field) const;
};

// A table whose records are shared between computers field by field (docs/SHARED-FOLDER.md): the
// fields that carry a clock stamp each, and the record's key within its child as SQL over a row
// (`%1` stands for the row: NEW, OLD or an alias).
struct SharedTable {
    QString name;
    QStringList fields;
    QString keySql;
};

namespace Schema {
// The current schema version, kept in PRAGMA user_version.
int version();

const TableDef& child();
const TableDef& previous();
const TableDef& babyHelp();
const TableDef& boyNames();
const TableDef& girlNames();
// nullptr for a name that is not one of the five tables.
const TableDef* find(const QString& tableName);
// The five tables every store must have.
QList<const TableDef*> baseTables();

// Tables holding records that belong to one child, each with the child's first name in column "child".
// Deleting a child empties them of that child's rows.
QStringList childTables();
// CHILD and every table of childTables(), as the merge and the stamping triggers know them.
const QList<SharedTable>& sharedTables();
// nullptr for a table that is not shared.
const SharedTable* sharedTable(const QString& name);

// A table's fields as the first version of the store made them (later ones come by migrations).
QList<FieldDef> firstFields(const TableDef& table);

// SQL creating every table and index of the newest schema (for a new store).
QStringList createStatements();
// SQL taking a store of version `from` to `from + 1`.
QStringList migrationStatements(int from);
} // namespace Schema
