// The reports built from what the store already holds for a child. Each is one small function that
// turns the child's records into a ReportDocument; the page renderer does the rest.
#include "core/book/StoredDate.h"
#include "core/reports/ReportRegistry.h"

#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/diaries/DiarySheets.h"
#include "core/diaries/GrowthLog.h"
#include "core/diaries/GrowthPlot.h"
#include "core/diaries/GrowthUnits.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/reports/AnnouncementTexts.h"
#include "core/reports/ReportCatalog.h"
#include "core/store/PhotoFiles.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"
#include "core/store/Table.h"

#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QtNumeric>

namespace {
const QString kNoEntries = QStringLiteral("No entries have been recorded.");

QString shownDate(const QString& date) {
    return StoredDate::isBlank(date) ? QString() : date;
}

// A date of a list printed in date order: as typed when it is a day, else nothing, as it is placed
// among the undated (a blank box, or "13-45-26" from an old file).
QString dayOrNothing(const QString& date) {
    return StoredDate::read(date).isValid() ? date : QString();
}

ReportDocument document(const QString& title, const QString& child) {
    ReportDocument doc;
    doc.title = title;
    doc.child = child;
    return doc;
}

// The Entry store holds the active child's lists; a report for any other child has nothing to show.
bool storeHolds(const QString& child) {
    return Entries().isActive() && Entries().child() == child;
}

// A stored photo, by its file: read when the page that prints it needs it. Empty when the file is
// gone.
ReportPicture photoPicture(const QString& photoFile) {
    const QString path = PhotoFiles::pathOf(photoFile);
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0 ? ReportPicture(QByteArray(), path) : ReportPicture();
}

// A picture chosen for the child on a form: its file in the photo folder, or (a book not yet moved
// there) the bytes the store keeps.
ReportPicture childPicture(const QString& child, const QString& key) {
    const QString file = ChildRecords::pictureFile(child, key);
    return file.isEmpty() ? ReportPicture(ChildRecords::picture(child, key)) : photoPicture(file);
}

// An entry's photos, two side by side, under the entry; a photo whose file is gone is left out.
void addPhotos(ReportDocument& doc, const QVector<EntryPhoto>& photos) {
    for (int i = 0; i < photos.size(); i += 2) {
        QVector<ReportPicture> two;
        for (int j = i; j < qMin(i + 2, int(photos.size())); ++j)
            two << photoPicture(photos[j].File);
        doc.pictures({QString(), QString()}, two);
    }
}

// A diary's entries by date, oldest first; entries of one day and those without a date (last) in the
// order they were written. Parents catch up on old entries, so the order of writing is not the order
// of a life.
QVector<std::shared_ptr<DiaryType>> entriesByDate(DiaryList list, const QString& child) {
    const int n = storeHolds(child) ? Entries().count(list) : 0;
    QVector<std::shared_ptr<DiaryType>> entries;
    QVector<qint64> keys;
    entries.reserve(n);
    keys.reserve(n);
    const QDate today = QDate::currentDate();
    for (int i = 0; i < n; ++i) {
        entries << Entries().at(list, i);
        keys << StoredDate::sortKey(entries.last()->Date, today);
    }
    QVector<std::shared_ptr<DiaryType>> sorted;
    sorted.reserve(n);
    for (const int i : StoredDate::inDateOrder(keys))
        sorted << entries[i];
    return sorted;
}

ReportDocument diary(const QString& title, DiaryList list, const QString& child, bool withPhotos = false) {
    ReportDocument doc = document(title, child);
    const QVector<std::shared_ptr<DiaryType>> entries = entriesByDate(list, child);
    const int n = int(entries.size());
    doc.blocks.reserve(doc.blocks.size() + n + 1);
    for (const auto& e : entries) {
        doc.entry(dayOrNothing(e->Date), e->Title, e->Text);
        if (withPhotos)
            addPhotos(doc, e->Photos);
    }
    if (n == 0)
        doc.note(kNoEntries);
    return doc;
}

// Readable captions for the CHILD fields, in the table's field order.
QString childFieldCaption(const QString& field) {
    static const QHash<QString, QString> captions{
        {QStringLiteral("FirstName"), QStringLiteral("First Name")},
        {QStringLiteral("MiddleName"), QStringLiteral("Middle Name")},
        {QStringLiteral("LastName"), QStringLiteral("Last Name")},
        {QStringLiteral("BDateDay"), QStringLiteral("Birth Date: Day")},
        {QStringLiteral("BirthDay"), QStringLiteral("Day of the Week")},
        {QStringLiteral("BirthHt"), QStringLiteral("Birth Height (inches)")},
        {QStringLiteral("Physician"), QStringLiteral("Physician")},
        {QStringLiteral("Pediatrician"), QStringLiteral("Pediatrician")},
        {QStringLiteral("Hospital"), QStringLiteral("Hospital")},
        {QStringLiteral("BirthCity"), QStringLiteral("City of Birth")},
        {QStringLiteral("BirthState"), QStringLiteral("State of Birth")},
        {QStringLiteral("BirthCountry"), QStringLiteral("Country of Birth")},
        {QStringLiteral("Hair"), QStringLiteral("Hair")},
        {QStringLiteral("Eyes"), QStringLiteral("Eyes")},
        {QStringLiteral("BDayMonth"), QStringLiteral("Birth Date: Month")},
        {QStringLiteral("BDayYear"), QStringLiteral("Birth Date: Year")},
        {QStringLiteral("BTimeHr"), QStringLiteral("Birth Time: Hour")},
        {QStringLiteral("BTimeMin"), QStringLiteral("Birth Time: Minutes")},
        {QStringLiteral("BTimeAmPm"), QStringLiteral("Birth Time: a.m./p.m.")},
        {QStringLiteral("Address"), QStringLiteral("Address")},
        {QStringLiteral("City"), QStringLiteral("City")},
        {QStringLiteral("State"), QStringLiteral("State")},
        {QStringLiteral("County"), QStringLiteral("County")},
        {QStringLiteral("BirthWeightOz"), QStringLiteral("Birth Weight: Ounces")},
        {QStringLiteral("BirthWeightLb"), QStringLiteral("Birth Weight: Pounds")},
        {QStringLiteral("Sex"), QStringLiteral("Sex")},
        {QStringLiteral("Gestation"), QStringLiteral("Born at (weeks)")},
        {QStringLiteral("BirthUnits"), QStringLiteral("Birth Measurements: Units")},
        {QStringLiteral("BirthLengthCm"), QStringLiteral("Birth Height (cm)")},
        {QStringLiteral("BirthWeightKg"), QStringLiteral("Birth Weight (kg)")},
        {QStringLiteral("BirthHead"), QStringLiteral("Birth Head Circumference")},
    };
    if (field.size() == 2 && field.startsWith(QLatin1Char('H')) && field[1].isDigit())
        return QStringLiteral("Headline ") + field[1];
    return captions.value(field, field);
}

// "Monday, 3/15/1997" from the birth date's boxes, leaving out what was never typed.
QString birthDateText(const QHash<QString, QString>& row) {
    QStringList parts;
    for (const char* f : {"BDayMonth", "BDateDay", "BDayYear"})
        parts << row.value(QString::fromLatin1(f)).trimmed();
    parts.removeAll(QString());
    const QString weekday = row.value(QStringLiteral("BirthDay")).trimmed();
    const QString date = parts.join(QLatin1Char('/'));
    if (weekday.isEmpty() || date.isEmpty())
        return weekday + date;
    return weekday + QStringLiteral(", ") + date;
}

// "10:05 a.m." from the birth time's boxes, or nothing when no hour was typed.
QString birthTimeText(const QHash<QString, QString>& row) {
    const QString hour = row.value(QStringLiteral("BTimeHr")).trimmed();
    if (hour.isEmpty())
        return QString();
    const QString minutes = row.value(QStringLiteral("BTimeMin")).trimmed();
    const QString ampm = row.value(QStringLiteral("BTimeAmPm")).trimmed();
    QString time = hour + QLatin1Char(':') + (minutes.isEmpty() ? QStringLiteral("00") : minutes);
    if (!ampm.isEmpty())
        time += QLatin1Char(' ') + ampm;
    return time;
}

ReportDocument itemizedChild(const QString& child) {
    // Every field of the row, gathered under headings a parent reads easily; a field not named in a
    // group (a field added later) still appears, under "Other". The birth date and time each make one
    // row; the pediatrician is the one on the doctor form's card; headlines print only when written.
    static const struct {
        const char* heading;
        QStringList fields;
    } groups[] = {
        {"Names", {"FirstName", "MiddleName", "LastName"}},
        {"Birth",
         {"@BirthDate", "@BirthTime", "BirthHt", "BirthWeightLb", "BirthWeightOz", "BirthUnits",
          "BirthLengthCm", "BirthWeightKg", "BirthHead", "Sex", "Gestation", "Hair", "Eyes"}},
        {"Place of Birth",
         {"Hospital", "Physician", "Pediatrician", "BirthCity", "BirthState", "BirthCountry"}},
        {"First Home", {"Address", "City", "State", "County"}},
        {"Headlines of the Day", {"H1", "H2", "H3", "H4", "H5", "H6", "H7"}},
    };
    ReportDocument doc = document(QStringLiteral("Itemized Child Report"), child);
    QHash<QString, QString> row = ChildRow::fields(child);
    const QString cardName = DiarySheets::readPediatrician(child).name.trimmed();
    if (!cardName.isEmpty())
        row.insert(QStringLiteral("Pediatrician"), cardName);
    QStringList placed{QStringLiteral("BirthDay"), QStringLiteral("BDayMonth"), QStringLiteral("BDateDay"),
                       QStringLiteral("BDayYear"), QStringLiteral("BTimeHr"),   QStringLiteral("BTimeMin"),
                       QStringLiteral("BTimeAmPm")};
    for (const auto& g : groups) {
        const bool headlines = QByteArray(g.heading) == "Headlines of the Day";
        QVector<QPair<QString, QString>> rows;
        for (const QString& f : g.fields) {
            if (f == QStringLiteral("@BirthDate")) {
                rows << qMakePair(QStringLiteral("Birth Date"), birthDateText(row));
            } else if (f == QStringLiteral("@BirthTime")) {
                rows << qMakePair(QStringLiteral("Birth Time"), birthTimeText(row));
            } else if (Schema::child().indexOf(f) >= 0) {
                placed << f;
                if (!headlines || !row.value(f).trimmed().isEmpty())
                    rows << qMakePair(childFieldCaption(f), row.value(f));
            }
        }
        if (rows.isEmpty())
            continue;
        doc.section(QString::fromLatin1(g.heading));
        doc.fieldRows(rows);
    }
    QVector<QPair<QString, QString>> others;
    for (const FieldDef& f : Schema::child().fields)
        if (!placed.contains(f.name))
            others << qMakePair(childFieldCaption(f.name), row.value(f.name));
    if (!others.isEmpty()) {
        doc.section(QStringLiteral("Other"));
        doc.fieldRows(others);
    }
    return doc;
}

QVector<QStringList> nameRows(const QString& tableName) {
    Table table(tableName);
    table.open();
    QVector<QStringList> rows;
    for (table.first(); !table.eof(); table.next())
        rows << QStringList{table.fieldText(QStringLiteral("Name")),
                            table.fieldText(QStringLiteral("Origin")),
                            table.fieldText(QStringLiteral("Meaning"))};
    return rows;
}

ReportDocument babyNames(const QString& child) {
    // The lists are the same for every child, so the pages carry no child's name.
    Q_UNUSED(child);
    ReportDocument doc = document(QStringLiteral("Baby Names"), QString());
    const QStringList columns{QStringLiteral("Name"), QStringLiteral("Origin"), QStringLiteral("Meaning")};
    const QVector<double> widths{0.25, 0.25, 0.5};
    for (const auto& [heading, table] : {std::pair{QStringLiteral("Boy Names"), QStringLiteral("BOYA")},
                                         std::pair{QStringLiteral("Girl Names"), QStringLiteral("GIRLA")}}) {
        doc.section(heading);
        const QVector<QStringList> rows = nameRows(table);
        if (rows.isEmpty())
            doc.note(QStringLiteral("No names are available."));
        else
            doc.table(columns, widths, rows);
    }
    return doc;
}

ReportDocument familyTree(const QString& child) {
    ReportDocument doc = document(QStringLiteral("Family Tree"), child);
    QStringList names{child};
    QVector<QStringList> rows;
    const bool held = storeHolds(child);
    for (int slot = 1; slot <= EntryStore::FamilySlots; ++slot) {
        const FamilyMember m = held ? Entries().familyMember(slot) : FamilyMember{};
        names << m.Name;
        rows << QStringList{MilestoneSheets::relation(slot), m.Name, shownDate(m.Date), m.Text};
    }
    doc.familyTree(names);
    doc.section(QStringLiteral("Relatives"));
    doc.table({QStringLiteral("Relative"), QStringLiteral("Name"), QStringLiteral("Date of Birth"),
               QStringLiteral("Place of Birth")},
              {0.28, 0.27, 0.15, 0.30}, rows);
    return doc;
}

// A measurement typed as text ("24", "24.5", "24,5"), or NaN when it is not a number.
ReportDocument growthLog(const QString& child) {
    ReportDocument doc = document(QStringLiteral("Growth Log"), child);
    const int n = storeHolds(child) ? Entries().growthCount() : 0;
    const GrowthUnits::System units = GrowthUnits::preferred();
    const bool metric = units == GrowthUnits::System::Metric;
    QVector<QStringList> rows;
    QVector<GrowthType> records;
    for (int i = 0; i < n; ++i)
        records << *Entries().growthAt(i);
    records = GrowthLog::inDateOrder(records);
    bool anyHead = false;
    for (const GrowthType& g : records) {
        anyHead = anyHead || !g.Head.trimmed().isEmpty();
        // As typed when in the chosen units, converted where it can be read otherwise.
        const bool asTyped = GrowthUnits::of(g) == units;
        double cm = 0, kg = 0, head = 0;
        QString height, weight, headText;
        if (!asTyped && GrowthUnits::heightCm(g, &cm))
            height = GrowthUnits::lengthText(cm, units);
        else
            height =
                g.Height + (GrowthUnits::of(g) == GrowthUnits::System::Metric ? QStringLiteral(" cm")
                                                                              : QStringLiteral(" inches"));
        if (!asTyped && GrowthUnits::weightKg(g, &kg))
            weight = GrowthUnits::weightText(kg, units);
        else if (GrowthUnits::of(g) == GrowthUnits::System::Metric)
            weight = g.WtKg + QStringLiteral(" kg");
        else
            weight = g.WtLbs + QStringLiteral(" lbs. ") + g.WtOz + QStringLiteral(" oz.");
        if (g.Head.trimmed().isEmpty())
            headText = QString();
        else if (!asTyped && GrowthUnits::headCm(g, &head))
            headText = GrowthUnits::lengthText(head, units);
        else
            headText =
                g.Head + (GrowthUnits::of(g) == GrowthUnits::System::Metric ? QStringLiteral(" cm")
                                                                            : QStringLiteral(" inches"));
        rows << QStringList{dayOrNothing(g.Date), height, weight, headText};
    }
    if (rows.isEmpty()) {
        doc.note(kNoEntries);
        return doc;
    }
    if (anyHead) {
        doc.table({QStringLiteral("Date"), QStringLiteral("Height"), QStringLiteral("Weight"),
                   QStringLiteral("Head")},
                  {0.22, 0.24, 0.30, 0.24}, rows);
    } else {
        for (QStringList& r : rows)
            r.removeLast();
        doc.table({QStringLiteral("Date"), QStringLiteral("Height"), QStringLiteral("Weight")},
                  {0.3, 0.3, 0.4}, rows);
    }
    // The charts place each measurement at the child's age on the day, against the standards.
    auto plot =
        std::make_shared<const GrowthPlot::Plot>(GrowthPlot::forChild(child, records, QDate::currentDate()));
    doc.section(QStringLiteral("Growth Chart"));
    if (!plot->birthKnown) {
        doc.note(QStringLiteral("The charts need the child's birth date."));
        return doc;
    }
    if (plot->sex == GrowthReference::Sex::Unknown)
        doc.note(
            QStringLiteral("Choose the child's sex on the child's information to draw the centile curves."));
    for (GrowthReference::Measure m :
         {GrowthReference::Measure::Weight, GrowthReference::Measure::Height, GrowthReference::Measure::Head})
        if (!plot->points(m).isEmpty())
            doc.growthChart(plot, m, metric);
    if (!plot->leftOut.isEmpty())
        doc.note(QStringLiteral("Left out of the charts, as they cannot be read: ") +
                 plot->leftOut.join(QStringLiteral("; ")));
    return doc;
}

ReportDocument vocabulary(const QString& child) {
    ReportDocument doc = document(QStringLiteral("Vocabulary List"), child);
    const QVector<std::shared_ptr<DiaryType>> words = entriesByDate(DiaryList::WordEntries, child);
    const int n = int(words.size());
    QVector<QStringList> rows;
    for (int i = 0; i < n; ++i)
        rows << QStringList{QString::number(i + 1), words[i]->Title, dayOrNothing(words[i]->Date)};
    if (rows.isEmpty()) {
        doc.note(QStringLiteral("No words have been recorded."));
    } else {
        doc.paragraph(QStringLiteral("Total Word Count: ") + QString::number(n));
        doc.table({QStringLiteral("No."), QStringLiteral("Word"), QStringLiteral("Date")}, {0.12, 0.58, 0.30},
                  rows);
    }
    return doc;
}

// ---- Reports of the diaries' sheets and the milestones ----------------------------------------------

// A form's caption without its closing colon (the renderer adds its own).
QString caption(QString text) {
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}

// The line a report shows when the child has nothing of it recorded yet.
ReportDocument nothingRecorded(ReportDocument doc, const QString& what) {
    doc.note(QStringLiteral("Nothing has been recorded ") + what + QStringLiteral(" yet."));
    return doc;
}

ReportDocument prenatalDates(const QString& child) {
    ReportDocument doc = document(QStringLiteral("Prenatal Dates"), child);
    const DiarySheets::PrenatalDatesSheet sheet = DiarySheets::readPrenatalDates(child);
    const QStringList captions = DiarySheets::prenatalDateCaptions();
    QVector<QPair<QString, QString>> fixed;
    bool any = false;
    for (int i = 0; i < captions.size(); ++i) {
        const QString date = shownDate(sheet.dates.value(i));
        any = any || !date.isEmpty();
        fixed << qMakePair(caption(captions[i]), date);
    }
    // The other dates: the parent's own name beside each date, in the order of the form.
    QVector<QStringList> others;
    for (int i = 0; i < sheet.names.size(); ++i) {
        const QString date = shownDate(sheet.dates.value(captions.size() + i));
        if (!sheet.names[i].trimmed().isEmpty() || !date.isEmpty())
            others << QStringList{sheet.names[i], date};
    }
    if (!any && others.isEmpty())
        return nothingRecorded(doc, QStringLiteral("among the dates to remember"));
    doc.section(QStringLiteral("Dates to Remember"));
    doc.fieldRows(fixed);
    if (!others.isEmpty()) {
        doc.section(QStringLiteral("Other Dates to Remember"));
        doc.table({QStringLiteral("Date to Remember"), QStringLiteral("Date")}, {0.7, 0.3}, others);
    }
    return doc;
}

ReportDocument immunizations(const QString& child) {
    ReportDocument doc = document(QStringLiteral("Immunizations"), child);
    const QVector<DiarySheets::ImmunizationRow> sheet = DiarySheets::readImmunizations(child);
    QVector<QStringList> rows;
    bool any = false;
    for (const DiarySheets::ImmunizationRow& r : sheet) {
        const QString date = shownDate(r.date);
        const bool named = r.field == QStringLiteral("MaskEdit21") ||
                           r.field == QStringLiteral("MaskEdit22") ||
                           r.field == QStringLiteral("MaskEdit23") || r.field == QStringLiteral("MaskEdit24");
        any = any || !date.isEmpty() || (named && !r.caption.trimmed().isEmpty());
        // The four rows the parent names appear once something is in them; a date without a name
        // still prints, so it is not lost.
        if (named && r.caption.trimmed().isEmpty() && date.isEmpty())
            continue;
        rows << QStringList{
            r.caption.trimmed().isEmpty() ? QStringLiteral("(Immunization not named)") : r.caption, date};
    }
    if (!any)
        return nothingRecorded(doc, QStringLiteral("on the immunization sheet"));
    doc.table({QStringLiteral("Immunization"), QStringLiteral("Date Given")}, {0.6, 0.4}, rows);
    return doc;
}

ReportDocument pediatrician(const QString& child) {
    ReportDocument doc = document(QStringLiteral("Pediatrician Information"), child);
    const DiarySheets::PediatricianCard card = DiarySheets::readPediatrician(child);
    const ReportPicture picture = childPicture(child, DiarySheets::DoctorPicture);
    const QVector<QPair<QString, QString>> rows{
        {QStringLiteral("Name"), card.name}, {QStringLiteral("Address"), card.address},
        {QStringLiteral("City"), card.city}, {QStringLiteral("State"), card.state},
        {QStringLiteral("Zip"), card.zip},   {QStringLiteral("Phone"), card.phone}};
    bool any = !picture.isEmpty();
    for (const auto& r : rows)
        any = any || !r.second.trimmed().isEmpty();
    if (!any)
        return nothingRecorded(doc, QStringLiteral("on the pediatrician's card"));
    doc.section(QStringLiteral("Pediatrician"));
    doc.fieldRows(rows);
    doc.pictures({QString()}, {picture});
    return doc;
}

ReportDocument skills(const QString& child) {
    ReportDocument doc = document(QStringLiteral("Skills"), child);
    const QVector<MilestoneSheets::SkillEntry> all = MilestoneSheets::skills(child);
    // Page by page in the form's order; a skill is listed once something is written beside it.
    for (const QString& page : MilestoneSheets::skillPages()) {
        QVector<QStringList> rows;
        for (const MilestoneSheets::SkillEntry& e : all)
            if (e.page == page && (!e.value.trimmed().isEmpty() || (page == QStringLiteral("Others"))))
                rows << QStringList{e.skill, e.value};
        if (rows.isEmpty())
            continue;
        doc.section(page);
        doc.table({QStringLiteral("Skill"), QStringLiteral("Date or Remarks")}, {0.45, 0.55}, rows);
    }
    // The pictures the parent chose, in the order of the pages, each under its page's name.
    static const char* const images[][2] = {{"Image1", "1st Skills"},   {"Image2", "Coordination"},
                                            {"Image3", "At the Table"}, {"Image18", "Outdoors"},
                                            {"Image17", "Outdoors"},    {"Image19", "Outdoors"},
                                            {"Image16", "Outdoors"}};
    QVector<ReportPicture> pictures;
    QStringList captions;
    for (const auto& image : images) {
        const ReportPicture picture =
            childPicture(child, MilestoneSheets::skillsPictureKey(QString::fromLatin1(image[0])));
        if (!picture.isEmpty()) {
            pictures << picture;
            captions << QString::fromLatin1(image[1]);
        }
    }
    if (!pictures.isEmpty()) {
        doc.section(QStringLiteral("Pictures"));
        // Two to a row, so each keeps a useful size.
        for (int i = 0; i < pictures.size(); i += 2)
            doc.pictures(captions.mid(i, 2), pictures.mid(i, 2));
    }
    if (doc.blocks.isEmpty())
        return nothingRecorded(doc, QStringLiteral("among the skills"));
    return doc;
}

// The birthday's name as a page shows it: the day of birth is "Birth", not "Birth Birthday".
QString birthdayHeading(const QString& title) {
    return title == QStringLiteral("Birth Birthday") ? QStringLiteral("Birth") : title;
}

ReportDocument birthday(const QString& title, const QString& child) {
    ReportDocument doc = document(birthdayHeading(title), child);
    const MilestoneSheets::BirthdayRecord record = MilestoneSheets::birthday(child, title);
    const QVector<ReportPicture> pictures{childPicture(child, MilestoneSheets::birthdayPictureKey(title, 1)),
                                          childPicture(child, MilestoneSheets::birthdayPictureKey(title, 2))};
    if (record.isEmpty() && pictures[0].isEmpty() && pictures[1].isEmpty())
        return nothingRecorded(doc, QStringLiteral("for the ") + (title == QStringLiteral("Birth Birthday")
                                                                      ? QStringLiteral("birth")
                                                                      : title));
    doc.pictures({QString(), QString()}, pictures);
    if (!record.remarks.trimmed().isEmpty()) {
        doc.section(QStringLiteral("Remarks"));
        doc.paragraph(record.remarks);
    }
    if (!record.guests.isEmpty()) {
        doc.section(QStringLiteral("Guests"));
        QVector<QStringList> rows;
        for (int i = 0; i < record.guests.size(); ++i)
            rows << QStringList{QString::number(i + 1), record.guests[i]};
        doc.table({QStringLiteral("No."), QStringLiteral("Guest Name")}, {0.12, 0.88}, rows);
    }
    if (!record.gifts.isEmpty()) {
        doc.section(QStringLiteral("Gifts"));
        QVector<QStringList> rows;
        for (const MilestoneSheets::Gift& g : record.gifts)
            rows << QStringList{g.name, g.gift};
        doc.table({QStringLiteral("Name"), QStringLiteral("Gift")}, {0.4, 0.6}, rows);
    }
    return doc;
}

ReportDocument occasions(const QString& reportTitle, const QString& formCaption, const QString& what,
                         const QString& child) {
    ReportDocument doc = document(reportTitle, child);
    for (const MilestoneSheets::Occasion& o : MilestoneSheets::occasions(child)) {
        if (o.caption != formCaption)
            continue;
        doc.section(o.title);
        if (o.remarks.trimmed().isEmpty())
            doc.note(QStringLiteral("No remarks were written."));
        else
            doc.paragraph(o.remarks);
    }
    if (doc.blocks.isEmpty())
        return nothingRecorded(doc, what);
    return doc;
}

// ---- The Baby Book: every report of the child gathered into one volume ------------------------------

// True when a report has nothing of its own to show (only its "nothing recorded" remark).
bool nothingIn(const ReportDocument& part) {
    for (const ReportBlock& b : part.blocks)
        if (b.kind != ReportBlock::Kind::Note)
            return false;
    return true;
}

// Adds a report's blocks to the chapter under `heading` (none when empty); true when it added any.
bool addPart(ReportDocument& chapter, const QString& heading, const ReportDocument& part) {
    if (nothingIn(part))
        return false;
    if (!heading.isEmpty())
        chapter.section(heading);
    chapter.blocks += part.blocks;
    return true;
}

ReportDocument bookBirth(const QString& child) {
    ReportDocument chapter;
    const QHash<QString, QString> row = ChildRow::fields(child);
    QStringList names;
    for (const char* f : {"FirstName", "MiddleName", "LastName"})
        names << row.value(QString::fromLatin1(f)).trimmed();
    names.removeAll(QString());
    QVector<QPair<QString, QString>> details;
    auto add = [&details](const QString& caption, const QString& value) {
        if (!value.trimmed().isEmpty())
            details << qMakePair(caption, value.trimmed());
    };
    add(QStringLiteral("Born"), birthDateText(row));
    add(QStringLiteral("Time"), birthTimeText(row));
    // The birth measurements in the family's units, the other in brackets.
    auto field = [&row](const char* name) { return row.value(QString::fromLatin1(name)); };
    const GrowthUnits::Texts measured = GrowthUnits::textsOf(
        GrowthUnits::birthRecord(field("BirthUnits"), field("BirthHt"), field("BirthWeightLb"),
                                 field("BirthWeightOz"), field("BirthLengthCm"), field("BirthWeightKg"),
                                 field("BirthHead")),
        GrowthUnits::preferred());
    add(QStringLiteral("Height"), measured.length);
    add(QStringLiteral("Weight"), measured.weight);
    add(QStringLiteral("Head"), measured.head);
    for (const char* f : {"Hair", "Eyes", "Hospital", "Physician", "BirthCity", "BirthState", "BirthCountry"})
        add(childFieldCaption(QString::fromLatin1(f)), row.value(QString::fromLatin1(f)));
    QVector<QPair<QString, QString>> headlines;
    for (int i = 1; i <= 7; ++i) {
        const QString h = row.value(QStringLiteral("H") + QString::number(i)).trimmed();
        if (!h.isEmpty())
            headlines << qMakePair(QStringLiteral("Headline ") + QString::number(i), h);
    }
    ReportDocument dayOfBirth = birthday(QStringLiteral("Birth Birthday"), child);
    if (details.isEmpty() && headlines.isEmpty() && nothingIn(dayOfBirth))
        return chapter;
    // The chapter opens with the pictures of the day of birth, when there are any.
    if (!dayOfBirth.blocks.isEmpty() && dayOfBirth.blocks.first().kind == ReportBlock::Kind::Pictures)
        chapter.blocks << dayOfBirth.blocks.takeFirst();
    if (!details.isEmpty()) {
        // The announcement's words, then each value under its own name ("Hair: Light brown").
        chapter.section(QStringLiteral("The Day You Were Born"));
        const QString announcing = AnnouncementTexts::fromFields(row).Announcing.simplified();
        if (!names.isEmpty())
            chapter.paragraph(announcing);
        chapter.fieldRows(details);
    }
    if (!headlines.isEmpty()) {
        chapter.section(QStringLiteral("Headlines of the Day"));
        chapter.fieldRows(headlines);
    }
    addPart(chapter, QStringLiteral("Visitors and Gifts"), dayOfBirth);
    return chapter;
}

ReportDocument bookFamily(const QString& child) {
    ReportDocument chapter;
    if (!storeHolds(child))
        return chapter;
    const ReportDocument tree = familyTree(child);
    QVector<QStringList> named;
    for (const QStringList& r : tree.blocks.last().rows)
        if (!r.value(1).trimmed().isEmpty())
            named << r;
    if (named.isEmpty())
        return chapter;
    chapter.blocks << tree.blocks.first(); // the drawing
    chapter.section(QStringLiteral("Relatives"));
    chapter.table(tree.blocks.last().columns, tree.blocks.last().widths, named);
    return chapter;
}

ReportDocument bookHealth(const QString& child) {
    ReportDocument chapter;
    addPart(chapter, QString(), pediatrician(child)); // under its own "Pediatrician"
    addPart(chapter, QStringLiteral("Doctor Visits"),
            diary(QStringLiteral("Doctor Visits"), DiaryList::DoctorVisits, child, true));
    addPart(chapter, QStringLiteral("Immunizations"), immunizations(child));
    addPart(chapter, QStringLiteral("Childhood Diseases"),
            diary(QStringLiteral("Childhood Diseases"), DiaryList::ChildhoodDiseases, child, true));
    if (storeHolds(child)) {
        QStringList dates;
        QVector<QStringList> rows;
        for (int slot = 1; slot <= 20; ++slot) {
            QString date = Entries().toothDate(slot);
            const bool dated = MilestoneSheets::toothHasDate(date);
            date = dated ? date.trimmed() : QString();
            dates << date;
            if (dated)
                rows << QStringList{QString::number(slot),
                                    MilestoneSheets::toothKind(slot) +
                                        (slot <= 10 ? QStringLiteral(", top") : QStringLiteral(", bottom")),
                                    date};
        }
        if (!rows.isEmpty()) {
            chapter.section(QStringLiteral("Teeth"));
            chapter.teethChart(dates);
            chapter.table({QStringLiteral("Tooth"), QStringLiteral("Kind"), QStringLiteral("Came In")},
                          {0.15, 0.55, 0.30}, rows);
        }
    }
    return chapter;
}

// "Saturday, March 15, 1998 · 1 year old": the day of a birthday and the age the child turned, or
// the age alone when the birth date cannot be read.
QString birthdayLine(const StoredDate& birth, int years) {
    const QString age = years == 1 ? QStringLiteral("1 year old") : QStringLiteral("%1 years old").arg(years);
    if (!birth.isValid())
        return age;
    return QLocale(QLocale::English)
               .toString(birth.date().addYears(years), QStringLiteral("dddd, MMMM d, yyyy")) +
           QStringLiteral(" · ") + age;
}

ReportDocument bookCelebrations(const QString& child) {
    ReportDocument chapter;
    const QStringList titles = MilestoneSheets::birthdayTitles();
    const QHash<QString, QString> row = ChildRow::fields(child);
    const StoredDate birth =
        StoredDate::readParts(row.value(QStringLiteral("BDayMonth")), row.value(QStringLiteral("BDateDay")),
                              row.value(QStringLiteral("BDayYear")));
    for (int i = 1; i < titles.size(); ++i) { // the day of birth has its place in the Birth chapter
        const ReportDocument part = birthday(titles[i], child);
        if (nothingIn(part))
            continue;
        chapter.section(titles[i], birthdayLine(birth, i));
        chapter.blocks += part.blocks;
    }
    const QVector<MilestoneSheets::Occasion> all = MilestoneSheets::occasions(child);
    for (const auto& [caption, heading] :
         {std::pair{MilestoneSheets::HolidaysCaption, QStringLiteral("Holidays")},
          std::pair{MilestoneSheets::ChristeningCaption, QStringLiteral("Christening")},
          std::pair{MilestoneSheets::OutingCaption, QStringLiteral("Special Outings")},
          std::pair{MilestoneSheets::VisitorCaption, QStringLiteral("Special Visitors")}}) {
        ReportDocument part;
        for (const MilestoneSheets::Occasion& o : all) {
            if (o.caption != caption)
                continue;
            // Each occasion under its own name, one step below the group's heading.
            part.entry(QString(), o.title, o.remarks.trimmed().isEmpty() ? QString() : o.remarks);
        }
        addPart(chapter, heading, part);
    }
    return chapter;
}

ReportDocument babyBook(const QString& child) {
    const QHash<QString, QString> row = ChildRow::fields(child);
    QStringList names;
    for (const char* f : {"FirstName", "MiddleName", "LastName"})
        names << row.value(QString::fromLatin1(f)).trimmed();
    names.removeAll(QString());
    const QString fullName = names.isEmpty() ? child : names.join(QLatin1Char(' '));

    ReportDocument doc = document(QStringLiteral("The Baby Book"), fullName);
    doc.book = true;
    doc.cover(fullName, birthDateText(row), childPicture(child, QStringLiteral("ChildInfo/Image1")));
    doc.contents();

    // The chapters in the order of a life; one with nothing in it is left out.
    QVector<std::pair<QString, ReportDocument>> chapters;
    ReportDocument before;
    addPart(before, QString(), prenatalDates(child)); // under its own "Dates to Remember"
    addPart(before, QStringLiteral("Prenatal Diary"),
            diary(QStringLiteral("Prenatal Diary"), DiaryList::PrenatalDiary, child, true));
    addPart(before, QStringLiteral("Prenatal Medical Diary"),
            diary(QStringLiteral("Prenatal Medical Diary"), DiaryList::PrenatalMedicalDiary, child, true));
    chapters.append({QStringLiteral("Before You Were Born"), before});
    chapters.append({QStringLiteral("Birth"), bookBirth(child)});
    chapters.append({QStringLiteral("Family"), bookFamily(child)});
    ReportDocument growth;
    addPart(growth, QString(), growthLog(child));
    chapters.append({QStringLiteral("Growth"), growth});
    chapters.append({QStringLiteral("Health"), bookHealth(child)});
    ReportDocument firsts;
    addPart(firsts, QStringLiteral("Words"), vocabulary(child));
    addPart(firsts, QStringLiteral("Skills"), skills(child));
    chapters.append({QStringLiteral("Firsts"), firsts});
    chapters.append({QStringLiteral("Celebrations"), bookCelebrations(child)});
    ReportDocument journal;
    addPart(journal, QString(), diary(QStringLiteral("Journal"), DiaryList::JournalEntries, child, true));
    chapters.append({QStringLiteral("Journal"), journal});
    for (const auto& [title, chapter] : chapters) {
        if (chapter.blocks.isEmpty())
            continue;
        doc.chapter(title);
        doc.blocks += chapter.blocks;
    }
    return doc;
}

QMap<QString, ReportRegistry::Builder> allBuilders() {
    QMap<QString, ReportRegistry::Builder> builders{
        {QStringLiteral("Itemized Child Report"), itemizedChild},
        {ReportCatalog::BabyBook, babyBook},
        {QStringLiteral("Baby Names"), babyNames},
        {QStringLiteral("Family Tree"), familyTree},
        {QStringLiteral("Growth Log"), growthLog},
        {QStringLiteral("Prenatal Diary"),
         [](const QString& c) {
             return diary(QStringLiteral("Prenatal Diary"), DiaryList::PrenatalDiary, c);
         }},
        {QStringLiteral("Prenatal Medical Diary"),
         [](const QString& c) {
             return diary(QStringLiteral("Prenatal Medical Diary"), DiaryList::PrenatalMedicalDiary, c);
         }},
        {QStringLiteral("Doctor Visits"),
         [](const QString& c) { return diary(QStringLiteral("Doctor Visits"), DiaryList::DoctorVisits, c); }},
        {QStringLiteral("Childhood Diseases"),
         [](const QString& c) {
             return diary(QStringLiteral("Childhood Diseases"), DiaryList::ChildhoodDiseases, c);
         }},
        {QStringLiteral("Journal"),
         [](const QString& c) { return diary(QStringLiteral("Journal"), DiaryList::JournalEntries, c); }},
        {QStringLiteral("Words - Record"),
         [](const QString& c) { return diary(QStringLiteral("Words - Record"), DiaryList::WordEntries, c); }},
        {QStringLiteral("Vocabulary List"), vocabulary},
        {QStringLiteral("Prenatal Dates"), prenatalDates},
        {QStringLiteral("Immunizations"), immunizations},
        {QStringLiteral("Pediatrician Information"), pediatrician},
        {QStringLiteral("Skills"), skills},
        {QStringLiteral("Outings"),
         [](const QString& c) {
             return occasions(QStringLiteral("Outings"), MilestoneSheets::OutingCaption,
                              QStringLiteral("about special outings"), c);
         }},
        {QStringLiteral("Visitors"),
         [](const QString& c) {
             return occasions(QStringLiteral("Visitors"), MilestoneSheets::VisitorCaption,
                              QStringLiteral("about special visitors"), c);
         }},
        {QStringLiteral("Christening"),
         [](const QString& c) {
             return occasions(QStringLiteral("Christening"), MilestoneSheets::ChristeningCaption,
                              QStringLiteral("about the christening"), c);
         }},
    };
    // Each birthday report ("Birth", "1st" ... "16th") shows the birthday of that title ("2nd Birthday").
    for (const QString& title : MilestoneSheets::birthdayTitles()) {
        const QString name = title.section(QLatin1Char(' '), 0, 0);
        builders.insert(name, [title](const QString& c) { return birthday(title, c); });
    }
    return builders;
}

const QMap<QString, ReportRegistry::Builder>& registry() {
    static const QMap<QString, ReportRegistry::Builder> builders = allBuilders();
    return builders;
}
} // namespace

namespace ReportRegistry {
const Builder* find(const QString& name) {
    const auto& r = registry();
    const auto it = r.constFind(name);
    return it == r.constEnd() ? nullptr : &it.value();
}

QStringList names() {
    return registry().keys();
}

ReportDocument build(const QString& name, const QString& child) {
    const Builder* b = find(name);
    if (!b)
        throw StoreError(QStringLiteral("There is no report named \"") + name + QStringLiteral("\"."));
    return (*b)(child);
}
} // namespace ReportRegistry
