// The home panel beside the main window's picture follows the active child and what is recorded:
// a journal entry made from its button shows there at once, and a child switch shows the other child.
#include "core/book/ChildRecords.h"
#include "core/overview/ChildSummary.h"
#include "core/store/Database.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "ui/shell/TMainWindow.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

namespace {
QString shown(const char* name) {
    auto* label = MainWindow->findChild<QLabel*>(QString::fromLatin1(name));
    return label && label->isVisible() ? label->text() : QString();
}
} // namespace

class HomeTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheChildAndWhatIsRecorded();
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
    QVERIFY2(shown("HomeBirthday").startsWith("Next birthday: turns 1 in "),
             qPrintable(shown("HomeBirthday")));
    auto* picture = MainWindow->findChild<QLabel*>("HomePicture");
    QCOMPARE(picture->pixmap().size(), QSize(180, 90)); // the chosen picture, whole and unstretched
    QCOMPARE(picture->accessibleName(), QStringLiteral("Picture of Ann"));
    QCOMPARE(shown("HomeLatest1"), QStringLiteral("Nothing written yet: start with a journal entry."));

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
    QTRY_VERIFY2(shown("HomeLatest1").endsWith("Journal: Park day"), qPrintable(shown("HomeLatest1")));

    MainWindow->makeChildActive("Ben");
    QTRY_COMPARE(shown("HomeName"), QStringLiteral("Ben"));
    QCOMPARE(shown("HomeAge"),
             QStringLiteral("Type the birth date on Child Information to see the age here."));
    QCOMPARE(shown("HomeBirthday"), QString());
    QCOMPARE(picture->accessibleName(), QStringLiteral("No picture of Ben chosen yet"));
    QCOMPARE(shown("HomeLatest1"), QStringLiteral("Nothing written yet: start with a journal entry."));
}

QTEST_MAIN(HomeTest)
#include "tst_home.moc"
