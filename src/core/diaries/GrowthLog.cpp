#include "core/diaries/GrowthLog.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace GrowthLog {
QString line(const GrowthType& r) {
    return r.Date + QStringLiteral("          ") + r.Height + QStringLiteral(" in            ") + r.WtLbs +
           QStringLiteral(" lbs  ") + r.WtOz + QStringLiteral(" oz");
}

QString lines(const QVector<GrowthType>& records) {
    QStringList out;
    out.reserve(records.size());
    for (const GrowthType& r : records)
        out.append(line(r));
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
int readPlace(const QString& text, int* digits = nullptr) {
    const QString t = text.trimmed();
    static const QRegularExpression number(QStringLiteral("^[0-9]+$"));
    if (t.isEmpty() || !number.match(t).hasMatch())
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
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() != 3)
        return {};
    int yearDigits = 0;
    const int month = readPlace(parts[0]);
    const int day = readPlace(parts[1]);
    const int year = readPlace(parts[2], &yearDigits);
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

namespace {
QString describe(const GrowthType& r) {
    const QString date = r.Date.trimmed();
    QStringList parts{date.isEmpty() || date == QLatin1String("-  -") ? QStringLiteral("(no date)") : r.Date};
    if (!r.Height.trimmed().isEmpty())
        parts << r.Height.trimmed() + QStringLiteral(" in");
    if (!r.WtLbs.trimmed().isEmpty())
        parts << r.WtLbs.trimmed() + QStringLiteral(" lbs");
    if (!r.WtOz.trimmed().isEmpty())
        parts << r.WtOz.trimmed() + QStringLiteral(" oz");
    return parts.join(QStringLiteral("  "));
}

// The weight in pounds. Either part may be left blank when the other is given (a blank part is
// nought); both blank, or a part that is not a number, cannot be read.
bool readWeight(const GrowthType& r, double* pounds) {
    const bool noLbs = r.WtLbs.trimmed().isEmpty();
    const bool noOz = r.WtOz.trimmed().isEmpty();
    if (noLbs && noOz)
        return false;
    double lbs = 0, oz = 0;
    if (!noLbs && !readNumber(r.WtLbs, &lbs))
        return false;
    if (!noOz && !readNumber(r.WtOz, &oz))
        return false;
    *pounds = lbs + oz / 16.0;
    return true;
}
} // namespace

Chart chart(const QVector<GrowthType>& records, const QDate& birth, const QDate& today) {
    Chart c;
    c.birthKnown = birth.isValid();
    struct Dated {
        QDate date;
        int index;
    };
    QVector<Dated> dated;
    dated.reserve(records.size());
    for (int i = 0; i < records.size(); ++i) {
        const GrowthType& r = records[i];
        const QDate d = readEntryDate(r.Date, today);
        if (!d.isValid()) {
            c.leftOut.append(describe(r) + QStringLiteral(" - the date cannot be read"));
            continue;
        }
        if (!c.birthKnown)
            continue;
        if (d < birth) {
            c.leftOut.append(describe(r) + QStringLiteral(" - dated before the birth date"));
            continue;
        }
        dated.append({d, i});
    }
    std::stable_sort(dated.begin(), dated.end(),
                     [](const Dated& a, const Dated& b) { return a.date < b.date; });
    c.height.reserve(dated.size());
    c.weight.reserve(dated.size());
    for (const Dated& d : dated) {
        const GrowthType& r = records[d.index];
        const double age = birth.daysTo(d.date) / (365.25 / 12.0);
        c.maxAge = std::max(c.maxAge, age);
        double inches = 0, pounds = 0;
        const bool hasHeight = readNumber(r.Height, &inches);
        const bool hasWeight = readWeight(r, &pounds);
        if (hasHeight)
            c.height.append(QPointF(age, inches));
        if (hasWeight)
            c.weight.append(QPointF(age, pounds));
        if (!hasHeight && !hasWeight)
            c.leftOut.append(describe(r) + QStringLiteral(" - neither height nor weight can be read"));
        else if (!hasHeight)
            c.leftOut.append(describe(r) + QStringLiteral(" - the height is missing or cannot be read"));
        else if (!hasWeight)
            c.leftOut.append(describe(r) + QStringLiteral(" - the weight is missing or cannot be read"));
    }
    return c;
}
} // namespace GrowthLog
