#include "config/ProjectCheck.h"

#include "base/TessiroError.h"
#include "config/AccessMap.h"
#include "config/Messages.h"
#include "config/Pargen.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

QString ConfigProblem::toString() const
{
    QString text;
    if (!file.isEmpty())
        text += QDir::toNativeSeparators(file) + QStringLiteral(": ");
    if (!where.isEmpty())
        text += where + QStringLiteral(": ");
    return text + message;
}

namespace {

// Each map editor reads the other map's file too: a fault in it is listed once.
void addLoadProblems(const QStringList &errors, QList<ConfigProblem> *problems)
{
    for (const QString &error : errors) {
        const bool listed = std::any_of(problems->cbegin(), problems->cend(), [&](const ConfigProblem &p) {
            return p.file.isEmpty() && p.where.isEmpty() && p.message == error;
        });
        if (!listed)
            problems->append({{}, {}, error});
    }
}

void checkMap(const AccessMapParams &params, const ProjectFiles &files, QList<ConfigProblem> *problems)
{
    const QString &path = files.*params.ownFile;
    AccessMap map(params);
    addLoadProblems(map.load(path, files.*params.otherFile).problems, problems);
    for (const AccessMap::Failure &failure : map.failures(false)) {
        const QString where = failure.row > 0 ? QStringLiteral("row %1 of %2")
                                                    .arg(failure.row)
                                                    .arg(QString::fromLatin1(params.list(failure.direction)))
                                              : QString();
        problems->append({path, where, failure.message});
    }
}

} // namespace

QList<ConfigProblem> checkProject(const ProjectState &project)
{
    QList<ConfigProblem> problems;
    const ProjectFiles &files = project.ProjectFiles;

    const Loaded<PargenValues> pargen = loadPargen(files.PargenPath);
    addLoadProblems(pargen.problems, &problems);
    for (const QString &message : communicationFailures(pargen.value))
        problems.append({files.PargenPath, {}, message});

    checkMap(sdoAccessMap(), files, &problems);
    checkMap(pdoAccessMap(), files, &problems);
    return problems;
}

void requireBankableProject(const ProjectState &project)
{
    if (!QFileInfo::exists(project.ProjectFiles.PargenPath))
        throw TessiroError(ConfigMessages::PargenMissingForBanks);
    const QList<ConfigProblem> problems = checkProject(project);
    if (!problems.isEmpty())
        throw TessiroError(problems.first().toString());
}
