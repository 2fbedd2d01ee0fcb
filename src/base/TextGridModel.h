#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QModelIndexList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

// How a grid is laid out. Written with designated initializers, e.g.
// {.dataRows = 32, .columnTitles = {"N°", "Index"}}.
struct TextGridLayout {
    // Rows the user types into; the grid never grows or shrinks.
    int dataRows = 0;
    // One title per column, the number column included.
    QStringList columnTitles = {};
    // Column 0 holds the row number and is read-only.
    bool numberColumn = true;
    // The number shown in the first data row.
    int firstNumber = 1;
    // When not empty: a read-only top row holding these texts (one per column),
    // above the data rows, as grids that export their own titles have.
    QStringList headerRow = {};
};

// A spreadsheet-like grid of text: fixed rows and columns, nothing converted.
// Rows and columns are the model's own (the header row, when there is one, is row 0).
class TextGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TextGridModel(TextGridLayout layout, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // What screen readers say for a column title, where the title alone would read
    // like another column's; an empty entry keeps the title.
    void setSpokenColumnTitles(const QStringList &titles);

    const TextGridLayout &layout() const { return m_layout; }
    // The first row and column the user may type into.
    int firstDataRow() const { return m_layout.headerRow.isEmpty() ? 0 : 1; }
    int firstEditableColumn() const { return m_layout.numberColumn ? 1 : 0; }
    bool isEditable(int row, int column) const;

    QString cell(int row, int column) const;
    // Ignored for read-only cells.
    void setCell(int row, int column, const QString &text);
    // Sets a block with its top-left cell at (row, column), cut off at the grid's
    // edges and moved off the read-only row and column. Returns the cells set.
    QRect setBlock(int row, int column, const QList<QStringList> &block);
    // Empties every editable cell.
    void clearAll();

    // Blocks as tab-separated text, the way spreadsheets put them on the clipboard.
    QString copyText(const QRect &block) const;
    QRect pasteText(int row, int column, const QString &text);
    void clearCells(const QModelIndexList &indexes);

private:
    bool inGrid(int row, int column) const;
    QString &stored(int row, int column) { return m_cells[qsizetype(row) * m_columns + column]; }
    const QString &stored(int row, int column) const { return m_cells[qsizetype(row) * m_columns + column]; }

    TextGridLayout m_layout;
    int m_rows;
    int m_columns;
    QVector<QString> m_cells; // row-major; read-only cells stay empty
    QStringList m_spokenTitles;
};
