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

// Where each of a child's items falls, newest first, undated items last: read for all of them at
// once and kept small. A diary entry's or growth record's words and photo are read from the store
// when the item is asked for, so that a child with tens of thousands of entries shows at once.
class Index {
public:
    // Throws StoreError.
    static Index read(const QString& child, const QDate& today);

    int size() const { return int(m_places.size()); }
    Kind kind(int i) const { return Kind(m_places.at(i).kind); }
    // The item's day, read with the index; invalid when it has none that can be read.
    QDate date(int i) const;
    // The whole item; throws StoreError when it cannot be read.
    Item item(int i) const;

private:
    struct Place {
        qint64 seq = 0;      // a diary entry's or growth record's row
        qint32 position = 0; // its place in its list or the log
        qint32 whole = -1;   // for the other kinds: the item, read whole
        qint32 day = 0;      // its day's number, 0 when undated
        quint8 kind = 0;
        quint8 list = 0;
    };
    QVector<Place> m_places;
    QVector<Item> m_whole;
    QDate m_today;
};
} // namespace ChildTimeline
