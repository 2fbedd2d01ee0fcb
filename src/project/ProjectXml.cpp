#include "project/ProjectXml.h"

#include "base/AtomicFile.h"
#include "base/FileRead.h"
#include "base/TessiroError.h"
#include "project/Messages.h"

#include <QDir>

namespace {

class ByteArrayWriter : public pugi::xml_writer {
public:
    QByteArray bytes;
    void write(const void *data, size_t size) override
    {
        bytes.append(static_cast<const char *>(data), qsizetype(size));
    }
};

} // namespace

Loaded<pugi::xml_node> loadProjectXml(const QString &path, pugi::xml_document &doc)
{
    Loaded<pugi::xml_node> loaded;
    const QString shown = QDir::toNativeSeparators(path);
    // A FIFO or a device in place of the file would block or never end: refused, named.
    QByteArray data;
    try {
        data = readRegularFile(path, MaxProjectFileBytes);
    } catch (const TessiroError &e) {
        loaded.problems << e.message();
        return loaded;
    }
    const pugi::xml_parse_result result = doc.load_buffer(data.constData(), size_t(data.size()));
    if (!result) {
        loaded.problems << ProjectMessages::NotValidXml.arg(shown, QString::fromUtf8(result.description()),
                                                            QString::number(qlonglong(result.offset)));
        return loaded;
    }
    const pugi::xml_node root = doc.first_child();
    if (root.type() != pugi::node_element) {
        loaded.problems << ProjectMessages::NoRootElement.arg(shown);
        return loaded;
    }
    loaded.value = root;
    return loaded;
}

pugi::xml_node requireProjectXml(const QString &path, pugi::xml_document &doc)
{
    const Loaded<pugi::xml_node> loaded = loadProjectXml(path, doc);
    if (!loaded.ok())
        throw TessiroError(loaded.problems.constFirst());
    return loaded.value;
}

QByteArray projectXmlBytes(const pugi::xml_document &doc)
{
    ByteArrayWriter writer;
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return writer.bytes;
}

void saveProjectXml(const QString &path, const pugi::xml_document &doc)
{
    saveProjectBytes(path, projectXmlBytes(doc));
}

void saveProjectBytes(const QString &path, const QByteArray &bytes)
{
    // A project file the user linked on purpose is rewritten at its target.
    try {
        writeFileAtomically(path, bytes, {.removeStale = true});
    } catch (const FileWriteError &e) {
        throw TessiroError(ProjectMessages::CannotWriteFile.arg(QDir::toNativeSeparators(path), e.reason()));
    }
}
