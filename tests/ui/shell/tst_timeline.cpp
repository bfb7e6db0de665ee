// The timeline lists everything recorded for the child, newest first (two-digit years read as the
// nearest year not in the future), filters by kind, and opens a chosen item in its own form; an entry
// of a diary this version does not have is left out.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "ui/shell/TMainWindow.h"
#include "ui/shell/TTimeline.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {
QStringList lines(const QVector<ChildTimeline::Item>& items) {
    QStringList out;
    for (const auto& item : items)
        out << item.dateText + QLatin1Char(' ') + item.title;
    return out;
}

void diary(DiaryList list, const char* date, const char* title) {
    Entries().append(list, std::make_shared<DiaryType>(
                               DiaryType{QString::fromLatin1(date), QString::fromLatin1(title), QString()}));
}
} // namespace

class TimelineTest : public QObject {
    Q_OBJECT
private slots:
    void listsEverythingNewestFirstAndOpensAnItem();
};

void TimelineTest::listsEverythingNewestFirstAndOpensAnItem() {
    AppFixture app("Ann");
    Database::exec(
        "UPDATE CHILD SET BDayMonth = '5', BDateDay = '1', BDayYear = '24' WHERE FirstName = 'Ann'");
    diary(DiaryList::JournalEntries, "12-31-99", "Old photo");
    diary(DiaryList::JournalEntries, "05-06-24", "Park day");
    // The beach day has two photos; the timeline shows the first.
    QTemporaryDir folder;
    QStringList stored;
    for (const QColor colour : {Qt::blue, Qt::yellow}) {
        const QString path = folder.filePath(colour.name().mid(1) + ".png");
        QImage picture(32, 24, QImage::Format_RGB32);
        picture.fill(colour);
        QVERIFY(picture.save(path));
        stored << PhotoFiles::store(path);
    }
    auto beach = std::make_shared<DiaryType>(DiaryType{"07-08-24", "Beach", QString()});
    beach->Photos = {{stored.at(0), "blue.png", QString()}, {stored.at(1), "yellow.png", QString()}};
    Entries().append(DiaryList::JournalEntries, beach);
    diary(DiaryList::PrenatalDiary, "01-15-24", "Scan");
    diary(DiaryList::DoctorVisits, "not a date", "Checkup");
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"06-01-24", "22", "11", "4"}));
    Entries().setToothDate(5, "03-02-25");
    for (const auto& skill : MilestoneSheets::listedSkills())
        if (skill.caption.startsWith(QLatin1String("Sits Alone")))
            ChildRecords::setSheetValue("Ann", MilestoneSheets::SkillsSheet, skill.field, "04-01-25");
    MilestoneSheets::setBirthdayRemarks("Ann", "1st Birthday", "Cake everywhere");
    MilestoneSheets::setOccasionRemarks("Ann", MilestoneSheets::HolidaysCaption, "First Christmas - Ann",
                                        "Snow");
    // An entry of a list no diary has (a later version's) is left out: no form could open it.
    Database::exec("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES ('Ann', 99, '06-06-24', "
                   "'Later diary', '')");

    QStringList everything, teethOnly;
    QString beachPhoto = "unread";
    QString journalShows, journalMemo;
    ModalDriver driver;
    driver.expect("Timeline", [&](QWidget* w) {
        auto* form = qobject_cast<TTimeline*>(w);
        everything = lines(form->shown());
        for (const auto& item : form->shown())
            if (item.title == QLatin1String("Beach"))
                beachPhoto = item.photo.File;
        auto* filter = form->findChild<QComboBox*>("KindFilter");
        filter->setCurrentIndex(filter->findText("Teeth"));
        emit filter->activated(filter->currentIndex());
        teethOnly = lines(form->shown());
        filter->setCurrentIndex(0);
        emit filter->activated(0);
        // Park day, the second journal entry of three, is opened from the list with Enter.
        auto* list = form->findChild<QListView*>("TimelineList");
        const int row = int(everything.indexOf("05-06-24 Park day"));
        list->setCurrentIndex(list->model()->index(row, 0));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
    });
    driver.expect("Journal", [&](QWidget* journal) {
        journalShows = journal->findChild<QLabel*>("Title")->text();
        ModalDriver::click(journal, "OKBtn");
    });
    driver.expect("Timeline", [](QWidget* w) { ModalDriver::click(w, "CloseBtn"); });
    driver.start();
    MainWindow->findChild<QAction*>("Timeline1")->trigger();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));

    QCOMPARE(everything,
             (QStringList{"05-01-25 1st Birthday", "04-01-25 Sits Alone", "03-02-25 Tooth 5",
                          "07-08-24 Beach", "06-01-24 Measured", "05-06-24 Park day", "01-15-24 Scan",
                          "12-31-99 Old photo", "not a date Checkup", " First Christmas - Ann"}));
    QCOMPARE(teethOnly, QStringList{"03-02-25 Tooth 5"});
    QCOMPARE(beachPhoto, stored.at(0));
    QCOMPARE(journalShows, QStringLiteral("Park day"));
}

QTEST_MAIN(TimelineTest)
#include "tst_timeline.moc"
