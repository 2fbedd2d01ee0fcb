#include "support/GuiTestSupport.h"
#include "translate/Messages.h"
#include "translate/Uemcy.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
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

const char *const Attributes[] = {"id_dev",       "mask_eq_ec",   "mask_eq_er",   "mask_eq_m1",
                                  "mask_eq_m2",   "mask_eq_m3",   "enmask_eq_ec", "enmask_eq_er",
                                  "enmask_eq_m1", "enmask_eq_m2", "enmask_eq_m3"};

QByteArray row(const char *id, const char *bypass, const char *maskEc = "0")
{
    QByteArray out = QByteArray("<row id_dev=\"") + id + "\" mask_eq_ec=\"" + maskEc + "\"";
    for (int a = 2; a < 11; ++a)
        out += QByteArray(" ") + Attributes[a] + "=\"0\"";
    return out + " bypass_set=\"" + bypass + "\"/>";
}

QByteArray file(const QByteArray &rows)
{
    return "<emcydef>" + rows + "</emcydef>";
}

QStringList lines(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class TestEmcy : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ProjectTestContext> m_t;
    std::unique_ptr<TFemcy> m_window;

    QString path() const { return m_t->store.state().ProjectFiles.EmcydefPath; }
    void open()
    {
        m_window = std::make_unique<TFemcy>(m_t->ctx);
        showActive(m_window.get());
    }
    template <typename T> T *child(const QString &name) const
    {
        return requireChild<T>(m_window.get(), name.toLatin1().constData());
    }
    QLineEdit *field(const char *attribute, char tab = 'A') const
    {
        return child<QLineEdit>(QStringLiteral("E%1%2").arg(QLatin1String(attribute)).arg(QLatin1Char(tab)));
    }
    QListWidget *list(char tab = 'A') const { return child<QListWidget>(QStringLiteral("LBCan%1").arg(tab)); }
    QRadioButton *alias(int code, char tab = 'A') const
    {
        return child<QRadioButton>(QStringLiteral("RBAlias%1%2").arg(tab).arg(code));
    }
    void click(const char *button) { QTest::mouseClick(child<QPushButton>(QLatin1String(button)), Qt::LeftButton); }
    void select(int line, char tab = 'A')
    {
        QListWidget *l = list(tab);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(line)).center());
    }

private slots:
    void init() { m_t = std::make_unique<ProjectTestContext>(); }
    void cleanup() { m_window.reset(); }

    // The controls with their names, captions and buddies; opening shows each
    // list's first entry, "bypass_set" 39 in tab B with "Error Reg" checked.
    void windowShowsTheFile()
    {
        writeFileBytes(path(), file(row("5", "7", "0xFF") + row("3", "0") + row("9", "39")));
        open();
        QCOMPARE(m_t->notices.all(), QStringList());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Set Traslate EMCY"));
        auto *tabs = child<QTabWidget>(QStringLiteral("PageControl1"));
        QCOMPARE(QStringList({tabs->tabText(0), tabs->tabText(1)}), QStringList({"From CAN A", "From CAN B"}));
        QCOMPARE(lines(list('A')), QStringList({"5", "3"}));
        QCOMPARE(lines(list('B')), QStringList{"9"});
        QCOMPARE(list('A')->currentRow(), 0);
        QCOMPARE(field("mask_eq_ec")->text(), QStringLiteral("0xFF"));
        QVERIFY(child<QCheckBox>(QStringLiteral("enablea"))->isChecked());
        QVERIFY(alias(3)->isChecked());
        QCOMPARE(field("id_dev", 'B')->text(), QStringLiteral("9"));
        QVERIFY(child<QCheckBox>(QStringLiteral("enableb"))->isChecked());
        QVERIFY(alias(3, 'B')->isChecked());

        const QStringList labels = {"ID_EMCY (1..127)",
                                    "Mask_error_code (0..65535)",
                                    "MAsk_error_Reg (0..255)",
                                    "Mask_Manu1 (0..65535)",
                                    "Mask_Manu2 (0..65535)",
                                    "Mask_Manu3 (0..255)",
                                    "Enabled_mask_error_code (0..65535)",
                                    "Enabled_mask_error_Reg (0..255)",
                                    "Enabled_Mask_Manu1 (0..65535)",
                                    "Enabled_Mask_Manu2 (0..65535)",
                                    "Enabled_Mask_Manu3 (0..255)"};
        for (char tab : {'A', 'B'})
            for (int a = 0; a < 11; ++a) {
                auto *label = child<QLabel>(QStringLiteral("L%1%2").arg(QLatin1String(Attributes[a])).arg(tab));
                QCOMPARE(label->text(), labels[a]);
                QCOMPARE(label->buddy(), field(Attributes[a], tab));
            }
        QCOMPARE(child<QCheckBox>(QStringLiteral("enablea"))->text(), QStringLiteral("Enabled_Traslate to CANB"));
        QCOMPARE(child<QCheckBox>(QStringLiteral("enableb"))->text(), QStringLiteral("Enabled_Traslate to CANA"));
        QCOMPARE(child<QGroupBox>(QStringLiteral("GBAliasB"))->title(), QStringLiteral("Allias use"));
        QStringList statics;
        for (int i = 1; i <= 3; ++i)
            statics << child<QLabel>(QStringLiteral("STAliasB%1").arg(i))->text();
        QCOMPARE(statics, QStringList({"ID CANB EMCY ", "Traslate in", "CANA EMCY at:"}));
        QStringList captions;
        for (int code = 0; code <= 8; ++code)
            captions << alias(code)->text();
        QCOMPARE(captions,
                 QStringList({"No traslate ID CANA", "Error code byte  HIGH", "Error code byte LOW", "Error Reg",
                              "Manu1 byte HIGH", "Manu1 byte LOW", "Manu2 byte HIGH", "Manu2 byte LOW", "Manu3"}));
        QCOMPARE(alias(0, 'B')->text(), QStringLiteral("No traslate ID CANB"));
        QCOMPARE(child<QPushButton>(QStringLiteral("BModifyA"))->text(), QStringLiteral("Modify ENCY"));
        QCOMPARE(child<QPushButton>(QStringLiteral("BModifyB"))->text(), QStringLiteral("Modify EMCY"));

        // A click on a line shows its entry; Cancel writes nothing.
        select(1);
        QCOMPARE(field("id_dev")->text(), QStringLiteral("3"));
        QVERIFY(!child<QCheckBox>(QStringLiteral("enablea"))->isChecked());
        QVERIFY(alias(0)->isChecked());
        field("id_dev")->setText(QStringLiteral("4"));
        click("BModifyA");
        click("BitBtn2");
        QCOMPARE(readFileBytes(path()), file(row("5", "7", "0xFF") + row("3", "0") + row("9", "39")));
    }

    // Without a file: its notice, empty lists, alias 0 checked.
    void missingFile()
    {
        open();
        QCOMPARE(m_t->notices.notices, QStringList{TranslateMessages::XmlNotFound});
        QCOMPARE(list('A')->count() + list('B')->count(), 0);
        QVERIFY(alias(0)->isChecked() && alias(0, 'B')->isChecked());
    }

    // An entry made with the keyboard alone, from the list through the fields, the
    // switch, the alias choice and "New EMCY" to OK.
    void keyboardOnly()
    {
        open();
        QCOMPARE(QApplication::focusWidget(), list('A'));
        QStringList order;
        QWidget *w = list('A');
        for (int i = 0; i < 18; ++i) {
            QTest::keyClick(w, Qt::Key_Tab);
            w = QApplication::focusWidget();
            order << w->objectName();
        }
        QStringList expected;
        for (const char *a : Attributes)
            expected << QStringLiteral("E%1A").arg(QLatin1String(a));
        expected << "enablea"
                 << "RBAliasA0"
                 << "BDeleteA"
                 << "BNewA"
                 << "BModifyA"
                 << "BitBtn1"
                 << "BitBtn2";
        QCOMPARE(order.mid(0, 18), expected);

        // Back to the identifier, type an entry.
        list('A')->setFocus();
        QTest::keyClick(list('A'), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0x1000"));
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("enablea"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QVERIFY(alias(3)->isChecked());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("BNewA"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(m_t->notices.all(), QStringList{TranslateMessages::XmlNotFound});
        QCOMPARE(lines(list('A')), QStringList{"12"});
        QCOMPARE(list('A')->currentRow(), 0);
        // Enter in a field stays there; Ctrl+Enter is OK.
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), field("enmask_eq_m3"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(m_window->isVisible());
        QVERIFY(!QFile::exists(path()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(readFileBytes(path()),
                 QByteArray("<emcydef><row id_dev=\"12\" mask_eq_ec=\"0x1000\" mask_eq_er=\"0\" mask_eq_m1=\"0\" "
                            "mask_eq_m2=\"0\" mask_eq_m3=\"0\" enmask_eq_ec=\"0\" enmask_eq_er=\"0\" "
                            "enmask_eq_m1=\"0\" enmask_eq_m2=\"0\" enmask_eq_m3=\"0\" bypass_set=\"7\"/></emcydef>"));
    }

    // "New EMCY" always checks, with or without a selected line; Modify checks a
    // changed identifier only; Delete leaves no line selected and the fields as typed.
    void newModifyDelete()
    {
        writeFileBytes(path(), file(row("5", "0") + row("5", "0") + row("6", "32")));
        open();
        auto refused = [&] {
            const bool was = m_t->notices.notices == QStringList{TranslateMessages::IndexNotValid};
            m_t->notices.clear();
            return was;
        };
        click("BNewA"); // "5" again
        QVERIFY(refused());
        click("BDeleteA");
        QCOMPARE(lines(list('A')), QStringList{"5"});
        QCOMPARE(list('A')->currentRow(), -1);
        QCOMPARE(field("id_dev")->text(), QStringLiteral("5"));
        for (const char *id : {"", "abc", "5"}) {
            field("id_dev")->setText(QString::fromLatin1(id));
            click("BNewA");
            QVERIFY2(refused(), id);
        }
        field("id_dev")->setText(QStringLiteral("6")); // in the other list only
        click("BNewA");
        QCOMPARE(m_t->notices.all(), QStringList());
        QCOMPARE(lines(list('A')), QStringList({"5", "6"}));
        QCOMPARE(list('A')->currentRow(), 1);

        field("mask_eq_er")->setText(QStringLiteral("77"));
        click("BModifyA"); // identifier unchanged: no check
        QCOMPARE(m_t->notices.all(), QStringList());
        field("id_dev")->setText(QStringLiteral("5"));
        click("BModifyA");
        QVERIFY(refused());
        field("id_dev")->setText(QStringLiteral("0x6"));
        click("BModifyA");
        QCOMPARE(lines(list('A')), QStringList({"5", "0x6"}));
        QCOMPARE(m_window->table().entries(CanLine::A)[1].texts[MaskEqEr], QStringLiteral("77"));
    }

    // A save that fails keeps the window open with the entries, and the file as it was.
    void failedOkKeepsWindowAndFile()
    {
        const QByteArray old = file(row("abc", "0") + row("2", "0"));
        writeFileBytes(path(), old);
        open();
        field("id_dev")->setText(QStringLiteral("3"));
        click("BNewA");
        click("BitBtn1");
        QCOMPARE(m_t->notices.notices,
                 QStringList{TranslateMessages::EmcyEntryFault.arg("From CAN A")
                                 .arg(1)
                                 .arg("abc", "ID_EMCY (1..127): 'abc' is not a valid integer value")});
        QCOMPARE(QApplication::focusWidget(), field("id_dev"));
        QVERIFY(m_window->isVisible());
        QCOMPARE(lines(list('A')), QStringList({"abc", "2", "3"}));
        QCOMPARE(readFileBytes(path()), old);
        // Corrected, it saves.
        select(0);
        field("id_dev")->setText(QStringLiteral("1"));
        click("BModifyA");
        click("BitBtn1");
        QVERIFY(!m_window->isVisible());
        QCOMPARE(readFileBytes(path()), file(row("1", "0") + row("2", "0") + row("3", "0")));
    }

    // A value typed but stored by neither New nor Modify is not dropped without a word:
    // OK asks, and No keeps the window open with the cursor in the fields.
    void okAsksBeforeDroppingTypedValues()
    {
        const QByteArray old = file(row("1", "0"));
        writeFileBytes(path(), old);
        open();
        select(0);
        click("BitBtn1"); // shown, not changed: nothing to ask
        QCOMPARE(m_t->notices.questions, QStringList());
        QVERIFY(!m_window->isVisible());

        open();
        select(0);
        QTest::keyClicks(field("mask_eq_er"), QStringLiteral("7"));
        click("BitBtn1");
        QCOMPARE(m_t->notices.questions, QStringList{TranslateMessages::UnstoredFields.arg("From CAN A")});
        QVERIFY(m_window->isVisible());
        QCOMPARE(QApplication::focusWidget(), field("id_dev"));
        QCOMPARE(readFileBytes(path()), old);
        m_t->notices.clear();
        m_t->notices.answers << true;
        click("BitBtn1");
        QVERIFY(!m_window->isVisible());
        QCOMPARE(readFileBytes(path()), old);
    }

    // Import fills both lists and shows their first entries; Export writes the CSV
    // file; neither touches emcydef.xml.
    void importAndExport()
    {
        writeFileBytes(path(), file(row("1", "0")));
        open();
        field("mask_eq_m3")->setText(QStringLiteral("typed"));
        m_t->chooser.answers << sourcePath(
            QStringLiteral("tests/core/translate/fixtures/emcydef_two_lists_and_header_line.xls"));
        click("BtnImport");
        QCOMPARE(m_t->notices.all(), QStringList());
        QCOMPARE(lines(list('A')), QStringList({"3", "0x7F"}));
        QCOMPARE(lines(list('B')), QStringList{"5"});
        QCOMPARE(field("mask_eq_ec")->text(), QStringLiteral("$10"));
        QCOMPARE(field("enmask_eq_m3")->text(), QString());
        QCOMPARE(field("mask_eq_ec", 'B')->text(), QStringLiteral("0xFF00"));
        QVERIFY(alias(3, 'B')->isChecked());
        click("BtnExport");
        const QByteArray csv = readFileBytes(m_t->store.state().ProjectFiles.csvPath(QStringLiteral("emcydef")));
        QVERIFY(csv.startsWith("\xEF\xBB\xBFid_dev,mask_eq_ec,"));
        QVERIFY(csv.endsWith("\r\n3,$10,1,2,3,4,5,6,7,8,,0,\r\n0x7F,1,2,3,4,5,6,7,8,9,10,17,\r\n"
                             "5,0xFF00,255,0,0,0,0xFFFF,255,0,0,0,39,\r\n"));
        QCOMPARE(readFileBytes(path()), file(row("1", "0")));
    }
};

QTEST_MAIN(TestEmcy)
#include "tst_Emcy.moc"
