#pragma once

#include <QString>

struct sqlite3;

// The book's clock for sharing it between computers: a hybrid logical clock whose stamps are text
// that sorts in the order of the changes, `YYYY-MM-DDTHH:MM:SS.mmmZ.cccc.<device>` (the moment in
// UTC, a counter in four hexadecimal digits, the device's 32-digit id). A new stamp follows the wall
// clock but never falls below the greatest stamp the book has seen, its own or applied from another
// computer: then it takes that moment and the next counter.
//
// The store's connection calls it from its triggers through two SQLite functions: tinyra_stamp()
// gives a new stamp, tinyra_applying() is 1 while a merge writes changes that carry their own stamps.
// One store is open in a process, so the clock is one too.
namespace Clock {
// Registers tinyra_stamp() and tinyra_applying() on a connection that writes the book. Another
// program writing the book without them fails on its triggers.
bool registerOn(sqlite3* connection);
// Starts the clock of the book just opened: its device and the greatest stamp it holds.
void start(const QString& deviceId, const QString& greatestStamp);
// Stops it as the book closes.
void stop();
QString deviceId();

// A new stamp of this device.
QString next();
// Moves the clock past `stamp` (a stamp applied from elsewhere).
void witness(const QString& stamp);
// Whether `stamp` has the form of a stamp.
bool isStamp(const QString& stamp);
// The device that made `stamp`.
QString deviceOf(const QString& stamp);

// While an object lives, the triggers leave the stamps to the caller (the merge).
class Applying {
public:
    Applying();
    ~Applying();
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;
};

// A computer whose wall clock is wrong by `ms` milliseconds (for tests of the merge).
void setSkew(qint64 ms);
} // namespace Clock
