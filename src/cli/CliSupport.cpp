#include "cli/CliSupport.h"

#include "base/TessiroError.h"
#include "cli/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<QString, QString>> &givenNames()
{
    static std::vector<std::pair<QString, QString>> names;
    return names;
}

} // namespace

void requireArguments(const QStringList &args, qsizetype count, const char *usage)
{
    if (args.size() != count)
        throw TessiroError(CliMessages::Usage.arg(QString::fromLatin1(usage)));
}

QString requireProjectDir(const QString &arg)
{
    const QFileInfo dir(arg);
    if (!dir.isDir())
        throw TessiroError(CliMessages::NoProjectDir.arg(QDir::toNativeSeparators(QDir::cleanPath(arg))));
    return QDir::toNativeSeparators(QDir::cleanPath(dir.absoluteFilePath()));
}

void rememberGivenName(const QString &path, const QString &given)
{
    givenNames().emplace_back(path, given);
}

QString shownAsGiven(QString text)
{
    // The latest descriptor first: /proc/self/fd/12 before /proc/self/fd/1.
    const auto &names = givenNames();
    for (auto it = names.crbegin(); it != names.crend(); ++it)
        text.replace(it->first, it->second);
    return text;
}
