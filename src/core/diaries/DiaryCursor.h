#pragma once

#include "core/book/EntryStore.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The rules every dated list follows, whatever it holds: the newest entry is shown first, previous
// and next stop at the ends (no wrap), a search takes the first equal entry in list order, and after
// a delete the last remaining entry is shown. Positions are 0-based; -1 means "nothing shown".
namespace DiaryRules {
// The position shown when a list of `count` entries is opened: the newest (last added), or -1.
int newest(int count);
// The position after "previous" from `current`: one toward the front, or `current` at the front.
int previous(int current, int count);
// The position after "next" from `current`: one toward the end, or `current` at the end.
int next(int current, int count);
// The first position whose key equals `text` exactly (case-sensitive), or `current` when none does.
int firstEqual(int count, const std::function<QString(int)>& keyAt, const QString& text, int current);
} // namespace DiaryRules

// One diary list of the Entry store seen through a cursor: what a diary page shows and does. It keeps
// no copy of the entries; every read goes to the store. Store writes throw StoreError and then leave
// the list and the cursor as they were.
class DiaryCursor {
public:
    explicit DiaryCursor(DiaryList list) : m_list(list) {}

    DiaryList list() const { return m_list; }
    int currentIndex() const { return m_index; }
    int count() const;
    // The entry at the cursor, or none.
    std::shared_ptr<DiaryType> current() const;

    // Rebuilds the cursor from the list: the newest entry.
    void activate();
    // Each returns whether the cursor moved.
    bool previous();
    bool next();
    bool searchDate(const QString& text);
    bool searchTitle(const QString& text);
    // Shows the entry at `position` (0-based, in list order); false, and nothing moves, when there is none.
    bool moveTo(int position);
    // Appends `entry` at the end whatever its date and shows it.
    void append(const std::shared_ptr<DiaryType>& entry);
    // Replaces the shown entry in place (same position, same identity). False when nothing is shown.
    bool replaceCurrent(const std::shared_ptr<DiaryType>& entry);
    // Removes the shown entry; the last remaining one is shown next. False when nothing is shown.
    bool removeCurrent();

    // The dates and titles in list order, duplicates kept: the items of the search boxes.
    QStringList dates() const;
    QStringList titles() const;

private:
    DiaryList m_list;
    int m_index = -1;
};

// The growth log through a cursor, with the same rules (search on the date only).
class GrowthCursor {
public:
    int currentIndex() const { return m_index; }
    int count() const;
    std::shared_ptr<GrowthType> current() const;

    void activate();
    bool previous();
    bool next();
    bool searchDate(const QString& text);
    void append(const std::shared_ptr<GrowthType>& entry);
    // Puts `entry` in place of the record at `position`, which is then the one shown. False when there
    // is no such record.
    bool replaceAt(int position, const std::shared_ptr<GrowthType>& entry);
    bool removeCurrent();

    QStringList dates() const;

private:
    int m_index = -1;
};
