#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The sheets of plain fields the diary forms keep for each child (stored with ChildRecords, one
// value per field, under the child's first name). Anything that prints or exports them reads them
// through the functions here, so the names below are the only place they are spelled.
//
//   Sheet "PrenatalDates" (prenatal history, "Dates to Remember"):
//     D1..D9    the nine captioned dates (see prenatalDateCaptions()), "MM/DD/YY"
//     O1..O8    the names of the eight other dates to remember
//     D10..D17  the dates beside O1..O8
//     A date never typed is "  /  /  " (or missing from the sheet); blanks stand for untyped places.
//   Sheet "Pediatrician" (at the doctor, the pediatrician's card):
//     DocName, DocAddress, DocCity, DocState, DocZip, DocPhone  plain text, "" when never typed
//   Sheet "Immunizations" (at the doctor, the immunization sheet):
//     MaskEdit1..MaskEdit24  dates "MM-DD-YY", "  -  -  " when never typed
//     Edit1..Edit4           the names of the four immunizations the parent names, beside
//                            MaskEdit21..MaskEdit24
//     immunizationRows() gives every date field with its caption in reading order.
//   The doctor's picture is the child's picture "Doctor/Image1" (ChildRecords::picture).
namespace DiarySheets {
extern const QString PrenatalDates; // "PrenatalDates"
extern const QString Pediatrician;  // "Pediatrician"
extern const QString Immunizations; // "Immunizations"
extern const QString DoctorPicture; // "Doctor/Image1"

extern const QString BlankSlashDate;  // "  /  /  "
extern const QString BlankHyphenDate; // "  -  -  "

// The captions of D1..D9, in order ("Pregnancy Confirmed:" ...).
QStringList prenatalDateCaptions();

struct PrenatalDatesSheet {
    QStringList dates; // 17 entries: dates[0] is D1 ... dates[16] is D17
    QStringList names; // 8 entries: names[0] is O1 ... names[7] is O8 (beside D10..D17)
};
struct PediatricianCard {
    QString name, address, city, state, zip, phone;
};
struct ImmunizationRow {
    QString caption; // the printed caption; for the four named rows the parent's name (Edit1..Edit4)
    QString field;   // MaskEditN
    QString date;
};
// The field names of the pediatrician card, in the order of the card.
QStringList pediatricianFields();
// The 24 date fields in reading order (left column top to bottom, then the right column) with their
// fixed captions; the last four have "" as caption and take Edit1..Edit4's names.
QVector<ImmunizationRow> immunizationLayout();
QString immunizationNameField(int namedRow); // 1..4 -> "Edit1".."Edit4"

// A child's sheets as stored (blank values where nothing was typed). Throw StoreError.
PrenatalDatesSheet readPrenatalDates(const QString& child);
PediatricianCard readPediatrician(const QString& child);
// Every row in reading order with its date; the named rows carry the parent's names as caption.
QVector<ImmunizationRow> readImmunizations(const QString& child);
} // namespace DiarySheets
