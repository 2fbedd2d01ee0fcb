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
    // Named after the cell, not left blank: its column and the number its row shows.
    if (editor) {
        const QAbstractItemModel *model = index.model();
        QString column = model->headerData(index.column(), Qt::Horizontal, Qt::AccessibleTextRole).toString();
        if (column.isEmpty())
            column = model->headerData(index.column(), Qt::Horizontal).toString();
        editor->setAccessibleName(
            QStringLiteral("%1, row %2").arg(column, model->headerData(index.row(), Qt::Vertical).toString()));
    }
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

bool SpreadsheetDelegate::eventFilter(QObject *object, QEvent *event)
{
    // Keys that leave the cell for another control or page: the typed text is kept.
    auto *editor = qobject_cast<QWidget *>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool ctrl = key->modifiers() & Qt::ControlModifier;
        const bool leaving = ctrl && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
                                      key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp);
        if (leaving) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            m_grid->leavingKey(key);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

// ---- SpreadsheetGrid ----

QString SpreadsheetGrid::keyHint()
{
    return QStringLiteral("Ctrl+Enter: OK      Ctrl+Tab: next control");
}

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

QModelIndex SpreadsheetGrid::neighbourCell(const QModelIndex &index, bool forward) const
{
    if (!m_model || !index.isValid())
        return index;
    const int first = m_model->firstEditableColumn();
    const int last = m_model->columnCount() - 1;
    int row = index.row();
    int column = index.column();
    if (forward) {
        if (column < last) {
            column = qMax(column + 1, first);
        } else if (row + 1 < m_model->rowCount()) {
            ++row;
            column = first;
        }
    } else {
        if (column > first) {
            --column;
        } else if (row - 1 >= m_model->firstDataRow()) {
            --row;
            column = last;
        }
    }
    return m_model->index(row, column);
}

void SpreadsheetGrid::focusNeighbourControl(bool forward)
{
    // The window's focus chain, past the grid's own parts (viewport, cell editor).
    for (QWidget *w = this;;) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == this)
            return;
        const bool takesTab = (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
        if (takesTab && !isAncestorOf(w) && w->window() == window() && w->isVisibleTo(window()) && w->isEnabled()) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool SpreadsheetGrid::leavingKey(const QKeyEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier))
        return false;
    const bool backwards = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        focusNeighbourControl(!backwards);
        return true;
    case Qt::Key_PageDown:
        emit pageRequested(1);
        return true;
    case Qt::Key_PageUp:
        emit pageRequested(-1);
        return true;
    default:
        return false;
    }
}

void SpreadsheetGrid::keyPressEvent(QKeyEvent *event)
{
    if (leavingKey(event))
        return;
    if (!isEditing()) {
        if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
            const bool forward = event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier);
            const QModelIndex next = neighbourCell(currentIndex(), forward);
            if (next.isValid())
                setCurrentIndex(next);
            return;
        }
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
            emit cancelRequested();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void SpreadsheetGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QModelIndex current = currentIndex();
    // Enter commits and moves down, Tab and Shift+Tab commit and move across, as in
    // a spreadsheet: the next cell is selected, not opened.
    QModelIndex next;
    if (hint == QAbstractItemDelegate::SubmitModelCache)
        next = current.sibling(current.row() + 1, current.column());
    else if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem)
        next = neighbourCell(current, hint == QAbstractItemDelegate::EditNextItem);
    const bool moves = hint == QAbstractItemDelegate::SubmitModelCache || hint == QAbstractItemDelegate::EditNextItem ||
                       hint == QAbstractItemDelegate::EditPreviousItem;
    QTableView::closeEditor(editor, moves ? QAbstractItemDelegate::NoHint : hint);
    emit editorClosed();
    if (next.isValid())
        setCurrentIndex(next);
}
