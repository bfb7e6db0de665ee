#include "core/reports/AnnouncementTexts.h"

#include "core/store/Schema.h"
#include "core/store/Table.h"

AnnouncementTexts AnnouncementTexts::fromFields(const QHash<QString, QString>& f, GrowthUnits::System shown) {
    auto v = [&f](const char* name) { return f.value(QString::fromLatin1(name)); };
    AnnouncementTexts t;
    t.Announcing = QStringLiteral("Announcing the Arrival of ") + v("FirstName") + QLatin1Char(' ') +
                   v("MiddleName") + QLatin1Char(' ') + v("LastName");
    t.ArrivalDate = v("BirthDay") + QStringLiteral(", ") + v("BDayMonth") + QLatin1Char('/') + v("BDateDay") +
                    QLatin1Char('/') + v("BDayYear");
    t.ArrivalTime = v("BTimeHr") + QLatin1Char(':') + v("BTimeMin") + QLatin1Char(' ') + v("BTimeAmPm");
    const GrowthType birth =
        GrowthUnits::birthRecord(v("BirthUnits"), v("BirthHt"), v("BirthWeightLb"), v("BirthWeightOz"),
                                 v("BirthLengthCm"), v("BirthWeightKg"), v("BirthHead"));
    if (shown == GrowthUnits::System::Imperial && GrowthUnits::of(birth) == GrowthUnits::System::Imperial) {
        t.Height = v("BirthHt") + QStringLiteral(" inches");
        t.Weight = v("BirthWeightLb") + QStringLiteral(" lbs ") + v("BirthWeightOz") + QStringLiteral(" oz");
    } else {
        const GrowthUnits::Texts both = GrowthUnits::textsOf(birth, shown);
        t.Height = both.length;
        t.Weight = both.weight;
    }
    t.Hair = v("Hair");
    t.Eyes = v("Eyes");
    t.Hospital = v("Hospital");
    t.City = v("BirthCity");
    t.State = v("BirthState");
    return t;
}

AnnouncementTexts AnnouncementTexts::forChild(const QString& child) {
    return fromFields(ChildRow::fields(child), GrowthUnits::preferred());
}

QStringList AnnouncementTexts::lines() const {
    return {Announcing, ArrivalDate, ArrivalTime, Height, Weight, Hair, Eyes, Hospital, City, State};
}

namespace ChildRow {
QHash<QString, QString> fields(const QString& child) {
    Table table(QStringLiteral("CHILD"));
    table.open();
    const bool found = table.findKey(child);
    return fromTable(table, found, child);
}

QHash<QString, QString> fromTable(const Table& table, bool onChildRow, const QString& child) {
    QHash<QString, QString> values;
    for (const FieldDef& f : table.definition().fields)
        values.insert(f.name, onChildRow ? table.fieldText(f.name) : QString());
    if (!onChildRow)
        values.insert(QStringLiteral("FirstName"), child);
    return values;
}
} // namespace ChildRow
