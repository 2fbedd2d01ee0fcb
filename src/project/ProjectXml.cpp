#include "project/ProjectXml.h"

#include "base/AtomicFile.h"
#include "base/TessiroError.h"
#include "project/Messages.h"

#include <QDir>
#include <QFile>

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

bool loadProjectXml(const QString &path, pugi::xml_document &doc, pugi::xml_node *root, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = ProjectMessages::CannotReadFile.arg(shown, file.errorString());
        return false;
    }
    const QByteArray data = file.readAll();
    const pugi::xml_parse_result result = doc.load_buffer(data.constData(), size_t(data.size()));
    if (!result) {
        *error = ProjectMessages::NotValidXml.arg(shown, QString::fromUtf8(result.description()),
                                                  QString::number(qlonglong(result.offset)));
        return false;
    }
    *root = doc.first_child();
    if (root->type() != pugi::node_element) {
        *error = ProjectMessages::NoRootElement.arg(shown);
        return false;
    }
    return true;
}

pugi::xml_node loadProjectRoot(const QString &path, pugi::xml_document &doc)
{
    pugi::xml_node root;
    QString error;
    if (!loadProjectXml(path, doc, &root, &error))
        throw TessiroError(error);
    return root;
}

QByteArray projectXmlBytes(const pugi::xml_document &doc)
{
    ByteArrayWriter writer;
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return writer.bytes;
}

bool saveProjectXml(const QString &path, const pugi::xml_document &doc, QString *error)
{
    return saveProjectBytes(path, projectXmlBytes(doc), error);
}

bool saveProjectBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QString reason;
    if (writeFileAtomically(path, bytes, &reason))
        return true;
    *error = ProjectMessages::CannotWriteFile.arg(QDir::toNativeSeparators(path), reason);
    return false;
}
