#pragma once

#include "core/book/StoredDate.h"

#include <QDate>
#include <QString>

// Who a child is, as Child Information keeps it, read once and typed: the parts of the program that
// need the child's names, birth date, sex, gestation or birth measurements read them here, never the CHILD
// fields by name.
struct ChildProfile {
    QString firstName;
    QString middleName;
    QString lastName;
    StoredDate birth;  // from the month, day and year boxes
    QString sex;       // "", "Girl" or "Boy"
    QString gestation; // weeks, as typed
    // The birth measurements as typed: inches, pounds and ounces, or (birthUnits "metric") centimetres
    // and kilograms; the head circumference in the units of birthUnits.
    QString birthUnits, birthHeight, birthPounds, birthOunces, birthLengthCm, birthWeightKg, birthHead;

    // The names that are filled in, one space between them.
    QString fullName() const;

    // The profile of `child`; an empty one (blank birth) for a child the book does not hold. Throws
    // StoreError.
    static ChildProfile read(const QString& child, const QDate& today = QDate::currentDate());
};
