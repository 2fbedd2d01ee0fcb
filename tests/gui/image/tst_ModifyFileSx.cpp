#include "base/Paths.h"
#include "image/BankImage.h"
#include "image/FirmwareMerge.h"
#include "image/Messages.h"
#include "image/ModifyFileSx.h"
#include "project/AppContext.h"
#include "project/ProjectLock.h"
#include "project/ProjectStore.h"
#include "shell/QtSeams.h"
#include "support/GuiTestSupport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Header = "S00600004844521B\r\n";
const QByteArray EndS8 = "S804000000FB\r\n";

// An S2 line of 32 bytes of 0x55 at address; only the merge's output is checked byte for byte.
QByteArray oldLine(quint32 address)
{
    return SetRecordChecksum(QByteArray("S224") + QByteArray::number(address, 16).toUpper().rightJustified(6, '0') +
                                 QByteArray(64, '5') + "00",
                             false) +
           "\r\n";
}

QByteArray masterFirmware()
{
    QByteArray text = Header;
    for (quint32 a = 0x387000; a < 0x3A0000; a += 32)
        text += oldLine(a);
    return text + EndS8;
}

// A program directory with the master firmware and the flash tool, and a project with its banks.
struct Setup : TestContext {
    QTemporaryDir app;

    Setup()
    {
        store.startUp(app.path());
        store.createProject(store.state().ProjectsDir, QStringLiteral("Line3"));
        writeFileBytes(masterPath(), masterFirmware());
        writeFileBytes(toolPath(), "flash tool");
        writeFileBytes(project(QStringLiteral("pargen.xml")),
                       "<Par_Gen><Can_Dev_Id>9</Can_Dev_Id><Can_Baud>2</Can_Baud><Net_Dev_Id>4</Net_Dev_Id>"
                       "<Net_Baud>2</Net_Baud><Time_Out_SDO>$1234</Time_Out_SDO></Par_Gen>");
        GenerateDeviceImage(store.state().ProjectFiles);
    }
    QString masterPath() const { return joinPath(store.state().MasterDir, QStringLiteral("qk4471.sx")); }
    QString toolPath() const { return joinPath(store.state().AppDir, QStringLiteral("Kavrin.exe")); }
    QString project(const QString &name) const { return joinPath(store.state().ProjectDir, name); }
    QString merged() const { return project(QStringLiteral("New_qk4471.sx")); }
    QString parameters(int port) const { return u'"' + merged() + u'"' + QChar(0xB6) + QString::number(port); }
    // A second project whose folder has no bin directory.
    void switchToProjectWithoutBin()
    {
        const QString other = joinPath(store.state().ProjectsDir, QStringLiteral("Other"));
        QDir().mkdir(other);
        store.openChosen(other);
    }
};

QPushButton *executeButton(QWidget &w)
{
    return w.findChild<QPushButton *>(QStringLiteral("LbButton2"));
}

QString status(QWidget &w)
{
    return w.findChild<QLabel *>(QStringLiteral("LbStatus"))->text();
}

// Notes what the status line says at the moment the tool is started.
class StatusAtStart : public RecordingLauncher {
public:
    void startDetached(const QString &program, const QString &parameters) override
    {
        statusAtStart = status(*window);
        RecordingLauncher::startDetached(program, parameters);
    }
    QWidget *window = nullptr;
    QString statusAtStart;
};

} // namespace

class TestModifyFileSx : public QObject {
    Q_OBJECT
private slots:
    void executeMergesAndStartsTheFlashTool()
    {
        Setup s;
        TFModifyFileSx window(s.ctx);
        window.show();
        auto *port = window.findChild<QComboBox *>(QStringLiteral("cbport"));
        auto *bar = window.findChild<QProgressBar *>(QStringLiteral("Avanzamento"));
        auto *portLabel = window.findChild<QLabel *>(QStringLiteral("LbPort"));
        QCOMPARE(portLabel->text(), QStringLiteral("Port"));
        QCOMPARE(portLabel->buddy(), port);
        QVERIFY(portLabel->geometry().bottom() < port->geometry().top());
        QCOMPARE(status(window), QString());
        QCOMPARE(port->count(), 8);
        QCOMPARE(port->itemText(7), QStringLiteral("COM8"));
        QVERIFY(executeButton(window)->isEnabled());

        port->setFocus();
        QTest::keyClick(port, Qt::Key_End);
        QCOMPARE(port->currentText(), QStringLiteral("COM8"));
        QList<int> barValues;
        connect(bar, &QProgressBar::valueChanged, this, [&barValues](int value) { barValues << value; });
        QTest::mouseClick(executeButton(window), Qt::LeftButton);
        // The bar moves while a stage runs, not only at its end.
        QVERIFY(
            std::any_of(barValues.cbegin(), barValues.cend(), [bar](int v) { return v > 0 && v < bar->maximum(); }));

        QCOMPARE(s.notices.all(), QStringList());
        QCOMPARE(s.launcher.starts.size(), 1);
        QCOMPARE(s.launcher.starts[0].program, s.toolPath());
        QCOMPARE(s.launcher.starts[0].parameters, s.parameters(7));
        QCOMPARE(status(window), QStringLiteral("Flash tool started on COM8 with ") + s.merged());
        const QByteArray bank1 = readFileBytes(s.project(QStringLiteral("bin/bank1.bin")));
        const QByteArray merged = readFileBytes(s.merged());
        QVERIFY(merged.contains(BankRecordLines(0, bank1.constData())));
        QCOMPARE(merged.size(), masterFirmware().size());
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(QDir(s.store.state().ProjectDir).entryList({QStringLiteral("*.sx")}),
                 QStringList({QStringLiteral("New_qk4471.sx")}));

        // Each opening starts again from COM1 and an empty bar.
        window.hide();
        window.show();
        QCOMPARE(port->currentText(), QStringLiteral("COM1"));
        QCOMPARE(bar->value(), 0);
        QCOMPARE(status(window), QString());
        QTest::mouseClick(executeButton(window), Qt::LeftButton);
        QCOMPARE(s.launcher.starts.last().parameters, s.parameters(0));
    }

    // The update step holds the project's lock from the bank generation on; the
    // merge runs under it instead of waiting for it.
    void mergeUnderTheUpdateStepsLock()
    {
        Setup s;
        TFModifyFileSx window(s.ctx);
        auto lock = std::make_unique<ProjectWriteLock>(s.store.state().ProjectDir);
        whenModalOpens([&](QWidget *modal) {
            QTest::mouseClick(executeButton(window), Qt::LeftButton);
            closeModal(modal);
        });
        window.execHoldingLock(std::move(lock));
        QCOMPARE(s.notices.all(), QStringList());
        QCOMPARE(s.launcher.starts.size(), 1);
        QVERIFY(QFileInfo::exists(s.merged()));
        // The lock went with the window: another writer gets it at once.
        const ProjectWriteLock next(s.store.state().ProjectDir, 0);
    }

    void openingWithoutFirmware_data()
    {
        QTest::addColumn<bool>("removeDirectory");
        QTest::addColumn<QString>("message");
        QTest::newRow("no firmware file") << false << ImageMessages::FirmwareFileNotFound;
        QTest::newRow("no firmware directory") << true << ImageMessages::FirmwareDirNotFound;
    }
    void openingWithoutFirmware()
    {
        QFETCH(bool, removeDirectory);
        QFETCH(QString, message);
        Setup s;
        if (removeDirectory)
            QDir(s.store.state().MasterDir).removeRecursively();
        else
            QFile::remove(s.masterPath());
        TFModifyFileSx window(s.ctx);
        window.show();
        QCOMPARE(s.notices.errors, QStringList({message}));
        QCOMPARE(status(window), message);
        QVERIFY(!executeButton(window)->isEnabled());
        QVERIFY(window.isVisible());
    }

    // A project without bin never reaches the banks of the project opened before.
    void projectWithoutBinDirectory()
    {
        Setup s;
        TFModifyFileSx window(s.ctx);
        window.show();
        window.hide();
        s.switchToProjectWithoutBin();
        writeFileBytes(s.merged(), "earlier merge");
        window.show();
        QCOMPARE(window.inputs().BinDir, QString());
        QTest::mouseClick(executeButton(window), Qt::LeftButton);
        QCOMPARE(s.notices.notices, QStringList({ImageMessages::BinDirNotFound}));
        QCOMPARE(status(window), ImageMessages::BinDirNotFound);
        QVERIFY(s.launcher.starts.isEmpty());
        QCOMPARE(readFileBytes(s.merged()), QByteArray("earlier merge"));
    }

    void failedMergeStartsNothing()
    {
        Setup s;
        writeFileBytes(s.merged(), "earlier merge");
        QFile::remove(s.project(QStringLiteral("bin/bank2.bin")));
        TFModifyFileSx window(s.ctx);
        window.show();
        QTest::mouseClick(executeButton(window), Qt::LeftButton);
        QCOMPARE(s.notices.notices, QStringList({QStringLiteral("File bank2.bin Not Found,Abort Procedure")}));
        QCOMPARE(status(window), QStringLiteral("File bank2.bin Not Found,Abort Procedure"));
        QVERIFY(s.launcher.starts.isEmpty());
    }

    // The merged file is named on the status line before the tool is started.
    void statusNamesTheMergedFile()
    {
        Setup s;
        StatusAtStart launcher;
        AppContext ctx{s.notices, s.chooser, launcher, s.store};
        TFModifyFileSx window(ctx);
        launcher.window = &window;
        window.show();
        QTest::mouseClick(executeButton(window), Qt::LeftButton);
        QCOMPARE(launcher.statusAtStart, QStringLiteral("Firmware written: ") + s.merged());
        QCOMPARE(launcher.starts.size(), 1);
    }

    // A failure that ends the whole action is told on the status line too.
    void lockHeldElsewhereShowsOnTheStatusLine()
    {
        Setup s;
        TFModifyFileSx window(s.ctx);
        window.show();
        const ProjectWriteLock other(s.store.state().ProjectDir);
        QTest::mouseClick(executeButton(window), Qt::LeftButton);
        QCOMPARE(s.notices.generalErrors.size(), 1);
        QVERIFY(s.notices.generalErrors[0].startsWith(QStringLiteral("Project is in use by another program (")));
        QCOMPARE(status(window), s.notices.generalErrors[0]);
        QVERIFY(s.launcher.starts.isEmpty());
    }

    void flashToolChecks()
    {
        Setup s;
        TFModifyFileSx window(s.ctx);
        window.show();
        QFile::remove(s.toolPath());
        QTest::mouseClick(executeButton(window), Qt::LeftButton);
        QCOMPARE(s.notices.notices, QStringList({ImageMessages::FlashToolNotFound}));
        QCOMPARE(status(window), ImageMessages::FlashToolNotFound);
        QVERIFY(s.launcher.starts.isEmpty());

        s.notices.clear();
        writeFileBytes(s.toolPath(), "flash tool");
        s.launcher.fail = true;
        QTest::mouseClick(executeButton(window), Qt::LeftButton);
        QCOMPARE(s.notices.notices, QStringList({ImageMessages::flashToolNotStarted(s.toolPath(), "cannot start")}));
        // The status line puts the message on one line.
        QCOMPARE(status(window), ImageMessages::flashToolNotStarted(s.toolPath(), "cannot start").replace(u'\n', u' '));
        QVERIFY(QFileInfo::exists(s.merged()));
    }

    // The real launcher hands the parameter string to the tool as it stands. On
    // Windows that is the tool's whole command line after its name, and every path
    // in it and on the status line is a Windows path: "C:\...\New_qk4471.sx".
    void standInToolReceivesTheParameterString()
    {
        Setup s;
        QtProcessLauncher launcher;
        AppContext ctx{s.notices, s.chooser, launcher, s.store};
        const QString received = joinPath(s.store.state().AppDir, QStringLiteral("received.txt"));
#ifdef Q_OS_WIN
        QFile::remove(s.toolPath());
        QFile standIn(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(STAND_IN_TOOL)));
        QVERIFY2(standIn.copy(s.toolPath()), qPrintable(standIn.errorString()));
#else
        writeFileBytes(s.toolPath(), "#!/bin/sh\nprintf '%s' \"$*\" > \"$(dirname \"$0\")/received.tmp\"\n"
                                     "mv \"$(dirname \"$0\")/received.tmp\" \"$(dirname \"$0\")/received.txt\"\n");
        QFile::setPermissions(s.toolPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // The Windows tool runs through Wine here: a stand-in wine that runs it directly.
        QTemporaryDir wineDir;
        const QString wine = wineDir.filePath(QStringLiteral("wine"));
        writeFileBytes(wine, "#!/bin/sh\nexec \"$@\"\n");
        QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(wineDir.path()) + ':' + oldPath);
#endif
        TFModifyFileSx window(ctx);
        window.show();
        window.findChild<QComboBox *>(QStringLiteral("cbport"))->setCurrentIndex(1);
        QTest::mouseClick(executeButton(window), Qt::LeftButton);
#ifndef Q_OS_WIN
        qputenv("PATH", oldPath);
#endif
        QCOMPARE(s.notices.all(), QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(received), 10000);
        const QString parameters = QString::fromUtf8(readFileBytes(received));
        QCOMPARE(parameters, s.parameters(1));
#ifdef Q_OS_WIN
        const QRegularExpression windowsForm(
            QStringLiteral("^\"[A-Za-z]:\\\\[^/\"]+\\\\Line3\\\\New_qk4471\\.sx\"\u00B61$"));
        QVERIFY2(windowsForm.match(parameters).hasMatch(), qPrintable(parameters));
        QCOMPARE(status(window), QStringLiteral("Flash tool started on COM2 with ") + parameters.section(u'"', 1, 1));
#endif
    }
};

QTEST_MAIN(TestModifyFileSx)
#include "tst_ModifyFileSx.moc"
