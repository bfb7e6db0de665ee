// Sharing one book between computers: every field keeps its clock stamp, and the same changes,
// applied in any order and any number of times, give the same book everywhere.
#include "core/sharing/Changes.h"
#include "core/store/Clock.h"
#include "core/store/Database.h"
#include "core/store/Schema.h"
#include "support/TempStore.h"

#include <QRandomGenerator>
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
    ApplyResult apply(const QVector<Change>& changes) {
        return with([&] { return Changes::apply(changes); });
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
            // Applying everything again changes nothing.
            QCOMPARE(fresh.apply(all).taken, 0);
            QVERIFY2(fresh.dump() == expected, qPrintable(why));
        }
        for (Device* d : {&a, &b, &c}) {
            d->apply(all);
            QVERIFY2(d->dump() == expected, qPrintable(why));
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
