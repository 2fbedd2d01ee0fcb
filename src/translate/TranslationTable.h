#pragma once

#include "base/Loaded.h"
#include "project/ProjectStore.h"
#include "translate/TableImport.h"
#include "translate/TranslationGrid.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <pugixml.hpp>

// One column of a translation grid: the title the window draws over it, the text
// its header row holds, and its attribute in the table's file (none for column 0
// and for columns kept as bits of another attribute).
struct TranslationColumn {
    QString title;
    QString headerCell;
    const char *attribute = nullptr;
    bool tinted = false;
};

// How the window shares its grid's width among the columns when it is resized.
enum class ColumnSizing {
    // Each column the width divided by the column count, rounded, less 5.
    EvenLessFive,
    // Each column a tenth of the width, truncated; header strips over columns 0-3 and 4-.
    TenthsWithStrips,
};

// What makes a translation table editor the PDO or the SDO one.
struct TranslationTableParams {
    const char *windowClass;
    QString caption;
    int initialWidth;
    int initialHeight;
    QString ProjectFilesT::*file;
    // Root element of the file.
    const char *rootElement;
    // First grid (sga) and second grid (sgb).
    QString tabA;
    QString tabB;
    int entryRows;
    // Every column, the row-number column 0 included.
    QList<TranslationColumn> columns;
    // The entries end at the first row whose cell in this column is empty.
    int keyColumn;
    // Worksheet name, CSV base name, and what the import reads.
    ImportParams import;
    ColumnSizing sizing = ColumnSizing::EvenLessFive;
    // The header strips over each grid (left, right); none when empty.
    QStringList stripsA = {};
    QStringList stripsB = {};

    QStringList titles() const;
    QStringList headerCells() const;
};

// A translation table as its editor holds it: two grids, loaded from and saved to
// the table's project file, filled from a worksheet, exported as CSV.
class TranslationTable : public ImportTarget {
public:
    explicit TranslationTable(const TranslationTableParams &params);
    ~TranslationTable() override = default;

    const TranslationTableParams &params() const { return m_params; }
    // 0: sga, 1: sgb.
    TranslationGrid &grid(int which) { return which == 0 ? m_a : m_b; }
    const TranslationGrid &grid(int which) const { return which == 0 ? m_a : m_b; }

    // Both grids emptied, then filled from path. The value is the number of
    // entries read; the problems are the notices to show. Reading stops at the
    // first fault, keeping the entries read before it.
    Loaded<int> load(const QString &path);
    // The exact bytes of the file for the grids as they stand; throws TessiroError
    // when a value that must be an integer is not one.
    virtual QByteArray toXml() const = 0;
    // Writes toXml() over path in one step; throws TessiroError.
    void save(const QString &path) const;

    // The CSV lines of "Export", in order.
    virtual QList<QStringList> exportLines() const = 0;
    // Writes the CSV file of the table into the project; throws TessiroError.
    void exportCsv(const ProjectFilesT &files) const;

    // Import from a workbook, as "Import" runs it once the file is chosen.
    ImportOutcome importFrom(const QString &workbookPath);
    void clearForImport() override;

protected:
    // Fills the next free entry row of grid which, or counts it as left out.
    struct Filler {
        int next[2] = {0, 0};
        int leftOut[2] = {0, 0};
    };
    // The file's missing-file notice; empty for none.
    virtual QString missingFileNotice() const = 0;
    // Reads one element into the grids; throws TessiroError on a fault.
    virtual void loadRow(const pugi::xml_node &row, Filler &filler) = 0;
    // Next free entry row of grid which, or -1 when it is full.
    int takeRow(Filler &filler, int which) const;

    Filler m_import;

private:
    const TranslationTableParams &m_params;
    TranslationGrid m_a;
    TranslationGrid m_b;
};
