#pragma once

#include "xmlview/XMLReader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// One item of the viewer's tree: the text the user sees and may edit, and the
// kind of the node it was made from.
struct XMLTreeItem {
    QString Text;
    XMLNodeKind Kind = XMLNodeKind::Document;
    std::vector<XMLTreeItem> Children;
};

// The largest file the viewer opens: its tree holds an item per node, and a
// larger document would take minutes and gigabytes to show.
constexpr qint64 MaxXMLFileBytes = qint64(64) << 20;

// Reads and parses a whole file; the document node carries the file's name
// without its directory. Throws TessiroError with "Cannot open file ...", the
// refusal of what is no regular file or is larger than MaxXMLFileBytes, or the
// reader's message.
std::unique_ptr<TXMLNode> ReadXMLFile(const QString &path);

// The items the viewer shows for a read document: the file item and, below it, one per node.
XMLTreeItem BuildXMLTreeItems(const TXMLNode &document);

// The file name that Write stores into the project directory: the file item's
// text after its first ":", trimmed of blanks. Throws TessiroError when it is
// not a plain file name.
QString XMLTargetFileName(const QString &fileItemText);

// The document the items describe: the declaration with its pseudo-attributes,
// processing instructions, and the elements with their attributes, texts and
// nesting. Item texts are split at their first "=" into name and value. Throws
// TessiroError when an item cannot be written so that it reads back the same.
QByteArray WriteXMLTree(const XMLTreeItem &fileItem);
