// One running copy per book, with real programs: a second start brings the first copy's window to
// the front and ends without touching the book; a copy that was killed leaves nothing in the way.
#include "support/TempStore.h"
#include "ui/shell/RunningCopy.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>

namespace {
void startOn(QProcess& p, const QString& home, bool quitAfterPaint) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home);
    if (quitAfterPaint)
        env.insert(QStringLiteral("TINYRA_QUIT_AFTER_PAINT"), QStringLiteral("1"));
    else
        env.remove(QStringLiteral("TINYRA_QUIT_AFTER_PAINT"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TINYRA_PROGRAM), {});
}
} // namespace

class RunningCopyTest : public QObject {
    Q_OBJECT
private slots:
    void aSecondStartBringsTheFirstToTheFront();
};

void RunningCopyTest::aSecondStartBringsTheFirstToTheFront() {
    TempStore store;
    TempStore::addChild(QStringLiteral("Ann"));
    TempStore::setPrevious(QStringLiteral("Ann"));
    store.close();

    QProcess first;
    startOn(first, store.dataHome(), false);
    QVERIFY(first.waitForStarted());
    // The first copy answers once it listens.
    const QString name = RunningCopy::serverName(store.storeDir());
    QVERIFY(QTest::qWaitFor(
        [&] {
            QLocalSocket probe;
            probe.connectToServer(name);
            return probe.waitForConnected(100) || first.state() != QProcess::Running;
        },
        60000));
    QCOMPARE(first.state(), QProcess::Running);
    // Its backup is made on a worker thread: wait until it is there, so that the book is at rest.
    QVERIFY(QTest::qWaitFor(
        [&] {
            return !QDir(store.storeDir() + QStringLiteral("/backups"))
                        .entryList({QStringLiteral("*.sqlite")}, QDir::Files)
                        .isEmpty();
        },
        60000));
    const QStringList filesBefore = QDir(store.storeDir()).entryList(QDir::Files);

    QProcess second;
    startOn(second, store.dataHome(), true);
    QVERIFY(second.waitForFinished(60000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY2(!second.readAllStandardOutput().contains("painted"), "the second copy opened a window");
    QVERIFY(QTest::qWaitFor([&] { return first.readAllStandardError().contains("brought to the front"); },
                            10000));
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(QDir(store.storeDir()).entryList(QDir::Files), filesBefore);

    // A copy that was killed leaves its lock file and socket behind; the next start takes them over.
    first.kill();
    QVERIFY(first.waitForFinished());
    QProcess third;
    startOn(third, store.dataHome(), true);
    QVERIFY(third.waitForFinished(60000));
    QCOMPARE(third.exitCode(), 0);
    QVERIFY(third.readAllStandardOutput().contains("painted"));
}

QTEST_GUILESS_MAIN(RunningCopyTest)
#include "tst_runningcopy.moc"
