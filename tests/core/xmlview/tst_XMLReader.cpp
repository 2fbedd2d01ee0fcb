#include "XmlCases.h"
#include "xmlview/Messages.h"
#include "xmlview/XMLReader.h"

#include <QTest>

namespace {

// A source that is not the string reader, so that the parser's general path
// (virtual calls, state objects from the heap) is held to the same results.
class PlainReaderState : public TXMLReaderState {
public:
    qsizetype position;
    char current;
};

class PlainReader : public TXMLReader {
public:
    explicit PlainReader(QByteArray data) : m_data(std::move(data)) {}
    ~PlainReader() override { QCOMPARE(m_open, 0); }

    bool EndOfData() const override { return m_position >= m_data.size(); }
    void FreeState(TXMLReaderState *state) override
    {
        --m_open;
        delete state;
    }
    void NextChar() override { m_current = m_position < m_data.size() ? m_data[m_position++] : 0; }
    void RestoreState(const TXMLReaderState *state) override
    {
        const auto *s = static_cast<const PlainReaderState *>(state);
        m_position = s->position;
        m_current = s->current;
    }
    TXMLReaderState *SaveState() override
    {
        ++m_open;
        auto *s = new PlainReaderState;
        s->position = m_position;
        s->current = m_current;
        return s;
    }

private:
    QByteArray m_data;
    qsizetype m_position = 0;
    int m_open = 0;
};

// Reads input with both readers; they must agree. Returns the tree or the message.
QStringList readBoth(const QByteArray &input)
{
    QList<QStringList> results;
    for (int pass = 0; pass < 2; ++pass) {
        try {
            std::unique_ptr<TXMLNode> document;
            if (pass == 0) {
                TXMLStringReader reader(input);
                document = ParseDocument(reader);
            } else {
                PlainReader reader(input);
                document = ParseDocument(reader);
            }
            results << dumpTree(*document);
        } catch (const XMLReadError &e) {
            results << QStringList{QStringLiteral("error: ") + e.message()};
        }
    }
    if (results[0] != results[1])
        QTest::qFail("the string reader and the plain reader disagree", __FILE__, __LINE__);
    return results[0];
}

std::unique_ptr<TXMLNode> parse(const QByteArray &input)
{
    TXMLStringReader reader(input);
    return ParseDocument(reader);
}

} // namespace

class TestXMLReader : public QObject {
    Q_OBJECT
private slots:
    void wellFormed_data() { addWellFormedCases(); }
    void wellFormed()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, tree);
        QCOMPARE(readBoth(input), tree);
    }

    void broken_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("message");
        using namespace XmlMessages;
        const QString end = UnexpectedEnd;

        QTest::newRow("empty input") << QByteArray() << end;
        QTest::newRow("input ends after the slash of a start tag") << QByteArray("<a/") << end;
        QTest::newRow("input ends in an attribute value") << QByteArray("<a b=\"x") << end;
        QTest::newRow("input ends after an attribute's reference") << QByteArray("<a b=\"&amp;") << end;
        QTest::newRow("input ends in CDATA") << QByteArray("<a><![CDATA[x]]") << end;
        QTest::newRow("input ends right after the CDATA opener") << QByteArray("<a><![CDATA[") << end;
        QTest::newRow("input ends in a reference") << QByteArray("<a>&amp") << end;
        QTest::newRow("input ends after an ampersand") << QByteArray("<a>&") << end;
        QTest::newRow("declaration closed by >")
            << QByteArray("<?xml version=\"1.0\"><a/>") << DeclarationNotTerminated;
        QTest::newRow("xml-stylesheet first is taken for a declaration")
            << QByteArray("<?xml-stylesheet href=\"a\"?><a/>") << DeclarationNotTerminated;
        QTest::newRow("document type") << QByteArray("<!DOCTYPE a><a/>") << DocTypeNotImplemented;
        QTest::newRow("document type after the declaration")
            << QByteArray("<?xml version=\"1.0\"?>\n<!-- c -->\n<!DOCTYPE a><a/>") << DocTypeNotImplemented;
        QTest::newRow("blanks only") << QByteArray(" \r\n\t") << MissingElement;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF<a/>") << MissingElement;
        QTest::newRow("declaration only") << QByteArray("<?xml version=\"1.0\"?>") << MissingElement;
        QTest::newRow("lone less-than") << QByteArray("< a/>") << MissingElement;
        QTest::newRow("comment ending in --->") << QByteArray("<!-- x ---><a/>") << CommentEnd;
        QTest::newRow("comment ending in ---> in content") << QByteArray("<a><!-- x ---></a>") << CommentEnd;
        QTest::newRow("instruction without name") << QByteArray("<? x?><a/>") << PINoName;
        QTest::newRow("declaration after a blank") << QByteArray(" <?xml version=\"1.0\"?><a/>") << PIReservedName;
        QTest::newRow("instruction named xml in content") << QByteArray("<a><?xml x?></a>") << PIReservedName;
        QTest::newRow("instruction left open") << QByteArray("<?pi data?") << PIUnterminated;
        QTest::newRow("instruction left open in content") << QByteArray("<a><?pi") << PIUnterminated;
        QTest::newRow("start tag ends with the input") << QByteArray("<a") << TagNotTerminated;
        QTest::newRow("start tag closed by ?>") << QByteArray("<a b=\"1\"?>") << TagNotTerminated;
        QTest::newRow("blank between / and >") << QByteArray("<a/ >") << TagNotTerminated;
        QTest::newRow("content runs to the end") << QByteArray("<a>text") << NoEndingTag + "a";
        QTest::newRow("nothing after the start tag") << QByteArray("<a>") << NoEndingTag + "a";
        QTest::newRow("stray less-than in content") << QByteArray("<ab>< b</ab>") << NoEndingTag + "ab";
        QTest::newRow("end tag without a name") << QByteArray("<a></ >") << NoEndingTag + "a";
        QTest::newRow("unknown markup in content") << QByteArray("<a><!ELEMENT></a>") << NoEndingTag + "a";
        QTest::newRow("inner element unclosed") << QByteArray("<a><b></a>") << EndTagMismatch.arg("a", "b");
        QTest::newRow("end tag of another name") << QByteArray("<a></b>") << EndTagMismatch.arg("b", "a");
        QTest::newRow("end tag names are case-sensitive") << QByteArray("<a></A>") << EndTagMismatch.arg("A", "a");
        QTest::newRow("end tag ends with the input") << QByteArray("<a></a") << EndTagMissingGt;
        QTest::newRow("end tag with an attribute") << QByteArray("<a></a x>") << EndTagMissingGt;
        QTest::newRow("attribute without equals") << QByteArray("<a b/>") << EqualsMissing;
        QTest::newRow("attribute name at the end") << QByteArray("<a b") << EqualsMissing;
        QTest::newRow("declaration attribute without equals") << QByteArray("<?xml version?><a/>") << EqualsMissing;
        QTest::newRow("unquoted value") << QByteArray("<a b=1/>") << AttributeMissingValue.arg("b");
        QTest::newRow("nothing after equals") << QByteArray("<a bc=") << AttributeMissingValue.arg("bc");
        QTest::newRow("less-than in a value") << QByteArray("<a b=\"<\"/>") << LtInAttribute;
        QTest::newRow("]]> in text") << QByteArray("<a>x]]>y</a>") << CDataEndInText;
        QTest::newRow("]]> in text after the root's child") << QByteArray("<a><b/>]]></a>") << CDataEndInText;
        QTest::newRow("hex reference without digits") << QByteArray("<a>&#x;</a>") << InvalidIntegerReference + "#x;";
        QTest::newRow("decimal reference with a letter")
            << QByteArray("<a>&#12a;</a>") << InvalidIntegerReference + "#12a;";
        QTest::newRow("decimal reference beyond 32 bits")
            << QByteArray("<a>&#99999999999;</a>") << InvalidIntegerReference + "#99999999999;";
        QTest::newRow("signed reference") << QByteArray("<a b=\"&#-65;\"/>") << InvalidIntegerReference + "#-65;";
        QTest::newRow("unknown named reference") << QByteArray("<a>&nbsp;</a>") << UnrecognizedReference;
        QTest::newRow("empty reference") << QByteArray("<a>&;</a>") << UnrecognizedReference;
        QTest::newRow("named references are case-sensitive") << QByteArray("<a b=\"&AMP;\"/>") << UnrecognizedReference;
        QTest::newRow("nesting beyond the bound")
            << QByteArray("<a>").repeated(MaxXMLDepth + 1) + QByteArray("</a>").repeated(MaxXMLDepth + 1)
            << NestedTooDeep.arg(MaxXMLDepth);
        QTest::newRow("nesting far beyond the bound, never closed")
            << QByteArray("<a>").repeated(200000) << NestedTooDeep.arg(MaxXMLDepth);
    }
    void broken()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, message);
        QCOMPARE(readBoth(input), QStringList{QStringLiteral("error: ") + message});
    }

    void displayText_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("every kind")
            << QByteArray("<?xml version=\"1.0\"?><?pi some data?><cfg id=\"7\"><flag>on</flag><e/><?q?></cfg>")
            << QStringList{"File: x.xml",
                           "XMLDeclaration",
                           "version = 1.0",
                           "piProcessingInstruction = some data",
                           "cfg",
                           "id = 7",
                           "flag = on",
                           "e",
                           "qProcessingInstruction"};
        QTest::newRow("bytes shown one character each")
            << QByteArray("<a n=\"\xC3\xA9\">x = y</a>")
            << QStringList{"File: x.xml", "a = x = y", QString::fromUtf8("n = \xC3\x83\xC2\xA9")};
    }
    void displayText()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, texts);
        std::unique_ptr<TXMLNode> document = parse(input);
        document->SetFileName(QStringLiteral("x.xml"));
        QStringList shown;
        std::function<void(const TXMLNode &)> walk = [&](const TXMLNode &node) {
            shown << node.DisplayText();
            for (const TXMLNode *child = node.FirstChild(); child; child = child->NextSibling())
                walk(*child);
        };
        walk(*document);
        QCOMPARE(shown, texts);
    }

    void childrenByIndexAndRemoval()
    {
        std::unique_ptr<TXMLNode> document = parse("<r a=\"1\"><b/><c>x</c><d/></r>");
        TXMLNode *root = document->Child(0);
        QCOMPARE(root->ChildCount(), 4);
        QCOMPARE(root->Child(2)->Name(), std::string_view("c"));
        QCOMPARE(root->Child(0)->Kind, XMLNodeKind::Attribute);
        QVERIFY(!root->Child(4));
        QVERIFY(!root->Child(-1));

        // A removed node outlives the document it came from, with its subtree.
        std::unique_ptr<TXMLNode> c = root->RemoveChild(root->Child(2));
        QVERIFY(!root->RemoveChild(c.get()));
        QCOMPARE(root->ChildCount(), 3);
        QCOMPARE(root->Child(2)->Name(), std::string_view("d"));
        std::unique_ptr<TXMLNode> d = root->RemoveChild(root->Child(2));
        root->AddChild(std::make_unique<TXMLNode>(XMLNodeKind::Element, "e", "v"));
        QCOMPARE(root->Child(2)->Name(), std::string_view("e"));
        document.reset();
        QCOMPARE(c->Value(), std::string_view("x"));
        QCOMPARE(c->DisplayText(), QStringLiteral("c = x"));
        QCOMPARE(d->ChildCount(), 0);

        // Nodes of several documents and the heap mix in one tree.
        std::unique_ptr<TXMLNode> other = parse("<o><p/></o>");
        c->AddChild(other->Child(0)->RemoveChild(other->Child(0)->Child(0)));
        other.reset();
        QCOMPARE(c->Child(0)->Name(), std::string_view("p"));
    }

    // References are resolved where they stand, but never in bytes the caller still holds.
    void callersInputIsUnchanged()
    {
        const QByteArray input("<a v=\"&lt;\">x<b/>&amp;&#65;</a>");
        const QByteArray copy(input.constData(), input.size());
        std::unique_ptr<TXMLNode> document = parse(input);
        QCOMPARE(input, copy);
        QCOMPARE(dumpTree(*document), (QStringList{"D[]", "  E[a][x&A]", "    A[v][<]", "    E[b]"}));
    }

    void wideTreeIsWalkedInOrder()
    {
        const int count = 50000;
        std::unique_ptr<TXMLNode> document = parse("<r>" + QByteArray("<i/>").repeated(count) + "</r>");
        const TXMLNode *root = document->Child(0);
        QCOMPARE(root->ChildCount(), count);
        int seen = 0;
        for (const TXMLNode *child = root->FirstChild(); child; child = child->NextSibling())
            ++seen;
        QCOMPARE(seen, count);
    }
};

QTEST_GUILESS_MAIN(TestXMLReader)
#include "tst_XMLReader.moc"
