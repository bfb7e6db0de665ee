// The family tree, birthdays, holidays and events, teeth and skills, driven through their real
// controls on the running program.
#include "core/book/EntryStore.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/store/Database.h"
#include "support/AppFixture.h"
#include "support/HostStandIn.h"
#include "support/ModalDriver.h"
#include "support/RunCommand.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/ReplaceablePicture.h"
#include "ui/milestones/TBirthdays.h"
#include "ui/milestones/TFamily.h"
#include "ui/milestones/THoliday.h"
#include "ui/milestones/TPickEvent.h"
#include "ui/milestones/TSkills.h"
#include "ui/milestones/TTeeth.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

class MilestonesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyFamilyButtonEditsItsOwnSlot();
    void familyCancelStoresNothing();
    void everyToothButtonEditsTheSlotOfItsCaption();
    void toothCancelStoresNothingAndButtonsShowDates();
    void birthdayPickerReturnsToTheMainWindow();
    void holidayChainsGiveCaptionsAndTitles_data();
    void holidayChainsGiveCaptionsAndTitles();
    void cancelInTheTitleDialogShowsNoHoliday();
    void captionDependentHelpTopics();
    void fixedHelpTopics();
    void guestsPage();
    void giftsPage();
    void enterInTheGuestAndGiftBoxesAddsTheLineAndKeepsTheForm();
    void birthdaysAreKeptPerChildAndTitle();
    void occasionsAreKeptPerChildAndPickedFromTheLists();
    void skillsAndFamilyAreKeptPerChild();
    void skillsPagesCarryEveryCaption();
    void unreadableRecordsAreReportedAndNotOverwritten();
    void screenshots();

private:
    void showBirthday(const QString& title);

    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<HostStandIn> m_help;
};

void MilestonesTest::init() {
    m_app = std::make_unique<AppFixture>("Ann");
    m_help = std::make_unique<HostStandIn>();
}

void MilestonesTest::cleanup() {
    m_help.reset();
    m_app.reset();
}

namespace {
QString text(QWidget* w, const char* name) {
    if (auto* l = w->findChild<QLabel*>(name))
        return l->text();
    if (auto* e = w->findChild<QLineEdit*>(name))
        return e->text();
    if (auto* m = w->findChild<QPlainTextEdit*>(name))
        return m->toPlainText();
    return "<no " + QString::fromLatin1(name) + ">";
}
QString two(int n) {
    return QString::number(n).rightJustified(2, '0');
}
} // namespace

void MilestonesTest::everyFamilyButtonEditsItsOwnSlot() {
    const char* const buttons[] = {"Button1",  "Button11", "Button2", "Button3", "Button6",
                                   "Button12", "Button7",  "Button9", "Button5", "Button13",
                                   "Button8",  "Button10", "Button4", "Button14"};
    const char* const titles[] = {"Mother",
                                  "Father",
                                  "Maternal Grandmother",
                                  "Maternal Grandfather",
                                  "Paternal Grandmother",
                                  "Paternal Grandfather",
                                  "Maternal Great Grandmother",
                                  "Maternal Great Grandmother",
                                  "Paternal Great Grandmother",
                                  "Paternal Great Grandmother",
                                  "Maternal Great Grandfather",
                                  "Maternal Great Grandfather",
                                  "Paternal Great Grandfather",
                                  "Paternal Great Grandfather"};
    const char* const labels[] = {"MomName", "DadName", "mgm",   "mgp",   "pgm",   "pgp",   "mggm1",
                                  "mggm2",   "pggm1",   "pggm2", "mggp1", "mggp2", "pggp1", "pggp2"};
    QStringList shownTitles;
    QStringList treeLabels;
    ModalDriver driver;
    for (int slot = 1; slot <= 14; ++slot) {
        const QString button = buttons[slot - 1];
        driver.expect("Family", [button](QWidget* w) { ModalDriver::click(w, button); });
        driver.expect("FamilyInput", [slot, &shownTitles](QWidget* w) {
            shownTitles << text(w, "Title");
            ModalDriver::type(w, "Name", "Name " + QString::number(slot));
            ModalDriver::type(w, "Pob", "Town " + QString::number(slot));
            ModalDriver::type(w, "Dob", "01" + two(slot) + "99");
            ModalDriver::click(w, "OKBtn");
        });
    }
    driver.expect("Family", [&](QWidget* w) {
        for (const char* l : labels)
            treeLabels << text(w, l); // brought up to date by each "Ok"
        QCOMPARE(text(w, "ChildName"), QStringLiteral("Ann"));
        QCOMPARE(text(w, "ChildName2"), QStringLiteral("Ann"));
        ModalDriver::click(w, "BitBtn2");
    });
    RUN([] { MainWindow->Family1Click(); }, driver);

    for (int slot = 1; slot <= 14; ++slot) {
        const FamilyMember m = Entries().familyMember(slot);
        QCOMPARE(m.Name, "Name " + QString::number(slot));
        QCOMPARE(m.Text, "Town " + QString::number(slot));
        QCOMPARE(m.Date, "01-" + two(slot) + "-99");
        QCOMPARE(shownTitles.value(slot - 1), QString::fromLatin1(titles[slot - 1]));
        QCOMPARE(treeLabels.value(slot - 1), "Name " + QString::number(slot));
    }
    // Slots 7 and 8 share a title and stay apart.
    QCOMPARE(Entries().familyMember(7).Name, QStringLiteral("Name 7"));
    QCOMPARE(Entries().familyMember(8).Name, QStringLiteral("Name 8"));
}

void MilestonesTest::familyCancelStoresNothing() {
    Entries().setFamilyMember(6, {"Walter", "03-04-41", "Leeds"});
    QString reopened;
    ModalDriver driver;
    driver.expect("Family", [](QWidget* w) { ModalDriver::click(w, "Button12"); });
    driver.expect("FamilyInput", [](QWidget* w) {
        ModalDriver::type(w, "Name", "Nobody");
        ModalDriver::type(w, "Pob", "Nowhere");
        ModalDriver::click(w, "CancelBtn");
    });
    driver.expect("Family", [](QWidget* w) { ModalDriver::click(w, "Button12"); });
    driver.expect("FamilyInput", [&reopened](QWidget* w) {
        reopened =
            text(w, "Name") + "|" + text(w, "Pob") + "|" + w->findChild<MaskedDateEdit*>("Dob")->storedText();
        ModalDriver::type(w, "Name", ""); // an empty name empties the label
        ModalDriver::click(w, "OKBtn");
    });
    QString label;
    driver.expect("Family", [&label](QWidget* w) {
        label = text(w, "pgp");
        ModalDriver::click(w, "BitBtn2");
    });
    RUN([] { MainWindow->Family1Click(); }, driver);
    QCOMPARE(reopened, QStringLiteral("Walter|Leeds|03-04-41"));
    QCOMPARE(Entries().familyMember(6).Name, QString());
    QCOMPARE(Entries().familyMember(6).Text, QStringLiteral("Leeds"));
    QCOMPARE(label, QString());
}

void MilestonesTest::everyToothButtonEditsTheSlotOfItsCaption() {
    // The design names of the buttons captioned "1" to "20".
    const char* const names[] = {"Tooth1",   "BitBtn11", "BitBtn5",  "BitBtn10", "BitBtn4",
                                 "BitBtn9",  "BitBtn3",  "BitBtn8",  "BitBtn1",  "BitBtn7",
                                 "BitBtn2",  "BitBtn12", "BitBtn13", "BitBtn20", "BitBtn14",
                                 "BitBtn19", "BitBtn15", "BitBtn18", "BitBtn16", "BitBtn17"};
    ModalDriver driver;
    QStringList shown;
    for (int tooth = 1; tooth <= 20; ++tooth) {
        // Pressed by its caption, whatever its name.
        driver.expect("Teeth", [tooth](QWidget* w) { ModalDriver::click(w, QString::number(tooth)); });
        driver.expect("ToothDate", [tooth, &shown](QWidget* w) {
            shown << w->findChild<MaskedDateEdit*>("Date")->storedText();
            ModalDriver::type(w, "Date", "02" + two(tooth) + "98");
            ModalDriver::click(w, "OKBtn");
        });
    }
    QStringList captions;
    driver.expect("Teeth", [&](QWidget* w) {
        for (const char* n : names) {
            auto* b = w->findChild<QPushButton*>(n);
            captions << (b ? b->text() : QString("missing"));
        }
        ModalDriver::click(w, "OKBtn");
    });
    RUN([] { MainWindow->Teeth1Click(); }, driver);
    for (int tooth = 1; tooth <= 20; ++tooth) {
        QCOMPARE(Entries().toothDate(tooth), "02-" + two(tooth) + "-98");
        QCOMPARE(captions.value(tooth - 1), QString::number(tooth));
        QCOMPARE(shown.value(tooth - 1), QStringLiteral("  -  -  "));
    }
}

void MilestonesTest::toothCancelStoresNothingAndButtonsShowDates() {
    Entries().setToothDate(5, "06-01-98");
    QString five, six;
    bool fiveDated = false, sixDated = true, afterOk = false;
    QString hint;
    ModalDriver driver;
    driver.expect("Teeth", [&](QWidget* w) {
        auto* b5 = w->findChild<QPushButton*>("BitBtn4");
        fiveDated = b5->property("dated").toBool();
        hint = b5->toolTip();
        sixDated = w->findChild<QPushButton*>("BitBtn9")->property("dated").toBool();
        ModalDriver::click(w, "5");
    });
    driver.expect("ToothDate", [&](QWidget* w) {
        five = w->findChild<MaskedDateEdit*>("Date")->storedText();
        ModalDriver::type(w, "Date", "111111");
        ModalDriver::click(w, "CancelBtn");
    });
    driver.expect("Teeth", [](QWidget* w) { ModalDriver::click(w, "6"); });
    driver.expect("ToothDate", [&](QWidget* w) {
        six = w->findChild<MaskedDateEdit*>("Date")->storedText();
        ModalDriver::type(w, "Date", "070198");
        ModalDriver::click(w, "OKBtn");
    });
    driver.expect("Teeth", [&](QWidget* w) {
        afterOk = w->findChild<QPushButton*>("BitBtn9")->property("dated").toBool();
        ModalDriver::click(w, "OKBtn");
    });
    RUN([] { MainWindow->Teeth1Click(); }, driver);
    QCOMPARE(five, QStringLiteral("06-01-98"));
    QCOMPARE(six, QStringLiteral("  -  -  "));
    QCOMPARE(Entries().toothDate(5), QStringLiteral("06-01-98"));
    QVERIFY(fiveDated);
    QVERIFY(hint.contains("06-01-98"));
    QVERIFY(hint.contains(MilestoneSheets::toothKind(5)));
    QVERIFY(!sixDated);
    QVERIFY(afterOk); // the arch shows the new date as soon as the dialog closes

    // Another child's teeth start empty.
    TempStore::addChild("Ben");
    MainWindow->makeChildActive("Ben");
    QString benFive;
    ModalDriver again;
    again.expect("Teeth", [](QWidget* w) { ModalDriver::click(w, "5"); });
    again.expect("ToothDate", [&](QWidget* w) {
        benFive = w->findChild<MaskedDateEdit*>("Date")->storedText();
        ModalDriver::click(w, "CancelBtn");
    });
    again.expect("Teeth", [](QWidget* w) { ModalDriver::click(w, "OKBtn"); });
    RUN([] { MainWindow->Teeth1Click(); }, again);
    QCOMPARE(benFive, QStringLiteral("  -  -  "));
}

void MilestonesTest::birthdayPickerReturnsToTheMainWindow() {
    QStringList titles;
    bool pickerHidden = false;
    ModalDriver driver;
    driver.expect("PickBday", [](QWidget* w) { ModalDriver::click(w, "7th"); });
    driver.expect("Birthdays", [&](QWidget* w) {
        for (const char* t : {"Title1", "Title2", "Title3", "Title4"})
            titles << text(w, t);
        titles << w->windowTitle();
        pickerHidden = !Form("PickBday")->isVisible();
        ModalDriver::click(w, "BitBtn2");
    });
    RUN([] { MainWindow->PickBdayClick(); }, driver);
    QCOMPARE(titles,
             (QStringList{"7th Birthday", "7th Birthday", "7th Birthday", "7th Birthday", "Birthdays"}));
    QVERIFY(pickerHidden);

    // The picker's seventeen buttons each open their own birthday; Cancel closes it.
    ModalDriver each;
    QStringList opened;
    const QStringList all = MilestoneSheets::birthdayTitles();
    for (int i = 0; i < all.size(); ++i) {
        each.expect("PickBday",
                    [i](QWidget* w) { ModalDriver::click(w, "BitBtn" + QString::number(i + 1)); });
        each.expect("Birthdays", [&opened](QWidget* w) {
            opened << text(w, "Title1");
            ModalDriver::click(w, "BitBtn3");
        });
    }
    each.expect("PickBday", [](QWidget* w) { ModalDriver::click(w, "CancelBtn"); });
    RUN(([all] {
            for (int i = 0; i <= all.size(); ++i)
                MainWindow->PickBdayClick();
        }),
        each);
    QCOMPARE(opened, all);
}

void MilestonesTest::holidayChainsGiveCaptionsAndTitles_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("title");
    QTest::newRow("easter") << "Easter1"
                            << ""
                            << "Holidays"
                            << "First Easter - Ann";
    QTest::newRow("july") << "FourthofJuly1"
                          << ""
                          << "Holidays"
                          << "First 4th of July - Ann";
    QTest::newRow("halloween") << "Halloween1"
                               << ""
                               << "Holidays"
                               << "First Halloween - Ann";
    QTest::newRow("thanksgiving") << "Thanksgiving1"
                                  << ""
                                  << "Holidays"
                                  << "First Thanksgiving - Ann";
    QTest::newRow("christmas") << "Christmas1"
                               << ""
                               << "Holidays"
                               << "First Christmas - Ann";
    QTest::newRow("christening") << "Christening1"
                                 << ""
                                 << "Christening"
                                 << "Christening";
    QTest::newRow("other holiday") << "OtherHolidays1"
                                   << "Diwali"
                                   << "Holidays"
                                   << "First Diwali - Ann";
    QTest::newRow("empty holiday") << "OtherHolidays1"
                                   << ""
                                   << "Holidays"
                                   << "First  - Ann";
    QTest::newRow("outing") << "Outings1"
                            << "Trip to the zoo"
                            << "Special Outing Editor"
                            << "Trip to the zoo";
    QTest::newRow("visitor") << "Visitors1"
                             << "Great Aunt Lil"
                             << "Special Visitor Editor"
                             << "Great Aunt Lil";
}

void MilestonesTest::holidayChainsGiveCaptionsAndTitles() {
    QFETCH(QString, path);
    QFETCH(QString, typed);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    QStringList seen;
    ModalDriver driver;
    if (path == "OtherHolidays1") {
        driver.expect("PickHoliday", [&seen](QWidget* w) {
            seen << w->windowTitle();
            ModalDriver::click(w, "BitBtn1");
        });
    } else if (path == "Outings1" || path == "Visitors1") {
        driver.expect("PickEvent", [&seen](QWidget* w) {
            seen << w->windowTitle() << w->findChild<QPushButton*>("AddNew")->text();
            ModalDriver::click(w, "AddNew");
        });
    }
    if (!typed.isNull() && (path == "OtherHolidays1" || path == "Outings1" || path == "Visitors1")) {
        driver.expect("NewTitle", [&seen, typed](QWidget* w) {
            seen << w->windowTitle();
            ModalDriver::type(w, "Title", typed);
            ModalDriver::click(w, "OKBtn");
        });
    }
    QString shownCaption, shownTitle;
    bool chainHidden = false;
    driver.expect("Holiday", [&](QWidget* w) {
        shownCaption = w->windowTitle();
        shownTitle = text(w, "Title");
        chainHidden = !Form("PickHoliday")->isVisible() && !Form("PickEvent")->isVisible() &&
                      !Form("NewTitle")->isVisible();
        ModalDriver::click(w, "OKBtn");
    });
    RUN(([path] {
            const QList<QAction*> actions = MainWindow->findChildren<QAction*>(path);
            if (!actions.isEmpty())
                actions.first()->trigger();
        }),
        driver);
    QCOMPARE(shownCaption, caption);
    QCOMPARE(shownTitle, title);
    QVERIFY(chainHidden);
    if (path == "OtherHolidays1")
        QCOMPARE(seen, (QStringList{"Pick Holiday", "New Holiday"}));
    if (path == "Outings1")
        QCOMPARE(seen, (QStringList{"Pick Outing", "Add New Outing", "New Outing"}));
    if (path == "Visitors1")
        QCOMPARE(seen, (QStringList{"Pick Visitor", "Add New Visitor", "New Visitor"}));
}

void MilestonesTest::cancelInTheTitleDialogShowsNoHoliday() {
    int holidayShown = 0;
    struct Counter : QObject {
        int* n;
        explicit Counter(int* c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Show)
                ++*n;
            return false;
        }
    } counter(&holidayShown);
    Form("Holiday")->installEventFilter(&counter);
    ModalDriver driver;
    driver.expect("PickEvent", [](QWidget* w) { ModalDriver::click(w, "AddNew"); });
    driver.expect("NewTitle", [](QWidget* w) {
        ModalDriver::type(w, "Title", "Never mind");
        ModalDriver::click(w, "CancelBtn");
    });
    driver.expect("PickHoliday", [](QWidget* w) { ModalDriver::click(w, "BitBtn1"); });
    driver.expect("NewTitle", [](QWidget* w) { ModalDriver::click(w, "CancelBtn"); });
    RUN(([] {
            MainWindow->Visitors1Click();
            MainWindow->OtherHolidays1Click();
        }),
        driver);
    Form("Holiday")->removeEventFilter(&counter);
    QCOMPARE(holidayShown, 0);
    QVERIFY(MilestoneSheets::occasions("Ann").isEmpty()); // nothing was recorded either
}

void MilestonesTest::captionDependentHelpTopics() {
    ModalDriver driver;
    auto helpThen = [](const char* close) {
        return [close](QWidget* w) {
            ModalDriver::click(w, "HelpBtn");
            ModalDriver::click(w, close);
        };
    };
    // Visitor: picker 30, title dialog 31, form 32; outing: 33, 34, 35; holiday: 44, 56, 29; christening 59.
    for (int i = 0; i < 3; ++i) {
        driver.expect(i == 2 ? "PickHoliday" : "PickEvent", [i](QWidget* w) {
            ModalDriver::click(w, "HelpBtn");
            ModalDriver::click(w, i == 2 ? "BitBtn1" : "AddNew");
        });
        driver.expect("NewTitle", [](QWidget* w) {
            ModalDriver::click(w, "HelpBtn");
            ModalDriver::type(w, "Title", "x");
            ModalDriver::click(w, "OKBtn");
        });
        driver.expect("Holiday", helpThen("CancelBtn"));
    }
    driver.expect("Holiday", helpThen("OKBtn"));
    driver.expect("Holiday", helpThen("OKBtn"));
    RUN(([] {
            MainWindow->Visitors1Click();
            MainWindow->Outings1Click();
            MainWindow->OtherHolidays1Click();
            MainWindow->Christening1Click();
            MainWindow->Halloween1Click();
        }),
        driver);
    QCOMPARE(m_help->topics, (QList<int>{30, 31, 32, 33, 34, 35, 44, 56, 29, 59, 29}));
}

void MilestonesTest::fixedHelpTopics() {
    ModalDriver driver;
    driver.expect("Family", [](QWidget* w) {
        ModalDriver::click(w, "BitBtn3");
        ModalDriver::click(w, "BitBtn1");
        ModalDriver::click(w, "Button1");
    });
    driver.expect("FamilyInput", [](QWidget* w) {
        ModalDriver::click(w, "HelpBtn");
        ModalDriver::click(w, "CancelBtn");
    });
    driver.expect("Family", [](QWidget* w) { ModalDriver::click(w, "BitBtn2"); });
    driver.expect("Teeth", [](QWidget* w) {
        ModalDriver::click(w, "HelpBtn");
        ModalDriver::click(w, "1");
    });
    driver.expect("ToothDate", [](QWidget* w) {
        ModalDriver::click(w, "HelpBtn");
        ModalDriver::click(w, "CancelBtn");
    });
    driver.expect("Teeth", [](QWidget* w) { ModalDriver::click(w, "OKBtn"); });
    driver.expect("Birthdays", [](QWidget* w) {
        for (const char* b : {"BitBtn1", "BitBtn4", "BitBtn5", "BitBtn6", "BitBtn3"})
            ModalDriver::click(w, b);
    });
    driver.expect("Skills", [](QWidget* w) {
        for (const char* b :
             {"HelpBtn", "BitBtn18", "BitBtn4", "BitBtn7", "BitBtn10", "BitBtn13", "BitBtn16"})
            ModalDriver::click(w, b);
        ModalDriver::click(w, "BitBtn21");
    });
    RUN(([] {
            MainWindow->Family1Click();
            MainWindow->Teeth1Click();
            MainWindow->BirthdayItemClick("3rd Birthday");
            MainWindow->Skills1Click();
        }),
        driver);
    QCOMPARE(m_help->topics, (QList<int>{11, 12, 48, 47, 58, 25, 26, 27, 28, 21, 21, 21, 21, 21, 21, 21}));
}

void MilestonesTest::showBirthday(const QString& title) {
    auto* b = qobject_cast<TBirthdays*>(Form("Birthdays"));
    b->hide();
    b->setTitles(title);
    b->show(); // activation loads the birthday
}

void MilestonesTest::guestsPage() {
    showBirthday("2nd Birthday");
    auto* b = qobject_cast<TBirthdays*>(Form("Birthdays"));
    auto* memo = b->findChild<QPlainTextEdit*>("Memo2");
    auto* combo = b->findChild<QComboBox*>("ComboBox1");
    auto* edit = b->findChild<QLineEdit*>("Edit1");
    auto* add = b->findChild<QToolButton*>("BitBtn7");
    auto* del = b->findChild<QToolButton*>("DelButton");
    QVERIFY(memo && combo && edit && add && del);
    for (const char* name : {"Grandma Rose", "Uncle Tom", "Mia"}) {
        edit->setText(name);
        add->click();
    }
    QCOMPARE(memo->toPlainText(), QStringLiteral("Grandma Rose\nUncle Tom\nMia"));
    QCOMPARE(combo->count(), 3);
    QVERIFY(edit->text().isEmpty());

    // An empty name is refused with a message; nothing is added.
    ModalDriver refuse;
    refuse.expect("InformationBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Ok); });
    refuse.start();
    edit->setText("   ");
    add->click();
    QVERIFY2(refuse.waitFinished(), qPrintable(refuse.error()));
    QCOMPARE(combo->count(), 3);

    // Delete asks first; "No" keeps the guest, "Yes" removes the one chosen in the combo.
    ModalDriver driver;
    driver.expect("ConfirmBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::No); });
    driver.expect("ConfirmBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Yes); });
    driver.start();
    combo->setCurrentIndex(1);
    del->click();
    QCOMPARE(combo->count(), 3);
    combo->setCurrentIndex(1);
    del->click();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(driver.messages(), (QStringList{"Delete this record?", "Delete this record?"}));
    QCOMPARE(memo->toPlainText(), QStringLiteral("Grandma Rose\nMia"));
    QCOMPARE(MilestoneSheets::birthday("Ann", "2nd Birthday").guests, (QStringList{"Grandma Rose", "Mia"}));
    b->hide();
}

void MilestonesTest::giftsPage() {
    showBirthday("1st Birthday");
    auto* b = qobject_cast<TBirthdays*>(Form("Birthdays"));
    auto* memo = b->findChild<QPlainTextEdit*>("Memo3");
    auto* combo = b->findChild<QComboBox*>("ComboBox2");
    auto* name = b->findChild<QLineEdit*>("Edit2");
    auto* gift = b->findChild<QLineEdit*>("Edit4");
    auto* shown = b->findChild<QLineEdit*>("Edit3");
    auto* add = b->findChild<QToolButton*>("BitBtn8");
    auto* up = b->findChild<QToolButton*>("Up");
    auto* down = b->findChild<QToolButton*>("Down");
    auto* del = b->findChild<QToolButton*>("SpeedButton1");
    QVERIFY(memo && combo && name && gift && shown && add && up && down && del);
    auto record = [b] { return text(b, "Label17") + " " + text(b, "Label19") + " " + text(b, "Label18"); };
    QCOMPARE(record(), QStringLiteral("0 of 0"));
    const QList<QPair<QString, QString>> gifts{
        {"Aunt May", "Teddy bear"}, {"Grandpa", "Blocks"}, {"Ben", "Book"}};
    for (const auto& g : gifts) {
        name->setText(g.first);
        gift->setText(g.second);
        add->click();
    }
    QCOMPARE(memo->toPlainText(), QStringLiteral("Aunt May -- Teddy bear\nGrandpa -- Blocks\nBen -- Book"));
    QCOMPARE(record(), QStringLiteral("3 of 3"));
    QCOMPARE(shown->text(), QStringLiteral("Book"));
    up->click();
    QCOMPARE(record(), QStringLiteral("2 of 3"));
    QCOMPARE(shown->text(), QStringLiteral("Blocks"));
    QCOMPARE(combo->currentText(), QStringLiteral("Grandpa"));
    up->click();
    up->click(); // already at the first record
    QCOMPARE(record(), QStringLiteral("1 of 3"));
    QCOMPARE(shown->text(), QStringLiteral("Teddy bear"));
    down->click();
    down->click();
    down->click();
    QCOMPARE(record(), QStringLiteral("3 of 3"));
    combo->setCurrentIndex(1); // choosing a name shows its record
    QCOMPARE(record(), QStringLiteral("2 of 3"));
    QCOMPARE(shown->text(), QStringLiteral("Blocks"));

    ModalDriver driver;
    driver.expect("ConfirmBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Yes); });
    driver.start();
    del->click();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(driver.messages(), QStringList{"Delete this record?"});
    QCOMPARE(memo->toPlainText(), QStringLiteral("Aunt May -- Teddy bear\nBen -- Book"));
    QCOMPARE(record(), QStringLiteral("2 of 2"));
    QCOMPARE(shown->text(), QStringLiteral("Book"));
    const QVector<MilestoneSheets::Gift> stored = MilestoneSheets::birthday("Ann", "1st Birthday").gifts;
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored.at(1).gift, QStringLiteral("Book"));
    b->hide();
}

void MilestonesTest::enterInTheGuestAndGiftBoxesAddsTheLineAndKeepsTheForm() {
    QStringList openAfterEnter;
    ModalDriver driver;
    driver.expect("Birthdays", [&](QWidget* w) {
        auto enter = [&](const char* box, const QString& typed) {
            auto* edit = w->findChild<QLineEdit*>(box);
            edit->setFocus();
            QTest::keyClicks(edit, typed);
            QTest::keyClick(edit, Qt::Key_Return);
            openAfterEnter << (w->isVisible() ? QString::fromLatin1(box) : QStringLiteral("closed"));
        };
        auto* pages = w->findChild<QTabWidget*>("PageControl1");
        pages->setCurrentIndex(1);
        enter("Edit1", "Grandma Rose");
        enter("Edit1", "Mia");
        pages->setCurrentIndex(2);
        w->findChild<QLineEdit*>("Edit4")->setText("Blocks");
        enter("Edit2", "Grandpa"); // Enter in the giver's box adds the gift too
        w->findChild<QLineEdit*>("Edit2")->setText("Ben");
        enter("Edit4", "Book");
        ModalDriver::click(w, "BitBtn2");
    });
    RUN([] { MainWindow->BirthdayItemClick("1st Birthday"); }, driver);
    QCOMPARE(openAfterEnter, (QStringList{"Edit1", "Edit1", "Edit2", "Edit4"}));
    const MilestoneSheets::BirthdayRecord stored = MilestoneSheets::birthday("Ann", "1st Birthday");
    QCOMPARE(stored.guests, (QStringList{"Grandma Rose", "Mia"}));
    QCOMPARE(stored.gifts.size(), 2);
    QCOMPARE(stored.gifts.at(0).name + "/" + stored.gifts.at(0).gift, QStringLiteral("Grandpa/Blocks"));
    QCOMPARE(stored.gifts.at(1).name + "/" + stored.gifts.at(1).gift, QStringLiteral("Ben/Book"));
}

void MilestonesTest::birthdaysAreKeptPerChildAndTitle() {
    const QString bmp = m_app->store().dataHome() + "/party.bmp";
    QImage img(30, 20, QImage::Format_RGB32);
    img.fill(Qt::red);
    QVERIFY(img.save(bmp, "BMP"));
    // The chooser answers OK with the party picture.
    m_help->chooser = [bmp] { return std::optional<QString>(bmp); };

    showBirthday("1st Birthday");
    auto* b = qobject_cast<TBirthdays*>(Form("Birthdays"));
    auto* remarks = b->findChild<QPlainTextEdit*>("Remarks");
    remarks->setFocus();
    QTest::keyClicks(remarks, "First cake!");
    b->findChild<QLineEdit*>("Edit1")->setText("Rose");
    b->findChild<QToolButton*>("BitBtn7")->click();
    b->findChild<QToolButton*>("SpeedButton2")->click();
    QTRY_VERIFY(b->findChild<ReplaceablePicture*>("Image1")->isCustom());
    b->findChild<QPushButton*>("BitBtn2")->click(); // Ok keeps the picture chosen

    showBirthday("2nd Birthday"); // another birthday: its own page
    QCOMPARE(b->findChild<QPlainTextEdit*>("Remarks")->toPlainText(), QString());
    QCOMPARE(b->findChild<QPlainTextEdit*>("Memo2")->toPlainText(), QString());
    QVERIFY(!b->findChild<ReplaceablePicture*>("Image1")->isCustom());
    QCOMPARE(b->findChildren<ReplaceablePicture*>("Image1").size(), 1);
    b->hide();

    TempStore::addChild("Ben");
    MainWindow->makeChildActive("Ben");
    showBirthday("1st Birthday");
    QCOMPARE(b->findChild<QPlainTextEdit*>("Remarks")->toPlainText(), QString());
    QCOMPARE(b->findChild<QComboBox*>("ComboBox1")->count(), 0);
    QVERIFY(!b->findChild<ReplaceablePicture*>("Image1")->isCustom());
    b->hide();

    m_app->restart();
    m_help.reset(); // the restart made the new main window the host
    MainWindow->makeChildActive("Ann");
    QString remarksBack, guestsBack;
    bool pictureBack = false;
    ModalDriver driver;
    driver.expect("Birthdays", [&](QWidget* w) {
        remarksBack = text(w, "Remarks");
        guestsBack = text(w, "Memo2");
        pictureBack = w->findChild<ReplaceablePicture*>("Image1")->isCustom();
        ModalDriver::click(w, "BitBtn2");
    });
    RUN([] { MainWindow->BirthdayItemClick("1st Birthday"); }, driver);
    QCOMPARE(remarksBack, QStringLiteral("First cake!"));
    QCOMPARE(guestsBack, QStringLiteral("Rose"));
    QVERIFY(pictureBack);
}

void MilestonesTest::occasionsAreKeptPerChildAndPickedFromTheLists() {
    auto type = [](const QString& t) {
        return [t](QWidget* w) {
            auto* memo = w->findChild<QPlainTextEdit*>("Remarks");
            memo->setFocus();
            QTest::keyClicks(memo, t);
            ModalDriver::click(w, "OKBtn");
        };
    };
    ModalDriver first;
    first.expect("Holiday", type("Snow and lights"));
    first.expect("Holiday", type("In the old church"));
    first.expect("PickHoliday", [](QWidget* w) { ModalDriver::click(w, "BitBtn1"); });
    first.expect("NewTitle", [](QWidget* w) {
        ModalDriver::type(w, "Title", "Diwali");
        ModalDriver::click(w, "OKBtn");
    });
    first.expect("Holiday", type("Lamps"));
    first.expect("PickEvent", [](QWidget* w) { ModalDriver::click(w, "AddNew"); });
    first.expect("NewTitle", [](QWidget* w) {
        ModalDriver::type(w, "Title", "Zoo");
        ModalDriver::click(w, "OKBtn");
    });
    first.expect("Holiday", type("Lions"));
    RUN(([] {
            MainWindow->Christmas1Click();
            MainWindow->Christening1Click();
            MainWindow->OtherHolidays1Click();
            MainWindow->Outings1Click();
        }),
        first);

    // Each occasion shows its own remarks; the pickers list this child's named occasions.
    QString christmas, christening;
    QStringList holidayList, outingList, visitorList;
    QString picked, pickedCaption, pickedRemarks;
    ModalDriver second;
    second.expect("Holiday", [&](QWidget* w) {
        christening = text(w, "Remarks");
        ModalDriver::click(w, "CancelBtn");
    });
    second.expect("Holiday", [&](QWidget* w) {
        christmas = text(w, "Remarks");
        ModalDriver::click(w, "OKBtn");
    });
    second.expect("PickEvent", [&](QWidget* w) {
        auto* c = w->findChild<QComboBox*>("ComboBox1");
        for (int i = 0; i < c->count(); ++i)
            visitorList << c->itemText(i);
        ModalDriver::click(w, "OKBtn"); // nothing chosen: just closes
    });
    second.expect("PickEvent", [&](QWidget* w) {
        auto* c = w->findChild<QComboBox*>("ComboBox1");
        for (int i = 0; i < c->count(); ++i)
            outingList << c->itemText(i);
        ModalDriver::click(w, "CancelBtn");
    });
    second.expect("PickHoliday", [&](QWidget* w) {
        auto* c = w->findChild<QComboBox*>("ComboBox1");
        for (int i = 0; i < c->count(); ++i)
            holidayList << c->itemText(i);
        c->setCurrentIndex(0);
        ModalDriver::click(w, "OKBtn");
    });
    second.expect("Holiday", [&](QWidget* w) {
        picked = text(w, "Title");
        pickedCaption = w->windowTitle();
        pickedRemarks = text(w, "Remarks");
        ModalDriver::click(w, "OKBtn");
    });
    RUN(([] {
            MainWindow->Christening1Click();
            MainWindow->Christmas1Click();
            MainWindow->Visitors1Click();
            MainWindow->Outings1Click();
            MainWindow->OtherHolidays1Click();
        }),
        second);
    QCOMPARE(christening, QStringLiteral("In the old church"));
    QCOMPARE(christmas, QStringLiteral("Snow and lights"));
    QCOMPARE(visitorList, QStringList());
    QCOMPARE(outingList, QStringList{"Zoo"});
    QCOMPARE(holidayList, QStringList{"First Diwali - Ann"});
    QCOMPARE(picked, QStringLiteral("First Diwali - Ann"));
    QCOMPARE(pickedCaption, QStringLiteral("Holidays"));
    QCOMPARE(pickedRemarks, QStringLiteral("Lamps"));

    // Another child has none of it; after a restart Ann's are back.
    TempStore::addChild("Ben");
    MainWindow->makeChildActive("Ben");
    QString benChristmas;
    int benHolidays = -1;
    ModalDriver third;
    third.expect("Holiday", [&](QWidget* w) {
        benChristmas = text(w, "Remarks") + "|" + text(w, "Title");
        ModalDriver::click(w, "OKBtn");
    });
    third.expect("PickHoliday", [&](QWidget* w) {
        benHolidays = w->findChild<QComboBox*>("ComboBox1")->count();
        ModalDriver::click(w, "CancelBtn");
    });
    RUN(([] {
            MainWindow->Christmas1Click();
            MainWindow->OtherHolidays1Click();
        }),
        third);
    QCOMPARE(benChristmas, QStringLiteral("|First Christmas - Ben"));
    QCOMPARE(benHolidays, 0);

    m_app->restart();
    m_help.reset(); // the restart made the new main window the host
    MainWindow->makeChildActive("Ann");
    QString after;
    ModalDriver fourth;
    fourth.expect("PickEvent", [](QWidget* w) {
        w->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(0);
        ModalDriver::click(w, "OKBtn");
    });
    fourth.expect("Holiday", [&](QWidget* w) {
        after = w->windowTitle() + "|" + text(w, "Title") + "|" + text(w, "Remarks");
        ModalDriver::click(w, "OKBtn");
    });
    RUN([] { MainWindow->Outings1Click(); }, fourth);
    QCOMPARE(after, QStringLiteral("Special Outing Editor|Zoo|Lions"));
    QCOMPARE(MilestoneSheets::occasionRemarks("Ann", "Holidays", "First Christmas - Ann"),
             QStringLiteral("Snow and lights"));
}

void MilestonesTest::skillsAndFamilyAreKeptPerChild() {
    ModalDriver first;
    first.expect("Skills", [](QWidget* w) {
        ModalDriver::type(w, "Edit1", "3 days");
        ModalDriver::type(w, "Edit78", "Whistles");
        ModalDriver::type(w, "Edit79", "age 4");
        ModalDriver::click(w, "CancelBtn"); // typing is kept however the form is closed
    });
    RUN([] { MainWindow->Skills1Click(); }, first);
    Entries().setFamilyMember(1, {"Jane", "  -  -  ", ""});

    TempStore::addChild("Ben");
    MainWindow->makeChildActive("Ben");
    QString benSkill, benMother;
    ModalDriver second;
    second.expect("Skills", [&](QWidget* w) {
        benSkill = text(w, "Edit1") + text(w, "Edit78");
        ModalDriver::click(w, "OKBtn");
    });
    second.expect("Family", [&](QWidget* w) {
        benMother = text(w, "MomName") + "|" + text(w, "ChildName2");
        ModalDriver::click(w, "BitBtn2");
    });
    RUN(([] {
            MainWindow->Skills1Click();
            MainWindow->Family1Click();
        }),
        second);
    QCOMPARE(benSkill, QString());
    QCOMPARE(benMother, QStringLiteral("|Ben"));

    m_app->restart();
    m_help.reset(); // the restart made the new main window the host
    MainWindow->makeChildActive("Ann");
    QString annSkills, annMother;
    ModalDriver third;
    third.expect("Skills", [&](QWidget* w) {
        annSkills = text(w, "Edit1") + "|" + text(w, "Edit78") + "|" + text(w, "Edit79");
        ModalDriver::click(w, "OKBtn");
    });
    third.expect("Family", [&](QWidget* w) {
        annMother = text(w, "MomName");
        ModalDriver::click(w, "BitBtn2");
    });
    RUN(([] {
            MainWindow->Skills1Click();
            MainWindow->Family1Click();
        }),
        third);
    QCOMPARE(annSkills, QStringLiteral("3 days|Whistles|age 4"));
    QCOMPARE(annMother, QStringLiteral("Jane"));
    const QVector<MilestoneSheets::SkillEntry> list = MilestoneSheets::skills("Ann");
    QCOMPARE(list.first().value, QStringLiteral("3 days"));
    QCOMPARE(list.last().skill, QStringLiteral("Whistles"));
    QCOMPARE(list.last().value, QStringLiteral("age 4"));
}

void MilestonesTest::skillsPagesCarryEveryCaption() {
    auto* s = Form("Skills");
    auto* tabs = s->findChild<QTabWidget*>("PageControl1");
    QStringList tabNames;
    for (int i = 0; i < tabs->count(); ++i)
        tabNames << tabs->tabText(i);
    QCOMPARE(tabNames, MilestoneSheets::skillPages());
    for (const MilestoneSheets::SkillField& f : MilestoneSheets::listedSkills()) {
        auto* field = s->findChild<QLineEdit*>(f.field);
        QVERIFY2(field, qPrintable(f.field));
        // The caption stands beside its own field, on its own page.
        auto* page = tabs->widget(tabNames.indexOf(f.page));
        QVERIFY2(page->isAncestorOf(field), qPrintable(f.field));
        bool captioned = false;
        for (QLabel* l : page->findChildren<QLabel*>())
            captioned = captioned || (l->text() == f.caption && l->buddy() == field);
        QVERIFY2(captioned, qPrintable(f.caption));
    }
    for (const char* p : {"Image1", "Image2", "Image3", "Image16", "Image17", "Image18", "Image19"})
        QVERIFY2(s->findChild<ReplaceablePicture*>(p), p);
    for (int i = 4; i <= 15; ++i)
        QVERIFY(s->findChild<QLabel*>("Image" + QString::number(i)));
}

void MilestonesTest::unreadableRecordsAreReportedAndNotOverwritten() {
    Database::exec("DROP TABLE SHEETS");
    bool remarksLocked = false, skillLocked = false;
    ModalDriver driver;
    driver.expect("ErrorReport", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Ok); });
    driver.expect("Birthdays", [&](QWidget* w) {
        remarksLocked = w->findChild<QPlainTextEdit*>("Remarks")->isReadOnly();
        ModalDriver::type(w, "Edit1", "Rose");
        ModalDriver::click(w, "BitBtn7");
    });
    driver.expect("InformationBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Ok); });
    driver.expect("Birthdays", [](QWidget* w) { ModalDriver::click(w, "BitBtn2"); });
    driver.expect("ErrorReport", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Ok); });
    driver.expect("Skills", [&](QWidget* w) {
        skillLocked = w->findChild<QLineEdit*>("Edit1")->isReadOnly();
        ModalDriver::click(w, "OKBtn");
    });
    RUN(([] {
            MainWindow->BirthdayItemClick("1st Birthday");
            MainWindow->Skills1Click();
        }),
        driver);
    QVERIFY(remarksLocked);
    QVERIFY(skillLocked);
    QVERIFY(driver.messages().at(1).contains("could not be read"));
}

void MilestonesTest::screenshots() {
    const QString dir = qEnvironmentVariable("TINYRA_SHOTS");
    if (dir.isEmpty())
        QSKIP("set TINYRA_SHOTS to a directory to save pictures of the forms");
    QDir().mkpath(dir);
    for (int slot = 1; slot <= 14; ++slot)
        Entries().setFamilyMember(
            slot, {QStringList{"Jane Miller", "Robert Miller", "Rose Smith", "Albert Smith", "Edith Miller",
                               "George Miller", "Mary Brown", "Alice Smith", "Grace Hill", "Ida Miller",
                               "Henry Brown", "Walter Smith", "Frank Hill", "Otto Miller"}[slot - 1],
                   "", ""});
    for (int t : {1, 2, 3, 19, 20})
        Entries().setToothDate(t, "04-1" + QString::number(t % 10) + "-98");
    auto shoot = [&](const char* form, const QString& file, int tab = -1) {
        QWidget* w = Form(form);
        if (tab >= 0)
            w->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(tab);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->grab().save(dir + "/" + file + ".png");
        w->hide();
    };
    shoot("Family", "family-info", 0);
    shoot("Family", "family-tree", 1);
    shoot("Teeth", "teeth");
    qobject_cast<TBirthdays*>(Form("Birthdays"))->setTitles("2nd Birthday");
    for (int i = 0; i < 4; ++i)
        shoot("Birthdays", "birthday-" + QString::number(i), i);
    for (int i = 0; i < 7; ++i)
        shoot("Skills", "skills-" + QString::number(i), i);
    Form("Holiday")->setWindowTitle("Holidays");
    qobject_cast<THoliday*>(Form("Holiday"))->setTitle("First Christmas - Ann");
    shoot("Holiday", "holiday");
    shoot("PickBday", "pickbday");
    Form("PickEvent")->setWindowTitle("Pick Outing");
    qobject_cast<TPickEvent*>(Form("PickEvent"))->setAddNewCaption("Add New Outing");
    shoot("PickEvent", "pickevent");
    shoot("PickHoliday", "pickholiday");
    shoot("NewTitle", "newtitle");
    shoot("FamilyInput", "familyinput");
    shoot("ToothDate", "toothdate");
}

QTEST_MAIN(MilestonesTest)
#include "tst_milestones.moc"
