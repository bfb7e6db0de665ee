// The home panel beside the main window's picture follows the active child and what is recorded:
// a journal entry made from its button shows there at once, and a child switch shows the other child.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/overview/ChildSummary.h"
#include "core/store/Database.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "ui/shell/HomePanel.h"
#include "ui/shell/TMainWindow.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>

namespace {
QString shown(const char* name) {
    auto* label = MainWindow->findChild<QLabel*>(QString::fromLatin1(name));
    return label && label->isVisible() ? label->text() : QString();
}

// The rows of one of the panel's sections, as a screen reader reads them; none while it is hidden.
QStringList rows(const char* name) {
    auto* list = MainWindow->findChild<QListWidget*>(QString::fromLatin1(name));
    QStringList out;
    if (list && list->isVisible())
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->data(Qt::AccessibleTextRole).toString();
    return out;
}
} // namespace

class HomeTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheChildAndWhatIsRecorded();
    void eachItemOpensItsRecord();
};

void HomeTest::followsTheChildAndWhatIsRecorded() {
    AppFixture app(QString(), false);
    TempStore::addChild("Ann", "Marie", "Lee");
    TempStore::addChild("Ben");
    TempStore::setPrevious("Ann");
    const QDate birth = QDate::currentDate().addMonths(-8).addDays(-3);
    Database::exec("UPDATE CHILD SET BDayMonth = ?, BDateDay = ?, BDayYear = ? WHERE FirstName = 'Ann'",
                   {birth.month(), birth.day(), birth.year()});
    QImage photo(40, 20, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    photo.save(&png, "PNG");
    ChildRecords::setPicture("Ann", "ChildInfo/Image1", png.data());
    app.start();

    QTRY_COMPARE(shown("HomeName"), QStringLiteral("Ann Marie Lee"));
    QCOMPARE(shown("HomeAge"),
             "Age: " + ChildSummary::ageInWords(birth, QDate::currentDate())); // "8 months, 3 days"
    QVERIFY2(rows("HomeBirthday").value(0).startsWith("Turns 1 in "),
             qPrintable(rows("HomeBirthday").join("")));
    auto* picture = MainWindow->findChild<QLabel*>("HomePicture");
    QCOMPARE(picture->pixmap().size(), QSize(180, 90)); // the chosen picture, whole and unstretched
    QCOMPARE(picture->accessibleName(), QStringLiteral("Picture of Ann"));
    QCOMPARE(shown("HomeNothingYet"), QStringLiteral("Nothing written yet: start with a journal entry."));

    // The panel's button opens the journal with a new entry; the entry is stored and shown at once.
    QString journalShows;
    ModalDriver driver;
    driver.expect("NewEntry", [](QWidget* w) {
        ModalDriver::type(w, "Title", "Park day");
        ModalDriver::click(w, "OKBtn");
    });
    driver.expect("Journal", [&](QWidget* journal) {
        journalShows = journal->findChild<QLabel*>("Title")->text();
        ModalDriver::click(journal, "OKBtn");
    });
    driver.start();
    QTest::mouseClick(MainWindow->findChild<QPushButton*>("NewJournalEntryBtn"), Qt::LeftButton);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(journalShows, QStringLiteral("Park day"));
    QSqlQuery stored = Database::exec("SELECT Title FROM ENTRIES WHERE child = 'Ann'");
    QVERIFY(stored.next());
    QCOMPARE(stored.value(0).toString(), QStringLiteral("Park day"));
    QTRY_VERIFY2(rows("HomeMoments").value(0).endsWith("Journal: Park day"),
                 qPrintable(rows("HomeMoments").join("")));

    MainWindow->makeChildActive("Ben");
    QTRY_COMPARE(shown("HomeName"), QStringLiteral("Ben"));
    QCOMPARE(shown("HomeAge"),
             QStringLiteral("Type the birth date on Child Information to see the age here."));
    QCOMPARE(rows("HomeBirthday"), QStringList());
    QCOMPARE(picture->accessibleName(), QStringLiteral("No picture of Ben chosen yet"));
    QCOMPARE(shown("HomeNothingYet"), QStringLiteral("Nothing written yet: start with a journal entry."));
}

void HomeTest::eachItemOpensItsRecord() {
    AppFixture app(QString(), false);
    TempStore::addChild("Ann");
    TempStore::setPrevious("Ann");
    const QDate today = QDate::currentDate();
    const QDate birth = today.addDays(-400);
    Database::exec("UPDATE CHILD SET BDayMonth = ?, BDateDay = ?, BDayYear = ? WHERE FirstName = 'Ann'",
                   {birth.month(), birth.day(), birth.year()});
    app.start();
    const auto typed = [](const QDate& d) { return d.toString("MM-dd-yy"); };
    // Typed out of order: the newest moment is the last one written, and one fell a year ago today.
    for (const auto& [date, title] :
         {std::pair{today.addDays(-3), "Zoo"}, std::pair{today.addYears(-1), "Park"},
          std::pair{today.addDays(-1), "Beach"}})
        Entries().append(DiaryList::JournalEntries,
                         std::make_shared<DiaryType>(DiaryType{typed(date), title, QString()}));
    Entries().appendGrowth(
        std::make_shared<GrowthType>(GrowthType{typed(today.addDays(-2)), "30", "20", "1"}));
    MainWindow->findChild<HomePanel*>()->refreshSoon();
    QTRY_COMPARE(rows("HomeMoments").size(), 4);
    QCOMPARE(rows("HomeMoments")[0], typed(today.addDays(-1)) + "   Journal: Beach");
    QCOMPARE(rows("HomeMoments")[2], typed(today.addDays(-3)) + "   Journal: Zoo");
    QCOMPARE(rows("HomeOnThisDay"), QStringList{"A year ago: Journal: Park"});
    // The growth's centiles need to know girl or boy, and the panel says so until it is chosen.
    const QString weighed = typed(today.addDays(-2)) + "   height 30 in, weight 20 lbs 1 oz\n";
    QCOMPARE(rows("HomeGrowth"),
             QStringList{weighed + "Choose Girl or Boy on Child Information to see the centiles."});
    Database::exec("UPDATE CHILD SET Sex = 'Girl' WHERE FirstName = 'Ann'");
    MainWindow->findChild<HomePanel*>()->refreshSoon();
    QTRY_VERIFY2(rows("HomeGrowth").value(0).startsWith(weighed + "Centiles (WHO): height "),
                 qPrintable(rows("HomeGrowth").join("")));

    // Enter on a moment, a double-click on what happened a year ago and on the growth: each opens
    // its own record in its form.
    QStringList opened;
    ModalDriver driver;
    for (int i = 0; i < 2; ++i)
        driver.expect("Journal", [&](QWidget* journal) {
            opened << journal->findChild<QLabel*>("Title")->text();
            ModalDriver::click(journal, "OKBtn");
        });
    driver.expect("Growth", [&](QWidget* growth) {
        opened << growth->findChild<QTabWidget*>()->tabText(growth->findChild<QTabWidget*>()->currentIndex());
        ModalDriver::click(growth, "BitBtn2");
    });
    driver.start();
    auto* moments = MainWindow->findChild<QListWidget*>("HomeMoments");
    moments->setFocus();
    moments->setCurrentRow(2);
    QTest::keyClick(moments, Qt::Key_Return);
    QTRY_COMPARE(opened.size(), 1);
    for (const char* name : {"HomeOnThisDay", "HomeGrowth"}) {
        auto* list = MainWindow->findChild<QListWidget*>(name);
        const QPoint at = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(opened, (QStringList{"Zoo", "Park", "Growth Log"}));
}

QTEST_MAIN(HomeTest)
#include "tst_home.moc"
