#include "cli/CliSupport.h"

#include "base/TessiroError.h"
#include "cli/Messages.h"

#include <QDir>
#include <QFileInfo>

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
