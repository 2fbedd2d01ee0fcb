#include "base/GuardedCall.h"
#include "cli/CliCommands.h"
#include "cli/StderrNotices.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

const CliCommandInfo *const CommandLists[] = {ConfigCliCommands, ImageCliCommands, EdsCliCommands, XmlCliCommands,
                                              TranslateCliCommands};

void printHelp()
{
    std::printf("Usage: tessiro-cli COMMAND [ARGUMENTS]\n"
                "       tessiro-cli --help | --version\n\n"
                "Runs the generators of Tessiro without windows. Messages go to stderr;\n"
                "the exit code is 0 on success and 1 on failure.\n\nCommands:\n");
    for (const CliCommandInfo *list : CommandLists)
        for (const CliCommandInfo *c = list; c->name; ++c)
            std::printf("  %-40s %s\n", c->usage, c->summary);
}

const CliCommandInfo *findCommand(const QString &name)
{
    for (const CliCommandInfo *list : CommandLists)
        for (const CliCommandInfo *c = list; c->name; ++c)
            if (name == QLatin1String(c->name))
                return c;
    return nullptr;
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
    int code = 1;
    if (!guardedCall(notices, [&] { code = command->run(args.mid(1), notices); }))
        return 1;
    return code;
}
