// Start-up, the first-run dialog and shutdown, driven through the real windows.
#include "core/book/EntryStore.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>

#include "core/store/Database.h"

namespace {
const QString kNeedName = QStringLiteral("Tinyra needs at least a first name to begin running.");
const QString kDisplayNote = QStringLiteral(
    "Note:  to get the most out of Tinyra 4, you should set your display to at least 256-color mode.  "
    "A 24-bit (16.7 million) or 16-bit (64,000) color pallet is recommended.  See Windows Help for details "
    "on "
    "changing your display settings. ");

void cancel(QWidget* d) {
    ModalDriver::click(d, QStringLiteral("CancelBtn"));
}
void ok(QWidget* box) {
    ModalDriver::answer(box, QMessageBox::Ok);
}
} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void firstRunInsistsOnAFirstName();
    void firstRunStoresTheChildAndSecondLaunchGoesStraightIn();
    void emptyFirstNameIsRefusedInPlace();
    void theBooksWordForNoChildIsRefusedAsAName();
    void firstRunMeetingChildrenOffersThem();
    void closingWritesNothingAndEntriesSurviveARestart();
    void previousWithoutRowsNeverMakesANamelessChild();
};

void StartupTest::firstRunInsistsOnAFirstName() {
    AppFixture app(QString(), false);
    int dialogs = 0;
    ModalDriver driver;
    for (int i = 0; i < 3; ++i) {
        driver.expect("BrandNewChild", [&](QWidget* d) {
            ++dialogs;
            cancel(d);
        });
        driver.expect("InformationBox", ok);
    }
    driver.expect("BrandNewChild", [&](QWidget* d) {
        ++dialogs;
        ModalDriver::type(d, "FirstName", "Ann");
        ModalDriver::type(d, "MiddleName", "Marie");
        ModalDriver::click(d, "OKBtn");
    });
    driver.expect("InformationBox", ok);
    driver.expect("PlainBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::No); });
    driver.start();
    app.start(false);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));

    QCOMPARE(dialogs, 4);
    const QStringList expected{kNeedName, kNeedName, kNeedName, kDisplayNote,
                               QStringLiteral("Would you like to read the Tinyra On-Line \"Read me\" file?")};
    QCOMPARE(driver.messages(), expected);
    QCOMPARE(driver.titles().first(), QStringLiteral("Enter Child Name to Start Tinyra"));
    QCOMPARE(driver.titles().last(), QStringLiteral("Tinyra 4"));
    QCOMPARE(MainWindow->windowTitle(), QStringLiteral("Tinyra 4.2 - Ann"));
    QCOMPARE(ActiveChildName(), QStringLiteral("Ann"));
    QCOMPARE(TempStore::previous(), QStringLiteral("Ann"));
    QCOMPARE(TempStore::rowCount("PREVIOUS"), 1);
    QSqlQuery q = Database::exec("SELECT FirstName, MiddleName, LastName, Hair FROM CHILD");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("Ann"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("Marie"));
    QCOMPARE(q.value(2).toString(), QString());
    QCOMPARE(q.value(3).toString(), QString());
    QVERIFY(!q.next());
    QCOMPARE(Entries().child(), QStringLiteral("Ann"));
}

void StartupTest::firstRunStoresTheChildAndSecondLaunchGoesStraightIn() {
    AppFixture app(QString(), false);
    ModalDriver driver;
    driver.expect("BrandNewChild", [](QWidget* d) {
        ModalDriver::type(d, "FirstName", "Zoë \"Z\" O'Neil");
        ModalDriver::click(d, "OKBtn");
    });
    driver.expect("InformationBox", ok);
    driver.expect("PlainBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Yes); });
    driver.expect("ReadmeFile", [](QWidget* d) { ModalDriver::click(d, "OKBtn"); }); // Yes shows the readme
    driver.start();
    app.start(false);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    const QString name = QStringLiteral("Zoë \"Z\" O'Neil");
    QCOMPARE(MainWindow->windowTitle(), QStringLiteral("Tinyra 4.2 - ") + name);

    // A second launch: no dialog at all, the same caption.
    app.stop();
    app.store().reopen();
    ModalDriver none;
    none.expect(
        "BrandNewChild", [](QWidget*) {}, 300);
    none.start();
    app.start();
    QVERIFY(!none.waitFinished(1000));
    QCOMPARE(MainWindow->windowTitle(), QStringLiteral("Tinyra 4.2 - ") + name);
    QCOMPARE(ActiveChildName(), name);
    QCOMPARE(TempStore::rowCount("CHILD"), 1);
}

void StartupTest::emptyFirstNameIsRefusedInPlace() {
    AppFixture app(QString(), false);
    ModalDriver driver;
    driver.expect("BrandNewChild", [](QWidget* d) {
        ModalDriver::type(d, "MiddleName", "Kept");
        ModalDriver::click(d, "OKBtn");
    });
    driver.expect("InformationBox", ok);
    // The same dialog is still open and keeps what was typed.
    driver.expect("BrandNewChild", [](QWidget* d) {
        QCOMPARE(d->findChild<QLineEdit*>("MiddleName")->text(), QStringLiteral("Kept"));
        ModalDriver::type(d, "FirstName", " ");
        ModalDriver::click(d, "OKBtn");
    });
    driver.expect("InformationBox", ok);
    driver.expect("PlainBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::No); });
    driver.start();
    app.start(false);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(driver.messages().first(), QStringLiteral("A First Name is required."));
    // A name of blanks is a name.
    QCOMPARE(TempStore::previous(), QStringLiteral(" "));
}

void StartupTest::theBooksWordForNoChildIsRefusedAsAName() {
    AppFixture app(QString(), false);
    ModalDriver driver;
    for (const char* name : {"New", " new "}) {
        driver.expect("BrandNewChild", [name](QWidget* d) {
            ModalDriver::type(d, "FirstName", name);
            ModalDriver::click(d, "OKBtn");
        });
        driver.expect("InformationBox", ok);
    }
    driver.expect("BrandNewChild", [](QWidget* d) {
        ModalDriver::type(d, "FirstName", "Nora");
        ModalDriver::click(d, "OKBtn");
    });
    driver.expect("InformationBox", ok);
    driver.expect("PlainBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::No); });
    driver.start();
    app.start(false);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(driver.messages().value(0),
             QStringLiteral("\"New\" cannot be a child's first name: Tinyra uses the word \"New\" for a book "
                            "that has no child yet. Please type another first name (a nickname will do)."));
    QVERIFY(driver.messages().value(1).startsWith("\"new\" cannot be a child's first name"));
    QCOMPARE(TempStore::rowCount("CHILD"), 1);
    // The next start goes straight to Nora.
    app.restart();
    QCOMPARE(ActiveChildName(), QStringLiteral("Nora"));
    QVERIFY(!QApplication::activeModalWidget());
}

void StartupTest::firstRunMeetingChildrenOffersThem() {
    AppFixture app(QString(), false);
    TempStore::addChild("Cal"); // left over, while PREVIOUS still says "New"
    TempStore::addChild("Ann");
    QStringList offered;
    ModalDriver driver;
    driver.expect("PickChild", [&](QWidget* d) {
        auto* names = d->findChild<QComboBox*>("Name");
        for (int i = 0; i < names->count(); ++i)
            offered << names->itemText(i);
        cancel(d);
    });
    driver.expect("InformationBox", ok); // a child is needed to begin
    driver.expect("PickChild", [](QWidget* d) {
        auto* names = d->findChild<QComboBox*>("Name");
        names->setCurrentIndex(names->findText("Cal"));
        ModalDriver::click(d, "OKBtn");
    });
    driver.start();
    app.start(false);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(offered, (QStringList{"Ann", "Cal"}));
    QCOMPARE(driver.messages(), QStringList{kNeedName});
    QCOMPARE(TempStore::previous(), QStringLiteral("Cal"));
    QCOMPARE(MainWindow->windowTitle(), QStringLiteral("Tinyra 4.2 - Cal"));
    QCOMPARE(Entries().child(), QStringLiteral("Cal"));
    QCOMPARE(TempStore::rowCount("CHILD"), 2);
}

void StartupTest::closingWritesNothingAndEntriesSurviveARestart() {
    AppFixture app(QStringLiteral("Ann"));
    QCOMPARE(MainWindow->windowTitle(), QStringLiteral("Tinyra 4.2 - Ann"));
    auto entry = std::make_shared<DiaryType>(DiaryType{"01-02-03", "First smile", "At breakfast"});
    Entries().append(DiaryList::JournalEntries, entry);
    Entries().setToothDate(3, "04-05-06");
    app.stop();
    QVERIFY(!Entries().isActive());
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 0);
    QCOMPARE(TempStore::previous(), QStringLiteral("Ann"));
    QCOMPARE(TempStore::rowCount("CHILD"), 1);

    app.store().reopen();
    app.start();
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 0)->Title, QStringLiteral("First smile"));
    QCOMPARE(Entries().toothDate(3), QStringLiteral("04-05-06"));
    QCOMPARE(Entries().toothDate(4), QStringLiteral("__-__-__"));
}

void StartupTest::previousWithoutRowsNeverMakesANamelessChild() {
    // Without children: the first run, and its child is kept in PREVIOUS.
    {
        AppFixture app(QString(), false);
        Database::exec("DELETE FROM PREVIOUS");
        ModalDriver driver;
        driver.expect("BrandNewChild", [](QWidget* d) {
            ModalDriver::type(d, "FirstName", "Ann");
            ModalDriver::click(d, "OKBtn");
        });
        driver.expect("InformationBox", ok);
        driver.expect("PlainBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::No); });
        driver.start();
        app.start(false);
        QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
        QCOMPARE(TempStore::previous(), QStringLiteral("Ann"));
        QCOMPARE(ActiveChildName(), QStringLiteral("Ann"));
    }
    // With children: they are offered; Child Information then stores the picked child's row only.
    AppFixture app(QString(), false);
    TempStore::addChild("Ann");
    Database::exec("DELETE FROM PREVIOUS");
    ModalDriver driver;
    driver.expect("PickChild", [](QWidget* d) { ModalDriver::click(d, "OKBtn"); });
    driver.start();
    app.start(false);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(ActiveChildName(), QStringLiteral("Ann"));
    ModalDriver info;
    info.expect("ChildInfo", [](QWidget* d) {
        ModalDriver::type(d, "Hair", "red");
        ModalDriver::click(d, "OKBtn");
    });
    info.start();
    MainWindow->ChildInformation1Click();
    QVERIFY2(info.waitFinished(), qPrintable(info.error()));
    QSqlQuery q = Database::exec("SELECT group_concat(FirstName || ':' || Hair, ',') FROM CHILD");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("Ann:red"));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
