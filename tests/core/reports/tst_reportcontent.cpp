// What the reports say, without pages: the announcement's ten texts, the chooser's categories and the
// contents each registered report gathers from the store.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/diaries/DiarySheets.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/reports/AnnouncementTexts.h"
#include "core/reports/ReportCatalog.h"
#include "core/reports/ReportRegistry.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"
#include "support/TempStore.h"

#include <QFile>
#include <QTest>

class ReportContentTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void announcementJoinsFieldsWithoutTrimming();
    void announcementOfChildWithoutRowShowsOnlyTheName();
    void categoriesListSortedNamesAndDefaults();
    void itemizedReportListsEveryChildField();
    void diaryReportsFollowTheirOwnList();
    void familyTreeGrowthAndVocabulary();
    void babyNamesListBothTables();
    void unknownNamesHaveNoReport();
    void everyCatalogueNameHasAReport();
    void immunizationsKeepReadingOrderAndNamedRows();
    void birthdayReportsReadTheirOwnBirthday();
    void picturesBlockLeavesOutMissingPictures();

private:
    std::unique_ptr<TempStore> m_store;
};

void ReportContentTest::init() {
    m_store = std::make_unique<TempStore>();
    TempStore::addChild(QStringLiteral("Ann"), QString(), QStringLiteral("Lee"));
    Entries().freshStart(QStringLiteral("Ann"));
}

void ReportContentTest::cleanup() {
    Entries().release();
    m_store.reset();
}

void ReportContentTest::announcementJoinsFieldsWithoutTrimming() {
    QHash<QString, QString> f{{"FirstName", "Ann"},     {"MiddleName", "Marie"}, {"LastName", "Lee"},
                              {"BirthDay", "Monday"},   {"BDayMonth", "3"},      {"BDateDay", "15"},
                              {"BDayYear", "1997"},     {"BTimeHr", "10"},       {"BTimeMin", "05"},
                              {"BTimeAmPm", "a.m."},    {"BirthHt", "21"},       {"BirthWeightLb", "7"},
                              {"BirthWeightOz", "4"},   {"Hair", "Brown"},       {"Eyes", "Blue"},
                              {"Hospital", "St. Luke"}, {"BirthCity", "Boise"},  {"BirthState", "ID"}};
    const QStringList full = AnnouncementTexts::fromFields(f).lines();
    QCOMPARE(full, (QStringList{"Announcing the Arrival of Ann Marie Lee", "Monday, 3/15/1997", "10:05 a.m.",
                                "21 inches", "7 lbs 4 oz", "Brown", "Blue", "St. Luke", "Boise", "ID"}));

    // Values keep their own blanks; empty middle name and empty times leave the bare separators.
    f["MiddleName"] = QString();
    f["BTimeHr"] = QString();
    f["BTimeMin"] = QString();
    f["BTimeAmPm"] = QString();
    f["Hair"] = QStringLiteral(" red ");
    const AnnouncementTexts t = AnnouncementTexts::fromFields(f);
    QCOMPARE(t.Announcing, QStringLiteral("Announcing the Arrival of Ann  Lee"));
    QCOMPARE(t.ArrivalTime, QStringLiteral(": "));
    QCOMPARE(t.Hair, QStringLiteral(" red "));

    // In a metric family's book the birth measurements read in centimetres and kilograms, the typed
    // inches and pounds in brackets; typed in centimetres and kilograms they read so in either.
    const AnnouncementTexts metric = AnnouncementTexts::fromFields(f, GrowthUnits::System::Metric);
    QCOMPARE(metric.Height + " / " + metric.Weight, QStringLiteral("53.3 cm (21 in) / 3.29 kg (7 lbs 4 oz)"));
    QHash<QString, QString> typedMetric{
        {"BirthUnits", "metric"}, {"BirthLengthCm", "51.5"}, {"BirthWeightKg", "3.45"}, {"BirthHt", "99"}};
    const AnnouncementTexts both = AnnouncementTexts::fromFields(typedMetric);
    QCOMPARE(both.Height + " / " + both.Weight, QStringLiteral("20.3 in (51.5 cm) / 7 lbs 10 oz (3.45 kg)"));

    // Every birth field empty: the name and the separators only.
    const QStringList bare = AnnouncementTexts::fromFields({{"FirstName", "Bo"}}).lines();
    QCOMPARE(bare, (QStringList{"Announcing the Arrival of Bo  ", ", //", ": ", " inches", " lbs  oz", "", "",
                                "", "", ""}));
}

void ReportContentTest::announcementOfChildWithoutRowShowsOnlyTheName() {
    // Another child's full row exists, sorted after the missing name: it must not be used.
    Database::exec(
        QStringLiteral("INSERT INTO CHILD (FirstName, LastName, Hair, BirthCity) VALUES ('Zed', 'Other', "
                       "'Black', 'Reno')"));
    const AnnouncementTexts t = AnnouncementTexts::forChild(QStringLiteral("Mia"));
    QCOMPARE(t.Announcing, QStringLiteral("Announcing the Arrival of Mia  "));
    QCOMPARE(t.Hair, QString());
    QCOMPARE(t.City, QString());
    QCOMPARE(AnnouncementTexts::forChild(QStringLiteral("Zed")).City, QStringLiteral("Reno"));
    // The key is matched exactly, with case.
    QCOMPARE(AnnouncementTexts::forChild(QStringLiteral("zed")).City, QString());
}

void ReportContentTest::categoriesListSortedNamesAndDefaults() {
    QCOMPARE(ReportCatalog::categories().size(), 8);
    const ReportCategory* health = ReportCatalog::find(QStringLiteral("Health Reports"));
    QVERIFY(health);
    QCOMPARE(ReportCatalog::sortedForList(health->names),
             (QStringList{"Childhood Diseases", "Doctor Visits", "Growth Log", "Immunizations",
                          "Pediatrician Information"}));
    QCOMPARE(health->defaultText, QStringLiteral("Childhood Diseases"));
    const QStringList birthdays =
        ReportCatalog::sortedForList(ReportCatalog::find("Birthday Reports")->names);
    QCOMPARE(birthdays.size(), 17);
    QCOMPARE(birthdays.mid(0, 8),
             (QStringList{"10th", "11th", "12th", "13th", "14th", "15th", "16th", "1st"}));
    QCOMPARE(birthdays.last(), QStringLiteral("Birth"));
    QCOMPARE(ReportCatalog::find("Prenatal Reports")->defaultText, QStringLiteral("Baby Names"));
    QCOMPARE(ReportCatalog::find("Holiday Reports")->names, QStringList());
    QCOMPARE(ReportCatalog::find("Holiday Reports")->defaultText, QStringLiteral("Empty"));
    QCOMPARE(ReportCatalog::sortedForList({"beta", "Alpha", "alpha", "Gamma"}),
             (QStringList{"Alpha", "alpha", "beta", "Gamma"}));
    QVERIFY(!ReportCatalog::find(QStringLiteral("prenatal reports")));
}

void ReportContentTest::itemizedReportListsEveryChildField() {
    Database::exec(
        QStringLiteral("UPDATE CHILD SET H7 = 'Line one\nline two', Pediatrician = 'Dr. Who', "
                       "BirthDay = 'Monday', BDayMonth = '3', BDateDay = '15', BDayYear = '1997', "
                       "BTimeHr = '10', BTimeMin = '05', BTimeAmPm = 'a.m.' WHERE FirstName = 'Ann'"));
    auto build = [] {
        const ReportDocument doc =
            ReportRegistry::build(QStringLiteral("Itemized Child Report"), QStringLiteral("Ann"));
        QVector<QPair<QString, QString>> rows;
        QStringList headings;
        for (const ReportBlock& b : doc.blocks) {
            if (b.kind == ReportBlock::Kind::Section)
                headings << b.title;
            rows += b.fields;
        }
        return std::make_tuple(doc, headings, rows);
    };
    auto [doc, headings, rows] = build();
    QCOMPARE(doc.title, QStringLiteral("Itemized Child Report"));
    QCOMPARE(doc.child, QStringLiteral("Ann"));
    QCOMPARE(headings,
             (QStringList{"Names", "Birth", "Place of Birth", "First Home", "Headlines of the Day"}));
    // The birth date and time each on one row; only the headline that was written.
    QVERIFY(rows.contains(qMakePair(QStringLiteral("Birth Date"), QStringLiteral("Monday, 3/15/1997"))));
    QVERIFY(rows.contains(qMakePair(QStringLiteral("Birth Time"), QStringLiteral("10:05 a.m."))));
    // Every other field once, and no caption twice: the seven date and time boxes make two rows, and
    // six of the seven headlines are empty.
    QCOMPARE(rows.size(), Schema::child().fields.size() - 7 + 2 - 6);
    QSet<QString> captions;
    for (const auto& r : rows)
        captions << r.first;
    QCOMPARE(captions.size(), rows.size());
    QCOMPARE(rows.first(), qMakePair(QStringLiteral("First Name"), QStringLiteral("Ann")));
    QVERIFY(rows.contains(qMakePair(QStringLiteral("Last Name"), QStringLiteral("Lee"))));
    QVERIFY(rows.contains(qMakePair(QStringLiteral("Pediatrician"), QStringLiteral("Dr. Who"))));
    QVERIFY(rows.contains(qMakePair(QStringLiteral("Headline 7"), QStringLiteral("Line one\nline two"))));
    QVERIFY(!captions.contains(QStringLiteral("Headline 1")));

    // The pediatrician on the doctor form's card is the one shown; without headlines their heading goes.
    ChildRecords::setSheet("Ann", DiarySheets::Pediatrician, {{"DocName", "Dr. Ruth Kay"}});
    Database::exec(QStringLiteral("UPDATE CHILD SET H7 = '', BTimeHr = '' WHERE FirstName = 'Ann'"));
    auto [doc2, headings2, rows2] = build();
    QVERIFY(rows2.contains(qMakePair(QStringLiteral("Pediatrician"), QStringLiteral("Dr. Ruth Kay"))));
    QVERIFY(rows2.contains(qMakePair(QStringLiteral("Birth Time"), QString())));
    QVERIFY(!headings2.contains(QStringLiteral("Headlines of the Day")));
}

void ReportContentTest::diaryReportsFollowTheirOwnList() {
    const struct {
        const char* name;
        DiaryList list;
    } reports[] = {{"Prenatal Diary", DiaryList::PrenatalDiary},
                   {"Prenatal Medical Diary", DiaryList::PrenatalMedicalDiary},
                   {"Doctor Visits", DiaryList::DoctorVisits},
                   {"Childhood Diseases", DiaryList::ChildhoodDiseases},
                   {"Journal", DiaryList::JournalEntries},
                   {"Words - Record", DiaryList::WordEntries}};
    for (const auto& r : reports) {
        const QString name = QString::fromLatin1(r.name);
        ReportDocument empty = ReportRegistry::build(name, "Ann");
        QCOMPARE(empty.blocks.size(), 1);
        QCOMPARE(empty.blocks[0].kind, ReportBlock::Kind::Note);
        Entries().append(
            r.list, std::make_shared<DiaryType>(DiaryType{"01-02-03", name + " title", "text of " + name}));
    }
    for (const auto& r : reports) {
        const QString name = QString::fromLatin1(r.name);
        const ReportDocument doc = ReportRegistry::build(name, "Ann");
        QCOMPARE(doc.title, name);
        QCOMPARE(doc.blocks.size(), 1); // only its own list's entry
        QCOMPARE(doc.blocks[0].kind, ReportBlock::Kind::Entry);
        QCOMPARE(doc.blocks[0].title, name + " title");
        QCOMPARE(doc.blocks[0].text, "text of " + name);
        QCOMPARE(doc.blocks[0].date, QStringLiteral("01-02-03"));
    }
    // The Entry store holds the active child only: another child's report shows none of Ann's entries.
    QCOMPARE(ReportRegistry::build("Journal", "Bea").blocks[0].kind, ReportBlock::Kind::Note);
}

void ReportContentTest::familyTreeGrowthAndVocabulary() {
    Entries().setFamilyMember(1, {"Jane", "02-03-70", "Ohio"});
    Entries().setFamilyMember(14, {"Old Tom", EntryStore::EmptyDate, ""});
    Entries().setFamilyMember(2, {"Bob", "  -  -  ", "Reno"}); // a date box left blank
    const ReportDocument tree = ReportRegistry::build("Family Tree", "Ann");
    QCOMPARE(tree.blocks[0].kind, ReportBlock::Kind::FamilyTree);
    QCOMPARE(tree.blocks[0].names.size(), 15);
    QCOMPARE(tree.blocks[0].names[0], QStringLiteral("Ann"));
    QCOMPARE(tree.blocks[0].names[1], QStringLiteral("Jane"));
    QCOMPARE(tree.blocks[0].names[14], QStringLiteral("Old Tom"));
    const auto& rows = tree.blocks.last().rows;
    QCOMPARE(rows.size(), 14);
    QCOMPARE(rows[0], (QStringList{"Mother", "Jane", "02-03-70", "Ohio"}));
    QCOMPARE(rows[1], (QStringList{"Father", "Bob", "", "Reno"}));
    QCOMPARE(rows[13], (QStringList{"Paternal Great Grandfather (Grandfather's father)", "Old Tom", "",
                                    ""})); // no "__-__-__" printed

    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"01-01-98", "24", "12", "3"}));
    const ReportDocument growth = ReportRegistry::build("Growth Log", "Ann");
    QCOMPARE(growth.blocks[0].rows, (QVector<QStringList>{{"01-01-98", "24 inches", "12 lbs. 3 oz."}}));
    // The charts place each readable value at the child's age on its date; a record typed in
    // centimetres and kilograms is shown in the chosen units, with a head column once one is given.
    Database::exec("UPDATE CHILD SET BDayMonth = '1', BDateDay = '1', BDayYear = '1998', Sex = 'Girl' "
                   "WHERE FirstName = 'Ann'");
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"02-01-98", "25,5", "13", ""}));
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"03-01-98", "tall", "x", "2"}));
    Entries().appendGrowth(
        std::make_shared<GrowthType>(GrowthType{"07-01-98", "66", "", "", "42.5", "7.3", "metric"}));
    const ReportDocument charted = ReportRegistry::build("Growth Log", "Ann");
    QCOMPARE(charted.blocks[0].columns, (QStringList{"Date", "Height", "Weight", "Head"}));
    QCOMPARE(charted.blocks[0].rows.last(), (QStringList{"07-01-98", "26 in", "16 lbs 2 oz", "16.7 in"}));
    QVector<GrowthReference::Measure> charts;
    for (const ReportBlock& b : charted.blocks)
        if (b.kind == ReportBlock::Kind::Chart) {
            charts << b.measure;
            QVERIFY(!b.metric);
            QCOMPARE(b.growth->sex, GrowthReference::Sex::Girl);
        }
    QCOMPARE(charts, (QVector<GrowthReference::Measure>{GrowthReference::Measure::Weight,
                                                        GrowthReference::Measure::Height,
                                                        GrowthReference::Measure::Head}));
    const auto plot = charted.blocks[2].growth;
    QCOMPARE(plot->height.size(), 3);
    QCOMPARE(plot->height[1].value, 25.5 * 2.54);
    QCOMPARE(plot->height[1].date, QDate(1998, 2, 1));
    QVERIFY(qAbs(plot->height[1].age - 31 / 365.25) < 1e-9);
    QCOMPARE(plot->weight.size(), 3);
    QVERIFY(charted.blocks.last().text.contains("03-01-98"));

    Entries().append(DiaryList::WordEntries, std::make_shared<DiaryType>(DiaryType{"05-05-98", "ball", ""}));
    Entries().append(DiaryList::WordEntries,
                     std::make_shared<DiaryType>(DiaryType{"06-06-98", "dog", "woof"}));
    const ReportDocument words = ReportRegistry::build("Vocabulary List", "Ann");
    QCOMPARE(words.blocks[0].text, QStringLiteral("Total Word Count: 2"));
    QCOMPARE(words.blocks[1].rows,
             (QVector<QStringList>{{"1", "ball", "05-05-98"}, {"2", "dog", "06-06-98"}}));
}

void ReportContentTest::babyNamesListBothTables() {
    Database::exec(QStringLiteral("DELETE FROM BOYA"));
    Database::exec(QStringLiteral("DELETE FROM GIRLA"));
    ReportDocument none = ReportRegistry::build("Baby Names", "Ann");
    QCOMPARE(none.blocks.size(), 4); // two headings, each with its note
    QCOMPARE(none.blocks[1].kind, ReportBlock::Kind::Note);
    Database::exec(
        QStringLiteral("INSERT INTO BOYA (Name, Origin, Meaning) VALUES ('Adam', 'Hebrew', 'Earth')"));
    Database::exec(
        QStringLiteral("INSERT INTO GIRLA (Name, Origin, Meaning) VALUES ('Ada', 'German', 'Noble')"));
    const ReportDocument doc = ReportRegistry::build("Baby Names", "Ann");
    QCOMPARE(doc.blocks[0].title, QStringLiteral("Boy Names"));
    QCOMPARE(doc.blocks[1].rows, (QVector<QStringList>{{"Adam", "Hebrew", "Earth"}}));
    QCOMPARE(doc.blocks[2].title, QStringLiteral("Girl Names"));
    QCOMPARE(doc.blocks[3].rows, (QVector<QStringList>{{"Ada", "German", "Noble"}}));
}

void ReportContentTest::unknownNamesHaveNoReport() {
    for (const char* name : {"Empty", "", "journal", "Birth Announcement", "Journal "})
        QVERIFY2(!ReportRegistry::find(QString::fromLatin1(name)), name);
    QVERIFY_THROWS_EXCEPTION(StoreError, ReportRegistry::build("Empty", "Ann"));
}

void ReportContentTest::everyCatalogueNameHasAReport() {
    for (const ReportCategory& c : ReportCatalog::categories())
        for (const QString& name : c.names)
            QVERIFY2(name == ReportCatalog::BirthAnnouncement || ReportRegistry::find(name),
                     qPrintable(name));
    // Exactly the catalogued names: nothing registered that no menu offers.
    for (const QString& name : ReportRegistry::names()) {
        bool listed = false;
        for (const ReportCategory& c : ReportCatalog::categories())
            listed = listed || c.names.contains(name);
        QVERIFY2(listed, qPrintable(name));
    }
}

void ReportContentTest::immunizationsKeepReadingOrderAndNamedRows() {
    // HIB (12 Months) is MaskEdit1 but reads after HIB (6 Months); the parent's second named row has
    // a name and no date, the fourth a date and no name; the third is untouched.
    ChildRecords::setSheet("Ann", DiarySheets::Immunizations,
                           {{"MaskEdit1", "12-01-98"},
                            {"MaskEdit17", "06-01-98"},
                            {"Edit2", "Typhoid"},
                            {"MaskEdit24", "01-01-99"},
                            {"MaskEdit2", "  -  -  "}});
    const ReportDocument doc = ReportRegistry::build("Immunizations", "Ann");
    QCOMPARE(doc.blocks.size(), 1);
    const QVector<QStringList> rows = doc.blocks[0].rows;
    QCOMPARE(rows.size(), 22);
    QCOMPARE(rows[0], (QStringList{"HB (Birth)", ""})); // a blank mask prints as nothing
    QCOMPARE(rows[15], (QStringList{"HIB (6 Months)", "06-01-98"}));
    QCOMPARE(rows[16], (QStringList{"HIB (12 Months)", "12-01-98"}));
    QCOMPARE(rows[20], (QStringList{"Typhoid", ""}));
    QCOMPARE(rows[21], (QStringList{"(Immunization not named)", "01-01-99"}));
    // Another child's sheet is its own.
    QCOMPARE(ReportRegistry::build("Immunizations", "Bea").blocks[0].kind, ReportBlock::Kind::Note);
}

void ReportContentTest::birthdayReportsReadTheirOwnBirthday() {
    MilestoneSheets::setBirthday("Ann", {"Birth Birthday", "Born at dawn", {"Nurse Joy"}, {}});
    MilestoneSheets::setBirthday("Ann", {"1st Birthday", QString(), {}, {{"Gran", "Quilt"}}});
    const ReportDocument birth = ReportRegistry::build("Birth", "Ann");
    QCOMPARE(birth.title, QStringLiteral("Birth"));
    QCOMPARE(birth.blocks.size(), 4); // remarks and guests, each under its heading
    QCOMPARE(birth.blocks[1].text, QStringLiteral("Born at dawn"));
    QCOMPARE(birth.blocks[3].rows, (QVector<QStringList>{{"1", "Nurse Joy"}}));
    const ReportDocument first = ReportRegistry::build("1st", "Ann");
    QCOMPARE(first.title, QStringLiteral("1st Birthday"));
    QCOMPARE(first.blocks.size(), 2);
    QCOMPARE(first.blocks[0].title, QStringLiteral("Gifts"));
    QCOMPARE(first.blocks[1].rows, (QVector<QStringList>{{"Gran", "Quilt"}}));
    const ReportDocument tenth = ReportRegistry::build("10th", "Ann");
    QCOMPARE(tenth.title, QStringLiteral("10th Birthday"));
    QCOMPARE(tenth.blocks.size(), 1);
    QCOMPARE(tenth.blocks[0].text, QStringLiteral("Nothing has been recorded for the 10th Birthday yet."));
    // A picture alone is something recorded: the report shows it.
    ChildRecords::setPicture("Ann", MilestoneSheets::birthdayPictureKey("10th Birthday", 2), "bytes");
    const ReportDocument pictured = ReportRegistry::build("10th", "Ann");
    QCOMPARE(pictured.blocks.size(), 1);
    QCOMPARE(pictured.blocks[0].kind, ReportBlock::Kind::Pictures);
    // Read from its file in the photo folder when the page that prints it needs it.
    QFile kept(pictured.blocks[0].images.value(0).file);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("bytes"));
}

void ReportContentTest::picturesBlockLeavesOutMissingPictures() {
    ReportDocument doc;
    doc.pictures({"one", "two", "three"}, {ReportPicture(QByteArray()), ReportPicture("b"),
                                           ReportPicture(QByteArray(), "/photos/c.jpg")});
    QCOMPARE(doc.blocks.size(), 1);
    QCOMPARE(doc.blocks[0].names, (QStringList{"two", "three"}));
    QCOMPARE(doc.blocks[0].images.size(), 2);
    QCOMPARE(doc.blocks[0].images[0].bytes, QByteArray("b"));
    QCOMPARE(doc.blocks[0].images[1].file, QStringLiteral("/photos/c.jpg"));
    doc.pictures({"none"}, {ReportPicture()});
    QCOMPARE(doc.blocks.size(), 1);
}

QTEST_GUILESS_MAIN(ReportContentTest)
#include "tst_reportcontent.moc"
