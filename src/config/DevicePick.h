#pragma once

#include "config/AccessMapModel.h"
#include "config/DeviceEds.h"
#include "config/DeviceLink.h"

#include <QList>
#include <QString>
#include <QStringList>

// One line of the picker's tree: an object or one of its sub-entries (SDO map),
// or a PDO of the device (PDO map).
struct DevicePickItem {
    int parent = -1;     // position of the object a sub-entry belongs to; -1 at the top
    QStringList columns; // what the tree shows, one text per column
    QString reason;      // not empty: it cannot be chosen, and why
    QString warning;     // not empty: it may be used, but only after the user agrees
    QStringList cells;   // the map row it fills, from the first editable column on
    QString search;      // lower-case texts that typing finds it by

    bool choosable() const { return reason.isEmpty(); }
};

// What the picker offers for one grid of one map, from the device's EDS: the
// dictionary for the SDO map, the PDOs (for a node ID) for the PDO map.
class DevicePick {
public:
    DevicePick(const AccessMapParams &params, MapDirection direction);

    bool pdoMap() const { return m_pdoMap; }
    // Reads the file; throws TessiroError naming it (and the line) and keeps what
    // was open before.
    void openEds(const QString &path);
    bool hasEds() const { return !m_eds.path.isEmpty(); }
    const QString &edsPath() const { return m_eds.path; }
    // The PDOs' COB-IDs depend on it; 0 or an ID out of range shows no PDOs.
    void setNodeId(qint32 nodeId);
    qint32 nodeId() const { return m_nodeId; }
    // The file by its absolute path: the project remembers it from any working folder.
    DeviceLink link() const;

    QStringList columnTitles() const;
    const QList<DevicePickItem> &items() const { return m_items; }
    // Why nothing is offered, when nothing is.
    const QString &problem() const { return m_problem; }

    // Per item, whether it shows for the text typed in the search field: by name
    // or by index (with or without "$" or "0x"). An object shows when it or one of
    // its sub-entries matches; a matching object shows all of its sub-entries.
    QList<bool> visible(const QString &filter) const;
    // The first item that shows and can be chosen, or -1.
    int firstChoosable(const QList<bool> &shown) const;

    // Puts item's cells into row of grid.
    static void fillRow(AccessMapModel &grid, int row, const DevicePickItem &item);

private:
    void rebuild();
    void addSdoItems();
    void addPdoItems();

    bool m_pdoMap;
    MapDirection m_direction;
    DeviceEds m_eds;
    qint32 m_nodeId = 0;
    QList<DevicePickItem> m_items;
    QString m_problem;
};

// The standard name of a CANopen data type ("UNSIGNED16"), empty for another.
QString edsDataTypeName(quint16 dataType);
