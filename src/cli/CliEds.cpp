#include "base/GuardedCall.h"
#include "cli/CliCommands.h"
#include "eds/EdsWriter.h"
#include "eds/Messages.h"
#include "project/ProjectStore.h"

#include <QDir>
#include <QFileInfo>

namespace {

int runEds(const QStringList &args, Notices &notices)
{
    if (args.size() != 2) {
        notices.error(EdsMessages::CliUsage);
        return 1;
    }
    // A mistyped project would otherwise give the defaults of a project without pdo.xml.
    const QString projectDir = QDir::toNativeSeparators(QDir::cleanPath(args[0]));
    if (!QFileInfo(projectDir).isDir()) {
        notices.error(EdsMessages::CliNoProject.arg(projectDir));
        return 1;
    }
    return guardedCall(notices, [&] { WriteEdsFile(args[1], projectFiles(projectDir).PdoPath); }) ? 0 : 1;
}

} // namespace

const CliCommandInfo EdsCliCommands[] = {
    {"eds", "eds PROJECT_DIR OUTPUT_FILE", "writes the EDS file of the project to OUTPUT_FILE", runEds},
    {nullptr, nullptr, nullptr, nullptr},
};
