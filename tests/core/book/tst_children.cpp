// The rules about children, without a window: adding (with the duplicate check the first-run dialog and
// New Child share), making a child active, and deleting one with everything recorded for it.
#include "core/book/ChildRecords.h"
#include "core/book/Children.h"
#include "core/book/EntryStore.h"
#include "core/store/Database.h"
#include "support/TempStore.h"

#include <QTest>

class ChildrenTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Entries().release(); }
    void addRefusesEmptyAndDuplicateNamesAndStoresNothing();
    void makingAChildActiveIsStoredAndLoadsItsEntries();
    void removingTakesEverythingButNeverTheActiveChild();
};

void ChildrenTest::addRefusesEmptyAndDuplicateNamesAndStoresNothing() {
    TempStore store;
    QCOMPARE(Children::previous(), Children::NoChildYet);
    QCOMPARE(Children::add("Ann", "Marie", "Lee"), Children::AddResult::Added);
    QCOMPARE(Children::add("", "Marie", "Lee"), Children::AddResult::EmptyName);
    QCOMPARE(Children::add("Ann", "Other", "Name"), Children::AddResult::Duplicate);
    QCOMPARE(Children::add("ann", "", ""), Children::AddResult::Added); // names compare exactly
    // The book's word for no child is no child's name, however it is spelled.
    for (const char* reserved : {"New", "new", " New ", "NEW"})
        QCOMPARE(Children::add(reserved, "", ""), Children::AddResult::ReservedName);
    QVERIFY(Children::nameRefusal("Newton").isEmpty());
    QCOMPARE(Children::firstNames(), (QStringList{"Ann", "ann"}));
    QSqlQuery q = Database::exec("SELECT MiddleName, LastName FROM CHILD WHERE FirstName = 'Ann'");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString() + " " + q.value(1).toString(), QStringLiteral("Marie Lee"));
    QVERIFY(Children::exists("Ann"));
    QVERIFY(!Children::exists("Ben"));
}

void ChildrenTest::makingAChildActiveIsStoredAndLoadsItsEntries() {
    TempStore store;
    Children::add("Ann", "", "");
    Children::add("Ben", "", "");
    Children::makeActive("Ann", true);
    Entries().setToothDate(1, "01-02-03");
    Children::makeActive("Ben", false);
    QCOMPARE(Entries().child(), QStringLiteral("Ben"));
    QCOMPARE(Entries().toothDate(1), EntryStore::EmptyDate);
    store.reopen();
    QCOMPARE(Children::previous(), QStringLiteral("Ben"));
    Children::makeActive("Ann", true);
    QCOMPARE(Entries().toothDate(1), QStringLiteral("01-02-03"));
}

void ChildrenTest::removingTakesEverythingButNeverTheActiveChild() {
    TempStore store;
    Children::add("Ann", "", "");
    Children::add("Ben", "", "");
    Children::makeActive("Ben", true);
    Entries().setToothDate(2, "04-05-06");
    ChildRecords::setSheetValue("Ben", "Pediatrician", "Name", "Dr Who");
    Children::makeActive("Ann", false);

    QVERIFY(!Children::mayRemove("Ann", "Ann"));
    QVERIFY(!Children::remove("Ann", "Ann"));
    QCOMPARE(Children::firstNames(), (QStringList{"Ann", "Ben"}));

    QVERIFY(Children::remove("Ben", "Ann"));
    QCOMPARE(Children::firstNames(), QStringList{"Ann"});
    QCOMPARE(ChildRecords::sheetValue("Ben", "Pediatrician", "Name"), QString());
    // A later child of the same name starts with nothing of the one deleted.
    Children::add("Ben", "", "");
    Children::makeActive("Ben", false);
    QCOMPARE(Entries().toothDate(2), EntryStore::EmptyDate);
}

QTEST_GUILESS_MAIN(ChildrenTest)
#include "tst_children.moc"
