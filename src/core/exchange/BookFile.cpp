#include "core/exchange/BookFile.h"
#include "core/exchange/JsonStream.h"

#include "core/book/Children.h"
#include "core/book/EntryStore.h"
#include "core/sharing/Changes.h"
#include "core/store/Database.h"
#include "core/store/PhotoFiles.h"
#include "core/store/Schema.h"
#include "core/store/StoreError.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <zip.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <memory>
#include <optional>
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
    // Whether a record's identity is one across the whole book (a uid, an entry's photo), not only
    // among the child's records.
    bool identityOfBook = false;
    // The column of a uid, or -1.
    int uid = -1;
};

TableShape shapeOf(const QString& table) {
    TableShape shape{table, {}, {}, -1};
    bool childInKey = false;
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
        // A book file knows a child by first name; the identity that sharing gives a child is this
        // book's own until import merges through the shared changes.
        if (table == QLatin1String("CHILD") && name == QLatin1String("uid"))
            continue;
        if (name == QLatin1String("child") && table != QLatin1String("CHILD")) {
            childInKey = key;
            continue;
        }
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
    if (!shape.identity.isEmpty())
        shape.uid = shape.identity.first();
    if (shape.identity.isEmpty())
        for (int i = 0; i < all.size(); ++i)
            if (isKey[i])
                shape.identity.append(i);
    shape.identityOfBook =
        shape.uid >= 0 || (!shape.identity.isEmpty() && !childInKey && table != QLatin1String("CHILD"));
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

QByteArray compact(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QString exportStopped() {
    return QStringLiteral("The export was stopped; no file was written.");
}

// One export, section by section: book.json (its head, then each child's row and tables, then its
// tail) is written to a temporary file, record by record; then the zip is written, libzip reading
// book.json back, each picture from the photo folder or the store, and the entries' photos.
class BookWriter {
public:
    BookWriter(const QString& path, const BookFile::Progress& progress)
        : m_path(path), m_progress(progress), m_state{&progress, false},
          m_json(QDir::temp().filePath(QStringLiteral("tinyra-book-XXXXXX.json"))) {}

    void writeBookJson();
    void writeZip();

private:
    // A picture's entry in the zip: its source, owned here until libzip takes it, or, for a picture
    // in the photo folder, its path.
    struct Picture {
        std::unique_ptr<PictureSource> source;
        QString name;
        QString path;
    };

    void tell(double done);
    void write(const QByteArray& bytes);
    void writeHead();
    void writeChild(int index, const QString& name);
    void writeTable(int index, const TableShape& shape, const QString& child);
    void writeChanges();
    QJsonObject recordOf(const QSqlQuery& q, const TableShape& shape);
    std::optional<QJsonObject> pictureInFolder(const QString& photo, const QString& key);
    QJsonObject pictureInStore(const QSqlQuery& q, int column, const TableShape& shape, const QString& key);
    zip_t* openZip() const;
    [[noreturn]] void fail(zip_t* za) const;
    void addBookJson(zip_t* za);
    void addPictures(zip_t* za);
    void addEntryPhotos(zip_t* za);
    void closeZip(zip_t* za);

    QString m_path;
    const BookFile::Progress& m_progress;
    ProgressState m_state;
    QTemporaryFile m_json;
    std::vector<Picture> m_pictures;
    TableShape m_childShape;
    QList<TableShape> m_shapes;
    qint64 m_totalRows = 1;
    qint64 m_rowsDone = 0;
    time_t m_now = 0;
};

void BookWriter::tell(double done) {
    if (m_progress && !m_progress(done))
        m_state.stopped = true;
    if (m_state.stopped)
        throw BookFile::Error(exportStopped());
}

void BookWriter::write(const QByteArray& bytes) {
    if (m_json.write(bytes) != bytes.size())
        throw BookFile::Error(QStringLiteral("Tinyra cannot write a temporary file for the book:\n%1")
                                  .arg(m_json.errorString()));
}

void BookWriter::writeBookJson() {
    tell(0);
    if (!m_json.open())
        throw BookFile::Error(QStringLiteral("Tinyra cannot make a temporary file for the book:\n%1")
                                  .arg(m_json.errorString()));
    writeHead();
    {
        QSqlQuery changes = Database::exec(QStringLiteral("SELECT count(*) FROM STAMPS"));
        m_totalRows = qMax<qint64>(1, countRows() + (changes.next() ? changes.value(0).toLongLong() : 0));
    }
    m_now = std::time(nullptr);
    m_childShape = shapeOf(QStringLiteral("CHILD"));
    for (const QString& table : Schema::childTables())
        m_shapes << shapeOf(table);

    QStringList names;
    {
        QSqlQuery q = Database::exec(QStringLiteral("SELECT FirstName FROM CHILD ORDER BY FirstName"));
        while (q.next())
            names << q.value(0).toString();
    }
    for (int c = 0; c < names.size(); ++c)
        writeChild(c, names[c]);
    write("\n],\n\"changes\":[");
    writeChanges();
    write("\n]}\n");
    if (!m_json.flush())
        throw BookFile::Error(QStringLiteral("Tinyra cannot write a temporary file for the book:\n%1")
                                  .arg(m_json.errorString()));
}

// The format, its version, the program and the moment, and the start of the children.
void BookWriter::writeHead() {
    const QString exported = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    write(QStringLiteral("{\"format\":\"%1\",\"version\":%2,\"program\":\"Tinyra %3\",\"exported\":\"%4\",\n"
                         "\"children\":[")
              .arg(kFormat)
              .arg(BookFile::FormatVersion)
              .arg(QCoreApplication::applicationVersion().isEmpty() ? QStringLiteral(TINYRA_VERSION)
                                                                    : QCoreApplication::applicationVersion(),
                   exported)
              .toUtf8());
}

// Child `index` of the book: its row of CHILD, then each of its tables.
void BookWriter::writeChild(int index, const QString& name) {
    QJsonObject row;
    {
        QSqlQuery q = Database::exec(QStringLiteral("SELECT %1, uid FROM CHILD WHERE FirstName = ?")
                                         .arg(columnList(m_childShape, false)),
                                     {name});
        q.next();
        for (int i = 0; i < m_childShape.columns.size(); ++i)
            row.insert(m_childShape.columns[i].name, jsonOf(q.value(i), m_childShape.columns[i].kind));
        // The child's identity across books, which its change records name.
        row.insert(QStringLiteral("uid"), q.value(int(m_childShape.columns.size())).toString());
    }
    write((index ? QByteArray(",\n{\"child\":") : QByteArray("\n{\"child\":")) + compact(row) + "," +
          "\"tables\":{");
    for (int t = 0; t < m_shapes.size(); ++t)
        writeTable(t, m_shapes[t], name);
    write("}}");
}

// The child's records of one table, one line each, in the order stored.
void BookWriter::writeTable(int index, const TableShape& shape, const QString& child) {
    write((index ? QByteArray(",\n\"") : QByteArray("\n\"")) + shape.name.toUtf8() + "\":[");
    QSqlQuery q = Database::exec(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE child = ? ORDER BY rowid")
                                     .arg(columnList(shape, true), shape.name),
                                 {child});
    bool firstRecord = true;
    while (q.next()) {
        write((firstRecord ? QByteArray("\n") : QByteArray(",\n")) + compact(recordOf(q, shape)));
        firstRecord = false;
        if (++m_rowsDone % 2048 == 0)
            tell(0.1 * double(m_rowsDone) / double(m_totalRows));
    }
    write("]");
}

// Every change record the book holds (what Changes::allChanges() gives, removals among them), one
// line each as [table, child, key, field, value, stamp], read row by row so that a long book costs no
// more memory than one record.
void BookWriter::writeChanges() {
    QSqlQuery q = Database::exec(
        QStringLiteral("SELECT tbl, child, key, field, value, stamp FROM STAMPS ORDER BY stamp"));
    bool first = true;
    while (q.next()) {
        const QVariant v = q.value(4);
        QJsonValue value;
        if (v.isNull())
            value = QJsonValue::Null;
        else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
            value = v.toLongLong();
        else if (v.typeId() == QMetaType::Double)
            value = v.toDouble();
        else
            value = v.toString();
        const QJsonArray change{
            q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(), value,
            q.value(5).toString()};
        write((first ? QByteArray("\n") : QByteArray(",\n")) +
              QJsonDocument(change).toJson(QJsonDocument::Compact));
        first = false;
        if (++m_rowsDone % 2048 == 0)
            tell(0.1 * double(m_rowsDone) / double(m_totalRows));
    }
}

// The record `q` is on (its rowid first, then the shape's columns and its photo file), each picture
// as the zip entry that holds it.
QJsonObject BookWriter::recordOf(const QSqlQuery& q, const TableShape& shape) {
    QJsonObject record;
    const QString photo = shape.blobInFile ? q.value(int(shape.columns.size()) + 1).toString() : QString();
    for (int i = 0; i < shape.columns.size(); ++i) {
        const Column& col = shape.columns[i];
        if (col.kind != Column::Kind::Blob) {
            record.insert(col.name, jsonOf(q.value(i + 1), col.kind));
            continue;
        }
        QString key = record.value(QLatin1String("picture")).toString();
        if (key.isEmpty())
            key = col.name;
        if (photo.isEmpty())
            record.insert(col.name, pictureInStore(q, i + 1, shape, key));
        else if (const std::optional<QJsonObject> picture = pictureInFolder(photo, key))
            record.insert(col.name, *picture);
    }
    return record;
}

// A picture kept in the photo folder, added as a file; one gone from the folder travels as none, as
// it shows here.
std::optional<QJsonObject> BookWriter::pictureInFolder(const QString& photo, const QString& key) {
    QFile in(PhotoFiles::pathOf(photo));
    if (!in.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = in.read(8);
    const QString file = pictureName(int(m_pictures.size()) + 1, key, head);
    m_pictures.push_back({nullptr, file, in.fileName()});
    return QJsonObject{{QStringLiteral("file"), file}, {QStringLiteral("size"), double(in.size())}};
}

// A picture still kept inside the store (by an earlier version), read from it only while libzip
// writes its entry; `column` is its place in `q`, which holds its length.
QJsonObject BookWriter::pictureInStore(const QSqlQuery& q, int column, const TableShape& shape,
                                       const QString& key) {
    const QString& name = shape.columns[column - 1].name;
    auto source = std::make_unique<PictureSource>(PictureSource{
        shape.name, name, q.value(0).toLongLong(), q.value(column).toLongLong(), m_now, {}, 0, {}});
    zip_error_init(&source->error);
    QSqlQuery head = Database::exec(
        QStringLiteral("SELECT substr(%1, 1, 8) FROM %2 WHERE rowid = ?").arg(name, shape.name),
        {source->rowid});
    const QString file = pictureName(int(m_pictures.size()) + 1, key,
                                     head.next() ? head.value(0).toByteArray() : QByteArray());
    const QJsonObject picture{{QStringLiteral("file"), file}, {QStringLiteral("size"), double(source->size)}};
    m_pictures.push_back({std::move(source), file, {}});
    return picture;
}

void BookWriter::writeZip() {
    zip_t* za = openZip();
    addBookJson(za);
    addPictures(za);
    addEntryPhotos(za);
    closeZip(za);
}

zip_t* BookWriter::openZip() const {
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(m_path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!za) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, error);
        const QString problem = QString::fromLocal8Bit(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        refuse(m_path, QStringLiteral("The book cannot be written there: %1").arg(problem));
    }
    return za;
}

// Gives up the zip (no file is left) for the problem libzip reports.
void BookWriter::fail(zip_t* za) const {
    const QString problem = zipProblem(za);
    zip_discard(za);
    refuse(m_path, QStringLiteral("The book could not be written: %1").arg(problem));
}

void BookWriter::addBookJson(zip_t* za) {
    zip_source_t* bookSource = zip_source_file(za, QFile::encodeName(m_json.fileName()).constData(), 0, -1);
    if (!bookSource || zip_file_add(za, kBookEntry, bookSource, ZIP_FL_ENC_UTF_8) < 0) {
        if (bookSource)
            zip_source_free(bookSource);
        fail(za);
    }
}

void BookWriter::addPictures(zip_t* za) {
    for (Picture& picture : m_pictures) {
        zip_source_t* src = picture.source
                                ? zip_source_function(za, readPicture, picture.source.get())
                                : zip_source_file(za, QFile::encodeName(picture.path).constData(), 0, -1);
        if (!src)
            fail(za);
        picture.source.release(); // freed by the source from now on
        const QByteArray name = picture.name.toUtf8();
        const zip_int64_t index = zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            fail(za);
        }
        // Photos are compressed already: they are stored as they are.
        zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
}

// The entries' photos, each once, as the photo folder keeps them; one gone from the folder is left
// out (its entry then shows it missing, as it does here).
void BookWriter::addEntryPhotos(zip_t* za) {
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
            fail(za);
        }
        zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
}

// Writes the zip, telling the progress and hearing a stop while libzip writes.
void BookWriter::closeZip(zip_t* za) {
    zip_register_progress_callback_with_state(za, 0.002, zipProgress, nullptr, &m_state);
    zip_register_cancel_callback_with_state(za, zipCancel, nullptr, &m_state);
    if (zip_close(za) != 0) {
        const bool stopped = m_state.stopped;
        const QString problem = zipProblem(za);
        zip_discard(za);
        if (stopped)
            throw BookFile::Error(exportStopped());
        refuse(m_path, QStringLiteral("The book could not be written: %1").arg(problem));
    }
}

// ---- Import

struct ZipCloser {
    void operator()(zip_t* za) const { zip_discard(za); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

// The longest text one record of book.json may have: a diary entry of a whole book's length is far
// below it. A longer one is refused before it is held whole.
constexpr qint64 kMaxRecordJson = 16ll * 1024 * 1024;
// What an import leaves free on the disk of the data folder, beyond what it writes.
constexpr qint64 kSpareSpace = 64ll * 1024 * 1024;
// The characters a date keeps in the forms' masked date boxes ("MM-DD-YY").
constexpr int kDateWidth = 8;
// How many records a refusal names before it only counts the rest.
constexpr int kNamedInRefusal = 10;

qint64 freeSpaceForTesting = -1;

bool climbsOut(const QString& name) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        (name.size() > 1 && name.at(1) == QLatin1Char(':')))
        return true;
    for (const QString& part : name.split(QLatin1Char('/')))
        if (part == QLatin1String(".."))
            return true;
    return false;
}

QString sizeInWords(qint64 bytes) {
    return QLocale(QLocale::English).formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
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
        const zip_uint64_t size = sizeOf(name, cap);
        zip_file_t* f = open(name);
        QByteArray bytes(qsizetype(size), Qt::Uninitialized);
        zip_int64_t got = 0;
        bool sound = true;
        while (sound && zip_uint64_t(got) < size) {
            const zip_int64_t n = zip_fread(f, bytes.data() + got, size - zip_uint64_t(got));
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

    // The entry's size, checked as read() checks it.
    zip_uint64_t sizeOf(const QString& name, zip_uint64_t cap) const {
        zip_stat_t st;
        if (zip_stat_index(m_za, indexOf(name), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
            refuse(m_path, damaged());
        if (st.size > cap)
            refuse(m_path,
                   QStringLiteral("The file holds %1, of %2 bytes: far more than a book holds. Nothing "
                                  "was imported.")
                       .arg(name)
                       .arg(st.size));
        return st.size;
    }

    // The entry opened for reading; closed with zip_fclose.
    zip_file_t* open(const QString& name) const {
        zip_file_t* f = zip_fopen_index(m_za, indexOf(name), 0);
        if (!f)
            refuse(m_path, damaged());
        return f;
    }

private:
    zip_uint64_t indexOf(const QString& name) const {
        const QByteArray utf8 = name.toUtf8();
        const zip_int64_t index = zip_name_locate(m_za, utf8.constData(), ZIP_FL_ENC_GUESS);
        if (index < 0)
            refuse(m_path, damaged() + QStringLiteral("\n(%1 is missing.)").arg(name));
        return zip_uint64_t(index);
    }

    QString m_path;
    zip_t* m_za;
};

// An entry of the zip read as a stream, never past the size it declares; its checksum is compared
// when its end is reached.
class EntryStream {
public:
    EntryStream(zip_file_t* f, zip_uint64_t size) : m_f(f), m_size(size) {}
    ~EntryStream() { zip_fclose(m_f); }
    EntryStream(const EntryStream&) = delete;
    EntryStream& operator=(const EntryStream&) = delete;

    qint64 read(char* into, qint64 max) {
        if (m_got == m_size) {
            char extra = 0;
            return zip_fread(m_f, &extra, 1) == 0 ? 0 : -1;
        }
        const zip_int64_t n = zip_fread(m_f, into, std::min<zip_uint64_t>(zip_uint64_t(max), m_size - m_got));
        if (n <= 0)
            return -1;
        m_got += zip_uint64_t(n);
        return n;
    }

private:
    zip_file_t* m_f;
    zip_uint64_t m_size;
    zip_uint64_t m_got = 0;
};

QString fieldOf(const TableShape& shape, const QVariantList& v, const char* name) {
    for (int i = 0; i < shape.columns.size(); ++i)
        if (shape.columns[i].name == QLatin1String(name))
            return v.value(i).toString();
    return QString();
}

QString describeRecord(const QString& table, const TableShape& shape, const QVariantList& v) {
    auto field = [&](const char* name) { return fieldOf(shape, v, name); };
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
    if (table == QLatin1String("ENTRYPHOTOS"))
        return QStringLiteral("photo %1 of an entry").arg(field("name"));
    QStringList id;
    for (int i : shape.identity)
        id << v.value(i).toString();
    return QStringLiteral("%1 %2").arg(table, id.join(QLatin1Char('/')));
}

// What a record of the table is called when there are two of it.
QString recordsOf(const QString& table) {
    if (table == QLatin1String("ENTRIES"))
        return QStringLiteral("entries");
    if (table == QLatin1String("GROWTH"))
        return QStringLiteral("growth records");
    if (table == QLatin1String("FAMILY"))
        return QStringLiteral("relatives");
    if (table == QLatin1String("TEETH"))
        return QStringLiteral("teeth");
    if (table == QLatin1String("SHEETS"))
        return QStringLiteral("fields of a sheet");
    if (table == QLatin1String("PICTURES"))
        return QStringLiteral("pictures");
    if (table == QLatin1String("ENTRYPHOTOS"))
        return QStringLiteral("photos of an entry");
    return QStringLiteral("records");
}

// The characters the forms keep of a text column, or 0 for as many as typed.
int widthOf(const QString& table, const QString& column) {
    if (table == QLatin1String("CHILD")) {
        const TableDef& child = Schema::child();
        const int i = child.indexOf(column);
        return i >= 0 && child.fields[i].type == FieldDef::Type::String ? child.fields[i].width : 0;
    }
    if (column == QLatin1String("Date") &&
        (table == QLatin1String("ENTRIES") || table == QLatin1String("GROWTH") ||
         table == QLatin1String("FAMILY") || table == QLatin1String("TEETH")))
        return kDateWidth;
    if (table == QLatin1String("ENTRYPHOTOS") && column == QLatin1String("taken"))
        return kDateWidth;
    return 0;
}

// `text` cut to `width` characters, never leaving half of a character written as a pair.
QString cutTo(const QString& text, int width) {
    if (width <= 0 || text.size() <= width)
        return text;
    return text.left(text.at(width - 1).isHighSurrogate() ? width - 1 : width);
}

// The format and version book.json names, read past everything else; false when it cannot be read.
bool formatOf(const Reader& reader, zip_uint64_t size, QString* format, int* version) {
    try {
        EntryStream entry(reader.open(QLatin1String(kBookEntry)), size);
        JsonStream json([&](char* into, qint64 max) { return entry.read(into, max); });
        json.enterObject();
        QString member;
        while (json.nextMember(&member)) {
            if (member == QLatin1String("format"))
                *format = json.readValue(1024).toString();
            else if (member == QLatin1String("version"))
                *version = json.readValue(1024).toInt(0);
            else
                json.skipValue();
        }
        return true;
    } catch (const JsonStream::Error&) {
        return false;
    } catch (const BookFile::Error&) {
        return false;
    }
}

class Merger {
public:
    Merger(const QString& path, const Reader& reader, const QStringList& fileNames)
        : m_path(path), m_reader(reader) {
        for (const QString& n : fileNames)
            m_files.insert(n);
    }

    BookFile::Summary summary;

    // Readies the merging of the child's records of one table: the records the book holds now, by
    // identity.
    void beginTable(const QString& child, const TableShape& shape) {
        const bool childRow = shape.name == QLatin1String("CHILD");
        if (!m_lastBefore.contains(shape.name)) {
            QSqlQuery q = Database::exec(QStringLiteral("SELECT max(rowid) FROM %1").arg(shape.name));
            m_lastBefore.insert(shape.name, q.next() ? q.value(0).toLongLong() : 0);
        }
        m_rowOf.clear();
        QSqlQuery q =
            Database::exec(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3 = ?")
                               .arg(identityColumns(shape), shape.name,
                                    childRow ? QStringLiteral("FirstName") : QStringLiteral("child")),
                           {child});
        while (q.next()) {
            QVariantList id;
            for (int i = 0; i < shape.identity.size(); ++i)
                id << q.value(i + 1);
            m_rowOf.insert(keyOf(id), q.value(0).toLongLong());
        }
    }

    // Merges one record of the file into the book: added when the book lacks it, the newer kept when
    // the two differ. A record the book cannot place is only noted, to be named when the import is
    // refused at its end (finish()).
    void merge(const QString& child, const TableShape& shape, const QJsonValue& record) {
        if (!record.isObject())
            refuse(m_path, damaged());
        const bool childRow = shape.name == QLatin1String("CHILD");
        Incoming in = incoming(shape, record.toObject());
        if (const QString problem = unplaceable(shape, in); !problem.isEmpty()) {
            if (m_unplaceable.size() < kNamedInRefusal)
                m_unplaceable << QStringLiteral("%1: %2").arg(child, problem);
            ++m_unplaceableCount;
            return;
        }
        const QStringList cut = cutToWidths(shape, in);
        // A record that came without its identity is known by what it holds.
        const bool byContent = shape.uid >= 0 && in.values[shape.uid].toString().isEmpty();
        if (byContent)
            in.values[shape.uid] = contentIdentity(child, shape, in.values);
        if (shape.name == QLatin1String("ENTRYPHOTOS"))
            keepEntryPhoto(fieldOf(shape, in.values, "file"));
        QVariantList id;
        for (int i : shape.identity)
            id << in.values.at(i);
        const auto found = m_rowOf.constFind(keyOf(id));
        if (found == m_rowOf.cend()) {
            if (const auto there = elsewhere(child, shape, id)) {
                if (byContent) // the same record, twice in the file
                    return;
                if (there->first != child && there->second <= m_lastBefore.value(shape.name))
                    refuse(m_path,
                           QStringLiteral("The book file has %1's %2, which this book keeps for %3; "
                                          "nothing was imported.")
                               .arg(child, describeRecord(shape.name, shape, in.values), there->first));
                refuseTwice(child, shape, in.values);
            }
            fill(in);
            store(child, shape, in, -1);
            if (!childRow)
                ++summary.recordsAdded;
            noteCut(child, shape, in.values, cut);
            return;
        }
        if (byContent)
            return;
        // A record the book had before is met once; one added by this import, or met again, is in the
        // file twice.
        if (*found > m_lastBefore.value(shape.name) || m_met[shape.name].contains(*found))
            refuseTwice(child, shape, in.values);
        m_met[shape.name].insert(*found);
        const QVariantList mine = localRow(shape, *found);
        fill(in);
        const int order = compare(shape, in.values, mine);
        if (order == 0)
            return;
        const bool theirs = order > 0;
        if (theirs) {
            store(child, shape, in, *found);
            noteCut(child, shape, in.values, cut);
        }
        summary.differences << QStringLiteral("%1: %2 (%3, newer)")
                                   .arg(child, describeRecord(shape.name, shape, theirs ? in.values : mine),
                                        theirs ? QStringLiteral("the file's")
                                               : QStringLiteral("this book's"));
    }

    // Refuses the import when the file held records the book cannot place, naming them.
    void finish() const {
        if (m_unplaceableCount == 0)
            return;
        QStringList lines = m_unplaceable;
        if (m_unplaceableCount > m_unplaceable.size())
            lines << QStringLiteral("and %1 more").arg(m_unplaceableCount - m_unplaceable.size());
        refuse(m_path,
               QStringLiteral("The book file has records this version of Tinyra cannot place; nothing "
                              "was imported:\n  ") +
                   lines.join(QStringLiteral("\n  ")));
    }

private:
    // Reads a record of the file into the shape's columns; refuses a record that lacks its identity
    // or names a picture the zip does not hold. A number that is no whole number is read as none.
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
                const double d = v.toDouble();
                const bool whole = v.isDouble() && std::abs(d) < 1e15 && d == std::floor(d);
                in.values.append(whole ? QVariant(qint64(d)) : QVariant());
            } else {
                in.values.append(v.isString() ? v.toString() : QString());
            }
        }
        return in;
    }

    // Why the book has no place for the record (a diary, a relative or a tooth it does not have), or
    // empty when it has one.
    static QString unplaceable(const TableShape& shape, const Incoming& in) {
        auto number = [&](const char* name, qint64 low, qint64* value) {
            for (int i = 0; i < shape.columns.size(); ++i)
                if (shape.columns[i].name == QLatin1String(name)) {
                    const QVariant v = in.values[i];
                    *value = v.isNull() ? low - 1 : v.toLongLong();
                    return v.isNull() ? QStringLiteral("none") : QString::number(*value);
                }
            *value = low;
            return QString();
        };
        auto outside = [](qint64 v, qint64 low, qint64 high) { return v < low || v > high; };
        auto what = [&] { return describeRecord(shape.name, shape, in.values); };
        const qint64 lastList = qint64(DiaryList::ChildhoodDiseases);
        qint64 value = 0;
        if (shape.name == QLatin1String("ENTRIES") || shape.name == QLatin1String("ENTRYPHOTOS")) {
            const QString list = number("list", 0, &value);
            if (outside(value, 0, lastList))
                return QStringLiteral("%1 in list %2, which no diary has (the diaries are 0 to %3)")
                    .arg(what(), list)
                    .arg(lastList);
        }
        if (shape.name == QLatin1String("ENTRYPHOTOS")) {
            if (fieldOf(shape, in.values, "entry").isEmpty())
                return QStringLiteral("%1, which names no entry").arg(what());
            number("position", 0, &value);
            if (outside(value, 0, std::numeric_limits<int>::max()))
                return QStringLiteral("%1, without its place among the entry's photos").arg(what());
        }
        if (shape.name == QLatin1String("FAMILY")) {
            const QString slot = number("slot", 1, &value);
            if (outside(value, 1, EntryStore::FamilySlots))
                return QStringLiteral("relative %1 of the family tree (the relatives are 1 to %2)")
                    .arg(slot)
                    .arg(EntryStore::FamilySlots);
        }
        if (shape.name == QLatin1String("TEETH")) {
            const QString slot = number("slot", 1, &value);
            if (outside(value, 1, EntryStore::ToothSlots))
                return QStringLiteral("tooth %1 (the teeth are 1 to %2)")
                    .arg(slot)
                    .arg(EntryStore::ToothSlots);
        }
        return QString();
    }

    // Cuts the record's texts to the characters the forms keep; returns each column cut, with its
    // width.
    static QStringList cutToWidths(const TableShape& shape, Incoming& in) {
        QStringList cut;
        for (int i = 0; i < shape.columns.size(); ++i) {
            if (shape.columns[i].kind != Column::Kind::Text)
                continue;
            const int width = widthOf(shape.name, shape.columns[i].name);
            const QString text = in.values[i].toString();
            const QString kept = cutTo(text, width);
            if (kept.size() == text.size())
                continue;
            in.values[i] = kept;
            cut << QStringLiteral("%1 cut to %2 characters").arg(shape.columns[i].name).arg(width);
        }
        return cut;
    }

    void noteCut(const QString& child, const TableShape& shape, const QVariantList& values,
                 const QStringList& cut) {
        for (const QString& c : cut)
            summary.cut
                << QStringLiteral("%1: %2, %3").arg(child, describeRecord(shape.name, shape, values), c);
    }

    // An identity made of the record's child, table and values, the same in every book that imports
    // it: so that a record without a uid is added once however often its file is imported.
    static QString contentIdentity(const QString& child, const TableShape& shape,
                                   const QVariantList& values) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(shape.name.toUtf8());
        hash.addData(QByteArrayView("\x1e", 1));
        hash.addData(child.toUtf8());
        for (int i = 0; i < shape.columns.size(); ++i) {
            if (i == shape.uid || i == shape.changed)
                continue;
            hash.addData(QByteArrayView("\x1e", 1));
            hash.addData(shape.columns[i].name.toUtf8());
            hash.addData(QByteArrayView("\x1f", 1));
            hash.addData(values[i].toString().toUtf8());
        }
        return QString::fromLatin1(hash.result().toHex().left(32));
    }

    // The child and row that hold a record of this identity in the book now, where the child's own
    // records (read at beginTable) do not: one of another child, or one this import added.
    std::optional<std::pair<QString, qint64>> elsewhere(const QString& child, const TableShape& shape,
                                                        const QVariantList& id) const {
        const bool childRow = shape.name == QLatin1String("CHILD");
        QStringList where;
        QVariantList bound;
        for (int k = 0; k < shape.identity.size(); ++k) {
            where << shape.columns[shape.identity[k]].name + QStringLiteral(" = ?");
            bound << id[k];
        }
        if (!shape.identityOfBook && !childRow) {
            where << QStringLiteral("child = ?");
            bound << child;
        }
        // The index of uids leaves out the empty one; saying so lets the lookup use it.
        if (shape.uid >= 0)
            where << QStringLiteral("uid <> ''");
        QSqlQuery& q = run(QStringLiteral("SELECT %1, rowid FROM %2 WHERE %3")
                               .arg(childRow ? QStringLiteral("FirstName") : QStringLiteral("child"),
                                    shape.name, where.join(QStringLiteral(" AND "))),
                           bound);
        std::optional<std::pair<QString, qint64>> there;
        if (q.next())
            there = std::pair{q.value(0).toString(), q.value(1).toLongLong()};
        q.finish();
        return there;
    }

    [[noreturn]] void refuseTwice(const QString& child, const TableShape& shape,
                                  const QVariantList& values) const {
        if (shape.name == QLatin1String("CHILD"))
            refuse(m_path, QStringLiteral("The book file has %1 twice; nothing was imported.").arg(child));
        refuse(m_path, QStringLiteral("The book file has two %1 with the same identity (the %2); nothing was "
                                      "imported.")
                           .arg(recordsOf(shape.name), describeRecord(shape.name, shape, values)));
    }

    // An entry's photo the file carries goes to the photo folder, once, before the record that names it.
    void keepEntryPhoto(const QString& file) {
        if (!PhotoFiles::isPhotoName(file))
            refuse(m_path, damaged() + QStringLiteral("\n(A photo is named %1.)").arg(file));
        const QString entry = QStringLiteral("photos/") + file;
        if (!m_files.contains(entry) || QFileInfo::exists(PhotoFiles::pathOf(file)))
            return;
        try {
            PhotoFiles::storeBytes(file, m_reader.read(entry, kMaxPicture));
        } catch (const StoreError& e) {
            refuse(m_path, e.message());
        }
    }

    // The picture bytes of every blob column, read from the zip.
    void fill(Incoming& in) const {
        for (auto it = in.files.cbegin(); it != in.files.cend(); ++it)
            in.values[it.key()] =
                it.value().isEmpty() ? QByteArray("") : m_reader.read(it.value(), kMaxPicture);
    }

    // Adds the record (`rowid` -1) or puts it in place of the row; a write the store refuses is told
    // in the parent's words.
    void store(const QString& child, const TableShape& shape, const Incoming& in, qint64 rowid) const {
        try {
            if (rowid < 0)
                insert(child, shape, in.values);
            else
                update(shape, rowid, in.values);
        } catch (const StoreError& e) {
            const bool full = e.message().contains(QLatin1String("full"), Qt::CaseInsensitive);
            refuse(m_path,
                   full ? QStringLiteral("The disk is full: the book file's records do not fit. Nothing "
                                         "was imported.")
                        : QStringLiteral("Tinyra could not keep %1's %2 from the book file; nothing was "
                                         "imported.")
                              .arg(child, describeRecord(shape.name, shape, in.values)));
        }
    }

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

    QVariantList localRow(const TableShape& shape, qint64 rowid) const {
        QSqlQuery& q =
            run(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(columnList(shape, false), shape.name),
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
        q.finish();
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
        run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
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
        run(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                .arg(shape.name, sets.join(QStringLiteral(", "))),
            bound);
    }

    // Runs one statement as Database::exec does, each statement prepared once for the whole import:
    // preparing one again for each of a million records would take most of the import's time.
    QSqlQuery& run(const QString& sql, const QVariantList& values) const {
        auto it = m_statements.find(sql);
        if (it == m_statements.end()) {
            QSqlQuery q(Database::db());
            q.setForwardOnly(true);
            if (!q.prepare(sql))
                throw StoreError(q.lastError().text());
            it = m_statements.insert(sql, q);
        }
        QSqlQuery& q = *it;
        for (int i = 0; i < values.size(); ++i) {
            const QVariant& v = values[i];
            // An empty QString may be null, which SQLite would store as NULL: text is stored as text.
            q.bindValue(i, v.typeId() == QMetaType::QString && v.toString().isNull()
                               ? QVariant(QStringLiteral(""))
                               : v);
        }
        if (!q.exec())
            throw StoreError(q.lastError().text());
        return q;
    }

    QString m_path;
    const Reader& m_reader;
    QSet<QString> m_files;
    QHash<QString, qint64> m_rowOf;      // the child's records of the table, by identity
    QHash<QString, qint64> m_lastBefore; // each table's last row before the import
    QHash<QString, QSet<qint64>> m_met;  // the rows of each table a record of the file met
    mutable QHash<QString, QSqlQuery> m_statements;
    QStringList m_unplaceable;
    int m_unplaceableCount = 0;
};

// ---- Import of change records (version 3)

// A change of the file's `changes`: [table, child, key, field, value, stamp], the value text, a whole
// number or null (a removal).
Change changeOf(const QString& path, const QJsonValue& v) {
    const QJsonArray a = v.toArray();
    bool sound = v.isArray() && a.size() == 6;
    for (int i : {0, 1, 2, 3, 5})
        sound = sound && a.at(i).isString();
    const QJsonValue value = a.at(4);
    sound = sound && (value.isString() || value.isNull() || value.isDouble());
    if (!sound)
        refuse(path, damaged() + QStringLiteral("\n(A change is not its table, child, key, field, value "
                                                "and stamp.)"));
    QVariant held;
    if (value.isString())
        held = value.toString();
    else if (value.isDouble())
        held = value.toDouble() == std::floor(value.toDouble()) && std::abs(value.toDouble()) < 1e15
                   ? QVariant(qint64(value.toDouble()))
                   : QVariant(value.toDouble());
    return {a.at(0).toString(), a.at(1).toString(), a.at(2).toString(), a.at(3).toString(), held,
            a.at(5).toString()};
}

// Merges a file's change records into the book through Changes::apply, after placing the photos and
// pictures they name in the photo folder. Nothing is applied when one change cannot be placed.
class ChangeMerge {
public:
    ChangeMerge(const QString& path, const Reader& reader, const QStringList& fileNames)
        : m_path(path), m_reader(reader), m_names(fileNames) {}

    QVector<Change> changes;

    // A change read from the file. The texts its changes repeat (a table, a child, a record's key, a
    // field) are kept once: a book of many thousand changes is held whole until it is merged.
    void add(Change c) {
        for (QString* s : {&c.table, &c.child, &c.key, &c.field}) {
            const auto kept = m_texts.constFind(*s);
            if (kept == m_texts.cend())
                m_texts.insert(*s);
            else
                *s = *kept;
        }
        changes.append(std::move(c));
    }

    BookFile::Summary apply() {
        m_texts.clear();
        const QStringList cut = cutToWidths();
        refuseUnplaceable();
        keepPhotos();
        const QSet<QString> childrenBefore = childUids();
        const QHash<QString, qint64> rowsBefore = rowCounts();
        QString activeUid;
        if (Entries().isActive()) {
            QSqlQuery q = Database::exec(QStringLiteral("SELECT uid FROM CHILD WHERE FirstName = ?"),
                                         {Entries().child()});
            activeUid = q.next() ? q.value(0).toString() : QString();
        }
        const ApplyResult result = Changes::apply(changes);
        if (!result.refused.isEmpty())
            refuseWith(result.refused);

        BookFile::Summary summary;
        summary.cut = cut;
        summary.renamed = result.renamedChildren;
        summary.changesTaken = result.taken;
        QSqlQuery q = Database::exec(QStringLiteral("SELECT uid, FirstName FROM CHILD ORDER BY FirstName"));
        while (q.next())
            if (!childrenBefore.contains(q.value(0).toString()))
                summary.childrenAdded << q.value(1).toString();
        q.finish();
        const QHash<QString, qint64> rowsAfter = rowCounts();
        for (auto it = rowsAfter.cbegin(); it != rowsAfter.cend(); ++it) {
            const qint64 grown = it.value() - rowsBefore.value(it.key());
            summary.recordsAdded += int(qMax<qint64>(0, grown));
            summary.recordsRemoved += int(qMax<qint64>(0, -grown));
        }
        // The active child, renamed by the file, is found under its new name.
        if (!activeUid.isEmpty()) {
            QSqlQuery name =
                Database::exec(QStringLiteral("SELECT FirstName FROM CHILD WHERE uid = ?"), {activeUid});
            m_activeName = name.next() ? name.value(0).toString() : QString();
        }
        return summary;
    }

    // The active child's first name after the merge (empty when none, or it was removed).
    QString activeName() const { return m_activeName; }

private:
    // Cuts texts longer than the forms keep to their length, as the import of a version 2 file does
    // (a book of an earlier version may hold them); returns each one cut, for the summary.
    QStringList cutToWidths() {
        QHash<QString, QString> names; // the children's first names, by uid
        for (const Change& c : std::as_const(changes))
            if (c.table == QLatin1String("CHILD") && c.field == QLatin1String("FirstName"))
                names.insert(c.child, c.value.toString());
        QStringList cut;
        for (Change& c : changes) {
            const int width = c.field.isEmpty() ? 0 : widthOf(c.table, c.field);
            if (width <= 0 || c.value.typeId() != QMetaType::QString || c.value.toString().size() <= width)
                continue;
            c.value = cutTo(c.value.toString(), width);
            const QString what = c.table == QLatin1String("CHILD")   ? QStringLiteral("child information")
                                 : c.table == QLatin1String("TEETH") ? QStringLiteral("tooth %1").arg(c.key)
                                 : c.table == QLatin1String("FAMILY")
                                     ? QStringLiteral("family tree, relative %1").arg(c.key)
                                     : recordsOf(c.table);
            cut << QStringLiteral("%1: %2, %3 cut to %4 characters")
                       .arg(names.value(c.child, c.child), what, c.field)
                       .arg(width);
        }
        return cut;
    }

    void refuseUnplaceable() const {
        QVector<Refusal> refused;
        for (const Change& c : changes)
            if (const QString why = Changes::refusal(c); !why.isEmpty())
                refused.append({c, why});
        if (!refused.isEmpty())
            refuseWith(refused);
    }

    [[noreturn]] void refuseWith(const QVector<Refusal>& refused) const {
        QStringList lines;
        for (const Refusal& r : refused.mid(0, kNamedInRefusal))
            lines << r.reason;
        if (refused.size() > kNamedInRefusal)
            lines << QStringLiteral("and %1 more").arg(refused.size() - kNamedInRefusal);
        refuse(m_path,
               QStringLiteral("The book file has changes this version of Tinyra cannot place; nothing "
                              "was imported:\n  ") +
                   lines.join(QStringLiteral("\n  ")));
    }

    // The entries' photos (photos/<file>) and the pictures (pictures/..., known by the SHA-256 the
    // photo folder names them by) that the changes name and the photo folder lacks.
    void keepPhotos() const {
        QSet<QString> photos, pictures;
        for (const Change& c : changes) {
            QString file;
            if (c.table == QLatin1String("ENTRYPHOTOS"))
                file = c.key.section(QLatin1Char('/'), 1);
            else if (c.table == QLatin1String("PICTURES") && c.field == QLatin1String("file"))
                file = c.value.toString();
            if (file.isEmpty() || QFileInfo::exists(PhotoFiles::pathOf(file)))
                continue;
            if (!PhotoFiles::isPhotoName(file))
                refuse(m_path, damaged() + QStringLiteral("\n(A photo is named %1.)").arg(file));
            (c.table == QLatin1String("PICTURES") ? pictures : photos).insert(file);
        }
        try {
            for (const QString& file : std::as_const(photos)) {
                const QString entry = QStringLiteral("photos/") + file;
                if (m_names.contains(entry))
                    PhotoFiles::storeBytes(file, m_reader.read(entry, kMaxPicture));
            }
            for (const QString& name : m_names) {
                if (pictures.isEmpty())
                    break;
                if (name.startsWith(QLatin1String("pictures/")))
                    pictures.remove(PhotoFiles::storeData(m_reader.read(name, kMaxPicture)));
            }
        } catch (const StoreError& e) {
            refuse(m_path, e.message());
        }
    }

    static QSet<QString> childUids() {
        QSet<QString> uids;
        QSqlQuery q = Database::exec(QStringLiteral("SELECT uid FROM CHILD"));
        while (q.next())
            uids.insert(q.value(0).toString());
        return uids;
    }

    static QHash<QString, qint64> rowCounts() {
        QHash<QString, qint64> rows;
        for (const QString& table : Schema::childTables()) {
            QSqlQuery q = Database::exec(QStringLiteral("SELECT count(*) FROM %1").arg(table));
            rows.insert(table, q.next() ? q.value(0).toLongLong() : 0);
        }
        return rows;
    }

    QString m_path;
    const Reader& m_reader;
    QStringList m_names;
    QString m_activeName;
    QSet<QString> m_texts; // the texts the changes read share
};
} // namespace

namespace BookFile {
void exportBook(const QString& path, const Progress& progress) {
    BookWriter book(path, progress);
    book.writeBookJson();
    book.writeZip();
    // A family's book is private, like the store it comes from.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (progress)
        progress(1);
}

bool Summary::changedNothing() const {
    return childrenAdded.isEmpty() && recordsAdded == 0 && recordsRemoved == 0 && changesTaken == 0 &&
           std::none_of(differences.cbegin(), differences.cend(),
                        [](const QString& d) { return d.contains(QLatin1String("(the file's")); });
}

QString Summary::text() const {
    QStringList lines;
    if (!childrenAdded.isEmpty())
        lines << QStringLiteral("Children added: %1.").arg(childrenAdded.join(QStringLiteral(", ")));
    for (const QString& r : renamed)
        lines << QStringLiteral("This book has a child of that name already: %1.").arg(r);
    lines << (recordsAdded == 1 ? QStringLiteral("1 record added.")
                                : QStringLiteral("%1 records added.").arg(recordsAdded));
    if (recordsRemoved > 0)
        lines << (recordsRemoved == 1 ? QStringLiteral("1 record removed, as it was in the other book.")
                                      : QStringLiteral("%1 records removed, as they were in the other book.")
                                            .arg(recordsRemoved));
    if (changesTaken > 0) {
        lines << (changesTaken == 1
                      ? QStringLiteral("1 change taken from the file: each field keeps its latest change.")
                      : QStringLiteral("%1 changes taken from the file: each field keeps its latest change.")
                            .arg(changesTaken));
    } else if (differences.isEmpty()) {
        lines << QStringLiteral("No record differed between the two books.");
    } else {
        lines << QStringLiteral("Records that differed, and the version kept:");
        for (const QString& d : differences)
            lines << QStringLiteral("  ") + d;
    }
    if (!cut.isEmpty()) {
        lines << QStringLiteral("Texts longer than the forms keep, cut to their length:");
        for (const QString& c : cut)
            lines << QStringLiteral("  ") + c;
    }
    return lines.join(QLatin1Char('\n'));
}

void setFreeSpaceForTesting(qint64 bytes) {
    freeSpaceForTesting = bytes;
}

Summary importBook(const QString& path, const Progress& progress) {
    bool stopped = false;
    auto tell = [&](double done) {
        if (progress && !progress(done)) {
            stopped = true;
            throw Error(QStringLiteral("The import was stopped; the book is unchanged."));
        }
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
    // Every entry is looked at before anything is read, and what the import would write is weighed
    // against the room on the disk: the pictures and photos as they are, the records about twice their
    // text (the store and its log).
    QStringList names;
    qint64 toWrite = 0;
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
        const bool book = name == QLatin1String(kBookEntry);
        const zip_uint64_t cap = book ? kMaxBookJson : kMaxPicture;
        if (st.size > cap)
            refuse(path,
                   QStringLiteral("The file holds %1, of %2 bytes: far more than a book holds. Nothing was "
                                  "imported.")
                       .arg(name)
                       .arg(st.size));
        if (book)
            toWrite += 2 * qint64(st.size);
        else if (name.startsWith(QLatin1String("pictures/")) ||
                 (name.startsWith(QLatin1String("photos/")) &&
                  !QFileInfo::exists(PhotoFiles::pathOf(name.mid(int(std::strlen("photos/")))))))
            toWrite += qint64(st.size);
        names << name;
    }
    if (!names.contains(QLatin1String(kBookEntry)))
        refuse(path,
               QStringLiteral("It is not a Tinyra book (it holds no book.json); nothing was imported."));
    const qint64 free = freeSpaceForTesting >= 0 ? freeSpaceForTesting
                                                 : QStorageInfo(Database::dataDirectory()).bytesAvailable();
    if (free >= 0 && toWrite > free - kSpareSpace)
        refuse(path,
               QStringLiteral("The book would need about %1 of room on the disk, and the disk that keeps "
                              "Tinyra's book has %2 free. Nothing was imported; make room on the disk "
                              "and try again.")
                   .arg(sizeInWords(toWrite + kSpareSpace), sizeInWords(qMax<qint64>(0, free))));

    // book.json is read as a stream: each child's row and each record is read whole, merged and
    // let go, so that a long book costs no more memory than its longest record.
    const Reader reader(path, za.get());
    const zip_uint64_t jsonSize = reader.sizeOf(QLatin1String(kBookEntry), kMaxBookJson);
    EntryStream entry(reader.open(QLatin1String(kBookEntry)), jsonSize);
    JsonStream json([&](char* into, qint64 max) { return entry.read(into, max); });
    qint64 records = 0;
    auto step = [&] {
        if (++records % 256 == 0)
            tell(0.99 * double(json.position()) / double(qMax<zip_uint64_t>(1, jsonSize)));
    };

    const TableShape childShape = shapeOf(QStringLiteral("CHILD"));
    QHash<QString, TableShape> shapes;
    for (const QString& table : Schema::childTables())
        shapes.insert(table, shapeOf(table));
    const int nameWidth = widthOf(QStringLiteral("CHILD"), QStringLiteral("FirstName"));

    QString format;
    int version = 0;
    // What the file says of its format so far; `whole` once it is read to its end.
    auto checkFormat = [&](bool whole) {
        if ((whole || !format.isEmpty()) && format != kFormat)
            refuse(path, QStringLiteral("It is not a Tinyra book; nothing was imported."));
        if (version > FormatVersion)
            refuse(path, QStringLiteral("It was written by a newer version of Tinyra (book format %1; this "
                                        "version reads up to %2). Nothing was imported.")
                             .arg(version)
                             .arg(FormatVersion));
        if (whole && version < 1)
            refuse(path, QStringLiteral("It is not a Tinyra book; nothing was imported."));
    };
    Merger merger(path, reader, names);
    ChangeMerge changeMerge(path, reader, names);
    // A file of version 3 is merged through its change records, taken whole once read; an older one
    // record by record as it is read, inside this transaction.
    std::optional<Transaction> tx;
    bool formatFirst = false;
    bool changesRead = false;
    // Whether the file is one of change records; where its version follows its records (a file laid
    // out again by another program), the version is looked for first.
    auto ofChanges = [&] {
        if (version == 0) {
            QString f;
            int v = 0;
            if (formatOf(reader, jsonSize, &f, &v))
                version = v;
        }
        return version >= 3;
    };
    auto mergeAll = [&] {
        bool childrenRead = false;
        json.enterObject();
        QString member;
        while (json.nextMember(&member)) {
            if (member == QLatin1String("format")) {
                format = json.readValue(1024).toString();
            } else if (member == QLatin1String("version")) {
                version = json.readValue(1024).toInt(0);
            } else if (member == QLatin1String("changes") && !changesRead && ofChanges()) {
                checkFormat(false);
                if (json.peek() != '[')
                    refuse(path, damaged());
                json.enterArray();
                while (json.nextElement()) {
                    changeMerge.add(changeOf(path, json.readValue(kMaxRecordJson)));
                    step();
                }
                changesRead = true;
            } else if (member == QLatin1String("children") && !childrenRead && ofChanges()) {
                // The readable records are there for other programs; the changes carry the same.
                checkFormat(false);
                json.skipValue();
                childrenRead = true;
            } else if (member == QLatin1String("children") && !childrenRead) {
                // Where the format and version come first, as Tinyra writes them, a foreign or newer
                // file is refused before anything of it is merged; where they follow (a file laid out
                // again by another program), at the end, which undoes the merge.
                checkFormat(false);
                formatFirst = !format.isEmpty() && version != 0;
                if (json.peek() != '[')
                    refuse(path, damaged());
                if (!tx)
                    tx.emplace();
                json.enterArray();
                while (json.nextElement()) {
                    if (json.peek() != '{')
                        refuse(path, damaged());
                    json.enterObject();
                    QString name;
                    QString part;
                    while (json.nextMember(&part)) {
                        if (part == QLatin1String("child") && name.isEmpty()) {
                            const QJsonValue row = json.readValue(kMaxRecordJson);
                            name =
                                cutTo(row.toObject().value(QLatin1String("FirstName")).toString(), nameWidth);
                            if (name.isEmpty())
                                refuse(path, damaged());
                            QSqlQuery known = Database::exec(
                                QStringLiteral("SELECT 1 FROM CHILD WHERE FirstName = ?"), {name});
                            const bool added = !known.next();
                            known.finish();
                            if (added)
                                merger.summary.childrenAdded << name;
                            merger.beginTable(name, childShape);
                            merger.merge(name, childShape, row);
                        } else if (part == QLatin1String("tables")) {
                            // A child's records come after the child they belong to.
                            if (name.isEmpty() || json.peek() != '{')
                                refuse(path, damaged());
                            json.enterObject();
                            QString table;
                            while (json.nextMember(&table)) {
                                const auto shape = shapes.constFind(table);
                                if (shape == shapes.cend()) { // a table of a later version
                                    json.skipValue();
                                    continue;
                                }
                                if (json.peek() != '[')
                                    refuse(path, damaged());
                                merger.beginTable(name, *shape);
                                json.enterArray();
                                while (json.nextElement()) {
                                    merger.merge(name, *shape, json.readValue(kMaxRecordJson));
                                    step();
                                }
                            }
                        } else {
                            json.skipValue();
                        }
                    }
                    if (name.isEmpty())
                        refuse(path, damaged());
                    step();
                }
                childrenRead = true;
            } else {
                json.skipValue();
            }
        }
        json.finish();
        checkFormat(true);
        if (!childrenRead || (version >= 3 && !changesRead))
            refuse(path, damaged());
    };
    try {
        try {
            mergeAll();
        } catch (const JsonStream::Error& e) {
            if (e.kind() == JsonStream::Error::Kind::TooLong)
                refuse(path, QStringLiteral("The file holds a record of more than %1 in its book.json: far "
                                            "more than a book holds. Nothing was imported.")
                                 .arg(sizeInWords(kMaxRecordJson)));
            refuse(path, damaged());
        }
    } catch (const Error&) {
        // A file laid out again by another program may name its format only after its children: one
        // that is foreign or newer is refused as such, not for what its records tripped over.
        if (!formatFirst && !stopped && formatOf(reader, jsonSize, &format, &version))
            checkFormat(true);
        throw;
    }
    BookFile::Summary summary;
    QString active = Entries().isActive() ? Entries().child() : QString();
    if (version >= 3) {
        tell(0.99);
        summary = changeMerge.apply();
        active = changeMerge.activeName();
        tx.emplace(); // for the child the book opens on, below
    } else {
        merger.finish();
        summary = merger.summary;
    }
    // A book that had no child yet opens on the first child it was given.
    if (!summary.childrenAdded.isEmpty()) {
        QSqlQuery previous =
            Database::exec(QStringLiteral("SELECT FirstName FROM PREVIOUS ORDER BY rowid LIMIT 1"));
        const bool none = previous.next() && previous.value(0).toString() == Children::NoChildYet;
        previous.finish();
        if (none)
            Database::exec(
                QStringLiteral(
                    "UPDATE PREVIOUS SET FirstName = ? WHERE rowid = (SELECT min(rowid) FROM PREVIOUS)"),
                {summary.childrenAdded.first()});
    }
    if (version < 3)
        tell(0.99);
    tx->commit();
    // The active child's lists are read again from the store.
    if (!summary.changedNothing() && Entries().isActive() && !active.isEmpty())
        Entries().childSwitch(active);
    if (progress)
        progress(1);
    return summary;
}
} // namespace BookFile
