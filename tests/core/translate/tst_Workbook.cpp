#include "TranslateFixtures.h"
#include "base/TessiroError.h"
#include "support/TestSupport.h"
#include "translate/CsvText.h"
#include "translate/Messages.h"
#include "translate/Workbook.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <quazip.h>
#include <quazipfile.h>
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
    QuaZip zip(path);
    QVERIFY(zip.open(QuaZip::mdCreate));
    const QList<std::pair<QString, QByteArray>> parts = {
        {QStringLiteral("xl/workbook.xml"),
         "<workbook xmlns:r=\"r\"><sheets><sheet name=\"Sdo\" r:id=\"rId1\"/></sheets></workbook>"},
        {QStringLiteral("xl/_rels/workbook.xml.rels"),
         "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
         "</Relationships>"},
        {QStringLiteral("xl/worksheets/sheet1.xml"), sheetXml}};
    for (const auto &[name, bytes] : parts) {
        QuaZipFile entry(&zip);
        QVERIFY(entry.open(QIODevice::WriteOnly, QuaZipNewInfo(name)));
        QCOMPARE(entry.write(bytes), bytes.size());
        entry.close();
    }
    zip.close();
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
                                       << "rpdodef" << TranslateMessages::SheetMissing.arg("%1", "rpdodef");
        QTest::newRow("missing sheet, xlsx") << "cells.xlsx"
                                             << "rpdodef" << TranslateMessages::SheetMissing.arg("%1", "rpdodef");
        QTest::newRow("text file called .xls") << "text"
                                               << "cells" << TranslateMessages::NotAWorkbook;
        QTest::newRow("empty file") << "empty"
                                    << "cells" << TranslateMessages::NotAWorkbook;
        QTest::newRow("zip without a workbook") << "zip"
                                                << "cells" << TranslateMessages::NotAWorkbook;
        QTest::newRow("truncated xls") << "truncated xls"
                                       << "cells"
                                       << TranslateMessages::WorkbookDamaged.arg(
                                              "%1", "its compound-document structure is damaged at sector 8");
        QTest::newRow("truncated xlsx") << "truncated xlsx"
                                        << "cells"
                                        << TranslateMessages::WorkbookDamaged.arg("%1", "it is not a valid zip file");
        // A few packed bytes must not make records that fill the memory.
        QTest::newRow("values spread over too many cells")
            << "far cell"
            << "sdo"
            << TranslateMessages::SheetDamaged.arg(
                   "%1", "Sdo", TranslateMessages::SheetTooLarge.arg(1048576).arg(16384).arg(MaxSheetCells));
        QTest::newRow("a part that unpacks to more than 32 MiB")
            << "big part"
            << "sdo"
            << TranslateMessages::WorkbookDamaged.arg("%1",
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
            QuaZip zip(path);
            QVERIFY(zip.open(QuaZip::mdCreate));
            QuaZipFile entry(&zip);
            QVERIFY(entry.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("word/document.xml"))));
            entry.write("<document/>");
            entry.close();
            zip.close();
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
                 TranslateMessages::WorkbookDamaged.arg(QDir::toNativeSeparators(path),
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
    void csvBytes()
    {
        QFETCH(QList<QStringList>, lines);
        QFETCH(QByteArray, bytes);
        QCOMPARE(::csvBytes(lines), bytes);
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
                         TranslateMessages::CannotWriteCsv.arg(QDir::toNativeSeparators(inMissingDir), "")),
                     qPrintable(e.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_Workbook.moc"
