// The Entry store keeps each child's lists, slots and dates in the store file.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/store/Database.h"
#include "core/store/StoreError.h"
#include "support/TempStore.h"

#include <QSqlQuery>
#include <QTest>

namespace {
std::shared_ptr<DiaryType> diary(const QString& date, const QString& title, const QString& text = QString()) {
    return std::make_shared<DiaryType>(DiaryType{date, title, text});
}
QStringList titles(DiaryList list) {
    QStringList t;
    for (int i = 0; i < Entries().count(list); ++i)
        t << Entries().at(list, i)->Title;
    return t;
}
} // namespace

class EntryStoreTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Entries().release(); }
    void freshStartIsEmpty();
    void listsKeepInsertionOrderAcrossARestart();
    void removalIsStoredAndKeepsTheOthers();
    void eachChildHasItsOwnEntries();
    void slotsAreStoredPerChild();
    void textIsKeptExactly();
    void deletingAChildRemovesAllItsRecords();
    void aFailedWriteLeavesTheListAsItWas();
};

void EntryStoreTest::freshStartIsEmpty() {
    TempStore store;
    Entries().freshStart("Ann");
    for (DiaryList l : {DiaryList::PrenatalDiary, DiaryList::PrenatalMedicalDiary, DiaryList::JournalEntries,
                        DiaryList::WordEntries, DiaryList::DoctorVisits, DiaryList::ChildhoodDiseases})
        QCOMPARE(Entries().count(l), 0);
    QCOMPARE(Entries().growthCount(), 0);
    for (int s = 1; s <= EntryStore::FamilySlots; ++s) {
        const FamilyMember m = Entries().familyMember(s);
        QCOMPARE(m.Name, QString());
        QCOMPARE(m.Date, QStringLiteral("__-__-__"));
        QCOMPARE(m.Text, QString());
    }
    for (int s = 1; s <= EntryStore::ToothSlots; ++s)
        QCOMPARE(Entries().toothDate(s), QStringLiteral("__-__-__"));
}

void EntryStoreTest::listsKeepInsertionOrderAcrossARestart() {
    TempStore store;
    Entries().freshStart("Ann");
    Entries().append(DiaryList::JournalEntries, diary("01-01-99", "one"));
    Entries().append(DiaryList::JournalEntries, diary("01-01-98", "two")); // appended whatever the date
    Entries().append(DiaryList::DoctorVisits, diary("02-02-99", "checkup"));
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"03-03-99", "21", "8", "4"}));
    Entries().append(DiaryList::JournalEntries, diary("01-01-97", "three"));

    Entries().release();
    store.reopen();
    Entries().freshStart("Ann");
    QCOMPARE(titles(DiaryList::JournalEntries), (QStringList{"one", "two", "three"}));
    QCOMPARE(titles(DiaryList::DoctorVisits), QStringList{"checkup"});
    QCOMPARE(Entries().count(DiaryList::WordEntries), 0);
    QCOMPARE(Entries().growthCount(), 1);
    const auto g = Entries().growthAt(0);
    QCOMPARE(g->Date + "|" + g->Height + "|" + g->WtLbs + "|" + g->WtOz, QStringLiteral("03-03-99|21|8|4"));
}

void EntryStoreTest::removalIsStoredAndKeepsTheOthers() {
    TempStore store;
    Entries().freshStart("Ann");
    for (const char* t : {"a", "b", "c"})
        Entries().append(DiaryList::WordEntries, diary("  -  -  ", t));
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"1", "2", "3", "4"}));
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"5", "6", "7", "8"}));
    Entries().removeAt(DiaryList::WordEntries, 0);
    Entries().removeGrowthAt(1);
    Entries().append(DiaryList::WordEntries, diary("  -  -  ", "d"));
    QCOMPARE(titles(DiaryList::WordEntries), (QStringList{"b", "c", "d"}));

    Entries().release();
    store.reopen();
    Entries().freshStart("Ann");
    QCOMPARE(titles(DiaryList::WordEntries), (QStringList{"b", "c", "d"}));
    QCOMPARE(Entries().growthCount(), 1);
    QCOMPARE(Entries().growthAt(0)->Date, QStringLiteral("1"));
}

void EntryStoreTest::eachChildHasItsOwnEntries() {
    TempStore store;
    Entries().freshStart("Ann");
    Entries().append(DiaryList::JournalEntries, diary("01-01-01", "Ann's"));
    Entries().childSwitch("Ben");
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 0);
    Entries().append(DiaryList::JournalEntries, diary("01-01-01", "Ben's"));
    Entries().childSwitch("ann"); // names are exact: another child
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 0);
    Entries().childSwitch("Ann");
    QCOMPARE(titles(DiaryList::JournalEntries), QStringList{"Ann's"});
    Entries().childSwitch("Ben");
    QCOMPARE(titles(DiaryList::JournalEntries), QStringList{"Ben's"});
}

void EntryStoreTest::slotsAreStoredPerChild() {
    TempStore store;
    Entries().freshStart("Ann");
    Entries().setFamilyMember(7, FamilyMember{"Grandma Rose", "05-06-40", "Dublin"});
    Entries().setFamilyMember(8, FamilyMember{"Grandpa Joe", "  -  -41", ""});
    Entries().setToothDate(20, "10-11-01");
    Entries().childSwitch("Ben");
    QCOMPARE(Entries().familyMember(7).Name, QString());
    QCOMPARE(Entries().toothDate(20), QStringLiteral("__-__-__"));
    Entries().setFamilyMember(7, FamilyMember{"Oma", "  -  -  ", ""});

    Entries().release();
    store.reopen();
    Entries().freshStart("Ann");
    QCOMPARE(Entries().familyMember(7).Name, QStringLiteral("Grandma Rose"));
    QCOMPARE(Entries().familyMember(7).Text, QStringLiteral("Dublin"));
    QCOMPARE(Entries().familyMember(8).Date, QStringLiteral("  -  -41"));
    QCOMPARE(Entries().familyMember(1).Date, QStringLiteral("__-__-__"));
    QCOMPARE(Entries().toothDate(20), QStringLiteral("10-11-01"));
    Entries().childSwitch("Ben");
    QCOMPARE(Entries().familyMember(7).Name, QStringLiteral("Oma"));
}

void EntryStoreTest::textIsKeptExactly() {
    TempStore store;
    Entries().freshStart("Zoë 'Z' \"Q\" 100% \\ ");
    const QString text = QStringLiteral("Line one\nLine two\r\n\tשלום 👶 'quoted' \"double\" 50% \\back");
    Entries().append(DiaryList::JournalEntries, diary("12-31-99", QString(10000, QChar('x')), text));
    Entries().release();
    store.reopen();
    Entries().freshStart("Zoë 'Z' \"Q\" 100% \\ ");
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 0)->Text, text);
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 0)->Title.size(), 10000);
}

void EntryStoreTest::deletingAChildRemovesAllItsRecords() {
    TempStore store;
    TempStore::addChild("Ann");
    TempStore::addChild("Ben");
    Entries().freshStart("Ben");
    Entries().append(DiaryList::JournalEntries, diary("01-01-01", "Ben's"));
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"1", "2", "3", "4"}));
    Entries().setFamilyMember(1, FamilyMember{"Dad", "", ""});
    Entries().setToothDate(1, "01-01-02");
    ChildRecords::setSheetValue("Ben", "Pediatrician", "Name", "Dr. Who");
    ChildRecords::setPicture("Ben", "ChildInfo/Image1", QByteArray("\x89PNG", 4));
    Entries().childSwitch("Ann");
    Entries().append(DiaryList::JournalEntries, diary("01-01-01", "Ann's"));
    ChildRecords::setSheetValue("Ann", "Pediatrician", "Name", "Dr. No");

    ChildRecords::deleteChild("Ben");
    for (const char* table : {"ENTRIES", "GROWTH", "FAMILY", "TEETH", "SHEETS", "PICTURES"}) {
        QSqlQuery q =
            Database::exec(QStringLiteral("SELECT count(*) FROM %1 WHERE child = 'Ben'").arg(table));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }
    QCOMPARE(TempStore::rowCount("CHILD"), 1);
    QCOMPARE(ChildRecords::sheetValue("Ann", "Pediatrician", "Name"), QStringLiteral("Dr. No"));
    // A child added later under the same name starts empty.
    Entries().childSwitch("Ben");
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 0);
    QCOMPARE(Entries().familyMember(1).Name, QString());
    QVERIFY(ChildRecords::picture("Ben", "ChildInfo/Image1").isEmpty());
}

void EntryStoreTest::aFailedWriteLeavesTheListAsItWas() {
    TempStore store;
    Entries().freshStart("Ann");
    Entries().append(DiaryList::JournalEntries, diary("01-01-01", "kept"));
    Database::exec("DROP TABLE ENTRIES");
    QVERIFY_THROWS_EXCEPTION(StoreError, Entries().append(DiaryList::JournalEntries, diary("x", "lost")));
    QCOMPARE(titles(DiaryList::JournalEntries), QStringList{"kept"});
    QVERIFY_THROWS_EXCEPTION(StoreError, Entries().removeAt(DiaryList::JournalEntries, 0));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
}

QTEST_GUILESS_MAIN(EntryStoreTest)
#include "tst_entrystore.moc"
