#include "config/DeviceLink.h"
#include "config/Messages.h"
#include "config/UPickEds.h"
#include "config/USetPdo.h"
#include "config/USetVar.h"
#include "support/GuiTestSupport.h"
#include "widgets/SpreadsheetGrid.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <memory>

using namespace ConfigMessages;

namespace {

QString drive()
{
    return QFileInfo(sourcePath(QStringLiteral("tests/core/config/eds/drive.eds"))).absoluteFilePath();
}

QStringList rowCells(SpreadsheetGrid *view, int row)
{
    QStringList cells;
    for (int c = 1; c < view->model()->columnCount(); ++c)
        cells << view->gridModel()->cell(row, c);
    return cells;
}

} // namespace

class TestPickEds : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ProjectTestContext> m_t;
    static inline ProjectTestContext *m_dbg = nullptr;

    QString projectDir() const { return m_t->store.state().ProjectDir; }
    // Runs pick on the picker that trigger opens; false when none opened.
    bool inPicker(const std::function<void()> &trigger, const std::function<void(QWidget *)> &pick)
    {
        bool opened = false;
        whenModalOpens([&](QWidget *modal) {
            opened = qobject_cast<TFPickEds *>(modal) != nullptr;
            if (opened) {
                QApplication::setActiveWindow(modal);
                if (QTest::qWaitForWindowActive(modal))
                    pick(modal);
            }
            if (modal->isVisible())
                closeModal(modal);
        });
        trigger();
        return opened;
    }

private slots:
    void init()
    {
        m_t = std::make_unique<ProjectTestContext>();
        m_dbg = m_t.get();
    }
    void cleanup() { m_t.reset(); }

    // A new user opens the device's EDS, types part of a name and takes the
    // entry with Enter: the row is filled without a key typed in the grid, the
    // counter follows, and nothing reaches the disk before OK.
    void sdoRowFromTypedName()
    {
        TFSetVar window(m_t->ctx);
        showActive(&window);
        auto *view = requireChild<SpreadsheetGrid>(&window, "GridIn");
        m_t->chooser.answers << drive();
        const bool opened =
            inPicker([&] { QTest::mouseClick(requireChild<QPushButton>(&window, "BtnPickEds"), Qt::LeftButton); },
                     [](QWidget *picker) {
                         auto *search = requireChild<QLineEdit>(picker, "EditSearch");
                         QVERIFY(search->hasFocus());
                         QTest::keyClicks(search, QStringLiteral("atusw"));
                         QTest::keyClick(search, Qt::Key_Return);
                     });
        QVERIFY(opened);
        QCOMPARE(rowCells(view, 0), (QStringList{"$6041", "$00", "2", "Statusword"}));
        QCOMPARE(requireChild<QLabel>(&window, "LabelUsedBytes")->text(), QStringLiteral("2"));
        QVERIFY(!QFile::exists(m_t->store.state().ProjectFiles.SdoPath));
        QVERIFY(!QFile::exists(deviceLinkPath(projectDir())));

        QTest::mouseClick(requireChild<QPushButton>(&window, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(m_t->notices.all(), QStringList());
        QVERIFY(readFileBytes(m_t->store.state().ProjectFiles.SdoPath)
                    .contains(R"(Index="$6041" SubIndex="$00" NByte="2" Mnemonic="Statusword")"));
        QCOMPARE(loadDeviceLink(deviceLinkPath(projectDir())).value.EdsPath, drive());
    }

    // From the context menu's key on the OUT grid: a read-only object asks first;
    // No leaves the row alone, Yes fills it. An unchoosable entry cannot be taken.
    void outGridAsksBeforeReadOnly()
    {
        saveDeviceLink(deviceLinkPath(projectDir()), {drive(), 0});
        TFSetVar window(m_t->ctx);
        showActive(&window);
        requireChild<QTabWidget>(&window, "PageControl")->setCurrentIndex(1);
        auto *view = requireChild<SpreadsheetGrid>(&window, "GridOut");
        view->setFocus();
        view->setCurrentIndex(view->model()->index(2, 1));
        QVERIFY(view->actions().size() == 1 && view->contextMenuPolicy() == Qt::ActionsContextMenu);
        QCOMPARE(QApplication::focusWidget(), view);

        auto takeStatusword = [](QWidget *picker) {
            QTest::keyClicks(requireChild<QLineEdit>(picker, "EditSearch"), QStringLiteral("6041"));
            QTest::mouseClick(requireChild<QPushButton>(picker, "BitBtn1"), Qt::LeftButton);
        };
        QVERIFY(inPicker([&] { QTest::keyClick(view, Qt::Key_F4); }, takeStatusword));
        QCOMPARE(m_t->notices.questions, QStringList{PickUseAnyway.arg(PickNotWritable.arg("$6041", "$00", "ro"))});
        QCOMPARE(rowCells(view, 2), (QStringList{"", "", "", ""}));

        m_t->notices.answers << true;
        QVERIFY(inPicker([&] { QTest::keyClick(view, Qt::Key_F4); }, takeStatusword));
        QCOMPARE(rowCells(view, 2), (QStringList{"$6041", "$00", "2", "Statusword"}));

        QVERIFY(inPicker([&] { QTest::keyClick(view, Qt::Key_F4); },
                         [](QWidget *picker) {
                             QTest::keyClicks(requireChild<QLineEdit>(picker, "EditSearch"), QStringLiteral("modes"));
                             auto *tree = requireChild<QTreeWidget>(picker, "TreeEds");
                             QTreeWidgetItem *modes =
                                 tree->findItems(QStringLiteral("$6502"), Qt::MatchEndsWith).value(0);
                             QVERIFY(modes && !modes->isHidden());
                             tree->setCurrentItem(modes);
                             QCOMPARE(requireChild<QLabel>(picker, "LabelReason")->text(), PickSizeNotMapped.arg(3));
                             QVERIFY(!requireChild<QPushButton>(picker, "BitBtn1")->isEnabled());
                             QTest::keyClick(tree, Qt::Key_Return);
                             QVERIFY(picker->isVisible());
                         }));
        QCOMPARE(rowCells(view, 2), (QStringList{"$6041", "$00", "2", "Statusword"}));
    }

    // The PDO editor asks the node ID once, fills COB-ID and length of the
    // device's first TPDO, and keeps the node ID in the project on OK.
    void pdoRowFromFirstTpdo()
    {
        saveDeviceLink(deviceLinkPath(projectDir()), {drive(), 0});
        TFSetPdo window(m_t->ctx);
        showActive(&window);
        auto *view = requireChild<SpreadsheetGrid>(&window, "GridIn");
        QVERIFY(inPicker([&] { QTest::mouseClick(requireChild<QPushButton>(&window, "BtnPickEds"), Qt::LeftButton); },
                         [](QWidget *picker) {
                             auto *node = requireChild<QLineEdit>(picker, "EditNodeId");
                             QVERIFY(node->hasFocus());
                             QCOMPARE(requireChild<QLabel>(picker, "LabelReason")->text(), PickTypeNodeId);
                             QTest::keyClicks(node, QStringLiteral("5"));
                             QTest::keyClick(node, Qt::Key_Return);
                         }));
        QCOMPARE(rowCells(view, 0), (QStringList{"$185", "6", "TPDO1"}));
        QTest::mouseClick(requireChild<QPushButton>(&window, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(m_t->notices.all(), QStringList());
        QCOMPARE(loadDeviceLink(deviceLinkPath(projectDir())).value, (DeviceLink{drive(), 5}));

        // Asked once: the next pick goes straight to the PDOs at node 5.
        showActive(&window);
        QVERIFY(inPicker([&] { QTest::mouseClick(requireChild<QPushButton>(&window, "BtnPickEds"), Qt::LeftButton); },
                         [](QWidget *picker) {
                             QCOMPARE(requireChild<QLineEdit>(picker, "EditNodeId")->text(), QStringLiteral("5"));
                             auto *tree = requireChild<QTreeWidget>(picker, "TreeEds");
                             QCOMPARE(tree->topLevelItemCount(), 3);
                             QCOMPARE(tree->currentItem()->text(1), QStringLiteral("$185"));
                         }));
    }

    // A remembered EDS that no longer reads: its error, then the chooser; a
    // cancelled chooser opens no picker and changes nothing.
    void brokenEdsThenCancel()
    {
        const QString broken = QDir(projectDir()).filePath(QStringLiteral("broken.eds"));
        writeFileBytes(broken, "[1000\n");
        saveDeviceLink(deviceLinkPath(projectDir()), {broken, 0});
        TFSetVar window(m_t->ctx);
        showActive(&window);
        QTest::mouseClick(requireChild<QPushButton>(&window, "BtnPickEds"), Qt::LeftButton);
        QCOMPARE(m_t->notices.all().size(), 1);
        QVERIFY2(m_t->notices.all().first().contains(QDir::toNativeSeparators(broken) + ", line 1: "),
                 qPrintable(m_t->notices.all().first()));
        QCOMPARE(m_t->chooser.requests.size(), 1);
        QCOMPARE(rowCells(requireChild<SpreadsheetGrid>(&window, "GridIn"), 0), (QStringList{"", "", "", ""}));
    }
};

QTEST_MAIN(TestPickEds)
#include "tst_PickEds.moc"
