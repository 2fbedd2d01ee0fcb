#include "support/CliRunner.h"
#include "support/ProjectBuilders.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// tessiro-cli on files that are not what their names promise.
class TestCliFiles : public QObject {
    Q_OBJECT
private slots:
#ifdef Q_OS_UNIX
    // A pargen.xml that would block or never end: a message naming it and exit 1, at once.
    void hostilePargenIsRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("kind");
        for (const char *command : {"check", "banks"}) {
            QTest::addRow("%s fifo", command) << QString::fromLatin1(command) << QStringLiteral("fifo");
            QTest::addRow("%s link to /dev/zero", command) << QString::fromLatin1(command) << QStringLiteral("zero");
        }
    }

    void hostilePargenIsRefused()
    {
        QFETCH(QString, command);
        QFETCH(QString, kind);
        QTemporaryDir dir;
        writeFileBytes(dir.filePath(QStringLiteral("sdo.xml")), sdoFile({}, {}));
        writeFileBytes(dir.filePath(QStringLiteral("pdo.xml")), pdoFile({}, {}));
        const QString pargen = dir.filePath(QStringLiteral("pargen.xml"));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(pargen).constData(), 0600), 0);
        else
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), pargen));

        const CliRun run = runCli({command, dir.path()});
        QCOMPARE(run.exitCode, 1);
        const QString expected =
            QStringLiteral("File \"%1\" is not a regular file.").arg(QDir::toNativeSeparators(pargen));
        QVERIFY2(QString::fromUtf8(run.err).contains(expected), run.err.constData());
        QVERIFY(!QDir(dir.filePath(QStringLiteral("bin"))).exists());
    }
#endif
};

QTEST_GUILESS_MAIN(TestCliFiles)
#include "tst_CliFiles.moc"
