// A book moved to a file and back: every table and picture exactly, nothing twice, two books made
// apart ending equal, and every kind of bad file refused with the book untouched.
#include "core/book/ChildRecords.h"
#include "core/book/Children.h"
#include "core/book/EntryStore.h"
#include "core/exchange/BookFile.h"
#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"
#include "support/TempStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <zip.h>

namespace {
// Opens the book kept under `home` (its XDG data folder) in place of the open one.
void useBook(const QString& home) {
    Entries().release();
    Database::close();
    qputenv("XDG_DATA_HOME", home.toUtf8());
    Database::open();
}

// Every row of the child's tables, each column by name (pictures as hex), in stored order or, for a
// comparison that does not care which book added a record first, sorted.
QStringList dump(bool sorted = false) {
    QStringList rows;
    QStringList tables = Schema::childTables();
    tables.prepend(QStringLiteral("CHILD"));
    for (const QString& table : tables) {
        QSqlQuery q = Database::exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
        QStringList these;
        while (q.next()) {
            QStringList cells;
            const QSqlRecord rec = q.record();
            for (int i = 0; i < rec.count(); ++i) {
                // The row number, and a child's identity for sharing, are each book's own.
                if (rec.fieldName(i) == QLatin1String("seq") ||
                    (table == QLatin1String("CHILD") && rec.fieldName(i) == QLatin1String("uid")))
                    continue;
                const QVariant v = q.value(i);
                cells << rec.fieldName(i) + QLatin1Char('=') +
                             (v.typeId() == QMetaType::QByteArray
                                  ? QString::fromLatin1(v.toByteArray().toHex())
                                  : v.toString());
            }
            these << table + QLatin1Char(' ') + cells.join(QLatin1Char('|'));
        }
        if (sorted)
            these.sort();
        rows << these;
    }
    return rows;
}

// Waits until the clock has moved on a millisecond, so that the next change is stamped later.
void nextMillisecond() {
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    while (QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs) == now) {
    }
}

QByteArray photo(int size, quint32 seed) {
    QByteArray bytes("\xFF\xD8\xFF\xE0", 4);
    QRandomGenerator random(seed);
    while (bytes.size() < size)
        bytes.append(char(random.generate() & 0xff));
    bytes[10] = '\0';
    return bytes;
}

// A child with something in every kind of record, through the program's own calls.
void fillChild(const QString& name, quint32 seed) {
    QCOMPARE(Children::add(name, QStringLiteral("Zoë \"Z\""), QStringLiteral("O'Lee")),
             Children::AddResult::Added);
    Database::exec(
        QStringLiteral("UPDATE CHILD SET Hospital = ?, H3 = ?, BirthUnits = 'metric', BirthLengthCm = "
                       "'51.5', BirthWeightKg = '3.45', BirthHead = '35' WHERE FirstName = ?"),
        {QStringLiteral("St. Mary's"), QStringLiteral("line one\nline two"), name});
    Children::makeActive(name, true);
    for (int list = 0; list < 6; ++list)
        for (int i = 0; i < 3; ++i)
            Entries().append(DiaryList(list),
                             std::make_shared<DiaryType>(DiaryType{
                                 QStringLiteral("0%1-1%2-24").arg(list + 1).arg(i),
                                 QStringLiteral("Title %1.%2 ✓").arg(list).arg(i),
                                 QStringLiteral("Text with \\ and \t and {\"json\"}\n%1").arg(seed)}));
    Entries().removeAt(DiaryList::JournalEntries, 1); // a gap in the row numbers
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"01-01-24", "20", "7", "8"}));
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{"02-01-24", "21", "8", "2"}));
    Entries().setFamilyMember(
        1, FamilyMember{QStringLiteral("Grandma"), QStringLiteral("01-02-50"), QStringLiteral("Oslo")});
    Entries().setFamilyMember(14, FamilyMember{QStringLiteral("Uncle"), EntryStore::EmptyDate, QString()});
    Entries().setToothDate(3, QStringLiteral("05-06-24"));
    ChildRecords::setSheetValue(name, QStringLiteral("Pediatrician"), QStringLiteral("Name"),
                                QStringLiteral("Dr Who"));
    ChildRecords::setSheetValue(name, QStringLiteral("Skills"), QStringLiteral("Walked"), QString());
    ChildRecords::setPicture(name, QStringLiteral("Photo"), photo(300 * 1024, seed));
    ChildRecords::setPicture(name, QStringLiteral("Hand print"), photo(2000, seed + 1));
}

// Writes a zip holding `entries` (name, bytes).
void writeZip(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& entries) {
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(za);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* src = zip_source_buffer(za, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        QVERIFY(zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8) >= 0);
    }
    QCOMPARE(zip_close(za), 0);
}

QByteArray entryOf(const QString& path, const char* name) {
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!za)
        return {};
    zip_stat_t st;
    zip_stat(za, name, 0, &st);
    QByteArray bytes(qsizetype(st.size), '\0');
    zip_file_t* f = zip_fopen(za, name, 0);
    zip_fread(f, bytes.data(), st.size);
    zip_fclose(f);
    zip_discard(za);
    return bytes;
}

// A stream of zeros that libzip compresses while it writes, so that a huge entry costs no memory.
zip_int64_t zeros(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* left = static_cast<zip_uint64_t*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_READ: {
        const zip_uint64_t n = std::min(length, *left);
        std::memset(data, 0, n);
        *left -= n;
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_FREE, -1);
    default:
        return -1;
    }
}

// Every entry of the zip at `path`, in its order.
QList<std::pair<QByteArray, QByteArray>> entriesOf(const QString& path) {
    QList<std::pair<QByteArray, QByteArray>> entries;
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    for (zip_int64_t i = 0; za && i < zip_get_num_entries(za, 0); ++i) {
        const QByteArray name = zip_get_name(za, zip_uint64_t(i), 0);
        entries.append({name, entryOf(path, name.constData())});
    }
    if (za)
        zip_discard(za);
    return entries;
}

// A stream of `spaces` blanks between two texts, compressed by libzip while it writes.
struct Padded {
    QByteArray before, after;
    zip_uint64_t spaces = 0;
    zip_uint64_t at = 0;
};

zip_int64_t padded(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* p = static_cast<Padded*>(state);
    const zip_uint64_t total = zip_uint64_t(p->before.size()) + p->spaces + zip_uint64_t(p->after.size());
    switch (command) {
    case ZIP_SOURCE_OPEN:
        p->at = 0;
        return 0;
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_READ: {
        auto* out = static_cast<char*>(data);
        zip_uint64_t n = 0;
        for (; n < length && p->at < total; ++n, ++p->at) {
            const zip_uint64_t b = zip_uint64_t(p->before.size());
            out[n] = p->at < b               ? p->before[qsizetype(p->at)]
                     : p->at < b + p->spaces ? ' '
                                             : p->after[qsizetype(p->at - b - p->spaces)];
        }
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_FREE, -1);
    default:
        return -1;
    }
}
// The book file at `path` as a version 2 file, as an earlier Tinyra wrote it: its readable records
// alone, without the change records (a child's uid is a column it does not know).
void asVersion2(const QString& path) {
    QJsonObject book = QJsonDocument::fromJson(entryOf(path, "book.json")).object();
    QVERIFY(book.contains("changes"));
    book.remove("changes");
    book.insert("version", 2);
    QList<std::pair<QByteArray, QByteArray>> entries = entriesOf(path);
    entries[0] = {"book.json", QJsonDocument(book).toJson(QJsonDocument::Compact)};
    writeZip(path, entries);
}
} // namespace

class BookFileTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Entries().release(); }
    void roundTripReproducesEveryRecordAndPictureAndASecondImportChangesNothing();
    void twoBooksMadeApartEndEqualBothWays();
    void twoComputersEditingApartKeepEveryFieldThroughTheirFiles();
    void badFilesAreRefusedAndTheBookIsUntouched();
    void hostileFilesAreRefusedOrKeptWithinWhatTheFormsHold();
    void cancelInsideAChildLeavesTheBookUnchanged();
};

void BookFileTest::roundTripReproducesEveryRecordAndPictureAndASecondImportChangesNothing() {
    TempStore home(false);
    const QString file = QDir(home.dataHome()).filePath(QStringLiteral("book.zip"));
    useBook(home.dataHome() + QStringLiteral("/a"));
    fillChild(QStringLiteral("Ann"), 1);
    fillChild(QStringLiteral("Ben"), 2);
    const QStringList original = dump();
    QVERIFY(original.filter(QStringLiteral("PICTURES ")).size() == 4);
    double last = -1;
    bool ordered = true;
    BookFile::exportBook(file, [&](double done) {
        ordered = ordered && done >= last;
        last = done;
        return true;
    });
    QVERIFY(ordered);
    QCOMPARE(last, 1.0);
    QCOMPARE(QFile::permissions(file) & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
             QFileDevice::Permissions());
    asVersion2(file);
    // The pictures are files of their own in the zip.
    QCOMPARE(entryOf(file, "pictures/000002-Hand_print.jpg"), photo(2000, 2));

    useBook(home.dataHome() + QStringLiteral("/b"));
    const BookFile::Summary first = BookFile::importBook(file);
    QCOMPARE(first.childrenAdded, (QStringList{"Ann", "Ben"}));
    QCOMPARE(first.recordsAdded, original.size() - 2);
    QVERIFY(first.differences.isEmpty());
    QCOMPARE(dump(), original);

    const BookFile::Summary second = BookFile::importBook(file);
    QVERIFY(second.changedNothing());
    QVERIFY(second.differences.isEmpty());
    QCOMPARE(dump(), original);

    // And the record kept the child active sees.
    Children::makeActive(QStringLiteral("Ben"), true);
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 2);
    QCOMPARE(Entries().familyMember(1).Text, QStringLiteral("Oslo"));
    QCOMPARE(ChildRecords::picture(QStringLiteral("Ben"), QStringLiteral("Photo")), photo(300 * 1024, 2));
}

void BookFileTest::twoBooksMadeApartEndEqualBothWays() {
    TempStore home(false);
    const QString a = home.dataHome() + QStringLiteral("/a"), b = home.dataHome() + QStringLiteral("/b");
    const QString start = home.dataHome() + QStringLiteral("/start.zip");
    const QString fromA = home.dataHome() + QStringLiteral("/a.zip"),
                  fromB = home.dataHome() + QStringLiteral("/b.zip");
    // One book, carried to a second computer.
    useBook(a);
    fillChild(QStringLiteral("Ann"), 1);
    BookFile::exportBook(start);
    asVersion2(start);
    useBook(b);
    BookFile::importBook(start);

    // Each parent goes on alone; the second changes a tooth and a sheet field later than the first.
    nextMillisecond();
    useBook(a);
    Children::makeActive(QStringLiteral("Ann"), true);
    Entries().append(DiaryList::JournalEntries,
                     std::make_shared<DiaryType>(DiaryType{"09-09-24", "From A", "a"}));
    Entries().setFamilyMember(1,
                              FamilyMember{QStringLiteral("Granny"), QStringLiteral("01-02-50"), QString()});
    Entries().setToothDate(3, QStringLiteral("01-01-25"));
    ChildRecords::setSheetValue(QStringLiteral("Ann"), QStringLiteral("Pediatrician"), QStringLiteral("Name"),
                                QStringLiteral("Dr A"));
    nextMillisecond();
    useBook(b);
    Children::makeActive(QStringLiteral("Ann"), true);
    Entries().append(DiaryList::JournalEntries,
                     std::make_shared<DiaryType>(DiaryType{"10-09-24", "From B", "b"}));
    Entries().setToothDate(3, QStringLiteral("02-02-25"));
    ChildRecords::setSheetValue(QStringLiteral("Ann"), QStringLiteral("Pediatrician"), QStringLiteral("Name"),
                                QStringLiteral("Dr B"));
    Children::add(QStringLiteral("Cy"), QString(), QString());
    Children::makeActive(QStringLiteral("Cy"), false);
    Entries().setToothDate(1, QStringLiteral("03-03-25"));
    BookFile::exportBook(fromB);
    asVersion2(fromB);
    useBook(a);
    BookFile::exportBook(fromA);
    asVersion2(fromA);

    const BookFile::Summary intoA = BookFile::importBook(fromB);
    const QStringList bookA = dump(true);
    useBook(b);
    const BookFile::Summary intoB = BookFile::importBook(fromA);
    QCOMPARE(dump(true), bookA);

    QCOMPARE(intoA.childrenAdded, QStringList{"Cy"});
    QCOMPARE(intoA.recordsAdded, 2); // B's entry and Cy's tooth
    QCOMPARE(intoB.recordsAdded, 1); // A's entry
    QVERIFY(intoA.differences.contains("Ann: family tree, relative 1 (this book's, newer)"));
    QVERIFY(intoA.differences.contains("Ann: tooth 3 (the file's, newer)"));
    QVERIFY(intoA.differences.contains("Ann: Pediatrician: Name (the file's, newer)"));
    QVERIFY(intoB.differences.contains("Ann: family tree, relative 1 (the file's, newer)"));
    QVERIFY(intoB.differences.contains("Ann: tooth 3 (this book's, newer)"));
    QCOMPARE(intoA.differences.size(), 3);
    QCOMPARE(ChildRecords::sheetValue("Ann", "Pediatrician", "Name"), QStringLiteral("Dr B"));
    Children::makeActive(QStringLiteral("Ann"), true);
    QCOMPARE(Entries().familyMember(1).Name, QStringLiteral("Granny"));
    QCOMPARE(Entries().toothDate(3), QStringLiteral("02-02-25"));
    QCOMPARE(Entries().count(DiaryList::JournalEntries), 4);

    // Both books, exported again, import into each other without a change.
    BookFile::exportBook(fromB);
    asVersion2(fromB);
    useBook(a);
    QVERIFY(BookFile::importBook(fromB).changedNothing());
    QCOMPARE(dump(true), bookA);
}

// Two computers edit one book apart, a millisecond after each other, and import each other's file:
// every field edited on either side is kept, both entries' photos too, a removal carries, a renamed
// child stays one child; a file with one change the book cannot place is refused whole.
void BookFileTest::twoComputersEditingApartKeepEveryFieldThroughTheirFiles() {
    TempStore home(false);
    const QDir dir(home.dataHome());
    const QString a = dir.filePath("a"), b = dir.filePath("b"), start = dir.filePath("start.zip"),
                  fromA = dir.filePath("a.zip"), fromB = dir.filePath("b.zip");
    const DiaryList journal = DiaryList::JournalEntries;
    useBook(a);
    QCOMPARE(Children::add("Ann", QString(), "Lee"), Children::AddResult::Added);
    Children::makeActive("Ann", true);
    for (const char* title : {"Walk", "Zoo", "Rain"})
        Entries().append(journal, std::make_shared<DiaryType>(DiaryType{"01-01-24", title, "park"}));
    ChildRecords::setPicture("Ann", "Photo", photo(3000, 9));
    BookFile::exportBook(start);
    useBook(b);
    BookFile::importBook(start);
    QCOMPARE(ChildRecords::picture("Ann", "Photo"), photo(3000, 9));

    // Each computer adds a photo to the walk and edits the zoo and the child, each other fields.
    auto edit = [&](const QString& book, const char* photoName, quint32 seed, auto change) {
        nextMillisecond();
        useBook(book);
        Children::makeActive("Ann", true);
        QFile source(dir.filePath(photoName));
        QVERIFY(source.open(QIODevice::WriteOnly) && source.write(photo(500, seed)) == 500);
        source.close();
        DiaryType walk = *Entries().at(journal, 0), zoo = *Entries().at(journal, 1);
        walk.Photos << EntryPhoto{PhotoFiles::store(source.fileName()), photoName, QString()};
        Entries().replaceAt(journal, 0, std::make_shared<DiaryType>(walk));
        change(zoo);
        Entries().replaceAt(journal, 1, std::make_shared<DiaryType>(zoo));
    };
    edit(a, "a.jpg", 10, [](DiaryType& zoo) { zoo.Title = "Zoo day"; });
    Database::exec("UPDATE CHILD SET Hospital = 'St. Anne' WHERE FirstName = 'Ann'");
    Entries().removeAt(journal, 2);
    BookFile::exportBook(fromA);
    edit(b, "b.jpg", 11, [](DiaryType& zoo) { zoo.Text = "lions"; });
    Entries().release();
    Database::exec("UPDATE CHILD SET LastName = 'Ray', FirstName = 'Annie' WHERE FirstName = 'Ann'");
    for (const QString& table : Schema::childTables())
        Database::exec(QStringLiteral("UPDATE %1 SET child = 'Annie' WHERE child = 'Ann'").arg(table));
    Database::exec("UPDATE PREVIOUS SET FirstName = 'Annie'");
    BookFile::exportBook(fromB);

    // Each book keeps the time it last wrote a record itself: the books are compared without them.
    auto untimed = [] { return dump(true).replaceInStrings(QRegularExpression("changed=[^|]*"), ""); };
    const BookFile::Summary intoB = BookFile::importBook(fromA);
    QCOMPARE(intoB.recordsRemoved, 1);
    const QStringList bookB = untimed();
    useBook(a);
    BookFile::importBook(fromB);
    QCOMPARE(untimed(), bookB);
    for (const QString& book : {a, b}) {
        useBook(book);
        QCOMPARE(Children::firstNames(), QStringList{"Annie"});
        QSqlQuery child = Database::exec("SELECT Hospital, LastName FROM CHILD");
        QVERIFY(child.next());
        QCOMPARE(child.value(0).toString() + "/" + child.value(1).toString(), QStringLiteral("St. Anne/Ray"));
        Children::makeActive("Annie", true);
        QCOMPARE(Entries().count(journal), 2);
        QCOMPARE(Entries().at(journal, 1)->Title + "/" + Entries().at(journal, 1)->Text,
                 QStringLiteral("Zoo day/lions"));
        const QVector<EntryPhoto> photos = Entries().at(journal, 0)->Photos;
        QCOMPARE(photos.size(), 2);
        for (const EntryPhoto& p : photos)
            QCOMPARE(PhotoFiles::read(p.File), photo(500, p.Name == "a.jpg" ? 10 : 11));
    }

    // A third book with its own Ann: one damaged change refuses the whole file, then the sound file
    // brings A's Ann under a name of her own.
    useBook(dir.filePath("c"));
    TempStore::addChild("Ann", "Mine");
    const QStringList before = dump();
    // A's file with one of its changes changed.
    auto changed = [&](const char* name, auto change) {
        QJsonObject book = QJsonDocument::fromJson(entryOf(fromA, "book.json")).object();
        QJsonArray changes = book.value("changes").toArray();
        for (qsizetype i = 0; i < changes.size(); ++i) {
            QJsonArray one = changes.at(i).toArray();
            if (change(one)) {
                changes.replace(i, one);
                break;
            }
        }
        book.insert("changes", changes);
        QList<std::pair<QByteArray, QByteArray>> entries = entriesOf(fromA);
        entries[0] = {"book.json", QJsonDocument(book).toJson()};
        writeZip(dir.filePath(name), entries);
        return dir.filePath(name);
    };
    changed("damaged.zip", [](QJsonArray& one) {
        if (one.at(0) != "ENTRIES")
            return false;
        one.replace(0, "FAMILY");
        one.replace(2, "15");
        one.replace(3, "Name");
        return true;
    });
    QString refusal;
    try {
        BookFile::importBook(dir.filePath("damaged.zip"));
    } catch (const BookFile::Error& e) {
        refusal = e.message();
    }
    QVERIFY2(refusal.contains("A record of FAMILY cannot be placed: a relative's slot is 1 to 14."),
             qPrintable(refusal));
    QCOMPARE(dump(), before);
    // A text wider than the forms keep (kept by an earlier version) is cut, as from older files.
    const BookFile::Summary intoC = BookFile::importBook(changed("wide.zip", [](QJsonArray& one) {
        one.replace(4, QString(80, 'H'));
        return one.at(3) == "Hospital";
    }));
    QCOMPARE(intoC.renamed, QStringList{"Ann is kept as Ann (2)"});
    QCOMPARE(intoC.childrenAdded, QStringList{"Ann (2)"});
    QCOMPARE(intoC.cut, QStringList{"Ann: child information, Hospital cut to 50 characters"});
}

void BookFileTest::badFilesAreRefusedAndTheBookIsUntouched() {
    TempStore home(false);
    const QDir dir(home.dataHome());
    const QString good = dir.filePath(QStringLiteral("good.zip"));
    useBook(dir.filePath(QStringLiteral("source")));
    fillChild(QStringLiteral("Ann"), 7);
    BookFile::exportBook(good);
    asVersion2(good);
    const QByteArray goodBytes = [&] {
        QFile f(good);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    const QByteArray bookJson = entryOf(good, "book.json");
    QVERIFY(bookJson.contains("\"format\":\"tinyra-book\""));

    useBook(dir.filePath(QStringLiteral("target")));
    TempStore::addChild(QStringLiteral("Ann"), QStringLiteral("Mine"));
    Children::makeActive(QStringLiteral("Ann"), true);
    Entries().setToothDate(3, QStringLiteral("11-11-11"));
    const QStringList before = dump();

    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    QJsonObject newer = QJsonDocument::fromJson(bookJson).object();
    newer.insert(QStringLiteral("version"), BookFile::FormatVersion + 1);
    QByteArray flipped = goodBytes;
    const qsizetype inside = goodBytes.indexOf("book.json") + 200; // within the compressed book.json
    flipped[inside] = char(flipped[inside] ^ 0x5a);

    QList<std::pair<QString, QString>> cases; // file, what the refusal says
    cases << std::pair{write("truncated.zip", goodBytes.left(goodBytes.size() * 2 / 3)), QString("damaged")}
          << std::pair{write("flipped.zip", flipped), QString("damaged")}
          << std::pair{write("notes.txt", "Just some notes.\n"), QString("not a Tinyra book")};
    writeZip(dir.filePath("foreign.zip"), {{"readme.txt", "hello"}, {"photo.jpg", photo(100, 1)}});
    cases << std::pair{dir.filePath("foreign.zip"), QString("not a Tinyra book")};
    writeZip(dir.filePath("newer.zip"), {{"book.json", QJsonDocument(newer).toJson()}});
    cases << std::pair{dir.filePath("newer.zip"), QString("newer version of Tinyra")};
    writeZip(dir.filePath("climbs.zip"), {{"book.json", bookJson}, {"../../.bashrc", "rm -rf ~"}});
    cases << std::pair{dir.filePath("climbs.zip"), QString("points outside the book")};
    writeZip(dir.filePath("absolute.zip"), {{"book.json", bookJson}, {"/etc/passwd", "x"}});
    cases << std::pair{dir.filePath("absolute.zip"), QString("points outside the book")};
    {
        // An entry far larger than any picture, compressed to almost nothing.
        int error = 0;
        zip_t* za = zip_open(QFile::encodeName(dir.filePath("huge.zip")).constData(),
                             ZIP_CREATE | ZIP_TRUNCATE, &error);
        zip_source_t* json = zip_source_buffer(za, bookJson.constData(), zip_uint64_t(bookJson.size()), 0);
        zip_file_add(za, "book.json", json, 0);
        zip_uint64_t left = 300ull * 1024 * 1024;
        const zip_int64_t index =
            zip_file_add(za, "pictures/000001-Photo.jpg", zip_source_function(za, zeros, &left), 0);
        zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
        QCOMPARE(zip_close(za), 0);
        cases << std::pair{dir.filePath("huge.zip"), QString("far more than a book holds")};
    }
    for (const auto& [file, why] : cases) {
        QString message;
        try {
            BookFile::importBook(file);
        } catch (const BookFile::Error& e) {
            message = e.message();
        }
        QVERIFY2(message.contains(why), qPrintable(file + ": " + message));
        QCOMPARE(dump(), before);
    }
    // Stopping an import half-way leaves the book as it was, too.
    int calls = 0;
    QVERIFY_THROWS_EXCEPTION(BookFile::Error,
                             BookFile::importBook(good, [&](double) { return ++calls < 2; }));
    QCOMPARE(dump(), before);
    // The good file itself goes in.
    QCOMPARE(BookFile::importBook(good).childrenAdded, QStringList());
    QVERIFY(dump() != before);
}

void BookFileTest::hostileFilesAreRefusedOrKeptWithinWhatTheFormsHold() {
    TempStore home(false);
    const QDir dir(home.dataHome());
    const QString good = dir.filePath(QStringLiteral("good.zip"));
    useBook(dir.filePath(QStringLiteral("source")));
    fillChild(QStringLiteral("Ann"), 7);
    BookFile::exportBook(good);
    asVersion2(good);
    const QJsonObject book = QJsonDocument::fromJson(entryOf(good, "book.json")).object();
    const QList<std::pair<QByteArray, QByteArray>> others = entriesOf(good).mid(1);

    // Ann's part of the file, changed by `change`, and the file written with the good one's pictures.
    using Change = std::function<void(QJsonObject & child, QJsonObject & tables)>;
    auto fileWith = [&](const QString& name, const Change& change) {
        QJsonObject root = book;
        QJsonArray children = root.value("children").toArray();
        QJsonObject ann = children.at(0).toObject();
        QJsonObject row = ann.value("child").toObject(), tables = ann.value("tables").toObject();
        change(row, tables);
        ann.insert("child", row);
        ann.insert("tables", tables);
        children.replace(0, ann);
        root.insert("children", children);
        QList<std::pair<QByteArray, QByteArray>> entries{{"book.json", QJsonDocument(root).toJson()}};
        entries << others;
        writeZip(dir.filePath(name), entries);
        return dir.filePath(name);
    };
    auto append = [](QJsonObject& tables, const char* table, const QJsonObject& record) {
        QJsonArray rows = tables.value(table).toArray();
        rows.append(record);
        tables.insert(table, rows);
    };
    auto entry = [](const QJsonValue& list, const char* title, const char* uid) {
        return QJsonObject{{"list", list}, {"Date", "01-01-24"}, {"Title", title},
                           {"Text", "t"},  {"uid", uid},         {"changed", "2024-01-01T00:00:00.000Z"}};
    };
    auto count = [](const QString& sql) {
        QSqlQuery q = Database::exec(sql);
        return q.next() ? q.value(0).toInt() : -1;
    };

    struct Case {
        QString name;
        QString file;
        int imports = 1;
        qint64 freeSpace = -1;
        QStringList refusal; // what the refusal names; none when the file goes in
        std::function<void(const BookFile::Summary&)> check = {};
    };
    const QString ann = QStringLiteral("Ann");
    QList<Case> cases;
    cases << Case{"places no diary, relative or tooth has",
                  fileWith("places.zip",
                           [&](QJsonObject&, QJsonObject& tables) {
                               append(tables, "ENTRIES", entry(99, "Lost", "aa"));
                               append(tables, "ENTRIES", entry(-1, "Below", "bb"));
                               append(tables, "ENTRIES", entry("two", "Worded", "cc"));
                               append(tables, "TEETH", {{"slot", 25}, {"Date", "01-01-24"}});
                               append(tables, "FAMILY", {{"slot", 0}, {"Name", "Nobody"}, {"Date", ""}});
                           }),
                  1,
                  -1,
                  {"Ann: entry \"Lost\" of 01-01-24 in list 99, which no diary has",
                   "entry \"Below\" of 01-01-24 in list -1", "entry \"Worded\" of 01-01-24 in list none",
                   "Ann: tooth 25 (the teeth are 1 to 20)", "Ann: relative 0 of the family tree"}};
    cases << Case{
        "records without a uid, imported three times",
        fileWith("uidless.zip",
                 [&](QJsonObject&, QJsonObject& tables) {
                     append(tables, "ENTRIES", entry(2, "No identity", ""));
                     append(tables, "ENTRIES", entry(2, "No identity", "")); // the same, twice
                     append(tables, "GROWTH", {{"Date", "03-03-24"}, {"Height", "30"}, {"uid", ""}});
                 }),
        3,
        -1,
        {},
        [&](const BookFile::Summary&) {
            QCOMPARE(count("SELECT count(*) FROM ENTRIES WHERE Title = 'No identity' AND "
                           "length(uid) = 32"),
                     1);
            QCOMPARE(count("SELECT count(*) FROM GROWTH WHERE Date = '03-03-24' AND length(uid) = 32"), 1);
        }};
    cases << Case{"texts wider than the forms keep",
                  fileWith("wide.zip",
                           [&](QJsonObject& child, QJsonObject& tables) {
                               child.insert("Hospital", QString(80, QLatin1Char('H')));
                               child.insert("changed", "2999-01-01T00:00:00.000Z");
                               append(tables, "TEETH", {{"slot", 9}, {"Date", "01-01-2024 at noon"}});
                           }),
                  1,
                  -1,
                  {},
                  [&](const BookFile::Summary& summary) {
                      QVERIFY2(summary.cut.contains("Ann: child information, Hospital cut to 50 characters"),
                               qPrintable(summary.text()));
                      QVERIFY(summary.cut.contains("Ann: tooth 9, Date cut to 8 characters"));
                      QCOMPARE(count("SELECT length(Hospital) FROM CHILD WHERE FirstName = 'Ann'"), 50);
                      QCOMPARE(count("SELECT count(*) FROM TEETH WHERE slot = 9 AND Date = '01-01-20'"), 1);
                  }};
    cases << Case{"one entry twice",
                  fileWith("twice.zip",
                           [&](QJsonObject&, QJsonObject& tables) {
                               append(tables, "ENTRIES", tables.value("ENTRIES").toArray().at(0).toObject());
                           }),
                  1,
                  -1,
                  {"The book file has two entries with the same identity (the entry \"Title 0.0 ✓\" of "
                   "01-10-24); nothing was imported."}};
    {
        // A book.json of 200 MB, nearly all of it blanks between its members, in a zip of a few
        // hundred kilobytes: more than a nearly full disk takes, and read in little memory otherwise.
        QByteArray json = QJsonDocument(book).toJson(QJsonDocument::Compact);
        json.replace("\"Ann\"", "\"Bo\"");
        const qsizetype split = json.indexOf("\"children\"");
        Padded text{json.left(split), json.mid(split), 200ull * 1024 * 1024};
        int error = 0;
        const QString file = dir.filePath(QStringLiteral("long.zip"));
        zip_t* za = zip_open(QFile::encodeName(file).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        const zip_int64_t index = zip_file_add(za, "book.json", zip_source_function(za, padded, &text), 0);
        zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
        for (const auto& [name, bytes] : others)
            zip_file_add(za, name.constData(),
                         zip_source_buffer(za, bytes.constData(), zip_uint64_t(bytes.size()), 0), 0);
        QCOMPARE(zip_close(za), 0);
        QVERIFY(QFileInfo(file).size() < 5 * 1024 * 1024);
        cases << Case{"a book.json larger than the disk's free space",
                      file,
                      1,
                      300'000'000,
                      {"the disk that keeps Tinyra's book has 300.0 MB free"}};
        cases << Case{
            "a long book.json, read as a stream", file, 1, -1, {}, [&](const BookFile::Summary& summary) {
                QCOMPARE(summary.childrenAdded, QStringList{"Bo"});
                QCOMPARE(count("SELECT count(*) FROM ENTRIES WHERE child = 'Bo'"), 17);
            }};
    }

    for (const Case& c : cases) {
        useBook(dir.filePath(c.name));
        TempStore::addChild(ann, QStringLiteral("Mine"));
        const QStringList before = dump();
        BookFile::setFreeSpaceForTesting(c.freeSpace);
        QString refusal;
        BookFile::Summary summary;
        for (int i = 0; i < c.imports; ++i) {
            try {
                summary = BookFile::importBook(c.file);
            } catch (const BookFile::Error& e) {
                refusal = e.message();
            } catch (const StoreError& e) {
                refusal = QStringLiteral("(the store's own words) ") + e.message();
            }
        }
        BookFile::setFreeSpaceForTesting(-1);
        if (c.refusal.isEmpty()) {
            QVERIFY2(refusal.isEmpty(), qPrintable(c.name + ": " + refusal));
            c.check(summary);
            continue;
        }
        for (const QString& words : c.refusal)
            QVERIFY2(refusal.contains(words), qPrintable(c.name + ": " + refusal));
        QCOMPARE(dump(), before);
    }
}

void BookFileTest::cancelInsideAChildLeavesTheBookUnchanged() {
    TempStore home(false);
    const QString file = QDir(home.dataHome()).filePath(QStringLiteral("one-child.zip"));
    useBook(home.dataHome() + QStringLiteral("/source"));
    fillChild(QStringLiteral("Ann"), 3);
    {
        Transaction tx;
        for (int i = 0; i < 3000; ++i)
            Database::exec(
                "INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES ('Ann', 2, '01-01-24', ?, "
                "'A day.')",
                {QStringLiteral("Day %1").arg(i)});
        tx.commit();
    }
    BookFile::exportBook(file);
    useBook(home.dataHome() + QStringLiteral("/target"));
    TempStore::addChild(QStringLiteral("Ann"), QStringLiteral("Mine"));
    const QStringList before = dump();
    // Cancel is pressed while the one child's records are read: the import stops there.
    QList<double> told;
    QVERIFY_THROWS_EXCEPTION(BookFile::Error, BookFile::importBook(file, [&](double done) {
                                 told << done;
                                 return told.size() < 3;
                             }));
    QCOMPARE(told.size(), 3);
    QVERIFY(told.last() > 0 && told.last() < 1);
    QCOMPARE(dump(), before);
}

QTEST_GUILESS_MAIN(BookFileTest)
#include "tst_bookfile.moc"
