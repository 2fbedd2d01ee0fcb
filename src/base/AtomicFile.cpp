#include "base/AtomicFile.h"

#include "base/FileInUse.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

FileWriteError::FileWriteError(const QString &path, const QString &reason)
    : TessiroError(QStringLiteral("Cannot write file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason)),
      m_path(path), m_reason(reason)
{
}

namespace {

// Returns 0 or the system's error number.
int syncDescriptor(int fd)
{
#ifdef Q_OS_WIN
    return _commit(fd) == 0 ? 0 : errno;
#else
    int result;
    do
        result = ::fsync(fd);
    while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : errno;
#endif
}

// Makes the rename itself durable. Windows journals it with the file system's
// metadata and has no handle to a folder to flush, so there is nothing to do there.
int syncDirectory(const QString &dir)
{
#ifdef Q_OS_WIN
    Q_UNUSED(dir);
    return 0;
#else
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = syncDescriptor(fd);
    ::close(fd);
    // Some file systems cannot sync a folder at all; that is no failure of ours.
    return error == EINVAL || error == ENOTSUP ? 0 : error;
#endif
}

// QTemporaryFile opens itself buffered; the writer needs every write to reach the descriptor.
class UnbufferedTemporaryFile : public QTemporaryFile {
public:
    using QTemporaryFile::QTemporaryFile;
    bool openUnbuffered() { return QTemporaryFile::open(QIODevice::ReadWrite | QIODevice::Unbuffered); }
};

// QSaveFile refuses a file it may not write in words of its own; the system's
// reason comes from opening the file for writing without changing it.
QString openFailure(const QString &path, const QString &qtReason)
{
    if (!QFileInfo(path).isFile())
        return qtReason;
    QFile probe(path);
    if (probe.open(QIODevice::ReadWrite))
        return qtReason;
    return probe.errorString();
}

// Windows keeps a file that another program holds open from being replaced; the
// system only says "Access is denied".
QString replaceFailure(const QString &path, const QString &systemReason)
{
    return isHeldOpenElsewhere(path, FileUse::Replace) ? FileInUseReason : systemReason;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const QString &path, AtomicWriteOptions options) : m_path(path)
{
    if (options.removeStale)
        removeStaleTemporaries(path);
    const QFileInfo info(path);
    if (options.replaceLink && info.isSymLink()) {
        // QSaveFile would write to the link's target; a temporary renamed over the
        // link replaces the link itself.
        auto temp = std::make_unique<UnbufferedTemporaryFile>(info.absolutePath() + u'/' + info.fileName() +
                                                              QStringLiteral(".XXXXXX"));
        if (!temp->openUnbuffered())
            throw FileWriteError(path, temp->errorString());
        temp->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                             QFileDevice::ReadOther);
        m_temp = std::move(temp);
        return;
    }
    m_save = std::make_unique<QSaveFile>(path);
    // Qt's buffer would hold back up to 16 KiB until commit(), which renames even
    // when writing them out fails there.
    if (!m_save->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw FileWriteError(path, openFailure(path, m_save->errorString()));
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (m_save && m_save->isOpen())
        m_save->cancelWriting();
}

QFileDevice &AtomicFileWriter::device()
{
    if (m_temp)
        return *m_temp;
    return *m_save;
}

void AtomicFileWriter::fail(const QString &reason)
{
    m_failed = true;
    if (m_save && m_save->isOpen())
        m_save->cancelWriting();
    m_save.reset();
    m_temp.reset(); // removes the temporary
    throw FileWriteError(m_path, reason);
}

void AtomicFileWriter::write(const char *data, qint64 size)
{
    if (m_failed || (!m_save && !m_temp))
        throw FileWriteError(m_path, QStringLiteral("The file is no longer open."));
    QFileDevice &file = device();
    const qint64 written = file.write(data, size);
    if (written == size)
        return;
    // A short count without an error string is the disk filling up between two writes.
    fail(written < 0 || file.error() != QFileDevice::NoError
             ? file.errorString()
             : QString::fromLocal8Bit(std::generic_category().message(ENOSPC)));
}

void AtomicFileWriter::commit()
{
    if (m_failed || (!m_save && !m_temp))
        throw FileWriteError(m_path, QStringLiteral("The file is no longer open."));
    QFileDevice &file = device();
    if (file.error() != QFileDevice::NoError)
        fail(file.errorString());
    if (!file.flush())
        fail(file.errorString());
    if (const int error = syncDescriptor(file.handle()))
        fail(qt_error_string(error));

    QString folder;
    if (m_save) {
        folder = QFileInfo(m_save->fileName()).absolutePath();
        if (!m_save->commit())
            fail(replaceFailure(m_path, m_save->errorString()));
        m_save.reset();
    } else {
        const QString tempName = m_temp->fileName();
        folder = QFileInfo(tempName).absolutePath();
        m_temp->close();
        std::error_code error;
        std::filesystem::rename(QFileInfo(tempName).filesystemAbsoluteFilePath(),
                                QFileInfo(m_path).filesystemAbsoluteFilePath(), error);
        if (error)
            fail(replaceFailure(m_path, QString::fromLocal8Bit(error.message())));
        m_temp->setAutoRemove(false);
        m_temp.reset();
    }
    if (const int error = syncDirectory(folder))
        fail(qt_error_string(error));
}

void writeFileAtomically(const QString &path, const QByteArray &data, AtomicWriteOptions options)
{
    AtomicFileWriter writer(path, options);
    writer.write(data);
    writer.commit();
}

namespace {

bool isTemporarySuffix(QStringView suffix)
{
    if (suffix.size() != 6)
        return false;
    for (const QChar c : suffix)
        if (!(c.isDigit() || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    return true;
}

} // namespace

void removeStaleTemporaries(const QString &target, const QStringList &keep)
{
    const QFileInfo targetInfo(target);
    if (targetInfo.fileName().isEmpty())
        return;
    const QDir dir = targetInfo.absoluteDir();
    const QString prefix = targetInfo.fileName() + u'.';
    // No name filter: the target's name may hold characters that filters treat as wildcards.
    const QFileInfoList candidates = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &candidate : candidates) {
        const QString name = candidate.fileName();
        if (!name.startsWith(prefix) || !isTemporarySuffix(QStringView(name).mid(prefix.size())))
            continue;
        if (std::any_of(keep.cbegin(), keep.cend(), [&](const QString &k) { return QFileInfo(k) == candidate; }))
            continue;
        // Quietly, by design: one left behind is tried again at the next save.
        QFile::remove(candidate.absoluteFilePath());
    }
}
