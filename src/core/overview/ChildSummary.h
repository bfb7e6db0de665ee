#pragma once

#include "core/book/EntryStore.h"
#include "core/overview/Timeline.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

// What the main window's home panel tells about a child at a glance: the name, the age and the next
// birthday in words, the newest moments by date, the latest growth, what happened on this day in
// earlier years, and the child's picture.
namespace ChildSummary {
// The age in words, the two largest units that count: "8 months, 3 days", "2 years, 1 month",
// "1 year", "12 days", "born today". Empty for an unknown birth date or one still to come.
QString ageInWords(const QDate& birth, const QDate& today);
// "turns 1 in 23 days", "turns 3 tomorrow", "turns 2 today"; for a birth still to come
// "due in 12 days". Empty for an unknown birth date.
QString nextBirthdayInWords(const QDate& birth, const QDate& today);
// What the parent calls each diary.
QString diaryName(DiaryList list);

// The child's newest growth record and where its measurements fall among the reference's centiles.
struct LatestGrowth {
    ChildTimeline::Item item; // kind Growth; position -1 when the child has no dated record
    QStringList centiles;     // "height 46th", "weight 50th": each measure the reference places
    QString reference;        // whose centiles: "WHO", "CDC" or "WHO and CDC"
    bool sexUnknown = false;  // no centiles: the birth date is known, but not whether girl or boy
};

// Something recorded on this day a year, two or three years ago.
struct OnThisDay {
    int yearsAgo = 0;
    ChildTimeline::Item item;
};

struct Summary {
    QString fullName; // first, middle and last names as typed, single-spaced
    QDate birth;      // invalid when the birth date cannot be read
    // Child Information's first picture: its file in the photo folder, or (a book not yet moved there)
    // its bytes; both empty when none was chosen.
    QString pictureFile;
    QByteArray picture;
    // The newest moments by date, newest first, none dated after today; a diary entry's carries its
    // first photo. Things recorded without a date follow the dated ones when there are few.
    QVector<ChildTimeline::Item> latest;
    LatestGrowth growth;
    QVector<OnThisDay> onThisDay; // a year ago first
    // The next birthday's record, to open it (kind Birthday; empty key past the last birthday kept).
    ChildTimeline::Item nextBirthday;
};

// Reads the child's summary, with up to `latestCount` newest moments. Throws StoreError.
Summary read(const QString& child, const QDate& today, int latestCount = 6);
} // namespace ChildSummary
