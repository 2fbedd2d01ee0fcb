#include "project/ProjectLock.h"

#include "base/TessiroError.h"
#include "project/Messages.h"
#include "project/ProjectStore.h"

#include <QFileInfo>

QString ProjectWriteLock::lockFileName()
{
    return QStringLiteral(".tessiro.lock");
}

ProjectWriteLock::ProjectWriteLock(const QString &projectDir, int waitMs)
{
    // A folder that does not exist has nothing to protect; the operation itself
    // reports the missing folder in its own words.
    if (projectDir.isEmpty() || !QFileInfo(projectDir).isDir())
        return;
    m_lock = std::make_unique<QLockFile>(joinPath(projectDir, lockFileName()));
    // Never steal the lock of a live writer however long it runs: only a lock
    // whose process has died counts as stale.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(waitMs))
        return;
    const QLockFile::LockError error = m_lock->error();
    m_lock.reset();
    if (error == QLockFile::LockFailedError)
        throw TessiroError(ProjectMessages::ProjectInUse);
    throw TessiroError(ProjectMessages::CannotLockProject.arg(QFileInfo(projectDir).absoluteFilePath()));
}

ProjectWriteLock::~ProjectWriteLock() = default;
