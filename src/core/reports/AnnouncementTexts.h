#pragma once

#include "core/diaries/GrowthUnits.h"

#include <QHash>
#include <QString>
#include <QStringList>

class Table;

// The ten texts of the birth announcement, built from the child's CHILD row exactly as the fields
// hold them: pieces are joined with fixed separators and nothing is trimmed, so an empty middle name
// leaves two blanks and empty time fields leave ":" and a blank. The birth height and weight typed in
// inches, pounds and ounces read so for a family using them; typed in centimetres and kilograms, or
// for a family using those, they read in the family's units with the other in brackets.
struct AnnouncementTexts {
    QString Announcing;
    QString ArrivalDate;
    QString ArrivalTime;
    QString Height;
    QString Weight;
    QString Hair;
    QString Eyes;
    QString Hospital;
    QString City;
    QString State;

    // Builds the texts from field values by CHILD field name (a missing field reads as empty).
    static AnnouncementTexts fromFields(const QHash<QString, QString>& fields,
                                        GrowthUnits::System shown = GrowthUnits::System::Imperial);
    // The texts of `child`'s row, in the family's growth units. A child without a row gets its first name and
    // empty details, never another child's row. Throws StoreError.
    static AnnouncementTexts forChild(const QString& child);

    // The ten texts in page order.
    QStringList lines() const;
};

namespace ChildRow {
// Every field of `child`'s CHILD row by name; when the child has no row, only FirstName (the child's
// name) and empty fields. Throws StoreError.
QHash<QString, QString> fields(const QString& child);
// The same from an open CHILD table: its current row when `onChildRow`, else the child's name alone.
QHash<QString, QString> fromTable(const Table& table, bool onChildRow, const QString& child);
} // namespace ChildRow
