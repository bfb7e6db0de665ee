#include "core/diaries/DiarySheets.h"

#include "core/book/ChildRecords.h"

namespace DiarySheets {
const QString PrenatalDates = QStringLiteral("PrenatalDates");
const QString Pediatrician = QStringLiteral("Pediatrician");
const QString Immunizations = QStringLiteral("Immunizations");
const QString DoctorPicture = QStringLiteral("Doctor/Image1");
const QString BlankSlashDate = QStringLiteral("  /  /  ");
const QString BlankHyphenDate = QStringLiteral("  -  -  ");

QStringList prenatalDateCaptions() {
    return {QStringLiteral("Pregnancy Confirmed:"), QStringLiteral("Estimated Due Date:"),
            QStringLiteral("Began to Show:"),       QStringLiteral("Felt Baby Kick:"),
            QStringLiteral("Heard Heartbeat:"),     QStringLiteral("Ultrasound:"),
            QStringLiteral("Baby Names Picked:"),   QStringLiteral("First Baby Shower:"),
            QStringLiteral("Nursery Completed:")};
}

QStringList pediatricianFields() {
    return {QStringLiteral("DocName"),  QStringLiteral("DocAddress"), QStringLiteral("DocCity"),
            QStringLiteral("DocState"), QStringLiteral("DocZip"),     QStringLiteral("DocPhone")};
}

QVector<ImmunizationRow> immunizationLayout() {
    const char* const rows[][2] = {{"HB (Birth)", "MaskEdit2"},
                                   {"HB (1-2 Months)", "MaskEdit3"},
                                   {"HB (4 Months)", "MaskEdit4"},
                                   {"HB (6-18 Months)", "MaskEdit5"},
                                   {"DTP1 (2 Months)", "MaskEdit6"},
                                   {"DTP (4 Months)", "MaskEdit7"},
                                   {"DTP (6 Months)", "MaskEdit8"},
                                   {"DTP (15 Months)", "MaskEdit9"},
                                   {"DTP (4-6 years)", "MaskEdit10"},
                                   {"OPV (2 Months)", "MaskEdit11"},
                                   {"OPV (4 Months)", "MaskEdit12"},
                                   {"OPV (15 Months)", "MaskEdit13"},
                                   {"OPV (4-6 years)", "MaskEdit14"},
                                   {"HIB (2 Months)", "MaskEdit15"},
                                   {"HIB (4 Months)", "MaskEdit16"},
                                   {"HIB (6 Months)", "MaskEdit17"},
                                   {"HIB (12 Months)", "MaskEdit1"},
                                   {"HIB (15 Months)", "MaskEdit18"},
                                   {"MMR (15 Months)", "MaskEdit19"},
                                   {"MMR (4-6 years)", "MaskEdit20"},
                                   {"", "MaskEdit21"},
                                   {"", "MaskEdit22"},
                                   {"", "MaskEdit23"},
                                   {"", "MaskEdit24"}};
    QVector<ImmunizationRow> out;
    for (const auto& r : rows)
        out.append({QString::fromLatin1(r[0]), QString::fromLatin1(r[1]), BlankHyphenDate});
    return out;
}

QString immunizationNameField(int namedRow) {
    return QStringLiteral("Edit") + QString::number(namedRow);
}

PrenatalDatesSheet readPrenatalDates(const QString& child) {
    const auto values = ChildRecords::sheet(child, PrenatalDates);
    PrenatalDatesSheet s;
    for (int i = 1; i <= 17; ++i)
        s.dates.append(values.value(QStringLiteral("D") + QString::number(i), BlankSlashDate));
    for (int i = 1; i <= 8; ++i)
        s.names.append(values.value(QStringLiteral("O") + QString::number(i)));
    return s;
}

PediatricianCard readPediatrician(const QString& child) {
    const auto v = ChildRecords::sheet(child, Pediatrician);
    return {v.value(QStringLiteral("DocName")), v.value(QStringLiteral("DocAddress")),
            v.value(QStringLiteral("DocCity")), v.value(QStringLiteral("DocState")),
            v.value(QStringLiteral("DocZip")),  v.value(QStringLiteral("DocPhone"))};
}

QVector<ImmunizationRow> readImmunizations(const QString& child) {
    const auto v = ChildRecords::sheet(child, Immunizations);
    QVector<ImmunizationRow> rows = immunizationLayout();
    int named = 0;
    for (ImmunizationRow& r : rows) {
        r.date = v.value(r.field, BlankHyphenDate);
        if (r.caption.isEmpty())
            r.caption = v.value(immunizationNameField(++named));
    }
    return rows;
}
} // namespace DiarySheets
