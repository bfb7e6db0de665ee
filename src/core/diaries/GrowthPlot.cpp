#include "core/diaries/GrowthPlot.h"

#include "core/book/ChildProfile.h"
#include "core/diaries/GrowthLog.h"
#include "core/diaries/GrowthUnits.h"

#include <algorithm>

namespace GrowthPlot {
namespace {
constexpr double kDaysPerYear = 365.25;

QString describe(const GrowthType& r) {
    const QString date = r.Date.trimmed();
    QStringList parts{date.isEmpty() || date == QLatin1String("-  -") ? QStringLiteral("(no date)") : r.Date};
    const bool metric = GrowthUnits::of(r) == GrowthUnits::System::Metric;
    const QString length = metric ? QStringLiteral(" cm") : QStringLiteral(" in");
    if (!r.Height.trimmed().isEmpty())
        parts << r.Height.trimmed() + length;
    if (metric && !r.WtKg.trimmed().isEmpty())
        parts << r.WtKg.trimmed() + QStringLiteral(" kg");
    if (!metric && !r.WtLbs.trimmed().isEmpty())
        parts << r.WtLbs.trimmed() + QStringLiteral(" lbs");
    if (!metric && !r.WtOz.trimmed().isEmpty())
        parts << r.WtOz.trimmed() + QStringLiteral(" oz");
    if (!r.Head.trimmed().isEmpty())
        parts << QStringLiteral("head ") + r.Head.trimmed() + length;
    return parts.join(QStringLiteral("  "));
}
} // namespace

double correctedAge(double ageYears, int gestationWeeks) {
    if (gestationWeeks <= 0 || gestationWeeks >= 37 || ageYears >= 2)
        return ageYears;
    return ageYears - (40 - gestationWeeks) * 7 / kDaysPerYear;
}

int readGestation(const QString& text) {
    double weeks = 0;
    if (!GrowthLog::readNumber(text, &weeks) || weeks < 20 || weeks > 44)
        return 0;
    return int(weeks);
}

Plot make(const QVector<GrowthType>& records, const QDate& birth, Sex sex, int gestationWeeks,
          const QDate& today, GrowthReference::Choice choice, const GrowthType& atBirth) {
    Plot p;
    p.choice = choice;
    p.birth = birth;
    p.birthKnown = birth.isValid();
    p.sex = sex;
    p.gestationWeeks = gestationWeeks;
    struct Dated {
        QDate date;
        int index; // -1: the birth measurements
    };
    QVector<Dated> dated;
    dated.reserve(records.size() + 1);
    const bool birthMeasured = !(atBirth.Height.trimmed().isEmpty() && atBirth.WtLbs.trimmed().isEmpty() &&
                                 atBirth.WtOz.trimmed().isEmpty() && atBirth.WtKg.trimmed().isEmpty() &&
                                 atBirth.Head.trimmed().isEmpty());
    if (p.birthKnown && birthMeasured)
        dated.append({birth, -1});
    for (int i = 0; i < records.size(); ++i) {
        const GrowthType& r = records[i];
        const QDate d = StoredDate::read(r.Date, today).date();
        if (!d.isValid()) {
            p.leftOut.append(describe(r) + QStringLiteral(" - the date cannot be read"));
            continue;
        }
        if (!p.birthKnown)
            continue;
        if (d < birth) {
            p.leftOut.append(describe(r) + QStringLiteral(" - dated before the birth date"));
            continue;
        }
        dated.append({d, i});
    }
    std::stable_sort(dated.begin(), dated.end(),
                     [](const Dated& a, const Dated& b) { return a.date < b.date; });
    for (QVector<Point>* v : {&p.weight, &p.height, &p.head, &p.bmi})
        v->reserve(dated.size());
    for (const Dated& d : dated) {
        const GrowthType& r = d.index < 0 ? atBirth : records[d.index];
        const double actual = birth.daysTo(d.date) / kDaysPerYear;
        const double age = correctedAge(actual, gestationWeeks);
        if (age != actual)
            p.corrected = true;
        double cm = 0, kg = 0, head = 0;
        const bool hasHeight = GrowthUnits::heightCm(r, &cm);
        const bool hasWeight = GrowthUnits::weightKg(r, &kg);
        const bool headTyped = !r.Head.trimmed().isEmpty();
        const bool hasHead = headTyped && GrowthUnits::headCm(r, &head);
        if (age < 0) {
            p.leftOut.append(describe(r) + QStringLiteral(" - before the due date (corrected age)"));
            continue;
        }
        auto add = [&](QVector<Point>& v, Measure m, double value) {
            const GrowthReference::Position measured =
                m != Measure::Height                                ? GrowthReference::Position::Unknown
                : r.Measured.trimmed() == QLatin1String("lying")    ? GrowthReference::Position::Lying
                : r.Measured.trimmed() == QLatin1String("standing") ? GrowthReference::Position::Standing
                                                                    : GrowthReference::Position::Unknown;
            v.append({age, value, d.date, GrowthReference::read(sex, m, age, value, choice, measured),
                      d.index < 0});
            p.maxAge = std::max(p.maxAge, age);
        };
        if (hasHeight)
            add(p.height, Measure::Height, cm);
        if (hasWeight)
            add(p.weight, Measure::Weight, kg);
        if (hasHead)
            add(p.head, Measure::Head, head);
        if (hasHeight && hasWeight && age >= 2)
            add(p.bmi, Measure::Bmi, kg / (cm * cm / 10000));
        // A record drawn on some chart is named only where a value typed cannot be read.
        const bool heightTyped = !r.Height.trimmed().isEmpty();
        const bool weightTyped = GrowthUnits::of(r) == GrowthUnits::System::Metric
                                     ? !r.WtKg.trimmed().isEmpty()
                                     : !(r.WtLbs.trimmed().isEmpty() && r.WtOz.trimmed().isEmpty());
        if (!hasHeight && !hasWeight && !hasHead)
            p.leftOut.append(describe(r) + QStringLiteral(" - neither height nor weight can be read"));
        else {
            if (heightTyped && !hasHeight)
                p.leftOut.append(
                    describe(r) +
                    QStringLiteral(" - not on the length/height chart: the height cannot be read"));
            if (weightTyped && !hasWeight)
                p.leftOut.append(describe(r) +
                                 QStringLiteral(" - not on the weight chart: the weight cannot be read"));
            if (headTyped && !hasHead)
                p.leftOut.append(describe(r) +
                                 QStringLiteral(" - not on the head circumference chart: the head "
                                                "circumference cannot be read"));
        }
    }
    return p;
}
GrowthType birthRecord(const ChildProfile& profile) {
    return GrowthUnits::birthRecord(profile.birthUnits, profile.birthHeight, profile.birthPounds,
                                    profile.birthOunces, profile.birthLengthCm, profile.birthWeightKg,
                                    profile.birthHead);
}

Plot forChild(const QString& child, const QVector<GrowthType>& records, const QDate& today) {
    const ChildProfile profile = ChildProfile::read(child, today);
    return make(records, profile.birth.date(), GrowthReference::sexOf(profile.sex),
                readGestation(profile.gestation), today, GrowthReference::preferred(), birthRecord(profile));
}
} // namespace GrowthPlot
