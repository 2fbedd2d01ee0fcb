#include "translate/UWemcy.h"

#include "base/GuardedCall.h"
#include "project/AppContext.h"
#include "translate/Messages.h"
#include "translate/TableWindow.h"
#include "widgets/Style.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString WordBoxCaption = QStringLiteral("Word n\u00B0  Emcy Define");
const QString BitBoxCaption = QStringLiteral("Mask BIT n\u00B0  Define");
const QString TabCaptions[] = {QStringLiteral("CanA"), QStringLiteral("CanB")};

// The captions of one tab's seven fields, in the order of Page.
struct FieldCaptions {
    QString index_addrm, subindex, devid, b0, b1, poscomp, poscomp2;
};
const FieldCaptions Captions[] = {
    {QStringLiteral("Index SDO BUS B"), QStringLiteral("Subindex SDO BUS B"), QStringLiteral("ID EMCY BUS A"),
     QStringLiteral("Mask Byte 1"), QStringLiteral("Mask byte 2"), QStringLiteral("Emcy byte 1"),
     QStringLiteral("Emcy Byte 2")},
    {QStringLiteral("Index SDO BUS A"), QStringLiteral("Subindex SDO BUS A"), QStringLiteral("ID EMCY BUS B"),
     QStringLiteral("Mask Byte 1"), QStringLiteral("Mask Byte 2"), QStringLiteral("Emcy byte 1"),
     QStringLiteral("Emcy Byte 2")},
};

// 16x16 node pictures: a word is a framed block of bits, a bit a single dot; the
// selected forms are drawn on the highlight colour.
QPixmap nodePicture(bool word, bool selected)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor ink = selected ? QColor(0x00, 0x40, 0x80) : QColor(0x55, 0x55, 0x55);
    const QColor fill = selected ? QColor(0xFF, 0xC0, 0x40) : QColor(0xE8, 0xE4, 0xC8);
    if (word) {
        painter.setPen(ink);
        painter.setBrush(fill);
        painter.drawRect(1, 3, 13, 9);
        for (int x = 3; x <= 12; x += 3)
            painter.fillRect(x, 6, 2, 4, ink);
    } else {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(ink);
        painter.setBrush(fill);
        painter.drawEllipse(QRectF(4.5, 4.5, 7, 7));
    }
    return pixmap;
}

QIcon nodeIcon(bool word)
{
    QIcon icon;
    icon.addPixmap(nodePicture(word, false), QIcon::Normal);
    icon.addPixmap(nodePicture(word, true), QIcon::Selected);
    return icon;
}

// A group's caption, also its name for screen readers (which would otherwise
// name the inner group after the outer one).
void setCaption(QGroupBox *box, const QString &caption)
{
    box->setTitle(caption);
    box->setAccessibleName(caption.simplified());
}

QLineEdit *field(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

void addRow(QFormLayout *form, const QString &caption, QLineEdit *edit)
{
    auto *label = new QLabel(caption, edit->parentWidget());
    label->setObjectName(QStringLiteral("Lb") + edit->objectName());
    label->setBuddy(edit);
    form->addRow(label, edit);
}

QPushButton *button(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

TFWemcy::TFWemcy(AppContext &context, QWidget *parent)
    : TableDialog(context,
                  {.objectName = QStringLiteral("TFWemcy"),
                   .caption = QStringLiteral("Define EMCY Word"),
                   .width = 560,
                   .height = 440,
                   .givenSizeOnShow = false},
                  parent),
      m_wordIcon(nodeIcon(true)), m_bitIcon(nodeIcon(false))
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    for (CanLine line : CanLines)
        m_tabs->addTab(makePage(line), TabCaptions[lineIndex(line)]);

    QList<QWidget *> order{m_tabs};
    for (const Page &page : m_pages.items)
        order << page.tree << page.index_addrm << page.subindex << page.devid << page.b0 << page.b1 << page.poscomp
              << page.poscomp2 << page.del << page.add << page.modify;
    placeContent(m_tabs, order);
}

QWidget *TFWemcy::makePage(CanLine line)
{
    const QString suffix = line == CanLine::A ? QStringLiteral("A") : QStringLiteral("B");
    const FieldCaptions &captions = Captions[lineIndex(line)];
    Page &page = m_pages[line];
    auto *widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("Tab") + TabCaptions[lineIndex(line)]);

    page.tree = new QTreeWidget(widget);
    page.tree->setObjectName(QStringLiteral("TWCan") + suffix);
    page.tree->setHeaderHidden(true);
    // The hidden header would otherwise be read out as "1".
    page.tree->setHeaderLabel(TabCaptions[lineIndex(line)]);
    page.tree->setAccessibleName(TabCaptions[lineIndex(line)]);
    page.tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    page.tree->setSelectionMode(QAbstractItemView::SingleSelection);
    page.tree->setMinimumWidth(150);
    connect(page.tree, &QTreeWidget::currentItemChanged, this,
            [this, line](QTreeWidgetItem *current) { nodeSelected(line, current); });

    page.wordBox = new QGroupBox(WordBoxCaption, widget);
    page.wordBox->setObjectName(QStringLiteral("GBWord") + suffix);
    setCaption(page.wordBox, WordBoxCaption);
    page.index_addrm = field(QStringLiteral("Eindex_addrm") + suffix, page.wordBox);
    page.subindex = field(QStringLiteral("Esubindex") + suffix, page.wordBox);
    page.devid = field(QStringLiteral("Edevid") + suffix, page.wordBox);
    page.bitBox = new QGroupBox(BitBoxCaption, page.wordBox);
    page.bitBox->setObjectName(QStringLiteral("GBBit") + suffix);
    setCaption(page.bitBox, BitBoxCaption);
    page.b0 = field(QStringLiteral("Eb0") + suffix, page.bitBox);
    page.b1 = field(QStringLiteral("Eb1") + suffix, page.bitBox);
    page.poscomp = field(QStringLiteral("Eposcomp") + suffix, page.bitBox);
    page.poscomp2 = field(QStringLiteral("Eposcomp") + suffix + u'2', page.bitBox);

    auto *bitForm = new QFormLayout(page.bitBox);
    addRow(bitForm, captions.b0, page.b0);
    addRow(bitForm, captions.b1, page.b1);
    addRow(bitForm, captions.poscomp, page.poscomp);
    addRow(bitForm, captions.poscomp2, page.poscomp2);
    auto *wordLayout = new QVBoxLayout(page.wordBox);
    auto *wordForm = new QFormLayout;
    addRow(wordForm, captions.index_addrm, page.index_addrm);
    addRow(wordForm, captions.subindex, page.subindex);
    addRow(wordForm, captions.devid, page.devid);
    wordLayout->addLayout(wordForm);
    wordLayout->addWidget(page.bitBox);

    page.del = button(QStringLiteral("Delete"), QStringLiteral("BtnDelete") + suffix, widget);
    page.add = button(QStringLiteral("New"), QStringLiteral("BtnNew") + suffix, widget);
    page.modify = button(QStringLiteral("Modify"), QStringLiteral("BtnModify") + suffix, widget);
    connect(page.del, &QPushButton::clicked, this, [this, line] { DeleteClick(line); });
    connect(page.add, &QPushButton::clicked, this, [this, line] { NewClick(line); });
    connect(page.modify, &QPushButton::clicked, this, [this, line] { ModifyClick(line); });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(page.del);
    buttons->addWidget(page.add);
    buttons->addWidget(page.modify);

    auto *right = new QVBoxLayout;
    right->addWidget(page.wordBox);
    right->addStretch();
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(widget);
    layout->addWidget(page.tree, 1);
    layout->addLayout(right, 1);
    return widget;
}

void TFWemcy::tableLoaded()
{
    fillTrees();
    m_pages[lineAt(m_tabs->currentIndex())].tree->setFocus();
}

void TFWemcy::clearWindow()
{
    for (Page &page : m_pages.items) {
        page.tree->clear();
        for (QLineEdit *edit :
             {page.index_addrm, page.subindex, page.devid, page.b0, page.b1, page.poscomp, page.poscomp2})
            edit->clear();
    }
}

void TFWemcy::fillTrees()
{
    clearWindow();
    for (CanLine line : CanLines)
        for (int word = 0; word < m_table.words(line).size(); ++word)
            appendWordNode(line, word);
}

void TFWemcy::appendWordNode(CanLine line, int word)
{
    auto *node = new QTreeWidgetItem(QStringList{m_table.wordNodeText(line, word)});
    node->setIcon(0, m_wordIcon);
    for (int bit = 0; bit < EmcyWord::BitCount; ++bit) {
        auto *bitNode = new QTreeWidgetItem(node, QStringList{EmcyWordTable::bitNodeText(bit)});
        bitNode->setIcon(0, m_bitIcon);
    }
    m_pages[line].tree->addTopLevelItem(node);
}

int TFWemcy::position(QTreeWidgetItem *item)
{
    QTreeWidgetItem *parent = item->parent();
    if (!parent)
        return item->treeWidget()->indexOfTopLevelItem(item) * EmcyWordTable::NodesPerWord;
    return parent->treeWidget()->indexOfTopLevelItem(parent) * EmcyWordTable::NodesPerWord + 1 +
           parent->indexOfChild(item);
}

void TFWemcy::nodeSelected(CanLine line, QTreeWidgetItem *item)
{
    if (!item)
        return;
    const int p = position(item);
    const int word = p / EmcyWordTable::NodesPerWord;
    const int k = p % EmcyWordTable::NodesPerWord;
    for (Page &page : m_pages.items) {
        setCaption(page.wordBox, QStringLiteral("Word n\u00B0%1 Emcy Define ").arg(word));
        setCaption(page.bitBox, QStringLiteral("Mask BIT n\u00B0%1 Define").arg(p));
    }
    const Page &page = m_pages[line];
    const EmcyWord &w = m_table.words(line).at(word);
    page.index_addrm->setText(w.index_addrm);
    page.subindex->setText(w.subindex);
    page.devid->setText(w.devid);
    for (QLineEdit *edit : {page.b0, page.b1, page.poscomp, page.poscomp2})
        edit->clear();
    if (k == 0)
        return;
    const EmcyWordBit &bit = w.bits[std::size_t(k - 1)];
    page.b0->setText(bit.b0);
    page.b1->setText(bit.b1);
    guardedCall(m_ctx.notices, [&] {
        const auto [byte1, byte2] = splitPoscomp(bit.poscomp);
        page.poscomp->setText(byte1);
        page.poscomp2->setText(byte2);
    });
}

EmcyWord TFWemcy::wordFields(CanLine line) const
{
    const Page &page = m_pages[line];
    EmcyWord key;
    key.index_addrm = page.index_addrm->text();
    key.subindex = page.subindex->text();
    key.devid = page.devid->text();
    return key;
}

void TFWemcy::NewClick(CanLine line)
{
    if (const std::optional<QString> refusal = m_table.newWord(line, wordFields(line))) {
        m_ctx.notices.notice(*refusal);
        return;
    }
    appendWordNode(line, int(m_table.words(line).size()) - 1);
}

void TFWemcy::ModifyClick(CanLine line)
{
    const Page &page = m_pages[line];
    QTreeWidgetItem *item = page.tree->currentItem();
    if (!item) {
        hintSelection(page.modify->text(), QStringLiteral("node"), TabCaptions[lineIndex(line)]);
        return;
    }
    const int p = position(item);
    const int word = p / EmcyWordTable::NodesPerWord;
    const int k = p % EmcyWordTable::NodesPerWord;
    if (k == 0) {
        if (const std::optional<QString> refusal = m_table.modifyWord(line, word, wordFields(line)))
            m_ctx.notices.notice(*refusal);
        return;
    }
    if (const std::optional<TableFault> fault = m_table.modifyBit(line, word, k - 1, page.b0->text(), page.b1->text(),
                                                                  page.poscomp->text(), page.poscomp2->text())) {
        QLineEdit *refused = fault->column == 0 ? page.poscomp : page.poscomp2;
        refused->setFocus();
        refused->selectAll();
        m_ctx.notices.notice(fault->message);
    }
}

void TFWemcy::DeleteClick(CanLine line)
{
    QTreeWidget *tree = m_pages[line].tree;
    QTreeWidgetItem *item = tree->currentItem();
    if (!item || item->parent()) {
        hintSelection(m_pages[line].del->text(), QStringLiteral("word node"), TabCaptions[lineIndex(line)]);
        return;
    }
    const int word = tree->indexOfTopLevelItem(item);
    {
        // The tree moves its cursor while the node is still in it; shown once both agree.
        const QSignalBlocker quiet(tree);
        delete tree->takeTopLevelItem(word);
        m_table.deleteWord(line, word);
    }
    nodeSelected(line, tree->currentItem());
}

void TFWemcy::showFault(const TableFault &fault)
{
    m_tabs->setCurrentIndex(lineIndex(fault.line));
    const Page &page = m_pages[fault.line];
    page.tree->setCurrentItem(page.tree->topLevelItem(fault.row));
    QLineEdit *field = fault.column == 0 ? page.index_addrm : fault.column == 1 ? page.subindex : page.devid;
    field->setFocus();
    field->selectAll();
}
