#include "xmlview/XMLReader.h"

#include "xmlview/Messages.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

// Memory for the nodes of one read document, given out in blocks and freed
// with the last of its nodes: one allocation per block instead of one per node.
class XMLNodeArena {
public:
    XMLNodeArena() = default;
    XMLNodeArena(const XMLNodeArena &) = delete;
    XMLNodeArena &operator=(const XMLNodeArena &) = delete;

    void *allocate()
    {
        if (m_free == m_blockEnd) {
            auto *block = static_cast<char *>(::operator new(NodesPerBlock * sizeof(TXMLNode)));
            m_blocks.push_back(block);
            m_free = block;
            m_blockEnd = block + NodesPerBlock * sizeof(TXMLNode);
        }
        void *memory = m_free;
        m_free += sizeof(TXMLNode);
        ++m_live;
        return memory;
    }

    void release()
    {
        if (--m_live == 0)
            delete this;
    }

    TXMLNode *newNode(XMLNodeKind kind) { return new (this) TXMLNode(kind, this); }

private:
    ~XMLNodeArena()
    {
        for (char *block : m_blocks)
            ::operator delete(block);
    }

    // Blocks stay below the heap's mmap threshold, so that reading again reuses them.
    static constexpr size_t NodesPerBlock = 60000 / sizeof(TXMLNode);
    std::vector<char *> m_blocks;
    char *m_free = nullptr;
    char *m_blockEnd = nullptr;
    size_t m_live = 0;
};

TXMLNode::TXMLNode(XMLNodeKind kind, std::string name, std::string value)
    : Value(std::move(value)), Name(std::move(name)), Kind(kind)
{
}

TXMLNode::~TXMLNode()
{
    // One level of recursion per level of the tree, none per sibling.
    TXMLNode *child = m_first;
    while (child) {
        TXMLNode *next = child->m_next;
        delete child;
        child = next;
    }
}

void *TXMLNode::operator new(size_t, XMLNodeArena *arena)
{
    return arena->allocate();
}

void TXMLNode::operator delete(void *, XMLNodeArena *arena)
{
    arena->release();
}

void TXMLNode::operator delete(TXMLNode *node, std::destroying_delete_t)
{
    XMLNodeArena *arena = node->m_arena;
    node->~TXMLNode();
    if (arena)
        arena->release();
    else
        ::operator delete(node);
}

QString TXMLNode::FileName() const
{
    return m_fileName ? *m_fileName : QString();
}

void TXMLNode::SetFileName(const QString &fileName)
{
    m_fileName = std::make_unique<QString>(fileName);
}

TXMLNode *TXMLNode::AddChild(std::unique_ptr<TXMLNode> child)
{
    TXMLNode *node = child.release();
    node->m_next = nullptr;
    if (m_last)
        m_last->m_next = node;
    else
        m_first = node;
    m_last = node;
    ++m_count;
    return node;
}

std::unique_ptr<TXMLNode> TXMLNode::RemoveChild(const TXMLNode *child)
{
    TXMLNode *previous = nullptr;
    for (TXMLNode *node = m_first; node; previous = node, node = node->m_next) {
        if (node != child)
            continue;
        (previous ? previous->m_next : m_first) = node->m_next;
        if (m_last == node)
            m_last = previous;
        node->m_next = nullptr;
        --m_count;
        return std::unique_ptr<TXMLNode>(node);
    }
    return nullptr;
}

TXMLNode *TXMLNode::Child(int index) const
{
    if (index < 0 || index >= m_count)
        return nullptr;
    TXMLNode *node = m_first;
    while (index-- > 0)
        node = node->m_next;
    return node;
}

namespace {

QString latin1(const std::string &bytes)
{
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

} // namespace

QString TXMLNode::DisplayText() const
{
    QString text;
    switch (Kind) {
    case XMLNodeKind::Document:
        text = XmlMessages::FilePrefix + FileName();
        break;
    case XMLNodeKind::Element:
    case XMLNodeKind::Attribute:
        text = latin1(Name);
        break;
    case XMLNodeKind::ProcessingInstruction:
        text = latin1(Name) + XmlMessages::ProcessingInstructionSuffix;
        break;
    case XMLNodeKind::XMLDeclaration:
        text = XmlMessages::XMLDeclarationText;
        break;
    }
    if (!Value.empty())
        text += XmlMessages::ValueSeparator + latin1(Value);
    return text;
}

TXMLStringReader::TXMLStringReader(QByteArray data)
    : m_data(std::move(data)), m_bytes(m_data.constData()), m_size(m_data.size())
{
}

TXMLStringReader::~TXMLStringReader()
{
    for (TXMLStringReaderState *state : m_spare)
        delete state;
}

TXMLReaderState *TXMLStringReader::SaveState()
{
    TXMLStringReaderState *state;
    if (m_spare.empty()) {
        state = new TXMLStringReaderState;
    } else {
        state = m_spare.back();
        m_spare.pop_back();
    }
    state->Position = m_position;
    state->Current = m_current;
    return state;
}

void TXMLStringReader::RestoreState(const TXMLReaderState *state)
{
    const auto *s = static_cast<const TXMLStringReaderState *>(state);
    m_position = s->Position;
    m_current = s->Current;
}

void TXMLStringReader::FreeState(TXMLReaderState *state)
{
    if (state)
        m_spare.push_back(static_cast<TXMLStringReaderState *>(state));
}

namespace {

[[noreturn]] void fail(const QString &message)
{
    throw XMLReadError(message);
}

bool isWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Per byte: 1 may start a name, 2 may continue one.
constexpr std::array<quint8, 256> NameClass = [] {
    std::array<quint8, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const bool start = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
        const bool more = start || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xB7;
        table[size_t(c)] = quint8((start ? 1 : 0) | (more ? 2 : 0));
    }
    return table;
}();

bool isNameStart(char c)
{
    return NameClass[quint8(c)] & 1;
}

bool isNameChar(char c)
{
    return NameClass[quint8(c)] & 2;
}

void trimWhitespace(std::string &s)
{
    size_t end = s.size();
    while (end > 0 && isWhitespace(s[end - 1]))
        --end;
    size_t begin = 0;
    while (begin < end && isWhitespace(s[begin]))
        ++begin;
    s.erase(end);
    s.erase(0, begin);
}

template <size_t N> bool is(const std::string &s, const char (&literal)[N])
{
    return s.size() == N - 1 && std::memcmp(s.data(), literal, N - 1) == 0;
}

bool endsWith(const std::string &s, size_t from, const char *tail)
{
    const size_t n = std::strlen(tail);
    return s.size() >= from + n && s.compare(s.size() - n, n, tail) == 0;
}

// A numeric reference's digits as a code; false when they do not convert.
bool convertCode(const std::string &digits, int base, quint32 *code)
{
    if (digits.empty())
        return false;
    const quint64 limit = base == 16 ? 0xFFFFFFFFu : 0x7FFFFFFFu;
    quint64 value = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        value = value * quint64(base) + quint64(d);
        if (value > limit)
            return false;
    }
    *code = quint32(value);
    return true;
}

// Recursive descent over the reader. R is the reader's static type, so that a
// string reader's per-byte calls are direct rather than virtual.
template <typename R> class Parser {
public:
    explicit Parser(R &reader) : r(reader) {}

    std::unique_ptr<TXMLNode> parseDocument()
    {
        advance();
        m_arena = new XMLNodeArena;
        std::unique_ptr<TXMLNode> document(m_arena->newNode(XMLNodeKind::Document));
        if (matchLiteral("<?xml"))
            parseDeclaration(*document);
        parseMisc(*document);
        if (matchLiteral("<!DOCTYPE"))
            fail(XmlMessages::DocTypeNotImplemented);
        parseMisc(*document);
        if (!parseElement(*document))
            fail(XmlMessages::MissingElement);
        parseMisc(*document);
        return document;
    }

private:
    // Holds a saved position for as long as it lives.
    class Mark {
    public:
        explicit Mark(R &reader) : m_reader(reader), m_state(reader.SaveState()) {}
        ~Mark() { m_reader.FreeState(m_state); }
        Mark(const Mark &) = delete;
        Mark &operator=(const Mark &) = delete;
        void restore() { m_reader.RestoreState(m_state); }

    private:
        R &m_reader;
        TXMLReaderState *m_state;
    };

    std::unique_ptr<TXMLNode> newNode(XMLNodeKind kind) { return std::unique_ptr<TXMLNode>(m_arena->newNode(kind)); }

    char c() const { return r.CurrentChar(); }
    void step() { r.NextChar(); }
    // Moves on where the grammar needs another byte.
    void advance()
    {
        if (r.EndOfData())
            fail(XmlMessages::UnexpectedEnd);
        r.NextChar();
    }
    bool atEnd() const { return c() == 0 && r.EndOfData(); }

    void skipWhitespace()
    {
        while (isWhitespace(c()))
            step();
    }

    // Appends the current byte and moves on while pred holds, stopping at the end.
    template <typename Pred> void appendWhile(std::string &out, Pred pred)
    {
        if constexpr (std::is_same_v<R, TXMLStringReader>) {
            r.AppendWhile(out, pred);
        } else {
            while (!atEnd() && pred(c())) {
                out += c();
                step();
            }
        }
    }

    // Consumes literal when the input continues with it; otherwise leaves the position as it was.
    bool matchLiteral(const char *literal)
    {
        if (c() != literal[0])
            return false;
        Mark mark(r);
        step();
        for (const char *p = literal + 1; *p; ++p) {
            if (c() != *p) {
                mark.restore();
                return false;
            }
            step();
        }
        return true;
    }

    // Precondition: the current byte starts a name.
    void readName(std::string &name)
    {
        appendWhile(name, [](char ch) { return isNameChar(ch); });
    }

    void parseDeclaration(TXMLNode &document)
    {
        auto declaration = newNode(XMLNodeKind::XMLDeclaration);
        for (;;) {
            skipWhitespace();
            if (!isNameStart(c()))
                break;
            parseAttribute(*declaration);
        }
        skipWhitespace();
        if (!matchLiteral("?>"))
            fail(XmlMessages::DeclarationNotTerminated);
        document.AddChild(std::move(declaration));
    }

    void parseMisc(TXMLNode &parent)
    {
        for (;;) {
            skipWhitespace();
            if (matchLiteral("<!--"))
                parseComment();
            else if (matchLiteral("<?"))
                parseProcessingInstruction(parent);
            else
                return;
        }
    }

    // After "<!--". Dropped; one left open ends with the input.
    void parseComment()
    {
        size_t length = 0;
        char last[4] = {0, 0, 0, 0};
        while (!atEnd()) {
            last[0] = last[1];
            last[1] = last[2];
            last[2] = last[3];
            last[3] = c();
            ++length;
            step();
            if (last[1] == '-' && last[2] == '-' && last[3] == '>') {
                if (length >= 4 && last[0] == '-')
                    fail(XmlMessages::CommentEnd);
                return;
            }
        }
    }

    // After "<?".
    void parseProcessingInstruction(TXMLNode &parent)
    {
        if (!isNameStart(c()))
            fail(XmlMessages::PINoName);
        auto node = newNode(XMLNodeKind::ProcessingInstruction);
        readName(node->Name);
        if (is(node->Name, "xml"))
            fail(XmlMessages::PIReservedName);
        skipWhitespace();
        std::string &data = node->Value;
        for (;;) {
            appendWhile(data, [](char ch) { return ch != '>'; });
            if (atEnd())
                fail(XmlMessages::PIUnterminated);
            data += c();
            step();
            if (endsWith(data, 0, "?>")) {
                data.resize(data.size() - 2);
                break;
            }
        }
        parent.AddChild(std::move(node));
    }

    // Precondition: the current byte starts a name.
    void parseAttribute(TXMLNode &owner)
    {
        auto node = newNode(XMLNodeKind::Attribute);
        readName(node->Name);
        skipWhitespace();
        if (c() != '=')
            fail(XmlMessages::EqualsMissing);
        step();
        skipWhitespace();
        const char quote = c();
        if (quote != '"' && quote != '\'')
            fail(XmlMessages::AttributeMissingValue.arg(latin1(node->Name)));
        advance();
        std::string &value = node->Value;
        for (;;) {
            appendWhile(value, [quote](char ch) { return ch != quote && ch != '<' && ch != '&'; });
            if (atEnd())
                fail(XmlMessages::UnexpectedEnd);
            if (c() == quote)
                break;
            if (c() == '<')
                fail(XmlMessages::LtInAttribute);
            value += parseReference();
        }
        step();
        owner.AddChild(std::move(node));
    }

    // Precondition: the current byte is "&". Leaves the byte after ";" current.
    char parseReference()
    {
        advance();
        std::string &name = m_scratch;
        name.clear();
        appendWhile(name, [](char ch) { return ch != ';'; });
        if (atEnd())
            fail(XmlMessages::UnexpectedEnd);
        step();
        if (!name.empty() && name[0] == '#') {
            quint32 code = 0;
            const bool hex = name.size() > 1 && name[1] == 'x';
            if (!convertCode(name.substr(hex ? 2 : 1), hex ? 16 : 10, &code))
                fail(XmlMessages::InvalidIntegerReference + latin1(name) + QLatin1Char(';'));
            return char(code & 0xFF);
        }
        if (is(name, "amp"))
            return '&';
        if (is(name, "lt"))
            return '<';
        if (is(name, "gt"))
            return '>';
        if (is(name, "quot"))
            return '"';
        if (is(name, "apos"))
            return '\'';
        fail(XmlMessages::UnrecognizedReference);
    }

    // An element at the current position, added to parent; false when there is none.
    bool parseElement(TXMLNode &parent)
    {
        if (c() != '<')
            return false;
        {
            Mark mark(r);
            step();
            if (!isNameStart(c())) {
                mark.restore();
                return false;
            }
        }
        parseElementAfterLt(parent);
        return true;
    }

    // After "<", with a name starting at the current byte.
    void parseElementAfterLt(TXMLNode &parent)
    {
        if (m_depth >= MaxXMLDepth)
            fail(XmlMessages::NestedTooDeep.arg(MaxXMLDepth));
        TXMLNode *node = parent.AddChild(newNode(XMLNodeKind::Element));
        ++m_depth;
        try {
            readName(node->Name);
            for (;;) {
                skipWhitespace();
                if (!isNameStart(c()))
                    break;
                parseAttribute(*node);
            }
            if (c() == '/') {
                advance();
                if (c() != '>')
                    fail(XmlMessages::TagNotTerminated);
                step();
            } else {
                if (c() != '>')
                    fail(XmlMessages::TagNotTerminated);
                step();
                parseContent(*node);
                trimWhitespace(node->Value);
                parseEndTag(*node);
            }
        } catch (...) {
            --m_depth;
            parent.RemoveChild(node);
            throw;
        }
        --m_depth;
    }

    // Runs up to and over the "</" of the end tag; anything else that stops the
    // content means the end tag is missing.
    void parseContent(TXMLNode &element)
    {
        for (;;) {
            const char ch = c();
            if (ch == '<') {
                step();
                const char next = c();
                if (next == '/') {
                    step();
                    return;
                }
                if (next == '!') {
                    step();
                    if (matchLiteral("[CDATA[")) {
                        parseCData(element);
                        continue;
                    }
                    if (matchLiteral("--")) {
                        parseComment();
                        continue;
                    }
                } else if (next == '?') {
                    step();
                    parseProcessingInstruction(element);
                    continue;
                } else if (isNameStart(next)) {
                    parseElementAfterLt(element);
                    continue;
                }
                noEndingTag(element);
            }
            if (ch == '&') {
                element.Value += parseReference();
                continue;
            }
            if (atEnd())
                noEndingTag(element);
            parseCharData(element);
        }
    }

    // Up to the next "&", "<" or the end of the input.
    void parseCharData(TXMLNode &element)
    {
        std::string &value = element.Value;
        const size_t start = value.size();
        bool bracket = false;
        appendWhile(value, [&bracket](char ch) {
            bracket |= ch == ']';
            return ch != '<' && ch != '&';
        });
        if (bracket && value.find("]]>", start) != std::string::npos)
            fail(XmlMessages::CDataEndInText);
    }

    // After "<![CDATA[".
    void parseCData(TXMLNode &element)
    {
        std::string &value = element.Value;
        const size_t start = value.size();
        if (atEnd())
            fail(XmlMessages::UnexpectedEnd);
        for (;;) {
            appendWhile(value, [](char ch) { return ch != ']' && ch != '>'; });
            if (atEnd())
                fail(XmlMessages::UnexpectedEnd);
            if (c() == '>' && endsWith(value, start, "]]")) {
                value.resize(value.size() - 2);
                step();
                return;
            }
            value += c();
            advance();
        }
    }

    // After "</".
    void parseEndTag(const TXMLNode &element)
    {
        if (!isNameStart(c()))
            noEndingTag(element);
        std::string &name = m_scratch;
        name.clear();
        readName(name);
        if (name != element.Name)
            fail(XmlMessages::EndTagMismatch.arg(latin1(name), latin1(element.Name)));
        skipWhitespace();
        if (c() != '>')
            fail(XmlMessages::EndTagMissingGt);
        step();
    }

    [[noreturn]] static void noEndingTag(const TXMLNode &element)
    {
        fail(XmlMessages::NoEndingTag + latin1(element.Name));
    }

    R &r;
    XMLNodeArena *m_arena = nullptr;
    // Reused for reference and end-tag names.
    std::string m_scratch;
    int m_depth = 0;
};

} // namespace

std::unique_ptr<TXMLNode> ParseDocument(TXMLReader &reader)
{
    if (auto *stringReader = dynamic_cast<TXMLStringReader *>(&reader))
        return Parser<TXMLStringReader>(*stringReader).parseDocument();
    return Parser<TXMLReader>(reader).parseDocument();
}
