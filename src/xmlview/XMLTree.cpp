#include "xmlview/XMLTree.h"

#include "base/FileRead.h"
#include "base/TessiroError.h"
#include "xmlview/Messages.h"

#include <QFileInfo>
#include <algorithm>
#include <pugixml.hpp>

namespace {

// Depth is bounded by the reader's nesting limit.
void addItems(const TXMLNode &node, XMLTreeItem &item)
{
    item.Text = node.DisplayText();
    item.Kind = node.Kind;
    item.Children.reserve(size_t(node.ChildCount()));
    for (const TXMLNode *child = node.FirstChild(); child; child = child->NextSibling())
        addItems(*child, item.Children.emplace_back());
}

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

bool isXmlWhitespace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

QString trimXmlWhitespace(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isXmlWhitespace(text[begin]))
        ++begin;
    while (end > begin && isXmlWhitespace(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// The same rule as the reader's, so that whatever is written reads back.
bool isValidName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool start = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c == u':';
        const bool more = (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == 0xB7;
        if (!(start || (i > 0 && more)))
            return false;
    }
    return true;
}

// An item's text as a name and a value.
struct ItemParts {
    QString name;
    QString value;
};

// Splits at the first "=": the name is trimmed of blanks; the value loses the one
// blank that the shown text puts after " =", and keeps any other blank, since an
// attribute value's blanks are part of it.
ItemParts splitItem(const QString &text)
{
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0)
        return {trimBlanks(text), QString()};
    QString value = text.mid(equals + 1);
    if (value.startsWith(u' '))
        value.remove(0, 1);
    return {trimBlanks(text.left(equals)), value};
}

class Writer {
public:
    explicit Writer(pugi::xml_document &doc) : m_doc(doc) {}

    void writeTop(const XMLTreeItem &fileItem)
    {
        // The reader takes "<?xml" at the first byte for the declaration, so an
        // instruction whose name begins so (xml-stylesheet) cannot come first: a
        // declaration goes before it.
        const auto written =
            std::find_if(fileItem.Children.begin(), fileItem.Children.end(), [](const XMLTreeItem &item) {
                return item.Kind == XMLNodeKind::XMLDeclaration || item.Kind == XMLNodeKind::ProcessingInstruction ||
                       item.Kind == XMLNodeKind::Element;
            });
        if (written != fileItem.Children.end() && written->Kind == XMLNodeKind::ProcessingInstruction &&
            instructionParts(written->Text).name.startsWith(QLatin1String("xml")))
            m_doc.append_child(pugi::node_declaration).append_attribute("version").set_value("1.0");
        for (const XMLTreeItem &item : fileItem.Children) {
            switch (item.Kind) {
            case XMLNodeKind::XMLDeclaration: {
                pugi::xml_node declaration = m_doc.append_child(pugi::node_declaration);
                for (const XMLTreeItem &child : item.Children)
                    if (child.Kind == XMLNodeKind::Attribute)
                        writeAttribute(declaration, child);
                break;
            }
            case XMLNodeKind::ProcessingInstruction:
                writeProcessingInstruction(m_doc, item);
                break;
            case XMLNodeKind::Element:
                writeElement(m_doc, item);
                break;
            default:
                break;
            }
        }
    }

private:
    void writeElement(pugi::xml_node parent, const XMLTreeItem &item)
    {
        const ItemParts parts = splitItem(item.Text);
        pugi::xml_node element = parent.append_child(name(parts.name, item.Text).constData());
        // The reader gathers all of an element's text into one value and trims it,
        // so one text before the children reads back the same.
        const QString text = trimXmlWhitespace(parts.value);
        if (!text.isEmpty())
            element.append_child(pugi::node_pcdata).set_value(bytes(text, item.Text).constData());
        for (const XMLTreeItem &child : item.Children) {
            switch (child.Kind) {
            case XMLNodeKind::Attribute:
                writeAttribute(element, child);
                break;
            case XMLNodeKind::ProcessingInstruction:
                writeProcessingInstruction(element, child);
                break;
            case XMLNodeKind::Element:
                writeElement(element, child);
                break;
            default:
                break;
            }
        }
    }

    void writeAttribute(pugi::xml_node owner, const XMLTreeItem &item)
    {
        const ItemParts parts = splitItem(item.Text);
        owner.append_attribute(name(parts.name, item.Text).constData())
            .set_value(bytes(parts.value, item.Text).constData());
    }

    // An instruction item's name comes with the suffix the tree shows.
    static ItemParts instructionParts(const QString &text)
    {
        ItemParts parts = splitItem(text);
        const QString &suffix = XmlMessages::ProcessingInstructionSuffix;
        if (parts.name.endsWith(suffix) && parts.name.size() > suffix.size())
            parts.name.chop(suffix.size());
        return parts;
    }

    void writeProcessingInstruction(pugi::xml_node parent, const XMLTreeItem &item)
    {
        const ItemParts parts = instructionParts(item.Text);
        if (parts.name == QLatin1String("xml"))
            throw TessiroError(XmlMessages::WriteInvalidName.arg(parts.name));
        // The reader skips the blanks before the data and ends it at the first "?>".
        qsizetype lead = 0;
        while (lead < parts.value.size() && isXmlWhitespace(parts.value[lead]))
            ++lead;
        const QString data = parts.value.mid(lead);
        if (data.contains(QLatin1String("?>")))
            throw TessiroError(XmlMessages::WriteBadProcessingData.arg(item.Text));
        pugi::xml_node pi = parent.append_child(pugi::node_pi);
        pi.set_name(name(parts.name, item.Text).constData());
        pi.set_value(bytes(data, item.Text).constData());
    }

    static QByteArray name(const QString &name, const QString &itemText)
    {
        if (!isValidName(name))
            throw TessiroError(XmlMessages::WriteInvalidName.arg(name.isEmpty() ? itemText : name));
        return name.toLatin1();
    }

    // The reader's bytes were shown one character each; they go back the same way.
    static QByteArray bytes(const QString &text, const QString &itemText)
    {
        for (QChar c : text)
            if (c.unicode() > 0xFF || c.unicode() == 0)
                throw TessiroError(XmlMessages::WriteUnwritableCharacter.arg(itemText));
        return text.toLatin1();
    }

    pugi::xml_document &m_doc;
};

struct ByteWriter : pugi::xml_writer {
    QByteArray data;
    void write(const void *bytes, size_t size) override
    {
        data.append(static_cast<const char *>(bytes), qsizetype(size));
    }
};

} // namespace

std::unique_ptr<TXMLNode> ReadXMLFile(const QString &path)
{
    TXMLStringReader reader(readRegularFile(path, MaxXMLFileBytes, XmlMessages::CannotOpenFile));
    std::unique_ptr<TXMLNode> document = ParseDocument(reader);
    document->SetFileName(QFileInfo(path).fileName());
    return document;
}

XMLTreeItem BuildXMLTreeItems(const TXMLNode &document)
{
    XMLTreeItem top;
    addItems(document, top);
    return top;
}

QString XMLTargetFileName(const QString &fileItemText)
{
    const qsizetype colon = fileItemText.indexOf(u':');
    const QString name = trimBlanks(colon < 0 ? fileItemText : fileItemText.mid(colon + 1));
    // A plain name only: anything else would write outside the project directory.
    const bool plain = !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
                       !name.contains(u'/') && !name.contains(u'\\') && !name.contains(u':') &&
                       !name.contains(QChar(0));
    if (!plain)
        throw TessiroError(XmlMessages::WriteNotPlainName.arg(name));
    return name;
}

QByteArray WriteXMLTree(const XMLTreeItem &fileItem)
{
    pugi::xml_document doc;
    Writer(doc).writeTop(fileItem);
    ByteWriter out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.data;
}
