#include "base/GuardedCall.h"
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "eds/EdsWriter.h"
#include "project/ProjectStore.h"

namespace {

int runEds(const QStringList &args, Notices &notices)
{
    return guardedCall(notices,
                       [&] {
                           requireArguments(args, 2, "eds PROJECT_DIR OUTPUT_FILE");
                           WriteEdsFile(args[1], projectFiles(requireProjectDir(args[0])).PdoPath);
                       })
               ? 0
               : 1;
}

} // namespace

const CliCommandInfo EdsCliCommands[] = {
    {"eds", "eds PROJECT_DIR OUTPUT_FILE", "writes the EDS file of the project to OUTPUT_FILE", runEds},
    {nullptr, nullptr, nullptr, nullptr},
};
