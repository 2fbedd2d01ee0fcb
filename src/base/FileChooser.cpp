#include "base/FileChooser.h"

#include <QFileInfo>

QString applyDefaultSuffix(const QString &path, const QString &suffix)
{
    if (path.isEmpty() || suffix.isEmpty())
        return path;
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + suffix;
}
