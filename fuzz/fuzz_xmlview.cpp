// Whatever the reader reads, the viewer's writer writes so that it reads back as
// the same tree (with a declaration ahead of it where the writer had to add
// one); whatever the writer refuses, it refuses with its own message.
#include "base/TessiroError.h"
#include "xmlview/XMLTree.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void dump(const TXMLNode &node, int level, QByteArray &out)
{
    out += QByteArray(level * 2, ' ') + char('0' + int(node.Kind)) + '[';
    out.append(node.Name().data(), qsizetype(node.Name().size()));
    out += "][";
    out.append(node.Value().data(), qsizetype(node.Value().size()));
    out += "]\n";
    for (const TXMLNode *child = node.FirstChild(); child; child = child->NextSibling())
        dump(*child, level + 1, out);
}

QByteArray dumpTree(const TXMLNode &document)
{
    QByteArray out;
    dump(document, 0, out);
    return out;
}

std::unique_ptr<TXMLNode> read(const QByteArray &bytes)
{
    TXMLStringReader reader(bytes);
    return ParseDocument(reader);
}

[[noreturn]] void fault(const char *what, const QByteArray &written, const QByteArray &first, const QByteArray &second)
{
    std::fprintf(stderr, "%s\nwritten: %s\nfirst tree:\n%s\nsecond tree:\n%s\n", what, written.constData(),
                 first.constData(), second.constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    std::unique_ptr<TXMLNode> first;
    try {
        first = read(input);
    } catch (const XMLReadError &) {
        return 0;
    }
    QByteArray written;
    try {
        written = WriteXMLTree(BuildXMLTreeItems(*first));
    } catch (const TessiroError &) {
        // Refused with a message (a NUL byte in a text, say): nothing is written.
        return 0;
    }
    QByteArray expected = dumpTree(*first);
    const QByteArray added("<?xml version=\"1.0\"?>");
    const bool declared = first->FirstChild() && first->FirstChild()->Kind == XMLNodeKind::XMLDeclaration;
    if (!declared && written.startsWith(added))
        expected.insert(expected.indexOf('\n') + 1, "  4[][]\n    2[version][1.0]\n");
    std::unique_ptr<TXMLNode> second;
    try {
        second = read(written);
    } catch (const XMLReadError &e) {
        fault(e.what(), written, expected, QByteArray());
    }
    const QByteArray again = dumpTree(*second);
    if (again != expected)
        fault("the written document reads as another tree", written, expected, again);
    return 0;
}
