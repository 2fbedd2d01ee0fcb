#include "config/AccessMapModel.h"

#include "base/TabText.h"
#include "project/ParseIntText.h"

AccessMapModel::AccessMapModel(const AccessMapParams &params, MapDirection direction, QObject *parent)
    : QAbstractTableModel(parent), m_params(params), m_direction(direction)
{
    m_cells.fill(QStringList(params.columns.size(), QString()), params.rowsPerGrid);
}

int AccessMapModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_params.rowsPerGrid;
}

int AccessMapModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_params.columns.size()) + 1;
}

QString AccessMapModel::cell(int row, int column) const
{
    if (row < 0 || row >= m_params.rowsPerGrid || column < 0 || column >= columnCount())
        return {};
    if (column == 0)
        return QString::number(row + 1);
    return m_cells[row][column - 1];
}

void AccessMapModel::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_params.rowsPerGrid || !isEditableColumn(column))
        return;
    QString &target = m_cells[row][column - 1];
    if (target == text)
        return;
    target = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void AccessMapModel::clearAll()
{
    beginResetModel();
    for (QStringList &row : m_cells)
        for (QString &text : row)
            text.clear();
    endResetModel();
}

QVariant AccessMapModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.row(), index.column());
}

bool AccessMapModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !isEditableColumn(index.column()))
        return false;
    setCell(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags AccessMapModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.column() == 0)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant AccessMapModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section == 0)
        return NumberColumnTitle;
    if (section > 0 && section <= m_params.columns.size())
        return m_params.columns[section - 1].title;
    return {};
}

int AccessMapModel::listEnd() const
{
    int row = 0;
    while (row < m_params.rowsPerGrid && isPresent(row))
        ++row;
    return row;
}

QString AccessMapModel::effectiveCell(int row, int column, int editRow, int editColumn, const QString &editText) const
{
    return row == editRow && column == editColumn ? editText : cell(row, column);
}

qint64 AccessMapModel::presentSizeSum(int editRow, int editColumn, const QString &editText) const
{
    qint64 sum = 0;
    for (int row = 0; row < m_params.rowsPerGrid; ++row) {
        if (effectiveCell(row, m_params.keyColumn, editRow, editColumn, editText).isEmpty())
            continue;
        sum += ParseIntText(effectiveCell(row, m_params.sizeColumn, editRow, editColumn, editText), 0);
    }
    return sum;
}

QStringList AccessMapModel::rowFailures(int row, bool firstOnly) const
{
    QStringList failures;
    for (const RowCheck &check : m_params.checks) {
        const qint32 value = ParseIntText(cell(row, check.column), -1);
        const bool passes =
            value >= check.low && value <= check.high && (check.allowed.isEmpty() || check.allowed.contains(value));
        if (passes)
            continue;
        failures << (m_direction == MapDirection::In ? check.inMessage : check.outMessage);
        if (firstOnly)
            break;
    }
    return failures;
}

QString AccessMapModel::copyText(const QRect &block) const
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

QRect AccessMapModel::pasteText(int row, int column, const QString &text)
{
    column = qMax(column, 1);
    const QList<QStringList> block = parseTabText(text);
    QRect changed;
    for (qsizetype r = 0; r < block.size() && row + r < m_params.rowsPerGrid; ++r) {
        const QStringList &cells = block[r];
        for (qsizetype c = 0; c < cells.size() && column + c < columnCount(); ++c) {
            setCell(row + int(r), column + int(c), cells[c]);
            changed |= QRect(column + int(c), row + int(r), 1, 1);
        }
    }
    return changed;
}

void AccessMapModel::clearCells(const QModelIndexList &indexes)
{
    for (const QModelIndex &index : indexes)
        if (index.model() == this)
            setCell(index.row(), index.column(), QString());
}
