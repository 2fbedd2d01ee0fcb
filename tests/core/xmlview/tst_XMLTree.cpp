#include "HostileFiles.h"
#include "XmlCases.h"
#include "base/TessiroError.h"
#include "support/TestSupport.h"
#include "xmlview/Messages.h"
#include "xmlview/XMLTree.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

std::unique_ptr<TXMLNode> parse(const QByteArray &input)
{
    TXMLStringReader reader(input);
    return ParseDocument(reader);
}

QString writeError(const XMLTreeItem &top)
{
    return thrownMessage([&] { WriteXMLTree(top); });
}

} // namespace

class TestXMLTree : public QObject {
    Q_OBJECT
private slots:
    void itemsCarryTextAndKind()
    {
        std::unique_ptr<TXMLNode> document = parse("<?xml version=\"1.0\"?><?p d?><r id=\"7\"><flag>on</flag></r>");
        document->SetFileName(QStringLiteral("pdo.xml"));
        const XMLTreeItem top = BuildXMLTreeItems(*document);
        QStringList seen;
        std::function<void(const XMLTreeItem &)> walk = [&](const XMLTreeItem &item) {
            seen << QString::number(int(item.Kind)) + u' ' + item.Text;
            for (const XMLTreeItem &child : item.Children)
                walk(child);
        };
        walk(top);
        QCOMPARE(seen, (QStringList{"0 File: pdo.xml", "4 XMLDeclaration", "2 version = 1.0",
                                    "3 pProcessingInstruction = d", "1 r", "2 id = 7", "1 flag = on"}));
    }

    // Whatever the reader reads, written back and read again, is the same tree.
    void writtenTreeReadsTheSame_data() { addWellFormedCases(); }
    void writtenTreeReadsTheSame()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, tree);
        const QByteArray written = WriteXMLTree(BuildXMLTreeItems(*parse(input)));
        QCOMPARE(dumpTree(*parse(written)), tree);
    }

    // An instruction named xml... written first would read as a broken
    // declaration; it is written after one, and the document then reads back
    // as the same tree with that declaration ahead of it.
    void xmlNamedInstructionFirst_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("first after a dropped comment")
            << QByteArray("<!-- style --><?xml-stylesheet href=\"a.css\"?><doc/>")
            << QByteArray("<?xml version=\"1.0\"?><?xml-stylesheet href=\"a.css\"?><doc/>");
        QTest::newRow("first after a blank")
            << QByteArray(" <?xmlfoo bar?><doc/>") << QByteArray("<?xml version=\"1.0\"?><?xmlfoo bar?><doc/>");
        QTest::newRow("two of them, one without data")
            << QByteArray("\n<?xml-stylesheet type=\"text/xsl\"?>\n<?xmlfoo?><doc/>")
            << QByteArray("<?xml version=\"1.0\"?><?xml-stylesheet type=\"text/xsl\"?><?xmlfoo?><doc/>");
        QTest::newRow("already after a declaration")
            << QByteArray("<?xml version=\"1.1\"?><?xml-stylesheet href=\"a\"?><doc/>")
            << QByteArray("<?xml version=\"1.1\"?><?xml-stylesheet href=\"a\"?><doc/>");
        QTest::newRow("not first") << QByteArray("<?pi?><?xml-x?><doc/>") << QByteArray("<?pi?><?xml-x?><doc/>");
        QTest::newRow("upper case is no declaration")
            << QByteArray("<!-- c --><?XML-up d?><doc/>") << QByteArray("<?XML-up d?><doc/>");
    }
    void xmlNamedInstructionFirst()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, written);
        const std::unique_ptr<TXMLNode> first = parse(input);
        QCOMPARE(WriteXMLTree(BuildXMLTreeItems(*first)), written);
        QStringList expected = dumpTree(*first);
        if (!input.contains("<?xml ") && written.startsWith("<?xml ")) {
            expected.insert(1, QStringLiteral("  X[]"));
            expected.insert(2, QStringLiteral("    A[version][1.0]"));
        }
        const std::unique_ptr<TXMLNode> again = parse(written);
        QCOMPARE(dumpTree(*again), expected);
        // And from there on it stays as it is.
        QCOMPARE(WriteXMLTree(BuildXMLTreeItems(*again)), written);
    }

    void writtenBytes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("project file form: no declaration, no indentation")
            << QByteArray("<pdo>\n  <row cob=\"$180\" len=\"8\"/>\n  <row cob=\"$280\" len=\"2\"/>\n</pdo>")
            << QByteArray("<pdo><row cob=\"$180\" len=\"8\"/><row cob=\"$280\" len=\"2\"/></pdo>");
        QTest::newRow("declaration, instructions, nesting and texts")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?p d?><r a=\"1\"><b>t<c/></b><?q?></r><?z e?>")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><?p d?><r a=\"1\"><b>t<c/></b><?q?></r><?z e?>");
        QTest::newRow("special characters escaped")
            << QByteArray("<r a=\"&lt;&amp;&quot;'\">&lt;&amp;&gt;<![CDATA[]]]]><![CDATA[>]]></r>")
            << QByteArray("<r a=\"&lt;&amp;&quot;'\">&lt;&amp;&gt;]]&gt;</r>");
        QTest::newRow("bytes above 127 go back unchanged")
            << QByteArray("<r a=\"\xC3\xA9\">\xE9</r>") << QByteArray("<r a=\"\xC3\xA9\">\xE9</r>");
    }
    void writtenBytes()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, written);
        QCOMPARE(WriteXMLTree(BuildXMLTreeItems(*parse(input))), written);
    }

    void editedItems_data()
    {
        QTest::addColumn<QList<int>>("path");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        const QList<int> root{0}, id{0, 0}, flag{0, 1}, pi{0, 2};
        QTest::newRow("element value changed")
            << flag << "flag = off" << QByteArray("<r id=\"7\"><flag>off</flag><?p d?></r>");
        QTest::newRow("element value given without blanks")
            << flag << "flag=off" << QByteArray("<r id=\"7\"><flag>off</flag><?p d?></r>");
        QTest::newRow("element value removed") << flag << "flag" << QByteArray("<r id=\"7\"><flag/><?p d?></r>");
        QTest::newRow("element renamed, blanks around the name")
            << flag << "  bit = on" << QByteArray("<r id=\"7\"><bit>on</bit><?p d?></r>");
        QTest::newRow("root given a text")
            << root << "r = top" << QByteArray("<r id=\"7\">top<flag>on</flag><?p d?></r>");
        QTest::newRow("attribute value changed")
            << id << "id = 8" << QByteArray("<r id=\"8\"><flag>on</flag><?p d?></r>");
        QTest::newRow("attribute value keeps inner and outer blanks")
            << id << "id =  8 " << QByteArray("<r id=\" 8 \"><flag>on</flag><?p d?></r>");
        QTest::newRow("attribute value holding an equals sign")
            << id << "id = a=b" << QByteArray("<r id=\"a=b\"><flag>on</flag><?p d?></r>");
        QTest::newRow("attribute emptied") << id << "id" << QByteArray("<r id=\"\"><flag>on</flag><?p d?></r>");
        QTest::newRow("instruction data changed")
            << pi << "pProcessingInstruction = e f" << QByteArray("<r id=\"7\"><flag>on</flag><?p e f?></r>");
        QTest::newRow("instruction renamed") << pi << "q = d" << QByteArray("<r id=\"7\"><flag>on</flag><?q d?></r>");
    }
    void editedItems()
    {
        QFETCH(QList<int>, path);
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        XMLTreeItem top = BuildXMLTreeItems(*parse("<r id=\"7\"><flag>on</flag><?p d?></r>"));
        XMLTreeItem *item = &top.Children.at(0);
        for (int i : path.mid(1))
            item = &item->Children.at(size_t(i));
        item->Text = text;
        QCOMPARE(WriteXMLTree(top), written);
    }

    void refusedEdits_data()
    {
        QTest::addColumn<QList<int>>("path");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        using namespace XmlMessages;
        const QList<int> root{0}, id{0, 0}, flag{0, 1}, pi{0, 2};
        QTest::newRow("blank inside an element name") << flag << "a b = 1" << WriteInvalidName.arg("a b");
        QTest::newRow("element name starting with a digit") << flag << "1flag" << WriteInvalidName.arg("1flag");
        QTest::newRow("element name emptied") << root << " = x" << WriteInvalidName.arg(" = x");
        QTest::newRow("attribute name with a quote") << id << "i\"d = 7" << WriteInvalidName.arg("i\"d");
        QTest::newRow("instruction named xml") << pi << "xmlProcessingInstruction = d" << WriteInvalidName.arg("xml");
        QTest::newRow("instruction data holding ?>")
            << pi << "pProcessingInstruction = a?>b" << WriteBadProcessingData.arg("pProcessingInstruction = a?>b");
        QTest::newRow("character beyond one byte")
            << flag << QString::fromUtf8("flag = \xE2\x82\xAC")
            << WriteUnwritableCharacter.arg(QString::fromUtf8("flag = \xE2\x82\xAC"));
        QTest::newRow("NUL character") << id << QStringLiteral("id = a") + QChar(0)
                                       << WriteUnwritableCharacter.arg(QStringLiteral("id = a") + QChar(0));
    }
    void refusedEdits()
    {
        QFETCH(QList<int>, path);
        QFETCH(QString, text);
        QFETCH(QString, message);
        XMLTreeItem top = BuildXMLTreeItems(*parse("<r id=\"7\"><flag>on</flag><?p d?></r>"));
        XMLTreeItem *item = &top.Children.at(0);
        for (int i : path.mid(1))
            item = &item->Children.at(size_t(i));
        item->Text = text;
        QCOMPARE(writeError(top), message);
    }

    void targetFileName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::newRow("as shown") << "File: pdo.xml"
                                  << "pdo.xml";
        QTest::newRow("renamed, blanks trimmed") << "File:   new name.xml  "
                                                 << "new name.xml";
        QTest::newRow("no colon: the whole text") << "copy.xml"
                                                  << "copy.xml";
        QTest::newRow("only the first colon counts") << "Anything: x.xml"
                                                     << "x.xml";
        QTest::newRow("parent directory") << "File: ../x.xml"
                                          << "";
        QTest::newRow("dot dot alone") << "File: .."
                                       << "";
        QTest::newRow("dot alone") << "File: ."
                                   << "";
        QTest::newRow("sub-directory") << "File: sub/x.xml"
                                       << "";
        QTest::newRow("backslash") << "File: ..\\x.xml"
                                   << "";
        QTest::newRow("absolute path") << "File: /tmp/x.xml"
                                       << "";
        QTest::newRow("drive") << "File: C:x.xml"
                               << "";
        QTest::newRow("empty") << "File: "
                               << "";
    }
    void targetFileName()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        try {
            QCOMPARE(XMLTargetFileName(text), name);
            QVERIFY(!name.isEmpty());
        } catch (const TessiroError &e) {
            QVERIFY2(name.isEmpty(), qPrintable(e.message()));
            const qsizetype colon = text.indexOf(u':');
            QCOMPARE(e.message(), XmlMessages::WriteNotPlainName.arg(text.mid(colon + 1).trimmed()));
        }
    }

    void readFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cfg.xml"));
        const QString error = thrownMessage([&] { ReadXMLFile(path); });
        QVERIFY2(error.startsWith(XmlMessages::CannotOpenFile.arg(QDir::toNativeSeparators(path), QString())),
                 qPrintable(error));
        QVERIFY(error.size() > XmlMessages::CannotOpenFile.arg(QDir::toNativeSeparators(path), QString()).size());
        writeFileBytes(path, "<a/>");
        QCOMPARE(ReadXMLFile(path)->DisplayText(), QStringLiteral("File: cfg.xml"));
    }

    void refusesWhatIsNoFile_data() { addHostileFileCases(); }
    void refusesWhatIsNoFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.xml"));
        QVERIFY(makeHostileFile(kind, path));
        QCOMPARE(thrownMessage([&] { ReadXMLFile(path); }), message.arg(QDir::toNativeSeparators(path)));
    }
};

QTEST_GUILESS_MAIN(TestXMLTree)
#include "tst_XMLTree.moc"
