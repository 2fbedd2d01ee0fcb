#pragma once

#include "translate/EmcyTable.h"
#include "translate/TableWindow.h"

#include <array>

struct AppContext;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QTabWidget;

// "Set Traslate EMCY": the EMCY translation table, emcydef.xml, one tab per CAN line.
class TFemcy : public TableDialog {
    Q_OBJECT
public:
    explicit TFemcy(AppContext &context, QWidget *parent = nullptr);

    const EmcyTable &table() const { return m_table; }

protected:
    ProjectTable &projectTable() override { return m_table; }
    void tableLoaded() override;
    void tableReplaced() override;
    void showFault(const TableFault &fault) override;
    std::optional<QString> unstoredFields() override;

private:
    struct Page {
        QListWidget *list = nullptr;
        std::array<QLineEdit *, EmcyTextCount> fields = {};
        QCheckBox *enable = nullptr;
        QButtonGroup *alias = nullptr;
        // The user changed a field since the page last showed or stored an entry.
        bool typed = false;
    };

    QWidget *makePage(EmcyTab tab);
    // The lists, the fields, the switches and the alias choices, emptied as loading and import do.
    void clearControls();
    // Fills the list box from the table and selects row (none for -1) without showing it.
    void fillList(EmcyTab tab, int row);
    void showEntry(EmcyTab tab, int row);
    void showFirstEntries();
    EmcyEntry fieldsEntry(EmcyTab tab) const;
    // After a refused New or Modify: the cursor to the field at fault.
    void focusRefusedField(EmcyTab tab, const QStringList &problems);
    // A field outside the range its label shows: says so, with the cursor on it.
    bool refuseRange(EmcyTab tab, const EmcyEntry &entry);
    void NewClick(EmcyTab tab);
    void ModifyClick(EmcyTab tab);
    void DeleteClick(EmcyTab tab);

    EmcyTable m_table;
    Page m_pages[2];
    QTabWidget *m_tabs;
};
