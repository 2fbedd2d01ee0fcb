#include "cli/CliCommands.h"

#include "base/AppConstants.h"
#include "base/Notices.h"
#include "base/Progress.h"
#include "image/BankImage.h"
#include "image/FirmwareMerge.h"
#include "image/Messages.h"
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

int runBanks(const QString &projectDir)
{
    GenerateDeviceImage(projectDir);
    return 0;
}

// The chain as the update window runs it, with the project's bin directory and the
// project directory as the output directory.
int runFirmware(const QString &projectDir, const QString &masterFile, Notices &notices)
{
    const QString separator(QDir::separator());
    NoProgress progress;
    FirmwareMerge merge(notices, progress);
    merge.SelectedBanks = selectedBanks(VariantCode);
    merge.BinDir = binDirectory(projectDir) + separator;
    merge.OutputDir = projectDir.endsWith(separator) ? projectDir : projectDir + separator;
    merge.NewFirmwareName = ImageMessages::NewFirmwarePrefix + QFileInfo(masterFile).fileName();
    return merge.runChain(QDir::toNativeSeparators(QFileInfo(masterFile).absoluteFilePath())) ? 0 : 1;
}

int banksCommand(const QStringList &args, Notices &notices)
{
    QString dir;
    if (!checkArguments(args, 1, "banks PROJECT_DIR", notices) || !projectDirectory(args[0], notices, &dir))
        return 1;
    return runBanks(dir);
}

int firmwareCommand(const QStringList &args, Notices &notices)
{
    QString dir;
    if (!checkArguments(args, 2, "firmware PROJECT_DIR MASTER_FILE", notices) ||
        !projectDirectory(args[0], notices, &dir))
        return 1;
    return runFirmware(dir, args[1], notices);
}

int updateCommand(const QStringList &args, Notices &notices)
{
    QString dir;
    if (!checkArguments(args, 2, "update PROJECT_DIR MASTER_FILE", notices) ||
        !projectDirectory(args[0], notices, &dir))
        return 1;
    if (runBanks(dir) != 0)
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
