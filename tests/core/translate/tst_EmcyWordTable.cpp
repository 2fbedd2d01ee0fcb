#include "TranslateFixtures.h"
#include "base/TessiroError.h"
#include "project/ParseIntText.h"
#include "project/ProjectStore.h"
#include "translate/EmcyWordTable.h"
#include "translate/Messages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What New and Modify say of three texts the word check refuses.
const std::optional<QString> Refused = TranslateMessages::IndexNotValid;

EmcyWord key(const QString &index, const QString &subindex, const QString &devid)
{
    EmcyWord word;
    word.index_addrm = index;
    word.subindex = subindex;
    word.devid = devid;
    return word;
}

// A row of emcyword.xml; the bits not given are empty.
QByteArray row(const char *index, const char *subindex, const char *extdata, const char *devid,
               const QList<std::pair<int, EmcyWordBit>> &bits = {})
{
    QByteArray out = QByteArray("<row index_addrm=\"") + index + "\" subindex=\"" + subindex + "\" extdata=\"" +
                     extdata + "\" devid=\"" + devid + "\"";
    for (int n = 0; n < 16; ++n) {
        EmcyWordBit bit;
        for (const auto &[number, given] : bits)
            if (number == n)
                bit = given;
        const QByteArray b = "bit" + QByteArray::number(n);
        out += " " + b + "_b0=\"" + bit.b0.toUtf8() + "\" " + b + "_b1=\"" + bit.b1.toUtf8() + "\" " + b +
               "_poscomp=\"" + bit.poscomp.toUtf8() + "\"";
    }
    return out + "/>";
}

QByteArray file(const QByteArray &rows)
{
    return "<emcyword>" + rows + "</emcyword>";
}

QStringList nodeTexts(const EmcyWordTable &table, CanLine line)
{
    QStringList texts;
    for (int w = 0; w < table.words(line).size(); ++w)
        texts << table.wordNodeText(line, w);
    return texts;
}

QStringList keys(const EmcyWordTable &table, CanLine line)
{
    QStringList out;
    for (const EmcyWord &w : table.words(line))
        out << w.devid + u'/' + w.index_addrm + u'/' + w.subindex;
    return out;
}

} // namespace

class TestEmcyWordTable : public QObject {
    Q_OBJECT
private slots:
    // Emcy byte positions are 0 to 15: a larger one would spill into the other
    // byte's half of poscomp. A refused position stores nothing.
    void bitPositions_data()
    {
        QTest::addColumn<QString>("byte1");
        QTest::addColumn<QString>("byte2");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("fault"); // empty: stored
        QTest::addColumn<QString>("poscomp");
        QTest::newRow("2 and 5") << "2"
                                 << "5" << -1 << ""
                                 << "37";
        QTest::newRow("15 and 0xF") << "15"
                                    << "0xF" << -1 << ""
                                    << "255";
        QTest::newRow("both empty") << ""
                                    << "" << -1 << ""
                                    << "";
        QTest::newRow("99") << "99"
                            << "0" << 0 << "Emcy byte 1: 99 is outside 0..15."
                            << "";
        QTest::newRow("-1") << "1"
                            << "-1" << 1 << "Emcy Byte 2: -1 is outside 0..15."
                            << "";
        QTest::newRow("one empty") << "3"
                                   << "" << 1 << "Emcy Byte 2: '' is not a valid integer value"
                                   << "";
    }
    void bitPositions()
    {
        QFETCH(QString, byte1);
        QFETCH(QString, byte2);
        QFETCH(int, field);
        QFETCH(QString, fault);
        QFETCH(QString, poscomp);
        EmcyWordTable table;
        QCOMPARE(table.newWord(CanLine::A, key("0x3000", "1", "3")), std::nullopt);
        const std::optional<TableFault> refused = table.modifyBit(CanLine::A, 0, 4, "m0", "m1", byte1, byte2);
        QCOMPARE(refused ? refused->message : QString(), fault);
        QCOMPARE(refused ? refused->column : -1, field);
        const EmcyWordBit &bit = table.words(CanLine::A)[0].bits[4];
        QCOMPARE(bit.poscomp, poscomp);
        QCOMPARE(bit.b0, refused ? QString() : QStringLiteral("m0"));
        // Shown again as typed, in decimal.
        if (!poscomp.isEmpty())
            QCOMPARE(splitPoscomp(bit.poscomp),
                     std::make_pair(QString::number(ParseIntText(byte1)), QString::number(ParseIntText(byte2))));
    }

    // OK names the word and the key that is no integer.
    void saveFault()
    {
        EmcyWordTable table;
        QCOMPARE(table.newWord(CanLine::A, key("0x3000", "1", "3")), std::nullopt);
        QVERIFY(!table.saveFault());
        QCOMPARE(table.newWord(CanLine::B, key("1", "2", "3")), std::nullopt);
        QCOMPARE(table.newWord(CanLine::B, key("1", "x", "3")), std::nullopt);
        const std::optional<TableFault> fault = table.saveFault();
        QVERIFY(fault);
        QCOMPARE(fault->line, CanLine::B);
        QCOMPARE((QList<int>{fault->row, fault->column}), (QList<int>{1, 1}));
        QCOMPARE(fault->message,
                 TranslateMessages::WordFault.arg("CanB", "W1", "subindex", "'x' is not a valid integer value"));
    }

    // Each tab is written sorted by devid, index_addrm, subindex as integers; of equal
    // words the one further down the list first.
    void savedSorted_data()
    {
        QTest::addColumn<QStringList>("words"); // devid/index/subindex, in list order
        QTest::addColumn<QStringList>("written");
        QTest::newRow("index decides") << QStringList{"3/0x3000/1", "3/0x1000/1"}
                                       << QStringList{"3/0x1000/1", "3/0x3000/1"};
        QTest::newRow("devid first, then subindex")
            << QStringList{"5/1/0", "4/9/9", "4/9/2"} << QStringList{"4/9/2", "4/9/9", "5/1/0"};
        QTest::newRow("as integers, not text")
            << QStringList{"10/1/1", "$9/1/1", "0x0A/0/1"} << QStringList{"$9/1/1", "0x0A/0/1", "10/1/1"};
        QTest::newRow("equal keys: further down first")
            << QStringList{"1/$10/1", "1/16/1", "1/0x10/01"} << QStringList{"1/0x10/01", "1/16/1", "1/$10/1"};
        QTest::newRow("above 999999 by value") << QStringList{"2000000/1/1", "1000000/1/1", "7/0x7FFFFFFF/1"}
                                               << QStringList{"7/0x7FFFFFFF/1", "1000000/1/1", "2000000/1/1"};
    }
    void savedSorted()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, written);
        EmcyWordTable table;
        for (const QString &w : words) {
            const QStringList k = w.split(u'/');
            QCOMPARE(table.newWord(CanLine::B, key(k[1], k[2], k[0])), std::nullopt);
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("emcyword.xml"));
        table.save(path);
        EmcyWordTable reread;
        QVERIFY(reread.load(path).ok());
        QVERIFY(reread.words(CanLine::A).isEmpty());
        QCOMPARE(keys(reread, CanLine::B), written);
    }

    void fileBytes()
    {
        EmcyWordTable table;
        QCOMPARE(table.newWord(CanLine::B, key("0x2000", "1", "5")), std::nullopt);
        QCOMPARE(table.newWord(CanLine::A, key("0x3000", "2", "3")), std::nullopt);
        table.modifyBit(CanLine::A, 0, 0, "0xFF", "0x0F", "2", "5");
        table.modifyBit(CanLine::A, 0, 15, "1", "1", "15", "15");
        QCOMPARE(table.toXml(),
                 file(row("0x3000", "2", "0", "3", {{0, {"0xFF", "0x0F", "37"}}, {15, {"1", "1", "255"}}}) +
                      row("0x2000", "1", "1", "5")));
    }

    // The masks are stored before the Emcy bytes are read, as the window does it.
    void poscompFromAFile()
    {
        QCOMPARE(splitPoscomp("37"), std::make_pair(QStringLiteral("2"), QStringLiteral("5")));
        QCOMPARE(splitPoscomp("0x10025"), std::make_pair(QStringLiteral("2"), QStringLiteral("5")));
        QVERIFY_THROWS_EXCEPTION(TessiroError, splitPoscomp("3 7"));
        QCOMPARE(thrownMessage([&] { splitPoscomp("abc"); }), QStringLiteral("'abc' is not a valid integer value"));
    }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::addColumn<QStringList>("canA");
        QTest::addColumn<QStringList>("canB");
        QTest::addColumn<QStringList>("problems");
        const QString readError = TranslateMessages::XmlReadError;
        QTest::newRow("missing file") << QByteArray() << QStringList() << QStringList()
                                      << QStringList{TranslateMessages::XmlNotFound};
        QTest::newRow("extdata 2 dropped") << file(row("1", "1", "0", "1") + row("2", "2", "2", "2") +
                                                   row("3", "3", "1", "3") + row("4", "4", "$1", "4"))
                                           << QStringList{"1/1/1"} << QStringList{"3/3/3", "4/4/4"} << QStringList();
        QTest::newRow("extdata not an integer ends the reading")
            << file(row("1", "1", "0", "1") + row("2", "2", "one", "2") + row("3", "3", "0", "3"))
            << QStringList{"1/1/1"} << QStringList() << QStringList{readError};
        QTest::newRow("missing attribute") << file(row("1", "1", "1", "1") + "<row index_addrm=\"2\"/>")
                                           << QStringList() << QStringList{"1/1/1"} << QStringList{readError};
        QTest::newRow("not XML") << QByteArray("<emcyword><row") << QStringList() << QStringList()
                                 << QStringList{readError};
    }
    void loading()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, canA);
        QFETCH(QStringList, canB);
        QFETCH(QStringList, problems);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("emcyword.xml"));
        if (!content.isEmpty())
            writeFileBytes(path, content);
        EmcyWordTable table;
        QCOMPARE(table.newWord(CanLine::A, key("9", "9", "9")), std::nullopt); // replaced by the load
        QCOMPARE(firstLines(table.load(path).problems), problems);
        QCOMPARE(keys(table, CanLine::A), canA);
        QCOMPARE(keys(table, CanLine::B), canB);
    }

    void droppedWordIsGoneAfterSave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("emcyword.xml"));
        writeFileBytes(path, file(row("2", "2", "2", "2") + row("1", "1", "0", "1", {{15, {"a", "b", "18"}}})));
        EmcyWordTable table;
        QVERIFY(table.load(path).ok());
        table.save(path);
        QCOMPARE(readFileBytes(path), file(row("1", "1", "0", "1", {{15, {"a", "b", "18"}}})));
    }

    // Bad keys end the save before anything is written.
    void failedSaveKeepsTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("emcyword.xml"));
        const QByteArray before = file(row("1", "1", "0", "1"));
        writeFileBytes(path, before);
        EmcyWordTable table;
        QVERIFY(table.load(path).ok());
        QCOMPARE(table.newWord(CanLine::B, key("0x1000", "1", "three")), std::nullopt);
        QCOMPARE(thrownMessage([&] { table.save(path); }), QStringLiteral("'three' is not a valid integer value"));
        QCOMPARE(readFileBytes(path), before);
        QCOMPARE(table.words(CanLine::B).size(), 1);
    }

    void wordCheck()
    {
        EmcyWordTable table;
        QCOMPARE(table.newWord(CanLine::A, key("0x1000", "1", "3")), std::nullopt);
        QCOMPARE(table.newWord(CanLine::A, key("0x1000", "2", "3")), std::nullopt);
        QCOMPARE(table.newWord(CanLine::A, key("0x1000", "1", "3")), Refused);            // same three texts
        QCOMPARE(table.newWord(CanLine::A, key("0x1000", "", "3")), Refused);             // empty subindex
        QCOMPARE(table.newWord(CanLine::A, key("4096", "1", "3")), std::nullopt);         // compared as text
        QCOMPARE(table.newWord(CanLine::B, key("0x1000", "1", "3")), std::nullopt);       // the other tab
        QCOMPARE(table.modifyWord(CanLine::A, 0, key("0x1000", "1", "3")), std::nullopt); // itself excluded
        QCOMPARE(table.modifyWord(CanLine::A, 0, key("0x1000", "2", "3")), Refused);
        QCOMPARE(table.modifyWord(CanLine::A, 0, key("0x1000", "7", "3")), std::nullopt);
        QCOMPARE(keys(table, CanLine::A), QStringList({"3/0x1000/7", "3/0x1000/2", "3/4096/1"}));
    }

    void newWordIsNamedAfterTheLastNode()
    {
        EmcyWordTable table;
        for (const char *sub : {"0", "1", "2"})
            QCOMPARE(table.newWord(CanLine::A, key("1", sub, "1")), std::nullopt);
        QCOMPARE(nodeTexts(table, CanLine::A), QStringList({"W0", "W1", "W2"}));
        table.deleteWord(CanLine::A, 1);
        QCOMPARE(table.newWord(CanLine::A, key("1", "3", "1")), std::nullopt);
        QCOMPARE(nodeTexts(table, CanLine::A), QStringList({"W0", "W2", "W3"}));
        QCOMPARE(table.words(CanLine::A)[2].bits[15], EmcyWordBit());
        while (!table.words(CanLine::A).isEmpty())
            table.deleteWord(CanLine::A, 0);
        QCOMPARE(table.newWord(CanLine::A, key("1", "4", "1")), std::nullopt);
        QCOMPARE(nodeTexts(table, CanLine::A), QStringList({"W0"}));
    }

    void importFromWorkbook()
    {
        EmcyWordTable table;
        QCOMPARE(table.newWord(CanLine::A, key("9", "9", "9")), std::nullopt); // replaced by the import
        const ImportOutcome outcome = table.importFrom(fixture(QStringLiteral("emcyword_two_tabs_and_extdata_2.xls")));
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(keys(table, CanLine::A), QStringList({"3/0x3000/1", "3/0x1000/1"}));
        QCOMPARE(keys(table, CanLine::B), QStringList({"5/$2000/0", "6/0x2001/3"}));
        QCOMPARE(nodeTexts(table, CanLine::B), QStringList({"W0", "W1"}));
        QCOMPARE(table.words(CanLine::A)[0].bits[0], (EmcyWordBit{"0xFF", "0x0F", "37"}));
        QCOMPARE(table.words(CanLine::A)[0].bits[15], (EmcyWordBit{"1", "2", "4095"}));
        QCOMPARE(table.words(CanLine::B)[0].bits[7], (EmcyWordBit{"a,b", "", "18"}));
    }

    // Export, opened and saved by a spreadsheet program, imported: the same words.
    void exportImportRoundTrip()
    {
        EmcyWordTable table;
        table.importFrom(fixture(QStringLiteral("emcyword_two_tabs_and_extdata_2.xls")));
        QTemporaryDir dir;
        table.exportFiles(projectFiles(dir.path()));
        const QByteArray csv = readFileBytes(dir.filePath(QStringLiteral("emcyword.csv")));
        QVERIFY(csv.startsWith(CsvBom + "index_addrm,subindex,extdata,devid,bit0_b0,bit0_b1,bit0_poscomp,bit1_b0,"));
        QVERIFY(csv.contains(",bit15_poscomp,\r\n0x3000,1,0,3,0xFF,0x0F,37,,"));
        QVERIFY(csv.contains("\r\n$2000,0,1,5,"));
        QCOMPARE(csv.count("\r\n"), 5);

        EmcyWordTable back;
        const ImportOutcome outcome =
            importWorksheet(csvAsWorksheet(csv, QStringLiteral("emcyword")), EmcyWordTable::importParams(), back);
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(back.toXml(), table.toXml());
        QCOMPARE(back.words(CanLine::B), table.words(CanLine::B));

        // The name line met as a record, as when the export is pasted below a sheet's own names.
        Worksheet pasted = csvAsWorksheet(csv, QStringLiteral("emcyword"));
        pasted.records.prepend(EmcyWordTable::attributeNames());
        EmcyWordTable again;
        QCOMPARE(importWorksheet(pasted, EmcyWordTable::importParams(), again).notices, QStringList());
        QCOMPARE(again.toXml(), table.toXml());
    }

    void emptyTableExportsTheNameLine()
    {
        QTemporaryDir dir;
        EmcyWordTable().exportFiles(projectFiles(dir.path()));
        const QByteArray csv = readFileBytes(dir.filePath(QStringLiteral("emcyword.csv")));
        QCOMPARE(csv, CsvBom + EmcyWordTable::attributeNames().join(u',').toUtf8() + ",\r\n");
        QCOMPARE(EmcyWordTable::attributeNames().size(), 52);
    }
};

QTEST_GUILESS_MAIN(TestEmcyWordTable)
#include "tst_EmcyWordTable.moc"
