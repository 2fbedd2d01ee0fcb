#include "cli/CliCommands.h"

#include "base/Notices.h"
#include "cli/CliSupport.h"
#include "config/ProjectCheck.h"

namespace {

int checkCommand(const QStringList &args, Notices &notices)
{
    const bool withDevice = (args.size() == 3 || args.size() == 5) && args[1] == QLatin1String("--device") &&
                            (args.size() == 3 || args[3] == QLatin1String("--node"));
    if (!withDevice)
        requireArguments(args, 1, "check PROJECT_DIR [--device EDS_FILE [--node NODE_ID]]");
    ProjectState project;
    project.ProjectDir = requireProjectDir(args.first());
    project.UpdateProjectFiles();
    const QList<ConfigProblem> problems = checkProject(project);
    for (const ConfigProblem &problem : problems)
        notices.error(problem.toString());
    if (withDevice)
        checkAgainstDevice(project, args[2], args.value(4), notices);
    return problems.isEmpty() ? 0 : 1;
}

} // namespace

const CliCommandInfo ConfigCliCommands[] = {
    {"check", "check PROJECT_DIR [--device EDS_FILE [--node NODE_ID]]",
     "runs the editors' checks on pargen.xml, sdo.xml and pdo.xml and prints every failing one; with "
     "--device, warns of map rows that do not fit the device's EDS (PDO rows for NODE_ID, else the node ID "
     "kept in the project's device.xml)",
     checkCommand},
    {nullptr, nullptr, nullptr, nullptr}};
