#include "config/AccessMapEditor.h"

#include "base/GuardedCall.h"
#include "config/Messages.h"
#include "config/UPickEds.h"
#include "project/AppContext.h"
#include "project/ProjectLock.h"
#include "widgets/SpreadsheetGrid.h"
#include "widgets/Style.h"
#include "widgets/WindowParts.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace {

const QColor CyanTint(0xE0, 0xFA, 0xFE);
const QColor YellowTint(0xFF, 0xFF, 0xA8);
const QColor WithinBudget(0x00, 0x80, 0x00);
const QColor OverBudget(0xFF, 0x00, 0x00);

} // namespace

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

    auto *keyHint = new QLabel(SpreadsheetGrid::keyHint(), this);
    keyHint->setObjectName(QStringLiteral("LabelKeyHint"));

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
    m_pick = new QPushButton(ConfigMessages::PickFromEds, this);
    m_pick->setObjectName(QStringLiteral("BtnPickEds"));
    m_pick->setToolTip(QStringLiteral("Fills the current row from the device's EDS (F4 in the grid)"));
    m_pick->setAutoDefault(false);
    connect(m_pick, &QPushButton::clicked, this, &AccessMapEditor::pickFromEds);
    counterStrip->addWidget(m_pick);

    QHBoxLayout *buttonStrip = okCancelStrip(this, &m_ok, &m_cancel);
    // Enter belongs to the grid.
    m_ok->setDefault(false);
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(keyHint);
    layout->addLayout(counterStrip);
    layout->addLayout(buttonStrip);

    // The tabs come first by creation. Ordering them before a grid they hold
    // would break the focus chain: Tab would never reach OK.
    setTabOrder(m_gridOut, m_pick);
    setTabOrder(m_pick, m_ok);
    setTabOrder(m_ok, m_cancel);

    connect(m_ok, &QPushButton::clicked, this, &AccessMapEditor::BitBtn1Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

SpreadsheetGrid *AccessMapEditor::makeGrid(MapDirection direction, const char *name)
{
    auto *view = new SpreadsheetGrid(this);
    view->setObjectName(QString::fromLatin1(name));
    AccessMapModel &model = m_map.grid(direction);
    view->setGridModel(&model);
    view->setColumnWidth(0, NumberColumnWidth);
    for (int c = 0; c < m_params.columns.size(); ++c) {
        view->setColumnWidth(c + 1, m_params.columns[c].width);
        view->setColumnBackground(c + 1, m_params.columns[c].tint == ColumnTint::Cyan ? CyanTint : YellowTint);
    }
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, HouseColour::Cream);
    palette.setColor(QPalette::Highlight, HouseColour::Highlight);
    palette.setColor(QPalette::HighlightedText, HouseColour::Ink);
    view->setPalette(palette);

    connect(view, &SpreadsheetGrid::cellTextEdited, this,
            [this, direction](const QModelIndex &index, const QString &text) {
                m_edit = MapCellEdit{direction, index.row(), index.column(), text};
                ShowUsedBytes();
            });
    connect(view, &SpreadsheetGrid::editorClosed, this, [this, direction] {
        if (m_edit && m_edit->direction == direction)
            m_edit.reset();
        ShowUsedBytes();
    });
    connect(view, &SpreadsheetGrid::okRequested, this, [this] { m_ok->click(); });
    connect(view, &SpreadsheetGrid::cancelRequested, this, [this] { m_cancel->click(); });
    connect(view, &SpreadsheetGrid::pageRequested, this, [this](int step) {
        const int pages = m_tabs->count();
        m_tabs->setCurrentIndex(((m_tabs->currentIndex() + step) % pages + pages) % pages);
        grid(activeDirection())->setFocus();
    });
    connect(&model, &QAbstractItemModel::dataChanged, this, &AccessMapEditor::ShowUsedBytes);

    auto *pick = new QAction(ConfigMessages::PickFromEds, view);
    pick->setObjectName(QStringLiteral("ActionPickEds"));
    // Ctrl+E is taken by the cell editor (end of line).
    pick->setShortcut(QKeySequence(Qt::Key_F4));
    pick->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(pick, &QAction::triggered, this, &AccessMapEditor::pickFromEds);
    view->addAction(pick);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
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
    applyGivenSizeOnce(this, m_params.initialWidth, m_params.initialHeight, m_sized);
    // A window coming back from the task bar keeps what is being typed.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void AccessMapEditor::FormShow()
{
    m_edit.reset();
    const ProjectFiles &files = m_ctx.project().ProjectFiles;
    // A device.xml that does not read only means the picker asks again.
    m_link = loadDeviceLink(deviceLinkPath(m_ctx.project().ProjectDir)).value;
    m_linkChanged = false;
    const QStringList errors = m_map.load(files.*m_params.ownFile, files.*m_params.otherFile).problems;
    for (SpreadsheetGrid *view : {m_gridIn, m_gridOut}) {
        view->setCurrentIndex(view->model()->index(0, 1));
        view->scrollToTop();
    }
    ShowUsedBytes();
    grid(activeDirection())->setFocus();
    showOnceShown(this, m_ctx.notices, &Notices::error, errors);
}

bool AccessMapEditor::ValidateMap()
{
    const QList<AccessMap::Failure> failures = m_map.failures(true);
    if (failures.isEmpty())
        return true;
    // The offending cell is in view, with the cursor on it, when the message shows.
    const AccessMap::Failure &failure = failures.first();
    m_tabs->setCurrentIndex(failure.direction == MapDirection::In ? 0 : 1);
    SpreadsheetGrid *view = grid(failure.direction);
    if (failure.row > 0) {
        const QModelIndex cell = view->model()->index(failure.row - 1, failure.column);
        view->setCurrentIndex(cell);
        view->scrollTo(cell);
    }
    view->setFocus();
    m_ctx.notices.error(failure.message);
    return false;
}

void AccessMapEditor::BitBtn1Click()
{
    guardedCall(m_ctx.notices, [this] {
        m_gridIn->commitOpenEditor();
        m_gridOut->commitOpenEditor();
        if (!ValidateMap())
            return;
        const ProjectWriteLock lock(m_ctx.project().ProjectDir);
        m_map.save(m_ctx.project().ProjectFiles.*m_params.ownFile);
        if (m_linkChanged)
            saveDeviceLink(deviceLinkPath(m_ctx.project().ProjectDir), m_link);
        m_linkChanged = false;
        accept();
    });
}

void AccessMapEditor::keyPressEvent(QKeyEvent *event)
{
    // F4 from a grid (or the cell being typed) that the grid's own shortcut missed.
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) {
        pickFromEds();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AccessMapEditor::pickFromEds()
{
    const MapDirection direction = activeDirection();
    SpreadsheetGrid *view = grid(direction);
    view->commitOpenEditor();
    const int row = view->currentIndex().isValid() ? view->currentIndex().row() : 0;
    TFPickEds picker(m_ctx, m_params, direction, m_link, this);
    const bool picked = picker.start() && picker.exec() == QDialog::Accepted && picker.chosen();
    view->setFocus();
    if (!picked)
        return;
    DevicePick::fillRow(m_map.grid(direction), row, *picker.chosen());
    // The SDO picker carries the node ID it was given through unchanged.
    m_link = picker.pick().link();
    m_linkChanged = true;
    view->setCurrentIndex(view->model()->index(row, m_map.grid(direction).firstEditableColumn()));
}
