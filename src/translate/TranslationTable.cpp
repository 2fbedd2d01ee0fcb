#include "translate/TranslationTable.h"

#include "project/ParseIntText.h"
#include "translate/Messages.h"

#include <QDir>

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
    : ProjectTable(params.import, params.file), m_params(params),
      m_a(params.titles(), params.headerCells(), params.entryRows),
      m_b(params.titles(), params.headerCells(), params.entryRows)
{
}

void TranslationTable::clear()
{
    m_a.clearAll();
    m_b.clearAll();
    m_load = Filler();
}

QStringList TranslationTable::leftOutNotices(const QString &path) const
{
    QStringList notices;
    for (CanLine line : CanLines)
        if (m_load.leftOut[line] > 0)
            notices << TranslateMessages::FileRowsLeftOut.arg(QDir::toNativeSeparators(path))
                           .arg(TranslateMessages::counted(m_load.leftOut[line], "entry", "entries"))
                           .arg(line == CanLine::A ? m_params.tabA : m_params.tabB);
    return notices;
}

void TranslationTable::clearForImport()
{
    m_a.clearAll();
    m_b.clearAll();
    m_import = Filler();
}

int TranslationTable::takeRow(Filler &filler, CanLine line) const
{
    if (filler.next[line] >= m_params.entryRows) {
        ++filler.leftOut[line];
        return -1;
    }
    return filler.next[line]++;
}

std::optional<TableFault> TranslationTable::saveFault() const
{
    using namespace TranslateMessages;
    for (CanLine line : CanLines) {
        const TranslationGrid &g = grid(line);
        const QString tab = line == CanLine::A ? m_params.tabA : m_params.tabB;
        const int key = m_params.keyColumn;
        const QString keyTitle = m_params.columns[key].title;
        const int end = g.entryCount(key);
        for (int e = end; e < g.entryRows(); ++e) {
            bool filled = false;
            for (int c = 1; c < g.columnCount() && !filled; ++c)
                filled = !g.entryCell(e, c).isEmpty();
            if (!filled)
                continue;
            const QString message = e == end ? RowWithoutKey.arg(tab).arg(end).arg(keyTitle)
                                             : RowsBelowKeyless.arg(tab).arg(end).arg(keyTitle).arg(e);
            return TableFault{line, end, key, message};
        }
        for (int e = 0; e < end; ++e)
            for (int c : integerColumns()) {
                const QString text = g.entryCell(e, c);
                if (!tryParseIntText(text))
                    return TableFault{
                        line, e, c,
                        CellFault.arg(tab).arg(e).arg(m_params.columns[c].title, invalidIntegerMessage(text))};
            }
    }
    return std::nullopt;
}

RowTaken TranslationTable::entryTaken(CanLine line, bool keyEmpty)
{
    if (keyEmpty) {
        m_import.ended[line] = true;
        return RowTaken::Taken;
    }
    return m_import.ended[line] ? RowTaken::PastEnd : RowTaken::Taken;
}
