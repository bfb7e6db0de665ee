#pragma once

#include <QString>

// A lock on a file in the data folder, held with flock(2) on a descriptor of this object: the kernel
// drops it when the holder ends, however it ends, so a lock left by a killed copy is simply taken
// over. Two holders in one process exclude each other too (each has its own open file).
class FolderLock {
public:
    explicit FolderLock(const QString& path);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock, waiting for its holder when `wait`; true when held. The lock file is made
    // (mode 0600) when missing.
    bool lock(bool wait);
    void unlock();
    bool isHeld() const { return m_fd >= 0; }
    QString path() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
};
