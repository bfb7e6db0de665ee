#include "core/overview/Timeline.h"

#include "core/book/ChildProfile.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/overview/ChildSummary.h"
#include "core/store/Database.h"
#include "core/store/FastQuery.h"

#include <QSqlQuery>

namespace {
// The first words of a diary's remarks, on one line.
QString opening(const QString& text) {
    QString line = text.section(QLatin1Char('\n'), 0, 0).simplified();
    if (line.size() > 120)
        line = line.left(119) + QChar(0x2026);
    return line;
}

QString dateText(const QDate& date) {
    return date.toString(QStringLiteral("MM-dd-yy"));
}
} // namespace

namespace ChildTimeline {
QString kindName(Kind kind) {
    switch (kind) {
    case Kind::Diary:
        return QStringLiteral("Diary entries");
    case Kind::Growth:
        return QStringLiteral("Growth");
    case Kind::Tooth:
        return QStringLiteral("Teeth");
    case Kind::Skill:
        return QStringLiteral("Firsts");
    case Kind::Birthday:
        return QStringLiteral("Birthdays");
    case Kind::Occasion:
        return QStringLiteral("Holidays and events");
    default:
        return QStringLiteral("Other items");
    }
}

namespace {
// A growth record's measurements, in the units it was typed in.
QString growthDetail(const QString& height, const QString& lbsText, const QString& ozText,
                     const QString& head, const QString& wtKg, const QString& units) {
    QStringList parts;
    const bool metric = units.trimmed() == QLatin1String("metric");
    const QString length = metric ? QStringLiteral(" cm") : QStringLiteral(" in");
    if (const QString h = height.trimmed(); !h.isEmpty())
        parts << QStringLiteral("height %1").arg(h) + length;
    if (const QString kg = wtKg.trimmed(); metric && !kg.isEmpty())
        parts << QStringLiteral("weight %1 kg").arg(kg);
    if (const QString hc = head.trimmed(); !hc.isEmpty())
        parts << QStringLiteral("head %1").arg(hc) + length;
    const QString lbs = lbsText.trimmed(), oz = ozText.trimmed();
    if (!lbs.isEmpty() || !oz.isEmpty())
        parts << QStringLiteral("weight %1 lbs %2 oz")
                     .arg(lbs.isEmpty() ? QStringLiteral("0") : lbs, oz.isEmpty() ? QStringLiteral("0") : oz);
    return QStringLiteral("Growth: ") + parts.join(QStringLiteral(", "));
}
} // namespace

Item Index::item(int i) const {
    const Place& place = m_places.at(i);
    if (place.whole >= 0)
        return m_whole.at(place.whole);
    Item item;
    item.kind = Kind(place.kind);
    item.position = place.position;
    item.seq = place.seq;
    if (item.kind == Kind::Diary) {
        item.list = DiaryList(place.list);
        FastQuery q(QStringLiteral("SELECT e.Date, e.Title, substr(e.Text, 1, 200), (SELECT p.file FROM "
                                   "ENTRYPHOTOS p WHERE p.entry = e.uid ORDER BY p.position LIMIT 1) "
                                   "FROM ENTRIES e WHERE e.seq = ?"),
                    {place.seq});
        if (!q.next())
            return item; // deleted since the index was read
        item.dateText = q.text(0);
        item.title = q.text(1);
        const QString remarks = opening(q.text(2));
        item.photo.File = q.text(3);
        const QString diary = ChildSummary::diaryName(item.list);
        item.detail = remarks.isEmpty() ? diary : diary + QStringLiteral(": ") + remarks;
    } else {
        FastQuery q(
            QStringLiteral("SELECT Date, Height, WtLbs, WtOz, Head, WtKg, Units FROM GROWTH WHERE seq = ?"),
            {place.seq});
        if (!q.next())
            return item;
        item.dateText = q.text(0);
        item.title = QStringLiteral("Measured");
        item.detail = growthDetail(q.text(1), q.text(2), q.text(3), q.text(4), q.text(5), q.text(6));
    }
    item.date = StoredDate::read(item.dateText, m_today).date();
    return item;
}

QDate Index::date(int i) const {
    const qint32 day = m_places.at(i).day;
    return day == 0 ? QDate() : QDate::fromJulianDay(day);
}

Index Index::read(const QString& child, const QDate& today) {
    Index index;
    index.m_today = today;
    QVector<Place>& places = index.m_places;
    QVector<qint64> days; // each place's key in date order
    auto dayOf = [&](const FastQuery& q, int column) {
        StoredDate date;
        if (!StoredDate::readQuickly(q.bytes(column), today.year(), &date))
            date = StoredDate::read(q.text(column), today);
        return date.sortKey();
    };

    // An entry of a list no diary has (a store a later version wrote) is left out: nothing could show it.
    FastQuery entries(QStringLiteral("SELECT list, seq, Date FROM ENTRIES WHERE child = ? AND list BETWEEN 0 "
                                     "AND ? ORDER BY list, seq"),
                      {child, int(DiaryList::ChildhoodDiseases)});
    int lastList = -1, position = 0;
    while (entries.next()) {
        const int list = int(entries.integer(0));
        position = list == lastList ? position + 1 : 0;
        lastList = list;
        Place place;
        place.kind = quint8(Kind::Diary);
        place.list = quint8(list);
        place.position = position;
        place.seq = entries.integer(1);
        places.append(place);
        days.append(dayOf(entries, 2));
    }
    FastQuery growth(QStringLiteral("SELECT seq, Date FROM GROWTH WHERE child = ? ORDER BY seq"), {child});
    for (int i = 0; growth.next(); ++i) {
        Place place;
        place.kind = quint8(Kind::Growth);
        place.position = i;
        place.seq = growth.integer(0);
        places.append(place);
        days.append(dayOf(growth, 1));
    }

    QVector<Item>& items = index.m_whole;
    QSqlQuery teeth =
        Database::exec(QStringLiteral("SELECT slot, Date FROM TEETH WHERE child = ? ORDER BY slot"), {child});
    while (teeth.next()) {
        Item item;
        item.kind = Kind::Tooth;
        item.position = teeth.value(0).toInt();
        item.dateText = teeth.value(1).toString();
        if (StoredDate::isBlank(item.dateText))
            continue;
        item.date = StoredDate::read(item.dateText, today).date();
        item.title = QStringLiteral("Tooth %1").arg(item.position);
        item.detail = QStringLiteral("Teeth");
        items.append(item);
    }

    for (const MilestoneSheets::SkillEntry& skill : MilestoneSheets::skills(child)) {
        if (skill.value.trimmed().isEmpty() || skill.skill.trimmed().isEmpty())
            continue;
        Item item;
        item.kind = Kind::Skill;
        item.key = skill.page;
        item.title = skill.skill.trimmed();
        item.dateText = skill.value.trimmed();
        item.date = StoredDate::read(item.dateText, today).date();
        item.detail = QStringLiteral("Skills, ") + skill.page;
        if (!item.date.isValid())
            item.detail += QStringLiteral(": ") + item.dateText;
        items.append(item);
    }

    // Birthdays fall on the birth date's day, so they are dated whenever the birth date can be read.
    const QDate born = ChildProfile::read(child, today).birth.date();
    const QStringList birthdays = MilestoneSheets::birthdayTitles();
    for (int n = 0; n < birthdays.size(); ++n) {
        const MilestoneSheets::BirthdayRecord record = MilestoneSheets::birthday(child, birthdays.at(n));
        if (record.isEmpty())
            continue;
        Item item;
        item.kind = Kind::Birthday;
        item.key = record.title;
        item.title = record.title;
        item.date = born.isValid() ? born.addYears(n) : QDate();
        item.dateText = item.date.isValid() ? dateText(item.date) : QString();
        QStringList parts;
        if (!record.guests.isEmpty())
            parts << QStringLiteral("%1 guest%2")
                         .arg(record.guests.size())
                         .arg(record.guests.size() == 1 ? "" : "s");
        if (!record.gifts.isEmpty())
            parts << QStringLiteral("%1 gift%2")
                         .arg(record.gifts.size())
                         .arg(record.gifts.size() == 1 ? "" : "s");
        if (!record.remarks.trimmed().isEmpty())
            parts << opening(record.remarks);
        item.detail = parts.join(QStringLiteral(", "));
        items.append(item);
    }

    for (const MilestoneSheets::Occasion& occasion : MilestoneSheets::occasions(child)) {
        Item item;
        item.kind = Kind::Occasion;
        item.key = occasion.caption;
        item.title = occasion.title;
        item.detail = occasion.remarks.trimmed().isEmpty() ? occasion.caption : opening(occasion.remarks);
        items.append(item);
    }

    for (int i = 0; i < items.size(); ++i) {
        Place place;
        place.kind = quint8(items[i].kind);
        place.whole = i;
        places.append(place);
        days.append(items[i].date.isValid() ? items[i].date.toJulianDay() : StoredDate::Undated);
    }

    // Newest first (a day's items in the order above); undated items last, in the order above.
    QVector<Place> sorted;
    sorted.reserve(places.size());
    for (const int i : StoredDate::inDateOrder(days, StoredDate::Order::NewestFirst)) {
        sorted.append(places[i]);
        sorted.last().day = days[i] == StoredDate::Undated ? 0 : qint32(days[i]);
    }
    places = std::move(sorted);
    return index;
}

} // namespace ChildTimeline
