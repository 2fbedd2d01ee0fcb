#include "base/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
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
        QFile::remove(candidate.absoluteFilePath());
    }
}
