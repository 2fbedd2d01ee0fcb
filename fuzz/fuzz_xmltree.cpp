// The XML viewer: what the reader reads, the writer writes so that it reads back
// as the same tree, or refuses with a message.
#include "FuzzSupport.h"
#include "base/TessiroError.h"
#include "xmlview/XMLReader.h"
#include "xmlview/XMLTree.h"

#include <cstdio>

namespace {

bool sameTree(const XMLTreeItem &a, const XMLTreeItem &b)
{
    if (a.Text != b.Text || a.Kind != b.Kind || a.Children.size() != b.Children.size())
        return false;
    for (size_t i = 0; i < a.Children.size(); ++i)
        if (!sameTree(a.Children[i], b.Children[i]))
            return false;
    return true;
}

std::unique_ptr<TXMLNode> parse(const QByteArray &bytes)
{
    TXMLStringReader reader(bytes);
    return ParseDocument(reader);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::unique_ptr<TXMLNode> document;
    try {
        document = parse(inputBytes(data, size));
    } catch (const XMLReadError &) {
        return 0;
    }
    const XMLTreeItem items = BuildXMLTreeItems(*document);
    QByteArray written;
    try {
        written = WriteXMLTree(items);
    } catch (const TessiroError &e) {
        if (e.message().isEmpty())
            fuzzFail("the writer refused without a message");
        return 0;
    }
    std::unique_ptr<TXMLNode> again;
    try {
        again = parse(written);
    } catch (const XMLReadError &e) {
        fprintf(stderr, "written: %s\nread back: %s\n", written.constData(), qPrintable(e.message()));
        fuzzFail("the written document does not read back");
    }
    if (!sameTree(items, BuildXMLTreeItems(*again))) {
        fprintf(stderr, "written: %s\n", written.constData());
        fuzzFail("the written document reads back as another tree");
    }
    return 0;
}
