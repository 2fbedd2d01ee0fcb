#include "base/Paths.h"

#include <QDir>

QString joinPath(const QString &dir, const QString &name)
{
    return dir + QDir::separator() + name;
}
