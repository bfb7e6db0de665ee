#pragma once

#include <QString>
#include <QTemporaryDir>

// A store in a temporary directory: XDG_DATA_HOME points there while the object lives, and the
// store is opened on creation and closed (and the directory removed) on destruction.
class TempStore {
public:
    explicit TempStore(bool openNow = true);
    ~TempStore();
    TempStore(const TempStore&) = delete;
    TempStore& operator=(const TempStore&) = delete;

    QString dataHome() const { return m_dir.path(); }
    QString storeDir() const;
    QString storeFile() const;

    void open();
    void close();
    // Close and open the store again, as a restart does.
    void reopen();
    // Writes, in place of the (closed) store, a store of an earlier `version` as a release of that
    // version made it, then runs `statements` on it (its rows). Returns what went wrong, or nothing.
    QString writeOlderStore(int version, const QStringList& statements) const;

    // Adds a CHILD row with the three names.
    static void addChild(const QString& first, const QString& middle = QString(),
                         const QString& last = QString());
    // Writes the name PREVIOUS holds.
    static void setPrevious(const QString& first);
    static QString previous();
    // Number of rows of `table`.
    static int rowCount(const QString& table);

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    bool m_hadHome;
};
