#include "shell/HelpFile.h"

#include "base/AppConstants.h"
#include "base/FileRead.h"
#include "base/TessiroError.h"
#include "project/ProgramFolders.h"
#include "shell/Messages.h"
#include "translate/Messages.h"

#include <QDir>
#include <QFileInfo>

namespace {
// Far above any help text; a wrong file in its place is not read whole.
constexpr qint64 MaxHelpBytes = qint64(4) << 20;
} // namespace

QString helpFileName()
{
    return QStringLiteral("help%1.dat").arg(VariantCode);
}

Loaded<QString> loadHelpText(const QString &exeDir)
{
    using namespace TranslateMessages;
    Loaded<QString> loaded;
    const QString name = helpFileName();
    const QString path = shippedFile(exeDir, name);
    if (!QFileInfo::exists(path)) {
        const QString beside = QDir::toNativeSeparators(QDir(exeDir).filePath(name));
        const QString installed = QDir::toNativeSeparators(QDir(installedDataDir(exeDir)).filePath(name));
        loaded.problems << FixedTextWithPlace.arg(ShellMessages::HelpUnreadable,
                                                  ShellMessages::HelpLookedIn.arg(beside, installed));
        return loaded;
    }
    try {
        loaded.value = QString::fromUtf8(readRegularFile(path, MaxHelpBytes));
    } catch (const TessiroError &e) {
        loaded.problems << FixedTextWithPlace.arg(ShellMessages::HelpUnreadable, e.message());
    }
    return loaded;
}
