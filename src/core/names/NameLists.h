#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Reading the two name tables, BOYA (boys) and GIRLA (girls), for the names browser.
namespace NameLists {
struct Name {
    QString name;
    QString origin;
    QString meaning;
};

// The twenty countries of the "Around the World" page, in the order of their buttons, and the
// file name (without ".svg") of each country's flag.
QStringList countries();
QString flagFile(const QString& country);

// A read-only cursor over BOYA or GIRLA for the names browser. Opening reads every row's name (in
// table order) and key in one go, so a long table opens quickly; the origin and meaning of the row
// the cursor stands on are read when it moves there. Failures throw StoreError.
class NameCursor {
public:
    explicit NameCursor(const QString& table) : m_table(table) {}

    void open(); // (re)reads the table; the cursor stands on the first row
    void close();
    bool isOpen() const { return m_open; }

    const QStringList& names() const { return m_names; }
    int recordCount() const { return int(m_names.size()); }
    int position() const { return m_pos; } // 0-based
    bool isEmpty() const { return m_names.isEmpty(); }

    void first() { moveTo(0); }
    void prior() { moveTo(m_pos - 1); }
    void next() { moveTo(m_pos + 1); }
    void last() { moveTo(recordCount() - 1); }
    // Moves to `position`, kept within the rows; the last row stays the last.
    void moveTo(int position);

    // The row named `typed` (any case), else the first row whose name begins with it; -1 when none
    // does or nothing is typed.
    int find(const QString& typed) const;
    // The fields of the row at `position`, read without moving the cursor; empty when out of range.
    Name rowAt(int position) const;

    // The current row's fields; empty on an empty or closed table.
    QString name() const;
    QString origin() const { return m_origin; }
    QString meaning() const { return m_meaning; }

private:
    void readCurrent();

    QString m_table;
    bool m_open = false;
    QStringList m_names;
    QVector<qint64> m_keys;
    int m_pos = 0;
    QString m_origin, m_meaning;
};

// The rows of `table` whose Origin is exactly `origin`, in table order. Throws StoreError.
QVector<Name> namesOfOrigin(const QString& table, const QString& origin);
} // namespace NameLists
