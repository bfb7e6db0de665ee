// The command line of the real program, without a display: what it prints and its exit status.
#include "core/book/Children.h"
#include "core/book/EntryStore.h"
#include "core/exchange/BookFile.h"
#include "core/store/Backups.h"
#include "core/store/Database.h"
#include "core/store/FolderLock.h"
#include "core/store/PhotoFiles.h"
#include "support/TempStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

namespace {
struct Run {
    int status = -1;
    QString out, err;
};

// Runs the program with `args` on the book under `home`, with no display to open a window on.
Run tinyra(const QStringList& args, const QString& home) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TINYRA_PROGRAM), args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// Starts the program on the book under `home`: its window (offscreen; it ends once painted when
// `quitAfterPaint`), or with `args` a command without one.
void start(QProcess& p, const QString& home, const QStringList& args, bool quitAfterPaint = false) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (quitAfterPaint)
        env.insert(QStringLiteral("TINYRA_QUIT_AFTER_PAINT"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TINYRA_PROGRAM), args);
}

int fileCount(const QString& dir) {
    int n = 0;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    for (; it.hasNext(); it.next())
        ++n;
    return n;
}

int journalEntries(const QString& child) {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT count(*) FROM ENTRIES WHERE child = ? AND list = ?"),
                                 {child, int(DiaryList::JournalEntries)});
    return q.next() ? q.value(0).toInt() : -1;
}
} // namespace

class BookCliTest : public QObject {
    Q_OBJECT
private slots:
    void optionsAnswerWithTheirStatus();
    void exportAndImportMoveABookWithoutAWindow();
    void oneWriterAtATimeWindowOrCommand();
};

void BookCliTest::optionsAnswerWithTheirStatus() {
    QTemporaryDir home;
    const Run version = tinyra({"--version"}, home.path());
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, QStringLiteral("Tinyra %1\n").arg(TINYRA_VERSION));
    const Run help = tinyra({"--help"}, home.path());
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains("--export <FILE>") && help.out.contains("--import <FILE>"));
    for (const QStringList& wrong :
         {QStringList{"--bogus"}, QStringList{"--export"}, QStringList{"--import"},
          QStringList{"--export", "a.zip", "--import", "b.zip"}, QStringList{"--export", "a.zip", "stray"}}) {
        const Run r = tinyra(wrong, home.path());
        QVERIFY2(r.status == 2, qPrintable(wrong.join(' ')));
        QVERIFY2(r.err.contains("--help"), qPrintable(r.err));
    }
    // No book yet: nothing to export, and none is made.
    const Run nothing = tinyra({"--export", home.filePath("out.zip")}, home.path());
    QCOMPARE(nothing.status, 1);
    QVERIFY(nothing.err.contains("no book to export"));
    QVERIFY(!QFile::exists(home.filePath("out.zip")));
    QVERIFY(!QFile::exists(home.filePath("Tinyra4/tinyra4.sqlite")));
}

void BookCliTest::exportAndImportMoveABookWithoutAWindow() {
    TempStore source;
    const QString file = QDir(source.dataHome()).filePath("moved.zip");
    TempStore::addChild("Ann");
    Children::makeActive("Ann", true);
    for (int i = 0; i < 5; ++i)
        Entries().append(DiaryList::JournalEntries,
                         std::make_shared<DiaryType>(DiaryType{"01-01-24", "Day", "x"}));
    Entries().release();
    source.close();

    const Run exported = tinyra({"--export", file}, source.dataHome());
    QVERIFY2(exported.status == 0, qPrintable(exported.err));
    QVERIFY(exported.err.contains("exported to"));
    QVERIFY(QFile::exists(file));

    QTemporaryDir target;
    const Run imported = tinyra({QStringLiteral("--import=%1").arg(file)}, target.path());
    QVERIFY2(imported.status == 0, qPrintable(imported.err));
    QVERIFY(imported.err.contains("Children added: Ann."));
    QVERIFY(imported.err.contains("5 records added."));
    const Run again = tinyra({"--import", file}, target.path());
    QCOMPARE(again.status, 0);
    QVERIFY(again.err.contains("0 records added."));

    QFile junk(QDir(target.path()).filePath("junk.zip"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("PK\3\4 not really");
    junk.close();
    const Run refused = tinyra({"--import", junk.fileName()}, target.path());
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains("not imported") && refused.err.contains("damaged"),
             qPrintable(refused.err));
    const Run missing = tinyra({"--import", QDir(target.path()).filePath("absent.zip")}, target.path());
    QCOMPARE(missing.status, 1);
    QVERIFY(missing.err.contains("cannot be read"));

    // The imported book holds the entries, once.
    qputenv("XDG_DATA_HOME", target.path().toUtf8());
    Database::close();
    Database::open();
    QCOMPARE(Children::firstNames(), QStringList{"Ann"});
    QCOMPARE(journalEntries("Ann"), 5);
}

void BookCliTest::oneWriterAtATimeWindowOrCommand() {
    // A book of 300 photos to import, which takes a few seconds.
    const int photos = 300;
    QTemporaryDir files;
    const QString zip = files.filePath(QStringLiteral("photos.zip"));
    {
        TempStore source;
        TempStore::addChild("Ann");
        Entries().freshStart("Ann");
        QVector<EntryPhoto> kept;
        for (int i = 0; i < photos; ++i) {
            QFile f(files.filePath(QStringLiteral("p%1.jpg").arg(i)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            QByteArray bytes(256 * 1024, char(i));
            bytes.prepend(QByteArray::number(i));
            f.write(bytes);
            f.close();
            kept.append({PhotoFiles::store(f.fileName()), f.fileName().section('/', -1), QString()});
        }
        Entries().append(DiaryList::JournalEntries,
                         std::make_shared<DiaryType>(DiaryType{"01-01-24", "Album", "x", kept}));
        BookFile::exportBook(zip);
        Entries().release();
    }
    // The book it goes into, with Ben active so that the window opens on him.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    Database::open();
    TempStore::addChild("Ben");
    TempStore::setPrevious("Ben");
    Database::close();
    const QString photoDir = home.filePath(QStringLiteral("Tinyra4/photos"));

    // The window started while an import writes its photos waits for it, and its sweep after the
    // day's backup then finds every photo named.
    QProcess import, window;
    start(import, home.path(), {"--import", zip});
    QVERIFY(import.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return fileCount(photoDir) >= 10 || import.state() != QProcess::Running; },
                            60000));
    if (import.state() != QProcess::Running)
        qWarning("the import ended before the window started: the race was not tried");
    start(window, home.path(), {}, true);
    QVERIFY(import.waitForFinished(120000));
    QVERIFY(window.waitForFinished(120000));
    const QByteArray said = import.readAllStandardError();
    QVERIFY2(import.exitCode() == 0 && said.contains("Children added: Ann."), said.constData());
    QCOMPARE(window.exitCode(), 0);
    QVERIFY(window.readAllStandardOutput().contains("painted"));
    Database::open();
    {
        QSqlQuery q = Database::exec(QStringLiteral("SELECT file FROM ENTRYPHOTOS"));
        int named = 0, missing = 0;
        while (q.next()) {
            ++named;
            missing += QFile::exists(PhotoFiles::pathOf(q.value(0).toString())) ? 0 : 1;
        }
        QCOMPARE(named, photos);
        QCOMPARE(missing, 0);
    }
    Database::close();

    // While the window is open, a command is refused and the book is untouched.
    start(window, home.path(), {});
    QVERIFY(window.waitForStarted());
    QVERIFY(QTest::qWaitFor(
        [&] {
            FolderLock probe(Database::writerLockPath());
            return !probe.lock(false) || window.state() != QProcess::Running;
        },
        60000));
    QCOMPARE(window.state(), QProcess::Running);
    const Run refused = tinyra({"--import", zip}, home.path());
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains("Tinyra is open on this book; close it first"), qPrintable(refused.err));
    window.kill();
    QVERIFY(window.waitForFinished());

    // A book that is gone while its backups are there is not silently made anew by an import.
    QVERIFY(!Backups::all().isEmpty());
    QVERIFY(QFile::remove(Database::filePath()));
    const Run lost = tinyra({"--import", zip}, home.path());
    QCOMPARE(lost.status, 1);
    QVERIFY2(lost.err.contains("backups"), qPrintable(lost.err));
    QVERIFY(!QFile::exists(Database::filePath()));
}

QTEST_GUILESS_MAIN(BookCliTest)
#include "tst_bookcli.moc"
