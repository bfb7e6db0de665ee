#include "core/diaries/GrowthReference.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVector>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace GrowthReference {
namespace {
struct Segment {
    QString source;
    QVector<double> sds;             // one per line, rising
    QVector<double> ages;            // rising
    QVector<QVector<double>> values; // [line][age]

    // Each line's value at `age`, which lies within the segment.
    QVector<double> linesAt(double age) const {
        auto it = std::upper_bound(ages.begin(), ages.end(), age);
        int hi = int(it - ages.begin());
        hi = std::clamp(hi, 1, int(ages.size()) - 1);
        const int lo = hi - 1;
        const double f = std::clamp((age - ages[lo]) / (ages[hi] - ages[lo]), 0.0, 1.0);
        QVector<double> out(values.size());
        for (int l = 0; l < values.size(); ++l)
            out[l] = values[l][lo] + f * (values[l][hi] - values[l][lo]);
        return out;
    }
};
using Measures = std::array<QVector<Segment>, 4>;
using Table = std::array<Measures, 2>; // girl, boy

QVector<double> numbers(const QJsonValue& v) {
    QVector<double> out;
    for (const QJsonValue& x : v.toArray())
        out.append(x.toDouble());
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
                seg.sds = numbers(o.value(QLatin1String("sds")));
                seg.ages = numbers(o.value(QLatin1String("ages")));
                for (const QJsonValue& line : o.value(QLatin1String("values")).toArray())
                    seg.values.append(numbers(line));
                if (seg.ages.size() >= 2 && seg.values.size() == seg.sds.size() && seg.sds.size() >= 2)
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

// The stretch that covers `age`: the last one starting at or before it. An age in the small gap
// between one stretch's end and the next one's start is read at the earlier stretch's end.
const Segment* segmentFor(Sex sex, Measure measure, double* age) {
    const QVector<Segment>& segs = segments(sex, measure);
    if (segs.isEmpty() || *age < segs.first().ages.first() || *age > segs.last().ages.last())
        return nullptr;
    const Segment* found = &segs.first();
    for (const Segment& s : segs)
        if (s.ages.first() <= *age)
            found = &s;
    *age = std::min(*age, found->ages.last());
    return found;
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

Reading read(Sex sex, Measure measure, double ageYears, double value) {
    Reading r;
    const Segment* seg = segmentFor(sex, measure, &ageYears);
    if (!seg || !std::isfinite(value) || value <= 0)
        return r;
    const QVector<double> v = seg->linesAt(ageYears);
    const int n = int(v.size());
    // The two lines around the value; beyond the outer lines, the outer two.
    int hi = int(std::upper_bound(v.begin(), v.end(), value) - v.begin());
    hi = std::clamp(hi, 1, n - 1);
    const int lo = hi - 1;
    if (v[hi] <= v[lo])
        return r;
    r.z = seg->sds[lo] + (value - v[lo]) / (v[hi] - v[lo]) * (seg->sds[hi] - seg->sds[lo]);
    r.known = true;
    r.source = seg->source;
    return r;
}

double valueAt(Sex sex, Measure measure, double ageYears, double z, QString* source) {
    const Segment* seg = segmentFor(sex, measure, &ageYears);
    if (!seg)
        return std::numeric_limits<double>::quiet_NaN();
    if (source)
        *source = seg->source;
    const QVector<double> v = seg->linesAt(ageYears);
    const int n = int(v.size());
    int hi = int(std::upper_bound(seg->sds.begin(), seg->sds.end(), z) - seg->sds.begin());
    hi = std::clamp(hi, 1, n - 1);
    const int lo = hi - 1;
    return v[lo] + (z - seg->sds[lo]) / (seg->sds[hi] - seg->sds[lo]) * (v[hi] - v[lo]);
}

double firstAge(Sex sex, Measure measure) {
    const QVector<Segment>& segs = segments(sex, measure);
    return segs.isEmpty() ? 0 : segs.first().ages.first();
}

double lastAge(Sex sex, Measure measure) {
    const QVector<Segment>& segs = segments(sex, measure);
    return segs.isEmpty() ? 0 : segs.last().ages.last();
}

QList<double> breaks(Sex sex, Measure measure) {
    QList<double> out;
    const QVector<Segment>& segs = segments(sex, measure);
    for (int i = 0; i + 1 < segs.size(); ++i)
        out.append(segs[i].ages.last());
    return out;
}

QString centileText(double z) {
    if (z < -2.652)
        return QStringLiteral("<0.4th");
    if (z > 2.652)
        return QStringLiteral(">99.6th");
    // From the SDS to one decimal, as growth is assessed: a measurement equal to a published
    // median to the millimetre (75.7 cm for 75.75) reads as the median.
    const double p = 50.0 * std::erfc(-std::round(z * 10) / 10 / std::sqrt(2.0));
    const int c = std::clamp(int(std::lround(p)), 1, 99);
    const int tens = c % 100 / 10, last = c % 10;
    const char* suffix = tens == 1 ? "th" : last == 1 ? "st" : last == 2 ? "nd" : last == 3 ? "rd" : "th";
    return QString::number(c) + QLatin1String(suffix);
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
