#include "core/diaries/GrowthLog.h"

#include "core/book/StoredDate.h"
#include "core/diaries/GrowthUnits.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace GrowthLog {
QString line(const GrowthType& r, bool metric) {
    using GrowthUnits::System;
    const System shown = metric ? System::Metric : System::Imperial;
    const bool asTyped = GrowthUnits::of(r) == shown;
    // A value shown in the other units is converted when it can be read, else shown as typed.
    auto length = [&](const QString& typed, bool (*read)(const GrowthType&, double*)) {
        double cm = 0;
        if (asTyped || !read(r, &cm))
            return typed + QLatin1Char(' ') + GrowthUnits::lengthUnit(GrowthUnits::of(r));
        return GrowthUnits::lengthText(cm, shown);
    };
    QString text;
    if (asTyped && shown == System::Imperial) {
        text = r.Date + QStringLiteral("          ") + r.Height + QStringLiteral(" in            ") +
               r.WtLbs + QStringLiteral(" lbs  ") + r.WtOz + QStringLiteral(" oz");
    } else {
        double kg = 0;
        QString weight;
        if (!asTyped && GrowthUnits::weightKg(r, &kg))
            weight = GrowthUnits::weightText(kg, shown);
        else if (GrowthUnits::of(r) == System::Metric)
            weight = r.WtKg + QStringLiteral(" kg");
        else
            weight = r.WtLbs + QStringLiteral(" lbs ") + r.WtOz + QStringLiteral(" oz");
        text = r.Date + QStringLiteral("          ") + length(r.Height, GrowthUnits::heightCm) +
               QStringLiteral("            ") + weight;
    }
    if (!r.Head.trimmed().isEmpty())
        text += QStringLiteral("   head ") + length(r.Head, GrowthUnits::headCm);
    return text;
}

QString lines(const QVector<GrowthType>& records, bool metric) {
    QStringList out;
    out.reserve(records.size());
    for (const GrowthType& r : records)
        out.append(line(r, metric));
    return out.join(QLatin1Char('\n'));
}

QVector<GrowthType> inDateOrder(const QVector<GrowthType>& records, const QDate& today) {
    QVector<qint64> keys;
    keys.reserve(records.size());
    for (const GrowthType& r : records)
        keys.append(StoredDate::sortKey(r.Date, today));
    QVector<GrowthType> sorted;
    sorted.reserve(records.size());
    for (const int i : StoredDate::inDateOrder(keys))
        sorted.append(records[i]);
    return sorted;
}

bool readNumber(const QString& text, double* value) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    static const QRegularExpression number(QStringLiteral("^([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    if (!number.match(t).hasMatch())
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok)
        return false;
    *value = v;
    return true;
}

} // namespace GrowthLog
