// Everything that lists a child's records by date agrees on the order: entries typed late are placed
// by their day, and entries without a date (a blank box, or "13-45-26" from an old file) come last in
// the order they were made, shown as undated and never dropped.
#include "core/book/EntryStore.h"
#include "core/overview/ChildSummary.h"
#include "core/overview/Timeline.h"
#include "core/reports/ReportCatalog.h"
#include "core/reports/ReportRegistry.h"
#include "core/store/Database.h"
#include "support/TempStore.h"

#include <QTest>

#include <functional>

class DateOrderTest : public QObject {
    Q_OBJECT
private slots:
    void everyListingRunsByDate();
};

namespace {
// The entries of a report, or of one chapter of the Baby Book, as "date title".
QStringList entriesOf(const ReportDocument& doc, const QString& chapter = QString()) {
    QStringList out;
    bool inChapter = chapter.isEmpty();
    for (const ReportBlock& b : doc.blocks) {
        if (b.kind == ReportBlock::Kind::Chapter)
            inChapter = chapter.isEmpty() || b.title == chapter;
        else if (inChapter && b.kind == ReportBlock::Kind::Entry)
            out << (b.date + QLatin1Char(' ') + b.title).trimmed();
    }
    return out;
}

// A table's rows, as "first column|second column".
QStringList rowsOf(const ReportDocument& doc, int first, int second) {
    for (const ReportBlock& b : doc.blocks)
        if (b.kind == ReportBlock::Kind::Table) {
            QStringList out;
            for (const QStringList& r : b.rows)
                out << r.value(first) + QLatin1Char('|') + r.value(second);
            return out;
        }
    return {};
}
} // namespace

void DateOrderTest::everyListingRunsByDate() {
    TempStore store;
    TempStore::addChild("Ann");
    Database::exec(
        "UPDATE CHILD SET BDayMonth = '1', BDateDay = '10', BDayYear = '2024' WHERE FirstName = 'Ann'");
    Entries().freshStart("Ann");
    // Typed in this order: October before March, one undated, one impossible, March's second entry.
    for (const auto& [date, title] :
         {std::pair{"10-05-25", "October"}, std::pair{"03-02-25", "March"}, std::pair{"__-__-__", "Undated"},
          std::pair{"13-45-25", "Impossible"}, std::pair{"03-02-25", "March again"}}) {
        for (DiaryList list : {DiaryList::JournalEntries, DiaryList::WordEntries})
            Entries().append(list, std::make_shared<DiaryType>(DiaryType{date, title, QString()}));
    }
    for (const char* date : {"12-01-25", "10-15-25", "13-45-25", "  -  -  ", "02-20-25"})
        Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{date, "30", "20", "1"}));

    const QStringList diaryOrder{"03-02-25 March", "03-02-25 March again", "10-05-25 October", "Undated",
                                 "Impossible"};
    const QDate today = QDate::currentDate();
    const struct {
        const char* output;
        std::function<QStringList()> read;
        QStringList expected;
    } outputs[] = {
        {"Journal report", [] { return entriesOf(ReportRegistry::build("Journal", "Ann")); }, diaryOrder},
        {"Baby Book, Journal chapter",
         [] { return entriesOf(ReportRegistry::build(ReportCatalog::BabyBook, "Ann"), "Journal"); },
         diaryOrder},
        {"Vocabulary List",
         [] { return rowsOf(ReportRegistry::build("Vocabulary List", "Ann"), 2, 1); },
         {"03-02-25|March", "03-02-25|March again", "10-05-25|October", "|Undated", "|Impossible"}},
        {"Growth Log report",
         [] { return rowsOf(ReportRegistry::build("Growth Log", "Ann"), 0, 1); },
         {"02-20-25|30 inches", "10-15-25|30 inches", "12-01-25|30 inches", "|30 inches", "|30 inches"}},
        {"Timeline, newest first",
         [today] {
             QStringList out;
             const ChildTimeline::Index index = ChildTimeline::Index::read("Ann", today);
             for (int i = 0; i < index.size(); ++i)
                 if (index.kind(i) == ChildTimeline::Kind::Growth ||
                     index.item(i).list == DiaryList::JournalEntries)
                     out << (index.date(i).isValid() ? "" : "undated ") + index.item(i).title;
             return out;
         },
         {"Measured", "Measured", "October", "March", "March again", "Measured", "undated Undated",
          "undated Impossible", "undated Measured", "undated Measured"}},
        {"Home panel's newest moments",
         [today] {
             QStringList out;
             for (const ChildTimeline::Item& item : ChildSummary::read("Ann", today, 6).latest)
                 out << item.dateText + QLatin1Char(' ') + item.title;
             return out;
         },
         {"12-01-25 Measured", "10-15-25 Measured", "10-05-25 October", "10-05-25 October", "03-02-25 March",
          "03-02-25 March again"}},
    };
    for (const auto& o : outputs)
        QVERIFY2(o.read() == o.expected,
                 qPrintable(QString::fromLatin1(o.output) + ": " + o.read().join(", ")));

    // The latest growth is the newest by date, not the last typed.
    QCOMPARE(ChildSummary::read("Ann", today).growth.item.dateText, QStringLiteral("12-01-25"));
}

QTEST_GUILESS_MAIN(DateOrderTest)
#include "tst_dateorder.moc"
