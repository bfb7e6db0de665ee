#pragma once

#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "support/CameraPhoto.h"
#include "support/TempStore.h"

#include <QDate>
#include <memory>

// The book both album tests publish: Ann (born 3 March 2024 in Springfield) with a journal entry in
// March 2025 that carries a camera photo, one in January 2025 titled as a script, one undated, a
// doctor visit, a growth record, her mother in the family tree and a photo of her 1st birthday; and Ben, with
// nothing recorded.
inline const QDate kAlbumToday(2026, 1, 15);

inline void fillAlbumBook(const QString& photoDir) {
    TempStore::addChild("Ann", "Rose", "Lee");
    Database::exec(QStringLiteral("UPDATE CHILD SET BDayMonth = '3', BDateDay = '3', BDayYear = '2024', "
                                  "Sex = 'Girl', BirthCity = 'Springfield' WHERE FirstName = 'Ann'"));
    TempStore::addChild("Ben");
    Entries().freshStart("Ann");
    auto add = [](DiaryList list, const char* date, const char* title, const char* text,
                  QVector<EntryPhoto> photos = {}) {
        Entries().append(list, std::make_shared<DiaryType>(DiaryType{date, title, text, photos}));
    };
    const QString photo =
        PhotoFiles::store(cameraPhoto(photoDir, "park.jpg", "2025:03:10 10:00:00", QSize(80, 40)));
    add(DiaryList::JournalEntries, "01-05-25", "<script>alert(1)</script>", "Snow & ice");
    add(DiaryList::JournalEntries, "03-10-25", "Park day", "Swings.\n\nDucks.",
        {{photo, "park.jpg", "03-10-25"}});
    add(DiaryList::JournalEntries, "__-__-__", "Someday", "");
    add(DiaryList::DoctorVisits, "02-01-25", "Checkup", "All well");
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"09-03-24", "26", "16", "2"}));
    Entries().setFamilyMember(1, {"Mary Lee", "05-06-90", "Boston"});
    ChildRecords::setPictureFrom("Ann", MilestoneSheets::birthdayPictureKey("1st Birthday", 1),
                                 cameraPhoto(photoDir, "cake.jpg", "2025:03:03 15:00:00", QSize(60, 30)));
}
