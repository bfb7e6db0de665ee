#include "core/exchange/BookFile.h"

#include "core/book/Children.h"
#include "core/book/EntryStore.h"
#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace {
const QString kFormat = QStringLiteral("tinyra-book");
const char* const kBookEntry = "book.json";
// The largest book.json and the largest picture a book file may hold: a book of hundreds of
// thousands of entries stays far below the one, a camera's photo far below the other.
constexpr zip_uint64_t kMaxBookJson = 1024ull * 1024 * 1024;
constexpr zip_uint64_t kMaxPicture = 256ull * 1024 * 1024;

[[noreturn]] void refuse(const QString& path, const QString& why) {
    throw BookFile::Error(
        QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), why));
}

QString damaged() {
    return QStringLiteral("The file is damaged or incomplete; nothing was imported.");
}

// ---- What a child's tables hold, read from the store itself so that a column a later version adds
// travels without a change here.

struct Column {
    enum class Kind { Text, Integer, Blob };
    QString name;
    Kind kind = Kind::Text;
};

struct TableShape {
    QString name;
    QList<Column> columns; // every column but the child's name and the row number
    QList<int> identity;   // the columns that say which record a row is
    int changed = -1;      // the time of the last change, or -1
    // Whether the table's `file` column names the photo file that holds its picture's bytes (the
    // picture column then keeps them only until they are moved there). The book file carries the
    // bytes in either case, so `file` is not one of the columns.
    bool blobInFile = false;
};

TableShape shapeOf(const QString& table) {
    TableShape shape{table, {}, {}, -1};
    QSqlQuery q = Database::exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    QStringList keys;
    QList<Column> all;
    QList<bool> isKey;
    while (q.next()) {
        const QString name = q.value(1).toString();
        const QString type = q.value(2).toString().toUpper();
        const bool key = q.value(5).toInt() > 0;
        // The row number (an INTEGER PRIMARY KEY) is this store's own, not the record's.
        if (key && type == QLatin1String("INTEGER") && name == QLatin1String("seq"))
            continue;
        if (name == QLatin1String("child") && table != QLatin1String("CHILD"))
            continue;
        const Column::Kind kind = type == QLatin1String("BLOB")      ? Column::Kind::Blob
                                  : type == QLatin1String("INTEGER") ? Column::Kind::Integer
                                                                     : Column::Kind::Text;
        all.append({name, kind});
        isKey.append(key);
    }
    const bool hasBlob =
        std::any_of(all.cbegin(), all.cend(), [](const Column& c) { return c.kind == Column::Kind::Blob; });
    for (int i = 0; hasBlob && i < all.size(); ++i)
        if (all[i].name == QLatin1String("file")) {
            all.removeAt(i);
            isKey.removeAt(i);
            shape.blobInFile = true;
            break;
        }
    shape.columns = all;
    for (int i = 0; i < all.size(); ++i) {
        if (all[i].name == QLatin1String("changed"))
            shape.changed = i;
        if (all[i].name == QLatin1String("uid"))
            shape.identity = {i};
    }
    if (shape.identity.isEmpty())
        for (int i = 0; i < all.size(); ++i)
            if (isKey[i])
                shape.identity.append(i);
    if (shape.identity.isEmpty())
        for (int i = 0; i < all.size(); ++i)
            if (i != shape.changed)
                shape.identity.append(i);
    return shape;
}

// The shape's columns, then the photo file of its picture where it has one.
QString columnList(const TableShape& shape, bool blobsAsLength) {
    QStringList cols;
    for (const Column& c : shape.columns)
        cols << (blobsAsLength && c.kind == Column::Kind::Blob ? QStringLiteral("length(%1)").arg(c.name)
                                                               : c.name);
    if (shape.blobInFile)
        cols << QStringLiteral("file");
    return cols.join(QStringLiteral(", "));
}

// ---- Export

// A picture's bytes, read from the store only while libzip writes that entry.
struct PictureSource {
    QString table;
    QString column;
    qint64 rowid = 0;
    qint64 size = 0;
    time_t mtime = 0;
    QByteArray data;
    qint64 position = 0;
    zip_error_t error;
};

zip_int64_t readPicture(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* s = static_cast<PictureSource*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        try {
            QSqlQuery q = Database::exec(
                QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(s->column, s->table), {s->rowid});
            s->data = q.next() ? q.value(0).toByteArray() : QByteArray();
        } catch (const StoreError&) {
            zip_error_set(&s->error, ZIP_ER_READ, 0);
            return -1;
        }
        if (s->data.size() != s->size) { // changed under the export
            zip_error_set(&s->error, ZIP_ER_CHANGED, 0);
            return -1;
        }
        s->position = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const qint64 n = qMin<qint64>(qint64(length), s->data.size() - s->position);
        std::memcpy(data, s->data.constData() + s->position, size_t(n));
        s->position += n;
        return n;
    }
    case ZIP_SOURCE_CLOSE:
        s->data = QByteArray();
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->size = zip_uint64_t(s->size);
        st->mtime = s->mtime;
        st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&s->error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&s->error);
        delete s;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

// The name a picture gets in the zip: its number, its key in letters and digits, and the kind of
// image its first bytes name, so that the files open by themselves too.
QString pictureName(int number, const QString& key, const QByteArray& head) {
    QString safe;
    for (const QChar c : key)
        safe += c.isLetterOrNumber() && c.unicode() < 128 ? c : QLatin1Char('_');
    QString ext = QStringLiteral("bin");
    if (head.startsWith("\xFF\xD8\xFF"))
        ext = QStringLiteral("jpg");
    else if (head.startsWith("\x89PNG"))
        ext = QStringLiteral("png");
    else if (head.startsWith("BM"))
        ext = QStringLiteral("bmp");
    else if (head.startsWith("GIF8"))
        ext = QStringLiteral("gif");
    return QStringLiteral("pictures/%1-%2.%3").arg(number, 6, 10, QLatin1Char('0')).arg(safe.left(40), ext);
}

struct ProgressState {
    const BookFile::Progress* progress = nullptr;
    bool stopped = false;
};

void zipProgress(zip_t*, double done, void* state) {
    auto* p = static_cast<ProgressState*>(state);
    if (*p->progress && !(*p->progress)(0.1 + 0.9 * done))
        p->stopped = true;
}

int zipCancel(zip_t*, void* state) {
    return static_cast<ProgressState*>(state)->stopped ? 1 : 0;
}

QString zipProblem(zip_t* za) {
    return QString::fromLocal8Bit(zip_error_strerror(zip_get_error(za)));
}

qint64 countRows() {
    qint64 rows = 0;
    for (const QString& table : Schema::childTables()) {
        QSqlQuery q = Database::exec(QStringLiteral("SELECT count(*) FROM %1").arg(table));
        rows += q.next() ? q.value(0).toLongLong() : 0;
    }
    return rows;
}

QJsonValue jsonOf(const QVariant& v, Column::Kind kind) {
    if (kind == Column::Kind::Integer)
        return v.isNull() ? QJsonValue() : QJsonValue(v.toLongLong());
    return v.toString();
}

// ---- Import

struct ZipCloser {
    void operator()(zip_t* za) const { zip_discard(za); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

bool climbsOut(const QString& name) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        (name.size() > 1 && name.at(1) == QLatin1Char(':')))
        return true;
    for (const QString& part : name.split(QLatin1Char('/')))
        if (part == QLatin1String(".."))
            return true;
    return false;
}

// A record as both sides hold it: its values in the shape's column order, pictures as their bytes
// (read only when needed) or their size.
struct Incoming {
    QVariantList values;
    QHash<int, QString> files; // blob column -> zip entry
};

class Reader {
public:
    Reader(const QString& path, zip_t* za) : m_path(path), m_za(za) {}

    // The whole entry, after checking that it is no longer than it says and no longer than `cap`.
    QByteArray read(const QString& name, zip_uint64_t cap) const {
        const QByteArray utf8 = name.toUtf8();
        const zip_int64_t index = zip_name_locate(m_za, utf8.constData(), ZIP_FL_ENC_GUESS);
        if (index < 0)
            refuse(m_path, damaged() + QStringLiteral("\n(%1 is missing.)").arg(name));
        zip_stat_t st;
        if (zip_stat_index(m_za, zip_uint64_t(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
            refuse(m_path, damaged());
        if (st.size > cap)
            refuse(m_path,
                   QStringLiteral("The file holds %1, of %2 bytes: far more than a book holds. Nothing "
                                  "was imported.")
                       .arg(name)
                       .arg(st.size));
        zip_file_t* f = zip_fopen_index(m_za, zip_uint64_t(index), 0);
        if (!f)
            refuse(m_path, damaged());
        QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
        zip_int64_t got = 0;
        bool sound = true;
        while (sound && zip_uint64_t(got) < st.size) {
            const zip_int64_t n = zip_fread(f, bytes.data() + got, st.size - zip_uint64_t(got));
            if (n <= 0)
                sound = false;
            else
                got += n;
        }
        // One more read reaches the end, where the checksum is compared; it must find nothing more.
        char extra = 0;
        if (sound && zip_fread(f, &extra, 1) != 0)
            sound = false;
        zip_fclose(f);
        if (!sound)
            refuse(m_path, damaged());
        return bytes;
    }

private:
    QString m_path;
    zip_t* m_za;
};

QString describeRecord(const QString& table, const TableShape& shape, const QVariantList& v) {
    auto field = [&](const char* name) {
        for (int i = 0; i < shape.columns.size(); ++i)
            if (shape.columns[i].name == QLatin1String(name))
                return v.value(i).toString();
        return QString();
    };
    if (table == QLatin1String("CHILD"))
        return QStringLiteral("child information");
    if (table == QLatin1String("ENTRIES"))
        return QStringLiteral("entry \"%1\" of %2").arg(field("Title"), field("Date"));
    if (table == QLatin1String("GROWTH"))
        return QStringLiteral("growth record of %1").arg(field("Date"));
    if (table == QLatin1String("FAMILY"))
        return QStringLiteral("family tree, relative %1").arg(field("slot"));
    if (table == QLatin1String("TEETH"))
        return QStringLiteral("tooth %1").arg(field("slot"));
    if (table == QLatin1String("SHEETS"))
        return QStringLiteral("%1: %2").arg(field("sheet"), field("field"));
    if (table == QLatin1String("PICTURES"))
        return QStringLiteral("picture %1").arg(field("picture"));
    QStringList id;
    for (int i : shape.identity)
        id << v.value(i).toString();
    return QStringLiteral("%1 %2").arg(table, id.join(QLatin1Char('/')));
}

class Merger {
public:
    Merger(const QString& path, const Reader& reader, const QStringList& fileNames)
        : m_path(path), m_reader(reader) {
        for (const QString& n : fileNames)
            m_files.insert(n);
    }

    BookFile::Summary summary;

    // Reads a record of the file into the shape's columns; refuses a record that lacks its identity
    // or names a picture the zip does not hold.
    Incoming incoming(const TableShape& shape, const QJsonObject& record) const {
        Incoming in;
        for (int i = 0; i < shape.columns.size(); ++i) {
            const Column& c = shape.columns[i];
            const QJsonValue v = record.value(c.name);
            if (shape.identity.contains(i) && v.isUndefined())
                refuse(m_path,
                       damaged() + QStringLiteral("\n(A record of %1 has no %2.)").arg(shape.name, c.name));
            if (c.kind == Column::Kind::Blob) {
                const QString file = v.toObject().value(QLatin1String("file")).toString();
                if (!v.isUndefined() && !m_files.contains(file))
                    refuse(m_path, damaged() + QStringLiteral("\n(%1 is missing.)").arg(file));
                in.files.insert(i, file);
                in.values.append(QVariant());
            } else if (c.kind == Column::Kind::Integer) {
                in.values.append(v.isDouble() ? QVariant(qint64(v.toDouble())) : QVariant());
            } else {
                in.values.append(v.isString() ? v.toString() : QString());
            }
        }
        return in;
    }

    // The picture bytes of every blob column, read from the zip.
    void fill(const TableShape& shape, Incoming& in) const {
        for (auto it = in.files.cbegin(); it != in.files.cend(); ++it)
            in.values[it.key()] =
                it.value().isEmpty() ? QByteArray("") : m_reader.read(it.value(), kMaxPicture);
        Q_UNUSED(shape);
    }

    void mergeTable(const QString& child, const TableShape& shape, const QJsonArray& records,
                    const QString& label) {
        const bool childRow = shape.name == QLatin1String("CHILD");
        // The records the book holds now, by identity.
        QHash<QString, qint64> rowOf;
        {
            QSqlQuery q =
                Database::exec(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3 = ?")
                                   .arg(identityColumns(shape), shape.name,
                                        childRow ? QStringLiteral("FirstName") : QStringLiteral("child")),
                               {child});
            while (q.next()) {
                QVariantList id;
                for (int i = 0; i < shape.identity.size(); ++i)
                    id << q.value(i + 1);
                rowOf.insert(keyOf(id), q.value(0).toLongLong());
            }
        }
        for (const QJsonValue& r : records) {
            if (!r.isObject())
                refuse(m_path, damaged());
            Incoming in = incoming(shape, r.toObject());
            QVariantList id;
            for (int i : shape.identity)
                id << in.values.at(i);
            const auto found = rowOf.constFind(keyOf(id));
            if (found == rowOf.cend()) {
                fill(shape, in);
                insert(child, shape, in.values);
                if (!childRow)
                    ++summary.recordsAdded;
                continue;
            }
            const QVariantList mine = localRow(shape, *found);
            fill(shape, in);
            const int order = compare(shape, in.values, mine);
            if (order == 0)
                continue;
            const bool theirs = order > 0;
            if (theirs)
                update(shape, *found, in.values);
            summary.differences << QStringLiteral("%1: %2 (%3, newer)")
                                       .arg(label,
                                            describeRecord(shape.name, shape, theirs ? in.values : mine),
                                            theirs ? QStringLiteral("the file's")
                                                   : QStringLiteral("this book's"));
        }
    }

private:
    static QString keyOf(const QVariantList& id) {
        QStringList parts;
        for (const QVariant& v : id)
            parts << v.toString();
        return parts.join(QChar(0x1f));
    }

    static QString identityColumns(const TableShape& shape) {
        QStringList cols;
        for (int i : shape.identity)
            cols << shape.columns[i].name;
        return cols.join(QStringLiteral(", "));
    }

    static QVariantList localRow(const TableShape& shape, qint64 rowid) {
        QSqlQuery q = Database::exec(
            QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(columnList(shape, false), shape.name),
            {rowid});
        QVariantList values;
        if (!q.next())
            return values;
        const QString file = shape.blobInFile ? q.value(int(shape.columns.size())).toString() : QString();
        for (int i = 0; i < shape.columns.size(); ++i) {
            if (shape.columns[i].kind != Column::Kind::Blob)
                values << q.value(i);
            else
                values << QVariant(file.isEmpty() ? q.value(i).toByteArray() : PhotoFiles::read(file));
        }
        return values;
    }

    // 0 when the two records hold the same; otherwise above 0 when the file's is to be kept: the one
    // changed later, or on equal times the one greater value by value, so that two books merging
    // each other's file keep the same one.
    static int compare(const TableShape& shape, const QVariantList& theirs, const QVariantList& mine) {
        int first = 0;
        for (int i = 0; i < shape.columns.size() && first == 0; ++i) {
            if (i == shape.changed)
                continue;
            const Column::Kind kind = shape.columns[i].kind;
            if (kind == Column::Kind::Blob) {
                const QByteArray a = theirs[i].toByteArray(), b = mine[i].toByteArray();
                first = a == b ? 0 : (a < b ? -1 : 1);
            } else if (kind == Column::Kind::Integer) {
                const qint64 a = theirs[i].toLongLong(), b = mine[i].toLongLong();
                first = a == b ? 0 : (a < b ? -1 : 1);
            } else {
                first = theirs[i].toString().compare(mine[i].toString());
                first = first < 0 ? -1 : (first > 0 ? 1 : 0);
            }
        }
        if (first == 0 || shape.changed < 0)
            return first;
        const int when = theirs[shape.changed].toString().compare(mine[shape.changed].toString());
        return when != 0 ? when : first;
    }

    void insert(const QString& child, const TableShape& shape, const QVariantList& values) const {
        QStringList cols, marks;
        QVariantList bound;
        const bool childRow = shape.name == QLatin1String("CHILD");
        if (!childRow) {
            cols << QStringLiteral("child");
            marks << QStringLiteral("?");
            bound << child;
        }
        for (int i = 0; i < shape.columns.size(); ++i) {
            cols << shape.columns[i].name;
            marks << QStringLiteral("?");
            bound << values[i];
        }
        keepPictureInFile(shape, cols, bound);
        for (int i = int(marks.size()); i < cols.size(); ++i)
            marks << QStringLiteral("?");
        Database::exec(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(shape.name, cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
            bound);
    }

    // Where the table keeps its pictures in the photo folder, the picture's bytes go there and the row
    // names the file; `bound` holds a value for each of `cols`, the picture's bytes among them.
    void keepPictureInFile(const TableShape& shape, QStringList& cols, QVariantList& bound) const {
        if (!shape.blobInFile)
            return;
        QString file;
        for (int i = 0; i < shape.columns.size(); ++i) {
            if (shape.columns[i].kind != Column::Kind::Blob)
                continue;
            const int at = int(cols.indexOf(shape.columns[i].name));
            const QByteArray bytes = bound[at].toByteArray();
            try {
                file = bytes.isEmpty() ? QString() : PhotoFiles::storeData(bytes);
            } catch (const StoreError& e) {
                refuse(m_path, e.message());
            }
            bound[at] = QByteArray("");
        }
        cols << QStringLiteral("file");
        bound << file;
    }

    void update(const TableShape& shape, qint64 rowid, const QVariantList& values) const {
        QStringList cols;
        QVariantList bound;
        for (int i = 0; i < shape.columns.size(); ++i) {
            cols << shape.columns[i].name;
            bound << values[i];
        }
        keepPictureInFile(shape, cols, bound);
        QStringList sets;
        for (const QString& c : cols)
            sets << c + QStringLiteral(" = ?");
        bound << rowid;
        Database::exec(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                           .arg(shape.name, sets.join(QStringLiteral(", "))),
                       bound);
    }

    QString m_path;
    const Reader& m_reader;
    QSet<QString> m_files;
};
} // namespace

namespace BookFile {
void exportBook(const QString& path, const Progress& progress) {
    ProgressState state{&progress, false};
    auto tell = [&](double done) {
        if (progress && !progress(done))
            state.stopped = true;
        if (state.stopped)
            throw Error(QStringLiteral("The export was stopped; no file was written."));
    };
    tell(0);

    // book.json is written to a temporary file, record by record; libzip reads it back while it
    // writes the zip, as it reads each picture from the store.
    QTemporaryFile json(QDir::temp().filePath(QStringLiteral("tinyra-book-XXXXXX.json")));
    if (!json.open())
        throw Error(
            QStringLiteral("Tinyra cannot make a temporary file for the book:\n%1").arg(json.errorString()));
    // Each picture's source, owned here until libzip takes it.
    struct Picture {
        std::unique_ptr<PictureSource> source; // or, for a picture in the photo folder, its path
        QString name;
        QString path;
    };
    std::vector<Picture> pictures;
    auto write = [&](const QByteArray& bytes) {
        if (json.write(bytes) != bytes.size())
            throw Error(QStringLiteral("Tinyra cannot write a temporary file for the book:\n%1")
                            .arg(json.errorString()));
    };
    auto compact = [](const QJsonObject& o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); };

    const QString exported = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    write(QStringLiteral("{\"format\":\"%1\",\"version\":%2,\"program\":\"Tinyra %3\",\"exported\":\"%4\",\n"
                         "\"children\":[")
              .arg(kFormat)
              .arg(FormatVersion)
              .arg(QCoreApplication::applicationVersion().isEmpty() ? QStringLiteral(TINYRA_VERSION)
                                                                    : QCoreApplication::applicationVersion(),
                   exported)
              .toUtf8());

    const qint64 totalRows = qMax<qint64>(1, countRows());
    qint64 rowsDone = 0;
    const time_t now = std::time(nullptr);
    const TableShape childShape = shapeOf(QStringLiteral("CHILD"));
    QList<TableShape> shapes;
    for (const QString& table : Schema::childTables())
        shapes << shapeOf(table);

    QStringList names;
    {
        QSqlQuery q = Database::exec(QStringLiteral("SELECT FirstName FROM CHILD ORDER BY FirstName"));
        while (q.next())
            names << q.value(0).toString();
    }
    for (int c = 0; c < names.size(); ++c) {
        const QString& name = names[c];
        QJsonObject row;
        {
            QSqlQuery q = Database::exec(
                QStringLiteral("SELECT %1 FROM CHILD WHERE FirstName = ?").arg(columnList(childShape, false)),
                {name});
            q.next();
            for (int i = 0; i < childShape.columns.size(); ++i)
                row.insert(childShape.columns[i].name, jsonOf(q.value(i), childShape.columns[i].kind));
        }
        write((c ? QByteArray(",\n{\"child\":") : QByteArray("\n{\"child\":")) + compact(row) + "," +
              "\"tables\":{");
        for (int t = 0; t < shapes.size(); ++t) {
            const TableShape& shape = shapes[t];
            write((t ? QByteArray(",\n\"") : QByteArray("\n\"")) + shape.name.toUtf8() + "\":[");
            QSqlQuery q =
                Database::exec(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE child = ? ORDER BY rowid")
                                   .arg(columnList(shape, true), shape.name),
                               {name});
            bool firstRecord = true;
            while (q.next()) {
                QJsonObject record;
                const QString photo =
                    shape.blobInFile ? q.value(int(shape.columns.size()) + 1).toString() : QString();
                for (int i = 0; i < shape.columns.size(); ++i) {
                    const Column& col = shape.columns[i];
                    if (col.kind != Column::Kind::Blob) {
                        record.insert(col.name, jsonOf(q.value(i + 1), col.kind));
                        continue;
                    }
                    const QString key = record.value(QLatin1String("picture")).toString();
                    if (!photo.isEmpty()) {
                        // A picture gone from the folder travels as none, as it shows here.
                        QFile in(PhotoFiles::pathOf(photo));
                        if (!in.open(QIODevice::ReadOnly))
                            continue;
                        const QByteArray head = in.read(8);
                        const QString file =
                            pictureName(int(pictures.size()) + 1, key.isEmpty() ? col.name : key, head);
                        record.insert(col.name, QJsonObject{{QStringLiteral("file"), file},
                                                            {QStringLiteral("size"), double(in.size())}});
                        pictures.push_back({nullptr, file, in.fileName()});
                        continue;
                    }
                    auto source = std::make_unique<PictureSource>(PictureSource{shape.name,
                                                                                col.name,
                                                                                q.value(0).toLongLong(),
                                                                                q.value(i + 1).toLongLong(),
                                                                                now,
                                                                                {},
                                                                                0,
                                                                                {}});
                    zip_error_init(&source->error);
                    QSqlQuery head =
                        Database::exec(QStringLiteral("SELECT substr(%1, 1, 8) FROM %2 WHERE rowid = ?")
                                           .arg(col.name, shape.name),
                                       {source->rowid});
                    const QString file =
                        pictureName(int(pictures.size()) + 1, key.isEmpty() ? col.name : key,
                                    head.next() ? head.value(0).toByteArray() : QByteArray());
                    record.insert(col.name, QJsonObject{{QStringLiteral("file"), file},
                                                        {QStringLiteral("size"), double(source->size)}});
                    pictures.push_back({std::move(source), file, {}});
                }
                write((firstRecord ? QByteArray("\n") : QByteArray(",\n")) + compact(record));
                firstRecord = false;
                if (++rowsDone % 2048 == 0)
                    tell(0.1 * double(rowsDone) / double(totalRows));
            }
            write("]");
        }
        write("}}");
    }
    write("\n]}\n");
    if (!json.flush())
        throw Error(
            QStringLiteral("Tinyra cannot write a temporary file for the book:\n%1").arg(json.errorString()));

    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!za) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, error);
        const QString problem = QString::fromLocal8Bit(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        refuse(path, QStringLiteral("The book cannot be written there: %1").arg(problem));
    }
    auto fail = [&](const QString& problem) {
        zip_discard(za);
        refuse(path, QStringLiteral("The book could not be written: %1").arg(problem));
    };
    zip_source_t* bookSource = zip_source_file(za, QFile::encodeName(json.fileName()).constData(), 0, -1);
    if (!bookSource || zip_file_add(za, kBookEntry, bookSource, ZIP_FL_ENC_UTF_8) < 0) {
        if (bookSource)
            zip_source_free(bookSource);
        fail(zipProblem(za));
    }
    for (Picture& picture : pictures) {
        zip_source_t* src = picture.source
                                ? zip_source_function(za, readPicture, picture.source.get())
                                : zip_source_file(za, QFile::encodeName(picture.path).constData(), 0, -1);
        if (!src)
            fail(zipProblem(za));
        picture.source.release(); // freed by the source from now on
        const QByteArray name = picture.name.toUtf8();
        const zip_int64_t index = zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            fail(zipProblem(za));
        }
        // Photos are compressed already: they are stored as they are.
        zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    // The entries' photos, each once, as the photo folder keeps them; one gone from the folder is left
    // out (its entry then shows it missing, as it does here).
    {
        QSqlQuery q = Database::exec(QStringLiteral("SELECT DISTINCT file FROM ENTRYPHOTOS ORDER BY file"));
        while (q.next()) {
            const QString file = q.value(0).toString();
            const QString source = PhotoFiles::pathOf(file);
            if (!PhotoFiles::isPhotoName(file) || !QFileInfo::exists(source))
                continue;
            zip_source_t* src = zip_source_file(za, QFile::encodeName(source).constData(), 0, -1);
            const QByteArray name = (QStringLiteral("photos/") + file).toUtf8();
            const zip_int64_t index = src ? zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8) : -1;
            if (index < 0) {
                if (src)
                    zip_source_free(src);
                fail(zipProblem(za));
            }
            zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
    }
    zip_register_progress_callback_with_state(za, 0.002, zipProgress, nullptr, &state);
    zip_register_cancel_callback_with_state(za, zipCancel, nullptr, &state);
    if (zip_close(za) != 0) {
        const bool stopped = state.stopped;
        const QString problem = zipProblem(za);
        zip_discard(za);
        if (stopped)
            throw Error(QStringLiteral("The export was stopped; no file was written."));
        refuse(path, QStringLiteral("The book could not be written: %1").arg(problem));
    }
    // A family's book is private, like the store it comes from.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (progress)
        progress(1);
}

bool Summary::changedNothing() const {
    return childrenAdded.isEmpty() && recordsAdded == 0 &&
           std::none_of(differences.cbegin(), differences.cend(),
                        [](const QString& d) { return d.contains(QLatin1String("(the file's")); });
}

QString Summary::text() const {
    QStringList lines;
    if (!childrenAdded.isEmpty())
        lines << QStringLiteral("Children added: %1.").arg(childrenAdded.join(QStringLiteral(", ")));
    lines << (recordsAdded == 1 ? QStringLiteral("1 record added.")
                                : QStringLiteral("%1 records added.").arg(recordsAdded));
    if (differences.isEmpty()) {
        lines << QStringLiteral("No record differed between the two books.");
    } else {
        lines << QStringLiteral("Records that differed, and the version kept:");
        for (const QString& d : differences)
            lines << QStringLiteral("  ") + d;
    }
    return lines.join(QLatin1Char('\n'));
}

Summary importBook(const QString& path, const Progress& progress) {
    auto tell = [&](double done) {
        if (progress && !progress(done))
            throw Error(QStringLiteral("The import was stopped; the book is unchanged."));
    };
    tell(0);
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        refuse(path, QStringLiteral("The file cannot be read."));
    int error = 0;
    Zip za(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!za)
        refuse(path,
               error == ZIP_ER_NOZIP || error == ZIP_ER_INCONS || error == ZIP_ER_CRC
                   ? QStringLiteral("It is not a Tinyra book, or it is damaged or incomplete; nothing was "
                                    "imported.")
                   : QStringLiteral("The file cannot be read; nothing was imported."));
    // Every entry is looked at before anything is read.
    QStringList names;
    const zip_int64_t count = zip_get_num_entries(za.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* raw = zip_get_name(za.get(), zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString name = raw ? QString::fromUtf8(raw) : QString();
        if (climbsOut(name))
            refuse(path,
                   QStringLiteral("The file holds an entry named \"%1\", which points outside the book. "
                                  "Nothing was imported.")
                       .arg(name));
        zip_stat_t st;
        if (zip_stat_index(za.get(), zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
            refuse(path, damaged());
        const zip_uint64_t cap = name == QLatin1String(kBookEntry) ? kMaxBookJson : kMaxPicture;
        if (st.size > cap)
            refuse(path,
                   QStringLiteral("The file holds %1, of %2 bytes: far more than a book holds. Nothing was "
                                  "imported.")
                       .arg(name)
                       .arg(st.size));
        names << name;
    }
    if (!names.contains(QLatin1String(kBookEntry)))
        refuse(path,
               QStringLiteral("It is not a Tinyra book (it holds no book.json); nothing was imported."));
    const Reader reader(path, za.get());
    QJsonParseError parseError;
    const QJsonDocument doc =
        QJsonDocument::fromJson(reader.read(QLatin1String(kBookEntry), kMaxBookJson), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        refuse(path, damaged());
    const QJsonObject root = doc.object();
    if (root.value(QLatin1String("format")).toString() != kFormat)
        refuse(path, QStringLiteral("It is not a Tinyra book; nothing was imported."));
    const int version = root.value(QLatin1String("version")).toInt(0);
    if (version > FormatVersion)
        refuse(path,
               QStringLiteral("It was written by a newer version of Tinyra (book format %1; this version "
                              "reads up to %2). Nothing was imported.")
                   .arg(version)
                   .arg(FormatVersion));
    if (version < 1)
        refuse(path, QStringLiteral("It is not a Tinyra book; nothing was imported."));
    const QJsonValue childrenValue = root.value(QLatin1String("children"));
    if (!childrenValue.isArray())
        refuse(path, damaged());
    const QJsonArray children = childrenValue.toArray();

    const TableShape childShape = shapeOf(QStringLiteral("CHILD"));
    QList<TableShape> shapes;
    for (const QString& table : Schema::childTables())
        shapes << shapeOf(table);

    Merger merger(path, reader, names);
    Transaction tx;
    for (int c = 0; c < children.size(); ++c) {
        const QJsonObject child = children[c].toObject();
        const QJsonObject row = child.value(QLatin1String("child")).toObject();
        const QString name = row.value(QLatin1String("FirstName")).toString();
        if (name.isEmpty())
            refuse(path, damaged());
        QSqlQuery known = Database::exec(QStringLiteral("SELECT 1 FROM CHILD WHERE FirstName = ?"), {name});
        const bool added = !known.next();
        known.finish();
        if (added)
            merger.summary.childrenAdded << name;
        merger.mergeTable(name, childShape, QJsonArray{row}, name);
        const QJsonObject tables = child.value(QLatin1String("tables")).toObject();
        // The entries' photos go to the photo folder before the records that name them.
        for (const QJsonValue& photo : tables.value(QLatin1String("ENTRYPHOTOS")).toArray()) {
            const QString file = photo.toObject().value(QLatin1String("file")).toString();
            if (!PhotoFiles::isPhotoName(file))
                refuse(path, damaged() + QStringLiteral("\n(A photo is named %1.)").arg(file));
            const QString entry = QStringLiteral("photos/") + file;
            if (!names.contains(entry) || QFileInfo::exists(PhotoFiles::pathOf(file)))
                continue;
            try {
                PhotoFiles::storeBytes(file, reader.read(entry, kMaxPicture));
            } catch (const StoreError& e) {
                refuse(path, e.message());
            }
        }
        for (const TableShape& shape : shapes)
            merger.mergeTable(name, shape, tables.value(shape.name).toArray(), name);
        tell(double(c + 1) / double(children.size() + 1));
    }
    // A book that had no child yet opens on the first child it was given.
    if (!merger.summary.childrenAdded.isEmpty()) {
        QSqlQuery previous =
            Database::exec(QStringLiteral("SELECT FirstName FROM PREVIOUS ORDER BY rowid LIMIT 1"));
        const bool none = previous.next() && previous.value(0).toString() == Children::NoChildYet;
        previous.finish();
        if (none)
            Database::exec(
                QStringLiteral(
                    "UPDATE PREVIOUS SET FirstName = ? WHERE rowid = (SELECT min(rowid) FROM PREVIOUS)"),
                {merger.summary.childrenAdded.first()});
    }
    tx.commit();
    // The active child's lists are read again from the store.
    if (!merger.summary.changedNothing() && Entries().isActive())
        Entries().childSwitch(Entries().child());
    if (progress)
        progress(1);
    return merger.summary;
}
} // namespace BookFile
