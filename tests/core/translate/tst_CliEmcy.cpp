#include "TranslateFixtures.h"
#include "support/CliRunner.h"
#include "translate/Messages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Imported =
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

class TestCliEmcy : public QObject {
    Q_OBJECT
private slots:
    // Import saves emcydef.xml sorted; export writes the name line, then the file's
    // entries as it holds them (an empty attribute read as "0").
    void importThenExport()
    {
        QTemporaryDir dir;
        const QString workbook = fixture(QStringLiteral("emcydef_two_lists_and_header_line.xls"));
        const CliRun imported = runCli({"import", "emcydef", dir.path(), workbook});
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(QString::fromUtf8(imported.err), TranslateMessages::XmlNotFound + u'\n');
        QCOMPARE(readFileBytes(dir.filePath(QStringLiteral("emcydef.xml"))), Imported);

        const CliRun exported = runCli({"export", "emcydef", dir.path()});
        QCOMPARE(exported.exitCode, 0);
        QCOMPARE(exported.err, QByteArray());
        QCOMPARE(readFileBytes(dir.filePath(QStringLiteral("emcydef.csv"))),
                 QByteArray("id_dev,mask_eq_ec,mask_eq_er,mask_eq_m1,mask_eq_m2,mask_eq_m3,enmask_eq_ec,enmask_eq_er,"
                            "enmask_eq_m1,enmask_eq_m2,enmask_eq_m3,bypass_set,\r\n"
                            "3,$10,1,2,3,4,5,6,7,8,0,0,\r\n"
                            "0x7F,1,2,3,4,5,6,7,8,9,10,17,\r\n"
                            "5,0xFF00,255,0,0,0,0xFFFF,255,0,0,0,39,\r\n"));
    }

    // A workbook without the sheet writes nothing; a file read in part is not exported.
    void failuresWriteNothing()
    {
        QTemporaryDir dir;
        const QString xml = dir.filePath(QStringLiteral("emcydef.xml"));
        const QByteArray faulty = "<emcydef><row id_dev=\"1\"/></emcydef>";
        writeFileBytes(xml, faulty);
        const QString cells = fixture(QStringLiteral("cells.xls"));
        const CliRun imported = runCli({"import", "emcydef", dir.path(), cells});
        QCOMPARE(imported.exitCode, 1);
        QCOMPARE(QString::fromUtf8(imported.err),
                 TranslateMessages::XmlReadError + u'\n' +
                     TranslateMessages::SheetMissing.arg(QDir::toNativeSeparators(cells), "emcydef") + u'\n');
        QCOMPARE(readFileBytes(xml), faulty);

        const CliRun exported = runCli({"export", "emcydef", dir.path()});
        QCOMPARE(exported.exitCode, 1);
        QCOMPARE(QString::fromUtf8(exported.err), TranslateMessages::XmlReadError + u'\n');
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("emcydef.csv"))));
    }
};

QTEST_GUILESS_MAIN(TestCliEmcy)
#include "tst_CliEmcy.moc"
