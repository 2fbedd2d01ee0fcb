#pragma once

#include <QByteArray>
#include <QStringList>

// The real tessiro-cli run as a script would run it.
struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The real tessiro-cli's stdout and stderr come back with LF line ends: a Windows
// console program ends its lines with CR LF, while the files it writes are the
// same bytes on every system, so only the console text is normalised.
CliRun runCli(const QStringList &args);

// Console output as the tests compare it: CR LF read as LF on Windows, as is elsewhere.
QByteArray consoleText(QByteArray output);
