#pragma once

#include "core/book/EntryStore.h"

#include <QDate>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

// The growth log's text and the readings behind its chart.
namespace GrowthLog {
// One line of the log: the date, ten spaces, the height, " in" and twelve spaces, the pounds,
// " lbs" and two spaces, the ounces and " oz". The values are shown as typed, not padded.
QString line(const GrowthType& record);
// Every record's line in list order, one per line.
QString lines(const QVector<GrowthType>& records);

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

// What the growth chart draws: height and weight (pounds and ounces together, in pounds) against the
// age in months, in date order (records of the same date in list order). Nothing is guessed: a
// record whose date cannot be read, or that is dated before the birth, is left out whole; a height
// or weight that cannot be read leaves out that point. Each record left out (whole or in part) is
// described in `leftOut`.
struct Chart {
    bool birthKnown = false;
    QVector<QPointF> height; // x: age in months, y: inches
    QVector<QPointF> weight; // x: age in months, y: pounds
    QStringList leftOut;
    double maxAge = 0; // months
};
Chart chart(const QVector<GrowthType>& records, const QDate& birth, const QDate& today);
} // namespace GrowthLog
