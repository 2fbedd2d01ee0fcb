#pragma once

#include "base/TextGridModel.h"

#include <QStringList>

// One grid of a translation table: row 0 is the header row holding its cell texts
// (which the export writes), rows 1.. are the entry rows numbered "0", "1", ... in
// column 0; columns 1.. hold text as typed.
class TranslationGrid : public TextGridModel {
    Q_OBJECT
public:
    TranslationGrid(const QStringList &titles, const QStringList &headerCells, int entryRows,
                    QObject *parent = nullptr);

    int entryRows() const { return layout().dataRows; }
    // Entry e (0-based) is grid row e + 1.
    QString entryCell(int entry, int column) const { return cell(entry + 1, column); }
    void setEntryCell(int entry, int column, const QString &text) { setCell(entry + 1, column, text); }
    // Columns 1.. of entry e in one step.
    void setEntry(int entry, const QStringList &cells) { setBlock(entry + 1, 1, {cells}); }
    // Entries run from the top down to the first row whose key cell is empty.
    int entryCount(int keyColumn) const;
};
