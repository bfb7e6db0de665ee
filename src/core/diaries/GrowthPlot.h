#pragma once

#include "core/book/ChildProfile.h"
#include "core/book/EntryStore.h"
#include "core/diaries/GrowthReference.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

// What the growth charts draw: each record with a readable date placed at the child's true age,
// each measure in metric, and from 2 years the BMI of each record with both a height and a weight.
// Nothing is guessed: a record whose date cannot be read, or that is dated before the birth, is left
// out whole; a value typed that cannot be read leaves out that point. Either is described in
// `leftOut` (a record on some chart names the chart it is missing from) and never widens an axis.
namespace GrowthPlot {
using GrowthReference::Measure;
using GrowthReference::Sex;

struct Point {
    double age = 0;   // years from birth (corrected for prematurity where the plot says so)
    double value = 0; // kg, cm or kg/m2
    QDate date;
    GrowthReference::Reading reading; // the centile where the reference covers the age
    bool atBirth = false;             // the birth measurements of the child's information
};

struct Plot {
    QDate birth; // invalid when the birth date cannot be read
    bool birthKnown = false;
    Sex sex = Sex::Unknown;
    int gestationWeeks = 0; // 0 when not given
    bool corrected = false; // some ages are corrected for a birth before 37 weeks
    GrowthReference::Choice choice = GrowthReference::Choice::Who2ThenCdc;
    QVector<Point> weight, height, head, bmi;
    QStringList leftOut;
    double maxAge = 0; // years, of the points drawn

    const QVector<Point>& points(Measure m) const {
        return m == Measure::Weight   ? weight
               : m == Measure::Height ? height
               : m == Measure::Head   ? head
                                      : bmi;
    }
};

// Born before 37 weeks, the age is corrected by the weeks short of 40 until 2 years of age.
double correctedAge(double ageYears, int gestationWeeks);
// The gestation typed on the child's information ("34"); 0 when blank or not 20 to 44 weeks.
int readGestation(const QString& text);

// `atBirth` holds the birth measurements (its date is not read: they are placed on the birth date,
// before the records of that day); a record with no value is no point.
Plot make(const QVector<GrowthType>& records, const QDate& birth, Sex sex, int gestationWeeks,
          const QDate& today, GrowthReference::Choice choice = GrowthReference::Choice::Who2ThenCdc,
          const GrowthType& atBirth = {});
// The birth measurements of the child's information as a growth record, in the units they were typed.
GrowthType birthRecord(const ChildProfile& profile);
// The same for `child`, with the birth date, sex and gestation from the child's information and
// the book's choice of reference. Throws StoreError.
Plot forChild(const QString& child, const QVector<GrowthType>& records, const QDate& today);
} // namespace GrowthPlot
