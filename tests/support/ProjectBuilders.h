#pragma once

#include <QByteArray>

// Small project files for tests: rows of the SDO and PDO maps and the documents around them.

inline QByteArray sdoRow(const char *index, const char *nbyte, const char *sub = "0")
{
    return QByteArray("<row IdDev=\"1\" Index=\"") + index + "\" SubIndex=\"" + sub + "\" NByte=\"" + nbyte +
           "\" Mnemonic=\"\"/>";
}

inline QByteArray pdoRow(const char *cobId, const char *dimension)
{
    return QByteArray("<row Cob_Id=\"") + cobId + "\" Dimension=\"" + dimension + "\" Mnemonic=\"\"/>";
}

inline QByteArray repeatRow(const QByteArray &row, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += row;
    return out;
}

inline QByteArray sdoFile(const QByteArray &in, const QByteArray &out)
{
    return "<CanOpen_to_DeviceNet><ByteIN>" + in + "</ByteIN><ByteOUT>" + out + "</ByteOUT></CanOpen_to_DeviceNet>";
}

inline QByteArray pdoFile(const QByteArray &in, const QByteArray &out)
{
    return "<CanOpen_PDO_to_DeviceNet><ByteIN_TPDO>" + in + "</ByteIN_TPDO><ByteOUT_RPDO>" + out +
           "</ByteOUT_RPDO></CanOpen_PDO_to_DeviceNet>";
}
