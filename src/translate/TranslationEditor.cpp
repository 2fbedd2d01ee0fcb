#include "translate/TranslationEditor.h"

#include "project/AppContext.h"
#include "translate/TableWindow.h"
#include "widgets/SpreadsheetGrid.h"
#include "widgets/Style.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>

namespace {

const QColor TitleTint(0xFF, 0xFF, 0xC0);

// Strips stand over columns 0-3 and 4 on.
constexpr int LeftStripColumns = 4;

// A title that two columns share is read out with the strip over it ("Index,
// Define virtual index SDO in CAN A"), so that a screen reader tells them apart.
QStringList spokenTitles(const QList<TranslationColumn> &columns, const QStringList &strips)
{
    QStringList titles;
    for (const TranslationColumn &column : columns)
        titles << column.title;
    QStringList spoken;
    for (int c = 0; c < titles.size(); ++c) {
        const QString strip = strips.value(c < LeftStripColumns ? 0 : 1);
        spoken << (titles.count(titles[c]) > 1 && !strip.isEmpty() ? titles[c] + QStringLiteral(", ") + strip
                                                                   : QString());
    }
    return spoken;
}

} // namespace

TranslationEditor::TranslationEditor(std::unique_ptr<TranslationTable> table, AppContext &context, QWidget *parent)
    : TableDialog(context,
                  {.objectName = QString::fromLatin1(table->params().windowClass),
                   .caption = table->params().caption,
                   .width = table->params().initialWidth,
                   .height = table->params().initialHeight,
                   .givenSizeOnShow = true},
                  parent),
      m_table(std::move(table)), m_params(m_table->params())
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    m_tabs->addTab(makePage(CanLine::A, "sga"), m_params.tabA);
    m_tabs->addTab(makePage(CanLine::B, "sgb"), m_params.tabB);
    // The tabs and grids keep their order of creation. Ordering the tabs before a
    // grid they hold would break the focus chain in two: Ctrl+Tab would never
    // leave the grids.
    placeContent(m_tabs, {m_grids[CanLine::B]});
    // A page hidden at the last resize has its width only once it is shown.
    connect(m_tabs, &QTabWidget::currentChanged, this, &TranslationEditor::sizeColumns);
}

TranslationEditor::~TranslationEditor() = default;

QWidget *TranslationEditor::makePage(CanLine line, const char *name)
{
    auto *page = new QWidget(this);
    auto *view = new SpreadsheetGrid(page);
    view->setObjectName(QString::fromLatin1(name));
    view->setGridModel(&m_table->grid(line));
    // The header row keeps the texts that the export writes; the view draws the
    // column titles in its place.
    view->setRowHidden(0, true);
    view->verticalHeader()->hide();
    for (int c = 0; c < m_params.columns.size(); ++c)
        if (m_params.columns[c].tinted)
            view->setColumnBackground(c, TitleTint);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, HouseColour::Cream);
    palette.setColor(QPalette::Highlight, HouseColour::Highlight);
    palette.setColor(QPalette::HighlightedText, HouseColour::Ink);
    view->setPalette(palette);
    // Screen readers name the grid after its tab.
    view->setAccessibleName(line == CanLine::A ? m_params.tabA : m_params.tabB);
    const QStringList &strips = line == CanLine::A ? m_params.stripsA : m_params.stripsB;
    m_table->grid(line).setSpokenColumnTitles(spokenTitles(m_params.columns, strips));
    connect(view, &SpreadsheetGrid::okRequested, this, [this] { okButton()->click(); });
    connect(view, &SpreadsheetGrid::cancelRequested, this, [this] { cancelButton()->click(); });
    connect(view, &SpreadsheetGrid::pageRequested, this, [this](int step) { turnPage(step); });
    m_grids[line] = view;

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (!strips.isEmpty()) {
        auto *stripRow = new QHBoxLayout;
        stripRow->setContentsMargins(0, 0, 0, 0);
        stripRow->setSpacing(1);
        for (int s = 0; s < 2; ++s) {
            auto *strip = new QLabel(strips.value(s), page);
            strip->setObjectName(QStringLiteral("Strip%1%2")
                                     .arg(line == CanLine::A ? QStringLiteral("A") : QStringLiteral("B"))
                                     .arg(s + 1));
            strip->setAlignment(Qt::AlignCenter);
            strip->setFrameShape(QFrame::Panel);
            strip->setFrameShadow(QFrame::Raised);
            m_strips[line][s] = strip;
            stripRow->addWidget(strip);
        }
        stripRow->addStretch();
        layout->addLayout(stripRow);
    }
    layout->addWidget(view, 1);
    return page;
}

void TranslationEditor::sizeColumns()
{
    for (CanLine line : CanLines) {
        SpreadsheetGrid *view = m_grids[line];
        const int width = view->width();
        const int columns = int(m_params.columns.size());
        const int columnWidth =
            m_params.sizing == ColumnSizing::EvenLessFive ? int(std::lround(double(width) / columns)) - 5 : width / 10;
        for (int c = 0; c < columns; ++c)
            view->setColumnWidth(c, columnWidth);
        if (m_strips[line][0]) {
            const int left = LeftStripColumns * columnWidth;
            m_strips[line][0]->setFixedWidth(left);
            m_strips[line][1]->setFixedWidth(std::max(0, width - left - 1));
        }
    }
}

void TranslationEditor::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    sizeColumns();
}

void TranslationEditor::showEvent(QShowEvent *event)
{
    TableDialog::showEvent(event);
    sizeColumns();
}

void TranslationEditor::tableLoaded()
{
    for (SpreadsheetGrid *view : m_grids.items) {
        view->setCurrentIndex(view->model()->index(1, 1));
        view->scrollToTop();
    }
    m_grids[lineAt(m_tabs->currentIndex())]->setFocus();
}

void TranslationEditor::commitEdits()
{
    for (SpreadsheetGrid *view : m_grids.items)
        view->commitOpenEditor();
}

void TranslationEditor::showFault(const TableFault &fault)
{
    m_tabs->setCurrentIndex(lineIndex(fault.line));
    SpreadsheetGrid *view = m_grids[fault.line];
    const QModelIndex cell = view->model()->index(fault.row + 1, fault.column);
    view->setCurrentIndex(cell);
    view->scrollTo(cell);
    view->setFocus();
}

QWidget *TranslationEditor::pageFocus(int index) const
{
    return m_grids[lineAt(index)];
}
