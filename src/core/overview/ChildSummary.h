#pragma once

#include "core/book/EntryStore.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVector>

// What the main window's home panel tells about a child at a glance: the name, the age and the next
// birthday in words, the entries recorded last, and the child's picture.
namespace ChildSummary {
// The age in words, the two largest units that count: "8 months, 3 days", "2 years, 1 month",
// "1 year", "12 days", "born today". Empty for an unknown birth date or one still to come.
QString ageInWords(const QDate& birth, const QDate& today);
// "turns 1 in 23 days", "turns 3 tomorrow", "turns 2 today"; for a birth still to come
// "due in 12 days". Empty for an unknown birth date.
QString nextBirthdayInWords(const QDate& birth, const QDate& today);
// What the parent calls each diary.
QString diaryName(DiaryList list);

struct Recent {
    DiaryList list;
    QString date; // as typed
    QString title;
};

struct Summary {
    QString fullName; // first, middle and last names as typed, single-spaced
    QDate birth;      // invalid when the birth date cannot be read
    // Child Information's first picture: its file in the photo folder, or (a book not yet moved there)
    // its bytes; both empty when none was chosen.
    QString pictureFile;
    QByteArray picture;
    QVector<Recent> latest;
};

// Reads the child's summary; `latestCount` entries recorded last, newest first. Throws StoreError.
Summary read(const QString& child, const QDate& today, int latestCount = 3);
} // namespace ChildSummary
