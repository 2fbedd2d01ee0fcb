#include "base/TextGridModel.h"

#include "base/TabText.h"

#include <utility>

TextGridModel::TextGridModel(TextGridLayout layout, QObject *parent)
    : QAbstractTableModel(parent), m_layout(std::move(layout))
{
    m_rows = m_layout.dataRows + firstDataRow();
    m_columns = int(m_layout.columnTitles.size());
    m_cells.resize(qsizetype(m_rows) * m_columns);
}

int TextGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TextGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

bool TextGridModel::inGrid(int row, int column) const
{
    return row >= 0 && row < m_rows && column >= 0 && column < m_columns;
}

bool TextGridModel::isEditable(int row, int column) const
{
    return inGrid(row, column) && row >= firstDataRow() && column >= firstEditableColumn();
}

QString TextGridModel::cell(int row, int column) const
{
    if (!inGrid(row, column))
        return {};
    if (row < firstDataRow())
        return m_layout.headerRow.value(column);
    if (column < firstEditableColumn())
        return QString::number(row - firstDataRow() + m_layout.firstNumber);
    return stored(row, column);
}

void TextGridModel::setCell(int row, int column, const QString &text)
{
    if (!isEditable(row, column))
        return;
    QString &target = stored(row, column);
    if (target == text)
        return;
    target = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

QRect TextGridModel::setBlock(int row, int column, const QList<QStringList> &block)
{
    row = qMax(row, firstDataRow());
    column = qMax(column, firstEditableColumn());
    QRect changed;
    for (qsizetype r = 0; r < block.size() && row + r < m_rows; ++r) {
        const QStringList &cells = block[r];
        for (qsizetype c = 0; c < cells.size() && column + c < m_columns; ++c) {
            stored(row + int(r), column + int(c)) = cells[c];
            changed |= QRect(column + int(c), row + int(r), 1, 1);
        }
    }
    // One signal for the block: a pasted column of a 1500-row grid stays quick.
    if (!changed.isNull())
        emit dataChanged(index(changed.top(), changed.left()), index(changed.bottom(), changed.right()),
                         {Qt::DisplayRole, Qt::EditRole});
    return changed;
}

void TextGridModel::clearAll()
{
    beginResetModel();
    for (QString &text : m_cells)
        text.clear();
    endResetModel();
}

QVariant TextGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.row(), index.column());
}

bool TextGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::EditRole ||
        !isEditable(index.row(), index.column()))
        return false;
    setCell(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags TextGridModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    if (!isEditable(index.row(), index.column()))
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        // Row headers are hidden, but screen readers still read them out with each
        // row: they carry the number the row shows.
        if (role != Qt::DisplayRole || section < firstDataRow() || section >= m_rows)
            return {};
        return QString::number(section - firstDataRow() + m_layout.firstNumber);
    }
    if (section < 0 || section >= m_columns)
        return {};
    if (role == Qt::AccessibleTextRole && !m_spokenTitles.value(section).isEmpty())
        return m_spokenTitles[section];
    return role == Qt::DisplayRole ? QVariant(m_layout.columnTitles[section]) : QVariant();
}

void TextGridModel::setSpokenColumnTitles(const QStringList &titles)
{
    m_spokenTitles = titles;
    emit headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
}

QString TextGridModel::copyText(const QRect &block) const
{
    QList<QStringList> rows;
    for (int row = block.top(); row <= block.bottom(); ++row) {
        QStringList cells;
        for (int column = block.left(); column <= block.right(); ++column)
            cells << cell(row, column);
        rows << cells;
    }
    return toTabText(rows);
}

QRect TextGridModel::pasteText(int row, int column, const QString &text)
{
    return setBlock(row, column, parseTabText(text));
}

void TextGridModel::clearCells(const QModelIndexList &indexes)
{
    QRect changed;
    for (const QModelIndex &index : indexes) {
        if (index.model() != this || !isEditable(index.row(), index.column()))
            continue;
        QString &target = stored(index.row(), index.column());
        if (target.isEmpty())
            continue;
        target.clear();
        changed |= QRect(index.column(), index.row(), 1, 1);
    }
    if (!changed.isNull())
        emit dataChanged(index(changed.top(), changed.left()), index(changed.bottom(), changed.right()),
                         {Qt::DisplayRole, Qt::EditRole});
}
