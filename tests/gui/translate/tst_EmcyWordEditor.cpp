#include "support/GuiTestSupport.h"
#include "translate/Messages.h"
#include "translate/UWemcy.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <memory>

namespace {

// Two words on "CanA" (bit 0 of the first: masks 0xFF/0x0F, poscomp 37; bit 2 of the
// second: a poscomp that is no integer) and one on "CanB".
QByteArray emcywordFile()
{
    auto row = [](const char *index, const char *sub, const char *ext, const char *devid, int bitNo, const char *b0,
                  const char *b1, const char *poscomp) {
        QByteArray out = QByteArray("<row index_addrm=\"") + index + "\" subindex=\"" + sub + "\" extdata=\"" + ext +
                         "\" devid=\"" + devid + "\"";
        for (int n = 0; n < 16; ++n) {
            const QByteArray b = "bit" + QByteArray::number(n);
            const bool given = n == bitNo;
            out += " " + b + "_b0=\"" + (given ? b0 : "") + "\" " + b + "_b1=\"" + (given ? b1 : "") + "\" " + b +
                   "_poscomp=\"" + (given ? poscomp : "") + "\"";
        }
        return out + "/>";
    };
    return "<emcyword>" + row("0x3000", "1", "0", "3", 0, "0xFF", "0x0F", "37") +
           row("0x3001", "2", "0", "3", 2, "1", "2", "7x") + row("0x2000", "0", "1", "5", 15, "", "", "") +
           "</emcyword>";
}

QImage picture(const QTreeWidgetItem *item, QIcon::Mode mode)
{
    return item->icon(0).pixmap(16, mode).toImage();
}

} // namespace

class TestEmcyWordEditor : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ProjectTestContext> m_t;
    std::unique_ptr<TFWemcy> m_window;

    QString path() const { return m_t->store.state().ProjectFiles.EmcywordPath; }
    template <typename T = QLineEdit> T *child(const char *name) const { return requireChild<T>(m_window.get(), name); }
    QTreeWidget *tree(const char *name) const { return child<QTreeWidget>(name); }
    QStringList wordNodes(const char *name) const
    {
        QStringList texts;
        for (int i = 0; i < tree(name)->topLevelItemCount(); ++i)
            texts << tree(name)->topLevelItem(i)->text(0);
        return texts;
    }
    QStringList texts(const QStringList &names) const
    {
        QStringList out;
        for (const QString &name : names)
            out << child(name.toLatin1().constData())->text();
        return out;
    }
    void open()
    {
        m_window = std::make_unique<TFWemcy>(m_t->ctx);
        showActive(m_window.get());
    }
    // Types text over the field's content, reaching it with Tab as a user does.
    void typeInto(const char *name, const QString &text)
    {
        QLineEdit *edit = child(name);
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    void press(const char *button)
    {
        QPushButton *b = child<QPushButton>(button);
        b->setFocus(Qt::TabFocusReason);
        QTest::keyClick(b, Qt::Key_Space);
    }

private slots:
    void init() { m_t = std::make_unique<ProjectTestContext>(); }
    void cleanup() { m_window.reset(); }

    void treesAndFieldsFromTheKeyboard()
    {
        {
            const TFWemcy unopened(m_t->ctx);
            QCOMPARE(requireChild<QGroupBox>(&unopened, "GBWordA")->title(),
                     QStringLiteral("Word n\u00B0  Emcy Define"));
            QCOMPARE(requireChild<QGroupBox>(&unopened, "GBBitB")->title(), QStringLiteral("Mask BIT n\u00B0  Define"));
        }
        writeFileBytes(path(), emcywordFile());
        open();
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Define EMCY Word"));
        QCOMPARE(m_t->notices.all(), QStringList());
        auto *pages = child<QTabWidget>("PageControl1");
        QCOMPARE(QStringList({pages->tabText(0), pages->tabText(1)}), QStringList({"CanA", "CanB"}));
        QCOMPARE(wordNodes("TWCanA"), QStringList({"W0", "W1"}));
        QCOMPARE(wordNodes("TWCanB"), QStringList({"W0"}));
        const QTreeWidgetItem *w0 = tree("TWCanA")->topLevelItem(0);
        QCOMPARE(w0->childCount(), 16);
        QCOMPARE(w0->child(15)->text(0), QStringLiteral("Bit15"));
        // Four pictures: word and bit, each plain and selected.
        const QList<QImage> pictures = {picture(w0, QIcon::Normal), picture(w0, QIcon::Selected),
                                        picture(w0->child(0), QIcon::Normal), picture(w0->child(0), QIcon::Selected)};
        for (int i = 0; i < pictures.size(); ++i)
            for (int j = i + 1; j < pictures.size(); ++j)
                QVERIFY(pictures[i] != pictures[j]);
        QCOMPARE(child<QLabel>("LbEb1A")->buddy(), child("Eb1A"));
        QCOMPARE(child<QLabel>("LbEb1A")->text(), QStringLiteral("Mask byte 2"));
        QCOMPARE(child<QLabel>("LbEb1B")->text(), QStringLiteral("Mask Byte 2"));

        // Home to the first word, Right opens it, Down to its bit 0.
        QTreeWidget *canA = tree("TWCanA");
        QCOMPARE(QApplication::focusWidget(), canA);
        QTest::keyClick(canA, Qt::Key_Home);
        const QStringList fields = {"Eindex_addrmA", "EsubindexA", "EdevidA",   "Eb0A",
                                    "Eb1A",          "EposcompA",  "EposcompA2"};
        QCOMPARE(texts(fields), QStringList({"0x3000", "1", "3", "", "", "", ""}));
        QTest::keyClick(canA, Qt::Key_Right);
        QTest::keyClick(canA, Qt::Key_Down);
        QCOMPARE(texts(fields), QStringList({"0x3000", "1", "3", "0xFF", "0x0F", "2", "5"}));
        // The captions of both tabs follow; the inner one counts tree positions.
        QCOMPARE(child<QGroupBox>("GBWordB")->title(), QStringLiteral("Word n\u00B0") + "0 Emcy Define ");
        QCOMPARE(child<QGroupBox>("GBBitB")->title(), QStringLiteral("Mask BIT n\u00B0") + "1 Define");

        // Tab walks the fields and the buttons in the order they stand.
        QStringList order;
        for (int i = 0; i < 11; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, QStringList({"Eindex_addrmA", "EsubindexA", "EdevidA", "Eb0A", "Eb1A", "EposcompA",
                                     "EposcompA2", "BtnDeleteA", "BtnNewA", "BtnModifyA", "BitBtn1"}));

        // Modify on the bit: 1 and 4 are stored as 20 and shown again.
        typeInto("EposcompA", "1");
        typeInto("EposcompA2", "4");
        typeInto("Eb0A", "0x7F");
        press("BtnModifyA");
        QCOMPARE(m_window->table().words(CanLine::A)[0].bits[0], (EmcyWordBit{"0x7F", "0x0F", "20"}));

        // A bit whose poscomp is no integer: the masks are shown, then the failure.
        const QTreeWidgetItem *w1 = canA->topLevelItem(1);
        canA->setCurrentItem(w1->child(2));
        QCOMPARE(texts(fields), QStringList({"0x3001", "2", "3", "1", "2", "", ""}));
        QCOMPARE(m_t->notices.generalErrors, QStringList{"'7x' is not a valid integer value"});
        QCOMPARE(child<QGroupBox>("GBWordA")->title(), QStringLiteral("Word n\u00B0") + "1 Emcy Define ");
        QCOMPARE(child<QGroupBox>("GBBitA")->title(), QStringLiteral("Mask BIT n\u00B0") + "20 Define");
    }

    void newModifyDelete()
    {
        open();
        QCOMPARE(m_t->notices.notices, QStringList{TranslateMessages::XmlNotFound});
        m_t->notices.clear();
        QTreeWidget *canB = tree("TWCanB");
        child<QTabWidget>("PageControl1")->setCurrentIndex(1);
        for (const char *sub : {"0", "1", "2"}) {
            typeInto("Eindex_addrmB", "0x2000");
            typeInto("EsubindexB", sub);
            typeInto("EdevidB", "7");
            press("BtnNewB");
        }
        QCOMPARE(wordNodes("TWCanB"), QStringList({"W0", "W1", "W2"}));
        // The same three texts again, or an empty one: refused.
        press("BtnNewB");
        typeInto("EdevidB", "");
        press("BtnNewB");
        QCOMPARE(m_t->notices.notices, QStringList({"Index Not Valid", "Index Not Valid"}));
        QCOMPARE(wordNodes("TWCanB"), QStringList({"W0", "W1", "W2"}));

        // A bit of a new word shows empty Emcy bytes, without a failure.
        canB->setFocus();
        canB->setCurrentItem(canB->topLevelItem(2)->child(3));
        QCOMPARE(child("EposcompB")->text(), QString());
        QCOMPARE(child("EdevidB")->text(), QStringLiteral("7"));
        QCOMPARE(m_t->notices.generalErrors, QStringList());

        // Delete on a bit does nothing; on "W1" it goes, and the next word is "W3".
        press("BtnDeleteB");
        QCOMPARE(wordNodes("TWCanB"), QStringList({"W0", "W1", "W2"}));
        canB->setCurrentItem(canB->topLevelItem(1));
        press("BtnDeleteB");
        QCOMPARE(wordNodes("TWCanB"), QStringList({"W0", "W2"}));
        // The fields show the node the cursor moved to.
        QTreeWidgetItem *now = canB->currentItem();
        QVERIFY(now && !now->parent());
        QCOMPARE(child("EsubindexB")->text(),
                 m_window->table().words(CanLine::B)[canB->indexOfTopLevelItem(now)].subindex);
        typeInto("EsubindexB", "9");
        typeInto("EdevidB", "7");
        press("BtnNewB");
        QCOMPARE(wordNodes("TWCanB"), QStringList({"W0", "W2", "W3"}));
        QCOMPARE(m_window->table().words(CanLine::B).size(), 3);

        // Modify on a word keeps its node text; a duplicate of another word is refused.
        canB->setCurrentItem(canB->topLevelItem(0));
        typeInto("EsubindexB", "2");
        press("BtnModifyB");
        QCOMPARE(m_t->notices.notices.size(), 3);
        typeInto("EsubindexB", "5");
        press("BtnModifyB");
        QCOMPARE(m_window->table().words(CanLine::B)[0].subindex, QStringLiteral("5"));
        QCOMPARE(canB->topLevelItem(0)->text(0), QStringLiteral("W0"));

        // OK writes the file, sorted, and closes the window.
        press("BitBtn1");
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->result(), int(QDialog::Accepted));
        const QByteArray written = readFileBytes(path());
        QVERIFY(written.startsWith("<emcyword><row index_addrm=\"0x2000\" subindex=\"2\" extdata=\"1\" devid=\"7\""));
        QVERIFY(written.indexOf("subindex=\"5\"") < written.indexOf("subindex=\"9\""));
    }

    // A save that fails leaves the window open with its words and the file as it was.
    void failedSaveKeepsWindowAndFile()
    {
        writeFileBytes(path(), emcywordFile());
        open();
        typeInto("Eindex_addrmA", "0x1000");
        typeInto("EsubindexA", "1");
        typeInto("EdevidA", "three");
        press("BtnNewA");
        press("BitBtn1");
        QCOMPARE(m_t->notices.notices, QStringList{TranslateMessages::WordFault.arg(
                                           "CanA", "W2", "devid", "'three' is not a valid integer value")});
        QCOMPARE(QApplication::focusWidget(), requireChild<QWidget>(m_window.get(), "EdevidA"));
        QVERIFY(m_window->isVisible());
        QCOMPARE(wordNodes("TWCanA"), QStringList({"W0", "W1", "W2"}));
        QCOMPARE(readFileBytes(path()), emcywordFile());
    }

    void importAndExport()
    {
        open();
        m_t->chooser.answers << sourcePath(QStringLiteral("tests/core/translate/fixtures/"
                                                          "emcyword_two_tabs_and_extdata_2.xls"));
        press("BtnImport");
        QCOMPARE(m_t->chooser.requests.size(), 1);
        QCOMPARE(m_t->chooser.requests[0].options.initialDir, m_t->store.state().ProjectDir);
        QCOMPARE(wordNodes("TWCanA"), QStringList({"W0", "W1"}));
        QCOMPARE(wordNodes("TWCanB"), QStringList({"W0", "W1"}));
        press("BtnExport");
        const QByteArray csv = readFileBytes(m_t->store.state().ProjectFiles.csvPath(QStringLiteral("emcyword")));
        QVERIFY(csv.startsWith("\xEF\xBB\xBFindex_addrm,subindex,extdata,devid,bit0_b0,"));
        QCOMPARE(csv.count("\r\n"), 5);
        QVERIFY(!QFile::exists(path())); // only OK writes the table's file
        QCOMPARE(m_t->notices.generalErrors, QStringList());
    }
};

QTEST_MAIN(TestEmcyWordEditor)
#include "tst_EmcyWordEditor.moc"
