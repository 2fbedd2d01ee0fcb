#include "xmlview/XMLReader.h"

#include "base/LargePages.h"
#include "xmlview/Messages.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <type_traits>

// The bytes and nodes of one read document, freed with the last of its nodes.
// Names and values are offsets into one text space: the input, then the texts
// that are no run of it (an element's text gathered from around its children).
class XMLNodeArena {
public:
    explicit XMLNodeArena(QByteArray input)
        : m_input(std::move(input)), m_inputBytes(m_input.constData()), m_inputSize(quint32(m_input.size()))
    {
    }
    XMLNodeArena(const XMLNodeArena &) = delete;
    XMLNodeArena &operator=(const XMLNodeArena &) = delete;

    void *allocate()
    {
        if (m_free == m_blockEnd)
            addBlock();
        void *memory = m_free;
        m_free += sizeof(TXMLNode);
        ++m_live;
        return memory;
    }

    void retain() { ++m_live; }

    // A document as read, with no node taken out or put in, is freed in one go.
    void seal(const TXMLNode *document) { m_document = document; }
    void changed() { m_document = nullptr; }
    bool isWholeDocument(const TXMLNode *node) const { return node == m_document; }
    void releaseAllBut(const TXMLNode *) { m_live = 1; }
    void release()
    {
        if (--m_live == 0)
            delete this;
    }

    TXMLNode *newNode(XMLNodeKind kind) { return new (this) TXMLNode(kind, this); }

    const char *text(quint32 offset) const
    {
        return offset < m_inputSize ? m_inputBytes + offset : m_side.constData() + (offset - m_inputSize);
    }

    quint32 addText(std::string_view bytes)
    {
        const quint64 offset = quint64(m_inputSize) + quint64(m_side.size());
        if (offset + bytes.size() > std::numeric_limits<quint32>::max())
            throw XMLReadError(XmlMessages::InputTooLarge.arg(MaxXMLInputSize));
        m_side.append(bytes.data(), qsizetype(bytes.size()));
        return quint32(offset);
    }

    QHash<const TXMLNode *, QString> FileNames;

private:
    ~XMLNodeArena()
    {
        for (size_t i = 0; i < m_blocks.size(); ++i) {
            if (i < SmallBlocks)
                ::operator delete(m_blocks[i]);
            else
                ::operator delete(m_blocks[i], std::align_val_t(LargePageSize));
        }
    }

    // The first blocks stay below the heap's mmap threshold, so that reading a
    // small document again reuses them; a large document goes on in blocks of
    // large pages.
    static constexpr size_t SmallBlockSize = 60000 / sizeof(TXMLNode) * sizeof(TXMLNode);
    static constexpr size_t SmallBlocks = 8;
    static constexpr size_t LargeBlockSize = LargePageSize / sizeof(TXMLNode) * sizeof(TXMLNode);

    void addBlock()
    {
        const bool small = m_blocks.size() < SmallBlocks;
        m_blocks.push_back(nullptr);
        const size_t size = small ? SmallBlockSize : LargeBlockSize;
        char *block;
        if (small) {
            block = static_cast<char *>(::operator new(size));
        } else {
            block = static_cast<char *>(::operator new(LargePageSize, std::align_val_t(LargePageSize)));
            adviseLargePages(block, LargePageSize);
        }
        m_blocks.back() = block;
        m_free = block;
        m_blockEnd = block + size;
    }

    std::vector<char *> m_blocks;
    char *m_free = nullptr;
    char *m_blockEnd = nullptr;
    size_t m_live = 0;
    const TXMLNode *m_document = nullptr;
    QByteArray m_input;
    const char *m_inputBytes;
    quint32 m_inputSize;
    QByteArray m_side;
};

#if QT_POINTER_SIZE == 8
static_assert(sizeof(TXMLNode) == 48, "a node's size decides the reader's memory per byte of input");
#endif

TXMLNode::TXMLNode(XMLNodeKind kind, std::string_view name, std::string_view value) : m_onHeap(true), Kind(kind)
{
    auto *arena = new XMLNodeArena(QByteArray());
    arena->retain();
    m_arena = arena;
    try {
        m_name = arena->addText(name);
        m_nameSize = quint32(name.size());
        m_value = arena->addText(value);
        m_valueSize = quint32(value.size());
    } catch (...) {
        arena->release();
        throw;
    }
}

TXMLNode::~TXMLNode()
{
    if (m_arena->isWholeDocument(this)) {
        m_arena->releaseAllBut(this);
        return;
    }
    // One level of recursion per level of the tree, none per sibling.
    TXMLNode *child = FirstChild();
    while (child) {
        TXMLNode *next = child->NextSibling();
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
    const bool onHeap = node->m_onHeap;
    node->~TXMLNode();
    if (onHeap)
        ::operator delete(node);
    arena->release();
}

std::string_view TXMLNode::Name() const
{
    return m_nameSize ? std::string_view(m_arena->text(m_name), m_nameSize) : std::string_view();
}

std::string_view TXMLNode::Value() const
{
    return m_valueSize ? std::string_view(m_arena->text(m_value), m_valueSize) : std::string_view();
}

QString TXMLNode::FileName() const
{
    return m_arena->FileNames.value(this);
}

void TXMLNode::SetFileName(const QString &fileName)
{
    m_arena->FileNames.insert(this, fileName);
}

TXMLNode *TXMLNode::AddChild(std::unique_ptr<TXMLNode> child)
{
    TXMLNode *node = child.release();
    m_arena->changed();
    node->m_arena->changed();
    link(node);
    return node;
}

std::unique_ptr<TXMLNode> TXMLNode::RemoveChild(const TXMLNode *child)
{
    m_arena->changed();
    if (!m_lastChild)
        return nullptr;
    TXMLNode *previous = m_lastChild;
    TXMLNode *node = m_lastChild->m_next;
    for (int i = 0; i < m_count; ++i, previous = node, node = node->m_next) {
        if (node != child)
            continue;
        if (m_count == 1) {
            m_lastChild = nullptr;
        } else {
            previous->m_next = node->m_next;
            if (node == m_lastChild) {
                m_lastChild = previous;
                previous->m_isLast = true;
            }
        }
        node->m_next = nullptr;
        node->m_isLast = false;
        --m_count;
        return std::unique_ptr<TXMLNode>(node);
    }
    return nullptr;
}

TXMLNode *TXMLNode::Child(int index) const
{
    if (index < 0 || index >= m_count)
        return nullptr;
    TXMLNode *node = FirstChild();
    while (index-- > 0)
        node = node->m_next;
    return node;
}

namespace {

QString latin1(std::string_view bytes)
{
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

} // namespace

QString TXMLNode::DisplayText() const
{
    QString text;
    DisplayPieces([&text](auto piece) {
        if constexpr (std::is_same_v<decltype(piece), QStringView>)
            text += piece;
        else
            text += latin1(piece);
    });
    return text;
}

TXMLStringReader::TXMLStringReader(QByteArray data) : m_data(std::move(data)) {}

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

bool allWhitespace(const char *begin, const char *end)
{
    for (; begin < end; ++begin)
        if (!isWhitespace(*begin))
            return false;
    return true;
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

// A numeric reference's digits as a code; false when they do not convert.
bool convertCode(std::string_view digits, int base, quint32 *code)
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

} // namespace

// Recursive descent over the input's bytes, which it owns for the parse: names
// and values stay where they are in the input, references are resolved in
// place (a reference is never shorter than its character), and a node records
// only where its texts lie. Positions follow the reader's rules: m_p is the
// current byte, m_size once past the end.
class XMLParser {
public:
    XMLParser(QByteArray &input, qsizetype next) : m_input(input), m_p(next - 1)
    {
        if (input.size() > MaxXMLInputSize)
            fail(XmlMessages::InputTooLarge.arg(MaxXMLInputSize));
        // Resolving references writes into the input; one held elsewhere is copied first.
        m_buf = input.data();
        m_size = input.size();
        m_scratch.resize(MaxXMLDepth + 1);
    }

    std::unique_ptr<TXMLNode> parseDocument()
    {
        advance();
        m_arena = new XMLNodeArena(m_input);
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
        m_arena->seal(document.get());
        return document;
    }

    // Index of the byte after the current one, as the string reader keeps it.
    qsizetype nextPosition() const { return m_p + 1; }
    char current() const { return c(); }

private:
    // An element's text as it is read: a run of the input that grows in place
    // while nothing with texts of its own lies between its pieces; gathered in
    // a scratch string only when a child separates two pieces that are not blank.
    struct Text {
        qsizetype begin = 0;
        qsizetype end = 0;
        bool open = true;
        bool blank = true;
        bool gathered = false;
        // Blank pieces after the children, kept in case a piece with text follows.
        std::string *pending;
        std::string *gathering;
    };

    // A new node, added to parent at once: a failure discards the whole document.
    TXMLNode *addNode(TXMLNode &parent, XMLNodeKind kind)
    {
        TXMLNode *node = ::new (m_arena->allocate()) TXMLNode(kind, m_arena);
        parent.link(node);
        return node;
    }

    char c() const { return m_p < m_size ? m_buf[m_p] : 0; }
    bool endOfData() const { return m_p + 1 >= m_size; }
    void step()
    {
        if (m_p < m_size)
            ++m_p;
    }
    // Moves on where the grammar needs another byte.
    void advance()
    {
        if (endOfData())
            fail(XmlMessages::UnexpectedEnd);
        ++m_p;
    }
    bool atEnd() const { return c() == 0 && endOfData(); }

    void skipWhitespace()
    {
        while (m_p < m_size && isWhitespace(m_buf[m_p]))
            ++m_p;
    }

    template <typename Pred> void skipWhile(Pred pred)
    {
        while (m_p < m_size && pred(m_buf[m_p]))
            ++m_p;
    }

    // The first index of needle at or after the current byte, or -1.
    qsizetype find(std::string_view needle) const
    {
        if (m_p >= m_size)
            return -1;
        const size_t at = std::string_view(m_buf + m_p, size_t(m_size - m_p)).find(needle);
        return at == std::string_view::npos ? -1 : m_p + qsizetype(at);
    }

    // Consumes literal when the input continues with it; otherwise leaves the position as it was.
    template <size_t N> bool matchLiteral(const char (&literal)[N])
    {
        constexpr qsizetype length = N - 1;
        if (m_p < 0 || m_size - m_p < length || std::memcmp(m_buf + m_p, literal, length) != 0)
            return false;
        m_p += length;
        return true;
    }

    std::string_view view(qsizetype begin, qsizetype end) const
    {
        return std::string_view(m_buf + begin, size_t(end - begin));
    }

    static void setName(TXMLNode &node, qsizetype begin, qsizetype end)
    {
        node.m_name = quint32(begin);
        node.m_nameSize = quint32(end - begin);
    }

    static void setValue(TXMLNode &node, qsizetype begin, qsizetype end)
    {
        node.m_value = quint32(begin);
        node.m_valueSize = quint32(end - begin);
    }

    // Precondition: the current byte starts a name.
    qsizetype readName()
    {
        const qsizetype begin = m_p;
        skipWhile(isNameChar);
        return begin;
    }

    void parseDeclaration(TXMLNode &document)
    {
        TXMLNode *declaration = addNode(document, XMLNodeKind::XMLDeclaration);
        for (;;) {
            skipWhitespace();
            if (!isNameStart(c()))
                break;
            parseAttribute(*declaration);
        }
        skipWhitespace();
        if (!matchLiteral("?>"))
            fail(XmlMessages::DeclarationNotTerminated);
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
        const qsizetype begin = m_p;
        const qsizetype close = find("-->");
        if (close < 0) {
            skipWhile([](char) { return true; });
            return;
        }
        if (close > begin && m_buf[close - 1] == '-')
            fail(XmlMessages::CommentEnd);
        m_p = close + 3;
    }

    // After "<?".
    void parseProcessingInstruction(TXMLNode &parent)
    {
        if (!isNameStart(c()))
            fail(XmlMessages::PINoName);
        TXMLNode *node = addNode(parent, XMLNodeKind::ProcessingInstruction);
        const qsizetype name = readName();
        if (view(name, m_p) == "xml")
            fail(XmlMessages::PIReservedName);
        setName(*node, name, m_p);
        skipWhitespace();
        const qsizetype close = find("?>");
        if (close < 0)
            fail(XmlMessages::PIUnterminated);
        setValue(*node, m_p, close);
        m_p = close + 2;
    }

    // Precondition: the current byte starts a name.
    void parseAttribute(TXMLNode &owner)
    {
        TXMLNode *node = addNode(owner, XMLNodeKind::Attribute);
        const qsizetype name = readName();
        setName(*node, name, m_p);
        skipWhitespace();
        if (c() != '=')
            fail(XmlMessages::EqualsMissing);
        step();
        skipWhitespace();
        const char quote = c();
        if (quote != '"' && quote != '\'')
            fail(XmlMessages::AttributeMissingValue.arg(latin1(node->Name())));
        advance();
        const qsizetype begin = m_p;
        qsizetype end = m_p;
        for (;;) {
            const qsizetype run = m_p;
            skipWhile([quote](char ch) { return ch != quote && ch != '<' && ch != '&'; });
            if (end != run)
                std::memmove(m_buf + end, m_buf + run, size_t(m_p - run));
            end += m_p - run;
            if (atEnd())
                fail(XmlMessages::UnexpectedEnd);
            if (c() == quote)
                break;
            if (c() == '<')
                fail(XmlMessages::LtInAttribute);
            m_buf[end++] = parseReference();
        }
        setValue(*node, begin, end);
        step();
    }

    // Precondition: the current byte is "&". Leaves the byte after ";" current.
    char parseReference()
    {
        advance();
        const qsizetype begin = m_p;
        skipWhile([](char ch) { return ch != ';'; });
        if (atEnd())
            fail(XmlMessages::UnexpectedEnd);
        const std::string_view name = view(begin, m_p);
        step();
        if (!name.empty() && name[0] == '#') {
            quint32 code = 0;
            const bool hex = name.size() > 1 && name[1] == 'x';
            if (!convertCode(name.substr(hex ? 2 : 1), hex ? 16 : 10, &code))
                fail(XmlMessages::InvalidIntegerReference + latin1(name) + QLatin1Char(';'));
            return char(code & 0xFF);
        }
        if (name == "amp")
            return '&';
        if (name == "lt")
            return '<';
        if (name == "gt")
            return '>';
        if (name == "quot")
            return '"';
        if (name == "apos")
            return '\'';
        fail(XmlMessages::UnrecognizedReference);
    }

    // An element at the current position, added to parent; false when there is none.
    bool parseElement(TXMLNode &parent)
    {
        if (c() != '<' || m_p + 1 >= m_size || !isNameStart(m_buf[m_p + 1]))
            return false;
        ++m_p;
        parseElementAfterLt(parent);
        return true;
    }

    // After "<", with a name starting at the current byte.
    void parseElementAfterLt(TXMLNode &parent)
    {
        if (m_depth >= MaxXMLDepth)
            fail(XmlMessages::NestedTooDeep.arg(MaxXMLDepth));
        TXMLNode *node = addNode(parent, XMLNodeKind::Element);
        ++m_depth;
        try {
            const qsizetype name = readName();
            setName(*node, name, m_p);
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
                parseEndTag(*node);
            }
        } catch (...) {
            --m_depth;
            parent.RemoveChild(node);
            throw;
        }
        --m_depth;
    }

    // A piece of an element's text that lies at [begin, end) of the input.
    void addPiece(Text &text, qsizetype begin, qsizetype end)
    {
        if (begin == end)
            return;
        if (text.gathered) {
            text.gathering->append(m_buf + begin, size_t(end - begin));
        } else if (text.open) {
            if (text.end != begin)
                std::memmove(m_buf + text.end, m_buf + begin, size_t(end - begin));
            text.end += end - begin;
        } else if (text.blank) {
            // Blanks before the first text are trimmed anyway.
            text = Text{begin, end, true, true, false, text.pending, text.gathering};
            text.pending->clear();
        } else if (allWhitespace(m_buf + begin, m_buf + end)) {
            text.pending->append(m_buf + begin, size_t(end - begin));
        } else {
            text.gathering->assign(m_buf + text.begin, size_t(text.end - text.begin));
            text.gathering->append(*text.pending);
            text.gathering->append(m_buf + begin, size_t(end - begin));
            text.gathered = true;
        }
    }

    // Runs up to and over the "</" of the end tag; anything else that stops the
    // content means the end tag is missing. Sets the element's value.
    void parseContent(TXMLNode &element)
    {
        std::string &pending = m_scratch[size_t(m_depth)].first;
        std::string &gathering = m_scratch[size_t(m_depth)].second;
        pending.clear();
        gathering.clear();
        Text text{m_p, m_p, true, true, false, &pending, &gathering};
        for (;;) {
            const char ch = c();
            if (ch == '<') {
                step();
                const char next = c();
                if (next == '/') {
                    step();
                    break;
                }
                if (next == '!') {
                    step();
                    if (matchLiteral("[CDATA[")) {
                        parseCData(text);
                        continue;
                    }
                    if (matchLiteral("--")) {
                        parseComment();
                        continue;
                    }
                } else if (next == '?') {
                    step();
                    close(text);
                    parseProcessingInstruction(element);
                    continue;
                } else if (isNameStart(next)) {
                    close(text);
                    parseElementAfterLt(element);
                    continue;
                }
                noEndingTag(element);
            }
            if (ch == '&') {
                const qsizetype at = m_p;
                m_buf[at] = parseReference();
                addPiece(text, at, at + 1);
                continue;
            }
            if (atEnd())
                noEndingTag(element);
            parseCharData(text);
        }
        setText(element, text);
    }

    // A child with texts of its own comes next: the text may no longer grow in place.
    void close(Text &text)
    {
        if (text.open && !text.gathered) {
            text.open = false;
            text.blank = allWhitespace(m_buf + text.begin, m_buf + text.end);
        }
    }

    // The element's value: its text trimmed of blanks at both ends.
    void setText(TXMLNode &element, const Text &text)
    {
        if (text.gathered) {
            std::string_view value = *text.gathering;
            while (!value.empty() && isWhitespace(value.front()))
                value.remove_prefix(1);
            while (!value.empty() && isWhitespace(value.back()))
                value.remove_suffix(1);
            if (!value.empty()) {
                element.m_value = m_arena->addText(value);
                element.m_valueSize = quint32(value.size());
            }
            return;
        }
        qsizetype begin = text.begin;
        qsizetype end = text.end;
        while (begin < end && isWhitespace(m_buf[begin]))
            ++begin;
        while (end > begin && isWhitespace(m_buf[end - 1]))
            --end;
        if (begin < end)
            setValue(element, begin, end);
    }

    // Up to the next "&", "<" or the end of the input.
    void parseCharData(Text &text)
    {
        const qsizetype begin = m_p;
        bool bracket = false;
        skipWhile([&bracket](char ch) {
            bracket |= ch == ']';
            return ch != '<' && ch != '&';
        });
        if (bracket && view(begin, m_p).find("]]>") != std::string_view::npos)
            fail(XmlMessages::CDataEndInText);
        addPiece(text, begin, m_p);
    }

    // After "<![CDATA[".
    void parseCData(Text &text)
    {
        if (atEnd())
            fail(XmlMessages::UnexpectedEnd);
        const qsizetype close = find("]]>");
        if (close < 0)
            fail(XmlMessages::UnexpectedEnd);
        const qsizetype begin = m_p;
        m_p = close + 3;
        addPiece(text, begin, close);
    }

    // After "</".
    void parseEndTag(const TXMLNode &element)
    {
        if (!isNameStart(c()))
            noEndingTag(element);
        const qsizetype begin = readName();
        const std::string_view name = view(begin, m_p);
        if (name != element.Name())
            fail(XmlMessages::EndTagMismatch.arg(latin1(name), latin1(element.Name())));
        skipWhitespace();
        if (c() != '>')
            fail(XmlMessages::EndTagMissingGt);
        step();
    }

    [[noreturn]] static void noEndingTag(const TXMLNode &element)
    {
        fail(XmlMessages::NoEndingTag + latin1(element.Name()));
    }

    QByteArray &m_input;
    char *m_buf = nullptr;
    qsizetype m_size = 0;
    qsizetype m_p;
    XMLNodeArena *m_arena = nullptr;
    // Per depth: an element's blank pieces after its children and its gathered text.
    std::vector<std::pair<std::string, std::string>> m_scratch;
    int m_depth = 0;
};

std::unique_ptr<TXMLNode> ParseDocument(TXMLReader &reader)
{
    if (auto *stringReader = dynamic_cast<TXMLStringReader *>(&reader)) {
        XMLParser parser(stringReader->m_data, stringReader->m_position);
        std::unique_ptr<TXMLNode> document = parser.parseDocument();
        stringReader->m_position = parser.nextPosition();
        stringReader->m_current = parser.current();
        return document;
    }
    // Any other source is read to its end first: the same bytes give the same tree.
    QByteArray bytes;
    while (!reader.EndOfData()) {
        if (bytes.size() == MaxXMLInputSize)
            fail(XmlMessages::InputTooLarge.arg(MaxXMLInputSize));
        reader.NextChar();
        bytes.append(reader.CurrentChar());
    }
    return XMLParser(bytes, 0).parseDocument();
}
