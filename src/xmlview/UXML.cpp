#include "xmlview/UXML.h"

#include "base/AtomicFile.h"
#include "base/GuardedCall.h"
#include "base/Paths.h"
#include "widgets/Style.h"
#include "widgets/Unewp.h"
#include "xmlview/Messages.h"
#include "xmlview/XMLTree.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <limits>

namespace {

// The five pictures of the tree, each as a normal and a selected 16 x 16 image.
QList<QIcon> makeImages()
{
    const struct {
        char letter;
        QColor colour;
    } kinds[] = {{'F', QColor(0x2f, 0x5d, 0x9e)},
                 {'E', QColor(0x2e, 0x7d, 0x32)},
                 {'A', QColor(0xc2, 0x6a, 0x00)},
                 {'P', QColor(0x6a, 0x3d, 0x9a)},
                 {'X', QColor(0x55, 0x55, 0x55)}};
    QList<QIcon> images;
    for (const auto &kind : kinds) {
        QPixmap pictures[2];
        for (int selected = 0; selected < 2; ++selected) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            const QColor fill = selected ? kind.colour : QColor(Qt::white);
            const QColor ink = selected ? QColor(Qt::white) : kind.colour;
            p.setPen(QPen(kind.colour, 1.2));
            p.setBrush(fill);
            p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 3, 3);
            QFont font(QStringLiteral("Verdana"));
            font.setPixelSize(10);
            font.setBold(true);
            p.setFont(font);
            p.setPen(ink);
            p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QString(QLatin1Char(kind.letter)));
            pictures[selected] = pixmap;
        }
        // Two image indices per kind: normal, then selected.
        QIcon normal(pictures[0]);
        normal.addPixmap(pictures[1], QIcon::Selected);
        QIcon selectedIcon(pictures[1]);
        images << normal << selectedIcon;
    }
    return images;
}

} // namespace

TFXML::TFXML(AppContext &context, TFsaveproj &nameDialog, QWidget *parent)
    : QDialog(parent), m_ctx(context), m_nameDialog(nameDialog), m_images(makeImages())
{
    setObjectName(QStringLiteral("TFXML"));
    setWindowTitle(XmlMessages::WindowCaption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    applyTessiroStyle(this);
    resize(732, 560);

    m_open = new QPushButton(XmlMessages::OpenCaption, this);
    m_open->setObjectName(QStringLiteral("btnopen"));
    m_fullExpand = new QPushButton(XmlMessages::FullExpandCaption, this);
    m_fullExpand->setObjectName(QStringLiteral("btnFullExpand"));
    m_write = new QPushButton(XmlMessages::WriteCaption, this);
    m_write->setObjectName(QStringLiteral("btnWrite"));
    for (QPushButton *button : {m_open, m_fullExpand, m_write})
        button->setAutoDefault(false);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("TvXml"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setUniformRowHeights(true);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->installEventFilter(this);
    m_tree->viewport()->installEventFilter(this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_open);
    buttons->addWidget(m_fullExpand);
    buttons->addStretch();
    buttons->addWidget(m_write);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_tree, 1);

    connect(m_open, &QPushButton::clicked, this, &TFXML::btnopenClick);
    connect(m_fullExpand, &QPushButton::clicked, this, &TFXML::btnFullExpandClick);
    connect(m_write, &QPushButton::clicked, this, &TFXML::btnWriteClick);

    if (QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFXML::showEvent(QShowEvent *event)
{
    // A window coming back from the task bar keeps its tree and the edits in it.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFXML::FormShow()
{
    m_tree->clear();
}

bool TFXML::eventFilter(QObject *watched, QEvent *event)
{
    // The right button edits the selected item; it does not select the one under the pointer,
    // and neither does its double click, which the view would take for a press.
    if (watched == m_tree->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        TvXmlEdit();
        return true;
    }
    if (watched == m_tree && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_F2) {
        TvXmlEdit();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFXML::TvXmlEdit()
{
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item || !item->isSelected())
        return;
    guardedCall(m_ctx.notices, [&] {
        if (const std::optional<QString> edited = m_nameDialog.editText(item->text(0)))
            item->setText(0, *edited);
    });
}

void TFXML::btnopenClick()
{
    m_open->setEnabled(false);
    const auto enable = qScopeGuard([this] { m_open->setEnabled(true); });
    guardedCall(m_ctx.notices, [&] {
        const QString path = m_ctx.chooser.openFile({XmlMessages::OpenDialogTitle, XmlMessages::OpenDialogFilter,
                                                     XmlMessages::OpenDialogDefaultExt, QString()});
        if (path.isEmpty())
            return;
        const std::unique_ptr<TXMLNode> document = ReadXMLFile(path);
        showDocument(*document);
    });
}

int TFXML::ImageIndex(XMLNodeKind kind)
{
    // The pictures come in pairs, in the order of the kinds.
    return 2 * int(kind);
}

QTreeWidgetItem *TFXML::makeItem(const XMLTreeItem &source) const
{
    auto *item = new QTreeWidgetItem(QStringList{source.Text});
    const int image = ImageIndex(source.Kind);
    item->setData(0, ImageIndexRole, image);
    item->setData(0, KindRole, int(source.Kind));
    item->setIcon(0, m_images.value(image));
    QList<QTreeWidgetItem *> children;
    children.reserve(qsizetype(source.Children.size()));
    for (const XMLTreeItem &child : source.Children)
        children << makeItem(child);
    item->addChildren(children);
    return item;
}

void TFXML::showDocument(const TXMLNode &document)
{
    // Built apart and added at once: a large file has hundreds of thousands of items.
    QTreeWidgetItem *top = makeItem(BuildXMLTreeItems(document));
    m_tree->setUpdatesEnabled(false);
    m_tree->clear();
    m_tree->addTopLevelItem(top);
    m_tree->setUpdatesEnabled(true);
}

void TFXML::btnFullExpandClick()
{
    m_tree->expandAll();
}

XMLTreeItem TFXML::itemsOf(const QTreeWidgetItem &item) const
{
    XMLTreeItem out;
    out.Text = item.text(0);
    out.Kind = XMLNodeKind(item.data(0, KindRole).toInt());
    out.Children.reserve(size_t(item.childCount()));
    for (int i = 0; i < item.childCount(); ++i)
        out.Children.push_back(itemsOf(*item.child(i)));
    return out;
}

void TFXML::btnWriteClick()
{
    m_write->setEnabled(false);
    const auto enable = qScopeGuard([this] { m_write->setEnabled(true); });
    guardedCall(m_ctx.notices, [this] { writeTree(); });
}

void TFXML::writeTree()
{
    // Nothing shown, nothing to write.
    if (m_tree->topLevelItemCount() == 0)
        return;
    const XMLTreeItem fileItem = itemsOf(*m_tree->topLevelItem(0));
    QByteArray bytes;
    QString path;
    try {
        const QString name = XMLTargetFileName(fileItem.Text);
        const QString projectDir = m_ctx.project().ProjectDir;
        if (projectDir.isEmpty())
            throw TessiroError(XmlMessages::WriteNoProject);
        bytes = WriteXMLTree(fileItem);
        path = joinPath(projectDir, name);
    } catch (const TessiroError &e) {
        m_ctx.notices.error(e.message());
        return;
    }
    // No by default: an existing file is kept unless the user says otherwise.
    if (QFileInfo::exists(path) && !m_ctx.notices.confirm(XmlMessages::ReplaceFile.arg(QFileInfo(path).fileName())))
        return;
    try {
        writeFileAtomically(path, bytes);
    } catch (const FileWriteError &e) {
        m_ctx.notices.generalError(XmlMessages::CannotWriteFile.arg(path, e.reason()));
    }
}
