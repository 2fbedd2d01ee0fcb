#include "base/TessiroError.h"
#include "config/DeviceCheck.h"
#include "config/DeviceEds.h"
#include "config/DeviceLink.h"
#include "support/CliRunner.h"
#include "support/ProjectBuilders.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString fixture(const char *name)
{
    return sourcePath(QStringLiteral("tests/core/config/eds/") + QLatin1String(name));
}

QString objectsOf(const char *name)
{
    return edsObjectsText(readDeviceEds(fixture(name)));
}

QString line(const char *text)
{
    return QString::fromUtf8(text) + u'\n';
}

} // namespace

class TestDeviceEds : public QObject {
    Q_OBJECT
private slots:
    void objectListing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("VAR, ARRAY and RECORD; unknown type left out; blanks and case")
            << "var_array_record.eds"
            << line("$1008\t$00\tManufacturer device name\t$0009\t0\tconst") +
                   line("$1018\t$00\tNumber of entries\t$0005\t1\tro") + line("$1018\t$01\tVendor-ID\t$0007\t4\tro") +
                   line("$1018\t$02\tProduct code\t$0007\t4\tro") +
                   line("$2000\t$00\tHighest sub-index\t$0005\t1\tro") + line("$2000\t$01\tGain\t$0015\t8\two") +
                   line("$2002\t$00\tScale\t$0010\t3\trwr") + line("$6040\t$00\tControlword\t$0006\t2\trww") +
                   line("$6041\t$00\tStatusword\t$0006\t2\tro");
        QTest::newRow("CompactSubObj names from [XXXXName] or name and number")
            << "compact_sub_obj.eds"
            << line("$1003\t$00\tNrOfObjects\t$0005\t1\tro") + line("$1003\t$01\tError field1\t$0007\t4\tro") +
                   line("$1003\t$02\tSecond error\t$0007\t4\tro") + line("$1003\t$03\tError field3\t$0007\t4\tro");
        QTest::newRow("CR LF and Latin-1")
            << "crlf_latin1.eds" << line("$2100\t$00\tDrehzahl Übersetzung\t$0003\t2\trw");
        QTest::newRow("LF and UTF-8") << "lf_utf8.eds" << line("$2101\t$00\tGröße\t$0002\t1\tro");
    }
    void objectListing()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QCOMPARE(objectsOf(file.toLatin1().constData()), expected);
    }

    void pdoListing()
    {
        // RPDO1: 29-bit identifier in octal; TPDO1 by $NODEID with a 6-byte mapping;
        // TPDO2 switched off and its mapping count without default maps nothing.
        QCOMPARE(edsPdosText(devicePdos(readDeviceEds(fixture("pdo_mappings.eds")), 5)),
                 line("RPDO\t1\t$1234567\tvalid\t2") + line("TPDO\t1\t$185\tvalid\t6") +
                     line("TPDO\t2\t$285\tinvalid\t0"));
        // A DCF is read by its default values, not by the ParameterValue it was set to.
        QCOMPARE(edsPdosText(devicePdos(readDeviceEds(fixture("device_values.dcf")), 5)),
                 line("TPDO\t1\t$185\tvalid\t0"));
    }

    void values_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<quint32>("value");
        QTest::newRow("decimal") << "384" << true << 384u;
        QTest::newRow("hex") << "0x180" << true << 0x180u;
        QTest::newRow("octal") << "0600" << true << 0600u;
        QTest::newRow("zero") << "0" << true << 0u;
        QTest::newRow("node first") << "$NODEID+0x180" << true << 0x185u;
        QTest::newRow("node last, any case, blanks") << "0x200 + $nodeid" << true << 0x205u;
        QTest::newRow("largest") << "0xFFFFFFFF" << true << 0xFFFFFFFFu;
        QTest::newRow("beyond 32 bits") << "0x100000000" << false << 0u;
        QTest::newRow("sum beyond 32 bits") << "0xFFFFFFFF+$NODEID" << false << 0u;
        QTest::newRow("8 is no octal digit") << "08" << false << 0u;
        QTest::newRow("empty") << "" << false << 0u;
        QTest::newRow("text") << "abc" << false << 0u;
        QTest::newRow("dangling plus") << "0x180+" << false << 0u;
    }
    void values()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(quint32, value);
        quint32 got = 0;
        QCOMPARE(parseEdsValue(text, 5, got), ok);
        if (ok)
            QCOMPARE(got, value);
    }

    void brokenFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("says");
        QTest::newRow("section not closed") << QByteArray("; c\n[1000\n") << 2 << "not closed";
        QTest::newRow("entry before any section") << QByteArray("\nDataType=7\n") << 2 << "DataType=7";
        QTest::newRow("line without =") << QByteArray("[1000]\r\nDataType\r\n") << 2 << "DataType";
        QTest::newRow("bad data type") << QByteArray("[1000]\nDataType=0x7G\nAccessType=ro\n") << 2 << "0x7G";
        QTest::newRow("no data type") << QByteArray("[1000]\nAccessType=ro\n") << 1 << "DataType";
        QTest::newRow("unknown access") << QByteArray("[1000]\nDataType=7\nAccessType=rx\n") << 3 << "rx";
        QTest::newRow("bad sub-entry") << QByteArray("[1018]\nObjectType=9\n[1018sub1]\nDataType=7\n") << 3
                                       << "AccessType";
    }
    void brokenFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, says);
        try {
            parseDeviceEds(bytes, QStringLiteral("dev.eds"));
            QFAIL("refused nothing");
        } catch (const TessiroError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("dev.eds, line %1: ").arg(line)), qPrintable(e.message()));
            QVERIFY2(e.message().contains(says), qPrintable(e.message()));
        }
    }

    void unreadableCobIdNamesItsLine()
    {
        const DeviceEds eds = parseDeviceEds(
            "[1800]\nObjectType=9\n[1800sub1]\nDataType=7\nAccessType=rw\nDefaultValue=$NODEID+x\n", "d.eds");
        QVERIFY_THROWS_EXCEPTION(TessiroError, devicePdos(eds, 1));
        try {
            devicePdos(eds, 1);
        } catch (const TessiroError &e) {
            QVERIFY(e.message().startsWith(QStringLiteral("d.eds, line 6: ")));
        }
    }

    // The gateway's own EDS read back: every entry it writes is found with its type and access.
    void gatewayEdsRoundTrip()
    {
        const QString path = sourcePath(QStringLiteral("tests/core/eds/three_rpdo_two_tpdo.eds"));
        const DeviceEds eds = readDeviceEds(path);
        const QString text = QString::fromLatin1(readFileBytes(path));
        const QRegularExpression section(QStringLiteral("^\\[([0-9A-F]{4})(?:sub([0-9A-F]+))?\\]\\r?$"),
                                         QRegularExpression::MultilineOption);
        int found = 0;
        for (const QRegularExpressionMatch &m : section.globalMatch(text)) {
            const qsizetype end = text.indexOf(u'[', m.capturedEnd());
            const QString body = text.mid(m.capturedEnd(), end < 0 ? -1 : end - m.capturedEnd());
            const QRegularExpression type(QStringLiteral("DataType=0x([0-9A-Fa-f]+)"));
            const QRegularExpression access(QStringLiteral("AccessType=(\\w+)"));
            const auto t = type.match(body);
            if (!t.hasMatch())
                continue;
            const DeviceEdsEntry *entry =
                eds.find(quint16(m.captured(1).toUInt(nullptr, 16)), quint8(m.captured(2).toUInt(nullptr, 16)));
            QVERIFY2(entry, qPrintable(m.captured(0)));
            QCOMPARE(entry->dataType, quint16(t.captured(1).toUInt(nullptr, 16)));
            QCOMPARE(entry->access, access.match(body).captured(1).toLower());
            ++found;
        }
        QVERIFY(found > 50);
        QCOMPARE(devicePdos(eds, 1).size(), 20);
    }

    // IN reads the device, OUT writes it; a missing object, a wrong size and a
    // read-only object written are each named by row.
    void mapRowsAgainstDevice()
    {
        QTemporaryDir dir;
        ProjectState project;
        project.ProjectDir = QDir::toNativeSeparators(dir.path());
        project.UpdateProjectFiles();
        writeFileBytes(project.ProjectFiles.SdoPath,
                       sdoFile(sdoRow("$6041", "2", "$00") + sdoRow("$6042", "2") + sdoRow("$6040", "4"),
                               sdoRow("$6040", "2") + sdoRow("$6041", "2")));
        const DeviceEds eds = readDeviceEds(fixture("var_array_record.eds"));
        QStringList got;
        for (const ConfigProblem &p : checkSdoMapAgainstDevice(project, eds))
            got << p.where + u'|' + p.message;
        QCOMPARE(got,
                 QStringList({
                     QStringLiteral("row 2 of ByteIN|the device has no object $6042 sub $00 in \"%1\"").arg(eds.path),
                     QStringLiteral("row 3 of ByteIN|nByte is 4 but the device's object $6040 sub $00 has 2 bytes"),
                     QStringLiteral("row 2 of ByteOUT|the device's object $6041 sub $00 cannot be written "
                                    "(AccessType ro)"),
                 }));
        const CliRun run =
            runCli({QStringLiteral("check"), dir.path(), QStringLiteral("--device"), fixture("var_array_record.eds")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("row 2 of ByteIN: the device has no object $6042 sub $00"), run.err.constData());
    }

    // The IN list takes the device's TPDOs, the OUT list its RPDOs. Each row is
    // named with what is wrong: no such PDO, the other direction's PDO, a PDO the
    // device has switched off, a length that differs.
    void pdoRowsAgainstDevice()
    {
        QTemporaryDir dir;
        ProjectState project;
        project.ProjectDir = QDir::toNativeSeparators(dir.path());
        project.UpdateProjectFiles();
        writeFileBytes(project.ProjectFiles.PdoPath,
                       pdoFile(pdoRow("$185", "6") + pdoRow("$186", "2") + pdoRow("$205", "2") + pdoRow("645", "2") +
                                   pdoRow("$185", "4"),
                               pdoRow("$205", "2") + pdoRow("$185", "6")));
        const DeviceEds eds = readDeviceEds(fixture("drive.eds"));
        QStringList got;
        for (const ConfigProblem &p : checkPdoMapAgainstDevice(project, eds, 5))
            got << p.where + u'|' + p.message;
        QCOMPARE(got, QStringList({
                          QStringLiteral("row 2 of ByteIN_TPDO|the device has no TPDO with COB-ID $186 in \"%1\" "
                                         "(node ID 5)")
                              .arg(eds.path),
                          QStringLiteral("row 3 of ByteIN_TPDO|COB-ID $205 is the device's RPDO1, but this list "
                                         "takes the device's TPDOs"),
                          QStringLiteral("row 4 of ByteIN_TPDO|the device's TPDO2 (COB-ID $285) is switched off "
                                         "(bit 31 of its COB-ID)"),
                          QStringLiteral("row 5 of ByteIN_TPDO|Dimension is 4 but the device's TPDO1 (COB-ID $185) "
                                         "carries 6 bytes"),
                          QStringLiteral("row 2 of ByteOUT_RPDO|COB-ID $185 is the device's TPDO1, but this list "
                                         "takes the device's RPDOs"),
                      }));

        // The command line takes the node ID from --node, else from the project's device.xml.
        const QString drive = fixture("drive.eds");
        CliRun run = runCli({QStringLiteral("check"), dir.path(), QStringLiteral("--device"), drive,
                             QStringLiteral("--node"), QStringLiteral("5")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("row 2 of ByteIN_TPDO: the device has no TPDO with COB-ID $186"),
                 run.err.constData());
        run = runCli({QStringLiteral("check"), dir.path(), QStringLiteral("--device"), drive});
        QVERIFY2(run.err.contains("the PDO rows were not compared with the device: its node ID is not known"),
                 run.err.constData());
        QVERIFY(!run.err.contains("ByteIN_TPDO"));
        writeFileBytes(deviceLinkPath(dir.path()), "<Device><Eds/><NodeId>6</NodeId></Device>");
        run = runCli({QStringLiteral("check"), dir.path(), QStringLiteral("--device"), drive});
        QVERIFY2(run.err.contains("row 1 of ByteIN_TPDO: the device has no TPDO with COB-ID $185"),
                 run.err.constData());
        run = runCli({QStringLiteral("check"), dir.path(), QStringLiteral("--device"), drive, QStringLiteral("--node"),
                      QStringLiteral("0")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("NODE_ID \"0\" is not a CANopen node ID"), run.err.constData());
    }

    // What the main window shows before generating: nothing without a remembered
    // device; the rows, or why the EDS did not read, with one.
    void projectRemembersDevice()
    {
        QTemporaryDir dir;
        ProjectState project;
        project.ProjectDir = QDir::toNativeSeparators(dir.path());
        project.UpdateProjectFiles();
        writeFileBytes(project.ProjectFiles.SdoPath, sdoFile(sdoRow("$6042", "2"), {}));
        QVERIFY(checkProjectAgainstDevice(project).isEmpty());

        saveDeviceLink(deviceLinkPath(project.ProjectDir), {fixture("drive.eds"), 5});
        QStringList got;
        for (const ConfigProblem &p : checkProjectAgainstDevice(project))
            got << p.where + u'|' + p.message;
        QCOMPARE(got.size(), 1);
        QVERIFY2(got.first().startsWith("row 1 of ByteIN|the device has no object $6042 sub $00"), qPrintable(got[0]));

        const QString broken = dir.filePath(QStringLiteral("broken.eds"));
        writeFileBytes(broken, "[1000\n");
        saveDeviceLink(deviceLinkPath(project.ProjectDir), {broken, 5});
        const QList<ConfigProblem> unread = checkProjectAgainstDevice(project);
        QCOMPARE(unread.size(), 1);
        QVERIFY2(unread.first().message.contains(", line 1: "), qPrintable(unread.first().message));
    }

    void commandLine()
    {
        CliRun run = runCli({QStringLiteral("eds-objects"), fixture("compact_sub_obj.eds")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::fromUtf8(run.out), objectsOf("compact_sub_obj.eds"));
        run = runCli({QStringLiteral("eds-pdos"), fixture("pdo_mappings.eds"), QStringLiteral("5")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("TPDO\t1\t$185\tvalid\t6\n"));
        run = runCli({QStringLiteral("eds-pdos"), fixture("pdo_mappings.eds"), QStringLiteral("128")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("128"));
        QTemporaryDir dir;
        writeFileBytes(dir.filePath(QStringLiteral("bad.eds")), "[1000]\nAccessType=ro\n");
        run = runCli({QStringLiteral("eds-objects"), dir.filePath(QStringLiteral("bad.eds"))});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("bad.eds, line 1: "));
    }
};

QTEST_GUILESS_MAIN(TestDeviceEds)
#include "tst_DeviceEds.moc"
