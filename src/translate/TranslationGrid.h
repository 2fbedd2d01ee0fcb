#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

// One grid of a translation table as its file, its import and its export see it:
// row 0 is the header row holding its cell texts, rows 1.. are the entry rows
// numbered "0", "1", ... in column 0; columns 1.. hold text as typed.
class TranslationGrid {
public:
    TranslationGrid(const QStringList &headerCells, int entryRows);

    int rowCount() const { return int(m_cells.size()); }
    int columnCount() const { return int(m_header.size()); }
    int entryRows() const { return rowCount() - 1; }

    QString cell(int row, int column) const { return m_cells[row][column]; }
    void setCell(int row, int column, const QString &text) { m_cells[row][column] = text; }
    // Entry row e (0-based) is grid row e + 1.
    QString entryCell(int entry, int column) const { return cell(entry + 1, column); }
    void setEntryCell(int entry, int column, const QString &text) { setCell(entry + 1, column, text); }

    // Every cell cleared, the header row and the row numbers written.
    void reset();
    // Columns 1.. of every entry row cleared; the row numbers stay.
    void clearEntries();
    // Entries run from the top down to the first row whose key cell is empty.
    int entryCount(int keyColumn) const;

private:
    QStringList m_header;
    QVector<QStringList> m_cells;
};
