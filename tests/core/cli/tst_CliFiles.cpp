#include "support/CliRunner.h"
#include "support/ProjectBuilders.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

    // Names that are not valid UTF-8 are used as the bytes given: the file is found,
    // written into, and named in messages as given.
    void namesAreTheBytesGiven()
    {
        QTemporaryDir dir;
        const QByteArray root = QFile::encodeName(dir.path());
        // A project folder whose own name is not UTF-8.
        const QByteArray project = root + "/\xff\xfe";
        QCOMPARE(::mkdir(project.constData(), 0700), 0);
        writeFileBytes(dir.filePath(QStringLiteral("pargen.xml")), pargenDefaults());
        QCOMPARE(::rename(QFile::encodeName(dir.filePath(QStringLiteral("pargen.xml"))).constData(),
                          (project + "/pargen.xml").constData()),
                 0);
        CliRun run = runRaw({"banks", project});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        struct stat info;
        QCOMPARE(::stat((project + "/bin/bank1.bin").constData(), &info), 0);
        QCOMPARE(qint64(info.st_size), qint64(16384));

        // A file whose name is not UTF-8, and one in a folder whose name is not; the
        // tree's file item names each as given (as messages do), never by descriptor.
        const QByteArray xml = "<r><a/></r>";
        for (const QByteArray &name : {root + "/\xe9.xml", project + "/doc.xml"}) {
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            QVERIFY(fd >= 0);
            QCOMPARE(::write(fd, xml.constData(), size_t(xml.size())), ssize_t(xml.size()));
            ::close(fd);
            run = runRaw({"xml-tree", name});
            QVERIFY2(run.exitCode == 0, run.err.constData());
            const QByteArray shownName = QFile::encodeName(QFileInfo(QFile::decodeName(name)).fileName());
            QCOMPARE(run.out, "File: " + shownName + "\n  r\n    a\n");
        }

        // A pargen.xml that is refused is named with the folder as given.
        ::unlink((project + "/pargen.xml").constData());
        QCOMPARE(::mkfifo((project + "/pargen.xml").constData(), 0600), 0);
        run = runRaw({"banks", project});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(
            run.err.contains(QFile::encodeName(QFile::decodeName(project)) + "/pargen.xml\" is not a regular file."),
            run.err.constData());
        QVERIFY(!run.err.contains("/proc/self/fd"));
    }

    // A master whose own name is not UTF-8 cannot give "New_" + its name: said so, not "not found".
    void masterNameThatCannotBeCarried()
    {
        QTemporaryDir dir;
        const QByteArray master = QFile::encodeName(dir.path()) + "/\xff.s19";
        const int fd = ::open(master.constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        ::close(fd);
        const CliRun run = runRaw({"firmware", QFile::encodeName(dir.path()), master});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("given as MASTER_FILE is not valid UTF-8"), run.err.constData());
        QVERIFY(!run.err.contains("not found"));
    }
#endif

private:
#ifdef Q_OS_UNIX
    static QByteArray pargenDefaults()
    {
        return "<Par_Gen><Can_Dev_Id>1</Can_Dev_Id><Can_Baud>0</Can_Baud><Net_Dev_Id>1</Net_Dev_Id><Net_Baud>0"
               "</Net_Baud><Time_Out_SDO>10000</Time_Out_SDO></Par_Gen>";
    }

    // tessiro-cli with arguments as raw bytes: QProcess would take them as UTF-8,
    // so a shell turns octal escapes back into the bytes.
    static CliRun runRaw(const QList<QByteArray> &args)
    {
        QString script = QStringLiteral("exec \"$0\"");
        QStringList shellArgs{QStringLiteral("-c"), QString(), QStringLiteral(TESSIRO_CLI_PATH)};
        for (const QByteArray &arg : args) {
            QString escaped;
            for (const char c : arg)
                escaped += QStringLiteral("\\%1").arg(uint(uchar(c)), 4, 8, QLatin1Char('0'));
            shellArgs << escaped;
            script += QStringLiteral(" \"$(printf '%b' \"$%1\")\"").arg(shellArgs.size() - 3);
        }
        shellArgs[1] = script;
        QProcess process;
        process.start(QStringLiteral("/bin/sh"), shellArgs);
        CliRun run;
        if (!process.waitForFinished(120000))
            return run;
        run.exitCode = process.exitCode();
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }
#endif
};

QTEST_GUILESS_MAIN(TestCliFiles)
#include "tst_CliFiles.moc"
