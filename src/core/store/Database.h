#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <future>
#include <optional>

// The store: one SQLite file in the directory the alias "Tinyra4" names.
class Database {
public:
    // $XDG_DATA_HOME/Tinyra4, by default (and when XDG_DATA_HOME is relative) ~/.local/share/Tinyra4.
    static QString dataDirectory();
    // Makes the data directory when missing and gives it mode 0700; false when it cannot be made.
    static bool makeDataDirectory();
    static QString filePath();

    // Opens (and on first start creates) the store. Throws StoreError naming the file and the problem
    // when the directory cannot be made, the file is not a Tinyra store or a table is missing; an
    // existing file is then left exactly as it was.
    //
    // Before an existing file is opened for writing, a read-only look for damage reads all of it
    // (Backups::damage()). A caller that made that look already, on another thread while it did
    // other work, passes its answer as `damageFound` (a problem, or empty for none).
    static void open(const std::optional<QString>& damageFound = std::nullopt);
    // The same while that look still runs on another thread (`look` gives its answer): the book is
    // opened and read at once, so that the window can show it, but nothing is written to it until
    // the look has found it sound. A write asked for earlier waits for the answer; once damage is
    // found, every write fails with the damage as its message and the file and its log are left as
    // they were, also when the book is closed. A book that must first be brought up to this
    // version's layout waits for the answer inside open().
    static void openWhileLooking(std::shared_future<QString> look);
    // The answer of the look openWhileLooking() was given: nothing while it still runs (unless
    // `wait`), then the damage found, or an empty text for none (also for a book opened otherwise).
    static std::optional<QString> lookAnswer(bool wait = false);
    // Opens an existing store of this version for reading only: for a book on a read-only folder or
    // disk, which can then be looked at, printed and exported though nothing can be written. Throws
    // StoreError as open() does.
    static void openReadOnly();
    // Whether the store was opened by openReadOnly().
    static bool isReadOnly();
    // The lock file that one writer of the book at a time holds: the window for as long as it runs,
    // a command-line import or export for as long as it works.
    static QString writerLockPath();
    static void close();
    static bool isOpen();
    static QSqlDatabase db();

    // Runs one statement with bound values; throws StoreError on failure.
    static QSqlQuery exec(const QString& sql, const QVariantList& values = {});

private:
    static void openBook(const std::optional<QString>& damageFound, std::shared_future<QString>* look);
};

// One write transaction; rolled back unless committed.
class Transaction {
public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    bool m_done = false;
};
