#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// One writer per project: every operation that writes into a project folder holds
// this lock for its whole duration, so the desktop program and a script never
// write the same files at once. A second writer waits, then is refused with
// "Project is in use by another program" (TessiroError). A lock left behind by a
// process that died is taken over.
class ProjectWriteLock {
public:
    // Takes the lock of projectDir or throws. waitMs is how long to wait for
    // another writer to finish.
    explicit ProjectWriteLock(const QString &projectDir, int waitMs = DefaultWaitMs);
    ~ProjectWriteLock();
    ProjectWriteLock(const ProjectWriteLock &) = delete;
    ProjectWriteLock &operator=(const ProjectWriteLock &) = delete;

    static constexpr int DefaultWaitMs = 10000;
    // The lock file's name inside the project folder.
    static QString lockFileName();

private:
    std::unique_ptr<QLockFile> m_lock;
};
