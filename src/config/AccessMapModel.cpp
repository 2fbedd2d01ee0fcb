#include "config/AccessMapModel.h"

#include "project/ParseIntText.h"

namespace {

TextGridLayout mapLayout(const AccessMapParams &params)
{
    QStringList titles{NumberColumnTitle};
    for (const MapColumn &column : params.columns)
        titles << column.title;
    return {.dataRows = params.rowsPerGrid, .columnTitles = titles};
}

} // namespace

AccessMapModel::AccessMapModel(const AccessMapParams &params, MapDirection direction, QObject *parent)
    : TextGridModel(mapLayout(params), parent), m_params(params), m_direction(direction)
{
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
