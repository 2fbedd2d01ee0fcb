// One side of the XML reader benchmark per process, so that bench_xml.sh can
// time whole processes and take each one's peak memory:
//   bench_xmlreader generate FILE   writes the generated document of about 10 MB
//   bench_xmlreader reader FILE     reads FILE as the viewer does (ReadXMLFile)
//   bench_xmlreader pugixml FILE    reads FILE with pugixml (load_file)
//   bench_xmlreader idle FILE       starts and ends: the floor of the other two
// Every mode but generate prints the process's peak resident memory in KiB.
#include "xmlview/XMLTree.h"

#include <QByteArray>
#include <QFile>
#include <cstdio>
#include <cstring>
#include <pugixml.hpp>
#include <sys/resource.h>

namespace {

// A project-like document: nested groups of entries with attributes, text,
// references, CDATA sections, comments and processing instructions.
QByteArray generateDocument(qsizetype targetSize)
{
    QByteArray out;
    out.reserve(targetSize + 4096);
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- generated for the benchmark -->\n<project name=\"bench\">\n";
    int group = 0;
    while (out.size() < targetSize) {
        out += "  <group id=\"" + QByteArray::number(group) + "\" kind=\"sdo\">\n";
        for (int i = 0; i < 20; ++i) {
            const QByteArray n = QByteArray::number(group * 20 + i);
            out += "    <entry index=\"$" + QByteArray::number(0x1800 + i, 16).toUpper() + "\" sub=\"" +
                   QByteArray::number(i % 8) + "\" size=\"4\" name=\"Entry &amp; " + n + "\">value " + n +
                   " &lt;ok&gt;</entry>\n";
            if (i % 5 == 0)
                out += "    <flag/>\n";
        }
        out += "    <note><![CDATA[raw <text> " + QByteArray::number(group) + "]]></note>\n";
        out += "    <!-- group " + QByteArray::number(group) + " -->\n";
        out += "    <?check crc?>\n";
        out += "  </group>\n";
        ++group;
    }
    out += "</project>\n";
    return out;
}

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_xmlreader generate|reader|pugixml|idle FILE\n");
        return 2;
    }
    const char *mode = argv[1];
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (std::strcmp(mode, "generate") == 0) {
        QFile file(path);
        const QByteArray document = generateDocument(10 * 1024 * 1024);
        if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size())
            return 1;
        return 0;
    }
    if (std::strcmp(mode, "reader") == 0) {
        const std::unique_ptr<TXMLNode> document = ReadXMLFile(path);
        if (!document->FirstChild())
            return 1;
    } else if (std::strcmp(mode, "pugixml") == 0) {
        pugi::xml_document doc;
        if (!doc.load_file(argv[2]) || !doc.first_child())
            return 1;
    } else if (std::strcmp(mode, "idle") != 0) {
        return 2;
    }
    std::printf("%ld\n", peakKiB());
    return 0;
}
