#include "translate/TranslationGrid.h"

TranslationGrid::TranslationGrid(const QStringList &headerCells, int entryRows)
    : m_header(headerCells), m_cells(entryRows + 1)
{
    reset();
}

void TranslationGrid::reset()
{
    for (int r = 0; r < rowCount(); ++r) {
        QStringList &row = m_cells[r];
        row = QStringList(QList<QString>(m_header.size()));
        row[0] = r == 0 ? m_header[0] : QString::number(r - 1);
    }
    m_cells[0] = m_header;
}

void TranslationGrid::clearEntries()
{
    for (int r = 1; r < rowCount(); ++r)
        for (int c = 1; c < columnCount(); ++c)
            m_cells[r][c].clear();
}

int TranslationGrid::entryCount(int keyColumn) const
{
    int n = 0;
    while (n < entryRows() && !entryCell(n, keyColumn).isEmpty())
        ++n;
    return n;
}
