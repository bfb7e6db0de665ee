#include "core/book/EntryStore.h"

#include "core/store/Database.h"
#include "core/store/FastQuery.h"
#include "core/store/StoreError.h"

#include <QHash>
#include <QSqlQuery>
#include <QUuid>

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

void EntryStore::resetLists() {
    for (auto& list : m_lists)
        list = {};
    m_listLoaded.fill(false);
    m_growth = {};
    m_growthLoaded = false;
}

void EntryStore::freshStart(const QString& child) {
    clearSlots();
    resetLists();
    m_child = child;
    m_active = true;
    loadSlots();
}

void EntryStore::childSwitch(const QString& child) {
    clearSlots();
    resetLists();
    m_active = false;
    freshStart(child);
}

void EntryStore::release() {
    resetLists();
    m_active = false;
}

void EntryStore::loadSlots() {
    FastQuery family(QStringLiteral("SELECT slot, Name, Date, Text FROM FAMILY WHERE child = ?"), {m_child});
    while (family.next()) {
        const int slot = int(family.integer(0));
        if (slot >= 1 && slot <= FamilySlots)
            m_family[slot - 1] = FamilyMember{family.text(1), family.text(2), family.text(3)};
    }
    FastQuery teeth(QStringLiteral("SELECT slot, Date FROM TEETH WHERE child = ?"), {m_child});
    while (teeth.next()) {
        const int slot = int(teeth.integer(0));
        if (slot >= 1 && slot <= ToothSlots)
            m_teeth[slot - 1] = teeth.text(1);
    }
}

QVector<EntryStore::Stored<DiaryType>>& EntryStore::diary(DiaryList list) const {
    const int l = int(list);
    if (!m_listLoaded[l] && m_active) {
        // Read straight from SQLite: a list may hold thousands of entries, most without photos.
        QHash<QString, QVector<EntryPhoto>> photosOf;
        FastQuery photos(QStringLiteral("SELECT entry, file, name, taken FROM ENTRYPHOTOS WHERE child = ? "
                                        "AND list = ? ORDER BY entry, position"),
                         {m_child, l});
        while (photos.next())
            photosOf[photos.text(0)].append({photos.text(1), photos.text(2), photos.text(3)});
        QVector<Stored<DiaryType>> loaded;
        // A diary runs in the order its entries were made, known by the stamp of each entry's first
        // (and only) `list`, so that entries made on two computers sharing the book come in the same
        // order on both.
        FastQuery child(QStringLiteral("SELECT uid FROM CHILD WHERE FirstName = ?"), {m_child});
        const QString childUid = child.next() ? child.text(0) : QString();
        FastQuery q(QStringLiteral("SELECT e.seq, e.Date, e.Title, e.Text, e.uid FROM ENTRIES e LEFT JOIN "
                                   "STAMPS s ON s.tbl = 'ENTRIES' AND s.child = ? AND s.key = e.uid AND "
                                   "s.field = 'list' WHERE e.child = ? AND e.list = ? "
                                   "ORDER BY s.stamp IS NULL, s.stamp, e.seq"),
                    {childUid, m_child, l});
        while (q.next()) {
            const QString uid = q.text(4);
            loaded.append(
                {std::make_shared<DiaryType>(DiaryType{q.text(1), q.text(2), q.text(3), photosOf.value(uid)}),
                 q.integer(0), uid});
        }
        m_lists[l] = std::move(loaded);
        m_listLoaded[l] = true;
    }
    return m_lists[l];
}

QVector<EntryStore::Stored<GrowthType>>& EntryStore::growth() const {
    if (!m_growthLoaded && m_active) {
        QVector<Stored<GrowthType>> loaded;
        FastQuery q(QStringLiteral("SELECT seq, Date, Height, WtLbs, WtOz, Head, WtKg, Units, Measured FROM "
                                   "GROWTH WHERE child = ? ORDER BY seq"),
                    {m_child});
        while (q.next())
            loaded.append(
                {std::make_shared<GrowthType>(GrowthType{q.text(1), q.text(2), q.text(3), q.text(4),
                                                         q.text(5), q.text(6), q.text(7), q.text(8)}),
                 q.integer(0),
                 {}});
        m_growth = std::move(loaded);
        m_growthLoaded = true;
    }
    return m_growth;
}

void EntryStore::requireActive() const {
    if (!m_active)
        throw StoreError(QStringLiteral("No child is active."));
}

int EntryStore::count(DiaryList list) const {
    return int(diary(list).size());
}

std::shared_ptr<DiaryType> EntryStore::at(DiaryList list, int position) const {
    return diary(list).at(position).entry;
}

void EntryStore::storePhotos(DiaryList list, const QString& uid, const QVector<EntryPhoto>& photos) {
    Database::exec(QStringLiteral("DELETE FROM ENTRYPHOTOS WHERE entry = ?"), {uid});
    for (int i = 0; i < photos.size(); ++i)
        Database::exec(QStringLiteral("INSERT INTO ENTRYPHOTOS (child, list, entry, position, file, name, "
                                      "taken) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                       {m_child, int(list), uid, i, photos[i].File, photos[i].Name, photos[i].Taken});
}

void EntryStore::append(DiaryList list, const std::shared_ptr<DiaryType>& entry) {
    requireActive();
    auto& l = diary(list);
    const QString uid = QString::fromLatin1(QUuid::createUuid().toRfc4122().toHex());
    Transaction tx;
    QSqlQuery q = Database::exec(
        QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text, uid) VALUES (?, ?, ?, ?, ?, ?)"),
        {m_child, int(list), entry->Date, entry->Title, entry->Text, uid});
    const qint64 seq = q.lastInsertId().toLongLong();
    if (!entry->Photos.isEmpty())
        storePhotos(list, uid, entry->Photos);
    tx.commit();
    l.append({entry, seq, uid});
}

void EntryStore::replaceAt(DiaryList list, int position, const std::shared_ptr<DiaryType>& entry) {
    requireActive();
    auto& l = diary(list);
    const Stored<DiaryType>& stored = l.at(position);
    Transaction tx;
    Database::exec(QStringLiteral("UPDATE ENTRIES SET Date = ?, Title = ?, Text = ? WHERE seq = ?"),
                   {entry->Date, entry->Title, entry->Text, stored.seq});
    if (entry->Photos != stored.entry->Photos)
        storePhotos(list, stored.uid, entry->Photos);
    tx.commit();
    l[position].entry = entry;
}

void EntryStore::removeAt(DiaryList list, int position) {
    requireActive();
    auto& l = diary(list);
    Transaction tx;
    Database::exec(QStringLiteral("DELETE FROM ENTRIES WHERE seq = ?"), {l.at(position).seq});
    Database::exec(QStringLiteral("DELETE FROM ENTRYPHOTOS WHERE entry = ?"), {l.at(position).uid});
    tx.commit();
    l.removeAt(position);
}

std::shared_ptr<GrowthType> EntryStore::growthAt(int position) const {
    return growth().at(position).entry;
}

void EntryStore::appendGrowth(const std::shared_ptr<GrowthType>& entry) {
    requireActive();
    auto& g = growth();
    QSqlQuery q = Database::exec(
        QStringLiteral("INSERT INTO GROWTH (child, Date, Height, WtLbs, WtOz, Head, WtKg, Units, Measured) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {m_child, entry->Date, entry->Height, entry->WtLbs, entry->WtOz, entry->Head, entry->WtKg,
         entry->Units, entry->Measured});
    g.append({entry, q.lastInsertId().toLongLong(), {}});
}

void EntryStore::replaceGrowthAt(int position, const std::shared_ptr<GrowthType>& entry) {
    requireActive();
    auto& g = growth();
    Database::exec(QStringLiteral("UPDATE GROWTH SET Date = ?, Height = ?, WtLbs = ?, WtOz = ?, Head = ?, "
                                  "WtKg = ?, Units = ?, Measured = ? WHERE seq = ?"),
                   {entry->Date, entry->Height, entry->WtLbs, entry->WtOz, entry->Head, entry->WtKg,
                    entry->Units, entry->Measured, g.at(position).seq});
    g[position].entry = entry;
}

void EntryStore::removeGrowthAt(int position) {
    requireActive();
    auto& g = growth();
    Database::exec(QStringLiteral("DELETE FROM GROWTH WHERE seq = ?"), {g.at(position).seq});
    g.removeAt(position);
}

FamilyMember EntryStore::familyMember(int slot) const {
    return m_family.at(slot - 1);
}

void EntryStore::setFamilyMember(int slot, const FamilyMember& member) {
    requireActive();
    FamilyMember& target = m_family.at(slot - 1);
    // Written only where it differs, so that the slot's time of change stays that of a real change.
    Database::exec(QStringLiteral("INSERT INTO FAMILY (child, slot, Name, Date, Text) VALUES (?, ?, ?, ?, ?) "
                                  "ON CONFLICT (child, slot) DO UPDATE SET Name = excluded.Name, "
                                  "Date = excluded.Date, Text = excluded.Text"),
                   {m_child, slot, member.Name, member.Date, member.Text});
    target = member;
}

QString EntryStore::toothDate(int slot) const {
    return m_teeth.at(slot - 1);
}

void EntryStore::setToothDate(int slot, const QString& date) {
    requireActive();
    QString& target = m_teeth.at(slot - 1);
    Database::exec(QStringLiteral("INSERT INTO TEETH (child, slot, Date) VALUES (?, ?, ?) "
                                  "ON CONFLICT (child, slot) DO UPDATE SET Date = excluded.Date"),
                   {m_child, slot, date});
    target = date;
}
