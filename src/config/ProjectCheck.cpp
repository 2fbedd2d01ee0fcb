#include "config/ProjectCheck.h"

#include "config/AccessMap.h"
#include "config/Pargen.h"

#include <QDir>

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

void checkMap(const AccessMapParams &params, const ProjectFilesT &files, QList<ConfigProblem> *problems)
{
    const QString &path = files.*params.ownFile;
    AccessMap map(params);
    for (const QString &error : map.load(path, files.*params.otherFile))
        problems->append({{}, {}, error});
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
    const ProjectFilesT &files = project.ProjectFiles;

    PargenValues values;
    const QString error = loadPargen(files.PargenPath, &values);
    if (!error.isEmpty())
        problems.append({{}, {}, error});
    for (const QString &message : communicationFailures(values))
        problems.append({files.PargenPath, {}, message});

    checkMap(sdoAccessMap(), files, &problems);
    checkMap(pdoAccessMap(), files, &problems);
    return problems;
}
