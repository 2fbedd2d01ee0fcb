#include "config/Messages.h"
#include "config/ProjectCheck.h"
#include "support/CliRunner.h"
#include "support/ProjectBuilders.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ConfigMessages;

class TestProjectCheck : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    ProjectState m_project;

    QString file(const char *name) const { return QDir::toNativeSeparators(m_dir.filePath(QLatin1String(name))); }
    QStringList check() const
    {
        QStringList out;
        for (const ConfigProblem &p : checkProject(m_project))
            out << p.toString();
        return out;
    }
    // Runs the command-line tool; returns its exit code and its stderr lines.
    static int checkCli(const QStringList &args, QStringList *lines = nullptr)
    {
        const CliRun run = runCli(args);
        if (lines)
            *lines = QString::fromLocal8Bit(run.err).split(u'\n', Qt::SkipEmptyParts);
        return run.exitCode;
    }

private slots:
    void init()
    {
        m_project.ProjectDir = QDir::toNativeSeparators(m_dir.path());
        m_project.UpdateProjectFiles();
        for (const char *name : {"pargen.xml", "sdo.xml", "pdo.xml"})
            QFile::remove(file(name));
    }

    void missingFilesPassAsTheEditorsTreatThem()
    {
        QCOMPARE(check(), QStringList());
        QCOMPARE(checkCli({QStringLiteral("check"), m_dir.path()}), 0);
    }

    void everyFailingCheckWithItsFileAndRow()
    {
        writeFileBytes(file("pargen.xml"),
                       "<Par_Gen><Can_Dev_Id>0</Can_Dev_Id><Can_Baud>0</Can_Baud><Net_Dev_Id>65"
                       "</Net_Dev_Id><Net_Baud>0</Net_Baud><Time_Out_SDO>1</Time_Out_SDO></Par_Gen>");
        // Row 2 of the IN list has two faults: both are listed.
        writeFileBytes(file("sdo.xml"),
                       sdoFile(sdoRow("$6000", "4", "1") + sdoRow("$6000", "3", "300"), sdoRow("$6000", "4", "1")));
        writeFileBytes(file("pdo.xml"),
                       pdoFile(pdoRow("$181", "8") + pdoRow("$182", "8") + pdoRow("$183", "8"), pdoRow("$900", "9")));
        const QString pargen = file("pargen.xml") + QStringLiteral(": ");
        const QString sdo = file("sdo.xml") + QStringLiteral(": ");
        const QString pdo = file("pdo.xml") + QStringLiteral(": ");
        // IN: SDO 4 + 3, PDO 24, 31 bytes: within budget; OUT: SDO 4, PDO 9.
        const QStringList expected{
            pargen + CanAddressRange,
            pargen + NetAddressRange,
            sdo + QStringLiteral("row 2 of ByteIN: ") + SdoSubIndexIn,
            sdo + QStringLiteral("row 2 of ByteIN: ") + SdoNByteIn,
            pdo + QStringLiteral("row 1 of ByteOUT_RPDO: ") + PdoCobIdOut,
            pdo + QStringLiteral("row 1 of ByteOUT_RPDO: ") + PdoDimensionOut,
        };
        QCOMPARE(check(), expected);

        QStringList lines;
        QCOMPARE(checkCli({QStringLiteral("check"), m_dir.path()}, &lines), 1);
        QCOMPARE(lines, expected);
        // A trailing separator names the same files.
        QCOMPARE(checkCli({QStringLiteral("check"), m_dir.path() + QStringLiteral("/")}, &lines), 1);
        QCOMPARE(lines, expected);
    }

    // A fault in pdo.xml is read by both map checks and listed once.
    void budgetsAndLoadErrors()
    {
        // pargen.xml stops at Net_Dev_Id; what was read is checked.
        writeFileBytes(file("pargen.xml"), "<Par_Gen><Can_Dev_Id>200</Can_Dev_Id><Can_Baud>0</Can_Baud></Par_Gen>");
        const QByteArray rows = repeatRow(sdoRow("1", "4"), 9);
        writeFileBytes(file("sdo.xml"), sdoFile(rows, rows));
        writeFileBytes(file("pdo.xml"), "<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO/></CanOpen_PDO_to_DeviceNet>");
        const QStringList expected{
            file("pargen.xml") + QStringLiteral(": element <Net_Dev_Id> is missing"),
            file("pargen.xml") + QStringLiteral(": ") + CanAddressRange,
            file("pdo.xml") + QStringLiteral(": element <ByteOUT_RPDO> is missing"),
            file("sdo.xml") + QStringLiteral(": ") + SdoBudgetIn,
            file("sdo.xml") + QStringLiteral(": ") + SdoBudgetOut,
            file("pdo.xml") + QStringLiteral(": ") + PdoBudgetIn,
            file("pdo.xml") + QStringLiteral(": ") + PdoBudgetOut,
        };
        QCOMPARE(check(), expected);
    }

    void bytesTheBankCannotHoldAndRowsBelowTheList()
    {
        writeFileBytes(file("pargen.xml"),
                       "<Par_Gen><Can_Dev_Id>1</Can_Dev_Id><Can_Baud>9</Can_Baud><Net_Dev_Id>1</Net_Dev_Id>"
                       "<Net_Baud>-1</Net_Baud><Time_Out_SDO>1</Time_Out_SDO><Ope_TimeOut>300</Ope_TimeOut></Par_Gen>");
        // An Index of 0 in row 2 ends the saved list; row 3 would be lost.
        writeFileBytes(file("sdo.xml"), sdoFile(sdoRow("$6000", "1") + sdoRow("0", "1") + sdoRow("$6001", "1"), {}));
        const QStringList expected{
            file("pargen.xml") + QStringLiteral(": ") + CanBaudNotValid,
            file("pargen.xml") + QStringLiteral(": ") + NetBaudNotValid,
            file("pargen.xml") + QStringLiteral(": ") + DelayRange,
            file("sdo.xml") + QStringLiteral(": row 2 of ByteIN: ") + ListEndsEarly.arg(2),
        };
        QCOMPARE(check(), expected);
        QStringList lines;
        QCOMPARE(checkCli({QStringLiteral("check"), m_dir.path()}, &lines), 1);
        QCOMPARE(lines, expected);
    }

    void commandLineErrors()
    {
        QCOMPARE(checkCli({QStringLiteral("check")}), 1);
        QCOMPARE(checkCli({QStringLiteral("check"), m_dir.filePath(QStringLiteral("nowhere"))}), 1);
    }
};

QTEST_GUILESS_MAIN(TestProjectCheck)
#include "tst_ProjectCheck.moc"
