#include "TranslateFixtures.h"
#include "project/ProjectStore.h"
#include "translate/Messages.h"
#include "translate/SdoTranslation.h"
#include "workbook/Messages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

using C = SdoTranslation::Column;

void setEntry(SdoTranslation &table, CanLine line, int entry, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        table.grid(line).setEntryCell(entry, c + 1, cells[c]);
}

QStringList entry(const SdoTranslation &table, CanLine line, int e)
{
    QStringList cells;
    for (int c = C::ReadWrite; c <= C::Mnemonico; ++c)
        cells << table.grid(line).entryCell(e, c);
    return cells;
}

} // namespace

class TestSdoTranslation : public QObject {
    Q_OBJECT
private slots:
    // "conf" 17: second grid, read/write "1"; 16: first grid, "1"; 1: second grid, "0".
    // A record without "mnemonico" leaves the cell empty, without a notice.
    void loadAndSave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sdotrans.xml"));
        writeFileBytes(path, "<sdo>"
                             "<row conf=\"17\" IndexA=\"0x2000\" SubindexA=\"1\" devIDB=\"5\" IndexB=\"0x6000\" "
                             "SubindexB=\"2\" nbyteB=\"2\" mnemonico=\"speed\"/>"
                             "<row conf=\"16\" IndexA=\"0x2001\" SubindexA=\"0\" devIDB=\"6\" IndexB=\"0x6001\" "
                             "SubindexB=\"0\" nbyteB=\"4\"/>"
                             "<row conf=\"1\" IndexA=\"0x2002\" SubindexA=\"3\" devIDB=\"7\" IndexB=\"0x6002\" "
                             "SubindexB=\"1\" nbyteB=\"1\" mnemonico=\"\"/>"
                             "</sdo>");
        SdoTranslation table;
        QCOMPARE(table.load(path).problems, QStringList());
        QCOMPARE(entry(table, CanLine::B, 0), QStringList({"1", "0x2000", "1", "5", "0x6000", "2", "2", "speed"}));
        QCOMPARE(entry(table, CanLine::A, 0), QStringList({"1", "0x2001", "0", "6", "0x6001", "0", "4", ""}));
        QCOMPARE(entry(table, CanLine::B, 1), QStringList({"0", "0x2002", "3", "7", "0x6002", "1", "1", ""}));
        QCOMPARE(table.toXml(), QByteArray("<sdo>"
                                           "<row conf=\"16\" IndexA=\"0x2001\" SubindexA=\"0\" devIDB=\"6\" "
                                           "IndexB=\"0x6001\" SubindexB=\"0\" nbyteB=\"4\" mnemonico=\"\"/>"
                                           "<row conf=\"17\" IndexA=\"0x2000\" SubindexA=\"1\" devIDB=\"5\" "
                                           "IndexB=\"0x6000\" SubindexB=\"2\" nbyteB=\"2\" mnemonico=\"speed\"/>"
                                           "<row conf=\"1\" IndexA=\"0x2002\" SubindexA=\"3\" devIDB=\"7\" "
                                           "IndexB=\"0x6002\" SubindexB=\"1\" nbyteB=\"1\" mnemonico=\"\"/>"
                                           "</sdo>"));
    }

    // The entries run down to the first row whose Index cell is empty.
    void firstEmptyIndexEndsTheTable()
    {
        SdoTranslation table;
        setEntry(table, CanLine::A, 0, {"1", "0x2000", "0", "1", "0x6000", "0", "1", "a"});
        setEntry(table, CanLine::A, 1, {"1", "", "0", "1", "0x6000", "0", "1", "typed"});
        setEntry(table, CanLine::A, 2, {"1", "0x2002", "0", "1", "0x6000", "0", "1", "below"});
        QCOMPARE(table.toXml(), QByteArray("<sdo><row conf=\"16\" IndexA=\"0x2000\" SubindexA=\"0\" devIDB=\"1\" "
                                           "IndexB=\"0x6000\" SubindexB=\"0\" nbyteB=\"1\" mnemonico=\"a\"/></sdo>"));
    }

    void loadProblems_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("notices");
        QTest::newRow("conf not an integer")
            << QByteArray("<sdo><row conf=\"x\" IndexA=\"1\" SubindexA=\"\" devIDB=\"\" IndexB=\"\" SubindexB=\"\" "
                          "nbyteB=\"\"/></sdo>")
            << QStringList{TranslateMessages::XmlReadError};
        QTest::newRow("missing IndexB") << QByteArray("<sdo><row conf=\"0\" IndexA=\"1\" SubindexA=\"\" devIDB=\"\" "
                                                      "SubindexB=\"\" nbyteB=\"\"/></sdo>")
                                        << QStringList{TranslateMessages::XmlReadError};
        QTest::newRow("not XML") << QByteArray("<sdo") << QStringList{TranslateMessages::XmlReadError};
    }
    void loadProblems()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, notices);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sdotrans.xml"));
        writeFileBytes(path, bytes);
        SdoTranslation table;
        const QStringList problems = table.load(path).problems;
        QCOMPARE(firstLines(problems), notices);
        // The file is named under the fixed text.
        QVERIFY2(problems.constFirst().contains(QDir::toNativeSeparators(path)), qPrintable(problems.constFirst()));
        // No file yet: nothing read, nothing said.
        QCOMPARE(table.load(dir.filePath(QStringLiteral("none.xml"))).problems, QStringList());
    }

    void untouchedTableExport()
    {
        QTemporaryDir dir;
        SdoTranslation table;
        table.exportFiles(projectFiles(dir.path()));
        const QByteArray csv = readFileBytes(dir.filePath(QStringLiteral("sdo.csv")));
        const QList<QByteArray> lines = csv.split('\n');
        QCOMPARE(lines.size(), 3003); // 3002 lines and the empty text after the last
        QCOMPARE(lines[0], CsvBom + QByteArray("0,Index,Subindex,devID,Index,Subindex,nbyte,mnemonico,\r"));
        QCOMPARE(lines[1], QByteArray("0,,,,,,,,\r"));
        QCOMPARE(lines[1500], QByteArray("0,,,,,,,,\r"));
        QCOMPARE(lines[1501], QByteArray("1,Index,Subindex,devID,Index,Subindex,nbyte,mnemonico,\r"));
        QCOMPARE(lines[3001], QByteArray("1,,,,,,,,\r"));
    }

    void exportLines()
    {
        SdoTranslation table;
        setEntry(table, CanLine::A, 0, {"1", "0x2000", "1", "5", "0x6000", "2", "2", "a,b"});
        setEntry(table, CanLine::B, 0, {"1", "0x2001", "", "", "", "", "", ""});
        setEntry(table, CanLine::B, 1, {"rw", "0x2002", "", "", "", "", "", ""});
        const QList<QStringList> lines = table.exportLines();
        QCOMPARE(lines[1], QStringList({"16", "0x2000", "1", "5", "0x6000", "2", "2", "a,b"}));
        QCOMPARE(lines[1502], QStringList({"17", "0x2001", "", "", "", "", "", ""}));
        QCOMPARE(lines[1503], QStringList({"1", "0x2002", "", "", "", "", "", ""}));
    }

    // The second grid's header line is skipped; an empty "conf" ends the import
    // with a notice naming the row, keeping what came before.
    void importFromWorkbook()
    {
        SdoTranslation table;
        setEntry(table, CanLine::A, 1400, {"1", "old"});
        const QString book = fixture(QStringLiteral("sdo_header_line_and_empty_conf.xlsx"));
        const ImportOutcome outcome = table.importFrom(book);
        QCOMPARE(outcome.notices, QStringList{WorkbookMessages::ImportStopped.arg(QDir::toNativeSeparators(book), "sdo")
                                                  .arg(6)
                                                  .arg(WorkbookMessages::EmptyInteger.arg("A6"))});
        QCOMPARE(entry(table, CanLine::B, 0), QStringList({"1", "0x2000", "1", "5", "0x6000", "2", "2", "speed"}));
        QCOMPARE(entry(table, CanLine::A, 0), QStringList({"1", "0x2001", "0", "6", "0x6001", "0", "4", ""}));
        QCOMPARE(entry(table, CanLine::B, 1), QStringList({"0", "0x2002", "3", "7", "0x6002", "1", "1", "b,c"}));
        QCOMPARE(table.grid(CanLine::A).entryCount(C::IndexA), 1);
        QCOMPARE(table.grid(CanLine::B).entryCount(C::IndexA), 2);
        QCOMPARE(table.grid(CanLine::A).entryCell(1400, C::IndexA), QString());
    }

    void exportImportRoundTrip()
    {
        SdoTranslation table;
        for (int e = 0; e < 1500; ++e)
            setEntry(table, lineAt(e % 2), e / 2,
                     {e % 3 ? "1" : "0", QString::number(0x2000 + e), "1", "5", "0x6000", "", "2",
                      e == 7 ? "with, comma" : ""});
        const QByteArray saved = table.toXml();
        QTemporaryDir dir;
        table.exportFiles(projectFiles(dir.path()));
        SdoTranslation back;
        const ImportOutcome outcome = importWorksheet(
            csvAsWorksheet(readFileBytes(dir.filePath(QStringLiteral("sdo.csv"))), QStringLiteral("sdo")),
            back.params().import, back);
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(back.toXml(), saved);
    }

    void importBeyondCapacity()
    {
        Worksheet sheet;
        sheet.workbookPath = QStringLiteral("/data/book.xls");
        sheet.name = QStringLiteral("SDO");
        sheet.columnCount = 8;
        for (int i = 0; i < 1502; ++i)
            sheet.records << QStringList{"16", QString::number(i), "", "", "", "", "", ""};
        SdoTranslation table;
        const ImportOutcome outcome = importWorksheet(sheet, table.params().import, table);
        QCOMPARE(outcome.notices,
                 QStringList{WorkbookMessages::RowsLeftOut.arg(QDir::toNativeSeparators("/data/book.xls"), "SDO",
                                                               "2 records", "rows 1502-1503")});
        QCOMPARE(table.grid(CanLine::A).entryCell(1499, C::IndexA), QStringLiteral("1499"));
    }
};

QTEST_GUILESS_MAIN(TestSdoTranslation)
#include "tst_SdoTranslation.moc"
