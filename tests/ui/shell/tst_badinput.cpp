// Hostile text through the real forms a parent types into: quotes, backslashes, percent signs,
// control characters, right-to-left text, emoji, markup and 10,000-character texts. Whatever is
// typed (or pasted) comes back after a restart exactly, or cut at the width the box itself shows.
#include "core/book/EntryStore.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "core/store/Table.h"
#include "support/AppFixture.h"
#include "support/ChildInfoBoxes.h"
#include "support/ModalDriver.h"
#include "support/RunCommand.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/Widgets.h"
#include "ui/diaries/TDoctor.h"
#include "ui/diaries/TGrowth.h"
#include "ui/diaries/TJournal.h"
#include "ui/diaries/TPrenatal.h"
#include "ui/diaries/TWords.h"
#include "ui/milestones/TBirthdays.h"
#include "ui/names/TBabyNames.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

namespace {
struct Sample {
    const char* what;
    QString text;
};

QString controlText() {
    return QStringLiteral("tab\there bell") + QChar(0x07) + QStringLiteral(" esc") + QChar(0x1b) +
           QStringLiteral("[31m del") + QChar(0x7f) + QStringLiteral(" c1") + QChar(0x9b) +
           QStringLiteral(" soh") + QChar(0x01) + QStringLiteral(" us") + QChar(0x1f) +
           QStringLiteral(" vt") + QChar(0x0b) + QStringLiteral(" ff") + QChar(0x0c) + QStringLiteral(" end");
}

// The short hostile texts; none starts or ends with white space.
const QList<Sample>& samples() {
    static const QList<Sample> list{
        {"quotes", QString::fromUtf8("Zoë\u00A0\"Bunny\" O'Neil `x` «\u202Fy\u202F» ''")},
        {"backslashes and percent signs", QStringLiteral("C:\\new\\table %1 %2 %L1 100% %s %n \\\" \\\\ ?")},
        {"control characters", controlText()},
        {"right-to-left", QString::fromUtf8("שלום עולם \u202Bمرحبا بالعالم\u202C \u200F(1) ב")},
        {"emoji", QString::fromUtf8("👶🏽 baby 👨‍👩‍👧 family 🎂🍼 🇮🇱 end")},
        {"markup", QStringLiteral("<b>bold</b> &amp; <i>it</i> <img src=x> &lt;")},
    };
    return list;
}

// 10,000 characters of all the above, ending on a plain letter.
QString longText() {
    QString s;
    for (int i = 0; s.size() < 10000; ++i)
        s += samples().at(i % samples().size()).text + QStringLiteral(" / ");
    s.truncate(9990);
    while (s.back().isSpace() || s.back().isSurrogate() || s.back().unicode() < 0x20)
        s.chop(1);
    while (s.size() < 10000)
        s += QLatin1Char('x');
    return s;
}

// Every text tried, the long one last.
QList<Sample> allTexts() {
    QList<Sample> list = samples();
    list.append({"10,000 characters", longText()});
    return list;
}

bool typable(const QString& text) {
    if (text.size() > 300)
        return false;
    for (QChar c : text)
        if (c.category() == QChar::Other_Control)
            return false;
    return true;
}

// Puts `text` into a box as a parent would: typed key by key (any script, emoji as one key), or,
// for what no keyboard types (control characters, 10,000 characters), pasted.
void enter(QLineEdit* edit, const QString& text) {
    QVERIFY(edit);
    edit->setFocus();
    edit->selectAll();
    edit->del();
    if (!typable(text)) {
        QGuiApplication::clipboard()->setText(text);
        edit->paste();
        return;
    }
    for (int i = 0; i < text.size(); ++i) {
        QString piece(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size())
            piece += text[++i];
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, piece);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, piece);
        QApplication::sendEvent(edit, &press);
        QApplication::sendEvent(edit, &release);
    }
}

void enter(QWidget* form, const QString& name, const QString& text) {
    QWidget* w = form->findChild<QWidget*>(name);
    if (auto* combo = qobject_cast<QComboBox*>(w))
        w = combo->lineEdit();
    auto* edit = qobject_cast<QLineEdit*>(w);
    QVERIFY2(edit, qPrintable(name));
    enter(edit, text);
}

// Memos take the text pasted, line breaks included.
void paste(QPlainTextEdit* memo, const QString& text) {
    QVERIFY(memo);
    memo->setFocus();
    memo->selectAll();
    QGuiApplication::clipboard()->setText(text);
    memo->paste();
}

// What a box of this width keeps of `text`: never half of a character written as a pair.
// Pasted text is cut at the width; typed text keeps every key that still fits, so a pair refused
// for lack of room may be followed by a single unit that fits.
QString cut(const QString& text, int width) {
    if (width <= 0 || text.size() <= width)
        return text;
    if (!typable(text)) {
        QString kept = text.left(width);
        if (kept.back().isHighSurrogate())
            kept.chop(1);
        return kept;
    }
    QString kept;
    for (int i = 0; i < text.size(); ++i) {
        const int n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        if (kept.size() + n <= width)
            kept += text.mid(i, n);
        i += n - 1;
    }
    return kept;
}

QString shown(QWidget* form, const QString& name) {
    QWidget* w = form->findChild<QWidget*>(name);
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        return Widgets::memoText(m); // what the memo shows, non-breaking spaces included
    return QStringLiteral("<no ") + name + QLatin1Char('>');
}

QStringList comboItems(QWidget* form, const QString& name) {
    QStringList items;
    auto* combo = form->findChild<QComboBox*>(name);
    for (int i = 0; combo && i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// Labels that show what the parent typed must show it as text, never as markup.
QStringList labelsShowingMarkup(QWidget* form) {
    QStringList wrong;
    for (QLabel* l : form->findChildren<QLabel*>())
        if (l->text().contains(QLatin1String("<b>bold</b>")) && l->textFormat() != Qt::PlainText)
            wrong << l->objectName();
    return wrong;
}

// Text boxes of a form that a parent fills in: not dates, not search boxes, not read-only.
QList<QLineEdit*> textBoxes(QWidget* form) {
    QList<QLineEdit*> boxes;
    for (QLineEdit* e : form->findChildren<QLineEdit*>())
        if (!qobject_cast<MaskedDateEdit*>(e) && !qobject_cast<QComboBox*>(e->parentWidget()) &&
            !e->isReadOnly() && !e->objectName().isEmpty())
            boxes << e;
    return boxes;
}

// However long the texts it shows, a form still fits a small screen.
QStringList tooWide(QWidget* form) {
    if (form->minimumSizeHint().width() <= 1280 && form->width() <= 1280)
        return {};
    return {form->objectName() + " is " +
            QString::number(qMax(form->width(), form->minimumSizeHint().width())) + " pixels wide"};
}

QString describe(const QString& name, const QString& got, const QString& want) {
    return name + QStringLiteral(": got ") + QString::number(got.size()) + QStringLiteral(" chars \"") +
           got.left(40) + QStringLiteral("\", want ") + QString::number(want.size()) +
           QStringLiteral(" chars \"") + want.left(40) + QStringLiteral("\"");
}

QString childField(const QString& child, const QString& name) {
    Table t(QStringLiteral("CHILD"));
    t.open();
    return t.findKey(child) ? t.fieldText(name) : QStringLiteral("<no row>");
}

int childWidth(const QString& field) {
    return Schema::child().fields.at(Schema::child().indexOf(field)).width;
}

void show(QDialog* form) {
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(form));
}

void click(QWidget* form, const char* name) {
    auto* b = form->findChild<QAbstractButton*>(QString::fromLatin1(name));
    QVERIFY2(b, name);
    b->click();
}

void pick(QWidget* form, const QString& name, int index) {
    auto* combo = form->findChild<QComboBox*>(name);
    QVERIFY2(combo, qPrintable(name));
    combo->setFocus();
    while (combo->currentIndex() < index)
        QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > index)
        QTest::keyClick(combo, Qt::Key_Up);
}

void ok(QWidget* box) {
    ModalDriver::answer(box, QMessageBox::Ok);
}
} // namespace

class BadInputTest : public QObject {
    Q_OBJECT
private slots:
    void theTextsAreWhatTheyClaim();
    void namesThroughTheFirstRunAndNewChild();
    void halfAnEmojiIsNeverKept();
    void childInformationKeepsEveryKindOfBox();
    void diaryEntriesKeepTitleAndRemarks();
    void growthRecordsKeepWhatWasTyped();
    void prenatalDatesSheetAndPediatricianCard();
    void familyInputKeepsNamesAndPlaces();
    void birthdayAndHolidayRemarksGuestsAndGifts();
    void skillsKeepEveryBox();
    void babyNamesSearchTakesAnything();
};

void BadInputTest::theTextsAreWhatTheyClaim() {
    const QString t = longText();
    QCOMPARE(t.size(), 10000);
    QVERIFY(t.contains(controlText()));
    QVERIFY(t.contains(QString::fromUtf8("👨‍👩‍👧")));
    QVERIFY(!typable(controlText()));
    QVERIFY(typable(samples().at(4).text));
}

void BadInputTest::namesThroughTheFirstRunAndNewChild() {
    const QString first = samples().at(0).text;          // quotes
    const QString second = longText();                   // cut at the first name's width
    const QString third = samples().at(5).text.left(50); // markup
    const QString secondName = cut(second, 50);
    struct Names {
        QString first, middle, last;
    };
    const QList<Names> typed{{first, samples().at(3).text, samples().at(4).text},
                             {second, samples().at(1).text, samples().at(2).text},
                             {third, longText(), samples().at(5).text}};
    QStringList widths;
    {
        AppFixture app(QString(), false);
        ModalDriver driver;
        driver.expect("BrandNewChild", [&](QWidget* d) {
            for (const char* box : {"FirstName", "MiddleName", "LastName"})
                widths << QString::number(d->findChild<QLineEdit*>(box)->maxLength());
            enter(d, "FirstName", typed[0].first);
            enter(d, "MiddleName", typed[0].middle);
            enter(d, "LastName", typed[0].last);
            ModalDriver::click(d, "OKBtn");
        });
        driver.expect("InformationBox", ok);
        driver.expect("PlainBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::No); });
        driver.start();
        app.start(false);
        QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
        QCOMPARE(ActiveChildName(), first);

        for (int i = 1; i < 3; ++i) {
            ModalDriver add;
            add.expect("PickChild", [](QWidget* d) { ModalDriver::click(d, "AddButton"); });
            add.expect("NewChildren", [&, i](QWidget* d) {
                for (const char* box : {"FirstName", "MiddleName", "LastName"})
                    widths << QString::number(d->findChild<QLineEdit*>(box)->maxLength());
                enter(d, "FirstName", typed[i].first);
                enter(d, "MiddleName", typed[i].middle);
                enter(d, "LastName", typed[i].last);
                ModalDriver::click(d, "OKBtn");
            });
            RUN([] { MainWindow->findChild<QAction*>("PickChild1")->trigger(); }, add);
        }
        QCOMPARE(ActiveChildName(), third);

        app.restart();
        QCOMPARE(ActiveChildName(), third);
        QCOMPARE(MainWindow->windowTitle(), QStringLiteral("Tinyra 4.2 - ") + third);
        QStringList wrong;
        // The forms that title themselves with the child's name show it as text.
        show(Words);
        if (!shown(Words, "MainTitle").startsWith(third))
            wrong << describe("Words title", shown(Words, "MainTitle"), third);
        wrong << labelsShowingMarkup(Words);
        Words->accept();
        ModalDriver family;
        family.expect("Family", [&](QWidget* w) {
            if (shown(w, "ChildName") != third)
                wrong << describe("Family child name", shown(w, "ChildName"), third);
            wrong << labelsShowingMarkup(w);
            ModalDriver::click(w, "BitBtn2");
        });
        RUN([] { MainWindow->Family1Click(); }, family);
        const QStringList firsts{first, secondName, third};
        for (int i = 0; i < 3; ++i) {
            const Names want{firsts[i], cut(typed[i].middle, 50), cut(typed[i].last, 50)};
            if (childField(want.first, "MiddleName") != want.middle)
                wrong << describe("stored middle name " + QString::number(i),
                                  childField(want.first, "MiddleName"), want.middle);
            if (childField(want.first, "LastName") != want.last)
                wrong << describe("stored last name " + QString::number(i),
                                  childField(want.first, "LastName"), want.last);
            MainWindow->makeChildActive(want.first);
            if (ActiveChildName() != want.first)
                wrong << describe("active child " + QString::number(i), ActiveChildName(), want.first);
            ModalDriver info;
            info.expect("ChildInfo", [&](QWidget* d) {
                for (const auto& [box, value] : {std::pair{QStringLiteral("FirstName"), want.first},
                                                 {QStringLiteral("MiddleName"), want.middle},
                                                 {QStringLiteral("LastName"), want.last}})
                    if (shown(d, box) != value)
                        wrong << describe("Child Information " + box + " " + QString::number(i),
                                          shown(d, box), value);
                wrong << labelsShowingMarkup(d);
                ModalDriver::click(d, "CancelBtn");
            });
            RUN([] { MainWindow->findChild<QAction*>("ChildInformation1")->trigger(); }, info);
        }
        QStringList listed;
        ModalDriver picker;
        picker.expect("PickChild", [&](QWidget* d) {
            listed = comboItems(d, "Name");
            ModalDriver::click(d, "CancelBtn");
        });
        RUN([] { MainWindow->findChild<QAction*>("PickChild1")->trigger(); }, picker);
        listed.sort();
        QStringList want = firsts;
        want.sort();
        QCOMPARE(listed, want);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }
    QCOMPARE(widths, QStringList(9, QStringLiteral("50")));
}

void BadInputTest::halfAnEmojiIsNeverKept() {
    // The 50th unit of a name is the first half of an emoji, pasted or typed.
    const QString baby = QString::fromUtf8("👶");
    const QString first = QString(49, QLatin1Char('a')) + baby + QStringLiteral("bc");
    const QString middle = QString(48, QLatin1Char('b')) + baby + baby;
    AppFixture app("Ann");
    QString shownFirst, shownMiddle;
    ModalDriver add;
    add.expect("PickChild", [](QWidget* d) { ModalDriver::click(d, "AddButton"); });
    add.expect("NewChildren", [&](QWidget* d) {
        enter(d, "FirstName", first + QChar(0x07)); // pasted
        enter(d, "MiddleName", middle);             // typed
        shownFirst = shown(d, "FirstName");
        shownMiddle = shown(d, "MiddleName");
        ModalDriver::click(d, "OKBtn");
    });
    RUN([] { MainWindow->findChild<QAction*>("PickChild1")->trigger(); }, add);
    const QString a49(49, QLatin1Char('a'));
    QCOMPARE(shownFirst, a49);
    QCOMPARE(shownMiddle, QString(48, QLatin1Char('b')) + baby);
    QCOMPARE(ActiveChildName(), a49);
    app.restart();
    QCOMPARE(ActiveChildName(), a49);
    QCOMPARE(childField(a49, "MiddleName"), QString(48, QLatin1Char('b')) + baby);
}

void BadInputTest::childInformationKeepsEveryKindOfBox() {
    const QList<QPair<QString, QString>>& boxes = childInfoBoxes();
    AppFixture app("Ann");
    const QList<Sample> texts = allTexts();
    // Round r puts text (i + r) into box i, so that every box gets every text over the rounds.
    for (int round = 0; round < texts.size(); ++round) {
        QStringList wrong;
        ModalDriver driver;
        driver.expect("ChildInfo", [&](QWidget* d) {
            auto* notebook = d->findChild<QTabWidget*>("TabbedNotebook1");
            for (int i = 0; i < boxes.size(); ++i) {
                QWidget* w = d->findChild<QWidget*>(boxes[i].first);
                for (int p = 0; p < notebook->count(); ++p)
                    if (notebook->widget(p)->isAncestorOf(w))
                        notebook->setCurrentIndex(p);
                const QString text = texts[(i + round) % texts.size()].text;
                enter(d, boxes[i].first, text);
                auto* combo = qobject_cast<QComboBox*>(w);
                QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(w);
                const int width = childWidth(boxes[i].second);
                if (edit->maxLength() != width)
                    wrong << boxes[i].first + " shows a limit of " + QString::number(edit->maxLength()) +
                                 " for a field of " + QString::number(width);
            }
            ModalDriver::click(d, "OKBtn");
        });
        RUN([] { MainWindow->findChild<QAction*>("ChildInformation1")->trigger(); }, driver);

        app.restart();
        ModalDriver again;
        again.expect("ChildInfo", [&](QWidget* d) {
            for (int i = 0; i < boxes.size(); ++i) {
                const QString want = cut(texts[(i + round) % texts.size()].text, childWidth(boxes[i].second));
                const QString got = shown(d, boxes[i].first);
                if (got != want)
                    wrong << describe(boxes[i].first + " (" + texts[(i + round) % texts.size()].what + ")",
                                      got, want);
                const QString stored = childField("Ann", boxes[i].second);
                if (stored != want)
                    wrong << describe("stored " + boxes[i].second, stored, want);
            }
            wrong << tooWide(d);
            ModalDriver::click(d, "CancelBtn");
        });
        RUN([] { MainWindow->findChild<QAction*>("ChildInformation1")->trigger(); }, again);
        QVERIFY2(wrong.isEmpty(), qPrintable("round " + QString::number(round) + "\n" + wrong.join('\n')));
    }
}

void BadInputTest::diaryEntriesKeepTitleAndRemarks() {
    AppFixture app("Ann");
    struct Page {
        QString formName; // the forms are made anew at the restart
        QDialog* form() const { return qobject_cast<QDialog*>(Form(formName)); }
        const char* newButton;
        QString title, memo, titleSearch;
    };
    const QList<Page> pages{{"Journal", "BitBtn1", "Title", "Entry", "TitleSearch"},
                            {"Prenatal", "BitBtn1", "Title", "Entry", "TitleSearch"},
                            {"Prenatal", "BitBtn2", "MedTitle", "MedEntry", "MedTitleSearch"},
                            {"Doctor", "BitBtn1", "Title", "Entry", "TitleSearch"},
                            {"Doctor", "BitBtn2", "DisTitle", "DisEntry", "DisTitleSearch"}};
    const QList<Sample> texts = allTexts();
    // The remarks of entry i: every text on its own line, starting with text i.
    auto remarks = [&](int i) {
        QStringList lines;
        for (int k = 0; k < texts.size(); ++k)
            lines << texts[(i + k) % texts.size()].text;
        return lines.join(QLatin1Char('\n'));
    };
    QStringList wrong;
    for (const Page& p : pages) {
        show(p.form());
        for (int i = 0; i < texts.size(); ++i) {
            ModalDriver driver;
            driver.expect("NewEntry", [&](QWidget* w) {
                auto* date = w->findChild<MaskedDateEdit*>("Date");
                date->setFocus();
                date->home(false);
                QTest::keyClicks(date, "0102" + QString::number(10 + i));
                enter(w, "Title", texts[i].text);
                paste(w->findChild<QPlainTextEdit*>("Remarks"), remarks(i));
                if (w->findChild<QLineEdit*>("Title")->text() != texts[i].text)
                    wrong << describe("typed title", w->findChild<QLineEdit*>("Title")->text(),
                                      texts[i].text);
                ModalDriver::click(w, "OKBtn");
            });
            driver.start();
            click(p.form(), p.newButton);
            QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
        }
        p.form()->accept();
    }
    app.restart();
    for (const Page& p : pages) {
        show(p.form());
        QStringList want;
        for (const Sample& s : texts)
            want << s.text;
        if (comboItems(p.form(), p.titleSearch) != want)
            wrong << p.formName + " " + p.titleSearch + " lists " +
                         QString::number(comboItems(p.form(), p.titleSearch).size()) +
                         " titles, some changed";
        for (int i = 0; i < texts.size(); ++i) {
            pick(p.form(), p.titleSearch, i);
            const QString where = p.form()->objectName() + " " + p.title + " " + texts[i].what;
            if (shown(p.form(), p.title) != texts[i].text)
                wrong << describe(where, shown(p.form(), p.title), texts[i].text);
            if (shown(p.form(), p.memo) != remarks(i))
                wrong << describe(where + " remarks", shown(p.form(), p.memo), remarks(i));
            // However long the title, the form still fits a small screen.
            if (p.form()->minimumSizeHint().width() > 1280 || p.form()->width() > 1280)
                wrong << where + " widens the form to " + QString::number(p.form()->width()) + " pixels";
        }
        wrong << labelsShowingMarkup(p.form());
        p.form()->accept();
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
}

void BadInputTest::growthRecordsKeepWhatWasTyped() {
    AppFixture app("Ann");
    // With a birth date the chart reads every height and weight, not only the dates.
    Database::exec("UPDATE CHILD SET BDayMonth = ?, BDateDay = ?, BDayYear = ? WHERE FirstName = ?",
                   {"1", "1", "2000", "Ann"});
    const QList<Sample> texts = allTexts();
    show(Growth);
    Growth->pages()->setCurrentIndex(1);
    for (int i = 0; i < texts.size(); ++i) {
        auto* date = Growth->findChild<MaskedDateEdit*>("NewDate");
        date->setFocus();
        date->home(false);
        QTest::keyClicks(date, "0102" + QString::number(10 + i));
        enter(Growth, "NewHeight", texts[i].text);
        enter(Growth, "NewWtLbs", texts[(i + 1) % texts.size()].text);
        enter(Growth, "NewWtOz", texts[(i + 2) % texts.size()].text);
        click(Growth, "BitBtn5");
    }
    Growth->pages()->setCurrentIndex(2); // the chart leaves out what is no measurement
    QVERIFY(Growth->plot()->weight.isEmpty() && Growth->plot()->height.isEmpty() &&
            Growth->plot()->head.isEmpty());
    const QString leftOut = Growth->findChild<QPlainTextEdit*>("LeftOut")->toPlainText();
    QCOMPARE(leftOut.count("neither height nor weight can be read"), texts.size());
    Growth->accept();

    app.restart();
    show(Growth);
    Growth->pages()->setCurrentIndex(1);
    QStringList wrong;
    QCOMPARE(comboItems(Growth, "DateSearch").size(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        pick(Growth, "DateSearch", i);
        const QStringList want{texts[i].text, texts[(i + 1) % texts.size()].text,
                               texts[(i + 2) % texts.size()].text};
        const QStringList got{shown(Growth, "Height"), shown(Growth, "WtLbs"), shown(Growth, "WtOz")};
        for (int k = 0; k < 3; ++k)
            if (got[k] != want[k])
                wrong << describe(QStringLiteral("growth record ") + QString::number(i) + " value " +
                                      QString::number(k),
                                  got[k], want[k]);
    }
    wrong << labelsShowingMarkup(Growth) << tooWide(Growth);
    Growth->pages()->setCurrentIndex(0);
    Growth->pages()->setCurrentIndex(2);
    Growth->accept();
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
}

void BadInputTest::prenatalDatesSheetAndPediatricianCard() {
    AppFixture app("Ann");
    const QList<Sample> texts = allTexts();
    QHash<QString, QString> typed; // form/box -> text
    for (QDialog* form : {static_cast<QDialog*>(Prenatal), static_cast<QDialog*>(Doctor)}) {
        show(form);
        const QList<QLineEdit*> boxes = textBoxes(form);
        QVERIFY2(boxes.size() >= 8, qPrintable(form->objectName()));
        for (int i = 0; i < boxes.size(); ++i) {
            const QString text = texts[i % texts.size()].text;
            enter(boxes[i], text);
            typed.insert(form->objectName() + "/" + boxes[i]->objectName(), cut(text, boxes[i]->maxLength()));
        }
        form->accept();
    }
    app.restart();
    QStringList wrong;
    for (QDialog* form : {static_cast<QDialog*>(Prenatal), static_cast<QDialog*>(Doctor)}) {
        show(form);
        wrong << tooWide(form);
        for (QLineEdit* box : textBoxes(form)) {
            const QString key = form->objectName() + "/" + box->objectName();
            if (box->text() != typed.value(key))
                wrong << describe(key, box->text(), typed.value(key));
        }
        form->accept();
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
}

void BadInputTest::familyInputKeepsNamesAndPlaces() {
    AppFixture app("Ann");
    const QList<Sample> texts = allTexts();
    const char* const buttons[] = {"Button1", "Button11", "Button2", "Button3",
                                   "Button6", "Button12", "Button7"};
    ModalDriver driver;
    for (int i = 0; i < texts.size(); ++i) {
        driver.expect("Family", [&, i](QWidget* w) { ModalDriver::click(w, buttons[i]); });
        driver.expect("FamilyInput", [&, i](QWidget* w) {
            enter(w, "Name", texts[i].text);
            enter(w, "Pob", texts[(i + 1) % texts.size()].text);
            ModalDriver::click(w, "OKBtn");
        });
    }
    driver.expect("Family", [](QWidget* w) { ModalDriver::click(w, "BitBtn2"); });
    RUN([] { MainWindow->Family1Click(); }, driver);

    app.restart();
    QStringList wrong;
    ModalDriver again;
    for (int i = 0; i < texts.size(); ++i) {
        again.expect("Family", [&, i](QWidget* w) {
            if (i == 0)
                wrong << labelsShowingMarkup(w) << tooWide(w);
            ModalDriver::click(w, buttons[i]);
        });
        again.expect("FamilyInput", [&, i](QWidget* w) {
            if (shown(w, "Name") != texts[i].text)
                wrong << describe(QStringLiteral("family name ") + texts[i].what, shown(w, "Name"),
                                  texts[i].text);
            const QString place = texts[(i + 1) % texts.size()].text;
            if (shown(w, "Pob") != place)
                wrong << describe(QStringLiteral("place of birth ") + QString::number(i), shown(w, "Pob"),
                                  place);
            ModalDriver::click(w, "CancelBtn");
        });
    }
    again.expect("Family", [](QWidget* w) { ModalDriver::click(w, "BitBtn2"); });
    RUN([] { MainWindow->Family1Click(); }, again);
    for (int i = 0; i < texts.size(); ++i)
        if (Entries().familyMember(i + 1).Name != texts[i].text)
            wrong << describe("stored family slot " + QString::number(i + 1),
                              Entries().familyMember(i + 1).Name, texts[i].text);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
}

void BadInputTest::birthdayAndHolidayRemarksGuestsAndGifts() {
    AppFixture app("Ann");
    const QList<Sample> texts = allTexts();
    QStringList allLines;
    for (const Sample& s : texts)
        allLines << s.text;
    const QString remarks = allLines.join('\n');

    auto* b = qobject_cast<TBirthdays*>(Form("Birthdays"));
    b->setTitles("1st Birthday");
    b->show();
    QVERIFY(QTest::qWaitForWindowExposed(b));
    paste(b->findChild<QPlainTextEdit*>("Remarks"), remarks);
    for (int i = 0; i < texts.size(); ++i) {
        enter(b, "Edit1", texts[i].text);
        b->findChild<QToolButton*>("BitBtn7")->click();
        enter(b, "Edit2", texts[i].text);
        enter(b, "Edit4", texts[(i + 1) % texts.size()].text);
        b->findChild<QToolButton*>("BitBtn8")->click();
    }
    b->hide();

    ModalDriver holiday;
    holiday.expect("Holiday", [&](QWidget* w) {
        paste(w->findChild<QPlainTextEdit*>("Remarks"), remarks);
        ModalDriver::click(w, "OKBtn");
    });
    RUN([] { MainWindow->Christmas1Click(); }, holiday);

    app.restart();
    QStringList wrong;
    QStringList gifts;
    for (int i = 0; i < texts.size(); ++i)
        gifts << texts[i].text + " -- " + texts[(i + 1) % texts.size()].text;
    ModalDriver again;
    again.expect("Birthdays", [&](QWidget* w) {
        if (shown(w, "Remarks") != remarks)
            wrong << describe("birthday remarks", shown(w, "Remarks"), remarks);
        if (shown(w, "Memo2") != allLines.join('\n'))
            wrong << describe("guests", shown(w, "Memo2"), allLines.join('\n'));
        if (comboItems(w, "ComboBox1") != allLines)
            wrong << "guest list changed";
        if (shown(w, "Memo3") != gifts.join('\n'))
            wrong << describe("gifts", shown(w, "Memo3"), gifts.join('\n'));
        if (comboItems(w, "ComboBox2") != allLines)
            wrong << "gift givers changed";
        auto* givers = w->findChild<QComboBox*>("ComboBox2");
        for (int i = 0; i < texts.size(); ++i) {
            givers->setCurrentIndex(i);
            if (shown(w, "Edit3") != texts[(i + 1) % texts.size()].text)
                wrong << describe(QStringLiteral("gift ") + texts[i].what, shown(w, "Edit3"),
                                  texts[(i + 1) % texts.size()].text);
        }
        wrong << labelsShowingMarkup(w) << tooWide(w);
        ModalDriver::click(w, "BitBtn2");
    });
    again.expect("Holiday", [&](QWidget* w) {
        wrong << tooWide(w);
        if (shown(w, "Remarks") != remarks)
            wrong << describe("holiday remarks", shown(w, "Remarks"), remarks);
        ModalDriver::click(w, "OKBtn");
    });
    RUN(([] {
            MainWindow->BirthdayItemClick("1st Birthday");
            MainWindow->Christmas1Click();
        }),
        again);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
}

void BadInputTest::skillsKeepEveryBox() {
    AppFixture app("Ann");
    const QList<Sample> texts = allTexts();
    QHash<QString, QString> typed;
    ModalDriver driver;
    driver.expect("Skills", [&](QWidget* w) {
        const QList<QLineEdit*> boxes = textBoxes(w);
        if (boxes.size() < 79)
            typed.insert("<count>", QString::number(boxes.size()));
        for (int i = 0; i < boxes.size(); ++i) {
            const QString text = texts[i % texts.size()].text;
            enter(boxes[i], text);
            typed.insert(boxes[i]->objectName(), cut(text, boxes[i]->maxLength()));
        }
        ModalDriver::click(w, "OKBtn");
    });
    RUN([] { MainWindow->Skills1Click(); }, driver);
    QVERIFY2(!typed.contains("<count>"), qPrintable(typed.value("<count>")));

    app.restart();
    QStringList wrong;
    ModalDriver again;
    again.expect("Skills", [&](QWidget* w) {
        wrong << tooWide(w);
        for (QLineEdit* box : textBoxes(w))
            if (box->text() != typed.value(box->objectName()))
                wrong << describe(box->objectName(), box->text(), typed.value(box->objectName()));
        ModalDriver::click(w, "OKBtn");
    });
    RUN([] { MainWindow->Skills1Click(); }, again);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
}

void BadInputTest::babyNamesSearchTakesAnything() {
    AppFixture app("Ann");
    BabyNames->show();
    QVERIFY(QTest::qWaitForWindowExposed(BabyNames));
    QStringList wrong;
    for (const char* list : {"BoyNames", "GirlNames"}) {
        auto* combo = BabyNames->findChild<QComboBox*>(QString::fromLatin1(list));
        QVERIFY(combo);
        const int count = combo->count();
        for (const Sample& s : allTexts()) {
            enter(combo->lineEdit(), s.text);
            QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
            if (!BabyNames->isVisible() || qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                wrong << QString::fromLatin1(list) + ": the form did not stay quietly open after " + s.what;
            if (combo->currentText() != s.text)
                wrong << describe(QString::fromLatin1(list) + " " + s.what, combo->currentText(), s.text);
            if (combo->count() != count)
                wrong << QString::fromLatin1(list) + ": the search added to the list";
        }
    }
    wrong << tooWide(BabyNames);
    BabyNames->reject();
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
}

QTEST_MAIN(BadInputTest)
#include "tst_badinput.moc"
