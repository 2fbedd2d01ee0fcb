#include "SRecordFixtures.h"
#include "support/TestSupport.h"

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
    QProcess process;
    process.start(QStringLiteral(TESSIRO_CLI_PATH), args);
    if (!process.waitForFinished(30000))
        return {-1, QStringLiteral("did not finish")};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

const QByteArray Pargen = "<Par_Gen><Can_Dev_Id>5</Can_Dev_Id><Can_Baud>4</Can_Baud><Net_Dev_Id>3</Net_Dev_Id>"
                          "<Net_Baud>1</Net_Baud><Time_Out_SDO>10000</Time_Out_SDO></Par_Gen>";

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
        QTest::newRow("banks of a broken project")
            << QStringList{QStringLiteral("banks"), QStringLiteral("%1/broken")}
            << "'x' is not a valid integer value\nFile %1/broken/pargen.xml, element Can_Dev_Id\n";
        QTest::newRow("update of a broken project")
            << QStringList{QStringLiteral("update"), QStringLiteral("%1/broken"), QStringLiteral("%1/fw.sx")}
            << "'x' is not a valid integer value\nFile %1/broken/pargen.xml, element Can_Dev_Id\n";
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
        args.replaceInStrings(QStringLiteral("%1"), dir.path());

        const Result r = cli(args);
        QCOMPARE(r.errors, errors.replace(QStringLiteral("%1"), dir.path()));
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("broken/bin/bank1.bin"))));
    }
};

QTEST_GUILESS_MAIN(TestCliImage)
#include "tst_CliImage.moc"
