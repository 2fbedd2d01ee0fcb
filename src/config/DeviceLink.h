#pragma once

#include "base/Loaded.h"

#include <QByteArray>
#include <QString>

// The CANopen device the project's maps talk to, as the map editors last used it:
// its EDS (or DCF) file and its node ID. Kept in the project's device.xml:
// <Device><Eds>path</Eds><NodeId>5</NodeId></Device>.
struct DeviceLink {
    QString EdsPath;
    qint32 NodeId = 0; // 0 while nobody has given it

    bool operator==(const DeviceLink &) const = default;
};

QString deviceLinkPath(const QString &projectDir);

// A missing file gives an empty link. A problem names the file and what is wrong;
// what was read before it is kept.
Loaded<DeviceLink> loadDeviceLink(const QString &path);
QByteArray deviceLinkXml(const DeviceLink &link);
// Replaces the file in one step; throws TessiroError when it cannot be written.
void saveDeviceLink(const QString &path, const DeviceLink &link);

// A CANopen node ID is 1 to 127.
bool validNodeId(qint32 nodeId);
