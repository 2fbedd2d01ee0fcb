#pragma once

#include "translate/TableWindow.h"
#include "translate/TranslationTable.h"

#include <array>
#include <memory>

struct AppContext;
class QLabel;
class QTabWidget;
class SpreadsheetGrid;

// The window of a translation table (PDO or SDO, by its params): two tabs of grids
// (sga, sgb), OK, Cancel, Export and Import.
class TranslationEditor : public TableDialog {
    Q_OBJECT
public:
    TranslationEditor(std::unique_ptr<TranslationTable> table, AppContext &context, QWidget *parent = nullptr);
    ~TranslationEditor() override;

    TranslationTable &table() { return *m_table; }
    SpreadsheetGrid *grid(CanLine line) const { return m_grids[line]; }

protected:
    ProjectTable &projectTable() override { return *m_table; }
    void tableLoaded() override;
    void commitEdits() override;
    void showFault(const TableFault &fault) override;
    QWidget *pageFocus(int index) const override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *makePage(CanLine line, const char *name);
    void sizeColumns();

    std::unique_ptr<TranslationTable> m_table;
    const TranslationTableParams &m_params;
    QTabWidget *m_tabs;
    PerLine<SpreadsheetGrid *> m_grids;
    PerLine<std::array<QLabel *, 2>> m_strips;
};
