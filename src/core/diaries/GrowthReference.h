#pragma once

#include <QList>
#include <QString>

// The growth references a child's measurements are read against, as tables of L, M and S by age
// (the LMS method: z = ((X/M)^L - 1) / (L*S)), compiled in from data/growth-reference.json: the
// WHO 2006 child growth standards by day from birth to 5 years (length lying down to 2 years,
// height standing after) and the CDC 2000 growth charts by half month from 2 to 20 years, for
// girls and boys. Which of the two reads the years between 2 and 5 is the family's choice. Values
// are metric (kg, cm, kg/m2) and ages in years.
namespace GrowthReference {
enum class Sex { Unknown, Girl, Boy };
enum class Measure { Weight, Height, Head, Bmi };
// Which reference reads which ages: the WHO standards to 2 years, then the CDC charts (the US
// recommendation, and the default), or the WHO standards to 5 years, then the CDC charts. Head
// circumference is read against the WHO standards alone (to 5 years).
enum class Choice { Who2ThenCdc, Who5ThenCdc };
// How a length or height was measured; Unknown reads it as the reference expects at that age.
enum class Position { Unknown, Lying, Standing };

// The sex as the child's information stores it: "Girl", "Boy", anything else unknown.
Sex sexOf(const QString& stored);

// The family's choice, kept in the book (WHO to 2 years until chosen), and its words.
Choice preferred();
void setPreferred(Choice choice);
QString choiceText(Choice choice); // "WHO to 2 years, then CDC"
// The age (years) at which the choice passes from the WHO standards to the CDC charts.
double switchAge(Choice choice);

// The WHO's difference between a child's length lying down and height standing.
constexpr double kLyingOverStanding = 0.7;

struct Reading {
    bool known = false;  // false outside the reference's ages, or without a sex
    double z = 0;        // standard deviations from the median (SDS)
    QString source;      // "WHO" or "CDC"
    double adjusted = 0; // cm added to a length or height measured the other way than the reference's
};
// Where `value` lies at `ageYears`: L, M and S interpolated between the two nearest tabulated ages,
// z by LMS. Beyond 3 SDS the WHO's weight and BMI read on, as the WHO does, in steps of the distance
// between the 2 and 3 SDS values at that age. A length measured standing before 2 years gains 0.7 cm,
// a height measured lying from 2 years loses 0.7 cm.
Reading read(Sex sex, Measure measure, double ageYears, double value, Choice choice = Choice::Who2ThenCdc,
             Position measured = Position::Unknown);

// The value at `z` SDS at `ageYears` (the inverse of read()), NaN outside the reference's ages.
// `source` receives "WHO" or "CDC".
double valueAt(Sex sex, Measure measure, double ageYears, double z, Choice choice = Choice::Who2ThenCdc,
               QString* source = nullptr);
// The ages (years) the reference covers for a measure (BMI from 2 years).
double firstAge(Sex sex, Measure measure, Choice choice = Choice::Who2ThenCdc);
double lastAge(Sex sex, Measure measure, Choice choice = Choice::Who2ThenCdc);
// The ages (years) at which a reference's stretch ends, so that a chart does not join its lines
// across the change from lying length to standing height or from WHO to CDC; sorted, none at the ends.
QList<double> breaks(Sex sex, Measure measure, Choice choice = Choice::Who2ThenCdc);
// The age (years) at which `measure` passes from the WHO standards to the CDC charts, or -1 (head
// circumference, and BMI when the CDC charts read it from its start at 2 years).
double changeAge(Sex sex, Measure measure, Choice choice);
// The position the reference expects at `ageYears`: lying before 2 years, standing from 2.
Position expected(double ageYears);

// The centile in words: the whole number of the normal distribution's share below z ("50th",
// "3rd", "2nd"); "<0.4th" below -2.652 SDS, ">99.6th" above 2.652.
QString centileText(double z);
// The SDS to one decimal, as clinicians read it: "SDS +1.2", "SDS -0.4", "SDS 0.0".
QString sdsText(double z);
// The SDS of a centile line (3 -> -1.881).
double zOfCentile(double centile);
} // namespace GrowthReference
