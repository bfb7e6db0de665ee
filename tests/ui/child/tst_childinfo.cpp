// The child information form and the picture chooser, driven through their real controls.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/diaries/GrowthUnits.h"
#include "core/store/Schema.h"
#include "core/store/Table.h"
#include "support/AppFixture.h"
#include "support/ChildInfoBoxes.h"
#include "support/HostStandIn.h"
#include "support/ModalDriver.h"
#include "ui/child/TChangePicture.h"
#include "ui/common/ReplaceablePicture.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

namespace {
void openChildInfo() {
    MainWindow->findChild<QAction*>("ChildInformation1")->trigger();
}

QLineEdit* box(QWidget* form, const QString& name) {
    if (auto* combo = form->findChild<QComboBox*>(name))
        return combo->lineEdit();
    return form->findChild<QLineEdit*>(name);
}

// Types into a box on whichever page it is, bringing its page forward first as a parent would.
void typeInto(QWidget* form, const QString& name, const QString& text) {
    QLineEdit* edit = box(form, name);
    auto* notebook = form->findChild<QTabWidget*>("TabbedNotebook1");
    for (int i = 0; i < notebook->count(); ++i)
        if (notebook->widget(i)->isAncestorOf(edit))
            notebook->setCurrentIndex(i);
    edit->setFocus();
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

QString field(const QString& child, const QString& name) {
    Table t("CHILD");
    t.open();
    return t.findKey(child) ? t.fieldText(name) : QStringLiteral("<no row>");
}

QString writeImage(const QString& path, const char* format, QColor color) {
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(color);
    if (!img.save(path, format))
        qWarning("could not write %s", qPrintable(path));
    return path;
}

QColor centre(ReplaceablePicture* p) {
    const QImage img = p->pixmap().toImage();
    return img.pixelColor(img.width() / 2, img.height() / 2);
}

bool near(QColor c, QColor want) {
    return qAbs(c.red() - want.red()) < 40 && qAbs(c.green() - want.green()) < 40 &&
           qAbs(c.blue() - want.blue()) < 40;
}

// The chooser's file list, as the parent sees it.
QStringList listedFiles(QWidget* chooser) {
    auto* list = chooser->findChild<QListView*>("FileList");
    const QAbstractItemModel* model = list->model();
    QStringList names;
    for (int i = 0; i < model->rowCount(list->rootIndex()); ++i)
        names << model->index(i, 0, list->rootIndex()).data().toString();
    names.sort();
    return names;
}

void clickFile(QWidget* chooser, const QString& name) {
    auto* list = chooser->findChild<QListView*>("FileList");
    const QAbstractItemModel* model = list->model();
    for (int i = 0; i < model->rowCount(list->rootIndex()); ++i) {
        const QModelIndex item = model->index(i, 0, list->rootIndex());
        if (item.data().toString() == name) {
            list->scrollTo(item);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(item).center());
            return;
        }
    }
    qWarning("no file %s listed", qPrintable(name));
}

void chooseFolder(QWidget* chooser, const QString& folder) {
    auto* dirs = chooser->findChild<QTreeView*>("DirList");
    auto* model = qobject_cast<QFileSystemModel*>(dirs->model());
    dirs->setFocus();
    dirs->setCurrentIndex(model->index(folder));
}
} // namespace

class ChildInfoTest : public QObject {
    Q_OBJECT
private slots:
    void boxesTakeTheirFieldWidths();
    void okStoresEveryBoxButNotTheFirstName();
    void birthMeasuresAreTypedInTheFamilysUnitsAndShownAsTyped();
    void cancelLosesTheEdits();
    void eachChildSeesItsOwnRowAndAChildWithoutOneGetsIt();
    void chooserProtocolAndPicturesSurviveARestart();
    void aPictureChosenWaitsForTheFormsOk_data();
    void aPictureChosenWaitsForTheFormsOk();
    void chooserRefusesWhatIsNotAPicture();
    void aChosenFileThatDisappearsChangesNothing();
    void aScreenReaderHearsEveryFileOfTheList();
};

void ChildInfoTest::boxesTakeTheirFieldWidths() {
    AppFixture app("Ann");
    QStringList wrong;
    QStringList tabs;
    ModalDriver driver;
    driver.expect("ChildInfo", [&](QWidget* d) {
        for (const auto& [name, fieldName] : childInfoBoxes()) {
            QLineEdit* e = box(d, name);
            const int width = Schema::child().fields.at(Schema::child().indexOf(fieldName)).width;
            if (!e || e->maxLength() != width)
                wrong << name;
        }
        auto* notebook = d->findChild<QTabWidget*>("TabbedNotebook1");
        for (int i = 0; i < notebook->count(); ++i)
            tabs << notebook->tabText(i);
        for (const char* help : {"HelpBtn", "BitBtn1", "BitBtn2", "BitBtn3"})
            if (!d->findChild<QPushButton*>(help))
                wrong << help;
        ModalDriver::click(d, "CancelBtn");
    });
    driver.start();
    openChildInfo();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(", ")));
    QCOMPARE(tabs, (QStringList{"Name", "Birth Information", "First Home", "Headlines"}));
}

void ChildInfoTest::okStoresEveryBoxButNotTheFirstName() {
    AppFixture app("Ann");
    QString shownFirst;
    QStringList dayChoices;
    QString designDay, designAmPm;
    const QString longHeadline = QString(155, QLatin1Char('x'));
    ModalDriver driver;
    driver.expect("ChildInfo", [&](QWidget* d) {
        shownFirst = d->findChild<QLabel*>("FirstName")->text();
        auto* days = d->findChild<QComboBox*>("BirthDay");
        for (int i = 0; i < days->count(); ++i)
            dayChoices << days->itemText(i);
        designDay = days->currentText(); // a new row has no weekday
        designAmPm = d->findChild<QComboBox*>("AmPm")->currentText();
        int n = 0;
        for (const auto& [name, fieldName] : childInfoBoxes())
            typeInto(d, name, name.left(2) + QString::number(++n));
        typeInto(d, "BirthDay", "Caturday"); // a weekday typed by hand
        typeInto(d, "AmPm", "p.m.");
        typeInto(d, "H7", longHeadline + "overflow");
        ModalDriver::click(d, "OKBtn");
    });
    driver.start();
    openChildInfo();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(shownFirst, QStringLiteral("Ann"));
    QCOMPARE(dayChoices, (QStringList{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                                      "Saturday", "Sunday"}));
    QCOMPARE(designDay, QString());
    QCOMPARE(designAmPm, QString());

    int n = 0;
    for (const auto& [name, fieldName] : childInfoBoxes()) {
        const QString typed = name.left(2) + QString::number(++n);
        const int width = Schema::child().fields.at(Schema::child().indexOf(fieldName)).width;
        if (name == "BirthDay")
            QCOMPARE(field("Ann", fieldName), QStringLiteral("Caturday"));
        else if (name == "AmPm")
            QCOMPARE(field("Ann", fieldName), QStringLiteral("p.m."));
        else if (name == "H7")
            QCOMPARE(field("Ann", fieldName), longHeadline); // the box took no more than the field keeps
        else
            QCOMPARE(field("Ann", fieldName), typed.left(width));
    }
    QCOMPARE(field("Ann", "FirstName"), QStringLiteral("Ann"));
    QCOMPARE(field("Ann", "Pediatrician"), QString());
    QCOMPARE(TempStore::rowCount("CHILD"), 1);
}

void ChildInfoTest::birthMeasuresAreTypedInTheFamilysUnitsAndShownAsTyped() {
    AppFixture app("Ann");
    GrowthUnits::setPreferred(GrowthUnits::System::Metric);
    bool metricShown = false;
    ModalDriver driver;
    driver.expect("ChildInfo", [&](QWidget* d) {
        typeInto(d, "LengthCm", "51.5");
        typeInto(d, "WeightKg", "3.45");
        typeInto(d, "Head", "35");
        metricShown = box(d, "LengthCm")->isVisible() && !box(d, "Height")->isVisible() &&
                      box(d, "WeightKg")->isVisible() && !box(d, "WeightLb")->isVisible();
        ModalDriver::click(d, "OKBtn");
    });
    driver.start();
    openChildInfo();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY(metricShown);
    QCOMPARE(field("Ann", "BirthUnits") + " " + field("Ann", "BirthLengthCm") + " " +
                 field("Ann", "BirthWeightKg") + " " + field("Ann", "BirthHead"),
             QStringLiteral("metric 51.5 3.45 35"));
    // Typed in centimetres, they are shown so after the family goes back to inches.
    GrowthUnits::setPreferred(GrowthUnits::System::Imperial);
    QString shown;
    ModalDriver again;
    again.expect("ChildInfo", [&](QWidget* d) {
        d->findChild<QTabWidget*>("TabbedNotebook1")->setCurrentIndex(1);
        shown = box(d, "LengthCm")->isVisible() ? box(d, "LengthCm")->text() : QStringLiteral("inches shown");
        ModalDriver::click(d, "CancelBtn");
    });
    again.start();
    openChildInfo();
    QVERIFY2(again.waitFinished(), qPrintable(again.error()));
    QCOMPARE(shown, QStringLiteral("51.5"));
}

void ChildInfoTest::cancelLosesTheEdits() {
    AppFixture app("Ann");
    ModalDriver store;
    store.expect("ChildInfo", [](QWidget* d) {
        typeInto(d, "H1", "Moon landing");
        ModalDriver::click(d, "OKBtn");
    });
    store.start();
    openChildInfo();
    QVERIFY2(store.waitFinished(), qPrintable(store.error()));

    QString shownAgain;
    ModalDriver driver;
    driver.expect("ChildInfo", [](QWidget* d) {
        typeInto(d, "H1", "Typed, then cancelled");
        typeInto(d, "MiddleName", "Nope");
        ModalDriver::click(d, "CancelBtn");
    });
    driver.start();
    openChildInfo();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    ModalDriver again;
    again.expect("ChildInfo", [&](QWidget* d) {
        shownAgain = box(d, "H1")->text() + "|" + box(d, "MiddleName")->text();
        d->close(); // the close box is a Cancel too
    });
    again.start();
    openChildInfo();
    QVERIFY2(again.waitFinished(), qPrintable(again.error()));
    QCOMPARE(field("Ann", "H1"), QStringLiteral("Moon landing"));
    QCOMPARE(field("Ann", "MiddleName"), QString());
    QCOMPARE(shownAgain, QStringLiteral("Moon landing|"));
}

void ChildInfoTest::eachChildSeesItsOwnRowAndAChildWithoutOneGetsIt() {
    AppFixture app("Ann");
    TempStore::addChild("Ben", "Bo", "Brown");
    {
        Table t("CHILD");
        t.open();
        QVERIFY(t.findKey("Ann"));
        t.edit();
        t.setFieldText("Hair", "red");
        t.post();
    }
    MainWindow->makeChildActive("Ben");
    QString benShown;
    ModalDriver ben;
    ben.expect("ChildInfo", [&](QWidget* d) {
        benShown = d->findChild<QLabel*>("FirstName")->text() + "|" + box(d, "MiddleName")->text() + "|" +
                   box(d, "LastName")->text() + "|" + box(d, "Hair")->text();
        ModalDriver::click(d, "CancelBtn");
    });
    ben.start();
    openChildInfo();
    QVERIFY2(ben.waitFinished(), qPrintable(ben.error()));
    QCOMPARE(benShown, QStringLiteral("Ben|Bo|Brown|"));

    // A name typed in the pick dialog has no row: empty boxes with that name; OK makes the row.
    MainWindow->makeChildActive("Zed");
    QStringList zedShown;
    ModalDriver zed;
    zed.expect("ChildInfo", [&](QWidget* d) {
        zedShown << d->findChild<QLabel*>("FirstName")->text();
        for (const auto& [name, fieldName] : childInfoBoxes())
            if (!box(d, name)->text().isEmpty())
                zedShown << name + "=" + box(d, name)->text();
        typeInto(d, "Hair", "brown");
        ModalDriver::click(d, "OKBtn");
    });
    zed.start();
    openChildInfo();
    QVERIFY2(zed.waitFinished(), qPrintable(zed.error()));
    QCOMPARE(zedShown, QStringList{"Zed"});
    QCOMPARE(field("Zed", "FirstName"), QStringLiteral("Zed"));
    QCOMPARE(field("Zed", "Hair"), QStringLiteral("brown"));
    QCOMPARE(field("Ann", "Hair"), QStringLiteral("red"));
    QCOMPARE(field("Ben", "Hair"), QString());
    QCOMPARE(TempStore::rowCount("CHILD"), 3);
}

void ChildInfoTest::chooserProtocolAndPicturesSurviveARestart() {
    AppFixture app("Ann");
    TempStore::addChild("Ben");
    const QString pics = app.store().dataHome() + "/photos";
    QVERIFY(QDir().mkpath(pics + "/2024"));
    writeImage(pics + "/red.bmp", "BMP", Qt::red);
    writeImage(pics + "/green.jpg", "JPG", Qt::green);
    writeImage(pics + "/blue.png", "PNG", Qt::blue);
    QFile notes(pics + "/notes.txt");
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("not a picture");
    notes.close();

    QStringList bitmapsOnly, allPictures, reopened;
    QString pathShown, folderOnReopen;
    bool previewShown = false;
    bool custom1 = false, custom2AfterCancel = true, custom2AfterClose = true;
    QColor colour1, colour2;
    ModalDriver driver;
    driver.expect("ChildInfo", [](QWidget* d) {
        d->findChild<QTabWidget*>("TabbedNotebook1")->setCurrentIndex(0);
        d->findChild<QToolButton*>("SpeedButton2")->click();
    });
    driver.expect("ChangePicture", [&](QWidget* c) {
        // Into the subfolder and up again: the folder left behind is not listed among the files.
        chooseFolder(c, pics + "/2024");
        chooseFolder(c, pics);
        // It opens on every kind of picture; bitmaps alone are a choice in the list.
        (void)QTest::qWaitFor([&] { return listedFiles(c).size() == 3; }, 5000);
        allPictures = listedFiles(c);
        pathShown = c->findChild<QLabel*>("Path")->text();
        c->findChild<QComboBox*>("FileTypes")->setCurrentIndex(1);
        (void)QTest::qWaitFor([&] { return listedFiles(c).size() == 1; }, 5000);
        bitmapsOnly = listedFiles(c);
        c->findChild<QComboBox*>("FileTypes")->setCurrentIndex(0);
        (void)QTest::qWaitFor([&] { return listedFiles(c).size() == 3; }, 5000);
        clickFile(c, "green.jpg");
        previewShown = !c->findChild<QLabel*>("Image1")->pixmap().isNull();
        ModalDriver::click(c, "OKBtn");
    });
    driver.expect("ChildInfo", [&](QWidget* d) {
        auto* image1 = d->findChild<ReplaceablePicture*>("Image1");
        custom1 = image1->isCustom();
        colour1 = centre(image1);
        d->findChild<QTabWidget*>("TabbedNotebook1")->setCurrentIndex(2);
        d->findChild<QToolButton*>("SpeedButton3")->click();
    });
    driver.expect("ChangePicture", [&](QWidget* c) {
        folderOnReopen = qobject_cast<TChangePicture*>(c)->folder();
        reopened = listedFiles(c);
        ModalDriver::click(c, "CancelBtn");
    });
    driver.expect("ChildInfo", [&](QWidget* d) {
        custom2AfterCancel = d->findChild<ReplaceablePicture*>("Image2")->isCustom();
        d->findChild<QToolButton*>("SpeedButton3")->click();
    });
    driver.expect("ChangePicture", [](QWidget* c) { c->close(); });
    driver.expect("ChildInfo", [&](QWidget* d) {
        custom2AfterClose = d->findChild<ReplaceablePicture*>("Image2")->isCustom();
        d->findChild<QToolButton*>("SpeedButton3")->click();
    });
    driver.expect("ChangePicture", [](QWidget* c) {
        clickFile(c, "red.bmp");
        ModalDriver::click(c, "OKBtn");
    });
    driver.expect("ChildInfo", [&](QWidget* d) {
        colour2 = centre(d->findChild<ReplaceablePicture*>("Image2"));
        typeInto(d, "Eyes", "blue");
        ModalDriver::click(d, "OKBtn");
    });
    driver.start();
    openChildInfo();
    QVERIFY2(driver.waitFinished(20000), qPrintable(driver.error()));

    QCOMPARE(bitmapsOnly, QStringList{"red.bmp"});
    QCOMPARE(allPictures, (QStringList{"blue.png", "green.jpg", "red.bmp"}));
    QCOMPARE(pathShown, QDir::toNativeSeparators(pics));
    QVERIFY(previewShown);
    QVERIFY(custom1);
    QVERIFY2(near(colour1, Qt::green), qPrintable(colour1.name()));
    QCOMPARE(folderOnReopen, pics);
    QCOMPARE(reopened, allPictures);
    QVERIFY(!custom2AfterCancel);
    QVERIFY(!custom2AfterClose);
    QVERIFY2(near(colour2, Qt::red), qPrintable(colour2.name()));

    // After a restart Ann's pictures and fields are back; Ben sees the built-in artwork.
    app.restart();
    QCOMPARE(ActiveChildName(), QStringLiteral("Ann"));
    QString eyes;
    bool back1 = false, back2 = false;
    ModalDriver after;
    after.expect("ChildInfo", [&](QWidget* d) {
        eyes = box(d, "Eyes")->text();
        auto* image1 = d->findChild<ReplaceablePicture*>("Image1");
        auto* image2 = d->findChild<ReplaceablePicture*>("Image2");
        back1 = image1->isCustom() && near(centre(image1), Qt::green);
        back2 = image2->isCustom() && near(centre(image2), Qt::red);
        ModalDriver::click(d, "CancelBtn");
    });
    after.start();
    openChildInfo();
    QVERIFY2(after.waitFinished(), qPrintable(after.error()));
    QCOMPARE(eyes, QStringLiteral("blue"));
    QVERIFY(back1);
    QVERIFY(back2);

    MainWindow->makeChildActive("Ben");
    bool benCustom = true;
    ModalDriver ben;
    ben.expect("ChildInfo", [&](QWidget* d) {
        benCustom = d->findChild<ReplaceablePicture*>("Image1")->isCustom() ||
                    d->findChild<ReplaceablePicture*>("Image2")->isCustom();
        ModalDriver::click(d, "CancelBtn");
    });
    ben.start();
    openChildInfo();
    QVERIFY2(ben.waitFinished(), qPrintable(ben.error()));
    QVERIFY(!benCustom);
}

void ChildInfoTest::aPictureChosenWaitsForTheFormsOk_data() {
    QTest::addColumn<QString>("wayOut"); // after the green picture was chosen
    QTest::newRow("Cancel") << "CancelBtn";
    QTest::newRow("close box") << "";
    QTest::newRow("Ok") << "OKBtn";
}

// Red is chosen and kept with Ok; green is chosen next and shown, but kept only by the form's Ok:
// any other way out leaves red, in the book and on the form.
void ChildInfoTest::aPictureChosenWaitsForTheFormsOk() {
    QFETCH(QString, wayOut);
    AppFixture app("Ann");
    const QString red = writeImage(app.store().dataHome() + "/red.bmp", "BMP", Qt::red);
    const QString green = writeImage(app.store().dataHome() + "/green.png", "PNG", Qt::green);
    HostStandIn host;
    QString chosen = red;
    host.chooser = [&chosen] { return std::optional<QString>(chosen); };
    QColor whileOpen, afterwards;
    ModalDriver driver;
    driver.expect("ChildInfo", [](QWidget* d) {
        d->findChild<QToolButton*>("SpeedButton2")->click();
        ModalDriver::click(d, "OKBtn");
    });
    driver.expect("ChildInfo", [&](QWidget* d) {
        chosen = green;
        d->findChild<QToolButton*>("SpeedButton2")->click();
        whileOpen = centre(d->findChild<ReplaceablePicture*>("Image1"));
        if (wayOut.isEmpty())
            d->close();
        else
            ModalDriver::click(d, wayOut.toLatin1().constData());
    });
    driver.expect("ChildInfo", [&](QWidget* d) {
        afterwards = centre(d->findChild<ReplaceablePicture*>("Image1"));
        ModalDriver::click(d, "CancelBtn");
    });
    driver.start();
    for (int i = 0; i < 3; ++i)
        openChildInfo();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QVERIFY2(near(whileOpen, Qt::green), qPrintable(whileOpen.name()));
    const QColor kept = wayOut == "OKBtn" ? QColor(Qt::green) : QColor(Qt::red);
    QVERIFY2(near(afterwards, kept), qPrintable(afterwards.name()));
    QFile file(wayOut == "OKBtn" ? green : red);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(ChildRecords::picture("Ann", "ChildInfo/Image1"), file.readAll());
}

void ChildInfoTest::chooserRefusesWhatIsNotAPicture() {
    AppFixture app("Ann");
    const QString dir = app.store().dataHome() + "/odd";
    QVERIFY(QDir().mkpath(dir));
    QFile fake(dir + "/fake.bmp");
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write("text pretending to be a bitmap");
    fake.close();

    QString preview = "unset";
    bool customAfterFake = true, customAfterNothing = true;
    ModalDriver driver;
    driver.expect("ChildInfo", [](QWidget* d) { d->findChild<QToolButton*>("SpeedButton2")->click(); });
    driver.expect("ChangePicture", [&](QWidget* c) {
        chooseFolder(c, dir);
        (void)QTest::qWaitFor([&] { return listedFiles(c).size() == 1; }, 5000);
        clickFile(c, "fake.bmp");
        preview = c->findChild<QLabel*>("Image1")->text();
        ModalDriver::click(c, "OKBtn");
    });
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.expect("ChildInfo", [&](QWidget* d) {
        customAfterFake = d->findChild<ReplaceablePicture*>("Image1")->isCustom();
        d->findChild<QToolButton*>("SpeedButton2")->click();
    });
    driver.expect("ChangePicture", [](QWidget* c) {
        c->findChild<QListView*>("FileList")->clearSelection(); // OK with no file chosen
        ModalDriver::click(c, "OKBtn");
    });
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.expect("ChildInfo", [&](QWidget* d) {
        customAfterNothing = d->findChild<ReplaceablePicture*>("Image1")->isCustom();
        ModalDriver::click(d, "OKBtn");
    });
    driver.start();
    openChildInfo();
    QVERIFY2(driver.waitFinished(20000), qPrintable(driver.error()));
    QCOMPARE(preview, QStringLiteral("This file cannot be shown as a picture."));
    QCOMPARE(driver.messages().size(), 2);
    QVERIFY2(driver.messages().at(0).contains(QDir::toNativeSeparators(dir + "/fake.bmp")),
             qPrintable(driver.messages().at(0)));
    QVERIFY(!customAfterFake);
    QVERIFY(!customAfterNothing);
    QVERIFY(ChildRecords::picture("Ann", "ChildInfo/Image1").isEmpty());
}

void ChildInfoTest::aChosenFileThatDisappearsChangesNothing() {
    AppFixture app("Ann");
    const QString dir = app.store().dataHome() + "/going";
    QVERIFY(QDir().mkpath(dir));
    writeImage(dir + "/a.bmp", "BMP", Qt::red);
    writeImage(dir + "/b.bmp", "BMP", Qt::green);
    writeImage(dir + "/c.bmp", "BMP", Qt::blue);

    QStringList listedAfter;
    bool customAfter = true;
    ModalDriver driver;
    driver.expect("ChildInfo", [](QWidget* d) { d->findChild<QToolButton*>("SpeedButton2")->click(); });
    driver.expect("ChangePicture", [&](QWidget* c) {
        chooseFolder(c, dir);
        (void)QTest::qWaitFor([&] { return listedFiles(c).size() == 3; }, 5000);
        clickFile(c, "b.bmp");
        QFile::remove(dir + "/b.bmp"); // taken away (a card pulled out, a sync) before OK
        (void)QTest::qWaitFor([&] { return listedFiles(c).size() == 2; }, 5000);
        listedAfter = listedFiles(c);
        ModalDriver::click(c, "OKBtn");
    });
    driver.expect("InformationBox", [](QWidget* b) { ModalDriver::answer(b, QMessageBox::Ok); });
    driver.expect("ChildInfo", [&](QWidget* d) {
        customAfter = d->findChild<ReplaceablePicture*>("Image1")->isCustom();
        ModalDriver::click(d, "CancelBtn");
    });
    driver.start();
    openChildInfo();
    QVERIFY2(driver.waitFinished(20000), qPrintable(driver.error()));
    QCOMPARE(listedAfter, (QStringList{"a.bmp", "c.bmp"})); // the list saw it go
    QCOMPARE(driver.messages().size(), 1);
    QVERIFY2(driver.messages().at(0).contains(QDir::toNativeSeparators(dir + "/b.bmp")),
             qPrintable(driver.messages().at(0)));
    QVERIFY(!customAfter);
    QVERIFY(ChildRecords::picture("Ann", "ChildInfo/Image1").isEmpty());
}

void ChildInfoTest::aScreenReaderHearsEveryFileOfTheList() {
    AppFixture app("Ann");
    const QString dir = app.store().dataHome() + "/camera";
    QVERIFY(QDir().mkpath(dir + "/DCIM"));
    writeImage(dir + "/IMG_10.jpg", "JPG", Qt::red);
    writeImage(dir + "/IMG_2.JPG", "JPG", Qt::green);
    writeImage(dir + "/beach.png", "PNG", Qt::blue);
    QFile notes(dir + "/notes.txt");
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.close();

    // What a screen reader is told of the list: one item per child of its accessible interface. Read
    // afresh each time, as a screen reader reads it again when the list tells of a change (the test
    // platform has no bridge to carry those news to the interface made before).
    const auto heard = [](QWidget* chooser) {
        auto* view = chooser->findChild<QListView*>("FileList");
        QAccessible::deleteAccessibleInterface(
            QAccessible::uniqueId(QAccessible::queryAccessibleInterface(view)));
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view);
        QStringList items;
        for (int i = 0; list && i < list->childCount(); ++i) {
            QAccessibleInterface* item = list->child(i);
            items << (item ? QStringLiteral("%1 (%2)")
                                 .arg(item->text(QAccessible::Name))
                                 .arg(item->role() == QAccessible::ListItem ? "item" : "not an item")
                           : QStringLiteral("<none>"));
        }
        return items;
    };
    QStringList first, afterCopy, afterBitmapsOnly;
    QString role;
    ModalDriver driver;
    driver.expect("ChildInfo", [](QWidget* d) { d->findChild<QToolButton*>("SpeedButton2")->click(); });
    driver.expect("ChangePicture", [&](QWidget* c) {
        role = QAccessible::queryAccessibleInterface(c->findChild<QListView*>("FileList"))->role() ==
                       QAccessible::List
                   ? "list"
                   : "other";
        chooseFolder(c, dir);
        (void)QTest::qWaitFor([&] { return heard(c).size() == 3; }, 5000);
        first = heard(c);
        // A photo copied in while the chooser is open is heard in its place.
        writeImage(dir + "/IMG_3.bmp", "BMP", Qt::yellow);
        (void)QTest::qWaitFor([&] { return heard(c).size() == 4; }, 5000);
        afterCopy = heard(c);
        c->findChild<QComboBox*>("FileTypes")->setCurrentIndex(1);
        (void)QTest::qWaitFor([&] { return heard(c).size() == 1; }, 5000);
        afterBitmapsOnly = heard(c);
        ModalDriver::click(c, "CancelBtn");
    });
    driver.expect("ChildInfo", [](QWidget* d) { ModalDriver::click(d, "CancelBtn"); });
    driver.start();
    openChildInfo();
    QVERIFY2(driver.waitFinished(20000), qPrintable(driver.error()));
    QCOMPARE(role, QStringLiteral("list"));
    // By name as a parent reads it: without regard to case, numbers by their value.
    QCOMPARE(first, (QStringList{"beach.png (item)", "IMG_2.JPG (item)", "IMG_10.jpg (item)"}));
    QCOMPARE(afterCopy,
             (QStringList{"beach.png (item)", "IMG_2.JPG (item)", "IMG_3.bmp (item)", "IMG_10.jpg (item)"}));
    QCOMPARE(afterBitmapsOnly, QStringList{"IMG_3.bmp (item)"});
}

QTEST_MAIN(ChildInfoTest)
#include "tst_childinfo.moc"
