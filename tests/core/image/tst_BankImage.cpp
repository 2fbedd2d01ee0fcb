#include "base/TessiroError.h"
#include "image/BankImage.h"
#include "project/ProjectStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray EmptySdo = "<CanOpen_to_DeviceNet><ByteIN/><ByteOUT/></CanOpen_to_DeviceNet>";
const QByteArray EmptyPdo = "<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO/><ByteOUT_RPDO/></CanOpen_PDO_to_DeviceNet>";
const QByteArray DefaultPargen = "<Par_Gen><Can_Dev_Id>1</Can_Dev_Id><Can_Baud>0</Can_Baud><Net_Dev_Id>1</Net_Dev_Id>"
                                 "<Net_Baud>0</Net_Baud><Time_Out_SDO>10000</Time_Out_SDO><Ope_Dev>0</Ope_Dev>"
                                 "<Ope_Net>0</Ope_Net><Ope_TimeOut>0</Ope_TimeOut></Par_Gen>";

QByteArray sdoWith(const QByteArray &inRows, const QByteArray &outRows)
{
    return "<CanOpen_to_DeviceNet><ByteIN>" + inRows + "</ByteIN><ByteOUT>" + outRows +
           "</ByteOUT></CanOpen_to_DeviceNet>";
}

QByteArray sdoRow(const char *id, const char *index, const char *sub, const char *n)
{
    return QByteArray("<row IdDev=\"") + id + "\" Index=\"" + index + "\" SubIndex=\"" + sub + "\" NByte=\"" + n +
           "\" Mnemonic=\"\"/>";
}

QByteArray pdoRow(const char *cob, const char *dim)
{
    return QByteArray("<row Cob_Id=\"") + cob + "\" Dimension=\"" + dim + "\" Mnemonic=\"m\"/>";
}

QByteArray pargenWith(const QByteArray &children)
{
    return "<Par_Gen>" + children + "</Par_Gen>";
}

QByteArray bytesAt(const BankImage &image, int offset, int count)
{
    return image.bank(0).mid(offset, count);
}

class Project {
public:
    Project() { QDir(dir.path()).mkdir(QStringLiteral("bin")); }
    QString path() const { return dir.path(); }
    ProjectFiles files() const { return projectFiles(dir.path()); }
    QString file(const QString &name) const { return QDir(dir.path()).filePath(name); }
    void write(const char *name, const QByteArray &content)
    {
        writeFileBytes(file(QString::fromLatin1(name)), content);
    }

private:
    QTemporaryDir dir;
};

QString buildError(const ProjectFiles &files)
{
    try {
        BuildBankImage(files);
    } catch (const TessiroError &e) {
        return e.message();
    }
    return {};
}

} // namespace

class TestBankImage : public QObject {
    Q_OBJECT
private slots:
    void newProjectGivesOnlyPargenFields()
    {
        Project project;
        project.write("sdo.xml", EmptySdo);
        project.write("pdo.xml", EmptyPdo);
        project.write("pargen.xml", DefaultPargen);
        GenerateDeviceImage(project.files());

        QByteArray expected(16384, '\0');
        expected[15000] = 1;
        expected[15002] = 1;
        expected[15004] = 0x27;
        expected[15005] = 0x10;
        QCOMPARE(readFileBytes(project.file(QStringLiteral("bin/bank1.bin"))), expected);
        for (int k = 2; k <= 5; ++k)
            QCOMPARE(readFileBytes(project.file(QStringLiteral("bin/bank%1.bin").arg(k))), QByteArray(16384, '\0'));
    }

    void tablesAtTheirOffsets()
    {
        Project project;
        project.write("sdo.xml", sdoWith(sdoRow("1", "$2000", "$01", "4") + sdoRow("2", "8192", "3", "1"),
                                         sdoRow("1", "0x6000", "1", "2")));
        project.write("pdo.xml", "<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO>" + pdoRow("0x181", "8") +
                                     pdoRow("$281", "4") + "</ByteIN_TPDO><ByteOUT_RPDO>" + pdoRow("513", "2") +
                                     "</ByteOUT_RPDO></CanOpen_PDO_to_DeviceNet>");
        const BankImage image = BuildBankImage(project.files());

        QCOMPARE(bytesAt(image, 0, 6), QByteArray::fromHex("010160000102"));
        QCOMPARE(bytesAt(image, 2000, 11), QByteArray::fromHex("02"
                                                               "0120000104"
                                                               "0220000301"));
        QCOMPARE(bytesAt(image, 4000, 7), QByteArray::fromHex("02"
                                                              "018108"
                                                              "028104"));
        QCOMPARE(bytesAt(image, 5000, 4), QByteArray::fromHex("01"
                                                              "020102"));
        // Nothing beyond the entries; no pargen.xml, so its fields stay zero.
        QCOMPARE(bytesAt(image, 6, 1994), QByteArray(1994, '\0'));
        QCOMPARE(bytesAt(image, 15000, 16), QByteArray(16, '\0'));
    }

    void indexForms_data()
    {
        QTest::addColumn<QByteArray>("index");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("dollar") << QByteArray("$1A00") << QByteArray::fromHex("1A00");
        QTest::newRow("0x") << QByteArray("0x1A00") << QByteArray::fromHex("1A00");
        QTest::newRow("decimal") << QByteArray("6656") << QByteArray::fromHex("1A00");
        QTest::newRow("low 16 bits of a larger value") << QByteArray("$12345") << QByteArray::fromHex("2345");
        QTest::newRow("negative") << QByteArray("-1") << QByteArray::fromHex("FFFF");
    }
    void indexForms()
    {
        QFETCH(QByteArray, index);
        QFETCH(QByteArray, bytes);
        Project project;
        project.write("sdo.xml", sdoWith({}, sdoRow("1", index.constData(), "1", "2")));
        QCOMPARE(bytesAt(BuildBankImage(project.files()), 2, 2), bytes);
    }

    void pargenFields()
    {
        Project project;
        project.write("pargen.xml",
                      pargenWith("<Can_Dev_Id>$7F</Can_Dev_Id><Can_Baud>8</Can_Baud><Net_Dev_Id>300</Net_Dev_Id>"
                                 "<Net_Baud>2</Net_Baud><Time_Out_SDO>65535</Time_Out_SDO><Ope_Dev>1</Ope_Dev>"
                                 "<Ope_Net>1</Ope_Net><Ope_TimeOut>255</Ope_TimeOut>"));
        const BankImage image = BuildBankImage(project.files());
        // 300 keeps its low 8 bits (44); 15008-15009 are never written.
        QCOMPARE(bytesAt(image, 15000, 11), QByteArray::fromHex("7F082C02FFFF01010000FF"));
    }

    void optionalPargenFieldsFallBackToZero()
    {
        Project project;
        project.write("pargen.xml", pargenWith("<Can_Dev_Id>5</Can_Dev_Id><Can_Baud>1</Can_Baud><Net_Dev_Id>6"
                                               "</Net_Dev_Id><Net_Baud>1</Net_Baud><Time_Out_SDO>10</Time_Out_SDO>"
                                               "<Ope_Net>yes</Ope_Net>"));
        const BankImage image = BuildBankImage(project.files());
        QCOMPARE(bytesAt(image, 15000, 11), QByteArray::fromHex("0501060100"
                                                                "0A00000000"
                                                                "00"));
    }

    // Each generation starts from zeroed banks: a missing file gives empty tables,
    // never the tables of a project generated before.
    void missingFilesLeaveTablesEmpty()
    {
        Project full;
        full.write("sdo.xml", sdoWith(sdoRow("1", "1", "1", "1"), sdoRow("1", "2", "2", "2")));
        full.write("pdo.xml", "<a><ByteIN_TPDO>" + pdoRow("1", "1") + "</ByteIN_TPDO><ByteOUT_RPDO>" +
                                  pdoRow("2", "2") + "</ByteOUT_RPDO></a>");
        full.write("pargen.xml", DefaultPargen);
        GenerateDeviceImage(projectFiles(full.path()));

        Project bare;
        GenerateDeviceImage(projectFiles(bare.path()));
        QCOMPARE(readFileBytes(bare.file(QStringLiteral("bin/bank1.bin"))), QByteArray(16384, '\0'));
    }

    void brokenProjectFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");

        QTest::newRow("CANopen id not a number") << "pargen.xml" << pargenWith("<Can_Dev_Id>abc</Can_Dev_Id>")
                                                 << "'abc' is not a valid integer value\nFile %1, element Can_Dev_Id";
        QTest::newRow("required pargen element missing")
            << "pargen.xml"
            << pargenWith("<Can_Dev_Id>1</Can_Dev_Id><Can_Baud>0</Can_Baud><Net_Dev_Id>1</Net_Dev_Id>"
                          "<Net_Baud>0</Net_Baud>")
            << "File %1: element Time_Out_SDO not found";
        QTest::newRow("baud not a number")
            << "pargen.xml" << pargenWith("<Can_Dev_Id>1</Can_Dev_Id><Can_Baud></Can_Baud>")
            << "'' is not a valid integer value\nFile %1, element Can_Baud";
        QTest::newRow("sdo list missing")
            << "sdo.xml" << QByteArray("<CanOpen_to_DeviceNet><ByteIN/></CanOpen_to_DeviceNet>")
            << "File %1: element ByteOUT not found";
        QTest::newRow("sdo attribute missing")
            << "sdo.xml" << sdoWith(sdoRow("1", "1", "1", "1") + "<row IdDev=\"1\" Index=\"1\" SubIndex=\"1\"/>", {})
            << "File %1: row 2 of ByteIN has no attribute NByte";
        QTest::newRow("sdo index not a number")
            << "sdo.xml" << sdoWith({}, sdoRow("1", "$1G", "1", "1"))
            << "'$1G' is not a valid integer value\nFile %1, row 1 of ByteOUT, attribute Index";
        QTest::newRow("pdo list missing") << "pdo.xml"
                                          << QByteArray("<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO/>"
                                                        "</CanOpen_PDO_to_DeviceNet>")
                                          << "File %1: element ByteOUT_RPDO not found";
        QTest::newRow("broken xml") << "pdo.xml" << QByteArray("<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO>")
                                    << "File \"%1\" is not valid XML: Start-end tags mismatch (at byte 38).";
        QByteArray rows;
        for (int i = 0; i < 256; ++i)
            rows += pdoRow("1", "1");
        QTest::newRow("more rows than a count byte holds")
            << "pdo.xml"
            << "<a><ByteIN_TPDO>" + rows + "</ByteIN_TPDO><ByteOUT_RPDO/></a>"
            << "File %1: ByteIN_TPDO holds 256 rows, at most 255 fit in a bank";
    }
    void brokenProjectFiles()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        Project project;
        project.write(file.toLatin1().constData(), content);
        QCOMPARE(buildError(project.files()), message.arg(QDir::toNativeSeparators(project.file(file))));

        // The generation stops before any file is written.
        QVERIFY_THROWS_EXCEPTION(TessiroError, GenerateDeviceImage(project.files()));
        QCOMPARE(QDir(project.file(QStringLiteral("bin"))).entryList(QDir::Files), QStringList());
    }

    void binDirectoryIsCreatedWhenMissing()
    {
        Project project;
        QDir(project.file(QStringLiteral("bin"))).removeRecursively();
        GenerateDeviceImage(project.files());
        QCOMPARE(QDir(project.file(QStringLiteral("bin"))).entryList(QDir::Files).size(), 6);

        // A project folder deleted while it was open is reported, not made again.
        const QString gone = project.file(QStringLiteral("gone"));
        try {
            GenerateDeviceImage(projectFiles(gone));
            QFAIL("a vanished project directory was not reported");
        } catch (const TessiroError &e) {
            QCOMPARE(e.message(), QStringLiteral("Directory %1 could not be created")
                                      .arg(QDir::toNativeSeparators(gone + QStringLiteral("/bin"))));
        }
        QVERIFY(!QFileInfo::exists(gone));
    }

    void unwritableBankFileStopsTheGeneration()
    {
        Project project;
        QDir(project.file(QStringLiteral("bin"))).mkdir(QStringLiteral("bank3.bin"));
        try {
            GenerateDeviceImage(project.files());
            QFAIL("a bank file that cannot be written was not reported");
        } catch (const TessiroError &e) {
            QVERIFY2(e.message().startsWith(
                         QStringLiteral("File %1 could not be written: ")
                             .arg(QDir::toNativeSeparators(project.file(QStringLiteral("bin/bank3.bin"))))),
                     qPrintable(e.message()));
        }
        QCOMPARE(QDir(project.file(QStringLiteral("bin"))).entryList(QDir::Files),
                 QStringList({QStringLiteral("bank1.bin"), QStringLiteral("bank2.bin")}));
    }

    void sourceText()
    {
        BankImage image;
        const char first[] = {1, 1, 0x60, 0, 1, 2};
        for (int i = 0; i < 6; ++i)
            image.setByte(i, first[i]);
        image.setByte(16, 10);
        image.setByte(17, 255);
        const QByteArray text = BankSourceText(image);

        QCOMPARE(text.size(), 117824);
        QVERIFY(text.endsWith("\r\n"));
        const QList<QByteArray> lines = text.chopped(1).split('\n');
        QCOMPARE(lines.size(), 1027);
        for (const QByteArray &line : lines)
            QVERIFY(line.endsWith('\r'));

        const QByteArray spaces(17, ' ');
        const QByteArray zeros = QByteArray(" 0x00,").repeated(16);
        QCOMPARE(lines[0], QByteArray("#pragma CONST_SEG SEGMENT0\r"));
        QCOMPARE(lines[1], "const char Bank1 [] = { 0x01, 0x01, 0x60, 0x00, 0x01, 0x02," +
                               QByteArray(" 0x00,").repeated(10) + "\r");
        QCOMPARE(lines[2], spaces + " 0x0A, 0xFF," + QByteArray(" 0x00,").repeated(14) + "\r");
        QCOMPARE(lines[3], spaces + zeros + "\r");
        QCOMPARE(lines[1023], spaces + zeros + "\r");
        QCOMPARE(lines[1024], spaces + QByteArray(" 0x00,").repeated(15) + " 0x00};\r");
        QCOMPARE(lines[1025], QByteArray("\r"));
        QCOMPARE(lines[1026], QByteArray("#pragma CONST_SEG DEFAULT\r"));
    }

    void sourceFileIsWrittenToBin()
    {
        Project project;
        const BankImage image;
        WriteBankSource(image, project.files());
        QCOMPARE(readFileBytes(project.file(QStringLiteral("bin/bankg.c"))), BankSourceText(image));

        QDir(project.file(QStringLiteral("bin"))).removeRecursively();
        try {
            WriteBankSource(image, project.files());
            QFAIL("a missing bin directory was not reported");
        } catch (const TessiroError &e) {
            QVERIFY(e.message().contains(QDir::toNativeSeparators(project.file(QStringLiteral("bin/bankg.c")))));
        }
    }
};

QTEST_GUILESS_MAIN(TestBankImage)
#include "tst_BankImage.moc"
