#include "core/store/Clock.h"

#include <QDateTime>
#include <QRegularExpression>

#include <sqlite3.h>

namespace {
struct State {
    QString device;
    QString moment;  // the greatest moment seen, as stamps write it
    int counter = 0; // the counter within that moment
    bool applying = false;
    qint64 skew = 0;
};
State g;

// The length of a stamp's moment and of the text before the device id.
constexpr int kMoment = 24;
constexpr int kBeforeDevice = kMoment + 6;

QString momentOf(qint64 msSinceEpoch) {
    return QDateTime::fromMSecsSinceEpoch(msSinceEpoch, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

void stampFunction(sqlite3_context* context, int, sqlite3_value**) {
    const QByteArray stamp = Clock::next().toUtf8();
    sqlite3_result_text(context, stamp.constData(), int(stamp.size()), SQLITE_TRANSIENT);
}

void applyingFunction(sqlite3_context* context, int, sqlite3_value**) {
    sqlite3_result_int(context, g.applying ? 1 : 0);
}
} // namespace

namespace Clock {
bool registerOn(sqlite3* connection) {
    return connection &&
           sqlite3_create_function_v2(connection, "tinyra_stamp", 0, SQLITE_UTF8, nullptr, stampFunction,
                                      nullptr, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_function_v2(connection, "tinyra_applying", 0, SQLITE_UTF8, nullptr,
                                      applyingFunction, nullptr, nullptr, nullptr) == SQLITE_OK;
}

void start(const QString& deviceId, const QString& greatestStamp) {
    const qint64 skew = g.skew;
    g = State();
    g.skew = skew;
    g.device = deviceId;
    witness(greatestStamp);
}

void stop() {
    start(QString(), QString());
}

QString deviceId() {
    return g.device;
}

QString next() {
    const QString now = momentOf(QDateTime::currentMSecsSinceEpoch() + g.skew);
    if (now > g.moment) {
        g.moment = now;
        g.counter = 0;
    } else if (++g.counter > 0xffff) {
        // Sixty-five thousand stamps in one millisecond: the clock moves to the next one.
        g.moment = momentOf(QDateTime::fromString(g.moment, Qt::ISODateWithMs).toMSecsSinceEpoch() + 1);
        g.counter = 0;
    }
    return QStringLiteral("%1.%2.%3").arg(g.moment).arg(g.counter, 4, 16, QLatin1Char('0')).arg(g.device);
}

void witness(const QString& stamp) {
    if (!isStamp(stamp))
        return;
    const QString moment = stamp.left(kMoment);
    const int counter = stamp.mid(kMoment + 1, 4).toInt(nullptr, 16);
    if (moment > g.moment || (moment == g.moment && counter > g.counter)) {
        g.moment = moment;
        g.counter = counter;
    }
}

bool isStamp(const QString& stamp) {
    static const QRegularExpression form(
        QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z\.[0-9a-f]{4}\.[0-9a-f]{32}$)"));
    return form.match(stamp).hasMatch();
}

QString deviceOf(const QString& stamp) {
    return stamp.mid(kBeforeDevice);
}

Applying::Applying() {
    g.applying = true;
}
Applying::~Applying() {
    g.applying = false;
}

void setSkew(qint64 ms) {
    g.skew = ms;
}
} // namespace Clock
