// The baby names browser on a real store: lists, encyclopedia navigators, country buttons, the
// delivered name lists, and long tables shown whole.
#include "core/names/NameLists.h"
#include "core/store/Database.h"
#include "core/store/DeliveredData.h"
#include "core/store/Table.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "ui/names/TBabyNames.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {
QJsonArray deliveredRows(const QString& file) {
    QFile f(QStringLiteral(":/data/") + file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object().value(QStringLiteral("rows")).toArray();
}

// Replaces a name table's rows; a high version keeps the delivered rows from coming back.
void loadRows(const QString& table, const QList<QStringList>& rows) {
    QJsonArray array;
    for (const QStringList& r : rows)
        array.append(QJsonArray::fromStringList(r));
    QJsonObject root{{QStringLiteral("version"), 1000}, {QStringLiteral("rows"), array}};
    DeliveredData::load(table, QJsonDocument(root).toJson(QJsonDocument::Compact));
}

QStringList tableColumn(const QString& table, const QString& field) {
    Table t(table);
    t.open();
    QStringList values;
    for (t.first(); !t.eof(); t.next())
        values << t.fieldText(field);
    return values;
}

QStringList comboItems(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}
} // namespace

class NamesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menuAndToolButtonOpenTheForm();
    void deliveredListsAreSound();
    void listsFollowTableOrder();
    void reopeningShowsTheFirstNamesAgain();
    void steppingPastTheLastGirlNameKeepsTheList();
    void emptyTableLeavesOnlyItsSideEmpty();
    void countryButtonsShowOnlyTheirNames();
    void originsMatchExactly();
    void unusualNamesAreReadWhole();
    void typingCompletesAndChangesNothingElse();
    void controlsAreNamedAndReachable();
    void longTablesShowEveryName();

private:
    TBabyNames* open();
    void close();
    QToolButton* navButton(const char* navigator, const char* button);
    template <typename T> T* control(const char* name) {
        T* w = BabyNames->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    std::unique_ptr<AppFixture> m_app;
};

void NamesTest::init() {
    m_app = std::make_unique<AppFixture>();
}

void NamesTest::cleanup() {
    ModalDriver::closeAllModals();
    m_app.reset();
}

TBabyNames* NamesTest::open() {
    BabyNames->show();
    QCoreApplication::processEvents();
    return BabyNames;
}

void NamesTest::close() {
    BabyNames->reject();
    QCoreApplication::processEvents();
}

QToolButton* NamesTest::navButton(const char* navigator, const char* button) {
    auto* nav = BabyNames->findChild<TNameNavigator*>(QString::fromLatin1(navigator));
    return nav ? nav->findChild<QToolButton*>(QString::fromLatin1(button)) : nullptr;
}

void NamesTest::menuAndToolButtonOpenTheForm() {
    for (const char* name : {"BabyNames1", "SpeedButton2"}) {
        QStringList seen;
        ModalDriver driver;
        driver.expect("BabyNames", [&](QWidget* d) {
            seen << d->findChild<QLineEdit*>("BoyName")->text();
            ModalDriver::click(d, "OKBtn");
        });
        driver.start();
        if (auto* action = MainWindow->findChild<QAction*>(name))
            action->trigger();
        else
            MainWindow->findChild<QToolButton*>(name)->click();
        QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
        QCOMPARE(seen, QStringList{tableColumn("BOYA", "Name").first()});
    }
}

void NamesTest::deliveredListsAreSound() {
    const QStringList countries = NameLists::countries();
    QCOMPARE(countries.size(), 20);
    for (const char* file : {"boya.json", "girla.json"}) {
        const QString table = QString::fromLatin1(file).section('.', 0, 0).toUpper();
        const QJsonArray rows = deliveredRows(QString::fromLatin1(file));
        QVERIFY2(rows.size() >= 600, file);
        QSet<QString> seen;
        QHash<QString, int> perOrigin;
        for (const QJsonValue& v : rows) {
            const QJsonArray r = v.toArray();
            QCOMPARE(r.size(), 3);
            const QString name = r[0].toString(), origin = r[1].toString(), meaning = r[2].toString();
            QVERIFY2(!name.trimmed().isEmpty(), file);
            QCOMPARE(name, name.trimmed());
            QVERIFY2(!seen.contains(name), qPrintable(QString::fromLatin1(file) + ": twice " + name));
            seen.insert(name);
            QVERIFY2(!origin.isEmpty(), qPrintable(name));
            QVERIFY2(name.size() <= 50 && origin.size() <= 50, qPrintable(name));
            if (table == QLatin1String("BOYA"))
                QVERIFY2(meaning.size() <= 50, qPrintable(name)); // a fixed field of 50
            QVERIFY2(!meaning.trimmed().isEmpty(),
                     qPrintable(QString::fromLatin1(file) + ": no meaning for " + name));
            ++perOrigin[origin];
        }
        for (const QString& c : countries)
            QVERIFY2(perOrigin.value(c) >= 15, qPrintable(QString::fromLatin1(file) + ": few from " + c));
        // A new store holds exactly the delivered rows, in their order.
        const QStringList stored = tableColumn(table, QStringLiteral("Name"));
        QCOMPARE(stored.size(), rows.size());
        QCOMPARE(stored.first(), rows.first().toArray()[0].toString());
        QCOMPARE(stored.last(), rows.last().toArray()[0].toString());
    }
}

void NamesTest::listsFollowTableOrder() {
    loadRows("BOYA", {{"Zed", "England", "Zed's meaning"},
                      {"Amos", "Israel", "Carried"},
                      {"Milo", "Germany", ""},
                      {"Bo", "China", "Waves"}});
    open();
    auto* boys = control<QComboBox>("BoyNames");
    QCOMPARE(comboItems(boys), (QStringList{"Zed", "Amos", "Milo", "Bo"}));
    QCOMPARE(boys->currentText(), QString());
    QCOMPARE(comboItems(control<QComboBox>("GirlNames")), tableColumn("GIRLA", "Name"));
    QCOMPARE(control<QLineEdit>("BoyName")->text(), QStringLiteral("Zed"));
    QCOMPARE(control<QLineEdit>("BoyOrigin")->text(), QStringLiteral("England"));
    QCOMPARE(control<QPlainTextEdit>("BoyMeaning")->toPlainText(), QStringLiteral("Zed's meaning"));
    QCOMPARE(control<QLineEdit>("GirlName")->text(), tableColumn("GIRLA", "Name").first());
    QCOMPARE(control<QPlainTextEdit>("GirlMeaning")->toPlainText(), tableColumn("GIRLA", "Meaning").first());

    // A changed table is read again at the next showing, not appended to the old list.
    close();
    loadRows("BOYA", {{"Yuri", "Russia", "Farmer"}});
    open();
    QCOMPARE(comboItems(boys), QStringList{"Yuri"});
    QCOMPARE(control<QLineEdit>("BoyName")->text(), QStringLiteral("Yuri"));
}

void NamesTest::reopeningShowsTheFirstNamesAgain() {
    const QStringList boyNames = tableColumn("BOYA", "Name");
    const QStringList girlNames = tableColumn("GIRLA", "Name");
    open();
    control<QTabWidget>("Tabs")->setCurrentIndex(2);
    for (int i = 0; i < 4; ++i)
        navButton("DBNavigator1", "Next")->click();
    QCOMPARE(control<QLineEdit>("BoyName")->text(), boyNames[4]);
    QCOMPARE(control<QLineEdit>("BoyOrigin")->text(), tableColumn("BOYA", "Origin")[4]);
    QCOMPARE(control<QLineEdit>("GirlName")->text(), girlNames[0]); // the sides move independently
    navButton("DBNavigator1", "Prior")->click();
    QCOMPARE(control<QLineEdit>("BoyName")->text(), boyNames[3]);
    navButton("DBNavigator1", "Next")->click();

    // Help opened from the page and closed again does not refill the form.
    ModalDriver help;
    help.expect("HelpForm", [](QWidget* w) { qobject_cast<QDialog*>(w)->accept(); });
    help.start();
    control<QPushButton>("BitBtn2")->click();
    QVERIFY2(help.waitFinished(), qPrintable(help.error()));
    QCOMPARE(control<QLineEdit>("BoyName")->text(), boyNames[4]);

    close();
    open();
    QCOMPARE(control<QLineEdit>("BoyName")->text(), boyNames[0]);
    QCOMPARE(comboItems(control<QComboBox>("BoyNames")), boyNames);
    QVERIFY(!navButton("DBNavigator1", "First")->isEnabled());
    QVERIFY(!navButton("DBNavigator1", "Prior")->isEnabled());
    QVERIFY(navButton("DBNavigator1", "Next")->isEnabled());
}

void NamesTest::steppingPastTheLastGirlNameKeepsTheList() {
    const QStringList girlNames = tableColumn("GIRLA", "Name");
    const QStringList girlMeanings = tableColumn("GIRLA", "Meaning");
    open();
    navButton("DBNavigator2", "Last")->click();
    QCOMPARE(control<QLineEdit>("GirlName")->text(), girlNames.last());
    QCOMPARE(control<QPlainTextEdit>("GirlMeaning")->toPlainText(), girlMeanings.last());
    QVERIFY(!navButton("DBNavigator2", "Next")->isEnabled());
    // Even a "Next Name" that gets through (a keyboard repeat) leaves the last name shown.
    emit BabyNames->findChild<TNameNavigator*>("DBNavigator2")->nextClicked();
    QCOMPARE(control<QLineEdit>("GirlName")->text(), girlNames.last());
    navButton("DBNavigator2", "Prior")->click();
    QCOMPARE(control<QLineEdit>("GirlName")->text(), girlNames[girlNames.size() - 2]);
    navButton("DBNavigator2", "First")->click();
    QCOMPARE(control<QLineEdit>("GirlName")->text(), girlNames.first());
    navButton("DBNavigator2", "Last")->click();
    close();
    open();
    QCOMPARE(comboItems(control<QComboBox>("GirlNames")), girlNames);
    QCOMPARE(control<QLineEdit>("GirlName")->text(), girlNames.first());
}

void NamesTest::emptyTableLeavesOnlyItsSideEmpty() {
    loadRows("GIRLA", {});
    open();
    QCOMPARE(control<QComboBox>("GirlNames")->count(), 0);
    QCOMPARE(control<QLineEdit>("GirlName")->text(), QString());
    QCOMPARE(control<QLineEdit>("GirlOrigin")->text(), QString());
    QCOMPARE(control<QPlainTextEdit>("GirlMeaning")->toPlainText(), QString());
    for (const char* b : {"First", "Prior", "Next", "Last"})
        QVERIFY2(!navButton("DBNavigator2", b)->isEnabled(), b);
    emit BabyNames->findChild<TNameNavigator*>("DBNavigator2")->lastClicked(); // no error, nothing shown
    QCOMPARE(control<QLineEdit>("GirlName")->text(), QString());

    const QStringList boyNames = tableColumn("BOYA", "Name");
    QCOMPARE(comboItems(control<QComboBox>("BoyNames")), boyNames);
    navButton("DBNavigator1", "Last")->click();
    QCOMPARE(control<QLineEdit>("BoyName")->text(), boyNames.last());

    // And the other way round.
    close();
    loadRows("GIRLA", {{"Ava", "Latin", "Bird"}});
    loadRows("BOYA", {});
    open();
    QCOMPARE(control<QComboBox>("BoyNames")->count(), 0);
    QCOMPARE(control<QLineEdit>("BoyName")->text(), QString());
    QCOMPARE(control<QLineEdit>("GirlName")->text(), QStringLiteral("Ava"));
    QVERIFY(!navButton("DBNavigator2", "Next")->isEnabled());
}

void NamesTest::countryButtonsShowOnlyTheirNames() {
    const QStringList countries = NameLists::countries();
    const QStringList boyNames = tableColumn("BOYA", "Name"), boyOrigins = tableColumn("BOYA", "Origin"),
                      boyMeanings = tableColumn("BOYA", "Meaning");
    const QStringList girlNames = tableColumn("GIRLA", "Name"), girlOrigins = tableColumn("GIRLA", "Origin"),
                      girlMeanings = tableColumn("GIRLA", "Meaning");
    open();
    control<QTabWidget>("Tabs")->setCurrentIndex(1);
    for (int i = 0; i < countries.size(); ++i) {
        const QString country = countries[i];
        QStringList shownBoys, shownGirls, shownBoyMeanings, shownGirlMeanings, titles;
        ModalDriver driver;
        driver.expect("CountryNames", [&](QWidget* d) {
            titles << d->windowTitle();
            for (auto [list, names, meanings] :
                 {std::tuple{d->findChild<QTreeWidget*>("BoyList"), &shownBoys, &shownBoyMeanings},
                  std::tuple{d->findChild<QTreeWidget*>("GirlList"), &shownGirls, &shownGirlMeanings}}) {
                for (int r = 0; list && r < list->topLevelItemCount(); ++r) {
                    *names << list->topLevelItem(r)->text(0);
                    *meanings << list->topLevelItem(r)->text(1);
                }
            }
            ModalDriver::click(d, "OKBtn");
        });
        driver.start();
        control<QToolButton>(qPrintable("SpeedButton" + QString::number(i + 1)))->click();
        QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
        QCOMPARE(titles, QStringList{"Names from " + country});

        QStringList expectBoys, expectBoyMeanings, expectGirls, expectGirlMeanings;
        for (int r = 0; r < boyNames.size(); ++r)
            if (boyOrigins[r] == country) {
                expectBoys << boyNames[r];
                expectBoyMeanings << boyMeanings[r];
            }
        for (int r = 0; r < girlNames.size(); ++r)
            if (girlOrigins[r] == country) {
                expectGirls << girlNames[r];
                expectGirlMeanings << girlMeanings[r];
            }
        QCOMPARE(shownBoys, expectBoys);
        QCOMPARE(shownBoyMeanings, expectBoyMeanings);
        QCOMPARE(shownGirls, expectGirls);
        QCOMPARE(shownGirlMeanings, expectGirlMeanings);
        QVERIFY2(shownBoys.size() >= 15 && shownGirls.size() >= 15, qPrintable(country));
    }
}

void NamesTest::originsMatchExactly() {
    loadRows("BOYA", {{"Jean", "France", "God is gracious"},
                      {"Jan", "france", ""},
                      {"Hans", "France ", ""},
                      {"Franz", "Germany", "Frenchman"},
                      {"Luc", "France", ""}});
    loadRows("GIRLA", {{"Anne", "England", ""}});
    const auto boys = NameLists::namesOfOrigin("BOYA", "France");
    QCOMPARE(boys.size(), 2);
    QCOMPARE(boys[0].name, QStringLiteral("Jean"));
    QCOMPARE(boys[0].meaning, QStringLiteral("God is gracious"));
    QCOMPARE(boys[1].name, QStringLiteral("Luc"));

    // A country without names of its own shows empty lists, not someone else's.
    open();
    QStringList girlCounts;
    ModalDriver driver;
    driver.expect("CountryNames", [&](QWidget* d) {
        girlCounts << QString::number(d->findChild<QTreeWidget*>("GirlList")->topLevelItemCount())
                   << QString::number(d->findChild<QTreeWidget*>("BoyList")->topLevelItemCount());
        ModalDriver::click(d, "OKBtn");
    });
    driver.start();
    control<QToolButton>("SpeedButton6")->click(); // France
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(girlCounts, (QStringList{"0", "2"}));
}

void NamesTest::unusualNamesAreReadWhole() {
    // Names holding the list separator, commas, accents or nothing but spaces come back as stored.
    const QString odd = QStringLiteral("Odd") + QChar(0x1f) + QStringLiteral("Name");
    const QList<QStringList> rows{{"Zoë", "Greece", "Life"},
                                  {odd, "Latin", ""},
                                  {"Ann, Marie", "France", ""},
                                  {"  ", "Latin", "Blank"},
                                  {"Åsa", "Sweden", "Line one\nline two"}};
    loadRows("GIRLA", rows);
    NameLists::NameCursor cursor("GIRLA");
    cursor.open();
    QCOMPARE(cursor.names(), (QStringList{"Zoë", odd, "Ann, Marie", "  ", "Åsa"}));
    QCOMPARE(cursor.origin(), QStringLiteral("Greece"));
    cursor.last();
    QCOMPARE(cursor.name(), QStringLiteral("Åsa"));
    QCOMPARE(cursor.meaning(), QStringLiteral("Line one\nline two"));
    cursor.next();
    QCOMPARE(cursor.position(), 4);
    cursor.moveTo(-3);
    QCOMPARE(cursor.name(), QStringLiteral("Zoë"));
    // Rows stay in the order they were stored, even after some are removed.
    Database::exec("DELETE FROM GIRLA WHERE Name = 'Ann, Marie'");
    cursor.open();
    QCOMPARE(cursor.names(), (QStringList{"Zoë", odd, "  ", "Åsa"}));
    cursor.close();
    QCOMPARE(cursor.name(), QString());
    QCOMPARE(cursor.recordCount(), 0);
}

void NamesTest::typingCompletesAndChangesNothingElse() {
    open();
    auto* boys = control<QComboBox>("BoyNames");
    const int count = boys->count();
    const QString shownBoy = control<QLineEdit>("BoyName")->text();
    const QString shownGirl = control<QLineEdit>("GirlName")->text();
    boys->setFocus();
    QTest::keyClicks(boys->lineEdit(), "ale");
    QCompleter* completer = boys->completer();
    QVERIFY(completer);
    QStringList completions;
    for (int i = 0; i < completer->completionCount(); ++i) {
        completer->setCurrentRow(i);
        completions << completer->currentCompletion();
    }
    QVERIFY(completions.contains(QStringLiteral("Alejandro")));
    QVERIFY(completions.contains(QStringLiteral("Alessandro")));
    for (const QString& c : completions)
        QVERIFY2(c.startsWith(QStringLiteral("Ale"), Qt::CaseInsensitive), qPrintable(c));
    completer->popup()->hide();
    QTest::keyClicks(boys->lineEdit(), "x");
    QTest::keyClick(boys, Qt::Key_Return);
    QCOMPARE(boys->count(), count);  // typing never adds to the list
    QVERIFY(BabyNames->isVisible()); // and Enter there does not close the form
    boys->lineEdit()->selectAll();
    QTest::keyClicks(boys->lineEdit(), "Zion");
    QTest::keyClick(boys, Qt::Key_Return);
    QCOMPARE(boys->currentIndex(), boys->findText("Zion"));
    boys->setCurrentIndex(5);
    QCOMPARE(control<QLineEdit>("BoyName")->text(), shownBoy);
    QCOMPARE(control<QLineEdit>("GirlName")->text(), shownGirl);
    QVERIFY(BabyNames->isVisible());

    // The name being typed is found at once, with its origin and meaning read as they are shown.
    auto* girls = control<QComboBox>("GirlNames");
    auto* found = control<QLabel>("GirlFound");
    girls->setFocus();
    QTest::keyClicks(girls->lineEdit(), "isl");
    if (girls->completer()->popup())
        girls->completer()->popup()->hide();
    QCOMPARE(found->text(), QStringLiteral("Isla\nOrigin: Scotland\nMeaning: Island"));
    QCOMPARE(found->accessibleName(), found->text());
    girls->lineEdit()->selectAll();
    QTest::keyClicks(girls->lineEdit(), "RUTH");
    QVERIFY2(found->text().startsWith(QStringLiteral("Ruth\n")), qPrintable(found->text()));
    girls->lineEdit()->selectAll();
    QTest::keyClicks(girls->lineEdit(), "Qqq");
    QCOMPARE(found->text(), QStringLiteral("No name begins with \"Qqq\"."));
    QCOMPARE(control<QLineEdit>("GirlName")->text(), shownGirl); // the encyclopedia stays where it was
}

void NamesTest::controlsAreNamedAndReachable() {
    open();
    QCOMPARE(BabyNames->objectName(), QStringLiteral("BabyNames"));
    QCOMPARE(BabyNames->windowTitle(), QStringLiteral("Baby Names"));
    auto* tabs = control<QTabWidget>("Tabs");
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Names"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Around the World"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("Name Encyclopedia"));
    QCOMPARE(control<QPushButton>("OKBtn")->text(), QStringLiteral("Ok"));
    QVERIFY(control<QPushButton>("OKBtn")->isDefault());
    QCOMPARE(control<QPushButton>("CancelBtn")->text(), QStringLiteral("Cancel"));
    for (const char* nav : {"DBNavigator1", "DBNavigator2"}) {
        const QStringList hints{"First Name", "Previous Name", "Next Name", "Last Name"};
        const char* buttons[] = {"First", "Prior", "Next", "Last"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(navButton(nav, buttons[i])->toolTip(), hints[i]);
            QCOMPARE(navButton(nav, buttons[i])->accessibleName(), hints[i]);
        }
    }
    const QStringList countries = NameLists::countries();
    for (int i = 0; i < 20; ++i) {
        auto* b = control<QToolButton>(qPrintable("SpeedButton" + QString::number(i + 1)));
        QCOMPARE(b->accessibleName(), countries[i]);
        QVERIFY2(!b->icon().pixmap(32, 20).toImage().isNull(), qPrintable(countries[i]));
        QVERIFY(b->focusPolicy() & Qt::TabFocus);
    }
    for (QAbstractButton* b : BabyNames->findChildren<QAbstractButton*>())
        QVERIFY2(!b->accessibleName().isEmpty() || !b->text().trimmed().isEmpty(),
                 qPrintable(b->objectName()));
    for (const char* help : {"HelpBtn", "BitBtn1", "BitBtn2"})
        QCOMPARE(control<QPushButton>(help)->accessibleName(), QStringLiteral("Help"));
    QCOMPARE(control<QComboBox>("BoyNames")->accessibleName(), QStringLiteral("Boy Names"));
    QCOMPARE(control<QComboBox>("GirlNames")->accessibleName(), QStringLiteral("Girl Names"));

    // Screenshots for a look at the pages, when asked for.
    const QString shots = qEnvironmentVariable("TINYRA_NAMES_SHOTS");
    if (!shots.isEmpty()) {
        for (int i = 0; i < 3; ++i) {
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            BabyNames->grab().save(shots + "/names_page" + QString::number(i + 1) + ".png");
        }
        ModalDriver driver;
        driver.expect("CountryNames", [&](QWidget* d) {
            d->grab().save(shots + "/names_country.png");
            ModalDriver::click(d, "OKBtn");
        });
        driver.start();
        control<QToolButton>("SpeedButton14")->click();
        QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    }
}

void NamesTest::longTablesShowEveryName() {
    QList<QStringList> boys, girls;
    for (int i = 0; i < 20000; ++i) {
        boys << QStringList{"Boy" + QString::number(i), "England",
                            "A meaning of fifty characters at the most"};
        girls << QStringList{"Girl" + QString::number(i), "France", "A longer meaning kept in a memo field"};
    }
    loadRows("BOYA", boys);
    loadRows("GIRLA", girls);
    for (int round = 0; round < 2; ++round) { // the first showing and a later one
        open();
        QCOMPARE(control<QComboBox>("BoyNames")->count(), 20000);
        QCOMPARE(control<QComboBox>("GirlNames")->count(), 20000);
        QCOMPARE(control<QLineEdit>("BoyName")->text(), QStringLiteral("Boy0"));
        QCOMPARE(control<QLineEdit>("GirlName")->text(), QStringLiteral("Girl0"));
        navButton("DBNavigator2", "Last")->click();
        QCOMPARE(control<QLineEdit>("GirlName")->text(), QStringLiteral("Girl19999"));
        close();
    }
}

QTEST_MAIN(NamesTest)
#include "tst_names.moc"
