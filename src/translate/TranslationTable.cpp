#include "translate/TranslationTable.h"

#include "base/TessiroError.h"
#include "project/ProjectXml.h"
#include "translate/CsvText.h"
#include "translate/Messages.h"

#include <QDir>
#include <QFileInfo>

QStringList TranslationTableParams::titles() const
{
    QStringList out;
    for (const TranslationColumn &column : columns)
        out << column.title;
    return out;
}

QStringList TranslationTableParams::headerCells() const
{
    QStringList cells;
    for (const TranslationColumn &column : columns)
        cells << column.headerCell;
    return cells;
}

TranslationTable::TranslationTable(const TranslationTableParams &params)
    : m_params(params), m_a(params.titles(), params.headerCells(), params.entryRows),
      m_b(params.titles(), params.headerCells(), params.entryRows)
{
}

Loaded<int> TranslationTable::load(const QString &path)
{
    m_a.clearAll();
    m_b.clearAll();
    Loaded<int> loaded;
    QStringList &notices = loaded.problems;
    if (!QFileInfo::exists(path)) {
        if (!missingFileNotice().isEmpty())
            notices << missingFileNotice();
        return loaded;
    }
    // A FIFO or a device in the file's place would hang the reader.
    if (!QFileInfo(path).isFile()) {
        notices << TranslateMessages::XmlReadError;
        return loaded;
    }
    Filler filler;
    try {
        pugi::xml_document doc;
        const pugi::xml_node root = requireProjectXml(path, doc);
        for (const pugi::xml_node &row : root.children())
            if (row.type() == pugi::node_element)
                loadRow(row, filler);
    } catch (const TessiroError &) {
        notices << TranslateMessages::XmlReadError;
    }
    for (int which : {0, 1})
        if (filler.leftOut[which] > 0)
            notices << TranslateMessages::FileRowsLeftOut.arg(QDir::toNativeSeparators(path))
                           .arg(filler.leftOut[which])
                           .arg(which == 0 ? m_params.tabA : m_params.tabB);
    loaded.value = filler.next[0] + filler.next[1];
    return loaded;
}

void TranslationTable::save(const QString &path) const
{
    saveProjectBytes(path, toXml());
}

void TranslationTable::exportCsv(const ProjectFilesT &files) const
{
    writeCsvFile(files.csvPath(m_params.import.table), csvBytes(exportLines()));
}

ImportOutcome TranslationTable::importFrom(const QString &workbookPath)
{
    return importWorkbook(workbookPath, m_params.import, *this);
}

void TranslationTable::clearForImport()
{
    m_a.clearAll();
    m_b.clearAll();
    m_import = Filler();
}

int TranslationTable::takeRow(Filler &filler, int which) const
{
    if (filler.next[which] >= m_params.entryRows) {
        ++filler.leftOut[which];
        return -1;
    }
    return filler.next[which]++;
}
