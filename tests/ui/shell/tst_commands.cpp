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

// Watches for the form a command shows: records its name, its caption and what the command prepared
// on it, and closes it again.
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
        QString entry = form->objectName() + " [" + form->windowTitle() + "]";
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
        if (name == "Holiday")
            return "title=" + text("Title");
        if (name == "PickEvent")
            return "addnew=" + text("AddNew");
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
    const QString title = "Tinyra 4.2 - Ann";
    QTest::newRow("prenatal") << "PrenatalHistory1"
                              << "Prenatal [Prenatal History]";
    QTest::newRow("names") << "BabyNames1"
                           << "BabyNames [Baby Names]";
    QTest::newRow("pick") << "PickChild1"
                          << "PickChild [Pick Child]";
    QTest::newRow("info") << "ChildInformation1"
                          << "ChildInfo [Child Information]";
    QTest::newRow("family") << "Family1"
                            << "Family [Family Information]";
    QTest::newRow("doctor") << "AttheDoctors1"
                            << "Doctor [At the Doctor]";
    QTest::newRow("growth") << "Growth1"
                            << "Growth [Growth Information]";
    QTest::newRow("teeth") << "Teeth1"
                           << "Teeth [Teeth]";
    QTest::newRow("skills") << "Skills1"
                            << "Skills [Skills]";
    QTest::newRow("words") << "Words1"
                           << "Words [Words]";
    QTest::newRow("birth") << "Birth1"
                           << "Birthdays [Birthdays] titles=Birth Birthday";
    QTest::newRow("1st") << "N1st1"
                         << "Birthdays [Birthdays] titles=1st Birthday";
    QTest::newRow("2nd") << "N2nd1"
                         << "Birthdays [Birthdays] titles=2nd Birthday";
    QTest::newRow("3rd") << "N3rd1"
                         << "Birthdays [Birthdays] titles=3rd Birthday";
    QTest::newRow("5th") << "N5th1"
                         << "Birthdays [Birthdays] titles=5th Birthday";
    QTest::newRow("11th") << "N11th1"
                          << "Birthdays [Birthdays] titles=11th Birthday";
    QTest::newRow("16th") << "N16th1"
                          << "Birthdays [Birthdays] titles=16th Birthday";
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
                           << "PickHoliday [Pick Holiday]";
    QTest::newRow("christening") << "Christening1"
                                 << "Holiday [Christening] title=Christening";
    QTest::newRow("outings") << "Outings1"
                             << "PickEvent [Pick Outing] addnew=Add New Outing";
    QTest::newRow("visitors") << "Visitors1"
                              << "PickEvent [Pick Visitor] addnew=Add New Visitor";
    QTest::newRow("journal") << "Journal1"
                             << "Journal [Daily Journal]";
    QTest::newRow("r-prenatal") << "Prenatal2"
                                << "PrintReports [Reports] category=Prenatal Reports";
    QTest::newRow("r-child") << "Child2"
                             << "PrintReports [Reports] category=Child Reports";
    QTest::newRow("r-health") << "Health1"
                              << "PrintReports [Reports] category=Health Reports";
    QTest::newRow("r-firsts") << "Firsts2"
                              << "PrintReports [Reports] category=Firsts Reports";
    QTest::newRow("r-birthdays") << "Holidays2"
                                 << "PrintReports [Reports] category=Birthday Reports";
    QTest::newRow("r-holidays") << "Holidays3"
                                << "PrintReports [Reports] category=Holiday Reports";
    QTest::newRow("r-special") << "SpecialEvents2"
                               << "PrintReports [Reports] category=Special Reports";
    QTest::newRow("r-journal") << "Journal2"
                               << "PrintReports [Reports] category=Journal Report";
    QTest::newRow("about") << "AboutTinyra1"
                           << "Logo2 [About Tinyra]";
    QTest::newRow("readme") << "OnLineReadmeFile1"
                            << "ReadmeFile [Tinyra 3.0 OnLine \"Readme\" File]";
    QTest::newRow("whatsnew") << "Whatsnew1"
                              << "HelpForm [] topic=40";
    QTest::newRow("pictures") << "ImportingpicturesintoTinyra1"
                              << "HelpForm [] topic=63";
    QTest::newRow("search") << "Search1"
                            << "Search [Tinyra Help - Search]";
    Q_UNUSED(title);
}

void CommandsTest::menuItemsReachTheirForms() {
    QFETCH(QString, action);
    QFETCH(QString, expected);
    QCOMPARE(trigger(action), expected);
}

void CommandsTest::toolButtonsReachTheirForms_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1") << "SpeedButton1"
                       << "Prenatal"
                       << "Prenatal [Prenatal History]";
    QTest::newRow("2") << "SpeedButton2"
                       << "Baby Names"
                       << "BabyNames [Baby Names]";
    QTest::newRow("3") << "SpeedButton3"
                       << "Child Information"
                       << "ChildInfo [Child Information]";
    QTest::newRow("5") << "SpeedButton5"
                       << "Family Information"
                       << "Family [Family Information]";
    QTest::newRow("4") << "SpeedButton4"
                       << "At the doctors"
                       << "Doctor [At the Doctor]";
    QTest::newRow("12") << "SpeedButton12"
                        << "Growth"
                        << "Growth [Growth Information]";
    QTest::newRow("6") << "SpeedButton6"
                       << "Birthdays"
                       << "PickBday [Pick Birthday]";
    QTest::newRow("9") << "SpeedButton9"
                       << "Holidays"
                       << "PickHoliday [Pick Holiday]";
    QTest::newRow("10") << "SpeedButton10"
                        << "Daily Journal"
                        << "Journal [Daily Journal]";
    QTest::newRow("11") << "SpeedButton11"
                        << "Tinyra Help"
                        << "Search [Tinyra Help - Search]";
}

void CommandsTest::toolButtonsReachTheirForms() {
    QFETCH(QString, button);
    QFETCH(QString, hint);
    QFETCH(QString, expected);
    auto* b = MainWindow->findChild<QToolButton*>(button);
    QVERIFY(b);
    QCOMPARE(b->toolTip(), hint);
    QCOMPARE(b->accessibleName(), hint);
    QCOMPARE(b->height(), 57);
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
    QCOMPARE(trigger("AttheDoctors1"), QStringLiteral("Doctor [At the Doctor]"));
}

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
