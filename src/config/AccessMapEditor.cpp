#include "config/AccessMapEditor.h"

#include "base/GuardedCall.h"
#include "config/Messages.h"
#include "widgets/AppContext.h"
#include "widgets/Style.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {

const QColor StripColour(0xF8, 0xF7, 0xED);
const QColor CyanTint(0xE0, 0xFA, 0xFE);
const QColor YellowTint(0xFF, 0xFF, 0xA8);
const QColor WithinBudget(0x00, 0x80, 0x00);
const QColor OverBudget(0xFF, 0x00, 0x00);

} // namespace

// ---- MapGridView ----

MapGridView::MapGridView(QWidget *parent) : QTableView(parent)
{
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
}

void MapGridView::commitOpenEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

QRect MapGridView::selectedBlock() const
{
    QRect block;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        block |= QRect(index.column(), index.row(), 1, 1);
    if (block.isNull() && currentIndex().isValid())
        block = QRect(currentIndex().column(), currentIndex().row(), 1, 1);
    return block;
}

void MapGridView::copySelection()
{
    const QRect block = selectedBlock();
    if (AccessMapModel *m = mapModel(); m && !block.isNull())
        QApplication::clipboard()->setText(m->copyText(block));
}

void MapGridView::pasteClipboard()
{
    AccessMapModel *m = mapModel();
    const QRect block = selectedBlock();
    if (!m || block.isNull())
        return;
    const QRect changed = m->pasteText(block.top(), block.left(), QApplication::clipboard()->text());
    if (changed.isNull())
        return;
    // Select what was pasted, as a spreadsheet does.
    selectionModel()->select(
        QItemSelection(m->index(changed.top(), changed.left()), m->index(changed.bottom(), changed.right())),
        QItemSelectionModel::ClearAndSelect);
    selectionModel()->setCurrentIndex(m->index(changed.top(), changed.left()), QItemSelectionModel::NoUpdate);
}

void MapGridView::clearSelection()
{
    if (AccessMapModel *m = mapModel()) {
        QModelIndexList cells = selectionModel()->selectedIndexes();
        if (cells.isEmpty() && currentIndex().isValid())
            cells << currentIndex();
        m->clearCells(cells);
    }
}

void MapGridView::keyPressEvent(QKeyEvent *event)
{
    if (state() != QAbstractItemView::EditingState) {
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
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            // Down a row, as in a spreadsheet; never the dialog's default button.
            const QModelIndex below = currentIndex().sibling(currentIndex().row() + 1, currentIndex().column());
            if (below.isValid())
                setCurrentIndex(below);
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            // Escape leaves a cell; it does not throw the whole map away.
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void MapGridView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QModelIndex current = currentIndex();
    // Enter commits and moves down, as in a spreadsheet.
    const bool moveDown = hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, moveDown ? QAbstractItemDelegate::NoHint : hint);
    emit editorClosed(editor);
    if (moveDown) {
        const QModelIndex below = current.sibling(current.row() + 1, current.column());
        if (below.isValid())
            setCurrentIndex(below);
    }
}

// ---- MapGridDelegate ----

MapGridDelegate::MapGridDelegate(const AccessMapParams &params, QObject *parent)
    : QStyledItemDelegate(parent), m_params(params)
{
}

QWidget *MapGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                       const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        auto *self = const_cast<MapGridDelegate *>(this);
        const QPersistentModelIndex cell(index);
        connect(line, &QLineEdit::textChanged, self,
                [self, line, cell](const QString &text) { emit self->editTextChanged(line, cell, text); });
    }
    return editor;
}

void MapGridDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    QColor background;
    if (index.column() == 0) {
        background = option->palette.color(QPalette::Button);
        option->palette.setColor(QPalette::Text, option->palette.color(QPalette::ButtonText));
        option->displayAlignment = Qt::AlignCenter;
    } else if (index.column() <= m_params.columns.size()) {
        background = m_params.columns[index.column() - 1].tint == ColumnTint::Cyan ? CyanTint : YellowTint;
        // Fixed light backgrounds need dark text, whatever the theme.
        option->palette.setColor(QPalette::Text, Qt::black);
    }
    if (background.isValid())
        option->backgroundBrush = background;
}

// ---- AccessMapEditor ----

AccessMapEditor::AccessMapEditor(const AccessMapParams &params, AppContext &context, QWidget *parent)
    : QDialog(parent), m_params(params), m_ctx(context), m_map(params)
{
    setObjectName(QString::fromLatin1(params.windowClass));
    setWindowTitle(params.caption);
    applyTessiroStyle(this);
    resize(params.initialWidth, params.initialHeight);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl"));
    m_gridIn = makeGrid(MapDirection::In, "GridIn");
    m_gridOut = makeGrid(MapDirection::Out, "GridOut");
    m_tabs->addTab(m_gridIn, params.inTab);
    m_tabs->addTab(m_gridOut, params.outTab);
    connect(m_tabs, &QTabWidget::currentChanged, this, &AccessMapEditor::ShowUsedBytes);

    auto *usedTitle = new QLabel(ConfigMessages::UsedBytesLabel, this);
    usedTitle->setObjectName(QStringLiteral("LabelUsedBytesTitle"));
    m_usedBytes = new QLabel(QStringLiteral("0"), this);
    m_usedBytes->setObjectName(QStringLiteral("LabelUsedBytes"));
    QFont counterFont(QStringLiteral("Verdana"));
    counterFont.setPointSize(9);
    usedTitle->setFont(counterFont);
    counterFont.setBold(true);
    m_usedBytes->setFont(counterFont);
    auto *counterStrip = new QHBoxLayout;
    counterStrip->addWidget(usedTitle);
    counterStrip->addWidget(m_usedBytes);
    counterStrip->addStretch();

    QHBoxLayout *buttonStrip = okCancelStrip(this, &m_ok, &m_cancel);
    // Enter belongs to the grid.
    m_ok->setDefault(false);
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(counterStrip);
    layout->addLayout(buttonStrip);

    setTabOrder(m_tabs, m_gridIn);
    setTabOrder(m_gridIn, m_gridOut);
    setTabOrder(m_gridOut, m_ok);
    setTabOrder(m_ok, m_cancel);

    connect(m_ok, &QPushButton::clicked, this, &AccessMapEditor::BitBtn1Click);
    // Enter moves down the grid, so OK gets a key of its own: Ctrl+Enter, from any cell.
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, m_ok, &QPushButton::click);
    }
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

MapGridView *AccessMapEditor::makeGrid(MapDirection direction, const char *name)
{
    auto *view = new MapGridView(this);
    view->setObjectName(QString::fromLatin1(name));
    AccessMapModel &model = m_map.grid(direction);
    view->setModel(&model);
    auto *delegate = new MapGridDelegate(m_params, view);
    view->setItemDelegate(delegate);
    view->setColumnWidth(0, NumberColumnWidth);
    for (int c = 0; c < m_params.columns.size(); ++c)
        view->setColumnWidth(c + 1, m_params.columns[c].width);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, StripColour);
    view->setPalette(palette);

    connect(delegate, &MapGridDelegate::editTextChanged, this,
            [this, direction](QWidget *editor, const QModelIndex &index, const QString &text) {
                m_editor = editor;
                m_edit = MapCellEdit{direction, index.row(), index.column(), text};
                ShowUsedBytes();
            });
    connect(view, &MapGridView::editorClosed, this, [this](QWidget *editor) {
        if (editor == m_editor) {
            m_editor = nullptr;
            m_edit.reset();
        }
        ShowUsedBytes();
    });
    connect(&model, &QAbstractItemModel::dataChanged, this, &AccessMapEditor::ShowUsedBytes);
    connect(&model, &QAbstractItemModel::modelReset, this, &AccessMapEditor::ShowUsedBytes);
    return view;
}

MapDirection AccessMapEditor::activeDirection() const
{
    return m_tabs->currentIndex() == 1 ? MapDirection::Out : MapDirection::In;
}

AccessMap::ByteCounts AccessMapEditor::CountMapBytes() const
{
    return m_map.CountMapBytes(m_edit ? &*m_edit : nullptr);
}

void AccessMapEditor::ShowUsedBytes()
{
    const AccessMap::ByteCounts counts = CountMapBytes();
    const qint64 used = activeDirection() == MapDirection::In ? counts.in : counts.out;
    m_usedBytes->setText(QString::number(used));
    QPalette palette = m_usedBytes->palette();
    palette.setColor(QPalette::WindowText, used <= MapByteBudget ? WithinBudget : OverBudget);
    m_usedBytes->setPalette(palette);
}

void AccessMapEditor::showEvent(QShowEvent *event)
{
    // The first size given counts the frame; later showings keep what the user made of it.
    if (!m_sized && windowHandle()) {
        m_sized = true;
        const QMargins frame = windowHandle()->frameMargins();
        resize(m_params.initialWidth - frame.left() - frame.right(),
               m_params.initialHeight - frame.top() - frame.bottom());
    }
    // A window coming back from the task bar keeps what is being typed.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void AccessMapEditor::FormShow()
{
    m_editor = nullptr;
    m_edit.reset();
    const ProjectFilesT &files = m_ctx.project().ProjectFiles;
    const QStringList errors = m_map.load(files.*m_params.ownFile, files.*m_params.otherFile);
    for (MapGridView *view : {m_gridIn, m_gridOut}) {
        view->setCurrentIndex(view->model()->index(0, 1));
        view->scrollToTop();
    }
    ShowUsedBytes();
    grid(activeDirection())->setFocus();
    if (!errors.isEmpty())
        QTimer::singleShot(0, this, [this, errors] {
            for (const QString &error : errors)
                m_ctx.notices.error(error);
        });
}

bool AccessMapEditor::ValidateMap()
{
    const QList<AccessMap::Failure> failures = m_map.failures(true);
    if (failures.isEmpty())
        return true;
    m_ctx.notices.error(failures.first().message);
    return false;
}

void AccessMapEditor::BitBtn1Click()
{
    guardedCall(m_ctx.notices, [this] {
        m_gridIn->commitOpenEditor();
        m_gridOut->commitOpenEditor();
        if (!ValidateMap())
            return;
        QString error;
        if (!m_map.save(m_ctx.project().ProjectFiles.*m_params.ownFile, &error)) {
            m_ctx.notices.generalError(error);
            return;
        }
        accept();
    });
}
