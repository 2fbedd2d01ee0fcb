#include "support/GuiTestSupport.h"
#include "translate/Messages.h"
#include "translate/UInfoPdo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

namespace {

QByteArray row(const char *index, const char *subindex, const char *nrpdo, const char *poscomp)
{
    return QByteArray("<row index=\"") + index + "\" subindex=\"" + subindex + "\" nrpdo=\"" + nrpdo + "\" poscomp=\"" +
           poscomp + "\"/>";
}

// Two PDOs on "CanA", one on "CanB".
const QByteArray Rpdodef = "<rpdodef>"
                           "<row cobid=\"0x181\" id_dev_orig=\"\" en_bypass=\"0\" posind=\"\" n_tpdo=\"\"/>"
                           "<row cobid=\"0x201\" id_dev_orig=\"\" en_bypass=\"2\" posind=\"\" n_tpdo=\"\"/>"
                           "<row cobid=\"0x182\" id_dev_orig=\"\" en_bypass=\"1\" posind=\"\" n_tpdo=\"\"/>"
                           "</rpdodef>";
// 0x3000/1 is already translated on "CanA".
const QByteArray Sdotrans = "<sdo><row conf=\"0\" IndexA=\"0x3000\" SubindexA=\"1\" devIDB=\"5\" IndexB=\"0x6000\" "
                            "SubindexB=\"0\" nbyteB=\"2\" mnemonico=\"\"/></sdo>";
const QByteArray Stored = "<sdopdo>" + row("0x2000", "1", "1", "18") + row("0x2001", "0", "1", "33") + "</sdopdo>";

QStringList items(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class TestUInfoPdo : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ProjectTestContext> m_t;
    StoredPdoCopies m_copies;
    std::unique_ptr<TFInfopdo> m_window;

    const ProjectFiles &files() const { return m_t->store.state().ProjectFiles; }
    void open()
    {
        m_window = std::make_unique<TFInfopdo>(m_t->ctx, nullptr, m_copies);
        showActive(m_window.get());
    }
    template <typename T> T *child(const char *name) const { return requireChild<T>(m_window.get(), name); }
    QListWidget *list(const char *name) const { return child<QListWidget>(name); }
    QLineEdit *edit(const char *name) const { return child<QLineEdit>(name); }
    // The position checked in a radio group, -1 for none.
    int position(const char *group) const
    {
        const QList<QRadioButton *> buttons = child<QGroupBox>(group)->findChildren<QRadioButton *>();
        for (int i = 0; i < buttons.size(); ++i)
            if (buttons[i]->isChecked())
                return i;
        return -1;
    }
    void press(const char *button)
    {
        QPushButton *b = child<QPushButton>(button);
        b->setFocus();
        QTest::keyClick(b, Qt::Key_Space);
    }
    void clickItem(QListWidget *list, int row)
    {
        const QRect at = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
    }
    void retype(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }

private slots:
    void init()
    {
        m_t = std::make_unique<ProjectTestContext>();
        writeFileBytes(files().RpdodefPath, Rpdodef);
        writeFileBytes(files().SdotransPath, Sdotrans);
        writeFileBytes(files().SdopdoPath, Stored);
        m_copies = StoredPdoCopies();
    }
    void cleanup() { m_window.reset(); }

    void window()
    {
        writeFileBytes(files().SdotransPath, "<sdo><row/></sdo>");
        QFile::remove(files().SdopdoPath);
        open();
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Define Store PDO"));
        auto *tabs = child<QTabWidget>("PageControl1");
        QCOMPARE(QStringList({tabs->tabText(0), tabs->tabText(1)}), QStringList({"CanA", "CanB"}));
        QCOMPARE(m_t->notices.notices.size(), 2);
        QVERIFY(m_t->notices.notices[0].startsWith(TranslateMessages::SdoXmlReadError + u'\n'));
        QCOMPARE(m_t->notices.notices[1], TranslateMessages::SdopdoXmlNotFound);
        QCOMPARE(items(list("LPdoCanA")), QStringList({"0x181", "0x182"}));
        QCOMPARE(items(list("LPdoCanB")), QStringList({"0x201"}));
        QCOMPARE(list("LPdoCanA")->currentRow(), -1);
        for (const char *name : {"PoscompMsbA", "PoscompLsbA", "PoscompMsbB", "PoscompLsbB"}) {
            auto *group = child<QGroupBox>(name);
            QCOMPARE(group->title(), QStringLiteral("Selected PDO Byte"));
            QStringList texts;
            for (const QRadioButton *b : group->findChildren<QRadioButton *>())
                texts << b->text();
            QCOMPARE(texts, QStringList({"none", "B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8"}));
            QCOMPARE(position(name), 0);
        }
        for (const char *name : {"BDeleteSdoB", "BNewSdoB", "BModifySdoB", "BCopySdoB", "BPasteSdoB", "EindexB",
                                 "EsubindexB", "LSdoCanB", "BitBtn1", "BitBtn2", "BtnExport", "BtnImport"})
            QVERIFY2(m_window->findChild<QWidget *>(QString::fromLatin1(name)), name);
        // Every label names its field, on both tabs.
        QStringList labelled;
        for (const QLabel *l : m_window->findChildren<QLabel *>()) {
            if (l->objectName() == QLatin1String("LabelStatus"))
                continue;
            QVERIFY2(l->buddy(), qPrintable(l->text()));
            if (l->buddy()->objectName() == QLatin1String("PoscompLsbA"))
                labelled << l->text();
        }
        QCOMPARE(labelled, QStringList({"Trsalete in", "Low SDO Byte"}));
    }

    // A session from the keyboard alone: pick a PDO and an SDO, retype, store, be
    // refused, delete, and OK with Enter: sdopdo.xml sorted.
    void keyboardSession()
    {
        open();
        QListWidget *pdos = list("LPdoCanA");
        QListWidget *sdos = list("LSdoCanA");
        QCOMPARE(QApplication::focusWidget(), pdos);
        QTest::keyClick(pdos, Qt::Key_Down);
        QCOMPARE(pdos->currentRow(), 0);
        QCOMPARE(items(sdos), QStringList({"Sdo0", "Sdo1"}));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), sdos);
        QTest::keyClick(sdos, Qt::Key_Down);
        QTest::keyClick(sdos, Qt::Key_Down);
        QCOMPARE(edit("EindexA")->text(), QStringLiteral("0x2001"));
        QCOMPARE(edit("EsubindexA")->text(), QStringLiteral("0"));
        QCOMPARE(position("PoscompMsbA"), 2);
        QCOMPARE(position("PoscompLsbA"), 1);

        // Tab leads through the fields into the radio groups; arrows move the choice.
        QTest::keyClick(sdos, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), edit("EindexA"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), edit("EsubindexA"));
        retype(edit("EsubindexA"), QStringLiteral("7"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("PoscompMsbA2"));
        // Three items a row: B5 sits under B2.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(position("PoscompMsbA"), 5);

        press("BModifySdoA");
        QCOMPARE(m_t->notices.notices, QStringList());
        press("BNewSdoA");
        QCOMPARE(m_t->notices.notices, QStringList{TranslateMessages::SdoAlreadyStored});
        retype(edit("EindexA"), QStringLiteral("12288"));
        retype(edit("EsubindexA"), QStringLiteral("1"));
        press("BNewSdoA");
        QCOMPARE(m_t->notices.notices.last(), TranslateMessages::SdoAlreadyTranslated);
        retype(edit("EindexA"), QStringLiteral("0x1000"));
        press("BNewSdoA");
        QCOMPARE(items(sdos), QStringList({"Sdo0", "Sdo1", "Sdo2"}));
        QCOMPARE(sdos->currentRow(), 2);

        // Delete the first: the rest are labelled afresh and nothing is selected.
        sdos->setFocus();
        QTest::keyClick(sdos, Qt::Key_Home);
        QCOMPARE(edit("EindexA")->text(), QStringLiteral("0x2000"));
        press("BDeleteSdoA");
        QCOMPARE(items(sdos), QStringList({"Sdo0", "Sdo1"}));
        QCOMPARE(sdos->currentRow(), -1);

        // Enter in a field stays there; Ctrl+Enter is OK.
        edit("EindexA")->setFocus();
        QTest::keyClick(edit("EindexA"), Qt::Key_Return);
        QVERIFY(m_window->isVisible());
        QTest::keyClick(edit("EindexA"), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(readFileBytes(files().SdopdoPath),
                 "<sdopdo>" + row("0x1000", "1", "1", "81") + row("0x2001", "7", "1", "81") + "</sdopdo>");
    }

    // Copy keeps the fields for Paste on the same tab, also in a window opened
    // later; Paste with nothing copied leaves the fields as they are.
    void copyAndPaste()
    {
        open();
        child<QTabWidget>("PageControl1")->setCurrentIndex(1);
        retype(edit("EindexB"), QStringLiteral("typed"));
        press("BPasteSdoB");
        QCOMPARE(edit("EindexB")->text(), QStringLiteral("typed"));
        QCOMPARE(m_t->notices.all(), QStringList());

        child<QTabWidget>("PageControl1")->setCurrentIndex(0);
        clickItem(list("LPdoCanA"), 0);
        clickItem(list("LSdoCanA"), 0);
        press("BCopySdoA");
        QTest::keyClick(m_window.get(), Qt::Key_Escape);
        QVERIFY(!m_window->isVisible());

        open();
        press("BPasteSdoA");
        QCOMPARE(edit("EindexA")->text(), QStringLiteral("0x2000"));
        QCOMPARE(edit("EsubindexA")->text(), QStringLiteral("1"));
        QCOMPARE(position("PoscompMsbA"), 1);
        QCOMPARE(position("PoscompLsbA"), 2);
        // Escape wrote nothing.
        QCOMPARE(readFileBytes(files().SdopdoPath), Stored);
    }

    // OK that cannot save keeps the window and the entries; the file keeps its
    // content. A code that is not an integer fails once per click.
    void failedSaveKeepsEverything()
    {
        const QByteArray bad = "<sdopdo>" + row("0x2000", "1", "1", "x") + row("abc", "0", "1", "0") + "</sdopdo>";
        writeFileBytes(files().SdopdoPath, bad);
        open();
        clickItem(list("LPdoCanA"), 0);
        clickItem(list("LSdoCanA"), 0);
        QCOMPARE(m_t->notices.generalErrors, QStringList{QStringLiteral("'x' is not a valid integer value")});
        QCOMPARE(edit("EindexA")->text(), QStringLiteral("0x2000"));
        press("BitBtn1");
        QCOMPARE(m_t->notices.notices.last(), TranslateMessages::StoredSdoFault.arg("CanA", "0x181")
                                                  .arg(1)
                                                  .arg("index", "'abc' is not a valid integer value"));
        QCOMPARE(QApplication::focusWidget(), edit("EindexA"));
        QCOMPARE(edit("EindexA")->text(), QStringLiteral("abc"));
        QVERIFY(m_window->isVisible());
        QCOMPARE(items(list("LSdoCanA")), QStringList({"Sdo0", "Sdo1"}));
        QCOMPARE(readFileBytes(files().SdopdoPath), bad);
    }

    // Import refills the stored SDOs and lists the selected PDO's anew; Export
    // writes the CSV file, neither touches sdopdo.xml.
    void importAndExport()
    {
        open();
        clickItem(list("LPdoCanA"), 1);
        QCOMPARE(items(list("LSdoCanA")), QStringList());
        const QString workbook =
            sourcePath(QStringLiteral("tests/core/translate/fixtures/sdopdo_header_line_and_unknown_pdos.xls"));
        m_t->chooser.answers << workbook;
        press("BtnImport");
        QCOMPARE(m_t->notices.notices,
                 QStringList{TranslateMessages::ImportedSdosLeftOut.arg(QDir::toNativeSeparators(workbook), "SdoPdo")
                                 .arg("3 records")
                                 .arg("rows 3, 5, 7")});
        QCOMPARE(items(list("LSdoCanA")), QStringList{"Sdo0"});
        press("BtnExport");
        QCOMPARE(readFileBytes(files().csvPath(QStringLiteral("sdopdo"))),
                 QByteArray("\xEF\xBB\xBF"
                            "index,subindex,nrpdo,poscomp,\r\n0x2000,1,1,18,\r\n8192,3,2,1,\r\n"));
        QCOMPARE(readFileBytes(files().SdopdoPath), Stored);
    }
};

QTEST_MAIN(TestUInfoPdo)
#include "tst_UInfoPdo.moc"
