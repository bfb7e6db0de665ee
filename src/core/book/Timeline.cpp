#include "core/book/Timeline.h"

#include "core/book/ChildSummary.h"
#include "core/diaries/GrowthLog.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/store/Database.h"

#include <QSqlQuery>

#include <algorithm>

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
    }
    return {};
}

QVector<Item> read(const QString& child, const QDate& today) {
    QVector<Item> items;

    QSqlQuery entries = Database::exec(
        QStringLiteral("SELECT e.list, e.seq, e.Date, e.Title, e.Text, (SELECT p.file FROM ENTRYPHOTOS p "
                       "WHERE p.entry = e.uid ORDER BY p.position LIMIT 1) FROM ENTRIES e WHERE e.child = ? "
                       "ORDER BY e.list, e.seq"),
        {child});
    int lastList = -1, position = 0;
    while (entries.next()) {
        Item item;
        const int list = entries.value(0).toInt();
        position = list == lastList ? position + 1 : 0;
        lastList = list;
        item.list = DiaryList(list);
        item.position = position;
        item.seq = entries.value(1).toLongLong();
        item.dateText = entries.value(2).toString();
        item.date = GrowthLog::readEntryDate(item.dateText, today);
        item.title = entries.value(3).toString();
        const QString remarks = opening(entries.value(4).toString());
        item.photo.File = entries.value(5).toString();
        item.detail = ChildSummary::diaryName(item.list) +
                      (remarks.isEmpty() ? QString() : QStringLiteral(": ") + remarks);
        items.append(item);
    }

    QSqlQuery growth = Database::exec(
        QStringLiteral(
            "SELECT Date, Height, WtLbs, WtOz, Head, WtKg, Units FROM GROWTH WHERE child = ? ORDER BY seq"),
        {child});
    for (int i = 0; growth.next(); ++i) {
        Item item;
        item.kind = Kind::Growth;
        item.position = i;
        item.dateText = growth.value(0).toString();
        item.date = GrowthLog::readEntryDate(item.dateText, today);
        item.title = QStringLiteral("Measured");
        QStringList parts;
        // A record typed in centimetres and kilograms, in its own units.
        const bool metric = growth.value(6).toString().trimmed() == QLatin1String("metric");
        const QString length = metric ? QStringLiteral(" cm") : QStringLiteral(" in");
        if (const QString h = growth.value(1).toString().trimmed(); !h.isEmpty())
            parts << QStringLiteral("height %1").arg(h) + length;
        if (const QString kg = growth.value(5).toString().trimmed(); metric && !kg.isEmpty())
            parts << QStringLiteral("weight %1 kg").arg(kg);
        if (const QString head = growth.value(4).toString().trimmed(); !head.isEmpty())
            parts << QStringLiteral("head %1").arg(head) + length;
        const QString lbs = growth.value(2).toString().trimmed(), oz = growth.value(3).toString().trimmed();
        if (!lbs.isEmpty() || !oz.isEmpty())
            parts << QStringLiteral("weight %1 lbs %2 oz")
                         .arg(lbs.isEmpty() ? QStringLiteral("0") : lbs,
                              oz.isEmpty() ? QStringLiteral("0") : oz);
        item.detail = QStringLiteral("Growth: ") + parts.join(QStringLiteral(", "));
        items.append(item);
    }

    QSqlQuery teeth =
        Database::exec(QStringLiteral("SELECT slot, Date FROM TEETH WHERE child = ? ORDER BY slot"), {child});
    while (teeth.next()) {
        Item item;
        item.kind = Kind::Tooth;
        item.position = teeth.value(0).toInt();
        item.dateText = teeth.value(1).toString();
        if (item.dateText.trimmed().isEmpty() || item.dateText == EntryStore::EmptyDate)
            continue;
        item.date = GrowthLog::readEntryDate(item.dateText, today);
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
        item.date = GrowthLog::readEntryDate(item.dateText, today);
        item.detail = QStringLiteral("Skills, ") + skill.page;
        if (!item.date.isValid())
            item.detail += QStringLiteral(": ") + item.dateText;
        items.append(item);
    }

    // Birthdays fall on the birth date's day, so they are dated whenever the birth date can be read.
    QSqlQuery birth = Database::exec(
        QStringLiteral("SELECT BDayMonth, BDateDay, BDayYear FROM CHILD WHERE FirstName = ?"), {child});
    const QDate born = birth.next()
                           ? GrowthLog::readBirthDate(birth.value(0).toString(), birth.value(1).toString(),
                                                      birth.value(2).toString(), today)
                           : QDate();
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

    // Newest first (a day's items in the order above); undated items last, in the order above.
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        if (a.date.isValid() != b.date.isValid())
            return a.date.isValid();
        return a.date.isValid() && a.date > b.date;
    });
    return items;
}
} // namespace ChildTimeline
