#pragma once

#include "base/TextGridModel.h"
#include "config/AccessMapParams.h"

// One grid of an access map: the row number, then the columns of its
// AccessMapParams. Adds what belongs to the map's data: the present rows, the
// byte count and the row checks.
class AccessMapModel : public TextGridModel {
    Q_OBJECT
public:
    AccessMapModel(const AccessMapParams &params, MapDirection direction, QObject *parent = nullptr);

    const AccessMapParams &params() const { return m_params; }
    MapDirection direction() const { return m_direction; }

    // A row is present when its key cell is not empty.
    bool isPresent(int row) const { return !cell(row, m_params.keyColumn).isEmpty(); }
    // The checked and saved list ends at the first row that is not present.
    int listEnd() const;
    // Sum of the size cells of every present row (default 0 for what is not an
    // integer). editText, when editRow >= 0, stands for the cell being typed in.
    qint64 presentSizeSum(int editRow = -1, int editColumn = -1, const QString &editText = {}) const;
    // The messages of the row's checks that fail, in check order.
    QStringList rowFailures(int row, bool firstOnly) const;

private:
    QString effectiveCell(int row, int column, int editRow, int editColumn, const QString &editText) const;

    const AccessMapParams &m_params;
    MapDirection m_direction;
};
