#include "core/diaries/GrowthLog.h"

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

int fullYear(int typedYear, int typedDigits, int todayYear) {
    if (typedDigits > 2)
        return typedYear;
    int year = todayYear - todayYear % 100 + typedYear % 100;
    if (year > todayYear)
        year -= 100;
    return year;
}

namespace {
// A place of one or two digits, blanks in front allowed; -1 when it holds no digit or anything else.
// Read without copies: a timeline reads the dates of tens of thousands of entries.
int readPlace(QStringView text, int* digits = nullptr) {
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return -1;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    if (digits)
        *digits = int(t.size());
    return t.toInt();
}

int readMonth(const QString& text) {
    const int n = readPlace(text);
    if (n >= 0)
        return n;
    QString t = text.trimmed().toLower();
    if (t.endsWith(QLatin1Char('.')))
        t.chop(1);
    if (t.size() < 3)
        return -1;
    static const char* const names[] = {"january",   "february", "march",    "april",
                                        "may",       "june",     "july",     "august",
                                        "september", "october",  "november", "december"};
    for (int m = 0; m < 12; ++m) {
        const QString name = QString::fromLatin1(names[m]);
        if (name.startsWith(t))
            return m + 1;
    }
    return -1;
}
} // namespace

QDate readEntryDate(const QString& text, const QDate& today) {
    const QStringView all(text);
    const qsizetype first = all.indexOf(QLatin1Char('-'));
    const qsizetype second = first < 0 ? -1 : all.indexOf(QLatin1Char('-'), first + 1);
    if (second < 0 || all.indexOf(QLatin1Char('-'), second + 1) >= 0)
        return {};
    int yearDigits = 0;
    const int month = readPlace(all.left(first));
    const int day = readPlace(all.mid(first + 1, second - first - 1));
    const int year = readPlace(all.mid(second + 1), &yearDigits);
    if (month < 0 || day < 0 || year < 0 || yearDigits > 2)
        return {};
    return QDate(fullYear(year, yearDigits, today.year()), month, day);
}

QDate readBirthDate(const QString& monthText, const QString& dayText, const QString& yearText,
                    const QDate& today) {
    int yearDigits = 0;
    const int month = readMonth(monthText);
    const int day = readPlace(dayText);
    const int year = readPlace(yearText, &yearDigits);
    if (month < 0 || day < 0 || year < 0 || yearDigits == 3 || yearDigits > 4)
        return {};
    return QDate(fullYear(year, yearDigits, today.year()), month, day);
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
