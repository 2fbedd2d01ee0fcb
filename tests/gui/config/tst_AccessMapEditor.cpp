#include "config/Messages.h"
#include "config/USetPdo.h"
#include "config/USetVar.h"
#include "support/GuiTestSupport.h"
#include "widgets/SpreadsheetGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

using namespace ConfigMessages;

namespace {
const QColor Green(0x00, 0x80, 0x00);
const QColor Red(0xFF, 0x00, 0x00);
} // namespace

class TestAccessMapEditor : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ProjectTestContext> m_t;
    std::unique_ptr<AccessMapEditor> m_window;

    const ProjectFiles &files() const { return m_t->store.state().ProjectFiles; }
    void make(bool pdo)
    {
        if (pdo)
            m_window = std::make_unique<TFSetPdo>(m_t->ctx);
        else
            m_window = std::make_unique<TFSetVar>(m_t->ctx);
    }
    void open() { showActive(m_window.get()); }
    QLabel *counter() const { return requireChild<QLabel>(m_window.get(), "LabelUsedBytes"); }
    QString count() const { return counter()->text(); }
    QColor countColour() const { return counter()->palette().color(QPalette::WindowText); }
    QTabWidget *tabs() const { return requireChild<QTabWidget>(m_window.get(), "PageControl"); }
    SpreadsheetGrid *gridView(const char *name) const { return requireChild<SpreadsheetGrid>(m_window.get(), name); }
    AccessMapModel *mapModel(const char *name) const { return qobject_cast<AccessMapModel *>(gridView(name)->model()); }
    void go(SpreadsheetGrid *view, int row, int column)
    {
        view->setFocus();
        view->setCurrentIndex(view->model()->index(row, column));
    }
    // Types text into the current cell as a user does: the first key opens the editor.
    QLineEdit *type(SpreadsheetGrid *view, const QString &text)
    {
        QTest::keyClick(view, text.at(0).toLatin1());
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        if (editor)
            QTest::keyClicks(editor, text.mid(1));
        return editor;
    }
    void enter(SpreadsheetGrid *view, int row, int column, const QString &text)
    {
        go(view, row, column);
        if (QLineEdit *editor = type(view, text))
            QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits on Enter through a queued call.
        QCoreApplication::processEvents();
    }
    void clickOk() { QTest::mouseClick(requireChild<QPushButton>(m_window.get(), "BitBtn1"), Qt::LeftButton); }

private slots:
    void init() { m_t = std::make_unique<ProjectTestContext>(); }
    void cleanup() { m_window.reset(); }

    void windows_data()
    {
        QTest::addColumn<bool>("pdo");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("tabCaptions");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QSize>("frameSize");
        QTest::newRow("TFSetVar") << false << SdoCaption << QStringList{SdoInTab, SdoOutTab}
                                  << QList<int>{64, 101, 84, 74, 187} << 32 << QSize(618, 538);
        QTest::newRow("TFSetPdo") << true << PdoCaption << QStringList{PdoInTab, PdoOutTab}
                                  << QList<int>{64, 149, 106, 350} << 10 << QSize(721, 402);
    }

    void windows()
    {
        QFETCH(bool, pdo);
        QFETCH(QString, caption);
        QFETCH(QStringList, tabCaptions);
        QFETCH(QList<int>, widths);
        QFETCH(int, rows);
        QFETCH(QSize, frameSize);
        make(pdo);
        open();
        QCOMPARE(m_window->windowTitle(), caption);
        // The given size counts the frame.
        QCOMPARE(m_window->frameGeometry().size(), frameSize);
        QCOMPARE(QStringList({tabs()->tabText(0), tabs()->tabText(1)}), tabCaptions);
        QCOMPARE(requireChild<QLabel>(m_window.get(), "LabelUsedBytesTitle")->text(),
                 QStringLiteral("Used Number Byte :"));
        for (const char *name : {"GridIn", "GridOut"}) {
            SpreadsheetGrid *view = gridView(name);
            QCOMPARE(view->model()->rowCount(), rows);
            QList<int> shown;
            for (int c = 0; c < view->model()->columnCount(); ++c)
                shown << view->columnWidth(c);
            QCOMPARE(shown, widths);
            QCOMPARE(view->rowHeight(0), 20);
            QCOMPARE(view->currentIndex(), view->model()->index(0, 1));
        }
        // Both files missing: 0 in green on both tabs.
        QCOMPARE(count(), QStringLiteral("0"));
        QCOMPARE(countColour(), Green);
        tabs()->setCurrentIndex(1);
        QCOMPARE(count(), QStringLiteral("0"));
        QCOMPARE(countColour(), Green);
    }

    // The counter counts the text being typed, before the cell is committed.
    void typingIntoACellMovesTheCounter_data()
    {
        QTest::addColumn<bool>("pdo");
        QTest::newRow("TFSetVar") << false;
        QTest::newRow("TFSetPdo") << true;
    }

    void typingIntoACellMovesTheCounter()
    {
        QFETCH(bool, pdo);
        // The other map holds 4 IN bytes.
        if (pdo)
            writeFileBytes(files().SdoPath, "<CanOpen_to_DeviceNet><ByteIN><row IdDev=\"1\" Index=\"1\" SubIndex=\"0\" "
                                            "NByte=\"4\" Mnemonic=\"\"/></ByteIN><ByteOUT/></CanOpen_to_DeviceNet>");
        else
            writeFileBytes(files().PdoPath, "<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO><row Cob_Id=\"1\" Dimension=\"4\" "
                                            "Mnemonic=\"\"/></ByteIN_TPDO><ByteOUT_RPDO/></CanOpen_PDO_to_DeviceNet>");
        make(pdo);
        open();
        QCOMPARE(count(), QStringLiteral("4"));
        const int sizeColumn = pdo ? 2 : 3;
        SpreadsheetGrid *view = gridView("GridIn");
        enter(view, 0, 1, QStringLiteral("$181"));
        QCOMPARE(view->model()->index(0, 1).data().toString(), QStringLiteral("$181"));

        go(view, 0, sizeColumn);
        QLineEdit *editor = type(view, QStringLiteral("8"));
        QVERIFY(editor);
        QCOMPARE(count(), QStringLiteral("12"));
        QCOMPARE(view->model()->index(0, sizeColumn).data().toString(), QString());
        QTest::keyClicks(editor, QStringLiteral("0"));
        QCOMPARE(count(), QStringLiteral("84"));
        QCOMPARE(countColour(), Red);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QCOMPARE(count(), QStringLiteral("12"));
        QCOMPARE(countColour(), Green);
        // Escape drops the edit, and the counter with it.
        QTest::keyClick(editor, Qt::Key_Escape);
        QCoreApplication::processEvents();
        QCOMPARE(count(), QStringLiteral("4"));
        QVERIFY(m_window->isVisible());

        // Typing replaces the cell's text; the other tab shows its own total at once.
        enter(view, 0, sizeColumn, QStringLiteral("5"));
        enter(view, 0, sizeColumn, QStringLiteral("6"));
        QCOMPARE(view->model()->index(0, sizeColumn).data().toString(), QStringLiteral("6"));
        QCOMPARE(view->currentIndex(), view->model()->index(1, sizeColumn));
        QCOMPARE(count(), QStringLiteral("10"));
        tabs()->setCurrentIndex(1);
        QCOMPARE(count(), QStringLiteral("0"));
    }

    void okChecksRowsThenBudgetAndKeepsTheWindow()
    {
        writeFileBytes(files().PdoPath, "<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO><row Cob_Id=\"1\" Dimension=\"1\" "
                                        "Mnemonic=\"\"/></ByteIN_TPDO><ByteOUT_RPDO/></CanOpen_PDO_to_DeviceNet>");
        make(false);
        open();
        AccessMapModel *in = mapModel("GridIn");
        for (int row = 0; row < 16; ++row)
            in->pasteText(row, 1, QStringLiteral("$6000\t0\t2"));
        in->setCell(3, 2, QStringLiteral("256"));
        clickOk();
        QCOMPARE(m_t->notices.errors, QStringList{SdoSubIndexIn});
        QVERIFY(m_window->isVisible());
        QCOMPARE(in->cell(3, 2), QStringLiteral("256"));

        in->setCell(3, 2, QStringLiteral("1"));
        m_t->notices.clear();
        QCOMPARE(count(), QStringLiteral("33"));
        QCOMPARE(countColour(), Red);
        clickOk();
        QCOMPARE(m_t->notices.errors, QStringList{SdoBudgetIn});
        QVERIFY(m_window->isVisible());
        QVERIFY(!QFile::exists(files().SdoPath));

        // 32 bytes: accepted, saved, closed.
        in->setCell(15, 3, QStringLiteral("1"));
        QCOMPARE(count(), QStringLiteral("32"));
        QCOMPARE(countColour(), Green);
        m_t->notices.clear();
        clickOk();
        QCOMPARE(m_t->notices.all(), QStringList());
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->result(), int(QDialog::Accepted));
        const QByteArray saved = readFileBytes(files().SdoPath);
        QVERIFY(saved.startsWith("<CanOpen_to_DeviceNet><ByteIN><row IdDev=\"1\" Index=\"$6000\" SubIndex=\"0\" "
                                 "NByte=\"2\" Mnemonic=\"\"/>"));
        QCOMPARE(QString::fromUtf8(saved).count(QStringLiteral("<row ")), 16);
    }

    void okCommitsTheCellBeingTyped()
    {
        make(true);
        open();
        SpreadsheetGrid *view = gridView("GridIn");
        enter(view, 0, 1, QStringLiteral("385"));
        go(view, 0, 2);
        QVERIFY(type(view, QStringLiteral("8")));
        clickOk();
        QCOMPARE(m_t->notices.all(), QStringList());
        QCOMPARE(readFileBytes(files().PdoPath),
                 QByteArray("<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO><row Cob_Id=\"385\" Dimension=\"8\" "
                            "Mnemonic=\"\"/></ByteIN_TPDO><ByteOUT_RPDO/></CanOpen_PDO_to_DeviceNet>"));
        // Reopening shows the "$" form; Cancel after changes writes nothing.
        open();
        QCOMPARE(view->model()->index(0, 1).data().toString(), QStringLiteral("$181"));
        enter(view, 0, 2, QStringLiteral("1"));
        QTest::mouseClick(requireChild<QPushButton>(m_window.get(), "BitBtn2"), Qt::LeftButton);
        QVERIFY(!m_window->isVisible());
        QVERIFY(readFileBytes(files().PdoPath).contains("Dimension=\"8\""));
        open();
        QCOMPARE(view->model()->index(0, 2).data().toString(), QStringLiteral("8"));
    }

    void ctrlEnterIsOkFromACellBeingTyped()
    {
        make(true);
        open();
        SpreadsheetGrid *view = gridView("GridIn");
        enter(view, 0, 1, QStringLiteral("385"));
        go(view, 0, 2);
        QLineEdit *editor = type(view, QStringLiteral("8"));
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_t->notices.all(), QStringList());
        QVERIFY(readFileBytes(files().PdoPath).contains("<row Cob_Id=\"385\" Dimension=\"8\""));
    }

    void spreadsheetKeys()
    {
        make(false);
        open();
        SpreadsheetGrid *view = gridView("GridOut");
        tabs()->setCurrentIndex(1);
        QApplication::clipboard()->setText(QStringLiteral("$2000\t1\t4\tfirst\r\n$2001\t2\t2\tsecond\r\n"));
        // Pasted from row 31: the second row would fall off the grid's end.
        go(view, 31, 1);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        AccessMapModel *out = mapModel("GridOut");
        QCOMPARE(out->rowCount(), 32);
        QCOMPARE(out->cell(31, 4), QStringLiteral("first"));
        QCOMPARE(count(), QStringLiteral("4"));

        go(view, 0, 1);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(out->cell(1, 4), QStringLiteral("second"));
        QCOMPARE(count(), QStringLiteral("10"));
        // Enter moves down and never presses OK.
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(m_window->isVisible());
        QCOMPARE(view->currentIndex(), out->index(1, 1));

        // Select rows 1-2, columns Index..nByte; copy, then Delete clears them.
        view->selectionModel()->select(QItemSelection(out->index(0, 1), out->index(1, 3)),
                                       QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("$2000\t1\t4\r\n$2001\t2\t2\r\n"));
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(out->cell(0, 1), QString());
        QCOMPARE(out->cell(1, 3), QString());
        QCOMPARE(out->cell(0, 4), QStringLiteral("first"));
        QCOMPARE(out->cell(0, 0), QStringLiteral("1"));
        QCOMPARE(count(), QStringLiteral("4"));
    }

    // From opening to OK or Cancel, on both tabs, without the mouse.
    void keyboardOnly()
    {
        make(false);
        open();
        QVERIFY(requireChild<QLabel>(m_window.get(), "LabelKeyHint")->text().contains(QStringLiteral("Ctrl+Enter")));
        QVERIFY(requireChild<QLabel>(m_window.get(), "LabelKeyHint")->text().contains(QStringLiteral("Ctrl+Tab")));
        SpreadsheetGrid *in = gridView("GridIn");
        QCOMPARE(QApplication::focusWidget(), in);
        QAbstractItemModel *model = in->model();

        // Tab commits the cell being typed and moves right, then on to the next row.
        QLineEdit *editor = type(in, QStringLiteral("$6000"));
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Tab);
        QCoreApplication::processEvents();
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("$6000"));
        QCOMPARE(in->currentIndex(), model->index(0, 2));
        QVERIFY(!in->isEditing());
        for (const char *text : {"1", "2"}) {
            editor = type(in, QString::fromLatin1(text));
            QTest::keyClick(editor, Qt::Key_Tab);
            QCoreApplication::processEvents();
        }
        QCOMPARE(in->currentIndex(), model->index(0, 4));
        QTest::keyClick(in, Qt::Key_Tab);
        QCOMPARE(in->currentIndex(), model->index(1, 1));
        QTest::keyClick(in, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(in->currentIndex(), model->index(0, 4));
        QTest::keyClick(in, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(in->currentIndex(), model->index(0, 3));
        QCOMPARE(count(), QStringLiteral("2"));

        // Ctrl+PageDown from a cell being typed keeps the text and shows the OUT grid.
        go(in, 1, 1);
        editor = type(in, QStringLiteral("$6001"));
        QTest::keyClick(editor, Qt::Key_PageDown, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("$6001"));
        QCOMPARE(tabs()->currentIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), gridView("GridOut"));
        QTest::keyClick(gridView("GridOut"), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), 0);
        QCOMPARE(QApplication::focusWidget(), in);

        // Ctrl+Tab leaves the grid for "Pick from EDS…" and OK, Ctrl+Shift+Tab for the tabs before it.
        QTest::keyClick(in, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), requireChild<QPushButton>(m_window.get(), "BtnPickEds"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), requireChild<QPushButton>(m_window.get(), "BitBtn1"));
        in->setFocus();
        editor = type(in, QStringLiteral("1"));
        QTest::keyClick(editor, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCoreApplication::processEvents();
        QVERIFY(tabs()->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("1"));

        // Escape drops the cell being typed; with no cell open it is Cancel.
        in->setFocus();
        go(in, 1, 3);
        editor = type(in, QStringLiteral("4"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QCoreApplication::processEvents();
        QVERIFY(m_window->isVisible());
        QCOMPARE(model->index(1, 3).data().toString(), QString());
        QTest::keyClick(in, Qt::Key_Escape);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(files().SdoPath));
    }

    // Before the message shows, the tab of the offending row is shown with the cursor on its cell.
    void refusalPutsTheCursorOnTheCell_data()
    {
        QTest::addColumn<bool>("out");
        QTest::addColumn<QStringList>("rows"); // pasted from row 1, column 1
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("OUT subindex in row 2")
            << true << QStringList{"$6000	1	2", "$6001	300	2"} << SdoSubIndexOut << 1 << 2;
        QTest::newRow("IN nbyte in row 1") << false << QStringList{"$6000	1	3"} << SdoNByteIn << 0 << 3;
        QTest::newRow("IN row 2 ends the list, row 3 filled")
            << false << QStringList{"$6000	1	2", "", "$6002	1	2"} << ListEndsEarly.arg(2) << 1 << 1;
        QTest::newRow("OUT index 0 ends the list")
            << true << QStringList{"0	1	2", "$6002	1	2"} << ListEndsEarly.arg(1) << 0 << 1;
    }

    void refusalPutsTheCursorOnTheCell()
    {
        QFETCH(bool, out);
        QFETCH(QStringList, rows);
        QFETCH(QString, message);
        QFETCH(int, row);
        QFETCH(int, column);
        make(false);
        open();
        SpreadsheetGrid *view = gridView(out ? "GridOut" : "GridIn");
        view->gridModel()->pasteText(0, 1, rows.join(QStringLiteral("\n")));
        // Start from the other tab, in the other grid.
        tabs()->setCurrentIndex(out ? 0 : 1);
        gridView(out ? "GridIn" : "GridOut")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(m_t->notices.errors, QStringList{message});
        QVERIFY(m_window->isVisible());
        QCOMPARE(tabs()->currentIndex(), out ? 1 : 0);
        QCOMPARE(view->currentIndex(), view->model()->index(row, column));
        QCOMPARE(QApplication::focusWidget(), view);
        QVERIFY(!QFile::exists(files().SdoPath));
    }

    void faultyFileIsReportedAndTheEditorOpensWithWhatItRead()
    {
        const QByteArray faulty = "<CanOpen_to_DeviceNet><ByteIN><row IdDev=\"1\" Index=\"$6000\" SubIndex=\"1\" "
                                  "NByte=\"2\" Mnemonic=\"a\"/></ByteIN></CanOpen_to_DeviceNet>";
        writeFileBytes(files().SdoPath, faulty);
        writeFileBytes(files().PdoPath, "<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO><row Cob_Id=\"1\" Dimension=\"x\" "
                                        "Mnemonic=\"\"/></ByteIN_TPDO><ByteOUT_RPDO/></CanOpen_PDO_to_DeviceNet>");
        make(false);
        open();
        QCOMPARE(m_t->notices.errors.size(), 2);
        QVERIFY(m_t->notices.errors[0].startsWith(QDir::toNativeSeparators(files().PdoPath)));
        QVERIFY(m_t->notices.errors[0].contains(QStringLiteral("Dimension 'x'")));
        QVERIFY(m_t->notices.errors[1].startsWith(QDir::toNativeSeparators(files().SdoPath)));
        QVERIFY(m_t->notices.errors[1].contains(QStringLiteral("<ByteOUT>")));
        QCOMPARE(mapModel("GridIn")->cell(0, 4), QStringLiteral("a"));
        QCOMPARE(count(), QStringLiteral("2"));
        QCOMPARE(readFileBytes(files().SdoPath), faulty);
    }

    void unwritableFileKeepsTheWindowOpen()
    {
        make(true);
        open();
        mapModel("GridIn")->pasteText(0, 1, QStringLiteral("1\t1"));
        QVERIFY(QDir(m_t->store.state().ProjectDir).removeRecursively());
        clickOk();
        QCOMPARE(m_t->notices.generalErrors.size(), 1);
        QVERIFY(m_t->notices.generalErrors.first().contains(QDir::toNativeSeparators(files().PdoPath)));
        QVERIFY(m_window->isVisible());
        QCOMPARE(mapModel("GridIn")->cell(0, 1), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestAccessMapEditor)
#include "tst_AccessMapEditor.moc"
