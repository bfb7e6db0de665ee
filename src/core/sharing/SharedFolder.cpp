#include "core/sharing/SharedFolder.h"

#include "core/sharing/Changes.h"
#include "core/store/Clock.h"
#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "core/store/StoreError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QMultiMap>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>
#include <QSysInfo>

#include <algorithm>
#include <cmath>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

// The folder's files (docs/SHARED-FOLDER.md, "The folder's files"):
//   Tinyra Shared Book/shared-book.json                 the format and its version
//   Tinyra Shared Book/devices/<id>/device.json         a computer's name and what it has read
//   Tinyra Shared Book/devices/<id>/000001.json ...     its batches of changes, append-only
//   Tinyra Shared Book/photos/<sha-256>.<suffix>        the photos the batches name
// Each computer writes only under its own device folder and adds photos no one else writes
// differently (a photo is named by its content), so a sync program never sees two writers of a file.
namespace {
const int kFormatVersion = 1;
const QString kBookFormat = QStringLiteral("tinyra-shared-book");
const QString kDeviceFormat = QStringLiteral("tinyra-device");
const QString kBatchFormat = QStringLiteral("tinyra-batch");
// A batch larger than a book could hold is no batch of ours.
constexpr qint64 kLargestBatch = 64LL * 1024 * 1024;
constexpr int kMostChanges = 1000000;
constexpr qint64 kLargestPhoto = 512LL * 1024 * 1024;
constexpr int kChangesPerBatch = 20000;
// A batch file: `{"checksum":"<64 hex>","batch":<body>}` and a line end; the checksum is the
// SHA-256 of the body's bytes exactly as they stand in the file.
const QByteArray kHead = QByteArrayLiteral("{\"checksum\":\"");
const QByteArray kMiddle = QByteArrayLiteral("\",\"batch\":");
const QByteArray kTail = QByteArrayLiteral("}\n");

QString get(const QString& name) {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT value FROM SHARING WHERE name = ?"), {name});
    return q.next() ? q.value(0).toString() : QString();
}
void set(const QString& name, const QString& value) {
    if (value.isEmpty())
        Database::exec(QStringLiteral("DELETE FROM SHARING WHERE name = ?"), {name});
    else
        Database::exec(QStringLiteral("INSERT OR REPLACE INTO SHARING (name, value) VALUES (?, ?)"),
                       {name, value});
}

bool isDeviceId(const QString& s) {
    static const QRegularExpression id(QStringLiteral("^[0-9a-f]{32}$"));
    return id.match(s).hasMatch();
}

// A photo's name in the folder ("<sha>.jpg") from its name in the book ("ab/<sha>.jpg").
QString folderPhotoName(const QString& bookName) {
    return bookName.mid(3);
}

// The photo a change names, in the book's form, or nothing (a removal needs no file).
QString photoOf(const Change& c) {
    if (c.field.isEmpty())
        return QString();
    QString name;
    if (c.table == QLatin1String("ENTRYPHOTOS"))
        name = c.key.section(QLatin1Char('/'), 1);
    else if (c.table == QLatin1String("PICTURES") && c.field == QLatin1String("file"))
        name = c.value.toString();
    // A name that is not a photo's never becomes a path.
    return PhotoFiles::isPhotoName(name) ? name : QString();
}

// Writes `bytes` to `path` whole or not at all: a temporary name readers ignore, flushed to the
// disk, then renamed over the target.
bool writeWhole(const QString& path, const QByteArray& bytes, QString* why) {
    const QFileInfo target(path);
    const QString temporary =
        target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".tmp");
    QFile out(temporary);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size() ||
        !out.flush()) {
        *why = out.errorString();
        out.close();
        QFile::remove(temporary);
        return false;
    }
#ifdef Q_OS_UNIX
    if (::fsync(out.handle()) != 0) {
        *why = QStringLiteral("The file could not be written to the disk.");
        out.close();
        QFile::remove(temporary);
        return false;
    }
#endif
    out.close();
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        *why = QStringLiteral("The file could not be renamed.");
        QFile::remove(temporary);
        return false;
    }
#ifdef Q_OS_UNIX
    const int dir = ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
#endif
    return true;
}

QJsonValue toJson(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return QJsonValue::Null;
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QJsonValue(v.toLongLong());
    case QMetaType::Double:
        return QJsonValue(v.toDouble());
    default:
        return QJsonValue(v.toString());
    }
}
QVariant fromJson(const QJsonValue& v) {
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (std::floor(d) == d && std::fabs(d) < 9e15)
            return QVariant(qlonglong(d));
        return QVariant(d);
    }
    if (v.isString())
        return QVariant(v.toString());
    return QVariant();
}

// The batch numbers of a device folder: its batches and their conflict copies, by number.
struct BatchFiles {
    QMap<int, QString> batches;             // number: file name
    QMultiMap<int, QString> conflictCopies; // number: the sync program's copies
};
BatchFiles batchFilesIn(const QString& deviceFolder) {
    static const QRegularExpression plain(QStringLiteral("^(\\d{6,9})\\.json$"));
    static const QRegularExpression copy(QStringLiteral("^(\\d{6,9})[. ].*conflict.*\\.json$"),
                                         QRegularExpression::CaseInsensitiveOption);
    BatchFiles files;
    const QStringList names = QDir(deviceFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (name.startsWith(QLatin1Char('.')) || name.endsWith(QLatin1String(".tmp")))
            continue;
        if (const auto m = plain.match(name); m.hasMatch())
            files.batches.insert(m.captured(1).toInt(), name);
        else if (const auto c = copy.match(name);
                 c.hasMatch() && (name.contains(QLatin1String("sync-conflict")) ||
                                  name.contains(QLatin1String("conflicted copy"), Qt::CaseInsensitive)))
            files.conflictCopies.insert(c.captured(1).toInt(), name);
    }
    return files;
}

QString batchName(int number) {
    return QStringLiteral("%1.json").arg(number, 6, 10, QLatin1Char('0'));
}

QJsonObject readJsonObject(const QString& path, qint64 largest = 1024 * 1024) {
    QFile in(path);
    if (in.size() > largest || !in.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(in.readAll()).object();
}

// One batch read from the folder and checked.
struct Batch {
    QString device;
    int number = 0;
    Conflicts::Knowledge knew;
    QVector<Change> changes;
    QSet<QString> photosNotThere; // photos its writer named but did not have
    QString problem;              // why it cannot be taken (now)
};

Batch readBatch(const QString& path, const QString& device, int number) {
    Batch b;
    QFile in(path);
    if (in.size() > kLargestBatch) {
        b.problem = QStringLiteral("it is larger than a book can hold");
        return b;
    }
    if (!in.open(QIODevice::ReadOnly)) {
        b.problem = QStringLiteral("it cannot be opened (%1)").arg(in.errorString());
        return b;
    }
    const QByteArray bytes = in.readAll();
    const int bodyAt = int(kHead.size() + 64 + kMiddle.size());
    if (!bytes.startsWith(kHead) || bytes.mid(kHead.size() + 64, kMiddle.size()) != kMiddle ||
        !bytes.endsWith(kTail) || bytes.size() < bodyAt + kTail.size()) {
        b.problem = QStringLiteral("it is not a whole Tinyra batch (not yet arrived, or damaged)");
        return b;
    }
    const QByteArray body = bytes.mid(bodyAt, bytes.size() - bodyAt - kTail.size());
    if (QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() != bytes.mid(kHead.size(), 64)) {
        b.problem = QStringLiteral("its checksum does not match (not yet arrived, or damaged)");
        return b;
    }
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(body, &error).object();
    if (error.error != QJsonParseError::NoError ||
        o.value(QStringLiteral("format")).toString() != kBatchFormat) {
        b.problem = QStringLiteral("it is not a Tinyra batch");
        return b;
    }
    if (o.value(QStringLiteral("version")).toInt() != kFormatVersion) {
        b.problem = QStringLiteral("it was written by a later version of Tinyra");
        return b;
    }
    if (o.value(QStringLiteral("device")).toString() != device ||
        o.value(QStringLiteral("number")).toInt() != number) {
        b.problem = QStringLiteral("its device or number is not the one of its place");
        return b;
    }
    b.device = device;
    b.number = number;
    const QJsonObject knew = o.value(QStringLiteral("knew")).toObject();
    for (auto it = knew.begin(); it != knew.end(); ++it)
        if (isDeviceId(it.key()) && Clock::isStamp(it.value().toString()))
            b.knew.insert(it.key(), it.value().toString());
    for (const QJsonValue& p : o.value(QStringLiteral("photosNotThere")).toArray())
        b.photosNotThere.insert(p.toString());
    const QJsonArray changes = o.value(QStringLiteral("changes")).toArray();
    if (changes.size() > kMostChanges) {
        b.problem = QStringLiteral("it holds more changes than a book can");
        return b;
    }
    b.changes.reserve(changes.size());
    for (const QJsonValue& v : changes) {
        const QJsonArray a = v.toArray();
        if (a.size() != 6 || !a[0].isString() || !a[1].isString() || !a[2].isString() || !a[3].isString() ||
            !a[5].isString()) {
            b.problem = QStringLiteral("a change in it is malformed");
            return b;
        }
        b.changes.append({a[0].toString(), a[1].toString(), a[2].toString(), a[3].toString(), fromJson(a[4]),
                          a[5].toString()});
    }
    return b;
}

QByteArray batchBytes(int number, const QVector<Change>& changes, const Conflicts::Knowledge& knew,
                      const QStringList& photosNotThere) {
    QJsonArray list;
    for (const Change& c : changes)
        list.append(QJsonArray{c.table, c.child, c.key, c.field, toJson(c.value), c.stamp});
    QJsonObject known;
    for (auto it = knew.cbegin(); it != knew.cend(); ++it)
        known.insert(it.key(), it.value());
    QJsonObject o{{QStringLiteral("format"), kBatchFormat},
                  {QStringLiteral("version"), kFormatVersion},
                  {QStringLiteral("device"), Clock::deviceId()},
                  {QStringLiteral("number"), number},
                  {QStringLiteral("knew"), known},
                  {QStringLiteral("changes"), list}};
    if (!photosNotThere.isEmpty())
        o.insert(QStringLiteral("photosNotThere"), QJsonArray::fromStringList(photosNotThere));
    const QByteArray body = QJsonDocument(o).toJson(QJsonDocument::Compact);
    return kHead + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() + kMiddle + body +
           kTail;
}

struct Peer {
    QString name;
    int batch = 0;
    QString seen, lastChange;
};
QHash<QString, Peer> peers() {
    QHash<QString, Peer> all;
    QSqlQuery q = Database::exec(QStringLiteral("SELECT device, name, batch, seen, lastChange FROM PEERS"));
    while (q.next())
        all.insert(q.value(0).toString(),
                   {q.value(1).toString(), q.value(2).toInt(), q.value(3).toString(), q.value(4).toString()});
    return all;
}
void ensurePeer(const QString& device) {
    Database::exec(QStringLiteral("INSERT OR IGNORE INTO PEERS (device) VALUES (?)"), {device});
}

QString greatestOwnStamp() {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT max(stamp) FROM STAMPS WHERE substr(stamp, 31) = ?"),
                                 {Clock::deviceId()});
    return q.next() ? q.value(0).toString() : QString();
}

// What this computer has read of the others, and its own greatest stamp.
Conflicts::Knowledge knowledge() {
    Conflicts::Knowledge k;
    const auto all = peers();
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        if (!it.value().seen.isEmpty() && it.key() != Clock::deviceId())
            k.insert(it.key(), it.value().seen);
    if (const QString own = greatestOwnStamp(); !own.isEmpty())
        k.insert(Clock::deviceId(), own);
    return k;
}

QString hostName() {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT name FROM DEVICE"));
    const QString name = q.next() ? q.value(0).toString() : QString();
    return name.isEmpty() ? QSysInfo::machineHostName() : name;
}

QString deviceName(const QString& bookFolder, const QString& device) {
    const QString name = readJsonObject(bookFolder + QStringLiteral("/devices/%1/device.json").arg(device))
                             .value(QStringLiteral("name"))
                             .toString()
                             .simplified()
                             .left(100);
    return name.isEmpty() ? QStringLiteral("another computer") : name;
}

bool writeDeviceFile(const QString& bookFolder, QString* why) {
    const QString me = Clock::deviceId();
    QJsonObject read;
    const auto all = peers();
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        read.insert(it.key(), QJsonObject{{QStringLiteral("batch"), it.value().batch},
                                          {QStringLiteral("seen"), it.value().seen}});
    const QJsonObject o{{QStringLiteral("format"), kDeviceFormat},
                        {QStringLiteral("version"), kFormatVersion},
                        {QStringLiteral("device"), me},
                        {QStringLiteral("name"), hostName()},
                        {QStringLiteral("read"), read}};
    return writeWhole(bookFolder + QStringLiteral("/devices/%1/device.json").arg(me),
                      QJsonDocument(o).toJson(QJsonDocument::Indented), why);
}

// The held child removals, kept in SHARING 'held' as JSON until the parent decides.
struct HeldChild {
    QString uid, firstName, computer;
    QVector<Change> changes;
};
QVector<HeldChild> heldChildren() {
    QVector<HeldChild> all;
    for (const QJsonValue& v : QJsonDocument::fromJson(get(QStringLiteral("held")).toUtf8()).array()) {
        const QJsonObject o = v.toObject();
        HeldChild h{o.value(QStringLiteral("uid")).toString(),
                    o.value(QStringLiteral("firstName")).toString(),
                    o.value(QStringLiteral("computer")).toString(),
                    {}};
        for (const QJsonValue& c : o.value(QStringLiteral("changes")).toArray()) {
            const QJsonArray a = c.toArray();
            h.changes.append({a[0].toString(), a[1].toString(), a[2].toString(), a[3].toString(),
                              fromJson(a[4]), a[5].toString()});
        }
        all.append(h);
    }
    return all;
}
void keepHeld(const QVector<HeldChild>& all) {
    QJsonArray list;
    for (const HeldChild& h : all) {
        QJsonArray changes;
        for (const Change& c : h.changes)
            changes.append(QJsonArray{c.table, c.child, c.key, c.field, toJson(c.value), c.stamp});
        list.append(QJsonObject{{QStringLiteral("uid"), h.uid},
                                {QStringLiteral("firstName"), h.firstName},
                                {QStringLiteral("computer"), h.computer},
                                {QStringLiteral("changes"), changes}});
    }
    set(QStringLiteral("held"),
        list.isEmpty() ? QString() : QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact)));
}

void addHeld(const QVector<Change>& held, const QString& computer) {
    QVector<HeldChild> all = heldChildren();
    for (const Change& c : held) {
        auto it = std::find_if(all.begin(), all.end(), [&](const HeldChild& h) { return h.uid == c.child; });
        if (it == all.end()) {
            QSqlQuery q =
                Database::exec(QStringLiteral("SELECT FirstName FROM CHILD WHERE uid = ?"), {c.child});
            all.append({c.child, q.next() ? q.value(0).toString() : QString(), computer, {}});
            it = all.end() - 1;
        }
        if (!it->changes.contains(c))
            it->changes.append(c);
    }
    keepHeld(all);
}

QVector<SharedFolder::RoundResult::Held> heldForResult() {
    QVector<SharedFolder::RoundResult::Held> out;
    for (const HeldChild& h : heldChildren())
        out.append({h.firstName, h.uid, h.computer});
    return out;
}

QString bookFolderNow() {
    return get(QStringLiteral("folder"));
}

class Round {
public:
    Round(const QString& bookFolder, const SharedFolder::Progress& progress,
          SharedFolder::RoundResult& result)
        : m_folder(bookFolder), m_progress(progress), m_result(result) {}

    // Every batch of the other computers not read yet (and this one's own past what the book
    // knows of them), in number order per computer. Returns false when cancelled.
    bool read() {
        const QString me = Clock::deviceId();
        const auto known = peers();
        struct Todo {
            QString device;
            BatchFiles files;
            int from;
        };
        QVector<Todo> todo;
        qint64 total = 0;
        const QStringList devices = QDir(m_folder + QStringLiteral("/devices"))
                                        .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& device : devices) {
            if (!isDeviceId(device))
                continue; // not a computer's folder: never read
            Todo t{device, batchFilesIn(m_folder + QStringLiteral("/devices/") + device),
                   known.value(device).batch};
            for (auto it = t.files.batches.cbegin(); it != t.files.batches.cend(); ++it)
                total += it.key() > t.from;
            total += t.files.conflictCopies.size();
            todo.append(t);
        }
        qint64 done = 0;
        for (const Todo& t : todo) {
            const QString name = t.device == me ? QString() : deviceName(m_folder, t.device);
            int next = t.from + 1;
            for (;; ++next) {
                if (m_progress && !m_progress(done, total)) {
                    m_result.cancelled = true;
                    return false;
                }
                const auto file = t.files.batches.constFind(next);
                if (file == t.files.batches.cend()) {
                    if (!t.files.batches.isEmpty() && t.files.batches.lastKey() > next)
                        skip(t.device, batchName(next), QStringLiteral("it has not arrived yet"));
                    break;
                }
                ++done;
                if (!take(t.device, name, next, *file, true))
                    break;
            }
            // The sync program's copies: more batches of the same computer, taken when whole.
            for (auto it = t.files.conflictCopies.cbegin(); it != t.files.conflictCopies.cend(); ++it) {
                if (m_progress && !m_progress(done, total)) {
                    m_result.cancelled = true;
                    return false;
                }
                ++done;
                if (it.key() < next)
                    take(t.device, name, it.key(), it.value(), false);
            }
        }
        return true;
    }

    // This computer's changes not written yet, in new batches, with the photos they name. While
    // the book's first writing (sharing, joining) is unfinished, every change the book holds that the
    // folder may not have, whoever made it: SHARING 'everythingFrom' holds how far it came, so that
    // a cancelled one goes on at the next round.
    bool write(const QHash<QString, QString>& readFromFolder = {}) {
        const QString me = Clock::deviceId();
        const QString pass = get(QStringLiteral("everythingFrom"));
        const bool everything = !pass.isEmpty();
        QVector<Change> changes;
        if (everything) {
            const QString from = pass.mid(5); // after "from:"
            // Sifted where they are: every change of a book is held at once, not twice.
            changes = Changes::allChanges();
            changes.removeIf([&](const Change& c) {
                const QString device = Clock::deviceOf(c.stamp);
                return c.stamp <= from || (device != me && c.stamp <= readFromFolder.value(device));
            });
        } else {
            changes = Changes::localChangesSince(get(QStringLiteral("written")));
        }
        const QString own = m_folder + QStringLiteral("/devices/") + me;
        if (!QDir().mkpath(own) || !QDir().mkpath(m_folder + QStringLiteral("/photos"))) {
            m_result.problem = QStringLiteral("The shared folder cannot be written: %1")
                                   .arg(QDir::toNativeSeparators(m_folder));
            return false;
        }
        for (qsizetype at = 0; at < changes.size(); at += kChangesPerBatch) {
            if (m_progress && !m_progress(at, changes.size())) {
                m_result.cancelled = true;
                return false;
            }
            const QVector<Change> part = changes.mid(at, kChangesPerBatch);
            QStringList notThere;
            if (!copyPhotos(part, &notThere))
                return false;
            // The next number comes from the folder: a book restored from a backup never writes a
            // number again.
            const BatchFiles files = batchFilesIn(own);
            int number = qMax(files.batches.isEmpty() ? 0 : files.batches.lastKey(), peers().value(me).batch);
            if (!files.conflictCopies.isEmpty())
                number = qMax(number, files.conflictCopies.lastKey());
            ++number;
            QString why;
            if (!writeWhole(own + QLatin1Char('/') + batchName(number),
                            batchBytes(number, part, knowledge(), notThere), &why)) {
                m_result.problem = QStringLiteral("A file in the shared folder could not be written: %1 (%2)")
                                       .arg(batchName(number), why);
                return false;
            }
            QString greatestOwn = get(QStringLiteral("written"));
            for (const Change& c : part)
                if (Clock::deviceOf(c.stamp) == me)
                    greatestOwn = qMax(greatestOwn, c.stamp);
            Transaction tx;
            set(QStringLiteral("written"), greatestOwn);
            if (everything)
                set(QStringLiteral("everythingFrom"), QStringLiteral("from:") + part.last().stamp);
            ensurePeer(me);
            Database::exec(QStringLiteral("UPDATE PEERS SET batch = ?, name = ? WHERE device = ?"),
                           {number, hostName(), me});
            tx.commit();
            m_result.written += int(part.size());
        }
        set(QStringLiteral("everythingFrom"), QString());
        QString why;
        if (!writeDeviceFile(m_folder, &why)) {
            m_result.problem =
                QStringLiteral("A file in the shared folder could not be written: device.json (%1)").arg(why);
            return false;
        }
        return true;
    }

    // The greatest stamp of each computer read from the folder in this round.
    const QHash<QString, QString>& readFromFolder() const { return m_read; }

private:
    void skip(const QString& device, const QString& file, const QString& why) {
        m_result.skipped << QStringLiteral("%1/%2: %3").arg(device.left(8), file, why);
    }

    // Reads, checks and applies one batch; false when it must wait (it is named in the skipped).
    bool take(const QString& device, const QString& name, int number, const QString& file, bool advance) {
        const QString path = m_folder + QStringLiteral("/devices/%1/%2").arg(device, file);
        const Batch b = readBatch(path, device, number);
        if (!b.problem.isEmpty()) {
            skip(device, file, b.problem);
            return false;
        }
        // Its photos first: a batch whose photo has not arrived waits for it.
        for (const Change& c : b.changes) {
            const QString photo = photoOf(c);
            if (photo.isEmpty() || QFileInfo::exists(PhotoFiles::pathOf(photo)) ||
                b.photosNotThere.contains(photo))
                continue;
            const QString there = m_folder + QStringLiteral("/photos/") + folderPhotoName(photo);
            QFile in(there);
            if (!in.exists()) {
                skip(device, file, QStringLiteral("it waits for the photo %1").arg(folderPhotoName(photo)));
                return false;
            }
            if (in.size() > kLargestPhoto || !in.open(QIODevice::ReadOnly)) {
                skip(device, file, QStringLiteral("the photo %1 cannot be read").arg(folderPhotoName(photo)));
                return false;
            }
            try {
                PhotoFiles::storeBytes(photo, in.readAll());
            } catch (const StoreError& e) {
                if (e.kind() == StoreError::Kind::DiskFull)
                    throw;
                skip(device, file,
                     QStringLiteral("the photo %1 is not the photo its name says")
                         .arg(folderPhotoName(photo)));
                return false;
            }
        }
        const QString me = Clock::deviceId();
        const ApplyResult applied = Changes::apply(b.changes, {device, b.knew, true});
        if (!applied.refused.isEmpty()) {
            skip(device, file, applied.refused.first().reason);
            return false;
        }
        QHash<QString, QString> greatest;
        for (const Change& c : b.changes) {
            QString& g = greatest[Clock::deviceOf(c.stamp)];
            g = qMax(g, c.stamp);
        }
        Transaction tx;
        for (auto it = greatest.cbegin(); it != greatest.cend(); ++it) {
            ensurePeer(it.key());
            Database::exec(QStringLiteral("UPDATE PEERS SET seen = max(seen, ?) WHERE device = ?"),
                           {it.value(), it.key()});
            m_read[it.key()] = qMax(m_read.value(it.key()), it.value());
        }
        ensurePeer(device);
        if (advance)
            Database::exec(QStringLiteral("UPDATE PEERS SET batch = max(batch, ?) WHERE device = ?"),
                           {number, device});
        if (device == me) {
            // A backup restored: what this computer wrote before is in the folder already.
            if (const QString g = greatest.value(me); g > get(QStringLiteral("written")))
                set(QStringLiteral("written"), g);
        } else {
            Database::exec(QStringLiteral("UPDATE PEERS SET name = ? WHERE device = ?"), {name, device});
            if (applied.taken > 0) {
                Database::exec(QStringLiteral("UPDATE PEERS SET lastChange = ? WHERE device = ?"),
                               {QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs), device});
                m_result.applied += applied.taken;
                if (!m_result.fromComputers.contains(name))
                    m_result.fromComputers << name;
            }
        }
        if (!applied.held.isEmpty())
            addHeld(applied.held, name.isEmpty() ? hostName() : name);
        tx.commit();
        m_result.renamedChildren << applied.renamedChildren;
        return true;
    }

    // Copies the photos `changes` name to the folder, once by content.
    bool copyPhotos(const QVector<Change>& changes, QStringList* notThere) {
        QSet<QString> done;
        for (const Change& c : changes) {
            const QString photo = photoOf(c);
            if (photo.isEmpty() || done.contains(photo))
                continue;
            done.insert(photo);
            const QString target = m_folder + QStringLiteral("/photos/") + folderPhotoName(photo);
            if (QFileInfo::exists(target))
                continue;
            const QByteArray bytes = PhotoFiles::read(photo);
            if (bytes.isEmpty()) {
                *notThere << photo; // gone from this computer: the others do not wait for it
                continue;
            }
            QString why;
            if (!writeWhole(target, bytes, &why)) {
                m_result.problem = QStringLiteral("A file in the shared folder could not be written: %1 (%2)")
                                       .arg(folderPhotoName(photo), why);
                return false;
            }
        }
        return true;
    }

    QString m_folder;
    const SharedFolder::Progress& m_progress;
    SharedFolder::RoundResult& m_result;
    QHash<QString, QString> m_read;
};

QString missing(const QString& folder) {
    return QStringLiteral("The shared folder cannot be found: %1").arg(QDir::toNativeSeparators(folder));
}

// Keeps the round's problem (or its first skipped file) for the window to show.
void remember(const SharedFolder::RoundResult& r) {
    QString problem = r.problem;
    if (problem.isEmpty() && !r.skipped.isEmpty())
        problem = QStringLiteral("A file in the shared folder could not be read: %1")
                      .arg(r.skipped.first().section(QStringLiteral(": "), 0, 0));
    set(QStringLiteral("problem"), problem);
}

bool makeBookFolder(const QString& bookFolder, QString* problem) {
    const QString marker = bookFolder + QStringLiteral("/shared-book.json");
    QString why;
    if (!QDir().mkpath(bookFolder + QStringLiteral("/devices")) ||
        !QDir().mkpath(bookFolder + QStringLiteral("/photos")) ||
        (!QFileInfo::exists(marker) &&
         !writeWhole(marker,
                     QJsonDocument(QJsonObject{{QStringLiteral("format"), kBookFormat},
                                               {QStringLiteral("version"), kFormatVersion}})
                         .toJson(QJsonDocument::Indented),
                     &why))) {
        *problem = QStringLiteral("The shared folder cannot be written: %1")
                       .arg(QDir::toNativeSeparators(bookFolder));
        return false;
    }
    return true;
}

// The children of the shared book: by uid, the first name its newest stamp gives and whether the
// child is present, and the device that named it.
struct FolderChild {
    QString firstName, nameStamp, removal, newest;
};
QHash<QString, FolderChild> childrenInFolder(const QString& bookFolder) {
    QHash<QString, FolderChild> children;
    const QStringList devices = QDir(bookFolder + QStringLiteral("/devices"))
                                    .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& device : devices) {
        if (!isDeviceId(device))
            continue;
        const BatchFiles files = batchFilesIn(bookFolder + QStringLiteral("/devices/") + device);
        for (auto it = files.batches.cbegin(); it != files.batches.cend(); ++it) {
            const Batch b = readBatch(bookFolder + QStringLiteral("/devices/%1/%2").arg(device, it.value()),
                                      device, it.key());
            for (const Change& c : b.changes) {
                if (c.table != QLatin1String("CHILD"))
                    continue;
                FolderChild& child = children[c.child];
                if (c.field.isEmpty())
                    child.removal = qMax(child.removal, c.stamp);
                else
                    child.newest = qMax(child.newest, c.stamp);
                if (c.field == QLatin1String("FirstName") && c.stamp > child.nameStamp) {
                    child.nameStamp = c.stamp;
                    child.firstName = c.value.toString();
                }
            }
        }
    }
    return children;
}
} // namespace

namespace SharedFolder {
QString bookFolderName() {
    return QStringLiteral("Tinyra Shared Book");
}

Inspection inspect(const QString& chosen) {
    Inspection i;
    const QFileInfo info(chosen);
    if (chosen.isEmpty() || !info.isDir()) {
        i.problem = missing(chosen);
        return i;
    }
    const QString path = info.absoluteFilePath();
    i.bookFolder = QFileInfo::exists(path + QStringLiteral("/shared-book.json"))
                       ? path
                       : path + QLatin1Char('/') + bookFolderName();
    const QString marker = i.bookFolder + QStringLiteral("/shared-book.json");
    i.holdsBook = QFileInfo::exists(marker);
    if (i.holdsBook) {
        const QJsonObject o = readJsonObject(marker);
        if (o.value(QStringLiteral("format")).toString() != kBookFormat)
            i.problem = QStringLiteral("A file in the shared folder could not be read: shared-book.json");
        else if (o.value(QStringLiteral("version")).toInt() > kFormatVersion)
            i.problem = QStringLiteral("The shared book was made by a later version of Tinyra; update Tinyra "
                                       "on this computer first.");
        const QStringList devices = QDir(i.bookFolder + QStringLiteral("/devices"))
                                        .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& d : devices)
            if (isDeviceId(d))
                i.computerNames << deviceName(i.bookFolder, d);
    } else if (!QFileInfo(path).isWritable()) {
        i.problem = QStringLiteral("The folder cannot be written: %1").arg(QDir::toNativeSeparators(path));
    }
    return i;
}

RoundResult share(const QString& chosen, const Progress& progress) {
    RoundResult r;
    const Inspection i = inspect(chosen);
    if (!i.problem.isEmpty() || i.holdsBook) {
        r.problem = i.holdsBook && i.problem.isEmpty()
                        ? QStringLiteral("The folder holds a shared book already: join it.")
                        : i.problem;
        return r;
    }
    if (!makeBookFolder(i.bookFolder, &r.problem))
        return r;
    Database::exec(QStringLiteral("UPDATE PEERS SET batch = 0"));
    set(QStringLiteral("folder"), i.bookFolder);
    set(QStringLiteral("everythingFrom"), QStringLiteral("from:"));
    Round round(i.bookFolder, progress, r);
    round.write();
    remember(r);
    return r;
}

QVector<ChildMatch> matchesToAsk(const QString& chosen) {
    QVector<ChildMatch> matches;
    const Inspection i = inspect(chosen);
    if (!i.holdsBook)
        return matches;
    const auto children = childrenInFolder(i.bookFolder);
    QSqlQuery q = Database::exec(QStringLiteral("SELECT FirstName, uid FROM CHILD ORDER BY FirstName"));
    while (q.next()) {
        const QString name = q.value(0).toString(), uid = q.value(1).toString();
        for (auto it = children.cbegin(); it != children.cend(); ++it) {
            const FolderChild& c = it.value();
            if (it.key() == uid || c.firstName != name || c.newest <= c.removal)
                continue;
            matches.append(
                {name, deviceName(i.bookFolder, Clock::deviceOf(c.nameStamp)), uid, it.key(), true});
        }
    }
    return matches;
}

RoundResult join(const QString& chosen, const QVector<ChildMatch>& answers, const Progress& progress) {
    RoundResult r;
    const Inspection i = inspect(chosen);
    if (!i.problem.isEmpty() || !i.holdsBook) {
        r.problem = i.problem.isEmpty() ? QStringLiteral("The folder holds no shared book.") : i.problem;
        return r;
    }
    {
        // The children answered the same: the one here takes the other's identity, with its stamps.
        Transaction tx;
        Clock::Applying quiet;
        for (const ChildMatch& m : answers) {
            if (!m.same || !isDeviceId(m.uidThere) || m.uidHere == m.uidThere)
                continue;
            Database::exec(QStringLiteral("UPDATE CHILD SET uid = ? WHERE uid = ?"), {m.uidThere, m.uidHere});
            Database::exec(QStringLiteral("UPDATE OR IGNORE STAMPS SET child = ? WHERE child = ?"),
                           {m.uidThere, m.uidHere});
            Database::exec(QStringLiteral("DELETE FROM STAMPS WHERE child = ?"), {m.uidHere});
            // What this computer never filled in for the child (a birth date, a hospital) does not
            // blank what the other computer holds: only the fields this one filled in compete.
            Database::exec(
                QStringLiteral("DELETE FROM STAMPS WHERE tbl = 'CHILD' AND child = ? AND field <> '' "
                               "AND coalesce(value, '') = ''"),
                {m.uidThere});
            Database::exec(QStringLiteral("UPDATE OR IGNORE CONFLICTS SET child = ? WHERE child = ?"),
                           {m.uidThere, m.uidHere});
        }
        Database::exec(QStringLiteral("UPDATE PEERS SET batch = 0"));
        set(QStringLiteral("folder"), i.bookFolder);
        set(QStringLiteral("everythingFrom"), QStringLiteral("from:"));
        tx.commit();
    }
    Round round(i.bookFolder, progress, r);
    if (round.read())
        round.write(round.readFromFolder());
    r.heldRemovals = heldForResult();
    remember(r);
    return r;
}

// The shared folder a round reads or writes, or empty with the reason in `r` (kept for the status
// when the folder has gone).
static QString folderForRound(RoundResult& r) {
    const QString folder = bookFolderNow();
    if (folder.isEmpty()) {
        r.problem = QStringLiteral("This book is not shared.");
        return QString();
    }
    if (!QFileInfo::exists(folder + QStringLiteral("/shared-book.json"))) {
        r.problem = missing(folder);
        remember(r);
        return QString();
    }
    return folder;
}

RoundResult syncOnce(const Progress& progress) {
    RoundResult r;
    const QString folder = folderForRound(r);
    if (folder.isEmpty())
        return r;
    Round round(folder, progress, r);
    if (round.read())
        round.write();
    r.heldRemovals = heldForResult();
    remember(r);
    return r;
}

RoundResult writeOnly() {
    RoundResult r;
    const QString folder = folderForRound(r);
    if (folder.isEmpty())
        return r;
    Round(folder, {}, r).write();
    return r;
}

void stopSharing() {
    Transaction tx;
    for (const char* name : {"folder", "written", "problem", "everythingFrom"})
        set(QString::fromLatin1(name), QString());
    // Batch numbers belong to the folder left; what was seen stays known.
    Database::exec(QStringLiteral("UPDATE PEERS SET batch = 0"));
    tx.commit();
}

void removeHeldChild(const QString& uid) {
    QVector<HeldChild> all = heldChildren();
    for (qsizetype i = 0; i < all.size(); ++i)
        if (all[i].uid == uid) {
            const ApplyResult r = Changes::apply(all[i].changes, {});
            if (!r.refused.isEmpty())
                throw StoreError(r.refused.first().reason);
            all.remove(i);
            keepHeld(all);
            return;
        }
}

// The child is kept: every field of every record of it present here is stamped anew, so that the
// next round writes it whole and it comes back on every computer (in the order of the stamps before,
// so that its diaries keep their order). The removals held are then taken too, older than those
// stamps, so that every computer ends with the same stamps.
void keepHeldChild(const QString& uid) {
    QVector<HeldChild> all = heldChildren();
    const auto held = std::find_if(all.begin(), all.end(), [&](const HeldChild& h) { return h.uid == uid; });
    if (held == all.end())
        return;
    {
        Transaction tx;
        QSqlQuery q = Database::exec(
            QStringLiteral(
                "SELECT tbl, key, field FROM STAMPS s WHERE child = ? AND field <> '' AND "
                "(SELECT max(stamp) FROM STAMPS f WHERE f.tbl = s.tbl AND f.child = s.child AND "
                "f.key = s.key AND f.field <> '') > "
                "coalesce((SELECT stamp FROM STAMPS r WHERE r.tbl = s.tbl AND r.child = s.child AND "
                "r.key = s.key AND r.field = ''), '') ORDER BY stamp, tbl, key, field"),
            {uid});
        struct Row {
            QString table, key, field;
        };
        QVector<Row> rows;
        while (q.next())
            rows.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
        q.finish();
        for (const Row& row : rows)
            Database::exec(
                QStringLiteral(
                    "UPDATE STAMPS SET stamp = ? WHERE tbl = ? AND child = ? AND key = ? AND field = ?"),
                {Clock::next(), row.table, uid, row.key, row.field});
        tx.commit();
    }
    const ApplyResult r = Changes::apply(held->changes, {});
    if (!r.refused.isEmpty())
        throw StoreError(r.refused.first().reason);
    all.erase(held);
    keepHeld(all);
}

QString computerName() {
    return hostName();
}

void setComputerName(const QString& name) {
    Database::exec(QStringLiteral("UPDATE DEVICE SET name = ?"), {name.simplified().left(100)});
    const QString folder = bookFolderNow();
    QString why;
    if (!folder.isEmpty() && QFileInfo::exists(folder + QStringLiteral("/devices/") + Clock::deviceId()))
        writeDeviceFile(folder, &why);
}

Status status() {
    Status s;
    s.bookFolder = bookFolderNow();
    s.shared = !s.bookFolder.isEmpty();
    if (!s.shared)
        return s;
    if (!QFileInfo::exists(s.bookFolder + QStringLiteral("/shared-book.json"))) {
        s.problem = missing(s.bookFolder);
        return s;
    }
    s.problem = get(QStringLiteral("problem"));
    const QStringList devices = QDir(s.bookFolder + QStringLiteral("/devices"))
                                    .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    int others = 0;
    for (const QString& d : devices)
        others += isDeviceId(d) && d != Clock::deviceId();
    s.computers = 1 + others;
    QSqlQuery q = Database::exec(
        QStringLiteral("SELECT name, lastChange FROM PEERS WHERE device <> ? AND lastChange <> '' "
                       "ORDER BY lastChange DESC LIMIT 1"),
        {Clock::deviceId()});
    if (q.next()) {
        s.lastFrom = q.value(0).toString();
        s.lastAt = QDateTime::fromString(q.value(1).toString(), Qt::ISODateWithMs);
    }
    return s;
}

QString statusText(const Status& s, const QDateTime& now) {
    if (!s.shared)
        return QStringLiteral("This book is not shared.");
    if (!s.problem.isEmpty())
        return s.problem;
    const QString with = s.computers <= 1 ? QStringLiteral("Shared. No other computer has joined yet.")
                                          : QStringLiteral("Shared with %1 computers.").arg(s.computers);
    if (s.computers <= 1)
        return with;
    if (s.lastFrom.isEmpty() || !s.lastAt.isValid())
        return with + QStringLiteral(" No changes from other computers yet.");
    const qint64 minutes = qMax<qint64>(0, s.lastAt.secsTo(now) / 60);
    QString ago;
    if (minutes < 1)
        ago = QStringLiteral("just now");
    else if (minutes < 60)
        ago = minutes == 1 ? QStringLiteral("1 minute ago") : QStringLiteral("%1 minutes ago").arg(minutes);
    else if (minutes < 48 * 60)
        ago = minutes < 120 ? QStringLiteral("1 hour ago") : QStringLiteral("%1 hours ago").arg(minutes / 60);
    else
        ago = QStringLiteral("%1 days ago").arg(minutes / (24 * 60));
    return with + QStringLiteral(" Last change from %1, %2.").arg(s.lastFrom, ago);
}
} // namespace SharedFolder
