// Sharing one book between computers: every field keeps its clock stamp, and the same changes,
// applied in any order and any number of times, give the same book everywhere.
#include "core/sharing/Conflicts.h"
#include "core/store/Schema.h"
#include "support/SharedBook.h"
#include "support/TempStore.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <algorithm>

namespace {
constexpr qint64 kDay = 24 * 3600 * 1000;

// The versions set aside on a computer, each "table|child|key|field|stamp"; all, or only of the
// child and its sheets.
QSet<QString> setAside(Device& d, bool all = false) {
    return d.with([&] {
        QSet<QString> rows;
        QSqlQuery q = Database::exec(
            QStringLiteral("SELECT tbl || '|' || child || '|' || key || '|' || field || '|' || stamp FROM "
                           "CONFLICTS WHERE %1")
                .arg(all ? QStringLiteral("1") : QStringLiteral("tbl IN ('CHILD', 'SHEETS')")));
        while (q.next())
            rows << q.value(0).toString();
        return rows;
    });
}

QString entryUid(int n) {
    return one(QStringLiteral("SELECT uid FROM ENTRIES ORDER BY seq LIMIT 1 OFFSET ?"), {n}).toString();
}

// What the program does when an entry's photos change: the entry's photos stored again, in order.
void storePhotos(const QString& entry, const QStringList& files) {
    Database::exec(QStringLiteral("DELETE FROM ENTRYPHOTOS WHERE entry = ?"), {entry});
    for (int i = 0; i < files.size(); ++i)
        Database::exec(
            QStringLiteral("INSERT INTO ENTRYPHOTOS (child, list, entry, position, file, name, taken) "
                           "SELECT child, list, uid, ?, ?, ?, '' FROM ENTRIES WHERE uid = ?"),
            {i, files[i], QStringLiteral("IMG_%1.jpg").arg(i), entry});
}
QStringList photosOf(const QString& entry) {
    QStringList files;
    QSqlQuery q = Database::exec(
        QStringLiteral("SELECT file FROM ENTRYPHOTOS WHERE entry = ? ORDER BY position"), {entry});
    while (q.next())
        files << q.value(0).toString();
    return files;
}

// A book with Ann and two journal entries.
void makeBase() {
    TempStore::addChild(QStringLiteral("Ann"), QString(), QStringLiteral("Smith"));
    for (const char* title : {"First smile", "First tooth"})
        Database::exec(
            QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES ('Ann', 2, "
                           "'01-02-24', ?, 'remarks')"),
            {QString::fromLatin1(title)});
}

// One random edit of the kinds a family makes.
void randomEdit(QRandomGenerator& rng, int device) {
    const QString child = one(QStringLiteral("SELECT FirstName FROM CHILD ORDER BY uid LIMIT 1")).toString();
    const int entries = one(QStringLiteral("SELECT count(*) FROM ENTRIES")).toInt();
    const QString entry = entries ? entryUid(int(rng.bounded(entries))) : QString();
    const QString word = QStringLiteral("d%1-%2").arg(device).arg(rng.bounded(1000));
    const QStringList pool{QStringLiteral("aa/1.jpg"), QStringLiteral("bb/2.jpg"), QStringLiteral("cc/3.jpg"),
                           QStringLiteral("dd/4.png")};
    switch (rng.bounded(9)) {
    case 0:
        Database::exec(QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES (?, ?, "
                                      "'02-03-24', ?, '')"),
                       {child, int(rng.bounded(6)), word});
        break;
    case 1:
        if (!entry.isEmpty())
            Database::exec(QStringLiteral("UPDATE ENTRIES SET %1 = ? WHERE uid = ?")
                               .arg(rng.bounded(2) ? QStringLiteral("Title") : QStringLiteral("Text")),
                           {word, entry});
        break;
    case 2:
        if (!entry.isEmpty()) {
            Database::exec(QStringLiteral("DELETE FROM ENTRIES WHERE uid = ?"), {entry});
            Database::exec(QStringLiteral("DELETE FROM ENTRYPHOTOS WHERE entry = ?"), {entry});
        }
        break;
    case 3:
    case 4:
        if (!entry.isEmpty()) {
            QStringList files = photosOf(entry);
            const QString file = pool.at(int(rng.bounded(pool.size())));
            if (files.contains(file))
                files.removeAll(file);
            else
                files.insert(int(rng.bounded(files.size() + 1)), file);
            storePhotos(entry, files);
        }
        break;
    case 5:
        Database::exec(QStringLiteral("UPDATE CHILD SET %1 = ? WHERE FirstName = ?")
                           .arg(rng.bounded(2) ? QStringLiteral("Hospital") : QStringLiteral("LastName")),
                       {word, child});
        break;
    case 6: {
        // The child renamed, as the program renames: the child and every record of it.
        const QString name = QStringLiteral("Ann%1").arg(device);
        Database::exec(QStringLiteral("UPDATE CHILD SET FirstName = ? WHERE FirstName = ?"), {name, child});
        for (const QString& t : Schema::childTables())
            Database::exec(QStringLiteral("UPDATE %1 SET child = ? WHERE child = ?").arg(t), {name, child});
        break;
    }
    case 7:
        if (rng.bounded(3) == 0)
            Database::exec(QStringLiteral("DELETE FROM FAMILY WHERE child = ? AND slot = 2"), {child});
        else
            Database::exec(
                QStringLiteral("INSERT OR REPLACE INTO FAMILY (child, slot, Name, Date, Text) VALUES "
                               "(?, 2, ?, '', '')"),
                {child, word});
        break;
    default:
        Database::exec(QStringLiteral("INSERT OR REPLACE INTO SHEETS (child, sheet, field, value) VALUES (?, "
                                      "'Pediatrician', 'Name', ?)"),
                       {child, word});
        break;
    }
}
const auto byStamp = [](const Change& x, const Change& y) { return x.stamp < y.stamp; };
} // namespace

class MergeTest : public QObject {
    Q_OBJECT
private slots:
    // Three computers edit the same book, one with its clock a day fast; their changes applied to
    // fresh books in shuffled orders, some twice and in several calls, give one book, the same as
    // each computer has once it applied the others' changes.
    void changesInAnyOrderGiveOneBook() {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator rng(seed);
        const QByteArray seedText = "seed " + QByteArray::number(seed);
        const char* why = seedText.constData();
        Device a, b, c(kDay);
        const std::array<Device*, 3> devices{&a, &b, &c};
        a.with(makeBase);
        const QVector<Change> base = a.changes();
        for (Device* d : {&b, &c})
            QVERIFY2(d->apply(base).refused.isEmpty(), why);
        QVector<Change> all;
        for (int round = 0; round < 3; ++round)
            for (int i = 0; i < 3; ++i)
                devices[size_t(i)]->with([&] {
                    for (int n = 0; n < 15; ++n)
                        randomEdit(rng, i);
                });
        for (Device* d : devices)
            all += d->changes();

        QString expected;
        for (int order = 0; order < 6; ++order) {
            QVector<Change> shuffled = all;
            std::shuffle(shuffled.begin(), shuffled.end(), rng);
            shuffled += shuffled.mid(0, int(rng.bounded(shuffled.size())));
            Device fresh;
            const int cut = int(rng.bounded(shuffled.size()));
            QVERIFY2(fresh.apply(shuffled.mid(0, cut)).refused.isEmpty(), why);
            QVERIFY2(fresh.apply(shuffled.mid(cut)).refused.isEmpty(), why);
            if (order == 0)
                expected = fresh.dump();
            QVERIFY2(fresh.dump() == expected, why);
            // Applying everything again changes nothing and sets nothing aside.
            const ApplyResult again = fresh.apply(all);
            QVERIFY2(again.taken == 0 && again.setAside == 0 && fresh.dump() == expected, why);
        }
        // Each computer reads the others' batches. Every version of the child's information or of
        // a sheet that lost to one made side by side is set aside on every computer, and only those:
        // the base each computer had read is not.
        const std::array<Device::Batch, 3> batches{a.batch(), b.batch(), c.batch()};
        const QString baseNewest = std::max_element(base.begin(), base.end(), byStamp)->stamp;
        QHash<QString, QVector<Change>> versions;
        for (const Change& ch : std::as_const(all))
            if ((ch.table == QLatin1String("CHILD") || ch.table == QLatin1String("SHEETS")) &&
                !ch.field.isEmpty())
                versions[QStringList{ch.table, ch.child, ch.key, ch.field}.join(QLatin1Char('|'))] << ch;
        QSet<QString> lost;
        for (auto it = versions.cbegin(); it != versions.cend(); ++it) {
            const Change kept = *std::max_element(it->begin(), it->end(), byStamp);
            for (const Change& v : *it)
                if (v.stamp > baseNewest && v.stamp != kept.stamp &&
                    v.value.toString() != kept.value.toString())
                    lost << it.key() + QLatin1Char('|') + v.stamp;
        }
        for (size_t i = 0; i < 3; ++i) {
            for (size_t j = 0; j < 3; ++j)
                if (j != i)
                    QVERIFY2(devices[i]->apply(batches[j]).refused.isEmpty(), why);
            QVERIFY2(devices[i]->dump() == expected, why);
            QVERIFY2(setAside(*devices[i]) == lost, why);
            // Read again, the batches set nothing aside twice.
            const QSet<QString> before = setAside(*devices[i], true);
            for (size_t j = 0; j < 3; ++j)
                if (j != i)
                    QCOMPARE(devices[i]->apply(batches[j]).setAside, 0);
            QCOMPARE(setAside(*devices[i], true), before);
        }
    }

    // From one book, two computers edit different fields of one entry and of the child and add a
    // photo each to another entry: after each applied the other's changes both have everything.
    // Then an entry removed on A wins over an edit made before it (on a computer whose clock runs
    // late) and loses to one made after it (a day fast), which brings the whole entry back.
    void editsOfTwoComputersAreBothKept() {
        Device a, b, past(-kDay), future(kDay);
        a.with(makeBase);
        for (Device* d : {&b, &past, &future})
            d->apply(a.changes());
        a.with([] {
            storePhotos(entryUid(0), {QStringLiteral("aa/a.jpg")});
            Database::exec(QStringLiteral("UPDATE ENTRIES SET Title = 'Title of A' WHERE uid = ?"),
                           {entryUid(1)});
            Database::exec(QStringLiteral("UPDATE CHILD SET Hospital = 'St Mary'"));
        });
        b.with([] {
            storePhotos(entryUid(0), {QStringLiteral("bb/b.jpg")});
            Database::exec(QStringLiteral("UPDATE ENTRIES SET Text = 'Text of B' WHERE uid = ?"),
                           {entryUid(1)});
            Database::exec(QStringLiteral("UPDATE CHILD SET LastName = 'Jones'"));
        });
        const QVector<Change> fromA = a.changes();
        a.apply(b.changes());
        b.apply(fromA);
        QCOMPARE(a.dump(), b.dump());
        a.with([] {
            QCOMPARE(photosOf(entryUid(0)),
                     (QStringList{QStringLiteral("aa/a.jpg"), QStringLiteral("bb/b.jpg")}));
            QCOMPARE(
                one(QStringLiteral("SELECT Title || '/' || Text FROM ENTRIES WHERE uid = ?"), {entryUid(1)}),
                QVariant(QStringLiteral("Title of A/Text of B")));
            QCOMPARE(one(QStringLiteral("SELECT Hospital || '/' || LastName FROM CHILD")),
                     QVariant(QStringLiteral("St Mary/Jones")));
        });

        const QString uid = a.with([] { return entryUid(0); });
        a.with([&] { Database::exec(QStringLiteral("DELETE FROM ENTRIES WHERE uid = ?"), {uid}); });
        const auto entry = [&] {
            return one(QStringLiteral("SELECT Title || Text FROM ENTRIES WHERE uid = ?"), {uid});
        };
        for (Device* d : {&past, &future}) {
            d->with([&] {
                Database::exec(QStringLiteral("UPDATE ENTRIES SET Title = 'edited' WHERE uid = ?"), {uid});
            });
            d->apply(a.changes() + b.changes());
        }
        QCOMPARE(past.with(entry), QVariant());
        QCOMPARE(future.with(entry), QVariant(QStringLiteral("editedremarks")));
        a.apply(future.changes());
        QCOMPARE(a.dump(), future.dump());
    }

    // A and B give one entry a title before either saw the other's: B's is kept everywhere, A's set
    // aside on both; chosen on A it comes back everywhere, and a title given after seeing the other's
    // sets nothing aside.
    void titlesGivenSideBySide() {
        Device a, b(kDay); // B's clock a day fast: its title is the later one
        a.with(makeBase);
        b.apply(a.batch());
        const auto setTitle = [](const char* title) {
            Database::exec(QStringLiteral("UPDATE ENTRIES SET Title = ? WHERE uid = ?"),
                           {QString::fromLatin1(title), entryUid(0)});
        };
        const auto title = [] {
            return one(QStringLiteral("SELECT Title FROM ENTRIES WHERE uid = ?"), {entryUid(0)});
        };
        a.with([&] { setTitle("Title of A"); });
        b.with([&] { setTitle("Title of B"); });
        const Device::Batch fromA = a.batch();
        QCOMPARE(a.apply(b.batch()).setAside, 1);
        QCOMPARE(b.apply(fromA).setAside, 1);
        QCOMPARE(a.dump(), b.dump());
        for (Device* d : {&a, &b})
            d->with([&] {
                QCOMPARE(title(), QVariant(QStringLiteral("Title of B")));
                const QVector<Conflicts::Pair> pairs = Conflicts::open();
                QCOMPARE(pairs.size(), 1);
                QCOMPARE(pairs[0].what, QStringLiteral("Journal entry \u201cTitle of B\u201d of Ann"));
                QCOMPARE(pairs[0].setAside.values, QVariantList{QStringLiteral("Title of A")});
            });
        a.with([] { Conflicts::useSetAside(Conflicts::open().at(0)); });
        QCOMPARE(b.apply(a.batch()).setAside, 0);
        for (Device* d : {&a, &b})
            d->with([&] {
                QCOMPARE(title(), QVariant(QStringLiteral("Title of A")));
                QVERIFY(Conflicts::open().isEmpty());
            });
        b.with([&] { setTitle("Title of B, later"); });
        QCOMPARE(a.apply(b.batch()).setAside, 0);
        QCOMPARE(a.with(title), QVariant(QStringLiteral("Title of B, later")));
    }

    // A change that cannot be placed is refused with its reason, and nothing of its call is kept.
    void aRefusedChangeLeavesTheBookAsItWas() {
        TempStore store;
        makeBase();
        const QString child = one(QStringLiteral("SELECT uid FROM CHILD")).toString();
        const QString stamp = Clock::next();
        const auto change = [&](const char* table, const QString& key, const char* field,
                                const QVariant& value, const QString& at) {
            return Change{QString::fromLatin1(table), child, key, QString::fromLatin1(field), value, at};
        };
        const std::pair<Change, const char*> cases[] = {
            {change("SECRETS", {}, "a", 1, stamp), "no table SECRETS"},
            {change("CHILD", {}, "Shoe", 1, stamp), "no field Shoe"},
            {change("FAMILY", QStringLiteral("15"), "Name", QStringLiteral("x"), stamp), "1 to 14"},
            {change("ENTRIES", QString(32, QLatin1Char('a')), "list", 9, stamp), "from 0 to 5"},
            {change("CHILD", {}, "Hospital", QString(51, QLatin1Char('x')), stamp), "keeps 50 characters"},
            {change("CHILD", {}, "Hospital", QStringLiteral("x"), QStringLiteral("tomorrow")),
             "no clock stamp"},
        };
        const QString before = dump();
        for (const auto& [bad, reason] : cases) {
            const ApplyResult r =
                Changes::apply({change("CHILD", {}, "Hospital", QStringLiteral("X"), stamp), bad});
            QCOMPARE(r.refused.size(), 1);
            QVERIFY2(r.refused.first().reason.contains(QLatin1String(reason)),
                     qPrintable(r.refused.first().reason));
            QCOMPARE(dump(), before);
        }
    }

    // A book of the version before sharing gets its device, its children their identity and every
    // field a stamp of its record's time of change, older than any edit made after.
    void anOlderBookIsStampedAtItsFirstOpen() {
        TempStore store(false);
        const QString problem = store.writeOlderStore(
            6, // the version before sharing
            {QStringLiteral("INSERT INTO CHILD (FirstName, Hospital) VALUES ('Ann', 'St Mary')"),
             QStringLiteral("UPDATE CHILD SET changed = '2020-01-02T03:04:05.678Z'"),
             QStringLiteral("INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES ('Ann', 2, '', "
                            "'Hi', ''), ('Ann', 2, '', 'Ho', '')"),
             // Hi, the first made, was edited last.
             QStringLiteral(
                 "UPDATE ENTRIES SET changed = CASE Title WHEN 'Hi' THEN '2020-01-02T03:04:05.678Z' "
                 "ELSE '2019-01-01T00:00:00.000Z' END")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        store.open();
        const QString device = one(QStringLiteral("SELECT id FROM DEVICE")).toString();
        QCOMPARE(device.size(), 32);
        QCOMPARE(one(QStringLiteral("SELECT length(uid) FROM CHILD")), QVariant(32));
        QCOMPARE(one(QStringLiteral("SELECT stamp FROM STAMPS WHERE tbl = 'CHILD' AND field = 'Hospital'")),
                 QVariant(QStringLiteral("2020-01-02T03:04:05.678Z.0000.") + device));
        QCOMPARE(one(QStringLiteral("SELECT count(*) FROM STAMPS WHERE tbl = 'ENTRIES'")), QVariant(8));
        // The entries keep the order they were made in (the stamps of their lists), whatever their
        // times of change, with stamps that another computer takes.
        QCOMPARE(
            one(QStringLiteral("SELECT group_concat(Title) FROM (SELECT e.Title FROM ENTRIES e JOIN STAMPS "
                               "s ON s.key = e.uid AND s.field = 'list' ORDER BY s.stamp)")),
            QVariant(QStringLiteral("Hi,Ho")));
        QSqlQuery order = Database::exec(QStringLiteral("SELECT stamp FROM STAMPS WHERE field = 'list'"));
        while (order.next())
            QVERIFY2(Clock::isStamp(order.value(0).toString()), qPrintable(order.value(0).toString()));
        const QString before = one(QStringLiteral("SELECT max(stamp) FROM STAMPS")).toString();
        Database::exec(QStringLiteral("UPDATE CHILD SET Hospital = 'General'"));
        const QVector<Change> since = Changes::localChangesSince(before);
        QCOMPARE(since.size(), 1);
        QCOMPARE(since.first().value, QVariant(QStringLiteral("General")));
    }
};

QTEST_GUILESS_MAIN(MergeTest)
#include "tst_merge.moc"
