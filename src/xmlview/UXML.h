#pragma once

#include <QDialog>
#include <QIcon>
#include <QList>

#include "project/AppContext.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TFsaveproj;
class TXMLNode;
struct XMLTreeItem;
enum class XMLNodeKind : quint8;

// The XML viewer: shows an XML file as a tree, lets the user change single
// items through the name dialog, and writes the tree back into the project.
class TFXML : public QDialog {
    Q_OBJECT
public:
    TFXML(AppContext &context, TFsaveproj &nameDialog, QWidget *parent = nullptr);

    // Roles of an item's image index (its picture, two per kind: normal and
    // selected) and of the kind of node it was made from.
    static constexpr int ImageIndexRole = Qt::UserRole + 1;
    static constexpr int KindRole = Qt::UserRole + 2;
    static int ImageIndex(XMLNodeKind kind);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void btnopenClick();
    void btnFullExpandClick();
    void btnWriteClick();

private:
    void FormShow();
    void TvXmlEdit();
    void showDocument(const TXMLNode &document);
    QTreeWidgetItem *makeItem(const XMLTreeItem &source) const;
    XMLTreeItem itemsOf(const QTreeWidgetItem &item) const;
    void writeTree();

    AppContext &m_ctx;
    TFsaveproj &m_nameDialog;
    QPushButton *m_open;
    QPushButton *m_fullExpand;
    QPushButton *m_write;
    QTreeWidget *m_tree;
    QList<QIcon> m_images;
};
