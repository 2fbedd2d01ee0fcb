#pragma once

#include <QByteArray>
#include <QStringList>

// The real tessiro-cli run as a script would run it.
struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliRun runCli(const QStringList &args);
