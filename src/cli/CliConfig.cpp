#include "cli/CliCommands.h"

#include "base/Notices.h"
#include "cli/CliSupport.h"
#include "config/ProjectCheck.h"

namespace {

int checkCommand(const QStringList &args, Notices &notices)
{
    requireArguments(args, 1, "check PROJECT_DIR");
    ProjectState project;
    project.ProjectDir = requireProjectDir(args.first());
    project.UpdateProjectFiles();
    const QList<ConfigProblem> problems = checkProject(project);
    for (const ConfigProblem &problem : problems)
        notices.error(problem.toString());
    return problems.isEmpty() ? 0 : 1;
}

} // namespace

const CliCommandInfo ConfigCliCommands[] = {
    {"check", "check PROJECT_DIR",
     "runs the editors' checks on pargen.xml, sdo.xml and pdo.xml and prints every failing one", checkCommand},
    {nullptr, nullptr, nullptr, nullptr}};
