#include "cli/CliCommands.h"

#include "base/Notices.h"
#include "config/ProjectCheck.h"

#include <QDir>
#include <QFileInfo>

namespace {

int checkCommand(const QStringList &args, Notices &notices)
{
    if (args.size() != 1) {
        notices.error(QStringLiteral("Usage: tessiro-cli check PROJECT_DIR"));
        return 1;
    }
    const QFileInfo dir(args.first());
    if (!dir.isDir()) {
        notices.error(QStringLiteral("%1 is not a project directory").arg(QDir::toNativeSeparators(args.first())));
        return 1;
    }
    ProjectState project;
    project.ProjectDir = QDir::toNativeSeparators(QDir::cleanPath(dir.absoluteFilePath()));
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
