#include "SRecordFixtures.h"
#include "project/ProjectLock.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace fixtures;

namespace {

struct Result {
    int exitCode;
    QString errors;
};

Result cli(const QStringList &args)
{
    const CliRun run = runCli(args);
    return {run.exitCode, QString::fromLocal8Bit(run.err)};
}

const QByteArray Pargen = "<Par_Gen><Can_Dev_Id>5</Can_Dev_Id><Can_Baud>4</Can_Baud><Net_Dev_Id>3</Net_Dev_Id>"
                          "<Net_Baud>1</Net_Baud><Time_Out_SDO>10000</Time_Out_SDO></Par_Gen>";

// A project with its pargen.xml and a small master firmware beside it.
struct UpdateBench {
    QTemporaryDir dir;
    QString project = dir.filePath(QStringLiteral("Line3"));
    QString master = dir.filePath(QStringLiteral("fw.sx"));
    QByteArray masterText = Header + s2Run(0x387F00, 0x38C100, oldByte) + s2Run(0x398000, 0x39C000, oldByte) + EndS9;

    UpdateBench()
    {
        QDir().mkpath(project);
        writeFileBytes(project + QStringLiteral("/pargen.xml"), Pargen);
        writeFileBytes(master, masterText);
    }
    QString merged() const { return project + QStringLiteral("/New_fw.sx"); }
    QStringList args(const char *command) const { return {QString::fromLatin1(command), project, master}; }
};

} // namespace

class TestCliImage : public QObject {
    Q_OBJECT
private slots:
    void updateWritesBanksSourceAndMergedFirmware()
    {
        QTemporaryDir dir;
        const QString project = dir.filePath(QStringLiteral("Line3"));
        QDir().mkpath(project); // no bin directory: the command makes it
        writeFileBytes(project + QStringLiteral("/pargen.xml"), Pargen);
        const QByteArray master = Header + s2Run(0x388000, 0x38C000, oldByte) + EndS9;
        writeFileBytes(dir.filePath(QStringLiteral("fw.sx")), master);

        const Result r = cli({QStringLiteral("update"), project, dir.filePath(QStringLiteral("fw.sx"))});
        QCOMPARE(r.errors, QString());
        QCOMPARE(r.exitCode, 0);
        const QByteArray bank1 = readFileBytes(project + QStringLiteral("/bin/bank1.bin"));
        QCOMPARE(bank1.mid(15000, 6), QByteArray::fromHex("050403012710"));
        QCOMPARE(readFileBytes(project + QStringLiteral("/bin/bankg.c")).size(), 117824);
        const QByteArray merged = readFileBytes(project + QStringLiteral("/New_fw.sx"));
        QCOMPARE(merged.count('\n'), master.count('\n'));
        QVERIFY(merged.contains(record('2', 0x38BA80, bank1.mid(0x3A80, 32))));
        QCOMPARE(QDir(project).entryList(QDir::Files),
                 QStringList({QStringLiteral("New_fw.sx"), QStringLiteral("pargen.xml")}));
    }

    // Two runs at once on one project: each waits for the other, so every run
    // either makes the whole merged file or says that the project is in use.
    void concurrentUpdatesNeverMixTheirFiles()
    {
        UpdateBench bench;
        QCOMPARE(cli(bench.args("update")).exitCode, 0);
        const QByteArray expected = readFileBytes(bench.merged());
        QVERIFY(expected.contains(record('2', 0x398000, readFileBytes(bench.project + "/bin/bank2.bin").left(32))));

        for (int round = 0; round < 20; ++round) {
            QProcess runs[2];
            for (QProcess &run : runs)
                run.start(QStringLiteral(TESSIRO_CLI_PATH), bench.args("update"));
            for (QProcess &run : runs) {
                QVERIFY(run.waitForFinished(30000));
                const QString errors = QString::fromLocal8Bit(run.readAllStandardError());
                QVERIFY2((run.exitCode() == 0 && errors.isEmpty()) ||
                             (run.exitCode() == 1 &&
                              errors.startsWith(QStringLiteral("Project is in use by another program ("))),
                         qPrintable(errors));
            }
            QCOMPARE(readFileBytes(bench.merged()), expected);
            QCOMPARE(QDir(bench.project).entryList(QDir::Files | QDir::Hidden),
                     QStringList({QStringLiteral("New_fw.sx"), QStringLiteral("pargen.xml")}));
            QCOMPARE(QDir(bench.project + "/bin").entryList(QDir::Files | QDir::Hidden).size(), 6);
        }
    }

    void writersWaitForTheProjectLock()
    {
        UpdateBench bench;
        QCOMPARE(cli(bench.args("update")).exitCode, 0);
        writeFileBytes(bench.merged(), "earlier merge");
        const ProjectWriteLock lock(bench.project);
        const Result r = cli(bench.args("firmware"));
        QCOMPARE(r.errors, QStringLiteral("Project is in use by another program (%1, process %2 on %3)\n")
                               .arg(QDir::toNativeSeparators(bench.project + "/.tessiro.lock"))
                               .arg(QCoreApplication::applicationPid())
                               .arg(lockHostName()));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(readFileBytes(bench.merged()), QByteArray("earlier merge"));
    }

    // What a killed run left beside the files it writes goes; a master that only
    // looks like such a leftover is read and never changed.
    void leftoversGoTheMasterStays_data()
    {
        QTest::addColumn<QString>("masterName");
        QTest::newRow("master named like a bank file's temporary") << QStringLiteral("Line3/bin/bank1.bin.Ab12Cd");
        QTest::newRow("master named like a former intermediate file") << QStringLiteral("Line3/\u00B0B2\u00B0.sx");
    }
    void leftoversGoTheMasterStays()
    {
        QFETCH(QString, masterName);
        UpdateBench bench;
        QDir(bench.project).mkdir(QStringLiteral("bin"));
        const QString master = bench.dir.filePath(masterName);
        writeFileBytes(master, bench.masterText);
        const QString merged = bench.project + QStringLiteral("/New_") + QFileInfo(master).fileName();
        const QStringList leftovers = {bench.project + QStringLiteral("/bin/bank1.bin.Zz99Yy"),
                                       bench.project + QStringLiteral("/bin/bankg.c.q1W2e3"),
                                       merged + QStringLiteral(".Zz99Yy")};
        for (const QString &leftover : leftovers)
            writeFileBytes(leftover, "left by a killed run");

        const Result r = cli({QStringLiteral("update"), bench.project, master});
        QCOMPARE(r.errors, QString());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(readFileBytes(master), bench.masterText);
        QCOMPARE(readFileBytes(merged).size(), bench.masterText.size());
        for (const QString &leftover : leftovers)
            QVERIFY2(!QFileInfo::exists(leftover), qPrintable(leftover));
    }

    void failuresExitWithOne_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("errors");
        QTest::newRow("firmware without bin")
            << QStringList{QStringLiteral("firmware"), QStringLiteral("%1"), QStringLiteral("%1/fw.sx")}
            << "Directory Bin Not Found,Abort Procedure\n";
        QTest::newRow("firmware without master")
            << QStringList{QStringLiteral("firmware"), QStringLiteral("%1"), QStringLiteral("%1/none.sx")}
            << "File *.Sx Not Found,Abort Procedure\n";
        // The editors' checks run first: no bank is built from a file an editor would refuse.
        QTest::newRow("banks of a broken project") << QStringList{QStringLiteral("banks"), QStringLiteral("%1/broken")}
                                                   << "%1/broken/pargen.xml: element <Can_Baud> is missing\n";
        QTest::newRow("update of a broken project")
            << QStringList{QStringLiteral("update"), QStringLiteral("%1/broken"), QStringLiteral("%1/fw.sx")}
            << "%1/broken/pargen.xml: element <Can_Baud> is missing\n";
        QTest::newRow("banks of a value the editor refuses")
            << QStringList{QStringLiteral("banks"), QStringLiteral("%1/refused")}
            << "%1/refused/pargen.xml: Error!! CANOpen address must be between 1 and 127. \n";
        QTest::newRow("banks of a project never configured")
            << QStringList{QStringLiteral("banks"), QStringLiteral("%1/unset")}
            << "File pargen.xml not found: set the communication parameters (step 2) first\n";
        QTest::newRow("project missing") << QStringList{QStringLiteral("banks"), QStringLiteral("%1/none")}
                                         << "Project directory %1/none not found\n";
        QTest::newRow("wrong arguments") << QStringList{QStringLiteral("firmware"), QStringLiteral("%1")}
                                         << "Usage: tessiro-cli firmware PROJECT_DIR MASTER_FILE\n";
    }
    void failuresExitWithOne()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, errors);
        QTemporaryDir dir;
        writeFileBytes(dir.filePath(QStringLiteral("fw.sx")), Header + EndS9);
        QDir(dir.path()).mkdir(QStringLiteral("broken"));
        writeFileBytes(dir.filePath(QStringLiteral("broken/pargen.xml")),
                       "<Par_Gen><Can_Dev_Id>x</Can_Dev_Id></Par_Gen>");
        QDir(dir.path()).mkdir(QStringLiteral("refused"));
        writeFileBytes(dir.filePath(QStringLiteral("refused/pargen.xml")),
                       QByteArray(Pargen).replace("<Can_Dev_Id>5<", "<Can_Dev_Id>200<"));
        QDir(dir.path()).mkdir(QStringLiteral("unset"));
        args.replaceInStrings(QStringLiteral("%1"), dir.path());

        const Result r = cli(args);
        // Paths in the messages are written as the system writes them.
        QCOMPARE(r.errors, QDir::toNativeSeparators(errors.replace(QStringLiteral("%1"), dir.path())));
        QCOMPARE(r.exitCode, 1);
        for (const char *project : {"broken", "refused", "unset"})
            QVERIFY(!QFileInfo::exists(dir.filePath(QLatin1String(project) + QStringLiteral("/bin/bank1.bin"))));
    }
};

QTEST_GUILESS_MAIN(TestCliImage)
#include "tst_CliImage.moc"
