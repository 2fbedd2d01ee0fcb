#include "cli/CliCommands.h"

#include "base/GuardedCall.h"
#include "base/Notices.h"
#include "base/Progress.h"
#include "cli/CliSupport.h"
#include "config/ProjectCheck.h"
#include "image/BankImage.h"
#include "image/FirmwareMerge.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"

#include <QFileInfo>

namespace {

ProjectState projectAt(const QString &projectDir)
{
    ProjectState project;
    project.ProjectDir = projectDir;
    project.UpdateProjectFiles();
    return project;
}

// As "Up date Device" does: the editors' checks first, so that no bank holds a value
// an editor would refuse. keep: files never removed as stale temporaries, say a
// master given in the bin directory.
void runBanks(const QString &projectDir, const QStringList &keep = {})
{
    const ProjectState project = projectAt(projectDir);
    requireBankableProject(project);
    GenerateDeviceImage(project.ProjectFiles, keep);
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
    return guardedCall(notices,
                       [&] {
                           requireArguments(args, 1, "banks PROJECT_DIR");
                           const QString dir = requireProjectDir(args[0]);
                           const ProjectWriteLock lock(dir);
                           runBanks(dir);
                       })
               ? 0
               : 1;
}

int firmwareCommand(const QStringList &args, Notices &notices)
{
    int code = 1;
    guardedCall(notices, [&] {
        requireArguments(args, 2, "firmware PROJECT_DIR MASTER_FILE");
        const QString dir = requireProjectDir(args[0]);
        const ProjectWriteLock lock(dir);
        code = runFirmware(dir, args[1], notices);
    });
    return code;
}

int updateCommand(const QStringList &args, Notices &notices)
{
    int code = 1;
    guardedCall(notices, [&] {
        requireArguments(args, 2, "update PROJECT_DIR MASTER_FILE");
        const QString dir = requireProjectDir(args[0]);
        // One lock from the banks through the merge: no other writer comes between them.
        const ProjectWriteLock lock(dir);
        runBanks(dir, {QFileInfo(args[1]).absoluteFilePath()});
        code = runFirmware(dir, args[1], notices);
    });
    return code;
}

} // namespace

const CliCommandInfo ImageCliCommands[] = {
    {"banks", "banks PROJECT_DIR", "writes bin/bank1.bin to bin/bank5.bin and bin/bankg.c", banksCommand},
    {"firmware", "firmware PROJECT_DIR MASTER_FILE", "merges the bank files into New_<MASTER_FILE>", firmwareCommand},
    {"update", "update PROJECT_DIR MASTER_FILE", "banks, then firmware (the device update without flashing)",
     updateCommand},
    {nullptr, nullptr, nullptr, nullptr}};
