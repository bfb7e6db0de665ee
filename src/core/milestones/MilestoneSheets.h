#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Where the milestone screens keep what a parent types for a child, and how to read it back (the
// reports print from here too). Everything is stored in the child's sheets (ChildRecords), keyed by
// the child's first name and the occasion; every function throws StoreError when the store fails.
namespace MilestoneSheets {

// ---- Family -------------------------------------------------------------------------------------
// What the relative in family slot `slot` (1..14) is to the child: "Mother" ... "Paternal Great
// Grandfather (Grandfather's father)"; each great grandparent is named with the grandparent whose
// parent they are, so that the two on each side can be told apart.
QString relation(int slot);

// ---- Teeth -----------------------------------------------------------------------------------------
// The kind of the tooth in `slot` (1..20): "Central Incisor" ... "Second Molar". The upper arch 1..10
// runs front to back, the lower arch 11..20 back to front; each kind is a pair.
QString toothKind(int slot);
// Whether a tooth's stored date holds any digit: a date begun is a tooth come in.
bool toothHasDate(const QString& date);

// ---- Birthdays -------------------------------------------------------------------------------------
// Sheet "Birthday/<title>" (title as shown, "2nd Birthday"): field "Remarks", the guests as
// "Guest.1", "Guest.2"... and the gifts as "Gift.1.Name", "Gift.1.Gift"...
// Pictures: "Birthdays/<title>/Image1" and "Birthdays/<title>/Image2".
struct Gift {
    QString name;
    QString gift;
    bool operator==(const Gift& o) const { return name == o.name && gift == o.gift; }
};
struct BirthdayRecord {
    QString title;
    QString remarks;
    QStringList guests;
    QVector<Gift> gifts;
    bool isEmpty() const { return remarks.isEmpty() && guests.isEmpty() && gifts.isEmpty(); }
};
// "Birth Birthday", "1st Birthday" ... "16th Birthday", in order.
QStringList birthdayTitles();
QString birthdaySheet(const QString& title);
QString birthdayPictureKey(const QString& title, int picture); // picture 1 or 2
BirthdayRecord birthday(const QString& child, const QString& title);
void setBirthdayRemarks(const QString& child, const QString& title, const QString& remarks);
// Stores the guests and gifts of `record` (its remarks too), replacing what the sheet held.
void setBirthday(const QString& child, const BirthdayRecord& record);

// ---- Holidays and special events --------------------------------------------------------------------
// An occasion is a form caption ("Holidays", "Christening", "Special Outing Editor",
// "Special Visitor Editor") with a title ("First Easter - Ann", "Zoo trip"). Its remarks are kept in
// sheet "Occasion/<caption>/<title>", field "Remarks". The child's occasions are listed in sheet
// "Occasions" as "Occasion.N.Caption", "Occasion.N.Title" and, for those named in the title dialog,
// "Occasion.N.Name" (the typed name; the field is absent for the fixed holidays and the christening).
extern const QString HolidaysCaption;    // "Holidays"
extern const QString ChristeningCaption; // "Christening"
extern const QString OutingCaption;      // "Special Outing Editor"
extern const QString VisitorCaption;     // "Special Visitor Editor"

struct Occasion {
    QString caption;
    QString title;
    bool named = false; // named by the parent in the title dialog
    QString name;       // that typed name
    QString remarks;
};
QString occasionSheet(const QString& caption, const QString& title);
// The child's occasions in the order they were first recorded, with their remarks.
QVector<Occasion> occasions(const QString& child);
// Only those of `caption` that were named in the title dialog (the pick lists).
QVector<Occasion> namedOccasions(const QString& child, const QString& caption);
// Adds the occasion to the child's list unless it is there already.
void recordOccasion(const QString& child, const QString& caption, const QString& title, bool named = false,
                    const QString& name = QString());
QString occasionRemarks(const QString& child, const QString& caption, const QString& title);
// Stores the remarks; an occasion with remarks is always in the child's list.
void setOccasionRemarks(const QString& child, const QString& caption, const QString& title,
                        const QString& remarks);
// The title the title dialog gives for a typed name: "First <name> - <child>" for a holiday, the name
// itself for an outing or a visitor.
QString titleForName(const QString& caption, const QString& name, const QString& child);

// ---- Skills -------------------------------------------------------------------------------------------
// Sheet "Skills": one field per box, named like the box ("Edit1" ... "Edit79").
// Pictures: "Skills/Image1", "Skills/Image2", "Skills/Image3", "Skills/Image16" ... "Skills/Image19".
extern const QString SkillsSheet;
struct SkillField {
    QString page;
    QString caption; // as shown beside the box
    QString field;   // the box's name
};
// The seven pages, in order.
QStringList skillPages();
// The 41 listed skills, page by page, top to bottom.
QVector<SkillField> listedSkills();
// The 19 free rows of the "Others" page: (the box for the skill's name, the box beside it).
struct OtherRow {
    QString nameField;
    QString valueField;
};
QVector<OtherRow> otherRows();
struct SkillEntry {
    QString page;
    QString skill;
    QString value;
};
// Every listed skill (with its value, possibly empty), then every free row that holds anything.
QVector<SkillEntry> skills(const QString& child);
QString skillsPictureKey(const QString& image); // "Image1" -> "Skills/Image1"

} // namespace MilestoneSheets
