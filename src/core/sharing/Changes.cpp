#include "core/sharing/Changes.h"

#include "core/store/Clock.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlDriver>
#include <QSqlQuery>

#include <algorithm>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <unordered_map>

namespace {
const QString kChild = QStringLiteral("CHILD");
const QString kEntries = QStringLiteral("ENTRIES");
const QString kPhotos = QStringLiteral("ENTRYPHOTOS");
// The longest text a field takes from another computer, as import takes from a book file.
constexpr int kLongestText = 16 * 1024 * 1024;

bool isUid(const QString& s) {
    if (s.size() != 32)
        return false;
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.isDigit() || (c >= u'a' && c <= u'f'); });
}

// Fields stored as numbers, with the values they may take.
struct Range {
    int low, high;
};
std::optional<Range> numberRange(const QString& table, const QString& field) {
    if (field == QLatin1String("list") && (table == kEntries || table == kPhotos))
        return Range{0, 5};
    if (field == QLatin1String("position") && table == kPhotos)
        return Range{0, 9999};
    return std::nullopt;
}

QString keyRefusal(const QString& table, const QString& key) {
    bool number = false;
    const int slot = key.toInt(&number);
    const QString sheetOrFile = key.section(QLatin1Char('/'), 1);
    if (table == kChild)
        return key.isEmpty() ? QString() : QStringLiteral("a child's own information has no key");
    if (table == kEntries || table == QLatin1String("GROWTH"))
        return isUid(key) ? QString() : QStringLiteral("the record's identity is not 32 hexadecimal digits");
    if (table == QLatin1String("FAMILY"))
        return number && slot >= 1 && slot <= 14 && key == QString::number(slot)
                   ? QString()
                   : QStringLiteral("a relative's slot is 1 to 14");
    if (table == QLatin1String("TEETH"))
        return number && slot >= 1 && slot <= 20 && key == QString::number(slot)
                   ? QString()
                   : QStringLiteral("a tooth's slot is 1 to 20");
    if (table == QLatin1String("SHEETS"))
        return !key.section(QLatin1Char('/'), 0, 0).isEmpty() && !sheetOrFile.isEmpty() && key.size() <= 200
                   ? QString()
                   : QStringLiteral("a sheet field is named sheet/field");
    if (table == QLatin1String("PICTURES"))
        return !key.isEmpty() && key.size() <= 100 ? QString() : QStringLiteral("a picture has a name");
    // An entry's photo: the entry's identity, a slash and the photo's file in the photo folder.
    return isUid(key.section(QLatin1Char('/'), 0, 0)) && !sheetOrFile.isEmpty() &&
                   sheetOrFile.size() <= 200 && !sheetOrFile.startsWith(QLatin1Char('/')) &&
                   !sheetOrFile.contains(QLatin1String(".."))
               ? QString()
               : QStringLiteral("a photo is known by its entry and its file");
}

QString valueRefusal(const Change& c) {
    if (c.field.isEmpty())
        return QString();
    if (const auto range = numberRange(c.table, c.field)) {
        bool ok = false;
        const int n = c.value.toInt(&ok);
        return ok && n >= range->low && n <= range->high ? QString()
                                                         : QStringLiteral("%1 is a number from %2 to %3")
                                                               .arg(c.field)
                                                               .arg(range->low)
                                                               .arg(range->high);
    }
    const int length = int(c.value.toString().size());
    if (c.table == kChild) {
        const TableDef& child = Schema::child();
        const int width = child.fields.at(child.indexOf(c.field)).width;
        return width > 0 && length > width ? QStringLiteral("%1 keeps %2 characters").arg(c.field).arg(width)
                                           : QString();
    }
    if ((c.field == QLatin1String("Date") || c.field == QLatin1String("taken")) && length > 8)
        return QStringLiteral("a date keeps 8 characters");
    return length > kLongestText ? QStringLiteral("the text is too long") : QString();
}

// A record as the stamps hold it.
struct Held {
    QHash<QString, QVariant> values;
    QHash<QString, QString> stamps; // each field's
    QString newest, oldest;         // of its fields' stamps
    QString removal;
    bool present() const { return !newest.isEmpty() && newest > removal; }
    QString changed() const { return newest.left(24); }
};

struct Record {
    QString table, child, key;
    bool operator==(const Record& o) const { return table == o.table && child == o.child && key == o.key; }
};
size_t qHash(const Record& r, size_t seed = 0) {
    return qHashMulti(seed, r.table, r.child, r.key);
}

// One statement of a merge, prepared once and run again with other values, through SQLite itself:
// a merge of many thousand changes runs a few statements for each.
class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* statement) : m_db(db), m_statement(statement) {}
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void run(const QVariantList& values) {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
        for (int i = 0; i < values.size(); ++i)
            bind(i + 1, values.at(i));
        m_first = true;
        m_step = step();
    }
    bool next() {
        if (!m_first)
            m_step = step();
        m_first = false;
        return m_step == SQLITE_ROW;
    }
    QVariant value(int i) const {
        switch (sqlite3_column_type(m_statement, i)) {
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(m_statement, i));
        case SQLITE_FLOAT:
            return sqlite3_column_double(m_statement, i);
        case SQLITE_NULL:
            return QVariant();
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_statement, i)),
                              sqlite3_column_bytes(m_statement, i));
        default:
            return QString(static_cast<const QChar*>(sqlite3_column_text16(m_statement, i)),
                           sqlite3_column_bytes16(m_statement, i) / 2);
        }
    }
    int numRowsAffected() const { return sqlite3_changes(m_db); }
    void finish() {
        sqlite3_reset(m_statement);
        m_step = SQLITE_DONE;
    }

private:
    // Text is stored as text, also an empty one; another value that is null as NULL.
    void bind(int at, const QVariant& v) {
        if (v.typeId() == QMetaType::QString) {
            const QString text = v.toString();
            sqlite3_bind_text16(m_statement, at, text.isNull() ? static_cast<const void*>(u"") : text.utf16(),
                                int(text.size() * 2), SQLITE_TRANSIENT);
            return;
        }
        if (v.isNull()) {
            sqlite3_bind_null(m_statement, at);
            return;
        }
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Bool:
            sqlite3_bind_int64(m_statement, at, v.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(m_statement, at, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = v.toByteArray();
            sqlite3_bind_blob(m_statement, at, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QString text = v.toString();
            sqlite3_bind_text16(m_statement, at, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
        }
        }
    }
    int step() {
        const int result = sqlite3_step(m_statement);
        if (result != SQLITE_ROW && result != SQLITE_DONE) {
            const int code = sqlite3_extended_errcode(m_db);
            const QString why = QString::fromUtf8(sqlite3_errmsg(m_db));
            const int systemErrno = sqlite3_system_errno(m_db);
            sqlite3_reset(m_statement);
            throw StoreError::fromSqlite(code, why, systemErrno);
        }
        return result;
    }

    sqlite3* m_db;
    sqlite3_stmt* m_statement;
    int m_step = SQLITE_DONE;
    bool m_first = false;
};

// The statements of one merge, each prepared once.
class Statements {
public:
    // Runs `sql` with bound values, as Database::exec does; throws StoreError on failure.
    Statement& run(const QString& sql, const QVariantList& values = {}) {
        auto found = m_prepared.find(sql);
        if (found == m_prepared.end()) {
            sqlite3* db = handle();
            sqlite3_stmt* statement = nullptr;
            const QByteArray text = sql.toUtf8();
            if (!db || sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, nullptr) !=
                           SQLITE_OK) {
                sqlite3_finalize(statement);
                // The store's own error, as Database::exec reports it for the statement.
                Database::exec(sql, values);
                throw StoreError(QStringLiteral("The book cannot be read."));
            }
            found = m_prepared.emplace(sql, std::make_unique<Statement>(db, statement)).first;
        }
        found->second->run(values);
        return *found->second;
    }

private:
    static sqlite3* handle() {
        const QVariant h = Database::db().driver()->handle();
        if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
            return nullptr;
        return *static_cast<sqlite3* const*>(h.constData());
    }

    std::unordered_map<QString, std::unique_ptr<Statement>> m_prepared;
};

Held held(Statements& sql, const Record& r) {
    Held h;
    Statement& q = sql.run(
        QStringLiteral("SELECT field, value, stamp FROM STAMPS WHERE tbl = ? AND child = ? AND key = ?"),
        {r.table, r.child, r.key});
    while (q.next()) {
        const QString field = q.value(0).toString(), stamp = q.value(2).toString();
        if (field.isEmpty()) {
            h.removal = stamp;
            continue;
        }
        h.values.insert(field, q.value(1));
        h.stamps.insert(field, stamp);
        h.newest = qMax(h.newest, stamp);
        h.oldest = h.oldest.isEmpty() ? stamp : qMin(h.oldest, stamp);
    }
    return h;
}

QString childName(const QString& uid) {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT FirstName FROM CHILD WHERE uid = ?"), {uid});
    return q.next() ? q.value(0).toString() : QString();
}

// Where a record is, as SQL and its values, and the columns and values of its key for a new row.
void locate(const Record& r, const QString& child, QString* where, QVariantList* at, QStringList* columns,
            QVariantList* values) {
    const QString first = r.key.section(QLatin1Char('/'), 0, 0), rest = r.key.section(QLatin1Char('/'), 1);
    if (r.table == kEntries || r.table == QLatin1String("GROWTH")) {
        // The index of identities leaves out the blank ones: it serves only a search that says so.
        *where = QStringLiteral("uid = ? AND uid <> ''");
        *at = {r.key};
        *columns = {QStringLiteral("uid")};
    } else if (r.table == QLatin1String("FAMILY") || r.table == QLatin1String("TEETH")) {
        *where = QStringLiteral("child = ? AND slot = ?");
        *at = {child, r.key.toInt()};
        *columns = {QStringLiteral("slot")};
    } else if (r.table == QLatin1String("SHEETS")) {
        *where = QStringLiteral("child = ? AND sheet = ? AND field = ?");
        *at = {child, first, rest};
        *columns = {QStringLiteral("sheet"), QStringLiteral("field")};
    } else {
        *where = QStringLiteral("child = ? AND picture = ?");
        *at = {child, r.key};
        *columns = {QStringLiteral("picture")};
    }
    *values = at->mid(at->size() - columns->size());
}

// The text a value is compared by: a number stamped from one computer and the same number as text
// from another are one value.
QString valueText(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

class Merge {
public:
    Merge(ApplyResult& result, const ApplyOptions& options) : m_result(result), m_options(options) {
        Statement& q = m_sql.run(QStringLiteral("SELECT device, seen FROM PEERS"));
        while (q.next())
            m_seenBefore.insert(q.value(0).toString(), q.value(1).toString());
    }

    void take(const Change& c) {
        Clock::witness(c.stamp);
        const Record r{c.table, c.child, c.key};
        // A record's changes mostly come one after another: the last one read is kept as it now is.
        if (!m_last || !(m_last->first == r))
            m_last.emplace(r, held(m_sql, r));
        Held& h = m_last->second;
        if (c.field.isEmpty() ? !takeRemoval(c, h) : !takeEdit(c, h))
            return;
        QVariant value;
        if (!c.field.isEmpty())
            value = numberRange(c.table, c.field)
                        ? QVariant(c.value.toInt())
                        : QVariant(c.value.toString().isNull() ? QStringLiteral("") : c.value.toString());
        m_sql.run(QStringLiteral("INSERT OR REPLACE INTO STAMPS (tbl, child, key, field, value, stamp) "
                                 "VALUES (?, ?, ?, ?, ?, ?)"),
                  {c.table, c.child, c.key, c.field, value, c.stamp});
        if (c.field.isEmpty()) {
            h.removal = c.stamp;
        } else {
            h.values.insert(c.field, value);
            h.stamps.insert(c.field, c.stamp);
            h.newest = qMax(h.newest, c.stamp);
            h.oldest = *std::min_element(h.stamps.cbegin(), h.stamps.cend());
        }
        ++m_result.taken;
        m_touched.insert(r);
    }

    // The fields set aside by a removal, once the call is merged: a record removed and written again
    // in one call (an entry's photos stored again) sets aside only the values that changed.
    void setAsideGone() {
        for (const Gone& g : std::as_const(m_gone)) {
            const Held h = held(m_sql, g.record);
            if (!h.present()) {
                setAside(g.record, g.field, g.value, g.stamp, g.kept);
                continue;
            }
            const QString now = h.stamps.value(g.field);
            if (now > g.stamp && !sameDevice(now, g.stamp) &&
                valueText(h.values.value(g.field)) != valueText(g.value))
                setAside(g.record, g.field, g.value, g.stamp, now);
        }
    }

    // The greatest stamp of each device the call carried: what this book has seen of it now.
    void noteSeen(const QString& stamp) {
        QString& seen = m_seenNow[Clock::deviceOf(stamp)];
        seen = qMax(seen, stamp);
    }
    void storeSeen() {
        for (auto it = m_seenNow.cbegin(); it != m_seenNow.cend(); ++it)
            if (it.key() != Clock::deviceId())
                m_sql.run(QStringLiteral("INSERT INTO PEERS (device, seen) VALUES (?, ?) ON CONFLICT "
                                         "(device) DO UPDATE SET seen = max(seen, excluded.seen)"),
                          {it.key(), it.value()});
    }

    // Writes every record whose stamps changed as its stamps now have it: the children first, then
    // their records in the order they were first made, then the photos of each entry concerned.
    void place() {
        QVector<Record> children;
        for (const Record& r : std::as_const(m_touched))
            if (r.table == kChild)
                children << r;
        std::sort(children.begin(), children.end(),
                  [](const Record& a, const Record& b) { return a.child < b.child; });
        for (const Record& r : children)
            placeChild(r.child);

        // Only what they are ordered by is kept of them meanwhile: a merge may touch every record.
        QVector<std::pair<Record, QString>> records;
        for (const Record& r : std::as_const(m_touched)) {
            if (r.table == kChild)
                continue;
            if (r.table == kPhotos) {
                m_photoEntries.insert({kEntries, r.child, r.key.section(QLatin1Char('/'), 0, 0)});
                continue;
            }
            records.append({r, oldestOf(r)});
        }
        std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
            return std::tie(a.second, a.first.table, a.first.key) <
                   std::tie(b.second, b.first.table, b.first.key);
        });
        for (const auto& [r, oldest] : records) {
            placeRecord(r, held(m_sql, r));
            if (r.table == kEntries)
                m_photoEntries.insert(r);
        }
        QVector<Record> entries(m_photoEntries.begin(), m_photoEntries.end());
        std::sort(entries.begin(), entries.end(),
                  [](const Record& a, const Record& b) { return a.key < b.key; });
        for (const Record& e : entries)
            placePhotos(e.child, e.key);
    }

private:
    // Who had seen what (docs/SHARED-FOLDER.md, "Versions set aside"). The writer of an incoming change
    // had seen a version when it made both, or when its knowledge reaches that version's stamp.
    bool writerKnew(const QString& incoming, const QString& stamp) const {
        const QString device = Clock::deviceOf(stamp);
        return device == Clock::deviceOf(incoming) || m_options.writerKnew.value(device) >= stamp;
    }
    // A change this book had not applied before the call (its own changes it always had).
    bool newHere(const QString& stamp) const {
        const QString device = Clock::deviceOf(stamp);
        return device != Clock::deviceId() && stamp > m_seenBefore.value(device);
    }
    static bool sameDevice(const QString& a, const QString& b) {
        return Clock::deviceOf(a) == Clock::deviceOf(b);
    }

    void setAside(const Record& r, const QString& field, const QVariant& value, const QString& stamp,
                  const QString& kept) {
        Statement& q = m_sql.run(
            QStringLiteral("INSERT OR IGNORE INTO CONFLICTS (tbl, child, key, field, value, stamp, kept) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {r.table, r.child, r.key, field, field.isEmpty() ? QVariant() : value, stamp, kept});
        m_result.setAside += q.numRowsAffected() > 0 ? 1 : 0;
    }

    // An edit against the field's stamp and the record's removal; false when it is older than what
    // the book holds.
    bool takeEdit(const Change& c, const Held& h) {
        const Record r{c.table, c.child, c.key};
        const QString stamp = h.stamps.value(c.field);
        const bool wasPresent = h.present();
        const bool removed = !wasPresent && !h.removal.isEmpty();
        if (!stamp.isEmpty() && stamp >= c.stamp) {
            // The book's version wins. One made here, or by a third computer, without this one.
            if (stamp > c.stamp && newHere(c.stamp)) {
                if (removed && !sameDevice(h.removal, c.stamp))
                    setAside(r, c.field, c.value, c.stamp, h.removal);
                else if (!removed && !sameDevice(stamp, c.stamp) &&
                         valueText(h.values.value(c.field)) != valueText(c.value))
                    setAside(r, c.field, c.value, c.stamp, stamp);
            }
            return false;
        }
        if (removed) {
            if (c.stamp > h.removal) {
                // The record comes back: its removal loses to an edit made without knowing of it.
                if (!writerKnew(c.stamp, h.removal))
                    setAside(r, QString(), QVariant(), h.removal, c.stamp);
            } else if (newHere(c.stamp) && !sameDevice(h.removal, c.stamp)) {
                setAside(r, c.field, c.value, c.stamp, h.removal);
            }
        } else if (!stamp.isEmpty() && !writerKnew(c.stamp, stamp) &&
                   valueText(h.values.value(c.field)) != valueText(c.value)) {
            setAside(r, c.field, h.values.value(c.field), stamp, c.stamp);
        }
        return true;
    }

    // A removal against the record's edits; false when the book holds a newer removal.
    bool takeRemoval(const Change& c, const Held& h) {
        const Record r{c.table, c.child, c.key};
        if (!h.removal.isEmpty() && h.removal >= c.stamp)
            return false;
        if (!h.present())
            return true;
        if (c.stamp > h.newest) {
            // The record goes: each of its fields the remover had not seen is set aside.
            for (auto it = h.stamps.cbegin(); it != h.stamps.cend(); ++it)
                if (!writerKnew(c.stamp, it.value()))
                    m_gone.append({r, it.key(), h.values.value(it.key()), it.value(), c.stamp});
        } else if (newHere(c.stamp) && !sameDevice(h.newest, c.stamp)) {
            setAside(r, QString(), QVariant(), c.stamp, h.newest);
        }
        return true;
    }

    // The oldest stamp of a record's fields.
    QString oldestOf(const Record& r) {
        Statement& q =
            m_sql.run(QStringLiteral("SELECT min(stamp) FROM STAMPS WHERE tbl = ? AND child = ? AND "
                                     "key = ? AND field <> ''"),
                      {r.table, r.child, r.key});
        return q.next() ? q.value(0).toString() : QString();
    }

    // A child's first name here, read once for the records placed after the children.
    QString nameOf(const QString& uid) {
        auto found = m_names.constFind(uid);
        if (found == m_names.cend()) {
            Statement& q = m_sql.run(QStringLiteral("SELECT FirstName FROM CHILD WHERE uid = ?"), {uid});
            found = m_names.insert(uid, q.next() ? q.value(0).toString() : QString());
        }
        return *found;
    }
    bool taken(const QString& name, const QString& uid) {
        return m_sql.run(QStringLiteral("SELECT 1 FROM CHILD WHERE FirstName = ? AND uid <> ?"), {name, uid})
            .next();
    }

    void placeChild(const QString& uid) {
        // The names change here: those read before are read again.
        m_names.clear();
        const Held h = held(m_sql, {kChild, uid, QString()});
        const QString here = childName(uid);
        if (!h.present()) {
            if (!here.isEmpty()) {
                m_sql.run(QStringLiteral("DELETE FROM CHILD WHERE uid = ?"), {uid});
                for (const QString& t : Schema::childTables())
                    m_sql.run(QStringLiteral("DELETE FROM %1 WHERE child = ?").arg(t), {here});
            }
            return;
        }
        const QString wanted = h.values.value(QStringLiteral("FirstName")).toString();
        if (wanted.isEmpty())
            return; // not placed until its name comes
        QString name = wanted;
        for (int n = 2; taken(name, uid); ++n)
            name = QStringLiteral("%1 (%2)").arg(wanted.left(44)).arg(n);
        if (name != wanted)
            m_result.renamedChildren << QStringLiteral("%1 is kept as %2").arg(wanted, name);

        QStringList fields;
        QVariantList values;
        for (auto it = h.values.cbegin(); it != h.values.cend(); ++it) {
            fields << it.key();
            values << (it.key() == QLatin1String("FirstName") ? QVariant(name) : it.value());
        }
        fields << QStringLiteral("changed");
        values << h.changed();
        if (!here.isEmpty()) {
            if (here != name) {
                for (const QString& t : Schema::childTables())
                    m_sql.run(QStringLiteral("UPDATE %1 SET child = ? WHERE child = ?").arg(t), {name, here});
                m_sql.run(QStringLiteral("UPDATE PREVIOUS SET FirstName = ? WHERE FirstName = ?"),
                          {name, here});
            }
            QStringList sets;
            for (const QString& f : fields)
                sets << f + QStringLiteral(" = ?");
            values << uid;
            m_sql.run(
                QStringLiteral("UPDATE CHILD SET %1 WHERE uid = ?").arg(sets.join(QStringLiteral(", "))),
                values);
            return;
        }
        fields << QStringLiteral("uid");
        values << uid;
        m_sql.run(QStringLiteral("INSERT INTO CHILD (%1) VALUES (%2)")
                      .arg(fields.join(QStringLiteral(", ")),
                           QStringList(fields.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
                  values);
        // A child placed only now: the records that came before it find their place too.
        Statement& q = m_sql.run(
            QStringLiteral("SELECT DISTINCT tbl, key FROM STAMPS WHERE child = ? AND tbl <> 'CHILD'"), {uid});
        while (q.next())
            m_touched.insert({q.value(0).toString(), uid, q.value(1).toString()});
    }

    void placeRecord(const Record& r, const Held& h) {
        const QString child = nameOf(r.child);
        if (child.isEmpty())
            return; // its child is not in this book (yet)
        QString where;
        QVariantList at, values;
        QStringList columns;
        locate(r, child, &where, &at, &columns, &values);
        if (!h.present()) {
            m_sql.run(QStringLiteral("DELETE FROM %1 WHERE %2").arg(r.table, where), at);
            return;
        }
        QStringList fields;
        QVariantList fieldValues;
        for (auto it = h.values.cbegin(); it != h.values.cend(); ++it) {
            fields << it.key();
            fieldValues << it.value();
        }
        fields << QStringLiteral("changed") << QStringLiteral("child");
        fieldValues << h.changed() << child;
        Statement& there = m_sql.run(QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(r.table, where), at);
        if (there.next()) {
            there.finish();
            QStringList sets;
            for (const QString& f : fields)
                sets << f + QStringLiteral(" = ?");
            m_sql.run(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                          .arg(r.table, sets.join(QStringLiteral(", ")), where),
                      fieldValues + at);
            return;
        }
        // A diary entry waits for its list; another field not known yet is blank until it comes.
        if (r.table == kEntries && !h.values.contains(QStringLiteral("list")))
            return;
        columns << fields;
        values << fieldValues;
        for (const QString& f : Schema::sharedTable(r.table)->fields)
            if (!h.values.contains(f)) {
                columns << f;
                values << QString();
            }
        if (r.table == QLatin1String("PICTURES")) {
            columns << QStringLiteral("data");
            values << QByteArray("");
        }
        m_sql.run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(r.table, columns.join(QStringLiteral(", ")),
                           QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
                  values);
    }

    // An entry's photos are the members its stamps hold present, in the order of their positions
    // (photos added at one place on two computers: by file), numbered again from 0.
    void placePhotos(const QString& childUid, const QString& entry) {
        m_sql.run(QStringLiteral("DELETE FROM ENTRYPHOTOS WHERE entry = ?"), {entry});
        const QString child = nameOf(childUid);
        Statement& e =
            m_sql.run(QStringLiteral("SELECT list FROM ENTRIES WHERE uid = ? AND uid <> '' AND child = ?"),
                      {entry, child});
        if (child.isEmpty() || !e.next())
            return;
        const int list = e.value(0).toInt();
        e.finish();
        QMap<QString, Held> members;
        Statement& q =
            m_sql.run(QStringLiteral("SELECT DISTINCT key FROM STAMPS WHERE tbl = 'ENTRYPHOTOS' AND "
                                     "child = ? AND key > ? AND key < ?"),
                      {childUid, entry + QLatin1Char('/'), entry + QLatin1Char('0')});
        QStringList keys;
        while (q.next())
            keys << q.value(0).toString();
        q.finish();
        struct Photo {
            int position;
            QString file;
            Held h;
        };
        QVector<Photo> photos;
        for (const QString& key : keys) {
            Held h = held(m_sql, {kPhotos, childUid, key});
            if (h.present())
                photos.append({h.values.value(QStringLiteral("position")).toInt(),
                               key.section(QLatin1Char('/'), 1), h});
        }
        std::sort(photos.begin(), photos.end(), [](const Photo& a, const Photo& b) {
            return std::tie(a.position, a.file) < std::tie(b.position, b.file);
        });
        for (int i = 0; i < photos.size(); ++i)
            m_sql.run(
                QStringLiteral("INSERT INTO ENTRYPHOTOS (child, list, entry, position, file, name, taken) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                {child, list, entry, i, photos[i].file,
                 photos[i].h.values.value(QStringLiteral("name")).toString(),
                 photos[i].h.values.value(QStringLiteral("taken")).toString()});
    }

    ApplyResult& m_result;
    const ApplyOptions& m_options;
    QHash<QString, QString> m_seenBefore, m_seenNow; // PEERS.seen before the call; the call's greatest
    struct Gone {
        Record record;
        QString field;
        QVariant value;
        QString stamp, kept;
    };
    QVector<Gone> m_gone;
    QSet<Record> m_touched;
    QSet<Record> m_photoEntries;
    std::optional<std::pair<Record, Held>> m_last; // the record last taken, as its stamps now have it
    QHash<QString, QString> m_names;               // the children's first names, by uid
    Statements m_sql;
};

// The changes a query reads. The texts they repeat (a table, a child, a record's key, a field) are
// kept once: every change of a book may be read at once.
QVector<Change> changesFrom(QSqlQuery& q) {
    QVector<Change> changes;
    QSet<QString> texts;
    const auto kept = [&texts](const QVariant& v) {
        const QString s = v.toString();
        const auto found = texts.constFind(s);
        return found == texts.cend() ? *texts.insert(s) : *found;
    };
    while (q.next())
        changes.append({kept(q.value(0)), kept(q.value(1)), kept(q.value(2)), kept(q.value(3)), q.value(4),
                        q.value(5).toString()});
    return changes;
}
} // namespace

namespace Changes {
QVector<Change> localChangesSince(const QString& stamp) {
    // A stamp's device id follows its moment and counter: 30 characters.
    QSqlQuery q = Database::exec(QStringLiteral("SELECT tbl, child, key, field, value, stamp FROM STAMPS "
                                                "WHERE stamp > ? AND substr(stamp, 31) = ? ORDER BY stamp"),
                                 {stamp, Clock::deviceId()});
    return changesFrom(q);
}

QVector<Change> allChanges() {
    QSqlQuery q = Database::exec(
        QStringLiteral("SELECT tbl, child, key, field, value, stamp FROM STAMPS ORDER BY stamp"));
    return changesFrom(q);
}

QString refusal(const Change& c) {
    const SharedTable* t = Schema::sharedTable(c.table);
    if (!t)
        return QStringLiteral("This book keeps no table %1.").arg(c.table);
    if (!c.field.isEmpty() && !t->fields.contains(c.field))
        return QStringLiteral("The table %1 has no field %2.").arg(c.table, c.field);
    if (!Clock::isStamp(c.stamp))
        return QStringLiteral("The change carries no clock stamp.");
    if (!isUid(c.child))
        return QStringLiteral("The child's identity is not 32 hexadecimal digits.");
    QString why = keyRefusal(c.table, c.key);
    if (why.isEmpty())
        why = valueRefusal(c);
    return why.isEmpty() ? QString()
                         : QStringLiteral("A record of %1 cannot be placed: %2.").arg(c.table, why);
}

ApplyResult apply(const QVector<Change>& changes, const ApplyOptions& options) {
    ApplyResult result;
    for (const Change& c : changes)
        if (const QString why = refusal(c); !why.isEmpty())
            result.refused.append({c, why});
    if (!result.refused.isEmpty())
        return result;
    Transaction tx;
    {
        // A child's removal that would remove a child present here waits for the parent, with the
        // removals of its records in the same call.
        QSet<QString> heldChildren;
        if (options.holdChildRemovals) {
            Statements statements;
            for (const Change& c : changes)
                if (c.table == kChild && c.field.isEmpty() && !childName(c.child).isEmpty()) {
                    const Held h = held(statements, {kChild, c.child, QString()});
                    if (h.present() && c.stamp > h.newest)
                        heldChildren.insert(c.child);
                }
        }
        Clock::Applying quiet;
        // Its statements are done with before the transaction ends.
        Merge merge(result, options);
        for (const Change& c : changes) {
            // A held change counts as seen: the parent decides on it knowing of it.
            merge.noteSeen(c.stamp);
            if (c.field.isEmpty() && heldChildren.contains(c.child)) {
                Clock::witness(c.stamp);
                result.held.append(c);
                continue;
            }
            merge.take(c);
        }
        merge.setAsideGone();
        merge.place();
        merge.storeSeen();
    }
    tx.commit();
    return result;
}

namespace {
// What this book knows of every device: an edit of this device made now had seen all of it.
Conflicts::Knowledge everythingHere() {
    Conflicts::Knowledge known;
    QSqlQuery q =
        Database::exec(QStringLiteral("SELECT substr(stamp, 31), max(stamp) FROM STAMPS GROUP BY 1"));
    while (q.next())
        known.insert(q.value(0).toString(), q.value(1).toString());
    return known;
}

// Changes of this device, stamped now, merged as another computer's would be: the merge places them
// (a child renamed, a record written again whole, an entry's photos) and they win on every computer.
void applyAsEdits(const QVector<Change>& changes) {
    ApplyOptions options;
    options.writer = Clock::deviceId();
    options.writerKnew = everythingHere();
    const ApplyResult result = apply(changes, options);
    if (!result.refused.isEmpty())
        throw StoreError(result.refused.first().reason);
}
} // namespace

void writeAgain(const QString& table, const QString& childUid, const QString& key,
                const QHash<QString, QVariant>& values) {
    const Held h = [&] {
        Statements statements;
        return held(statements, {table, childUid, key});
    }();
    QHash<QString, QVariant> fields = values;
    if (!h.present())
        for (auto it = h.values.cbegin(); it != h.values.cend(); ++it)
            if (!fields.contains(it.key()))
                fields.insert(it.key(), it.value());
    QVector<Change> changes;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        changes.append({table, childUid, key, it.key(), it.value(), Clock::next()});
    applyAsEdits(changes);
}

void removeAgain(const QString& table, const QString& childUid, const QString& key) {
    applyAsEdits({{table, childUid, key, QString(), QVariant(), Clock::next()}});
}

} // namespace Changes
