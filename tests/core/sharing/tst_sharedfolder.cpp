// One book on several computers through a shared folder: batches written and read, photos carried
// by content, and the folder's files treated as untrusted.
#include "core/book/EntryStore.h"
#include "core/sharing/SharedFolder.h"
#include "core/store/PhotoFiles.h"
#include "support/SharedBook.h"
#include "support/TempStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSysInfo>
#include <QTest>

namespace {
SharedFolder::RoundResult sync(Device& d) {
    return d.with([] { return SharedFolder::syncOnce(); });
}

QString photoFrom(const QByteArray& bytes, const QString& name) {
    QTemporaryDir dir;
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    f.close();
    return PhotoFiles::store(f.fileName());
}

void addEntry(const QString& child, const QString& title, const QString& photo = QString()) {
    Database::exec(QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES (?, 2, "
                                  "'01-02-24', ?, '')"),
                   {child, title});
    if (!photo.isEmpty())
        Database::exec(
            QStringLiteral("INSERT INTO ENTRYPHOTOS (child, list, entry, position, file, name, taken) "
                           "SELECT child, list, uid, 0, ?, 'a.jpg', '' FROM ENTRIES WHERE Title = ?"),
            {photo, title});
}

QString titleOf(const QString& title) {
    return one(QStringLiteral("SELECT Title FROM ENTRIES WHERE Title = ?"), {title}).toString();
}

QString devicesFolder(const QString& folder) {
    return folder + QStringLiteral("/Tinyra Shared Book/devices");
}

// The newest batch file a computer wrote in the folder.
QString newestBatch(const QString& folder, Device& d) {
    const QString mine = devicesFolder(folder) + QLatin1Char('/') +
                         d.with([] { return one(QStringLiteral("SELECT id FROM DEVICE")).toString(); });
    const QStringList names = QDir(mine).entryList({QStringLiteral("0*.json")}, QDir::Files, QDir::Name);
    return names.isEmpty() ? QString() : mine + QLatin1Char('/') + names.last();
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Runs the program's command line on the book under `home`; its status and what it said.
std::pair<int, QString> tinyra(const QStringList& args, const QString& home) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TINYRA_PROGRAM), args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit)
        return {-1, QString()};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

// A batch file rewritten with `edit` applied to its body, its checksum made anew.
QByteArray rewritten(const QByteArray& file, const std::function<void(QJsonObject&)>& edit) {
    const int at = int(QByteArray("{\"checksum\":\"").size() + 64 + QByteArray("\",\"batch\":").size());
    QJsonObject body = QJsonDocument::fromJson(file.mid(at, file.size() - at - 2)).object();
    edit(body);
    const QByteArray bytes = QJsonDocument(body).toJson(QJsonDocument::Compact);
    return "{\"checksum\":\"" + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() +
           "\",\"batch\":" + bytes + "}\n";
}
} // namespace

class SharedFolderTest : public QObject {
    Q_OBJECT
private slots:
    // A shares (cancelled at first: the next round writes the whole book, Zoe taken from a computer
    // that never shared too), B joins with a child of the same name answered the same, C joins with
    // nothing; edits, removals and photos on each, rounds in several orders: the books end equal.
    void booksSharingAFolderEndEqual() {
        QTemporaryDir folder;
        Device elsewhere, a, b, c;
        const QByteArray smile("\xff\xd8\xff smile"), tooth("\xff\xd8\xff tooth");
        elsewhere.with([] { TempStore::addChild(QStringLiteral("Zoe")); });
        const QVector<Change> zoe = elsewhere.changes();
        a.with([&] {
            QVERIFY(Changes::apply(zoe).refused.isEmpty());
            SharedFolder::setComputerName(QStringLiteral("the kitchen laptop"));
            TempStore::addChild(QStringLiteral("Ann"), QString(), QStringLiteral("Smith"));
            Database::exec(QStringLiteral("UPDATE CHILD SET BirthCity = 'Leeds'"));
            addEntry(QStringLiteral("Ann"), QStringLiteral("First smile"),
                     photoFrom(smile, QStringLiteral("s.jpg")));
            const SharedFolder::RoundResult r =
                SharedFolder::share(folder.path(), [](qint64, qint64) { return false; });
            QVERIFY(r.cancelled && r.written == 0);
        });
        QVERIFY(sync(a).written > 0);
        b.with([&] {
            TempStore::addChild(QStringLiteral("Ann"), QString(), QStringLiteral("Jones"));
            TempStore::addChild(QStringLiteral("Ben"));
            Database::exec(QStringLiteral("INSERT INTO FAMILY (child, slot, Name, Date, Text) VALUES "
                                          "('Ann', 2, 'Grandma', '', '')"));
            QVERIFY(SharedFolder::inspect(folder.path()).holdsBook);
            const QVector<SharedFolder::ChildMatch> matches = SharedFolder::matchesToAsk(folder.path());
            QCOMPARE(matches.size(), 1);
            QCOMPARE(matches[0].otherComputer, QStringLiteral("the kitchen laptop"));
            const SharedFolder::RoundResult r = SharedFolder::join(folder.path(), matches);
            QVERIFY2(r.problem.isEmpty() && r.skipped.isEmpty(), qPrintable(r.problem + r.skipped.join(',')));
            QCOMPARE(TempStore::rowCount(QStringLiteral("CHILD")), 3); // one Ann, Ben and Zoe
            // Ann as each computer knew her: what only one of them had filled in is kept, and of two
            // values the later.
            QCOMPARE(
                one(QStringLiteral("SELECT BirthCity || '/' || LastName FROM CHILD WHERE FirstName = 'Ann'")),
                QVariant(QStringLiteral("Leeds/Jones")));
            addEntry(QStringLiteral("Ben"), QStringLiteral("First tooth"),
                     photoFrom(tooth, QStringLiteral("t.jpg")));
        });
        c.with([&] { QVERIFY(SharedFolder::join(folder.path()).problem.isEmpty()); });
        QVERIFY(sync(a).applied > 0);
        a.with([] {
            Database::exec(
                QStringLiteral("UPDATE ENTRIES SET Title = 'First big smile' WHERE Title = 'First smile'"));
            Database::exec(QStringLiteral("DELETE FROM FAMILY WHERE slot = 2"));
        });
        c.with([] {
            Database::exec(QStringLiteral("UPDATE CHILD SET Hospital = 'St Mary' WHERE FirstName = 'Ann'"));
        });
        for (Device* book : {&c, &b, &a, &c, &b, &a, &b})
            QVERIFY(sync(*book).skipped.isEmpty());
        // A round with nothing new writes no file.
        const QString before = newestBatch(folder.path(), b);
        QCOMPARE(sync(b).written, 0);
        QCOMPARE(newestBatch(folder.path(), b), before);

        const QString expected = a.dump();
        QCOMPARE(b.dump(), expected);
        QCOMPARE(c.dump(), expected);
        c.with([&] {
            QCOMPARE(one(QStringLiteral("SELECT count(*) FROM FAMILY")), QVariant(0));
            QSqlQuery q = Database::exec(QStringLiteral("SELECT file FROM ENTRYPHOTOS"));
            QList<QByteArray> photos;
            while (q.next())
                photos << PhotoFiles::read(q.value(0).toString());
            QVERIFY(photos.contains(smile) && photos.contains(tooth));
            const SharedFolder::Status s = SharedFolder::status();
            const QString text = SharedFolder::statusText(s, s.lastAt.addSecs(120));
            QVERIFY2(text.startsWith(QStringLiteral("Shared with 3 computers. Last change from ")) &&
                         text.endsWith(QStringLiteral(", 2 minutes ago.")),
                     qPrintable(text));
        });
        // A restored backup: the book forgets its last batch; the folder's numbers are never reused.
        const QString last = newestBatch(folder.path(), a);
        const QByteArray lastBytes = readAll(last);
        a.with([] {
            Database::exec(QStringLiteral("UPDATE PEERS SET batch = 0"));
            Database::exec(QStringLiteral("DELETE FROM SHARING WHERE name = 'written'"));
            addEntry(QStringLiteral("Ann"), QStringLiteral("After the restore"));
        });
        const SharedFolder::RoundResult restored = sync(a);
        QCOMPARE(restored.skipped, QStringList());
        QCOMPARE(restored.written, 4); // the new entry's fields: the rest is in the folder already
        QCOMPARE(readAll(last), lastBytes);
        QVERIFY(sync(b).applied > 0);
        QCOMPARE(b.dump(), a.dump());
        // Stopping leaves the book whole.
        a.with([] {
            SharedFolder::stopSharing();
            QVERIFY(!SharedFolder::status().shared);
            QCOMPARE(titleOf(QStringLiteral("After the restore")), QStringLiteral("After the restore"));
            QCOMPARE(SharedFolder::syncOnce().problem, QStringLiteral("This book is not shared."));
        });
    }

    // A batch or photo in the folder that is half-arrived, damaged or not ours is skipped by name
    // and nothing of it taken; once whole, it is taken. Nothing leaves the book's own folders.
    void untrustedFilesAreSkippedWhole_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("skipped");
        QTest::addColumn<bool>("taken");
        QTest::newRow("batch cut in half") << "cut" << true << false;
        QTest::newRow("checksum wrong") << "checksum" << true << false;
        QTest::newRow("not a Tinyra batch") << "foreign" << true << false;
        QTest::newRow("number not its place") << "renumbered" << true << false;
        QTest::newRow("conflict copy of a batch") << "conflictCopy" << false << true;
        QTest::newRow("photo bytes not its name") << "photo" << true << false;
        QTest::newRow("photo not arrived") << "noPhoto" << true << false;
        QTest::newRow("device folder not an id") << "notAnId" << false << false;
        QTest::newRow("a path in a photo name") << "path" << false << true;
    }
    void untrustedFilesAreSkippedWhole() {
        QFETCH(QString, damage);
        QFETCH(bool, skipped);
        QFETCH(bool, taken);
        QTemporaryDir folder;
        Device a, b;
        const QByteArray bytes("\x89PNG new photo");
        QString photo;
        a.with([&] {
            TempStore::addChild(QStringLiteral("Ann"));
            QVERIFY(SharedFolder::share(folder.path()).problem.isEmpty());
        });
        b.with([&] { QVERIFY(SharedFolder::join(folder.path()).problem.isEmpty()); });
        a.with([&] {
            photo = photoFrom(bytes, QStringLiteral("p.png"));
            addEntry(QStringLiteral("Ann"), QStringLiteral("Edited"), photo);
        });
        QVERIFY(sync(a).written > 0);
        const QString batch = newestBatch(folder.path(), a);
        const QString photoThere =
            folder.path() + QStringLiteral("/Tinyra Shared Book/photos/") + photo.mid(3);
        const QByteArray original = readAll(batch);
        QVERIFY(!original.isEmpty() && QFile::exists(photoThere));
        const int number = QFileInfo(batch).baseName().toInt();

        if (damage == QLatin1String("cut")) {
            writeAll(batch, original.left(original.size() / 2));
        } else if (damage == QLatin1String("checksum")) {
            writeAll(batch, QByteArray(original).replace("Edited", "Edites"));
        } else if (damage == QLatin1String("foreign")) {
            writeAll(batch, "{\"hello\": \"world\"}\n");
        } else if (damage == QLatin1String("renumbered")) {
            writeAll(batch, rewritten(original, [](QJsonObject& o) { o[QStringLiteral("number")] = 99; }));
        } else if (damage == QLatin1String("conflictCopy")) {
            // The sync program kept a copy of an earlier batch: it is read as one more batch.
            QFile::remove(batch);
            writeAll(QFileInfo(batch).absolutePath() +
                         QStringLiteral("/%1.sync-conflict-20240101-120000-ABCDEFG.json")
                             .arg(number - 1, 6, 10, QLatin1Char('0')),
                     rewritten(original, [&](QJsonObject& o) { o[QStringLiteral("number")] = number - 1; }));
        } else if (damage == QLatin1String("photo")) {
            writeAll(photoThere, "\x89PNG other bytes");
        } else if (damage == QLatin1String("noPhoto")) {
            QFile::remove(photoThere);
        } else if (damage == QLatin1String("notAnId")) {
            QDir().mkpath(devicesFolder(folder.path()) + QStringLiteral("/not-an-id"));
            QFile::rename(batch, devicesFolder(folder.path()) + QStringLiteral("/not-an-id/000001.json"));
        } else if (damage == QLatin1String("path")) {
            // The entry's photo traded for a child's picture named by a path out of the folder.
            writeAll(batch, rewritten(original, [](QJsonObject& o) {
                         QJsonArray kept;
                         for (const QJsonValue& c : o[QStringLiteral("changes")].toArray())
                             if (c.toArray()[0].toString() != QLatin1String("ENTRYPHOTOS"))
                                 kept.append(c);
                         const QJsonArray first = kept[0].toArray();
                         kept.append(QJsonArray{QStringLiteral("PICTURES"), first[1], QStringLiteral("Ann"),
                                                QStringLiteral("file"),
                                                QStringLiteral("../../../outside.png"), first[5]});
                         o[QStringLiteral("changes")] = kept;
                     }));
            writeAll(folder.path() + QStringLiteral("/outside.png"), bytes);
        }

        const SharedFolder::RoundResult r = sync(b);
        QCOMPARE(!r.skipped.isEmpty(), skipped);
        if (skipped)
            QVERIFY2(r.skipped.first().contains(QFileInfo(batch).fileName()), qPrintable(r.skipped.first()));
        b.with([&] {
            QCOMPARE(titleOf(QStringLiteral("Edited")).isEmpty(), !taken);
            if (damage != QLatin1String("path"))
                QCOMPARE(PhotoFiles::read(photo), taken ? bytes : QByteArray());
            if (skipped)
                QVERIFY(SharedFolder::statusText(SharedFolder::status(), QDateTime::currentDateTimeUtc())
                            .startsWith(QStringLiteral("A file in the shared folder could not be read: ")));
        });
        QDirIterator it(b.root(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            QVERIFY2(!it.next().endsWith(QLatin1String("outside.png")), qPrintable(it.filePath()));

        // Once the files are whole, the batch is taken.
        if (damage == QLatin1String("notAnId") || damage == QLatin1String("path"))
            return;
        writeAll(batch, original);
        writeAll(photoThere, bytes);
        QCOMPARE(sync(b).skipped, QStringList());
        b.with([&] { QCOMPARE(PhotoFiles::read(photo), bytes); });
        QCOMPARE(b.dump(), a.dump());
    }

    // tinyra --share shares a book, or joins the shared book there; tinyra --sync runs one round
    // (Tinyra's, not the windowing system's -sync).
    void commandLineSharesAndSyncs() {
        QTemporaryDir folder;
        Device a, b;
        a.with([] {
            TempStore::addChild(QStringLiteral("Ann"));
            addEntry(QStringLiteral("Ann"), QStringLiteral("First smile"));
        });
        b.with([] { TempStore::addChild(QStringLiteral("Ann")); });
        const auto run = [&](Device& d, const QStringList& args, int status, const char* said,
                             const char* alsoSaid = "") {
            const auto [got, text] = tinyra(args, d.root());
            QVERIFY2(got == status && text.contains(QLatin1String(said)) &&
                         text.contains(QLatin1String(alsoSaid)),
                     qPrintable(text));
        };
        run(a, {QStringLiteral("--sync")}, 1, "This book is not shared.");
        run(a, {QStringLiteral("--share"), folder.path()}, 0, "this book is shared in");
        run(b, {QStringLiteral("--share"), folder.path()}, 0, "this book joins it", "Ann here and Ann on ");
        a.with([] { Database::exec(QStringLiteral("UPDATE ENTRIES SET Title = 'Edited'")); });
        run(a, {QStringLiteral("--sync")}, 0, "Wrote 1 change ");
        run(b, {QStringLiteral("--sync")}, 0, "Took 1 change from ");
        QCOMPARE(b.dump(), a.dump());
        QVERIFY(QDir(folder.path()).removeRecursively());
        run(b, {QStringLiteral("--sync")}, 1, "The shared folder cannot be found: ");
    }

    // Entries made on two computers before they saw each other's run in one order on both: the order
    // of their clock stamps (B's wall clock a day slow, so its entry is the first of the three).
    void diariesRunInOneOrderOnEveryComputer() {
        QTemporaryDir folder;
        Device a, b(-24 * 3600 * 1000);
        a.with([&] {
            TempStore::addChild(QStringLiteral("Ann"));
            QVERIFY(SharedFolder::share(folder.path()).problem.isEmpty());
        });
        b.with([&] { QVERIFY(SharedFolder::join(folder.path()).problem.isEmpty()); });
        a.with([] { addEntry(QStringLiteral("Ann"), QStringLiteral("one")); });
        b.with([] { addEntry(QStringLiteral("Ann"), QStringLiteral("two")); });
        a.with([] { addEntry(QStringLiteral("Ann"), QStringLiteral("three")); });
        for (Device* book : {&a, &b, &a})
            QVERIFY(sync(*book).skipped.isEmpty());
        const auto journal = [] {
            EntryStore& store = EntryStore::instance();
            store.freshStart(QStringLiteral("Ann"));
            QStringList titles;
            for (int i = 0; i < store.count(DiaryList::JournalEntries); ++i)
                titles << store.at(DiaryList::JournalEntries, i)->Title;
            store.release();
            return titles;
        };
        const QStringList expected{QStringLiteral("two"), QStringLiteral("one"), QStringLiteral("three")};
        QCOMPARE(a.with(journal), expected);
        QCOMPARE(b.with(journal), expected);
    }

    // A child removed on one computer is held on the other, and asked about every round, until the
    // parent says; kept, it comes back on every computer; removed, it goes here too.
    void childRemovalIsHeldUntilDecided() {
        QTemporaryDir folder;
        Device a, b;
        a.with([&] {
            TempStore::addChild(QStringLiteral("Ann"));
            addEntry(QStringLiteral("Ann"), QStringLiteral("First smile"));
            QVERIFY(SharedFolder::share(folder.path()).problem.isEmpty());
        });
        b.with([&] { QVERIFY(SharedFolder::join(folder.path()).problem.isEmpty()); });
        const auto removeOnA = [&] {
            a.with([] {
                Database::exec(QStringLiteral("DELETE FROM ENTRIES"));
                Database::exec(QStringLiteral("DELETE FROM CHILD"));
            });
            sync(a);
        };
        const auto rows = [] {
            return TempStore::rowCount(QStringLiteral("CHILD")) * 10 +
                   TempStore::rowCount(QStringLiteral("ENTRIES"));
        };
        removeOnA();
        const SharedFolder::RoundResult r = sync(b);
        QCOMPARE(r.heldRemovals.size(), 1);
        QCOMPARE(r.heldRemovals[0].firstName, QStringLiteral("Ann"));
        QCOMPARE(sync(b).heldRemovals.size(), 1);
        QCOMPARE(b.with(rows), 11);
        b.with([&] { SharedFolder::keepHeldChild(r.heldRemovals[0].uid); });
        QVERIFY(sync(b).heldRemovals.isEmpty());
        sync(a);
        QCOMPARE(a.with(rows), 11);
        QCOMPARE(b.dump(), a.dump());

        removeOnA();
        const SharedFolder::RoundResult again = sync(b);
        QCOMPARE(again.heldRemovals.size(), 1);
        b.with([&] { SharedFolder::removeHeldChild(again.heldRemovals[0].uid); });
        QCOMPARE(b.with(rows), 0);
        QVERIFY(sync(b).heldRemovals.isEmpty());
        QCOMPARE(b.dump(), a.dump());
    }
    // A whole data folder copied to start a second computer: opened there, the book writes as a new
    // computer, so the two never write one device's batches over each other's, and neither sets aside
    // what it had seen before the copy.
    void aCopiedDataFolderBecomesAnotherComputer() {
        QTemporaryDir folder;
        Device a, b;
        a.with([&] {
            TempStore::addChild(QStringLiteral("Ann"));
            addEntry(QStringLiteral("Ann"), QStringLiteral("Before the copy"));
            QVERIFY(SharedFolder::share(folder.path()).problem.isEmpty());
        });
        const QString from = a.root() + QStringLiteral("/Tinyra4");
        for (QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString file = it.next();
            const QString to = b.root() + QStringLiteral("/Tinyra4/") + QDir(from).relativeFilePath(file);
            QVERIFY(QDir().mkpath(QFileInfo(to).path()) && QFile::copy(file, to));
        }
        const auto id = [] { return one(QStringLiteral("SELECT id FROM DEVICE")).toString(); };
        QCOMPARE(b.with(id), a.with(id)); // opened again on the computer it was copied on
        b.with([] {
            Database::exec(
                QStringLiteral("UPDATE SHARING SET value = 'another computer' WHERE name = 'computer'"));
        });
        QVERIFY(b.with(id) != a.with(id));
        QCOMPARE(b.with([] { return one(QStringLiteral("SELECT name FROM DEVICE")).toString(); }),
                 QSysInfo::machineHostName());
        a.with([] {
            Database::exec(
                QStringLiteral("UPDATE ENTRIES SET Text = 'kitchen' WHERE Title = 'Before the copy'"));
            addEntry(QStringLiteral("Ann"), QStringLiteral("From the kitchen"));
        });
        b.with([] {
            Database::exec(
                QStringLiteral("UPDATE ENTRIES SET Title = 'Study' WHERE Title = 'Before the copy'"));
            addEntry(QStringLiteral("Ann"), QStringLiteral("From the study"));
        });
        Device c; // a third computer judges what each of the two had seen
        c.with([&] { QVERIFY(SharedFolder::join(folder.path()).problem.isEmpty()); });
        for (Device* d : {&b, &a, &b, &c})
            QVERIFY(sync(*d).skipped.isEmpty());
        QCOMPARE(b.dump(), a.dump());
        QCOMPARE(c.dump(), a.dump());
        const auto rows = [] {
            return one(QStringLiteral("SELECT group_concat(Title || ':' || Text, ',') FROM "
                                      "(SELECT Title, Text FROM ENTRIES ORDER BY Title)"))
                .toString();
        };
        QCOMPARE(c.with(rows), QStringLiteral("From the kitchen:,From the study:,Study:kitchen"));
        for (Device* d : {&a, &b, &c})
            QCOMPARE(d->with([] { return one(QStringLiteral("SELECT count(*) FROM CONFLICTS")); }),
                     QVariant(0));
    }
};

QTEST_GUILESS_MAIN(SharedFolderTest)
#include "tst_sharedfolder.moc"
