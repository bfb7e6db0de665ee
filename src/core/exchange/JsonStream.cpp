#include "core/exchange/JsonStream.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace {
constexpr qint64 kChunk = 64 * 1024;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
} // namespace

JsonStream::JsonStream(Source source) : m_source(std::move(source)) {}

void JsonStream::malformed() {
    throw Error(Error::Kind::Malformed, "malformed JSON");
}

bool JsonStream::fill() {
    if (m_at < m_buffer.size())
        return true;
    if (m_ended)
        return false;
    m_buffer.resize(kChunk);
    const qint64 n = m_source(m_buffer.data(), kChunk);
    if (n < 0)
        throw Error(Error::Kind::Unreadable, "unreadable JSON");
    m_buffer.resize(qsizetype(n));
    m_at = 0;
    if (n == 0)
        m_ended = true;
    return n > 0;
}

char JsonStream::look() {
    return fill() ? m_buffer.at(m_at) : '\0';
}

char JsonStream::next() {
    if (!fill())
        malformed();
    ++m_consumed;
    return m_buffer.at(m_at++);
}

void JsonStream::skipSpace() {
    while (fill()) {
        while (m_at < m_buffer.size() && isSpace(m_buffer.at(m_at))) {
            ++m_at;
            ++m_consumed;
        }
        if (m_at < m_buffer.size())
            return;
    }
}

void JsonStream::expect(char c) {
    skipSpace();
    if (next() != c)
        malformed();
}

char JsonStream::peek() {
    skipSpace();
    return look();
}

void JsonStream::enterObject() {
    expect('{');
    m_open.append('o');
}

void JsonStream::enterArray() {
    expect('[');
    m_open.append('a');
}

bool JsonStream::nextMember(QString* name) {
    if (m_open.isEmpty() || (m_open.back() != 'o' && m_open.back() != 'O'))
        malformed();
    skipSpace();
    if (look() == '}') {
        next();
        m_open.chop(1);
        return false;
    }
    if (m_open.back() == 'O')
        expect(',');
    m_open.back() = 'O';
    skipSpace();
    if (look() != '"')
        malformed();
    QByteArray text;
    scan(&text, 64 * 1024);
    const QJsonValue key = QJsonDocument::fromJson("[" + text + "]").array().at(0);
    if (!key.isString())
        malformed();
    *name = key.toString();
    expect(':');
    return true;
}

bool JsonStream::nextElement() {
    if (m_open.isEmpty() || (m_open.back() != 'a' && m_open.back() != 'A'))
        malformed();
    skipSpace();
    if (look() == ']') {
        next();
        m_open.chop(1);
        return false;
    }
    if (m_open.back() == 'A')
        expect(',');
    m_open.back() = 'A';
    return true;
}

QJsonValue JsonStream::readValue(qint64 maxBytes) {
    QByteArray text;
    skipSpace();
    scan(&text, maxBytes);
    // Wrapped in an array, so that a plain string or number is a document too.
    text.prepend('[');
    text.append(']');
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        malformed();
    return doc.array().at(0);
}

void JsonStream::skipValue() {
    skipSpace();
    scan(nullptr, -1);
}

void JsonStream::scanString(QByteArray* out, qint64 maxBytes, qint64 start) {
    // The opening quote is taken already.
    for (;;) {
        if (!fill())
            malformed();
        // The plain run up to the next quote or backslash, at once.
        qsizetype end = m_at;
        const qsizetype size = m_buffer.size();
        const char* data = m_buffer.constData();
        while (end < size && data[end] != '"' && data[end] != '\\')
            ++end;
        if (out)
            out->append(data + m_at, end - m_at);
        m_consumed += end - m_at;
        m_at = end;
        if (maxBytes >= 0 && m_consumed - start > maxBytes)
            throw Error(Error::Kind::TooLong, "JSON value too long");
        if (end == size)
            continue;
        const char c = next();
        if (out)
            out->append(c);
        if (c == '"')
            return;
        const char escaped = next(); // the character after a backslash belongs to the string
        if (out)
            out->append(escaped);
    }
}

void JsonStream::scan(QByteArray* out, qint64 maxBytes) {
    const qint64 start = m_consumed;
    QByteArray open; // the brackets of the value, innermost last
    auto tooLong = [&] {
        if (maxBytes >= 0 && m_consumed - start > maxBytes)
            throw Error(Error::Kind::TooLong, "JSON value too long");
    };
    do {
        const char c = look();
        if (c == '\0')
            malformed();
        if (c == '"') {
            if (out)
                out->append(next());
            else
                next();
            scanString(out, maxBytes, start);
        } else if (c == '{' || c == '[') {
            if (open.size() >= kMaxDepth)
                malformed();
            open.append(c);
            next();
            if (out)
                out->append(c);
        } else if (c == '}' || c == ']') {
            if (open.isEmpty() || open.back() != (c == '}' ? '{' : '['))
                malformed();
            open.chop(1);
            next();
            if (out)
                out->append(c);
        } else if (isSpace(c)) {
            skipSpace();
        } else if (c == ',' || c == ':') {
            if (open.isEmpty())
                malformed();
            next();
            if (out)
                out->append(c);
        } else {
            // A number, true, false or null: up to the next delimiter.
            qint64 length = 0;
            for (char d = look(); d != '\0' && !isSpace(d) && d != ',' && d != ':' && d != '}' && d != ']' &&
                                  d != '{' && d != '[' && d != '"';
                 d = look()) {
                if (++length > 64)
                    malformed();
                next();
                if (out)
                    out->append(d);
            }
        }
        tooLong();
    } while (!open.isEmpty());
}

void JsonStream::finish() {
    if (!m_open.isEmpty())
        malformed();
    skipSpace();
    if (fill())
        malformed();
}
