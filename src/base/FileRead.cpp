#include "base/FileRead.h"

#include "base/FileInUse.h"
#include "base/LargePages.h"
#include "base/TessiroError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
const QString NotRegular = QStringLiteral("File \"%1\" is not a regular file.");
const QString TooLarge = QStringLiteral("File \"%1\" is larger than %2 MiB.");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void throwTooLarge(const QString &path, qint64 maxBytes)
{
    throw TessiroError(TooLarge.arg(shown(path)).arg(maxBytes >> 20));
}

#ifdef Q_OS_UNIX
// Opens path for reading only if it is a regular file within the bound, judged on
// the opened descriptor: whatever stands at the path when it is opened is what is
// read, so a FIFO put there after any earlier look is refused as well. Opening
// does not wait (O_NONBLOCK): a FIFO without a writer would block in open().
void openRegularFileUnix(QFile &file, const QString &path, qint64 maxBytes, const QString &cannotRead,
                         QIODevice::OpenMode mode)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    // Devices are refused before they are opened: opening some (a serial line) acts on them.
    if (::stat(name.constData(), &info) == 0 && (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)))
        throw TessiroError(NotRegular.arg(shown(path)));
    int fd;
    do
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        throw TessiroError(cannotRead.arg(shown(path), qt_error_string(error)));
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw TessiroError(NotRegular.arg(shown(path)));
    }
    if (info.st_size > maxBytes) {
        ::close(fd);
        throwTooLarge(path, maxBytes);
    }
    // A regular file: reads go back to waiting for the disk as usual.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw TessiroError(cannotRead.arg(shown(path), file.errorString()));
    }
}
#endif

// The checks of requireRegularFile, with the caller's text for a file that is missing.
void checkRegularFile(const QString &path, qint64 maxBytes, const QString &cannotRead)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw TessiroError(cannotRead.arg(shown(path), QStringLiteral("No such file or directory")));
    // Follows links: a link to /dev/zero is refused like /dev/zero itself.
    if (!info.isFile())
        throw TessiroError(NotRegular.arg(shown(path)));
    if (info.size() > maxBytes)
        throwTooLarge(path, maxBytes);
}
} // namespace

void requireRegularFile(const QString &path, qint64 maxBytes)
{
    checkRegularFile(path, maxBytes, CannotReadFileMessage);
}

void openRegularFile(QFile &file, const QString &path, qint64 maxBytes, const QString &cannotRead,
                     QIODevice::OpenMode mode)
{
#ifdef Q_OS_UNIX
    openRegularFileUnix(file, path, maxBytes, cannotRead, mode);
#else
    checkRegularFile(path, maxBytes, cannotRead);
    file.setFileName(path);
    if (!file.open(mode)) {
        const bool inUse = isHeldOpenElsewhere(path, FileUse::Read);
        throw TessiroError(cannotRead.arg(shown(path), inUse ? FileInUseReason : file.errorString()));
    }
#endif
}

QByteArray readRegularFile(const QString &path, qint64 maxBytes, const QString &cannotRead)
{
    QFile file;
    openRegularFile(file, path, maxBytes, cannotRead);
    // The file may grow after the check: read to its end, never past the bound.
    QByteArray data(qMin(file.size(), maxBytes) + 1, Qt::Uninitialized);
    adviseLargePages(data.data(), size_t(data.size()));
    qint64 filled = 0;
    for (;;) {
        if (filled == data.size()) {
            if (filled > maxBytes)
                throwTooLarge(path, maxBytes);
            data.resize(qMin(2 * filled, maxBytes + 1));
        }
        const qint64 got = file.read(data.data() + filled, data.size() - filled);
        if (got < 0)
            throw TessiroError(cannotRead.arg(shown(path), file.errorString()));
        if (got == 0)
            break;
        filled += got;
    }
    data.truncate(filled);
    return data;
}
