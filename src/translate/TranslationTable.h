#pragma once

#include "translate/ProjectTable.h"
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
    QString ProjectFiles::*file;
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
class TranslationTable : public ProjectTable {
public:
    explicit TranslationTable(const TranslationTableParams &params);
    ~TranslationTable() override = default;

    const TranslationTableParams &params() const { return m_params; }
    // A: sga, B: sgb.
    TranslationGrid &grid(CanLine line) { return line == CanLine::A ? m_a : m_b; }
    const TranslationGrid &grid(CanLine line) const { return line == CanLine::A ? m_a : m_b; }

    void clearForImport() override;
    // A filled row under the row that ends a grid's entries, then a key that must
    // be an integer and is not.
    std::optional<TableFault> saveFault() const override;

protected:
    // Fills the next free entry row of line's grid, or counts it as left out.
    struct Filler {
        PerLine<int> next;
        PerLine<int> leftOut;
        // An entry with an empty key was imported: the grid's entries end there.
        PerLine<bool> ended;
    };
    // Reads one element into the grids; throws TessiroError on a fault.
    virtual void loadRow(const pugi::xml_node &row, Filler &filler) = 0;
    // The columns whose text saving reads as an integer.
    virtual QList<int> integerColumns() const { return {}; }
    // Next free entry row of line's grid, or -1 when it is full.
    int takeRow(Filler &filler, CanLine line) const;
    // What an import's entry just set in line's grid amounts to, given whether its
    // key cell is empty.
    RowTaken entryTaken(CanLine line, bool keyEmpty);

    void clear() override;
    void readRow(const pugi::xml_node &row) override { loadRow(row, m_load); }
    QStringList leftOutNotices(const QString &path) const override;
    int entryCount() const override { return m_load.next[CanLine::A] + m_load.next[CanLine::B]; }

    Filler m_import;

private:
    const TranslationTableParams &m_params;
    TranslationGrid m_a;
    TranslationGrid m_b;
    Filler m_load;
};
