// The masked date box and the replaceable picture, through their real widgets.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/store/PhotoFiles.h"
#include "support/AppFixture.h"
#include "support/HostStandIn.h"
#include "support/ModalDriver.h"
#include "ui/common/Artwork.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/PictureFile.h"
#include "ui/common/ReplaceablePicture.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QBuffer>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void untouchedDateIsBlankPlaces();
    void typedDatesKeepTheirLayout();
    void editedDateMissingItsYearCannotBeLeft();
    void escapeAbandonsTheEdit();
    void slashMaskForThePrenatalSheet();
    void pictureIsStoredPerChildAndSurvivesARestart();
    void unreadablePictureChangesNothing();
    void largePhotosAreKeptWholeAndBombsRefused();
    void chooserProtocolHonoursCancel();
    void drawnPicturesAreDrawnOncePerBuild();
    void aPhotosThumbnailIsMadeOnceKeptOnDiskAndGoesWithThePhoto();
};

void ControlsTest::untouchedDateIsBlankPlaces() {
    MaskedDateEdit edit;
    QCOMPARE(edit.storedText(), QStringLiteral("  -  -  "));
    QVERIFY(edit.isLeavable());
    edit.setStoredText("  -  -  ");
    QCOMPARE(edit.storedText(), QStringLiteral("  -  -  "));
}

void ControlsTest::typedDatesKeepTheirLayout() {
    MaskedDateEdit edit;
    edit.show();
    edit.setFocus();
    edit.home(false);
    QTest::keyClicks(&edit, "031597");
    QCOMPARE(edit.storedText(), QStringLiteral("03-15-97"));
    QVERIFY(edit.isLeavable());
    // Stored texts with blanks come back as they were, not shifted left.
    edit.setStoredText(" 3- 5-97");
    QCOMPARE(edit.storedText(), QStringLiteral(" 3- 5-97"));
    edit.setStoredText("  -  -02");
    QCOMPARE(edit.storedText(), QStringLiteral("  -  -02"));
    QVERIFY(edit.isLeavable());
}

void ControlsTest::editedDateMissingItsYearCannotBeLeft() {
    QDialog dialog;
    auto* edit = new MaskedDateEdit(&dialog);
    auto* other = new QPushButton("other", &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(edit);
    layout->addWidget(other);
    dialog.show();
    dialog.activateWindow();
    edit->setFocus();
    edit->home(false);
    QTest::keyClicks(edit, "0315");
    QCOMPARE(edit->storedText(), QStringLiteral("03-15-  "));
    QVERIFY(!edit->isLeavable());

    ModalDriver driver;
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.start();
    QVERIFY(!edit->validate());
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(driver.messages(), QStringList{"Invalid input value.  Use escape key to abandon changes"});
    QTRY_VERIFY(edit->hasFocus());
    QCOMPARE(edit->storedText(), QStringLiteral("03-15-  ")); // what was typed stays
}

void ControlsTest::escapeAbandonsTheEdit() {
    QDialog dialog;
    auto* edit = new MaskedDateEdit(&dialog);
    (new QVBoxLayout(&dialog))->addWidget(edit);
    edit->setStoredText("01-02-03");
    dialog.show();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QVERIFY(!edit->isLeavable());
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(edit->storedText(), QStringLiteral("01-02-03"));
    QVERIFY(dialog.isVisible()); // the first Escape only abandons the edit
}

void ControlsTest::slashMaskForThePrenatalSheet() {
    MaskedDateEdit edit(nullptr, QLatin1Char('/'));
    QCOMPARE(edit.storedText(), QStringLiteral("  /  /  "));
    edit.setStoredText("12/25/99");
    QCOMPARE(edit.storedText(), QStringLiteral("12/25/99"));
}

namespace {
QString writeImage(const QString& dir, const QString& name, const char* format, QColor color) {
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(color);
    const QString path = dir + "/" + name;
    img.save(path, format);
    return path;
}

quint32 crc32(const QByteArray& data) {
    quint32 crc = 0xffffffffu;
    for (const char byte : data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(QByteArray& data, int at, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        data[at + i] = char((value >> (8 * (bytes - 1 - i))) & 0xff);
}

// A small picture file whose header declares `size`: a camera photo's header on a few bytes of
// data, or (for PNG, the header's checksum made right) a decompression bomb.
QString writeDeclaring(const QString& dir, const QString& name, const char* format, QSize size) {
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format);
    if (qstrcmp(format, "PNG") == 0) {
        const int ihdr = int(bytes.indexOf("IHDR"));
        putBigEndian(bytes, ihdr + 4, quint32(size.width()), 4);
        putBigEndian(bytes, ihdr + 8, quint32(size.height()), 4);
        putBigEndian(bytes, ihdr + 17, crc32(bytes.mid(ihdr, 17)), 4);
    } else { // JPEG: the frame header (SOF0) holds the height, then the width
        const int sof = int(bytes.indexOf("\xff\xc0"));
        putBigEndian(bytes, sof + 5, quint32(size.height()), 2);
        putBigEndian(bytes, sof + 7, quint32(size.width()), 2);
    }
    const QString path = dir + "/" + name;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}
} // namespace

void ControlsTest::largePhotosAreKeptWholeAndBombsRefused() {
    TempStore store;
    TempStore::addChild("Ann");
    QPixmap art(20, 20);
    art.fill(Qt::blue);
    ReplaceablePicture picture("Image1", "Test/Image1", art, nullptr);
    picture.resize(313, 233);
    picture.showFor("Ann");
    // The refusals of the two bombs below; a refused photo would take the first.
    ModalDriver driver;
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.start();

    // A 108-megapixel photo is taken, kept byte for byte and shown in its box.
    const QString photo = writeDeclaring(store.dataHome(), "photo.jpg", "JPG", QSize(12000, 9000));
    QVERIFY(picture.replaceFromFile(photo));
    QVERIFY(picture.isCustom());
    QFile original(photo);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(ChildRecords::picture("Ann", "Test/Image1"), original.readAll());
    QVERIFY(picture.pixmap().width() <= 313 && picture.pixmap().height() <= 233);
    picture.showFor("Ann");
    QVERIFY(picture.isCustom());
    QVERIFY(picture.pixmap().width() <= 313 && picture.pixmap().height() <= 233);

    // Files that declare billions of pixels are refused unread, whatever their format.
    QVERIFY(
        !picture.replaceFromFile(writeDeclaring(store.dataHome(), "bomb.png", "PNG", QSize(60000, 60000))));
    QVERIFY(
        !picture.replaceFromFile(writeDeclaring(store.dataHome(), "bomb.jpg", "JPG", QSize(65000, 65000))));
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY(driver.messages().at(0).contains("bomb.png"));
    QVERIFY(driver.messages().at(1).contains("bomb.jpg"));
    original.seek(0);
    QCOMPARE(ChildRecords::picture("Ann", "Test/Image1"), original.readAll());
}

void ControlsTest::pictureIsStoredPerChildAndSurvivesARestart() {
    TempStore store;
    TempStore::addChild("Ann");
    TempStore::addChild("Ben");
    QPixmap art(20, 20);
    art.fill(Qt::blue);
    auto picture = std::make_unique<ReplaceablePicture>("Image1", "Test/Image1", art, nullptr);
    picture->showFor("Ann");
    QVERIFY(!picture->isCustom());
    const QString bmp = writeImage(store.dataHome(), "red.bmp", "BMP", Qt::red);
    const QString jpg = writeImage(store.dataHome(), "green.jpg", "JPG", Qt::green);
    QVERIFY(picture->replaceFromFile(bmp));
    QCOMPARE(picture->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));

    picture->showFor("Ben");
    QVERIFY(!picture->isCustom());
    QCOMPARE(picture->pixmap().toImage().pixelColor(5, 5), QColor(Qt::blue));
    QVERIFY(picture->replaceFromFile(jpg));

    store.reopen();
    picture = std::make_unique<ReplaceablePicture>("Image1", "Test/Image1", art, nullptr);
    picture->showFor("Ann");
    QVERIFY(picture->isCustom());
    QCOMPARE(picture->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
    picture->showFor("Ben");
    QVERIFY(picture->isCustom());
    const QColor g = picture->pixmap().toImage().pixelColor(5, 5);
    QVERIFY2(g.green() > 200 && g.red() < 60, qPrintable(g.name()));
}

void ControlsTest::unreadablePictureChangesNothing() {
    TempStore store;
    TempStore::addChild("Ann");
    QPixmap art(20, 20);
    art.fill(Qt::blue);
    ReplaceablePicture picture("Image1", "Test/Image1", art, nullptr);
    picture.showFor("Ann");
    const QString bogus = store.dataHome() + "/not-a-picture.bmp";
    QFile f(bogus);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("this is text, not a bitmap");
    f.close();

    ModalDriver driver;
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.start();
    QVERIFY(!picture.replaceFromFile(bogus));
    QVERIFY(!picture.replaceFromFile(QString()));
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY(driver.messages().at(0).contains("not-a-picture.bmp"));
    QVERIFY(!picture.isCustom());
    QVERIFY(ChildRecords::picture("Ann", "Test/Image1").isEmpty());
}

// A stand-in chooser that answers like the real one: OK gives the file chosen, any other close
// nothing.
void ControlsTest::chooserProtocolHonoursCancel() {
    AppFixture app("Ann");
    QPixmap art(20, 20);
    art.fill(Qt::blue);
    auto* picture = new ReplaceablePicture("Image1", "Test/Image1", art, MainWindow);
    picture->showFor("Ann");
    const QString red = writeImage(app.store().dataHome(), "red.bmp", "BMP", Qt::red);

    HostStandIn host;
    host.chooser = [] { return std::nullopt; }; // the parent cancels
    picture->chooseAndReplace();
    QVERIFY(!picture->isCustom());

    host.chooser = [red] { return std::optional<QString>(red); };
    picture->chooseAndReplace();
    QVERIFY(picture->isCustom());
    QVERIFY(!ChildRecords::picture("Ann", "Test/Image1").isEmpty());
}

void ControlsTest::drawnPicturesAreDrawnOncePerBuild() {
    QTemporaryDir cache;
    const QByteArray before = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    int draws = 0;
    auto draw = [&draws] {
        ++draws;
        QImage img(31, 17, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, qRgb(x * 8, y * 15, (x + y) % 256));
        return QPixmap::fromImage(img);
    };
    const QImage drawn = Artwork::drawnOnce("test", draw).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage kept = Artwork::drawnOnce("test", draw).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(draws, 1);
    QCOMPARE(kept, drawn);

    // A kept picture that was cut short is drawn again, never shown half.
    const QStringList files = QDir(cache.path() + "/tinyra").entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    QFile cut(cache.path() + "/tinyra/" + files.first());
    QVERIFY(cut.resize(cut.size() / 2));
    const QImage again = Artwork::drawnOnce("test", draw).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(draws, 2);
    QCOMPARE(again, drawn);
    qputenv("XDG_CACHE_HOME", before);
}

void ControlsTest::aPhotosThumbnailIsMadeOnceKeptOnDiskAndGoesWithThePhoto() {
    TempStore store;
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(Qt::green);
    const QString path = store.dataHome() + "/green.jpg";
    QVERIFY(photo.save(path, "JPG"));
    const QString file = PhotoFiles::store(path);

    const QImage made = PictureFile::thumbnail(file, 96);
    QCOMPARE(made.size(), QSize(96, 72));
    const QString kept = PhotoFiles::thumbnailPath(file, 96, "jpg");
    QVERIFY(QFile::exists(kept));
    // Later showings read the kept thumbnail, not the photo: one painted red shows red.
    QImage marked = made.convertToFormat(QImage::Format_RGB32);
    marked.fill(Qt::red);
    QVERIFY(marked.save(kept, "JPG"));
    QVERIFY(PictureFile::thumbnail(file, 96).pixelColor(10, 10).red() > 200);
    // Another size is a thumbnail of its own; a photo that is gone has none.
    QCOMPARE(PictureFile::thumbnail(file, 48).size(), QSize(48, 36));
    QVERIFY(PictureFile::thumbnail("00/" + QString(64, '0') + ".jpg", 96).isNull());

    // Once nothing refers to the photo it goes, and its thumbnails with it.
    QCOMPARE(PhotoFiles::removeUnreferenced({}, QDateTime::currentDateTimeUtc().addDays(1)), 1);
    QVERIFY(!QFile::exists(PhotoFiles::pathOf(file)));
    QVERIFY(!QFile::exists(kept));
    QVERIFY(!QFile::exists(PhotoFiles::thumbnailPath(file, 48, "jpg")));
}

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"
