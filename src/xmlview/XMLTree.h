#pragma once

#include "xmlview/XMLReader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// Pictures of the viewer's tree, by node kind; the selected picture is the next index.
namespace XMLImage {
constexpr int Document = 0;
constexpr int Element = 2;
constexpr int Attribute = 4;
constexpr int ProcessingInstruction = 6;
constexpr int XMLDeclaration = 8;
constexpr int Count = 10;
} // namespace XMLImage

int XMLImageIndex(XMLNodeKind kind);

// One item of the viewer's tree: the text the user sees and may edit, and its picture.
struct XMLTreeItem {
    QString Text;
    int ImageIndex = XMLImage::Document;
    std::vector<XMLTreeItem> Children;
};

// Reads and parses a whole file; the document node carries the file's name
// without its directory. Throws TessiroError with "Cannot open file ..." or the
// reader's message.
std::unique_ptr<TXMLNode> ReadXMLFile(const QString &path);

// The items the viewer shows for a read document: the file item and, below it, one per node.
XMLTreeItem BuildXMLTreeItems(const TXMLNode &document);

// The tree as text, one item a line, indented by two blanks per level.
QStringList XMLTreeLines(const TXMLNode &document);

// The file name that Write stores into the project directory: the file item's
// text after its first ":", trimmed of blanks. Throws TessiroError when it is
// not a plain file name.
QString XMLTargetFileName(const QString &fileItemText);

// The document the items describe: the declaration with its pseudo-attributes,
// processing instructions, and the elements with their attributes, texts and
// nesting. Item texts are split at their first "=" into name and value. Throws
// TessiroError when an item cannot be written so that it reads back the same.
QByteArray WriteXMLTree(const XMLTreeItem &fileItem);
