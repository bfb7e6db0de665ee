// Working every form from the keyboard: access keys, read-only displays and the answer Enter gives
// to a question that deletes.
#include "core/book/EntryStore.h"
#include "core/milestones/MilestoneSheets.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "support/RunCommand.h"
#include "ui/common/TDialog.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {
QString keyOf(const QString& text) {
    const QKeySequence key = QKeySequence::mnemonic(text);
    return key.isEmpty() ? QString() : key.toString();
}

// The access keys that work in `form` as it stands (the current page of each tab widget): each key
// with the captions that claim it.
QMap<QString, QStringList> accessKeys(QWidget* form) {
    QMap<QString, QStringList> keys;
    auto add = [&](const QString& caption) {
        const QString key = keyOf(caption);
        if (!key.isEmpty())
            keys[key] << caption;
    };
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(form))
            continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            add(b->text());
        else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy())
            add(l->text());
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            add(g->title());
        else if (auto* bar = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < bar->count(); ++i)
                add(bar->tabText(i));
    }
    return keys;
}

void noteClashes(const QString& where, QWidget* form, QStringList* clashes) {
    const QMap<QString, QStringList> keys = accessKeys(form);
    for (auto it = keys.begin(); it != keys.end(); ++it)
        if (it.value().size() > 1)
            *clashes << where + ": " + it.key() + " " + it.value().join(" / ");
}

QList<TDialog*> everyForm() {
    QList<TDialog*> forms = MainWindow->findChildren<TDialog*>(Qt::FindDirectChildrenOnly);
    for (TDialog* f : forms)
        f->ensureBuilt();
    return forms;
}

void enter(QWidget* box) {
    QTest::keyClick(box, Qt::Key_Return);
}
} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_app = std::make_unique<AppFixture>("Ann"); }
    void cleanup() { m_app.reset(); }
    void noTwoControlsOfAWindowShareAnAccessKey();
    void readOnlyMemosShowNoCaretAndLookReadOnly();
    void enterAtADeleteQuestionDeletesNothing();

private:
    std::unique_ptr<AppFixture> m_app;
};

void KeyboardTest::noTwoControlsOfAWindowShareAnAccessKey() {
    QStringList clashes;
    int views = 0;
    for (TDialog* form : everyForm()) {
        const QList<QTabWidget*> tabs = form->findChildren<QTabWidget*>();
        if (tabs.isEmpty()) {
            noteClashes(form->objectName(), form, &clashes);
            ++views;
        }
        // Each page of a tab widget is its own view: controls of hidden pages take no keys.
        for (QTabWidget* tab : tabs) {
            const int shown = tab->currentIndex();
            for (int i = 0; i < tab->count(); ++i) {
                tab->setCurrentIndex(i);
                noteClashes(form->objectName() + "/" + tab->tabText(i), form, &clashes);
                ++views;
            }
            tab->setCurrentIndex(shown);
        }
    }
    QVERIFY(views > 40); // every form was walked, the paged ones page by page
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join("\n")));
}

void KeyboardTest::readOnlyMemosShowNoCaretAndLookReadOnly() {
    QStringList wrong, seen;
    for (TDialog* form : everyForm()) {
        for (QPlainTextEdit* memo : form->findChildren<QPlainTextEdit*>()) {
            if (!memo->isReadOnly())
                continue;
            const QString name = form->objectName() + "/" + memo->objectName();
            seen << name;
            if (memo->textInteractionFlags() & (Qt::TextSelectableByKeyboard | Qt::TextEditable))
                wrong << name + " shows a caret";
            if (memo->palette().color(QPalette::Base) != memo->palette().color(QPalette::Window))
                wrong << name + " looks like a box to type in";
            if (!memo->tabChangesFocus())
                wrong << name + " keeps the Tab key";
        }
    }
    QVERIFY(seen.contains("HelpForm/DBMemo1"));
    QVERIFY(seen.contains("Birthdays/Memo2"));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("\n")));

    // Tab passes the guest list by (the name box beside it offers the same guests) but reaches the
    // text of a diary entry, which is shown nowhere else.
    QStringList guestsPage, journal;
    auto tabCycle = [](QWidget* w, QStringList* into) {
        for (int i = 0; i < 30; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            into->append(QApplication::focusWidget()->objectName());
        }
        Q_UNUSED(w);
    };
    ModalDriver driver;
    driver.expect("Birthdays", [&](QWidget* w) {
        w->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
        w->findChild<QComboBox*>("ComboBox1")->setFocus();
        tabCycle(w, &guestsPage);
        ModalDriver::click(w, "BitBtn3");
    });
    RUN([] { MainWindow->BirthdayItemClick("1st Birthday"); }, driver);
    ModalDriver diary;
    diary.expect("Journal", [&](QWidget* w) {
        tabCycle(w, &journal);
        qobject_cast<QDialog*>(w)->reject();
    });
    RUN([] { MainWindow->Journal1Click(); }, diary);
    QVERIFY2(guestsPage.contains("Edit1") && !guestsPage.contains("Memo2"), qPrintable(guestsPage.join(",")));
    QVERIFY2(journal.contains("Entry"), qPrintable(journal.join(",")));
}

void KeyboardTest::enterAtADeleteQuestionDeletesNothing() {
    TempStore::addChild("Ben");
    MilestoneSheets::BirthdayRecord party;
    party.title = "1st Birthday";
    party.guests = QStringList{"Rose"};
    party.gifts = {{"Grandpa", "Blocks"}};
    MilestoneSheets::setBirthday("Ann", party);
    Entries().append(DiaryList::JournalEntries,
                     std::make_shared<DiaryType>(DiaryType{"01-02-03", "Park", "x"}));
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"01-02-03", "20", "7", "8"}));

    QStringList defaults;
    auto answerWithEnter = [&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        defaults << (box->defaultButton() == qobject_cast<QPushButton*>(box->button(QMessageBox::No))
                         ? "No"
                         : "Yes");
        enter(box);
    };
    ModalDriver driver;
    driver.expect("Birthdays", [](QWidget* w) {
        w->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
        w->findChild<QToolButton*>("DelButton")->click();
    });
    driver.expect("ConfirmBox", answerWithEnter);
    driver.expect("Birthdays", [](QWidget* w) {
        w->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(2);
        w->findChild<QToolButton*>("SpeedButton1")->click();
    });
    driver.expect("ConfirmBox", answerWithEnter);
    driver.expect("Birthdays", [](QWidget* w) { ModalDriver::click(w, "BitBtn2"); });
    driver.expect("Journal", [](QWidget* w) { ModalDriver::click(w, "DelButton"); });
    driver.expect("ConfirmBox", answerWithEnter);
    driver.expect("Journal", [](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    driver.expect("Growth", [](QWidget* w) { ModalDriver::click(w, "DelButton"); });
    driver.expect("ConfirmBox", answerWithEnter);
    driver.expect("Growth", [](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    driver.expect("PickChild", [](QWidget* w) {
        auto* names = w->findChild<QComboBox*>("Name");
        names->setCurrentIndex(names->findText("Ben"));
        ModalDriver::click(w, "DeleteButton");
    });
    driver.expect("ConfirmBox", answerWithEnter);
    driver.expect("PickChild", [](QWidget* w) { ModalDriver::click(w, "CancelBtn"); });
    RUN(([] {
            MainWindow->BirthdayItemClick("1st Birthday");
            MainWindow->Journal1Click();
            MainWindow->Growth1Click();
            MainWindow->PickChild1Click();
        }),
        driver);
    QCOMPARE(defaults, (QStringList{"No", "No", "No", "No", "No"}));
    QCOMPARE(driver.messages(),
             (QStringList{"Delete this record?", "Delete this record?", "Delete this record?",
                          "Delete this record?",
                          "Are you sure you want to delete all records relating to this Child?"}));
    const MilestoneSheets::BirthdayRecord kept = MilestoneSheets::birthday("Ann", "1st Birthday");
    QCOMPARE(kept.guests, QStringList{"Rose"});
    QCOMPARE(kept.gifts.size(), 1);
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
    QCOMPARE(Entries().growthCount(), 1);
    QCOMPARE(TempStore::rowCount("CHILD"), 2);
}

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
