#pragma once

#include <QString>
#include <QVector>

#include <array>
#include <memory>

// One photo of a diary entry: its file in the photo folder (PhotoFiles), the name of the file the
// parent chose, and the date the camera wrote in it ("MM-DD-YY", or empty).
struct EntryPhoto {
    QString File;
    QString Name;
    QString Taken;

    bool operator==(const EntryPhoto& o) const {
        return File == o.File && Name == o.Name && Taken == o.Taken;
    }
};

// One dated diary entry, with its photos in their order.
struct DiaryType {
    QString Date;
    QString Title;
    QString Text;
    QVector<EntryPhoto> Photos{};
};

// One growth record: the date, the height and the weight in pounds and ounces, all as typed.
// A measurement as it was typed. `Units` says how: empty for inches, pounds and ounces (Height,
// Head, WtLbs, WtOz), "metric" for centimetres and kilograms (Height, Head, WtKg). Head is optional.
struct GrowthType {
    QString Date;
    QString Height;
    QString WtLbs;
    QString WtOz;
    QString Head = {};
    QString WtKg = {};
    QString Units = {};
    QString Measured = {}; // a length or height measured "lying" or "standing"; "" not said
};

// One relative of the family tree.
struct FamilyMember {
    QString Name;
    QString Date;
    QString Text; // place of birth
};

// The six lists of dated entries, in the order the store creates them.
enum class DiaryList {
    PrenatalDiary,
    PrenatalMedicalDiary,
    JournalEntries,
    WordEntries,
    DoctorVisits,
    ChildhoodDiseases
};

// The active child's diaries, growth log, family slots and tooth dates. Everything of a child is
// kept in the store file: each append, removal and slot write is stored at once, in its own transaction, and
// a fresh start or a child switch loads the child's saved entries: the slots at once, each list when it is
// first used (a child may have tens of thousands of entries, and a switch should not wait for lists nobody
// opens). A failed read or write throws StoreError and leaves the lists as they were.
class EntryStore {
public:
    static constexpr int FamilySlots = 14;
    static constexpr int ToothSlots = 20;
    static const QString EmptyDate; // "__-__-__"

    // The process-wide store.
    static EntryStore& instance();

    // Makes `child` the store's child and loads its saved entries.
    void freshStart(const QString& child);
    // As a fresh start, after discarding the previous child's lists.
    void childSwitch(const QString& child);
    // Discards every list (at shutdown).
    void release();
    bool isActive() const { return m_active; }
    QString child() const { return m_child; }

    int count(DiaryList list) const;
    std::shared_ptr<DiaryType> at(DiaryList list, int position) const;
    void append(DiaryList list, const std::shared_ptr<DiaryType>& entry);
    // Puts `entry`'s date, title, remarks and photos in place of the entry at `position`: the stored row
    // keeps its identity and its place in the list.
    void replaceAt(DiaryList list, int position, const std::shared_ptr<DiaryType>& entry);
    void removeAt(DiaryList list, int position);

    int growthCount() const { return int(growth().size()); }
    std::shared_ptr<GrowthType> growthAt(int position) const;
    void appendGrowth(const std::shared_ptr<GrowthType>& entry);
    // Puts `entry`'s values in place of the record at `position`: the stored row keeps its identity and
    // its place in the log.
    void replaceGrowthAt(int position, const std::shared_ptr<GrowthType>& entry);
    void removeGrowthAt(int position);

    // Slots are numbered from 1.
    FamilyMember familyMember(int slot) const;
    void setFamilyMember(int slot, const FamilyMember& member);
    QString toothDate(int slot) const;
    void setToothDate(int slot, const QString& date);

private:
    template <typename T> struct Stored {
        std::shared_ptr<T> entry;
        qint64 seq = 0;
        QString uid;
    };
    static constexpr int ListCount = 6;

    void clearSlots();
    void resetLists();
    void loadSlots();
    QVector<Stored<DiaryType>>& diary(DiaryList list) const;
    QVector<Stored<GrowthType>>& growth() const;
    void requireActive() const;
    void storePhotos(DiaryList list, const QString& uid, const QVector<EntryPhoto>& photos);

    bool m_active = false;
    QString m_child;
    // Filled on first use; mutable so that reading a list can load it.
    mutable std::array<QVector<Stored<DiaryType>>, ListCount> m_lists;
    mutable std::array<bool, ListCount> m_listLoaded{};
    mutable QVector<Stored<GrowthType>> m_growth;
    mutable bool m_growthLoaded = false;
    std::array<FamilyMember, FamilySlots> m_family;
    std::array<QString, ToothSlots> m_teeth;
};

// Short hand for EntryStore::instance().
inline EntryStore& Entries() {
    return EntryStore::instance();
}
