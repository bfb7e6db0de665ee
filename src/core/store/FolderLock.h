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
    // (mode 0600) when missing; on a read-only folder or disk an existing lock file is locked through
    // a read-only descriptor, so a lock file left behind there never shuts anyone out.
    bool lock(bool wait);
    // Takes the lock, trying again for up to `waitMs` milliseconds while another holder has it.
    bool lockWithin(int waitMs);
    // Whether the lock file could neither be made nor opened (a read-only folder without one):
    // nobody can then take the lock, and nobody can write the book there either.
    bool unavailable() const { return m_unavailable; }
    void unlock();
    bool isHeld() const { return m_fd >= 0; }
    QString path() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
    bool m_unavailable = false;
};
