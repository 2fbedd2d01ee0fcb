#include "TranslateFixtures.h"
#include "base/TessiroError.h"
#include "project/ProjectStore.h"
#include "support/CliRunner.h"
#include "support/ProjectBuilders.h"
#include "translate/Messages.h"
#include "translate/StoredPdoTable.h"
#include "workbook/CsvText.h"
#include "workbook/Messages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// canA PDOs (0x181, 0x182, ...) and canB PDOs (0x201, ...), mixed as a user makes them.
QByteArray rpdodef(int canA, int canB)
{
    QByteArray rows;
    for (int i = 0; i < std::max(canA, canB); ++i) {
        // Bit 0, the translate flag, does not choose the tab.
        if (i < canA)
            rows += "<row cobid=\"0x" + QByteArray::number(0x181 + i, 16) + "\" id_dev_orig=\"\" en_bypass=\"" +
                    QByteArray::number(i % 2) + "\" posind=\"\" n_tpdo=\"\"/>";
        if (i < canB)
            rows += "<row cobid=\"0x" + QByteArray::number(0x201 + i, 16) + "\" id_dev_orig=\"\" en_bypass=\"" +
                    QByteArray::number(2 + i % 2) + "\" posind=\"\" n_tpdo=\"\"/>";
    }
    return "<rpdodef>" + rows + "</rpdodef>";
}

// Five PDOs on "CanA", two on "CanB".
const QByteArray Rpdodef = rpdodef(5, 2);

QByteArray sdotransRow(int conf, const char *index, const char *subindex)
{
    return QByteArray("<row conf=\"") + QByteArray::number(conf) + "\" IndexA=\"" + index + "\" SubindexA=\"" +
           subindex + "\" devIDB=\"5\" IndexB=\"0x6000\" SubindexB=\"0\" nbyteB=\"2\" mnemonico=\"\"/>";
}

QByteArray storedRow(const char *index, const char *subindex, const char *nrpdo, const char *poscomp)
{
    return QByteArray("<row index=\"") + index + "\" subindex=\"" + subindex + "\" nrpdo=\"" + nrpdo + "\" poscomp=\"" +
           poscomp + "\"/>";
}

QByteArray sdopdo(const QByteArray &rows)
{
    return "<sdopdo>" + rows + "</sdopdo>";
}

// A project folder; each file is written only when given.
struct Project {
    QTemporaryDir dir;
    ProjectFiles files = projectFiles(dir.path());

    Project(const QByteArray &rpdodef = Rpdodef, const QByteArray &sdotrans = {}, const QByteArray &stored = {})
    {
        if (!rpdodef.isEmpty())
            writeFileBytes(files.RpdodefPath, rpdodef);
        if (!sdotrans.isEmpty())
            writeFileBytes(files.SdotransPath, sdotrans);
        if (!stored.isEmpty())
            writeFileBytes(files.SdopdoPath, stored);
    }
};

// "tab:pdo" for every stored SDO, as "index/subindex/poscomp", in list order.
QStringList placed(const StoredPdoTable &table)
{
    QStringList out;
    for (CanLine line : CanLines)
        for (const StoredPdo &pdo : table.lineData(line).pdos)
            for (const StoredSdo &sdo : pdo.sdos)
                out << QStringLiteral("%1:%2 %3/%4/%5")
                           .arg(line == CanLine::A ? "A" : "B")
                           .arg(pdo.number)
                           .arg(sdo.index, sdo.subindex, sdo.poscomp);
    return out;
}

QString fileShown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

class TestStoredPdoTable : public QObject {
    Q_OBJECT
private slots:
    // Reference SDOs come from the SDO translation file, PDOs from rpdodef.xml;
    // the access map's sdo.xml is not read at all.
    void loading()
    {
        Project p(Rpdodef,
                  "<sdo>" + sdotransRow(0, "0x3000", "1") + sdotransRow(17, "0x3001", "0") +
                      sdotransRow(16, "0x3002", "2") + "</sdo>",
                  sdopdo(storedRow("0x2000", "1", "1", "18") + storedRow("0x2001", "0", "130", "33")));
        writeFileBytes(p.files.SdoPath, sdoFile(sdoRow("0x6000", "2"), {}));
        StoredPdoTable table;
        const Loaded<TableRead> loaded = table.load(p.files);
        QCOMPARE(loaded.problems, QStringList());
        QVERIFY(loaded.value.whole());
        QCOMPARE(loaded.value.entries, 2);
        QCOMPARE(table.lineData(CanLine::A).reference, QList<StoredSdo>({{"0x3000", "1", ""}, {"0x3002", "2", ""}}));
        QCOMPARE(table.lineData(CanLine::B).reference, QList<StoredSdo>({{"0x3001", "0", ""}}));
        PerLine<QStringList> names;
        for (CanLine line : CanLines)
            for (const StoredPdo &pdo : table.lineData(line).pdos)
                names[line] << QStringLiteral("%1=%2").arg(pdo.number).arg(pdo.name);
        QCOMPARE(names[CanLine::A], QStringList({"1=0x181", "2=0x182", "3=0x183", "4=0x184", "5=0x185"}));
        QCOMPARE(names[CanLine::B], QStringList({"1=0x201", "2=0x202"}));
        QCOMPARE(placed(table), QStringList({"A:1 0x2000/1/18", "B:2 0x2001/0/33"}));
    }

    // Each step says what went wrong and the next one still runs.
    void loadingProblems_data()
    {
        QTest::addColumn<QByteArray>("sdotrans");
        QTest::addColumn<QByteArray>("rpdodef");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<int>("references");
        QTest::addColumn<int>("pdos");
        using namespace TranslateMessages;
        const QByteArray one = sdopdo(storedRow("0x2000", "1", "1", "0"));
        QTest::newRow("no files") << QByteArray() << QByteArray() << QByteArray()
                                  << QStringList{SdoXmlNotFound, PdoXmlNotFound, SdopdoXmlNotFound} << 0 << 0;
        QTest::newRow("access-map records in sdotrans.xml")
            << sdoFile(sdoRow("0x6000", "2"), {}) << Rpdodef << one << QStringList{SdoXmlReadError} << 0 << 7;
        QTest::newRow("second reference without conf")
            << "<sdo>" + sdotransRow(0, "1", "1") + "<row IndexA=\"2\" SubindexA=\"0\"/>" + sdotransRow(0, "3", "0") +
                   "</sdo>"
            << Rpdodef << one << QStringList{SdoXmlReadError} << 1 << 7;
        QTest::newRow("rpdodef.xml not XML")
            << QByteArray("<sdo/>") << QByteArray("<rpdodef><row") << one
            << QStringList{PdoXmlReadError, StoredSdosLeftOut.arg("%1", "1 stored SDO")} << 0 << 0;
        QTest::newRow("PDO without cobid")
            << QByteArray("<sdo/>")
            << QByteArray("<rpdodef><row cobid=\"1\" en_bypass=\"0\"/><row en_bypass=\"2\"/>"
                          "<row cobid=\"3\" en_bypass=\"0\"/></rpdodef>")
            << one << QStringList{PdoXmlReadError} << 0 << 1;
        QTest::newRow("sdopdo.xml not XML")
            << QByteArray("<sdo/>") << Rpdodef << QByteArray("<sdopdo") << QStringList{SdopdoXmlReadError} << 0 << 7;
    }
    void loadingProblems()
    {
        QFETCH(QByteArray, sdotrans);
        QFETCH(QByteArray, rpdodef);
        QFETCH(QByteArray, stored);
        QFETCH(QStringList, problems);
        QFETCH(int, references);
        QFETCH(int, pdos);
        Project p(rpdodef, sdotrans, stored);
        StoredPdoTable table;
        const Loaded<TableRead> loaded = table.load(p.files);
        for (QString &problem : problems)
            if (problem.contains(QStringLiteral("%1")))
                problem = problem.arg(fileShown(p.files.SdopdoPath));
        QCOMPARE(firstLines(loaded.problems), problems);
        QCOMPARE(table.lineData(CanLine::A).reference.size() + table.lineData(CanLine::B).reference.size(), references);
        QCOMPARE(table.lineData(CanLine::A).pdos.size() + table.lineData(CanLine::B).pdos.size(), pdos);
    }

    // A stored SDO names its PDO in seven bits: PDOs past the 127th of a tab are
    // left out, said once.
    void pdoNumbersEndAt127()
    {
        Project p(rpdodef(129, 1), "<sdo/>", sdopdo(storedRow("1", "0", "127", "0") + storedRow("2", "0", "129", "0")));
        StoredPdoTable table;
        const Loaded<TableRead> loaded = table.load(p.files);
        QCOMPARE(loaded.problems, QStringList{TranslateMessages::PdosLeftOut.arg(fileShown(p.files.RpdodefPath))
                                                  .arg("2 PDOs")
                                                  .arg(QStringLiteral("CanA"))});
        QCOMPARE(table.lineData(CanLine::A).pdos.size(), 127);
        QCOMPARE(table.lineData(CanLine::A).pdos.last().name, QStringLiteral("0x1ff"));
        QCOMPARE(placed(table), QStringList({"A:127 1/0/0", "B:1 2/0/0"}));
    }

    // "nrpdo": bit 7 the tab, the low seven bits the PDO's number. A number past
    // the tab's PDOs is left out and counted; 0 ends the step.
    void nrpdo_data()
    {
        QTest::addColumn<QByteArray>("nrpdo");
        QTest::addColumn<QStringList>("placed");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<bool>("whole");
        const QString leftOut =
            TranslateMessages::StoredSdosLeftOut.arg(QStringLiteral("%1"), QStringLiteral("1 stored SDO"));
        const QString readError = TranslateMessages::SdopdoXmlReadError;
        QTest::newRow("130: second CanB PDO") << QByteArray("130") << QStringList{"B:2 i/s/0"} << QStringList() << true;
        QTest::newRow("$82 as 130") << QByteArray("$82") << QStringList{"B:2 i/s/0"} << QStringList() << true;
        QTest::newRow("5: last CanA PDO") << QByteArray("5") << QStringList{"A:5 i/s/0"} << QStringList() << true;
        QTest::newRow("6: one above the CanA PDOs")
            << QByteArray("6") << QStringList() << QStringList{leftOut} << false;
        QTest::newRow("131: one above the CanB PDOs")
            << QByteArray("131") << QStringList() << QStringList{leftOut} << false;
        QTest::newRow("128 ends the step") << QByteArray("128") << QStringList() << QStringList{readError} << false;
        QTest::newRow("0 ends the step") << QByteArray("0") << QStringList() << QStringList{readError} << false;
        QTest::newRow("not an integer") << QByteArray("1x") << QStringList() << QStringList{readError} << false;
    }
    void nrpdo()
    {
        QFETCH(QByteArray, nrpdo);
        QFETCH(QStringList, placed);
        QFETCH(QStringList, problems);
        QFETCH(bool, whole);
        // The rows around the one tested: before it kept, after it read only when
        // the step goes on.
        const bool ends = problems.value(0) == TranslateMessages::SdopdoXmlReadError;
        Project p(Rpdodef, "<sdo/>",
                  sdopdo(storedRow("0x10", "0", "1", "0") + storedRow("i", "s", nrpdo.constData(), "0") +
                         storedRow("0x11", "0", "2", "0")));
        StoredPdoTable table;
        const Loaded<TableRead> loaded = table.load(p.files);
        for (QString &problem : problems)
            if (problem.contains(QStringLiteral("%1")))
                problem = problem.arg(fileShown(p.files.SdopdoPath));
        QCOMPARE(firstLines(loaded.problems), problems);
        // A reading fault names the file and the attribute under the fixed text.
        if (ends)
            QVERIFY2(loaded.problems.constFirst().contains(fileShown(p.files.SdopdoPath)) &&
                         loaded.problems.constFirst().contains(QStringLiteral("nrpdo")),
                     qPrintable(loaded.problems.constFirst()));
        QCOMPARE(loaded.value.whole(), whole);
        QStringList expected{"A:1 0x10/0/0"};
        if (!ends)
            expected << "A:2 0x11/0/0";
        expected << placed;
        std::sort(expected.begin(), expected.end());
        QStringList got = ::placed(table);
        std::sort(got.begin(), got.end());
        QCOMPARE(got, expected);
    }

    // One tab's SDOs sorted by index, then subindex, as integers, whatever PDO they
    // belong to; equal ones in PDO order, then list order; indexes past 0x999999
    // sort by their value too.
    void saveSorts()
    {
        Project p(Rpdodef, "<sdo/>",
                  sdopdo(storedRow("0x2001", "0", "1", "1") + storedRow("0x2000", "2", "1", "2") +
                         storedRow("0x1000000", "0", "1", "3") + storedRow("0x2000", "1", "2", "4") +
                         storedRow("8192", "$2", "2", "5") + storedRow("0x999999", "0xA000000", "3", "6") +
                         storedRow("0x999999", "7", "3", "7") + storedRow("1", "0", "129", "8") +
                         storedRow("0", "0", "130", "9")));
        StoredPdoTable table;
        QVERIFY(table.load(p.files).ok());
        table.save(p.files.SdopdoPath);
        QCOMPARE(readFileBytes(p.files.SdopdoPath),
                 sdopdo(storedRow("0x2000", "1", "2", "4") + storedRow("0x2000", "2", "1", "2") +
                        storedRow("8192", "$2", "2", "5") + storedRow("0x2001", "0", "1", "1") +
                        storedRow("0x999999", "7", "3", "7") + storedRow("0x999999", "0xA000000", "3", "6") +
                        storedRow("0x1000000", "0", "1", "3") + storedRow("0", "0", "130", "9") +
                        storedRow("1", "0", "129", "8")));
    }

    // A missing attribute is a reading fault; an empty one is kept as it stands.
    // An empty index cannot be sorted: saving fails and writes nothing; an empty
    // code fails only when the SDO is shown.
    void emptyAndMissingAttributes()
    {
        Project p(Rpdodef, "<sdo/>", sdopdo(storedRow("0x2000", "1", "1", "")));
        StoredPdoTable table;
        QVERIFY(table.load(p.files).ok());
        QCOMPARE(table.toXml(), sdopdo(storedRow("0x2000", "1", "1", "")));
        QVERIFY_THROWS_EXCEPTION(TessiroError, StoredPdoTable::fieldsOf(table.pdo(CanLine::A, 0).sdos[0]));

        const QByteArray emptyIndex = sdopdo(storedRow("", "1", "1", "0"));
        writeFileBytes(p.files.SdopdoPath, emptyIndex);
        QVERIFY(table.load(p.files).ok());
        QCOMPARE(thrownMessage([&] { table.save(p.files.SdopdoPath); }),
                 QStringLiteral("'' is not a valid integer value"));
        QCOMPARE(readFileBytes(p.files.SdopdoPath), emptyIndex);
        // OK names the place first: tab, PDO, SDO and field.
        const std::optional<TableFault> fault = table.saveFault();
        QVERIFY(fault);
        QCOMPARE(fault->line, CanLine::A);
        QCOMPARE((QList<int>{fault->row, fault->item, fault->column}), (QList<int>{0, 0, 0}));
        QCOMPARE(fault->message, TranslateMessages::StoredSdoFault.arg("CanA", table.pdo(CanLine::A, 0).name)
                                     .arg(0)
                                     .arg("index", "'' is not a valid integer value"));

        writeFileBytes(p.files.SdopdoPath, "<sdopdo><row index=\"1\" subindex=\"0\" nrpdo=\"1\"/></sdopdo>");
        QCOMPARE(firstLines(table.load(p.files).problems), QStringList{TranslateMessages::SdopdoXmlReadError});
    }

    // Position codes: 16 x high + low; nibbles past "B8" set no button.
    void positions_data()
    {
        QTest::addColumn<QString>("poscomp");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::newRow("none") << "0" << 0 << 0;
        QTest::newRow("B1 B2") << "18" << 1 << 2;
        QTest::newRow("B8 B8") << "$88" << 8 << 8;
        QTest::newRow("past B8") << "159" << -1 << -1;
        QTest::newRow("bits above the byte") << "258" << 0 << 2;
    }
    void positions()
    {
        QFETCH(QString, poscomp);
        QFETCH(int, high);
        QFETCH(int, low);
        const SdoFields fields = StoredPdoTable::fieldsOf({"i", "s", poscomp});
        QCOMPARE(fields, (SdoFields{"i", "s", high, low}));
    }

    // The two checks of New and Modify, in order, with integers compared.
    void checks_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("subindex");
        QTest::addColumn<int>("exceptPdo");
        QTest::addColumn<int>("exceptSdo");
        QTest::addColumn<QString>("refusal");
        using namespace TranslateMessages;
        QTest::newRow("translated on the tab") << 0 << "12288"
                                               << "$1" << -1 << -1 << SdoAlreadyTranslated;
        QTest::newRow("translated on the other tab") << 1 << "0x3000"
                                                     << "1" << -1 << -1 << QString();
        QTest::newRow("stored under another PDO") << 0 << "8192"
                                                  << "1" << -1 << -1 << SdoAlreadyStored;
        QTest::newRow("both: translated first") << 0 << "0x3000"
                                                << "1" << -1 << -1 << SdoAlreadyTranslated;
        QTest::newRow("stored on the other tab") << 1 << "0x2000"
                                                 << "1" << -1 << -1 << QString();
        QTest::newRow("modify without a change") << 0 << "0x2000"
                                                 << "1" << 1 << 0 << QString();
        QTest::newRow("modify onto another") << 0 << "0x2000"
                                             << "1" << 0 << 0 << SdoAlreadyStored;
    }
    void checks()
    {
        QFETCH(int, tab);
        QFETCH(QString, index);
        QFETCH(QString, subindex);
        QFETCH(int, exceptPdo);
        QFETCH(int, exceptSdo);
        QFETCH(QString, refusal);
        Project p(Rpdodef, "<sdo>" + sdotransRow(0, "0x3000", "1") + "</sdo>",
                  sdopdo(storedRow("0x2001", "0", "1", "0") + storedRow("0x2000", "1", "2", "0") +
                         storedRow("0x3000", "1", "3", "0")));
        StoredPdoTable table;
        QVERIFY(table.load(p.files).ok());
        QCOMPARE(table.refusal(lineAt(tab), {index, subindex, 0, 0}, exceptPdo, exceptSdo).value_or(QString()),
                 refusal);
    }

    // New appends its code, Modify replaces, a refusal changes nothing; texts that
    // are not integers are refused even with nothing to compare.
    void newModifyDelete()
    {
        Project p;
        StoredPdoTable table;
        table.load(p.files);
        QCOMPARE(table.newSdo(CanLine::A, 1, {"0x2000", "1", 2, 3}), std::nullopt);
        QCOMPARE(table.newSdo(CanLine::A, 1, {"0x2001", "0", -1, 8}), std::nullopt);
        QCOMPARE(table.newSdo(CanLine::A, 0, {"8192", "1", 0, 0}), TranslateMessages::SdoAlreadyStored);
        QCOMPARE(table.modifySdo(CanLine::A, 1, 1, {"0x2001", "0", 1, 0}), std::nullopt);
        QCOMPARE(placed(table), QStringList({"A:2 0x2000/1/35", "A:2 0x2001/0/16"}));
        QCOMPARE(table.modifySdo(CanLine::A, 1, 1, {"0x2000", "1", 0, 0}), TranslateMessages::SdoAlreadyStored);
        QVERIFY_THROWS_EXCEPTION(TessiroError, table.newSdo(CanLine::B, 0, {"0x20OO", "1", 0, 0}));
        QVERIFY_THROWS_EXCEPTION(TessiroError, table.newSdo(CanLine::B, 0, {"1", "", 0, 0}));
        table.deleteSdo(CanLine::A, 1, 0);
        QCOMPARE(placed(table), QStringList({"A:2 0x2001/0/16"}));
        QCOMPARE(StoredPdoTable::sdoLabels(3), QStringList({"Sdo0", "Sdo1", "Sdo2"}));
    }

    // Each tab has its buffer; it outlives the table (the window) and is empty at
    // first, when Paste gives nothing.
    void copyBuffer()
    {
        StoredPdoCopies copies;
        {
            StoredPdoTable table(copies);
            QCOMPARE(table.pasteSdo(CanLine::A), std::nullopt);
            table.copySdo(CanLine::A, {"0x2000", "x", -1, 8});
        }
        StoredPdoTable table(copies);
        QCOMPARE(table.pasteSdo(CanLine::A), (SdoFields{"0x2000", "x", 0, 8}));
        QCOMPARE(table.pasteSdo(CanLine::B), std::nullopt);
    }

    // The committed workbook: the header line met in the middle is skipped, a PDO
    // number past the tab's PDOs is left out and counted; the PDO lists stay.
    void importWorkbookSheet()
    {
        Project p(Rpdodef, {}, sdopdo(storedRow("0x5000", "0", "1", "0")));
        StoredPdoTable table;
        table.load(p.files);
        const QString workbook = fixture(QStringLiteral("sdopdo_header_line_and_unknown_pdos.xls"));
        const ImportOutcome outcome = table.importFrom(workbook);
        QCOMPARE(outcome.notices, QStringList{TranslateMessages::ImportedSdosLeftOut
                                                  .arg(QDir::toNativeSeparators(workbook), QStringLiteral("SdoPdo"))
                                                  .arg(QStringLiteral("2 records"))
                                                  .arg(QStringLiteral("rows 5, 7"))});
        QCOMPARE(outcome.taken, 3);
        QVERIFY(!outcome.stoppedEarly);
        QCOMPARE(placed(table), QStringList({"A:1 0x2000/1/18", "A:2 8192/3/1", "B:2 0x2001/0/33"}));
        QCOMPARE(table.lineData(CanLine::A).pdos.size(), 5);
    }

    // Without rpdodef.xml every record is left out: said, not done in silence.
    // PDO number 0 ends the import, keeping what came before.
    void importWithoutPdos()
    {
        Project p({}, {}, {});
        StoredPdoTable table;
        table.load(p.files);
        const Worksheet sheet = csvAsWorksheet("index,subindex,nrpdo,poscomp,\r\n1,0,1,0,\r\n2,0,129,0,\r\n", "sdopdo");
        const ImportOutcome outcome = importWorksheet(sheet, StoredPdoTable::importParams(), table);
        QCOMPARE(outcome.leftOut, 2);
        QCOMPARE(outcome.notices.size(), 1);

        Project q;
        table.load(q.files);
        const ImportOutcome stopped = importWorksheet(
            csvAsWorksheet("index,subindex,nrpdo,poscomp,\r\n1,0,1,0,\r\n2,0,128,0,\r\n3,0,2,0,\r\n", "sdopdo"),
            StoredPdoTable::importParams(), table);
        QVERIFY(stopped.stoppedEarly);
        QCOMPARE(stopped.notices,
                 QStringList{WorkbookMessages::ImportStopped
                                 .arg(QDir::toNativeSeparators(QStringLiteral("/data/edited.xlsx")), "sdopdo")
                                 .arg(3)
                                 .arg(TranslateMessages::NoPdoZero.arg(128))});
        QCOMPARE(placed(table), QStringList{"A:1 1/0/0"});
    }

    // The header line first, then each tab's PDOs in list order with their SDOs in
    // theirs; opened in a spreadsheet program, saved and imported, the same file.
    void exportAndRoundTrip()
    {
        Project empty;
        StoredPdoTable table;
        table.load(empty.files);
        table.exportFiles(empty.files);
        QCOMPARE(readFileBytes(empty.files.csvPath(QStringLiteral("sdopdo"))),
                 CsvBom + QByteArray("index,subindex,nrpdo,poscomp,\r\n"));

        const QByteArray stored = sdopdo(storedRow("0x2000", "1", "2", "18") + storedRow("0x2001", "0", "1", "0") +
                                         storedRow("0x2002", "$1F", "1", "33") + storedRow("5", "0", "130", "136"));
        Project p(Rpdodef, "<sdo/>", stored);
        QVERIFY(table.load(p.files).ok());
        const QByteArray csv = csvBytes(table.exportLines());
        QCOMPARE(csv, CsvBom + QByteArray("index,subindex,nrpdo,poscomp,\r\n"
                                          "0x2001,0,1,0,\r\n"
                                          "0x2002,$1F,1,33,\r\n"
                                          "0x2000,1,2,18,\r\n"
                                          "5,0,130,136,\r\n"));
        StoredPdoTable again;
        QVERIFY(again.load(p.files).ok());
        const ImportOutcome outcome =
            importWorksheet(csvAsWorksheet(csv, "sdopdo"), StoredPdoTable::importParams(), again);
        QCOMPARE(outcome.notices, QStringList());
        QCOMPARE(outcome.taken, 4);
        QCOMPARE(again.toXml(), stored);
    }

    // tessiro-cli import and export run what the window's Import, OK and Export do.
    void cli()
    {
        Project p(Rpdodef, "<sdo/>", {});
        const QString workbook = fixture(QStringLiteral("sdopdo_header_line_and_unknown_pdos.xls"));
        // Records left out: nothing written.
        CliRun run = runCli({"import", "sdopdo", p.dir.path(), workbook});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(QString::fromUtf8(run.err),
                 TranslateMessages::SdopdoXmlNotFound + u'\n' +
                     TranslateMessages::ImportedSdosLeftOut.arg(QDir::toNativeSeparators(workbook), "SdoPdo")
                         .arg("2 records")
                         .arg("rows 5, 7") +
                     u'\n');
        QVERIFY(!QFile::exists(p.files.SdopdoPath));

        // --skip-unmatched: what OK saves in the window after the same notice.
        run = runCli({"import", "--skip-unmatched", "sdopdo", p.dir.path(), workbook});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QString::fromUtf8(run.err).endsWith(
            TranslateMessages::ImportedSdosLeftOut.arg(QDir::toNativeSeparators(workbook), "SdoPdo")
                .arg("2 records")
                .arg("rows 5, 7") +
            u'\n'));
        QCOMPARE(readFileBytes(p.files.SdopdoPath),
                 sdopdo(storedRow("0x2000", "1", "1", "18") + storedRow("8192", "3", "2", "1") +
                        storedRow("0x2001", "0", "130", "33")));
        run = runCli({"import", "--skip-unmatched", "rpdodef", p.dir.path(), workbook});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("--skip-unmatched applies to sdopdo alone"));
        QFile::remove(p.files.SdopdoPath);

        const QString csvPath = p.files.csvPath(QStringLiteral("sdopdo"));
        writeFileBytes(csvPath, "index,subindex,nrpdo,poscomp,\r\n0x2000,1,1,18,\r\n0x2001,0,130,33,\r\n");
        QCOMPARE(runCli({"export", "sdopdo", p.dir.path()}).exitCode, 0);
        QCOMPARE(readFileBytes(csvPath), CsvBom + QByteArray("index,subindex,nrpdo,poscomp,\r\n"));

        // Every record finds its PDO.
        Project wide(rpdodef(9, 9), "<sdo/>", {});
        run = runCli({"import", "sdopdo", wide.dir.path(), workbook});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFileBytes(wide.files.SdopdoPath),
                 sdopdo(storedRow("0x2000", "1", "1", "18") + storedRow("8192", "3", "2", "1") +
                        storedRow("0x2002", "2", "9", "0") + storedRow("0x2001", "0", "130", "33") +
                        storedRow("0x2004", "0", "137", "0")));
        QCOMPARE(runCli({"export", "sdopdo", wide.dir.path()}).exitCode, 0);
        QCOMPARE(readFileBytes(wide.files.csvPath(QStringLiteral("sdopdo"))),
                 CsvBom +
                     QByteArray("index,subindex,nrpdo,poscomp,\r\n0x2000,1,1,18,\r\n8192,3,2,1,\r\n0x2002,2,9,0,\r\n"
                                "0x2001,0,130,33,\r\n0x2004,0,137,0,\r\n"));

        // A file read in part is not exported.
        writeFileBytes(wide.files.SdopdoPath, sdopdo(storedRow("1", "0", "0", "0")));
        run = runCli({"export", "sdopdo", wide.dir.path()});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(QString::fromUtf8(run.err).startsWith(TranslateMessages::SdopdoXmlReadError + u'\n'),
                 run.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestStoredPdoTable)
#include "tst_StoredPdoTable.moc"
