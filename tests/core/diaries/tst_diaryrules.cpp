// The diary rules, the growth log's lines and chart readings, and the diary sheets, without windows.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/book/StoredDate.h"
#include "core/diaries/DiaryCursor.h"
#include "core/diaries/DiarySheets.h"
#include "core/diaries/GrowthLog.h"
#include "core/diaries/GrowthPlot.h"
#include "core/diaries/GrowthReference.h"
#include "core/diaries/GrowthUnits.h"
#include "core/store/Database.h"
#include "support/TempStore.h"

#include <QSqlQuery>
#include <QTest>

namespace {
std::shared_ptr<DiaryType> entry(const QString& date, const QString& title, const QString& text = QString()) {
    return std::make_shared<DiaryType>(DiaryType{date, title, text});
}
std::shared_ptr<GrowthType> growth(const QString& date, const QString& h, const QString& lbs,
                                   const QString& oz) {
    return std::make_shared<GrowthType>(GrowthType{date, h, lbs, oz});
}
} // namespace

class DiaryRulesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void positionsStopAtTheEnds();
    void searchesTakeTheFirstEqualEntry();
    void newEntriesGoLastWhateverTheirDate();
    void deleteShowsTheLastRemaining();
    void cursorsAreKeptPerChildAcrossARestart();
    void growthCursorFollowsTheSameRules();
    void growthLogLinesAreSpacedAsTheLogShowsThem();
    void twoDigitYearsAreTheNearestNotInTheFuture();
    void datesAreReadOrRefused();
    void chartPlacesReadableRecordsByAgeInDateOrder();
    void chartWithoutABirthDateDrawsNothing();
    void centilesMatchThePublishedStandards();
    void unitsConvertForShowingOnly();
    void sheetsAreReadPerChildWithBlankDefaults();

private:
    std::unique_ptr<TempStore> m_store;
};

void DiaryRulesTest::init() {
    m_store = std::make_unique<TempStore>();
    TempStore::addChild("Ann");
    TempStore::addChild("Ben");
    Entries().freshStart("Ann");
}

void DiaryRulesTest::cleanup() {
    Entries().release();
    m_store.reset();
}

void DiaryRulesTest::positionsStopAtTheEnds() {
    QCOMPARE(DiaryRules::newest(0), -1);
    QCOMPARE(DiaryRules::newest(3), 2);
    QCOMPARE(DiaryRules::previous(0, 3), 0);
    QCOMPARE(DiaryRules::previous(2, 3), 1);
    QCOMPARE(DiaryRules::previous(-1, 0), -1);
    QCOMPARE(DiaryRules::next(2, 3), 2);
    QCOMPARE(DiaryRules::next(0, 3), 1);
    QCOMPARE(DiaryRules::next(-1, 0), -1);

    DiaryCursor cursor(DiaryList::JournalEntries);
    cursor.activate();
    QCOMPARE(cursor.currentIndex(), -1);
    QVERIFY(!cursor.previous());
    QVERIFY(!cursor.next());
    QVERIFY(!cursor.current());
    QVERIFY(!cursor.removeCurrent());

    for (const char* t : {"a", "b", "c"})
        Entries().append(DiaryList::JournalEntries, entry("01-01-01", t));
    cursor.activate();
    QCOMPARE(cursor.current()->Title, QStringLiteral("c"));
    QVERIFY(!cursor.next()); // no wrap to the front
    QVERIFY(cursor.previous());
    QVERIFY(cursor.previous());
    QCOMPARE(cursor.current()->Title, QStringLiteral("a"));
    QVERIFY(!cursor.previous()); // no wrap to the end
    QCOMPARE(cursor.currentIndex(), 0);
}

void DiaryRulesTest::searchesTakeTheFirstEqualEntry() {
    DiaryCursor cursor(DiaryList::DoctorVisits);
    cursor.append(entry("05-01-97", "Checkup", "first"));
    cursor.append(entry("06-01-97", "Shots", "second"));
    cursor.append(entry("05-01-97", "Shots", "third"));
    cursor.append(entry("07-01-97", "checkup", "fourth"));
    QVERIFY(cursor.searchDate("05-01-97"));
    QCOMPARE(cursor.current()->Text, QStringLiteral("first"));
    QVERIFY(cursor.searchTitle("Shots"));
    QCOMPARE(cursor.current()->Text, QStringLiteral("second"));
    // Exact and case-sensitive.
    QVERIFY(cursor.searchTitle("checkup"));
    QCOMPARE(cursor.current()->Text, QStringLiteral("fourth"));
    // No match leaves the shown entry.
    QVERIFY(!cursor.searchTitle("Shot"));
    QVERIFY(!cursor.searchDate("05-01-9"));
    QCOMPARE(cursor.current()->Text, QStringLiteral("fourth"));
    QCOMPARE(cursor.dates(), (QStringList{"05-01-97", "06-01-97", "05-01-97", "07-01-97"}));
    QCOMPARE(cursor.titles(), (QStringList{"Checkup", "Shots", "Shots", "checkup"}));
}

void DiaryRulesTest::newEntriesGoLastWhateverTheirDate() {
    DiaryCursor cursor(DiaryList::PrenatalDiary);
    cursor.append(entry("05-01-97", "May"));
    cursor.previous();
    cursor.append(entry("01-01-90", "Earlier"));
    QCOMPARE(cursor.currentIndex(), 1);
    QCOMPARE(cursor.current()->Title, QStringLiteral("Earlier"));
    QCOMPARE(cursor.dates().last(), QStringLiteral("01-01-90"));
    // The other lists are untouched.
    QCOMPARE(Entries().count(DiaryList::PrenatalMedicalDiary), 0);
}

void DiaryRulesTest::deleteShowsTheLastRemaining() {
    DiaryCursor cursor(DiaryList::WordEntries);
    for (const char* t : {"ball", "dog", "cat"})
        cursor.append(entry("01-01-01", t));
    cursor.searchTitle("ball");
    QCOMPARE(cursor.currentIndex(), 0);
    QVERIFY(cursor.removeCurrent());
    QCOMPARE(cursor.current()->Title, QStringLiteral("cat")); // the last, not the neighbour
    QCOMPARE(cursor.titles(), (QStringList{"dog", "cat"}));
    QVERIFY(cursor.removeCurrent());
    QVERIFY(cursor.removeCurrent());
    QCOMPARE(cursor.currentIndex(), -1);
    QVERIFY(!cursor.current());
    QCOMPARE(Entries().count(DiaryList::WordEntries), 0);
}

void DiaryRulesTest::cursorsAreKeptPerChildAcrossARestart() {
    DiaryCursor cursor(DiaryList::JournalEntries);
    cursor.append(entry("01-02-03", "Ann's day", "line one\nline two"));
    Entries().childSwitch("Ben");
    cursor.activate();
    QCOMPARE(cursor.currentIndex(), -1);
    cursor.append(entry("04-05-06", "Ben's day"));
    Entries().release();
    m_store->reopen();
    Entries().freshStart("Ann");
    cursor.activate();
    QCOMPARE(cursor.count(), 1);
    QCOMPARE(cursor.current()->Text, QStringLiteral("line one\nline two"));
    Entries().childSwitch("Ben");
    cursor.activate();
    QCOMPARE(cursor.titles(), QStringList{"Ben's day"});
}

void DiaryRulesTest::growthCursorFollowsTheSameRules() {
    GrowthCursor cursor;
    cursor.activate();
    QVERIFY(!cursor.previous() && !cursor.next() && !cursor.removeCurrent());
    cursor.append(growth("03-15-97", "24", "12", "5"));
    cursor.append(growth("04-15-97", "25", "13", "0"));
    cursor.append(growth("03-15-97", "26", "14", "1"));
    QVERIFY(!cursor.next());
    QVERIFY(cursor.searchDate("03-15-97"));
    QCOMPARE(cursor.current()->Height, QStringLiteral("24"));
    QVERIFY(!cursor.previous());
    QVERIFY(cursor.removeCurrent());
    QCOMPARE(cursor.current()->Height, QStringLiteral("26"));
    QCOMPARE(cursor.dates(), (QStringList{"04-15-97", "03-15-97"}));
}

void DiaryRulesTest::growthLogLinesAreSpacedAsTheLogShowsThem() {
    QCOMPARE(GrowthLog::line({"03-15-97", "24", "12", "5"}),
             QStringLiteral("03-15-97") + QString(10, ' ') + "24 in" + QString(12, ' ') + "12 lbs  5 oz");
    QCOMPARE(GrowthLog::line({"  -  -  ", "", "", ""}),
             QStringLiteral("  -  -  ") + QString(10, ' ') + " in" + QString(12, ' ') + " lbs   oz");
    // Values are shown as typed, not padded or converted.
    QCOMPARE(GrowthLog::line({"1-2-3", "24.5 ", "ten", "x"}),
             QStringLiteral("1-2-3") + QString(10, ' ') + "24.5  in" + QString(12, ' ') + "ten lbs  x oz");
    QCOMPARE(GrowthLog::lines({{"a", "1", "2", "3"}, {"b", "4", "5", "6"}}).split('\n').size(), 2);
    QCOMPARE(GrowthLog::lines({}), QString());
}

void DiaryRulesTest::twoDigitYearsAreTheNearestNotInTheFuture() {
    QCOMPARE(StoredDate::fullYear(97, 2, 2026), 1997);
    QCOMPARE(StoredDate::fullYear(25, 2, 2026), 2025);
    QCOMPARE(StoredDate::fullYear(26, 2, 2026), 2026);
    QCOMPARE(StoredDate::fullYear(27, 2, 2026), 1927);
    QCOMPARE(StoredDate::fullYear(0, 2, 2000), 2000);
    QCOMPARE(StoredDate::fullYear(5, 1, 2026), 2005);
    QCOMPARE(StoredDate::fullYear(1997, 4, 2026), 1997);
}

void DiaryRulesTest::datesAreReadOrRefused() {
    const QDate today(2026, 12, 8);
    using S = StoredDate::State;
    // What a box holds, what it is, and the day; the quick read of the stored bytes agrees with the
    // read of the text wherever it reads at all.
    const struct {
        const char* text;
        S state;
        QDate date;
    } dates[] = {
        {"03-15-97", S::Valid, QDate(1997, 3, 15)},
        {" 3- 5-24", S::Valid, QDate(2024, 3, 5)},
        {"3-5-26", S::Valid, QDate(2026, 3, 5)},
        {"12-08-27", S::Valid, QDate(1927, 12, 8)},
        {"  -  -  ", S::Blank, {}},
        {"__-__-__", S::Blank, {}},
        {"  /  /  ", S::Blank, {}},
        {"", S::Blank, {}},
        {"  -  -97", S::Impossible, {}},
        {"02-30-97", S::Impossible, {}},
        {"13-45-26", S::Impossible, {}},
        {"03/15/97", S::Impossible, {}},
        {"03-15-1997", S::Impossible, {}},
        {"soon", S::Impossible, {}},
    };
    for (const auto& d : dates) {
        const StoredDate read = StoredDate::read(QString::fromLatin1(d.text), today);
        QVERIFY2(read.state() == d.state, d.text);
        QCOMPARE(read.date(), d.date);
        QCOMPARE(StoredDate::isBlank(QString::fromLatin1(d.text)), d.state == S::Blank);
        StoredDate quick;
        if (StoredDate::readQuickly(QByteArrayView(d.text), today.year(), &quick)) {
            QVERIFY2(quick.state() == d.state, d.text);
            QCOMPARE(quick.date(), d.date);
        }
    }

    QCOMPARE(StoredDate::readParts("3", "15", "1997", today).date(), QDate(1997, 3, 15));
    QCOMPARE(StoredDate::readParts("03", "15", "97", today).date(), QDate(1997, 3, 15));
    QCOMPARE(StoredDate::readParts("March", "15", "97", today).date(), QDate(1997, 3, 15));
    QCOMPARE(StoredDate::readParts("sept.", "1", "24", today).date(), QDate(2024, 9, 1));
    QVERIFY(StoredDate::readParts("Ma", "15", "97", today).state() == S::Impossible); // Mar or May?
    QVERIFY(StoredDate::readParts("3", "15", "197", today).state() == S::Impossible);
    QVERIFY(StoredDate::readParts("", "", "", today).isBlank());
    QVERIFY(StoredDate::readParts("2", "29", "2023", today).state() == S::Impossible);

    double v = -1;
    QVERIFY(GrowthLog::readNumber(" 24.5 ", &v) && qFuzzyCompare(v, 24.5));
    QVERIFY(GrowthLog::readNumber("24,5", &v) && qFuzzyCompare(v, 24.5));
    QVERIFY(GrowthLog::readNumber("7", &v) && qFuzzyCompare(v, 7.0));
    QVERIFY(!GrowthLog::readNumber("", &v));
    QVERIFY(!GrowthLog::readNumber("ten", &v));
    QVERIFY(!GrowthLog::readNumber("-3", &v));
    QVERIFY(!GrowthLog::readNumber("24 in", &v));
}

void DiaryRulesTest::chartPlacesReadableRecordsByAgeInDateOrder() {
    const QDate today(2026, 12, 8);
    const QDate birth(2024, 1, 1);
    const QVector<GrowthType> records{
        {"07-01-24", "26", "16", "8"},                        // about 6 months
        {"01-01-24", "20", "7", "4"},                         // birth day
        {"  -  -  ", "21", "8", ""},                          // no date: left out
        {"12-25-23", "19", "7", "0"},                         // before the birth: left out
        {"01-01-25", "30", "", ""},                           // no weight: height only
        {"04-01-24", "abc", "12", ""},                        // height unreadable: weight only
        {"07-01-24", "27", "17", "0"},                        // same date as the first: after it
        {"01-01-26", "86", "", "", "48.5", "12.2", "metric"}, // typed in centimetres and kilograms
    };
    const GrowthPlot::Plot c = GrowthPlot::make(records, birth, GrowthPlot::Sex::Girl, 0, today);
    QVERIFY(c.birthKnown);
    QCOMPARE(c.height.size(), 5);
    QCOMPARE(c.height[0].age, 0.0);
    QCOMPARE(c.height[0].value, 20 * 2.54);
    QCOMPARE(c.height[1].value, 26 * 2.54);
    QCOMPARE(c.height[2].value, 27 * 2.54);
    QVERIFY(qAbs(c.height[3].age - 1.0) < 0.003); // a true age in years
    QCOMPARE(c.height[4].value, 86.0);
    QCOMPARE(c.weight.size(), 5);
    QVERIFY(qAbs(c.weight[0].value - 7.25 * 0.45359237) < 1e-9); // pounds and ounces as one weight
    QVERIFY(qAbs(c.weight[1].age - 0.25) < 0.003);
    QCOMPARE(c.weight[4].value, 12.2);
    QCOMPARE(c.head.size(), 1);
    QCOMPARE(c.head[0].value, 48.5);
    QVERIFY(qAbs(c.maxAge - 2.0) < 0.003);
    // The centile of each point from the birth day on, the WHO's before 2 years.
    QVERIFY(c.height[0].reading.known);
    QVERIFY(c.height[1].reading.known);
    QCOMPARE(c.height[1].reading.source, QStringLiteral("WHO"));
    // Left out: what is on no chart, and the chart a value typed that cannot be read is missing
    // from; a weigh-in without a length is simply on the weight chart.
    QCOMPARE(c.leftOut.size(), 3);
    QVERIFY(c.leftOut.filter("date cannot be read").size() == 1);
    QVERIFY(c.leftOut.filter("before the birth").size() == 1);
    QVERIFY(c.leftOut.filter("not on the length/height chart: the height cannot be read").size() == 1);
    // The BMI from 2 years, of the height and weight of the same day.
    QCOMPARE(c.bmi.size(), 1);
    QVERIFY(qAbs(c.bmi[0].value - 12.2 / (0.86 * 0.86)) < 1e-9);
    QCOMPARE(c.bmi[0].reading.source, QStringLiteral("CDC"));
    for (int i = 1; i < c.height.size(); ++i)
        QVERIFY(c.height[i - 1].age <= c.height[i].age);

    // The birth measurements of the child's information are each chart's first point, with a centile
    // from the birth day: a girl of the WHO's birth medians (49.1 cm, 3.2322 kg) is on the 50th.
    ChildProfile born;
    born.birthUnits = "metric";
    born.birthLengthCm = "49.15";
    born.birthWeightKg = "3.2322";
    born.birthHead = "33.9";
    const GrowthPlot::Plot withBirth =
        GrowthPlot::make(records, birth, GrowthPlot::Sex::Girl, 0, today,
                         GrowthReference::Choice::Who2ThenCdc, GrowthPlot::birthRecord(born));
    QCOMPARE(withBirth.weight.size(), 6);
    QVERIFY(withBirth.weight[0].atBirth && !withBirth.weight[1].atBirth);
    QCOMPARE(withBirth.weight[0].value, 3.2322);
    QCOMPARE(GrowthReference::centileText(withBirth.weight[0].reading.z), QStringLiteral("50th"));
    QCOMPARE(GrowthReference::centileText(withBirth.height[0].reading.z), QStringLiteral("50th"));
    QCOMPARE(withBirth.head.size(), 2);
    QCOMPARE(withBirth.head[0].age, 0.0);
    // A length measured standing before 2 years is read as the 0.7 cm longer length lying down.
    const GrowthPlot::Plot standing = GrowthPlot::make(
        {{"07-01-24", "26", "16", "8", "", "", "", "standing"}}, birth, GrowthPlot::Sex::Girl, 0, today);
    QCOMPARE(standing.height[0].reading.adjusted, GrowthReference::kLyingOverStanding);
    // Typed in inches, pounds and ounces, they are read as such.
    ChildProfile imperial;
    imperial.birthHeight = "20";
    imperial.birthPounds = "7";
    imperial.birthOunces = "8";
    const GrowthPlot::Plot inches =
        GrowthPlot::make({}, birth, GrowthPlot::Sex::Boy, 0, today, GrowthReference::Choice::Who2ThenCdc,
                         GrowthPlot::birthRecord(imperial));
    QCOMPARE(inches.height[0].value, 20 * 2.54);
    QVERIFY(qAbs(inches.weight[0].value - 7.5 * 0.45359237) < 1e-9);
    // Born at 34 weeks, the birth is six weeks before the due date: no centile applies there yet.
    const GrowthPlot::Plot preterm =
        GrowthPlot::make({}, birth, GrowthPlot::Sex::Boy, 34, today, GrowthReference::Choice::Who2ThenCdc,
                         GrowthPlot::birthRecord(imperial));
    QVERIFY(preterm.weight.isEmpty());
    QVERIFY(preterm.leftOut.filter("At birth").filter("before the due date").size() == 1);

    // Born at 32 weeks: until 2 years the age is corrected by the eight weeks short of 40.
    const GrowthPlot::Plot early = GrowthPlot::make(
        {{"03-01-24", "20", "8", ""}, {"01-15-26", "33", "26", ""}}, birth, GrowthPlot::Sex::Boy, 32, today);
    QVERIFY(early.corrected);
    QVERIFY(qAbs(early.weight[0].age - (birth.daysTo(QDate(2024, 3, 1)) - 56) / 365.25) < 1e-9);
    QVERIFY(qAbs(early.weight[1].age - birth.daysTo(QDate(2026, 1, 15)) / 365.25) < 1e-9);
    QCOMPARE(GrowthPlot::readGestation(" 32 "), 32);
    QCOMPARE(GrowthPlot::readGestation("3"), 0);
    QCOMPARE(GrowthPlot::readGestation("many"), 0);
}

void DiaryRulesTest::chartWithoutABirthDateDrawsNothing() {
    const QVector<GrowthType> records{{"07-01-24", "26", "16", "8"}, {"xx", "1", "2", "3"}};
    const GrowthPlot::Plot c =
        GrowthPlot::make(records, QDate(), GrowthPlot::Sex::Girl, 0, QDate(2026, 12, 8));
    QVERIFY(!c.birthKnown);
    QVERIFY(c.height.isEmpty() && c.weight.isEmpty());
    QCOMPARE(c.leftOut.size(), 1);
}

void DiaryRulesTest::centilesMatchThePublishedStandards() {
    using namespace GrowthReference;
    // The references' own published 3rd, 50th and 97th centile columns (the CDC's BMI: 3rd, 50th
    // and 95th) read back as those centiles, at ages from two weeks to 16 years, both sexes.
    struct Row {
        Sex sex;
        Measure measure;
        Choice choice;
        double age, low, median, high;
        int top;
    };
    const Row rows[] = {
        {Sex::Girl, Measure::Weight, Choice::Who5ThenCdc, 0.0383, 2.7019, 3.5693, 4.6367, 97},
        {Sex::Girl, Measure::Weight, Choice::Who5ThenCdc, 0.5, 5.8119, 7.297, 9.1982, 97},
        {Sex::Girl, Measure::Weight, Choice::Who5ThenCdc, 1.5, 8.1723, 10.2315, 12.9922, 97},
        {Sex::Girl, Measure::Height, Choice::Who5ThenCdc, 0.0383, 47.9331, 51.512, 55.0909, 97},
        {Sex::Girl, Measure::Height, Choice::Who5ThenCdc, 0.5, 61.4684, 65.7311, 69.9938, 97},
        {Sex::Girl, Measure::Height, Choice::Who5ThenCdc, 1.5, 75.2463, 80.7079, 86.1695, 97},
        {Sex::Girl, Measure::Head, Choice::Who5ThenCdc, 0.0383, 33.0732, 35.2272, 37.3812, 97},
        {Sex::Girl, Measure::Head, Choice::Who5ThenCdc, 0.5, 39.7494, 42.1995, 44.6496, 97},
        {Sex::Girl, Measure::Head, Choice::Who5ThenCdc, 1.5, 43.6445, 46.2424, 48.8403, 97},
        {Sex::Boy, Measure::Weight, Choice::Who5ThenCdc, 0.0383, 2.849, 3.7529, 4.8539, 97},
        {Sex::Boy, Measure::Weight, Choice::Who5ThenCdc, 0.5, 6.4388, 7.934, 9.7243, 97},
        {Sex::Boy, Measure::Weight, Choice::Who5ThenCdc, 1.5, 8.8702, 10.9385, 13.4766, 97},
        {Sex::Boy, Measure::Height, Choice::Who5ThenCdc, 0.0383, 48.7506, 52.3461, 55.9416, 97},
        {Sex::Boy, Measure::Height, Choice::Who5ThenCdc, 0.5, 63.5981, 67.6236, 71.6491, 97},
        {Sex::Boy, Measure::Height, Choice::Who5ThenCdc, 1.5, 77.1857, 82.2587, 87.3317, 97},
        {Sex::Boy, Measure::Head, Choice::Who5ThenCdc, 0.0383, 33.6672, 35.8649, 38.0626, 97},
        {Sex::Boy, Measure::Head, Choice::Who5ThenCdc, 0.5, 41.0349, 43.3306, 45.6263, 97},
        {Sex::Boy, Measure::Head, Choice::Who5ThenCdc, 1.5, 44.8764, 47.3711, 49.8658, 97},
        {Sex::Girl, Measure::Weight, Choice::Who5ThenCdc, 3.5, 11.7576, 14.9727, 19.4686, 97},
        {Sex::Girl, Measure::Height, Choice::Who5ThenCdc, 3.5, 91.3979, 99.0448, 106.6917, 97},
        {Sex::Girl, Measure::Head, Choice::Who5ThenCdc, 3.5, 46.2978, 48.9629, 51.628, 97},
        {Sex::Boy, Measure::Weight, Choice::Who5ThenCdc, 3.5, 12.1802, 15.3486, 19.4386, 97},
        {Sex::Boy, Measure::Height, Choice::Who5ThenCdc, 3.5, 92.3939, 99.8515, 107.3091, 97},
        {Sex::Boy, Measure::Head, Choice::Who5ThenCdc, 3.5, 47.1608, 49.8745, 52.5882, 97},
        {Sex::Girl, Measure::Bmi, Choice::Who5ThenCdc, 3, 13.2043, 15.3968, 18.2194, 97},
        {Sex::Boy, Measure::Bmi, Choice::Who5ThenCdc, 3, 13.4823, 15.5988, 18.1727, 97},
        {Sex::Girl, Measure::Weight, Choice::Who2ThenCdc, 2.4583, 10.6311, 12.8952, 16.2849, 97},
        {Sex::Girl, Measure::Height, Choice::Who2ThenCdc, 2.4583, 82.5971, 89.5848, 96.6451, 97},
        {Sex::Girl, Measure::Bmi, Choice::Who2ThenCdc, 2.458333333, 13.9872, 16.0643, 18.6447, 95},
        {Sex::Boy, Measure::Weight, Choice::Who2ThenCdc, 2.4583, 11.0147, 13.4252, 16.6151, 97},
        {Sex::Boy, Measure::Height, Choice::Who2ThenCdc, 2.4583, 83.8382, 90.6291, 97.8035, 97},
        {Sex::Boy, Measure::Bmi, Choice::Who2ThenCdc, 2.458333333, 14.3348, 16.2958, 18.7595, 95},
        {Sex::Girl, Measure::Weight, Choice::Who5ThenCdc, 7.9583, 19.3868, 25.4988, 38.0721, 97},
        {Sex::Girl, Measure::Weight, Choice::Who5ThenCdc, 16.0417, 41.8273, 53.9454, 84.3666, 97},
        {Sex::Girl, Measure::Height, Choice::Who5ThenCdc, 7.9583, 116.8555, 127.3522, 138.8877, 97},
        {Sex::Girl, Measure::Height, Choice::Who5ThenCdc, 16.0417, 150.4209, 162.569, 174.7708, 97},
        {Sex::Girl, Measure::Bmi, Choice::Who5ThenCdc, 8.041666667, 13.2997, 15.827, 20.6953, 95},
        {Sex::Girl, Measure::Bmi, Choice::Who5ThenCdc, 15.95833333, 16.3747, 20.4122, 28.847, 95},
        {Sex::Boy, Measure::Weight, Choice::Who5ThenCdc, 7.9583, 19.9559, 25.5261, 36.9834, 97},
        {Sex::Boy, Measure::Weight, Choice::Who5ThenCdc, 16.0417, 45.793, 61.0954, 88.9532, 97},
        {Sex::Boy, Measure::Height, Choice::Who5ThenCdc, 7.9583, 117.0586, 127.632, 138.6907, 97},
        {Sex::Boy, Measure::Height, Choice::Who5ThenCdc, 16.0417, 158.8449, 173.6101, 187.0941, 97},
        {Sex::Boy, Measure::Bmi, Choice::Who5ThenCdc, 8.041666667, 13.586, 15.7823, 20.0679, 95},
        {Sex::Boy, Measure::Bmi, Choice::Who5ThenCdc, 15.95833333, 16.7235, 20.4997, 27.5051, 95},
    };
    for (const Row& r : rows) {
        const QString where = QStringLiteral("%1 %2 at %3").arg(int(r.sex)).arg(int(r.measure)).arg(r.age);
        const QString source = r.age >= switchAge(r.choice) && r.measure != Measure::Head ? "CDC" : "WHO";
        const double zTop = zOfCentile(r.top);
        const double values[3][2] = {{r.low, zOfCentile(3)}, {r.median, 0}, {r.high, zTop}};
        for (const auto& v : values) {
            const Reading got = read(r.sex, r.measure, r.age, v[0], r.choice);
            QVERIFY2(got.known && got.source == source, qPrintable(where));
            QVERIFY2(qAbs(got.z - v[1]) < 0.015, qPrintable(where + QStringLiteral(": z %1").arg(got.z)));
        }
        QCOMPARE(centileText(read(r.sex, r.measure, r.age, r.low, r.choice).z), QStringLiteral("3rd"));
        QCOMPARE(centileText(read(r.sex, r.measure, r.age, r.median, r.choice).z), QStringLiteral("50th"));
        QCOMPARE(centileText(read(r.sex, r.measure, r.age, r.high, r.choice).z),
                 QString::number(r.top) + "th");
    }
    // From the day of birth: a girl of the WHO's birth median (3.2322 kg) is on the 50th.
    QCOMPARE(centileText(read(Sex::Girl, Measure::Weight, 0, 3.2322).z), QStringLiteral("50th"));
    // Centiles are the whole number of the share below z, not of z rounded: the 75th line reads 75th.
    QCOMPARE(centileText(zOfCentile(75)), QStringLiteral("75th"));
    QCOMPARE(centileText(zOfCentile(25)), QStringLiteral("25th"));
    QCOMPARE(centileText(-2.7), QStringLiteral("<0.4th"));
    QCOMPARE(centileText(2.7), QStringLiteral(">99.6th"));
    QCOMPARE(sdsText(1.26), QStringLiteral("SDS +1.3"));
    QCOMPARE(sdsText(-0.04), QStringLiteral("SDS 0.0"));
    // Beyond 3 SDS the WHO's weight reads on the 2-to-3 SDS distance: half of it past the 3 SDS value
    // is 3.5 SDS (plain LMS would read less, the weight's distribution being skewed).
    const double at3 = valueAt(Sex::Girl, Measure::Weight, 0.5, 3),
                 at2 = valueAt(Sex::Girl, Measure::Weight, 0.5, 2);
    QVERIFY(qAbs(read(Sex::Girl, Measure::Weight, 0.5, at3 + (at3 - at2) / 2).z - 3.5) < 1e-9);
    const double below =
        valueAt(Sex::Girl, Measure::Weight, 0.5, -3) -
        (valueAt(Sex::Girl, Measure::Weight, 0.5, -2) - valueAt(Sex::Girl, Measure::Weight, 0.5, -3));
    QVERIFY(qAbs(read(Sex::Girl, Measure::Weight, 0.5, below).z + 4) < 1e-9);
    // The change of reference: at 3 years the CDC by default, the WHO when chosen to 5 years.
    QCOMPARE(read(Sex::Boy, Measure::Weight, 3, 14).source, QStringLiteral("CDC"));
    QCOMPARE(read(Sex::Boy, Measure::Weight, 3, 14, Choice::Who5ThenCdc).source, QStringLiteral("WHO"));
    QCOMPARE(read(Sex::Boy, Measure::Weight, 1.99, 12).source, QStringLiteral("WHO"));
    QCOMPARE(changeAge(Sex::Boy, Measure::Weight, Choice::Who2ThenCdc), 2.0);
    QCOMPARE(changeAge(Sex::Boy, Measure::Weight, Choice::Who5ThenCdc), 5.0);
    QCOMPARE(changeAge(Sex::Boy, Measure::Head, Choice::Who2ThenCdc), -1.0);
    QCOMPARE(changeAge(Sex::Boy, Measure::Bmi, Choice::Who2ThenCdc), -1.0); // the CDC's from its start
    QCOMPARE(breaks(Sex::Girl, Measure::Height, Choice::Who5ThenCdc), (QList<double>{2.0, 5.0}));
    QCOMPARE(firstAge(Sex::Girl, Measure::Bmi), 2.0);
    // Lying or standing: a length measured standing before 2 years reads 0.7 cm longer, a height
    // measured lying from 2 years 0.7 cm shorter; measured as the reference expects, as it is.
    const double lying = read(Sex::Boy, Measure::Height, 1.5, 82, Choice::Who2ThenCdc, Position::Lying).z;
    const Reading standing =
        read(Sex::Boy, Measure::Height, 1.5, 81.3, Choice::Who2ThenCdc, Position::Standing);
    QCOMPARE(standing.adjusted, kLyingOverStanding);
    QVERIFY(qAbs(standing.z - lying) < 1e-9);
    const Reading tall = read(Sex::Boy, Measure::Height, 3, 96.7, Choice::Who5ThenCdc, Position::Lying);
    QCOMPARE(tall.adjusted, -kLyingOverStanding);
    QVERIFY(qAbs(tall.z - read(Sex::Boy, Measure::Height, 3, 96, Choice::Who5ThenCdc).z) < 1e-9);
    // A head only to 5 years; nothing without a sex or past 20 years.
    QVERIFY(!read(Sex::Boy, Measure::Head, 6, 52).known);
    QVERIFY(!read(Sex::Unknown, Measure::Weight, 0.5, 7.3).known);
    QVERIFY(!read(Sex::Girl, Measure::Weight, 21, 60).known);
    QCOMPARE(sexOf(" Girl"), Sex::Girl);
    QCOMPARE(sexOf("Boy"), Sex::Boy);
    QCOMPARE(sexOf(""), Sex::Unknown);
}

void DiaryRulesTest::unitsConvertForShowingOnly() {
    using GrowthUnits::System;
    const GrowthType imperial{"03-15-97", "24", "12", "5"};
    const GrowthType metric{"03-15-97", "65.5", "", "", "42", "7.3", "metric"};
    // An imperial record keeps its spaced line; shown in metric it is converted.
    QCOMPARE(GrowthLog::line(imperial),
             QStringLiteral("03-15-97") + QString(10, ' ') + "24 in" + QString(12, ' ') + "12 lbs  5 oz");
    QCOMPARE(GrowthLog::line(imperial, true),
             QStringLiteral("03-15-97") + QString(10, ' ') + "61 cm" + QString(12, ' ') + "5.58 kg");
    QCOMPARE(GrowthLog::line(metric, true), QStringLiteral("03-15-97") + QString(10, ' ') + "65.5 cm" +
                                                QString(12, ' ') + "7.3 kg   head 42 cm");
    QCOMPARE(GrowthLog::line(metric), QStringLiteral("03-15-97") + QString(10, ' ') + "25.8 in" +
                                          QString(12, ' ') + "16 lbs 2 oz   head 16.5 in");
    QCOMPARE(GrowthUnits::weightText(7.3, System::Metric) + " (" +
                 GrowthUnits::weightText(7.3, System::Imperial) + ")",
             QStringLiteral("7.3 kg (16 lbs 2 oz)"));

    // The preference is kept in the store; switching it back and forth changes no stored value.
    Entries().appendGrowth(std::make_shared<GrowthType>(imperial));
    Entries().appendGrowth(std::make_shared<GrowthType>(metric));
    auto stored = [] {
        QStringList rows;
        QSqlQuery q =
            Database::exec("SELECT Date, Height, WtLbs, WtOz, Head, WtKg, Units FROM GROWTH ORDER BY seq");
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < 7; ++i)
                row << q.value(i).toString();
            rows << row.join('|');
        }
        return rows;
    };
    const QStringList before = stored();
    QCOMPARE(before, (QStringList{"03-15-97|24|12|5|||", "03-15-97|65.5|||42|7.3|metric"}));
    QCOMPARE(GrowthUnits::preferred(), System::Imperial);
    for (System s : {System::Metric, System::Imperial, System::Metric}) {
        GrowthUnits::setPreferred(s);
        QCOMPARE(GrowthUnits::preferred(), s);
    }
    Entries().release();
    m_store->reopen();
    QCOMPARE(GrowthUnits::preferred(), System::Metric);
    QCOMPARE(stored(), before);
    Entries().freshStart("Ann");
    QCOMPARE(Entries().growthAt(1)->Units, QStringLiteral("metric"));
    QCOMPARE(Entries().growthAt(1)->Head, QStringLiteral("42"));
}

void DiaryRulesTest::sheetsAreReadPerChildWithBlankDefaults() {
    const auto blank = DiarySheets::readPrenatalDates("Ann");
    QCOMPARE(blank.dates.size(), 17);
    QCOMPARE(blank.names.size(), 8);
    QCOMPARE(blank.dates[0], QStringLiteral("  /  /  "));
    ChildRecords::setSheetValue("Ann", DiarySheets::PrenatalDates, "D2", "10/01/96");
    ChildRecords::setSheetValue("Ann", DiarySheets::PrenatalDates, "O8", "Grandma visits");
    ChildRecords::setSheetValue("Ann", DiarySheets::PrenatalDates, "D17", "11/11/96");
    const auto ann = DiarySheets::readPrenatalDates("Ann");
    QCOMPARE(ann.dates[1], QStringLiteral("10/01/96"));
    QCOMPARE(ann.names[7], QStringLiteral("Grandma visits"));
    QCOMPARE(ann.dates[16], QStringLiteral("11/11/96"));
    QCOMPARE(DiarySheets::readPrenatalDates("Ben").dates[1], QStringLiteral("  /  /  "));

    ChildRecords::setSheetValue("Ben", DiarySheets::Pediatrician, "DocName", "Dr. Lee");
    QCOMPARE(DiarySheets::readPediatrician("Ben").name, QStringLiteral("Dr. Lee"));
    QCOMPARE(DiarySheets::readPediatrician("Ann").name, QString());

    ChildRecords::setSheetValue("Ann", DiarySheets::Immunizations, "MaskEdit1", "06-01-98");
    ChildRecords::setSheetValue("Ann", DiarySheets::Immunizations, "Edit2", "Chickenpox");
    ChildRecords::setSheetValue("Ann", DiarySheets::Immunizations, "MaskEdit22", "07-01-98");
    const auto rows = DiarySheets::readImmunizations("Ann");
    QCOMPARE(rows.size(), 24);
    QCOMPARE(rows[0].caption, QStringLiteral("HB (Birth)"));
    QCOMPARE(rows[0].date, QStringLiteral("  -  -  "));
    QCOMPARE(rows[16].caption, QStringLiteral("HIB (12 Months)"));
    QCOMPARE(rows[16].date, QStringLiteral("06-01-98"));
    QCOMPARE(rows[21].caption, QStringLiteral("Chickenpox"));
    QCOMPARE(rows[21].date, QStringLiteral("07-01-98"));
    QCOMPARE(rows[20].caption, QString());
}

QTEST_GUILESS_MAIN(DiaryRulesTest)
#include "tst_diaryrules.moc"
