// The photos of the diary entries: kept once in the photo folder whatever number of entries and
// backups refer to them, back after a restart, a restore and an import, and removed only when
// nothing refers to them any more.
#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/exchange/BookFile.h"
#include "core/store/Backups.h"
#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"
#include "support/TempStore.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {
QString writeFile(const QString& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return QString();
    return path;
}
// The files in the photo folder, by their relative names.
QStringList photoFiles() {
    QStringList files;
    const QString root = PhotoFiles::directory();
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(root.size() + 1);
    files.sort();
    return files;
}
QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
std::shared_ptr<DiaryType> entry(const QString& title, const QVector<EntryPhoto>& photos) {
    return std::make_shared<DiaryType>(DiaryType{QStringLiteral("07-14-23"), title, QString(), photos});
}
QStringList photoNames(DiaryList list, int position) {
    QStringList names;
    for (const EntryPhoto& p : Entries().at(list, position)->Photos)
        names << p.Name + QLatin1Char('@') + p.Taken;
    return names;
}
const QDateTime kLater = QDateTime::currentDateTimeUtc().addDays(1);
} // namespace

class EntryPhotosTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Entries().release(); }
    void storedOnceKeptAcrossRestartAndRestoreRemovedWhenUnreferenced();
    void aBookSetAsideKeepsItsPhotos();
    void editingReplacesThePhotosInPlace();
    void anUnreadableFileOrAFullFolderStoresNothing();
    void theBookFileCarriesThePhotos();
    void formPicturesOfAnOlderStoreBecomePhotoFilesThatBackupsAndBooksShare();
};

void EntryPhotosTest::storedOnceKeptAcrossRestartAndRestoreRemovedWhenUnreferenced() {
    TempStore store;
    TempStore::addChild("Ann");
    Entries().freshStart("Ann");
    QTemporaryDir source;
    const QByteArray beach("beach photo bytes"), park("park photo bytes");
    const QString beachFile = PhotoFiles::store(writeFile(source.path(), "beach.jpg", beach));
    // The same photo under another name is the same file.
    QCOMPARE(PhotoFiles::store(writeFile(source.path(), "copy of beach.JPG", beach)), beachFile);
    const QString parkFile = PhotoFiles::store(writeFile(source.path(), "park.jpeg", park));
    QVERIFY(beachFile.endsWith(".jpg") && parkFile.endsWith(".jpeg"));
    QStringList both{beachFile, parkFile};
    both.sort();
    QCOMPARE(bytesOf(PhotoFiles::pathOf(beachFile)), beach); // byte for byte
    Entries().append(DiaryList::JournalEntries,
                     entry("Day out", {{beachFile, "beach.jpg", "07-14-23"}, {parkFile, "park.jpeg", ""}}));
    Entries().append(DiaryList::WordEntries, entry("sea", {{beachFile, "beach.jpg", "07-14-23"}}));
    QCOMPARE(photoFiles(), both);

    // However many backups there are, each photo is one file.
    const QDate day(2026, 3, 1);
    for (int d = 0; d < 3; ++d)
        Backups::make(day.addDays(d));
    QCOMPARE(Backups::all().size(), 3);
    QCOMPARE(photoFiles(), both);

    store.reopen();
    Entries().freshStart("Ann");
    QCOMPARE(photoNames(DiaryList::JournalEntries, 0), (QStringList{"beach.jpg@07-14-23", "park.jpeg@"}));
    QCOMPARE(photoNames(DiaryList::WordEntries, 0), QStringList{"beach.jpg@07-14-23"});

    // Removing the entry leaves the park photo to the backups, which still refer to it.
    Entries().removeAt(DiaryList::JournalEntries, 0);
    QCOMPARE(TempStore::rowCount("ENTRYPHOTOS"), 1);
    QCOMPARE(Backups::sweepPhotos(kLater), 0);
    QCOMPARE(photoFiles(), both);

    // A restore brings the entry back with both its photos.
    Entries().release();
    store.close();
    Backups::restore(Backups::fileFor(day));
    store.open();
    Entries().freshStart("Ann");
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 1);
    QCOMPARE(photoNames(DiaryList::JournalEntries, 0), (QStringList{"beach.jpg@07-14-23", "park.jpeg@"}));
    for (const EntryPhoto& p : Entries().at(DiaryList::JournalEntries, 0)->Photos)
        QVERIFY(QFile::exists(PhotoFiles::pathOf(p.File)));

    // Once neither the book nor a backup refers to the park photo, it goes; the beach photo stays.
    Entries().removeAt(DiaryList::JournalEntries, 0);
    for (const QString& backup : Backups::all())
        QVERIFY(QFile::remove(backup));
    // A photo written after the references were read is kept, referred to or not.
    QCOMPARE(Backups::sweepPhotos(QDateTime::currentDateTimeUtc().addDays(-1)), 0);
    QCOMPARE(Backups::sweepPhotos(kLater), 1);
    QCOMPARE(photoFiles(), QStringList{beachFile});
    // An unreadable backup leaves every file where it is: its references are unknown.
    QVERIFY(
        !writeFile(Backups::directory(), Backups::fileFor(day).section('/', -1), "not a store").isEmpty());
    Entries().removeAt(DiaryList::WordEntries, 0);
    QCOMPARE(Backups::sweepPhotos(kLater), 0);
    QCOMPARE(photoFiles(), QStringList{beachFile});
}

void EntryPhotosTest::aBookSetAsideKeepsItsPhotos() {
    TempStore store;
    TempStore::addChild("Ann");
    Entries().freshStart("Ann");
    const QString backup = Backups::make(QDate(2026, 5, 1));
    // Photos added after today's backup: only the book refers to them.
    QTemporaryDir source;
    QVector<EntryPhoto> photos;
    for (int i = 0; i < 10; ++i) {
        const QString name = QStringLiteral("p%1.jpg").arg(i);
        photos.append({PhotoFiles::store(writeFile(source.path(), name, "photo " + QByteArray::number(i))),
                       name, QString()});
    }
    Entries().append(DiaryList::JournalEntries, entry("Ten photos", photos));
    Entries().release();
    store.close();
    const QDateTime when = QDateTime::currentDateTime();
    const QString kept = Backups::restore(backup, when, Backups::replacedFileFor(when));
    store.open();
    QCOMPARE(Backups::sweepPhotos(kLater), 0);
    QCOMPARE(photoFiles().size(), 10);
    // Kept damaged, where SQLite cannot read it, its photos are still found in its bytes.
    QFile book(kept);
    QVERIFY(book.open(QIODevice::ReadWrite));
    QVERIFY(book.write(QByteArray(100, 'x')) == 100);
    book.close();
    QVERIFY_THROWS_EXCEPTION(StoreError, PhotoFiles::referencedBy(kept));
    QCOMPARE(Backups::sweepPhotos(kLater), 0);
    QCOMPARE(photoFiles().size(), 10);
    // Once that book is gone, so are its photos.
    QVERIFY(QFile::remove(kept));
    QCOMPARE(Backups::sweepPhotos(kLater), 10);

    // A photo this program wrote is kept by its own sweep whatever the clock says: it may be waiting
    // for its entry.
    const QString waiting = PhotoFiles::store(writeFile(source.path(), "waiting.jpg", "not yet named"));
    QFile written(PhotoFiles::pathOf(waiting));
    QVERIFY(written.open(QIODevice::ReadWrite));
    QVERIFY(written.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC),
                                QFileDevice::FileModificationTime));
    written.close();
    QCOMPARE(Backups::sweepPhotos(), 0);
    QCOMPARE(photoFiles(), QStringList{waiting});
}

void EntryPhotosTest::editingReplacesThePhotosInPlace() {
    TempStore store;
    TempStore::addChild("Ann");
    Entries().freshStart("Ann");
    QTemporaryDir source;
    QVector<EntryPhoto> photos;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        photos.append({PhotoFiles::store(writeFile(source.path(), name, name)), name, ""});
    Entries().append(DiaryList::DoctorVisits, entry("first", {}));
    Entries().append(DiaryList::DoctorVisits, entry("second", photos));
    Entries().append(DiaryList::DoctorVisits, entry("third", {}));
    auto changed = entry("second, with photos in a new order", {photos[2], photos[0]});
    Entries().replaceAt(DiaryList::DoctorVisits, 1, changed);
    store.reopen();
    Entries().freshStart("Ann");
    QCOMPARE(Entries().at(DiaryList::DoctorVisits, 1)->Title, changed->Title);
    QCOMPARE(Entries().at(DiaryList::DoctorVisits, 2)->Title, QStringLiteral("third"));
    QCOMPARE(photoNames(DiaryList::DoctorVisits, 1), (QStringList{"c.jpg@", "a.jpg@"}));
    QCOMPARE(TempStore::rowCount("ENTRYPHOTOS"), 2);
    // Deleting the child removes its photo rows with everything else.
    Entries().release();
    ChildRecords::deleteChild("Ann");
    QCOMPARE(TempStore::rowCount("ENTRYPHOTOS"), 0);
}

void EntryPhotosTest::anUnreadableFileOrAFullFolderStoresNothing() {
    TempStore store;
    QTemporaryDir source;
    const QString gone = source.path() + "/gone.jpg";
    try {
        PhotoFiles::store(gone);
        QFAIL("a missing file was stored");
    } catch (const StoreError& e) {
        QVERIFY2(e.message().contains("gone.jpg"), qPrintable(e.message()));
    }
    // A disk that takes no more than 100 KB: the copy fails part-way and leaves nothing behind.
    const QString photo = writeFile(source.path(), "big.jpg", QByteArray(300000, 'x'));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 100000;
    setrlimit(RLIMIT_FSIZE, &small);
    QString message;
    try {
        PhotoFiles::store(photo);
    } catch (const StoreError& e) {
        message = e.message();
    }
    setrlimit(RLIMIT_FSIZE, &before);
    QVERIFY2(message.contains("big.jpg"), qPrintable(message));
    QCOMPARE(photoFiles(), QStringList());
}

void EntryPhotosTest::theBookFileCarriesThePhotos() {
    QTemporaryDir out;
    const QString book = out.path() + "/book.tinyra";
    const QByteArray bytes("the photo, byte for byte");
    QString file;
    {
        TempStore store;
        TempStore::addChild("Ann");
        Entries().freshStart("Ann");
        file = PhotoFiles::store(writeFile(out.path(), "first.jpg", bytes));
        Entries().append(DiaryList::PrenatalDiary, entry("scan", {{file, "first.jpg", "01-02-23"}}));
        Entries().release();
        BookFile::exportBook(book);
    }
    TempStore other;
    TempStore::addChild("Bea");
    Entries().freshStart("Bea");
    const BookFile::Summary summary = BookFile::importBook(book);
    QCOMPARE(summary.childrenAdded, QStringList{"Ann"});
    QCOMPARE(photoFiles(), QStringList{file});
    QCOMPARE(bytesOf(PhotoFiles::pathOf(file)), bytes);
    Entries().childSwitch("Ann");
    QCOMPARE(photoNames(DiaryList::PrenatalDiary, 0), QStringList{"first.jpg@01-02-23"});
    // A second import adds nothing twice.
    BookFile::importBook(book);
    QCOMPARE(TempStore::rowCount("ENTRYPHOTOS"), 1);
    QCOMPARE(photoFiles(), QStringList{file});
}

void EntryPhotosTest::formPicturesOfAnOlderStoreBecomePhotoFilesThatBackupsAndBooksShare() {
    // A store of the version before: the child's picture is kept in the store, with the time of its
    // last change.
    const QByteArray first = QByteArray("\x89PNG\r\n\x1a\n", 8) + "the child's first picture";
    const QString stamp = QStringLiteral("2024-05-06T07:08:09.000Z");
    QTemporaryDir out;
    const QString book = out.path() + "/book.tinyra";
    QString firstFile;
    {
        TempStore store(false);
        const QString problem =
            store.writeOlderStore(5, {"INSERT INTO CHILD (FirstName) VALUES ('Ann')",
                                      "INSERT INTO PREVIOUS (FirstName) VALUES ('Ann')",
                                      "INSERT INTO PICTURES (child, picture, data, changed) VALUES ('Ann', "
                                      "'ChildInfo/Image1', X'" +
                                          first.toHex() + "', '" + stamp + "')"});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        store.open();
        // Moved to the photo folder, named by its bytes, with nothing changed but where it is kept.
        QSqlQuery row = Database::exec("SELECT length(data), file, changed FROM PICTURES");
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toInt(), 0);
        firstFile = row.value(1).toString();
        const QString hex = QCryptographicHash::hash(first, QCryptographicHash::Sha256).toHex();
        QCOMPARE(firstFile, hex.left(2) + '/' + hex + ".png");
        QCOMPARE(bytesOf(PhotoFiles::pathOf(firstFile)), first);
        QCOMPARE(row.value(2).toString(), stamp);
        row.finish();
        QCOMPARE(photoFiles(), QStringList{firstFile});
        QCOMPARE(ChildRecords::picture("Ann", "ChildInfo/Image1"), first);

        // Backups share the file; a new picture is a second file, the first kept while a backup
        // refers to it and removed once none does.
        const QDate day(2026, 3, 1);
        Backups::make(day);
        Backups::make(day.addDays(1));
        QCOMPARE(photoFiles(), QStringList{firstFile});
        const QByteArray second("\xff\xd8\xff a new picture of Ann");
        ChildRecords::setPicture("Ann", "ChildInfo/Image1", second);
        QCOMPARE(ChildRecords::picture("Ann", "ChildInfo/Image1"), second);
        QCOMPARE(photoFiles().size(), 2);
        QCOMPARE(Backups::sweepPhotos(kLater), 0);
        BookFile::exportBook(book);
        for (const QString& backup : Backups::all())
            QVERIFY(QFile::remove(backup));
        QCOMPARE(Backups::sweepPhotos(kLater), 1);
        QCOMPARE(photoFiles().size(), 1);
        QVERIFY(photoFiles().constFirst().endsWith(".jpg"));
    }
    // A book file carries the picture's bytes; the importing book keeps them as a photo file too, and
    // a second import finds the same picture and changes nothing.
    TempStore other;
    BookFile::importBook(book);
    QCOMPARE(ChildRecords::picture("Ann", "ChildInfo/Image1"),
             QByteArray("\xff\xd8\xff a new picture of Ann"));
    QSqlQuery row = Database::exec("SELECT length(data), file FROM PICTURES");
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toInt(), 0);
    QCOMPARE(photoFiles(), QStringList{row.value(1).toString()});
    row.finish();
    const BookFile::Summary again = BookFile::importBook(book);
    QVERIFY2(again.differences.isEmpty(), qPrintable(again.text()));
    QCOMPARE(photoFiles().size(), 1);
}

QTEST_GUILESS_MAIN(EntryPhotosTest)
#include "tst_entryphotos.moc"
