// A book shared between two computers through a folder that two real Syncthing instances keep in
// step on this machine: the real program's --share and --sync on each side, until both books hold
// the same.
#include "core/book/Children.h"
#include "core/book/EntryStore.h"
#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "core/store/Schema.h"
#include "support/CameraPhoto.h"
#include "support/SyncthingPair.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <map>

#include <zip.h>

namespace {
struct Run {
    int status = -1;
    QString out, err;
};

// One computer's book: its own data folder, written in this process between runs of the program.
class Book {
public:
    QString home() const { return m_dir.path(); }
    template <class F> void with(F f) {
        const QByteArray before = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
        Database::open();
        f();
        Entries().release();
        Database::close();
        qputenv("XDG_DATA_HOME", before);
    }
    // The real program on this book, without a window.
    Run tinyra(const QStringList& args) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(TINYRA_PROGRAM), args);
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
            p.kill();
            p.waitForFinished();
            return {};
        }
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

private:
    QTemporaryDir m_dir;
};

// Photos as a camera writes them, each different (the day in its EXIF and its size).
class Camera {
public:
    EntryPhoto take() {
        ++m_count;
        const QByteArray taken = QStringLiteral("2024:03:%1 10:%2:00")
                                     .arg(1 + m_count % 28, 2, 10, QLatin1Char('0'))
                                     .arg(m_count % 60, 2, 10, QLatin1Char('0'))
                                     .toLatin1();
        const QString name = QStringLiteral("IMG_%1.jpg").arg(1000 + m_count);
        const QString path = cameraPhoto(m_dir.path(), name, taken.constData(), QSize(40 + m_count, 20));
        return {PhotoFiles::store(path), name,
                QStringLiteral("03-%1-24").arg(1 + m_count % 28, 2, 10, QLatin1Char('0'))};
    }
    int count() const { return m_count; }

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};

void addEntry(DiaryList list, const QString& date, const QString& title, QVector<EntryPhoto> photos = {}) {
    Entries().append(list,
                     std::make_shared<DiaryType>(DiaryType{date, title, QStringLiteral("remarks"), photos}));
}

int findEntry(DiaryList list, const QString& title) {
    for (int i = 0; i < Entries().count(list); ++i)
        if (Entries().at(list, i)->Title == title)
            return i;
    return -1;
}

// A child renamed as the program renames one: the child and every record of it.
void renameChild(const QString& from, const QString& to) {
    Database::exec(QStringLiteral("UPDATE CHILD SET FirstName = ? WHERE FirstName = ?"), {to, from});
    for (const QString& table : Schema::childTables())
        Database::exec(QStringLiteral("UPDATE %1 SET child = ? WHERE child = ?").arg(table), {to, from});
}

QString sha256(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// A JSON value in one text whatever the order its arrays and objects were written in: rows of a
// table and children may come in the order each book applied them, which the merge leaves open.
QString canonical(const QJsonValue& value, const std::map<QString, QString>& fileHashes) {
    if (value.isObject()) {
        const QJsonObject o = value.toObject();
        QStringList members;
        for (auto it = o.begin(); it != o.end(); ++it) {
            // When the book was exported, and the moment each book itself wrote a row, which differs
            // between books holding the same record: the merge goes by the fields' stamps.
            if (it.key() == QLatin1String("exported") || it.key() == QLatin1String("changed"))
                continue;
            // A picture's zip entry is numbered in the order of writing: it is known by its bytes.
            if (it.key() == QLatin1String("file") &&
                it.value().toString().startsWith(QLatin1String("pictures/"))) {
                const auto hash = fileHashes.find(it.value().toString());
                members << QStringLiteral("file=") +
                               (hash == fileHashes.end() ? QStringLiteral("?") : hash->second);
                continue;
            }
            members << it.key() + QLatin1Char('=') + canonical(it.value(), fileHashes);
        }
        return QLatin1Char('{') + members.join(QLatin1Char(',')) + QLatin1Char('}');
    }
    if (value.isArray()) {
        QStringList items;
        for (const QJsonValue& item : value.toArray())
            items << canonical(item, fileHashes);
        std::sort(items.begin(), items.end());
        return QLatin1Char('[') + items.join(QLatin1String(",\n")) + QLatin1Char(']');
    }
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact));
}

// What `tinyra --export` wrote, in one text two equal books give alike: book.json less the moment
// of export, and every photo and picture by its name and the SHA-256 of its bytes.
QString exported(const QString& zipPath, bool withChanges = true) {
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &error);
    if (!zip)
        return QStringLiteral("cannot open ") + zipPath;
    std::map<QString, QString> hashes;
    QByteArray bookJson;
    QStringList photos;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t st;
        if (zip_stat_index(zip, zip_uint64_t(i), 0, &st) != 0)
            continue;
        QByteArray bytes(qsizetype(st.size), '\0');
        zip_file_t* f = zip_fopen_index(zip, zip_uint64_t(i), 0);
        const bool read = f && zip_fread(f, bytes.data(), st.size) == zip_int64_t(st.size);
        if (f)
            zip_fclose(f);
        const QString name = QString::fromUtf8(st.name);
        if (!read)
            photos << name + QStringLiteral(" unreadable");
        else if (name == QLatin1String("book.json"))
            bookJson = bytes;
        else if (name.startsWith(QLatin1String("pictures/")))
            hashes[name] = sha256(bytes);
        else
            photos << name + QLatin1Char(' ') + sha256(bytes);
    }
    zip_close(zip);
    photos.sort();
    QJsonObject book = QJsonDocument::fromJson(bookJson).object();
    // The change records keep every field's last value beside its stamp, a removed record's too.
    if (!withChanges)
        book.remove(QStringLiteral("changes"));
    return canonical(book, hashes) + QLatin1Char('\n') + photos.join(QLatin1Char('\n'));
}

// Where two texts first differ, with a little of each around it, for the failure message.
QString firstDifference(const QString& a, const QString& b) {
    int at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    const int from = qMax(0, at - 200);
    return QStringLiteral("at character %1:\n  %2\n  %3").arg(at).arg(a.mid(from, 400), b.mid(from, 400));
}
} // namespace

class SyncthingTest : public QObject {
    Q_OBJECT
    SyncthingPair m_pair;

    // Has Syncthing carry everything, failing the test when it does not within a minute.
    bool inStep() {
        QString why;
        const bool done = m_pair.waitInStep(&why);
        if (!done)
            qWarning("%s", qPrintable(why));
        return done;
    }

private slots:
    void initTestCase() {
        QElapsedTimer clock;
        clock.start();
        QString why;
        if (!m_pair.start(&why))
            QSKIP(qPrintable(QStringLiteral("Syncthing cannot be run here: ") + why));
        qInfo("two Syncthing instances connected in %lld ms", clock.elapsed());
    }

    // What one instance's folder gets, the other's gets: a new file, a change, a removal.
    void filesWrittenOnOneSideReachTheOther() {
        const QString one = m_pair.folder(0) + QStringLiteral("/check"),
                      two = m_pair.folder(1) + QStringLiteral("/check");
        QVERIFY(QDir().mkpath(one));
        QByteArray bytes(100000, '\0');
        for (char& c : bytes)
            c = char(QRandomGenerator::global()->bounded(256));
        auto write = [](const QString& path, const QByteArray& content) {
            QFile f(path);
            return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
        };
        auto read = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
        };
        QVERIFY(write(one + QStringLiteral("/a.bin"), bytes));
        QVERIFY(inStep());
        QCOMPARE(read(two + QStringLiteral("/a.bin")), bytes);
        bytes.append("and more");
        bytes[7] = char(bytes[7] + 1);
        QVERIFY(write(two + QStringLiteral("/a.bin"), bytes));
        QVERIFY(inStep());
        QCOMPARE(read(one + QStringLiteral("/a.bin")), bytes);
        QVERIFY(QDir(one).removeRecursively());
        QVERIFY(inStep());
        QVERIFY(!QFileInfo::exists(two));
    }

    // Two books, each with children and photos of its own, shared through the two folders: edits on
    // both sides (one entry edited on both before they met, a removal, a renamed child) and rounds
    // of --sync on each until both export the same book.
    void twoBooksShareThroughSyncthing() {
        Book a, b;
        Camera camera;
        a.with([&] {
            QCOMPARE(Children::add(QStringLiteral("Ann"), QString(), QStringLiteral("Smith")),
                     Children::AddResult::Added);
            Entries().freshStart(QStringLiteral("Ann"));
            addEntry(DiaryList::JournalEntries, QStringLiteral("01-02-24"), QStringLiteral("First smile"),
                     {camera.take(), camera.take(), camera.take()});
            addEntry(DiaryList::JournalEntries, QStringLiteral("01-09-24"), QStringLiteral("First bath"),
                     {camera.take(), camera.take()});
            addEntry(DiaryList::WordEntries, QStringLiteral("03-01-24"), QStringLiteral("Mama"));
            addEntry(DiaryList::DoctorVisits, QStringLiteral("02-01-24"), QStringLiteral("Check-up"),
                     {camera.take(), camera.take(), camera.take(), camera.take(), camera.take()});
            Entries().appendGrowth(std::make_shared<GrowthType>(
                GrowthType{QStringLiteral("02-01-24"), QStringLiteral("55"), QString(), QString(), QString(),
                           QStringLiteral("4.8"), QStringLiteral("metric")}));
        });
        b.with([&] {
            QCOMPARE(Children::add(QStringLiteral("Ben"), QString(), QStringLiteral("Jones")),
                     Children::AddResult::Added);
            Entries().freshStart(QStringLiteral("Ben"));
            addEntry(DiaryList::JournalEntries, QStringLiteral("05-05-23"), QStringLiteral("Crawling"),
                     {camera.take(), camera.take(), camera.take()});
            addEntry(DiaryList::JournalEntries, QStringLiteral("06-01-23"), QStringLiteral("Standing"),
                     {camera.take(), camera.take(), camera.take()});
            Entries().setFamilyMember(
                1, {QStringLiteral("Grandma Rose"), QStringLiteral("04-04-50"), QStringLiteral("Leeds")});
        });

        QElapsedTimer clock;
        clock.start();
        Run r = a.tinyra({QStringLiteral("--share"), m_pair.folder(0)});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(inStep());
        r = b.tinyra({QStringLiteral("--share"), m_pair.folder(1)});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(inStep());
        r = a.tinyra({QStringLiteral("--sync")});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        qInfo("shared, carried, joined and taken back in %lld ms", clock.elapsed());

        // Both sides edit before they meet again.
        a.with([&] {
            Entries().freshStart(QStringLiteral("Ann"));
            const int smile = findEntry(DiaryList::JournalEntries, QStringLiteral("First smile"));
            QVERIFY(smile >= 0);
            auto edited = std::make_shared<DiaryType>(*Entries().at(DiaryList::JournalEntries, smile));
            edited->Title = QStringLiteral("First real smile");
            edited->Text = QStringLiteral("at Grandma's");
            Entries().replaceAt(DiaryList::JournalEntries, smile, edited);
            Entries().removeAt(DiaryList::WordEntries,
                               findEntry(DiaryList::WordEntries, QStringLiteral("Mama")));
            Entries().childSwitch(QStringLiteral("Ben"));
            addEntry(DiaryList::JournalEntries, QStringLiteral("07-01-23"), QStringLiteral("Walking"),
                     {camera.take(), camera.take()});
        });
        b.with([&] {
            Entries().freshStart(QStringLiteral("Ann"));
            const int smile = findEntry(DiaryList::JournalEntries, QStringLiteral("First smile"));
            QVERIFY(smile >= 0);
            auto edited = std::make_shared<DiaryType>(*Entries().at(DiaryList::JournalEntries, smile));
            edited->Title = QStringLiteral("Smiled at the cat");
            edited->Photos << camera.take() << camera.take();
            Entries().replaceAt(DiaryList::JournalEntries, smile, edited);
            Entries().release();
            renameChild(QStringLiteral("Ben"), QStringLiteral("Benjamin"));
        });
        QCOMPARE(camera.count(), 20);

        clock.restart();
        const QString zipA = QDir(a.home()).filePath(QStringLiteral("a.zip")),
                      zipB = QDir(b.home()).filePath(QStringLiteral("b.zip"));
        QString bookA, bookB;
        int rounds = 0;
        while (clock.elapsed() < 60000) {
            ++rounds;
            for (Book* book : {&b, &a}) {
                QVERIFY(inStep());
                r = book->tinyra({QStringLiteral("--sync")});
                QVERIFY2(r.status == 0, qPrintable(r.err));
            }
            QVERIFY(inStep());
            for (auto [book, zip] :
                 {std::pair<Book*, QString>{&a, zipA}, std::pair<Book*, QString>{&b, zipB}}) {
                r = book->tinyra({QStringLiteral("--export"), zip});
                QVERIFY2(r.status == 0, qPrintable(r.err));
            }
            bookA = exported(zipA);
            bookB = exported(zipB);
            if (bookA == bookB)
                break;
        }
        qInfo("the two books were equal after %d rounds of --sync on each, %lld ms after the edits", rounds,
              clock.elapsed());
        QVERIFY2(bookA == bookB, qPrintable(firstDifference(bookA, bookB)));

        // And they hold what both sides did: the removal, the rename with the entry added under the old
        // name, the edit of each side (the later title), and all twenty photos.
        bookA = exported(zipA, false);
        QVERIFY(!bookA.contains(QLatin1String("\"Mama\"")));
        QVERIFY(bookA.contains(QLatin1String("\"Benjamin\"")) && !bookA.contains(QLatin1String("\"Ben\"")));
        QVERIFY(bookA.contains(QLatin1String("\"Walking\"")));
        QVERIFY(bookA.contains(QLatin1String("\"Smiled at the cat\"")) &&
                bookA.contains(QLatin1String("\"at Grandma's\"")));
        QCOMPARE(
            bookA.count(QRegularExpression(QStringLiteral("^photos/"), QRegularExpression::MultilineOption)),
            20);
    }

    void cleanupTestCase() { m_pair.stop(); }
};

QTEST_GUILESS_MAIN(SyncthingTest)
#include "tst_syncthing.moc"
