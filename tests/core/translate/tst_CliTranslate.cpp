#include "TranslateFixtures.h"
#include "base/FileInUse.h"
#include "support/CliRunner.h"
#include "translate/Messages.h"
#include "workbook/Messages.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

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

const QByteArray EmcydefImported =
    "<emcydef>"
    "<row id_dev=\"3\" mask_eq_ec=\"$10\" mask_eq_er=\"1\" mask_eq_m1=\"2\" mask_eq_m2=\"3\" mask_eq_m3=\"4\" "
    "enmask_eq_ec=\"5\" enmask_eq_er=\"6\" enmask_eq_m1=\"7\" enmask_eq_m2=\"8\" enmask_eq_m3=\"\" bypass_set=\"0\"/>"
    "<row id_dev=\"0x7F\" mask_eq_ec=\"1\" mask_eq_er=\"2\" mask_eq_m1=\"3\" mask_eq_m2=\"4\" mask_eq_m3=\"5\" "
    "enmask_eq_ec=\"6\" enmask_eq_er=\"7\" enmask_eq_m1=\"8\" enmask_eq_m2=\"9\" enmask_eq_m3=\"10\" "
    "bypass_set=\"17\"/>"
    "<row id_dev=\"5\" mask_eq_ec=\"0xFF00\" mask_eq_er=\"255\" mask_eq_m1=\"0\" mask_eq_m2=\"0\" mask_eq_m3=\"0\" "
    "enmask_eq_ec=\"0xFFFF\" enmask_eq_er=\"255\" enmask_eq_m1=\"0\" enmask_eq_m2=\"0\" enmask_eq_m3=\"0\" "
    "bypass_set=\"39\"/>"
    "</emcydef>";

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
        QVERIFY(csv.startsWith(
            CsvBom + "cobid,id_dev_orig,00,posind,n_tpdo,\r\n385,dev2,00,p2,t2,\r\n0x181,dev1,01,p1,t1,\r\n"));
        QVERIFY(csv.contains("\r\n0x202,\"a,b\",10,p4,t4,\r\n"));
    }

    // Import saves emcydef.xml sorted; export writes the name line, then the file's
    // entries as it holds them (an empty attribute read as "0").
    void emcydefImportThenExport()
    {
        QTemporaryDir dir;
        const QString workbook = fixture(QStringLiteral("emcydef_two_lists_and_header_line.xls"));
        const CliRun imported = runCli({"import", "emcydef", dir.path(), workbook});
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(QString::fromUtf8(imported.err), TranslateMessages::XmlNotFound + u'\n');
        QCOMPARE(readFileBytes(dir.filePath(QStringLiteral("emcydef.xml"))), EmcydefImported);

        const CliRun exported = runCli({"export", "emcydef", dir.path()});
        QCOMPARE(exported.exitCode, 0);
        QCOMPARE(exported.err, QByteArray());
        // The files written, one a line.
        QCOMPARE(QString::fromUtf8(exported.out),
                 QDir::toNativeSeparators(dir.filePath(QStringLiteral("emcydef.csv"))) + u'\n' +
                     QDir::toNativeSeparators(dir.filePath(QStringLiteral("emcydef.xlsx"))) + u'\n');
        QCOMPARE(readFileBytes(dir.filePath(QStringLiteral("emcydef.csv"))),
                 CsvBom + QByteArray(
                              "id_dev,mask_eq_ec,mask_eq_er,mask_eq_m1,mask_eq_m2,mask_eq_m3,enmask_eq_ec,enmask_eq_er,"
                              "enmask_eq_m1,enmask_eq_m2,enmask_eq_m3,bypass_set,\r\n"
                              "3,$10,1,2,3,4,5,6,7,8,0,0,\r\n"
                              "0x7F,1,2,3,4,5,6,7,8,9,10,17,\r\n"
                              "5,0xFF00,255,0,0,0,0xFFFF,255,0,0,0,39,\r\n"));
    }

    // A workbook without the sheet writes nothing; a file read in part is not exported.
    void emcydefFailuresWriteNothing()
    {
        QTemporaryDir dir;
        const QString xml = dir.filePath(QStringLiteral("emcydef.xml"));
        const QByteArray faulty = "<emcydef><row id_dev=\"1\"/></emcydef>";
        writeFileBytes(xml, faulty);
        const QString cells = fixture(QStringLiteral("cells.xls"));
        const CliRun imported = runCli({"import", "emcydef", dir.path(), cells});
        QCOMPARE(imported.exitCode, 1);
        const QString readError =
            TranslateMessages::XmlReadError + QStringLiteral("\nFile \"%1\": ").arg(QDir::toNativeSeparators(xml));
        QVERIFY2(QString::fromUtf8(imported.err).startsWith(readError), imported.err.constData());
        QVERIFY(QString::fromUtf8(imported.err)
                    .endsWith(WorkbookMessages::SheetMissing.arg(QDir::toNativeSeparators(cells), "emcydef") + u'\n'));
        QCOMPARE(readFileBytes(xml), faulty);

        const CliRun exported = runCli({"export", "emcydef", dir.path()});
        QCOMPARE(exported.exitCode, 1);
        QVERIFY2(QString::fromUtf8(exported.err).startsWith(readError), exported.err.constData());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("emcydef.csv"))));
    }

    void emcywordImportAndExport()
    {
        QTemporaryDir dir;
        const QString workbook = fixture(QStringLiteral("emcyword_two_tabs_and_extdata_2.xls"));
        QCOMPARE(run({"import", "emcyword", dir.path(), workbook}).exitCode, 0);
        const QByteArray xml = readFileBytes(dir.filePath(QStringLiteral("emcyword.xml")));
        // Sorted within each tab; the word with extdata 2 is gone.
        const QList<QByteArray> order = {"index_addrm=\"0x1000\" subindex=\"1\" extdata=\"0\"",
                                         "index_addrm=\"0x3000\" subindex=\"1\" extdata=\"0\"",
                                         "index_addrm=\"$2000\" subindex=\"0\" extdata=\"1\" devid=\"5\"",
                                         "index_addrm=\"0x2001\" subindex=\"3\" extdata=\"1\" devid=\"6\""};
        qsizetype at = 0;
        for (const QByteArray &row : order) {
            at = xml.indexOf(row, at);
            QVERIFY2(at > 0, row.constData());
        }
        QVERIFY(!xml.contains("0x4000"));
        QVERIFY(xml.contains("bit0_b0=\"0xFF\" bit0_b1=\"0x0F\" bit0_poscomp=\"37\""));

        const Run exported = run({"export", "emcyword", dir.path()});
        QCOMPARE(exported.exitCode, 0);
        QCOMPARE(exported.err, QString());
        const QByteArray csv = readFileBytes(dir.filePath(QStringLiteral("emcyword.csv")));
        QVERIFY(csv.startsWith(CsvBom + "index_addrm,subindex,extdata,devid,bit0_b0,bit0_b1,bit0_poscomp,"));
        // The file's order: sorted when it was saved.
        QVERIFY(csv.contains(",bit15_poscomp,\r\n0x1000,1,0,3,"));
        QVERIFY(csv.contains("\r\n0x3000,1,0,3,0xFF,0x0F,37,"));

        // A sheet that is not there leaves the file as it was.
        const Run failed = run({"import", "emcyword", dir.path(), fixture(QStringLiteral("cells.xls"))});
        QCOMPARE(failed.exitCode, 1);
        QCOMPARE(readFileBytes(dir.filePath(QStringLiteral("emcyword.xml"))), xml);
    }

    // An import that stops writes nothing; the file stays as it was.
    void failedImportWritesNothing_data()
    {
        QTest::addColumn<QString>("workbook");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing sheet") << fixture("cells.xls")
                                       << WorkbookMessages::SheetMissing.arg(
                                              QDir::toNativeSeparators(fixture("cells.xls")), "sdo");
        const QString sdo = fixture("sdo_header_line_and_empty_conf.xlsx");
        QTest::newRow("stopped at a row") << sdo
                                          << WorkbookMessages::ImportStopped.arg(QDir::toNativeSeparators(sdo), "sdo")
                                                 .arg(6)
                                                 .arg(WorkbookMessages::EmptyInteger.arg("A6"));
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
        QTest::newRow("unknown table")
            << QStringList{"export", "emcy", "."}
            << "Unknown table 'emcy'; the tables are rpdodef, sdo, sdopdo, emcydef, emcyword";
        QTest::newRow("no project") << QStringList{"export", "sdo", "/nonexistent/project"}
                                    << QStringLiteral("Project directory %1 not found")
                                           .arg(QDir::toNativeSeparators(QStringLiteral("/nonexistent/project")));
        QTest::newRow("usage") << QStringList{"import", "sdo", "."}
                               << "Usage: tessiro-cli import [--skip-unmatched] TABLE PROJECT_DIR WORKBOOK";
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
        QVERIFY2(result.err.startsWith(TranslateMessages::XmlReadError + u'\n'), qPrintable(result.err));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("rpdodef.csv"))));
    }

#ifdef Q_OS_WIN
    // Excel keeps the files it shows open: a workbook others may still read, a CSV
    // file nobody else may touch. What cannot be done then is said with the file's
    // Windows path, and nothing of the project changes.
    void filesHeldOpenByAnotherProgram_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("held"); // the file the other program holds
        QTest::addColumn<unsigned long>("shareMode");
        QTest::addColumn<bool>("works");
        QTest::newRow("import, workbook open in Excel") << "import"
                                                        << "book.xls" << DWORD(FILE_SHARE_READ) << true;
        QTest::newRow("import, workbook locked") << "import"
                                                 << "book.xls" << DWORD(0) << false;
        QTest::newRow("export over a CSV open in Excel") << "export"
                                                         << "rpdodef.csv" << DWORD(0) << false;
        QTest::newRow("export over a read-shared CSV") << "export"
                                                       << "rpdodef.csv" << DWORD(FILE_SHARE_READ) << false;
    }
    void filesHeldOpenByAnotherProgram()
    {
        QFETCH(QString, command);
        QFETCH(QString, held);
        QFETCH(unsigned long, shareMode);
        QFETCH(bool, works);
        QTemporaryDir dir;
        const QString workbook = dir.filePath(QStringLiteral("book.xls"));
        QVERIFY(QFile::copy(fixture(QStringLiteral("rpdodef_upper_case_sheet.xls")), workbook));
        QCOMPARE(run({"import", "rpdodef", dir.path(), workbook}).exitCode, 0);
        QCOMPARE(run({"export", "rpdodef", dir.path()}).exitCode, 0);
        const QString xml = dir.filePath(QStringLiteral("rpdodef.xml"));
        writeFileBytes(xml, "<rpdodef/>");
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        const QByteArray csvBefore = readFileBytes(dir.filePath(QStringLiteral("rpdodef.csv")));

        const QString heldPath = dir.filePath(held);
        Run result;
        {
            HeldOpen other(heldPath, shareMode);
            QVERIFY(other.isOpen());
            result = command == QLatin1String("import") ? run({"import", "rpdodef", dir.path(), workbook})
                                                        : run({"export", "rpdodef", dir.path()});
        }
        if (works) {
            QCOMPARE(result.exitCode, 0);
            QVERIFY(readFileBytes(xml).contains("cobid=\"0x181\""));
            return;
        }
        QCOMPARE(result.exitCode, 1);
        const QString shown = QDir::toNativeSeparators(heldPath);
        QVERIFY2(QRegularExpression(QStringLiteral("^[A-Za-z]:\\\\[^/]+$")).match(shown).hasMatch(), qPrintable(shown));
        QVERIFY2(result.err.contains(u'"' + shown + QStringLiteral("\". ") + FileInUseReason), qPrintable(result.err));
        QCOMPARE(readFileBytes(xml), QByteArray("<rpdodef/>"));
        QCOMPARE(readFileBytes(dir.filePath(QStringLiteral("rpdodef.csv"))), csvBefore);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
    }
#endif
};

QTEST_GUILESS_MAIN(TestCliTranslate)
#include "tst_CliTranslate.moc"
