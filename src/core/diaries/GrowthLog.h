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

// The records in date order, oldest first: those of one day, then those without a readable date, in
// the order they were added. What prints the log or summarises it reads them so; the form's log and
// its Previous and Next keep the order of adding.
QVector<GrowthType> inDateOrder(const QVector<GrowthType>& records,
                                const QDate& today = QDate::currentDate());

// A measurement: digits with one optional decimal point or comma ("24", "24.5", "24,5"), blanks
// around allowed. False when it cannot be read or is negative.
bool readNumber(const QString& text, double* value);

} // namespace GrowthLog
