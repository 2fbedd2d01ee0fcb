#include "base/TextGridModel.h"
#include "config/USetPdo.h"
#include "config/USetVar.h"
#include "config/Upargen.h"
#include "project/AppContext.h"
#include "shell/UTessiroFirmWare.h"
#include "support/GuiTestSupport.h"
#include "widgets/SpreadsheetGrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// Steps 2 to 4 of the main window, from a new project to the three files.
class TestConfigSteps : public QObject {
    Q_OBJECT
private slots:
    void newUserFillsTheThreeEditors()
    {
        QTemporaryDir dir;
        TestContext t;
        RecordingNotices &notices = t.notices;
        ProjectStore &store = t.store;
        AppContext &ctx = t.ctx;
        TFTessiroFirmWare main(ctx, dir.path());
        QCOMPARE(store.createProject(store.state().ProjectsDir, QStringLiteral("Line1")), QStringList());
        const ProjectFiles &files = store.state().ProjectFiles;

        auto step = [&](const char *button, const char *windowClass, std::function<void(QWidget *)> fill) {
            QString opened;
            whenModalOpens([&](QWidget *modal) {
                opened = QString::fromLatin1(modal->metaObject()->className());
                if (opened == QLatin1String(windowClass)) {
                    fill(modal);
                    QTest::mouseClick(requireChild<QPushButton>(modal, "BitBtn1"), Qt::LeftButton);
                }
                if (modal->isVisible())
                    closeModal(modal);
            });
            QTest::mouseClick(requireChild<QPushButton>(&main, button), Qt::LeftButton);
            QCOMPARE(opened, QLatin1String(windowClass));
        };

        step("btn_Prm_Gen", "TFpargen", [](QWidget *w) {
            auto *id = requireChild<QLineEdit>(w, "Ed_NetDevId");
            id->selectAll();
            QTest::keyClicks(id, QStringLiteral("12"));
        });
        step("btn_Sdo", "TFSetVar", [](QWidget *w) {
            auto *view = requireChild<SpreadsheetGrid>(w, "GridIn");
            view->gridModel()->pasteText(0, 1, QStringLiteral("$6041\t0\t2\tStatus"));
        });
        step("Btn_SetPDO", "TFSetPdo", [](QWidget *w) {
            auto *view = requireChild<SpreadsheetGrid>(w, "GridOut");
            view->gridModel()->pasteText(0, 1, QStringLiteral("$201\t8\tControl"));
        });

        QCOMPARE(notices.all(), QStringList());
        QCOMPARE(readFileBytes(files.PargenPath),
                 QByteArray("<Par_Gen><Can_Dev_Id>1</Can_Dev_Id><Can_Baud>0</Can_Baud><Net_Dev_Id>12</Net_Dev_Id>"
                            "<Net_Baud>0</Net_Baud><Time_Out_SDO>10000</Time_Out_SDO><Ope_Dev>0</Ope_Dev>"
                            "<Ope_Net>0</Ope_Net><Ope_TimeOut>0</Ope_TimeOut></Par_Gen>"));
        QCOMPARE(readFileBytes(files.SdoPath),
                 QByteArray("<CanOpen_to_DeviceNet><ByteIN><row IdDev=\"1\" Index=\"$6041\" SubIndex=\"0\" NByte=\"2\" "
                            "Mnemonic=\"Status\"/></ByteIN><ByteOUT/></CanOpen_to_DeviceNet>"));
        QCOMPARE(
            readFileBytes(files.PdoPath),
            QByteArray("<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO/><ByteOUT_RPDO><row Cob_Id=\"$201\" Dimension=\"8\" "
                       "Mnemonic=\"Control\"/></ByteOUT_RPDO></CanOpen_PDO_to_DeviceNet>"));
    }
};

QTEST_MAIN(TestConfigSteps)
#include "tst_ConfigSteps.moc"
