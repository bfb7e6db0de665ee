// A writer killed with SIGKILL at random moments loses nothing whose append had returned, and the
// store stays whole.
#include "core/book/EntryStore.h"
#include "core/store/Database.h"
#include "support/TempStore.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <memory>
#include <vector>

namespace {
const QString kWriter = QStringLiteral(TINYRA_DURABILITY_WRITER);

QString integrity() {
    QSqlQuery q = Database::exec(QStringLiteral("PRAGMA integrity_check"));
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString();
    return rows.join(QLatin1Char('\n'));
}

// The numbers of the stored entries of "Kid".
QList<qint64> storedNumbers() {
    QSqlQuery q =
        Database::exec(QStringLiteral("SELECT Title, Text FROM ENTRIES WHERE child = ? ORDER BY seq"),
                       {QStringLiteral("Kid")});
    QList<qint64> numbers;
    while (q.next()) {
        const QString title = q.value(0).toString();
        const qint64 n = title.mid(1).toLongLong();
        // Each entry is whole: its text is the one the writer made for its number.
        if (!q.value(1).toString().startsWith(QStringLiteral("Entry ") + QString::number(n) +
                                              QLatin1Char(' ')))
            return {-1};
        numbers << n;
    }
    return numbers;
}
} // namespace

class KillTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Entries().release(); }
    void killedWriterKeepsEveryReturnedAppend();
    void startsAtTheSameMomentMakeOneBook();
};

void KillTest::killedWriterKeepsEveryReturnedAppend() {
    TempStore store(false);
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("random seed %u", seed);
    QRandomGenerator rng(seed);

    const int rounds = 24;
    QSet<qint64> reported;
    qint64 next = 0;
    int killedWhileAppending = 0;
    for (int round = 0; round < rounds; ++round) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::SeparateChannels);
        writer.start(kWriter, {QStringLiteral("append"), store.dataHome(), QString::number(next)});
        QVERIFY2(writer.waitForStarted(10000), qPrintable(writer.errorString()));

        // Every fourth round the kill may come while the store is still being opened (the first
        // round: while it is being created); the others come during the appends.
        const bool early = round % 4 == 0;
        const int delay = early ? int(rng.bounded(0, 150)) : int(rng.bounded(1, 250));
        QByteArray out;
        QElapsedTimer clock;
        clock.start();
        bool appending = false;
        while (clock.elapsed() < 30000) {
            if (early && clock.elapsed() >= delay)
                break;
            if (!early && appending && clock.elapsed() >= delay)
                break;
            if (writer.state() != QProcess::Running)
                break;
            writer.waitForReadyRead(5);
            out += writer.readAllStandardOutput();
            if (!appending && out.contains("open\n")) {
                appending = true;
                clock.restart();
            }
        }
        QVERIFY2(writer.state() == QProcess::Running, writer.readAllStandardError().constData());
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(10000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        out += writer.readAllStandardOutput();

        int thisRound = 0;
        for (const QByteArray& line : out.split('\n')) {
            bool isNumber = false;
            const qint64 n = line.toLongLong(&isNumber);
            if (isNumber) {
                reported.insert(n);
                ++thisRound;
            }
        }
        if (thisRound > 0)
            killedWhileAppending++;

        store.open();
        const QString verdict = integrity();
        QVERIFY2(verdict == QLatin1String("ok"),
                 qPrintable(QStringLiteral("round %1: %2").arg(round).arg(verdict)));
        const QList<qint64> stored = storedNumbers();
        QVERIFY2(!stored.contains(-1),
                 qPrintable(QStringLiteral("round %1: an entry's text is not whole").arg(round)));
        const QSet<qint64> storedSet(stored.begin(), stored.end());
        QCOMPARE(storedSet.size(), stored.size());
        for (qint64 n : reported)
            QVERIFY2(
                storedSet.contains(n),
                qPrintable(
                    QStringLiteral("round %1: entry N%2 was reported but is missing").arg(round).arg(n)));
        // Anything stored beyond what was reported is the one append the kill interrupted after
        // its commit; nothing is stored that was never attempted.
        qint64 highest = next - 1;
        for (qint64 n : stored)
            highest = qMax(highest, n);
        QVERIFY(highest <= next + thisRound);
        next = highest + 1;
        store.close();
    }
    // The kills really landed between appends, with many entries reported.
    QVERIFY2(killedWhileAppending >= rounds / 2, qPrintable(QString::number(killedWhileAppending)));
    QVERIFY(reported.size() >= rounds);

    // The Entry store itself loads every reported entry after the last kill.
    store.open();
    Entries().freshStart(QStringLiteral("Kid"));
    QSet<QString> titles;
    for (int i = 0; i < Entries().count(DiaryList::JournalEntries); ++i)
        titles.insert(Entries().at(DiaryList::JournalEntries, i)->Title);
    for (qint64 n : reported)
        QVERIFY(titles.contains(QStringLiteral("N") + QString::number(n)));
    qInfo("%d rounds, %d killed while appending, %lld entries reported, %lld stored", rounds,
          killedWhileAppending, qint64(reported.size()), qint64(titles.size()));
}

void KillTest::startsAtTheSameMomentMakeOneBook() {
    // Programs started together on a folder with no book yet: one of them creates it, the others
    // open it, and each one's entry is stored.
    const int writers = 6;
    for (int attempt = 0; attempt < 3; ++attempt) {
        TempStore store(false);
        std::vector<std::unique_ptr<QProcess>> running;
        for (int i = 0; i < writers; ++i) {
            running.push_back(std::make_unique<QProcess>());
            running.back()->start(kWriter, {QStringLiteral("once"), store.dataHome(), QString::number(i)});
        }
        for (int i = 0; i < writers; ++i) {
            QProcess& w = *running[size_t(i)];
            QVERIFY(w.waitForFinished(60000));
            const QByteArray out = w.readAllStandardOutput();
            QVERIFY2(w.exitStatus() == QProcess::NormalExit && w.exitCode() == 0, out.constData());
            QVERIFY2(out == "open\n" + QByteArray::number(i) + '\n', out.constData());
        }
        store.open();
        QCOMPARE(integrity(), QStringLiteral("ok"));
        QCOMPARE(TempStore::rowCount(QStringLiteral("PREVIOUS")), 1);
        QList<qint64> stored = storedNumbers();
        std::sort(stored.begin(), stored.end());
        QCOMPARE(stored, (QList<qint64>{0, 1, 2, 3, 4, 5}));
        store.close();
    }
}

QTEST_GUILESS_MAIN(KillTest)
#include "tst_durability_kill.moc"
