#include "core/diaries/GrowthUnits.h"

#include "core/diaries/GrowthLog.h"
#include "core/store/Database.h"

#include <QLocale>
#include <QSqlQuery>

#include <cmath>

namespace GrowthUnits {
namespace {
const char* const kPreference = "GrowthUnits";

QString number(double v, int decimals) {
    QString s = QLocale::c().toString(v, 'f', decimals);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s;
}

bool length(const GrowthType& r, const QString& text, double* cm) {
    double v = 0;
    if (!GrowthLog::readNumber(text, &v) || v <= 0)
        return false;
    *cm = of(r) == System::Metric ? v : v * kCmPerInch;
    return true;
}
} // namespace

System preferred() {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT value FROM PREFERENCES WHERE name = ?"),
                                 {QString::fromLatin1(kPreference)});
    return q.next() && q.value(0).toString() == QLatin1String("metric") ? System::Metric : System::Imperial;
}

void setPreferred(System system) {
    Database::exec(QStringLiteral("INSERT OR REPLACE INTO PREFERENCES (name, value) VALUES (?, ?)"),
                   {QString::fromLatin1(kPreference),
                    system == System::Metric ? QStringLiteral("metric") : QStringLiteral("imperial")});
}

QString storedName(System system) {
    return system == System::Metric ? QStringLiteral("metric") : QString();
}

System of(const GrowthType& record) {
    return record.Units.trimmed() == QLatin1String("metric") ? System::Metric : System::Imperial;
}

bool heightCm(const GrowthType& r, double* cm) {
    return length(r, r.Height, cm);
}

bool headCm(const GrowthType& r, double* cm) {
    return length(r, r.Head, cm);
}

bool weightKg(const GrowthType& r, double* kg) {
    if (of(r) == System::Metric) {
        double v = 0;
        if (!GrowthLog::readNumber(r.WtKg, &v) || v <= 0)
            return false;
        *kg = v;
        return true;
    }
    const bool noLbs = r.WtLbs.trimmed().isEmpty();
    const bool noOz = r.WtOz.trimmed().isEmpty();
    if (noLbs && noOz)
        return false;
    double lbs = 0, oz = 0;
    if (!noLbs && !GrowthLog::readNumber(r.WtLbs, &lbs))
        return false;
    if (!noOz && !GrowthLog::readNumber(r.WtOz, &oz))
        return false;
    if (lbs + oz <= 0)
        return false;
    *kg = (lbs + oz / 16.0) * kKgPerPound;
    return true;
}

QString lengthText(double cm, System system) {
    return system == System::Metric ? number(cm, 1) + QStringLiteral(" cm")
                                    : number(cm / kCmPerInch, 1) + QStringLiteral(" in");
}

QString weightText(double kg, System system) {
    if (system == System::Metric)
        return number(kg, 2) + QStringLiteral(" kg");
    // Whole ounces from tenths, so that a weight typed in kilograms (7.3 kg, 257.4999 oz) reads as
    // its rounded tenths do (257.5 oz, 16 lbs 2 oz).
    const long ounces = std::lround(std::round(kg / kKgPerPound * 160.0) / 10.0);
    return QString::number(ounces / 16) + QStringLiteral(" lbs ") + QString::number(ounces % 16) +
           QStringLiteral(" oz");
}

Texts textsOf(const GrowthType& r, System shown) {
    const System other = shown == System::Metric ? System::Imperial : System::Metric;
    const bool metric = of(r) == System::Metric;
    Texts t;
    double v = 0;
    auto lengthOf = [&](const QString& typed, bool read) {
        if (typed.trimmed().isEmpty())
            return QString();
        if (!read)
            return typed.trimmed() + (metric ? QStringLiteral(" cm") : QStringLiteral(" in"));
        return lengthText(v, shown) + QStringLiteral(" (") + lengthText(v, other) + QLatin1Char(')');
    };
    t.length = lengthOf(r.Height, heightCm(r, &v));
    t.head = lengthOf(r.Head, headCm(r, &v));
    const QString typedWeight =
        metric
            ? r.WtKg.trimmed()
            : (r.WtLbs.trimmed().isEmpty() && r.WtOz.trimmed().isEmpty()
                   ? QString()
                   : r.WtLbs.trimmed() + QStringLiteral(" lbs ") + r.WtOz.trimmed() + QStringLiteral(" oz"));
    if (!typedWeight.isEmpty())
        t.weight = weightKg(r, &v)
                       ? weightText(v, shown) + QStringLiteral(" (") + weightText(v, other) + QLatin1Char(')')
                       : typedWeight + (metric ? QStringLiteral(" kg") : QString());
    return t;
}

GrowthType birthRecord(const QString& units, const QString& inches, const QString& pounds,
                       const QString& ounces, const QString& cm, const QString& kg, const QString& head) {
    const bool metric = units.trimmed() == storedName(System::Metric);
    GrowthType r;
    r.Date = QStringLiteral("At birth");
    r.Units = metric ? storedName(System::Metric) : QString();
    r.Height = metric ? cm : inches;
    r.WtKg = metric ? kg : QString();
    r.WtLbs = metric ? QString() : pounds;
    r.WtOz = metric ? QString() : ounces;
    r.Head = head;
    return r;
}

QString lengthUnit(System system) {
    return system == System::Metric ? QStringLiteral("cm") : QStringLiteral("in");
}

QString weightUnit(System system) {
    return system == System::Metric ? QStringLiteral("kg") : QStringLiteral("lb");
}

double lengthIn(double cm, System system) {
    return system == System::Metric ? cm : cm / kCmPerInch;
}

double weightIn(double kg, System system) {
    return system == System::Metric ? kg : kg / kKgPerPound;
}
} // namespace GrowthUnits
