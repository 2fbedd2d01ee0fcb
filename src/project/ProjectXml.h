#pragma once

#include <QByteArray>
#include <QString>
#include <pugixml.hpp>

// The form every project XML file shares: no declaration, no indentation, the
// document's first node is the root, UTF-8, every value a plain string.

// Loads path into doc. On success *root is the document's first node. On failure
// returns false with a message naming the file in *error.
bool loadProjectXml(const QString &path, pugi::xml_document &doc, pugi::xml_node *root, QString *error);
// The same for generators: returns the root, throws TessiroError with that message.
pugi::xml_node loadProjectRoot(const QString &path, pugi::xml_document &doc);

// The exact bytes of doc as a project file.
QByteArray projectXmlBytes(const pugi::xml_document &doc);

// Replace path with doc (or bytes) in one step. On failure return false with a message in *error.
bool saveProjectXml(const QString &path, const pugi::xml_document &doc, QString *error);
bool saveProjectBytes(const QString &path, const QByteArray &bytes, QString *error);

inline QString fromXml(const char *text)
{
    return QString::fromUtf8(text);
}
