#include "translate/SELstringhe.h"

#include "project/AppContext.h"
#include "translate/StringsFile.h"
#include "widgets/Style.h"
#include "widgets/WindowParts.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

TFSELstringhe::TFSELstringhe(AppContext &context, QWidget *parent)
    : QDialog(parent), m_ctx(context), m_strings({.dataRows = PickerStringRows,
                                                  .columnTitles = {QStringLiteral("Index"), QStringLiteral("String")},
                                                  .numberColumn = true,
                                                  .firstNumber = 0})
{
    setObjectName(QStringLiteral("TFSELstringhe"));
    setWindowTitle(QStringLiteral("Select String"));
    applyTessiroStyle(this);
    resize(420, 480);
    // Holds up its own parent only, so that the help window stays usable beside it.
    setWindowModality(Qt::WindowModal);
    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TFSELstringhe::helpRequested);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("sg"));
    m_grid->setAccessibleName(QStringLiteral("Select String"));
    m_grid->setModel(&m_strings);
    // A list to pick from: the strings are edited in their file, not here.
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->setTabKeyNavigation(false);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            sgSelectCell(current.row());
    });

    m_label = new QLabel(QStringLiteral("Sel str:"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setBuddy(m_grid);
    QHBoxLayout *buttons = okCancelStrip(this, &m_ok, &m_cancel);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_label);
    layout->addLayout(buttons);
    setTabOrder(m_grid, m_ok);
    setTabOrder(m_ok, m_cancel);
}

void TFSELstringhe::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
    sizeColumns();
}

void TFSELstringhe::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    sizeColumns();
}

void TFSELstringhe::sizeColumns()
{
    m_grid->setColumnWidth(0, 40);
    m_grid->setColumnWidth(1, std::max(40, m_grid->width() - 70));
}

void TFSELstringhe::FormShow()
{
    m_strings.clearAll();
    const Loaded<QStringList> strings = loadStrings(m_ctx.project().ProjectFiles.StringsPath);
    for (int i = 0; i < strings.value.size(); ++i)
        m_strings.setCell(i, 1, strings.value[i]);
    const QModelIndex current = m_strings.index(m_selectedIndex, 1);
    m_grid->setCurrentIndex(current);
    m_grid->scrollTo(current, QAbstractItemView::PositionAtCenter);
    m_grid->setFocus();
    showOnceShown(this, m_ctx.notices, &Notices::notice, strings.problems);
}

void TFSELstringhe::sgSelectCell(int row)
{
    m_selectedIndex = row;
    m_label->setText(QStringLiteral("Sel str: %1").arg(row));
}
