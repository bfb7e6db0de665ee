#include "core/book/StoredDate.h"

#include <algorithm>

namespace {
// A place of one or two digits (or more, for a year), blanks in front allowed; -1 when it holds no
// digit or anything else. Read without copies.
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
    for (int m = 0; m < 12; ++m)
        if (QString::fromLatin1(names[m]).startsWith(t))
            return m + 1;
    return -1;
}
} // namespace

StoredDate StoredDate::of(int year, int month, int day) {
    const QDate date(year, month, day);
    return date.isValid() ? StoredDate(State::Valid, date) : StoredDate(State::Impossible, QDate());
}

bool StoredDate::isBlank(QStringView text) {
    for (const QChar c : text)
        if (!c.isSpace() && c != QLatin1Char('/') && c != QLatin1Char('-') && c != QLatin1Char('_'))
            return false;
    return true;
}

int StoredDate::fullYear(int typedYear, int typedDigits, int todayYear) {
    if (typedDigits > 2)
        return typedYear;
    int year = todayYear - todayYear % 100 + typedYear % 100;
    if (year > todayYear)
        year -= 100;
    return year;
}

StoredDate StoredDate::read(QStringView text, const QDate& today) {
    if (isBlank(text))
        return StoredDate(State::Blank, QDate());
    const StoredDate impossible(State::Impossible, QDate());
    const qsizetype first = text.indexOf(QLatin1Char('-'));
    const qsizetype second = first < 0 ? -1 : text.indexOf(QLatin1Char('-'), first + 1);
    if (second < 0 || text.indexOf(QLatin1Char('-'), second + 1) >= 0)
        return impossible;
    int yearDigits = 0;
    const int month = readPlace(text.left(first));
    const int day = readPlace(text.mid(first + 1, second - first - 1));
    const int year = readPlace(text.mid(second + 1), &yearDigits);
    if (month < 0 || day < 0 || year < 0 || yearDigits > 2)
        return impossible;
    return of(fullYear(year, yearDigits, today.year()), month, day);
}

bool StoredDate::readQuickly(QByteArrayView text, int todayYear, StoredDate* date) {
    int places[3] = {0, 0, 0}, digits[3] = {0, 0, 0}, place = 0;
    for (const char c : text) {
        if (c == '-' && place < 2 && digits[place] > 0) {
            ++place;
        } else if (c >= '0' && c <= '9' && digits[place] < 2) {
            places[place] = places[place] * 10 + (c - '0');
            ++digits[place];
        } else {
            return false;
        }
    }
    if (place != 2 || digits[2] == 0)
        return false;
    *date = of(fullYear(places[2], digits[2], todayYear), places[0], places[1]);
    return true;
}

StoredDate StoredDate::readParts(const QString& monthText, const QString& dayText, const QString& yearText,
                                 const QDate& today) {
    if (isBlank(monthText) && isBlank(dayText) && isBlank(yearText))
        return StoredDate(State::Blank, QDate());
    int yearDigits = 0;
    const int month = readMonth(monthText);
    const int day = readPlace(dayText);
    const int year = readPlace(yearText, &yearDigits);
    if (month < 0 || day < 0 || year < 0 || yearDigits == 3 || yearDigits > 4)
        return StoredDate(State::Impossible, QDate());
    return of(fullYear(year, yearDigits, today.year()), month, day);
}

QVector<int> StoredDate::inDateOrder(const QVector<qint64>& keys, Order order) {
    QVector<int> places(keys.size());
    for (int i = 0; i < places.size(); ++i)
        places[i] = i;
    const bool newest = order == Order::NewestFirst;
    std::stable_sort(places.begin(), places.end(), [&](int a, int b) {
        const qint64 ka = keys[a], kb = keys[b];
        if (ka == Undated || kb == Undated)
            return kb == Undated && ka != Undated;
        return newest ? ka > kb : ka < kb;
    });
    return places;
}
