#include "core/milestones/MilestoneSheets.h"

#include "core/book/ChildRecords.h"

#include <algorithm>

#include <QHash>

namespace MilestoneSheets {

QString relation(int slot) {
    static const char* const relations[14] = {"Mother",
                                              "Father",
                                              "Maternal Grandmother",
                                              "Maternal Grandfather",
                                              "Paternal Grandmother",
                                              "Paternal Grandfather",
                                              "Maternal Great Grandmother (Grandmother's mother)",
                                              "Maternal Great Grandmother (Grandfather's mother)",
                                              "Paternal Great Grandmother (Grandmother's mother)",
                                              "Paternal Great Grandmother (Grandfather's mother)",
                                              "Maternal Great Grandfather (Grandmother's father)",
                                              "Maternal Great Grandfather (Grandfather's father)",
                                              "Paternal Great Grandfather (Grandmother's father)",
                                              "Paternal Great Grandfather (Grandfather's father)"};
    return slot >= 1 && slot <= 14 ? QString::fromLatin1(relations[slot - 1]) : QString();
}

QString toothKind(int slot) {
    static const char* const kinds[] = {"Central Incisor", "Lateral Incisor", "Cuspid", "First Molar",
                                        "Second Molar"};
    const int pair = (qBound(1, slot, 20) - 1) / 2; // 0..9
    return QString::fromLatin1(kinds[pair < 5 ? pair : 9 - pair]);
}

bool toothHasDate(const QString& date) {
    return std::any_of(date.cbegin(), date.cend(), [](QChar c) { return c.isDigit(); });
}

namespace {
const QString kRemarks = QStringLiteral("Remarks");
const QString kOccasions = QStringLiteral("Occasions");

QString numbered(const QString& prefix, int n, const QString& suffix = QString()) {
    return prefix + QLatin1Char('.') + QString::number(n) + suffix;
}
} // namespace

const QString HolidaysCaption = QStringLiteral("Holidays");
const QString ChristeningCaption = QStringLiteral("Christening");
const QString OutingCaption = QStringLiteral("Special Outing Editor");
const QString VisitorCaption = QStringLiteral("Special Visitor Editor");
const QString SkillsSheet = QStringLiteral("Skills");

// ---- Birthdays

QStringList birthdayTitles() {
    QStringList titles{QStringLiteral("Birth Birthday")};
    static const char* const ordinals[] = {"1st", "2nd",  "3rd",  "4th",  "5th",  "6th",  "7th",  "8th",
                                           "9th", "10th", "11th", "12th", "13th", "14th", "15th", "16th"};
    for (const char* o : ordinals)
        titles << QString::fromLatin1(o) + QStringLiteral(" Birthday");
    return titles;
}

QString birthdaySheet(const QString& title) {
    return QStringLiteral("Birthday/") + title;
}

QString birthdayPictureKey(const QString& title, int picture) {
    return QStringLiteral("Birthdays/") + title + QStringLiteral("/Image") + QString::number(picture);
}

BirthdayRecord birthday(const QString& child, const QString& title) {
    const QHash<QString, QString> s = ChildRecords::sheet(child, birthdaySheet(title));
    BirthdayRecord r;
    r.title = title;
    r.remarks = s.value(kRemarks);
    for (int n = 1; s.contains(numbered(QStringLiteral("Guest"), n)); ++n)
        r.guests << s.value(numbered(QStringLiteral("Guest"), n));
    for (int n = 1; s.contains(numbered(QStringLiteral("Gift"), n, QStringLiteral(".Name"))); ++n)
        r.gifts << Gift{s.value(numbered(QStringLiteral("Gift"), n, QStringLiteral(".Name"))),
                        s.value(numbered(QStringLiteral("Gift"), n, QStringLiteral(".Gift")))};
    return r;
}

void setBirthdayRemarks(const QString& child, const QString& title, const QString& remarks) {
    ChildRecords::setSheetValue(child, birthdaySheet(title), kRemarks, remarks);
}

void setBirthday(const QString& child, const BirthdayRecord& record) {
    QHash<QString, QString> s;
    s.insert(kRemarks, record.remarks);
    for (int i = 0; i < record.guests.size(); ++i)
        s.insert(numbered(QStringLiteral("Guest"), i + 1), record.guests.at(i));
    for (int i = 0; i < record.gifts.size(); ++i) {
        s.insert(numbered(QStringLiteral("Gift"), i + 1, QStringLiteral(".Name")), record.gifts.at(i).name);
        s.insert(numbered(QStringLiteral("Gift"), i + 1, QStringLiteral(".Gift")), record.gifts.at(i).gift);
    }
    ChildRecords::setSheet(child, birthdaySheet(record.title), s);
}

// ---- Occasions

QString occasionSheet(const QString& caption, const QString& title) {
    return QStringLiteral("Occasion/") + caption + QLatin1Char('/') + title;
}

namespace {
QVector<Occasion> listed(const QString& child) {
    const QHash<QString, QString> s = ChildRecords::sheet(child, kOccasions);
    QVector<Occasion> list;
    for (int n = 1; s.contains(numbered(QStringLiteral("Occasion"), n, QStringLiteral(".Caption"))); ++n) {
        Occasion o;
        o.caption = s.value(numbered(QStringLiteral("Occasion"), n, QStringLiteral(".Caption")));
        o.title = s.value(numbered(QStringLiteral("Occasion"), n, QStringLiteral(".Title")));
        const QString nameField = numbered(QStringLiteral("Occasion"), n, QStringLiteral(".Name"));
        o.named = s.contains(nameField);
        o.name = s.value(nameField);
        list << o;
    }
    return list;
}
} // namespace

QVector<Occasion> occasions(const QString& child) {
    QVector<Occasion> list = listed(child);
    for (Occasion& o : list)
        o.remarks = occasionRemarks(child, o.caption, o.title);
    return list;
}

QVector<Occasion> namedOccasions(const QString& child, const QString& caption) {
    QVector<Occasion> result;
    for (const Occasion& o : listed(child))
        if (o.named && o.caption == caption)
            result << o;
    return result;
}

void recordOccasion(const QString& child, const QString& caption, const QString& title, bool named,
                    const QString& name) {
    const QVector<Occasion> list = listed(child);
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).caption == caption && list.at(i).title == title) {
            if (named && !list.at(i).named) // a fixed-looking entry later named in the dialog
                ChildRecords::setSheetValue(
                    child, kOccasions, numbered(QStringLiteral("Occasion"), i + 1, QStringLiteral(".Name")),
                    name);
            return;
        }
    }
    const int n = list.size() + 1;
    QHash<QString, QString> s = ChildRecords::sheet(child, kOccasions);
    s.insert(numbered(QStringLiteral("Occasion"), n, QStringLiteral(".Caption")), caption);
    s.insert(numbered(QStringLiteral("Occasion"), n, QStringLiteral(".Title")), title);
    if (named)
        s.insert(numbered(QStringLiteral("Occasion"), n, QStringLiteral(".Name")), name);
    ChildRecords::setSheet(child, kOccasions, s);
}

QString occasionRemarks(const QString& child, const QString& caption, const QString& title) {
    return ChildRecords::sheetValue(child, occasionSheet(caption, title), kRemarks);
}

void setOccasionRemarks(const QString& child, const QString& caption, const QString& title,
                        const QString& remarks) {
    ChildRecords::setSheetValue(child, occasionSheet(caption, title), kRemarks, remarks);
    if (!remarks.isEmpty())
        recordOccasion(child, caption, title);
}

QString titleForName(const QString& caption, const QString& name, const QString& child) {
    if (caption == HolidaysCaption)
        return QStringLiteral("First ") + name + QStringLiteral(" - ") + child;
    return name;
}

// ---- Skills

QStringList skillPages() {
    return {QStringLiteral("1st Skills"), QStringLiteral("Coordination"), QStringLiteral("At the Table"),
            QStringLiteral("Games"),      QStringLiteral("Outdoors"),     QStringLiteral("Learning"),
            QStringLiteral("Others")};
}

QVector<SkillField> listedSkills() {
    static const struct {
        const char* page;
        const char* caption;
    } table[] = {
        {"1st Skills", "First Bath:"},
        {"1st Skills", "First Bottle:"},
        {"1st Skills", "Sucks Thumb:"},
        {"1st Skills", "Sleeps All Night:"},
        {"1st Skills", "Responds to Name:"},
        {"Coordination", "Smiles:"},
        {"Coordination", "Laughs"},
        {"Coordination", "Finds Hands:"},
        {"Coordination", "Finds Feet:"},
        {"Coordination", "Grasps Objects:"},
        {"Coordination", "Passes Objects:"},
        {"Coordination", "Shakes Rattle:"},
        {"Coordination", "Holds Head Up:"},
        {"Coordination", "Raises w/ Arms:"},
        {"Coordination", "Sits Supported:"},
        {"Coordination", "Sits Alone:"},
        {"Coordination", "Waves Bye-Bye:"},
        {"At the Table", "Sits in Highchair:"},
        {"At the Table", "1st Solid Food"},
        {"At the Table", "Eats Finger Food:"},
        {"At the Table", "Holds Spoon:"},
        {"At the Table", "Drinks from Cup:"},
        {"At the Table", "Sits in \"Big\" Chair:"},
        {"At the Table", "Masters Silverware:"},
        {"At the Table", "Puts up own Dishes:"},
        {"Games", "Plays Peek-a-Boo:"},
        {"Games", "Plays Patta-Cake:"},
        {"Games", "Plays Board Game:"},
        {"Games", "Plays Cards:"},
        {"Games", "Plays a Ball Game:"},
        {"Outdoors", "Rides Swing:"},
        {"Outdoors", "Climbs Jungle Gym:"},
        {"Outdoors", "Rides a Tricycle:"},
        {"Outdoors", "Bicycle w/ Training Wheels:"},
        {"Outdoors", "Bicycle - No Training Wheels:"},
        {"Learning", "Looks at Books:"},
        {"Learning", "Knows ABC's:"},
        {"Learning", "Writes Name:"},
        {"Learning", "Knows Address:"},
        {"Learning", "Knows Phone #:"},
        {"Learning", "Reads Book Alone:"},
    };
    QVector<SkillField> list;
    int n = 0;
    for (const auto& row : table)
        list << SkillField{QString::fromLatin1(row.page), QString::fromLatin1(row.caption),
                           QStringLiteral("Edit") + QString::number(++n)};
    return list;
}

QVector<OtherRow> otherRows() {
    static const int names[19][2] = {{42, 50}, {43, 51}, {44, 52}, {45, 53}, {46, 54}, {47, 55}, {48, 56},
                                     {49, 57}, {58, 60}, {59, 61}, {62, 63}, {65, 64}, {66, 67}, {69, 68},
                                     {70, 71}, {73, 72}, {74, 75}, {77, 76}, {78, 79}};
    QVector<OtherRow> rows;
    for (const auto& r : names)
        rows << OtherRow{QStringLiteral("Edit") + QString::number(r[0]),
                         QStringLiteral("Edit") + QString::number(r[1])};
    return rows;
}

QVector<SkillEntry> skills(const QString& child) {
    const QHash<QString, QString> s = ChildRecords::sheet(child, SkillsSheet);
    QVector<SkillEntry> list;
    for (const SkillField& f : listedSkills()) {
        QString skill = f.caption;
        if (skill.endsWith(QLatin1Char(':')))
            skill.chop(1);
        list << SkillEntry{f.page, skill, s.value(f.field)};
    }
    for (const OtherRow& r : otherRows()) {
        const QString name = s.value(r.nameField);
        const QString value = s.value(r.valueField);
        if (!name.isEmpty() || !value.isEmpty())
            list << SkillEntry{QStringLiteral("Others"), name, value};
    }
    return list;
}

QString skillsPictureKey(const QString& image) {
    return QStringLiteral("Skills/") + image;
}

} // namespace MilestoneSheets
