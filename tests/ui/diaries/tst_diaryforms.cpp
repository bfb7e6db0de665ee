// The diary forms through their real controls: the diary pages with the new-entry dialog, the sheets,
// the growth log and chart, the words, and what comes back after a restart.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/diaries/DiarySheets.h"
#include "core/diaries/GrowthLog.h"
#include "core/store/Database.h"
#include "support/AppFixture.h"
#include "support/CameraPhoto.h"
#include "support/HostStandIn.h"
#include "support/ModalDriver.h"
#include "support/TempStore.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/ReplaceablePicture.h"
#include "ui/diaries/DiaryEditor.h"
#include "ui/diaries/EntryPhotos.h"
#include "ui/diaries/TDoctor.h"
#include "ui/diaries/TGrowth.h"
#include "ui/diaries/TJournal.h"
#include "ui/diaries/TNewEntry.h"
#include "ui/diaries/TPrenatal.h"
#include "ui/diaries/TWords.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString labelText(QWidget* form, const char* name) {
    auto* label = form->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(QString::fromLatin1(name));
}
QString memoText(QWidget* form, const char* name) {
    auto* memo = form->findChild<QPlainTextEdit*>(QString::fromLatin1(name));
    return memo ? memo->toPlainText() : QStringLiteral("<no memo %1>").arg(QString::fromLatin1(name));
}
// The growth log's lines, one per record.
QString logText() {
    auto* view = Growth->findChild<QAbstractItemView*>("GrowthLog");
    QStringList lines;
    for (int i = 0; view && i < view->model()->rowCount(); ++i)
        lines << view->model()->index(i, 0).data().toString();
    return lines.join('\n');
}
QStringList comboItems(QWidget* form, const char* name) {
    QStringList items;
    auto* combo = form->findChild<QComboBox*>(QString::fromLatin1(name));
    for (int i = 0; combo && i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}
void click(QWidget* form, const char* name) {
    auto* b = form->findChild<QAbstractButton*>(QString::fromLatin1(name));
    QVERIFY2(b, name);
    b->click();
}
// Picks item `index` of a search box with the arrow keys, as a parent would.
void pick(QWidget* form, const char* name, int index) {
    auto* combo = form->findChild<QComboBox*>(QString::fromLatin1(name));
    QVERIFY2(combo, name);
    combo->setFocus();
    while (combo->currentIndex() < index)
        QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > index)
        QTest::keyClick(combo, Qt::Key_Up);
}
void typeDate(MaskedDateEdit* edit, const QString& digits) {
    edit->setFocus();
    edit->home(false);
    QTest::keyClicks(edit, digits);
}
void typeLines(QPlainTextEdit* memo, const QString& text) {
    memo->setFocus();
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, lines[i]);
    }
}
void show(QDialog* form) {
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(form));
}

struct Added {
    QString caption;
    QString prompt;
};
// Adds an entry through the page's new-entry button and the real dialog ("" digits: date untouched).
Added addEntry(QWidget* form, const char* newButton, const QString& digits, const QString& title,
               const QString& remarks = QString()) {
    Added seen;
    ModalDriver driver;
    driver.expect("NewEntry", [&](QWidget* w) {
        seen.caption = w->windowTitle();
        seen.prompt = w->findChild<QLabel*>("TitleTitle")->text();
        if (!digits.isEmpty())
            typeDate(w->findChild<MaskedDateEdit*>("Date"), digits);
        ModalDriver::type(w, "Title", title);
        if (!remarks.isEmpty())
            typeLines(w->findChild<QPlainTextEdit*>("Remarks"), remarks);
        ModalDriver::click(w, "OKBtn");
    });
    driver.start();
    click(form, newButton);
    if (!driver.waitFinished())
        qWarning("%s", qPrintable(driver.error()));
    return seen;
}
// Presses a button that answers with a message box; returns the box's text.
QString answered(QWidget* form, const char* button, const char* box, QMessageBox::StandardButton answer) {
    ModalDriver driver;
    driver.expect(box, [answer](QWidget* b) { ModalDriver::answer(b, answer); });
    driver.start();
    click(form, button);
    driver.waitFinished();
    return driver.messages().value(0, driver.error());
}
void addGrowth(TGrowth* form, const QString& digits, const QString& h, const QString& lbs,
               const QString& oz) {
    auto* date = form->findChild<MaskedDateEdit*>("NewDate");
    date->setStoredText("  -  -  ");
    if (!digits.isEmpty())
        typeDate(date, digits);
    ModalDriver::type(form, "NewHeight", h);
    ModalDriver::type(form, "NewWtLbs", lbs);
    ModalDriver::type(form, "NewWtOz", oz);
    click(form, "BitBtn5");
}
} // namespace

// A stand-in help viewer that records the topics asked for.
class DiaryFormsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void formsExistFromStartUpAndBuildWhenFirstNeeded();
    void menuOpensTheJournalModallyWithItsDialog();
    void journalRulesThroughItsControls();
    void newEntryDialogCancelEscAndFrameCloseAddNothing();
    void untouchedDateIsStoredAndHalfDateRefused();
    void editEntryChangesItInPlaceAndCancelKeepsIt();
    void aFullDiskKeepsTheTypedEntryUntilOkCanStoreIt();
    void photosAddedShownUprightDatedAndViewed();
    void dialogHelpFollowsTheCaption();
    void prenatalDiariesAreIndependentAndTheSheetIsTheChilds();
    void doctorPagesCardSheetAndPicture();
    void growthLogAddSearchDeleteAndRefusal();
    void growthEditChangesTheRecordInPlace();
    void growthChartDrawsReadableRecordsByAge();
    void wordsFirstWordListAndCount();
    void everythingComesBackPerChildAfterARestart();
    void heavyChildOpensWithEveryRecord();

private:
    std::unique_ptr<AppFixture> m_app;
};

void DiaryFormsTest::init() {
    m_app = std::make_unique<AppFixture>("Ann");
}
void DiaryFormsTest::cleanup() {
    m_app.reset();
}

void DiaryFormsTest::formsExistFromStartUpAndBuildWhenFirstNeeded() {
    QVERIFY(Prenatal && Doctor && Growth && Journal && NewEntry && Words);
    // Each exists from start-up but builds its widgets only when first needed.
    QVERIFY(!Journal->isBuilt());
    for (const char* name : {"Prenatal", "Doctor", "Growth", "Journal", "NewEntry", "Words"})
        QVERIFY2(Form(QString::fromLatin1(name)), name);
}

void DiaryFormsTest::menuOpensTheJournalModallyWithItsDialog() {
    // The real chain: the menu item shows the journal modally, its button the new-entry dialog.
    QString shown;
    ModalDriver driver;
    driver.expect("Journal", [&](QWidget* journal) {
        ModalDriver inner;
        inner.expect("NewEntry", [](QWidget* w) {
            ModalDriver::type(w, "Title", "From the menu");
            ModalDriver::click(w, "OKBtn");
        });
        inner.start();
        click(journal, "BitBtn1");
        inner.waitFinished();
        shown = labelText(journal, "Title");
        ModalDriver::click(journal, "OKBtn");
    });
    driver.start();
    MainWindow->findChild<QAction*>("Journal1")->trigger();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(shown, QStringLiteral("From the menu"));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
    QVERIFY(!Journal->isVisible());
}

void DiaryFormsTest::journalRulesThroughItsControls() {
    show(Journal);
    QCOMPARE(labelText(Journal, "EntryDate"), QStringLiteral("__-__-__"));
    QCOMPARE(labelText(Journal, "Title"), QStringLiteral("Empty"));
    QCOMPARE(memoText(Journal, "Entry"), QString());
    click(Journal, "SpeedButton1");
    click(Journal, "SpeedButton3");
    QCOMPARE(labelText(Journal, "Title"), QStringLiteral("Empty"));
    QCOMPARE(answered(Journal, "DelButton", "InformationBox", QMessageBox::Ok),
             QStringLiteral("There are no records to Delete."));

    const Added first = addEntry(Journal, "BitBtn1", "050197", "Park", "We went to the park\nShe loved it");
    QCOMPARE(first.caption, QStringLiteral("New Journal Entry"));
    QCOMPARE(first.prompt, QStringLiteral("Title:"));
    QCOMPARE(labelText(Journal, "EntryDate"), QStringLiteral("05-01-97"));
    QCOMPARE(memoText(Journal, "Entry"),
             QStringLiteral("We went to the park\nShe loved it")); // line break kept
    QCOMPARE(comboItems(Journal, "DateSearch"), QStringList{"05-01-97"});
    QCOMPARE(comboItems(Journal, "TitleSearch"), QStringList{"Park"});

    addEntry(Journal, "BitBtn1", "060197", "Zoo", "lions");
    addEntry(Journal, "BitBtn1", "050197", "Park", "again");
    addEntry(Journal, "BitBtn1", "010190", "Zoo", "earlier date, still last");
    QCOMPARE(labelText(Journal, "EntryDate"), QStringLiteral("01-01-90"));
    QCOMPARE(comboItems(Journal, "DateSearch"),
             (QStringList{"05-01-97", "06-01-97", "05-01-97", "01-01-90"}));
    QCOMPARE(comboItems(Journal, "TitleSearch"), (QStringList{"Park", "Zoo", "Park", "Zoo"}));

    // Same date: the earliest added is shown, even when the later item is picked.
    pick(Journal, "DateSearch", 2);
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("We went to the park\nShe loved it"));
    pick(Journal, "TitleSearch", 3);
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("lions"));
    // Typing alone searches nothing; Enter picks the item spelled so and keeps the form open.
    auto* dateSearch = Journal->findChild<QComboBox*>("DateSearch");
    dateSearch->setFocus();
    dateSearch->lineEdit()->selectAll();
    QTest::keyClicks(dateSearch->lineEdit(), "05-01-97");
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("lions"));
    QTest::keyClick(dateSearch->lineEdit(), Qt::Key_Return);
    QVERIFY(Journal->isVisible());
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("We went to the park\nShe loved it"));
    dateSearch->lineEdit()->selectAll();
    QTest::keyClicks(dateSearch->lineEdit(), "05-01-9");
    QTest::keyClick(dateSearch->lineEdit(), Qt::Key_Return);
    QVERIFY(Journal->isVisible());
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("We went to the park\nShe loved it"));
    pick(Journal, "TitleSearch", 3);

    // The ends: next from the newest and previous from the first do nothing.
    pick(Journal, "DateSearch", 3);
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("earlier date, still last"));
    click(Journal, "SpeedButton3");
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("earlier date, still last"));
    for (int i = 0; i < 3; ++i)
        click(Journal, "SpeedButton1");
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("We went to the park\nShe loved it"));
    click(Journal, "SpeedButton1");
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("We went to the park\nShe loved it"));
    click(Journal, "SpeedButton3");
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("lions"));

    // No keeps the entry; Yes deletes the shown one and shows the last remaining.
    click(Journal, "SpeedButton1");
    QCOMPARE(answered(Journal, "DelButton", "ConfirmBox", QMessageBox::No),
             QStringLiteral("Delete this record?"));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 4);
    answered(Journal, "DelButton", "ConfirmBox", QMessageBox::Yes);
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 3);
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("earlier date, still last"));
    QCOMPARE(comboItems(Journal, "TitleSearch"), (QStringList{"Zoo", "Park", "Zoo"}));

    // Delete of the first of three shows the third.
    click(Journal, "SpeedButton1");
    click(Journal, "SpeedButton1");
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("lions"));
    answered(Journal, "DelButton", "ConfirmBox", QMessageBox::Yes);
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("earlier date, still last"));
    answered(Journal, "DelButton", "ConfirmBox", QMessageBox::Yes);
    answered(Journal, "DelButton", "ConfirmBox", QMessageBox::Yes);
    QCOMPARE(labelText(Journal, "EntryDate"), QStringLiteral("__-__-__"));
    QCOMPARE(labelText(Journal, "Title"), QStringLiteral("Empty"));
    QVERIFY(comboItems(Journal, "DateSearch").isEmpty());

    // Close keeps what was added; the next opening shows the newest.
    addEntry(Journal, "BitBtn1", "070197", "One");
    addEntry(Journal, "BitBtn1", "080197", "Two");
    click(Journal, "SpeedButton1");
    click(Journal, "OKBtn");
    QVERIFY(!Journal->isVisible());
    show(Journal);
    QCOMPARE(labelText(Journal, "Title"), QStringLiteral("Two"));
    QCOMPARE(Journal->editor()->cursor().currentIndex(), 1);
}

void DiaryFormsTest::newEntryDialogCancelEscAndFrameCloseAddNothing() {
    show(Journal);
    addEntry(Journal, "BitBtn1", "010203", "Kept");
    using Way = std::function<void(QWidget*)>;
    const QList<Way> ways{
        [](QWidget* w) { ModalDriver::click(w, "CancelBtn"); },
        [](QWidget* w) { QTest::keyClick(w->findChild<MaskedDateEdit*>("Date"), Qt::Key_Escape); },
        [](QWidget* w) { w->close(); },
    };
    for (const Way& way : ways) {
        ModalDriver driver;
        driver.expect("NewEntry", [&](QWidget* w) {
            typeDate(w->findChild<MaskedDateEdit*>("Date"), "121299");
            ModalDriver::type(w, "Title", "Dropped");
            way(w);
            // Escape in an edited date first abandons the edit; the second one closes the dialog.
            if (w->isVisible())
                QTest::keyClick(w->findChild<MaskedDateEdit*>("Date"), Qt::Key_Escape);
        });
        driver.start();
        click(Journal, "BitBtn1");
        QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
        QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
        QCOMPARE(labelText(Journal, "Title"), QStringLiteral("Kept"));
        QCOMPARE(comboItems(Journal, "TitleSearch"), QStringList{"Kept"});
    }
    // Enter in the title field presses Ok.
    ModalDriver driver;
    driver.expect("NewEntry", [](QWidget* w) {
        ModalDriver::type(w, "Title", "By Enter");
        QTest::keyClick(w->findChild<QLineEdit*>("Title"), Qt::Key_Return);
    });
    driver.start();
    click(Journal, "BitBtn1");
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(labelText(Journal, "Title"), QStringLiteral("By Enter"));
}

void DiaryFormsTest::untouchedDateIsStoredAndHalfDateRefused() {
    show(Journal);
    addEntry(Journal, "BitBtn1", QString(), QString());
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
    const auto e = Entries().at(DiaryList::JournalEntries, 0);
    QCOMPARE(e->Date, QStringLiteral("  -  -  "));
    QCOMPARE(e->Title, QString());
    QCOMPARE(e->Text, QString());
    QCOMPARE(labelText(Journal, "EntryDate"), QStringLiteral("  -  -  "));

    ModalDriver driver;
    QString stillOpen;
    driver.expect("NewEntry", [&](QWidget* w) {
        typeDate(w->findChild<MaskedDateEdit*>("Date"), "0315");
        ModalDriver::click(w, "OKBtn");
    });
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.expect("NewEntry", [&](QWidget* w) {
        stillOpen = w->findChild<MaskedDateEdit*>("Date")->storedText();
        ModalDriver::click(w, "CancelBtn");
    });
    driver.start();
    click(Journal, "BitBtn1");
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(driver.messages(), QStringList{"Invalid input value.  Use escape key to abandon changes"});
    QCOMPARE(stillOpen, QStringLiteral("03-15-  "));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
}

// The stored rows of the journal in list order: "seq uid title|text changed".
QStringList journalRows() {
    QStringList rows;
    QSqlQuery q = Database::exec("SELECT seq, uid, Date, Title, Text, changed FROM ENTRIES WHERE child = ? "
                                 "AND list = ? ORDER BY seq",
                                 {"Ann", int(DiaryList::JournalEntries)});
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < 6; ++i)
            row << q.value(i).toString();
        rows << row.join(' ');
    }
    return rows;
}

void DiaryFormsTest::editEntryChangesItInPlaceAndCancelKeepsIt() {
    show(Journal);
    QCOMPARE(answered(Journal, "EditBtn", "InformationBox", QMessageBox::Ok),
             QStringLiteral("There is no entry to edit."));
    addEntry(Journal, "BitBtn1", "010197", "First", "one");
    addEntry(Journal, "BitBtn1", "020297", "Middle", "two\nlines");
    addEntry(Journal, "BitBtn1", "030397", "Last", "three");
    // An old time of change, so that a new stamp shows even within the same millisecond.
    Database::exec("UPDATE ENTRIES SET changed = '2001-01-01T00:00:00.000Z'");
    const QStringList before = journalRows();
    click(Journal, "SpeedButton1");
    QCOMPARE(labelText(Journal, "Title"), QStringLiteral("Middle"));

    // The dialog opens on the shown entry; Ok changes it where it stands.
    QString caption, date, title, remarks;
    ModalDriver driver;
    driver.expect("NewEntry", [&](QWidget* w) {
        caption = w->windowTitle();
        date = w->findChild<MaskedDateEdit*>("Date")->storedText();
        title = w->findChild<QLineEdit*>("Title")->text();
        remarks = w->findChild<QPlainTextEdit*>("Remarks")->toPlainText();
        typeDate(w->findChild<MaskedDateEdit*>("Date"), "020398");
        ModalDriver::type(w, "Title", "Middle, corrected");
        auto* memo = w->findChild<QPlainTextEdit*>("Remarks");
        memo->moveCursor(QTextCursor::End);
        typeLines(memo, " and more");
        ModalDriver::click(w, "OKBtn");
    });
    driver.start();
    click(Journal, "EditBtn");
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(caption, QStringLiteral("Edit Journal Entry"));
    QCOMPARE(date, QStringLiteral("02-02-97"));
    QCOMPARE(title, QStringLiteral("Middle"));
    QCOMPARE(remarks, QStringLiteral("two\nlines"));

    QCOMPARE(labelText(Journal, "EntryDate"), QStringLiteral("02-03-98"));
    QCOMPARE(labelText(Journal, "Title"), QStringLiteral("Middle, corrected"));
    QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("two\nlines and more"));
    QCOMPARE(comboItems(Journal, "TitleSearch"), (QStringList{"First", "Middle, corrected", "Last"}));
    QCOMPARE(comboItems(Journal, "DateSearch"), (QStringList{"01-01-97", "02-03-98", "03-03-97"}));
    const QStringList after = journalRows();
    QCOMPARE(after.size(), 3);
    QCOMPARE(after[0], before[0]);
    QCOMPARE(after[2], before[2]);
    // Same seq and identity, new fields, a new time of change.
    const QStringList was = before[1].split(' '), now = after[1].split(' ');
    QCOMPARE(now.mid(0, 2), was.mid(0, 2));
    QVERIFY(after[1].contains(" 02-03-98 Middle, corrected two\nlines and more "));
    QVERIFY2(now.last() > was.last(), qPrintable(now.last()));

    // Cancel (after typing) and Escape change nothing, in the store or on the page.
    for (bool escape : {false, true}) {
        ModalDriver cancel;
        cancel.expect("NewEntry", [&](QWidget* w) {
            ModalDriver::type(w, "Title", "Dropped");
            if (escape)
                QTest::keyClick(w->findChild<QLineEdit*>("Title"), Qt::Key_Escape);
            else
                ModalDriver::click(w, "CancelBtn");
        });
        cancel.start();
        click(Journal, "EditBtn");
        QVERIFY2(cancel.waitFinished(), qPrintable(cancel.error()));
        QCOMPARE(journalRows(), after);
        QCOMPARE(labelText(Journal, "Title"), QStringLiteral("Middle, corrected"));
    }
    // After a restart the corrected entry is still the second one.
    Journal->hide();
    m_app->restart();
    QCOMPARE(journalRows(), after);
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 1)->Title, QStringLiteral("Middle, corrected"));

    // Every diary page opens the dialog under its own caption.
    const QList<QPair<QDialog*, const char*>> pages{
        {Prenatal, "MedEditBtn"}, {Doctor, "DisEditBtn"}, {Words, "EditBtn"}};
    const QStringList captions{"Edit Prenatal Medical Diary Entry", "Edit Childhood Disease",
                               "Edit Word Entry"};
    for (int i = 0; i < pages.size(); ++i) {
        show(pages[i].first);
        const char* newButton = i == 2 ? "BitBtn4" : "BitBtn2";
        addEntry(pages[i].first, newButton, "010199", "x");
        ModalDriver each;
        QString seen;
        each.expect("NewEntry", [&](QWidget* w) {
            seen = w->windowTitle();
            ModalDriver::click(w, "CancelBtn");
        });
        each.start();
        click(pages[i].first, pages[i].second);
        QVERIFY2(each.waitFinished(), qPrintable(each.error()));
        QCOMPARE(seen, captions[i]);
        pages[i].first->hide();
    }
}

// The store's file may not grow beyond the pages it has (SQLite answers SQLITE_FULL, as on a full
// disk), or may grow again.
void limitStoreToItsPages(bool full) {
    QSqlQuery pages = Database::exec("PRAGMA page_count");
    QVERIFY(pages.next());
    const qint64 limit = full ? pages.value(0).toLongLong() : 1073741823;
    pages.finish();
    Database::exec(QStringLiteral("PRAGMA max_page_count = %1").arg(limit)).finish();
}

void DiaryFormsTest::aFullDiskKeepsTheTypedEntryUntilOkCanStoreIt() {
    show(Journal);
    // Remarks longer than the room left in the file's pages.
    const QString remarks = QString(40000, 'r') + "\nand the last line";
    QString titleAfter, remarksAfter, dateAfter;
    ModalDriver driver;
    driver.expect("NewEntry", [&](QWidget* w) {
        typeDate(w->findChild<MaskedDateEdit*>("Date"), "070826");
        ModalDriver::type(w, "Title", "First steps");
        auto* memo = w->findChild<QPlainTextEdit*>("Remarks");
        memo->setPlainText(QString(40000, 'r'));
        memo->moveCursor(QTextCursor::End);
        typeLines(memo, "\nand the last line");
        limitStoreToItsPages(true);
        ModalDriver::click(w, "OKBtn");
    });
    driver.expect("ErrorReport", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    // The same dialog, with everything typed; Ok again once there is room stores it.
    driver.expect("NewEntry", [&](QWidget* w) {
        dateAfter = w->findChild<MaskedDateEdit*>("Date")->storedText();
        titleAfter = w->findChild<QLineEdit*>("Title")->text();
        remarksAfter = w->findChild<QPlainTextEdit*>("Remarks")->toPlainText();
        QCOMPARE(Entries().count(DiaryList::JournalEntries), 0);
        limitStoreToItsPages(false);
        ModalDriver::click(w, "OKBtn");
    });
    driver.start();
    click(Journal, "BitBtn1");
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    const QString report = driver.messages().value(0);
    QVERIFY2(report.startsWith("The disk is full, so Tinyra could not save this."), qPrintable(report));
    QCOMPARE(dateAfter, QStringLiteral("07-08-26"));
    QCOMPARE(titleAfter, QStringLiteral("First steps"));
    QCOMPARE(remarksAfter, remarks);

    QSqlQuery q = Database::exec("SELECT Date, Title, Text FROM ENTRIES WHERE child = 'Ann' AND list = ?",
                                 {int(DiaryList::JournalEntries)});
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString() + " " + q.value(1).toString(), QStringLiteral("07-08-26 First steps"));
    QCOMPARE(q.value(2).toString(), remarks);
    QVERIFY(!q.next());
    QCOMPARE(labelText(Journal, "Title"), QStringLiteral("First steps"));
}

void DiaryFormsTest::photosAddedShownUprightDatedAndViewed() {
    QTemporaryDir dir;
    const QString summer = cameraPhoto(dir.path(), "summer.jpg", "2023:07:14 10:30:00");
    const QString winter = cameraPhoto(dir.path(), "winter.jpg", "2024:01:02 08:00:00");
    QFile text(dir.path() + "/notes.jpg");
    text.open(QIODevice::WriteOnly);
    text.write("not a picture at all");
    text.close();

    show(Journal);
    QString date, refusal;
    int added = -1;
    ModalDriver driver;
    driver.expect("NewEntry", [&](QWidget* w) {
        ModalDriver::type(w, "Title", "Beach");
        // A file that is no picture is named and left out; the others come in with the first's day.
        ModalDriver inner;
        inner.expect("InformationBox", [&](QWidget* b) {
            refusal = b->findChild<QLabel*>("qt_msgbox_label")->text();
            ModalDriver::answer(b, QMessageBox::Ok);
        });
        inner.start();
        added = NewEntry->addPhotoFiles({summer, dir.path() + "/notes.jpg", winter});
        inner.waitFinished();
        date = w->findChild<MaskedDateEdit*>("Date")->storedText();
        ModalDriver::click(w, "OKBtn");
    });
    driver.start();
    click(Journal, "BitBtn1");
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(added, 2);
    QVERIFY2(refusal.contains("notes.jpg"), qPrintable(refusal));
    QCOMPARE(date, QStringLiteral("07-14-23"));
    const auto entry = Entries().at(DiaryList::JournalEntries, 0);
    QCOMPARE(entry->Date, QStringLiteral("07-14-23"));
    QCOMPARE(entry->Photos.size(), 2);
    QCOMPARE(entry->Photos[0].Name, QStringLiteral("summer.jpg"));
    QCOMPARE(entry->Photos[1].Taken, QStringLiteral("01-02-24"));
    QCOMPARE(TempStore::rowCount("ENTRYPHOTOS"), 2);

    // Upright: the red left half of the stored picture is the top once turned.
    const QImage upright = PhotoStrip::picture(entry->Photos[0]);
    QCOMPARE(upright.size(), QSize(20, 40));
    QVERIFY(qRed(upright.pixel(10, 5)) > 200 && qBlue(upright.pixel(10, 5)) < 60);
    QVERIFY(qBlue(upright.pixel(10, 35)) > 200 && qRed(upright.pixel(10, 35)) < 60);
    auto* strip = Journal->findChild<PhotoStrip*>("Photos");
    QVERIFY(strip->isVisible());
    QCOMPARE(strip->count(), 2);

    // The viewer: Enter opens the photo picked, the keys move and zoom, Esc closes.
    int shownAfterRight = -1, shownAfterLeft = -1, shownFromButton = -1;
    double zoomed = 0, fitted = -1;
    QSize opened;
    ModalDriver viewer;
    viewer.expect("PhotoViewer", [&](QWidget* w) {
        auto* v = static_cast<PhotoViewer*>(w);
        opened = v->findChild<QLabel*>("Photo")->pixmap().size(); // fitted to the window as it opens
        // As the keyboard sends them: to the control that has the focus, whichever it is.
        const auto press = [v](Qt::Key key) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus && v->isAncestorOf(focus) ? focus : v, key);
        };
        press(Qt::Key_Right);
        shownAfterRight = v->index();
        press(Qt::Key_Right); // the last stays
        press(Qt::Key_Plus);
        zoomed = v->zoom();
        press(Qt::Key_0);
        fitted = v->zoom();
        press(Qt::Key_Left);
        shownAfterLeft = v->index();
        // From a button of the viewer as well: the arrows still turn the photos.
        v->findChild<QPushButton*>("CloseBtn")->setFocus();
        press(Qt::Key_Right);
        shownFromButton = v->index();
        press(Qt::Key_Escape);
    });
    viewer.start();
    strip->setFocus();
    strip->setCurrentRow(0);
    QTest::keyClick(strip, Qt::Key_Return);
    QVERIFY2(viewer.waitFinished(), qPrintable(viewer.error()));
    QCOMPARE(opened, QSize(20, 40)); // whole: it fits
    QCOMPARE(shownAfterRight, 1);
    QVERIFY(zoomed > 0);
    QCOMPARE(fitted, 0.0);
    QCOMPARE(shownAfterLeft, 0);
    QCOMPARE(shownFromButton, 1);

    // Removing a photo in Edit Entry asks first; No keeps it, Yes takes it from the entry.
    ModalDriver edit;
    edit.expect("NewEntry", [&](QWidget* w) {
        w->findChild<PhotoStrip*>("Photos")->setCurrentRow(0);
        ModalDriver ask;
        ask.expect("ConfirmBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::No); });
        ask.expect("ConfirmBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Yes); });
        ask.start();
        ModalDriver::click(w, "RemovePhotoBtn");
        ModalDriver::click(w, "RemovePhotoBtn");
        ask.waitFinished();
        ModalDriver::click(w, "OKBtn");
    });
    edit.start();
    click(Journal, "EditBtn");
    QVERIFY2(edit.waitFinished(), qPrintable(edit.error()));
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 0)->Photos.size(), 1);
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 0)->Photos[0].Name, QStringLiteral("winter.jpg"));
    QCOMPARE(strip->count(), 1);
    m_app->restart();
    QCOMPARE(Entries().at(DiaryList::JournalEntries, 0)->Photos[0].Name, QStringLiteral("winter.jpg"));
}

void DiaryFormsTest::dialogHelpFollowsTheCaption() {
    auto help = std::make_unique<HostStandIn>();
    struct Case {
        QDialog* form;
        const char* button;
        int topic;
    };
    const QList<Case> cases{{Journal, "BitBtn1", 46}, {Words, "BitBtn4", 54},    {Doctor, "BitBtn1", 52},
                            {Doctor, "BitBtn2", 51},  {Prenatal, "BitBtn1", 50}, {Prenatal, "BitBtn2", 50}};
    for (const Case& c : cases) {
        show(c.form);
        ModalDriver driver;
        driver.expect("NewEntry", [](QWidget* w) {
            ModalDriver::click(w, "HelpBtn");
            ModalDriver::click(w, "CancelBtn");
        });
        driver.start();
        click(c.form, c.button);
        QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
        QCOMPARE(help->topics.value(help->topics.size() - 1), c.topic);
        c.form->hide();
    }
    show(Journal);
    click(Journal, "HelpBtn");
    QCOMPARE(help->topics.last(), 57);
}

void DiaryFormsTest::prenatalDiariesAreIndependentAndTheSheetIsTheChilds() {
    show(Prenatal);
    const Added med = addEntry(Prenatal, "BitBtn2", "020297", "Checkup", "all well");
    QCOMPARE(med.caption, QStringLiteral("New Prenatal Medical Diary Entry"));
    click(Prenatal, "OKBtn");
    show(Prenatal);
    QCOMPARE(comboItems(Prenatal, "MedTitleSearch"), QStringList{"Checkup"});
    QCOMPARE(labelText(Prenatal, "MedTitle"), QStringLiteral("Checkup"));
    QCOMPARE(labelText(Prenatal, "EntryDate"), QStringLiteral("__-__-__"));
    QCOMPARE(labelText(Prenatal, "Title"), QStringLiteral("Diary Empty"));
    QVERIFY(comboItems(Prenatal, "DateSearch").isEmpty());
    QCOMPARE(addEntry(Prenatal, "BitBtn1", "030397", "Kick").caption,
             QStringLiteral("New Prenatal Diary Entry"));
    QCOMPARE(Entries().count(DiaryList::PrenatalDiary), 1);
    QCOMPARE(Entries().count(DiaryList::PrenatalMedicalDiary), 1);

    // A date typed on the sheet stays after Cancel and reopening, and belongs to the child.
    auto* d2 = Prenatal->findChild<MaskedDateEdit*>("D2");
    typeDate(d2, "100196");
    ModalDriver::type(Prenatal, "O3", "First scan");
    QCOMPARE(d2->storedText(), QStringLiteral("10/01/96"));
    click(Prenatal, "CancelBtn");
    show(Prenatal);
    QCOMPARE(Prenatal->findChild<MaskedDateEdit*>("D2")->storedText(), QStringLiteral("10/01/96"));
    QCOMPARE(Prenatal->findChild<QLineEdit*>("O3")->text(), QStringLiteral("First scan"));
    QCOMPARE(DiarySheets::readPrenatalDates("Ann").dates[1], QStringLiteral("10/01/96"));

    // A half-typed date keeps the form open.
    typeDate(Prenatal->findChild<MaskedDateEdit*>("D12"), "0101");
    ModalDriver driver;
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.start();
    click(Prenatal, "OKBtn");
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY(Prenatal->isVisible());
    // Closing by the frame is refused the same way, and the half date is still there.
    ModalDriver frame;
    frame.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    frame.start();
    Prenatal->close();
    QVERIFY2(frame.waitFinished(), qPrintable(frame.error()));
    QVERIFY(Prenatal->isVisible());
    QCOMPARE(Prenatal->findChild<MaskedDateEdit*>("D12")->storedText(), QStringLiteral("01/01/  "));
    QTest::keyClick(Prenatal->findChild<MaskedDateEdit*>("D12"), Qt::Key_Escape);
    click(Prenatal, "OKBtn");
    QVERIFY(!Prenatal->isVisible());
    QCOMPARE(DiarySheets::readPrenatalDates("Ann").dates[11], QStringLiteral("  /  /  "));

    TempStore::addChild("Ben");
    MainWindow->makeChildActive("Ben");
    show(Prenatal);
    QCOMPARE(Prenatal->findChild<MaskedDateEdit*>("D2")->storedText(), QStringLiteral("  /  /  "));
    QCOMPARE(Prenatal->findChild<QLineEdit*>("O3")->text(), QString());
    QCOMPARE(labelText(Prenatal, "MedTitle"), QStringLiteral("Diary Empty"));
}

void DiaryFormsTest::doctorPagesCardSheetAndPicture() {
    show(Doctor);
    QCOMPARE(labelText(Doctor, "EntryDate"), QStringLiteral("__-__-__"));
    QCOMPARE(labelText(Doctor, "DisTitle"), QStringLiteral("Diary Empty"));
    QCOMPARE(answered(Doctor, "DelButton", "InformationBox", QMessageBox::Ok),
             QStringLiteral("There are no records to Delete."));
    QCOMPARE(answered(Doctor, "SpeedButton1", "InformationBox", QMessageBox::Ok),
             QStringLiteral("There are no records to Delete."));
    QCOMPARE(addEntry(Doctor, "BitBtn1", "010198", "Checkup").caption, QStringLiteral("New Doctor Visit"));
    QCOMPARE(labelText(Doctor, "DisTitle"), QStringLiteral("Diary Empty"));
    QCOMPARE(addEntry(Doctor, "BitBtn2", "020198", "Measles").caption,
             QStringLiteral("New Childhood Disease"));
    addEntry(Doctor, "BitBtn1", "030198", "Shots");
    click(Doctor, "Up");
    QCOMPARE(labelText(Doctor, "Title"), QStringLiteral("Checkup"));
    QCOMPARE(labelText(Doctor, "DisTitle"), QStringLiteral("Measles"));
    QCOMPARE(comboItems(Doctor, "DisTitleSearch"), QStringList{"Measles"});

    ModalDriver::type(Doctor, "DocName", "Dr. Lee");
    typeDate(Doctor->findChild<MaskedDateEdit*>("MaskEdit19"), "061598");
    ModalDriver::type(Doctor, "Edit2", "Chickenpox");
    click(Doctor, "CancelBtn");
    QVERIFY(!Doctor->isVisible());
    show(Doctor);
    QCOMPARE(Doctor->findChild<QLineEdit*>("DocName")->text(), QStringLiteral("Dr. Lee"));
    QCOMPARE(Doctor->findChild<MaskedDateEdit*>("MaskEdit19")->storedText(), QStringLiteral("06-15-98"));
    const auto rows = DiarySheets::readImmunizations("Ann");
    QCOMPARE(rows[18].caption, QStringLiteral("MMR (15 Months)"));
    QCOMPARE(rows[18].date, QStringLiteral("06-15-98"));
    QCOMPARE(rows[21].caption, QStringLiteral("Chickenpox"));
    QCOMPARE(Doctor->picture()->key(), QStringLiteral("Doctor/Image1"));
    QCOMPARE(Doctor->picture()->child(), QStringLiteral("Ann"));
    QVERIFY(Doctor->findChild<QAbstractButton*>("SpeedButton2"));
    // The sheet's tab order is its reading order, a named row's name before its date.
    auto after = [](const char* name) {
        QWidget* w = Doctor->findChild<QWidget*>(name)->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        return w->objectName();
    };
    QCOMPARE(after("MaskEdit13"), QStringLiteral("MaskEdit14"));
    QCOMPARE(after("MaskEdit17"), QStringLiteral("MaskEdit1"));
    QCOMPARE(after("MaskEdit20"), QStringLiteral("Edit1"));
    QCOMPARE(after("Edit1"), QStringLiteral("MaskEdit21"));

    // Esc closes the form too, and what was typed is kept.
    ModalDriver::type(Doctor, "DocPhone", "555-0100");
    QTest::keyClick(Doctor, Qt::Key_Escape);
    QVERIFY(!Doctor->isVisible());
    QCOMPARE(DiarySheets::readPediatrician("Ann").phone, QStringLiteral("555-0100"));

    TempStore::addChild("Ben");
    MainWindow->makeChildActive("Ben");
    show(Doctor);
    QCOMPARE(Doctor->findChild<QLineEdit*>("DocName")->text(), QString());
    QCOMPARE(Doctor->findChild<MaskedDateEdit*>("MaskEdit19")->storedText(), QStringLiteral("  -  -  "));
    QCOMPARE(labelText(Doctor, "Title"), QStringLiteral("Diary Empty"));
    QCOMPARE(Doctor->picture()->child(), QStringLiteral("Ben"));
}

void DiaryFormsTest::growthLogAddSearchDeleteAndRefusal() {
    show(Growth);
    Growth->pages()->setCurrentIndex(1);
    QCOMPARE(labelText(Growth, "EntryDate"), QStringLiteral("__-__-__"));
    QCOMPARE(answered(Growth, "DelButton", "InformationBox", QMessageBox::Ok),
             QStringLiteral("There are no records to Delete."));
    Growth->activateWindow(); // offscreen, no window is active after a message box closes
    addGrowth(Growth, "031597", "24", "12", "5");
    QCOMPARE(logText(), GrowthLog::line(*Entries().growthAt(0)));
    QCOMPARE(labelText(Growth, "EntryDate"), QStringLiteral("03-15-97"));
    QCOMPARE(labelText(Growth, "WtOz"), QStringLiteral("5"));
    QCOMPARE(Growth->findChild<MaskedDateEdit*>("NewDate")->storedText(), QStringLiteral("  -  -  "));
    QCOMPARE(Growth->findChild<QLineEdit*>("NewHeight")->text(), QString());
    QTRY_VERIFY(Growth->findChild<MaskedDateEdit*>("NewDate")->hasFocus());

    addGrowth(Growth, QString(), QString(), QString(), QString());
    QCOMPARE(logText().split('\n').last(), GrowthLog::line(*Entries().growthAt(1)));
    addGrowth(Growth, "031597", "26", "14", "1");
    QCOMPARE(comboItems(Growth, "DateSearch"), (QStringList{"03-15-97", "  -  -  ", "03-15-97"}));
    pick(Growth, "DateSearch", 2);
    QCOMPARE(labelText(Growth, "Height"), QStringLiteral("24"));
    click(Growth, "SpeedButton1");
    QCOMPARE(labelText(Growth, "Height"), QStringLiteral("24"));
    answered(Growth, "DelButton", "ConfirmBox", QMessageBox::Yes);
    QCOMPARE(labelText(Growth, "Height"), QStringLiteral("26"));
    QCOMPARE(logText().split('\n').size(), 2);

    // A new date missing its year is refused and nothing is added.
    ModalDriver driver;
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.start();
    auto* date = Growth->findChild<MaskedDateEdit*>("NewDate");
    Growth->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Growth));
    typeDate(date, "0401");
    click(Growth, "BitBtn5");
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(driver.messages(), QStringList{"Invalid input value.  Use escape key to abandon changes"});
    QCOMPARE(Entries().growthCount(), 2);

    answered(Growth, "DelButton", "ConfirmBox", QMessageBox::Yes);
    answered(Growth, "DelButton", "ConfirmBox", QMessageBox::Yes);
    QCOMPARE(logText(), QString());
    QVERIFY(comboItems(Growth, "DateSearch").isEmpty());
    QCOMPARE(labelText(Growth, "EntryDate"), QStringLiteral("__-__-__"));
    QCOMPARE(labelText(Growth, "Height"), QString());

    // A record typed but not added is not lost to Enter (Close is the default button): Cancel keeps
    // the form open with it, Yes adds it and closes, No closes without it.
    const auto typeThenEnter = [](const QString& height, QMessageBox::StandardButton answer) {
        auto* newDate = Growth->findChild<MaskedDateEdit*>("NewDate");
        newDate->setStoredText("  -  -  ");
        typeDate(newDate, "060224");
        auto* box = Growth->findChild<QLineEdit*>("NewHeight");
        box->clear();
        ModalDriver::type(Growth, "NewHeight", height);
        ModalDriver asker;
        asker.expect("PlainBox", [answer](QWidget* b) { ModalDriver::answer(b, answer); });
        asker.start();
        QTest::keyClick(box, Qt::Key_Return);
        return asker.waitFinished() ? asker.messages().value(0) : asker.error();
    };
    QCOMPARE(typeThenEnter("27", QMessageBox::Cancel),
             QStringLiteral("Add the new entry you typed before closing?"));
    QVERIFY(Growth->isVisible());
    QCOMPARE(Growth->findChild<QLineEdit*>("NewHeight")->text(), QStringLiteral("27"));
    typeThenEnter("27", QMessageBox::Yes);
    QTRY_VERIFY(!Growth->isVisible());
    QCOMPARE(Entries().growthCount(), 1);
    QCOMPARE(Entries().growthAt(0)->Height, QStringLiteral("27"));
    show(Growth);
    Growth->pages()->setCurrentIndex(1);
    typeThenEnter("30", QMessageBox::No);
    QTRY_VERIFY(!Growth->isVisible());
    QCOMPARE(Entries().growthCount(), 1);
}

void DiaryFormsTest::growthEditChangesTheRecordInPlace() {
    show(Growth);
    Growth->pages()->setCurrentIndex(1);
    QCOMPARE(answered(Growth, "EditBtn", "InformationBox", QMessageBox::Ok),
             QStringLiteral("There is no entry to edit."));
    Growth->activateWindow();
    addGrowth(Growth, "031597", "24", "12", "5");
    addGrowth(Growth, "041597", "25", "13", "1");
    auto row = [](int position) {
        QSqlQuery q = Database::exec("SELECT seq, uid, changed, Date, Height, WtLbs, WtOz FROM GROWTH "
                                     "WHERE child = 'Ann' ORDER BY seq LIMIT 1 OFFSET ?",
                                     {position});
        QStringList values;
        if (q.next())
            for (int i = 0; i < 7; ++i)
                values << q.value(i).toString();
        return values;
    };
    const QStringList before = row(0), second = row(1);

    // The first record, typed wrong, is put in the group below, changed and saved in its place.
    click(Growth, "SpeedButton1");
    click(Growth, "EditBtn");
    auto* date = Growth->findChild<MaskedDateEdit*>("NewDate");
    QCOMPARE(date->storedText(), QStringLiteral("03-15-97"));
    QCOMPARE(Growth->findChild<QPushButton*>("BitBtn5")->text(), QStringLiteral("Save Changes"));
    Growth->findChild<QLineEdit*>("NewHeight")->clear();
    ModalDriver::type(Growth, "NewHeight", "21.5");
    date->setStoredText("  -  -  ");
    typeDate(date, "031497");
    click(Growth, "BitBtn5");
    const QStringList after = row(0);
    QCOMPARE(Entries().growthCount(), 2);
    QCOMPARE(after.mid(0, 2), before.mid(0, 2)); // the same row, the same identity
    QCOMPARE(after.mid(3), (QStringList{"03-14-97", "21.5", "12", "5"}));
    QVERIFY2(after[2] > before[2], "the change carries a newer clock stamp, for sharing");
    QCOMPARE(row(1), second);
    QCOMPARE(labelText(Growth, "Height"), QStringLiteral("21.5"));
    QCOMPARE(logText().split('\n').first(), GrowthLog::line(*Entries().growthAt(0)));
    QCOMPARE(Growth->findChild<QPushButton*>("BitBtn5")->text(), QStringLiteral("Add Entry"));
    QCOMPARE(Growth->findChild<QLineEdit*>("NewHeight")->text(), QString());

    // Cancel Edit leaves the record as it was.
    click(Growth, "EditBtn");
    ModalDriver::type(Growth, "NewHeight", "9");
    click(Growth, "CancelEditBtn");
    QCOMPARE(row(0), after);
    QCOMPARE(Entries().growthCount(), 2);
}

void DiaryFormsTest::growthChartDrawsReadableRecordsByAge() {
    Database::exec("UPDATE CHILD SET BDayMonth = ?, BDateDay = ?, BDayYear = ? WHERE FirstName = ?",
                   {"1", "1", "2024", "Ann"});
    for (const GrowthType& g : QVector<GrowthType>{{"07-01-24", "26", "16", "8"},
                                                   {"01-01-24", "20", "7", "4"},
                                                   {"  -  -  ", "21", "8", ""},
                                                   {"01-01-25", "30", "20", ""}})
        Entries().appendGrowth(std::make_shared<GrowthType>(g));
    show(Growth);
    Growth->pages()->setCurrentIndex(2);
    // The chart is drawn from the child's stored birth date and records (how each is placed is
    // GrowthPlot's, tested without a window).
    QCOMPARE(Growth->plot()->height.size(), 3);
    QVERIFY(memoText(Growth, "LeftOut").contains("the date cannot be read"));
    // Without a sex, the note says where to choose it.
    QVERIFY(labelText(Growth, "ChartNote").contains("\"Sex:\" on the \"Birth Information\" page"));
    // A record added while the chart is shown is drawn at once.
    Growth->pages()->setCurrentIndex(1);
    addGrowth(Growth, "070125", "32", "22", "0");
    Growth->pages()->setCurrentIndex(2);
    QCOMPARE(Growth->plot()->height.size(), 4);
    // A new length is measured lying down before 2 years on the day typed, standing after, unless the
    // parent says otherwise.
    QCOMPARE(Entries().growthAt(Entries().growthCount() - 1)->Measured, QStringLiteral("lying"));
    Growth->pages()->setCurrentIndex(1);
    addGrowth(Growth, "070126", "36", "28", "0");
    QCOMPARE(Entries().growthAt(Entries().growthCount() - 1)->Measured, QStringLiteral("standing"));
    Growth->pages()->setCurrentIndex(2);
    // Without a readable birth date nothing is placed, and the page says why.
    Database::exec("UPDATE CHILD SET BDayYear = ? WHERE FirstName = ?", {"", "Ann"});
    click(Growth, "BitBtn2");
    show(Growth);
    Growth->pages()->setCurrentIndex(1);
    Growth->pages()->setCurrentIndex(2);
    QCOMPARE(Growth->plot()->height.size(), 0);
    QVERIFY(labelText(Growth, "ChartNote").contains("birth date"));
}

void DiaryFormsTest::wordsFirstWordListAndCount() {
    show(Words);
    QCOMPARE(labelText(Words, "MainTitle"), QStringLiteral("Ann`s First Word"));
    QCOMPARE(labelText(Words, "FirstWord"), QString());
    QCOMPARE(labelText(Words, "WordCount"), QStringLiteral("0"));
    QCOMPARE(memoText(Words, "WordList"), QString());
    const Added a = addEntry(Words, "BitBtn4", "010199", "ball");
    QCOMPARE(a.caption, QStringLiteral("New Word Entry"));
    QCOMPARE(a.prompt, QStringLiteral("Word:"));
    addEntry(Words, "BitBtn4", "020199", "dog");
    QCOMPARE(labelText(Words, "FirstWord"), QStringLiteral("ball"));
    QCOMPARE(memoText(Words, "WordList"), QStringLiteral("ball\ndog"));
    QCOMPARE(labelText(Words, "WordCount"), QStringLiteral("2"));
    QCOMPARE(labelText(Words, "Title"), QStringLiteral("dog"));
    addEntry(Words, "BitBtn4", "030199", "ball", "again");
    pick(Words, "TitleSearch", 2);
    QCOMPARE(labelText(Words, "EntryDate"), QStringLiteral("01-01-99"));
    answered(Words, "DelButton", "ConfirmBox", QMessageBox::Yes);
    QCOMPARE(labelText(Words, "FirstWord"), QStringLiteral("dog"));
    QCOMPARE(labelText(Words, "WordCount"), QStringLiteral("2"));
    QCOMPARE(labelText(Words, "Title"), QStringLiteral("ball"));
}

void DiaryFormsTest::everythingComesBackPerChildAfterARestart() {
    TempStore::addChild("Ben");
    auto fill = [](const QString& who) {
        show(Journal);
        addEntry(Journal, "BitBtn1", "010101", who + " journal", "line 1\nline 2");
        click(Journal, "OKBtn");
        show(Words);
        addEntry(Words, "BitBtn4", "010101", who + " word");
        click(Words, "BitBtn1");
        show(Prenatal);
        addEntry(Prenatal, "BitBtn1", "010101", who + " prenatal");
        addEntry(Prenatal, "BitBtn2", "010101", who + " medical");
        ModalDriver::type(Prenatal, "O1", who + " other");
        click(Prenatal, "OKBtn");
        show(Doctor);
        addEntry(Doctor, "BitBtn1", "010101", who + " visit");
        addEntry(Doctor, "BitBtn2", "010101", who + " disease");
        ModalDriver::type(Doctor, "DocName", who + " doctor");
        ModalDriver::type(Doctor, "Edit4", who + " shot");
        if (who == "Ann") {
            QImage red(30, 20, QImage::Format_RGB32);
            red.fill(Qt::red);
            const QString path = QDir::temp().filePath("tst_diaryforms_doctor.bmp");
            QVERIFY(red.save(path, "BMP"));
            QVERIFY(Doctor->picture()->replaceFromFile(path));
            QFile::remove(path);
        }
        click(Doctor, "OKBtn");
        show(Growth);
        Growth->pages()->setCurrentIndex(1);
        addGrowth(Growth, "010101", who == "Ann" ? "20" : "30", "8", "1");
        click(Growth, "BitBtn2");
    };
    auto check = [](const QString& who) {
        show(Journal);
        QCOMPARE(labelText(Journal, "Title"), who + " journal");
        QCOMPARE(memoText(Journal, "Entry"), QStringLiteral("line 1\nline 2"));
        QCOMPARE(comboItems(Journal, "TitleSearch"), QStringList{who + " journal"});
        click(Journal, "OKBtn");
        show(Words);
        QCOMPARE(memoText(Words, "WordList"), who + " word");
        click(Words, "BitBtn1");
        show(Prenatal);
        QCOMPARE(labelText(Prenatal, "Title"), who + " prenatal");
        QCOMPARE(comboItems(Prenatal, "MedTitleSearch"), QStringList{who + " medical"});
        QCOMPARE(Prenatal->findChild<QLineEdit*>("O1")->text(), who + " other");
        click(Prenatal, "OKBtn");
        show(Doctor);
        QCOMPARE(comboItems(Doctor, "TitleSearch"), QStringList{who + " visit"});
        QCOMPARE(comboItems(Doctor, "DisTitleSearch"), QStringList{who + " disease"});
        QCOMPARE(Doctor->findChild<QLineEdit*>("DocName")->text(), who + " doctor");
        QCOMPARE(Doctor->findChild<QLineEdit*>("Edit4")->text(), who + " shot");
        QCOMPARE(Doctor->picture()->isCustom(), who == "Ann");
        click(Doctor, "OKBtn");
        show(Growth);
        QCOMPARE(logText().split('\n').size(), 1);
        QCOMPARE(labelText(Growth, "Height"), who == "Ann" ? QStringLiteral("20") : QStringLiteral("30"));
        click(Growth, "BitBtn2");
    };
    fill("Ann");
    MainWindow->makeChildActive("Ben");
    fill("Ben");
    m_app->restart();
    QCOMPARE(ActiveChildName(), QStringLiteral("Ben"));
    check("Ben");
    MainWindow->makeChildActive("Ann");
    check("Ann");
}

void DiaryFormsTest::heavyChildOpensWithEveryRecord() {
    {
        Transaction tx;
        for (int i = 0; i < 10000; ++i)
            Database::exec("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES (?, ?, ?, ?, ?)",
                           {"Ann", int(DiaryList::JournalEntries), "01-02-03", "Entry " + QString::number(i),
                            "Some remarks about the day"});
        for (int i = 0; i < 5000; ++i)
            Database::exec("INSERT INTO GROWTH (child, Date, Height, WtLbs, WtOz) VALUES (?, ?, ?, ?, ?)",
                           {"Ann", "01-02-03", "24", "12", "5"});
        tx.commit();
    }
    Database::exec("UPDATE CHILD SET BDayMonth = ?, BDateDay = ?, BDayYear = ? WHERE FirstName = ?",
                   {"1", "1", "2000", "Ann"});
    m_app->restart();
    show(Journal);
    show(Growth);
    QCOMPARE(comboItems(Journal, "TitleSearch").size(), 10000);
    QCOMPARE(labelText(Journal, "Title"), QStringLiteral("Entry 9999"));
    QCOMPARE(comboItems(Growth, "DateSearch").size(), 5000);
    // Reopened on its chart page, the growth form draws 5000 records at once.
    Growth->pages()->setCurrentIndex(2);
    click(Growth, "BitBtn2");
    show(Growth);
    QCOMPARE(Growth->plot()->height.size(), 5000);
}

QTEST_MAIN(DiaryFormsTest)
#include "tst_diaryforms.moc"
