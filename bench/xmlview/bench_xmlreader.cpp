// Reads one generated document of about 10 MB with the viewer's reader and with
// pugixml and prints the best times and their ratio. Each side runs in a process
// of its own, alternating, so that neither inherits the heap the other left.
#include "xmlview/XMLReader.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <pugixml.hpp>

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

template <typename F> double milliseconds(F &&body)
{
    QElapsedTimer timer;
    timer.start();
    body();
    return double(timer.nsecsElapsed()) / 1e6;
}

int countNodes(const TXMLNode &node)
{
    int n = 1;
    for (const TXMLNode *child = node.FirstChild(); child; child = child->NextSibling())
        n += countNodes(*child);
    return n;
}

constexpr int RunsPerProcess = 5;
constexpr int Processes = 3;

// One side, in this process: the best of a few runs, each building the tree and destroying it.
int runSide(const QByteArray &side)
{
    const QByteArray document = generateDocument(10 * 1024 * 1024);
    double best = 1e300;
    for (int i = 0; i < RunsPerProcess; ++i) {
        if (side == "reader") {
            best = std::min(best, milliseconds([&] {
                                TXMLStringReader input(document);
                                std::unique_ptr<TXMLNode> root = ParseDocument(input);
                            }));
        } else {
            bool ok = false;
            best = std::min(best, milliseconds([&] {
                                pugi::xml_document doc;
                                ok = bool(doc.load_buffer(document.constData(), size_t(document.size())));
                            }));
            if (!ok)
                return 1;
        }
    }
    std::printf("%.3f\n", best);
    return 0;
}

double runChild(const QString &side)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {side});
    child.waitForFinished(-1);
    bool ok = false;
    const double ms = child.readAllStandardOutput().trimmed().toDouble(&ok);
    if (child.exitCode() != 0 || !ok) {
        std::fprintf(stderr, "the %s run failed\n", qPrintable(side));
        std::exit(1);
    }
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1)
        return runSide(argv[1]);
    QCoreApplication app(argc, argv);

    const QByteArray document = generateDocument(10 * 1024 * 1024);
    TXMLStringReader input(document);
    const int nodes = countNodes(*ParseDocument(input));
    std::printf("document: %.1f MB, %d reader nodes\n", document.size() / 1048576.0, nodes);

    double reader = 1e300;
    double pugi = 1e300;
    for (int i = 0; i < Processes; ++i) {
        reader = std::min(reader, runChild(QStringLiteral("reader")));
        pugi = std::min(pugi, runChild(QStringLiteral("pugixml")));
    }
    std::printf("reader:  %8.1f ms (best of %d)\n", reader, RunsPerProcess * Processes);
    std::printf("pugixml: %8.1f ms (best of %d)\n", pugi, RunsPerProcess * Processes);
    std::printf("ratio reader/pugixml: %.2f (goal: at most 3)\n", reader / pugi);
    return 0;
}
