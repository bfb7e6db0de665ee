// The family album: what its pages hold and leave out, the photos' copies, publishing again, and the
// real program's --album with a link check and xmllint over what it wrote.
#include "AlbumBook.h"

#include "core/album/Album.h"
#include "ui/common/AlbumDrawing.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QStringList files(const QString& root, const QString& pattern) {
    QStringList out;
    QDirIterator it(root, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out;
}

// Where each text stands in the page; -1 when it is absent.
QVector<qsizetype> places(const QString& page, const QStringList& texts) {
    QVector<qsizetype> at;
    for (const QString& t : texts)
        at << page.indexOf(t);
    return at;
}
} // namespace

class AlbumTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_store = std::make_unique<TempStore>();
        QVERIFY(m_photos.isValid());
        fillAlbumBook(m_photos.path());
    }
    void cleanup() {
        Entries().release();
        m_store.reset();
    }

    void pagesHoldWhatTheParentChose() {
        QTemporaryDir out;
        const QString annDir = out.path() + "/" + Album::childFolder("Ann");
        Album::Choices choices;
        choices.children = {"Ann"};
        choices.leaveOutBirth = true;
        choices.leaveOutFamilyDates = true;
        const Album::Result r = Album::publish(out.path(), choices, AlbumDrawing(), {}, kAlbumToday);
        QVERIFY2(r.problem.isEmpty(), qPrintable(r.problem));

        // Newest first by month, the undated entry last; the doctor visit is left out by default.
        const QString moments = read(annDir + "/moments.html");
        const auto at =
            places(moments, {"<h2>March 2025</h2>", "Park day", "<h2>January 2025</h2>",
                             "&lt;script&gt;alert(1)&lt;/script&gt;", "<h2>Not dated</h2>", "Someday"});
        QVERIFY2(!at.contains(-1) && std::is_sorted(at.begin(), at.end()), qPrintable(moments));
        QVERIFY(!moments.contains("<script>"));
        QVERIFY(moments.contains("Snow &amp; ice"));
        QVERIFY(!moments.contains("Checkup"));
        QVERIFY(!QFile::exists(annDir + "/health.html"));
        QVERIFY(!QDir(out.path() + "/" + Album::childFolder("Ben")).exists());

        // The birth as month and year, no place; the family tree without its dates.
        const QString index = read(out.path() + "/index.html");
        QVERIFY2(index.contains("Born March 2024") && !index.contains("3 March 2024") &&
                     !index.contains("Springfield"),
                 qPrintable(index));
        const QString family = read(annDir + "/family.html");
        QVERIFY(family.contains("Mary Lee") && family.contains("Boston") && !family.contains("1990"));

        // The photo's copies: upright (stored wide, turned by its EXIF), with nothing of the EXIF.
        const QStringList pictures = files(out.path() + "/pictures", "*.jpg");
        QCOMPARE(pictures.size(), 4); // the park's and the birthday cake's, each large and small
        const QString celebrations = read(annDir + "/celebrations.html");
        QVERIFY(read(PhotoFiles::pathOf(Entries().at(DiaryList::JournalEntries, 1)->Photos[0].File))
                    .contains("Exif"));
        for (const QString& p : pictures) {
            QFile f(p);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            QVERIFY2(!bytes.contains("Exif") && !bytes.contains("\xff\xe1"), qPrintable(p));
            const QImage image = QImage::fromData(bytes);
            QVERIFY(image.height() > image.width());
            QVERIFY(qRed(image.pixel(image.width() / 2, 2)) > 200);
            const QString src = "../pictures/" + QFileInfo(p).fileName();
            QVERIFY(moments.contains(src) || celebrations.contains(src));
        }

        // The same book with everything in: the birth day and place, health, the family's dates.
        Album::Choices everything;
        everything.children = {"Ann"};
        everything.leaveOutHealth = false;
        everything.includeOriginals = true;
        const Album::Result all = Album::publish(out.path(), everything, AlbumDrawing(), {}, kAlbumToday);
        QVERIFY(all.problem.isEmpty());
        QVERIFY(read(annDir + "/moments.html").contains("Checkup"));
        QVERIFY(QFile::exists(annDir + "/health.html"));
        QVERIFY(read(out.path() + "/index.html").contains("Born 3 March 2024 in Springfield"));
        QVERIFY(read(annDir + "/family.html").contains("6 May 1990"));
        QCOMPARE(files(out.path() + "/originals", "*.jpg").size(), 2);
    }

    void publishingAgainWritesOnlyWhatChanged() {
        QTemporaryDir out;
        QFile foreign(out.path() + "/notes.txt");
        QVERIFY(foreign.open(QIODevice::WriteOnly) && foreign.write("mine") == 4);
        foreign.close();
        const Album::Result first = Album::publish(out.path(), {}, AlbumDrawing(), {}, kAlbumToday);
        QVERIFY(first.problem.isEmpty());
        QVERIFY(first.written > 10);
        const QStringList written = files(out.path(), "*");
        QHash<QString, QDateTime> times;
        for (const QString& f : written)
            times[f] = QFileInfo(f).lastModified();

        const Album::Result again = Album::publish(out.path(), {}, AlbumDrawing(), {}, kAlbumToday);
        QCOMPARE(again.written, 0);
        QCOMPARE(again.removed, 0);
        QCOMPARE(again.unchanged, first.written);
        for (const QString& f : written)
            QCOMPARE(QFileInfo(f).lastModified(), times[f]);

        // The entry with the photo goes: its page changes, its pictures go, the parent's file stays.
        Entries().removeAt(DiaryList::JournalEntries, 1);
        const Album::Result after = Album::publish(out.path(), {}, AlbumDrawing(), {}, kAlbumToday);
        QVERIFY(after.problem.isEmpty());
        QCOMPARE(after.removed, 2);
        QCOMPARE(files(out.path() + "/pictures", "*").size(), 2); // the birthday's stay
        QVERIFY(!read(out.path() + "/" + Album::childFolder("Ann") + "/moments.html").contains("Park day"));
        QCOMPARE(read(out.path() + "/notes.txt"), QStringLiteral("mine"));

        // A folder with a web page of its own is not overwritten.
        QTemporaryDir site;
        QFile page(site.path() + "/index.html");
        QVERIFY(page.open(QIODevice::WriteOnly) && page.write("<p>ours</p>") == 11);
        page.close();
        QVERIFY(!Album::publish(site.path(), {}, AlbumDrawing(), {}, kAlbumToday).problem.isEmpty());
        QCOMPARE(read(site.path() + "/index.html"), QStringLiteral("<p>ours</p>"));
    }

    void programWritesAnAlbumThatLinksAndParses() {
        QTemporaryDir out;
        m_store->close();
        auto run = [](const QStringList& args) {
            QProcess p;
            p.start(QStringLiteral(TINYRA_PROGRAM), args);
            return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QCOMPARE(run({"--album", out.path(), "--child", "Nobody"}), 1);
        QCOMPARE(run({"--child", "Ann"}), 2);
        QCOMPARE(run({"--album", out.path(), "--with-health", "--with-originals"}), 0);
        m_store->open();

        const QStringList pages = files(out.path(), "*.html");
        QCOMPARE(pages.size(), 13); // the index and six pages for each child
        const QString root = QDir(out.path()).canonicalPath() + "/";
        static const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
        int links = 0;
        for (const QString& page : pages) {
            const QString text = read(page);
            QVERIFY(text.contains("<meta name=\"robots\" content=\"noindex\">"));
            for (auto m = link.globalMatch(text); m.hasNext();) {
                const QString target = m.next().captured(1);
                if (target.startsWith('#'))
                    continue;
                const QString file = QFileInfo(QFileInfo(page).dir(), target).canonicalFilePath();
                QVERIFY2(file.startsWith(root), qPrintable(page + ": " + target));
                ++links;
            }
        }
        QVERIFY(links > 50);
        QProcess lint;
        lint.start("xmllint", QStringList{"--html", "--noout"} + pages);
        QVERIFY2(lint.waitForFinished(60000),
                 "xmllint (libxml2-utils) is needed: scripts/deps.sh installs it");
        const QString complaints =
            QString::fromUtf8(lint.readAllStandardError() + lint.readAllStandardOutput());
        QVERIFY2(lint.exitCode() == 0 && complaints.isEmpty(), qPrintable(complaints));
    }

private:
    std::unique_ptr<TempStore> m_store;
    QTemporaryDir m_photos;
};

QTEST_MAIN(AlbumTest)
#include "tst_album.moc"
