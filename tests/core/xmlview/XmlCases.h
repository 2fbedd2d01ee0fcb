#pragma once

#include "xmlview/XMLReader.h"

#include <QByteArray>
#include <QStringList>
#include <QTest>
#include <initializer_list>

// A read tree as lines: two blanks per level, a letter for the kind, then the
// name and value in brackets, so that kinds and bytes are told apart exactly.
inline void dumpNode(const TXMLNode &node, int level, QStringList &lines)
{
    static const char Letters[] = "DEAPX";
    QString line = QString(level * 2, u' ') + QLatin1Char(Letters[int(node.Kind)]) + u'[' +
                   QString::fromLatin1(node.Name().data(), qsizetype(node.Name().size())) + u']';
    if (!node.Value().empty())
        line += u'[' + QString::fromLatin1(node.Value().data(), qsizetype(node.Value().size())) + u']';
    lines << line;
    for (const TXMLNode *child = node.FirstChild(); child; child = child->NextSibling())
        dumpNode(*child, level + 1, lines);
}

inline QStringList dumpTree(const TXMLNode &document)
{
    QStringList lines;
    dumpNode(document, 0, lines);
    return lines;
}

// Well-formed documents and the trees they read as, one line a node below the document.
inline void addWellFormedCases()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("tree");

    // Expected lines are Latin-1, like the bytes they stand for.
    auto row = [](const char *name, const QByteArray &input, std::initializer_list<const char *> lines) {
        QStringList tree{QStringLiteral("D[]")};
        for (const char *line : lines)
            tree << QString::fromLatin1(line);
        QTest::newRow(name) << input << tree;
    };
    row("empty root, last bytes close it", "<a/>", {"  E[a]"});
    row("declaration and its pseudo-attributes", "<?xml version=\"1.0\" encoding='UTF-8'?><r/>",
        {"  X[]", "    A[version][1.0]", "    A[encoding][UTF-8]", "  E[r]"});
    row("declaration without attributes", "<?xml?><r/>", {"  X[]", "  E[r]"});
    row("attributes in order, either quote", "<r id=\"7\" b='x'/>", {"  E[r]", "    A[id][7]", "    A[b][x]"});
    row("attributes without blanks between", "<r a=\"1\"b=\"2\"/>", {"  E[r]", "    A[a][1]", "    A[b][2]"});
    row("blanks around equals", "<r a = \"1\"\t/>", {"  E[r]", "    A[a][1]"});
    row("quotes of the other kind inside", "<r a='say \"hi\"' b=\"it's\"/>",
        {"  E[r]", "    A[a][say \"hi\"]", "    A[b][it's]"});
    row("empty attribute value", "<r a=\"\"/>", {"  E[r]", "    A[a]"});
    row("text trimmed at both ends", "<flag> t </flag>", {"  E[flag][t]"});
    row("text between children joined", "<a>x<b/>y</a>", {"  E[a][xy]", "    E[b]"});
    row("inner blanks kept", "<a>\r\n x \n y\t</a>", {"  E[a][x \n y]"});
    row("indented children", "<a>\n  <b>1</b>\n  <c/>\n</a>\n", {"  E[a]", "    E[b][1]", "    E[c]"});
    row("references in content", "<a>&lt;a&gt;</a>", {"  E[a][<a>]"});
    row("all five named references in a value", "<a v=\"&amp;&lt;&gt;&quot;&apos;\"/>", {"  E[a]", "    A[v][&<>\"']"});
    row("byte after a reference stays", "<a v=\"a&amp;b\"/>", {"  E[a]", "    A[v][a&b]"});
    row("numeric references, low byte of the code", "<a>&#65;&#x41;&#321;&#x0000000041;</a>", {"  E[a][AAAA]"});
    row("referenced blanks are trimmed too", "<a>&#32;x&#32;</a>", {"  E[a][x]"});
    row("texts around children joined, blanks inside kept", "<a>x<b/> <c/>\t<d/>y</a>",
        {"  E[a][x \ty]", "    E[b]", "    E[c]", "    E[d]"});
    row("a reference after a child joins the text", "<a>x<b/>&amp;</a>", {"  E[a][x&]", "    E[b]"});
    row("text only after the children", "<a>\n <b/>\n text \n</a>", {"  E[a][text]", "    E[b]"});
    row("text only before the children", "<a>text<b/>\n<c/>\n</a>", {"  E[a][text]", "    E[b]", "    E[c]"});
    row("texts, references, comments and CDATA in one run", "<a>1&lt;<!-- c -->2<![CDATA[&]]>3</a>", {"  E[a][1<2&3]"});
    row("a child's references leave its parent's text whole", "<a>p&amp;<b>q&amp;r</b>s&gt;</a>",
        {"  E[a][p&s>]", "    E[b][q&r]"});
    row("text around an instruction", "<a>x<?p d?>y</a>", {"  E[a][xy]", "    P[p][d]"});
    row("references between runs of a value", "<a v=\"x&lt;y&gt;z\" w='&#65;&#66;'/>",
        {"  E[a]", "    A[v][x<y>z]", "    A[w][AB]"});
    row("CDATA kept as it stands", "<a><![CDATA[<x>&amp;]]></a>", {"  E[a][<x>&amp;]"});
    row("CDATA with brackets before its end", "<a><![CDATA[a]]b]]]></a>", {"  E[a][a]]b]]"});
    row("CDATA after text ending in brackets", "<a>]]<![CDATA[>]]></a>", {"  E[a][]]>]"});
    row("comments dropped everywhere", "<!-- c --><a>1<!-- x -- y -->2</a><!-- z -->", {"  E[a][12]"});
    row("empty comment", "<!----><a/>", {"  E[a]"});
    row("comment still open at the end", "<a/><!-- open", {"  E[a]"});
    row("processing instructions in every place", "<?p1 d1?><a><?p2  d2 ?></a><?p3?>",
        {"  P[p1][d1]", "  E[a]", "    P[p2][d2 ]", "  P[p3]"});
    row("xml-named instruction after the declaration", "<?xml version=\"1.0\"?><?xml-stylesheet href=\"s\"?><a/>",
        {"  X[]", "    A[version][1.0]", "  P[xml-stylesheet][href=\"s\"]", "  E[a]"});
    row("attributes before instructions and children", "<a x=\"1\"><?p d?><b/></a>",
        {"  E[a]", "    A[x][1]", "    P[p][d]", "    E[b]"});
    row("names with every allowed byte", "<_x:y-z.1\xB7 a.b=\"1\"/>", {"  E[_x:y-z.1\xB7]", "    A[a.b][1]"});
    row("bytes above 127 kept one by one", "<a>\xC3\xA9</a>", {"  E[a][\xC3\xA9]"});
    row("blanks in an end tag", "<a></a \n>", {"  E[a]"});
    row("whatever follows the root is ignored", "<a/>junk<b>", {"  E[a]"});
    QStringList deep{QStringLiteral("D[]")};
    for (int level = 1; level <= MaxXMLDepth; ++level)
        deep << QString(level * 2, u' ') + QStringLiteral("E[a]");
    QTest::newRow("deep nesting within the bound")
        << QByteArray("<a>").repeated(MaxXMLDepth) + QByteArray("</a>").repeated(MaxXMLDepth) << deep;
}
