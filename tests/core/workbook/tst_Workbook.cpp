#include "base/TessiroError.h"
#include "core/translate/TranslateFixtures.h"
#include "support/TestSupport.h"
#include "support/ZipWriter.h"
#include "translate/Messages.h"
#include "workbook/CsvText.h"
#include "workbook/Messages.h"
#include "workbook/TableImport.h"
#include "workbook/Workbook.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

QString readError(const QString &path, const QString &table)
{
    try {
        readWorksheet(path, table);
    } catch (const TessiroError &e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

// A workbook with the one worksheet "Sdo" holding sheetXml.
void writeXlsx(const QString &path, const QByteArray &sheetXml)
{
    writeFileBytes(
        path, makeZip({{"xl/workbook.xml",
                        "<workbook xmlns:r=\"r\"><sheets><sheet name=\"Sdo\" r:id=\"rId1\"/></sheets></workbook>"},
                       {"xl/_rels/workbook.xml.rels", "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" "
                                                      "Target=\"worksheets/sheet1.xml\"/></Relationships>"},
                       {"xl/worksheets/sheet1.xml", sheetXml}}));
}

// One cell as a table's import takes it: the text a free-text column gets, and
// what an integer column makes of it (the number, or the message that stops it).
struct Taken {
    QString text;
    QString integer;
};

Taken take(const Worksheet &sheet, int record, int column)
{
    const ImportRecord r(sheet.records[record], &sheet.values[record], record + 2);
    Taken out;
    try {
        out.text = r.field(column);
    } catch (const TessiroError &e) {
        out.text = e.message();
    }
    try {
        out.integer = QString::number(r.integer(column));
    } catch (const TessiroError &e) {
        out.integer = e.message();
    }
    return out;
}

QString unescaped(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            const QChar c = text[++i];
            out += c == u't' ? u'\t' : c == u'n' ? u'\n' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

class TestWorkbook : public QObject {
    Q_OBJECT
private slots:
    void cells_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("caseName");
        QTest::addColumn<QString>("text");
        const QList<std::pair<const char *, QString>> both = {
            {"whole float", "385"},
            {"whole int", "385"},
            {"negative whole", "-7"},
            {"large whole", "12345678901"},
            {"fraction", "0.1"},
            {"one and a half", "1.5"},
            {"hex text", "0x181"},
            {"number as text", "385"},
            {"blanks kept", "  a b  "},
            {"comma", "a,b"},
            {"quote", "say \"hi\""},
            {"true", "TRUE"},
            {"false", "FALSE"},
            {"empty", ""},
            {"unicode", QStringLiteral("Temperatur \u00b0C")},
        };
        for (const char *file : {"cells.xls", "cells.xlsx"})
            for (const auto &[name, text] : both)
                QTest::addRow("%s: %s", file, name) << file << name << text;
        // xlwt stores an empty text as the formula's result; openpyxl's file
        // holds the cached 3.
        QTest::newRow("cells.xls: formula") << "cells.xls"
                                            << "formula"
                                            << "";
        QTest::newRow("cells.xlsx: formula") << "cells.xlsx"
                                             << "formula"
                                             << "3";
    }
    void cells()
    {
        QFETCH(QString, file);
        QFETCH(QString, caseName);
        QFETCH(QString, text);
        const Worksheet sheet = readWorksheet(fixture(file), QStringLiteral("cells"));
        for (const QStringList &record : sheet.records)
            if (record.value(0) == caseName) {
                QCOMPARE(record.value(1), text);
                return;
            }
        QFAIL("case not found");
    }

    void sheetShape_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("xls") << "cells.xls";
        QTest::newRow("xlsx") << "cells.xlsx";
    }
    // Row 1 holds the names; the records run down to the last row with a value, an
    // empty row inside them included; cells that are only formatted count for nothing.
    void sheetShape()
    {
        QFETCH(QString, file);
        const Worksheet sheet = readWorksheet(fixture(file), QStringLiteral("cells"));
        QCOMPARE(sheet.name, QStringLiteral("Cells"));
        QCOMPARE(sheet.columnCount, 2);
        QCOMPARE(sheet.records.size(), 18);
        QCOMPARE(sheet.records.first(), QStringList({"whole float", "385"}));
        QCOMPARE(sheet.records[16], QStringList({"", ""}));
        QCOMPARE(sheet.records.last(), QStringList({"last", ""}));
    }

    void sheetNameInUpperOrMixedCase_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::newRow("RPDODEF in .xls") << "rpdodef_upper_case_sheet.xls"
                                         << "RPDODEF";
        QTest::newRow("RpdoDef in .xlsx") << "rpdodef_mixed_case_sheet.xlsx"
                                          << "RpdoDef";
    }
    void sheetNameInUpperOrMixedCase()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        const Worksheet sheet = readWorksheet(fixture(file), QStringLiteral("rpdodef"));
        QCOMPARE(sheet.name, name);
        QCOMPARE(sheet.columnCount, 5);
        QCOMPARE(sheet.records.size(), 4);
        QCOMPARE(sheet.records[0], QStringList({"0x181", "dev1", "1", "p1", "t1"}));
        QCOMPARE(sheet.records[1], QStringList({"385", "dev2", "0", "p2", "t2"}));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("message"); // %1 is the path
        QTest::newRow("missing sheet") << "cells.xls"
                                       << "rpdodef" << WorkbookMessages::SheetMissing.arg("%1", "rpdodef");
        QTest::newRow("missing sheet, xlsx") << "cells.xlsx"
                                             << "rpdodef" << WorkbookMessages::SheetMissing.arg("%1", "rpdodef");
        QTest::newRow("text file called .xls") << "text"
                                               << "cells" << WorkbookMessages::NotAWorkbook;
        QTest::newRow("empty file") << "empty"
                                    << "cells" << WorkbookMessages::NotAWorkbook;
        QTest::newRow("zip without a workbook") << "zip"
                                                << "cells" << WorkbookMessages::NotAWorkbook;
        QTest::newRow("truncated xls") << "truncated xls"
                                       << "cells"
                                       << WorkbookMessages::WorkbookDamaged.arg(
                                              "%1", "its compound-document structure is damaged at sector 8");
        QTest::newRow("truncated xlsx") << "truncated xlsx"
                                        << "cells"
                                        << WorkbookMessages::WorkbookDamaged.arg("%1", "it is not a valid zip file");
        // A few packed bytes must not make records that fill the memory.
        QTest::newRow("values spread over too many cells")
            << "far cell"
            << "sdo"
            << WorkbookMessages::SheetDamaged.arg(
                   "%1", "Sdo", WorkbookMessages::SheetTooLarge.arg(1048576).arg(16384).arg(MaxSheetCells));
        QTest::newRow("a part that unpacks to more than 32 MiB")
            << "big part"
            << "sdo"
            << WorkbookMessages::WorkbookDamaged.arg("%1",
                                                     "its part xl/worksheets/sheet1.xml unpacks to more than 32 MiB");
        // The rule for every file read whole.
        const QString notRegular = QStringLiteral("File \"%1\" is not a regular file.");
        QTest::newRow("directory") << "directory"
                                   << "cells" << notRegular;
        QTest::newRow("larger than 64 MiB") << "large"
                                            << "cells" << QStringLiteral("File \"%1\" is larger than 64 MiB.");
        QTest::newRow("missing file") << "missing"
                                      << "cells"
                                      << QStringLiteral("Cannot read file \"%1\". No such file or directory");
#ifdef Q_OS_UNIX
        QTest::newRow("fifo") << "fifo"
                              << "cells" << notRegular;
#endif
    }
    void failures()
    {
        QFETCH(QString, what);
        QFETCH(QString, table);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("book.xls"));
        if (what.endsWith(QLatin1String(".xls")) || what.endsWith(QLatin1String(".xlsx"))) {
            path = fixture(what);
        } else if (what == QLatin1String("text")) {
            writeFileBytes(path, "cobid,id_dev_orig\r\n385,a\r\n");
        } else if (what == QLatin1String("empty")) {
            writeFileBytes(path, "");
        } else if (what == QLatin1String("zip")) {
            writeFileBytes(path, makeZip({{"word/document.xml", "<document/>"}}));
        } else if (what == QLatin1String("far cell")) {
            writeXlsx(path, "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row><row r=\"1048576\">"
                            "<c r=\"XFD1048576\"><v>2</v></c></row></sheetData></worksheet>");
        } else if (what == QLatin1String("big part")) {
            writeXlsx(path, "<worksheet>" + QByteArray(32 << 20, ' ') + "</worksheet>");
        } else if (what == QLatin1String("truncated xls")) {
            writeFileBytes(path, readFileBytes(fixture(QStringLiteral("cells.xls"))).left(1024));
        } else if (what == QLatin1String("truncated xlsx")) {
            writeFileBytes(path, readFileBytes(fixture(QStringLiteral("cells.xlsx"))).left(2000));
        } else if (what == QLatin1String("directory")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("book.xls")));
        } else if (what == QLatin1String("large")) {
            // Sparse: the size is what counts, and nothing is read.
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write(readFileBytes(fixture(QStringLiteral("cells.xls")))) > 0);
            QVERIFY(file.resize(MaxWorkbookBytes + 1));
        } else if (what == QLatin1String("fifo")) {
#ifdef Q_OS_UNIX
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        }
        QCOMPARE(readError(path, table), message.arg(QDir::toNativeSeparators(path)));
    }

    // FreeXL read far past a buffer on this file (found by fuzz_workbook).
    void libraryFaultEndsInAMessage()
    {
        const QString path = fixture(QStringLiteral("freexl_overread.xls"));
        QCOMPARE(readError(path, QStringLiteral("cells")),
                 WorkbookMessages::WorkbookDamaged.arg(QDir::toNativeSeparators(path),
                                                       "its compound-document structure is damaged at sector 0"));
    }

    void csvBytes_data()
    {
        QTest::addColumn<QList<QStringList>>("lines");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("plain fields, each followed by a comma")
            << QList<QStringList>{{"cobid", "id", "00"}, {"", "", ""}} << QByteArray("cobid,id,00,\r\n,,,\r\n");
        QTest::newRow("blanks and other marks as they stand")
            << QList<QStringList>{{" a ", "x;y", "'q'", "\tt"}} << QByteArray(" a ,x;y,'q',\tt,\r\n");
        QTest::newRow("comma") << QList<QStringList>{{"a,b", "c"}} << QByteArray("\"a,b\",c,\r\n");
        QTest::newRow("double quote") << QList<QStringList>{{"say \"hi\""}} << QByteArray("\"say \"\"hi\"\"\",\r\n");
        QTest::newRow("line ends") << QList<QStringList>{{"a\r\nb", "c\nd", "e\rf"}}
                                   << QByteArray("\"a\r\nb\",\"c\nd\",\"e\rf\",\r\n");
        QTest::newRow("UTF-8") << QList<QStringList>{{QStringLiteral("\u00b0C")}}
                               << QByteArray("\xC2\xB0"
                                             "C,\r\n");
        QTest::newRow("no lines") << QList<QStringList>{} << QByteArray();
    }
    // Every file starts with a byte-order mark, which Excel and LibreOffice need
    // to read UTF-8 rather than an 8-bit set.
    void csvBytes()
    {
        QFETCH(QList<QStringList>, lines);
        QFETCH(QByteArray, bytes);
        QCOMPARE(::csvBytes(lines), CsvBom + bytes);
    }

    // A cell holding a comma, a quote or a line end comes back whole through the
    // CSV file, as a spreadsheet program reads it; every line gains only the
    // empty field after its final comma.
    void cellsComeBackThroughCsv()
    {
        const Worksheet sheet = readWorksheet(fixture(QStringLiteral("cells.xlsx")), QStringLiteral("cells"));
        QList<QStringList> lines = sheet.records;
        lines << QStringList{"a\r\nb", "\"", ","};
        QList<QStringList> back = parseCsv(::csvBytes(lines));
        QCOMPARE(back.size(), lines.size());
        for (QStringList &line : back) {
            QCOMPARE(line.takeLast(), QString());
        }
        QCOMPARE(back, lines);
    }

    void writeCsvFileReplacesWholeOrNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rpdodef.csv"));
        writeFileBytes(path, "old");
        writeCsvFile(path, "a,\r\n");
        QCOMPARE(readFileBytes(path), QByteArray("a,\r\n"));
        const QString inMissingDir = dir.filePath(QStringLiteral("gone/rpdodef.csv"));
        try {
            writeCsvFile(inMissingDir, "a,\r\n");
            QFAIL("no error");
        } catch (const TessiroError &e) {
            QVERIFY2(e.message().startsWith(
                         WorkbookMessages::CannotWriteCsv.arg(QDir::toNativeSeparators(inMissingDir), "")),
                     qPrintable(e.message()));
        }
    }
    // Every .xls here reads as python's xlrd reads it: the fixture script keeps
    // xlrd's view of each beside it (file.xls.xlrd).
    void xlrdAgrees_data()
    {
        QTest::addColumn<QString>("file");
        const QDir dir = QFileInfo(fixture(QStringLiteral("cells.xls"))).dir();
        for (const QString &view : dir.entryList({QStringLiteral("*.xls.xlrd")}))
            QTest::newRow(qPrintable(view)) << view.chopped(5);
    }
    void xlrdAgrees()
    {
        QFETCH(QString, file);
        const QStringList lines =
            QString::fromUtf8(readFileBytes(fixture(file + QStringLiteral(".xlrd")))).split(u'\n', Qt::SkipEmptyParts);
        if (lines == QStringList{QStringLiteral("refused")}) {
            QVERIFY(!readError(fixture(file), QStringLiteral("cells")).isEmpty());
            return;
        }
        QMap<QString, QList<QStringList>> bySheet;
        for (const QString &line : lines)
            bySheet[line.section(u'\t', 0, 0)] << line.split(u'\t');
        for (auto it = bySheet.cbegin(); it != bySheet.cend(); ++it) {
            const Worksheet sheet = readWorksheet(fixture(file), it.key().toLower());
            int valued = 0;
            for (const QList<CellValue> &record : sheet.values)
                for (const CellValue &v : record)
                    valued += v.kind != CellKind::Empty;
            QCOMPARE(valued, it.value().size());
            for (const QStringList &cell : it.value()) {
                const int r = cell[1].toInt() - 1, c = cell[2].toInt();
                const QString where = it.key() + u' ' + columnLetters(c) + QString::number(r + 2);
                QVERIFY2(r < sheet.records.size() && c < sheet.columnCount, qPrintable(where));
                const CellValue v = sheet.values[r][c];
                const QString &type = cell[3];
                if (type == QLatin1String("text")) {
                    QCOMPARE(v.kind, CellKind::Text);
                    QCOMPARE(sheet.records[r][c], unescaped(cell[4]));
                } else if (type == QLatin1String("boolean") || type == QLatin1String("error")) {
                    QCOMPARE(v.kind, type == QLatin1String("error") ? CellKind::Error : CellKind::Boolean);
                    QCOMPARE(sheet.records[r][c], cell[4]);
                } else {
                    // LibreOffice writes booleans as numbers in a TRUE/FALSE format.
                    QVERIFY2(v.kind == CellKind::Number || v.kind == CellKind::Boolean, qPrintable(where));
                    QCOMPARE(v.number, cell[4].toDouble());
                    const bool date = v.format == NumberFormat::Date || v.format == NumberFormat::Time ||
                                      v.format == NumberFormat::DateTime;
                    QVERIFY2(date == (type == QLatin1String("date")), qPrintable(where));
                }
            }
        }
    }

    // The same sheet saved by LibreOffice and Gnumeric in every format imports
    // alike: each case's text in a free-text column and in an integer column.
    void typedCells_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("caseName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("integer");
        struct Case {
            const char *name;
            QString text;
            QString integer;
        };
        const QString notInteger = QStringLiteral("'%1' is not a valid integer value");
        auto cell = [](int row) { return QStringLiteral("B%1").arg(row); };
        const QList<Case> cases = {
            {"number", "385", "385"},
            {"formula number", "385", "385"},
            {"formula text", "dev1", notInteger.arg("dev1")},
            {"hex text", "0x183", "387"},
            {"date", "2024-01-15", WorkbookMessages::DateForInteger.arg(cell(6), "2024-01-15")},
            {"time", "10:30:00", WorkbookMessages::TimeForInteger.arg(cell(7), "10:30:00")},
            {"true", "TRUE", WorkbookMessages::BooleanForInteger.arg(cell(8), "TRUE")},
            {"false", "FALSE", WorkbookMessages::BooleanForInteger.arg(cell(9), "FALSE")},
            {"currency", "283", WorkbookMessages::FormattedForInteger.arg(cell(10), "283", "currency", "0x283")},
            {"percent", "50%", WorkbookMessages::FormattedForInteger.arg(cell(11), "0.5", "percent", "0x183")},
            {"fraction", "1.5", WorkbookMessages::FractionForInteger.arg(cell(12), "1.5")},
            {"big", "5000000000", WorkbookMessages::NumberOutside32Bits.arg(cell(13), "5000000000")},
            {"division by zero", WorkbookMessages::ErrorCell.arg(cell(14), "#DIV/0!"),
             WorkbookMessages::ErrorCell.arg(cell(14), "#DIV/0!")},
            {"not available", WorkbookMessages::ErrorCell.arg(cell(15), "#N/A"),
             WorkbookMessages::ErrorCell.arg(cell(15), "#N/A")},
        };
        for (const char *file : {"typed_libreoffice.xls", "typed_libreoffice.xlsx", "typed_libreoffice.ods",
                                 "typed_gnumeric.xls", "typed_gnumeric.xlsx"})
            for (const Case &c : cases) {
                // LibreOffice 7.4 stores 0 as the result of a text formula in .xls.
                const bool zero = QByteArray(file) == "typed_libreoffice.xls" && QByteArray(c.name) == "formula text";
                QTest::addRow("%s: %s", file, c.name) << file << c.name << (zero ? QStringLiteral("0") : c.text)
                                                      << (zero ? QStringLiteral("0") : c.integer);
            }
    }
    void typedCells()
    {
        QFETCH(QString, file);
        QFETCH(QString, caseName);
        QFETCH(QString, text);
        QFETCH(QString, integer);
        const Worksheet sheet = readWorksheet(fixture(file), QStringLiteral("typed"));
        for (int i = 0; i < sheet.records.size(); ++i)
            if (sheet.records[i].value(0) == caseName) {
                const Taken taken = take(sheet, i, 1);
                QCOMPARE(taken.text, text);
                QCOMPARE(taken.integer, integer);
                return;
            }
        QFAIL("case not found");
    }

    // Texts longer than one record come back whole, whatever the format.
    void longTexts_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *file : {"typed_libreoffice.xls", "typed_libreoffice.xlsx", "typed_libreoffice.ods",
                                 "typed_gnumeric.xls", "typed_gnumeric.xlsx"})
            QTest::newRow(file) << file;
    }
    void longTexts()
    {
        QFETCH(QString, file);
        const Worksheet sheet = readWorksheet(fixture(file), QStringLiteral("typed"));
        QString longText, longest;
        for (int i = 0; i < 400; ++i)
            longText += QStringLiteral("Temp\u00e9rature 0x181 ");
        for (int i = 0; i < 6000; ++i)
            longest += QStringLiteral("\u03a9 dev ");
        QHash<QString, QString> byCase;
        for (const QStringList &record : sheet.records)
            byCase.insert(record.value(0), record.value(1));
        QCOMPARE(byCase.value("long text"), longText.left(9000));
        QCOMPARE(byCase.value("longest text"), longest.left(32767));
        const Worksheet strings = readWorksheet(fixture(file), QStringLiteral("strings"));
        QCOMPARE(strings.records.size(), 1200);
        QCOMPARE(strings.records.last(), QStringList{"item 1199"});
    }
};

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_Workbook.moc"
