#include "core/book/ChildProfile.h"

#include "core/store/Database.h"

#include <QSqlQuery>
#include <QStringList>

QString ChildProfile::fullName() const {
    QStringList names;
    for (const QString& part : {firstName, middleName, lastName})
        if (const QString name = part.simplified(); !name.isEmpty())
            names << name;
    return names.join(QLatin1Char(' '));
}

ChildProfile ChildProfile::read(const QString& child, const QDate& today) {
    ChildProfile p;
    QSqlQuery row =
        Database::exec(QStringLiteral("SELECT FirstName, MiddleName, LastName, BDayMonth, BDateDay, "
                                      "BDayYear, Sex, Gestation, BirthUnits, BirthHt, BirthWeightLb, "
                                      "BirthWeightOz, BirthLengthCm, BirthWeightKg, BirthHead FROM CHILD "
                                      "WHERE FirstName = ?"),
                       {child});
    if (!row.next())
        return p;
    p.firstName = row.value(0).toString();
    p.middleName = row.value(1).toString();
    p.lastName = row.value(2).toString();
    p.birth = StoredDate::readParts(row.value(3).toString(), row.value(4).toString(), row.value(5).toString(),
                                    today);
    p.sex = row.value(6).toString();
    p.gestation = row.value(7).toString();
    int column = 8;
    for (QString* field : {&p.birthUnits, &p.birthHeight, &p.birthPounds, &p.birthOunces, &p.birthLengthCm,
                           &p.birthWeightKg, &p.birthHead})
        *field = row.value(column++).toString();
    return p;
}
