#include "config/Messages.h"
#include "config/Upargen.h"
#include "support/GuiTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>
#endif

using namespace ConfigMessages;

namespace {
const QByteArray DefaultFile = "<Par_Gen><Can_Dev_Id>1</Can_Dev_Id><Can_Baud>0</Can_Baud><Net_Dev_Id>1</Net_Dev_Id>"
                               "<Net_Baud>0</Net_Baud><Time_Out_SDO>10000</Time_Out_SDO><Ope_Dev>0</Ope_Dev>"
                               "<Ope_Net>0</Ope_Net><Ope_TimeOut>0</Ope_TimeOut></Par_Gen>";
}

class TestTFpargen : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestContext> m_t;
    std::unique_ptr<TFpargen> m_window;
    QString m_mounted; // a full disk under the project, taken away in cleanup()

    QString path() const { return m_t->store.state().ProjectFiles.PargenPath; }
    template <typename T> T *child(const char *name) const { return requireChild<T>(m_window.get(), name); }
    void open()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QCoreApplication::processEvents(); // deferred load messages
    }
    void retype(const char *field, const QString &text)
    {
        auto *edit = child<QLineEdit>(field);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void clickOk() { QTest::mouseClick(child<QPushButton>("BitBtn1"), Qt::LeftButton); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_t = std::make_unique<TestContext>();
        m_t->store.startUp(m_dir->path());
        m_window = std::make_unique<TFpargen>(m_t->ctx);
    }
    void cleanup()
    {
        m_window.reset();
#ifdef Q_OS_LINUX
        if (!m_mounted.isEmpty())
            ::umount2(QFile::encodeName(m_mounted).constData(), MNT_DETACH);
        m_mounted.clear();
#endif
    }

    void newProjectShowsDefaultsAndOkWritesThem()
    {
        open();
        QCOMPARE(m_window->windowTitle(), PargenCaption);
        QCOMPARE(m_window->size(), QSize(250, 324));
        QCOMPARE(child<QLineEdit>("Ed_CanDevId")->text(), QStringLiteral("1"));
        QCOMPARE(child<QComboBox>("CB_CanBaud")->currentText(), QStringLiteral("10K"));
        QCOMPARE(child<QComboBox>("CB_CanBaud")->count(), 9);
        QCOMPARE(child<QComboBox>("CB_NetBaud")->currentText(), QStringLiteral("125K"));
        QCOMPARE(child<QComboBox>("CB_NetBaud")->itemText(2), QStringLiteral("500K"));
        QCOMPARE(child<QLineEdit>("Ed_NetDevId")->text(), QStringLiteral("1"));
        QCOMPARE(child<QLineEdit>("Ed_TimeOutSdo")->text(), QStringLiteral("10000"));
        QVERIFY(!child<QCheckBox>("CB_OpeDev")->isChecked());
        QVERIFY(!child<QCheckBox>("CB_OpeNet")->isChecked());
        QCOMPARE(child<QSpinBox>("SE_OpeNetTimeOut")->value(), 0);
        QCOMPARE(child<QLabel>("Lb_TimeOutSdo")->buddy(), child<QLineEdit>("Ed_TimeOutSdo"));
        QCOMPARE(child<QLabel>("Lb_TimeOutSdo")->text(), QStringLiteral("TimeOut SDO (1/10 ms)"));
        QVERIFY(!QFile::exists(path()));

        clickOk();
        QCOMPARE(m_t->notices.all(), QStringList());
        QCOMPARE(m_window->result(), int(QDialog::Accepted));
        QVERIFY(!m_window->isVisible());
        QCOMPARE(readFileBytes(path()), DefaultFile);
    }

    void typedValuesAreSavedAsTypedAndShownOnReopening()
    {
        open();
        retype("Ed_CanDevId", QStringLiteral("$7F"));
        retype("Ed_NetDevId", QStringLiteral("64"));
        retype("Ed_TimeOutSdo", QStringLiteral("0"));
        child<QComboBox>("CB_CanBaud")->setCurrentIndex(8);
        QTest::mouseClick(child<QCheckBox>("CB_OpeNet"), Qt::LeftButton);
        auto *delay = child<QSpinBox>("SE_OpeNetTimeOut");
        delay->selectAll();
        QTest::keyClicks(delay, QStringLiteral("255"));
        clickOk();
        QCOMPARE(m_t->notices.all(), QStringList());
        QCOMPARE(readFileBytes(path()),
                 QByteArray("<Par_Gen><Can_Dev_Id>$7F</Can_Dev_Id><Can_Baud>8</Can_Baud><Net_Dev_Id>64</Net_Dev_Id>"
                            "<Net_Baud>0</Net_Baud><Time_Out_SDO>0</Time_Out_SDO><Ope_Dev>0</Ope_Dev>"
                            "<Ope_Net>1</Ope_Net><Ope_TimeOut>255</Ope_TimeOut></Par_Gen>"));
        open();
        QCOMPARE(child<QLineEdit>("Ed_CanDevId")->text(), QStringLiteral("$7F"));
        QCOMPARE(child<QComboBox>("CB_CanBaud")->currentText(), QStringLiteral("1000K"));
        QVERIFY(child<QCheckBox>("CB_OpeNet")->isChecked());
        QCOMPARE(child<QSpinBox>("SE_OpeNetTimeOut")->value(), 255);
    }

    // The range checks keep the window open with what was typed; nothing is written.
    void refusedValueStaysOnScreen_data()
    {
        QTest::addColumn<QString>("canId");
        QTest::addColumn<QString>("netId");
        QTest::addColumn<QString>("timeOut");
        QTest::addColumn<QString>("message");
        QTest::newRow("can 128") << "128"
                                 << "1"
                                 << "0" << CanAddressRange;
        QTest::newRow("net abc") << "1"
                                 << "abc"
                                 << "0" << NetAddressRange;
        QTest::newRow("net empty") << "1"
                                   << ""
                                   << "0" << NetAddressRange;
        QTest::newRow("time-out 65536") << "1"
                                        << "1"
                                        << "65536" << TimeOutSdoRange;
        QTest::newRow("several, first shown") << "0"
                                              << "0"
                                              << "-1" << CanAddressRange;
    }

    void refusedValueStaysOnScreen()
    {
        QFETCH(QString, canId);
        QFETCH(QString, netId);
        QFETCH(QString, timeOut);
        QFETCH(QString, message);
        writeFileBytes(path(), DefaultFile);
        open();
        retype("Ed_CanDevId", canId);
        retype("Ed_NetDevId", netId);
        retype("Ed_TimeOutSdo", timeOut);
        clickOk();
        QCOMPARE(m_t->notices.errors, QStringList{message});
        QCOMPARE(m_t->notices.generalErrors, QStringList());
        QVERIFY(m_window->isVisible());
        QCOMPARE(child<QLineEdit>("Ed_CanDevId")->text(), canId);
        QCOMPARE(child<QLineEdit>("Ed_TimeOutSdo")->text(), timeOut);
        QCOMPARE(readFileBytes(path()), DefaultFile);
    }

    // A refused value is shown with the cursor in its field; nothing is written.
    void refusedFieldGetsTheCursor_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("typedNetBaud");
        QTest::addColumn<int>("delay");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("can baud 9 from the file")
            << QByteArray(DefaultFile).replace("<Can_Baud>0</Can_Baud>", "<Can_Baud>9</Can_Baud>") << QString() << 0
            << CanBaudNotValid << "CB_CanBaud";
        QTest::newRow("net baud typed") << DefaultFile << "999K" << 0 << NetBaudNotValid << "CB_NetBaud";
        QTest::newRow("delay 300") << DefaultFile << QString() << 300 << DelayRange << "SE_OpeNetTimeOut";
        QTest::newRow("delay -5") << DefaultFile << QString() << -5 << DelayRange << "SE_OpeNetTimeOut";
        QTest::newRow("time-out") << QByteArray(DefaultFile).replace(">10000<", ">70000<") << QString() << 0
                                  << TimeOutSdoRange << "Ed_TimeOutSdo";
    }

    void refusedFieldGetsTheCursor()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, typedNetBaud);
        QFETCH(int, delay);
        QFETCH(QString, message);
        QFETCH(QString, field);
        writeFileBytes(path(), file);
        open();
        if (!typedNetBaud.isEmpty()) {
            auto *net = child<QComboBox>("CB_NetBaud");
            net->lineEdit()->selectAll();
            QTest::keyClicks(net->lineEdit(), typedNetBaud);
            QCOMPARE(net->count(), 3);
        }
        auto *spin = child<QSpinBox>("SE_OpeNetTimeOut");
        spin->selectAll();
        QTest::keyClicks(spin, QString::number(delay));
        child<QLineEdit>("Ed_CanDevId")->setFocus();
        clickOk();
        QCOMPARE(m_t->notices.errors, QStringList{message});
        QVERIFY(m_window->isVisible());
        QWidget *focused = m_window->focusWidget();
        auto *expected = child<QWidget>(field.toLatin1().constData());
        // A list's line edit or a spin box's inner edit stands for the field.
        QVERIFY2(focused == expected || expected->isAncestorOf(focused),
                 qPrintable(focused ? focused->objectName() : QStringLiteral("nothing")));
        QCOMPARE(readFileBytes(path()), file);
    }

    void faultyFileIsReportedAndKeptUntilOk()
    {
        const QByteArray faulty = "<Par_Gen><Can_Dev_Id>5</Can_Dev_Id><Can_Baud>4</Can_Baud></Par_Gen>";
        writeFileBytes(path(), faulty);
        open();
        QCOMPARE(m_t->notices.errors.size(), 1);
        QVERIFY(m_t->notices.errors.first().contains(QDir::toNativeSeparators(path())));
        QVERIFY(m_t->notices.errors.first().contains(QStringLiteral("<Net_Dev_Id>")));
        QCOMPARE(child<QLineEdit>("Ed_CanDevId")->text(), QStringLiteral("5"));
        QCOMPARE(child<QComboBox>("CB_CanBaud")->currentText(), QStringLiteral("125K"));
        QCOMPARE(child<QLineEdit>("Ed_NetDevId")->text(), QStringLiteral("1"));
        QCOMPARE(readFileBytes(path()), faulty);
        // Cancel leaves it; OK writes a complete file from what is shown.
        QTest::mouseClick(child<QPushButton>("BitBtn2"), Qt::LeftButton);
        QCOMPARE(readFileBytes(path()), faulty);
        open();
        clickOk();
        QCOMPARE(readFileBytes(path()), QByteArray(DefaultFile)
                                            .replace("<Can_Dev_Id>1<", "<Can_Dev_Id>5<")
                                            .replace("<Can_Baud>0<", "<Can_Baud>4<"));
    }

    void unwritableFileKeepsTheWindowOpen()
    {
        open();
        QVERIFY(QDir(m_t->store.state().ProjectDir).removeRecursively());
        clickOk();
        QCOMPARE(m_t->notices.generalErrors.size(), 1);
        QVERIFY(m_t->notices.generalErrors.first().contains(QDir::toNativeSeparators(path())));
        QVERIFY(m_window->isVisible());
    }

#ifdef Q_OS_LINUX
    // pargen.xml is far smaller than Qt's write buffer: on a full disk it must
    // still fail, with the reason, and keep the file that was there.
    void fullDiskKeepsTheOldFile()
    {
        const QString project = m_t->store.state().ProjectDir;
        if (::mount("tmpfs", QFile::encodeName(project).constData(), "tmpfs", 0, "size=64k") != 0) {
            // A container may refuse mounts even to root; tst_DurableWrites then fills
            // the disk through its fault library, so a full disk is still tested.
            QSKIP(qPrintable(QStringLiteral("no tmpfs could be mounted here: %1")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
        }
        m_mounted = project;
        const QByteArray old = QByteArray(DefaultFile).replace("<Can_Baud>0<", "<Can_Baud>4<");
        writeFileBytes(path(), old);
        QFile ballast(project + QStringLiteral("/ballast"));
        QVERIFY(ballast.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray page(4096, 'x');
        while (ballast.write(page) == page.size()) {
        }
        QVERIFY(ballast.resize(ballast.size() - page.size())); // room for the lock alone
        open();
        retype("Ed_CanDevId", QStringLiteral("9"));
        clickOk();
        QCOMPARE(m_t->notices.generalErrors.size(), 1);
        QVERIFY2(m_t->notices.generalErrors.first().contains(QLatin1String("No space left on device")),
                 qPrintable(m_t->notices.generalErrors.first()));
        QVERIFY(m_t->notices.generalErrors.first().contains(QDir::toNativeSeparators(path())));
        QCOMPARE(readFileBytes(path()), old);
        QVERIFY(m_window->isVisible());
        QCOMPARE(QDir(project).entryList(QDir::Files | QDir::Hidden),
                 QStringList({QStringLiteral("ballast"), QStringLiteral("pargen.xml")}));
    }
#endif
};

QTEST_MAIN(TestTFpargen)
#include "tst_TFpargen.moc"
