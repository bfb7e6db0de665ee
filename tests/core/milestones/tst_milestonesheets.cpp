// The records of the milestone screens: kept per child and per occasion, with any text.
#include "core/milestones/MilestoneSheets.h"
#include "support/TempStore.h"

#include <QTest>

using namespace MilestoneSheets;

class MilestoneSheetsTest : public QObject {
    Q_OBJECT
private slots:
    void birthdaysKeepAnyTextPerChildAndTitle();
    void occasionsAreListedOnceInTheOrderMade();
    void skillsListsEveryCaptionAndFreeRow();
    void teethComeInPairsAndADateBegunIsAToothComeIn();
};

void MilestoneSheetsTest::birthdaysKeepAnyTextPerChildAndTitle() {
    TempStore store;
    BirthdayRecord r;
    r.title = "2nd Birthday";
    r.remarks = "Line one\nline \"two\" -- with 'quotes'";
    r.guests = {"Rose", "", "Tom\nand Jerry", "Rose"};
    r.gifts = {{"Aunt -- May", "Teddy\nbear"}, {"", "Blocks"}};
    setBirthday("Ann", r);
    const BirthdayRecord back = birthday("Ann", "2nd Birthday");
    QCOMPARE(back.remarks, r.remarks);
    QCOMPARE(back.guests, r.guests);
    QCOMPARE(back.gifts, r.gifts);
    QVERIFY(birthday("Ann", "1st Birthday").isEmpty());
    QVERIFY(birthday("Ben", "2nd Birthday").isEmpty());

    // Fewer guests replace more: nothing of the longer list is left behind.
    r.guests = {"Only"};
    r.gifts.clear();
    setBirthday("Ann", r);
    QCOMPARE(birthday("Ann", "2nd Birthday").guests, QStringList{"Only"});
    QVERIFY(birthday("Ann", "2nd Birthday").gifts.isEmpty());
    setBirthdayRemarks("Ann", "2nd Birthday", "changed");
    QCOMPARE(birthday("Ann", "2nd Birthday").remarks, QStringLiteral("changed"));
    QCOMPARE(birthday("Ann", "2nd Birthday").guests, QStringList{"Only"});

    store.reopen();
    QCOMPARE(birthday("Ann", "2nd Birthday").remarks, QStringLiteral("changed"));
    QCOMPARE(birthdayTitles().size(), 17);
    QCOMPARE(birthdayTitles().first(), QStringLiteral("Birth Birthday"));
    QCOMPARE(birthdayTitles().last(), QStringLiteral("16th Birthday"));
}

void MilestoneSheetsTest::occasionsAreListedOnceInTheOrderMade() {
    TempStore store;
    setOccasionRemarks("Ann", HolidaysCaption, "First Christmas - Ann", "snow");
    recordOccasion("Ann", HolidaysCaption, titleForName(HolidaysCaption, "Diwali", "Ann"), true, "Diwali");
    recordOccasion("Ann", HolidaysCaption, titleForName(HolidaysCaption, "", "Ann"), true, "");
    recordOccasion("Ann", OutingCaption, "Zoo", true, "Zoo");
    recordOccasion("Ann", OutingCaption, "Zoo", true, "Zoo"); // again: listed once
    setOccasionRemarks("Ann", OutingCaption, "Zoo", "lions");
    setOccasionRemarks("Ann", ChristeningCaption, "Christening", ""); // empty remarks are not an occasion

    const QVector<Occasion> all = occasions("Ann");
    QCOMPARE(all.size(), 4);
    QCOMPARE(all.at(0).title, QStringLiteral("First Christmas - Ann"));
    QCOMPARE(all.at(0).remarks, QStringLiteral("snow"));
    QVERIFY(!all.at(0).named);
    QCOMPARE(all.at(1).title, QStringLiteral("First Diwali - Ann"));
    QCOMPARE(all.at(2).title, QStringLiteral("First  - Ann"));
    QVERIFY(all.at(2).named);
    QCOMPARE(all.at(3).remarks, QStringLiteral("lions"));

    const QVector<Occasion> holidays = namedOccasions("Ann", HolidaysCaption);
    QCOMPARE(holidays.size(), 2);
    QCOMPARE(holidays.at(0).name, QStringLiteral("Diwali"));
    QCOMPARE(namedOccasions("Ann", VisitorCaption).size(), 0);
    QCOMPARE(occasions("Ben").size(), 0);
    QCOMPARE(titleForName(VisitorCaption, "Nana", "Ann"), QStringLiteral("Nana"));
}

void MilestoneSheetsTest::skillsListsEveryCaptionAndFreeRow() {
    TempStore store;
    const QVector<SkillField> listed = listedSkills();
    QCOMPARE(listed.size(), 41);
    QCOMPARE(listed.at(0).caption, QStringLiteral("First Bath:"));
    QCOMPARE(listed.at(40).field, QStringLiteral("Edit41"));
    QCOMPARE(listed.at(40).caption, QStringLiteral("Reads Book Alone:"));
    QCOMPARE(listed.at(38).field, QStringLiteral("Edit39"));
    QCOMPARE(listed.at(38).caption, QStringLiteral("Knows Address:"));
    QCOMPARE(otherRows().size(), 19);
    QCOMPARE(otherRows().at(11).nameField, QStringLiteral("Edit65"));
    QCOMPARE(otherRows().at(11).valueField, QStringLiteral("Edit64"));
    QStringList names;
    for (const SkillField& s : listed)
        names << s.field;
    for (const OtherRow& r : otherRows())
        names << r.nameField << r.valueField;
    names.removeDuplicates();
    QCOMPARE(names.size(), 79); // every box has a name of its own
}

void MilestoneSheetsTest::teethComeInPairsAndADateBegunIsAToothComeIn() {
    // The upper arch runs front to back, the lower back to front, so each kind is a pair.
    const struct {
        int slot;
        const char* kind;
    } kinds[] = {{1, "Central Incisor"}, {2, "Central Incisor"},  {3, "Lateral Incisor"}, {5, "Cuspid"},
                 {7, "First Molar"},     {10, "Second Molar"},    {11, "Second Molar"},   {14, "First Molar"},
                 {16, "Cuspid"},         {18, "Lateral Incisor"}, {20, "Central Incisor"}};
    for (const auto& k : kinds)
        QCOMPARE(toothKind(k.slot), QString::fromLatin1(k.kind));
    for (int slot = 1; slot <= 20; ++slot)
        QCOMPARE(toothKind(21 - slot), toothKind(slot)); // the same tooth in the other arch

    const struct {
        const char* date;
        bool come;
    } dates[] = {{"05-06-24", true},  {" 5-  -  ", true},  {"  -  -24", true},
                 {"  -  -  ", false}, {"__-__-__", false}, {"", false}};
    for (const auto& d : dates)
        QVERIFY2(toothHasDate(QString::fromLatin1(d.date)) == d.come, d.date);
}

QTEST_GUILESS_MAIN(MilestoneSheetsTest)
#include "tst_milestonesheets.moc"
