#pragma once

// One computer's copy of a shared book, for the sharing tests: a data folder of its own, opened
// only while a step runs on it (one store is open at a time in a process).
#include "core/sharing/Changes.h"
#include "core/store/Clock.h"
#include "core/store/Database.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

inline QVariant one(const QString& sql, const QVariantList& values = {}) {
    QSqlQuery q = Database::exec(sql, values);
    return q.next() ? q.value(0) : QVariant();
}

// Everything the book holds of its children, independent of the order rows were written in.
inline QString dump() {
    const char* queries[] = {
        "SELECT * FROM CHILD ORDER BY uid",
        "SELECT uid, child, list, Date, Title, Text FROM ENTRIES ORDER BY uid",
        "SELECT uid, child, Date, Height, WtLbs, WtOz, Head, WtKg, Units FROM GROWTH ORDER BY uid",
        "SELECT child, slot, Name, Date, Text FROM FAMILY ORDER BY child, slot",
        "SELECT child, slot, Date FROM TEETH ORDER BY child, slot",
        "SELECT child, sheet, field, value FROM SHEETS ORDER BY child, sheet, field",
        "SELECT child, picture, file FROM PICTURES ORDER BY child, picture",
        "SELECT entry, child, list, group_concat(file || ':' || name || ':' || taken, ' ') FROM "
        "(SELECT * FROM ENTRYPHOTOS ORDER BY entry, position) GROUP BY entry ORDER BY entry",
        "SELECT tbl, child, key, field, quote(value), stamp FROM STAMPS ORDER BY tbl, child, key, field"};
    QString text;
    for (const char* sql : queries) {
        QSqlQuery q = Database::exec(QString::fromLatin1(sql));
        while (q.next()) {
            for (int i = 0; i < q.record().count(); ++i)
                if (q.record().fieldName(i) != QLatin1String("changed"))
                    text += q.value(i).toString() + QLatin1Char('|');
            text += QLatin1Char('\n');
        }
        text += QStringLiteral("--\n");
    }
    return text;
}

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
    QString root() const { return m_dir.path(); }
    QString dump() {
        return with([] { return ::dump(); });
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

private:
    QTemporaryDir m_dir;
    qint64 m_skew;
};
