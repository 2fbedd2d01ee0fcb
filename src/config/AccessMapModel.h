#pragma once

#include "config/AccessMapParams.h"

#include <QAbstractTableModel>
#include <QRect>
#include <QStringList>
#include <QVector>

// One grid of an access map: a fixed number of rows of text cells. Column 0 is the
// row number; the others are the columns of its AccessMapParams. Nothing is converted until it is
// counted, checked or saved.
class AccessMapModel : public QAbstractTableModel {
    Q_OBJECT
public:
    AccessMapModel(const AccessMapParams &params, MapDirection direction, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const AccessMapParams &params() const { return m_params; }
    MapDirection direction() const { return m_direction; }

    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    void clearAll();

    // A row is present when its key cell is not empty.
    bool isPresent(int row) const { return !cell(row, m_params.keyColumn).isEmpty(); }
    // The checked and saved list ends at the first row that is not present.
    int listEnd() const;
    // Sum of the size cells of every present row (default 0 for what is not an
    // integer). editText, when editRow >= 0, stands for the cell being typed in.
    qint64 presentSizeSum(int editRow = -1, int editColumn = -1, const QString &editText = {}) const;
    // The messages of the row's checks that fail, in check order.
    QStringList rowFailures(int row, bool firstOnly) const;

    // Spreadsheet block operations, on editable cells only.
    QString copyText(const QRect &block) const;
    // Pastes tab-separated text with its top-left cell at (row, column), cut off at
    // the grid's edges. Returns the cells changed.
    QRect pasteText(int row, int column, const QString &text);
    void clearCells(const QModelIndexList &indexes);

private:
    bool isEditableColumn(int column) const { return column >= 1 && column < columnCount(); }
    QString effectiveCell(int row, int column, int editRow, int editColumn, const QString &editText) const;

    const AccessMapParams &m_params;
    MapDirection m_direction;
    QVector<QStringList> m_cells; // [row][column - 1]
};
