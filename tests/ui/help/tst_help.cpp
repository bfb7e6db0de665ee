// The help viewer, the topic search, the about box and the readme viewer, driven through their real
// controls in the running program.
#include "core/store/Database.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "ui/help/THelpForm.h"
#include "ui/help/TReadmeFile.h"
#include "ui/help/TSearch.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

namespace {
// Every topic number that a help button or menu item of the program opens.
QList<int> openedTopics() {
    QList<int> n;
    for (int i = 1; i <= 18; ++i)
        n << i;
    for (int i = 21; i <= 36; ++i)
        n << i;
    n << 40;
    for (int i = 44; i <= 52; ++i)
        n << i;
    n << 54 << 56 << 57 << 58 << 59 << 63;
    for (int i = 64; i <= 70; ++i)
        n << i;
    return n;
}

struct Shown {
    QString title;
    QString text;
    bool visible = false;
};

Shown read(QWidget* w) {
    auto* form = qobject_cast<THelpForm*>(w);
    return form ? Shown{form->shownTitle(), form->shownText(), form->isVisible()} : Shown{};
}

QString rowTitle(int id) {
    QSqlQuery q = Database::exec("SELECT Title FROM BABYHELP WHERE HelpID = ?", {id});
    return q.next() ? q.value(0).toString() : QString();
}

void closeViewer(QWidget* w) {
    ModalDriver::click(w, "BitBtn2");
}

void saveShot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("TINYRA_SHOTS");
    if (!dir.isEmpty())
        w->grab().save(QDir(dir).filePath(name + ".png"));
}
// Picks `title` in the search list the way a user does: opens the list and clicks the entry.
void pick(QWidget* search, const QString& title) {
    auto* combo = search->findChild<QComboBox*>("Topic");
    const int index = combo->findText(title, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        qWarning("no entry %s in the search list", qPrintable(title));
        return;
    }
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    saveShot(view->window(), "searchlist");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
}

} // namespace

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_app = std::make_unique<AppFixture>(QStringLiteral("Ann")); }
    void cleanup() { m_app.reset(); }

    void everyOpenedTopicHasItsOwnTitleAndText();
    void aMissingTopicSaysSoInsteadOfShowingAnother();
    void helpButtonShowsTopic45InPlaceAndTheNumberIsKept();
    void searchListsEveryTitleAndReturnsAsItWasLeft();
    void typingATitleAndEnterOpensIt();
    void eachFeatureIsFoundAndNoMatchSaysSo_data();
    void eachFeatureIsFoundAndNoMatchSaysSo();
    void equalTitlesOpenTheLargerNumber();
    void helpMenuReachesTheInformationScreens();
    void readmeKeepsItsPage();
    void firstRunOffersTheReadme();

private:
    std::unique_ptr<AppFixture> m_app;
};

void HelpTest::everyOpenedTopicHasItsOwnTitleAndText() {
    QHash<int, Shown> shown;
    for (int topic : openedTopics()) {
        ModalDriver driver;
        driver.expect("HelpForm", [&, topic](QWidget* w) {
            shown[topic] = read(w);
            if (topic == 14)
                saveShot(w, "helpviewer");
            closeViewer(w);
        });
        driver.start();
        ShowHelpTopic(topic);
        QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    }
    auto* titleLabel = HelpForm->findChild<QLabel*>("DBText1");
    QFontMetrics fm(titleLabel->font());
    QSet<QString> titles, texts;
    for (int topic : openedTopics()) {
        const Shown& s = shown.value(topic);
        const QString where = QString("topic %1: %2").arg(topic).arg(s.title);
        QVERIFY2(!s.title.trimmed().isEmpty(), qPrintable(where));
        QVERIFY2(s.title != THelpForm::NotFoundTitle, qPrintable(where));
        QCOMPARE(s.title, rowTitle(topic));
        // The heading must fit beside the form's edge, not run off it.
        QVERIFY2(fm.horizontalAdvance(s.title) <= titleLabel->width(), qPrintable(where));
        // A real text: several sentences, not a placeholder.
        QVERIFY2(s.text.size() >= 200, qPrintable(where));
        QVERIFY2(s.text.count('.') >= 3, qPrintable(where));
        titles.insert(s.title);
        texts.insert(s.text);
    }
    QCOMPARE(titles.size(), openedTopics().size());
    QCOMPARE(texts.size(), openedTopics().size());
    QVERIFY(shown[45].title.contains("Help", Qt::CaseInsensitive));
}

void HelpTest::aMissingTopicSaysSoInsteadOfShowingAnother() {
    QSet<QString> rowTexts;
    QSqlQuery q = Database::exec("SELECT Remarks FROM BABYHELP");
    while (q.next())
        rowTexts.insert(q.value(0).toString());

    for (int topic : {0, 19, 999}) {
        Shown s;
        ModalDriver driver;
        driver.expect("HelpForm", [&](QWidget* w) {
            s = read(w);
            closeViewer(w);
        });
        driver.start();
        ShowHelpTopic(topic);
        QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
        QCOMPARE(s.title, THelpForm::NotFoundTitle);
        QVERIFY2(s.text.contains(QString::number(topic)), qPrintable(s.text));
        QVERIFY(!rowTexts.contains(s.text));
    }
    // A found topic after a missing one shows its own text again.
    Shown after;
    ModalDriver driver;
    driver.expect("HelpForm", [&](QWidget* w) {
        after = read(w);
        closeViewer(w);
    });
    driver.start();
    ShowHelpTopic(47);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(after.title, rowTitle(47));
}

void HelpTest::helpButtonShowsTopic45InPlaceAndTheNumberIsKept() {
    Shown before, inPlace;
    ModalDriver driver;
    driver.expect("HelpForm", [&](QWidget* w) {
        before = read(w);
        ModalDriver::click(w, "BitBtn1");
        inPlace = read(w);
        // Leave through the window's close box this time: the next showing must still work.
        w->close();
    });
    driver.start();
    ShowHelpTopic(14);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(before.title, rowTitle(14));
    QCOMPARE(inPlace.title, rowTitle(45));
    QVERIFY(inPlace.visible);
    QCOMPARE(HelpForm->TopicNumber, 14);

    // Shown again without a new number: the kept TopicNumber, not topic 45.
    Shown again;
    ModalDriver second;
    second.expect("HelpForm", [&](QWidget* w) {
        again = read(w);
        // Enter closes the viewer from the text, where it puts the focus.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    second.start();
    HelpForm->exec();
    QVERIFY2(second.waitFinished(), qPrintable(second.error()));
    QCOMPARE(again.title, rowTitle(14));
}

void HelpTest::searchListsEveryTitleAndReturnsAsItWasLeft() {
    QStringList expected;
    QSqlQuery q = Database::exec("SELECT Title FROM BABYHELP");
    while (q.next())
        expected << q.value(0).toString();
    std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });

    const QString wanted = rowTitle(47);
    QStringList listed;
    Shown opened;
    QString textAfter;
    int countAfter = -1;
    ModalDriver driver;
    driver.expect("Search", [&](QWidget* w) {
        auto* combo = w->findChild<QComboBox*>("Topic");
        for (int i = 0; i < combo->count(); ++i)
            listed << combo->itemText(i);
        saveShot(w, "search");
        pick(w, wanted);
    });
    driver.expect("HelpForm", [&](QWidget* w) {
        opened = read(w);
        closeViewer(w);
    });
    driver.expect("Search", [&](QWidget* w) {
        auto* combo = w->findChild<QComboBox*>("Topic");
        textAfter = combo->currentText();
        countAfter = combo->count();
        ModalDriver::click(w, "BitBtn2");
    });
    driver.start();
    MainWindow->findChild<QAction*>("Search1")->trigger();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));

    QCOMPARE(listed, expected);
    QCOMPARE(opened.title, wanted);
    QCOMPARE(textAfter, wanted);
    QCOMPARE(countAfter, expected.size());
}

void HelpTest::typingATitleAndEnterOpensIt() {
    // Keys go where the keyboard sends them: the focused control, or the completer's list while it
    // is open.
    QWidget* search = nullptr;
    auto keyTarget = [&search] {
        QWidget* popup = QApplication::activePopupWidget();
        if (popup)
            return popup->focusWidget() ? popup->focusWidget() : popup;
        return search->focusWidget();
    };
    auto typeAndEnter = [&](QWidget* w, const QString& text) {
        search = w;
        auto* combo = w->findChild<QComboBox*>("Topic");
        combo->setFocus();
        combo->lineEdit()->selectAll();
        for (const QChar c : text)
            QTest::keyClick(keyTarget(), c.toLatin1());
        QTest::keyClick(keyTarget(), Qt::Key_Return);
    };
    QStringList titles;
    QString boxAfter;
    bool stillOpen = false, listShown = false;
    ModalDriver driver;
    driver.expect("Search", [&](QWidget* w) { typeAndEnter(w, "teeth"); }); // the whole title, other case
    driver.expect("HelpForm", [&](QWidget* w) {
        titles << read(w).title;
        closeViewer(w);
    });
    driver.expect("Search", [&](QWidget* w) {
        boxAfter = w->findChild<QComboBox*>("Topic")->currentText();
        typeAndEnter(w, "pediatric"); // part of a title
    });
    driver.expect("HelpForm", [&](QWidget* w) {
        titles << read(w).title;
        closeViewer(w);
    });
    driver.expect("Search", [&](QWidget* w) {
        // The arrow key picks the first title in the list of those containing what is typed.
        search = w;
        auto* combo = w->findChild<QComboBox*>("Topic");
        combo->setFocus();
        combo->lineEdit()->selectAll();
        for (const QChar c : QStringLiteral("pediatric"))
            QTest::keyClick(keyTarget(), c.toLatin1());
        listShown = QApplication::activePopupWidget() != nullptr;
        QTest::keyClick(keyTarget(), Qt::Key_Down);
        QTest::keyClick(keyTarget(), Qt::Key_Return);
    });
    driver.expect("HelpForm", [&](QWidget* w) { // once only: the next step waits for Search
        titles << read(w).title;
        closeViewer(w);
    });
    driver.expect("Search", [&](QWidget* w) {
        stillOpen = w->isVisible();
        // With an empty box Enter presses the default button, Close.
        QLineEdit* edit = w->findChild<QComboBox*>("Topic")->lineEdit();
        edit->clear();
        QTest::keyClick(edit, Qt::Key_Return);
    });
    driver.start();
    Search->exec();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(titles, (QStringList{rowTitle(47), rowTitle(13), rowTitle(13)}));
    QVERIFY(listShown);
    QCOMPARE(boxAfter, rowTitle(47));
    QVERIFY(stillOpen);
    QVERIFY(!Form("Search")->isVisible());
}

void HelpTest::eachFeatureIsFoundAndNoMatchSaysSo_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("topic"); // 0: no topic opens
    QTest::newRow("timeline") << "timeline" << 66;
    QTest::newRow("growth chart") << "Growth Chart" << 67;
    QTest::newRow("photos") << "photos" << 68;
    QTest::newRow("export") << "export" << 69;
    QTest::newRow("import") << "Import a Book" << 69;
    QTest::newRow("restore") << "backup" << 70;
    QTest::newRow("no match") << "xyzzy" << 0;
}

// Typing part of a title and Enter opens its topic; a word no title holds opens nothing and says so.
void HelpTest::eachFeatureIsFoundAndNoMatchSaysSo() {
    QFETCH(QString, typed);
    QFETCH(int, topic);
    Shown shown;
    QString said;
    ModalDriver driver;
    driver.expect("Search", [&](QWidget* w) {
        QLineEdit* edit = w->findChild<QComboBox*>("Topic")->lineEdit();
        edit->setFocus();
        edit->setText(typed);
        QTest::keyClick(edit, Qt::Key_Return);
        if (topic == 0) {
            said = w->findChild<QLabel*>("NoMatch")->text();
            ModalDriver::click(w, "BitBtn2");
        }
    });
    if (topic != 0) {
        driver.expect("HelpForm", [&](QWidget* w) {
            shown = read(w);
            closeViewer(w);
        });
        driver.expect("Search", [&](QWidget* w) {
            said = w->findChild<QLabel*>("NoMatch")->text();
            ModalDriver::click(w, "BitBtn2");
        });
    }
    driver.start();
    Search->exec();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    if (topic == 0) {
        QCOMPARE(said, QStringLiteral("No help topic has \"xyzzy\" in its title."));
    } else {
        QCOMPARE(shown.title, rowTitle(topic));
        QVERIFY(!shown.text.isEmpty());
        QVERIFY(said.isEmpty());
    }
}

void HelpTest::equalTitlesOpenTheLargerNumber() {
    Database::exec("INSERT INTO BABYHELP (HelpID, Title, Remarks) VALUES (200, 'Twins', 'Two hundred.')");
    Database::exec(
        "INSERT INTO BABYHELP (HelpID, Title, Remarks) VALUES (150, 'Twins', 'One hundred fifty.')");
    Database::exec("INSERT INTO BABYHELP (HelpID, Title, Remarks) VALUES (250, 'twins', 'Lower case.')");
    Database::exec("INSERT INTO BABYHELP (HelpID, Title, Remarks) VALUES (120, 'aardvark', 'First.')");
    QStringList listed;
    QString text;
    ModalDriver driver;
    driver.expect("Search", [&](QWidget* w) {
        auto* combo = w->findChild<QComboBox*>("Topic");
        for (int i = 0; i < combo->count(); ++i)
            listed << combo->itemText(i);
        pick(w, "Twins");
    });
    driver.expect("HelpForm", [&](QWidget* w) {
        text = read(w).text;
        closeViewer(w);
    });
    driver.expect("Search", [](QWidget* w) { ModalDriver::click(w, "BitBtn2"); });
    driver.start();
    Search->exec();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(text, QStringLiteral("Two hundred."));
    QCOMPARE(listed.first(), QStringLiteral("aardvark")); // sorted without regard to case
    QCOMPARE(listed.count("Twins"), 1);                   // one entry for the two equal titles
    QCOMPARE(listed.count("twins"), 1);
}

void HelpTest::helpMenuReachesTheInformationScreens() {
    auto trigger = [](const char* action) { MainWindow->findChild<QAction*>(action)->trigger(); };
    bool frameless = false, okIsDefault = false, creditsHiddenFirst = false, creditsHiddenAgain = false;
    QString okCaption, credits;
    Shown whatsNew, pictures;
    ModalDriver driver;
    driver.expect("Logo2", [&](QWidget* w) {
        frameless = w->windowFlags().testFlag(Qt::FramelessWindowHint);
        auto* ok = w->findChild<QPushButton*>("OKBtn");
        okCaption = ok->text();
        okIsDefault = ok->isDefault();
        saveShot(w, "about");
        auto* page = w->findChild<QTextBrowser*>("Credits");
        creditsHiddenFirst = !page->isVisible();
        ModalDriver::click(w, "CreditsBtn");
        if (page->isVisible())
            credits = page->toPlainText();
        saveShot(w, "about-credits");
        ok->click();
    });
    driver.start();
    trigger("AboutTinyra1");
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    // The box opens on its picture again.
    ModalDriver again;
    again.expect("Logo2", [&](QWidget* w) {
        creditsHiddenAgain = !w->findChild<QTextBrowser*>("Credits")->isVisible();
        ModalDriver::click(w, "OKBtn");
    });
    again.start();
    trigger("AboutTinyra1");
    QVERIFY2(again.waitFinished(), qPrintable(again.error()));
    QVERIFY(frameless);
    QCOMPARE(okCaption, QStringLiteral("Ok"));
    QVERIFY(okIsDefault);
    QVERIFY(creditsHiddenFirst);
    QVERIFY(creditsHiddenAgain);
    for (const char* credited : {"GPL-3.0-or-later", "Qt 6", "SQLite", "libzip", "Tabler Icons", "flag-icons",
                                 "WHO Child Growth Standards", "CDC Growth Charts",
                                 "@rcpch/digital-growth-charts-react-component-library"})
        QVERIFY2(credits.contains(QLatin1String(credited)), credited);

    // One driver per showing: the same viewer comes up twice in a row.
    for (auto [action, into] : {std::pair<const char*, Shown*>("Whatsnew1", &whatsNew),
                                std::pair<const char*, Shown*>("ImportingpicturesintoTinyra1", &pictures)}) {
        ModalDriver topics;
        topics.expect("HelpForm", [into = into](QWidget* w) {
            *into = read(w);
            closeViewer(w);
        });
        topics.start();
        trigger(action);
        QVERIFY2(topics.waitFinished(), qPrintable(topics.error()));
    }
    QCOMPARE(whatsNew.title, rowTitle(40));
    QCOMPARE(pictures.title, rowTitle(63));
}

void HelpTest::readmeKeepsItsPage() {
    QStringList tabs, headings;
    QStringList memoTexts;
    QString caption;
    ModalDriver driver;
    driver.expect("ReadmeFile", [&](QWidget* w) {
        caption = w->windowTitle();
        auto* notebook = w->findChild<QTabWidget*>("TabbedNotebook1");
        for (int i = 0; i < notebook->count(); ++i)
            tabs << notebook->tabText(i);
        for (int i = 1; i <= 5; ++i) {
            headings << w->findChild<QLabel*>(QString("Heading%1").arg(i))->text();
            memoTexts << w->findChild<QPlainTextEdit*>(QString("Memo%1").arg(i))->toPlainText();
        }
        for (int i = 0; i < notebook->count(); ++i) {
            notebook->setCurrentIndex(i);
            saveShot(w, QString("readme%1").arg(i));
        }
        notebook->setCurrentIndex(3);
        ModalDriver::click(w, "OKBtn");
    });
    driver.start();
    MainWindow->findChild<QAction*>("OnLineReadmeFile1")->trigger();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    int pageAgain = -1;
    ModalDriver again;
    again.expect("ReadmeFile", [&](QWidget* w) {
        pageAgain = w->findChild<QTabWidget*>("TabbedNotebook1")->currentIndex();
        w->close();
    });
    again.start();
    ReadmeFile->exec();
    QVERIFY2(again.waitFinished(), qPrintable(again.error()));

    QCOMPARE(caption, QStringLiteral("Tinyra 3.0 OnLine \"Readme\" File"));
    QCOMPARE(tabs, (QStringList{"i", "1", "2", "3", "4", "5"}));
    QCOMPARE(headings, (QStringList{"DISCLAIMER", "What's New with Tinyra 4", "About Tinyra for Windows 95",
                                    "Menus", "Toolbar"}));
    for (const QString& text : memoTexts)
        QVERIFY(text.size() > 300);
    QVERIFY(memoTexts[0].contains("merchantability"));
    for (const char* menu :
         {"Prenatal", "Child", "Health", "Firsts", "Birthdays", "Holidays", "Special Events", "Reports"})
        QVERIFY2(memoTexts[3].contains(QString(menu) + "\n"), menu);
    for (const char* button : {"Prenatal History", "Baby Names", "Child Information", "Family Information",
                               "At the Doctor", "Health | Growth", "Birthdays", "Holidays", "Daily Journal"})
        QVERIFY2(memoTexts[4].contains(QLatin1String(button)), button);
    QCOMPARE(pageAgain, 3);
}

void HelpTest::firstRunOffersTheReadme() {
    m_app.reset();
    AppFixture app(QString(), false);
    bool readmeShown = false;
    ModalDriver driver;
    driver.expect("BrandNewChild", [](QWidget* d) {
        ModalDriver::type(d, "FirstName", "Bea");
        ModalDriver::click(d, "OKBtn");
    });
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.expect("PlainBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Yes); });
    driver.expect("ReadmeFile", [&](QWidget* w) {
        readmeShown = true;
        ModalDriver::click(w, "OKBtn");
    });
    driver.start();
    app.start(false);
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY(readmeShown);
    QCOMPARE(ActiveChildName(), QStringLiteral("Bea"));
}

QTEST_MAIN(HelpTest)
#include "tst_help.moc"
