// Child > Share Book... with a real second computer: the book shared into a folder from the window,
// another computer's book (the real program, from its command line) joining it, and its children
// arriving in the open window from the folder watch, but only once the open form has closed.
#include "core/book/Children.h"
#include "core/book/EntryStore.h"
#include "core/store/Database.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "support/RunCommand.h"
#include "ui/shell/TMainWindow.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The real program on another computer's data folder; its exit status, or -1.
int runOther(const QString& home, const QStringList& args, QString* output) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(TINYRA_PROGRAM), args);
    if (!p.waitForFinished(60000))
        return -1;
    *output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QString statusText() {
    return MainWindow->findChild<QLabel*>(QStringLiteral("SharingStatus"))->text();
}
} // namespace

class ShareBookTest : public QObject {
    Q_OBJECT
private slots:
    void shareFromTheWindowAndTakeInAnotherComputersChild();
};

void ShareBookTest::shareFromTheWindowAndTakeInAnotherComputersChild() {
    // The other computer's book: Ben, with a journal entry.
    TempStore other;
    TempStore::addChild(QStringLiteral("Ben"));
    TempStore::setPrevious(QStringLiteral("Ben"));
    Database::exec(QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text) "
                                  "VALUES ('Ben', 2, '03-04-26', 'Zoo', 'Giraffes')"));
    other.close();

    AppFixture app;
    QTemporaryDir family;
    QString state, done;
    ModalDriver sharing;
    sharing
        .expect("ShareBook",
                [&](QWidget* d) {
                    ModalDriver::type(d, "FolderEdit", family.path());
                    state = d->findChild<QLabel*>("FolderState")->text();
                    ModalDriver::click(d, "ShareBtn");
                })
        .expect("InformationBox", [&](QWidget* box) {
            done = static_cast<QMessageBox*>(box)->text();
            ModalDriver::answer(box, QMessageBox::Ok);
        });
    RUN([] { MainWindow->findChild<QAction*>("ShareBook1")->trigger(); }, sharing);
    QVERIFY2(state.contains("Tinyra will make the folder"), qPrintable(state));
    QVERIFY2(done.contains("On the other computer"), qPrintable(done));
    const QDir book(family.path() + QStringLiteral("/Tinyra Shared Book"));
    QVERIFY(book.exists(QStringLiteral("devices")));
    QTRY_VERIFY(MainWindow->statusBar()->isVisible());
    QVERIFY2(statusText().startsWith("Shared. No other computer"), qPrintable(statusText()));

    // While a form is open, what the other computer writes waits; what the form saves goes out at once.
    ModalDriver journal;
    QString output, synced;
    int joined = -2;
    bool took = false;
    journal.expect(
        "Journal",
        [&](QWidget* form) {
            joined = runOther(other.dataHome(), {QStringLiteral("--share"), family.path()}, &output);
            Entries().append(DiaryList::JournalEntries,
                             std::make_shared<DiaryType>(DiaryType{"05-06-26", "Park", "Ducks"}));
            // (QTRY_VERIFY evaluates its condition once more at the end: the run's result is kept.)
            QTRY_VERIFY2_WITH_TIMEOUT(
                took || (took = runOther(other.dataHome(), {QStringLiteral("--sync")}, &synced) == 0 &&
                                synced.contains("Took 4 changes")),
                qPrintable(synced), 10000);
            // The folder watch has seen the other computer's files by now; the round waits.
            QTest::qWait(2000);
            QVERIFY(!Children::exists(QStringLiteral("Ben")));
            form->close();
        },
        60000);
    RUN([] { MainWindow->Journal1Click(); }, journal);
    QVERIFY2(joined == 0, qPrintable(output));
    QVERIFY2(took, qPrintable(synced));
    QTRY_VERIFY_WITH_TIMEOUT(Children::exists(QStringLiteral("Ben")), 10000);
    QTRY_VERIFY2(statusText().startsWith("Shared with 2 computers"), qPrintable(statusText()));
    QSqlQuery zoo = Database::exec(QStringLiteral("SELECT Text FROM ENTRIES WHERE child = 'Ben'"));
    QVERIFY(zoo.next());
    QCOMPARE(zoo.value(0).toString(), QStringLiteral("Giraffes"));
}

QTEST_MAIN(ShareBookTest)
#include "tst_sharebook.moc"
