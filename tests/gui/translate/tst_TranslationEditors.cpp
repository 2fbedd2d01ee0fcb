#include "support/GuiTestSupport.h"
#include "translate/Messages.h"
#include "translate/USdo.h"
#include "translate/Updo.h"
#include "widgets/SpreadsheetGrid.h"
#include "workbook/Messages.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

namespace {

QString fixture(const char *name)
{
    return sourcePath(QStringLiteral("tests/core/translate/fixtures/") + QString::fromLatin1(name));
}

} // namespace

class TestTranslationEditors : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ProjectTestContext> m_t;
    std::unique_ptr<TranslationEditor> m_window;

    const ProjectFiles &files() const { return m_t->store.state().ProjectFiles; }
    void open(bool sdo)
    {
        if (sdo)
            m_window = std::make_unique<TFsdo>(m_t->ctx);
        else
            m_window = std::make_unique<TFpdo>(m_t->ctx);
        showActive(m_window.get());
    }
    SpreadsheetGrid *grid(const char *name) const { return requireChild<SpreadsheetGrid>(m_window.get(), name); }
    void click(const char *button)
    {
        QTest::mouseClick(requireChild<QPushButton>(m_window.get(), button), Qt::LeftButton);
    }
    // Types into a cell as a user does: the first key opens the editor, Enter commits.
    void enter(SpreadsheetGrid *view, int row, int column, const QString &text)
    {
        view->setFocus();
        view->setCurrentIndex(view->model()->index(row, column));
        QTest::keyClick(view, text.at(0).toLatin1());
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

private slots:
    void init() { m_t = std::make_unique<ProjectTestContext>(); }
    void cleanup() { m_window.reset(); }

    void windows_data()
    {
        QTest::addColumn<bool>("sdo");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("notices");
        QTest::newRow("TFpdo") << false << "Define Traslate PDO"
                               << QStringList{"PDO From CanA to CanB", "PDO From CanB to CanA"}
                               << QStringList{"N\u00B0", "cobid", "id_dev_orig", "en_traslate", "posid", "n_tPDO"} << 11
                               << QStringList{TranslateMessages::XmlNotFound};
        QTest::newRow("TFsdo") << true << "Set SDO Access"
                               << QStringList{"SDO from CAN A request to CAN B", "SDO from CAN B request to CAN A"}
                               << QStringList{"N\u00B0", "RW",       "Index", "SubIndex", "devID",
                                              "Index",   "SubIndex", "nbyte", "mnemonico"}
                               << 1501 << QStringList{};
    }
    void windows()
    {
        QFETCH(bool, sdo);
        QFETCH(QString, caption);
        QFETCH(QStringList, tabs);
        QFETCH(QStringList, titles);
        QFETCH(int, rows);
        QFETCH(QStringList, notices);
        open(sdo);
        QCOMPARE(m_window->windowTitle(), caption);
        auto *pages = requireChild<QTabWidget>(m_window.get(), "PageControl1");
        QCOMPARE(QStringList({pages->tabText(0), pages->tabText(1)}), tabs);
        QCOMPARE(m_t->notices.notices, notices);
        for (const char *name : {"sga", "sgb"}) {
            SpreadsheetGrid *view = grid(name);
            QCOMPARE(view->model()->rowCount(), rows);
            QStringList shown;
            for (int c = 0; c < view->model()->columnCount(); ++c)
                shown << view->model()->headerData(c, Qt::Horizontal).toString();
            QCOMPARE(shown, titles);
            // The header row holds the exported texts under the drawn titles.
            QVERIFY(view->isRowHidden(0));
            QCOMPARE(view->model()->index(rows - 1, 0).data().toString(), QString::number(rows - 2));
        }
        // What the user sees on each tab: every column title whole in its column, every
        // column in view without scrolling sideways, and the strip captions whole.
        for (int tab : {0, 1}) {
            pages->setCurrentIndex(tab);
            QApplication::processEvents();
            SpreadsheetGrid *view = grid(tab == 0 ? "sga" : "sgb");
            const QFontMetrics header = view->horizontalHeader()->fontMetrics();
            int columns = 0;
            for (int c = 0; c < view->model()->columnCount(); ++c) {
                const QString title = view->model()->headerData(c, Qt::Horizontal).toString();
                QVERIFY2(header.horizontalAdvance(title) < view->columnWidth(c),
                         qPrintable(QStringLiteral("tab %1 %2: %3 px in %4 px, grid %5")
                                        .arg(tab)
                                        .arg(title)
                                        .arg(header.horizontalAdvance(title))
                                        .arg(view->columnWidth(c))
                                        .arg(view->width())));
                columns += view->columnWidth(c);
            }
            QVERIFY2(columns <= view->viewport()->width(),
                     qPrintable(QStringLiteral("%1 > %2").arg(columns).arg(view->viewport()->width())));
            QVERIFY(!view->horizontalScrollBar()->isVisible());
            if (sdo) {
                for (const char *name : {"1", "2"}) {
                    auto *strip = requireChild<QLabel>(m_window.get(),
                                                       (QByteArray(tab == 0 ? "StripA" : "StripB") + name).constData());
                    QVERIFY2(strip->fontMetrics().horizontalAdvance(strip->text()) <= strip->width(),
                             qPrintable(strip->text()));
                }
            }
        }
        if (sdo) {
            QCOMPARE(requireChild<QLabel>(m_window.get(), "StripA1")->text(),
                     QStringLiteral("Define virtual index SDO in CAN A"));
            QCOMPARE(requireChild<QLabel>(m_window.get(), "StripB2")->text(),
                     QStringLiteral("Input index address SDO in CAN A"));
        }
    }

    // Typed entries, OK: rpdodef.xml byte for byte, sorted, the first empty cobid
    // ending the table.
    void pdoTypingAndOk()
    {
        open(false);
        SpreadsheetGrid *sga = grid("sga");
        enter(sga, 1, 1, QStringLiteral("0x181"));
        enter(sga, 1, 3, QStringLiteral("1"));
        enter(sga, 2, 1, QStringLiteral("385"));
        enter(sga, 2, 2, QStringLiteral("dev"));
        enter(sga, 4, 1, QStringLiteral("1"));
        auto *pages = requireChild<QTabWidget>(m_window.get(), "PageControl1");
        pages->setCurrentIndex(1);
        enter(grid("sgb"), 1, 1, QStringLiteral("0x201"));
        // Row 3 under the empty row 2 would be left out: OK refuses, the cursor on row 2.
        m_t->notices.clear();
        click("BitBtn1");
        QCOMPARE(
            m_t->notices.notices,
            QStringList{TranslateMessages::RowsBelowKeyless.arg("PDO From CanA to CanB").arg(2).arg("cobid").arg(3)});
        QCOMPARE(pages->currentIndex(), 0);
        QCOMPARE(sga->currentIndex(), sga->model()->index(3, 1));
        QTest::keyClick(sga, Qt::Key_Down);
        QTest::keyClick(sga, Qt::Key_Delete);
        click("BitBtn1");
        QVERIFY(!m_window->isVisible());
        QCOMPARE(readFileBytes(files().RpdodefPath),
                 QByteArray("<rpdodef>"
                            "<row cobid=\"385\" id_dev_orig=\"dev\" en_bypass=\"2\" posind=\"\" n_tpdo=\"\"/>"
                            "<row cobid=\"0x181\" id_dev_orig=\"\" en_bypass=\"3\" posind=\"\" n_tpdo=\"\"/>"
                            "<row cobid=\"0x201\" id_dev_orig=\"\" en_bypass=\"0\" posind=\"\" n_tpdo=\"\"/>"
                            "</rpdodef>"));
    }

    void pdoOkWithABadCobidWritesNothing()
    {
        open(false);
        enter(grid("sga"), 1, 1, QStringLiteral("12x"));
        m_t->notices.clear();
        click("BitBtn1");
        QCOMPARE(m_t->notices.notices, QStringList{TranslateMessages::CellFault.arg("PDO From CanA to CanB")
                                                       .arg(0)
                                                       .arg("cobid", "'12x' is not a valid integer value")});
        QVERIFY(m_window->isVisible());
        QVERIFY(!QFile::exists(files().RpdodefPath));
    }

    // Import through the file chooser, then Export: the table's CSV file.
    void pdoImportAndExport()
    {
        open(false);
        m_t->chooser.answers << fixture("rpdodef_upper_case_sheet.xls");
        click("BtnImport");
        QCOMPARE(m_t->chooser.requests.size(), 1);
        QCOMPARE(m_t->chooser.requests[0].options.filter,
                 QStringLiteral("File EXCEL (*.xls *.xlsx *.ods)|*.xls;*.xlsx;*.ods"));
        QCOMPARE(m_t->chooser.requests[0].options.initialDir, m_t->store.state().ProjectDir);
        QCOMPARE(grid("sga")->model()->index(2, 1).data().toString(), QStringLiteral("385"));
        QCOMPARE(grid("sgb")->model()->index(2, 2).data().toString(), QStringLiteral("a,b"));
        click("BtnExport");
        const QByteArray csv = readFileBytes(files().csvPath(QStringLiteral("rpdodef")));
        QVERIFY(
            csv.startsWith("\xEF\xBB\xBF"
                           "cobid,id_dev_orig,00,posind,n_tpdo,\r\n0x181,dev1,01,p1,t1,\r\n385,dev2,00,p2,t2,\r\n"));
        QVERIFY(csv.contains(
            "\r\ncobid,id_dev_orig,10,posind,n_tpdo,\r\n0x201,dev3,11,p3,t3,\r\n0x202,\"a,b\",10,p4,t4,\r\n"));
        QCOMPARE(csv.count("\r\n"), 22);
        // Neither Import nor Export touches the table's file.
        QVERIFY(!QFile::exists(files().RpdodefPath));
    }

    // A wrong workbook says so and leaves the typed rows; cancelling the chooser
    // does nothing at all.
    void importOfAWrongWorkbookKeepsTheRows()
    {
        open(false);
        enter(grid("sga"), 1, 1, QStringLiteral("7"));
        m_t->notices.clear();
        click("BtnImport"); // cancelled
        m_t->chooser.answers << fixture("cells.xls");
        click("BtnImport");
        QCOMPARE(m_t->notices.notices, QStringList{WorkbookMessages::SheetMissing.arg(
                                           QDir::toNativeSeparators(fixture("cells.xls")), "rpdodef")});
        QCOMPARE(grid("sga")->model()->index(1, 1).data().toString(), QStringLiteral("7"));
    }

    // The SDO table is kept in sdotrans.xml: loaded on opening, written by OK byte
    // for byte; Cancel writes nothing.
    void sdoLoadTypeAndOk()
    {
        writeFileBytes(files().SdotransPath,
                       "<sdo><row conf=\"17\" IndexA=\"0x2000\" SubindexA=\"1\" devIDB=\"5\" IndexB=\"0x6000\" "
                       "SubindexB=\"2\" nbyteB=\"2\"/></sdo>");
        open(true);
        QCOMPARE(m_t->notices.all(), QStringList());
        QCOMPARE(grid("sgb")->model()->index(1, 1).data().toString(), QStringLiteral("1"));
        QCOMPARE(grid("sgb")->model()->index(1, 2).data().toString(), QStringLiteral("0x2000"));
        SpreadsheetGrid *sga = grid("sga");
        enter(sga, 1, 1, QStringLiteral("1"));
        enter(sga, 1, 2, QStringLiteral("0x3000"));
        enter(sga, 1, 8, QStringLiteral("speed"));
        click("BitBtn2");
        QCOMPARE(readFileBytes(files().SdotransPath).count("<row"), 1);

        open(true);
        enter(grid("sga"), 1, 2, QStringLiteral("0x3000"));
        enter(grid("sga"), 1, 8, QStringLiteral("speed"));
        click("BitBtn1");
        QCOMPARE(readFileBytes(files().SdotransPath),
                 QByteArray("<sdo>"
                            "<row conf=\"0\" IndexA=\"0x3000\" SubindexA=\"\" devIDB=\"\" IndexB=\"\" SubindexB=\"\" "
                            "nbyteB=\"\" mnemonico=\"speed\"/>"
                            "<row conf=\"17\" IndexA=\"0x2000\" SubindexA=\"1\" devIDB=\"5\" IndexB=\"0x6000\" "
                            "SubindexB=\"2\" nbyteB=\"2\" mnemonico=\"\"/>"
                            "</sdo>"));
    }

    void sdoImportStopsWithANotice()
    {
        open(true);
        const QString book = fixture("sdo_header_line_and_empty_conf.xlsx");
        m_t->chooser.answers << book;
        click("BtnImport");
        QCOMPARE(m_t->notices.notices,
                 QStringList{WorkbookMessages::ImportStopped.arg(QDir::toNativeSeparators(book), "sdo")
                                 .arg(6)
                                 .arg(WorkbookMessages::EmptyInteger.arg("A6"))});
        QCOMPARE(grid("sga")->model()->index(1, 2).data().toString(), QStringLiteral("0x2001"));
        QCOMPARE(grid("sgb")->model()->index(2, 8).data().toString(), QStringLiteral("b,c"));
        click("BtnExport");
        const QByteArray csv = readFileBytes(files().csvPath(QStringLiteral("sdo")));
        QCOMPARE(csv.count("\r\n"), 3002);
        QVERIFY(
            csv.startsWith("\xEF\xBB\xBF"
                           "0,Index,Subindex,devID,Index,Subindex,nbyte,mnemonico,\r\n16,0x2001,0,6,0x6001,0,4,,\r\n"));
    }

    // Ctrl+Enter from a cell is OK.
    void ctrlEnterIsOk()
    {
        open(false);
        enter(grid("sga"), 1, 1, QStringLiteral("5"));
        QTest::keyClick(grid("sga"), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!m_window->isVisible());
        QVERIFY(QFile::exists(files().RpdodefPath));
    }
};

QTEST_MAIN(TestTranslationEditors)
#include "tst_TranslationEditors.moc"
