#pragma once

#include "base/Loaded.h"
#include "project/ProjectStore.h"
#include "translate/CanLine.h"
#include "workbook/TableImport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <pugixml.hpp>

// How a table's own file was read as its window opened.
enum class ReadState {
    // Not there yet: an empty table, which saving or exporting may write.
    Missing,
    Whole,
    // Read in part (a fault, or rows the table had no room for): saving or
    // exporting would not write back what the file holds.
    Partly,
};

// A value that OK would drop, change or fail on, and where it stands: the line
// (its tab), the row (entry or list line, 0-based) and the column or field; a
// table of lists within lists says which item of the row's list in item.
struct TableFault {
    CanLine line = CanLine::A;
    int row = 0;
    int column = 0;
    QString message;
    int item = 0;
};

struct TableRead {
    ReadState state = ReadState::Whole;
    int entries = 0;

    bool whole() const { return state != ReadState::Partly; }
};

// A table of the project that its editor loads from one file, saves with OK,
// exports as CSV and fills from a worksheet.
class ProjectTable : public ImportTarget {
public:
    ProjectTable(const ImportParams &import, QString ProjectFiles::*file) : m_import(import), m_file(file) {}
    ~ProjectTable() override = default;

    // The worksheet's name, the CSV base name, and what the import reads.
    const ImportParams &tableImport() const { return m_import; }
    QString filePath(const ProjectFiles &files) const { return files.*m_file; }

    // Empties the table, then reads what its window shows as it opens. The
    // problems are the notices to show, in order.
    virtual Loaded<TableRead> open(const ProjectFiles &files) { return load(filePath(files)); }
    // Empties the table, then reads path; reading stops at the first fault,
    // keeping the entries read before it.
    Loaded<TableRead> load(const QString &path);

    // The exact bytes of the table's file; throws TessiroError when a value that
    // must be an integer is not one.
    virtual QByteArray toXml() const = 0;
    // The first value that saving would drop, change or fail on; none when the
    // table can be saved as it stands.
    virtual std::optional<TableFault> saveFault() const { return std::nullopt; }
    // Writes toXml() over path in one step; throws TessiroError, leaving the file as
    // it was. A value refused that the last import took is named with its cells.
    void save(const QString &path) const;
    void save(const ProjectFiles &files) const { save(filePath(files)); }

    // The CSV lines of "Export", in order.
    virtual QList<QStringList> exportLines() const = 0;
    // "Export": writes TABLE.csv, then TABLE.xlsx, into the project, each in one
    // step; returns the paths written, in that order. Throws TessiroError.
    QStringList exportFiles(const ProjectFiles &files) const;

    // "Import" once the workbook is chosen.
    ImportOutcome importFrom(const QString &workbookPath);
    // The same on a worksheet already read.
    ImportOutcome importFrom(const Worksheet &sheet);
    // Whether records the import had no room for keep a script from saving the table.
    virtual bool leftOutStops() const { return false; }

protected:
    // What load() asks of a table read from its one file.
    virtual void clear() = 0;
    // The notice for a file not there yet; empty for none.
    virtual QString missingNotice() const { return {}; }
    // Reads one element of the file; throws TessiroError on a fault.
    virtual void readRow(const pugi::xml_node &row) { Q_UNUSED(row); }
    // Notices for what the file held but the table had no room for, once read.
    virtual QStringList leftOutNotices(const QString &path) const
    {
        Q_UNUSED(path);
        return {};
    }
    virtual int entryCount() const { return 0; }

    // The attribute's text; throws TessiroError naming the element and the attribute.
    static QString requireAttribute(const pugi::xml_node &row, const char *name);
    // The attribute as an integer (strict ParseIntText); throws TessiroError likewise.
    static qint32 requireIntegerAttribute(const pugi::xml_node &row, const char *name);

private:
    ImportOutcome remember(const ImportOutcome &outcome);

    const ImportParams &m_import;
    // Where the last import's values came from, until the table is loaded again.
    ImportOutcome m_imported;
    QString ProjectFiles::*m_file;
};
