#pragma once

#include <QString>

// The growth standards a child's measurements are read against: the WHO 2006 child growth standards
// to 5 years (length lying down to 2 years, height standing after) and the CDC 2000 charts from 5 to
// 20 years, for girls and boys, compiled in from data/growth-reference.json. Values are metric
// (kg, cm, kg/m2) and ages in years.
namespace GrowthReference {
enum class Sex { Unknown, Girl, Boy };
enum class Measure { Weight, Height, Head, Bmi };

// The sex as the child's information stores it: "Girl", "Boy", anything else unknown.
Sex sexOf(const QString& stored);

struct Reading {
    bool known = false; // false outside the reference's ages, or without a sex
    double z = 0;       // standard deviations from the median
    QString source;     // "WHO" or "CDC"
};
// Where `value` lies among the reference lines at `ageYears`: each line's value at that age is
// interpolated between its two nearest ages (found by binary search), and the value's SDS between
// the two lines around it (beyond the outer lines, along the last two lines' spacing).
Reading read(Sex sex, Measure measure, double ageYears, double value);

// The value of the line at `z` SDS at `ageYears` (interpolated as read() does), NaN outside the
// reference's ages. `source` receives "WHO" or "CDC".
double valueAt(Sex sex, Measure measure, double ageYears, double z, QString* source = nullptr);
// The ages (years) the reference covers for a measure.
double firstAge(Sex sex, Measure measure);
double lastAge(Sex sex, Measure measure);
// The age (years) at which a reference's stretch ends, so that a chart does not join its lines
// across the change from lying length to standing height or from WHO to CDC; sorted, none at the ends.
QList<double> breaks(Sex sex, Measure measure);

// The centile in words, from the SDS to one decimal: "50th", "3rd", "2nd"; "<0.4th" below -2.652
// SDS, ">99.6th" above 2.652.
QString centileText(double z);
// The SDS of a centile line (3 -> -1.881).
double zOfCentile(double centile);
} // namespace GrowthReference
