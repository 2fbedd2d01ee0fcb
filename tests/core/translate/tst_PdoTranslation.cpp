#include "TranslateFixtures.h"
#include "base/TessiroError.h"
#include "project/ProjectStore.h"
#include "support/GridModelTester.h"
#include "translate/Messages.h"
#include "translate/PdoTranslation.h"
#include "workbook/Messages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

using C = PdoTranslation::Column;

void setEntry(PdoTranslation &table, CanLine line, int entry, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        table.grid(line).setEntryCell(entry, c + 1, cells[c]);
}

QStringList entry(const PdoTranslation &table, CanLine line, int e)
{
    QStringList cells;
    for (int c = C::Cobid; c <= C::NTpdo; ++c)
        cells << table.grid(line).entryCell(e, c);
    return cells;
}

QByteArray row(const char *cobid, const char *bypass, const char *id = "", const char *pos = "", const char *n = "")
{
    return QByteArray("<row cobid=\"") + cobid + "\" id_dev_orig=\"" + id + "\" en_bypass=\"" + bypass +
           "\" posind=\"" + pos + "\" n_tpdo=\"" + n + "\"/>";
}

QByteArray file(const QByteArray &rows)
{
    return "<rpdodef>" + rows + "</rpdodef>";
}

} // namespace

class TestPdoTranslation : public QObject {
    Q_OBJECT
private slots:
    void gridModel()
    {
        PdoTranslation table;
        QCOMPARE(table.grid(CanLine::A).cell(0, C::Translate), QStringLiteral("en_bypass"));
        QVERIFY(!table.grid(CanLine::A).isEditable(0, C::Cobid));
        QVERIFY(!table.grid(CanLine::A).isEditable(1, C::Number));
        exerciseGridModel(table.grid(CanLine::B));
    }

    void untouchedTableExportsTwentyTwoLines()
    {
        QTemporaryDir dir;
        PdoTranslation table;
        table.load(dir.filePath(QStringLiteral("rpdodef.xml")));
        table.exportFiles(projectFiles(dir.path()));
        QByteArray expected = CsvBom + "cobid,id_dev_orig,00,posind,n_tpdo,\r\n";
        for (int i = 0; i < 10; ++i)
            expected += ",,00,,,\r\n";
        expected += "cobid,id_dev_orig,10,posind,n_tpdo,\r\n";
        for (int i = 0; i < 10; ++i)
            expected += ",,10,,,\r\n";
        QCOMPARE(readFileBytes(dir.filePath(QStringLiteral("rpdodef.csv"))), expected);
    }

    void exportLines()
    {
        PdoTranslation table;
        setEntry(table, CanLine::A, 0, {"0x181", "a,b", "1", "p", "n"});
        setEntry(table, CanLine::B, 0, {"0x201", "d", "yes", "", ""});
        setEntry(table, CanLine::B, 1, {"0x202", "e", "1", "", ""});
        const QList<QStringList> lines = table.exportLines();
        QCOMPARE(lines.size(), 22);
        QCOMPARE(lines[1], QStringList({"0x181", "a,b", "01", "p", "n"}));
        QCOMPARE(lines[12], QStringList({"0x201", "d", "10", "", ""}));
        QCOMPARE(lines[13], QStringList({"0x202", "e", "11", "", ""}));
    }

    // Smallest cobid first, as integers; of equal ones the lower row first; a
    // cobid above 0x999999 by its value like any other.
    void saveSorts()
    {
        PdoTranslation table;
        setEntry(table, CanLine::A, 0, {"0x181", "first", "1", "", ""});
        setEntry(table, CanLine::A, 1, {"385", "second", "0", "", ""});
        setEntry(table, CanLine::A, 2, {"0x1000000", "big", "1", "", ""});
        setEntry(table, CanLine::A, 3, {"0x999999", "bound", "0", "", ""});
        setEntry(table, CanLine::A, 4, {"$100", "small", "0", "", ""});
        setEntry(table, CanLine::B, 0, {"7", "b7", "1", "", ""});
        setEntry(table, CanLine::B, 1, {"-1", "bminus", "2", "", ""});
        QCOMPARE(table.toXml(), file(row("$100", "2", "small") + row("385", "2", "second") +
                                     row("0x181", "3", "first") + row("0x999999", "2", "bound") +
                                     row("0x1000000", "3", "big") + row("-1", "0", "bminus") + row("7", "1", "b7")));
    }

    void firstEmptyCobidEndsTheTable()
    {
        PdoTranslation table;
        setEntry(table, CanLine::A, 0, {"1", "a", "1", "", ""});
        setEntry(table, CanLine::A, 1, {"", "typed but no cobid", "1", "", ""});
        setEntry(table, CanLine::A, 2, {"3", "below", "1", "", ""});
        QCOMPARE(table.toXml(), file(row("1", "3", "a")));
    }

    void saveRefusesACobidThatIsNoInteger()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rpdodef.xml"));
        writeFileBytes(path, "old");
        PdoTranslation table;
        setEntry(table, CanLine::B, 0, {"0x18G", "", "", "", ""});
        QCOMPARE(thrownMessage([&] { table.save(path); }), QStringLiteral("'0x18G' is not a valid integer value"));
        QCOMPARE(readFileBytes(path), QByteArray("old"));
    }

    // "en_bypass" 2: table A with the translate cell "0", written back as "2".
    void loadAndSaveBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rpdodef.xml"));
        const QByteArray bytes = file(row("0x181", "2", "dev", "p", "n") + row("0x182", "3") + row("0x201", "0") +
                                      row("0x202", "1", "a&amp;b &quot;q&quot;"));
        writeFileBytes(path, bytes);
        PdoTranslation table;
        QCOMPARE(table.load(path).problems, QStringList());
        QCOMPARE(entry(table, CanLine::A, 0), QStringList({"0x181", "dev", "0", "p", "n"}));
        QCOMPARE(entry(table, CanLine::A, 1), QStringList({"0x182", "", "1", "", ""}));
        QCOMPARE(entry(table, CanLine::B, 0), QStringList({"0x201", "", "0", "", ""}));
        QCOMPARE(entry(table, CanLine::B, 1), QStringList({"0x202", "a&b \"q\"", "1", "", ""}));
        QCOMPARE(table.grid(CanLine::A).cell(0, C::Translate), QStringLiteral("en_bypass"));
        QCOMPARE(table.grid(CanLine::B).cell(10, C::Number), QStringLiteral("9"));
        table.save(path);
        QCOMPARE(readFileBytes(path), file(row("0x181", "2", "dev", "p", "n") + row("0x182", "3") + row("0x201", "0") +
                                           row("0x202", "1", "a&amp;b &quot;q&quot;")));
    }

    void loadProblems_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("notices");
        QTest::addColumn<int>("entriesKept");
        QTest::newRow("not XML") << QByteArray("<rpdodef><row") << QStringList{TranslateMessages::XmlReadError} << 0;
        QTest::newRow("missing attribute") << file(row("1", "2") + "<row cobid=\"2\" en_bypass=\"2\"/>" + row("3", "2"))
                                           << QStringList{TranslateMessages::XmlReadError} << 1;
        QTest::newRow("en_bypass not an integer")
            << file(row("1", "2") + row("2", "two"))
            << QStringList{TranslateMessages::XmlReadError +
                           QStringLiteral(
                               "\nFile \"%1\": <row> at byte %2: attribute \"en_bypass\" is no integer: \"two\"")
                               .arg(QStringLiteral("%1"), QStringLiteral("%2"))}
            << 1;
        QByteArray twelve;
        for (int i = 0; i < 12; ++i)
            twelve += row(QByteArray::number(i).constData(), "3");
        QTest::newRow("twelve entries for ten rows")
            << file(twelve + row("99", "1"))
            << QStringList{TranslateMessages::FileRowsLeftOut.arg("%1", "2 entries", "PDO From CanA to CanB")} << 10;
    }
    void loadProblems()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, notices);
        QFETCH(int, entriesKept);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rpdodef.xml"));
        writeFileBytes(path, bytes);
        PdoTranslation table;
        for (QString &n : notices)
            n = n.replace(QStringLiteral("%1"), QDir::toNativeSeparators(path))
                    .replace(QStringLiteral("%2"), QString::number(bytes.lastIndexOf("<row") + 1));
        QStringList problems = table.load(path).problems;
        // Only the row fault is checked whole; the parser's own words are its own.
        if (notices.constFirst().contains(u'\n') == false)
            problems = firstLines(problems);
        QCOMPARE(problems, notices);
        QCOMPARE(table.grid(CanLine::A).entryCount(C::Cobid), entriesKept);
        if (entriesKept == 10) {
            QCOMPARE(table.grid(CanLine::A).entryCell(9, C::Cobid), QStringLiteral("9"));
            QCOMPARE(table.grid(CanLine::B).entryCell(0, C::Cobid), QStringLiteral("99"));
        }
    }

    void missingFile()
    {
        PdoTranslation table;
        setEntry(table, CanLine::A, 0, {"1", "", "", "", ""});
        QCOMPARE(table.load(QStringLiteral("/nonexistent/rpdodef.xml")).problems,
                 QStringList{TranslateMessages::XmlNotFound});
        QCOMPARE(table.grid(CanLine::A).entryCount(C::Cobid), 0);
    }

    void importFromWorkbook_data()
    {
        QTest::addColumn<QString>("workbook");
        QTest::newRow("RPDODEF in .xls") << "rpdodef_upper_case_sheet.xls";
        QTest::newRow("RpdoDef in .xlsx") << "rpdodef_mixed_case_sheet.xlsx";
    }
    // Bit 1 of the spreadsheet's column C clear: the first grid; bit 0 the flag.
    void importFromWorkbook()
    {
        QFETCH(QString, workbook);
        PdoTranslation table;
        setEntry(table, CanLine::A, 5, {"old", "", "", "", ""});
        const ImportOutcome outcome = table.importFrom(fixture(workbook));
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(table.grid(CanLine::A).entryCount(C::Cobid), 2);
        QCOMPARE(entry(table, CanLine::A, 0), QStringList({"0x181", "dev1", "1", "p1", "t1"}));
        QCOMPARE(entry(table, CanLine::A, 1), QStringList({"385", "dev2", "0", "p2", "t2"}));
        QCOMPARE(entry(table, CanLine::A, 5), QStringList({"", "", "", "", ""}));
        QCOMPARE(entry(table, CanLine::B, 0), QStringList({"0x201", "dev3", "1", "p3", "t3"}));
        QCOMPARE(entry(table, CanLine::B, 1), QStringList({"0x202", "a,b", "0", "p4", "t4"}));
        QCOMPARE(table.grid(CanLine::B).entryCount(C::Cobid), 2);
        // 0x181 and 385 are equal: the one further down the grid is written first.
        QCOMPARE(table.toXml(), file(row("385", "2", "dev2", "p2", "t2") + row("0x181", "3", "dev1", "p1", "t1") +
                                     row("0x201", "1", "dev3", "p3", "t3") + row("0x202", "0", "a,b", "p4", "t4")));
    }

    // Export, edit in a spreadsheet program, Import: the same file again, the
    // second grid's header line and a cell holding a comma included.
    void exportImportRoundTrip()
    {
        PdoTranslation table;
        setEntry(table, CanLine::A, 0, {"0x181", "a,b", "1", "p\"q", "n"});
        setEntry(table, CanLine::A, 1, {"385", "", "0", "", ""});
        setEntry(table, CanLine::B, 0, {"0x201", "x", "1", "", "line\r\nend"});
        const QByteArray saved = table.toXml();
        QTemporaryDir dir;
        table.exportFiles(projectFiles(dir.path()));
        PdoTranslation back;
        const ImportOutcome outcome = importWorksheet(
            csvAsWorksheet(readFileBytes(dir.filePath(QStringLiteral("rpdodef.csv"))), QStringLiteral("rpdodef")),
            back.params().import, back);
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(back.toXml(), saved);
    }

    // Records below an empty cobid in their grid are shown but would not be saved:
    // one notice names their rows. A cobid that is no integer is refused by OK,
    // which names the cell it came from.
    void importedRecordsASaveCannotKeep()
    {
        Worksheet sheet;
        sheet.workbookPath = QStringLiteral("/data/book.xlsx");
        sheet.name = QStringLiteral("rpdodef");
        sheet.columnCount = 5;
        sheet.columnNames = QStringList{"cobid", "id_dev_orig", "en_bypass", "posind", "n_tpdo"};
        sheet.columnNameValues.resize(5);
        sheet.records = {{"0x181", "", "0", "", ""}, {"", "", "0", "", ""},      {"0x183", "", "0", "", ""},
                         {"0x201", "", "2", "", ""}, {"385.0", "", "2", "", ""}, {"0x184", "", "0", "", ""}};
        for (const QStringList &record : sheet.records) {
            QList<CellValue> values;
            for (const QString &field : record)
                values << CellValue{field.isEmpty() ? CellKind::Empty : CellKind::Text};
            sheet.values << values;
        }
        PdoTranslation table;
        const QString shown = QDir::toNativeSeparators(sheet.workbookPath);
        const ImportOutcome outcome = table.importFrom(sheet);
        QCOMPARE(outcome.notices,
                 QStringList{WorkbookMessages::RowsPastEnd.arg(shown, "rpdodef", "2 records", "rows 4, 7")});
        QTemporaryDir dir;
        QCOMPARE(thrownMessage([&] { table.save(dir.filePath(QStringLiteral("rpdodef.xml"))); }),
                 WorkbookMessages::ImportedTextPlace.arg("'385.0' is not a valid integer value", "cell A6", "rpdodef",
                                                         shown));
    }

    void importBeyondTenRows()
    {
        Worksheet sheet;
        sheet.workbookPath = QStringLiteral("/data/book.xlsx");
        sheet.name = QStringLiteral("rpdodef");
        sheet.columnCount = 5;
        for (int i = 0; i < 12; ++i)
            sheet.records << QStringList{QString::number(i), "", "0", "", ""};
        sheet.records << QStringList{"100", "", "2", "", ""};
        PdoTranslation table;
        const ImportOutcome outcome = importWorksheet(sheet, table.params().import, table);
        QCOMPARE(outcome.notices,
                 QStringList{WorkbookMessages::RowsLeftOut.arg(QDir::toNativeSeparators("/data/book.xlsx"), "rpdodef",
                                                               "2 records", "rows 12-13")});
        QCOMPARE(table.grid(CanLine::A).entryCell(9, C::Cobid), QStringLiteral("9"));
        QCOMPARE(table.grid(CanLine::B).entryCell(0, C::Cobid), QStringLiteral("100"));
    }

    // OK refuses what saving would leave out or cannot write, naming the place.
    void saveFault_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("filledEntry");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("message");
        const QString b = QStringLiteral("PDO From CanB to CanA");
        QTest::newRow("filled row under an empty cobid")
            << 1 << 3 << QStringList{"0x300", "1"} << 2 << int(C::Cobid)
            << TranslateMessages::RowsBelowKeyless.arg(b).arg(2).arg("cobid").arg(3);
        QTest::newRow("row with all but its cobid") << 1 << 2 << QStringList{"", "dev"} << 2 << int(C::Cobid)
                                                    << TranslateMessages::RowWithoutKey.arg(b).arg(2).arg("cobid");
        QTest::newRow("translate flag alone in the last row")
            << 1 << 9 << QStringList{"", "", "0"} << 2 << int(C::Cobid)
            << TranslateMessages::RowsBelowKeyless.arg(b).arg(2).arg("cobid").arg(9);
        QTest::newRow("cobid no integer")
            << 1 << 2 << QStringList{"abc"} << 2 << int(C::Cobid)
            << TranslateMessages::CellFault.arg(b).arg(2).arg("cobid", "'abc' is not a valid integer value");
        QTest::newRow("all saved") << 1 << 2 << QStringList{"0x181", "x", "1", "y", "z"} << -1 << 0 << QString();
    }
    void saveFault()
    {
        QFETCH(int, tab);
        const CanLine line = lineAt(tab);
        QFETCH(int, filledEntry);
        QFETCH(QStringList, cells);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, message);
        PdoTranslation table;
        // Table A whole; table B two entries, then the row under test.
        setEntry(table, CanLine::A, 0, {"0x181"});
        setEntry(table, CanLine::B, 0, {"0x201"});
        setEntry(table, CanLine::B, 1, {"0x202"});
        setEntry(table, line, filledEntry, cells);
        const std::optional<TableFault> fault = table.saveFault();
        if (row < 0) {
            QVERIFY(!fault);
            return;
        }
        QVERIFY(fault);
        QCOMPARE(fault->line, line);
        QCOMPARE(fault->row, row);
        QCOMPARE(fault->column, column);
        QCOMPARE(fault->message, message);
    }
};

QTEST_GUILESS_MAIN(TestPdoTranslation)
#include "tst_PdoTranslation.moc"
