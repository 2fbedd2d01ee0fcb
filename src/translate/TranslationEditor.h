#pragma once

#include "translate/TranslationTable.h"

#include <QDialog>
#include <memory>

struct AppContext;
class QLabel;
class QPushButton;
class QTabWidget;
class SpreadsheetGrid;

// The window of a translation table (PDO or SDO, by its params): two tabs of grids
// (sga, sgb), OK, Cancel, Export and Import.
class TranslationEditor : public QDialog {
    Q_OBJECT
public:
    TranslationEditor(std::unique_ptr<TranslationTable> table, AppContext &context, QWidget *parent = nullptr);
    ~TranslationEditor() override;

    TranslationTable &table() { return *m_table; }
    SpreadsheetGrid *grid(int which) const { return m_grids[which]; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void BitBtn1Click();
    void ExportClick();
    void ImportClick();

private:
    void FormShow();
    QWidget *makePage(int which, const char *name);
    void sizeColumns();
    void commitEditors();

    std::unique_ptr<TranslationTable> m_table;
    const TranslationTableParams &m_params;
    AppContext &m_ctx;
    QTabWidget *m_tabs;
    SpreadsheetGrid *m_grids[2];
    QLabel *m_strips[2][2] = {};
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QPushButton *m_export;
    QPushButton *m_import;
    bool m_sized = false;
};
