#pragma once

#include "core/book/StoredDate.h"

#include <QDate>
#include <QString>

// Who a child is, as Child Information keeps it, read once and typed: the parts of the program that
// need the child's names, birth date, sex or gestation read them here, never the CHILD fields by name.
struct ChildProfile {
    QString firstName;
    QString middleName;
    QString lastName;
    StoredDate birth;  // from the month, day and year boxes
    QString sex;       // "", "Girl" or "Boy"
    QString gestation; // weeks, as typed

    // The names that are filled in, one space between them.
    QString fullName() const;

    // The profile of `child`; an empty one (blank birth) for a child the book does not hold. Throws
    // StoreError.
    static ChildProfile read(const QString& child, const QDate& today = QDate::currentDate());
};
