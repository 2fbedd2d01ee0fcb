#include "widgets/SpreadsheetGrid.h"

#include "base/TextGridModel.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

// ---- SpreadsheetDelegate ----

SpreadsheetDelegate::SpreadsheetDelegate(SpreadsheetGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

QWidget *SpreadsheetDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                           const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        SpreadsheetGrid *grid = m_grid;
        const QPersistentModelIndex cell(index);
        connect(line, &QLineEdit::textChanged, grid,
                [grid, cell](const QString &text) { emit grid->cellTextEdited(cell, text); });
    }
    return editor;
}

void SpreadsheetDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const TextGridModel *model = m_grid->gridModel();
    if (!model)
        return;
    if (!model->isEditable(index.row(), index.column())) {
        // Row numbers and the header row look like the grid's own titles.
        option->backgroundBrush = option->palette.color(QPalette::Button);
        option->palette.setColor(QPalette::Text, option->palette.color(QPalette::ButtonText));
        option->displayAlignment = Qt::AlignCenter;
        return;
    }
    const QColor background = m_grid->columnBackground(index.column());
    if (background.isValid()) {
        option->backgroundBrush = background;
        // Fixed light backgrounds need dark text, whatever the theme.
        option->palette.setColor(QPalette::Text, Qt::black);
    }
}

// ---- SpreadsheetGrid ----

SpreadsheetGrid::SpreadsheetGrid(QWidget *parent) : QTableView(parent)
{
    setItemDelegate(new SpreadsheetDelegate(this));
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(10);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);

    // Enter moves down the grid, so OK gets a key of its own: Ctrl+Enter, also
    // from the cell being typed in.
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, &SpreadsheetGrid::okRequested);
    }
}

void SpreadsheetGrid::setGridModel(TextGridModel *model)
{
    m_model = model;
    setModel(model);
}

void SpreadsheetGrid::setColumnBackground(int column, const QColor &colour)
{
    m_backgrounds.insert(column, colour);
    viewport()->update();
}

void SpreadsheetGrid::commitOpenEditor()
{
    if (!isEditing())
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

QRect SpreadsheetGrid::selectedBlock() const
{
    QRect block;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        block |= QRect(index.column(), index.row(), 1, 1);
    if (block.isNull() && currentIndex().isValid())
        block = QRect(currentIndex().column(), currentIndex().row(), 1, 1);
    return block;
}

void SpreadsheetGrid::copySelection()
{
    const QRect block = selectedBlock();
    if (m_model && !block.isNull())
        QApplication::clipboard()->setText(m_model->copyText(block));
}

void SpreadsheetGrid::pasteClipboard()
{
    const QRect block = selectedBlock();
    if (!m_model || block.isNull())
        return;
    const QRect changed = m_model->pasteText(block.top(), block.left(), QApplication::clipboard()->text());
    if (changed.isNull())
        return;
    // Select what was pasted, as a spreadsheet does.
    selectionModel()->select(QItemSelection(m_model->index(changed.top(), changed.left()),
                                            m_model->index(changed.bottom(), changed.right())),
                             QItemSelectionModel::ClearAndSelect);
    selectionModel()->setCurrentIndex(m_model->index(changed.top(), changed.left()), QItemSelectionModel::NoUpdate);
}

void SpreadsheetGrid::clearSelection()
{
    if (!m_model)
        return;
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid())
        cells << currentIndex();
    m_model->clearCells(cells);
}

void SpreadsheetGrid::moveTo(int row, int column)
{
    const QModelIndex target = model() ? model()->index(row, column) : QModelIndex();
    if (target.isValid())
        setCurrentIndex(target);
}

void SpreadsheetGrid::keyPressEvent(QKeyEvent *event)
{
    if (!isEditing()) {
        if (event->matches(QKeySequence::Copy)) {
            copySelection();
            return;
        }
        if (event->matches(QKeySequence::Cut)) {
            copySelection();
            clearSelection();
            return;
        }
        if (event->matches(QKeySequence::Paste)) {
            pasteClipboard();
            return;
        }
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
            clearSelection();
            return;
        }
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            !(event->modifiers() & Qt::ControlModifier)) {
            // Down a row, as in a spreadsheet; never the dialog's default button.
            moveTo(currentIndex().row() + 1, currentIndex().column());
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            // Escape leaves a cell; it does not throw the whole grid away.
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void SpreadsheetGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QModelIndex current = currentIndex();
    // Enter commits and moves down, as in a spreadsheet.
    const bool moveDown = hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, moveDown ? QAbstractItemDelegate::NoHint : hint);
    emit editorClosed();
    if (moveDown)
        moveTo(current.row() + 1, current.column());
}
