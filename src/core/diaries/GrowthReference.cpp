#include "core/diaries/GrowthReference.h"

#include "core/store/Database.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QVector>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace GrowthReference {
namespace {
constexpr double kDaysPerYear = 365.25;
const char* const kPreference = "GrowthReference";

struct Lms {
    double L, M, S;
};

struct Segment {
    QString source;                // "WHO" or "CDC"
    Position position;             // what a length or height table expects; Unknown for the other measures
    QVector<double> ages, L, M, S; // ages in years, rising

    Lms at(double age) const {
        auto it = std::upper_bound(ages.begin(), ages.end(), age);
        int hi = std::clamp(int(it - ages.begin()), 1, int(ages.size()) - 1);
        const int lo = hi - 1;
        const double f = std::clamp((age - ages[lo]) / (ages[hi] - ages[lo]), 0.0, 1.0);
        auto mix = [&](const QVector<double>& v) { return v[lo] + f * (v[hi] - v[lo]); };
        return {mix(L), mix(M), mix(S)};
    }
};
using Measures = std::array<QVector<Segment>, 4>;
using Table = std::array<Measures, 2>; // girl, boy

QVector<double> numbers(const QJsonValue& v, double scale = 1) {
    QVector<double> out;
    for (const QJsonValue& x : v.toArray())
        out.append(x.toDouble() * scale);
    return out;
}

Table load() {
    Table t;
    QFile file(QStringLiteral(":/data/growth-reference.json"));
    if (!file.open(QIODevice::ReadOnly))
        return t;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    const char* const sexes[] = {"girl", "boy"};
    const char* const measures[] = {"weight", "height", "head", "bmi"};
    for (int s = 0; s < 2; ++s)
        for (int m = 0; m < 4; ++m)
            for (const QJsonValue& v :
                 root.value(QLatin1String(sexes[s])).toObject().value(QLatin1String(measures[m])).toArray()) {
                const QJsonObject o = v.toObject();
                Segment seg;
                seg.source = o.value(QLatin1String("source")).toString();
                const QString position = o.value(QLatin1String("position")).toString();
                seg.position = position == QLatin1String("lying")      ? Position::Lying
                               : position == QLatin1String("standing") ? Position::Standing
                                                                       : Position::Unknown;
                const bool days = o.value(QLatin1String("ageUnit")).toString() == QLatin1String("day");
                seg.ages = numbers(o.value(QLatin1String("ages")), days ? 1 / kDaysPerYear : 1 / 12.0);
                seg.L = numbers(o.value(QLatin1String("L")));
                seg.M = numbers(o.value(QLatin1String("M")));
                seg.S = numbers(o.value(QLatin1String("S")));
                const int n = int(seg.ages.size());
                if (n >= 2 && seg.L.size() == n && seg.M.size() == n && seg.S.size() == n)
                    t[s][m].append(seg);
            }
    return t;
}

const QVector<Segment>& segments(Sex sex, Measure measure) {
    static const Table table = load();
    static const QVector<Segment> none;
    if (sex == Sex::Unknown)
        return none;
    return table[sex == Sex::Girl ? 0 : 1][int(measure)];
}

// The ages a stretch reads for a choice: from its first age to the next stretch's first age (the
// last to its last age); the WHO's end where the CDC's begin, at the choice's switch.
struct Span {
    const Segment* seg;
    double from, to;
};
QVector<Span> spans(Sex sex, Measure measure, Choice choice) {
    const QVector<Segment>& segs = segments(sex, measure);
    const bool hasCdc = std::any_of(segs.begin(), segs.end(),
                                    [](const Segment& s) { return s.source == QLatin1String("CDC"); });
    const double change = switchAge(choice);
    QVector<Span> out;
    for (int i = 0; i < segs.size(); ++i) {
        const Segment& s = segs[i];
        double from = s.ages.first();
        double to = i + 1 < segs.size() ? segs[i + 1].ages.first() : s.ages.last();
        if (s.source == QLatin1String("CDC"))
            from = std::max(from, change);
        else if (hasCdc) {
            if (i + 1 < segs.size() && segs[i + 1].source == QLatin1String("CDC"))
                to = s.ages.last();
            to = std::min(to, change);
        }
        // Lying length ends, and standing height (and the BMI chart) begins, at 2 years exactly.
        if (s.position == Position::Lying)
            to = std::min(to, 2.0);
        if (std::abs(from - 2.0) < 0.01)
            from = 2.0;
        if (to > from)
            out.append({&s, from, to});
    }
    out.erase(std::remove_if(out.begin(), out.end(), [](const Span& s) { return s.to <= s.from; }),
              out.end());
    return out;
}

const Segment* segmentFor(Sex sex, Measure measure, Choice choice, double age) {
    const QVector<Span> all = spans(sex, measure, choice);
    for (int i = 0; i < all.size(); ++i)
        if (age >= all[i].from && (age < all[i].to || (i + 1 == all.size() && age <= all[i].to)))
            return all[i].seg;
    return nullptr;
}

// The WHO reads weight and BMI beyond 3 SDS on the distance between 2 and 3 SDS.
bool whoTails(const Segment& seg, Measure measure) {
    return seg.source == QLatin1String("WHO") && (measure == Measure::Weight || measure == Measure::Bmi);
}

double lmsValue(const Lms& p, double z) {
    return std::abs(p.L) < 1e-9 ? p.M * std::exp(p.S * z) : p.M * std::pow(1 + p.L * p.S * z, 1 / p.L);
}

double lmsZ(const Lms& p, double x) {
    return std::abs(p.L) < 1e-9 ? std::log(x / p.M) / p.S : (std::pow(x / p.M, p.L) - 1) / (p.L * p.S);
}
} // namespace

Sex sexOf(const QString& stored) {
    const QString s = stored.trimmed();
    if (s.compare(QLatin1String("Girl"), Qt::CaseInsensitive) == 0)
        return Sex::Girl;
    if (s.compare(QLatin1String("Boy"), Qt::CaseInsensitive) == 0)
        return Sex::Boy;
    return Sex::Unknown;
}

Choice preferred() {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT value FROM PREFERENCES WHERE name = ?"),
                                 {QString::fromLatin1(kPreference)});
    return q.next() && q.value(0).toString() == QLatin1String("who5") ? Choice::Who5ThenCdc
                                                                      : Choice::Who2ThenCdc;
}

void setPreferred(Choice choice) {
    Database::exec(QStringLiteral("INSERT OR REPLACE INTO PREFERENCES (name, value) VALUES (?, ?)"),
                   {QString::fromLatin1(kPreference),
                    choice == Choice::Who5ThenCdc ? QStringLiteral("who5") : QStringLiteral("who2")});
}

QString choiceText(Choice choice) {
    return choice == Choice::Who5ThenCdc ? QStringLiteral("WHO to 5 years, then CDC")
                                         : QStringLiteral("WHO to 2 years, then CDC");
}

double switchAge(Choice choice) {
    return choice == Choice::Who5ThenCdc ? 5.0 : 2.0;
}

Position expected(double ageYears) {
    return ageYears < 2 ? Position::Lying : Position::Standing;
}

Reading read(Sex sex, Measure measure, double ageYears, double value, Choice choice, Position measured) {
    Reading r;
    const Segment* seg = segmentFor(sex, measure, choice, ageYears);
    if (!seg || !std::isfinite(value) || value <= 0)
        return r;
    if (measure == Measure::Height && measured != Position::Unknown && seg->position != Position::Unknown &&
        measured != seg->position)
        r.adjusted = seg->position == Position::Lying ? kLyingOverStanding : -kLyingOverStanding;
    const double x = value + r.adjusted;
    const Lms p = seg->at(ageYears);
    double z = lmsZ(p, x);
    if (whoTails(*seg, measure) && std::abs(z) > 3) {
        const double sign = z > 0 ? 1 : -1;
        const double at3 = lmsValue(p, 3 * sign), at2 = lmsValue(p, 2 * sign);
        z = 3 * sign + (x - at3) / std::abs(at3 - at2);
    }
    if (!std::isfinite(z))
        return r;
    r.z = z;
    r.known = true;
    r.source = seg->source;
    return r;
}

double valueAt(Sex sex, Measure measure, double ageYears, double z, Choice choice, QString* source) {
    const Segment* seg = segmentFor(sex, measure, choice, ageYears);
    if (!seg)
        return std::numeric_limits<double>::quiet_NaN();
    if (source)
        *source = seg->source;
    const Lms p = seg->at(ageYears);
    if (whoTails(*seg, measure) && std::abs(z) > 3) {
        const double sign = z > 0 ? 1 : -1;
        const double at3 = lmsValue(p, 3 * sign), at2 = lmsValue(p, 2 * sign);
        return at3 + (z - 3 * sign) * std::abs(at3 - at2);
    }
    return lmsValue(p, z);
}

double firstAge(Sex sex, Measure measure, Choice choice) {
    const QVector<Span> all = spans(sex, measure, choice);
    return all.isEmpty() ? 0 : all.first().from;
}

double lastAge(Sex sex, Measure measure, Choice choice) {
    const QVector<Span> all = spans(sex, measure, choice);
    return all.isEmpty() ? 0 : all.last().to;
}

QList<double> breaks(Sex sex, Measure measure, Choice choice) {
    QList<double> out;
    const QVector<Span> all = spans(sex, measure, choice);
    for (int i = 0; i + 1 < all.size(); ++i)
        out.append(all[i].to);
    return out;
}

double changeAge(Sex sex, Measure measure, Choice choice) {
    const QVector<Span> all = spans(sex, measure, choice);
    for (int i = 1; i < all.size(); ++i)
        if (all[i].seg->source == QLatin1String("CDC"))
            return all[i].from;
    return -1;
}

QString centileText(double z) {
    if (z < -2.652)
        return QStringLiteral("<0.4th");
    if (z > 2.652)
        return QStringLiteral(">99.6th");
    const double p = 50.0 * std::erfc(-z / std::sqrt(2.0));
    const int c = std::clamp(int(std::lround(p)), 1, 99);
    const int tens = c % 100 / 10, last = c % 10;
    const char* suffix = tens == 1 ? "th" : last == 1 ? "st" : last == 2 ? "nd" : last == 3 ? "rd" : "th";
    return QString::number(c) + QLatin1String(suffix);
}

QString sdsText(double z) {
    const double r = std::round(z * 10) / 10;
    QString n = QString::number(std::abs(r), 'f', 1);
    return QStringLiteral("SDS ") +
           (r > 0   ? QStringLiteral("+")
            : r < 0 ? QStringLiteral("-")
                    : QString()) +
           n;
}

double zOfCentile(double centile) {
    // Bisection on the normal distribution: exact enough for drawing a line.
    double lo = -5, hi = 5;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        if (50.0 * std::erfc(-mid / std::sqrt(2.0)) < centile)
            lo = mid;
        else
            hi = mid;
    }
    return (lo + hi) / 2;
}
} // namespace GrowthReference
