#include "translate/TranslationGrid.h"

TranslationGrid::TranslationGrid(const QStringList &titles, const QStringList &headerCells, int entryRows,
                                 QObject *parent)
    : TextGridModel({.dataRows = entryRows,
                     .columnTitles = titles,
                     .numberColumn = true,
                     .firstNumber = 0,
                     .headerRow = headerCells},
                    parent)
{
}

int TranslationGrid::entryCount(int keyColumn) const
{
    int n = 0;
    while (n < entryRows() && !entryCell(n, keyColumn).isEmpty())
        ++n;
    return n;
}
