// The family album in a real browser: Debian's chromium, headless, loads the index, a moments page
// and the growth page from the disk at a phone's and a desktop's size. Each page must fit the width
// (no sideways scrolling) and show every picture. The screenshots are kept beside the test program.
// Where chromium cannot be run, the test says so and is reported as skipped.
#include "AlbumBook.h"

#include "core/album/Album.h"
#include "ui/common/AlbumDrawing.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kOut = QStringLiteral(ALBUM_BROWSER_OUT);

// A page that loads `page` in a frame of the size asked (headless windows are at least 500 pixels
// wide, a phone is narrower), waits for every picture (lazy ones made
// eager) and writes what it measured into its own DOM, for --dump-dom.
const char* const kCheck = R"html(<!DOCTYPE html><html><body style="margin:0;background:#888">
<iframe id="f" src="%1" style="display:block;width:%2px;height:%3px;border:0"></iframe>
<pre id="result" style="display:none">pending</pre>
<script>
document.getElementById('f').addEventListener('load', async () => {
  const w = document.getElementById('f').contentWindow, d = w.document;
  const imgs = [...d.images];
  imgs.forEach(i => { i.loading = 'eager'; });
  await Promise.all(imgs.map(i => i.complete ? null : new Promise(r => { i.onload = i.onerror = r; })));
  document.getElementById('result').textContent = JSON.stringify({
    width: d.documentElement.scrollWidth, viewport: w.innerWidth, images: imgs.length,
    broken: imgs.filter(i => !(i.naturalWidth > 0)).map(i => i.getAttribute('src'))});
});
</script></body></html>)html";
} // namespace

class AlbumBrowserTest : public QObject {
    Q_OBJECT
    QString m_chromium;
    std::unique_ptr<TempStore> m_store;
    QTemporaryDir m_photos;

    QProcess* chromium(const QStringList& args) {
        auto* p = new QProcess(this);
        p->start(m_chromium, QStringList{"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                                         "--no-first-run", "--user-data-dir=" + kOut + "/profile"} +
                                 args);
        return p;
    }

private slots:
    void initTestCase() {
        m_chromium = QStandardPaths::findExecutable("chromium");
        QProcess* probe = m_chromium.isEmpty() ? nullptr : chromium({"--dump-dom", "about:blank"});
        if (!probe || !probe->waitForFinished(90000) || !probe->readAllStandardOutput().contains("<html"))
            QSKIP("Chromium cannot be run here");
        QDir(kOut).removeRecursively();
        m_store = std::make_unique<TempStore>();
        QVERIFY(m_photos.isValid());
        fillAlbumBook(m_photos.path());
        const Album::Result r = Album::publish(kOut + "/album", {}, AlbumDrawing(), {}, kAlbumToday);
        QVERIFY2(r.problem.isEmpty(), qPrintable(r.problem));
    }
    void cleanupTestCase() {
        Entries().release();
        m_store.reset();
    }

    void pagesFitAndShowEveryPicture_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QSize>("window");
        const QString ann = Album::childFolder("Ann");
        for (const QSize size : {QSize(390, 844), QSize(1366, 768)})
            for (const QString& page :
                 {QStringLiteral("index.html"), ann + "/moments.html", ann + "/growth.html"})
                QTest::addRow("%s at %d", qPrintable(page), size.width()) << page << size;
    }
    void pagesFitAndShowEveryPicture() {
        QFETCH(QString, page);
        QFETCH(QSize, window);
        const QString url = QUrl::fromLocalFile(kOut + "/album/" + page).toString();
        const QString size =
            QStringLiteral("--window-size=%1,%2").arg(qMax(500, window.width())).arg(window.height());
        const QString name = QFileInfo(page).baseName() + QStringLiteral("-%1").arg(window.width());

        QFile check(kOut + "/check-" + name + ".html");
        QVERIFY(check.open(QIODevice::WriteOnly));
        check.write(QString::fromLatin1(kCheck).arg(url).arg(window.width()).arg(window.height()).toUtf8());
        check.close();
        const QString checkUrl = QUrl::fromLocalFile(check.fileName()).toString();
        const QStringList common{size, "--allow-file-access-from-files", "--virtual-time-budget=20000"};
        QProcess* measure = chromium(common + QStringList{"--dump-dom", checkUrl});
        QVERIFY(measure->waitForFinished(120000));
        const QString dom = QString::fromUtf8(measure->readAllStandardOutput());
        const auto found = QRegularExpression(R"(<pre id="result"[^>]*>(\{.*\})</pre>)").match(dom);
        QVERIFY2(found.hasMatch(), qPrintable(dom.right(2000)));
        const QJsonObject result = QJsonDocument::fromJson(found.captured(1).toUtf8()).object();
        QCOMPARE(result["viewport"].toInt(), window.width());
        QCOMPARE(result["width"].toInt(), window.width());
        QVERIFY(result["images"].toInt() > 0);
        QVERIFY2(result["broken"].toArray().isEmpty(), qPrintable(found.captured(1)));

        QProcess* shot =
            chromium(common + QStringList{"--screenshot=" + kOut + "/" + name + ".png", checkUrl});
        QVERIFY(shot->waitForFinished(120000));
        QVERIFY(QFileInfo(kOut + "/" + name + ".png").size() > 0);
    }
};

QTEST_MAIN(AlbumBrowserTest)
#include "tst_albumbrowser.moc"
