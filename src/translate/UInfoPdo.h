#pragma once

#include "translate/StoredPdoTable.h"
#include "translate/TableWindow.h"

struct AppContext;
class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

// "Define Store PDO": the SDOs stored under the PDOs of each line, kept in the
// project's sdopdo.xml. The window only shows its StoredPdoTable.
class TFInfopdo : public TableDialog {
    Q_OBJECT
public:
    explicit TFInfopdo(AppContext &context, QWidget *parent = nullptr,
                       StoredPdoCopies &copies = programStoredPdoCopies());

    StoredPdoTable &table() { return m_table; }

protected:
    ProjectTable &projectTable() override { return m_table; }
    void tableLoaded() override;
    void tableReplaced() override;
    void showFault(const TableFault &fault) override;
    std::optional<QString> unstoredFields() override;

private:
    // The controls of one tab.
    struct Page {
        QListWidget *pdos = nullptr;
        QListWidget *sdos = nullptr;
        QLineEdit *index = nullptr;
        QLineEdit *subindex = nullptr;
        QGroupBox *highBox = nullptr;
        QGroupBox *lowBox = nullptr;
        QButtonGroup *high = nullptr;
        QButtonGroup *low = nullptr;
        QList<QPushButton *> buttons;
        // The user changed a field or a position since the tab last showed or stored an SDO.
        bool typed = false;
    };

    QWidget *makePage(CanLine line);
    QGroupBox *makePositions(CanLine line, const char *name, QButtonGroup **group, QWidget *parent);
    // Empties the tab's SDO list, edit fields and radio groups.
    void clearSdoSide(CanLine line);
    void PdoClick(CanLine line);
    void SdoClick(CanLine line);
    void NewSdoClick(CanLine line);
    void ModifySdoClick(CanLine line);
    void DeleteSdoClick(CanLine line);
    void CopySdoClick(CanLine line);
    void PasteSdoClick(CanLine line);
    SdoFields fields(CanLine line) const;
    void showFields(CanLine line, const SdoFields &fields);
    void listSdos(CanLine line, int selected);

    StoredPdoTable m_table;
    QTabWidget *m_tabs;
    PerLine<Page> m_pages;
};
