#include "project/ProgramFolders.h"

#include "base/Paths.h"
#include "project/ProjectStore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString nativeJoin(const QString &dir, const QString &name)
{
    return QDir::toNativeSeparators(QDir::cleanPath(dir + u'/' + name));
}

} // namespace

QString installedDataDir(const QString &exeDir)
{
    return nativeJoin(exeDir, QStringLiteral("../share/tessiro"));
}

QString userDataDir()
{
    // A fixed name, not the application name: the desktop program and the command-line
    // tool carry different names, and the title may change without moving anyone's projects.
    return nativeJoin(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), QStringLiteral("tessiro"));
}

bool canCreateFilesIn(const QString &dir)
{
    if (!QFileInfo(dir).isDir())
        return false;
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".tessiro-probe-XXXXXX")));
    return probe.open();
}

ProgramFolders programFolders(const QString &exeDir)
{
    ProgramFolders folders;
    QString dataDir = QDir::toNativeSeparators(exeDir);
    while (dataDir.size() > 1 && dataDir.endsWith(QDir::separator()))
        dataDir.chop(1);
    // An installed program keeps its data out of the system's folders even when
    // they would take it, as they do for root.
    if (QFileInfo(installedDataDir(exeDir)).isDir() || !canCreateFilesIn(exeDir)) {
        dataDir = userDataDir();
        QDir().mkpath(dataDir);
        folders.besideProgram = false;
    }
    folders.DataDir = dataDir;
    folders.MasterDir = joinPath(dataDir, QStringLiteral("MASTER"));
    folders.ProjectsDir = joinPath(dataDir, QStringLiteral("PROJECTS"));
    folders.LastProjectFile = joinPath(dataDir, LastProjectFileName);
    return folders;
}

QString shippedFile(const QString &exeDir, const QString &name)
{
    const QString beside = nativeJoin(exeDir, name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = nativeJoin(installedDataDir(exeDir), name);
    if (QFileInfo::exists(installed))
        return installed;
    return beside;
}
