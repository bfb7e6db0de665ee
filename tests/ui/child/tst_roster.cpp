// The pick-child and new-child dialogs, driven through their real controls from the main window.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/store/Database.h"
#include "core/store/Table.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace {
void openPickChild() {
    MainWindow->findChild<QAction*>("PickChild1")->trigger();
}

QComboBox* nameBox(QWidget* dialog) {
    return dialog->findChild<QComboBox*>("Name");
}

QStringList items(QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

void typeName(QWidget* dialog, const QString& text) {
    QComboBox* combo = nameBox(dialog);
    combo->setFocus();
    combo->lineEdit()->selectAll();
    combo->lineEdit()->del();
    QTest::keyClicks(combo->lineEdit(), text);
}

void ok(QWidget* box) {
    ModalDriver::answer(box, QMessageBox::Ok);
}

QString childField(const QString& child, const QString& field) {
    Table t("CHILD");
    t.open();
    return t.findKey(child) ? t.fieldText(field) : QStringLiteral("<no row>");
}

std::shared_ptr<DiaryType> entry(const QString& title) {
    auto e = std::make_shared<DiaryType>();
    e->Date = "01-02-03";
    e->Title = title;
    e->Text = "text";
    return e;
}
} // namespace

class RosterTest : public QObject {
    Q_OBJECT
private slots:
    void pickListsChildrenInKeyOrderAndSwitches();
    void pickingTheActiveChildAgainReloadsIt();
    void typedNamesAreAddedOnlyWhenTheParentSaysSo();
    void deleteRefusesTheActiveChildAndRemovesEverythingOfAnother();
    void addNewChildRefusesDuplicatesAndReturnsToTheMainWindow();
    void cancellingTheNewChildReturnsToTheMainWindow();
};

void RosterTest::pickListsChildrenInKeyOrderAndSwitches() {
    AppFixture app("Ann");
    TempStore::addChild("Cal");
    TempStore::addChild("Ben");
    Entries().append(DiaryList::JournalEntries, entry("Ann's day"));

    QStringList listed;
    QString shownText;
    ModalDriver driver;
    driver.expect("PickChild", [&](QWidget* d) {
        listed = items(nameBox(d));
        shownText = nameBox(d)->currentText();
        nameBox(d)->setCurrentIndex(1);
        ModalDriver::click(d, "OKBtn");
    });
    driver.start();
    openPickChild();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(listed, (QStringList{"Ann", "Ben", "Cal"}));
    QCOMPARE(shownText, QStringLiteral("Ann"));
    QCOMPARE(MainWindow->windowTitle(), QStringLiteral("Tinyra 4.2 - Ben"));
    QCOMPARE(ActiveChildName(), QStringLiteral("Ben"));
    QCOMPARE(TempStore::previous(), QStringLiteral("Ben"));
    QCOMPARE(TempStore::rowCount("PREVIOUS"), 1);
    QCOMPARE(Entries().child(), QStringLiteral("Ben"));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 0);

    // Back to Ann: her journal is hers again.
    ModalDriver back;
    back.expect("PickChild", [&](QWidget* d) {
        shownText = nameBox(d)->currentText();
        typeName(d, "Ann");
        ModalDriver::click(d, "OKBtn");
    });
    back.start();
    openPickChild();
    QVERIFY2(back.waitFinished(), qPrintable(back.error()));
    QCOMPARE(shownText, QStringLiteral("Ben"));
    QCOMPARE(ActiveChildName(), QStringLiteral("Ann"));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 0)->Title, QStringLiteral("Ann's day"));
}

void RosterTest::pickingTheActiveChildAgainReloadsIt() {
    AppFixture app("Ann");
    Entries().append(DiaryList::WordEntries, entry("Mama"));
    // A word stored behind the loaded list's back is there once the child is picked again.
    Database::exec(
        QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES (?, ?, ?, ?, ?)"),
        {QStringLiteral("Ann"), int(DiaryList::WordEntries), QStringLiteral("01-02-24"),
         QStringLiteral("Papa"), QString()});
    QCOMPARE(Entries().count(DiaryList::WordEntries), 1);
    bool closedByEnter = false;
    ModalDriver driver;
    driver.expect("PickChild", [&](QWidget* d) {
        // One Enter on the name as shown is Ok.
        QTest::keyClick(nameBox(d)->lineEdit(), Qt::Key_Return);
        closedByEnter = !d->isVisible();
        if (!closedByEnter)
            ModalDriver::click(d, "CancelBtn");
    });
    driver.start();
    openPickChild();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY(closedByEnter);
    QCOMPARE(ActiveChildName(), QStringLiteral("Ann"));
    QCOMPARE(Entries().count(DiaryList::WordEntries), 2);

    // Cancel changes nothing.
    ModalDriver cancel;
    cancel.expect("PickChild", [](QWidget* d) {
        typeName(d, "Someone");
        ModalDriver::click(d, "CancelBtn");
    });
    cancel.start();
    openPickChild();
    QVERIFY2(cancel.waitFinished(), qPrintable(cancel.error()));
    QCOMPARE(ActiveChildName(), QStringLiteral("Ann"));
    QCOMPARE(TempStore::previous(), QStringLiteral("Ann"));
}

void RosterTest::typedNamesAreAddedOnlyWhenTheParentSaysSo() {
    AppFixture app("Ann");
    Entries().append(DiaryList::JournalEntries, entry("Ann's day"));
    bool stillOpen = false, openAfterNo = false;
    ModalDriver driver;
    driver.expect("PickChild", [](QWidget* d) {
        typeName(d, "");
        ModalDriver::click(d, "OKBtn");
    });
    driver.expect("InformationBox", ok);
    driver.expect("PickChild", [&](QWidget* d) {
        stillOpen = d->isVisible();
        typeName(d, "Zed");
        QTest::keyClick(nameBox(d)->lineEdit(), Qt::Key_Return); // Enter is the default button, Ok
    });
    driver.expect("ConfirmBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::No); });
    driver.expect("PickChild", [&](QWidget* d) {
        openAfterNo = d->isVisible() && nameBox(d)->currentText() == "Zed";
        ModalDriver::click(d, "OKBtn");
    });
    driver.expect("ConfirmBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Yes); });
    driver.start();
    openPickChild();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(driver.messages(),
             (QStringList{"Please choose or type the first name of a child.",
                          "There is no child named Zed. Add Zed?", "There is no child named Zed. Add Zed?"}));
    QVERIFY(stillOpen);
    QVERIFY(openAfterNo);
    QVERIFY(!Form("PickChild")->isVisible());
    QCOMPARE(MainWindow->windowTitle(), QStringLiteral("Tinyra 4.2 - Zed"));
    QCOMPARE(TempStore::previous(), QStringLiteral("Zed"));
    QCOMPARE(Entries().child(), QStringLiteral("Zed"));
    // Zed is a child of the book now, listed beside Ann, and what is recorded for him stays his.
    QCOMPARE(childField("Zed", "FirstName"), QStringLiteral("Zed"));
    Entries().append(DiaryList::JournalEntries, entry("Zed's day"));
    QStringList listed;
    ModalDriver pick;
    pick.expect("PickChild", [&](QWidget* d) {
        listed = items(nameBox(d));
        ModalDriver::click(d, "CancelBtn");
    });
    pick.start();
    openPickChild();
    QVERIFY2(pick.waitFinished(), qPrintable(pick.error()));
    QCOMPARE(listed, (QStringList{"Ann", "Zed"}));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
}

void RosterTest::deleteRefusesTheActiveChildAndRemovesEverythingOfAnother() {
    AppFixture app("Ann");
    TempStore::addChild("Ben", "B", "Brown");
    TempStore::addChild("ann"); // differs from the active child in letter case only
    // Ben has records of every kind.
    Entries().childSwitch("Ben");
    Entries().append(DiaryList::DoctorVisits, entry("checkup"));
    Entries().setToothDate(3, "04-05-06");
    Entries().childSwitch("Ann");
    Entries().append(DiaryList::JournalEntries, entry("Ann's"));
    ChildRecords::setSheetValue("Ben", "Doctor", "Name", "Dr. B");
    ChildRecords::setPicture("Ben", "ChildInfo/Image1", "not really a picture");

    QStringList afterRefusal, afterNo, afterYes;
    bool openAfterDelete = false;
    ModalDriver driver;
    driver.expect("PickChild", [](QWidget* d) { ModalDriver::click(d, "DeleteButton"); }); // Ann: refused
    driver.expect("InformationBox", ok);
    driver.expect("PickChild", [&](QWidget* d) {
        afterRefusal = items(nameBox(d));
        typeName(d, "ann");
        ModalDriver::click(d, "DeleteButton");
    });
    driver.expect("ConfirmBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::No); });
    driver.expect("PickChild", [&](QWidget* d) {
        afterNo = items(nameBox(d));
        nameBox(d)->setCurrentIndex(nameBox(d)->findText("Ben"));
        ModalDriver::click(d, "DeleteButton");
    });
    driver.expect("ConfirmBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Yes); });
    driver.expect("PickChild", [&](QWidget* d) {
        afterYes = items(nameBox(d));
        openAfterDelete = d->isVisible();
        ModalDriver::click(d, "CancelBtn");
    });
    driver.start();
    openPickChild();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(driver.messages(),
             (QStringList{"You cannot delete the active child.",
                          "Are you sure you want to delete all records relating to this Child?",
                          "Are you sure you want to delete all records relating to this Child?"}));
    QCOMPARE(afterRefusal, (QStringList{"Ann", "Ben", "ann"}));
    QCOMPARE(afterNo, afterRefusal);
    QCOMPARE(afterYes, (QStringList{"Ann", "ann"}));
    QVERIFY(openAfterDelete);

    QCOMPARE(childField("Ben", "FirstName"), QStringLiteral("<no row>"));
    QCOMPARE(childField("Ann", "FirstName"), QStringLiteral("Ann"));
    QVERIFY(ChildRecords::sheet("Ben", "Doctor").isEmpty());
    QVERIFY(ChildRecords::picture("Ben", "ChildInfo/Image1").isEmpty());
    // The active child's records are untouched.
    QCOMPARE(ActiveChildName(), QStringLiteral("Ann"));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);

    // A new Ben starts with nothing of the old one.
    Entries().childSwitch("Ben");
    QCOMPARE(Entries().count(DiaryList::DoctorVisits), 0);
    QCOMPARE(Entries().toothDate(3), EntryStore::EmptyDate);
    Entries().childSwitch("Ann");
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
}

void RosterTest::addNewChildRefusesDuplicatesAndReturnsToTheMainWindow() {
    AppFixture app("Ann");
    QString boxAfterDuplicate = "unset";
    bool openAfterDuplicate = false;
    QStringList emptiedOnShow;
    ModalDriver driver;
    driver.expect("PickChild", [](QWidget* d) { ModalDriver::click(d, "AddButton"); });
    driver.expect("NewChildren", [](QWidget* d) { ModalDriver::click(d, "OKBtn"); });
    driver.expect("InformationBox", ok);
    driver.expect("NewChildren", [](QWidget* d) {
        ModalDriver::type(d, "FirstName", "Ann");
        ModalDriver::type(d, "MiddleName", "Twice");
        ModalDriver::click(d, "OKBtn");
    });
    driver.expect("InformationBox", ok);
    driver.expect("NewChildren", [&](QWidget* d) {
        boxAfterDuplicate = d->findChild<QLineEdit*>("FirstName")->text();
        openAfterDuplicate = d->isVisible();
        ModalDriver::type(d, "FirstName", "Dee");
        ModalDriver::type(d, "MiddleName", "Mae");
        ModalDriver::type(d, "LastName", "Lu");
        ModalDriver::click(d, "OKBtn");
    });
    driver.start();
    openPickChild();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(driver.messages(),
             (QStringList{"A First Name is required.",
                          "\"Ann\" is already used.  Duplicate First Names are not allowed"}));
    QCOMPARE(boxAfterDuplicate, QString());
    QVERIFY(openAfterDuplicate);
    // Straight back to the main window, with the new child active.
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!Form("PickChild")->isVisible());
    QCOMPARE(ActiveChildName(), QStringLiteral("Dee"));
    QCOMPARE(MainWindow->windowTitle(), QStringLiteral("Tinyra 4.2 - Dee"));
    QCOMPARE(TempStore::previous(), QStringLiteral("Dee"));
    QCOMPARE(Entries().child(), QStringLiteral("Dee"));
    QCOMPARE(childField("Dee", "MiddleName"), QStringLiteral("Mae"));
    QCOMPARE(childField("Dee", "LastName"), QStringLiteral("Lu"));
    QCOMPARE(childField("Ann", "MiddleName"), QString()); // the refused row changed nothing
    QCOMPARE(TempStore::rowCount("CHILD"), 2);

    // The next showing starts empty.
    ModalDriver again;
    again.expect("PickChild", [](QWidget* d) { ModalDriver::click(d, "AddButton"); });
    again.expect("NewChildren", [&](QWidget* d) {
        for (const char* name : {"FirstName", "MiddleName", "LastName"})
            emptiedOnShow << d->findChild<QLineEdit*>(name)->text();
        ModalDriver::click(d, "CancelBtn");
    });
    again.start();
    openPickChild();
    QVERIFY2(again.waitFinished(), qPrintable(again.error()));
    QCOMPARE(emptiedOnShow, (QStringList{"", "", ""}));
}

void RosterTest::cancellingTheNewChildReturnsToTheMainWindow() {
    AppFixture app("Ann");
    ModalDriver driver;
    driver.expect("PickChild", [](QWidget* d) { ModalDriver::click(d, "AddButton"); });
    driver.expect("NewChildren", [](QWidget* d) {
        ModalDriver::type(d, "FirstName", "Eve");
        ModalDriver::click(d, "CancelBtn");
    });
    driver.start();
    openPickChild();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!Form("PickChild")->isVisible());
    QCOMPARE(ActiveChildName(), QStringLiteral("Ann"));
    QCOMPARE(TempStore::rowCount("CHILD"), 1);
}

QTEST_MAIN(RosterTest)
#include "tst_roster.moc"
