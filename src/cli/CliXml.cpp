#include "cli/CliCommands.h"

#include "base/Notices.h"
#include "xmlview/XMLTree.h"

#include <cstdio>

namespace {

// Prints the viewer's tree of FILE, one item a line; line breaks inside a text
// are shown as \n and \r so that every item stays on its own line.
int xmlTree(const QStringList &args, Notices &notices)
{
    if (args.size() != 1) {
        notices.error(QStringLiteral("Usage: tessiro-cli xml-tree FILE"));
        return 1;
    }
    const std::unique_ptr<TXMLNode> document = ReadXMLFile(args.first());
    QString out;
    for (QString line : XMLTreeLines(*document)) {
        line.replace(u'\n', QLatin1String("\\n"));
        line.replace(u'\r', QLatin1String("\\r"));
        out += line + u'\n';
    }
    const QByteArray bytes = out.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    return 0;
}

} // namespace

const CliCommandInfo XmlCliCommands[] = {
    {"xml-tree", "xml-tree FILE", "prints the XML viewer's tree of FILE, two blanks per level", xmlTree},
    {nullptr, nullptr, nullptr, nullptr}};
