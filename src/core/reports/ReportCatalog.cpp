#include "core/reports/ReportCatalog.h"

#include <algorithm>

namespace ReportCatalog {
const QString BirthAnnouncement = QStringLiteral("Birth Announcement");
const QString BabyBook = QStringLiteral("The Baby Book");

const QVector<ReportCategory>& categories() {
    static const QVector<ReportCategory> all{
        {QStringLiteral("Prenatal Reports"),
         {QStringLiteral("Prenatal Dates"), QStringLiteral("Prenatal Diary"),
          QStringLiteral("Prenatal Medical Diary"), QStringLiteral("Baby Names")},
         QStringLiteral("Baby Names")},
        {QStringLiteral("Child Reports"),
         {BirthAnnouncement, QStringLiteral("Itemized Child Report"), QStringLiteral("Family Tree"),
          BabyBook},
         BirthAnnouncement},
        {QStringLiteral("Health Reports"),
         {QStringLiteral("Doctor Visits"), QStringLiteral("Immunizations"),
          QStringLiteral("Pediatrician Information"), QStringLiteral("Childhood Diseases"),
          QStringLiteral("Growth Log")},
         QStringLiteral("Childhood Diseases")},
        {QStringLiteral("Firsts Reports"),
         {QStringLiteral("Skills"), QStringLiteral("Words - Record"), QStringLiteral("Vocabulary List")},
         QStringLiteral("Skills")},
        {QStringLiteral("Birthday Reports"),
         {QStringLiteral("Birth"), QStringLiteral("1st"), QStringLiteral("2nd"), QStringLiteral("3rd"),
          QStringLiteral("4th"), QStringLiteral("5th"), QStringLiteral("6th"), QStringLiteral("7th"),
          QStringLiteral("8th"), QStringLiteral("9th"), QStringLiteral("10th"), QStringLiteral("11th"),
          QStringLiteral("12th"), QStringLiteral("13th"), QStringLiteral("14th"), QStringLiteral("15th"),
          QStringLiteral("16th")},
         QStringLiteral("Birth")},
        {QStringLiteral("Holiday Reports"), {}, QStringLiteral("Empty")},
        {QStringLiteral("Special Reports"),
         {QStringLiteral("Outings"), QStringLiteral("Visitors"), QStringLiteral("Christening"),
          QStringLiteral("Journal")},
         QStringLiteral("Outings")},
        {QStringLiteral("Journal Report"), {QStringLiteral("Journal")}, QStringLiteral("Journal")},
    };
    return all;
}

const ReportCategory* find(const QString& title) {
    for (const ReportCategory& c : categories())
        if (c.title == title)
            return &c;
    return nullptr;
}

QStringList sortedForList(QStringList names) {
    // A stable sort keeps names that differ only in case in the order they were added.
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}
} // namespace ReportCatalog
