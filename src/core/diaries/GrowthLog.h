#pragma once

#include "core/book/EntryStore.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

// The growth log's text and the readings behind its chart.
namespace GrowthLog {
// One line of the log: the date, ten spaces, the height, " in" and twelve spaces, the pounds,
// " lbs" and two spaces, the ounces and " oz". The values are shown as typed, not padded. A head
// circumference follows as "   head " and its value. Shown in the other units than the record's,
// the values are converted: "65.5 cm            7.3 kg".
QString line(const GrowthType& record, bool metric = false);
// Every record's line in list order, one per line.
QString lines(const QVector<GrowthType>& records, bool metric = false);

// A year typed with one or two digits is the nearest year ending so that is not after `todayYear`
// (97 in 2026 is 1997, 25 is 2025, 26 is 2026, 27 is 1927). Longer years are taken as typed.
int fullYear(int typedYear, int typedDigits, int todayYear);
// A diary date "MM-DD-YY" (blanks allowed in front of a digit: " 3- 5-97"); invalid when a place is
// missing or it is no calendar day.
QDate readEntryDate(const QString& text, const QDate& today);
// The birth date from the child's three fields: month as a number or an English month name
// (full or short), day, and year of one, two or four digits. Invalid when any cannot be read.
QDate readBirthDate(const QString& month, const QString& day, const QString& year, const QDate& today);
// A measurement: digits with one optional decimal point or comma ("24", "24.5", "24,5"), blanks
// around allowed. False when it cannot be read or is negative.
bool readNumber(const QString& text, double* value);

} // namespace GrowthLog
