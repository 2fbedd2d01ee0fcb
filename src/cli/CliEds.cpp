#include "base/GuardedCall.h"
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "eds/EdsWriter.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

namespace {

// True when path names a file directly inside dir (the folder the GUI writes its EDS into).
bool isInsideFolder(const QString &path, const QString &dir)
{
    const QString folder = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    return !folder.isEmpty() && folder == QFileInfo(dir).canonicalFilePath();
}

int runEds(const QStringList &args, Notices &notices)
{
    return guardedCall(notices,
                       [&] {
                           requireArguments(args, 2, "eds PROJECT_DIR OUTPUT_FILE");
                           const QString dir = requireProjectDir(args[0]);
                           // Written into the project, it takes the project's lock as the GUI does.
                           std::optional<ProjectWriteLock> lock;
                           if (isInsideFolder(args[1], dir))
                               lock.emplace(dir);
                           WriteEdsFile(args[1], projectFiles(dir).PdoPath);
                       })
               ? 0
               : 1;
}

} // namespace

const CliCommandInfo EdsCliCommands[] = {
    {"eds", "eds PROJECT_DIR OUTPUT_FILE", "writes the EDS file of the project to OUTPUT_FILE", runEds},
    {nullptr, nullptr, nullptr, nullptr},
};
