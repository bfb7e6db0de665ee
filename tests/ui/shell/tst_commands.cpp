// Every menu item and tool button of the main window reaches its form, prepared as the command says.
// The real forms are shown; a recorder notes each one with what it was given, and closes it.
#include "core/store/Database.h"
#include "support/AppFixture.h"
#include "ui/diaries/TDoctor.h"
#include "ui/help/THelpForm.h"
#include "ui/milestones/TBirthdays.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// Watches for the form a command shows: records its name and what the command prepared on it (the
// caption of a form that several commands show), and closes it again.
class FormRecorder : public QObject {
public:
    explicit FormRecorder(QStringList* log) : m_log(log) {
        connect(&m_timer, &QTimer::timeout, this, &FormRecorder::poll);
        m_timer.start(5);
    }

private:
    void poll() {
        auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!form || !form->isVisible())
            return;
        QString entry = form->objectName();
        const QString prepared = preparedOn(form);
        if (!prepared.isEmpty())
            entry += " " + prepared;
        m_log->append(entry);
        form->reject();
    }
    static QString preparedOn(QDialog* form) {
        auto text = [form](const char* name) {
            auto* label = form->findChild<QLabel*>(name);
            auto* button = form->findChild<QAbstractButton*>(name);
            return label ? label->text() : button ? button->text() : QStringLiteral("<no %1>").arg(name);
        };
        const QString name = form->objectName();
        if (name == "Birthdays")
            return "titles=" + text("Title1");
        // One form serves several commands, each giving it its own caption.
        if (name == "Holiday")
            return "[" + form->windowTitle() + "] title=" + text("Title");
        if (name == "PickEvent")
            return "[" + form->windowTitle() + "] addnew=" + text("AddNew");
        if (name == "PrintReports")
            return "category=" + text("Title");
        if (auto* help = qobject_cast<THelpForm*>(form))
            return QStringLiteral("topic=%1").arg(help->TopicNumber);
        return QString();
    }

    QStringList* m_log;
    QTimer m_timer;
};

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menuItemsReachTheirForms_data();
    void menuItemsReachTheirForms();
    void toolButtonsReachTheirForms_data();
    void toolButtonsReachTheirForms();
    void holidayTitlesFollowTheActiveChild();
    void everyMenuItemIsCaptionedAndReachable();
    void missingFormsMakeCommandsDoNothing();

private:
    QString trigger(const QString& actionName);
    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<FormRecorder> m_recorder;
    QStringList m_log;
};

void CommandsTest::init() {
    m_app = std::make_unique<AppFixture>(QStringLiteral("Ann"));
    m_log.clear();
    m_recorder = std::make_unique<FormRecorder>(&m_log);
}

void CommandsTest::cleanup() {
    m_recorder.reset();
    m_app.reset();
}

QString CommandsTest::trigger(const QString& actionName) {
    auto* action = MainWindow->findChild<QAction*>(actionName);
    if (!action)
        return "no action " + actionName;
    m_log.clear();
    action->trigger();
    return m_log.join(" | ");
}

void CommandsTest::menuItemsReachTheirForms_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("expected");
    QTest::newRow("prenatal") << "PrenatalHistory1"
                              << "Prenatal";
    QTest::newRow("names") << "BabyNames1"
                           << "BabyNames";
    QTest::newRow("pick") << "PickChild1"
                          << "PickChild";
    QTest::newRow("info") << "ChildInformation1"
                          << "ChildInfo";
    QTest::newRow("family") << "Family1"
                            << "Family";
    QTest::newRow("doctor") << "AttheDoctors1"
                            << "Doctor";
    QTest::newRow("growth") << "Growth1"
                            << "Growth";
    QTest::newRow("teeth") << "Teeth1"
                           << "Teeth";
    QTest::newRow("skills") << "Skills1"
                            << "Skills";
    QTest::newRow("words") << "Words1"
                           << "Words";
    QTest::newRow("birth") << "Birth1"
                           << "Birthdays titles=Birth Birthday";
    QTest::newRow("1st") << "N1st1"
                         << "Birthdays titles=1st Birthday";
    QTest::newRow("2nd") << "N2nd1"
                         << "Birthdays titles=2nd Birthday";
    QTest::newRow("3rd") << "N3rd1"
                         << "Birthdays titles=3rd Birthday";
    QTest::newRow("5th") << "N5th1"
                         << "Birthdays titles=5th Birthday";
    QTest::newRow("11th") << "N11th1"
                          << "Birthdays titles=11th Birthday";
    QTest::newRow("16th") << "N16th1"
                          << "Birthdays titles=16th Birthday";
    QTest::newRow("easter") << "Easter1"
                            << "Holiday [Holidays] title=First Easter - Ann";
    QTest::newRow("july") << "FourthofJuly1"
                          << "Holiday [Holidays] title=First 4th of July - Ann";
    QTest::newRow("halloween") << "Halloween1"
                               << "Holiday [Holidays] title=First Halloween - Ann";
    QTest::newRow("thanks") << "Thanksgiving1"
                            << "Holiday [Holidays] title=First Thanksgiving - Ann";
    QTest::newRow("christmas") << "Christmas1"
                               << "Holiday [Holidays] title=First Christmas - Ann";
    QTest::newRow("other") << "OtherHolidays1"
                           << "PickHoliday";
    QTest::newRow("christening") << "Christening1"
                                 << "Holiday [Christening] title=Christening";
    QTest::newRow("outings") << "Outings1"
                             << "PickEvent [Pick Outing] addnew=Add New Outing";
    QTest::newRow("visitors") << "Visitors1"
                              << "PickEvent [Pick Visitor] addnew=Add New Visitor";
    QTest::newRow("journal") << "Journal1"
                             << "Journal";
    QTest::newRow("r-prenatal") << "Prenatal2"
                                << "PrintReports category=Prenatal Reports";
    QTest::newRow("r-child") << "Child2"
                             << "PrintReports category=Child Reports";
    QTest::newRow("r-health") << "Health1"
                              << "PrintReports category=Health Reports";
    QTest::newRow("r-firsts") << "Firsts2"
                              << "PrintReports category=Firsts Reports";
    QTest::newRow("r-birthdays") << "Holidays2"
                                 << "PrintReports category=Birthday Reports";
    QTest::newRow("r-holidays") << "Holidays3"
                                << "PrintReports category=Holiday Reports";
    QTest::newRow("r-special") << "SpecialEvents2"
                               << "PrintReports category=Special Reports";
    QTest::newRow("r-journal") << "Journal2"
                               << "PrintReports category=Journal Report";
    QTest::newRow("about") << "AboutTinyra1"
                           << "Logo2";
    QTest::newRow("readme") << "OnLineReadmeFile1"
                            << "ReadmeFile";
    QTest::newRow("whatsnew") << "Whatsnew1"
                              << "HelpForm topic=40";
    QTest::newRow("pictures") << "ImportingpicturesintoTinyra1"
                              << "HelpForm topic=63";
    QTest::newRow("search") << "Search1"
                            << "Search";
}

void CommandsTest::menuItemsReachTheirForms() {
    QFETCH(QString, action);
    QFETCH(QString, expected);
    QCOMPARE(trigger(action), expected);
}

void CommandsTest::toolButtonsReachTheirForms_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1") << "SpeedButton1"
                       << "Prenatal";
    QTest::newRow("2") << "SpeedButton2"
                       << "BabyNames";
    QTest::newRow("3") << "SpeedButton3"
                       << "ChildInfo";
    QTest::newRow("5") << "SpeedButton5"
                       << "Family";
    QTest::newRow("4") << "SpeedButton4"
                       << "Doctor";
    QTest::newRow("12") << "SpeedButton12"
                        << "Growth";
    QTest::newRow("6") << "SpeedButton6"
                       << "PickBday";
    QTest::newRow("9") << "SpeedButton9"
                       << "PickHoliday";
    QTest::newRow("10") << "SpeedButton10"
                        << "Journal";
    QTest::newRow("11") << "SpeedButton11"
                        << "Search";
}

void CommandsTest::toolButtonsReachTheirForms() {
    QFETCH(QString, button);
    QFETCH(QString, expected);
    auto* b = MainWindow->findChild<QToolButton*>(button);
    QVERIFY(b);
    // A picture-only button is named by its hint, for the mouse and for a screen reader alike.
    QVERIFY(!b->toolTip().isEmpty());
    QCOMPARE(b->accessibleName(), b->toolTip());
    m_log.clear();
    QTest::mouseClick(b, Qt::LeftButton);
    QTRY_COMPARE(m_log.join(" | "), expected);
}

void CommandsTest::holidayTitlesFollowTheActiveChild() {
    QCOMPARE(trigger("Easter1"), QStringLiteral("Holiday [Holidays] title=First Easter - Ann"));
    Database::exec("INSERT INTO CHILD (FirstName) VALUES ('Ben')");
    MainWindow->makeChildActive("Ben");
    QCOMPARE(MainWindow->windowTitle(), QStringLiteral("Tinyra 4.2 - Ben"));
    QCOMPARE(trigger("Easter1"), QStringLiteral("Holiday [Holidays] title=First Easter - Ben"));
}

void CommandsTest::everyMenuItemIsCaptionedAndReachable() {
    QStringList menus;
    for (QAction* a : MainWindow->menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, (QStringList{"&Prenatal", "&Child", "&Health", "&Firsts", "&Birthdays", "&Holidays",
                                 "&Special Events", "&Reports", "&Help"}));
    auto items = [](const char* menu) {
        QStringList texts;
        for (QAction* a : MainWindow->findChild<QMenu*>(menu)->actions())
            texts << a->text();
        return texts;
    };
    QCOMPARE(items("Help1"), (QStringList{"&About Tinyra", "&OnLine \"Readme\" File", "&What's new",
                                          "&Importing pictures into Tinyra", "&Search"}));
    QCOMPARE(items("Reports1"), (QStringList{"&Prenatal", "&Child", "&Health", "&Firsts", "&Birthdays",
                                             "H&olidays", "&Special Events", "&Journal"}));
    QCOMPARE(items("Birthdays1").size(), 17);
    QCOMPARE(items("Birthdays1").first(), QStringLiteral("Birth"));
    QCOMPARE(items("Birthdays1").last(), QStringLiteral("16th"));
    for (QAction* a : MainWindow->findChildren<QAction*>())
        QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->text()));
}

void CommandsTest::missingFormsMakeCommandsDoNothing() {
    // A form that does not exist (before start-up or after shutdown) opens nothing and fails nothing.
    TDoctor* doctor = Doctor;
    TBirthdays* birthdays = Birthdays;
    THelpForm* help = HelpForm;
    Doctor = nullptr;
    Birthdays = nullptr;
    HelpForm = nullptr;
    const QString shown = trigger("AttheDoctors1") + trigger("N4th1") + trigger("Whatsnew1");
    Doctor = doctor;
    Birthdays = birthdays;
    HelpForm = help;
    QCOMPARE(shown, QString());
    QCOMPARE(trigger("AttheDoctors1"), QStringLiteral("Doctor"));
}

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
