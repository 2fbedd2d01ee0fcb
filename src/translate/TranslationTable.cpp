#include "translate/TranslationTable.h"

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
    for (int which : {0, 1})
        if (m_load.leftOut[which] > 0)
            notices << TranslateMessages::FileRowsLeftOut.arg(QDir::toNativeSeparators(path))
                           .arg(m_load.leftOut[which])
                           .arg(which == 0 ? m_params.tabA : m_params.tabB);
    return notices;
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

RowTaken TranslationTable::entryTaken(int which, bool keyEmpty)
{
    if (keyEmpty) {
        m_import.ended[which] = true;
        return RowTaken::Taken;
    }
    return m_import.ended[which] ? RowTaken::PastEnd : RowTaken::Taken;
}
