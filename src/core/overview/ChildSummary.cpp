#include "core/overview/ChildSummary.h"

#include "core/book/ChildProfile.h"
#include "core/book/ChildRecords.h"
#include "core/diaries/GrowthPlot.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/store/FastQuery.h"

#include <algorithm>

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
// The growth record stored in row `seq`, as typed; null when it is gone.
std::shared_ptr<GrowthType> readGrowth(qint64 seq) {
    FastQuery q(
        QStringLiteral("SELECT Date, Height, WtLbs, WtOz, Head, WtKg, Units FROM GROWTH WHERE seq = ?"),
        {seq});
    if (!q.next())
        return nullptr;
    return std::make_shared<GrowthType>(
        GrowthType{q.text(0), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5), q.text(6)});
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
    // Every item of the child in date order, newest first, as the timeline lists them: it reads only
    // where each falls, and each item shown here is read whole on its own.
    const ChildTimeline::Index index = ChildTimeline::Index::read(child, today);
    const QDate yearsAgo[] = {today.addYears(-1), today.addYears(-2), today.addYears(-3)};
    QVector<int> undated;
    for (int i = 0; i < index.size(); ++i) {
        const QDate date = index.date(i);
        if (!date.isValid()) {
            if (undated.size() < latestCount)
                undated << i;
            continue;
        }
        if (date > today)
            continue;
        if (s.latest.size() < latestCount)
            s.latest << index.item(i);
        if (s.growth.item.position < 0 && index.kind(i) == ChildTimeline::Kind::Growth)
            s.growth.item = index.item(i);
        for (int years = 1; years <= 3; ++years)
            if (date == yearsAgo[years - 1])
                s.onThisDay.append({years, index.item(i)});
        if (date < yearsAgo[2] && s.growth.item.position >= 0 && s.latest.size() >= latestCount)
            break; // nothing older is shown
    }
    for (int i = 0; i < undated.size() && s.latest.size() < latestCount; ++i)
        s.latest << index.item(undated[i]);
    std::stable_sort(s.onThisDay.begin(), s.onThisDay.end(),
                     [](const OnThisDay& a, const OnThisDay& b) { return a.yearsAgo < b.yearsAgo; });

    if (s.growth.item.position >= 0) {
        const std::shared_ptr<GrowthType> record = readGrowth(s.growth.item.seq);
        if (record) {
            const GrowthPlot::Plot plot = GrowthPlot::forChild(child, {*record}, today);
            s.growth.sexUnknown = profile.birth.isValid() &&
                                  GrowthReference::sexOf(profile.sex) == GrowthReference::Sex::Unknown;
            for (const auto& [measure, name] : {std::pair{GrowthReference::Measure::Height, "height"},
                                                std::pair{GrowthReference::Measure::Weight, "weight"},
                                                std::pair{GrowthReference::Measure::Head, "head"}})
                for (const GrowthPlot::Point& p : plot.points(measure))
                    if (p.reading.known) {
                        s.growth.centiles << QLatin1String(name) + QLatin1Char(' ') +
                                                 GrowthReference::centileText(p.reading.z);
                        if (!s.growth.reference.contains(p.reading.source))
                            s.growth.reference +=
                                (s.growth.reference.isEmpty() ? QString() : QStringLiteral(" and ")) +
                                p.reading.source;
                    }
        }
    }

    if (s.birth.isValid() && s.birth <= today) {
        int turns = today.year() - s.birth.year(); // as nextBirthdayInWords counts it
        if (birthdayIn(s.birth, today.year()) < today)
            ++turns;
        turns = qMax(turns, 1);
        const QStringList titles = MilestoneSheets::birthdayTitles();
        if (turns >= 1 && turns < titles.size()) {
            s.nextBirthday.kind = ChildTimeline::Kind::Birthday;
            s.nextBirthday.key = titles[turns];
            s.nextBirthday.title = titles[turns];
            s.nextBirthday.date = birthdayIn(s.birth, s.birth.year() + turns);
        }
    }
    return s;
}
} // namespace ChildSummary
