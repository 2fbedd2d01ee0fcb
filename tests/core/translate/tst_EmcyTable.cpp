#include "TranslateFixtures.h"
#include "base/TessiroError.h"
#include "project/ProjectStore.h"
#include "translate/EmcyTable.h"
#include "translate/Messages.h"
#include "workbook/Messages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Header = "id_dev,mask_eq_ec,mask_eq_er,mask_eq_m1,mask_eq_m2,mask_eq_m3,"
                          "enmask_eq_ec,enmask_eq_er,enmask_eq_m1,enmask_eq_m2,enmask_eq_m3,bypass_set,\r\n";

// An entry whose texts are id then "m<id>" in the first mask and "0" elsewhere.
EmcyEntry entry(const QString &id, bool translate = false, qint32 alias = 0)
{
    EmcyTexts texts;
    texts[IdDev] = id;
    texts[MaskEqEc] = QStringLiteral("m") + id;
    return EmcyEntry::fromFields(texts, translate, alias);
}

QByteArray row(const char *id, const char *bypass, const char *maskEc = "0")
{
    QByteArray out = QByteArray("<row id_dev=\"") + id + "\" mask_eq_ec=\"" + maskEc + "\"";
    for (const char *name : {"mask_eq_er", "mask_eq_m1", "mask_eq_m2", "mask_eq_m3", "enmask_eq_ec", "enmask_eq_er",
                             "enmask_eq_m1", "enmask_eq_m2", "enmask_eq_m3"})
        out += QByteArray(" ") + name + "=\"0\"";
    return out + " bypass_set=\"" + bypass + "\"/>";
}

QByteArray file(const QByteArray &rows)
{
    return "<emcydef>" + rows + "</emcydef>";
}

} // namespace

class TestEmcyTable : public QObject {
    Q_OBJECT
private slots:
    // Each field is checked against the range its label shows; the first refused
    // field is named, and a file's values are refused at OK the same way.
    void ranges_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fault"); // empty: accepted
        QTest::newRow("ID 200") << int(IdDev) << "200"
                                << "ID_EMCY (1..127): 200 is outside 1..127.";
        QTest::newRow("ID 0") << int(IdDev) << "0"
                              << "ID_EMCY (1..127): 0 is outside 1..127.";
        QTest::newRow("ID 0x7F") << int(IdDev) << "0x7F"
                                 << "";
        QTest::newRow("mask 99999999") << int(MaskEqEc) << "99999999"
                                       << "Mask_error_code (0..65535): 99999999 is outside 0..65535.";
        QTest::newRow("mask 65535") << int(EnmaskEqM2) << "65535"
                                    << "";
        QTest::newRow("register mask -3") << int(MaskEqEr) << "-3"
                                          << "MAsk_error_Reg (0..255): -3 is outside 0..255.";
        QTest::newRow("Manu3 256") << int(EnmaskEqM3) << "256"
                                   << "Enabled_Mask_Manu3 (0..255): 256 is outside 0..255.";
        QTest::newRow("mask not numeric") << int(MaskEqM1) << "ff"
                                          << "Mask_Manu1 (0..65535): 'ff' is not a valid integer value";
    }
    void ranges()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, fault);
        EmcyTexts texts;
        texts[IdDev] = QStringLiteral("5");
        texts[size_t(field)] = text;
        const EmcyEntry entry = EmcyEntry::fromFields(texts, false, 0);
        const std::optional<TableFault> found = EmcyTable::rangeFault(entry);
        QCOMPARE(found ? found->message : QString(), fault);
        if (found)
            QCOMPARE(found->column, field);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("emcydef.xml"));
        writeFileBytes(path, file(row("1", "0") + row("1", "32")));
        EmcyTable table;
        QVERIFY(table.load(path).ok());
        table.add(CanLine::B, entry);
        const std::optional<TableFault> atOk = table.saveFault();
        if (fault.isEmpty()) {
            QVERIFY(!atOk);
            return;
        }
        QVERIFY(atOk);
        QCOMPARE(atOk->line, CanLine::B);
        QCOMPARE((QList<int>{atOk->row, atOk->column}), (QList<int>{1, field}));
        QCOMPARE(atOk->message, TranslateMessages::EmcyEntryFault.arg("From CAN B").arg(2).arg(texts[IdDev], fault));
    }

    // "bypass_set" 39: list B, translate on, alias 3; an empty attribute reads as
    // "0"; both written back as they were meant.
    void loadAndSaveBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("emcydef.xml"));
        writeFileBytes(path, file(row("7", "39", "") + row("0x10", "5", "a&amp;b")));
        EmcyTable table;
        const Loaded<TableRead> loaded = table.load(path);
        QCOMPARE(loaded.problems, QStringList());
        QCOMPARE(loaded.value.entries, 2);
        QCOMPARE(table.lines(CanLine::A), QStringList{"0x10"});
        QCOMPARE(table.lines(CanLine::B), QStringList{"7"});
        const EmcyEntry b = table.entries(CanLine::B).first();
        QVERIFY(b.translate);
        QCOMPARE(b.alias, 3);
        QCOMPARE(b.texts[MaskEqEc], QStringLiteral("0"));
        QCOMPARE(table.entries(CanLine::A).first().texts[MaskEqEc], QStringLiteral("a&b"));
        QCOMPARE(table.entries(CanLine::A).first().alias, 2);
        table.save(path);
        QCOMPARE(readFileBytes(path), file(row("0x10", "5", "a&amp;b") + row("7", "39")));
    }

    void loadProblems_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("entriesKept");
        QTest::newRow("missing attribute") << file(row("1", "0") + "<row id_dev=\"2\"/>" + row("3", "0")) << 1;
        QTest::newRow("empty bypass_set") << file(row("1", "0") + row("2", "")) << 1;
        QTest::newRow("bypass_set no integer") << file(row("1", "0") + row("2", "1x")) << 1;
        QTest::newRow("broken XML") << QByteArray("<emcydef><row") << 0;
    }
    void loadProblems()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, entriesKept);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("emcydef.xml"));
        writeFileBytes(path, bytes);
        EmcyTable table;
        table.add(CanLine::B, entry("99"));
        const Loaded<TableRead> loaded = table.load(path);
        QCOMPARE(firstLines(loaded.problems), QStringList{TranslateMessages::XmlReadError});
        QVERIFY2(loaded.problems.constFirst().contains(QDir::toNativeSeparators(path)),
                 qPrintable(loaded.problems.constFirst()));
        QCOMPARE(int(table.entries(CanLine::A).size() + table.entries(CanLine::B).size()), entriesKept);
        QCOMPARE(loaded.value.entries, entriesKept);
    }

    void missingFile()
    {
        QTemporaryDir dir;
        EmcyTable table;
        QCOMPARE(table.load(dir.filePath(QStringLiteral("emcydef.xml"))).problems,
                 QStringList{TranslateMessages::XmlNotFound});
        QVERIFY(table.entries(CanLine::A).isEmpty());
    }

    // 5, 3, 5 are written as 3, the second 5, the first 5; identifiers past 999999
    // by value like any other; list A before list B.
    void saveSorts()
    {
        EmcyTable table;
        table.add(CanLine::B, entry("1"));
        QCOMPARE(table.add(CanLine::A, entry("5")), std::nullopt);
        table.add(CanLine::A, entry("3"));
        table.add(CanLine::A, entry("0x5"));
        table.add(CanLine::A, entry("1000000"));
        table.add(CanLine::A, entry("999999"));
        table.add(CanLine::A, entry("-2"));
        QCOMPARE(table.toXml(),
                 file(row("-2", "0", "m-2") + row("3", "0", "m3") + row("0x5", "0", "m0x5") + row("5", "0", "m5") +
                      row("999999", "0", "m999999") + row("1000000", "0", "m1000000") + row("1", "32", "m1")));
    }

    // The check refuses with "Index Not Valid": an identifier that is empty, no
    // integer, or a line of the same list as text. Modify checks only a changed one.
    void identifierCheck_data()
    {
        QTest::addColumn<bool>("modify");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("new, empty") << false << "" << false;
        QTest::newRow("new, no integer") << false << "5a" << false;
        QTest::newRow("new, same text") << false << "5" << false;
        QTest::newRow("new, same text in the other list") << false << "9" << true;
        QTest::newRow("new, same value other text") << false << "0x5" << true;
        QTest::newRow("modify, unchanged though another line has it") << true << "7" << true;
        QTest::newRow("modify to another line's text") << true << "5" << false;
        QTest::newRow("modify to no integer") << true << "x" << false;
        QTest::newRow("modify to empty") << true << "" << false;
        QTest::newRow("modify to a new one") << true << "8" << true;
    }
    void identifierCheck()
    {
        QFETCH(bool, modify);
        QFETCH(QString, id);
        QFETCH(bool, accepted);
        EmcyTable table;
        // A second "7", as a file may hold it.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("emcydef.xml"));
        writeFileBytes(path, file(row("5", "0") + row("7", "0") + row("7", "0") + row("9", "32")));
        QCOMPARE(table.load(path).problems, QStringList());
        const QList<EmcyEntry> before = table.entries(CanLine::A);
        const EmcyEntry changed = entry(id, true, 4);
        const std::optional<QString> refusal =
            modify ? table.modify(CanLine::A, 1, changed) : table.add(CanLine::A, changed);
        QCOMPARE(refusal, accepted ? std::nullopt : std::optional<QString>(TranslateMessages::IndexNotValid));
        QList<EmcyEntry> expected = before;
        if (accepted && modify)
            expected[1] = changed;
        else if (accepted)
            expected << changed;
        QCOMPARE(table.entries(CanLine::A), expected);
    }

    void deleteAndFields()
    {
        EmcyTable table;
        table.add(CanLine::A, entry("1"));
        table.add(CanLine::A, entry("2"));
        table.remove(CanLine::A, 0);
        table.remove(CanLine::A, 5);
        QCOMPARE(table.lines(CanLine::A), QStringList{"2"});
        // Empty fields are stored as "0".
        const EmcyEntry made = EmcyEntry::fromFields({"4", "", " "}, false, 8);
        QCOMPARE(made.texts[MaskEqEc], QStringLiteral("0"));
        QCOMPARE(made.texts[MaskEqEr], QStringLiteral(" "));
        QCOMPARE(made.texts[EnmaskEqM3], QStringLiteral("0"));
        QCOMPARE(made.bypassSet(CanLine::B), 48);
    }

    // A failed save leaves the file as it was.
    void saveRefusesAnIdentifierThatIsNoInteger()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("emcydef.xml"));
        const QByteArray old = file(row("1", "0") + row("abc", "32"));
        writeFileBytes(path, old);
        EmcyTable table;
        QCOMPARE(table.load(path).problems, QStringList());
        QCOMPARE(thrownMessage([&] { table.save(path); }), QStringLiteral("'abc' is not a valid integer value"));
        QCOMPARE(readFileBytes(path), old);
    }

    void exportBytes()
    {
        QTemporaryDir dir;
        const ProjectFiles files = projectFiles(dir.path());
        EmcyTable table;
        table.exportFiles(files);
        QCOMPARE(readFileBytes(files.csvPath(QStringLiteral("emcydef"))), CsvBom + Header);
        table.add(CanLine::B, entry("2", true, 3));
        table.add(CanLine::A, entry("9"));
        table.exportFiles(files);
        QCOMPARE(readFileBytes(files.csvPath(QStringLiteral("emcydef"))),
                 CsvBom + Header + "9,m9,0,0,0,0,0,0,0,0,0,0,\r\n2,m2,0,0,0,0,0,0,0,0,0,39,\r\n");
    }

    // Sheet "EmcyDef": lists by bit 5, an empty cell kept empty, the export's
    // name line skipped.
    void importWorkbook()
    {
        EmcyTable table;
        table.add(CanLine::A, entry("100"));
        const ImportOutcome outcome =
            table.importFrom(fixture(QStringLiteral("emcydef_two_lists_and_header_line.xls")));
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(outcome.taken, 3);
        QCOMPARE(table.lines(CanLine::A), QStringList({"3", "0x7F"}));
        QCOMPARE(table.lines(CanLine::B), QStringList{"5"});
        const EmcyEntry b = table.entries(CanLine::B).first();
        QCOMPARE(b.texts, EmcyTexts({"5", "0xFF00", "255", "0", "0", "0", "0xFFFF", "255", "0", "0", "0"}));
        QVERIFY(b.translate);
        QCOMPARE(b.alias, 3);
        QCOMPARE(table.entries(CanLine::A)[0].texts,
                 EmcyTexts({"3", "$10", "1", "2", "3", "4", "5", "6", "7", "8", ""}));
        QCOMPARE(table.entries(CanLine::A)[1].alias, 8);
        QVERIFY(table.entries(CanLine::A)[1].translate);
    }

    // An identifier that is no integer ends the import at its row, keeping those before.
    void importStopsAtABadIdentifier()
    {
        Worksheet sheet;
        sheet.workbookPath = QStringLiteral("/data/e.xlsx");
        sheet.name = QStringLiteral("emcydef");
        sheet.columnCount = 12;
        sheet.records << QStringList{"1", "", "", "", "", "", "", "", "", "", "", "0"}
                      << QStringList{"", "", "", "", "", "", "", "", "", "", "", "0"}
                      << QStringList{"3", "", "", "", "", "", "", "", "", "", "", "0"};
        EmcyTable table;
        const ImportOutcome outcome = importWorksheet(sheet, EmcyTable::importParams(), table);
        QCOMPARE(outcome.notices, QStringList{WorkbookMessages::ImportStopped
                                                  .arg(QDir::toNativeSeparators(sheet.workbookPath), "emcydef")
                                                  .arg(3)
                                                  .arg(WorkbookMessages::EmptyInteger.arg("A"))});
        QCOMPARE(table.lines(CanLine::A), QStringList{"1"});
    }

    // Export, open in a spreadsheet program, save as a workbook, import: the same file.
    void exportImportRoundTrip()
    {
        QTemporaryDir dir;
        const ProjectFiles files = projectFiles(dir.path());
        const QByteArray xml =
            file(row("3", "1", "a,&quot;b&quot;") + row("5", "16") + row("4", "39", "") + row("0x20", "63", "$FF"));
        writeFileBytes(files.EmcydefPath, xml);
        EmcyTable table;
        QCOMPARE(table.load(files.EmcydefPath).problems, QStringList());
        table.exportFiles(files);
        const Worksheet sheet = csvAsWorksheet(readFileBytes(files.csvPath(QStringLiteral("emcydef"))), "emcydef");
        EmcyTable imported;
        const ImportOutcome outcome = importWorksheet(sheet, EmcyTable::importParams(), imported);
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(imported.toXml(),
                 file(row("3", "1", "a,&quot;b&quot;") + row("5", "16") + row("4", "39") + row("0x20", "63", "$FF")));
    }
};

QTEST_GUILESS_MAIN(TestEmcyTable)
#include "tst_EmcyTable.moc"
