#include "core/store/FolderLock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderLock::FolderLock(const QString& path) : m_path(path) {}

FolderLock::~FolderLock() {
    unlock();
}

bool FolderLock::lock(bool wait) {
    if (m_fd >= 0)
        return true;
    const QByteArray path = QFile::encodeName(m_path);
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC); // flock(2) needs no write access
    m_unavailable = fd < 0;
    if (fd < 0)
        return false;
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

bool FolderLock::lockWithin(int waitMs) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (lock(false))
            return true;
        if (m_unavailable || waited.elapsed() >= waitMs)
            return false;
        QThread::msleep(50);
    }
}

void FolderLock::unlock() {
    if (m_fd < 0)
        return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}
