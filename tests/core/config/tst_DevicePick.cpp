#include "base/TessiroError.h"
#include "config/AccessMap.h"
#include "config/DeviceLink.h"
#include "config/DevicePick.h"
#include "config/Messages.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <QTemporaryDir>
#include <QTest>

using namespace ConfigMessages;

namespace {

QString drive()
{
    return QFileInfo(sourcePath(QStringLiteral("tests/core/config/eds/drive.eds"))).absoluteFilePath();
}

// The item with this name (or this first column).
const DevicePickItem *itemNamed(const DevicePick &pick, const QString &name)
{
    for (const DevicePickItem &item : pick.items())
        if (item.columns.value(1) == name || item.columns.value(0) == name)
            return &item;
    return nullptr;
}

QStringList shownNames(const DevicePick &pick, const QString &filter)
{
    const QList<bool> shown = pick.visible(filter);
    QStringList names;
    for (int i = 0; i < pick.items().size(); ++i)
        if (shown[i])
            names << pick.items()[i].columns.value(pick.pdoMap() ? 0 : 1);
    return names;
}

} // namespace

class TestDevicePick : public QObject {
    Q_OBJECT
private slots:
    // What each dictionary entry offers: the row it fills, whether it can be
    // chosen (size 1, 2 or 4), and whether it asks first (access against direction).
    void sdoEntries_data()
    {
        QTest::addColumn<bool>("out");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("warning");
        const QString none;
        QTest::newRow("readable VAR on IN")
            << false << "Statusword" << QStringList{"$6041", "$00", "2", "Statusword"} << none << none;
        QTest::newRow("read-only VAR on OUT") << true << "Statusword" << QStringList{"$6041", "$00", "2", "Statusword"}
                                              << none << PickNotWritable.arg("$6041", "$00", "ro");
        QTest::newRow("const on OUT") << true << "Device type" << QStringList{"$1000", "$00", "4", "Device type"}
                                      << none << PickNotWritable.arg("$1000", "$00", "ro");
        QTest::newRow("write-only on IN")
            << false << "Reset counters" << QStringList{"$2100", "$00", "1", "Reset counters"} << none
            << PickNotReadable.arg("$2100", "$00", "wo");
        QTest::newRow("write-only on OUT")
            << true << "Reset counters" << QStringList{"$2100", "$00", "1", "Reset counters"} << none << none;
        QTest::newRow("record's sub-entry")
            << false << "Vendor-ID" << QStringList{"$1018", "$01", "4", "Vendor-ID"} << none << none;
        QTest::newRow("record itself") << false << "Identity object" << QStringList{} << PickSubEntries << none;
        QTest::newRow("string") << false << "Manufacturer device name"
                                << QStringList{"$1008", "$00", "0", "Manufacturer device name"} << PickVariableSize
                                << none;
        QTest::newRow("3 bytes") << false << "Supported drive modes"
                                 << QStringList{"$6502", "$00", "3", "Supported drive modes"}
                                 << PickSizeNotMapped.arg(3) << none;
    }
    void sdoEntries()
    {
        QFETCH(bool, out);
        QFETCH(QString, name);
        DevicePick pick(sdoAccessMap(), out ? MapDirection::Out : MapDirection::In);
        pick.openEds(drive());
        const DevicePickItem *item = itemNamed(pick, name);
        QVERIFY(item);
        QTEST(item->cells, "cells");
        QTEST(item->reason, "reason");
        QTEST(item->warning, "warning");
    }

    // Typing finds by name (any case, any part) or by index, with or without "$"
    // or "0x"; an object shows with the sub-entries that match, or all of them
    // when it matches itself.
    void filter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("first");
        QTest::newRow("part of a name") << "tATus" << QStringList{"Statusword"} << "Statusword";
        QTest::newRow("index prefix") << "$604" << QStringList{"Controlword", "Statusword"} << "Controlword";
        QTest::newRow("0x index") << "0x6041" << QStringList{"Statusword"} << "Statusword";
        QTest::newRow("sub-entry by name") << "vendor" << QStringList{"Identity object", "Vendor-ID"} << "Vendor-ID";
        QTest::newRow("object by index") << "1018"
                                         << QStringList{"Identity object", "Number of entries", "Vendor-ID",
                                                        "Product code"}
                                         << "Number of entries";
        QTest::newRow("only unchoosable") << "modes" << QStringList{"Supported drive modes"} << QString();
        QTest::newRow("nothing") << "xyz" << QStringList{} << QString();
    }
    void filter()
    {
        QFETCH(QString, filter);
        DevicePick pick(sdoAccessMap(), MapDirection::In);
        pick.openEds(drive());
        QTEST(shownNames(pick, filter), "shown");
        const int first = pick.firstChoosable(pick.visible(filter));
        QTEST(first < 0 ? QString() : pick.items()[first].columns[1], "first");
        QCOMPARE(shownNames(pick, QString()).size(), pick.items().size());
    }

    // The PDO map picks the device's PDOs at a node ID: its TPDOs for IN, RPDOs
    // for OUT (listed first); a switched-off PDO asks first.
    void pdos()
    {
        DevicePick in(pdoAccessMap(), MapDirection::In);
        in.openEds(drive());
        QVERIFY(in.items().isEmpty());
        QCOMPARE(in.problem(), PickTypeNodeId);
        in.setNodeId(5);
        QCOMPARE(shownNames(in, QString()), (QStringList{"TPDO1", "TPDO2", "RPDO1"}));
        QCOMPARE(in.items()[0].cells, (QStringList{"$185", "6", "TPDO1"}));
        QVERIFY(in.items()[0].choosable() && in.items()[0].warning.isEmpty());
        QCOMPARE(in.items()[1].warning, PickPdoInvalid.arg("TPDO2", "$285"));
        QVERIFY(in.items()[1].choosable());
        QCOMPARE(in.items()[2].reason, PickPdoWrongWay.arg("RPDO", "OUT"));
        QCOMPARE(shownNames(in, QStringLiteral("$28")), QStringList{"TPDO2"});
        in.setNodeId(128);
        QVERIFY(in.items().isEmpty());

        DevicePick out(pdoAccessMap(), MapDirection::Out);
        out.setNodeId(3);
        QCOMPARE(out.problem(), PickNoEds);
        out.openEds(drive());
        QCOMPARE(out.items()[0].cells, (QStringList{"$203", "2", "RPDO1"}));
        QCOMPARE(out.link(), (DeviceLink{drive(), 3}));
    }

    void pickFillsRowAndKeepsOldEdsOnFailure()
    {
        AccessMap map(sdoAccessMap());
        DevicePick pick(sdoAccessMap(), MapDirection::In);
        pick.openEds(drive());
        map.grid(MapDirection::In).setCell(3, 4, QStringLiteral("typed"));
        DevicePick::fillRow(map.grid(MapDirection::In), 3, *itemNamed(pick, QStringLiteral("Position actual value")));
        const AccessMapModel &grid = map.grid(MapDirection::In);
        QCOMPARE((QStringList{grid.cell(3, 1), grid.cell(3, 2), grid.cell(3, 3), grid.cell(3, 4)}),
                 (QStringList{"$6064", "$00", "4", "Position actual value"}));
        QCOMPARE(map.CountMapBytes().in, 4);

        QTemporaryDir dir;
        const QString broken = dir.filePath(QStringLiteral("broken.eds"));
        writeFileBytes(broken, "[1000]\nParameterName=x\nObjectType=7\nDataType=7\nAccessType=maybe\n");
        QVERIFY_THROWS_EXCEPTION(TessiroError, pick.openEds(broken));
        QCOMPARE(pick.edsPath(), drive());
        QVERIFY(itemNamed(pick, QStringLiteral("Statusword")));
    }

    // device.xml: the EDS and node ID the pickers last used.
    void deviceLinkFile()
    {
        QTemporaryDir dir;
        const QString path = deviceLinkPath(dir.path());
        QCOMPARE(loadDeviceLink(path).value, DeviceLink{});
        const DeviceLink link{QStringLiteral("/devices/drive ä.eds"), 42};
        saveDeviceLink(path, link);
        QCOMPARE(readFileBytes(path),
                 QByteArray("<Device><Eds>/devices/drive \xC3\xA4.eds</Eds><NodeId>42</NodeId></Device>"));
        QCOMPARE(loadDeviceLink(path).value, link);
        saveDeviceLink(path, {link.EdsPath, 0});
        QCOMPARE(readFileBytes(path), QByteArray("<Device><Eds>/devices/drive \xC3\xA4.eds</Eds></Device>"));

        writeFileBytes(path, "<Device><Eds>a.eds</Eds><NodeId>200</NodeId></Device>");
        const Loaded<DeviceLink> bad = loadDeviceLink(path);
        QCOMPARE(bad.value, (DeviceLink{QStringLiteral("a.eds"), 0}));
        QCOMPARE(bad.problems, QStringList{DeviceNodeIdNotValid.arg(QDir::toNativeSeparators(path), "200")});
        writeFileBytes(path, "<Device>");
        QCOMPARE(loadDeviceLink(path).problems.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDevicePick)
#include "tst_DevicePick.moc"
