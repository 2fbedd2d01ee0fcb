#include "translate/ProjectTable.h"

#include "base/TessiroError.h"
#include "project/ParseIntText.h"
#include "project/ProjectXml.h"
#include "translate/Messages.h"
#include "workbook/CsvText.h"
#include "workbook/XlsxWriter.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

Loaded<TableRead> ProjectTable::load(const QString &path)
{
    clear();
    m_imported = {};
    Loaded<TableRead> loaded;
    if (!QFileInfo::exists(path)) {
        loaded.value.state = ReadState::Missing;
        if (!missingNotice().isEmpty())
            loaded.problems << missingNotice();
        return loaded;
    }
    try {
        pugi::xml_document doc;
        const pugi::xml_node root = requireProjectXml(path, doc);
        for (const pugi::xml_node &row : root.children())
            if (row.type() == pugi::node_element)
                try {
                    readRow(row);
                } catch (const TessiroError &e) {
                    throw TessiroError(TranslateMessages::FileFault.arg(QDir::toNativeSeparators(path), e.message()));
                }
    } catch (const TessiroError &e) {
        loaded.problems << TranslateMessages::FixedTextWithPlace.arg(TranslateMessages::XmlReadError, e.message());
        loaded.value.state = ReadState::Partly;
    }
    const QStringList leftOut = leftOutNotices(path);
    if (!leftOut.isEmpty())
        loaded.value.state = ReadState::Partly;
    loaded.problems << leftOut;
    loaded.value.entries = entryCount();
    return loaded;
}

void ProjectTable::save(const QString &path) const
{
    QByteArray bytes;
    try {
        bytes = toXml();
    } catch (const TessiroError &e) {
        throw TessiroError(withImportedPlace(e.message(), m_imported));
    }
    saveProjectBytes(path, bytes);
}

QStringList ProjectTable::exportFiles(const ProjectFiles &files) const
{
    const QList<QStringList> lines = exportLines();
    const QString csvPath = files.csvPath(m_import.table);
    QString xlsxPath = csvPath;
    xlsxPath.replace(xlsxPath.size() - 4, 4, QStringLiteral(".xlsx"));
    // Both made before either is written: a workbook that cannot be made leaves
    // the CSV as it was too.
    const QByteArray csv = csvBytes(lines);
    const QByteArray xlsx = xlsxBytes(m_import.table, lines, xlsxPath);
    writeCsvFile(csvPath, csv);
    writeCsvFile(xlsxPath, xlsx);
    return {csvPath, xlsxPath};
}

ImportOutcome ProjectTable::importFrom(const QString &workbookPath)
{
    return remember(importWorkbook(workbookPath, m_import, *this));
}

ImportOutcome ProjectTable::importFrom(const Worksheet &sheet)
{
    return remember(importWorksheet(sheet, m_import, *this));
}

ImportOutcome ProjectTable::remember(const ImportOutcome &outcome)
{
    if (outcome.cleared)
        m_imported = outcome;
    return outcome;
}

QString ProjectTable::requireAttribute(const pugi::xml_node &row, const char *name)
{
    const pugi::xml_attribute a = row.attribute(name);
    if (!a)
        throw TessiroError(QStringLiteral("<%1> at byte %2: no attribute \"%3\"")
                               .arg(QString::fromUtf8(row.name()))
                               .arg(row.offset_debug())
                               .arg(QString::fromLatin1(name)));
    return fromXml(a.value());
}

qint32 ProjectTable::requireIntegerAttribute(const pugi::xml_node &row, const char *name)
{
    const QString text = requireAttribute(row, name);
    const std::optional<qint32> v = tryParseIntText(text);
    if (!v)
        throw TessiroError(QStringLiteral("<%1> at byte %2: attribute \"%3\" is no integer: \"%4\"")
                               .arg(QString::fromUtf8(row.name()))
                               .arg(row.offset_debug())
                               .arg(QString::fromLatin1(name), text));
    return *v;
}
