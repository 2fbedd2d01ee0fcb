#include "base/Paths.h"
#include "config/DeviceLink.h"
#include "config/Messages.h"
#include "image/Messages.h"
#include "project/AppContext.h"
#include "project/ProjectStore.h"
#include "shell/UTessiroFirmWare.h"
#include "support/GuiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The main window in a program directory of its own, on a new project.
struct Setup : TestContext {
    QTemporaryDir app;
    TFTessiroFirmWare window{ctx, app.path()};

    Setup()
    {
        store.createProject(store.state().ProjectsDir, QStringLiteral("Line1"));
        projectDir = store.state().ProjectDir;
        writeFileBytes(joinPath(projectDir, QStringLiteral("pargen.xml")),
                       "<Par_Gen><Can_Dev_Id>7</Can_Dev_Id><Can_Baud>1</Can_Baud><Net_Dev_Id>2</Net_Dev_Id>"
                       "<Net_Baud>0</Net_Baud><Time_Out_SDO>100</Time_Out_SDO></Par_Gen>");
    }
    QStringList binFiles() const { return QDir(joinPath(projectDir, QStringLiteral("bin"))).entryList(QDir::Files); }
    QPushButton *button(const char *name) const { return window.findChild<QPushButton *>(QString::fromLatin1(name)); }

    QString projectDir;
};

const QStringList AllBinFiles = {QStringLiteral("bank1.bin"), QStringLiteral("bank2.bin"), QStringLiteral("bank3.bin"),
                                 QStringLiteral("bank4.bin"), QStringLiteral("bank5.bin"), QStringLiteral("bankg.c")};

// Clicks button and returns the object names of the modal windows it opened (each closed at once).
QStringList modalsOpenedBy(QPushButton *button)
{
    QStringList opened;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&opened] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened << modal->objectName();
            closeModal(modal);
        }
    });
    closer.start();
    button->click();
    return opened;
}

} // namespace

class TestUpdateDevice : public QObject {
    Q_OBJECT
private slots:
    void generatesThenOpensTheFirmwareWindow()
    {
        Setup s;
        QStringList filesWhenOpened;
        whenModalOpens([&](QWidget *modal) {
            QCOMPARE(modal->objectName(), QStringLiteral("TFModifyFileSx"));
            QCOMPARE(modal->windowTitle(), QStringLiteral("Generate Firmware"));
            filesWhenOpened = s.binFiles();
            closeModal(modal);
        });
        QTest::mouseClick(s.button("CreateBin"), Qt::LeftButton);
        QCOMPARE(filesWhenOpened, AllBinFiles);
        QCOMPARE(s.window.findChild<QLabel *>(QStringLiteral("Labelstate"))->toolTip(),
                 "Banks written to " + joinPath(s.projectDir, QStringLiteral("bin")));
        QCOMPARE(s.notices.generalErrors, QStringList());
    }

    // Rows that do not fit the device the project remembers are shown, and the
    // banks are generated all the same.
    void deviceWarningsDoNotStopGeneration()
    {
        Setup s;
        writeFileBytes(joinPath(s.projectDir, QStringLiteral("sdo.xml")),
                       "<CanOpen_to_DeviceNet><ByteIN><row IdDev=\"1\" Index=\"$6042\" SubIndex=\"0\" NByte=\"2\" "
                       "Mnemonic=\"\"/></ByteIN><ByteOUT/></CanOpen_to_DeviceNet>");
        const QString eds = sourcePath(QStringLiteral("tests/core/config/eds/drive.eds"));
        saveDeviceLink(deviceLinkPath(s.projectDir), {eds, 5});
        QCOMPARE(modalsOpenedBy(s.button("CreateBin")), QStringList{QStringLiteral("TFModifyFileSx")});
        QCOMPARE(s.binFiles(), AllBinFiles);
        QCOMPARE(s.notices.notices.size(), 1);
        const QStringList lines = s.notices.notices.first().split(u'\n');
        QCOMPARE(lines.first(), ConfigMessages::DeviceWarnings);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[1].endsWith(
                     QStringLiteral("row 1 of ByteIN: the device has no object $6042 sub $00 in \"%1\"").arg(eds)),
                 qPrintable(lines[1]));
    }

    void failedGenerationOpensNoWindow()
    {
        Setup s;
        writeFileBytes(joinPath(s.projectDir, QStringLiteral("sdo.xml")), "<CanOpen_to_DeviceNet><ByteIN>");
        QCOMPARE(modalsOpenedBy(s.button("CreateBin")), QStringList());
        QCOMPARE(s.notices.generalErrors.size(), 1);
        QVERIFY(s.notices.generalErrors[0].startsWith(
            QStringLiteral("File \"%1\" is not valid XML").arg(joinPath(s.projectDir, QStringLiteral("sdo.xml")))));
        QCOMPARE(s.binFiles(), QStringList());
    }

    // No bank holds a value an editor would refuse, nor one that was never set.
    void refusedWhereTheEditorsWould_data()
    {
        QTest::addColumn<QByteArray>("pargen");
        QTest::addColumn<QString>("message");
        QTest::newRow("pargen.xml never saved") << QByteArray() << ConfigMessages::PargenMissingForBanks;
        QTest::newRow("a delay the editor refuses")
            << QByteArray(
                   "<Par_Gen><Can_Dev_Id>7</Can_Dev_Id><Can_Baud>1</Can_Baud><Net_Dev_Id>2</Net_Dev_Id>"
                   "<Net_Baud>0</Net_Baud><Time_Out_SDO>100</Time_Out_SDO><Ope_TimeOut>300</Ope_TimeOut></Par_Gen>")
            << "%1: " + ConfigMessages::DelayRange;
    }
    void refusedWhereTheEditorsWould()
    {
        QFETCH(QByteArray, pargen);
        QFETCH(QString, message);
        Setup s;
        const QString pargenPath = joinPath(s.projectDir, QStringLiteral("pargen.xml"));
        QFile::remove(pargenPath);
        if (!pargen.isEmpty())
            writeFileBytes(pargenPath, pargen);
        QCOMPARE(modalsOpenedBy(s.button("CreateBin")), QStringList());
        QCOMPARE(s.notices.generalErrors, QStringList{message.replace(QStringLiteral("%1"), pargenPath)});
        QCOMPARE(s.binFiles(), QStringList());
    }

    void hiddenGenerateFirmwareButtonDoesNotGenerate()
    {
        Setup s;
        QCOMPARE(modalsOpenedBy(s.button("CreateSx")), QStringList({QStringLiteral("TFModifyFileSx")}));
        QCOMPARE(s.binFiles(), QStringList());
    }

    void refusedWithoutProject()
    {
        Setup s;
        QDir(s.projectDir).removeRecursively();
        s.store.prepareOpen(); // forgets the vanished project
        QVERIFY(!s.store.state().hasValidProject());
        QCOMPARE(modalsOpenedBy(s.button("CreateBin")), QStringList());
        QCOMPARE(s.notices.notices, QStringList({QStringLiteral("Project not valid")}));
        QVERIFY(!QFileInfo::exists(s.projectDir));
    }
};

QTEST_MAIN(TestUpdateDevice)
#include "tst_UpdateDevice.moc"
