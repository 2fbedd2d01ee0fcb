#include "support/CliRunner.h"

#include <QProcess>
#include <QTest>

QByteArray consoleText(QByteArray output)
{
#ifdef Q_OS_WIN
    output.replace("\r\n", "\n");
#endif
    return output;
}

CliRun runCli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(TESSIRO_CLI_PATH), args);
    CliRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        qWarning("tessiro-cli did not finish normally: %s", qPrintable(process.errorString()));
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = consoleText(process.readAllStandardOutput());
    run.err = consoleText(process.readAllStandardError());
    return run;
}
