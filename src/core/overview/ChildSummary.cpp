#include "core/overview/ChildSummary.h"

#include "core/book/ChildProfile.h"
#include "core/book/ChildRecords.h"
#include "core/diaries/GrowthLog.h"
#include "core/store/Database.h"

#include <QSqlQuery>

namespace {
QString count(int n, const char* unit) {
    return QStringLiteral("%1 %2%3")
        .arg(n)
        .arg(QLatin1String(unit))
        .arg(n == 1 ? QString() : QStringLiteral("s"));
}

// The child's birthday in `year`; a child born on 29 February has it on 28 February in other years.
QDate birthdayIn(const QDate& birth, int year) {
    QDate day(year, birth.month(), birth.day());
    return day.isValid() ? day : QDate(year, 2, 28);
}
} // namespace

namespace ChildSummary {
QString ageInWords(const QDate& birth, const QDate& today) {
    if (!birth.isValid() || !today.isValid() || birth > today)
        return {};
    int years = today.year() - birth.year();
    if (birthdayIn(birth, today.year()) > today)
        --years;
    // Whole months since the last birthday, then the days since the last month-day.
    const QDate lastBirthday = birthdayIn(birth, birth.year() + years);
    int months = 0;
    while (months < 12 && lastBirthday.addMonths(months + 1) <= today)
        ++months;
    const int days = int(lastBirthday.addMonths(months).daysTo(today));
    if (years > 0)
        return months > 0 ? count(years, "year") + QStringLiteral(", ") + count(months, "month")
                          : count(years, "year");
    if (months > 0)
        return days > 0 ? count(months, "month") + QStringLiteral(", ") + count(days, "day")
                        : count(months, "month");
    return days > 0 ? count(days, "day") : QStringLiteral("born today");
}

QString nextBirthdayInWords(const QDate& birth, const QDate& today) {
    if (!birth.isValid() || !today.isValid())
        return {};
    if (birth > today)
        return QStringLiteral("due in %1").arg(count(int(today.daysTo(birth)), "day"));
    int turns = today.year() - birth.year();
    QDate next = birthdayIn(birth, today.year());
    if (next < today) {
        next = birthdayIn(birth, today.year() + 1);
        ++turns;
    }
    if (turns == 0) { // born this very day: the first birthday is a year away
        next = birthdayIn(birth, birth.year() + 1);
        turns = 1;
    }
    const qint64 days = today.daysTo(next);
    if (days == 0)
        return QStringLiteral("turns %1 today").arg(turns);
    if (days == 1)
        return QStringLiteral("turns %1 tomorrow").arg(turns);
    return QStringLiteral("turns %1 in %2").arg(turns).arg(count(int(days), "day"));
}

QString diaryName(DiaryList list) {
    switch (list) {
    case DiaryList::PrenatalDiary:
        return QStringLiteral("Prenatal Diary");
    case DiaryList::PrenatalMedicalDiary:
        return QStringLiteral("Prenatal Medical Diary");
    case DiaryList::JournalEntries:
        return QStringLiteral("Journal");
    case DiaryList::WordEntries:
        return QStringLiteral("First Words");
    case DiaryList::DoctorVisits:
        return QStringLiteral("Doctor Visits");
    case DiaryList::ChildhoodDiseases:
        return QStringLiteral("Childhood Diseases");
    default:
        return QStringLiteral("A diary this version does not know");
    }
}

Summary read(const QString& child, const QDate& today, int latestCount) {
    Summary s;
    const ChildProfile profile = ChildProfile::read(child, today);
    s.fullName = profile.fullName();
    s.birth = profile.birth.date();
    s.pictureFile = ChildRecords::pictureFile(child, QStringLiteral("ChildInfo/Image1"));
    if (s.pictureFile.isEmpty())
        s.picture = ChildRecords::picture(child, QStringLiteral("ChildInfo/Image1"));
    // The newest entries of each list come from the index over (child, list, seq), and only those few
    // are sorted: ordering all of a child's entries would read every one of them, which a child with
    // many thousands makes slow to show.
    QStringList newestOfEach;
    QVariantList values;
    for (int list = int(DiaryList::PrenatalDiary); list <= int(DiaryList::ChildhoodDiseases); ++list) {
        newestOfEach << QStringLiteral(
                            "SELECT * FROM (SELECT seq, list, Date, Title FROM ENTRIES WHERE child = ? "
                            "AND list = %1 ORDER BY seq DESC LIMIT ?)")
                            .arg(list);
        values << child << latestCount;
    }
    values << latestCount;
    QSqlQuery latest =
        Database::exec(QStringLiteral("SELECT list, Date, Title FROM (%1) ORDER BY seq DESC LIMIT ?")
                           .arg(newestOfEach.join(QStringLiteral(" UNION ALL "))),
                       values);
    while (latest.next())
        s.latest.append(
            {DiaryList(latest.value(0).toInt()), latest.value(1).toString(), latest.value(2).toString()});
    return s;
}
} // namespace ChildSummary
