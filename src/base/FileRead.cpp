#include "base/FileRead.h"

#include "base/TessiroError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString NotRegular = QStringLiteral("File \"%1\" is not a regular file.");
const QString TooLarge = QStringLiteral("File \"%1\" is larger than %2 MiB.");
const QString CannotRead = QStringLiteral("Cannot read file \"%1\". %2");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

void requireRegularFile(const QString &path, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw TessiroError(CannotRead.arg(shown(path), QStringLiteral("No such file or directory")));
    // Follows links: a link to /dev/zero is refused like /dev/zero itself.
    if (!info.isFile())
        throw TessiroError(NotRegular.arg(shown(path)));
    if (info.size() > maxBytes)
        throw TessiroError(TooLarge.arg(shown(path)).arg(maxBytes >> 20));
}

QByteArray readRegularFile(const QString &path, qint64 maxBytes)
{
    requireRegularFile(path, maxBytes);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TessiroError(CannotRead.arg(shown(path), file.errorString()));
    // The file may grow after the check: read to its end, never past the bound.
    QByteArray data(qMin(file.size(), maxBytes) + 1, Qt::Uninitialized);
    qint64 filled = 0;
    for (;;) {
        if (filled == data.size()) {
            if (filled > maxBytes)
                throw TessiroError(TooLarge.arg(shown(path)).arg(maxBytes >> 20));
            data.resize(qMin(2 * filled, maxBytes + 1));
        }
        const qint64 got = file.read(data.data() + filled, data.size() - filled);
        if (got < 0)
            throw TessiroError(CannotRead.arg(shown(path), file.errorString()));
        if (got == 0)
            break;
        filled += got;
    }
    data.truncate(filled);
    return data;
}
