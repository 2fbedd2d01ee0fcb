#pragma once

#include <QColor>
#include <QHash>
#include <QStyledItemDelegate>
#include <QTableView>

class TextGridModel;
class SpreadsheetGrid;

// The grid's cell editor and its colours: it reports every change of the text
// being typed, and paints fixed backgrounds with a text colour that suits them.
class SpreadsheetDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit SpreadsheetDelegate(SpreadsheetGrid *grid);
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    SpreadsheetGrid *m_grid;
};

// A grid of text that behaves like a spreadsheet: typing replaces a cell, Enter
// moves down, Escape leaves the cell being typed, Delete clears the selection,
// Ctrl+C / Ctrl+X / Ctrl+V move blocks of cells as tab-separated text, Ctrl+Enter
// asks for OK. The grid never grows.
class SpreadsheetGrid : public QTableView {
    Q_OBJECT
public:
    explicit SpreadsheetGrid(QWidget *parent = nullptr);

    void setGridModel(TextGridModel *model);
    TextGridModel *gridModel() const { return m_model; }
    // A fixed background for a column's editable cells; its text is drawn dark.
    void setColumnBackground(int column, const QColor &colour);
    QColor columnBackground(int column) const { return m_backgrounds.value(column); }

    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
    // Commits the cell being typed in, if any.
    void commitOpenEditor();
    void copySelection();
    void pasteClipboard();
    void clearSelection();

signals:
    // The text of the cell being typed in changed; the model still holds the old text.
    void cellTextEdited(const QModelIndex &index, const QString &text);
    // The cell editor closed, committed or dropped.
    void editorClosed();
    // Ctrl+Enter, from a cell or from the grid.
    void okRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class SpreadsheetDelegate;
    QRect selectedBlock() const;
    void moveTo(int row, int column);

    TextGridModel *m_model = nullptr;
    QHash<int, QColor> m_backgrounds;
};
