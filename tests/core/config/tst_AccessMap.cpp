#include "base/TabText.h"
#include "config/AccessMap.h"
#include "config/Messages.h"
#include "support/GridModelTester.h"
#include "support/ProjectBuilders.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ConfigMessages;

namespace {

// Fills grid rows from the top with the given cells (columns 1..n).
void fill(AccessMapModel &grid, const QList<QStringList> &rows, int firstRow = 0)
{
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            grid.setCell(firstRow + r, c + 1, rows[r][c]);
}

QStringList messages(const QList<AccessMap::Failure> &failures)
{
    QStringList out;
    for (const auto &f : failures)
        out << f.message;
    return out;
}

} // namespace

class TestAccessMap : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString sdoPath() const { return m_dir.filePath(QStringLiteral("sdo.xml")); }
    QString pdoPath() const { return m_dir.filePath(QStringLiteral("pdo.xml")); }
    QString ownPath(const AccessMapParams &params) const { return &params == &sdoAccessMap() ? sdoPath() : pdoPath(); }
    QString otherPath(const AccessMapParams &params) const
    {
        return &params == &sdoAccessMap() ? pdoPath() : sdoPath();
    }
    QStringList load(AccessMap &map) { return map.load(ownPath(map.params()), otherPath(map.params())).problems; }

private slots:
    void init()
    {
        QFile::remove(sdoPath());
        QFile::remove(pdoPath());
    }

    void grids()
    {
        AccessMap sdo(sdoAccessMap());
        AccessMap pdo(pdoAccessMap());
        QCOMPARE(sdo.grid(MapDirection::In).rowCount(), 32);
        QCOMPARE(pdo.grid(MapDirection::Out).rowCount(), 10);
        QStringList titles;
        for (int c = 0; c < sdo.grid(MapDirection::In).columnCount(); ++c)
            titles << sdo.grid(MapDirection::In).headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{QStringLiteral("N\u00B0"), "Index", "SubIndex", "nByte", "Mnemonic"}));
        titles.clear();
        for (int c = 0; c < pdo.grid(MapDirection::In).columnCount(); ++c)
            titles << pdo.grid(MapDirection::In).headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{QStringLiteral("N\u00B0"), "Cob-ID", "Dimension", "Mnemonic"}));
        AccessMapModel &grid = sdo.grid(MapDirection::In);
        QCOMPARE(grid.data(grid.index(31, 0)).toString(), QStringLiteral("32"));
        QVERIFY(!(grid.flags(grid.index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(!grid.setData(grid.index(0, 0), QStringLiteral("x")));
        QVERIFY(grid.flags(grid.index(0, 1)) & Qt::ItemIsEditable);
    }

    void modelRules()
    {
        AccessMap map(sdoAccessMap());
        exerciseGridModel(map.grid(MapDirection::Out));
        QCOMPARE(map.grid(MapDirection::Out).listEnd(), 0);
    }

    void emptyProjectWritesEmptyLists()
    {
        AccessMap sdo(sdoAccessMap());
        QCOMPARE(load(sdo), QStringList());
        QCOMPARE(sdo.CountMapBytes().in, 0);
        sdo.save(sdoPath());
        QCOMPARE(readFileBytes(sdoPath()),
                 QByteArray("<CanOpen_to_DeviceNet><ByteIN/><ByteOUT/></CanOpen_to_DeviceNet>"));

        AccessMap pdo(pdoAccessMap());
        QCOMPARE(load(pdo), QStringList());
        pdo.save(pdoPath());
        QCOMPARE(readFileBytes(pdoPath()),
                 QByteArray("<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO/><ByteOUT_RPDO/></CanOpen_PDO_to_DeviceNet>"));
    }

    void sdoSavesTypedTextAndReopensInDollarForm()
    {
        AccessMap map(sdoAccessMap());
        load(map);
        fill(map.grid(MapDirection::In), {{"24576", "1", "2", "Speed & <dir>"}, {"0x2000", " 3", "4", ""}});
        fill(map.grid(MapDirection::Out), {{"$1A00", "255", "1", "\u00E9t\u00E9"}});
        QVERIFY(map.failures(false).isEmpty());
        map.save(sdoPath());
        QCOMPARE(
            readFileBytes(sdoPath()),
            QByteArray("<CanOpen_to_DeviceNet><ByteIN>"
                       "<row IdDev=\"1\" Index=\"24576\" SubIndex=\"1\" NByte=\"2\" Mnemonic=\"Speed &amp; &lt;dir>\"/>"
                       "<row IdDev=\"1\" Index=\"0x2000\" SubIndex=\" 3\" NByte=\"4\" Mnemonic=\"\"/>"
                       "</ByteIN><ByteOUT>"
                       "<row IdDev=\"1\" Index=\"$1A00\" SubIndex=\"255\" NByte=\"1\" Mnemonic=\"\xC3\xA9t\xC3\xA9\"/>"
                       "</ByteOUT></CanOpen_to_DeviceNet>"));

        AccessMap reopened(sdoAccessMap());
        QCOMPARE(load(reopened), QStringList());
        const AccessMapModel &in = reopened.grid(MapDirection::In);
        QCOMPARE((QStringList{in.cell(0, 1), in.cell(0, 2), in.cell(0, 3), in.cell(0, 4)}),
                 (QStringList{"$6000", "$01", "2", "Speed & <dir>"}));
        QCOMPARE(in.cell(1, 2), QStringLiteral("$03"));
        QCOMPARE(reopened.grid(MapDirection::Out).cell(0, 4), QStringLiteral("\u00E9t\u00E9"));
        reopened.save(sdoPath());
        QVERIFY(readFileBytes(sdoPath()).contains("Index=\"$6000\" SubIndex=\"$01\" NByte=\"2\""));
    }

    void loadConversions_data()
    {
        QTest::addColumn<bool>("pdo");
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QStringList>("cells");

        QTest::newRow("sdo hex padded") << false << sdoRow("$1", "2", "x5") << QStringList{"$0001", "$05", "2"};
        QTest::newRow("sdo wide value keeps its digits")
            << false << sdoRow("70000", "4", "256") << QStringList{"$11170", "$100", "4"};
        QTest::newRow("sdo not integers show zeros, size as stored")
            << false << sdoRow("abc", "three", "") << QStringList{"$0000", "$00", "three"};
        QTest::newRow("sdo negative shows its 32-bit pattern")
            << false << sdoRow("-1", " 2", "-2") << QStringList{"$FFFFFFFF", "$FFFFFFFE", " 2"};
        QTest::newRow("pdo cob-id") << true << pdoRow("385", "8") << QStringList{"$181", "8"};
        QTest::newRow("pdo small cob-id padded") << true << pdoRow("$7", "1") << QStringList{"$007", "1"};
        QTest::newRow("pdo not integer") << true << pdoRow("zz", "x") << QStringList{"$000", "x"};
    }

    void loadConversions()
    {
        QFETCH(bool, pdo);
        QFETCH(QByteArray, row);
        QFETCH(QStringList, cells);
        writeFileBytes(pdo ? pdoPath() : sdoPath(), pdo ? pdoFile(row, {}) : sdoFile(row, {}));
        AccessMap map(pdo ? pdoAccessMap() : sdoAccessMap());
        QCOMPARE(load(map), QStringList());
        QStringList shown;
        for (int c = 1; c <= cells.size(); ++c)
            shown << map.grid(MapDirection::In).cell(0, c);
        QCOMPARE(shown, cells);
    }

    void rowChecks_data()
    {
        QTest::addColumn<bool>("pdo");
        QTest::addColumn<bool>("out");
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<QStringList>("failures");

        QTest::newRow("sdo accepted") << false << false << QStringList{"24576", "1", "2"} << QStringList();
        QTest::newRow("sdo bounds") << false << true << QStringList{"$FFFF", "$FF", "4"} << QStringList();
        QTest::newRow("sdo index 0 passes") << false << false << QStringList{"0", "0", "1"} << QStringList();
        QTest::newRow("sdo index 0x10000")
            << false << false << QStringList{"0x10000", "1", "2"} << QStringList{SdoIndexIn};
        QTest::newRow("sdo index -1 out") << false << true << QStringList{"-1", "1", "2"} << QStringList{SdoIndexOut};
        QTest::newRow("sdo blank index is present and wrong")
            << false << false << QStringList{" ", "1", "2"} << QStringList{SdoIndexIn};
        QTest::newRow("sdo subindex 256")
            << false << false << QStringList{"1", "256", "2"} << QStringList{SdoSubIndexIn};
        QTest::newRow("sdo nbyte 3") << false << false << QStringList{"1", "1", "3"} << QStringList{SdoNByteIn};
        QTest::newRow("sdo nbyte 8 out") << false << true << QStringList{"1", "1", "8"} << QStringList{SdoNByteOut};
        QTest::newRow("sdo nbyte empty") << false << false << QStringList{"1", "1", ""} << QStringList{SdoNByteIn};
        QTest::newRow("sdo all wrong, in order")
            << false << true << QStringList{"x", "-1", "0"} << QStringList{SdoIndexOut, SdoSubIndexOut, SdoNByteOut};
        QTest::newRow("pdo accepted") << true << false << QStringList{"385", "8"} << QStringList();
        QTest::newRow("pdo bounds") << true << true << QStringList{"$7FF", "1"} << QStringList();
        QTest::newRow("pdo cob-id 0") << true << false << QStringList{"0", "8"} << QStringList{PdoCobIdIn};
        QTest::newRow("pdo cob-id $800 out") << true << true << QStringList{"$800", "8"} << QStringList{PdoCobIdOut};
        QTest::newRow("pdo dimension empty") << true << false << QStringList{"1", ""} << QStringList{PdoDimensionIn};
        QTest::newRow("pdo dimension 9 out") << true << true << QStringList{"1", "9"} << QStringList{PdoDimensionOut};
        QTest::newRow("pdo both wrong") << true << false << QStringList{"2048", "0"}
                                        << QStringList{PdoCobIdIn, PdoDimensionIn};
    }

    void rowChecks()
    {
        QFETCH(bool, pdo);
        QFETCH(bool, out);
        QFETCH(QStringList, row);
        QFETCH(QStringList, failures);
        AccessMap map(pdo ? pdoAccessMap() : sdoAccessMap());
        const MapDirection direction = out ? MapDirection::Out : MapDirection::In;
        fill(map.grid(direction), {row});
        QCOMPARE(messages(map.failures(false)), failures);
        // The editor shows only the first.
        QCOMPARE(messages(map.failures(true)), failures.mid(0, 1));
        if (!failures.isEmpty())
            QCOMPARE(map.failures(true).first().row, 1);
    }

    void validationOrder()
    {
        AccessMap map(sdoAccessMap());
        // An OUT row fault comes after every IN row fault; budgets come last, IN first.
        fill(map.grid(MapDirection::In), {{"1", "0", "2"}, {"1", "0", "3"}, {"1", "999", "3"}});
        fill(map.grid(MapDirection::Out), {{"-5", "0", "1"}});
        fill(map.grid(MapDirection::In), {{"1", "0", "40"}}, 20);
        fill(map.grid(MapDirection::Out), {{"1", "0", "40"}}, 20);
        const QList<AccessMap::Failure> all = map.failures(false);
        QCOMPARE(messages(all),
                 (QStringList{SdoNByteIn, SdoSubIndexIn, SdoNByteIn, SdoIndexOut, SdoBudgetIn, SdoBudgetOut}));
        QCOMPARE(all[2].row, 3);
        QCOMPARE(all[4].row, 0);
        QCOMPARE(messages(map.failures(true)), QStringList{SdoNByteIn});
        QCOMPARE(map.failures(true).first().row, 2);
    }

    void listEndsAtFirstEmptyKey()
    {
        AccessMap map(pdoAccessMap());
        // Row 5 below four empty rows: counted, not checked, not saved.
        fill(map.grid(MapDirection::In), {{"9999", "30"}}, 4);
        QCOMPARE(map.CountMapBytes().in, 30);
        QVERIFY(map.failures(false).isEmpty());
        QVERIFY(map.toXml().contains("<ByteIN_TPDO/>"));
        // A size without a key is not a present row.
        fill(map.grid(MapDirection::Out), {{"", "8"}});
        QCOMPARE(map.CountMapBytes().out, 0);
    }

    void sdoIndexZeroEndsTheSavedList()
    {
        AccessMap map(sdoAccessMap());
        fill(map.grid(MapDirection::In),
             {{"$6000", "1", "2"}, {"$6001", "1", "2"}, {"0", "1", "4"}, {"$6003", "1", "4"}});
        QVERIFY(map.failures(false).isEmpty());
        QCOMPARE(map.CountMapBytes().in, 12);
        QCOMPARE(map.toXml(), sdoFile(QByteArray("<row IdDev=\"1\" Index=\"$6000\" SubIndex=\"1\" NByte=\"2\" "
                                                 "Mnemonic=\"\"/><row IdDev=\"1\" Index=\"$6001\" SubIndex=\"1\" "
                                                 "NByte=\"2\" Mnemonic=\"\"/>"),
                                      {})
                                  .replace("<ByteOUT></ByteOUT>", "<ByteOUT/>"));
    }

    void lastDataRowIsCheckedAndSaved_data()
    {
        QTest::addColumn<bool>("pdo");
        QTest::newRow("sdo row 32") << false;
        QTest::newRow("pdo row 10") << true;
    }

    void lastDataRowIsCheckedAndSaved()
    {
        QFETCH(bool, pdo);
        AccessMap map(pdo ? pdoAccessMap() : sdoAccessMap());
        AccessMapModel &grid = map.grid(MapDirection::Out);
        const int rows = grid.rowCount();
        for (int r = 0; r < rows - 1; ++r)
            fill(grid, {{"1", pdo ? "1" : "0", "1"}}, r);
        fill(grid, {{"1", "0", "3"}}, rows - 1);
        QCOMPARE(messages(map.failures(true)), QStringList{pdo ? PdoDimensionOut : SdoNByteOut});
        QCOMPARE(map.failures(true).first().row, rows);
        fill(grid, {{"1", "1", "1"}}, rows - 1);
        QVERIFY(map.failures(false).isEmpty());
        QCOMPARE(QString::fromUtf8(map.toXml()).count(QStringLiteral("<row ")), rows);
    }

    // The budget is shared: each editor counts its own grid plus the other map's file.
    void sharedBudget_data()
    {
        QTest::addColumn<QByteArray>("sdo");
        QTest::addColumn<QByteArray>("pdo");
        QTest::addColumn<QStringList>("sdoFailures");
        QTest::addColumn<QStringList>("pdoFailures");

        QTest::newRow("sdo alone 32") << sdoFile(repeatRow(sdoRow("1", "2"), 16), {}) << pdoFile({}, {})
                                      << QStringList() << QStringList();
        QTest::newRow("sdo 32 plus one pdo byte")
            << sdoFile(repeatRow(sdoRow("1", "2"), 16), {}) << pdoFile(pdoRow("1", "1"), {}) << QStringList{SdoBudgetIn}
            << QStringList{PdoBudgetIn};
        QTest::newRow("pdo alone 4x8") << sdoFile({}, {}) << pdoFile(repeatRow(pdoRow("1", "8"), 4), {})
                                       << QStringList() << QStringList();
        QTest::newRow("pdo 10x4") << sdoFile({}, {}) << pdoFile(repeatRow(pdoRow("1", "4"), 10), {})
                                  << QStringList{SdoBudgetIn} << QStringList{PdoBudgetIn};
        QTest::newRow("out split 16+16") << sdoFile({}, repeatRow(sdoRow("1", "4"), 4))
                                         << pdoFile({}, repeatRow(pdoRow("1", "8"), 2)) << QStringList()
                                         << QStringList();
        QTest::newRow("out split 16+17") << sdoFile({}, repeatRow(sdoRow("1", "4"), 4))
                                         << pdoFile({}, repeatRow(pdoRow("1", "8"), 2) + pdoRow("2", "1"))
                                         << QStringList{SdoBudgetOut} << QStringList{PdoBudgetOut};
        QTest::newRow("both directions over")
            << sdoFile(repeatRow(sdoRow("1", "4"), 8), repeatRow(sdoRow("1", "4"), 8))
            << pdoFile(pdoRow("1", "1"), pdoRow("1", "1")) << QStringList{SdoBudgetIn, SdoBudgetOut}
            << QStringList{PdoBudgetIn, PdoBudgetOut};
    }

    void sharedBudget()
    {
        QFETCH(QByteArray, sdo);
        QFETCH(QByteArray, pdo);
        QFETCH(QStringList, sdoFailures);
        QFETCH(QStringList, pdoFailures);
        writeFileBytes(sdoPath(), sdo);
        writeFileBytes(pdoPath(), pdo);
        AccessMap sdoMap(sdoAccessMap());
        AccessMap pdoMap(pdoAccessMap());
        QCOMPARE(load(sdoMap), QStringList());
        QCOMPARE(load(pdoMap), QStringList());
        QCOMPARE(sdoMap.CountMapBytes().in, pdoMap.CountMapBytes().in);
        QCOMPARE(sdoMap.CountMapBytes().out, pdoMap.CountMapBytes().out);
        QCOMPARE(messages(sdoMap.failures(false)), sdoFailures);
        QCOMPARE(messages(pdoMap.failures(false)), pdoFailures);
        // On OK only the first is shown: IN before OUT.
        QCOMPARE(messages(sdoMap.failures(true)), sdoFailures.mid(0, 1));
    }

    void counterFollowsTheCellBeingTyped()
    {
        writeFileBytes(pdoPath(), pdoFile(pdoRow("1", "8"), pdoRow("1", "2")));
        AccessMap map(sdoAccessMap());
        QCOMPARE(load(map), QStringList());
        QCOMPARE(map.OtherMapInBytes, 8);
        QCOMPARE(map.OtherMapOutBytes, 2);
        fill(map.grid(MapDirection::In), {{"$6000", "1", "4"}, {"", "", "2"}});

        const MapCellEdit size{MapDirection::In, 0, 3, QStringLiteral("2")};
        QCOMPARE(map.usedBytes(MapDirection::In, &size), 10);
        const MapCellEdit keyMakesRowPresent{MapDirection::In, 1, 1, QStringLiteral("$")};
        QCOMPARE(map.usedBytes(MapDirection::In, &keyMakesRowPresent), 14);
        const MapCellEdit keyCleared{MapDirection::In, 0, 1, QString()};
        QCOMPARE(map.usedBytes(MapDirection::In, &keyCleared), 8);
        const MapCellEdit notANumber{MapDirection::In, 0, 3, QStringLiteral("4x")};
        QCOMPARE(map.usedBytes(MapDirection::In, &notANumber), 8);
        // An edit in the other grid leaves this direction alone.
        QCOMPARE(map.CountMapBytes(&size).out, 2);
        QCOMPARE(map.usedBytes(MapDirection::In), 12);
    }

    void rowsBeyondTheGridAreIgnored()
    {
        // An eleventh and a twelfth row, with a size and a missing attribute.
        writeFileBytes(pdoPath(),
                       pdoFile(repeatRow(pdoRow("1", "1"), 10) + pdoRow("2", "8") + "<row Dimension=\"3\"/>", {}));
        AccessMap map(pdoAccessMap());
        QCOMPARE(load(map), QStringList());
        QCOMPARE(map.CountMapBytes().in, 10);
        QCOMPARE(QString::fromUtf8(map.toXml()).count(QStringLiteral("<row ")), 10);
        // The other editor counts every row of the file.
        AccessMap sdo(sdoAccessMap());
        QCOMPARE(load(sdo), QStringList());
        QCOMPARE(sdo.OtherMapInBytes, 21);
    }

    void loadErrors_data()
    {
        QTest::addColumn<bool>("pdoEditor");
        QTest::addColumn<QByteArray>("sdo");
        QTest::addColumn<QByteArray>("pdo");
        QTest::addColumn<QString>("errorPart");
        QTest::addColumn<bool>("pdoFileFaulty");
        QTest::addColumn<int>("inRowsLoaded");
        QTest::addColumn<int>("otherIn");

        QTest::newRow("own list missing")
            << false
            << QByteArray("<CanOpen_to_DeviceNet><ByteIN>" + sdoRow("1", "2") + "</ByteIN></CanOpen_to_DeviceNet>")
            << QByteArray() << "element <ByteOUT> is missing" << false << 1 << 0;
        QTest::newRow("own attribute missing")
            << false << sdoFile(sdoRow("1", "2") + "<row IdDev=\"1\" Index=\"2\" SubIndex=\"0\" Mnemonic=\"\"/>", {})
            << QByteArray() << "row 2 of <ByteIN> has no attribute NByte" << false << 1 << 0;
        QTest::newRow("own not XML") << true << QByteArray() << QByteArray("<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO>")
                                     << "is not valid XML" << true << 0 << 0;
        QTest::newRow("other size not an integer")
            << true << sdoFile(sdoRow("1", "2") + sdoRow("1", "two") + sdoRow("1", "4"), {})
            << pdoFile(pdoRow("1", "1"), {}) << "row 2 of <ByteIN> has NByte 'two', which is not a valid integer value"
            << false << 1 << 2;
        QTest::newRow("other size missing") << false << QByteArray() << pdoFile("<row Cob_Id=\"1\" Mnemonic=\"\"/>", {})
                                            << "row 1 of <ByteIN_TPDO> has no attribute Dimension" << true << 0 << 0;
        QTest::newRow("other list missing")
            << true << QByteArray("<CanOpen_to_DeviceNet><ByteOUT/></CanOpen_to_DeviceNet>")
            << pdoFile(pdoRow("1", "1"), {}) << "element <ByteIN> is missing" << false << 1 << 0;
    }

    void loadErrors()
    {
        QFETCH(bool, pdoEditor);
        QFETCH(QByteArray, sdo);
        QFETCH(QByteArray, pdo);
        QFETCH(QString, errorPart);
        QFETCH(bool, pdoFileFaulty);
        QFETCH(int, inRowsLoaded);
        QFETCH(int, otherIn);
        if (!sdo.isNull())
            writeFileBytes(sdoPath(), sdo);
        if (!pdo.isNull())
            writeFileBytes(pdoPath(), pdo);
        AccessMap map(pdoEditor ? pdoAccessMap() : sdoAccessMap());
        // Leftovers of an earlier opening must go.
        map.grid(MapDirection::In).setCell(5, 1, QStringLiteral("old"));
        const QStringList errors = load(map);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains(errorPart), qPrintable(errors.first()));
        const QString faulty = QDir::toNativeSeparators(pdoFileFaulty ? pdoPath() : sdoPath());
        QVERIFY2(errors.first().contains(faulty), qPrintable(errors.first()));
        QCOMPARE(map.grid(MapDirection::In).listEnd(), inRowsLoaded);
        QCOMPARE(map.grid(MapDirection::In).cell(5, 1), QString());
        QCOMPARE(map.OtherMapInBytes, otherIn);
        // Nothing on disk changed.
        if (!sdo.isNull())
            QCOMPARE(readFileBytes(sdoPath()), sdo);
        if (!pdo.isNull())
            QCOMPARE(readFileBytes(pdoPath()), pdo);
    }

    void paste_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("changed");
        QTest::addColumn<QStringList>("expected"); // "row,column=text"

        QTest::newRow("block from a spreadsheet")
            << 0 << 1 << "$6000\t1\t2\tspeed\r\n$6001\t2\t4\ttorque\r\n"
            << QRect(1, 0, 4, 2) << QStringList{"0,1=$6000", "0,4=speed", "1,3=4", "2,1="};
        QTest::newRow("cut at the last row and column") << 30 << 3 << "a\tb\tc\nd\te\tf\ng\th\ti" << QRect(3, 30, 2, 2)
                                                        << QStringList{"30,3=a", "30,4=b", "31,3=d", "31,4=e"};
        QTest::newRow("never into the number column")
            << 4 << 0 << "7\t8" << QRect(1, 4, 2, 1) << QStringList{"4,0=5", "4,1=7", "4,2=8"};
        QTest::newRow("quoted cell with a tab and a line end")
            << 0 << 4 << "\"a\tb\nc\"\"d\"" << QRect(4, 0, 1, 1) << QStringList{"0,4=a\tb\nc\"d"};
        QTest::newRow("empty cells clear") << 0 << 1 << "\t\r\n" << QRect(1, 0, 2, 1) << QStringList{"0,1=", "0,2="};
    }

    void paste()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(QRect, changed);
        QFETCH(QStringList, expected);
        AccessMap map(sdoAccessMap());
        AccessMapModel &grid = map.grid(MapDirection::In);
        fill(grid, {{"x", "x", "x", "x"}});
        QCOMPARE(grid.pasteText(row, column, text), changed);
        QCOMPARE(grid.rowCount(), 32);
        for (const QString &e : expected) {
            const auto comma = e.indexOf(u','), eq = e.indexOf(u'=');
            QCOMPARE(grid.cell(e.left(comma).toInt(), e.mid(comma + 1, eq - comma - 1).toInt()), e.mid(eq + 1));
        }
    }

    void copyPasteRoundTrip()
    {
        AccessMap map(pdoAccessMap());
        AccessMapModel &grid = map.grid(MapDirection::In);
        fill(grid, {{"$181", "8", "a\tb"}, {"$182", "4", "\"quoted\""}});
        const QString text = grid.copyText(QRect(1, 0, 3, 2));
        QCOMPARE(text, QStringLiteral("$181\t8\t\"a\tb\"\r\n$182\t4\t\"\"\"quoted\"\"\"\r\n"));
        AccessMapModel &out = map.grid(MapDirection::Out);
        out.pasteText(3, 1, text);
        QCOMPARE(out.copyText(QRect(1, 3, 3, 2)), text);
        QCOMPARE(grid.copyText(QRect(0, 0, 2, 1)), QStringLiteral("1\t$181\r\n"));

        grid.clearCells({grid.index(0, 0), grid.index(0, 1), grid.index(1, 3)});
        QCOMPARE(grid.cell(0, 0), QStringLiteral("1"));
        QCOMPARE(grid.cell(0, 1), QString());
        QCOMPARE(grid.cell(0, 2), QStringLiteral("8"));
        QCOMPARE(grid.cell(1, 3), QString());
    }

    void tabText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("firstRow");
        QTest::newRow("nothing") << "" << 0 << QStringList();
        QTest::newRow("one cell, no line end") << "a" << 1 << QStringList{"a"};
        QTest::newRow("LF rows") << "a\tb\nc\td\n" << 2 << QStringList{"a", "b"};
        QTest::newRow("trailing empty cell") << "a\t" << 1 << QStringList{"a", ""};
        QTest::newRow("one empty cell") << "\r\n" << 1 << QStringList{""};
        QTest::newRow("inner empty row kept") << "a\n\nb" << 3 << QStringList{"a"};
    }

    void tabText()
    {
        QFETCH(QString, text);
        QFETCH(int, rows);
        QFETCH(QStringList, firstRow);
        const QList<QStringList> parsed = parseTabText(text);
        QCOMPARE(parsed.size(), rows);
        if (rows > 0)
            QCOMPARE(parsed.first(), firstRow);
    }
};

QTEST_GUILESS_MAIN(TestAccessMap)
#include "tst_AccessMap.moc"
