#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The report categories of the "&Reports" menu: the chooser's title, the report names it lists and
// the name it proposes.
struct ReportCategory {
    QString title;       // "Prenatal Reports"
    QStringList names;   // in the order they are added to the chooser's list
    QString defaultText; // the text the name box starts with ("Empty" names no report)
};

namespace ReportCatalog {
// The eight categories, in menu order.
const QVector<ReportCategory>& categories();
// The category with this title, or null.
const ReportCategory* find(const QString& title);
// `names` as the chooser's sorted list shows them: alphabetical without regard to case
// ("10th" before "1st", "Birth" after the numbers).
QStringList sortedForList(QStringList names);

extern const QString BirthAnnouncement; // "Birth Announcement"
extern const QString BabyBook;          // "The Baby Book": the whole book as one printed volume
} // namespace ReportCatalog
