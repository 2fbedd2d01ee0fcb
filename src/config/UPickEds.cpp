#include "config/UPickEds.h"

#include "base/GuardedCall.h"
#include "config/Messages.h"
#include "project/AppContext.h"
#include "widgets/Style.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

using namespace ConfigMessages;

namespace {

const QColor Unchoosable(0x8C, 0x8C, 0x8C);
const QColor Marked(0xB3, 0x5C, 0x00);
const QString MarkedSign = QStringLiteral("\u26A0 ");

// Down in the search field goes on to the tree, as in a file dialog.
class SearchField : public QLineEdit {
public:
    SearchField(QWidget *tree, QWidget *parent) : QLineEdit(parent), m_tree(tree) {}

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Down) {
            m_tree->setFocus();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

private:
    QWidget *m_tree;
};

} // namespace

TFPickEds::TFPickEds(AppContext &context, const AccessMapParams &params, MapDirection direction, const DeviceLink &link,
                     QWidget *parent)
    : QDialog(parent), m_ctx(context), m_pick(params, direction)
{
    setObjectName(QStringLiteral("TFPickEds"));
    setWindowTitle(PickCaption);
    applyTessiroStyle(this);
    resize(640, 480);
    m_pick.setNodeId(link.NodeId);
    m_remembered = link.EdsPath;

    m_edsLabel = new QLabel(this);
    m_edsLabel->setObjectName(QStringLiteral("LabelEds"));
    m_edsLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *other = new QPushButton(PickOtherEds, this);
    other->setObjectName(QStringLiteral("BtnOtherEds"));
    other->setAutoDefault(false);
    connect(other, &QPushButton::clicked, this, [this] { chooseEds(); });

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("TreeEds"));
    m_tree->setHeaderLabels(m_pick.columnTitles());
    m_tree->setRootIsDecorated(!m_pick.pdoMap());
    m_tree->setUniformRowHeights(true);
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &TFPickEds::showCurrent);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &TFPickEds::accept);

    m_search = new SearchField(m_tree, this);
    m_search->setObjectName(QStringLiteral("EditSearch"));
    m_search->setClearButtonEnabled(true);
    connect(m_search, &QLineEdit::textChanged, this, &TFPickEds::applyFilter);
    auto *searchLabel = new QLabel(PickSearch, this);
    searchLabel->setBuddy(m_search);

    auto *fields = new QGridLayout;
    fields->addWidget(m_edsLabel, 0, 0, 1, 2);
    fields->addWidget(other, 0, 2);
    if (m_pick.pdoMap()) {
        m_nodeId = new QLineEdit(this);
        m_nodeId->setObjectName(QStringLiteral("EditNodeId"));
        m_nodeId->setValidator(new QIntValidator(1, 127, m_nodeId));
        if (validNodeId(link.NodeId))
            m_nodeId->setText(QString::number(link.NodeId));
        connect(m_nodeId, &QLineEdit::textChanged, this, [this](const QString &text) {
            m_pick.setNodeId(text.toInt());
            refill();
        });
        auto *nodeLabel = new QLabel(PickNodeId, this);
        nodeLabel->setBuddy(m_nodeId);
        fields->addWidget(nodeLabel, 1, 0);
        fields->addWidget(m_nodeId, 1, 1);
    }
    fields->addWidget(searchLabel, 2, 0);
    fields->addWidget(m_search, 2, 1, 1, 2);
    fields->setColumnStretch(1, 1);

    m_reason = new QLabel(this);
    m_reason->setObjectName(QStringLiteral("LabelReason"));
    m_reason->setWordWrap(true);

    QHBoxLayout *buttons = okCancelStrip(this, &m_ok, &m_cancel);
    connect(m_ok, &QPushButton::clicked, this, &TFPickEds::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_reason);
    layout->addLayout(buttons);

    if (m_nodeId)
        setTabOrder(m_nodeId, m_search);
    setTabOrder(m_search, m_tree);
    setTabOrder(m_tree, m_ok);
    setTabOrder(m_ok, m_cancel);
    setTabOrder(m_cancel, other);
}

bool TFPickEds::start()
{
    const bool opened = !m_remembered.isEmpty() && QFileInfo::exists(m_remembered) && openEds(m_remembered);
    if (!opened && !chooseEds())
        return false;
    (m_nodeId && !m_pick.nodeId() ? static_cast<QWidget *>(m_nodeId) : m_search)->setFocus();
    return true;
}

bool TFPickEds::chooseEds()
{
    const QString current = m_pick.hasEds() ? m_pick.edsPath() : m_remembered;
    FileDialogOptions options;
    options.title = PickCaption;
    options.filter = PickEdsFilter;
    options.initialDir = current.isEmpty() ? m_ctx.project().ProjectDir : QFileInfo(current).absolutePath();
    const QString path = m_ctx.chooser.openFile(options);
    return !path.isEmpty() && openEds(path);
}

bool TFPickEds::openEds(const QString &path)
{
    if (!guardedCall(m_ctx.notices, [&] { m_pick.openEds(path); }))
        return false;
    m_edsLabel->setText(QDir::toNativeSeparators(m_pick.edsPath()));
    refill();
    return true;
}

void TFPickEds::refill()
{
    m_tree->clear();
    const QList<DevicePickItem> &items = m_pick.items();
    QList<QTreeWidgetItem *> made;
    for (int i = 0; i < items.size(); ++i) {
        const DevicePickItem &item = items[i];
        QStringList columns = item.columns;
        if (!item.warning.isEmpty())
            columns.first().prepend(MarkedSign);
        auto *line = item.parent < 0 ? new QTreeWidgetItem(m_tree, columns)
                                     : new QTreeWidgetItem(made.value(item.parent), columns);
        line->setData(0, Qt::UserRole, i);
        const QString why = item.choosable() ? item.warning : item.reason;
        for (int c = 0; c < columns.size(); ++c) {
            if (!item.choosable())
                line->setForeground(c, Unchoosable);
            else if (!item.warning.isEmpty())
                line->setForeground(c, Marked);
            line->setToolTip(c, why);
        }
        made.append(line);
    }
    applyFilter();
}

void TFPickEds::applyFilter()
{
    const QList<bool> shown = m_pick.visible(m_search->text());
    const bool searching = !m_search->text().trimmed().isEmpty();
    QTreeWidgetItemIterator it(m_tree);
    for (; *it; ++it) {
        const int i = (*it)->data(0, Qt::UserRole).toInt();
        (*it)->setHidden(!shown.value(i));
        if ((*it)->childCount())
            (*it)->setExpanded(searching);
    }
    const int first = m_pick.firstChoosable(shown);
    QTreeWidgetItem *current = nullptr;
    for (QTreeWidgetItemIterator find(m_tree); *find && first >= 0; ++find)
        if ((*find)->data(0, Qt::UserRole).toInt() == first)
            current = *find;
    if (current && current->parent())
        current->parent()->setExpanded(true);
    m_tree->setCurrentItem(current);
    showCurrent();
}

const DevicePickItem *TFPickEds::chosen() const
{
    return m_chosen >= 0 && m_chosen < m_pick.items().size() ? &m_pick.items()[m_chosen] : nullptr;
}

void TFPickEds::showCurrent()
{
    QTreeWidgetItem *line = m_tree->currentItem();
    if (m_pick.items().isEmpty()) {
        m_reason->setText(m_pick.problem());
        m_ok->setEnabled(false);
        return;
    }
    if (!line || line->isHidden()) {
        m_reason->clear();
        m_ok->setEnabled(false);
        return;
    }
    const DevicePickItem &item = m_pick.items()[line->data(0, Qt::UserRole).toInt()];
    m_reason->setText(item.choosable() ? item.warning : item.reason);
    m_ok->setEnabled(item.choosable());
}

void TFPickEds::accept()
{
    QTreeWidgetItem *line = m_tree->currentItem();
    if (!line || line->isHidden())
        return;
    const int i = line->data(0, Qt::UserRole).toInt();
    const DevicePickItem &item = m_pick.items()[i];
    if (!item.choosable())
        return;
    if (!item.warning.isEmpty() && !m_ctx.notices.confirm(PickUseAnyway.arg(item.warning)))
        return;
    m_chosen = i;
    QDialog::accept();
}
