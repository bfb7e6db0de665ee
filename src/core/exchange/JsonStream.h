#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

#include <functional>
#include <stdexcept>

// Reads one JSON document as a stream, a piece at a time, so that a document of any length is read
// in little memory: the reader walks into objects and arrays and hands over one member or element at
// a time, whole (as a QJsonValue) or skipped. Used for a book file's book.json, whose records are
// read one by one while they are merged.
class JsonStream {
public:
    // Gives up to `max` more bytes of the document into `into`: how many, 0 at its end, below 0 when
    // the bytes cannot be read.
    using Source = std::function<qint64(char* into, qint64 max)>;

    // The document is not JSON, ends early, cannot be read, or a value is longer than allowed.
    class Error : public std::runtime_error {
    public:
        enum class Kind { Malformed, Unreadable, TooLong };
        Error(Kind kind, const char* what) : std::runtime_error(what), m_kind(kind) {}
        Kind kind() const { return m_kind; }

    private:
        Kind m_kind;
    };

    explicit JsonStream(Source source);

    // The first character of the next value ('{', '[', '"', a digit, 't' ...), after white space.
    char peek();
    // Steps into the object that comes next.
    void enterObject();
    // The next member's name of the object stepped into, its value coming next; false (and the
    // object left) at its end.
    bool nextMember(QString* name);
    // Steps into the array that comes next.
    void enterArray();
    // Whether the array stepped into has one more element, which comes next; false (and the array
    // left) at its end.
    bool nextElement();
    // The next value, whole; its text may be at most `maxBytes` long.
    QJsonValue readValue(qint64 maxBytes);
    // Passes over the next value, keeping nothing of it.
    void skipValue();
    // Checks that nothing but white space follows the document and that the source ends soundly.
    void finish();
    // The bytes read so far.
    qint64 position() const { return m_consumed; }

private:
    static constexpr int kMaxDepth = 512;

    bool fill();
    char next(); // the next byte, taken; throws at the end of the document
    char look(); // the next byte, left; 0 at the end
    void skipSpace();
    void expect(char c);
    // Passes over (or, with `out`, copies) one whole value, its text at most `maxBytes` long.
    void scan(QByteArray* out, qint64 maxBytes);
    void scanString(QByteArray* out, qint64 maxBytes, qint64 start);
    [[noreturn]] static void malformed();

    Source m_source;
    QByteArray m_buffer;
    qsizetype m_at = 0;
    qint64 m_consumed = 0;
    bool m_ended = false;
    // Whether the object or array stepped into, innermost last, has had a member or element yet.
    QByteArray m_open;
};
