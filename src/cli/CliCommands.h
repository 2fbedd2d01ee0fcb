#pragma once

#include <QStringList>

class Notices;

// One function per command: args are the command's own arguments. Each prints the
// program's messages through notices and returns the exit code (0 success, 1 failure).
using CliCommand = int (*)(const QStringList &args, Notices &notices);

struct CliCommandInfo {
    const char *name;
    const char *usage;
    const char *summary;
    CliCommand run;
};

// The commands each subsystem offers; the lists end with a null name.
extern const CliCommandInfo ConfigCliCommands[];
extern const CliCommandInfo ImageCliCommands[];
extern const CliCommandInfo EdsCliCommands[];
extern const CliCommandInfo XmlCliCommands[];
extern const CliCommandInfo TranslateCliCommands[];
extern const CliCommandInfo DeviceCliCommands[];

// check --device: warns of the map rows that do not fit the device's EDS. The PDO
// rows need the device's node ID: nodeIdText when given, else the project's device.xml.
struct ProjectState;
void checkAgainstDevice(const ProjectState &project, const QString &edsPath, const QString &nodeIdText,
                        Notices &notices);
