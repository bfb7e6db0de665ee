#include "core/store/Schema.h"

namespace {
using T = FieldDef::Type;

FieldDef str(const char* name, int width) {
    return {QString::fromLatin1(name), T::String, width};
}

TableDef makeChild() {
    TableDef t{QStringLiteral("CHILD"), {}, QStringLiteral("FirstName")};
    t.fields = {str("FirstName", 50), str("MiddleName", 50), str("LastName", 50),  str("BDateDay", 5),
                str("BirthDay", 15),  str("BirthHt", 4),     str("Physician", 50), str("Pediatrician", 50),
                str("Hospital", 50),  str("BirthCity", 50),  str("BirthState", 2), str("BirthCountry", 50)};
    for (int i = 1; i <= 7; ++i)
        t.fields.append({QStringLiteral("H%1").arg(i), T::String, 155});
    t.fields.append({str("Hair", 25), str("Eyes", 25), str("BDayMonth", 5), str("BDayYear", 10),
                     str("BTimeHr", 5), str("BTimeMin", 5), str("BTimeAmPm", 5), str("Address", 50),
                     str("City", 50), str("State", 20), str("County", 50), str("BirthWeightOz", 3),
                     str("BirthWeightLb", 2)});
    // Added by growthMeasures(); the first version of the store has the fields above.
    t.fields.append({str("Sex", 4), str("Gestation", 2)});
    // Added by birthMeasures(): the units the birth measurements were last typed in ("" for inches,
    // pounds and ounces in the fields above, "metric"), the metric ones, and the head circumference
    // in those units.
    t.fields.append(
        {str("BirthUnits", 6), str("BirthLengthCm", 5), str("BirthWeightKg", 6), str("BirthHead", 5)});
    return t;
}

// The child's fields as the first version of the store made them, and as the steps before
// birthMeasures() found them.
constexpr int kFirstChildFields = 32;
constexpr int kChildFieldsBeforeBirthMeasures = 34;

QString columnSql(const FieldDef& f, bool isKey) {
    QString type = f.type == T::Integer ? QStringLiteral("INTEGER") : QStringLiteral("TEXT");
    QString sql = f.name + QLatin1Char(' ') + type;
    if (isKey)
        sql += QStringLiteral(" NOT NULL PRIMARY KEY");
    else if (f.type != T::Integer)
        sql += QStringLiteral(" NOT NULL DEFAULT ''");
    return sql;
}

QString createTableSql(const TableDef& t) {
    QStringList cols;
    for (const FieldDef& f : t.fields)
        cols << columnSql(f, f.name == t.key);
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, cols.join(QStringLiteral(", ")));
}

// Version 1: the five delivered tables, and each child's diaries, growth log, family slots,
// tooth dates, sheets and pictures.
QStringList versionOne() {
    QStringList sql;
    for (const TableDef* t : Schema::baseTables()) {
        TableDef first = *t;
        first.fields = Schema::firstFields(*t);
        sql << createTableSql(first);
    }
    sql << QStringLiteral(
               "CREATE TABLE ENTRIES (seq INTEGER PRIMARY KEY, child TEXT NOT NULL, "
               "list INTEGER NOT NULL, Date TEXT NOT NULL, Title TEXT NOT NULL, Text TEXT NOT NULL)")
        << QStringLiteral("CREATE INDEX ENTRIES_BY_CHILD ON ENTRIES (child, list, seq)")
        << QStringLiteral(
               "CREATE TABLE GROWTH (seq INTEGER PRIMARY KEY, child TEXT NOT NULL, "
               "Date TEXT NOT NULL, Height TEXT NOT NULL, WtLbs TEXT NOT NULL, WtOz TEXT NOT NULL)")
        << QStringLiteral("CREATE INDEX GROWTH_BY_CHILD ON GROWTH (child, seq)")
        << QStringLiteral(
               "CREATE TABLE FAMILY (child TEXT NOT NULL, slot INTEGER NOT NULL, Name TEXT NOT NULL, "
               "Date TEXT NOT NULL, Text TEXT NOT NULL, PRIMARY KEY (child, slot))")
        << QStringLiteral(
               "CREATE TABLE TEETH (child TEXT NOT NULL, slot INTEGER NOT NULL, Date TEXT NOT NULL, "
               "PRIMARY KEY (child, slot))")
        << QStringLiteral(
               "CREATE TABLE SHEETS (child TEXT NOT NULL, sheet TEXT NOT NULL, field TEXT NOT NULL, "
               "value TEXT NOT NULL, PRIMARY KEY (child, sheet, field))")
        << QStringLiteral(
               "CREATE TABLE PICTURES (child TEXT NOT NULL, picture TEXT NOT NULL, data BLOB NOT NULL, "
               "PRIMARY KEY (child, picture))")
        << QStringLiteral(
               "CREATE TABLE DELIVERED (tablename TEXT NOT NULL PRIMARY KEY, version INTEGER NOT NULL)");
    return sql;
}

// The moment of a change as stored: UTC to the millisecond, so that times compare as text.
const char* const kNow = "strftime('%Y-%m-%dT%H:%M:%fZ', 'now')";

// Stamps `table`'s rows with the time of their last change: a new row when it is stored, a row
// whose `fields` change when they do. A write that sets `changed` itself (an import keeping the time
// of the change it brings) keeps that time.
QStringList changeStamps(const QString& table, const QStringList& fields) {
    QStringList differs;
    for (const QString& f : fields)
        differs << QStringLiteral("NEW.%1 IS NOT OLD.%1").arg(f);
    const QString now = QString::fromLatin1(kNow);
    return {QStringLiteral("ALTER TABLE %1 ADD COLUMN changed TEXT NOT NULL DEFAULT ''").arg(table),
            QStringLiteral("UPDATE %1 SET changed = %2").arg(table, now),
            QStringLiteral("CREATE TRIGGER %1_STAMP_NEW AFTER INSERT ON %1 WHEN NEW.changed = '' "
                           "BEGIN UPDATE %1 SET changed = %2 WHERE rowid = NEW.rowid; END")
                .arg(table, now),
            QStringLiteral("CREATE TRIGGER %1_STAMP AFTER UPDATE ON %1 WHEN NEW.changed IS OLD.changed AND "
                           "(%3) BEGIN UPDATE %1 SET changed = %2 WHERE rowid = NEW.rowid; END")
                .arg(table, now, differs.join(QStringLiteral(" OR ")))};
}

// Gives the diary entries and growth records an identity that stays with them from book to book
// (so that a book imported twice, or from a second computer, adds nothing twice), and stamps every
// record of a child with the time of its last change (so that of two versions of a slot or a sheet
// field the newer is kept).
QStringList recordIdentities() {
    QStringList sql;
    for (const char* table : {"ENTRIES", "GROWTH"}) {
        const QString t = QString::fromLatin1(table);
        sql << QStringLiteral("ALTER TABLE %1 ADD COLUMN uid TEXT NOT NULL DEFAULT ''").arg(t)
            << QStringLiteral("UPDATE %1 SET uid = lower(hex(randomblob(16)))").arg(t)
            << QStringLiteral("CREATE UNIQUE INDEX %1_BY_UID ON %1 (uid) WHERE uid <> ''").arg(t)
            << QStringLiteral(
                   "CREATE TRIGGER %1_IDENTITY AFTER INSERT ON %1 WHEN NEW.uid = '' "
                   "BEGIN UPDATE %1 SET uid = lower(hex(randomblob(16))) WHERE rowid = NEW.rowid; END")
                   .arg(t);
    }
    // The child's fields as this step finds them: a field a later step adds is not watched here.
    QStringList childFields;
    for (const FieldDef& f : Schema::child().fields.mid(0, kFirstChildFields))
        childFields << f.name;
    sql << changeStamps(QStringLiteral("CHILD"), childFields)
        << changeStamps(QStringLiteral("ENTRIES"), {QStringLiteral("list"), QStringLiteral("Date"),
                                                    QStringLiteral("Title"), QStringLiteral("Text")})
        << changeStamps(QStringLiteral("GROWTH"), {QStringLiteral("Date"), QStringLiteral("Height"),
                                                   QStringLiteral("WtLbs"), QStringLiteral("WtOz")})
        << changeStamps(QStringLiteral("FAMILY"),
                        {QStringLiteral("Name"), QStringLiteral("Date"), QStringLiteral("Text")})
        << changeStamps(QStringLiteral("TEETH"), {QStringLiteral("Date")})
        << changeStamps(QStringLiteral("SHEETS"), {QStringLiteral("value")})
        << changeStamps(QStringLiteral("PICTURES"), {QStringLiteral("data")});
    return sql;
}

// Photos on the diary entries: each entry's photos in their order, by the entry's identity, with the
// file's name in the photo folder (named by its content, so one file serves every entry that shows
// the same photo), the name the parent's file had and the date the camera put in it.
QStringList entryPhotos() {
    return {QStringLiteral("CREATE TABLE ENTRYPHOTOS (child TEXT NOT NULL, list INTEGER NOT NULL, "
                           "entry TEXT NOT NULL, position INTEGER NOT NULL, file TEXT NOT NULL, "
                           "name TEXT NOT NULL, taken TEXT NOT NULL, PRIMARY KEY (entry, position))"),
            QStringLiteral("CREATE INDEX ENTRYPHOTOS_BY_CHILD ON ENTRYPHOTOS (child, list)"),
            QStringLiteral("CREATE INDEX ENTRYPHOTOS_BY_FILE ON ENTRYPHOTOS (file)")};
}

// The child's sex and gestation (for the growth standards and corrected age), a head circumference
// and the units each growth record was typed in, and the family's preferences (the growth units).
// A change to the new child fields stamps the child as any other field does.
QStringList growthMeasures() {
    QStringList sql;
    for (const char* column : {"Sex", "Gestation"})
        sql << QStringLiteral("ALTER TABLE CHILD ADD COLUMN %1 TEXT NOT NULL DEFAULT ''")
                   .arg(QLatin1String(column));
    for (const char* column : {"Head", "WtKg", "Units"})
        sql << QStringLiteral("ALTER TABLE GROWTH ADD COLUMN %1 TEXT NOT NULL DEFAULT ''")
                   .arg(QLatin1String(column));
    sql << QStringLiteral("CREATE TABLE PREFERENCES (name TEXT NOT NULL PRIMARY KEY, value TEXT NOT NULL)");
    QStringList childFields;
    for (const FieldDef& f : Schema::child().fields.mid(0, kChildFieldsBeforeBirthMeasures))
        childFields << f.name;
    const QStringList stamps = changeStamps(QStringLiteral("CHILD"), childFields);
    sql << QStringLiteral("DROP TRIGGER CHILD_STAMP") << stamps.last();
    QStringList growthFields{QStringLiteral("Date"), QStringLiteral("Height"), QStringLiteral("WtLbs"),
                             QStringLiteral("WtOz"), QStringLiteral("Head"),   QStringLiteral("WtKg"),
                             QStringLiteral("Units")};
    sql << QStringLiteral("DROP TRIGGER GROWTH_STAMP")
        << changeStamps(QStringLiteral("GROWTH"), growthFields).last();
    return sql;
}

// The entries' index holds their dates too, so that the timeline finds where a child's entries fall
// from the index alone, without reading every entry's remarks from the table.
QStringList datedEntries() {
    return {QStringLiteral("DROP INDEX ENTRIES_BY_CHILD"),
            QStringLiteral("CREATE INDEX ENTRIES_BY_CHILD ON ENTRIES (child, list, seq, Date)")};
}

// The pictures kept for the forms (the child's, the doctor's, the skills' and the birthdays') move to
// the photo folder beside the entries' photos, so that the daily backups share them too: `file` names
// the photo file, and `data` keeps the bytes only until they are moved there (PhotoFiles::
// movePictures, run at each open).
QStringList pictureFiles() {
    return {
        QStringLiteral("ALTER TABLE PICTURES ADD COLUMN file TEXT NOT NULL DEFAULT ''"),
        QStringLiteral("DROP TRIGGER PICTURES_STAMP"),
        changeStamps(QStringLiteral("PICTURES"), {QStringLiteral("data"), QStringLiteral("file")}).last()};
}

// A stamp of this device for a record's `changed` time, as the step giving stamps finds them (a record
// with no time of its own counts as older than any edit).
QString stampOfChanged(const QString& changed) {
    return QStringLiteral("CASE WHEN length(%1) = 24 THEN %1 ELSE '1970-01-01T00:00:00.000Z' END "
                          "|| '.0000.' || (SELECT id FROM DEVICE)")
        .arg(changed);
}

// The key of `t`'s record in the row `row`.
QString keyOf(const SharedTable& t, const QString& row) {
    return t.keySql.contains(QLatin1String("%1")) ? t.keySql.arg(row) : t.keySql;
}

// The rows of (field name, value) of a record's fields, each where `differs` holds for it (%1: field).
QString fieldRows(const SharedTable& t, const QString& row, const QString& differs = QString()) {
    QStringList rows;
    for (const QString& f : t.fields) {
        QString one = QStringLiteral("SELECT '%1' AS name, %2.%1 AS value").arg(f, row);
        if (!differs.isEmpty())
            one += QStringLiteral(" WHERE ") + differs.arg(f);
        rows << one;
    }
    return QLatin1Char('(') + rows.join(QStringLiteral(" UNION ALL ")) + QStringLiteral(") f");
}

// The child's uid for a row `row` of `t`: the FROM part naming it `c`, and its condition.
QString childFrom(const SharedTable& t, const QString& row) {
    return t.name == QLatin1String("CHILD") ? QStringLiteral("(SELECT %1.uid AS uid) c").arg(row)
                                            : QStringLiteral("CHILD c");
}
QString childWhere(const SharedTable& t, const QString& row) {
    return t.name == QLatin1String("CHILD") ? QStringLiteral("c.uid <> ''")
                                            : QStringLiteral("c.FirstName = %1.child").arg(row);
}

const QString kStampInsert = QStringLiteral("INSERT INTO STAMPS (tbl, child, key, field, value, stamp) ");

// The triggers that stamp every local change of `t`'s records: a new record, an edit, a record moved
// to another key (not for CHILD), a removal. A stamp written again replaces the one before, whatever
// the statement that fired the trigger says to do with a conflict.
QStringList shareTriggers(const SharedTable& t) {
    QStringList sql;
    const QString& stamp = kStampInsert;
    const bool isChild = t.name == QLatin1String("CHILD");
    const QString keyNew = keyOf(t, QStringLiteral("NEW")), keyOld = keyOf(t, QStringLiteral("OLD"));
    QString identity;
    if (t.name == QLatin1String("ENTRIES") || t.name == QLatin1String("GROWTH") || isChild)
        identity = QStringLiteral("UPDATE %1 SET uid = lower(hex(randomblob(16))) WHERE rowid = NEW.rowid "
                                  "AND uid = ''; ")
                       .arg(t.name);
    const QString newFrom =
        isChild
            ? QStringLiteral("CHILD c, %1 WHERE c.rowid = NEW.rowid").arg(fieldRows(t, QStringLiteral("NEW")))
            : QStringLiteral("%1 r JOIN CHILD c ON c.FirstName = r.child, %2 "
                             "WHERE r.rowid = NEW.rowid")
                  .arg(t.name, fieldRows(t, QStringLiteral("NEW")));
    sql << QStringLiteral("CREATE TRIGGER %1_SHARE_NEW AFTER INSERT ON %1 BEGIN %2%3SELECT '%1', c.uid, %4, "
                          "f.name, f.value, tinyra_stamp() FROM %5 AND tinyra_applying() = 0; END")
               .arg(t.name, identity, stamp, isChild ? QStringLiteral("''") : keyOf(t, QStringLiteral("r")),
                    newFrom);
    // A record edited: the fields whose value differs.
    sql << QStringLiteral("CREATE TRIGGER %1_SHARE_EDIT AFTER UPDATE ON %1 WHEN tinyra_applying() = 0 AND "
                          "%2 IS %3 BEGIN %4SELECT '%1', c.uid, %2, f.name, f.value, tinyra_stamp() FROM %5, "
                          "%6 WHERE %7; END")
               .arg(t.name, keyNew, keyOld, stamp, childFrom(t, QStringLiteral("NEW")),
                    fieldRows(t, QStringLiteral("NEW"), QStringLiteral("NEW.%1 IS NOT OLD.%1")),
                    childWhere(t, QStringLiteral("NEW")));
    // A record moved to another key (a relative to another slot): gone from the old, new at the new.
    if (!isChild)
        sql << QStringLiteral(
                   "CREATE TRIGGER %1_SHARE_MOVE AFTER UPDATE ON %1 WHEN tinyra_applying() = 0 AND "
                   "%2 IS NOT %3 AND %3 <> '' BEGIN "
                   "%4SELECT '%1', c.uid, %3, '', NULL, tinyra_stamp() FROM CHILD c WHERE "
                   "c.FirstName = OLD.child; "
                   "%4SELECT '%1', c.uid, %2, f.name, f.value, tinyra_stamp() FROM CHILD c, %5 "
                   "WHERE c.FirstName = NEW.child; END")
                   .arg(t.name, keyNew, keyOld, stamp, fieldRows(t, QStringLiteral("NEW")));
    // A record removed: its removal stamp.
    sql << QStringLiteral("CREATE TRIGGER %1_SHARE_GONE AFTER DELETE ON %1 WHEN tinyra_applying() = 0 BEGIN "
                          "%2SELECT '%1', c.uid, %3, '', NULL, tinyra_stamp() FROM %4 WHERE %5; END")
               .arg(t.name, stamp, isChild ? QStringLiteral("''") : keyOld,
                    childFrom(t, QStringLiteral("OLD")), childWhere(t, QStringLiteral("OLD")));
    for (QString& trigger : sql)
        for (qsizetype at = trigger.indexOf(stamp); at >= 0; at = trigger.indexOf(stamp, at + 1))
            trigger.insert(trigger.indexOf(QLatin1Char(';'), at),
                           QStringLiteral(" ON CONFLICT (tbl, child, key, field) DO UPDATE SET value = "
                                          "excluded.value, stamp = excluded.stamp"));
    return sql;
}

// The shared tables as sharing() found them: the child's and the growth records' fields before
// birthMeasures().
SharedTable asBeforeBirthMeasures(SharedTable t) {
    if (t.name == QLatin1String("CHILD"))
        t.fields = t.fields.mid(0, kChildFieldsBeforeBirthMeasures);
    if (t.name == QLatin1String("GROWTH"))
        t.fields.removeAll(QStringLiteral("Measured"));
    return t;
}

// Sharing a book between computers: each child gets an identity that a new name keeps; the book
// its device (an id made once, and a name); every field of every record its clock stamp and its
// value in STAMPS, and every removal a stamp there too (an empty field). Triggers stamp each local
// change through tinyra_stamp(), and keep quiet while the merge writes changes that bring their own
// stamps (tinyra_applying()). What the book holds is stamped with its time of change, as this
// device's, so that it orders against later edits.
QStringList sharing() {
    QStringList sql{
        QStringLiteral("ALTER TABLE CHILD ADD COLUMN uid TEXT NOT NULL DEFAULT ''"),
        QStringLiteral("UPDATE CHILD SET uid = lower(hex(randomblob(16)))"),
        QStringLiteral("CREATE UNIQUE INDEX CHILD_BY_UID ON CHILD (uid) WHERE uid <> ''"),
        QStringLiteral("CREATE TABLE DEVICE (id TEXT NOT NULL, name TEXT NOT NULL)"),
        QStringLiteral("INSERT INTO DEVICE (id, name) VALUES (lower(hex(randomblob(16))), '')"),
        QStringLiteral(
            "CREATE TABLE STAMPS (tbl TEXT NOT NULL, child TEXT NOT NULL, key TEXT NOT NULL, "
            "field TEXT NOT NULL, value, stamp TEXT NOT NULL, PRIMARY KEY (tbl, child, key, field))"),
        QStringLiteral("CREATE INDEX STAMPS_BY_STAMP ON STAMPS (stamp)"),
        // The identity of a new entry or growth record is given where it is stamped, before the stamps.
        QStringLiteral("DROP TRIGGER ENTRIES_IDENTITY"), QStringLiteral("DROP TRIGGER GROWTH_IDENTITY")};
    for (const SharedTable& shared : Schema::sharedTables()) {
        const SharedTable t = asBeforeBirthMeasures(shared);
        const bool isChild = t.name == QLatin1String("CHILD");
        // Every field as it stands, stamped with the record's time of change.
        const QString changed = t.name == QLatin1String("ENTRYPHOTOS")
                                    ? QStringLiteral("coalesce((SELECT e.changed FROM ENTRIES e "
                                                     "WHERE e.uid = r.entry), '')")
                                    : QStringLiteral("r.changed");
        for (const QString& f : t.fields) {
            // An entry's diary never changes, so the stamp of its `list` is the entry's first: the
            // diaries run in the order of those stamps on every computer. Older entries keep the order
            // they were made in, as moments of the first second of 1970 (older than any edit).
            const bool order = t.name == QLatin1String("ENTRIES") && f == QLatin1String("list");
            sql << QStringLiteral("INSERT OR REPLACE INTO STAMPS "
                                  "SELECT '%1', c.uid, %2, '%3', r.%3, %4 FROM %1 r JOIN CHILD c ON %5")
                       .arg(t.name, keyOf(t, QStringLiteral("r")), f,
                            order ? QStringLiteral("strftime('%Y-%m-%dT%H:%M:%S', r.seq / 1000, "
                                                   "'unixepoch') || printf('.%03dZ', r.seq % 1000) || "
                                                   "'.0000.' || (SELECT id FROM DEVICE)")
                                  : stampOfChanged(changed),
                            isChild ? QStringLiteral("c.rowid = r.rowid")
                                    : QStringLiteral("c.FirstName = r.child"));
        }
        sql << shareTriggers(t);
    }
    return sql;
}

// A book kept in a shared folder: where the folder is and what this computer wrote to it (SHARING,
// name and value), each other computer seen there with how far this one has read it (PEERS: its name,
// the last batch read, the greatest stamp applied from it, when its last change came), and the
// versions that lost to an edit made on another computer without knowing of them (CONFLICTS: the
// version set aside, its stamp, the stamp of the version kept, and whether the parent has seen it).
QStringList sharedFolder() {
    return {
        QStringLiteral("CREATE TABLE SHARING (name TEXT NOT NULL PRIMARY KEY, value TEXT NOT NULL)"),
        QStringLiteral("CREATE TABLE PEERS (device TEXT NOT NULL PRIMARY KEY, name TEXT NOT NULL DEFAULT '', "
                       "batch INTEGER NOT NULL DEFAULT 0, seen TEXT NOT NULL DEFAULT '', "
                       "lastChange TEXT NOT NULL DEFAULT '')"),
        QStringLiteral("CREATE TABLE CONFLICTS (tbl TEXT NOT NULL, child TEXT NOT NULL, key TEXT NOT NULL, "
                       "field TEXT NOT NULL, value, stamp TEXT NOT NULL, kept TEXT NOT NULL, "
                       "settled INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (tbl, child, key, field, stamp))")};
}

// The birth length, weight and head circumference in the units they were typed in: the metric ones
// beside the inches, pounds and ounces, a head circumference, and which units were typed last; and
// how each growth record's length or height was measured (lying or standing). The new fields are
// stamped, shared and merged as every other field.
QStringList birthMeasures() {
    QStringList sql;
    for (const FieldDef& f : Schema::child().fields.mid(kChildFieldsBeforeBirthMeasures))
        sql << QStringLiteral("ALTER TABLE CHILD ADD COLUMN %1 TEXT NOT NULL DEFAULT ''").arg(f.name);
    QStringList childFields;
    for (const FieldDef& f : Schema::child().fields)
        childFields << f.name;
    sql << QStringLiteral("DROP TRIGGER CHILD_STAMP")
        << changeStamps(QStringLiteral("CHILD"), childFields).last()
        << QStringLiteral("DROP TRIGGER CHILD_SHARE_NEW") << QStringLiteral("DROP TRIGGER CHILD_SHARE_EDIT");
    const QStringList triggers = shareTriggers(*Schema::sharedTable(QStringLiteral("CHILD")));
    sql << triggers.at(0) << triggers.at(1);
    const SharedTable& growth = *Schema::sharedTable(QStringLiteral("GROWTH"));
    sql << QStringLiteral("ALTER TABLE GROWTH ADD COLUMN Measured TEXT NOT NULL DEFAULT ''")
        << QStringLiteral("DROP TRIGGER GROWTH_STAMP") << changeStamps(growth.name, growth.fields).last()
        << QStringLiteral("DROP TRIGGER GROWTH_SHARE_NEW") << QStringLiteral("DROP TRIGGER GROWTH_SHARE_EDIT")
        << QStringLiteral("DROP TRIGGER GROWTH_SHARE_MOVE");
    const QStringList growthTriggers = shareTriggers(growth);
    sql << growthTriggers.mid(0, 3); // new, edited, moved: the ones naming the fields
    return sql;
}

// Each entry takes the store from version i+1 to i+2. A later schema change appends a step here
// and adds its tables to createStatements() through the same list.
const QList<QStringList>& migrations() {
    static const QList<QStringList> steps = {recordIdentities(), growthMeasures(), entryPhotos(),
                                             datedEntries(),     pictureFiles(),   sharing(),
                                             sharedFolder(),     birthMeasures()};
    return steps;
}
} // namespace

int TableDef::indexOf(const QString& field) const {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name == field)
            return i;
    return -1;
}

namespace Schema {
int version() {
    return 1 + int(migrations().size());
}

const TableDef& child() {
    static const TableDef t = makeChild();
    return t;
}
const TableDef& previous() {
    static const TableDef t{QStringLiteral("PREVIOUS"), {str("FirstName", 50)}, {}};
    return t;
}
const TableDef& babyHelp() {
    static const TableDef t{QStringLiteral("BABYHELP"),
                            {{QStringLiteral("HelpID"), T::Integer, 0},
                             str("Title", 50),
                             {QStringLiteral("Remarks"), T::Memo, 0}},
                            QStringLiteral("HelpID")};
    return t;
}
const TableDef& boyNames() {
    static const TableDef t{
        QStringLiteral("BOYA"), {str("Name", 50), str("Origin", 50), str("Meaning", 50)}, {}};
    return t;
}
const TableDef& girlNames() {
    static const TableDef t{QStringLiteral("GIRLA"),
                            {str("Name", 50), str("Origin", 50), {QStringLiteral("Meaning"), T::Memo, 0}},
                            {}};
    return t;
}
QList<const TableDef*> baseTables() {
    return {&child(), &previous(), &babyHelp(), &boyNames(), &girlNames()};
}

const TableDef* find(const QString& tableName) {
    for (const TableDef* t : baseTables())
        if (t->name == tableName)
            return t;
    return nullptr;
}

QStringList childTables() {
    return {QStringLiteral("ENTRIES"),    QStringLiteral("GROWTH"), QStringLiteral("FAMILY"),
            QStringLiteral("TEETH"),      QStringLiteral("SHEETS"), QStringLiteral("PICTURES"),
            QStringLiteral("ENTRYPHOTOS")};
}

const QList<SharedTable>& sharedTables() {
    static const QList<SharedTable> tables = [] {
        QStringList childFields;
        for (const FieldDef& f : child().fields)
            childFields << f.name;
        return QList<SharedTable>{
            {QStringLiteral("CHILD"), childFields, QStringLiteral("''")},
            {QStringLiteral("ENTRIES"),
             {QStringLiteral("list"), QStringLiteral("Date"), QStringLiteral("Title"),
              QStringLiteral("Text")},
             QStringLiteral("%1.uid")},
            {QStringLiteral("GROWTH"),
             {QStringLiteral("Date"), QStringLiteral("Height"), QStringLiteral("WtLbs"),
              QStringLiteral("WtOz"), QStringLiteral("Head"), QStringLiteral("WtKg"), QStringLiteral("Units"),
              QStringLiteral("Measured")},
             QStringLiteral("%1.uid")},
            {QStringLiteral("FAMILY"),
             {QStringLiteral("Name"), QStringLiteral("Date"), QStringLiteral("Text")},
             QStringLiteral("CAST(%1.slot AS TEXT)")},
            {QStringLiteral("TEETH"), {QStringLiteral("Date")}, QStringLiteral("CAST(%1.slot AS TEXT)")},
            {QStringLiteral("SHEETS"),
             {QStringLiteral("value")},
             QStringLiteral("%1.sheet || '/' || %1.field")},
            // A picture's bytes travel as its file; `data` only holds them until they move there.
            {QStringLiteral("PICTURES"), {QStringLiteral("file")}, QStringLiteral("%1.picture")},
            // An entry's photos are a set known by content: the entry and the photo's file.
            {QStringLiteral("ENTRYPHOTOS"),
             {QStringLiteral("list"), QStringLiteral("position"), QStringLiteral("name"),
              QStringLiteral("taken")},
             QStringLiteral("%1.entry || '/' || %1.file")}};
    }();
    return tables;
}

const SharedTable* sharedTable(const QString& name) {
    for (const SharedTable& t : sharedTables())
        if (t.name == name)
            return &t;
    return nullptr;
}

QList<FieldDef> firstFields(const TableDef& table) {
    return table.name == child().name ? table.fields.mid(0, kFirstChildFields) : table.fields;
}

QStringList createStatements() {
    QStringList sql = versionOne();
    for (const QStringList& step : migrations())
        sql << step;
    return sql;
}

QStringList migrationStatements(int from) {
    const int index = from - 1;
    return index >= 0 && index < migrations().size() ? migrations().at(index) : QStringList();
}
} // namespace Schema
