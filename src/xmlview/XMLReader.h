#pragma once

#include "base/TessiroError.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

// Node kinds as the tree shows them.
enum class XMLNodeKind : quint8 {
    Document = 0,
    Element = 1,
    Attribute = 2,
    ProcessingInstruction = 3,
    XMLDeclaration = 4
};

class XMLNodeArena;

// One node of a read document. Name and Value are the file's bytes unchanged
// (references resolved): the reader knows no encodings, each byte is one
// character. They are views into the bytes of the document the node was read
// from, which live as long as any of its nodes does. A node owns its children;
// destroying it destroys its subtree.
class TXMLNode {
public:
    // A node of no document: it keeps copies of name and value.
    explicit TXMLNode(XMLNodeKind kind, std::string_view name = {}, std::string_view value = {});
    ~TXMLNode();
    TXMLNode(const TXMLNode &) = delete;
    TXMLNode &operator=(const TXMLNode &) = delete;

    std::string_view Value() const;
    std::string_view Name() const;

    // Set by the caller on the document node only.
    QString FileName() const;
    void SetFileName(const QString &fileName);

    TXMLNode *AddChild(std::unique_ptr<TXMLNode> child);
    // Takes child out of the list and hands it back; null when it is not a child.
    std::unique_ptr<TXMLNode> RemoveChild(const TXMLNode *child);
    int ChildCount() const { return m_count; }
    // Counts from the first child; walks go by FirstChild and NextSibling.
    TXMLNode *Child(int index) const;
    TXMLNode *FirstChild() const { return m_lastChild ? m_lastChild->m_next : nullptr; }
    TXMLNode *NextSibling() const { return m_isLast ? nullptr : m_next; }

    // The tree item's text: bytes shown as Latin-1, one character each.
    QString DisplayText() const;

    // Nodes made by the reader live in its arena; others on the heap.
    static void *operator new(size_t size) { return ::operator new(size); }
    void operator delete(TXMLNode *node, std::destroying_delete_t);

private:
    friend class XMLNodeArena;
    friend class XMLParser;
    TXMLNode(XMLNodeKind kind, XMLNodeArena *arena) : m_arena(arena), Kind(kind) {}
    static void *operator new(size_t size, XMLNodeArena *arena);
    static void operator delete(void *memory, XMLNodeArena *arena);

    // A read document has hundreds of thousands of nodes, so every byte of a
    // node counts: texts as offsets into the document's bytes, children as a
    // ring through the last child, the file name in the arena.
    quint32 m_name = 0;
    quint32 m_nameSize = 0;
    quint32 m_value = 0;
    quint32 m_valueSize = 0;
    // The last child; its m_next is the first.
    TXMLNode *m_lastChild = nullptr;
    // The next sibling, or the first one in the last child.
    TXMLNode *m_next = nullptr;
    XMLNodeArena *m_arena = nullptr;
    int m_count = 0;
    bool m_isLast = false;
    bool m_onHeap = false;

public:
    XMLNodeKind Kind;
};

class TXMLReader;
std::unique_ptr<TXMLNode> ParseDocument(TXMLReader &reader);

class TXMLReaderState {
public:
    virtual ~TXMLReaderState() = default;
};

// Character source of the reader: one byte at a time, with positions to go back to.
class TXMLReader {
public:
    virtual ~TXMLReader() = default;

    // The current byte; 0 once the input is exhausted.
    char CurrentChar() const { return m_current; }

    // True when no byte is left after the current one.
    virtual bool EndOfData() const = 0;
    virtual void FreeState(TXMLReaderState *state) = 0;
    virtual void NextChar() = 0;
    virtual void RestoreState(const TXMLReaderState *state) = 0;
    virtual TXMLReaderState *SaveState() = 0;

protected:
    char m_current = 0;
};

class TXMLStringReaderState final : public TXMLReaderState {
public:
    qsizetype Position = 0;
    char Current = 0;
};

class TXMLStringReader final : public TXMLReader {
public:
    explicit TXMLStringReader(QByteArray data);
    ~TXMLStringReader() override;

    bool EndOfData() const override { return m_position >= m_data.size(); }
    void FreeState(TXMLReaderState *state) override;
    void NextChar() override
    {
        if (m_position < m_data.size()) {
            m_current = m_data.constData()[m_position++];
        } else {
            m_current = 0;
            m_position = m_data.size() + 1;
        }
    }
    void RestoreState(const TXMLReaderState *state) override;
    TXMLReaderState *SaveState() override;

private:
    friend std::unique_ptr<TXMLNode> ParseDocument(TXMLReader &reader);
    QByteArray m_data;
    // Index of the byte after the current one; size + 1 once past the end.
    qsizetype m_position = 0;
    // Freed states are kept for the next SaveState.
    std::vector<TXMLStringReaderState *> m_spare;
};

// A failure of the reader; the message is one of the reader's texts.
class XMLReadError : public TessiroError {
public:
    using TessiroError::TessiroError;
};

// Deepest element nesting the reader accepts.
constexpr int MaxXMLDepth = 256;
// Largest input the reader accepts: texts are kept as 32-bit offsets.
constexpr qsizetype MaxXMLInputSize = 0x7FFFFFFF;

// Reads the whole input into a new document node. Throws XMLReadError on malformed input.
std::unique_ptr<TXMLNode> ParseDocument(TXMLReader &reader);
