#include "PdoXmlFixture.h"
#include "base/Paths.h"
#include "base/TessiroError.h"
#include "cli/CliCommands.h"
#include "cli/Messages.h"
#include "eds/EdsWriter.h"
#include "eds/Messages.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Untouched = "an earlier EDS\r\n";

QByteArray golden()
{
    return readFileBytes(sourcePath(QString::fromLatin1(GoldenEdsFile)));
}

// The golden text with the twenty COB-ID lines replaced: every other line is the
// same for every project.
QByteArray withCobIds(const QList<quint32> &rpdo, const QList<quint32> &tpdo)
{
    QList<QByteArray> lines = golden().split('\n');
    auto replace = [&](quint16 first, const QList<quint32> &values) {
        for (int k = 0; k < 10; ++k) {
            const QByteArray header = "[" + QByteArray::number(first + k, 16).toUpper() + "sub1]\r";
            const qsizetype at = lines.indexOf(header);
            QVERIFY(at >= 0);
            QVERIFY(lines[at + 4].startsWith("DefaultValue=0x"));
            lines[at + 4] =
                "DefaultValue=0x" + QByteArray::number(values[k], 16).toUpper().rightJustified(8, '0') + '\r';
        }
    };
    replace(0x1400, rpdo);
    replace(0x1800, tpdo);
    return lines.join('\n');
}

QList<quint32> padded(QList<quint32> values, quint32 fixed)
{
    while (values.size() < 10)
        values << fixed;
    return values;
}

QStringList sequence(const QString &prefix, int first, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << prefix + QString::number(first + i, 16).toUpper();
    return out;
}

QString writeProject(const QTemporaryDir &tmp, const QString &name, const QByteArray *pdo)
{
    const QString dir = tmp.filePath(name);
    QDir().mkpath(dir);
    if (pdo)
        writeFileBytes(joinPath(dir, QStringLiteral("pdo.xml")), *pdo);
    return dir;
}

} // namespace

class TestEdsWriter : public QObject {
    Q_OBJECT
private slots:
    void goldenProject()
    {
        QTemporaryDir tmp;
        const QByteArray pdo = goldenPdoXml();
        const QString project = writeProject(tmp, QStringLiteral("p"), &pdo);
        // Saved under another name, the file still calls itself QE4470.eds.
        const QString target = tmp.filePath(QStringLiteral("Gateway.eds"));
        writeFileBytes(target, Untouched);
        WriteEdsFile(target, projectFiles(project).PdoPath);

        const QByteArray text = readFileBytes(target);
        QCOMPARE(text, golden());
        QVERIFY(text.contains("\r\nFileName=QE4470.eds\r\n"));
        QCOMPARE(text.count("\r\n"), 4147);
        QCOMPARE(text.count('\n'), 4147);
        QCOMPARE(text.count('\r'), 4147);
        QCOMPARE(text.count("\r\n["), 532 - 1);
        QVERIFY(text.startsWith("[FileInfo]\r\n"));
        QVERIFY(text.endsWith("\r\nPDOMapping=1\r\n\r\n\r\n"));
    }

    void cobIdLines_data()
    {
        QTest::addColumn<bool>("hasPdoXml");
        QTest::addColumn<QByteArray>("pdo");
        QTest::addColumn<QList<quint32>>("rpdo");
        QTest::addColumn<QList<quint32>>("tpdo");

        const QList<quint32> none;
        QTest::newRow("no pdo.xml") << false << QByteArray() << none << none;
        QTest::newRow("two empty lists") << true << pdoXml({}, {}) << none << none;
        QTest::newRow("empty lists written open")
            << true
            << QByteArray("<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO></ByteIN_TPDO><ByteOUT_RPDO></ByteOUT_RPDO>"
                          "</CanOpen_PDO_to_DeviceNet>")
            << none << none;
        QTest::newRow("decimal and other forms") << true << pdoXml({"385", "0x182", " +387"}, {"X201", "514"})
                                                 << QList<quint32>{0x181, 0x182, 0x183} << QList<quint32>{0x201, 0x202};
        QTest::newRow("only the transmit list") << true << pdoXml({}, {"$7FF"}) << none << QList<quint32>{0x7FF};
        QTest::newRow("32-bit pattern unchanged")
            << true << pdoXml({"-1", "$80000000"}, {"$FFFFFFFF"}) << QList<quint32>{0xFFFFFFFF, 0x80000000}
            << QList<quint32>{0xFFFFFFFF};
        QTest::newRow("ten rows each") << true << pdoXml(sequence("$", 0x181, 10), sequence("$", 0x201, 10))
                                       << QList<quint32>{0x181, 0x182, 0x183, 0x184, 0x185,
                                                         0x186, 0x187, 0x188, 0x189, 0x18A}
                                       << QList<quint32>{0x201, 0x202, 0x203, 0x204, 0x205,
                                                         0x206, 0x207, 0x208, 0x209, 0x20A};
        // Nothing past the tenth row is read, not even a broken one.
        QTest::newRow("rows after the tenth ignored")
            << true
            << pdoXml(sequence("$", 0x181, 10) << "abc"
                                               << "$300",
                      sequence("$", 0x201, 10) << "")
            << QList<quint32>{0x181, 0x182, 0x183, 0x184, 0x185, 0x186, 0x187, 0x188, 0x189, 0x18A}
            << QList<quint32>{0x201, 0x202, 0x203, 0x204, 0x205, 0x206, 0x207, 0x208, 0x209, 0x20A};
        QTest::newRow("declaration and line breaks")
            << true
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CanOpen_PDO_to_DeviceNet>\r\n"
                          "  <ByteOUT_RPDO>\r\n    <row Cob_Id=\"$190\"/>\r\n  </ByteOUT_RPDO>\r\n"
                          "  <ByteIN_TPDO/>\r\n</CanOpen_PDO_to_DeviceNet>\r\n")
            << QList<quint32>{0x190} << none;
    }

    void cobIdLines()
    {
        QFETCH(bool, hasPdoXml);
        QFETCH(QByteArray, pdo);
        QFETCH(QList<quint32>, rpdo);
        QFETCH(QList<quint32>, tpdo);

        QTemporaryDir tmp;
        const QString project = writeProject(tmp, QStringLiteral("p"), hasPdoXml ? &pdo : nullptr);
        const QString target = tmp.filePath(QStringLiteral("out.eds"));
        WriteEdsFile(target, projectFiles(project).PdoPath);
        QCOMPARE(readFileBytes(target), withCobIds(padded(rpdo, 0x200), padded(tpdo, 0x180)));
    }

    // A project without pdo.xml must not inherit the COB-IDs of the project read before it.
    void projectWithoutPdoXmlAfterOneWithRows()
    {
        QTemporaryDir tmp;
        const QByteArray pdo = goldenPdoXml();
        WriteEdsFile(tmp.filePath(QStringLiteral("a.eds")),
                     projectFiles(writeProject(tmp, QStringLiteral("a"), &pdo)).PdoPath);
        WriteEdsFile(tmp.filePath(QStringLiteral("b.eds")),
                     projectFiles(writeProject(tmp, QStringLiteral("b"), nullptr)).PdoPath);
        QCOMPARE(readFileBytes(tmp.filePath(QStringLiteral("b.eds"))),
                 withCobIds(padded({}, 0x200), padded({}, 0x180)));
    }

    void readFailures_data()
    {
        QTest::addColumn<QByteArray>("pdo");
        QTest::addColumn<QString>("message"); // %1: the path of pdo.xml

        QTest::newRow("abc in the receive list")
            << pdoXml({"$181", "abc"}, {}) << QStringLiteral("'abc' is not a valid integer value");
        QTest::newRow("abc in the transmit list")
            << pdoXml({"$181"}, {"abc"}) << QStringLiteral("'abc' is not a valid integer value");
        QTest::newRow("Cob_Id missing")
            << QByteArray("<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO><row Dimension=\"8\"/></ByteIN_TPDO>"
                          "<ByteOUT_RPDO/></CanOpen_PDO_to_DeviceNet>")
            << QStringLiteral("'' is not a valid integer value");
        QTest::newRow("nine hex digits") << pdoXml({"$100000000"}, {})
                                         << QStringLiteral("'$100000000' is not a valid integer value");
        QTest::newRow("text inside a list")
            << QByteArray("<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO/><ByteOUT_RPDO>x</ByteOUT_RPDO>"
                          "</CanOpen_PDO_to_DeviceNet>")
            << QStringLiteral("'' is not a valid integer value");
        QTest::newRow("broken XML") << QByteArray("<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO>")
                                    << QStringLiteral("File \"%1\" is not valid XML: ");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("File \"%1\" is not valid XML: ");
        QTest::newRow("no ByteOUT_RPDO")
            << QByteArray("<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO/></CanOpen_PDO_to_DeviceNet>")
            << QStringLiteral("File \"%1\": the root element has no \"ByteOUT_RPDO\" element.");
        QTest::newRow("no ByteIN_TPDO")
            << QByteArray("<CanOpen_PDO_to_DeviceNet><ByteOUT_RPDO/></CanOpen_PDO_to_DeviceNet>")
            << QStringLiteral("File \"%1\": the root element has no \"ByteIN_TPDO\" element.");
        QTest::newRow("lists one level too deep")
            << QByteArray("<a><CanOpen_PDO_to_DeviceNet><ByteIN_TPDO/><ByteOUT_RPDO/></CanOpen_PDO_to_DeviceNet></a>")
            << QStringLiteral("File \"%1\": the root element has no \"ByteOUT_RPDO\" element.");
    }

    // Every failure leaves the target as it was, and no stray file beside it.
    void readFailures()
    {
        QFETCH(QByteArray, pdo);
        QFETCH(QString, message);

        QTemporaryDir tmp;
        const QString project = writeProject(tmp, QStringLiteral("p"), &pdo);
        const QString outDir = tmp.filePath(QStringLiteral("out"));
        QDir().mkpath(outDir);
        const QString target = joinPath(outDir, QStringLiteral("Gateway.eds"));
        writeFileBytes(target, Untouched);

        const QString expected =
            message.contains(QLatin1String("%1"))
                ? message.arg(QDir::toNativeSeparators(joinPath(project, QStringLiteral("pdo.xml"))))
                : message;
        try {
            WriteEdsFile(target, projectFiles(project).PdoPath);
            QFAIL("no error");
        } catch (const TessiroError &e) {
            if (expected.endsWith(QLatin1String(": ")))
                QVERIFY2(e.message().startsWith(expected), qPrintable(e.message()));
            else
                QCOMPARE(e.message(), expected);
        }
        QCOMPARE(readFileBytes(target), Untouched);
        QCOMPARE(QDir(outDir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Gateway.eds")});
    }

    void targetCannotBeCreated()
    {
        QTemporaryDir tmp;
        const QString project = writeProject(tmp, QStringLiteral("p"), nullptr);
        const QString target = joinPath(tmp.filePath(QStringLiteral("missing")), QStringLiteral("Gateway.eds"));
        try {
            WriteEdsFile(target, projectFiles(project).PdoPath);
            QFAIL("no error");
        } catch (const TessiroError &e) {
            const QString start = QStringLiteral("Cannot create file \"%1\". ").arg(QDir::toNativeSeparators(target));
            QVERIFY2(e.message().startsWith(start) && e.message().size() > start.size(), qPrintable(e.message()));
        }
        QVERIFY(!QFileInfo::exists(tmp.filePath(QStringLiteral("missing"))));
    }

    void cliEds()
    {
        const CliCommandInfo &eds = EdsCliCommands[0];
        QCOMPARE(QByteArray(eds.name), QByteArray("eds"));
        QVERIFY(!EdsCliCommands[1].name);

        QTemporaryDir tmp;
        const QByteArray pdo = goldenPdoXml();
        const QString project = writeProject(tmp, QStringLiteral("p"), &pdo);
        const QString target = tmp.filePath(QStringLiteral("cli.eds"));
        RecordingNotices notices;

        QCOMPARE(eds.run({project, target}, notices), 0);
        QCOMPARE(notices.all(), QStringList());
        QCOMPARE(readFileBytes(target), golden());

        QCOMPARE(eds.run({project}, notices), 1);
        QCOMPARE(notices.all(), QStringList{CliMessages::Usage.arg(QStringLiteral("eds PROJECT_DIR OUTPUT_FILE"))});
        notices.clear();

        const QString missing = tmp.filePath(QStringLiteral("nope"));
        QCOMPARE(eds.run({missing, target}, notices), 1);
        QCOMPARE(notices.all(), QStringList{CliMessages::NoProjectDir.arg(QDir::toNativeSeparators(missing))});
        notices.clear();

        writeFileBytes(joinPath(project, QStringLiteral("pdo.xml")), pdoXml({"abc"}, {}));
        QCOMPARE(eds.run({project, target}, notices), 1);
        QCOMPARE(notices.generalErrors, QStringList{QStringLiteral("'abc' is not a valid integer value")});
        QCOMPARE(readFileBytes(target), golden());
    }

    // Into the project the command waits for the project's lock, as the desktop program's
    // step does; anywhere else it only reads the project and needs no lock.
    void cliEdsIntoTheProjectTakesItsLock()
    {
        QTemporaryDir tmp;
        const QByteArray pdo = goldenPdoXml();
        const QString project = writeProject(tmp, QStringLiteral("p"), &pdo);
        const QString inside = joinPath(project, QStringLiteral("Gateway.eds"));
        const QString outside = tmp.filePath(QStringLiteral("Gateway.eds"));
        RecordingNotices notices;
        {
            const ProjectWriteLock lock(project);
            QCOMPARE(EdsCliCommands[0].run({project, outside}, notices), 0);
            QCOMPARE(notices.all(), QStringList());
            QCOMPARE(EdsCliCommands[0].run({project, inside}, notices), 1);
            QCOMPARE(notices.all().size(), 1);
            QVERIFY2(notices.all().constFirst().startsWith(QStringLiteral("Project is in use by another program (")),
                     qPrintable(notices.all().constFirst()));
            QVERIFY(!QFileInfo::exists(inside));
        }
        notices.clear();
        QCOMPARE(EdsCliCommands[0].run({project, inside}, notices), 0);
        QCOMPARE(readFileBytes(inside), golden());
    }
};

QTEST_GUILESS_MAIN(TestEdsWriter)
#include "tst_EdsWriter.moc"
