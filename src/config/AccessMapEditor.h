#pragma once

#include "config/AccessMap.h"
#include "config/DeviceLink.h"

#include <QDialog>
#include <optional>

struct AppContext;
class QLabel;
class QPushButton;
class QTabWidget;
class SpreadsheetGrid;

// The window of an access map (SDO or PDO, by its params): two tabs of grids, the
// used-byte counter of the active direction, OK and Cancel.
class AccessMapEditor : public QDialog {
    Q_OBJECT
public:
    AccessMapEditor(const AccessMapParams &params, AppContext &context, QWidget *parent = nullptr);

    AccessMap &map() { return m_map; }
    SpreadsheetGrid *grid(MapDirection direction) const { return direction == MapDirection::In ? m_gridIn : m_gridOut; }

    // Totals per direction, counting the cell being typed in.
    AccessMap::ByteCounts CountMapBytes() const;
    void ShowUsedBytes();
    // The checks of OK; shows the first failing one's message.
    bool ValidateMap();
    // "Pick from EDS…": fills the current row of the active grid from the device's EDS.
    void pickFromEds();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void BitBtn1Click();

private:
    void FormShow();
    SpreadsheetGrid *makeGrid(MapDirection direction, const char *name);
    MapDirection activeDirection() const;

    const AccessMapParams &m_params;
    AppContext &m_ctx;
    AccessMap m_map;
    QTabWidget *m_tabs;
    SpreadsheetGrid *m_gridIn;
    SpreadsheetGrid *m_gridOut;
    QLabel *m_usedBytes;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QPushButton *m_pick;
    // The device the picker last used; written with the map on OK.
    DeviceLink m_link;
    bool m_linkChanged = false;
    // The cell being typed in and what it holds now.
    std::optional<MapCellEdit> m_edit;
    bool m_sized = false;
};
