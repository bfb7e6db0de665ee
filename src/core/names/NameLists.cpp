#include "core/names/NameLists.h"

#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"
#include "core/store/Table.h"

namespace {
struct Country {
    const char* name;
    const char* flag;
};
// "Philipines" is spelled as the page's label spells it; the names carry the same spelling.
const Country kCountries[] = {
    {"Australia", "au"}, {"Canada", "ca"},     {"China", "cn"},  {"Egypt", "eg"},       {"England", "gb-eng"},
    {"France", "fr"},    {"Germany", "de"},    {"Greece", "gr"}, {"Ireland", "ie"},     {"Israel", "il"},
    {"Italy", "it"},     {"Japan", "jp"},      {"Mexico", "mx"}, {"New Zealand", "nz"}, {"Nigeria", "ng"},
    {"Norway", "no"},    {"Philipines", "ph"}, {"Poland", "pl"}, {"Russia", "ru"},      {"Sweden", "se"},
};
} // namespace

namespace NameLists {
QStringList countries() {
    QStringList list;
    for (const Country& c : kCountries)
        list << QString::fromLatin1(c.name);
    return list;
}

QString flagFile(const QString& country) {
    for (const Country& c : kCountries)
        if (country == QLatin1String(c.name))
            return QString::fromLatin1(c.flag);
    return {};
}

void NameCursor::open() {
    if (!Schema::find(m_table))
        throw StoreError(QStringLiteral("Table %1 does not exist.").arg(m_table));
    close();
    // One statement hands back every key and name, joined, in table order. A name holding the
    // separator, or rows coming back out of order, fall back to reading row by row.
    const QChar separator(0x1f);
    QSqlQuery q =
        Database::exec(QStringLiteral("SELECT count(*), group_concat(k), group_concat(Name, char(31)) "
                                      "FROM (SELECT rowid AS k, Name FROM %1 ORDER BY rowid)")
                           .arg(m_table));
    bool joined = false;
    if (q.next()) {
        const int count = q.value(0).toInt();
        const QStringList keys = q.value(1).toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
        QStringList names = count > 0 ? q.value(2).toString().split(separator) : QStringList();
        if (keys.size() == count && names.size() == count) {
            joined = true;
            m_keys.reserve(count);
            for (const QString& k : keys) {
                const qint64 key = k.toLongLong();
                if (!m_keys.isEmpty() && key <= m_keys.last()) {
                    joined = false;
                    break;
                }
                m_keys.append(key);
            }
            if (joined)
                m_names = std::move(names);
        }
    }
    if (!joined) {
        m_keys.clear();
        m_names.clear();
        QSqlQuery rows =
            Database::exec(QStringLiteral("SELECT rowid, Name FROM %1 ORDER BY rowid").arg(m_table));
        while (rows.next()) {
            m_keys.append(rows.value(0).toLongLong());
            m_names.append(rows.value(1).toString());
        }
    }
    m_open = true;
    m_pos = 0;
    readCurrent();
}

void NameCursor::close() {
    m_open = false;
    m_names.clear();
    m_keys.clear();
    m_pos = 0;
    m_origin.clear();
    m_meaning.clear();
}

void NameCursor::moveTo(int position) {
    if (!m_open || m_names.isEmpty())
        return;
    const int target = qBound(0, position, recordCount() - 1);
    if (target == m_pos)
        return;
    m_pos = target;
    readCurrent();
}

QString NameCursor::name() const {
    return m_open && m_pos < m_names.size() ? m_names[m_pos] : QString();
}

int NameCursor::find(const QString& typed) const {
    const QString wanted = typed.trimmed();
    if (wanted.isEmpty())
        return -1;
    int begins = -1;
    for (int i = 0; i < m_names.size(); ++i) {
        if (m_names[i].compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
        if (begins < 0 && m_names[i].startsWith(wanted, Qt::CaseInsensitive))
            begins = i;
    }
    return begins;
}

Name NameCursor::rowAt(int position) const {
    if (!m_open || position < 0 || position >= m_keys.size())
        return {};
    QSqlQuery q = Database::exec(
        QStringLiteral("SELECT Origin, Meaning FROM %1 WHERE rowid = ?").arg(m_table), {m_keys[position]});
    if (!q.next())
        return {};
    return {m_names[position], q.value(0).toString(), q.value(1).toString()};
}

void NameCursor::readCurrent() {
    const Name row = rowAt(m_pos);
    m_origin = row.origin;
    m_meaning = row.meaning;
}

QVector<Name> namesOfOrigin(const QString& table, const QString& origin) {
    Table t(table);
    t.open();
    QVector<Name> found;
    for (t.first(); !t.eof(); t.next()) {
        if (t.fieldText(QStringLiteral("Origin")) != origin)
            continue;
        found.append({t.fieldText(QStringLiteral("Name")), t.fieldText(QStringLiteral("Origin")),
                      t.fieldText(QStringLiteral("Meaning"))});
    }
    t.close();
    return found;
}
} // namespace NameLists
