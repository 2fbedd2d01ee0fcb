#include "cli/CliCommands.h"

#include "base/Notices.h"
#include "cli/CliSupport.h"
#include "xmlview/XMLTree.h"

#include <QFileInfo>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace {

// The viewer's tree as text, written as it is walked: one item a line, two
// blanks per level, in the local 8-bit encoding. Line breaks inside a text are
// shown as \n and \r so that every item stays on its own line.
class TreeTextWriter {
public:
    explicit TreeTextWriter(std::FILE *out) : m_out(out) {}
    ~TreeTextWriter() { flush(); }
    TreeTextWriter(const TreeTextWriter &) = delete;
    TreeTextWriter &operator=(const TreeTextWriter &) = delete;

    // Depth is bounded by the reader's nesting limit.
    void write(const TXMLNode &node, int level)
    {
        reserve(size_t(level) * 2);
        std::memset(m_buffer + m_used, ' ', size_t(level) * 2);
        m_used += size_t(level) * 2;
#ifdef Q_OS_WIN
        // The local encoding is a code page: Qt knows it.
        QString line = node.DisplayText();
        line.replace(u'\n', QLatin1String("\\n"));
        line.replace(u'\r', QLatin1String("\\r"));
        append(line.toLocal8Bit());
#else
        node.DisplayPieces([this](auto piece) { append(piece); });
#endif
        put("\n", 1);
        for (const TXMLNode *child = node.FirstChild(); child; child = child->NextSibling())
            write(*child, level + 1);
    }

    void flush()
    {
        if (m_used)
            std::fwrite(m_buffer, 1, m_used, m_out);
        m_used = 0;
    }

private:
    void reserve(size_t bytes)
    {
        if (m_used + bytes > sizeof m_buffer)
            flush();
    }

    void put(const char *bytes, size_t size)
    {
        if (size > sizeof m_buffer - m_used) {
            flush();
            if (size > sizeof m_buffer) {
                std::fwrite(bytes, 1, size, m_out);
                return;
            }
        }
        std::memcpy(m_buffer + m_used, bytes, size);
        m_used += size;
    }

    void append(const QByteArray &bytes)
    {
        put(bytes.constData(), size_t(bytes.size()));
    }

    // On the other systems Qt's local 8-bit encoding is UTF-8; the node's
    // bytes are Latin-1 characters, so each byte above 127 takes two.
    void append(std::string_view bytes)
    {
        const char *p = bytes.data();
        const char *end = p + bytes.size();
        while (p < end) {
            const char *run = p;
            while (p < end && quint8(*p) < 0x80 && *p != '\n' && *p != '\r')
                ++p;
            put(run, size_t(p - run));
            if (p == end)
                break;
            char escaped[2];
            if (*p == '\n' || *p == '\r') {
                escaped[0] = '\\';
                escaped[1] = *p == '\n' ? 'n' : 'r';
            } else {
                escaped[0] = char(0xC0 | (quint8(*p) >> 6));
                escaped[1] = char(0x80 | (quint8(*p) & 0x3F));
            }
            put(escaped, 2);
            ++p;
        }
    }

    void append(QStringView text)
    {
        QString line = text.toString();
        line.replace(u'\n', QLatin1String("\\n"));
        line.replace(u'\r', QLatin1String("\\r"));
        append(line.toLocal8Bit());
    }

    std::FILE *m_out;
    size_t m_used = 0;
    char m_buffer[1 << 16];
};

int xmlTree(const QStringList &args, Notices &notices)
{
    if (args.size() != 1) {
        notices.error(QStringLiteral("Usage: tessiro-cli xml-tree FILE"));
        return 1;
    }
    const std::unique_ptr<TXMLNode> document = ReadXMLFile(args.first());
    // The file item names the file as given, not by the descriptor it was read through.
    document->SetFileName(QFileInfo(shownAsGiven(args.first())).fileName());
    TreeTextWriter(stdout).write(*document, 0);
    return 0;
}

} // namespace

const CliCommandInfo XmlCliCommands[] = {
    {"xml-tree", "xml-tree FILE", "prints the XML viewer's tree of FILE, two blanks per level", xmlTree},
    {nullptr, nullptr, nullptr, nullptr}};
