#pragma once

#include "core/book/EntryStore.h"

#include <QString>

// The units growth is typed and shown in. A record keeps the values as typed with their units;
// the other system is only ever a conversion for showing, so switching back and forth never
// changes what is stored.
namespace GrowthUnits {
enum class System { Imperial, Metric };

// The family's choice, kept in the store (imperial until chosen).
System preferred();
void setPreferred(System system);

// What a record's Units holds for a system ("" or "metric"), and back.
QString storedName(System system);
System of(const GrowthType& record);

// A record's values in metric; false when missing or unreadable. Weight: pounds and ounces where
// either may be blank when the other is given.
bool heightCm(const GrowthType& record, double* cm);
bool headCm(const GrowthType& record, double* cm);
bool weightKg(const GrowthType& record, double* kg);

// A metric value in a system's words: "65.5 cm" or "25.8 in"; "7.3 kg" or "16 lbs 2 oz".
QString lengthText(double cm, System system);
QString weightText(double kg, System system);
// A record's length, weight and head circumference in the system shown with the other in brackets,
// "52.1 cm (20.5 in)", "3.4 kg (7 lbs 8 oz)"; a value that cannot be read as typed with its unit;
// empty where nothing was typed.
struct Texts {
    QString length, weight, head;
};
Texts textsOf(const GrowthType& record, System shown);
// The birth measurements of a row of the child's information (BirthHt, BirthWeightLb, BirthWeightOz,
// or with BirthUnits "metric" BirthLengthCm and BirthWeightKg; BirthHead) as a growth record.
GrowthType birthRecord(const QString& units, const QString& inches, const QString& pounds,
                       const QString& ounces, const QString& cm, const QString& kg, const QString& head);
// The unit's name as the axis and the entry boxes say it.
QString lengthUnit(System system); // "cm" or "in"
QString weightUnit(System system); // "kg" or "lb"
// A metric value in the system's number (inches, pounds) for an axis.
double lengthIn(double cm, System system);
double weightIn(double kg, System system);

constexpr double kCmPerInch = 2.54;
constexpr double kKgPerPound = 0.45359237;
} // namespace GrowthUnits
