#include "base/TessiroError.h"
#include "support/TestSupport.h"
#include "translate/Messages.h"
#include "workbook/Messages.h"
#include "workbook/TableImport.h"

#include <QDir>
#include <QTest>

namespace {

// A table of two parts of two rows each; column 1 picks the part, and is the one
// integer the mapping reads.
class TwoPartTable : public ImportTarget {
public:
    void clearForImport() override
    {
        ++clears;
        parts[0].clear();
        parts[1].clear();
    }
    RowTaken takeRecord(const ImportRecord &record) override
    {
        QStringList &part = parts[record.integer(1) & 1];
        if (part.size() == 2)
            return RowTaken::NoRoom;
        part << record.field(0);
        return RowTaken::Taken;
    }
    int clears = 0;
    QStringList parts[2] = {{"old"}, {}};
};

const ImportParams Params{.table = QStringLiteral("t"), .columns = 2, .headerField = 0, .headerText = "cobid"};

Worksheet sheet(int columns, const QList<QStringList> &records, bool xls = false)
{
    Worksheet s;
    s.workbookPath = QStringLiteral("/data/book.xls");
    s.name = QStringLiteral("T");
    s.columnCount = columns;
    s.records = records;
    s.formulasUnread = xls;
    return s;
}

// The same with row 1 holding names and every field a text cell (or empty).
Worksheet namedSheet(const QStringList &names, const QList<QStringList> &records)
{
    Worksheet s = sheet(int(names.size()), records);
    s.columnNames = names;
    s.columnNameValues.resize(names.size());
    for (const QStringList &record : records) {
        QList<CellValue> values;
        for (const QString &field : record)
            values << CellValue{field.isEmpty() ? CellKind::Empty : CellKind::Text};
        s.values << values;
    }
    return s;
}

const QString Shown = QDir::toNativeSeparators("/data/book.xls");

QString stopped(int row, const QString &reason)
{
    return WorkbookMessages::ImportStopped.arg(QDir::toNativeSeparators("/data/book.xls"), "T").arg(row).arg(reason);
}

} // namespace

class TestTableImport : public QObject {
    Q_OBJECT
private slots:
    // A column the table reads as text now but as an integer when it saves (a
    // cobid) is held to the integer rule at import: the export's "$283", turned
    // into a currency amount by the spreadsheet, stops the import at its cell.
    void integerColumnsCheckedAtImport()
    {
        TwoPartTable table;
        Worksheet s = sheet(2, {{"0x181", "0"}, {"283", "1"}, {"0x183", "1"}});
        const CellValue text{CellKind::Text};
        s.values = {{text, {CellKind::Number, NumberFormat::General, 0}},
                    {{CellKind::Number, NumberFormat::Currency, 283}, {CellKind::Number, NumberFormat::General, 1}},
                    {text, {CellKind::Number, NumberFormat::General, 1}}};
        ImportParams params = Params;
        params.integerColumns = {0, 1};
        const ImportOutcome outcome = importWorksheet(s, params, table);
        QCOMPARE(outcome.notices,
                 QStringList{stopped(3, WorkbookMessages::FormattedForInteger.arg("A3", "283", "currency", "0x283"))});
        QCOMPARE(table.parts[0], QStringList{"0x181"});
        QCOMPARE(table.parts[1], QStringList());
    }

    // A number cell read as an integer: what its digits would parse to at the
    // edges of 32 bits, or the message for what lies past them.
    void numberCellAsInteger_data()
    {
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("int32 max") << 2147483647.0 << "2147483647"
                                   << "2147483647";
        QTest::newRow("int32 min") << -2147483648.0 << "-2147483648"
                                   << "-2147483648";
        QTest::newRow("minus zero") << -0.0 << "0"
                                    << "0";
        QTest::newRow("past int32") << 2147483648.0 << "2147483648"
                                    << "'2147483648' is not a valid integer value";
        QTest::newRow("uint32 max") << 4294967295.0 << "4294967295"
                                    << "'4294967295' is not a valid integer value";
        QTest::newRow("past 32 bits") << 4294967296.0 << "4294967296"
                                      << WorkbookMessages::NumberOutside32Bits.arg("A2", "4294967296");
        QTest::newRow("below int32") << -2147483649.0 << "-2147483649"
                                     << WorkbookMessages::NumberOutside32Bits.arg("A2", "-2147483649");
        QTest::newRow("no text") << 385.0 << "" << WorkbookMessages::EmptyInteger.arg("A2");
    }
    void numberCellAsInteger()
    {
        QFETCH(double, number);
        QFETCH(QString, text);
        QFETCH(QString, result);
        const QStringList fields{text};
        const QList<CellValue> values{{CellKind::Number, NumberFormat::General, number}};
        const ImportRecord record(fields, &values, 2);
        QString got;
        try {
            got = QString::number(record.integer(0));
        } catch (const TessiroError &e) {
            got = e.message();
        }
        QCOMPARE(got, result);
    }

    void records()
    {
        TwoPartTable table;
        const ImportOutcome outcome =
            importWorksheet(sheet(2, {{"a", "0"}, {"b", "1"}, {"c", "0x10"}, {"", "3"}}), Params, table);
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(table.clears, 1);
        QCOMPARE(table.parts[0], QStringList({"a", "c"}));
        QCOMPARE(table.parts[1], QStringList({"b", ""}));
        QCOMPARE(outcome.taken, 4);
        QVERIFY(!outcome.stoppedEarly);
    }

    // The table's own export writes a header line in the middle; the import skips it.
    void headerLineSkipped()
    {
        TwoPartTable table;
        const ImportOutcome outcome =
            importWorksheet(sheet(2, {{"a", "0"}, {"cobid", "id"}, {"b", "1"}}), Params, table);
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(table.parts[0], QStringList({"a"}));
        QCOMPARE(table.parts[1], QStringList({"b"}));
    }

    // A stop names the row as the spreadsheet program numbers it (row 1 holds the
    // names) and keeps the rows taken before it.
    void stopsAtABadInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("xls");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not an integer") << "1x" << false << "'1x' is not a valid integer value";
        QTest::newRow("empty in .xlsx") << "" << false << WorkbookMessages::EmptyInteger.arg("B");
        QTest::newRow("empty in .xls") << "" << true << WorkbookMessages::EmptyIntegerXls.arg("B");
    }
    void stopsAtABadInteger()
    {
        QFETCH(QString, text);
        QFETCH(bool, xls);
        QFETCH(QString, reason);
        TwoPartTable table;
        const ImportOutcome outcome =
            importWorksheet(sheet(2, {{"a", "0"}, {"b", text}, {"c", "0"}}, xls), Params, table);
        QCOMPARE(outcome.notices, QStringList({stopped(3, reason)}));
        QVERIFY(outcome.stoppedEarly);
        QCOMPARE(table.parts[0], QStringList({"a"}));
    }

    // Wrong workbook, missing sheet, too few columns: the table keeps its rows.
    void tableUntouchedUntilTheSheetFits()
    {
        TwoPartTable table;
        ImportOutcome outcome = importWorksheet(sheet(1, {{"a"}}), Params, table);
        QCOMPARE(outcome.notices, QStringList({stopped(1, WorkbookMessages::TooFewColumns.arg(1).arg(2))}));
        QVERIFY(outcome.stoppedEarly);
        QVERIFY(!outcome.cleared);

        const QString book = sourcePath(QStringLiteral("tests/core/translate/fixtures/cells.xls"));
        outcome = importWorkbook(book, Params, table);
        QCOMPARE(outcome.notices,
                 QStringList({WorkbookMessages::SheetMissing.arg(QDir::toNativeSeparators(book), "t")}));
        QVERIFY(outcome.stoppedEarly);

        outcome = importWorkbook(QStringLiteral("/nonexistent/book.xlsx"), Params, table);
        QCOMPARE(outcome.notices.size(), 1);
        QVERIFY(outcome.notices[0].contains(QDir::toNativeSeparators("/nonexistent/book.xlsx")));

        QCOMPARE(table.clears, 0);
        QCOMPARE(table.parts[0], QStringList({"old"}));
    }

    // Records past a full part are counted and named in one notice; the import goes on.
    void recordsBeyondCapacity()
    {
        TwoPartTable table;
        const ImportOutcome outcome = importWorksheet(
            sheet(2, {{"a", "0"}, {"b", "0"}, {"c", "0"}, {"d", "0"}, {"e", "1"}, {"f", "0"}}), Params, table);
        QCOMPARE(outcome.leftOut, 3);
        QCOMPARE(outcome.notices, QStringList({WorkbookMessages::RowsLeftOut.arg(
                                      QDir::toNativeSeparators("/data/book.xls"), "T", "3 records", "rows 4-5, 7")}));
        QCOMPARE(table.parts[1], QStringList({"e"}));
        QVERIFY(!outcome.stoppedEarly);

        // One record left out is "1 record".
        TwoPartTable second;
        QCOMPARE(importWorksheet(sheet(2, {{"a", "0"}, {"b", "0"}, {"c", "0"}}), Params, second).notices,
                 QStringList({WorkbookMessages::RowsLeftOut.arg(QDir::toNativeSeparators("/data/book.xls"), "T",
                                                                "1 record", "row 4")}));
    }

    // Row 1 naming every field (any case, blanks around) reads them by name
    // wherever they stand, extra columns ignored; otherwise by position. A stop
    // names the cell where the sheet has it.
    void columnsFoundByName_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<QStringList>("part0");
        QTest::addColumn<QStringList>("notices");
        QTest::newRow("in order") << QStringList{"cobid", "dir"} << QStringList{"a", "0"} << QStringList{"a"}
                                  << QStringList();
        QTest::newRow("swapped, any case, blanks")
            << QStringList{" DIR ", "Cobid"} << QStringList{"0", "a"} << QStringList{"a"} << QStringList();
        QTest::newRow("extra columns") << QStringList{"note", "dir", "", "cobid", "x"}
                                       << QStringList{"n", "0", "y", "a", "z"} << QStringList{"a"} << QStringList();
        QTest::newRow("one name missing: by position")
            << QStringList{"dir", "key"} << QStringList{"1", "0"} << QStringList{"1"} << QStringList();
        QTest::newRow("stop names the sheet's cell")
            << QStringList{"x", "cobid", "y", "dir"} << QStringList{"", "a", "", ""} << QStringList()
            << QStringList{stopped(2, WorkbookMessages::EmptyInteger.arg("D2"))};
    }
    void columnsFoundByName()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, record);
        QFETCH(QStringList, part0);
        QFETCH(QStringList, notices);
        ImportParams params = Params;
        params.columnNames = {"cobid", "dir"};
        TwoPartTable table;
        const ImportOutcome outcome = importWorksheet(namedSheet(names, {record}), params, table);
        QCOMPARE(outcome.notices, notices);
        QCOMPARE(table.parts[0], part0);
    }

    // A first row that holds an integer in the key column is most likely a record
    // on a sheet without names: it is still taken as the names, but said so.
    void rowOneLooksLikeARecord_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("said");
        QTest::newRow("hex text") << "0x181" << int(CellKind::Text) << true;
        QTest::newRow("number cell") << "385" << int(CellKind::Number) << true;
        QTest::newRow("a name") << "key" << int(CellKind::Text) << false;
        QTest::newRow("empty") << "" << int(CellKind::Empty) << false;
    }
    void rowOneLooksLikeARecord()
    {
        QFETCH(QString, key);
        QFETCH(int, kind);
        QFETCH(bool, said);
        ImportParams params = Params;
        params.columnNames = {"cobid", "dir"};
        Worksheet s = namedSheet({key, "0"}, {{"b", "0"}});
        s.columnNameValues[0].kind = CellKind(kind);
        TwoPartTable table;
        const ImportOutcome outcome = importWorksheet(s, params, table);
        const QStringList notice{WorkbookMessages::RowOneTakenAsNames.arg(Shown, "T", "A1", key, "cobid, dir")};
        QCOMPARE(outcome.notices, said ? notice : QStringList());
        QCOMPARE(table.parts[0], QStringList{"b"});
    }

    void rowRanges()
    {
        QCOMPARE(::rowRanges({7}), QStringLiteral("row 7"));
        QCOMPARE(::rowRanges({2, 3, 4, 9, 11, 12}), QStringLiteral("rows 2-4, 9, 11-12"));
    }
};

QTEST_GUILESS_MAIN(TestTableImport)
#include "tst_TableImport.moc"
