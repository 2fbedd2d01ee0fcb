// Every translation window driven by keys alone, from opening to OK and to Cancel,
// and what every window shares: F1, accessible names, Enter that never closes.
#include "shell/Uhelp.h"
#include "support/GuiTestSupport.h"
#include "translate/Messages.h"
#include "translate/SELstringhe.h"
#include "translate/UInfoPdo.h"
#include "translate/USdo.h"
#include "translate/UWemcy.h"
#include "translate/Uemcy.h"
#include "translate/Updo.h"
#include "widgets/SpreadsheetGrid.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <memory>

namespace {

enum class Kind { Pdo, Sdo, Emcy, EmcyWord, StoredPdo };

struct Opened {
    std::unique_ptr<QDialog> window;
    QString file;
};

Opened make(Kind kind, ProjectTestContext &t)
{
    const ProjectFiles &files = t.store.state().ProjectFiles;
    switch (kind) {
    case Kind::Pdo: {
        auto w = std::make_unique<TFpdo>(t.ctx);
        const QString file = w->table().filePath(files);
        return {std::move(w), file};
    }
    case Kind::Sdo: {
        auto w = std::make_unique<TFsdo>(t.ctx);
        const QString file = w->table().filePath(files);
        return {std::move(w), file};
    }
    case Kind::Emcy: {
        auto w = std::make_unique<TFemcy>(t.ctx);
        const QString file = w->table().filePath(files);
        return {std::move(w), file};
    }
    case Kind::EmcyWord: {
        auto w = std::make_unique<TFWemcy>(t.ctx);
        const QString file = w->table().filePath(files);
        return {std::move(w), file};
    }
    case Kind::StoredPdo: {
        // One PDO on each tab, so that an SDO can be stored.
        writeFileBytes(files.RpdodefPath, "<rpdodef><row cobid=\"0x181\" id_dev_orig=\"1\" en_bypass=\"0\" posind=\"\" "
                                          "n_tpdo=\"\"/><row cobid=\"0x201\" id_dev_orig=\"1\" en_bypass=\"2\" "
                                          "posind=\"\" n_tpdo=\"\"/></rpdodef>");
        auto w = std::make_unique<TFInfopdo>(t.ctx);
        const QString file = w->table().filePath(files);
        return {std::move(w), file};
    }
    }
    return {};
}

bool inGrid(const QWidget *w)
{
    for (; w; w = w->parentWidget())
        if (qobject_cast<const SpreadsheetGrid *>(w))
            return true;
    return false;
}

// Moves the focus with Tab, or Ctrl+Tab out of a grid, until the control named
// name has it.
void tabTo(QWidget *window, const QString &name)
{
    for (int i = 0; i < 80; ++i) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY2(focus && focus->window() == window, "the focus left the window");
        if (focus->objectName() == name)
            return;
        QTest::keyClick(focus, Qt::Key_Tab, inGrid(focus) ? Qt::ControlModifier : Qt::NoModifier);
    }
    QFAIL(qPrintable(QStringLiteral("Tab never reaches %1").arg(name)));
}

// Steps: "to:Name" tabs to a control, "type:text" types into the focused control
// key by key, "enter" presses Enter there, "down" the down arrow.
void run(QWidget *window, const QStringList &steps)
{
    for (const QString &step : steps) {
        if (step.startsWith(QLatin1String("to:"))) {
            tabTo(window, step.mid(3));
        } else if (step.startsWith(QLatin1String("type:"))) {
            for (const QChar c : step.mid(5))
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        } else if (step == QLatin1String("enter")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else if (step == QLatin1String("down")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        }
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(window->isVisible(), qPrintable(QStringLiteral("the window closed at %1").arg(step)));
    }
}

// What a screen reader says with a grid's cells: each column header distinct and
// the row header the number the row shows (the row headers are hidden, but read).
// A cell being typed in is named after its column and row.
void checkGridHeaders(QAbstractItemView *grid)
{
    QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(grid)->tableInterface();
    QVERIFY(table);
    const QAbstractItemModel *model = grid->model();
    const QModelIndex was = grid->currentIndex();
    const int row = model->rowCount() - 1;
    QStringList columns;
    for (int c = 0; c < model->columnCount(); ++c) {
        QAccessibleTableCellInterface *cell = table->cellAt(row, c)->tableCellInterface();
        const QString column = cell->columnHeaderCells().value(0)->text(QAccessible::Name);
        QVERIFY2(!columns.contains(column), qPrintable(column));
        columns << column;
        QCOMPARE(cell->rowHeaderCells().value(0)->text(QAccessible::Name), model->index(row, 0).data().toString());
    }
    if (grid->editTriggers() != QAbstractItemView::NoEditTriggers) {
        grid->setFocus();
        grid->setCurrentIndex(model->index(row, 1));
        grid->edit(grid->currentIndex());
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor != grid && grid->isAncestorOf(editor));
        QCOMPARE(editor->accessibleName(),
                 QStringLiteral("%1, row %2").arg(columns[1], model->index(row, 0).data().toString()));
        QTest::keyClick(editor, Qt::Key_Escape);
    }
    grid->setCurrentIndex(was);
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestTranslationKeys : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ProjectTestContext> m_t;

private slots:
    void init() { m_t = std::make_unique<ProjectTestContext>(); }
    void cleanup() { m_t.reset(); }

    void keysOnly_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QStringList>("edit");
        QTest::addColumn<QByteArray>("saved");
        // Each edit ends with Enter in a field or cell, which must not close the window.
        QTest::newRow("Define Traslate PDO")
            << Kind::Pdo << QStringList{"type:0x181", "enter"} << QByteArray("cobid=\"0x181\"");
        QTest::newRow("SDO translation") << Kind::Sdo << QStringList{"type:1", "type:\t", "type:0x2000", "enter"}
                                         << QByteArray("IndexA=\"0x2000\"");
        QTest::newRow("Set Traslate EMCY")
            << Kind::Emcy
            << QStringList{"to:Eid_devA", "type:5", "enter", "to:BNewA", "enter", "to:Eid_devA", "type:6", "enter"}
            << QByteArray("id_dev=\"5\"");
        QTest::newRow("Define EMCY Word")
            << Kind::EmcyWord << QStringList{"to:Eindex_addrmA", "type:12288", "to:EsubindexA", "type:1", "to:EdevidA",
                                             "type:3",           "enter",      "to:BtnNewA",    "enter"}
            << QByteArray("devid=\"3\"");
        QTest::newRow("Define Store PDO")
            << Kind::StoredPdo
            << QStringList{"to:LPdoCanA", "down",        "to:EindexA", "type:8192",  "to:EsubindexA", "type:1",
                           "enter",       "to:BNewSdoA", "enter",      "to:EindexA", "type:7",        "enter"}
            << QByteArray("index=\"8192\"");
    }
    // Open, edit, change tabs both ways, leave by OK; open again, edit, leave by Escape.
    void keysOnly()
    {
        QFETCH(Kind, kind);
        QFETCH(QStringList, edit);
        QFETCH(QByteArray, saved);
        Opened opened = make(kind, *m_t);
        QDialog *window = opened.window.get();
        showActive(window);
        m_t->notices.clear();
        run(window, edit);
        if (QTest::currentTestFailed())
            return;

        auto *tabs = requireChild<QTabWidget>(window, "PageControl1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(tabs->currentWidget()->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(tabs->currentWidget()->isAncestorOf(QApplication::focusWidget()));

        tabTo(window, QStringLiteral("BitBtn1"));
        // The EMCY and stored-PDO edits end with a value typed but not stored: OK asks
        // before dropping it.
        m_t->notices.answers << true;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(m_t->notices.all(), QStringList());
        QCOMPARE(m_t->notices.questions, kind == Kind::Emcy || kind == Kind::StoredPdo
                                             ? QStringList{TranslateMessages::UnstoredFields.arg(tabs->tabText(0))}
                                             : QStringList());
        m_t->notices.answers.clear();
        QVERIFY(!window->isVisible());
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QVERIFY2(readFileBytes(opened.file).contains(saved), readFileBytes(opened.file).constData());

        // Cancel: the file stays as OK wrote it.
        const QByteArray before = readFileBytes(opened.file);
        showActive(window);
        m_t->notices.clear();
        run(window, edit);
        if (QTest::currentTestFailed())
            return;
        // Escape leaves a cell being typed in first, then the window.
        for (int i = 0; i < 2 && window->isVisible(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(window->result(), int(QDialog::Rejected));
        QCOMPARE(readFileBytes(opened.file), before);
    }

    void shared_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("Define Traslate PDO") << Kind::Pdo;
        QTest::newRow("SDO translation") << Kind::Sdo;
        QTest::newRow("Set Traslate EMCY") << Kind::Emcy;
        QTest::newRow("Define EMCY Word") << Kind::EmcyWord;
        QTest::newRow("Define Store PDO") << Kind::StoredPdo;
    }
    // F1 asks for help; every list, grid, tree and group carries a name, and no
    // two on one page read alike.
    void shared()
    {
        QFETCH(Kind, kind);
        Opened opened = make(kind, *m_t);
        QDialog *window = opened.window.get();
        showActive(window);
        QSignalSpy help(window, SIGNAL(helpRequested()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCOMPARE(help.count(), 1);

        auto *tabs = requireChild<QTabWidget>(window, "PageControl1");
        for (int page = 0; page < tabs->count(); ++page) {
            QStringList names;
            QList<QWidget *> named;
            for (QAbstractItemView *view : tabs->widget(page)->findChildren<QAbstractItemView *>())
                if (!qobject_cast<QHeaderView *>(view))
                    named << view;
            for (QGroupBox *box : tabs->widget(page)->findChildren<QGroupBox *>())
                named << box;
            QVERIFY(!named.isEmpty());
            for (QWidget *w : named) {
                const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
                QVERIFY2(!name.isEmpty(), qPrintable(w->objectName()));
                QVERIFY2(!names.contains(name), qPrintable(name));
                names << name;
            }
            for (QTreeWidget *tree : tabs->widget(page)->findChildren<QTreeWidget *>())
                QCOMPARE(tree->headerItem()->text(0), tabs->tabText(page));
            tabs->setCurrentIndex(page);
            for (SpreadsheetGrid *grid : tabs->widget(page)->findChildren<SpreadsheetGrid *>()) {
                checkGridHeaders(grid);
                if (QTest::currentTestFailed())
                    return;
            }
        }
    }

    // The picker by keys: F1 asks for help, Down picks the next string, Tab
    // reaches OK, Escape cancels; its grid carries a name.
    void picker()
    {
        TFSELstringhe picker(m_t->ctx);
        showActive(&picker);
        QSignalSpy help(&picker, &TFSELstringhe::helpRequested);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCOMPARE(help.count(), 1);
        auto *grid = requireChild<QAbstractItemView>(&picker, "sg");
        QCOMPARE(QAccessible::queryAccessibleInterface(grid)->text(QAccessible::Name), QStringLiteral("Select String"));
        checkGridHeaders(grid);
        QCOMPARE(QApplication::focusWidget(), grid);
        QTest::keyClick(grid, Qt::Key_Down);
        tabTo(&picker, QStringLiteral("BitBtn1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(picker.selectedIndex(), 1);
        showActive(&picker);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!picker.isVisible());
        QCOMPARE(picker.result(), int(QDialog::Rejected));
    }

    // A filled row under an empty cobid is refused at OK, the cursor on the empty cobid.
    void gapRefusedAtOk()
    {
        Opened opened = make(Kind::Pdo, *m_t);
        auto *window = static_cast<TFpdo *>(opened.window.get());
        showActive(window);
        m_t->notices.clear();
        TranslationGrid &b = window->table().grid(CanLine::B);
        b.setEntryCell(0, 1, QStringLiteral("0x201"));
        b.setEntryCell(2, 1, QStringLiteral("0x203"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(window->isVisible());
        QCOMPARE(
            m_t->notices.notices,
            QStringList{TranslateMessages::RowsBelowKeyless.arg("PDO From CanB to CanA").arg(1).arg("cobid").arg(2)});
        QCOMPARE(requireChild<QTabWidget>(window, "PageControl1")->currentIndex(), 1);
        SpreadsheetGrid *sgb = window->grid(CanLine::B);
        QCOMPARE(QApplication::focusWidget(), sgb);
        QCOMPARE(sgb->currentIndex(), sgb->model()->index(2, 1));
        QVERIFY(!QFile::exists(opened.file));
    }

    // Values outside the ranges the labels show: New refuses them naming the field,
    // and OK refuses those read from the file, the cursor on the field.
    void emcyRangesRefused()
    {
        writeFileBytes(m_t->store.state().ProjectFiles.EmcydefPath,
                       "<emcydef><row id_dev=\"200\" mask_eq_ec=\"0\" mask_eq_er=\"0\" mask_eq_m1=\"0\" "
                       "mask_eq_m2=\"0\" mask_eq_m3=\"0\" enmask_eq_ec=\"0\" enmask_eq_er=\"0\" enmask_eq_m1=\"0\" "
                       "enmask_eq_m2=\"0\" enmask_eq_m3=\"0\" bypass_set=\"32\"/></emcydef>");
        Opened opened = make(Kind::Emcy, *m_t);
        QDialog *window = opened.window.get();
        showActive(window);
        const QByteArray before = readFileBytes(opened.file);

        auto *mask = requireChild<QLineEdit>(window, "Emask_eq_erA");
        requireChild<QLineEdit>(window, "Eid_devA")->setText(QStringLiteral("5"));
        mask->setText(QStringLiteral("-3"));
        QTest::mouseClick(requireChild<QPushButton>(window, "BNewA"), Qt::LeftButton);
        QCOMPARE(m_t->notices.notices, QStringList{"MAsk_error_Reg (0..255): -3 is outside 0..255."});
        QCOMPARE(QApplication::focusWidget(), mask);
        QCOMPARE(requireChild<QListWidget>(window, "LBCanA")->count(), 0);

        m_t->notices.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(window->isVisible());
        QCOMPARE(m_t->notices.notices, QStringList{TranslateMessages::EmcyEntryFault.arg("From CAN B")
                                                       .arg(1)
                                                       .arg("200", "ID_EMCY (1..127): 200 is outside 1..127.")});
        QCOMPARE(requireChild<QTabWidget>(window, "PageControl1")->currentIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), requireChild<QLineEdit>(window, "Eid_devB"));
        QCOMPARE(readFileBytes(opened.file), before);
    }

    // Export names the file it wrote on the status line; buttons that need a
    // selection say so there.
    void statusLine()
    {
        Opened opened = make(Kind::StoredPdo, *m_t);
        auto *window = static_cast<TFInfopdo *>(opened.window.get());
        showActive(window);
        // Screen readers get the line as a notification named by its text, left
        // out while it is empty.
        QAccessibleInterface *spoken =
            QAccessible::queryAccessibleInterface(requireChild<QLabel>(window, "LabelStatus"));
        QVERIFY(spoken->state().invisible);
        QTest::mouseClick(requireChild<QPushButton>(window, "BNewSdoB"), Qt::LeftButton);
        QCOMPARE(window->statusText(), TranslateMessages::NeedsSelection.arg("New SDO", "PDO", "CanB"));
        QCOMPARE(spoken->role(), QAccessible::Notification);
        QCOMPARE(spoken->text(QAccessible::Name), window->statusText());
        QVERIFY(!spoken->state().invisible);
        QTest::mouseClick(requireChild<QPushButton>(window, "BDeleteSdoA"), Qt::LeftButton);
        QCOMPARE(window->statusText(), TranslateMessages::NeedsSelection.arg("Delete SDO", "SDO", "CanA"));

        QTest::mouseClick(requireChild<QPushButton>(window, "BtnExport"), Qt::LeftButton);
        const QString csv = m_t->store.state().ProjectFiles.csvPath(QStringLiteral("sdopdo"));
        const QString xlsx = csv.chopped(3) + QStringLiteral("xlsx");
        QVERIFY(QFile::exists(csv) && QFile::exists(xlsx));
        QCOMPARE(window->statusText(), TranslateMessages::ExportWrote.arg(
                                           QStringLiteral("\"%1\" and \"%2\"")
                                               .arg(QDir::toNativeSeparators(csv), QDir::toNativeSeparators(xlsx))));
    }

    // An editor held open by exec() leaves the help window usable: a click on its
    // scroll bar scrolls it.
    void helpBesideModalEditor()
    {
        QWidget main;
        main.resize(300, 200);
        showActive(&main);
        auto *help = new TFHelp(m_t->ctx, &main);
        auto *editor = new TFpdo(m_t->ctx, &main);
        int scrolled = -1;
        whenModalOpens([&](QWidget *modal) {
            QCOMPARE(modal, editor);
            help->showHelp();
            auto *text = requireChild<QTextBrowser>(help, "RichEdit1");
            QCOMPARE(QAccessible::queryAccessibleInterface(text)->text(QAccessible::Name), QStringLiteral("Help"));
            text->setPlainText(QString(QStringLiteral("line\n")).repeated(400));
            QVERIFY(QTest::qWaitForWindowExposed(help));
            QScrollBar *bar = text->verticalScrollBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - bar->width() - 4));
            scrolled = bar->value();
            editor->reject();
        });
        editor->exec();
        QVERIFY(scrolled > 0);
        // Help goes with the main window.
        QPointer<TFHelp> watch(help);
        delete editor;
        QVERIFY(watch);
    }
};

QTEST_MAIN(TestTranslationKeys)
#include "tst_TranslationKeys.moc"
