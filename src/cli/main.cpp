#include "base/GuardedCall.h"
#include "base/TessiroError.h"
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "cli/StderrNotices.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace {

const CliCommandInfo *const CommandLists[] = {ConfigCliCommands, ImageCliCommands,     EdsCliCommands,
                                              XmlCliCommands,    TranslateCliCommands, DeviceCliCommands};

void printHelp()
{
    std::printf("Usage: tessiro-cli COMMAND [ARGUMENTS]\n"
                "       tessiro-cli --help | --version\n\n"
                "Runs the generators of Tessiro without windows. Messages go to stderr;\n"
                "the exit code is 0 on success and 1 on failure.\n\nCommands:\n");
    for (const CliCommandInfo *list : CommandLists)
        for (const CliCommandInfo *c = list; c->name; ++c) {
            // The usage on a line of its own, the summary below it within 78 columns:
            // readable in a terminal, and help2man keeps each command apart.
            std::printf("  %s\n", c->usage);
            QString line;
            for (const QString &word : QString::fromUtf8(c->summary).split(u' ', Qt::SkipEmptyParts)) {
                if (!line.isEmpty() && 6 + line.size() + 1 + word.size() > 78) {
                    std::printf("      %s\n", line.toUtf8().constData());
                    line.clear();
                }
                line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
            }
            std::printf("      %s\n", line.toUtf8().constData());
        }
}

const CliCommandInfo *findCommand(const QString &name)
{
    for (const CliCommandInfo *list : CommandLists)
        for (const CliCommandInfo *c = list; c->name; ++c)
            if (name == QLatin1String(c->name))
                return c;
    return nullptr;
}

bool roundTrips(const QByteArray &name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

// Qt decodes names as UTF-8 and loses the bytes that are not, so a file whose name
// is not valid UTF-8 would look missing. On Linux such a name is opened by its
// bytes and Qt gets the descriptor's path in /proc/self/fd; messages show the name
// as given again.
class ArgumentNames {
public:
    // A name Qt can use for argv's bytes; word is the argument's name in the
    // command's usage line. Throws TessiroError when there is none.
    QString usable(const QByteArray &raw, const QString &word)
    {
        const QString given = QFile::decodeName(raw);
        if (roundTrips(raw))
            return given;
#ifdef Q_OS_LINUX
        QByteArray trimmed = raw;
        while (trimmed.size() > 1 && trimmed.endsWith('/'))
            trimmed.chop(1);
        const qsizetype slash = trimmed.lastIndexOf('/');
        const QByteArray base = trimmed.mid(slash + 1);
        if (roundTrips(base) && base != "." && base != "..") {
            // Only the folder is the trouble: it goes by descriptor, the last part by
            // name, so that files named after it can be made beside it.
            const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : trimmed.left(slash);
            const QString path = byDescriptor(folder, O_DIRECTORY);
            return path.isEmpty() ? given : path + u'/' + QFile::decodeName(base);
        }
        // The last part itself has no name in Qt: what is only read goes by
        // descriptor; names the program builds on it could not be made.
        if (!ReadOnlyWords.contains(word))
            throw TessiroError(NameNotCarried.arg(given, word));
        const QString path = byDescriptor(trimmed, 0);
        return path.isEmpty() ? given : path;
#else
        throw TessiroError(NameNotOpened.arg(given, word));
#endif
    }

private:
#ifdef Q_OS_LINUX
    // The /proc/self/fd path of the file or folder at raw, open until the program
    // ends; empty when it cannot be opened, and the command reports it missing.
    QString byDescriptor(const QByteArray &raw, int flags)
    {
        // O_PATH opens without reading: a FIFO does not block here.
        const int fd = ::open(raw.constData(), O_PATH | O_CLOEXEC | flags);
        if (fd < 0)
            return {};
        const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
        rememberGivenName(path, QFile::decodeName(raw));
        return path;
    }
    const QStringList ReadOnlyWords = {QStringLiteral("PROJECT_DIR"), QStringLiteral("FILE")};
    const QString NameNotCarried = QStringLiteral("The name \"%1\" given as %2 is not valid UTF-8; the files this "
                                                  "command makes by that name cannot be named. Rename it.");
#else
    const QString NameNotOpened =
        QStringLiteral("The name \"%1\" given as %2 is not valid UTF-8 and cannot be opened here. Rename it.");
#endif
};

// Messages name the files as the user gave them.
class ShownNamesNotices : public Notices {
public:
    explicit ShownNamesNotices(Notices &out) : m_out(out) {}
    void notice(const QString &text) override { m_out.notice(shownAsGiven(text)); }
    void error(const QString &text) override { m_out.error(shownAsGiven(text)); }
    void generalError(const QString &text) override { m_out.generalError(shownAsGiven(text)); }
    bool confirm(const QString &text) override { return m_out.confirm(shownAsGiven(text)); }

private:
    Notices &m_out;
};

// The command's arguments as names Qt can open; the usage line names each one.
QStringList commandArguments(int argc, char *argv[], const CliCommandInfo &command, ArgumentNames &names)
{
#ifdef Q_OS_WIN
    // Windows hands Qt the names as UTF-16: nothing is lost.
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    Q_UNUSED(command);
    Q_UNUSED(names);
    return QCoreApplication::arguments().mid(2);
#else
    const QStringList words = QString::fromLatin1(command.usage).split(u' ', Qt::SkipEmptyParts).mid(1);
    QStringList args;
    for (int i = 2; i < argc; ++i)
        args << names.usable(QByteArray(argv[i]), words.value(i - 2));
    return args;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessiro-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSIRO_VERSION));
    QStringList args = QCoreApplication::arguments().mid(1);

    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printHelp();
        return args.isEmpty() ? 1 : 0;
    }
    if (args.first() == QLatin1String("--version")) {
        std::printf("tessiro-cli %s\n", TESSIRO_VERSION);
        return 0;
    }
    const CliCommandInfo *command = findCommand(args.first());
    StderrNotices notices;
    if (!command) {
        notices.error(QStringLiteral("Unknown command '%1'; see tessiro-cli --help").arg(args.first()));
        return 1;
    }
    ArgumentNames names;
    ShownNamesNotices shown(notices);
    int code = 1;
    if (!guardedCall(shown, [&] { code = command->run(commandArguments(argc, argv, *command, names), shown); }))
        return 1;
    return code;
}
