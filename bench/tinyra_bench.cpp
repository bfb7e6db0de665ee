// Tinyra's benchmark: prints, for each measured operation, the median of repeated runs beside a floor
// measured in the same run, and the target. It seeds its own temporary store; nothing is timed as a test.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/overview/ChildSummary.h"
#include "core/reports/ReportCatalog.h"
#include "core/reports/ReportRegistry.h"
#include "core/store/Clock.h"
#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "ui/common/TDialog.h"
#include "ui/diaries/TGrowth.h"
#include "ui/diaries/TJournal.h"
#include "ui/diaries/TNewEntry.h"
#include "ui/names/TBabyNames.h"
#include "ui/reports/PageRenderer.h"
#include "ui/reports/ReportOutput.h"
#include "ui/reports/TPrintReports.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"
#include "ui/shell/TTimeline.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmapCache>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

#include <sqlite3.h>

#include <zip.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {
const QString kHeavy = QStringLiteral("Heavy");
const QString kLight = QStringLiteral("Light");

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double timeMs(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

std::vector<double> repeat(int n, const std::function<void()>& work) {
    std::vector<double> v;
    for (int i = 0; i < n; ++i)
        v.push_back(timeMs(work));
    return v;
}

void report(const char* what, double ms, double floor, const char* target, bool met) {
    if (floor > 0)
        std::printf("%-44s %9.2f ms   floor %8.2f ms   x%5.2f   target %-22s %s\n", what, ms, floor,
                    ms / floor, target, met ? "met" : "MISSED");
    else
        std::printf("%-44s %9.2f ms   %-33s target %-22s %s\n", what, ms, "", target, met ? "met" : "MISSED");
}

// A heavy child: 10,000 entries in each diary list and 5,000 growth records; and a light one.
void seed() {
    Database::exec(QStringLiteral("INSERT INTO CHILD (FirstName) VALUES (?), (?)"), {kHeavy, kLight});
    Database::exec(QStringLiteral("UPDATE PREVIOUS SET FirstName = ?"), {kHeavy});
    Transaction tx;
    QSqlQuery q(Database::db());
    q.prepare(QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES (?, ?, ?, ?, ?)"));
    for (int list = 0; list < 6; ++list)
        for (int i = 0; i < 10000; ++i) {
            q.addBindValue(kHeavy);
            q.addBindValue(list);
            q.addBindValue(QStringLiteral("%1-%2-%3")
                               .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                               .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                               .arg(i % 100, 2, 10, QLatin1Char('0')));
            q.addBindValue(QStringLiteral("Entry number %1").arg(i));
            q.addBindValue(
                QStringLiteral("A day with the baby: we went to the park and she laughed at the ducks.\n"
                               "Then we came home for a nap. Entry %1.")
                    .arg(i));
            q.exec();
        }
    // The heavy child was born on 1 January 2010 and is a girl, so that her chart page draws the
    // centile curves and all 5,000 points, spread over her sixteen years.
    Database::exec(QStringLiteral("UPDATE CHILD SET BDayMonth = '1', BDateDay = '1', BDayYear = '2010', "
                                  "Sex = 'Girl' WHERE FirstName = ?"),
                   {kHeavy});
    q.prepare(QStringLiteral("INSERT INTO GROWTH (child, Date, Height, WtLbs, WtOz) VALUES (?, ?, ?, ?, ?)"));
    for (int i = 0; i < 5000; ++i) {
        const int years = i * 16 / 5000;
        q.addBindValue(kHeavy);
        q.addBindValue(QStringLiteral("%1-%2-%3")
                           .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                           .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                           .arg(10 + years, 2, 10, QLatin1Char('0')));
        q.addBindValue(QString::number(20 + years * 3 + i % 3));
        q.addBindValue(QString::number(7 + years * 6 + i % 2));
        q.addBindValue(QString::number(i % 16));
        q.exec();
    }
    tx.commit();
}

double processMs(const QString& program, const QStringList& args, const QString& dataHome) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    env.insert(QStringLiteral("TINYRA_QUIT_AFTER_PAINT"), QStringLiteral("1"));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    // The time is taken when the program says its window is painted, not when it has ended.
    double painted = -1;
    QByteArray out;
    while (painted < 0 && p.waitForReadyRead(60000)) {
        out += p.readAllStandardOutput();
        if (out.contains("painted\n"))
            painted = double(t.nsecsElapsed()) / 1e6;
    }
    if (!p.waitForFinished(60000) || p.exitCode() != 0 || painted < 0) {
        std::fprintf(stderr, "%s did not finish cleanly: %s\n", qPrintable(program),
                     p.readAllStandardError().constData());
        return -1;
    }
    return painted;
}

// The floor of start-up: a bare Qt Widgets window that quits once painted.
class BareWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        std::fputs("painted\n", stdout);
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }
};

// Shows a form as a parent would (activation fills it) and returns the milliseconds until it is
// painted; the form is then closed again.
double showFormMs(QDialog* form) {
    QElapsedTimer t;
    t.start();
    form->show();
    form->repaint();
    QCoreApplication::processEvents();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    form->reject();
    QCoreApplication::processEvents();
    return ms;
}

void seedNames(int count) {
    Transaction tx;
    for (const char* table : {"BOYA", "GIRLA"}) {
        Database::exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
        QSqlQuery q(Database::db());
        q.prepare(QStringLiteral("INSERT INTO %1 (Name, Origin, Meaning) VALUES (?, ?, ?)")
                      .arg(QLatin1String(table)));
        for (int i = 0; i < count; ++i) {
            q.addBindValue(QStringLiteral("Name%1").arg(i, 5, 10, QLatin1Char('0')));
            q.addBindValue(QStringLiteral("Origin %1").arg(i % 20));
            q.addBindValue(QStringLiteral("A meaning for name %1").arg(i));
            q.exec();
        }
    }
    tx.commit();
}

// Creating every form as start-up does, and then each form's first showing on the heavy child (where
// it builds its widgets and fills them), in five fresh runs of the forms. Message boxes a form might
// raise are closed so that nothing waits for a parent.
void measureFirstShowings() {
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->reject();
    });
    closer.start(20);
    std::vector<double> creates;
    std::vector<std::pair<QString, std::vector<double>>> firsts;
    for (int round = 0; round < 5; ++round) {
        creates.push_back(timeMs([] { CreateForms(); }));
        MainWindow->show();
        (void)QTest::qWaitFor([] { return MainWindow->startupCheckDone(); }, 5000);
        MainWindow->makeChildActive(kHeavy);
        const QList<TDialog*> forms = MainWindow->findChildren<TDialog*>(Qt::FindDirectChildrenOnly);
        if (firsts.empty())
            for (TDialog* form : forms)
                firsts.emplace_back(form->objectName(), std::vector<double>());
        for (TDialog* form : forms)
            for (auto& f : firsts)
                if (f.first == form->objectName())
                    f.second.push_back(showFormMs(form));
        MainWindow->close();
        DestroyForms();
        Entries().release();
    }
    const double create = median(creates);
    report("create all thirty forms (start-up's share)", create, 0, "(no target)", true);
    double worst = 0;
    for (const auto& f : firsts) {
        const double ms = median(f.second);
        worst = std::max(worst, ms);
        const QByteArray what = ("  first showing of " + f.first).toUtf8();
        report(what.constData(), ms, 0, "< 50 ms", ms < 50);
    }
    report("slowest first showing", worst, 0, "< 50 ms", worst < 50);
}

// The forms and reports, on the seeded store, with every form created as at start-up.
void measureForms(const QString& dir) {
    const QString twoHundred = QStringLiteral("TwoHundred");
    Database::exec(
        QStringLiteral("INSERT INTO CHILD (FirstName, MiddleName, LastName) VALUES (?, 'Rose', 'Lee')"),
        {twoHundred});
    seedNames(20000);
    CreateForms();
    MainWindow->show();
    (void)QTest::qWaitFor([] { return MainWindow->startupCheckDone(); }, 5000);

    MainWindow->makeChildActive(twoHundred);
    for (int i = 0; i < 200; ++i)
        Entries().append(DiaryList::JournalEntries,
                         std::make_shared<DiaryType>(
                             DiaryType{QStringLiteral("05-%1-24").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                                       QStringLiteral("Day %1").arg(i),
                                       QStringLiteral("We walked to the pond and fed the ducks.\n"
                                                      "She laughed all the way home.")}));

    // Each opening is preceded by a switch, so the heavy child's list is read afresh every time.
    std::vector<double> journal, growth, growthChart, names, announcement, journalReport, home;
    for (int i = 0; i < 7; ++i) {
        MainWindow->makeChildActive(kHeavy);
        journal.push_back(showFormMs(Journal));
        MainWindow->makeChildActive(kHeavy);
        growth.push_back(showFormMs(Growth));
        // The chart page: 5,000 records placed, their centiles read and three charts painted.
        MainWindow->makeChildActive(kHeavy);
        Growth->pages()->setCurrentIndex(2);
        growthChart.push_back(showFormMs(Growth));
        Growth->pages()->setCurrentIndex(0);
        names.push_back(showFormMs(BabyNames));
        // What the home panel reads after every form closes: the heavy child's items placed by date.
        home.push_back(timeMs([] { (void)ChildSummary::read(kHeavy, QDate::currentDate()); }));
    }
    MainWindow->makeChildActive(twoHundred);
    auto* reports = PrintReports;
    reports->ensureBuilt();
    auto* name = reports->findChild<QComboBox*>(QStringLiteral("ReportName"));
    const QString pdf = dir + QStringLiteral("/bench.pdf");
    ReportOutput::setPrintToPdfForTesting(pdf);
    // A report of more than ten pages asks before printing: answered at once, as a parent would.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            if (box->objectName() == QStringLiteral("ConfirmBox"))
                box->button(QMessageBox::Yes)->click();
    });
    answer.start(1);
    auto printMs = [&](const char* category, const char* report) {
        reports->setCategory(QString::fromLatin1(category));
        name->setCurrentText(QString::fromLatin1(report));
        QFile::remove(pdf);
        const double ms = timeMs([&] { reports->BitBtn1Click(); });
        return QFileInfo(pdf).size() > 0 ? ms : -1;
    };
    for (int i = 0; i < 7; ++i) {
        announcement.push_back(printMs("Child Reports", "Birth Announcement"));
        journalReport.push_back(printMs("Journal Report", "Journal"));
    }
    ReportOutput::setPrintToPdfForTesting(QString());

    const double j = median(journal), g = median(growth), gc = median(growthChart), n = median(names),
                 a = median(announcement), r = median(journalReport);
    report("open the journal on the heavy child", j, 0, "< 50 ms", j < 50);
    report("open the growth form on the heavy child", g, 0, "< 50 ms", g < 50);
    report("growth chart page on the heavy child (5,000 records)", gc, 0, "< 50 ms", gc < 50);
    report("show the names browser, 2 x 20,000 names", n, 0, "< 100 ms", n < 100);
    const double h = median(home);
    report("home panel's reading of the heavy child", h, 0, "< 50 ms", h < 50);
    report("birth announcement to PDF", a, 0, "< 150 ms", a >= 0 && a < 150);
    report("200-entry journal report to PDF", r, 0, "(no target)", r >= 0);
    DestroyForms();
}

// The process's peak memory (resident set) so far, in MB.
double peakMemoryMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

// Seeds `entries` journal entries of a few lines each for `child` straight into the store.
void seedJournal(const QString& child, int entries) {
    Transaction tx;
    QSqlQuery q(Database::db());
    q.prepare(QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES (?, ?, ?, ?, ?)"));
    for (int i = 0; i < entries; ++i) {
        q.addBindValue(child);
        q.addBindValue(int(DiaryList::JournalEntries));
        q.addBindValue(QStringLiteral("%1-%2-%3")
                           .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                           .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                           .arg(i % 100, 2, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("Entry number %1").arg(i));
        q.addBindValue(
            QStringLiteral("A day with the baby: we went to the park and she laughed at the ducks, "
                           "then fed them the crusts we had saved from breakfast.\n"
                           "Then we came home for a nap. Entry %1.")
                .arg(i));
        q.exec();
    }
    tx.commit();
}

// A photograph-like JPEG (a gradient with noise, so it compresses as a photograph does).
QByteArray photo(int seed, const QSize& size = QSize(1600, 1200), int quality = 85) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int(random.bounded(40));
            line[x] = qRgb((x / 7 + noise + seed * 13) % 256, (y / 5 + noise) % 256, (x + y) / 12 % 256);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return bytes;
}

// Run in a process of its own (so its peak memory is its own): a long journal report to PDF, and the
// first page of its preview.
int journalReport(int entries) {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    Database::open();
    Database::exec(QStringLiteral("INSERT INTO CHILD (FirstName) VALUES ('Long')"));
    seedJournal(QStringLiteral("Long"), entries);
    Entries().freshStart(QStringLiteral("Long"));
    const double before = peakMemoryMb();
    int pages = 0;
    const double pdfMs = timeMs([&] {
        ReportOutput::Job job{QStringLiteral("Journal"), QStringLiteral("Long"),
                              std::make_shared<PageRenderer>(
                                  ReportRegistry::build(QStringLiteral("Journal"), QStringLiteral("Long")))};
        ReportOutput::writePdf(dir.path() + QStringLiteral("/journal.pdf"), job);
        pages = job.pages->pageCount();
    });
    double previewMs = 0;
    {
        // What the preview does before its first page shows: gather the report, lay out as far as
        // the first page and paint it (the rest is laid out after).
        QImage page(816, 1056, QImage::Format_RGB32);
        previewMs = timeMs([&] {
            PageRenderer renderer(ReportRegistry::build(QStringLiteral("Journal"), QStringLiteral("Long")));
            QPainter p(&page);
            renderer.paintPage(p, 0);
        });
    }
    std::printf("%s\n", qPrintable(QStringLiteral("%1 %2 %3 %4 %5")
                                       .arg(pdfMs)
                                       .arg(previewMs)
                                       .arg(pages)
                                       .arg(before)
                                       .arg(peakMemoryMb())));
    Entries().release();
    Database::close();
    return 0;
}

// The processor time this process has used so far, in milliseconds (on a loaded machine a steadier
// figure than the time on the clock).
double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
           usage.ru_stime.tv_usec / 1e3;
}

// `jpeg` made distinct by a comment segment carrying `n` after its start marker, still a sound JPEG.
QByteArray distinctJpeg(const QByteArray& jpeg, int n) {
    const QByteArray text = QByteArray::number(n);
    QByteArray segment("\xff\xfe");
    segment += char((text.size() + 2) >> 8);
    segment += char((text.size() + 2) & 0xff);
    segment += text;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// Stores `count` photos (each its own bytes, made from `base`) with the journal entries of `child` as
// the diary stores them: `perEntry` photos on every `every`th entry, until all are placed.
void storeEntryPhotos(const QString& child, const QByteArray& base, int count, int every, int perEntry) {
    QSqlQuery uids(Database::db());
    uids.prepare(QStringLiteral("SELECT uid FROM ENTRIES WHERE child = ? AND list = ? ORDER BY seq"));
    uids.addBindValue(child);
    uids.addBindValue(int(DiaryList::JournalEntries));
    uids.exec();
    Transaction tx;
    QSqlQuery q(Database::db());
    q.prepare(QStringLiteral("INSERT INTO ENTRYPHOTOS (child, list, entry, position, file, name, taken) "
                             "VALUES (?, ?, ?, ?, ?, ?, '')"));
    for (int i = 0, stored = 0; uids.next() && stored < count; ++i) {
        if (i % every != every - 1)
            continue;
        for (int k = 0; k < perEntry && stored < count; ++k) {
            const QByteArray bytes = distinctJpeg(base, stored++);
            const QString hex =
                QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
            const QString file = hex.left(2) + QLatin1Char('/') + hex + QStringLiteral(".jpg");
            PhotoFiles::storeBytes(file, bytes);
            q.addBindValue(child);
            q.addBindValue(int(DiaryList::JournalEntries));
            q.addBindValue(uids.value(0));
            q.addBindValue(k);
            q.addBindValue(file);
            q.addBindValue(QStringLiteral("Photo %1.jpg").arg(stored));
            q.exec();
        }
    }
    tx.commit();
}

// Run in a process of its own: the Baby Book of a child with 2,000 journal entries and 500 photos
// (or as many as given, for a profiler's shorter run). The photos are stored as the diary stores
// them, one on every fourth entry, so the book reads them from the photo folder as it prints.
int babyBook(int entries, int photoCount) {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    Database::open();
    Database::exec(QStringLiteral(
        "INSERT INTO CHILD (FirstName, MiddleName, LastName, BirthDay, BDayMonth, BDateDay, BDayYear) VALUES "
        "('Book', 'Rose', 'Lee', 'Monday', '3', '15', '2024')"));
    seedJournal(QStringLiteral("Book"), entries);
    storeEntryPhotos(QStringLiteral("Book"), photo(1), photoCount, 4, 1);
    ChildRecords::setPicture(QStringLiteral("Book"), QStringLiteral("ChildInfo/Image1"), photo(2));
    // A camera photo of each skill and two of each birthday, as the parent chose them on the forms:
    // kept whole, about 14 MB each.
    const QByteArray camera = photo(5, QSize(4000, 3000), 100);
    int chosen = 0;
    for (const char* image : {"Image1", "Image2", "Image3", "Image16", "Image17", "Image18", "Image19"})
        ChildRecords::setPicture(QStringLiteral("Book"),
                                 MilestoneSheets::skillsPictureKey(QLatin1String(image)),
                                 distinctJpeg(camera, ++chosen));
    for (const QString& title : MilestoneSheets::birthdayTitles())
        for (int n = 1; n <= 2; ++n)
            ChildRecords::setPicture(QStringLiteral("Book"), MilestoneSheets::birthdayPictureKey(title, n),
                                     distinctJpeg(camera, ++chosen));
    Entries().freshStart(QStringLiteral("Book"));
    const double before = peakMemoryMb();
    int pages = 0;
    const double cpuBefore = cpuMs();
    const double ms = timeMs([&] {
        ReportDocument doc = ReportRegistry::build(ReportCatalog::BabyBook, QStringLiteral("Book"));
        ReportOutput::Job job{ReportCatalog::BabyBook, QStringLiteral("Book"),
                              std::make_shared<PageRenderer>(std::move(doc), QPageSize::A4)};
        ReportOutput::writePdf(dir.path() + QStringLiteral("/book.pdf"), job);
        pages = job.pages->pageCount();
    });
    const double cpu = cpuMs() - cpuBefore;
    std::printf(
        "%s\n",
        qPrintable(
            QStringLiteral("%1 %2 %3 %4 %5").arg(ms).arg(pages).arg(before).arg(peakMemoryMb()).arg(cpu)));
    Entries().release();
    Database::close();
    return 0;
}

// Runs this program with `mode` and returns the figures it printed on its last line.
QStringList ownProcess(const QString& mode, const QString& argument = QString()) {
    QProcess p;
    QStringList args{mode};
    if (!argument.isEmpty())
        args << argument;
    p.start(QCoreApplication::applicationFilePath(), args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return {};
    const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
    return QString::fromUtf8(lines.last()).split(QLatin1Char(' '));
}

// Run in a process of its own (so its peak memory is its own): a journal of 1,000 entries with two
// photos each opened, a 12 MB photo added to a new entry, and the timeline of 2,000 entries with a
// photo each scrolled from top to bottom.
int photoBench() {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    Database::open();
    const QString photos = QStringLiteral("Photos"), album = QStringLiteral("Album"),
                  other = QStringLiteral("Other");
    for (const QString& child : {photos, album, other})
        Database::exec(QStringLiteral("INSERT INTO CHILD (FirstName) VALUES (?)"), {child});
    Database::exec(QStringLiteral("UPDATE PREVIOUS SET FirstName = ?"),
                   {photos}); // no child to pick at start
    const QByteArray base = photo(3, QSize(1024, 768));
    seedJournal(photos, 1000);
    storeEntryPhotos(photos, base, 2000, 1, 2);
    seedJournal(album, 2000);
    storeEntryPhotos(album, base, 2000, 1, 1); // the same 2,000 files, one on each entry

    QTimer closer; // a message that would stop the benchmark is answered at once
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
    closer.start(20);
    CreateForms();
    MainWindow->show();
    (void)QTest::qWaitFor([] { return MainWindow->startupCheckDone(); }, 5000);

    std::vector<double> journal;
    for (int i = 0; i < 7; ++i) {
        MainWindow->makeChildActive(other);
        MainWindow->makeChildActive(photos);
        journal.push_back(showFormMs(Journal));
    }

    // A camera-sized photo of about 12 MB; each added photo has bytes of its own, as new photos do.
    const QByteArray big = photo(4, QSize(4000, 3000), 100);
    std::vector<double> adds;
    for (int i = 0; i < 5; ++i) {
        const QString path = dir.filePath(QStringLiteral("big-%1.jpg").arg(i));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(distinctJpeg(big, i)) <= 0)
            return 1;
        file.close();
        adds.push_back(timeMs([&] { NewEntry->addPhotoFiles({path}); }));
    }

    // The album's timeline scrolled from top to bottom a page at a time; the milliseconds a page.
    int rows = 0;
    auto scrollTimeline = [&] {
        MainWindow->makeChildActive(album);
        Timeline->show();
        QCoreApplication::processEvents();
        auto* list = Timeline->findChild<QListView*>(QStringLiteral("TimelineList"));
        rows = list->model()->rowCount();
        int steps = 0;
        const double ms = timeMs([&] {
            QScrollBar* bar = list->verticalScrollBar();
            for (int value = 0; value <= bar->maximum(); value += bar->pageStep(), ++steps) {
                bar->setValue(value);
                list->viewport()->repaint();
            }
        });
        Timeline->close();
        return steps > 0 ? ms / steps : 0;
    };
    const double before = peakMemoryMb();
    const double pageMs = scrollTimeline();
    const double peak = peakMemoryMb();
    // A later session: the forms made afresh, the thumbnails read from where they were kept.
    DestroyForms();
    QPixmapCache::clear();
    CreateForms();
    MainWindow->show();
    const double laterPageMs = scrollTimeline();
    std::printf("%s\n", qPrintable(QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                                       .arg(median(journal))
                                       .arg(median(adds))
                                       .arg(double(big.size()) / (1024 * 1024))
                                       .arg(before)
                                       .arg(peak)
                                       .arg(pageMs)
                                       .arg(rows)
                                       .arg(laterPageMs)));
    DestroyForms();
    Entries().release();
    Database::close();
    return 0;
}

void measurePhotos() {
    const QStringList f = ownProcess(QStringLiteral("--photos"));
    if (f.size() < 7) {
        std::printf("the photo benchmark did not finish\n");
        return;
    }
    const double journal = f[0].toDouble(), add = f[1].toDouble(), peak = f[4].toDouble();
    report("open the journal, 1,000 entries, 2,000 photos", journal, 0, "< 100 ms", journal < 100);
    const QByteArray what =
        QStringLiteral("add a %1 MB photo to a new entry").arg(f[2].toDouble(), 0, 'f', 1).toUtf8();
    report(what.constData(), add, 0, "< 500 ms", add < 500);
    report("timeline of 2,000 photos, one page scrolled", f[5].toDouble(), 0, "(no target)", true);
    if (f.size() > 7)
        report("  the same in a later session (kept thumbnails)", f[7].toDouble(), 0, "(no target)", true);
    std::printf(
        "  peak memory scrolling it through %s items: %.0f MB (%.0f MB before)   target < 300 MB   %s\n",
        qPrintable(f[6]), peak, f[3].toDouble(), peak < 300 ? "met" : "MISSED");
}

void measureLongReports() {
    for (int entries : {20000, 100000}) {
        const QStringList f = ownProcess(QStringLiteral("--journal-report"), QString::number(entries));
        if (f.size() < 5) {
            std::printf("journal report of %d entries did not finish\n", entries);
            continue;
        }
        const QByteArray what = QStringLiteral("%1-entry journal report to PDF (%2 pages)")
                                    .arg(QLocale(QLocale::English).toString(entries))
                                    .arg(f[2])
                                    .toUtf8();
        report(what.constData(), f[0].toDouble(), 0, "(no target)", true);
        report("  its preview's first page", f[1].toDouble(), 0, "< 300 ms", f[1].toDouble() < 300);
        std::printf("  peak memory %.0f MB (%.0f MB before the report)\n", f[4].toDouble(), f[3].toDouble());
    }
    const QStringList b = ownProcess(QStringLiteral("--baby-book"));
    if (b.size() < 5) {
        std::printf("the Baby Book did not finish\n");
        return;
    }
    const double ms = b[0].toDouble(), peak = b[3].toDouble();
    const QByteArray what =
        QStringLiteral("Baby Book, 2,000 entries, 500 photos (%1 pages)").arg(b[1]).toUtf8();
    report(what.constData(), ms, 0, "< 10,000 ms", ms < 10000);
    report("  its processor time", b[4].toDouble(), 0, "< 10,000 ms", b[4].toDouble() < 10000);
    std::printf("  peak memory %.0f MB (%.0f MB before the book)   target < 500 MB   %s\n", peak,
                b[2].toDouble(), peak < 500 ? "met" : "MISSED");
}

// A main window that says when it is first painted, then ends.
class PaintedWindow : public QMainWindow {
protected:
    void paintEvent(QPaintEvent* event) override {
        QMainWindow::paintEvent(event);
        std::fputs("painted\n", stdout);
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }
};

// The same with what any program's window shows: a menu bar and a line of text. Text needs the
// fonts found and measured, which a bare window never does; it shows what that alone costs.
class TextWindow : public PaintedWindow {
public:
    TextWindow() {
        for (const char* caption : {"&Prenatal", "&Child", "&Health", "&Help"})
            menuBar()->addMenu(QString::fromLatin1(caption));
        setCentralWidget(new QLabel(QStringLiteral("Tinyra"), this));
    }
};

// A window of the main window's shape, made the plain Qt way and reading no book: the same menus
// with as many items, a tool bar of eleven buttons with the same pictures (SVG icons), a picture of
// the same size and a panel of a name, an age and a few lines of text with two buttons. What
// Tinyra's start-up takes beyond this is its own.
class ShapedWindow : public PaintedWindow {
public:
    ShapedWindow() {
        const struct {
            const char* caption;
            int items;
        } menus[] = {{"&Prenatal", 2},       {"&Child", 7},      {"&Health", 3},
                     {"&Firsts", 2},         {"&Birthdays", 17}, {"&Holidays", 6},
                     {"&Special Events", 4}, {"&Reports", 8},    {"&Help", 5}};
        for (const auto& m : menus) {
            QMenu* menu = menuBar()->addMenu(QString::fromLatin1(m.caption));
            for (int i = 0; i < m.items; ++i)
                menu->addAction(QStringLiteral("&Item %1").arg(i + 1));
        }
        auto* central = new QWidget(this);
        auto* bar = new QFrame(central);
        bar->setFrameShape(QFrame::StyledPanel);
        bar->setFixedHeight(89);
        auto* tools = new QHBoxLayout(bar);
        for (const char* icon :
             {"baby-carriage", "abc", "user-heart", "hierarchy-2", "stethoscope", "ruler-measure", "cake",
              "christmas-tree", "notebook", "timeline", "help-circle"}) {
            auto* button = new QToolButton(bar);
            button->setIcon(
                QIcon(QStringLiteral(":/assets/third_party/tabler/%1.svg").arg(QLatin1String(icon))));
            button->setIconSize(QSize(40, 40));
            button->setFixedSize(57, 57);
            button->setAutoRaise(true);
            button->setToolTip(QString::fromLatin1(icon));
            tools->addWidget(button);
        }
        tools->addStretch();
        QPixmap picture(669, 561);
        {
            QPainter p(&picture);
            QLinearGradient sky(0, 0, 0, picture.height());
            sky.setColorAt(0, QColor(0x1f, 0x2f, 0x6b));
            sky.setColorAt(1, QColor(0xf6, 0xc9, 0xd8));
            p.fillRect(picture.rect(), sky);
        }
        auto* image = new QLabel(central);
        image->setPixmap(picture);
        auto* panel = new QFrame(central);
        panel->setFrameShape(QFrame::StyledPanel);
        auto* lines = new QVBoxLayout(panel);
        auto* name = new QLabel(QStringLiteral("Ann Rose Lee"), panel);
        QFont big = name->font();
        big.setPointSize(20);
        big.setBold(true);
        name->setFont(big);
        lines->addWidget(name);
        for (const char* text :
             {"2 years and 3 months old", "Her 3rd birthday is in 9 months", "Latest entries",
              "05-01-24 Park", "04-28-24 First word", "04-20-24 Doctor visit"})
            lines->addWidget(new QLabel(QString::fromLatin1(text), panel));
        lines->addStretch(1);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(new QPushButton(QStringLiteral("New Journal Entry"), panel));
        buttons->addWidget(new QPushButton(QStringLiteral("Add Photos..."), panel));
        lines->addLayout(buttons);
        auto* below = new QHBoxLayout;
        below->addWidget(image, 0, Qt::AlignTop);
        below->addWidget(panel, 1);
        auto* layout = new QVBoxLayout(central);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(bar);
        layout->addLayout(below, 1);
        setCentralWidget(central);
        setWindowTitle(QStringLiteral("Tinyra 4.2 - Ann"));
    }
};

enum class Floor { Bare, Text, Shaped };

int bareWindow(int argc, char** argv, Floor floor) {
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> w;
    if (floor == Floor::Shaped) {
        w = std::make_unique<ShapedWindow>();
        w->showMaximized();
        return QApplication::exec();
    }
    if (floor == Floor::Text)
        w = std::make_unique<TextWindow>();
    else
        w = std::make_unique<BareWindow>();
    w->resize(800, 600);
    w->show();
    return QApplication::exec();
}
} // namespace

// One run of the program with `args` on the book under `home`, in a process of its own: its time, its
// peak memory (its own, from wait4) and whether it ended well.
struct Run {
    double ms = -1;
    double peakMb = -1;
    bool ok = false;
};

Run runProgram(const QString& program, const QStringList& args, const QString& home) {
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& a : args)
        words.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    const QByteArray dataHome = QFile::encodeName(home);
    QElapsedTimer t;
    t.start();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_DATA_HOME", dataHome.constData(), 1);
        // What the program says on the way is not a figure.
        freopen("/dev/null", "w", stderr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    Run run;
    int status = 0;
    rusage usage{};
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        run.ms = double(t.nsecsElapsed()) / 1e6;
        run.peakMb = double(usage.ru_maxrss) / 1024.0;
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return run;
}

// The family album of a book of 2,000 journal entries and 500 camera-sized photos (12 megapixels,
// one on every fourth entry), published by the program from its command line in a process of its
// own: the first publishing, then again with nothing changed, each with its own peak memory.
void measureAlbum(const QString& program) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    std::printf("\nSeeding 2,000 journal entries and 500 camera photos of 12 megapixels...\n");
    Database::open();
    Database::exec(QStringLiteral("INSERT INTO CHILD (FirstName, BDayMonth, BDateDay, BDayYear, Sex) VALUES "
                                  "('Album', '3', '15', '2024', 'Girl')"));
    seedJournal(QStringLiteral("Album"), 2000);
    storeEntryPhotos(QStringLiteral("Album"), photo(6, QSize(4000, 3000), 90), 500, 4, 1);
    Database::close();
    qputenv("XDG_DATA_HOME", oldHome);
    const QString folder = home.path() + QStringLiteral("/album");
    const Run first = runProgram(program, {QStringLiteral("--album"), folder}, home.path());
    const Run again = runProgram(program, {QStringLiteral("--album"), folder}, home.path());
    if (!first.ok || !again.ok) {
        std::printf("the album was not published\n");
        return;
    }
    report("publish the album, 2,000 entries, 500 photos", first.ms, 0, "< 30 s", first.ms < 30000);
    std::printf("  its peak memory %.0f MB   target < 300 MB   %s\n", first.peakMb,
                first.peakMb < 300 ? "met" : "MISSED");
    report("publish it again, nothing changed", again.ms, 0, "< 2 s", again.ms < 2000);
    std::printf("  its peak memory %.0f MB   target < 300 MB   %s\n", again.peakMb,
                again.peakMb < 300 ? "met" : "MISSED");
}

// The book grown to 100,000 diary entries and 1 GB of photos, exported by the program from its
// command line, with the export's own peak memory: first with the photos inside the store, as a store
// of an earlier version keeps them (the export's open moves them to the photo folder first, one at a
// time), then again with the photos in the folder.
void measureExport(const QString& program, const QString& home) {
    Database::open();
    std::printf("\nSeeding 40,000 more entries and 1 GB of photos (250 of 4 MB)...\n");
    {
        Transaction tx;
        QSqlQuery q(Database::db());
        q.prepare(
            QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES (?, 2, ?, ?, ?)"));
        for (int i = 0; i < 40000; ++i) {
            q.addBindValue(kLight);
            q.addBindValue(QStringLiteral("01-02-03"));
            q.addBindValue(QStringLiteral("Entry %1").arg(i));
            q.addBindValue(QStringLiteral("A day like any other, with a walk and a nap and a song."));
            q.exec();
        }
        QByteArray photo(4 * 1024 * 1024, Qt::Uninitialized);
        q.prepare(QStringLiteral("INSERT INTO PICTURES (child, picture, data) VALUES (?, ?, ?)"));
        for (int i = 0; i < 250; ++i) {
            QRandomGenerator(i).fillRange(reinterpret_cast<quint32*>(photo.data()), photo.size() / 4);
            q.addBindValue(i % 2 ? kHeavy : kLight);
            q.addBindValue(QStringLiteral("Photo %1").arg(i));
            q.addBindValue(photo);
            q.exec();
        }
        tx.commit();
    }
    QSqlQuery count = Database::exec(QStringLiteral("SELECT count(*) FROM ENTRIES"));
    count.next();
    const qint64 entries = count.value(0).toLongLong();
    count.finish();
    Database::close();
    const QString file = QDir(home).filePath(QStringLiteral("book.zip"));
    for (const char* where : {"the store", "the folder"}) {
        const Run run = runProgram(program, {QStringLiteral("--export"), file}, home);
        const bool written = run.ok && QFileInfo(file).size() > 1000ll * 1000 * 1000;
        char what[80];
        std::snprintf(what, sizeof what, "export %lld entries, photos in %s", entries, where);
        report(what, run.ms, 0, "(no time target)", written);
        std::printf("%-44s %9.1f MB   %-33s target %-22s %s\n", "  peak memory of the export", run.peakMb, "",
                    "< 300 MB", written && run.peakMb < 300 ? "met" : "MISSED");
        QFile::remove(file);
    }
}

// The heavy book with 2,000 journal photos shared by the program from its command line, and joined by
// a second computer's empty book; then 10,000 entries edited on the first, written to the folder and
// taken in by the second; then one edit. Each is a whole `tinyra --share` or `--sync` process, with
// its peak memory.
void measureSharing(const QString& program, const QString& home) {
    Database::open();
    std::printf("Adding 2,000 photos to the heavy child's journal...\n");
    storeEntryPhotos(kHeavy, photo(7, QSize(640, 480)), 2000, 3, 1);
    Database::close();
    QTemporaryDir shared, second;
    const auto step = [&](const char* what, const QStringList& args, const QString& where, double targetMs,
                          const char* target) {
        const Run run = runProgram(program, args, where);
        report(what, run.ms, 0, target, run.ok && (targetMs <= 0 || run.ms < targetMs));
        std::printf("%-44s %9.1f MB   %-33s target %-22s %s\n", "  its peak memory", run.peakMb, "",
                    "< 200 MB", run.ok && run.peakMb < 200 ? "met" : "MISSED");
        return run.ok;
    };
    const QString folder = shared.path();
    if (!step("share 65,000 records and 2,000 photos", {QStringLiteral("--share"), folder}, home, 0,
              "(no time target)") ||
        !step("join them on a second computer", {QStringLiteral("--share"), folder}, second.path(), 30000,
              "< 30,000 ms"))
        return;
    Database::open();
    Database::exec(QStringLiteral("UPDATE ENTRIES SET Title = Title || ' (read again)' WHERE seq IN "
                                  "(SELECT seq FROM ENTRIES WHERE child = ? AND list = 2 LIMIT 10000)"),
                   {kHeavy});
    Database::close();
    step("write 10,000 changes to the folder", {QStringLiteral("--sync")}, home, 0, "(no time target)");
    step("take 10,000 changes from another computer", {QStringLiteral("--sync")}, second.path(), 2000,
         "< 2,000 ms");
    Database::open();
    Database::exec(QStringLiteral("UPDATE ENTRIES SET Title = 'One more' WHERE seq = (SELECT min(seq) FROM "
                                  "ENTRIES WHERE child = ?)"),
                   {kHeavy});
    Database::close();
    step("one change into the folder (a whole --sync)", {QStringLiteral("--sync")}, home, 1000, "< 1,000 ms");
}

// A stream of a book.json: a head, `blanks` spaces and a tail, which libzip compresses as it writes.
struct LongJson {
    QByteArray head, tail;
    zip_uint64_t blanks = 0;
    zip_uint64_t at = 0;
};

zip_int64_t readLongJson(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* j = static_cast<LongJson*>(state);
    const zip_uint64_t head = zip_uint64_t(j->head.size()), total = head + j->blanks + j->tail.size();
    switch (command) {
    case ZIP_SOURCE_OPEN:
        j->at = 0;
        return 0;
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_READ: {
        auto* out = static_cast<char*>(data);
        zip_uint64_t n = 0;
        while (n < length && j->at < total) {
            if (j->at < head) {
                out[n++] = j->head[qsizetype(j->at++)];
            } else if (j->at < head + j->blanks) {
                const zip_uint64_t run = std::min(length - n, head + j->blanks - j->at);
                std::memset(out + n, ' ', run);
                n += run;
                j->at += run;
            } else {
                out[n++] = j->tail[qsizetype(j->at++ - head - j->blanks)];
            }
        }
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_FREE, -1);
    default:
        return -1;
    }
}

// A book file whose book.json is 1 GiB (a child with a few entries, the rest blanks between its
// members) in a zip of about 1 MB, imported by the program from its command line into an empty book,
// with the import's own peak memory: it is read as a stream, or refused when the disk has not room.
void measureLongImport(const QString& program) {
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("long-book.zip"));
    QByteArray tail = "\"children\":[{\"child\":{\"FirstName\":\"Long\"},\"tables\":{\"ENTRIES\":[";
    for (int i = 0; i < 100; ++i)
        tail +=
            QStringLiteral("%1{\"list\":2,\"Date\":\"01-02-24\",\"Title\":\"Day %2\",\"Text\":\"A walk.\","
                           "\"uid\":\"%3\",\"changed\":\"2024-01-02T00:00:00.000Z\"}")
                .arg(i ? "," : "")
                .arg(i)
                .arg(i, 32, 16, QLatin1Char('0'))
                .toUtf8();
    tail += "]}}]}";
    LongJson json{"{\"format\":\"tinyra-book\",\"version\":2,", tail, 0};
    json.blanks = (1ull << 30) - zip_uint64_t(json.head.size() + json.tail.size());
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(file).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    const zip_int64_t index =
        za ? zip_file_add(za, "book.json", zip_source_function(za, readLongJson, &json), 0) : -1;
    if (index < 0 || zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, 9) != 0 ||
        zip_close(za) != 0) {
        std::printf("the long book file could not be written\n");
        return;
    }
    const double zipMb = double(QFileInfo(file).size()) / 1e6;
    const Run run = runProgram(program, {QStringLiteral("--import"), file}, home.path());
    const QByteArray what =
        QStringLiteral("import a 1 GiB book.json in a %1 MB zip").arg(zipMb, 0, 'f', 1).toUtf8();
    report(what.constData(), run.ms, 0, "(no time target)", run.ms >= 0);
    std::printf("%-44s %9.1f MB   %-33s target %-22s %s\n",
                run.ok ? "  peak memory of the import (read through)"
                       : "  peak memory of the import (refused)",
                run.peakMb, "", "< 300 MB", run.ms >= 0 && run.peakMb < 300 ? "met" : "MISSED");
}

int main(int argc, char** argv) {
    // The offscreen platform warns about every window it shows; the figures are what matters here.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    });
    if (argc > 1 && qstrcmp(argv[1], "--bare-window") == 0)
        return bareWindow(argc, argv, Floor::Bare);
    if (argc > 1 && qstrcmp(argv[1], "--text-window") == 0)
        return bareWindow(argc, argv, Floor::Text);
    if (argc > 1 && qstrcmp(argv[1], "--shaped-window") == 0)
        return bareWindow(argc, argv, Floor::Shaped);

    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "--journal-report") == 0)
        return journalReport(QByteArray(argv[2]).toInt());
    if (argc > 1 && qstrcmp(argv[1], "--baby-book") == 0)
        return babyBook(argc > 3 ? QByteArray(argv[2]).toInt() : 2000,
                        argc > 3 ? QByteArray(argv[3]).toInt() : 500);
    if (argc > 1 && qstrcmp(argv[1], "--reports") == 0) {
        measureLongReports();
        return 0;
    }
    if (argc > 1 && qstrcmp(argv[1], "--photos") == 0) // run in its own process by measurePhotos()
        return photoBench();
    if (argc > 1 && qstrcmp(argv[1], "--album") == 0) { // only the family album's figures
        measureAlbum(QStringLiteral(TINYRA_PROGRAM));
        return 0;
    }
    if (argc > 1 && qstrcmp(argv[1], "--photo-figures") == 0) { // only the photo figures
        measurePhotos();
        return 0;
    }
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    Database::open();
    // A family's usual book, one child with a few entries, copied aside before the heavy child is
    // added: start-up is measured on both.
    QTemporaryDir lightDir;
    QDir().mkpath(lightDir.path() + QStringLiteral("/Tinyra4"));
    Database::exec(QStringLiteral("INSERT INTO CHILD (FirstName) VALUES ('Ann')"));
    Database::exec(QStringLiteral("UPDATE PREVIOUS SET FirstName = 'Ann'"));
    Database::exec(
        QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES ('Ann', 2, '05-01-24', "
                       "'Park', 'Ducks.')"));
    Database::exec(QStringLiteral("VACUUM INTO ?"),
                   {lightDir.path() + QStringLiteral("/Tinyra4/tinyra4.sqlite")});
    Database::exec(QStringLiteral("DELETE FROM ENTRIES"));
    Database::exec(QStringLiteral("DELETE FROM CHILD"));
    std::printf("Seeding a heavy child (6 x 10,000 diary entries, 5,000 growth records)...\n");
    seed();
    std::printf("\n");
    if (argc > 2 && qstrcmp(argv[1], "--seed") == 0) { // only the heavy book, left in a folder for a profiler
        const QString file = Database::filePath();
        Database::close();
        const QString target = QString::fromLocal8Bit(argv[2]) + QStringLiteral("/Tinyra4");
        QDir().mkpath(target);
        return QFile::copy(file, target + QStringLiteral("/tinyra4.sqlite")) ? 0 : 1;
    }
    if (argc > 1 && qstrcmp(argv[1], "--sharing") == 0) { // only the shared folder figures
        Database::close();
        measureSharing(QStringLiteral(TINYRA_PROGRAM), dir.path());
        return 0;
    }
    if (argc > 1 && qstrcmp(argv[1], "--export") == 0) { // only the book file figures
        Database::close();
        measureExport(QStringLiteral(TINYRA_PROGRAM), dir.path());
        measureLongImport(QStringLiteral(TINYRA_PROGRAM));
        return 0;
    }

    if (argc > 1 && qstrcmp(argv[1], "--forms") == 0) { // only the forms' first showings and openings
        measureFirstShowings();
        measureForms(dir.path());
        Entries().release();
        Database::close();
        return 0;
    }

    // Append one diary entry with its store write; floor: one raw SQLite insert and commit of the row.
    Entries().freshStart(kLight);
    const auto entry = std::make_shared<DiaryType>(DiaryType{
        QStringLiteral("03-15-97"), QStringLiteral("First steps"), QStringLiteral("Across the kitchen!")});
    const double append = median(repeat(201, [&] { Entries().append(DiaryList::JournalEntries, entry); }));
    sqlite3* raw = nullptr;
    sqlite3_open(qPrintable(Database::filePath()), &raw);
    // The store's triggers stamp every field for sharing, as they do for the program's own writes.
    Clock::registerOn(raw);
    // The same durability as the store: every commit reaches the disk before it returns.
    sqlite3_exec(raw, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES (?, 2, ?, ?, ?)", -1,
                       &st, nullptr);
    const double rawInsert = median(repeat(201, [&] {
        sqlite3_bind_text(st, 1, "Light", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 2, "03-15-97", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 3, "First steps", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 4, "Across the kitchen!", -1, SQLITE_STATIC);
        sqlite3_step(st);
        sqlite3_reset(st);
    }));
    sqlite3_finalize(st);
    sqlite3_close(raw);

    // A child switch to the heavy child (its slots load at once, each list on first use), and the
    // same switch followed by the first use of all seven lists.
    std::vector<double> switches, fullLoads, journalLoads;
    for (int i = 0; i < 9; ++i) {
        Entries().childSwitch(kLight);
        switches.push_back(timeMs([] { Entries().childSwitch(kHeavy); }));
        journalLoads.push_back(timeMs([] { Entries().count(DiaryList::JournalEntries); }));
        Entries().childSwitch(kLight);
        fullLoads.push_back(timeMs([] {
            Entries().childSwitch(kHeavy);
            for (DiaryList l :
                 {DiaryList::PrenatalDiary, DiaryList::PrenatalMedicalDiary, DiaryList::JournalEntries,
                  DiaryList::WordEntries, DiaryList::DoctorVisits, DiaryList::ChildhoodDiseases})
                Entries().count(l);
            Entries().growthCount();
        }));
    }
    const double heavySwitch = median(switches), fullLoad = median(fullLoads),
                 journalLoad = median(journalLoads);
    Entries().release();

    // Start-up to the main window painted, on the heavy child; floor: a bare Qt Widgets window process.
    const QString self = QCoreApplication::applicationFilePath();
    // TINYRA_BENCH_PROGRAM names another build of the program to start (to compare before and after).
    const QString program = qEnvironmentVariableIsSet("TINYRA_BENCH_PROGRAM")
                                ? qEnvironmentVariable("TINYRA_BENCH_PROGRAM")
                                : QStringLiteral(TINYRA_PROGRAM);
    std::vector<double> starts, lightStarts, floors, textFloors, shapedFloors;
    for (int i = 0; i < 9; ++i) {
        floors.push_back(processMs(self, {QStringLiteral("--bare-window")}, dir.path()));
        textFloors.push_back(processMs(self, {QStringLiteral("--text-window")}, dir.path()));
        shapedFloors.push_back(processMs(self, {QStringLiteral("--shaped-window")}, dir.path()));
        starts.push_back(processMs(program, {}, dir.path()));
        lightStarts.push_back(processMs(program, {}, lightDir.path()));
    }
    const double start = median(starts), lightStart = median(lightStarts), shaped = median(shapedFloors);
    Database::open();

    // The floor: a window of the same shape (menus, tool bar, picture and text) that reads no book.
    report("start-up to main window painted", start, shaped, "<= 1.3 x floor", start <= 1.3 * shaped);
    report("  the same on a one-child book", lightStart, shaped, "<= 1.15 x floor",
           lightStart <= 1.15 * shaped);
    // For comparison only: a bare window, and one with a menu bar and a line of text.
    const double bareFloor = median(floors), textFloor = median(textFloors);
    report("  the same-shaped window, against a bare one", shaped, bareFloor, "(no target)", true);
    report("  a window with menus and text, against a bare one", textFloor, bareFloor, "(no target)", true);
    if (argc > 1 && qstrcmp(argv[1], "--startup") == 0) // only the start-up figure
        return 0;
    report("append one diary entry (stored)", append, rawInsert, "<= 2 x floor, < 2 ms",
           append <= 2 * rawInsert && append < 2.0);
    report("child switch to the heavy child", heavySwitch, 0, "< 100 ms", heavySwitch < 100);
    report("  first use of its journal (10,000 entries)", journalLoad, 0, "< 50 ms", journalLoad < 50);
    report("  switch and first use of all 65,000 entries", fullLoad, 0, "< 100 ms", fullLoad < 100);
    measureFirstShowings();
    measureForms(dir.path());
    Entries().release();
    measureLongReports();
    measurePhotos();
    Database::close();
    measureSharing(program, dir.path());
    measureExport(program, dir.path());
    measureLongImport(program);
    measureAlbum(program);
    return 0;
}
