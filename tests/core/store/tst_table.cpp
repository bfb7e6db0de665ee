// The table layer: cursor order, key search, edit/insert/post/delete, field widths and bound text.
#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"
#include "core/store/Table.h"
#include "support/TempStore.h"

#include <QSqlQuery>
#include <QTest>

namespace {
QStringList firstNames(Table& t) {
    QStringList names;
    for (t.first(); !t.eof(); t.next())
        names << t.fieldText("FirstName");
    return names;
}
void insertChild(Table& t, const QString& first) {
    t.insert();
    t.setFieldText("FirstName", first);
    t.post();
}
} // namespace

class TableTest : public QObject {
    Q_OBJECT
private slots:
    void newStoreHasTheFiveTablesInFieldOrder();
    void rowsComeInKeyOrderAndStoredOrder();
    void keySearchIsExact();
    void editPostAndRefresh();
    void fixedWidthFieldsKeepTheirWidth();
    void duplicateKeyIsRefusedAndNothingIsStored();
    void deleteRemovesOnlyTheCurrentRow();
    void editOnAnEmptyTableInserts();
    void misuseIsAnErrorNotACrash();
    void textIsBoundNeverSpliced();
};

void TableTest::newStoreHasTheFiveTablesInFieldOrder() {
    TempStore store;
    QCOMPARE(TempStore::rowCount("PREVIOUS"), 1);
    QCOMPARE(TempStore::previous(), QStringLiteral("New"));
    QCOMPARE(TempStore::rowCount("CHILD"), 0);
    for (const TableDef* def : Schema::baseTables()) {
        QSqlQuery q = Database::exec(QStringLiteral("PRAGMA table_info(%1)").arg(def->name));
        QStringList columns;
        while (q.next())
            columns << q.value(1).toString();
        columns.removeOne(QStringLiteral("changed")); // the time of the last change, kept by the store
        columns.removeOne(QStringLiteral("uid"));     // a child's identity for sharing, kept by the store
        QStringList expected;
        for (const FieldDef& f : def->fields)
            expected << f.name;
        QCOMPARE(columns, expected);
    }
    const TableDef& child = Schema::child();
    QCOMPARE(child.fields.size(), 38);
    QCOMPARE(child.fields.first().name, QStringLiteral("FirstName"));
    QCOMPARE(Schema::firstFields(child).size(), 32);
    QCOMPARE(Schema::firstFields(child).last().name, QStringLiteral("BirthWeightLb"));
    QCOMPARE(child.fields.last().name, QStringLiteral("BirthHead"));
    QCOMPARE(child.fields[child.indexOf("H7")].width, 155);
    QCOMPARE(child.fields[child.indexOf("BirthState")].width, 2);
}

void TableTest::rowsComeInKeyOrderAndStoredOrder() {
    TempStore store;
    Table child("CHILD");
    child.open();
    for (const char* n : {"Ben", "Ann", "Cleo", "aaron"})
        insertChild(child, n);
    QCOMPARE(firstNames(child), (QStringList{"Ann", "Ben", "Cleo", "aaron"}));
    child.close();
    child.open(); // a fresh read gives the same order
    QCOMPARE(firstNames(child), (QStringList{"Ann", "Ben", "Cleo", "aaron"}));

    Database::exec("DELETE FROM BOYA"); // the delivered names make way for two of the test's own
    Database::exec("INSERT INTO BOYA (Name, Origin, Meaning) VALUES ('Zed', 'x', 'y'), ('Abe', 'x', 'y')");
    Table boys("BOYA");
    boys.open();
    QCOMPARE(boys.fieldText("Name"), QStringLiteral("Zed")); // stored order, not sorted
    boys.next();
    QCOMPARE(boys.fieldText("Name"), QStringLiteral("Abe"));
    boys.next();
    QVERIFY(boys.eof());
    QCOMPARE(boys.fieldText("Name"), QString());
    boys.next(); // past the end stays at the end
    QVERIFY(boys.eof());
}

void TableTest::keySearchIsExact() {
    TempStore store;
    TempStore::addChild("Ann");
    TempStore::addChild("Ben");
    Table child("CHILD");
    child.open();
    QVERIFY(child.findKey("Ben"));
    QCOMPARE(child.fieldText("FirstName"), QStringLiteral("Ben"));
    QVERIFY(!child.findKey("ben"));
    QVERIFY(!child.findKey("Ben "));
    Database::exec("DELETE FROM BABYHELP"); // the delivered topics make way for two of the test's own
    Database::exec(
        "INSERT INTO BABYHELP (HelpID, Title, Remarks) VALUES (7, 'Seven', 'text'), (45, 'Help', 'h')");
    Table help("BABYHELP");
    help.open();
    QVERIFY(help.findKey(45));
    QCOMPARE(help.fieldText("Title"), QStringLiteral("Help"));
    QVERIFY(!help.findKey(8));
}

void TableTest::editPostAndRefresh() {
    TempStore store;
    TempStore::addChild("Ann", "Marie", "Smith");
    Table child("CHILD");
    child.open();
    QVERIFY(child.findKey("Ann"));
    child.edit();
    child.setFieldText("Hair", "Red");
    child.setFieldText("LastName", "Jones");
    QCOMPARE(child.fieldText("Hair"), QStringLiteral("Red")); // the edited row shows its new value
    child.post();
    QSqlQuery q = Database::exec("SELECT Hair, LastName, MiddleName FROM CHILD WHERE FirstName = 'Ann'");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("Red"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("Jones"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("Marie"));

    // A cancelled edit stores nothing.
    child.edit();
    child.setFieldText("Hair", "Blue");
    child.cancel();
    QCOMPARE(child.fieldText("Hair"), QStringLiteral("Red"));

    // Re-read sees a change made through another cursor.
    Table other("CHILD");
    other.open();
    other.findKey("Ann");
    other.edit();
    other.setFieldText("Eyes", "Green");
    other.post();
    QCOMPARE(child.fieldText("Eyes"), QString());
    child.refresh();
    QCOMPARE(child.fieldText("Eyes"), QStringLiteral("Green"));
}

void TableTest::fixedWidthFieldsKeepTheirWidth() {
    TempStore store;
    Table child("CHILD");
    child.open();
    child.insert();
    child.setFieldText("FirstName", QString(60, QChar('a')));
    child.setFieldText("BirthState", "Texas");
    child.setFieldText("H1", QString(200, QChar('h')));
    child.post();
    QSqlQuery q = Database::exec("SELECT length(FirstName), BirthState, length(H1) FROM CHILD");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 50);
    QCOMPARE(q.value(1).toString(), QStringLiteral("Te"));
    QCOMPARE(q.value(2).toInt(), 155);

    // A cut that would fall inside an emoji (two UTF-16 units) leaves the whole emoji out.
    const QString baby = QString::fromUtf8("\xF0\x9F\x91\xB6");
    child.insert();
    child.setFieldText("FirstName", QString(49, QChar('b')) + baby);
    child.setFieldText("BirthState", "T" + baby);
    child.setFieldText("BirthWeightOz", baby + baby);
    child.post();
    QSqlQuery cut =
        Database::exec("SELECT FirstName, BirthState, BirthWeightOz FROM CHILD WHERE BirthState <> 'Te'");
    QVERIFY(cut.next());
    QCOMPARE(cut.value(0).toString(), QString(49, QChar('b')));
    QCOMPARE(cut.value(1).toString(), QStringLiteral("T"));
    QCOMPARE(cut.value(2).toString(), baby);
}

void TableTest::duplicateKeyIsRefusedAndNothingIsStored() {
    TempStore store;
    Table child("CHILD");
    child.open();
    insertChild(child, "Ann");
    child.insert();
    child.setFieldText("FirstName", "Ann");
    child.setFieldText("LastName", "Other");
    try {
        child.post();
        QFAIL("a second Ann was stored");
    } catch (const StoreError& e) {
        QCOMPARE(e.kind(), StoreError::Kind::Duplicate);
    }
    child.cancel();
    QCOMPARE(child.state(), Table::State::Browse);
    QCOMPARE(TempStore::rowCount("CHILD"), 1);
    QCOMPARE(firstNames(child), QStringList{"Ann"});
}

void TableTest::deleteRemovesOnlyTheCurrentRow() {
    TempStore store;
    for (const char* n : {"Ann", "Ben", "Cleo"})
        TempStore::addChild(n);
    Table child("CHILD");
    child.open();
    // Delete every row with a name, as the roster does.
    for (child.first(); !child.eof();) {
        if (child.fieldText("FirstName") == "Ben")
            child.remove();
        else
            child.next();
    }
    QCOMPARE(firstNames(child), (QStringList{"Ann", "Cleo"}));
    QCOMPARE(TempStore::rowCount("CHILD"), 2);
}

void TableTest::editOnAnEmptyTableInserts() {
    TempStore store;
    Database::exec("DELETE FROM PREVIOUS");
    Table previous("PREVIOUS");
    previous.open();
    QVERIFY(previous.eof());
    QCOMPARE(previous.fieldText("FirstName"), QString()); // no row reads as empty
    previous.edit();
    QCOMPARE(previous.state(), Table::State::Insert);
    previous.setFieldText("FirstName", "Ann");
    previous.post();
    previous.first();
    previous.edit();
    previous.setFieldText("FirstName", "Ben");
    previous.post();
    QCOMPARE(TempStore::rowCount("PREVIOUS"), 1);
    QCOMPARE(TempStore::previous(), QStringLiteral("Ben"));
}

void TableTest::misuseIsAnErrorNotACrash() {
    TempStore store;
    QVERIFY_THROWS_EXCEPTION(StoreError, Table("NOSUCH"));
    Table child("CHILD");
    QVERIFY_THROWS_EXCEPTION(StoreError, child.first());
    QVERIFY_THROWS_EXCEPTION(StoreError, child.findKey("Ann"));
    child.open();
    child.open(); // opening an open table does nothing
    QVERIFY_THROWS_EXCEPTION(StoreError, child.fieldText("NoSuchField"));
    QVERIFY_THROWS_EXCEPTION(StoreError, child.setFieldText("Hair", "x")); // not editing
    QVERIFY_THROWS_EXCEPTION(StoreError, child.remove());                  // no row
    Table boys("BOYA");
    boys.open();
    QVERIFY_THROWS_EXCEPTION(StoreError, boys.findKey("x")); // no key
}

void TableTest::textIsBoundNeverSpliced() {
    TempStore store;
    const QStringList names{
        "O'Brien", "Robert'); DROP TABLE CHILD;--", "50% \"quoted\"", "back\\slash", "Zoë", "👶 Baby", "שרה"};
    Table child("CHILD");
    child.open();
    for (const QString& n : names)
        insertChild(child, n);
    child.close();
    child.open();
    for (const QString& n : names) {
        QVERIFY2(child.findKey(n), qPrintable(n));
        QCOMPARE(child.fieldText("FirstName"), n);
    }
    QCOMPARE(TempStore::rowCount("CHILD"), names.size());
}

QTEST_GUILESS_MAIN(TableTest)
#include "tst_table.moc"
