#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A CANopen device's EDS or DCF (CiA 306), read for what the map editors and the
// project check need: the object dictionary's entries and the PDOs it defines.
// DCF files are read by their default values like an EDS.

// One sub-entry of the dictionary (a VAR object is its own entry at sub-index 0).
struct DeviceEdsEntry {
    quint16 index = 0;
    quint8 subIndex = 0;
    QString name;
    quint16 dataType = 0;
    int size = -1;  // in bytes; 0 for a variable-length type, -1 for a type of unknown size
    QString access; // lower-case: ro, wo, rw, rwr, rww, const
    bool hasDefault = false;
    QString defaultValue;
    int defaultLine = 0; // the line DefaultValue is on, for messages
    int line = 0;        // the line of the entry's section

    bool readable() const { return access != QLatin1String("wo"); }
    bool writable() const { return access != QLatin1String("ro") && access != QLatin1String("const"); }
};

struct DeviceEdsObject {
    quint16 index = 0;
    QString name;
    int objectType = 7;            // 7 VAR, 8 ARRAY, 9 RECORD (2 DOMAIN is read as VAR)
    QList<DeviceEdsEntry> entries; // sorted by sub-index
};

struct DeviceEds {
    QString path;
    QList<DeviceEdsObject> objects; // sorted by index

    const DeviceEdsEntry *find(quint16 index, quint8 subIndex) const;
};

// The size in bytes of a standard CANopen data type; 0 for a variable-length
// one, -1 for a type this reader does not know.
int edsDataTypeSize(quint16 dataType);

// Reads the file at path (bounded, regular files only). Throws TessiroError naming
// the file and the line that stops it.
DeviceEds readDeviceEds(const QString &path);
// The same over bytes already read; path only names the file in messages.
DeviceEds parseDeviceEds(const QByteArray &bytes, const QString &path);

// A value as CiA 306 writes it: decimal, 0x hex or octal (leading 0), optionally
// with $NODEID added ("$NODEID+0x180"). Returns false for anything else or a value
// beyond 32 bits.
bool parseEdsValue(const QString &text, quint32 nodeId, quint32 &value);

struct DevicePdo {
    bool transmit = false; // TPDO of the device (its data goes to the gateway)
    int number = 0;        // from 1
    quint32 cobId = 0;     // sub-index 1's default with $NODEID resolved, flags included
    int lengthBytes = 0;   // from the default mapping

    bool valid() const { return (cobId & 0x80000000u) == 0; }
    bool extended() const { return (cobId & 0x20000000u) != 0; }
    quint32 canId() const { return extended() ? cobId & 0x1FFFFFFFu : cobId & 0x7FFu; }
};

// The PDOs the file defines, RPDOs first, each by number. Throws TessiroError
// naming the file and line of a COB-ID or mapping value that cannot be read.
QList<DevicePdo> devicePdos(const DeviceEds &eds, quint32 nodeId);

// The command-line listings: tab-separated lines, each ending in \n.
QString edsObjectsText(const DeviceEds &eds);
QString edsPdosText(const QList<DevicePdo> &pdos);
QString edsCanIdText(quint32 canId);
