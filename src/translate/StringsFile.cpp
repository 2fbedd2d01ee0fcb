#include "translate/StringsFile.h"

#include "project/ProjectXml.h"
#include "translate/Messages.h"

#include <QDir>
#include <QFileInfo>

namespace {

// All the text inside node, as the element's text content reads.
QString textContent(const pugi::xml_node &node)
{
    QString text;
    for (const pugi::xml_node &child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += fromXml(child.value());
        else if (child.type() == pugi::node_element)
            text += textContent(child);
    }
    return text;
}

} // namespace

Loaded<QStringList> loadStrings(const QString &path)
{
    using namespace TranslateMessages;
    Loaded<QStringList> loaded;
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo::exists(path)) {
        loaded.problems << FixedTextWithPlace.arg(StringsXmlNotFound, FileNotThere.arg(shown));
        return loaded;
    }
    pugi::xml_document doc;
    // Bounded and refusing what is no regular file, like every project file.
    const Loaded<pugi::xml_node> root = loadProjectXml(path, doc);
    if (!root.ok()) {
        loaded.problems << FixedTextWithPlace.arg(XmlReadError, root.problems.constFirst());
        return loaded;
    }
    int leftOut = 0;
    for (const pugi::xml_node &child : root.value.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (loaded.value.size() < PickerStringRows)
            loaded.value << textContent(child);
        else
            ++leftOut;
    }
    if (leftOut > 0)
        loaded.problems << StringsLeftOut.arg(shown).arg(counted(leftOut, "string", "strings"));
    return loaded;
}
