#include "shell/Messages.h"
#include "shell/Uhelp.h"
#include "support/GuiTestSupport.h"
#include "translate/Messages.h"
#include "translate/SELstringhe.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <memory>

class TestPickerAndHelp : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ProjectTestContext> m_t;

private slots:
    void init() { m_t = std::make_unique<ProjectTestContext>(); }

    void pickerKeepsTheSelectedRow()
    {
        writeFileBytes(m_t->store.state().ProjectFiles.StringsPath,
                       "<strings><s>Motor</s><s>Pump</s><s>Valve</s></strings>");
        TFSELstringhe picker(m_t->ctx);
        showActive(&picker);
        QCOMPARE(picker.windowTitle(), QStringLiteral("Select String"));
        auto *grid = requireChild<QTableView>(&picker, "sg");
        auto *label = requireChild<QLabel>(&picker, "Label1");
        QCOMPARE(grid->model()->rowCount(), 1000);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Index"));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("String"));
        QCOMPARE(grid->model()->index(999, 0).data().toString(), QStringLiteral("999"));
        QCOMPARE(grid->model()->index(1, 1).data().toString(), QStringLiteral("Pump"));
        QCOMPARE(grid->columnWidth(0), 40);
        // The first opening stands on string 0.
        QCOMPARE(grid->currentIndex().row(), 0);
        QCOMPARE(m_t->notices.all(), QStringList());

        // The row numbered 7, by mouse; then down one by keyboard.
        const QModelIndex seven = grid->model()->index(7, 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(seven).center());
        QCOMPARE(label->text(), QStringLiteral("Sel str: 7"));
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(label->text(), QStringLiteral("Sel str: 8"));
        QTest::keyClick(grid, Qt::Key_Up);
        QTest::mouseClick(requireChild<QPushButton>(&picker, "BitBtn2"), Qt::LeftButton);
        QVERIFY(!picker.isVisible());

        // The file gone, the next opening says so and stands on row 7 again.
        QVERIFY(QFile::remove(m_t->store.state().ProjectFiles.StringsPath));
        showActive(&picker);
        QCOMPARE(grid->currentIndex().row(), 7);
        QCOMPARE(picker.selectedIndex(), 7);
        QCOMPARE(grid->model()->index(1, 1).data().toString(), QString());
        QCOMPARE(m_t->notices.notices, QStringList{TranslateMessages::StringsXmlNotFound + u'\n' +
                                                   TranslateMessages::FileNotThere.arg(QDir::toNativeSeparators(
                                                       m_t->store.state().ProjectFiles.StringsPath))});
    }

    void missingHelpFile()
    {
        // The program's folder holds no help file, nor does an installed data folder.
        TFHelp help(m_t->ctx);
        help.showHelp();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QCoreApplication::processEvents();
        QCOMPARE(help.windowTitle(), QStringLiteral("Help"));
        QCOMPARE(requireChild<QTextBrowser>(&help, "RichEdit1")->toPlainText(), QString());
        const QString appDir = m_t->store.state().AppDir;
        QCOMPARE(m_t->notices.notices,
                 QStringList{ShellMessages::HelpUnreadable + u'\n' +
                             ShellMessages::HelpLookedIn.arg(
                                 QDir::toNativeSeparators(appDir + QStringLiteral("/help2.dat")),
                                 QDir::toNativeSeparators(QDir::cleanPath(appDir + "/../share/tessiro/help2.dat")))});
    }
};

QTEST_MAIN(TestPickerAndHelp)
#include "tst_PickerAndHelp.moc"
