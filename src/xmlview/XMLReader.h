#pragma once

#include "base/TessiroError.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <new>
#include <string>
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

// One node of a read document. Name and Value hold the file's bytes unchanged:
// the reader knows no encodings, each byte is one character. A node owns its
// children; destroying it destroys its subtree.
class TXMLNode {
public:
    explicit TXMLNode(XMLNodeKind kind, std::string name = {}, std::string value = {});
    ~TXMLNode();
    TXMLNode(const TXMLNode &) = delete;
    TXMLNode &operator=(const TXMLNode &) = delete;

    std::string Value;
    std::string Name;
    // Kind is declared at the end, where it fits beside the child count.

    // Set by the caller on the document node only.
    QString FileName() const;
    void SetFileName(const QString &fileName);

    TXMLNode *AddChild(std::unique_ptr<TXMLNode> child);
    // Takes child out of the list and hands it back; null when it is not a child.
    std::unique_ptr<TXMLNode> RemoveChild(const TXMLNode *child);
    int ChildCount() const { return m_count; }
    // Counts from the first child; walks go by FirstChild and NextSibling.
    TXMLNode *Child(int index) const;
    TXMLNode *FirstChild() const { return m_first; }
    TXMLNode *NextSibling() const { return m_next; }

    // The tree item's text: bytes shown as Latin-1, one character each.
    QString DisplayText() const;

    // Nodes made by the reader live in its arena; others on the heap.
    static void *operator new(size_t size) { return ::operator new(size); }
    void operator delete(TXMLNode *node, std::destroying_delete_t);

private:
    friend class XMLNodeArena;
    TXMLNode(XMLNodeKind kind, XMLNodeArena *arena) : m_arena(arena), Kind(kind) {}
    static void *operator new(size_t size, XMLNodeArena *arena);
    static void operator delete(void *memory, XMLNodeArena *arena);

    // A read document has hundreds of thousands of nodes, so every byte of a
    // node counts: children as a list, not a vector, and the file name apart.
    TXMLNode *m_first = nullptr;
    TXMLNode *m_last = nullptr;
    TXMLNode *m_next = nullptr;
    std::unique_ptr<QString> m_fileName;
    XMLNodeArena *m_arena = nullptr;
    int m_count = 0;

public:
    XMLNodeKind Kind;
};

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

    bool EndOfData() const override { return m_position >= m_size; }
    void FreeState(TXMLReaderState *state) override;
    void NextChar() override
    {
        if (m_position < m_size) {
            m_current = m_bytes[m_position++];
        } else {
            m_current = 0;
            m_position = m_size + 1;
        }
    }
    void RestoreState(const TXMLReaderState *state) override;
    TXMLReaderState *SaveState() override;

    // What NextChar would do while pred holds, appending each current byte to out;
    // the parser's fast path for runs of text.
    template <typename Pred> void AppendWhile(std::string &out, Pred pred)
    {
        if (m_position == 0 || m_position > m_size)
            return;
        const char *begin = m_bytes + m_position - 1;
        const char *end = m_bytes + m_size;
        const char *p = begin;
        while (p < end && pred(*p))
            ++p;
        out.append(begin, size_t(p - begin));
        if (p < end) {
            m_current = *p;
            m_position = (p - m_bytes) + 1;
        } else {
            m_current = 0;
            m_position = m_size + 1;
        }
    }

private:
    QByteArray m_data;
    const char *m_bytes;
    qsizetype m_size;
    // Index of the byte after the current one; m_size + 1 once past the end.
    qsizetype m_position = 0;
    // Freed states are kept for the next SaveState: the parser saves one at every tag.
    std::vector<TXMLStringReaderState *> m_spare;
};

// A failure of the reader; the message is one of the reader's texts.
class XMLReadError : public TessiroError {
public:
    using TessiroError::TessiroError;
};

// Deepest element nesting the reader accepts.
constexpr int MaxXMLDepth = 256;

// Reads the whole input into a new document node. Throws XMLReadError on malformed input.
std::unique_ptr<TXMLNode> ParseDocument(TXMLReader &reader);
