#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringView>
#include <QVector>

#include <limits>

// A date as the forms keep it: typed into a masked box and stored as text, "MM-DD-YY". Every part of
// the program that reads a stored date reads it here, so that all of them agree on what is blank,
// what is a day and which century a two-digit year means.
class StoredDate {
public:
    enum class State {
        Blank,     // a box never typed: nothing but blanks, "_", "-" and "/" ("__-__-__", "  -  -  ")
        Valid,     // a calendar day
        Impossible // something typed that is no day: "13-45-26", "02-30-97", words, a year of three digits
    };

    // A blank date.
    StoredDate() = default;

    // Reads "M-D-Y", one or two digits in each place (blanks in front of a digit allowed: " 3- 5-97").
    static StoredDate read(QStringView text, const QDate& today = QDate::currentDate());
    // The same straight from the stored bytes, for the common form of digits and dashes only, without
    // a copy (a timeline reads tens of thousands of dates). False when the bytes have another form,
    // which read() then reads as text.
    static bool readQuickly(QByteArrayView text, int todayYear, StoredDate* date);
    // The birth date from the child's three fields: the month as a number or an English month name
    // (full or short), the day, and a year of one, two or four digits.
    static StoredDate readParts(const QString& month, const QString& day, const QString& year,
                                const QDate& today = QDate::currentDate());

    // Whether `text` is what a box never typed holds.
    static bool isBlank(QStringView text);
    // A year typed with one or two digits is the nearest year ending so that is not after `todayYear`
    // (97 in 2026 is 1997, 25 is 2025, 26 is 2026, 27 is 1927). Longer years are taken as typed.
    static int fullYear(int typedYear, int typedDigits, int todayYear);

    // Where a date falls in date order: its day's number, or Undated (after every day) for a blank or
    // impossible date. Everything that lists a child's records by date sorts on this key.
    static constexpr qint64 Undated = std::numeric_limits<qint64>::max();
    qint64 sortKey() const { return isValid() ? m_date.toJulianDay() : Undated; }
    static qint64 sortKey(QStringView text, const QDate& today = QDate::currentDate()) {
        return read(text, today).sortKey();
    }
    // The places 0..n-1 of records whose keys are `keys`, in date order: oldest first, or newest first;
    // the records of one day in their given order, and the undated ones last, in their given order.
    enum class Order { OldestFirst, NewestFirst };
    static QVector<int> inDateOrder(const QVector<qint64>& keys, Order order = Order::OldestFirst);

    State state() const { return m_state; }
    bool isValid() const { return m_state == State::Valid; }
    bool isBlank() const { return m_state == State::Blank; }
    // The day; invalid unless isValid().
    QDate date() const { return m_date; }

private:
    StoredDate(State state, const QDate& date) : m_state(state), m_date(date) {}
    static StoredDate of(int year, int month, int day);

    State m_state = State::Blank;
    QDate m_date;
};
