// The report chooser as a parent uses it: a category from the "&Reports" menu, a name, the print or
// preview button; the pages that come out are read back from PDF with pdftotext and pdfinfo.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/diaries/DiarySheets.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/reports/ReportCatalog.h"
#include "core/reports/ReportRegistry.h"
#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "support/AppFixture.h"
#include "support/CameraPhoto.h"
#include "support/ModalDriver.h"
#include "ui/help/THelpForm.h"
#include "ui/reports/PageRenderer.h"
#include "ui/reports/ReportOutput.h"
#include "ui/reports/TPrintReports.h"
#include "ui/reports/TReportPreview.h"
#include "ui/reports/TSampleReport.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <numeric>

namespace {
QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(20000))
        return QStringLiteral("<%1 did not finish>").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of a PDF, laid out as on the page.
QString pdfText(const QString& path) {
    return run("pdftotext", {"-layout", path, "-"});
}

// Page count and page size from pdfinfo ("612 x 792 pts (letter)").
int pdfPages(const QString& path) {
    const QString info = run("pdfinfo", {path});
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}
QString pdfPageSize(const QString& path) {
    const QRegularExpressionMatch m =
        QRegularExpression("Page size:\\s+([^\\n]+)").match(run("pdfinfo", {path}));
    return m.captured(1).trimmed();
}

// The words of a PDF with their boxes (points), in reading order, from pdftotext -bbox.
struct WordBox {
    QString word;
    double left, right, top;
};
QVector<WordBox> wordBoxes(const QString& path) {
    QVector<WordBox> words;
    const QString xml = run("pdftotext", {"-bbox", path, "-"});
    const QRegularExpression re(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>");
    for (auto it = re.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        words << WordBox{m.captured(4), m.captured(1).toDouble(), m.captured(3).toDouble(),
                         m.captured(2).toDouble()};
    }
    return words;
}

// The lines of `text` with their trailing blanks removed and runs of blanks kept.
QStringList lines(const QString& text) {
    QStringList out;
    for (QString l : text.split('\n')) {
        while (l.endsWith(' '))
            l.chop(1);
        out << l;
    }
    return out;
}

// The pictures in a PDF from pdfimages -list: pixel size and resolution both ways.
struct PdfImage {
    int width, height, xppi, yppi;
};
QVector<PdfImage> pdfImages(const QString& path) {
    QVector<PdfImage> images;
    const QStringList rows = run("pdfimages", {"-list", path}).split('\n');
    for (const QString& row : rows.mid(2)) {
        const QStringList c = row.simplified().split(' ');
        if (c.size() >= 14 && c[2] == QStringLiteral("image"))
            images << PdfImage{c[3].toInt(), c[4].toInt(), c[12].toInt(), c[13].toInt()};
    }
    return images;
}

// A plain picture of the given size, encoded as PNG, as a chosen picture is stored.
QByteArray pngOf(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The text with each line's runs of blanks reduced to one.
QString flatText(const QString& text) {
    QStringList simplified;
    for (const QString& l : text.split('\n'))
        simplified << l.simplified();
    return simplified.join('\n');
}

void setChildFields(const QString& child, const QHash<QString, QString>& fields) {
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        Database::exec(QStringLiteral("UPDATE CHILD SET ") + it.key() +
                           QStringLiteral(" = ? WHERE FirstName = ?"),
                       {it.value(), child});
}
} // namespace

// Stands in for the help viewer and records the topic it was asked for.
class ReportsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void categoriesFillTheChooser();
    void announcementPrintsTheTenLines();
    void announcementFollowsThePaperChosen();
    void emptyFieldsLeaveTheirSeparators();
    void childWithoutRowGetsOnlyTheName();
    void longTextsStartAtTheirLabelsLeftEdge();
    void onlyTheExactNamePrints();
    void longReportsAskFirstAndCanBeCancelled();
    void previewShowsThePageAndSavesIt();
    void noPrinterSaysSoAndOffersPdf();
    void everyBuiltReportPrintsThroughTheChooser();
    void longJournalFlowsOverPages();
    void previewShowsTheFirstPageBeforeTheRestIsLaidOut();
    void sheetAndMilestoneReportsPrintThroughTheChooser();
    void reportsWithNothingRecordedSaySo();
    void longBirthdayFlowsOverPages();
    void unreadablePictureIsSaidSo();
    void everyNameOfEveryCategoryProducesAPdf();
    void overlongTableRowLosesNoLine();
    void babyBookReadBackFromItsPdf();
    void bookKeepsHeadingsAndTableRowsTogether();
    void helpShowsTopic36();

private:
    // The PDFs go to a temporary folder, or to $REPORTS_PDF_DIR to look at them afterwards.
    QString pdfPath(const QString& name) const {
        const QString keep = qEnvironmentVariable("REPORTS_PDF_DIR");
        const QString path = (keep.isEmpty() ? m_dir.path() : keep) + QLatin1Char('/') + name;
        QFile::remove(path);
        return path;
    }
    // Opens the chooser through the "&Reports" menu item `action`, types `name` when given, presses
    // print (or runs `during` on the chooser instead), and closes it with "Close".
    // A report of more than ten pages asks first: `manyPages` answers "Yes".
    bool printThroughChooser(const QString& action, const QString& name, const QString& pdf,
                             bool manyPages = false);

    std::unique_ptr<AppFixture> m_app;
    QTemporaryDir m_dir;
};

void ReportsTest::init() {
    m_app = std::make_unique<AppFixture>(QStringLiteral("Ann"));
    ReportOutput::setPrintToPdfForTesting(QString());
}

void ReportsTest::cleanup() {
    ReportOutput::setPrintToPdfForTesting(QString());
    m_app.reset();
}

bool ReportsTest::printThroughChooser(const QString& action, const QString& name, const QString& pdf,
                                      bool manyPages) {
    ReportOutput::setPrintToPdfForTesting(pdf);
    ModalDriver driver;
    driver.expect("PrintReports", [name](QWidget* w) {
        if (!name.isNull())
            w->findChild<QComboBox*>("ReportName")->setEditText(name);
        ModalDriver::click(w, "BitBtn1");
        ModalDriver::click(w, "OKBtn");
    });
    if (manyPages)
        driver.expect(
            "ConfirmBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Yes); }, 60000);
    driver.start();
    MainWindow->findChild<QAction*>(action)->trigger();
    const bool ok = driver.waitFinished();
    ReportOutput::setPrintToPdfForTesting(QString());
    if (!ok)
        qWarning("%s", qPrintable(driver.error()));
    return ok;
}

void ReportsTest::categoriesFillTheChooser() {
    struct Seen {
        QString title, text;
        QStringList list;
    };
    auto open = [](const QString& action) {
        Seen seen;
        ModalDriver driver;
        driver.expect("PrintReports", [&seen](QWidget* w) {
            auto* box = w->findChild<QComboBox*>("ReportName");
            seen.title = w->findChild<QLabel*>("Title")->text();
            seen.text = box->currentText();
            for (int i = 0; i < box->count(); ++i)
                seen.list << box->itemText(i);
            ModalDriver::click(w, "OKBtn");
        });
        driver.start();
        MainWindow->findChild<QAction*>(action)->trigger();
        driver.waitFinished();
        return seen;
    };
    Seen prenatal = open("Prenatal2");
    QCOMPARE(prenatal.title, QStringLiteral("Prenatal Reports"));
    QCOMPARE(prenatal.text, QStringLiteral("Baby Names"));
    QCOMPARE(prenatal.list,
             (QStringList{"Baby Names", "Prenatal Dates", "Prenatal Diary", "Prenatal Medical Diary"}));
    Seen health = open("Health1");
    QCOMPARE(health.list, (QStringList{"Childhood Diseases", "Doctor Visits", "Growth Log", "Immunizations",
                                       "Pediatrician Information"}));
    QCOMPARE(health.text, QStringLiteral("Childhood Diseases"));
    Seen holidays = open("Holidays3");
    QCOMPARE(holidays.title, QStringLiteral("Holiday Reports"));
    QCOMPARE(holidays.list, QStringList());
    QCOMPARE(holidays.text, QStringLiteral("Empty"));
    Seen birthdays = open("Holidays2");
    QCOMPARE(birthdays.list.size(), 17);
    QCOMPARE(birthdays.list.first(), QStringLiteral("10th"));
    QCOMPARE(birthdays.list.last(), QStringLiteral("Birth"));
    QCOMPARE(birthdays.text, QStringLiteral("Birth"));
    Seen journal = open("Journal2");
    QCOMPARE(journal.title, QStringLiteral("Journal Report"));
    QCOMPARE(journal.list, QStringList{"Journal"}); // only the second category's names remain
    QCOMPARE(open("Child2").text, QStringLiteral("Birth Announcement"));
    QCOMPARE(open("SpecialEvents2").list, (QStringList{"Christening", "Journal", "Outings", "Visitors"}));
    QCOMPARE(open("Firsts2").text, QStringLiteral("Skills"));
}

void ReportsTest::announcementPrintsTheTenLines() {
    setChildFields("Ann", {{"MiddleName", "Marie"},
                           {"LastName", "Lee"},
                           {"BirthDay", "Monday"},
                           {"BDayMonth", "3"},
                           {"BDateDay", "15"},
                           {"BDayYear", "1997"},
                           {"BTimeHr", "10"},
                           {"BTimeMin", "05"},
                           {"BTimeAmPm", "a.m."},
                           {"BirthHt", "21"},
                           {"BirthWeightLb", "7"},
                           {"BirthWeightOz", "4"},
                           {"Hair", "Brown"},
                           {"Eyes", "Blue"},
                           {"Hospital", "St. Luke's"},
                           {"BirthCity", "Boise"},
                           {"BirthState", "ID"}});
    const QString pdf = pdfPath("announcement.pdf");
    QVERIFY(printThroughChooser("Child2", QString(), pdf)); // the default name is the announcement
    QCOMPARE(pdfPages(pdf), 1);
    const QStringList text = lines(pdfText(pdf));
    const QString all = text.join('\n');
    QVERIFY2(all.contains("Birth Announcement Sample Report"), qPrintable(all));
    QVERIFY(all.contains("by Tinyra 4"));
    QVERIFY(all.contains("Report generated by Tinyra 4"));
    QVERIFY(text.contains("Announcing the Arrival of Ann Marie Lee") ||
            std::any_of(text.begin(), text.end(), [](const QString& l) {
                return l.trimmed() == "Announcing the Arrival of Ann Marie Lee";
            }));
    // Caption and value on one line each, in page order.
    const QStringList expected{"Arrival: Monday, 3/15/1997", "10:05 a.m.",  "Height: 21 inches",
                               "Weight: 7 lbs 4 oz",         "Hair: Brown", "Eyes: Blue",
                               "Hospital: St. Luke's",       "City: Boise", "State: ID"};
    QStringList found;
    for (const QString& l : text) {
        const QString s = l.simplified();
        if (!s.isEmpty() && expected.contains(s))
            found << s;
    }
    QCOMPARE(found, expected);

    // Left through the close box, then the child's details change: the next print shows them.
    ModalDriver driver;
    driver.expect("PrintReports", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    driver.start();
    MainWindow->findChild<QAction*>("Child2")->trigger();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    setChildFields("Ann", {{"Hair", "Auburn"}});
    const QString again = pdfPath("announcement-again.pdf");
    QVERIFY(printThroughChooser("Child2", QString(), again));
    QVERIFY(pdfText(again).contains("Auburn"));
}

void ReportsTest::emptyFieldsLeaveTheirSeparators() {
    // No middle name, no time: line 1 keeps two blanks, line 3 is ":" and a blank.
    setChildFields("Ann", {{"LastName", "Lee"}, {"BirthDay", "Friday"}});
    ReportOutput::setPrintToPdfForTesting(QString());
    const QString pdf = pdfPath("empty.pdf");
    QVERIFY(printThroughChooser("Child2", QString(), pdf));
    QCOMPARE(SampleReport->texts().Announcing, QStringLiteral("Announcing the Arrival of Ann  Lee"));
    QCOMPARE(SampleReport->texts().ArrivalTime, QStringLiteral(": "));
    // pdftotext writes any gap between words as one blank, so measure the gaps on the page instead:
    // the gap between "Ann" and "Lee" is two blanks wide. Glyph edges make a one-blank gap look a
    // little narrower than a blank, so one blank measures 1x the gap after "of", two about 2.5x, three
    // about 3.7x.
    const QVector<WordBox> words = wordBoxes(pdf);
    auto find = [&words](const QString& w) {
        for (int i = 0; i < words.size(); ++i)
            if (words[i].word == w && words[i].top > 150)
                return i;
        return -1;
    };
    const int ann = find("Ann");
    QVERIFY(ann > 0 && ann + 1 < words.size());
    QCOMPARE(words[ann - 1].word, QStringLiteral("of"));
    QCOMPARE(words[ann + 1].word, QStringLiteral("Lee"));
    const double oneBlank = words[ann].left - words[ann - 1].right;
    const double between = words[ann + 1].left - words[ann].right;
    QVERIFY2(between > 1.8 * oneBlank && between < 3.1 * oneBlank,
             qPrintable(QStringLiteral("%1 vs %2").arg(between).arg(oneBlank)));
    const QStringList text = lines(pdfText(pdf));
    QVERIFY2(std::any_of(text.begin(), text.end(), [](const QString& l) { return l.trimmed() == ":"; }),
             qPrintable(text.join('\n')));
    QVERIFY(std::any_of(text.begin(), text.end(),
                        [](const QString& l) { return l.simplified() == "Arrival: Friday, //"; }));
    QVERIFY(std::any_of(text.begin(), text.end(),
                        [](const QString& l) { return l.simplified() == "Weight: lbs oz"; }));
}

void ReportsTest::childWithoutRowGetsOnlyTheName() {
    // "Zoe" is active but has no CHILD row; "Zed", sorted after her, has a full one.
    TempStore::addChild("Zed", "Q", "Other");
    setChildFields("Zed", {{"Hair", "Black"}, {"BirthCity", "Reno"}});
    MainWindow->makeChildActive("Zoe");
    const QString pdf = pdfPath("norow.pdf");
    QVERIFY(printThroughChooser("Child2", QString(), pdf));
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains("Announcing the Arrival of Zoe"), qPrintable(text));
    QVERIFY(!text.contains("Reno"));
    QVERIFY(!text.contains("Black"));
    QVERIFY(!text.contains("Other"));
}

void ReportsTest::longTextsStartAtTheirLabelsLeftEdge() {
    // Too long for its label, the centred announcement line starts at the label's left edge (48 px,
    // 36 pt) and is cut at the right, like every other label; a short one stays centred.
    setChildFields("Ann", {{"MiddleName", QString(50, 'M')}, {"LastName", QString(50, 'W')}});
    const QString pdf = pdfPath("long.pdf");
    QVERIFY(printThroughChooser("Child2", QString(), pdf));
    auto announcingLeft = [](const QString& file) {
        for (const WordBox& w : wordBoxes(file))
            if (w.word == "Announcing")
                return w.left;
        return -1.0;
    };
    QVERIFY2(qAbs(announcingLeft(pdf) - 36.0) < 1.0, qPrintable(QString::number(announcingLeft(pdf))));
    setChildFields("Ann", {{"MiddleName", "M"}, {"LastName", "Lee"}});
    const QString shortPdf = pdfPath("short.pdf");
    QVERIFY(printThroughChooser("Child2", QString(), shortPdf));
    QVERIFY(announcingLeft(shortPdf) > 100);
}

void ReportsTest::onlyTheExactNamePrints() {
    // Lower case, a trailing blank, "Empty", nothing: print and preview each say to choose a report
    // from the list, and nothing is produced.
    for (const QString& name : {QStringLiteral("birth announcement"), QStringLiteral("Birth Announcement "),
                                QStringLiteral("Empty"), QString("")}) {
        const QString pdf = pdfPath("nothing.pdf");
        ReportOutput::setPrintToPdfForTesting(pdf);
        ModalDriver driver;
        driver
            .expect("PrintReports",
                    [name](QWidget* w) {
                        w->findChild<QComboBox*>("ReportName")->setEditText(name);
                        ModalDriver::click(w, "BitBtn1");
                    })
            .expect("InformationBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Ok); })
            .expect("PrintReports", [](QWidget* w) { ModalDriver::click(w, "BitBtn2"); })
            .expect("InformationBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Ok); })
            .expect("PrintReports", [](QWidget* w) { ModalDriver::click(w, "OKBtn"); });
        driver.start();
        MainWindow->findChild<QAction*>("Holidays3")->trigger();
        QVERIFY2(driver.waitFinished(), qPrintable(name + ": " + driver.error()));
        ReportOutput::setPrintToPdfForTesting(QString());
        QCOMPARE(driver.messages(),
                 (QStringList{"Choose a report from the list.", "Choose a report from the list."}));
        QVERIFY2(!QFileInfo::exists(pdf), qPrintable(name));
    }
    // Typed exactly in another category, it prints.
    const QString pdf = pdfPath("typed.pdf");
    QVERIFY(printThroughChooser("Journal2", "Birth Announcement", pdf));
    QVERIFY(pdfText(pdf).contains("Birth Announcement Sample Report"));
}

void ReportsTest::longReportsAskFirstAndCanBeCancelled() {
    // The delivered names fill many pages: print asks first, naming the count; "No" prints nothing.
    const QString pdf = pdfPath("names.pdf");
    ReportOutput::setPrintToPdfForTesting(pdf);
    ModalDriver refuse;
    refuse.expect("PrintReports", [](QWidget* w) { ModalDriver::click(w, "BitBtn1"); })
        .expect(
            "ConfirmBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::No); }, 60000)
        .expect("PrintReports", [](QWidget* w) { ModalDriver::click(w, "OKBtn"); });
    refuse.start();
    MainWindow->findChild<QAction*>("Prenatal2")->trigger(); // "Baby Names" is proposed
    QVERIFY2(refuse.waitFinished(), qPrintable(refuse.error()));
    ReportOutput::setPrintToPdfForTesting(QString());
    QVERIFY(!QFileInfo::exists(pdf));
    const QRegularExpressionMatch asked =
        QRegularExpression("^This report has (\\d+) pages. Print all (\\d+) pages\\?$")
            .match(refuse.messages().value(0));
    QVERIFY2(asked.hasMatch() && asked.captured(1) == asked.captured(2),
             qPrintable(refuse.messages().join('|')));
    const int pages = asked.captured(1).toInt();
    QVERIFY(pages > 10);
    // "Yes" prints them all, and the count named was the count printed.
    QVERIFY(printThroughChooser("Prenatal2", QString(), pdf, true));
    QCOMPARE(pdfPages(pdf), pages);
    // A short report asks nothing (the driver would fail on an unexpected box left open).
    QVERIFY(printThroughChooser("Health1", "Immunizations", pdfPath("short-report.pdf")));

    // A long journal is made under a progress dialog whose "Cancel" stops it: no file is left.
    for (int i = 0; i < 1500; ++i)
        Entries().append(DiaryList::JournalEntries,
                         std::make_shared<DiaryType>(DiaryType{"02-03-99", "Day " + QString::number(i),
                                                               "A walk to the pond.\nDucks again."}));
    ReportOutput::setProgressAtOnceForTesting(true);
    const QString cancelled = pdfPath("cancelled.pdf");
    ReportOutput::setPrintToPdfForTesting(cancelled);
    ModalDriver cancel;
    cancel.expect("PrintReports", [](QWidget* w) { ModalDriver::click(w, "BitBtn1"); })
        .expect(
            "ConfirmBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Yes); }, 60000)
        .expect(
            "ReportProgress", [](QWidget* w) { ModalDriver::click(w, "Cancel"); }, 60000)
        .expect(
            "PrintReports", [](QWidget* w) { ModalDriver::click(w, "OKBtn"); }, 60000);
    cancel.start();
    MainWindow->findChild<QAction*>("Journal2")->trigger();
    QVERIFY2(cancel.waitFinished(60000), qPrintable(cancel.error()));
    ReportOutput::setProgressAtOnceForTesting(false);
    ReportOutput::setPrintToPdfForTesting(QString());
    QVERIFY(!QFileInfo::exists(cancelled));
}

void ReportsTest::previewShowsThePageAndSavesIt() {
    setChildFields("Ann", {{"Hair", "Red"}});
    const QString pdf = pdfPath("preview.pdf");
    int pages = -1;
    QRect window, available;
    ModalDriver driver;
    driver
        .expect("PrintReports",
                [this](QWidget* w) {
                    if (qEnvironmentVariableIsSet("REPORTS_PDF_DIR"))
                        w->grab().save(pdfPath("chooser.png"));
                    ModalDriver::click(w, "BitBtn2");
                })
        .expect("ReportPreview",
                [&pages, &window, &available, this](QWidget* w) {
                    pages = static_cast<TReportPreview*>(w)->pageCount();
                    window = w->geometry();
                    available = w->screen()->availableGeometry();
                    if (qEnvironmentVariableIsSet("REPORTS_PDF_DIR"))
                        w->grab().save(pdfPath("preview-window.png"));
                    ModalDriver::click(w, "ZoomInBtn");
                    ModalDriver::click(w, "PrintBtn"); // the test hook turns the print into a PDF
                    ReportOutput::setPrintToPdfForTesting(QString());
                    ModalDriver::click(w, "SavePdfBtn");
                })
        .expect("SavePdfDialog",
                [pdf](QWidget* w) {
                    ModalDriver::type(w, "fileNameEdit", pdf);
                    static_cast<QDialog*>(w)->accept();
                })
        .expect("InformationBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Ok); })
        .expect("ReportPreview", [](QWidget* w) { ModalDriver::click(w, "CloseBtn"); })
        .expect("PrintReports", [](QWidget* w) { ModalDriver::click(w, "OKBtn"); });
    const QString printed = pdfPath("printed-from-preview.pdf");
    ReportOutput::setPrintToPdfForTesting(printed);
    driver.start();
    MainWindow->findChild<QAction*>("Child2")->trigger();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(pages, 1);
    // The window takes the screen's available height, and no more.
    QVERIFY2(available.contains(window) && window.height() >= available.height() * 3 / 4,
             qPrintable(QStringLiteral("%1x%2 on %3x%4")
                            .arg(window.width())
                            .arg(window.height())
                            .arg(available.width())
                            .arg(available.height())));
    // Preview and print show the same page.
    QCOMPARE(pdfText(printed), pdfText(pdf));
    QVERIFY2(driver.messages().value(0) == "The report was saved as " + pdf + ".",
             qPrintable(driver.messages().join('|')));
    QCOMPARE(pdfPages(pdf), 1);
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains("Announcing the Arrival of Ann"), qPrintable(text));
    QVERIFY(text.contains("Red"));
}

void ReportsTest::noPrinterSaysSoAndOffersPdf() {
    // This machine has no printer: the print button must say so, print nothing, and offer a PDF.
    const QString pdf = pdfPath("offered.pdf");
    ModalDriver driver;
    driver.expect("PrintReports", [](QWidget* w) { ModalDriver::click(w, "BitBtn1"); })
        .expect("NoPrinterBox", [](QWidget* w) { ModalDriver::click(w, "CancelBtn"); })
        .expect("PrintReports", [](QWidget* w) { ModalDriver::click(w, "BitBtn1"); })
        .expect("NoPrinterBox", [](QWidget* w) { ModalDriver::click(w, "SavePdfBtn"); })
        .expect("SavePdfDialog",
                [pdf](QWidget* w) {
                    ModalDriver::type(w, "fileNameEdit", pdf);
                    static_cast<QDialog*>(w)->accept();
                })
        .expect("InformationBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Ok); })
        .expect("PrintReports", [](QWidget* w) { ModalDriver::click(w, "OKBtn"); });
    driver.start();
    MainWindow->findChild<QAction*>("Child2")->trigger();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    const QStringList messages = driver.messages();
    QCOMPARE(messages.size(), 3);
    QVERIFY2(messages[0].startsWith("No printer is installed, so the report was not printed."),
             qPrintable(messages[0]));
    QVERIFY(messages[0].contains("PDF"));
    QVERIFY(messages[2].startsWith("The report was saved as "));
    QVERIFY(!messages.join(' ').contains("printed.") || messages[0].contains("not printed"));
    QVERIFY(pdfText(pdf).contains("Birth Announcement Sample Report"));

    // The same holds for every other report and for the preview's own print button.
    ReportOutput::Job job{"Journal", "Ann",
                          std::make_shared<PageRenderer>(ReportRegistry::build("Journal", "Ann"))};
    ModalDriver second;
    second.expect("NoPrinterBox", [](QWidget* w) { ModalDriver::click(w, "CancelBtn"); });
    second.start();
    QVERIFY(!ReportOutput::print(MainWindow, job)); // never reported as printed
    QVERIFY2(second.waitFinished(), qPrintable(second.error()));
    // A PDF that cannot be written is not reported as saved.
    QVERIFY(!ReportOutput::writePdf("/nonexistent-dir/x.pdf", job));
}

void ReportsTest::everyBuiltReportPrintsThroughTheChooser() {
    Database::exec(QStringLiteral("DELETE FROM BOYA"));
    Database::exec(QStringLiteral("DELETE FROM GIRLA"));
    Database::exec(
        QStringLiteral("INSERT INTO BOYA (Name, Origin, Meaning) VALUES ('Aaron', 'Hebrew', 'Exalted')"));
    Database::exec(
        QStringLiteral("INSERT INTO GIRLA (Name, Origin, Meaning) VALUES ('Abigail', 'Hebrew', 'Joy')"));
    setChildFields("Ann", {{"Physician", "Dr. Kay"},
                           {"County", "Ada"},
                           {"BirthDay", "Monday"},
                           {"BDayMonth", "3"},
                           {"BDateDay", "15"},
                           {"BDayYear", "1997"},
                           {"BTimeHr", "10"},
                           {"BTimeMin", "05"},
                           {"BTimeAmPm", "a.m."},
                           {"Pediatrician", "Old name"}});
    // The pediatrician as the doctor form keeps it, on its card.
    ChildRecords::setSheet("Ann", DiarySheets::Pediatrician, {{"DocName", "Dr. Ruth Kay"}});
    auto add = [](DiaryList list, const QString& title) {
        Entries().append(list, std::make_shared<DiaryType>(DiaryType{"04-05-98", title, title + " remarks"}));
    };
    add(DiaryList::PrenatalDiary, "First kick");
    add(DiaryList::PrenatalMedicalDiary, "Ultrasound");
    add(DiaryList::DoctorVisits, "Checkup");
    add(DiaryList::ChildhoodDiseases, "Chicken pox");
    add(DiaryList::JournalEntries, "Park day");
    add(DiaryList::WordEntries, "ball");
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"01-01-98", "24", "12", "3"}));
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"04-01-98", "25.5", "14", "8"}));
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"07-01-98", "27", "16", "1"}));
    Entries().setFamilyMember(2, {"Robert Lee", "07-04-66", "Boise"});
    Entries().setFamilyMember(1, {"Mary Lee", "  -  -  ", "Reno"}); // her date box left blank

    const struct {
        const char* action;
        const char* name;
        QStringList expect;
        QStringList absent = {};
    } cases[] = {
        {"Child2",
         "Itemized Child Report",
         {"Physician: Dr. Kay", "First Home", "County: Ada", "Birth Date: Monday, 3/15/1997",
          "Birth Time: 10:05 a.m.", "Pediatrician: Dr. Ruth Kay"},
         {"Headline", "Birth Date: Month", "Old name"}},
        {"Child2",
         "Family Tree",
         {"Robert Lee", "Paternal Great Grandfather", "Father", "Mary Lee Reno", "Grandmother's",
          "Grandfather's"},
         {"- -"}},
        {"Prenatal2", "Baby Names", {"Boy Names", "Aaron", "Exalted", "Girl Names", "Abigail"}, {"Ann"}},
        {"Prenatal2", "Prenatal Diary", {"First kick", "First kick remarks"}},
        {"Prenatal2", "Prenatal Medical Diary", {"Ultrasound"}},
        {"Health1", "Doctor Visits", {"Checkup"}},
        {"Health1", "Childhood Diseases", {"Chicken pox"}},
        {"Health1",
         "Growth Log",
         {"01-01-98", "24 inches", "12 lbs. 3 oz.", "Growth Chart", "Weight (lb)", "Length/Height (in)"}},
        {"Firsts2", "Words - Record", {"ball remarks"}},
        {"Firsts2", "Vocabulary List", {"Total Word Count: 1", "ball"}},
        {"Journal2", "Journal", {"Park day remarks"}},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromLatin1(c.name);
        const QString pdf = pdfPath(name + ".pdf");
        QVERIFY(printThroughChooser(c.action, name, pdf));
        const int pages = pdfPages(pdf);
        QVERIFY2(pages >= 1, qPrintable(name));
        const QString text = pdfText(pdf);
        QStringList simplified;
        for (const QString& l : text.split('\n'))
            simplified << l.simplified();
        const QString flat = simplified.join('\n');
        QVERIFY2(flat.contains(name) && (c.absent.contains("Ann") || flat.contains("Ann")) &&
                     flat.contains(QStringLiteral("Page %1 of %1").arg(pages)) &&
                     flat.contains("Report generated by Tinyra 4"),
                 qPrintable(name + ":\n" + text));
        for (const QString& e : c.expect)
            QVERIFY2(flat.contains(e), qPrintable(name + " lacks " + e + ":\n" + text));
        for (const QString& e : c.absent)
            QVERIFY2(!flat.contains(e), qPrintable(name + " shows " + e + ":\n" + text));
    }
    // Other children's entries never reach the active child's report.
    Entries().childSwitch("Bea");
    TempStore::addChild("Bea");
    MainWindow->makeChildActive("Bea");
    const QString pdf = pdfPath("bea-journal.pdf");
    QVERIFY(printThroughChooser("Journal2", "Journal", pdf));
    const QString text = pdfText(pdf);
    QVERIFY(text.contains("No entries have been recorded."));
    QVERIFY(!text.contains("Park day"));
}

// For each page of a PDF (pdftotext -layout, pages split at form feeds) and each entry whose lines
// are marked "E<n> L<k>" or whose one paragraph repeats "P<n>": how many of its lines the page holds.
QVector<QHash<int, int>> entryLinesPerPage(const QString& pdf) {
    QVector<QHash<int, int>> pages;
    const QRegularExpression marked("^\\s*E(\\d+) L\\d+\\s*$");
    const QRegularExpression paragraph("\\bP(\\d+)\\b");
    for (const QString& page : pdfText(pdf).split('\f')) {
        QHash<int, int> counts;
        for (const QString& l : page.split('\n')) {
            QRegularExpressionMatch m = marked.match(l);
            if (!m.hasMatch())
                m = paragraph.match(l);
            if (m.hasMatch())
                ++counts[m.captured(1).toInt()];
        }
        pages << counts;
    }
    return pages;
}

void ReportsTest::longJournalFlowsOverPages() {
    // Most entries have two short lines; every seventh has several one-line paragraphs, every eleventh
    // one paragraph that wraps over several lines.
    for (int i = 1; i <= 200; ++i) {
        QString text = "We went out.\nSecond line of entry " + QString::number(i) + ".";
        if (i % 11 == 5)
            text = QString("P%1 ").arg(i).repeated(220);
        else if (i % 7 == 3) {
            QStringList lines;
            for (int k = 1; k <= 3 + i % 9; ++k)
                lines << QString("E%1 L%2").arg(i).arg(k);
            text = lines.join('\n');
        }
        Entries().append(DiaryList::JournalEntries, std::make_shared<DiaryType>(DiaryType{
                                                        QDate(1999, 1, 1).addDays(i).toString("MM-dd-yy"),
                                                        "Day " + QString::number(i), text}));
    }
    const QString pdf = pdfPath("journal.pdf");
    QVERIFY(printThroughChooser("Journal2", QString(), pdf, true));
    const int pages = pdfPages(pdf);
    QVERIFY2(pages > 5, qPrintable(QString::number(pages)));
    const QString text = pdfText(pdf);
    // Every entry arrives once and in order, and every page is numbered.
    int from = 0;
    for (int i = 1; i <= 200; ++i) {
        if (i % 11 == 5 || i % 7 == 3)
            continue;
        const int at = text.indexOf("Second line of entry " + QString::number(i) + ".", from);
        QVERIFY2(at >= 0, qPrintable(QString::number(i)));
        from = at;
    }
    QVERIFY(text.contains(QStringLiteral("Page %1 of %1").arg(pages)));
    QCOMPARE(text.count("Report generated by Tinyra 4"), pages);
    // No break leaves a single line of an entry on either page, and a paragraph that fits on a page
    // is never broken.
    QHash<int, QVector<int>> parts; // entry -> its line count on each page it is on
    for (const QHash<int, int>& page : entryLinesPerPage(pdf))
        for (auto it = page.cbegin(); it != page.cend(); ++it)
            parts[it.key()] << it.value();
    int broken = 0;
    for (int i = 1; i <= 200; ++i) {
        if (i % 11 != 5 && i % 7 != 3)
            continue;
        const QVector<int> p = parts.value(i);
        QVERIFY2(!p.isEmpty(), qPrintable(QString::number(i)));
        if (i % 11 == 5)
            QVERIFY2(p.size() == 1 && p[0] >= 4, qPrintable(QString("P%1 split").arg(i)));
        else
            QCOMPARE(std::accumulate(p.begin(), p.end(), 0), 3 + i % 9);
        for (int n : p)
            QVERIFY2(p.size() == 1 || n >= 2, qPrintable(QString("entry %1 leaves one line").arg(i)));
        broken += p.size() > 1;
    }
    QVERIFY(broken > 0); // some entry did run over a page, so the rule was put to the test
}

// The preview paints the first page as soon as it is laid out and lays out the rest behind it, the
// page count filling in; pages painted while the layout goes on break where a layout done first
// breaks them.
void ReportsTest::previewShowsTheFirstPageBeforeTheRestIsLaidOut() {
    for (int i = 1; i <= 300; ++i)
        Entries().append(
            DiaryList::JournalEntries,
            std::make_shared<DiaryType>(DiaryType{"01-02-99", "Day " + QString::number(i),
                                                  i % 5 ? "We went out.\nSecond line."
                                                        : QString("Long day %1 ").arg(i).repeated(60)}));
    auto pageImage = [](PageRenderer& r, int index) {
        QImage image(816, 1056, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        r.paintPage(p, index);
        return image;
    };
    PageRenderer whole(ReportRegistry::build("Journal", "Ann"));
    const int pages = whole.pageCount();
    QVERIFY2(pages > 10, qPrintable(QString::number(pages)));

    PageRenderer early(ReportRegistry::build("Journal", "Ann"));
    (void)pageImage(early, 0);
    QVERIFY(!early.laidOut());
    QVERIFY(early.pagesReady() >= 1 && early.pagesReady() < pages);
    QList<QImage> painted; // painted with the layout going on
    for (int index = 1; !early.laidOut(); ++index)
        painted << pageImage(early, index);
    QCOMPARE(early.pageCount(), pages);
    // The last of those pages was painted once the count was known, and so were none of the others;
    // but the page breaks are the same as the whole layout's.
    for (int index = 1; index < painted.size(); ++index) {
        QImage expected = pageImage(whole, index), got = painted[index - 1];
        // Only the footer differs: "Page n of m" against "Page n".
        const int footer = 1056 - 48 - 41;
        QCOMPARE(got.copy(0, 0, 816, footer), expected.copy(0, 0, 816, footer));
    }

    const ReportOutput::Job job{"Journal", "Ann",
                                std::make_shared<PageRenderer>(ReportRegistry::build("Journal", "Ann"))};
    TReportPreview preview(job, MainWindow);
    auto* label = preview.findChild<QLabel*>("PageLabel");
    QVERIFY2(label->text().endsWith("..."), qPrintable(label->text()));
    preview.show();
    QTRY_COMPARE(label->text(), QStringLiteral("Page 1 of %1").arg(pages));
    preview.findChild<QAbstractButton*>("NextPageBtn")->click();
    QCOMPARE(label->text(), QStringLiteral("Page 2 of %1").arg(pages));
}

void ReportsTest::sheetAndMilestoneReportsPrintThroughTheChooser() {
    using namespace MilestoneSheets;
    // Ann's records, entered through the store's writers as the forms do.
    ChildRecords::setSheet("Ann", DiarySheets::PrenatalDates,
                           {{"D1", "03/01/97"},
                            {"D2", "  /  /  "},
                            {"D9", "08/30/97"},
                            {"O1", "Grandma's visit"},
                            {"D10", "05/05/97"},
                            {"O3", "Name only"}});
    ChildRecords::setSheet("Ann", DiarySheets::Immunizations,
                           {{"MaskEdit2", "03-16-97"},
                            {"MaskEdit1", "03-16-98"},
                            {"MaskEdit20", "  -  -  "},
                            {"Edit1", "Flu shot"},
                            {"MaskEdit21", "10-01-98"},
                            {"MaskEdit23", "11-11-98"}});
    ChildRecords::setSheet("Ann", DiarySheets::Pediatrician,
                           {{"DocName", "Dr. Ruth Kay"}, {"DocCity", "Boise"}, {"DocPhone", "555-0100"}});
    ChildRecords::setPicture("Ann", DiarySheets::DoctorPicture, pngOf(400, 200, Qt::darkCyan));
    ChildRecords::setSheet("Ann", SkillsSheet,
                           {{"Edit1", "04-01-97 in the sink"},
                            {"Edit7", "06-02-97"},
                            {"Edit42", "Swims"},
                            {"Edit50", "06-01-99"}});
    ChildRecords::setPicture("Ann", skillsPictureKey("Image17"), pngOf(120, 300, Qt::darkGreen));
    ChildRecords::setPicture("Ann", skillsPictureKey("Image1"),
                             pngOf(1200, 900, Qt::darkYellow)); // larger than a page
    setBirthday("Ann", BirthdayRecord{"2nd Birthday",
                                      "Cake everywhere.\nThen a nap.",
                                      {"Grandma", "Uncle Joe"},
                                      {{"Grandma", "Blocks"}, {"Uncle Joe", "A red ball"}}});
    ChildRecords::setPicture("Ann", birthdayPictureKey("2nd Birthday", 1), pngOf(313, 233, Qt::darkRed));
    ChildRecords::setPicture("Ann", birthdayPictureKey("2nd Birthday", 2), pngOf(185, 177, Qt::darkBlue));
    setOccasionRemarks("Ann", OutingCaption, "Zoo trip", "Saw the lions.");
    recordOccasion("Ann", OutingCaption, "Pumpkin farm", true, "Pumpkin farm");
    setOccasionRemarks("Ann", VisitorCaption, "Aunt May", "Came from Ohio.");
    setOccasionRemarks("Ann", ChristeningCaption, "Christening", "At St. Mark's, godmother Jo.");
    setOccasionRemarks("Ann", HolidaysCaption, "First Easter - Ann", "Egg hunt.");
    // Bea's records, which must never reach Ann's reports.
    TempStore::addChild("Bea");
    ChildRecords::setSheet("Bea", DiarySheets::Pediatrician, {{"DocName", "Dr. Bea Only"}});
    ChildRecords::setSheet("Bea", DiarySheets::Immunizations, {{"MaskEdit6", "01-02-03"}});
    ChildRecords::setSheet("Bea", DiarySheets::PrenatalDates, {{"O1", "Bea's date"}});
    ChildRecords::setSheet("Bea", SkillsSheet, {{"Edit2", "Bea's bottle"}});
    setBirthday("Bea", BirthdayRecord{"2nd Birthday", "Bea's party", {"Bea's friend"}, {}});
    setOccasionRemarks("Bea", OutingCaption, "Beach day", "Bea's sandcastle.");
    setOccasionRemarks("Bea", VisitorCaption, "Bea's visitor", "");
    setOccasionRemarks("Bea", ChristeningCaption, "Christening", "Bea's christening.");

    const QStringList beaTexts{"Bea", "Dr. Bea Only", "01-02-03", "Beach day", "sandcastle", "christening."};
    const struct {
        const char* action;
        const char* name;
        QStringList inOrder; // these texts, in this order
        QStringList absent;
        int pictures;
    } cases[] = {
        {"Prenatal2",
         "Prenatal Dates",
         {"Dates to Remember", "Pregnancy Confirmed: 03/01/97", "Estimated Due Date:",
          "Nursery Completed: 08/30/97", "Other Dates to Remember", "Grandma's visit 05/05/97", "Name only"},
         {"/ /", "Began to Show: /"},
         0},
        {"Health1",
         "Immunizations",
         {"Immunization Date Given", "HB (Birth) 03-16-97", "HB (1-2 Months)", "HIB (12 Months) 03-16-98",
          "MMR (4-6 years)", "Flu shot 10-01-98", "(Immunization not named) 11-11-98"},
         {"- -"},
         0},
        {"Health1",
         "Pediatrician Information",
         {"Name: Dr. Ruth Kay", "Address:", "City: Boise", "State:", "Zip:", "Phone: 555-0100"},
         {},
         1},
        {"Firsts2",
         "Skills",
         {"1st Skills", "First Bath 04-01-97 in the sink", "Coordination", "Laughs 06-02-97", "Others",
          "Swims 06-01-99", "Pictures", "1st Skills Outdoors"},
         {"First Bottle", "At the Table"},
         2},
        {"Holidays2",
         "2nd",
         {"2nd Birthday", "Remarks", "Cake everywhere.", "Then a nap.", "Guests", "1 Grandma", "2 Uncle Joe",
          "Gifts", "Grandma Blocks", "Uncle Joe A red ball"},
         {"Nothing has been recorded"},
         2},
        {"SpecialEvents2",
         "Outings",
         {"Zoo trip", "Saw the lions.", "Pumpkin farm", "No remarks were written."},
         {"Aunt May", "Egg hunt", "St. Mark"},
         0},
        {"SpecialEvents2", "Visitors", {"Aunt May", "Came from Ohio."}, {"Zoo trip", "Egg hunt"}, 0},
        {"SpecialEvents2", "Christening", {"Christening", "At St. Mark's, godmother Jo."}, {"Zoo trip"}, 0},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromLatin1(c.name);
        const QString pdf = pdfPath(name + ".pdf");
        QVERIFY(printThroughChooser(c.action, name, pdf));
        const QString flat = flatText(pdfText(pdf));
        const int pages = pdfPages(pdf);
        QVERIFY2(pages >= 1 && flat.contains(QStringLiteral("Page %1 of %1").arg(pages)), qPrintable(name));
        QVERIFY2(flat.startsWith(name) && flat.contains("\nAnn\n"), qPrintable(name + ":\n" + flat));
        int from = 0;
        for (const QString& e : c.inOrder) {
            const int at = flat.indexOf(e, from);
            QVERIFY2(at >= 0, qPrintable(name + " lacks (in order) " + e + ":\n" + flat));
            from = at + e.size();
        }
        for (const QString& e : c.absent + beaTexts)
            QVERIFY2(!flat.contains(e), qPrintable(name + " shows " + e + ":\n" + flat));
        // Pictures keep their shape: the same resolution both ways, and every chosen one is there.
        const QVector<PdfImage> images = pdfImages(pdf);
        QVERIFY2(images.size() >= c.pictures, qPrintable(name + ": " + QString::number(images.size())));
        for (const PdfImage& img : images) {
            // Within the printed width (7.5 inches) and at most a third of the page tall.
            QVERIFY2(
                img.xppi > 0 && double(img.width) / img.xppi <= 7.5 && double(img.height) / img.yppi <= 3.2,
                qPrintable(name +
                           QStringLiteral(": %1x%2 at %3 ppi").arg(img.width).arg(img.height).arg(img.xppi)));
            QVERIFY2(qAbs(img.xppi - img.yppi) <= 1, qPrintable(name + QStringLiteral(": %1x%2 at %3/%4 ppi")
                                                                           .arg(img.width)
                                                                           .arg(img.height)
                                                                           .arg(img.xppi)
                                                                           .arg(img.yppi)));
        }
    }

    // With Bea active, her own records show and none of Ann's.
    Entries().childSwitch("Bea");
    MainWindow->makeChildActive("Bea");
    const QString pdf = pdfPath("bea-outings.pdf");
    QVERIFY(printThroughChooser("SpecialEvents2", "Outings", pdf));
    const QString bea = flatText(pdfText(pdf));
    QVERIFY2(bea.contains("\nBea\n") && bea.contains("Beach day") && bea.contains("Bea's sandcastle."),
             qPrintable(bea));
    QVERIFY(!bea.contains("Zoo trip") && !bea.contains("Ann"));
    const QString birthdayPdf = pdfPath("bea-2nd.pdf");
    QVERIFY(printThroughChooser("Holidays2", "2nd", birthdayPdf));
    const QString beaBirthday = flatText(pdfText(birthdayPdf));
    QVERIFY(beaBirthday.contains("Bea's friend") && !beaBirthday.contains("Grandma"));
    QCOMPARE(pdfImages(birthdayPdf).size(), 0); // Ann's pictures stay Ann's
}

void ReportsTest::reportsWithNothingRecordedSaySo() {
    // A child with nothing recorded: each report says so under its title and the child's name, on one
    // page, and shows no empty headings.
    const struct {
        const char* action;
        const char* name;
        const char* title;
    } cases[] = {{"Prenatal2", "Prenatal Dates", "Prenatal Dates"},
                 {"Health1", "Immunizations", "Immunizations"},
                 {"Health1", "Pediatrician Information", "Pediatrician Information"},
                 {"Firsts2", "Skills", "Skills"},
                 {"Holidays2", "Birth", "Birth"},
                 {"Holidays2", "16th", "16th Birthday"},
                 {"SpecialEvents2", "Outings", "Outings"},
                 {"SpecialEvents2", "Visitors", "Visitors"},
                 {"SpecialEvents2", "Christening", "Christening"}};
    for (const auto& c : cases) {
        const QString pdf = pdfPath(QString::fromLatin1(c.name) + "-empty.pdf");
        QVERIFY(printThroughChooser(c.action, c.name, pdf));
        QCOMPARE(pdfPages(pdf), 1);
        const QStringList text = flatText(pdfText(pdf)).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(text.size() >= 4, qPrintable(text.join('\n')));
        QCOMPARE(text[0], QString::fromLatin1(c.title));
        QCOMPARE(text[1], QStringLiteral("Ann"));
        QVERIFY2(text[2].startsWith("by Tinyra 4"), qPrintable(text.join('\n')));
        QVERIFY2(text[3].startsWith("Nothing has been recorded ") && text[3].endsWith(" yet."),
                 qPrintable(text.join('\n')));
        QVERIFY2(text[4].startsWith("Page 1 of 1"), qPrintable(text.join('\n')));
    }
}

void ReportsTest::longBirthdayFlowsOverPages() {
    MilestoneSheets::BirthdayRecord record{"1st Birthday", QString(), {}, {}};
    for (int i = 1; i <= 120; ++i) {
        record.guests << "Guest number " + QString::number(i);
        record.gifts << MilestoneSheets::Gift{"Giver " + QString::number(i), "Present " + QString::number(i)};
    }
    MilestoneSheets::setBirthday("Ann", record);
    const QString pdf = pdfPath("long-birthday.pdf");
    QVERIFY(printThroughChooser("Holidays2", "1st", pdf));
    const int pages = pdfPages(pdf);
    QVERIFY2(pages >= 4, qPrintable(QString::number(pages)));
    const QString text = flatText(pdfText(pdf));
    int from = 0;
    for (int i = 1; i <= 120; ++i) {
        from = text.indexOf(QStringLiteral("%1 Guest number %1\n").arg(i), from);
        QVERIFY2(from >= 0, qPrintable(QString::number(i)));
    }
    for (int i = 1; i <= 120; ++i) {
        from = text.indexOf(QStringLiteral("Giver %1 Present %1\n").arg(i), from);
        QVERIFY2(from >= 0, qPrintable(QString::number(i)));
    }
    QCOMPARE(text.count("Report generated by Tinyra 4"), pages);
    // The gift table repeats its headings on each page it runs over.
    QVERIFY(text.count("Name Gift") >= 2);
}

void ReportsTest::unreadablePictureIsSaidSo() {
    // A damaged picture file: the page says so where it would stand, and the other picture still prints.
    ChildRecords::setPicture("Ann", MilestoneSheets::birthdayPictureKey("3rd Birthday", 1), "not a picture");
    ChildRecords::setPicture("Ann", MilestoneSheets::birthdayPictureKey("3rd Birthday", 2),
                             pngOf(60, 90, Qt::red));
    const QString pdf = pdfPath("3rd.pdf");
    QVERIFY(printThroughChooser("Holidays2", "3rd", pdf));
    const QString text = flatText(pdfText(pdf));
    QVERIFY2(text.contains("This picture could not be read.") && !text.contains("Nothing has been recorded"),
             qPrintable(text));
    const QVector<PdfImage> images = pdfImages(pdf);
    QCOMPARE(images.size(), 1);
    QCOMPARE(images[0].width, 60);
    QCOMPARE(images[0].height, 90);
}

void ReportsTest::everyNameOfEveryCategoryProducesAPdf() {
    // Every name the chooser lists in every "&Reports" category, printed from the chooser as shown;
    // the names lists are cut short, so that no report is long enough to ask before printing.
    Database::exec(QStringLiteral("DELETE FROM BOYA WHERE rowid NOT IN (SELECT rowid FROM BOYA LIMIT 20)"));
    Database::exec(QStringLiteral("DELETE FROM GIRLA WHERE rowid NOT IN (SELECT rowid FROM GIRLA LIMIT 20)"));
    const QStringList actions{"Prenatal2", "Child2",    "Health1",        "Firsts2",
                              "Holidays2", "Holidays3", "SpecialEvents2", "Journal2"};
    int catalogued = 0;
    for (const ReportCategory& c : ReportCatalog::categories())
        catalogued += int(c.names.size());
    QStringList printed;
    QStringList failures;
    // The book opens the print dialog: it is accepted as it stands, every page.
    QTimer printDialog;
    QObject::connect(&printDialog, &QTimer::timeout, [] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (d && d->objectName() == "PrintDialog")
            d->accept();
    });
    printDialog.start(20);
    for (const QString& action : actions) {
        QStringList listed;
        ModalDriver driver;
        driver.expect("PrintReports", [&](QWidget* w) {
            auto* box = w->findChild<QComboBox*>("ReportName");
            for (int i = 0; i < box->count(); ++i)
                listed << box->itemText(i);
            for (const QString& name : listed) {
                box->setEditText(name);
                ReportOutput::setPrintToPdfForTesting(pdfPath(action + "-" + name + ".pdf"));
                ModalDriver::click(w, "BitBtn1");
            }
            ModalDriver::click(w, "OKBtn");
        });
        driver.start();
        MainWindow->findChild<QAction*>(action)->trigger();
        QVERIFY2(driver.waitFinished(120000), qPrintable(driver.error()));
        ReportOutput::setPrintToPdfForTesting(QString());
        for (const QString& name : listed) {
            const QString keep = qEnvironmentVariable("REPORTS_PDF_DIR");
            const QString path = (keep.isEmpty() ? m_dir.path() : keep) + "/" + action + "-" + name + ".pdf";
            const int pages = pdfPages(path);
            if (pages < 1 || !flatText(pdfText(path)).contains(name))
                failures << action + ": " + name;
            printed << name;
        }
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(", ")));
    QCOMPARE(printed.size(), catalogued); // "Journal" twice, in two categories
    for (const ReportCategory& c : ReportCatalog::categories())
        for (const QString& name : c.names)
            QVERIFY2(printed.contains(name), qPrintable(name));
}

void ReportsTest::overlongTableRowLosesNoLine() {
    // A name whose meaning runs longer than a page: every line of it reaches the pages, in order.
    QStringList meaning;
    for (int i = 1; i <= 120; ++i)
        meaning << QStringLiteral("Meaning line %1").arg(i);
    Database::exec(QStringLiteral("DELETE FROM BOYA"));
    Database::exec(QStringLiteral("DELETE FROM GIRLA"));
    Database::exec(QStringLiteral("INSERT INTO GIRLA (Name, Origin, Meaning) VALUES ('Long', 'Test', ?)"),
                   {meaning.join('\n')});
    const QString pdf = pdfPath("long-row.pdf");
    QVERIFY(printThroughChooser("Prenatal2", QString(), pdf)); // "Baby Names" is the default
    const int pages = pdfPages(pdf);
    QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
    const QString text = pdfText(pdf);
    int from = 0;
    for (int i = 1; i <= 120; ++i) {
        const QRegularExpression line(QStringLiteral("Meaning line %1\\b").arg(i));
        const int at = text.indexOf(line, from);
        QVERIFY2(at >= 0, qPrintable(QString::number(i)));
        from = at;
    }
    // The column headings stand again on every page the row continues on.
    QCOMPARE(text.count(QRegularExpression("Name\\s+Origin\\s+Meaning")), pages);
}

// Prints `report` (by default "The Baby Book") from the Child category's chooser on the paper
// named. The book goes through the print dialog, which is accepted as it opens (every page); another
// report asks the page count's question when `manyPages`, answered Yes.
bool printBook(const QString& pdf, const QString& paper, bool manyPages,
               const QString& report = ReportCatalog::BabyBook, QPair<int, int> pages = {0, 0}) {
    ReportOutput::setPrintToPdfForTesting(pdf);
    ModalDriver driver;
    driver.expect("PrintReports", [paper, report](QWidget* w) {
        w->findChild<QComboBox*>("ReportName")->setEditText(report);
        auto* box = w->findChild<QComboBox*>("PaperSize");
        box->setCurrentIndex(box->findText(paper));
        ModalDriver::click(w, "BitBtn1");
        ModalDriver::click(w, "OKBtn");
    });
    if (report == ReportCatalog::BabyBook)
        driver.expect(
            "PrintDialog",
            [pages](QWidget* w) {
                if (pages.first > 0) { // the page range typed into the dialog's own boxes
                    w->findChild<QRadioButton*>("printRange")->setChecked(true);
                    w->findChild<QSpinBox*>("from")->setValue(pages.first);
                    w->findChild<QSpinBox*>("to")->setValue(pages.second);
                }
                static_cast<QDialog*>(w)->accept();
            },
            60000);
    else if (manyPages)
        driver.expect(
            "ConfirmBox", [](QWidget* w) { ModalDriver::answer(w, QMessageBox::Yes); }, 60000);
    driver.start();
    MainWindow->findChild<QAction*>("Child2")->trigger();
    const bool ok = driver.waitFinished(60000);
    ReportOutput::setPrintToPdfForTesting(QString());
    if (!ok)
        qWarning("%s", qPrintable(driver.error()));
    return ok;
}

// The announcement comes on the paper chosen, as every report does.
void ReportsTest::announcementFollowsThePaperChosen() {
    setChildFields("Ann", {{"MiddleName", "Marie"}, {"LastName", "Lee"}});
    for (const auto& [paper, width] : {std::pair{"A4", "595 x 842"}, std::pair{"Letter", "612 x 792"}}) {
        const QString pdf = pdfPath(QStringLiteral("announcement-%1.pdf").arg(paper));
        QVERIFY(printBook(pdf, paper, false, ReportCatalog::BirthAnnouncement));
        QVERIFY2(pdfPageSize(pdf).startsWith(width), qPrintable(pdfPageSize(pdf)));
        QVERIFY(pdfText(pdf).contains("Announcing the Arrival of Ann Marie Lee"));
    }
}

// A page's lines without blanks, each with its runs of blanks reduced to one.
QStringList pageLines(const QString& page) {
    return flatText(page).split('\n', Qt::SkipEmptyParts);
}

// The contents page's chapters and their page numbers.
QVector<QPair<QString, int>> contentsOf(const QString& page) {
    QVector<QPair<QString, int>> chapters;
    const QRegularExpression line("^([A-Z][A-Za-z ]*[a-z]) (\\d+)$");
    for (const QString& l : pageLines(page)) {
        const QRegularExpressionMatch m = line.match(l);
        if (m.hasMatch())
            chapters << qMakePair(m.captured(1), m.captured(2).toInt());
    }
    return chapters;
}

void ReportsTest::babyBookReadBackFromItsPdf() {
    using namespace MilestoneSheets;
    // A child with something in every chapter, entered through the store's writers as the forms do.
    setChildFields("Ann", {{"MiddleName", "Marie"},
                           {"LastName", "Lee"},
                           {"BirthDay", "Monday"},
                           {"BDayMonth", "3"},
                           {"BDateDay", "15"},
                           {"BDayYear", "1997"},
                           {"BirthWeightLb", "7"},
                           {"Hospital", "St. Luke's"},
                           {"H1", "Snow in March"}});
    ChildRecords::setPicture("Ann", "ChildInfo/Image1", pngOf(900, 1100, Qt::darkMagenta));
    ChildRecords::setSheet("Ann", DiarySheets::PrenatalDates, {{"D1", "03/01/97"}});
    auto add = [](DiaryList list, const QString& title, const QString& text) {
        Entries().append(list, std::make_shared<DiaryType>(DiaryType{"04-05-97", title, text}));
    };
    add(DiaryList::PrenatalDiary, "First kick", "A flutter after dinner.");
    Entries().setFamilyMember(2, {"Robert Lee", "07-04-66", "Boise"});
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"01-01-98", "24", "12", "3"}));
    ChildRecords::setSheet("Ann", DiarySheets::Pediatrician, {{"DocName", "Dr. Ruth Kay"}});
    add(DiaryList::DoctorVisits, "Checkup", "All well.");
    Entries().setToothDate(1, "06-01-97");
    add(DiaryList::WordEntries, "ball", "");
    ChildRecords::setSheet("Ann", SkillsSheet, {{"Edit1", "04-01-97 in the sink"}});
    ChildRecords::setPicture("Ann", skillsPictureKey("Image1"), pngOf(120, 300, Qt::darkGreen)); // small
    ChildRecords::setPicture("Ann", skillsPictureKey("Image2"), pngOf(3000, 2000, Qt::darkYellow));
    setBirthday("Ann",
                BirthdayRecord{"1st Birthday", "Cake everywhere.", {"Grandma"}, {{"Grandma", "Blocks"}}});
    ChildRecords::setPicture("Ann", birthdayPictureKey("1st Birthday", 1), pngOf(313, 233, Qt::darkRed));
    setOccasionRemarks("Ann", HolidaysCaption, "First Easter - Ann", "Egg hunt.");
    // The journal: entries whose lines are marked, of many lengths, so breaks fall inside some.
    for (int i = 1; i <= 150; ++i) {
        QStringList lines;
        for (int k = 1; k <= 2 + i % 8; ++k)
            lines << QString("E%1 L%2").arg(i).arg(k);
        add(DiaryList::JournalEntries, "Day " + QString::number(i), lines.join('\n'));
    }
    // A day out with two photos, printed under its entry.
    QTemporaryDir photos;
    QVector<EntryPhoto> dayOut;
    for (const QSize size : {QSize(640, 480), QSize(480, 640)}) {
        const QString path = photos.filePath(QString("%1x%2.png").arg(size.width()).arg(size.height()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(pngOf(size.width(), size.height(), Qt::darkCyan)) > 0);
        file.close();
        dayOut.append({PhotoFiles::store(path), QFileInfo(path).fileName(), QString()});
    }
    // A phone photo stored on its side (600x300), printed standing as its EXIF says.
    const QString turned = cameraPhoto(photos.path(), "phone.jpg", "1997:05:05 11:00:00", QSize(600, 300));
    dayOut.append({PhotoFiles::store(turned), "phone.jpg", "05-05-97"});
    auto outing = std::make_shared<DiaryType>(DiaryType{"05-05-97", "Day out", "The zoo."});
    outing->Photos = dayOut;
    Entries().append(DiaryList::JournalEntries, outing);

    const QString pdf = pdfPath("baby-book.pdf");
    QVERIFY(printBook(pdf, "A4", true));
    QVERIFY2(pdfPageSize(pdf).startsWith("595"), qPrintable(pdfPageSize(pdf)));
    QStringList pages = pdfText(pdf).split('\f');
    if (pages.last().trimmed().isEmpty())
        pages.removeLast();
    QCOMPARE(pages.size(), pdfPages(pdf));

    // The cover: title, full name, birth date, and no page number.
    const QStringList cover = pageLines(pages[0]);
    QCOMPARE(cover, (QStringList{"The Baby Book", "Ann Marie Lee", "Born Monday, 3/15/1997"}));
    // The contents: every chapter, in the order of a life, each on the page it names (short ones share
    // a page).
    QCOMPARE(pageLines(pages[1]).value(0), QStringLiteral("Contents"));
    const QVector<QPair<QString, int>> contents = contentsOf(pages[1]);
    const QStringList chapters{"Before You Were Born", "Birth",  "Family", "Growth", "Health", "Firsts",
                               "Celebrations",         "Journal"};
    QStringList listed;
    for (const auto& c : contents)
        listed << c.first;
    QCOMPARE(listed, chapters);
    for (int c = 0; c < contents.size(); ++c) {
        const int page = contents[c].second;
        QVERIFY(page >= 3 && page <= pages.size() && (c == 0 || page >= contents[c - 1].second));
        QVERIFY2(
            pageLines(pages[page - 1]).contains(contents[c].first),
            qPrintable(contents[c].first + " on page " + QString::number(page) + ":\n" + pages[page - 1]));
    }
    QVERIFY2(contents.last().second < contents.first().second + 7, "no chapter shares a page");
    // The birth's values under their names; each birthday with its day and the age the child turned.
    const QStringList birth = pageLines(pages[contents[1].second - 1]);
    QVERIFY2(birth.contains("Announcing the Arrival of Ann Marie Lee") &&
                 birth.contains("Hospital: St. Luke's"),
             qPrintable(birth.join('\n')));
    QVERIFY2(pages[contents[6].second - 1].contains("Sunday, March 15, 1998 · 1 year old"),
             qPrintable(pages[contents[6].second - 1]));
    QVERIFY(pages[contents[2].second - 1].contains("Robert Lee")); // the family's tree and table
    QVERIFY(pages[contents[6].second - 1].contains("1st Birthday"));
    // Every page but the cover numbered at its foot; every page inside a chapter but its first
    // headed with the child's name and the chapter.
    for (int i = 1; i < pages.size(); ++i) {
        const QStringList lines = pageLines(pages[i]);
        QVERIFY2(lines.last() == QString::number(i + 1),
                 qPrintable(QString::number(i + 1) + ":\n" + pages[i]));
        QString chapter;
        bool opening = i == 1;
        for (const auto& c : contents) {
            if (c.second <= i + 1)
                chapter = c.first;
            opening = opening || c.second == i + 1;
        }
        if (!opening)
            QVERIFY2(lines.first() == "Ann Marie Lee " + chapter,
                     qPrintable(QString::number(i + 1) + ": " + lines.first()));
    }
    // No break leaves a single line of a journal entry on either page.
    QHash<int, QVector<int>> parts;
    for (const QHash<int, int>& page : entryLinesPerPage(pdf))
        for (auto it = page.cbegin(); it != page.cend(); ++it)
            parts[it.key()] << it.value();
    for (int i = 1; i <= 150; ++i) {
        const QVector<int> p = parts.value(i);
        QCOMPARE(std::accumulate(p.begin(), p.end(), 0), 2 + i % 8);
        for (int n : p)
            QVERIFY2(p.size() == 1 || n >= 2, qPrintable(QString("entry %1 leaves one line").arg(i)));
    }
    // Every picture (the cover's, the tree, the doctor's none, two skills, a birthday) is there, none
    // stretched, none printed at fewer than 150 pixels per inch.
    const QVector<PdfImage> images = pdfImages(pdf);
    QVERIFY2(images.size() >= 7, qPrintable(QString::number(images.size())));
    int photosPrinted = 0; // the day out's two, the only pictures of 4:3 and 3:4 in the book
    for (const PdfImage& img : images)
        photosPrinted += img.width * 3 == img.height * 4 || img.width * 4 == img.height * 3;
    QCOMPARE(photosPrinted, 2);
    int standing = 0, lying = 0; // the phone photo, 1:2 once turned
    for (const PdfImage& img : images) {
        standing += qAbs(img.height - 2 * img.width) <= 2;
        lying += qAbs(img.width - 2 * img.height) <= 2;
    }
    QCOMPARE(standing, 1);
    QCOMPARE(lying, 0);
    for (const PdfImage& img : images)
        QVERIFY2(img.xppi >= 150 && qAbs(img.xppi - img.yppi) <= 1,
                 qPrintable(QStringLiteral("%1x%2 at %3/%4 ppi")
                                .arg(img.width)
                                .arg(img.height)
                                .arg(img.xppi)
                                .arg(img.yppi)));

    // A child with nothing recorded: the cover and an empty contents page, no chapter; with only a
    // journal entry, the journal alone. Letter paper when chosen.
    TempStore::addChild("Bea");
    Entries().childSwitch("Bea");
    MainWindow->makeChildActive("Bea");
    const QString empty = pdfPath("baby-book-empty.pdf");
    QVERIFY(printBook(empty, "Letter", false));
    QVERIFY2(pdfPageSize(empty).startsWith("612 x 792"), qPrintable(pdfPageSize(empty)));
    QStringList emptyPages = pdfText(empty).split('\f');
    QCOMPARE(pdfPages(empty), 2);
    QVERIFY(contentsOf(emptyPages[1]).isEmpty());
    for (const QString& c : chapters)
        QVERIFY2(!pageLines(emptyPages[1]).contains(c), qPrintable(c));
    add(DiaryList::JournalEntries, "Bea's day", "Sand.");
    const QString journalOnly = pdfPath("baby-book-journal.pdf");
    QVERIFY(printBook(journalOnly, "Letter", false));
    const QVector<QPair<QString, int>> only = contentsOf(pdfText(journalOnly).split('\f').value(1));
    QCOMPARE(only, (QVector<QPair<QString, int>>{{"Journal", 3}}));
    QCOMPARE(pdfPages(journalOnly), 3);
    // The pages chosen in the print dialog are the pages printed.
    const QString lastTwo = pdfPath("baby-book-pages.pdf");
    QVERIFY(printBook(lastTwo, "Letter", false, ReportCatalog::BabyBook, {2, 3}));
    QCOMPARE(pdfPages(lastTwo), 2);
    QCOMPARE(pageLines(pdfText(lastTwo)).value(0), QStringLiteral("Contents"));
}

// Tables of many lengths after paragraphs of many lengths, so that page breaks fall at every place:
// no row is lost, a table parts only with two rows at least on each side (one of three rows never),
// its headings stand on every page it is on, and a heading stands with its table's first row. A
// short chapter does not hold a page alone when the next chapter's start fits under it.
void ReportsTest::bookKeepsHeadingsAndTableRowsTogether() {
    ReportDocument doc;
    doc.title = QStringLiteral("The Baby Book");
    doc.child = QStringLiteral("Ann Lee");
    doc.book = true;
    doc.chapter(QStringLiteral("Tables"));
    const int rowCounts[] = {1, 2, 3, 4, 5, 6, 9, 13, 41, 44};
    QVector<int> rows;
    for (int k = 0; k < 40; ++k) {
        QStringList filler;
        for (int j = 0; j < (k * 7) % 23 + 1; ++j)
            filler << QStringLiteral("Filler %1 line %2").arg(k).arg(j);
        doc.paragraph(filler.join('\n'));
        doc.section(QStringLiteral("Heading %1").arg(k));
        QVector<QStringList> table;
        rows << rowCounts[k % 10];
        for (int r = 1; r <= rows.last(); ++r)
            table << QStringList{QStringLiteral("T%1R%2").arg(k).arg(r), QStringLiteral("value")};
        doc.table({QStringLiteral("Item %1").arg(k), QStringLiteral("Value")}, {0.5, 0.5}, table);
    }
    doc.chapter(QStringLiteral("Short"));
    doc.table({QStringLiteral("Word"), QStringLiteral("Said")}, {0.5, 0.5},
              {{"ball", "1998"}, {"dog", "1998"}});
    doc.chapter(QStringLiteral("Next"));
    doc.section(QStringLiteral("After"));
    doc.paragraph(QStringLiteral("Fits under the short chapter."));

    PageRenderer renderer(doc, QPageSize::A4);
    const QString pdf = pdfPath("book-tables.pdf");
    QPdfWriter writer(pdf);
    QVERIFY(renderer.render(&writer));
    QStringList pages = pdfText(pdf).split('\f');
    QHash<int, QVector<int>> perPage; // table -> rows on each page it is on
    QHash<int, int> rowOne, heading;  // table -> page of its first row, of its heading
    const QRegularExpression row("T(\\d+)R(\\d+)");
    for (int p = 0; p < pages.size(); ++p) {
        QHash<int, int> counts;
        for (auto it = row.globalMatch(pages[p]); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const int k = m.captured(1).toInt();
            ++counts[k];
            if (m.captured(2) == "1")
                rowOne[k] = p;
        }
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            perPage[it.key()] << it.value();
            QVERIFY2(
                pages[p].contains(QStringLiteral("Item %1 ").arg(it.key())),
                qPrintable(
                    QStringLiteral("table %1 without its headings on page %2").arg(it.key()).arg(p + 1)));
        }
        for (auto it = QRegularExpression("Heading (\\d+)").globalMatch(pages[p]); it.hasNext();)
            heading[it.next().captured(1).toInt()] = p;
    }
    int parted = 0;
    for (int k = 0; k < rows.size(); ++k) {
        const QVector<int> parts = perPage.value(k);
        QCOMPARE(std::accumulate(parts.begin(), parts.end(), 0), rows[k]);
        for (int n : parts)
            QVERIFY2(parts.size() == 1 || (n >= 2 && rows[k] > 3),
                     qPrintable(QStringLiteral("table %1 of %2 rows parted so: %3 on one page")
                                    .arg(k)
                                    .arg(rows[k])
                                    .arg(n)));
        parted += parts.size() > 1;
        QCOMPARE(heading.value(k, -1), rowOne.value(k, -2));
    }
    QVERIFY2(parted >= 8, qPrintable(QString::number(parted))); // the breaks did fall inside tables
    const QVector<QPair<QString, int>> chapters = renderer.contents();
    QCOMPARE(chapters.size(), 3);
    QCOMPARE(chapters[2].second, chapters[1].second);
    QVERIFY(pages[chapters[1].second - 1].contains("Fits under the short chapter."));
}

void ReportsTest::helpShowsTopic36() {
    int topic = 0;
    ModalDriver driver;
    driver.expect("PrintReports", [](QWidget* w) { ModalDriver::click(w, "HelpBtn"); })
        .expect("HelpForm",
                [&topic](QWidget* w) {
                    topic = static_cast<THelpForm*>(w)->TopicNumber;
                    static_cast<QDialog*>(w)->reject();
                })
        .expect("PrintReports", [](QWidget* w) { ModalDriver::click(w, "OKBtn"); });
    driver.start();
    MainWindow->findChild<QAction*>("Child2")->trigger();
    QVERIFY2(driver.waitFinished(), qPrintable(driver.error()));
    QCOMPARE(topic, 36);
}

QTEST_MAIN(ReportsTest)
#include "tst_reports.moc"
