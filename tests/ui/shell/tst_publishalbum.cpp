// Child > Publish Album...: the choices (health left out at first), Help, publishing into a folder,
// "Open in Browser", and the choices offered again the next time.
#include "core/album/Album.h"
#include "support/AppFixture.h"
#include "support/HostStandIn.h"
#include "support/ModalDriver.h"
#include "support/RunCommand.h"
#include "ui/shell/TMainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class PublishAlbumTest : public QObject {
    Q_OBJECT
private slots:
    void publishFromTheChildMenu();
};

void PublishAlbumTest::publishFromTheChildMenu() {
    AppFixture app;
    TempStore::addChild(QStringLiteral("Ben"));
    HostStandIn host;
    OpenedUrls browser;
    QDesktopServices::setUrlHandler("file", &browser, "open");
    QTemporaryDir out;
    const QString folder = out.path() + "/album";

    bool healthAtFirst = false;
    ModalDriver publishing;
    publishing
        .expect("PublishAlbum",
                [&](QWidget* d) {
                    healthAtFirst = d->findChild<QCheckBox*>("LeaveOutHealth")->isChecked();
                    ModalDriver::click(d, "HelpBtn");
                    auto* children = d->findChild<QListWidget*>("ChildList");
                    children->findItems("Ben", Qt::MatchExactly).first()->setCheckState(Qt::Unchecked);
                    d->findChild<QCheckBox*>("LeaveOutBirth")->setChecked(true);
                    ModalDriver::type(d, "FolderEdit", folder);
                    ModalDriver::click(d, "PublishBtn");
                })
        .expect("AlbumDoneBox", [](QWidget* box) { ModalDriver::click(box, "OpenInBrowserBtn"); });
    RUN([] { MainWindow->findChild<QAction*>("PublishAlbum1")->trigger(); }, publishing);
    QVERIFY(healthAtFirst);
    QCOMPARE(host.topics, QList<int>{73});
    QVERIFY(QFile::exists(folder + "/index.html"));
    QVERIFY(QFile::exists(folder + "/" + Album::childFolder("Ann") + "/moments.html"));
    QVERIFY(!QDir(folder + "/" + Album::childFolder("Ben")).exists());
    QCOMPARE(browser.urls, QList<QUrl>{QUrl::fromLocalFile(folder + "/index.html")});
    QDesktopServices::unsetUrlHandler("file");

    // The next time the dialog offers what was chosen; Cancel changes nothing.
    QString shownFolder;
    bool benTicked = true, birthLeftOut = false;
    ModalDriver again;
    again.expect("PublishAlbum", [&](QWidget* d) {
        shownFolder = d->findChild<QLineEdit*>("FolderEdit")->text();
        benTicked = d->findChild<QListWidget*>("ChildList")
                        ->findItems("Ben", Qt::MatchExactly)
                        .first()
                        ->checkState() == Qt::Checked;
        birthLeftOut = d->findChild<QCheckBox*>("LeaveOutBirth")->isChecked();
        ModalDriver::click(d, "CancelBtn");
    });
    RUN([] { MainWindow->findChild<QAction*>("PublishAlbum1")->trigger(); }, again);
    QCOMPARE(shownFolder, QDir::toNativeSeparators(folder));
    QVERIFY(!benTicked);
    QVERIFY(birthLeftOut);
}

QTEST_MAIN(PublishAlbumTest)
#include "tst_publishalbum.moc"
