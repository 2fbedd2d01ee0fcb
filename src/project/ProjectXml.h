#pragma once

#include "base/Loaded.h"

#include <QByteArray>
#include <QString>
#include <pugixml.hpp>

// The form every project XML file shares: no declaration, no indentation, the
// document's first node is the root, UTF-8, every value a plain string.

// Loads path into doc, for a load that keeps going: value is the document's first
// node, or a null node with the reason (naming the file) as the one problem.
Loaded<pugi::xml_node> loadProjectXml(const QString &path, pugi::xml_document &doc);
// The same for an operation that ends: returns the root, throws TessiroError with that reason.
pugi::xml_node requireProjectXml(const QString &path, pugi::xml_document &doc);

// The exact bytes of doc as a project file.
QByteArray projectXmlBytes(const pugi::xml_document &doc);

// Replace path with doc (or bytes) in one step; throws TessiroError naming the file on failure.
void saveProjectXml(const QString &path, const pugi::xml_document &doc);
void saveProjectBytes(const QString &path, const QByteArray &bytes);

inline QString fromXml(const char *text)
{
    return QString::fromUtf8(text);
}
