#pragma once

#include "translate/EmcyWordTable.h"
#include "translate/TableWindow.h"

#include <QIcon>

struct AppContext;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// "Define EMCY Word": the EMCY words of emcyword.xml, one tree per tab ("CanA",
// "CanB") with a word node and its sixteen bit nodes, the fields of the selected
// node, Delete/New/Modify per tab, OK, Cancel, Export and Import.
class TFWemcy : public TableDialog {
    Q_OBJECT
public:
    explicit TFWemcy(AppContext &context, QWidget *parent = nullptr);

    EmcyWordTable &table() { return m_table; }

protected:
    ProjectTable &projectTable() override { return m_table; }
    void tableLoaded() override;
    void tableReplaced() override { fillTrees(); }
    void showFault(const TableFault &fault) override;

private:
    struct Page {
        QTreeWidget *tree = nullptr;
        QGroupBox *wordBox = nullptr;
        QGroupBox *bitBox = nullptr;
        QLineEdit *index_addrm = nullptr;
        QLineEdit *subindex = nullptr;
        QLineEdit *devid = nullptr;
        QLineEdit *b0 = nullptr;
        QLineEdit *b1 = nullptr;
        QLineEdit *poscomp = nullptr;
        QLineEdit *poscomp2 = nullptr;
        QPushButton *del = nullptr;
        QPushButton *add = nullptr;
        QPushButton *modify = nullptr;
    };

    QWidget *makePage(CanLine line);
    void clearWindow();
    void fillTrees();
    void appendWordNode(CanLine line, int word);
    // The node's position counting every node of the tree from 0.
    static int position(QTreeWidgetItem *item);
    void nodeSelected(CanLine line, QTreeWidgetItem *item);
    EmcyWord wordFields(CanLine line) const;
    void DeleteClick(CanLine line);
    void NewClick(CanLine line);
    void ModifyClick(CanLine line);

    EmcyWordTable m_table;
    QTabWidget *m_tabs;
    PerLine<Page> m_pages;
    QIcon m_wordIcon;
    QIcon m_bitIcon;
};
