#include "cli/CliCommands.h"

#include "base/Notices.h"
#include "base/Progress.h"
#include "image/BankImage.h"
#include "image/FirmwareMerge.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool checkArguments(const QStringList &args, qsizetype count, const char *usage, Notices &notices)
{
    if (args.size() == count)
        return true;
    notices.error(QStringLiteral("Usage: tessiro-cli %1").arg(QString::fromLatin1(usage)));
    return false;
}

// The project directory as given, without a trailing separator.
bool projectDirectory(const QString &arg, Notices &notices, QString *dir)
{
    if (!QFileInfo(arg).isDir()) {
        notices.error(QStringLiteral("Project directory %1 not found").arg(arg));
        return false;
    }
    *dir = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(arg).absoluteFilePath()));
    return true;
}

ProjectState projectAt(const QString &projectDir)
{
    ProjectState project;
    project.ProjectDir = projectDir;
    project.UpdateProjectFiles();
    return project;
}

// keep: files never removed as stale temporaries, say a master given in the bin directory.
int runBanks(const QString &projectDir, const QStringList &keep = {})
{
    GenerateDeviceImage(projectFiles(projectDir), keep);
    return 0;
}

// The chain as the update window runs it: the project's bin directory in, the
// project directory out.
int runFirmware(const QString &projectDir, const QString &masterFile, Notices &notices)
{
    NoProgress progress;
    FirmwareMerge merge(mergeInputs(projectAt(projectDir), masterFile), progress);
    const StageOutcome outcome = merge.runChain();
    if (outcome.result != StageResult::Failed)
        return 0;
    notices.notice(outcome.message);
    return 1;
}

int banksCommand(const QStringList &args, Notices &notices)
{
    QString dir;
    if (!checkArguments(args, 1, "banks PROJECT_DIR", notices) || !projectDirectory(args[0], notices, &dir))
        return 1;
    const ProjectWriteLock lock(dir);
    return runBanks(dir);
}

int firmwareCommand(const QStringList &args, Notices &notices)
{
    QString dir;
    if (!checkArguments(args, 2, "firmware PROJECT_DIR MASTER_FILE", notices) ||
        !projectDirectory(args[0], notices, &dir))
        return 1;
    const ProjectWriteLock lock(dir);
    return runFirmware(dir, args[1], notices);
}

int updateCommand(const QStringList &args, Notices &notices)
{
    QString dir;
    if (!checkArguments(args, 2, "update PROJECT_DIR MASTER_FILE", notices) ||
        !projectDirectory(args[0], notices, &dir))
        return 1;
    // One lock from the banks through the merge: no other writer comes between them.
    const ProjectWriteLock lock(dir);
    if (runBanks(dir, {QFileInfo(args[1]).absoluteFilePath()}) != 0)
        return 1;
    return runFirmware(dir, args[1], notices);
}

} // namespace

const CliCommandInfo ImageCliCommands[] = {
    {"banks", "banks PROJECT_DIR", "writes bin/bank1.bin to bin/bank5.bin and bin/bankg.c", banksCommand},
    {"firmware", "firmware PROJECT_DIR MASTER_FILE", "merges the bank files into New_<MASTER_FILE>", firmwareCommand},
    {"update", "update PROJECT_DIR MASTER_FILE", "banks, then firmware (the device update without flashing)",
     updateCommand},
    {nullptr, nullptr, nullptr, nullptr}};
