#pragma once

#include "core/store/FolderLock.h"

#include <QObject>
#include <QString>

class QLocalServer;

// One running copy of Tinyra per book. The first copy on a data folder holds a lock there for as
// long as it runs (the kernel drops it when the copy ends, however it ends) and listens on a local
// socket named after the folder; a later start finds the lock taken, asks the first copy to bring
// its window to the front, and ends without touching the book.
class RunningCopy : public QObject {
    Q_OBJECT
public:
    RunningCopy();
    ~RunningCopy() override;

    // Takes the lock of the book's folder (making the folder when missing); false when another copy
    // or a command-line import or export holds it. May be called again to try again.
    bool claim();
    bool isFirst() const { return m_first; }
    // In the first copy, with the application made: answers later starts.
    void listen();
    // In a later copy: asks the first to come to the front; false when it cannot be reached.
    bool handOver();

    // The local socket's name for the data folder `dir`.
    static QString serverName(const QString& dir);

signals:
    // Another start on this book asked for the window.
    void raiseRequested();

private:
    FolderLock m_lock;
    QLocalServer* m_server = nullptr;
    bool m_first = false;
};
