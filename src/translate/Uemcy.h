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

    QWidget *makePage(CanLine line);
    // The lists, the fields, the switches and the alias choices, emptied as loading and import do.
    void clearControls();
    // Fills the list box from the table and selects row (none for -1) without showing it.
    void fillList(CanLine line, int row);
    void showEntry(CanLine line, int row);
    void showFirstEntries();
    EmcyEntry fieldsEntry(CanLine line) const;
    // An identifier refused by New or Modify: says so, with the cursor on it.
    bool refuseIdentifier(CanLine line, const std::optional<QString> &refusal);
    // A field outside the range its label shows: says so, with the cursor on it.
    bool refuseRange(CanLine line, const EmcyEntry &entry);
    void NewClick(CanLine line);
    void ModifyClick(CanLine line);
    void DeleteClick(CanLine line);

    EmcyTable m_table;
    PerLine<Page> m_pages;
    QTabWidget *m_tabs;
};
