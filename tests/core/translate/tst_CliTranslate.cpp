#include "TranslateFixtures.h"
#include "support/CliRunner.h"
#include "translate/Messages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int exitCode;
    QString err;
};

Run run(const QStringList &args)
{
    const CliRun r = runCli(args);
    return {r.exitCode, QString::fromUtf8(r.err)};
}

} // namespace

class TestCliTranslate : public QObject {
    Q_OBJECT
private slots:
    void importSavesTheTable()
    {
        QTemporaryDir dir;
        const Run result =
            run({"import", "rpdodef", dir.path(), fixture(QStringLiteral("rpdodef_upper_case_sheet.xls"))});
        QCOMPARE(result.exitCode, 0);
        // Opening the editor on a new project says the file is not there yet.
        QCOMPARE(result.err, TranslateMessages::XmlNotFound + u'\n');
        QCOMPARE(readFileBytes(dir.filePath(QStringLiteral("rpdodef.xml"))),
                 QByteArray("<rpdodef>"
                            "<row cobid=\"385\" id_dev_orig=\"dev2\" en_bypass=\"2\" posind=\"p2\" n_tpdo=\"t2\"/>"
                            "<row cobid=\"0x181\" id_dev_orig=\"dev1\" en_bypass=\"3\" posind=\"p1\" n_tpdo=\"t1\"/>"
                            "<row cobid=\"0x201\" id_dev_orig=\"dev3\" en_bypass=\"1\" posind=\"p3\" n_tpdo=\"t3\"/>"
                            "<row cobid=\"0x202\" id_dev_orig=\"a,b\" en_bypass=\"0\" posind=\"p4\" n_tpdo=\"t4\"/>"
                            "</rpdodef>"));

        QCOMPARE(run({"export", "rpdodef", dir.path()}).exitCode, 0);
        const QByteArray csv = readFileBytes(dir.filePath(QStringLiteral("rpdodef.csv")));
        QVERIFY(
            csv.startsWith("cobid,id_dev_orig,00,posind,n_tpdo,\r\n385,dev2,00,p2,t2,\r\n0x181,dev1,01,p1,t1,\r\n"));
        QVERIFY(csv.contains("\r\n0x202,\"a,b\",10,p4,t4,\r\n"));
    }

    // An import that stops writes nothing; the file stays as it was.
    void failedImportWritesNothing_data()
    {
        QTest::addColumn<QString>("workbook");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing sheet") << fixture("cells.xls")
                                       << TranslateMessages::SheetMissing.arg(
                                              QDir::toNativeSeparators(fixture("cells.xls")), "sdo");
        const QString sdo = fixture("sdo_header_line_and_empty_conf.xlsx");
        QTest::newRow("stopped at a row") << sdo
                                          << TranslateMessages::ImportStopped.arg(QDir::toNativeSeparators(sdo), "sdo")
                                                 .arg(6)
                                                 .arg(TranslateMessages::EmptyInteger.arg("A"));
    }
    void failedImportWritesNothing()
    {
        QFETCH(QString, workbook);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("sdotrans.xml"));
        writeFileBytes(file, "<sdo/>");
        const Run result = run({"import", "sdo", dir.path(), workbook});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, message + u'\n');
        QCOMPARE(readFileBytes(file), QByteArray("<sdo/>"));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown table") << QStringList{"export", "emcy", "."}
                                       << "Unknown table 'emcy'; the tables are rpdodef, sdo, sdopdo, emcydef";
        QTest::newRow("no project") << QStringList{"export", "sdo", "/nonexistent/project"}
                                    << "Project directory /nonexistent/project not found";
        QTest::newRow("usage") << QStringList{"import", "sdo", "."}
                               << "Usage: tessiro-cli import TABLE PROJECT_DIR WORKBOOK";
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run result = run(args);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, message + u'\n');
    }

    // A file read only in part is not exported.
    void exportOfAFaultyFile()
    {
        QTemporaryDir dir;
        writeFileBytes(dir.filePath(QStringLiteral("rpdodef.xml")), "<rpdodef><row cobid=\"1\"/></rpdodef>");
        const Run result = run({"export", "rpdodef", dir.path()});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, TranslateMessages::XmlReadError + u'\n');
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("rpdodef.csv"))));
    }
};

QTEST_GUILESS_MAIN(TestCliTranslate)
#include "tst_CliTranslate.moc"
