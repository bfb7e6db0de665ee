#pragma once

#include "core/diaries/GrowthPlot.h"
#include "core/diaries/GrowthUnits.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

// The book as a family web album: a folder of HTML pages, pictures and one style sheet that opens
// from the disk in any browser. Each child has a moments page (everything dated, newest first, by
// month), a growth page, firsts, celebrations and the family tree; index.html has a card for each
// child and the newest moments. Publishing again writes only the files whose bytes change and
// removes the files an earlier publishing wrote that no longer belong; a file the album did not
// write (its list is kept in the folder, ManifestName) is never touched.
namespace Album {

// The list of the files the album wrote, kept in the album's folder.
extern const QString ManifestName; // ".tinyra-album"

// What the parent chose to publish and to leave out.
struct Choices {
    QStringList children;             // first names; empty: every child
    bool leaveOutBirth = false;       // the birth date and place: the month and year only
    bool leaveOutHealth = true;       // doctor visits, childhood diseases, immunizations, the pediatrician
    bool leaveOutFamilyDates = false; // the family tree's dates
    bool includeOriginals = false;    // a copy of each photo as it was stored, beside the web copy
    QString folder;                   // where the album was last written

    // The choices kept in the book (PREFERENCES), the defaults where none were kept. Throws StoreError.
    static Choices stored();
    void store() const;
};

// What the album's pictures are drawn with: the user interface's imaging and the growth chart
// painter. picture() runs on worker threads, several at once.
class Drawing {
public:
    virtual ~Drawing() = default;
    // The photo at `path` upright, as a JPEG whose longest side is at most `side` pixels, carrying no
    // metadata at all (no EXIF, no GPS); and a second JPEG, at most `smallSide`, for the thumbnail.
    // False when the file cannot be read as a picture.
    virtual bool picture(const QString& path, int side, int smallSide, QByteArray* large,
                         QByteArray* small) const = 0;
    // One growth chart as an SVG document of `width` x `height` (a desktop's, or a phone's).
    virtual QByteArray growthChart(const GrowthPlot::Plot& plot, GrowthReference::Measure measure,
                                   GrowthUnits::System units, int width, int height) const = 0;
};

struct Result {
    int written = 0;   // files written (new or changed)
    int unchanged = 0; // files whose bytes were the same, left as they were
    int removed = 0;   // files of an earlier publishing that no longer belong
    int unreadablePhotos = 0;
    bool cancelled = false;
    QString problem; // what went wrong, in a parent's words; empty when all went well
};

// Called as the work goes on; returning false cancels (what was written stays, listed, and the
// next publishing goes on from there).
using Progress = std::function<bool(int done, int total)>;

// Writes the album of the chosen children into `folder` (made when missing). Throws StoreError when
// the book cannot be read.
Result publish(const QString& folder, const Choices& choices, const Drawing& drawing,
               const Progress& progress = {}, const QDate& today = QDate::currentDate());

// The name of a child's folder in the album: made by the program, never from the typed name.
QString childFolder(const QString& firstName);
} // namespace Album
