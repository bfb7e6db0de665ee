#include "app/EntryStore.h"

#include "store/Database.h"
#include "store/StoreError.h"

#include <QSqlQuery>

const QString EntryStore::EmptyDate = QStringLiteral("__-__-__");

EntryStore& EntryStore::instance() {
    static EntryStore store;
    return store;
}

void EntryStore::clearSlots() {
    for (FamilyMember& m : m_family)
        m = FamilyMember{QString(), EmptyDate, QString()};
    for (QString& t : m_teeth)
        t = EmptyDate;
}

void EntryStore::freshStart(const QString& child) {
    clearSlots();
    for (auto& list : m_lists)
        list.clear();
    m_growth.clear();
    m_child = child;
    m_active = true;
    load();
}

void EntryStore::childSwitch(const QString& child) {
    clearSlots();
    for (auto& list : m_lists)
        list = {};
    m_growth = {};
    CurrentEntry.reset();
    m_active = false;
    freshStart(child);
}

void EntryStore::release() {
    for (auto& list : m_lists)
        list = {};
    m_growth = {};
    CurrentEntry.reset();
    m_active = false;
}

void EntryStore::load() {
    QSqlQuery q = Database::exec(
        QStringLiteral("SELECT list, seq, Date, Title, Text FROM ENTRIES WHERE child = ? ORDER BY list, seq"), {m_child});
    while (q.next()) {
        const int list = q.value(0).toInt();
        if (list < 0 || list >= ListCount)
            continue;
        auto e = std::make_shared<DiaryType>(DiaryType{q.value(2).toString(), q.value(3).toString(), q.value(4).toString()});
        m_lists[list].append({std::move(e), q.value(1).toLongLong()});
    }
    q = Database::exec(QStringLiteral("SELECT seq, Date, Height, WtLbs, WtOz FROM GROWTH WHERE child = ? ORDER BY seq"),
                       {m_child});
    while (q.next()) {
        auto g = std::make_shared<GrowthType>(
            GrowthType{q.value(1).toString(), q.value(2).toString(), q.value(3).toString(), q.value(4).toString()});
        m_growth.append({std::move(g), q.value(0).toLongLong()});
    }
    q = Database::exec(QStringLiteral("SELECT slot, Name, Date, Text FROM FAMILY WHERE child = ?"), {m_child});
    while (q.next()) {
        const int slot = q.value(0).toInt();
        if (slot >= 1 && slot <= FamilySlots)
            m_family[slot - 1] = FamilyMember{q.value(1).toString(), q.value(2).toString(), q.value(3).toString()};
    }
    q = Database::exec(QStringLiteral("SELECT slot, Date FROM TEETH WHERE child = ?"), {m_child});
    while (q.next()) {
        const int slot = q.value(0).toInt();
        if (slot >= 1 && slot <= ToothSlots)
            m_teeth[slot - 1] = q.value(1).toString();
    }
}

void EntryStore::requireActive() const {
    if (!m_active)
        throw StoreError(QStringLiteral("No child is active."));
}

int EntryStore::count(DiaryList list) const { return int(m_lists[int(list)].size()); }

std::shared_ptr<DiaryType> EntryStore::at(DiaryList list, int position) const {
    return m_lists[int(list)].at(position).entry;
}

void EntryStore::append(DiaryList list, const std::shared_ptr<DiaryType>& entry) {
    requireActive();
    QSqlQuery q = Database::exec(
        QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES (?, ?, ?, ?, ?)"),
        {m_child, int(list), entry->Date, entry->Title, entry->Text});
    m_lists[int(list)].append({entry, q.lastInsertId().toLongLong()});
}

void EntryStore::removeAt(DiaryList list, int position) {
    requireActive();
    auto& l = m_lists[int(list)];
    Database::exec(QStringLiteral("DELETE FROM ENTRIES WHERE seq = ?"), {l.at(position).seq});
    l.removeAt(position);
}

std::shared_ptr<GrowthType> EntryStore::growthAt(int position) const { return m_growth.at(position).entry; }

void EntryStore::appendGrowth(const std::shared_ptr<GrowthType>& entry) {
    requireActive();
    QSqlQuery q = Database::exec(
        QStringLiteral("INSERT INTO GROWTH (child, Date, Height, WtLbs, WtOz) VALUES (?, ?, ?, ?, ?)"),
        {m_child, entry->Date, entry->Height, entry->WtLbs, entry->WtOz});
    m_growth.append({entry, q.lastInsertId().toLongLong()});
}

void EntryStore::removeGrowthAt(int position) {
    requireActive();
    Database::exec(QStringLiteral("DELETE FROM GROWTH WHERE seq = ?"), {m_growth.at(position).seq});
    m_growth.removeAt(position);
}

FamilyMember EntryStore::familyMember(int slot) const { return m_family.at(slot - 1); }

void EntryStore::setFamilyMember(int slot, const FamilyMember& member) {
    requireActive();
    FamilyMember& target = m_family.at(slot - 1);
    Database::exec(
        QStringLiteral("INSERT OR REPLACE INTO FAMILY (child, slot, Name, Date, Text) VALUES (?, ?, ?, ?, ?)"),
        {m_child, slot, member.Name, member.Date, member.Text});
    target = member;
}

QString EntryStore::toothDate(int slot) const { return m_teeth.at(slot - 1); }

void EntryStore::setToothDate(int slot, const QString& date) {
    requireActive();
    QString& target = m_teeth.at(slot - 1);
    Database::exec(QStringLiteral("INSERT OR REPLACE INTO TEETH (child, slot, Date) VALUES (?, ?, ?)"),
                   {m_child, slot, date});
    target = date;
}
