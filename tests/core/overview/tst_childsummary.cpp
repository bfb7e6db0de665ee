// The home panel's words about a child: the age and the next birthday from the birth date (month
// ends, leap days, two-digit years), and what is read from the store.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/overview/ChildSummary.h"
#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "support/TempStore.h"

#include <QTest>

class ChildSummaryTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Entries().release(); }
    void ageAndNextBirthdayInWords_data();
    void ageAndNextBirthdayInWords();
    void readsNameBirthPictureAndLatestEntries();
};

void ChildSummaryTest::ageAndNextBirthdayInWords_data() {
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("age");
    QTest::addColumn<QString>("next");
    QTest::newRow("born today") << QDate(2026, 12, 8) << QDate(2026, 12, 8) << "born today"
                                << "turns 1 in 365 days";
    QTest::newRow("days") << QDate(2026, 11, 26) << QDate(2026, 12, 8) << "12 days"
                          << "turns 1 in 353 days";
    QTest::newRow("months and days") << QDate(2026, 3, 5) << QDate(2026, 12, 8) << "9 months, 3 days"
                                     << "turns 1 in 87 days";
    QTest::newRow("whole months") << QDate(2026, 10, 8) << QDate(2026, 12, 8) << "2 months"
                                  << "turns 1 in 304 days";
    QTest::newRow("month end") << QDate(2026, 1, 31) << QDate(2026, 3, 1) << "1 month, 1 day"
                               << "turns 1 in 336 days";
    QTest::newRow("years and months") << QDate(2024, 11, 2) << QDate(2026, 12, 8) << "2 years, 1 month"
                                      << "turns 3 in 329 days";
    QTest::newRow("one year") << QDate(2025, 12, 8) << QDate(2026, 12, 8) << "1 year"
                              << "turns 1 today";
    QTest::newRow("tomorrow") << QDate(2023, 12, 9) << QDate(2026, 12, 8) << "2 years, 11 months"
                              << "turns 3 tomorrow";
    QTest::newRow("leap day") << QDate(2024, 2, 29) << QDate(2027, 2, 27) << "2 years, 11 months"
                              << "turns 3 tomorrow";
    QTest::newRow("still to come") << QDate(2026, 12, 20) << QDate(2026, 12, 8) << ""
                                   << "due in 12 days";
    QTest::newRow("unknown") << QDate() << QDate(2026, 12, 8) << ""
                             << "";
}

void ChildSummaryTest::ageAndNextBirthdayInWords() {
    QFETCH(QDate, birth);
    QFETCH(QDate, today);
    QFETCH(QString, age);
    QFETCH(QString, next);
    QCOMPARE(ChildSummary::ageInWords(birth, today), age);
    QCOMPARE(ChildSummary::nextBirthdayInWords(birth, today), next);
}

void ChildSummaryTest::readsNameBirthPictureAndLatestEntries() {
    TempStore store;
    TempStore::addChild("Ann", "  Marie ", "Lee");
    TempStore::addChild("Ben");
    // A two-digit year is the nearest one not in the future; the month may be a name.
    Database::exec(
        "UPDATE CHILD SET BDayMonth = 'March', BDateDay = '5', BDayYear = '26' WHERE FirstName = 'Ann'");
    ChildRecords::setPicture("Ann", "ChildInfo/Image1", QByteArray("picture bytes"));
    Entries().freshStart("Ann");
    auto add = [](DiaryList list, const char* title) {
        Entries().append(list, std::make_shared<DiaryType>(DiaryType{"05-06-26", title, "text"}));
    };
    add(DiaryList::JournalEntries, "First");
    add(DiaryList::WordEntries, "Mama");
    add(DiaryList::DoctorVisits, "Check-up");
    add(DiaryList::JournalEntries, "Park day");
    Entries().freshStart("Ben");
    add(DiaryList::JournalEntries, "Ben's own");

    const ChildSummary::Summary ann = ChildSummary::read("Ann", QDate(2026, 12, 8));
    QCOMPARE(ann.fullName, QStringLiteral("Ann Marie Lee"));
    QCOMPARE(ann.birth, QDate(2026, 3, 5));
    QCOMPARE(PhotoFiles::read(ann.pictureFile), QByteArray("picture bytes"));
    QStringList latest;
    for (const ChildTimeline::Item& r : ann.latest)
        latest << ChildSummary::diaryName(r.list) + ": " + r.title;
    // One day's entries in the order of the diaries and of writing.
    QCOMPARE(latest, (QStringList{"Journal: First", "Journal: Park day", "First Words: Mama",
                                  "Doctor Visits: Check-up"}));

    const ChildSummary::Summary ben = ChildSummary::read("Ben", QDate(2026, 12, 8));
    QCOMPARE(ben.fullName, QStringLiteral("Ben"));
    QVERIFY(!ben.birth.isValid());
    QVERIFY(ben.picture.isEmpty() && ben.pictureFile.isEmpty());
    QCOMPARE(ben.latest.size(), 1);
}

QTEST_GUILESS_MAIN(ChildSummaryTest)
#include "tst_childsummary.moc"
