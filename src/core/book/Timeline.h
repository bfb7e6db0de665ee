#pragma once

#include "core/book/EntryStore.h"

#include <QDate>
#include <QString>
#include <QVector>

// Everything recorded for a child on one list, in date order, newest first: diary entries, growth
// records, teeth, firsts (skills), birthdays and holidays and events. What cannot be dated (a skill
// noted as "early", a holiday) follows the dated items, in the order it was recorded.
namespace ChildTimeline {
enum class Kind { Diary, Growth, Tooth, Skill, Birthday, Occasion };
constexpr int KindCount = 6;

// "Diary entries", "Growth", "Teeth", "Firsts", "Birthdays", "Holidays and events": the filter's items.
QString kindName(Kind kind);

struct Item {
    Kind kind = Kind::Diary;
    QDate date;       // invalid when the item has no readable date
    QString dateText; // the date as the parent typed it (a birthday's is the date it fell on)
    QString title;    // "Park day", "Tooth 5", "Sits Alone", "1st Birthday"
    QString detail;   // the diary's name and the first words of the remarks, the measurements...
    // Where the item is kept, to open it in its own form.
    DiaryList list = DiaryList::JournalEntries; // a diary entry's list
    int position = -1;                          // its place in the list or the growth log; a tooth's slot
    QString key;                                // a skill's page, a birthday's title, an occasion's caption
    qint64 seq = 0;                             // a diary entry's row
    EntryPhoto photo;                           // a diary entry's first photo (File empty: none)
};

// The child's items, newest first; undated items last. Throws StoreError.
QVector<Item> read(const QString& child, const QDate& today);
} // namespace ChildTimeline
