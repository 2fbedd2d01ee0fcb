#include "project/ProjectLock.h"

#include "base/Paths.h"
#include "base/TessiroError.h"
#include "project/Messages.h"
#include "project/ProjectStore.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// A writer creates the lock file and writes its owner into it a moment later; a
// file still without an owner after this long belongs to a writer that died in between.
constexpr qint64 OwnerlessStaleMs = 3000;

void refuseNonRegular(const QString &lockPath)
{
    const QFileInfo info(lockPath);
    if (info.isSymLink() || (info.exists() && !info.isFile()))
        throw TessiroError(ProjectMessages::LockNotAFile.arg(QDir::toNativeSeparators(lockPath)));
}

} // namespace

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
    const QString lockPath = joinPath(projectDir, lockFileName());
    // QLockFile would wait in vain on a folder or a link it can never create anew.
    refuseNonRegular(lockPath);
    m_lock = std::make_unique<QLockFile>(lockPath);
    // Never steal the lock of a live writer however long it runs: only a lock
    // whose process has died counts as stale.
    m_lock->setStaleLockTime(0);
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        const int slice = static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, 200));
        if (m_lock->tryLock(slice))
            break;
        const QLockFile::LockError error = m_lock->error();
        if (error != QLockFile::LockFailedError) {
            m_lock.reset();
            refuseNonRegular(lockPath);
            throw TessiroError(ProjectMessages::CannotLockProject.arg(QFileInfo(projectDir).absoluteFilePath()));
        }
        refuseNonRegular(lockPath);
        qint64 pid = 0;
        QString host;
        QString app;
        if (!m_lock->getLockInfo(&pid, &host, &app)) {
            const QDateTime written = QFileInfo(lockPath).fileTime(QFileDevice::FileModificationTime);
            // removeStaleLockFile() takes the file's native lock first, so a live
            // writer that holds it keeps its lock.
            if (written.isValid() && written.msecsTo(QDateTime::currentDateTimeUtc()) > OwnerlessStaleMs &&
                m_lock->removeStaleLockFile())
                continue;
        }
        if (deadline.hasExpired()) {
            m_lock.reset();
            const QString shownPath = QDir::toNativeSeparators(lockPath);
            throw TessiroError(pid > 0 ? ProjectMessages::ProjectInUseBy.arg(ProjectMessages::ProjectInUse, shownPath,
                                                                             QString::number(pid), host)
                                       : ProjectMessages::ProjectInUseAt.arg(ProjectMessages::ProjectInUse, shownPath));
        }
    }
    // Qt's helper lock for taking over a stale lock stays behind when its process
    // is killed; holding the lock, nobody else can be using it.
    QFile::remove(lockPath + QStringLiteral(".rmlock"));
}

ProjectWriteLock::~ProjectWriteLock() = default;
