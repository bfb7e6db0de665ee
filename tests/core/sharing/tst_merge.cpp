// Sharing one book between computers: every field keeps its clock stamp, and the same changes,
// applied in any order and any number of times, give the same book everywhere.
#include "core/sharing/Changes.h"
#include "core/sharing/Conflicts.h"
#include "core/store/Clock.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "support/TempStore.h"

#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {
constexpr qint64 kDay = 24 * 3600 * 1000;

QVariant one(const QString& sql, const QVariantList& values = {}) {
    QSqlQuery q = Database::exec(sql, values);
    return q.next() ? q.value(0) : QVariant();
}

// Everything the book holds of its children, in one text that does not depend on the order rows
// were written in: the tables by their keys, an entry's photos in their order.
QString dump() {
    const QStringList queries{
        QStringLiteral("SELECT * FROM CHILD ORDER BY uid"),
        QStringLiteral("SELECT uid, child, list, Date, Title, Text FROM ENTRIES ORDER BY uid"),
        QStringLiteral(
            "SELECT uid, child, Date, Height, WtLbs, WtOz, Head, WtKg, Units FROM GROWTH ORDER BY uid"),
        QStringLiteral("SELECT child, slot, Name, Date, Text FROM FAMILY ORDER BY child, slot"),
        QStringLiteral("SELECT child, slot, Date FROM TEETH ORDER BY child, slot"),
        QStringLiteral("SELECT child, sheet, field, value FROM SHEETS ORDER BY child, sheet, field"),
        QStringLiteral("SELECT child, picture, file FROM PICTURES ORDER BY child, picture"),
        QStringLiteral(
            "SELECT entry, child, list, group_concat(file || ':' || name || ':' || taken, ' ') FROM "
            "(SELECT * FROM ENTRYPHOTOS ORDER BY entry, position) GROUP BY entry ORDER BY entry"),
        QStringLiteral(
            "SELECT tbl, child, key, field, quote(value), stamp FROM STAMPS ORDER BY tbl, child, key, "
            "field")};
    QString text;
    for (const QString& sql : queries) {
        QSqlQuery q = Database::exec(sql);
        const int columns = q.record().count();
        while (q.next()) {
            for (int i = 0; i < columns; ++i)
                if (q.record().fieldName(i) != QLatin1String("changed"))
                    text += q.value(i).toString() + QLatin1Char('|');
            text += QLatin1Char('\n');
        }
        text += QStringLiteral("--\n");
    }
    return text;
}

// One computer's book, in a folder of its own; one is open at a time in a process.
class Device {
public:
    explicit Device(qint64 skew = 0) : m_skew(skew) {}
    template <class F> auto with(F f) {
        const QByteArray home = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
        Clock::setSkew(m_skew);
        Database::open();
        struct Closing {
            QByteArray home;
            ~Closing() {
                Database::close();
                Clock::setSkew(0);
                qputenv("XDG_DATA_HOME", home);
            }
        } closing{home};
        return f();
    }
    QVector<Change> changes() {
        return with([] { return Changes::localChangesSince(QString()); });
    }
    ApplyResult apply(const QVector<Change>& changes, const ApplyOptions& options = {}) {
        return with([&] { return Changes::apply(changes, options); });
    }
    // What a batch of this computer carries: its changes, its id and what it had read of the others.
    struct Batch {
        QVector<Change> changes;
        ApplyOptions options;
    };
    Batch batch() {
        return with([] {
            Batch b{Changes::localChangesSince(QString()), {}};
            b.options.writer = Clock::deviceId();
            QSqlQuery q = Database::exec(QStringLiteral("SELECT device, seen FROM PEERS"));
            while (q.next())
                b.options.writerKnew.insert(q.value(0).toString(), q.value(1).toString());
            b.options.writerKnew.insert(b.options.writer,
                                        one(QStringLiteral("SELECT max(stamp) FROM STAMPS")).toString());
            return b;
        });
    }
    ApplyResult apply(const Batch& b) { return apply(b.changes, b.options); }
    // The versions set aside, each "table|child|key|field|stamp": of the child and its sheets, or all.
    QSet<QString> setAside(bool all = false) {
        const QString tables =
            all ? QStringLiteral("SELECT tbl FROM CONFLICTS") : QStringLiteral("'CHILD', 'SHEETS'");
        return with([&] {
            QSet<QString> rows;
            QSqlQuery q = Database::exec(
                QStringLiteral("SELECT tbl || '|' || child || '|' || key || '|' || field || '|' || stamp "
                               "FROM CONFLICTS WHERE tbl IN (%1)")
                    .arg(tables));
            while (q.next())
                rows << q.value(0).toString();
            return rows;
        });
    }
    QString dump() {
        return with([] { return ::dump(); });
    }

private:
    QTemporaryDir m_dir;
    qint64 m_skew;
};

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
        const QString why = QStringLiteral("seed %1").arg(seed);
        Device a, b, c(kDay);
        a.with(makeBase);
        const QVector<Change> base = a.changes();
        for (Device* d : {&b, &c})
            QVERIFY2(d->apply(base).refused.isEmpty(), qPrintable(why));
        QCOMPARE(b.dump(), a.dump());
        QVector<Change> all;
        for (int round = 0; round < 3; ++round)
            for (int i = 0; i < 3; ++i) {
                Device* d = std::array<Device*, 3>{&a, &b, &c}[size_t(i)];
                d->with([&] {
                    for (int n = 0; n < 15; ++n)
                        randomEdit(rng, i);
                });
            }
        for (Device* d : {&a, &b, &c})
            all += d->changes();

        QString expected;
        for (int order = 0; order < 6; ++order) {
            QVector<Change> shuffled = all;
            std::shuffle(shuffled.begin(), shuffled.end(), rng);
            shuffled += shuffled.mid(0, int(rng.bounded(shuffled.size())));
            Device fresh;
            const int cut = int(rng.bounded(shuffled.size()));
            QVERIFY2(fresh.apply(shuffled.mid(0, cut)).refused.isEmpty(), qPrintable(why));
            QVERIFY2(fresh.apply(shuffled.mid(cut)).refused.isEmpty(), qPrintable(why));
            const QString book = fresh.dump();
            if (order == 0)
                expected = book;
            QVERIFY2(book == expected, qPrintable(why + QStringLiteral(", order %1").arg(order)));
            // Applying everything again changes nothing and sets nothing aside.
            const ApplyResult again = fresh.apply(all);
            QCOMPARE(again.taken, 0);
            QCOMPARE(again.setAside, 0);
            QVERIFY2(fresh.dump() == expected, qPrintable(why));
        }
        // Each computer reads the others' batches. Every version of the child's information or of
        // a sheet that lost to one made side by side is set aside on every computer, and only those:
        // the base each computer had read is not.
        std::array<Device::Batch, 3> batches{a.batch(), b.batch(), c.batch()};
        const QString baseNewest =
            std::max_element(base.begin(), base.end(), [](const Change& x, const Change& y) {
                return x.stamp < y.stamp;
            })->stamp;
        QHash<QString, QVector<Change>> versions;
        for (const Change& ch : std::as_const(all))
            if ((ch.table == QLatin1String("CHILD") || ch.table == QLatin1String("SHEETS")) &&
                !ch.field.isEmpty())
                versions[QStringList{ch.table, ch.child, ch.key, ch.field}.join(QLatin1Char('|'))] << ch;
        QSet<QString> lost;
        for (auto it = versions.cbegin(); it != versions.cend(); ++it) {
            const Change kept = *std::max_element(
                it->begin(), it->end(), [](const Change& x, const Change& y) { return x.stamp < y.stamp; });
            for (const Change& v : *it)
                if (v.stamp > baseNewest && v.stamp != kept.stamp &&
                    v.value.toString() != kept.value.toString())
                    lost << it.key() + QLatin1Char('|') + v.stamp;
        }
        for (int i = 0; i < 3; ++i) {
            Device* d = std::array<Device*, 3>{&a, &b, &c}[size_t(i)];
            for (int j = 0; j < 3; ++j)
                if (j != i)
                    QVERIFY2(d->apply(batches[size_t(j)]).refused.isEmpty(), qPrintable(why));
            QVERIFY2(d->dump() == expected, qPrintable(why));
            QVERIFY2(d->setAside() == lost, qPrintable(why + QStringLiteral(", computer %1").arg(i)));
            // Read again, the batches set nothing aside twice.
            const QSet<QString> before = d->setAside(true);
            for (int j = 0; j < 3; ++j)
                if (j != i)
                    QCOMPARE(d->apply(batches[size_t(j)]).setAside, 0);
            QCOMPARE(d->setAside(true), before);
        }
    }

    // From one book, two computers edit different fields of one entry and of the child and add a
    // photo each to another entry: after each applied the other's changes both have everything.
    void editsOfTwoComputersAreBothKept() {
        Device a, b;
        a.with(makeBase);
        b.apply(a.changes());
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
        const QVector<Change> fromA = a.changes(), fromB = b.changes();
        a.apply(fromB);
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
    }

    // A removal wins over an edit made before it and loses to one made after it, which brings the
    // whole record back.
    void aRemovalWinsOverOlderEditsOnly() {
        Device a, past(-kDay), future(kDay);
        a.with(makeBase);
        for (Device* d : {&past, &future})
            d->apply(a.changes());
        const QString uid = a.with([] { return entryUid(0); });
        a.with([&] { Database::exec(QStringLiteral("DELETE FROM ENTRIES WHERE uid = ?"), {uid}); });
        for (Device* d : {&past, &future})
            d->with([&] {
                Database::exec(QStringLiteral("UPDATE ENTRIES SET Title = 'edited' WHERE uid = ?"), {uid});
            });
        const QVector<Change> removal = a.changes();
        past.apply(removal);
        future.apply(removal);
        QCOMPARE(past.with([&] {
            return one(QStringLiteral("SELECT count(*) FROM ENTRIES WHERE uid = ?"), {uid});
        }),
                 QVariant(0));
        QCOMPARE(future.with([&] {
            return one(QStringLiteral("SELECT Title || Text FROM ENTRIES WHERE uid = ?"), {uid});
        }),
                 QVariant(QStringLiteral("editedremarks")));
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
        const Device::Batch fromA = a.batch(), fromB = b.batch();
        QCOMPARE(a.apply(fromB).setAside, 1);
        QCOMPARE(b.apply(fromA).setAside, 1);
        QCOMPARE(a.dump(), b.dump());
        for (Device* d : {&a, &b})
            d->with([&] {
                QCOMPARE(title(), QVariant(QStringLiteral("Title of B")));
                const QVector<Conflicts::Pair> pairs = Conflicts::open();
                QCOMPARE(pairs.size(), 1);
                QCOMPARE(pairs[0].what, QStringLiteral("Journal entry \u201cTitle of B\u201d of Ann"));
                QCOMPARE(pairs[0].setAside.fields, QStringList{QStringLiteral("Title")});
                QCOMPARE(pairs[0].setAside.values, QVariantList{QStringLiteral("Title of A")});
                QCOMPARE(pairs[0].kept.values, QVariantList{QStringLiteral("Title of B")});
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

    // A child removed on A is held on B and C: C applies the removal later, B keeps the child,
    // whose new stamps bring it back, entries and all, on A and C.
    void aChildRemovalIsHeld() {
        Device a, b, c;
        a.with(makeBase);
        b.apply(a.batch());
        c.apply(a.batch());
        const auto count = [] {
            return one(QStringLiteral("SELECT count(*) FROM CHILD")).toInt() * 10 +
                   one(QStringLiteral("SELECT count(*) FROM ENTRIES")).toInt();
        };
        a.with([] {
            for (const QString& t : Schema::childTables())
                Database::exec(QStringLiteral("DELETE FROM %1 WHERE child = 'Ann'").arg(t));
            Database::exec(QStringLiteral("DELETE FROM CHILD WHERE FirstName = 'Ann'"));
        });
        const Device::Batch removal = a.batch();
        QCOMPARE(a.with(count), 0);
        ApplyOptions holding = removal.options;
        holding.holdChildRemovals = true;
        QVector<Change> held;
        for (Device* d : {&b, &c}) {
            const ApplyResult r = d->apply(removal.changes, holding);
            QCOMPARE(r.held.size(), 3); // the child and its two entries
            QCOMPARE(d->with(count), 12);
            held = r.held;
        }
        QCOMPARE(c.apply(held).taken, 3);
        QCOMPARE(c.with(count), 0);
        // Kept: new stamps for the child, and the held removals stored where they lose.
        b.with([] { Changes::restampChild(one(QStringLiteral("SELECT uid FROM CHILD")).toString()); });
        QCOMPARE(b.apply(held).taken, 3);
        QCOMPARE(b.with(count), 12);
        const Device::Batch kept = b.batch();
        a.apply(kept);
        c.apply(kept);
        QCOMPARE(a.with(count), 12);
        QCOMPARE(a.dump(), b.dump());
        QCOMPARE(c.dump(), b.dump());
    }

    // A change that cannot be placed is refused with its reason, and nothing of its call is kept.
    void aRefusedChangeLeavesTheBookAsItWas() {
        TempStore store;
        makeBase();
        const QString child = one(QStringLiteral("SELECT uid FROM CHILD")).toString();
        const QString stamp = Clock::next();
        const Change good{QStringLiteral("CHILD"), child, QString(), QStringLiteral("Hospital"),
                          QStringLiteral("X"),     stamp};
        const struct {
            Change bad;
            const char* reason;
        } cases[] = {
            {{QStringLiteral("SECRETS"), child, QString(), QStringLiteral("a"), 1, stamp},
             "no table SECRETS"},
            {{QStringLiteral("CHILD"), child, QString(), QStringLiteral("Shoe"), 1, stamp}, "no field Shoe"},
            {{QStringLiteral("FAMILY"), child, QStringLiteral("15"), QStringLiteral("Name"),
              QStringLiteral("x"), stamp},
             "1 to 14"},
            {{QStringLiteral("ENTRIES"), child, QString(32, QLatin1Char('a')), QStringLiteral("list"), 9,
              stamp},
             "from 0 to 5"},
            {{QStringLiteral("CHILD"), child, QString(), QStringLiteral("Hospital"),
              QString(51, QLatin1Char('x')), stamp},
             "keeps 50 characters"},
            {{QStringLiteral("CHILD"), child, QString(), QStringLiteral("Hospital"), QStringLiteral("x"),
              QStringLiteral("tomorrow")},
             "no clock stamp"},
        };
        const QString before = dump();
        for (const auto& c : cases) {
            const ApplyResult r = Changes::apply({good, c.bad});
            QCOMPARE(r.refused.size(), 1);
            QVERIFY2(r.refused.first().reason.contains(QLatin1String(c.reason)),
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
             QStringLiteral(
                 "INSERT INTO ENTRIES (child, list, Date, Title, Text) VALUES ('Ann', 2, '', 'Hi', '')")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        store.open();
        const QString device = one(QStringLiteral("SELECT id FROM DEVICE")).toString();
        QCOMPARE(device.size(), 32);
        QCOMPARE(one(QStringLiteral("SELECT length(uid) FROM CHILD")), QVariant(32));
        QCOMPARE(one(QStringLiteral("SELECT stamp FROM STAMPS WHERE tbl = 'CHILD' AND field = 'Hospital'")),
                 QVariant(QStringLiteral("2020-01-02T03:04:05.678Z.0000.") + device));
        QCOMPARE(one(QStringLiteral("SELECT count(*) FROM STAMPS WHERE tbl = 'ENTRIES'")), QVariant(4));
        const QString before = one(QStringLiteral("SELECT max(stamp) FROM STAMPS")).toString();
        Database::exec(QStringLiteral("UPDATE CHILD SET Hospital = 'General'"));
        const QVector<Change> since = Changes::localChangesSince(before);
        QCOMPARE(since.size(), 1);
        QCOMPARE(since.first().value, QVariant(QStringLiteral("General")));
    }
};

QTEST_GUILESS_MAIN(MergeTest)
#include "tst_merge.moc"
