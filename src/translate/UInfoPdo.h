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

    QWidget *makePage(int which);
    QGroupBox *makePositions(int which, const char *name, QButtonGroup **group, QWidget *parent);
    // Empties the tab's SDO list, edit fields and radio groups.
    void clearSdoSide(int which);
    void PdoClick(int which);
    void SdoClick(int which);
    void NewSdoClick(int which);
    void ModifySdoClick(int which);
    void DeleteSdoClick(int which);
    void CopySdoClick(int which);
    void PasteSdoClick(int which);
    SdoFields fields(int which) const;
    void showFields(int which, const SdoFields &fields);
    void listSdos(int which, int selected);

    StoredPdoTable m_table;
    QTabWidget *m_tabs;
    Page m_pages[StoredPdoTable::TabCount];
};
