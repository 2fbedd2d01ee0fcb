#pragma once

// Small S-record and project fixtures, written independently of the code under test.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <functional>

namespace fixtures {

// One record line "S<type>..." with its CR LF; the checksum computed here.
inline QByteArray record(char type, quint32 address, const QByteArray &data)
{
    const int addressBytes = type == '1' ? 2 : type == '2' ? 3 : 4;
    QByteArray body;
    body.append(char(addressBytes + data.size() + 1));
    for (int i = addressBytes - 1; i >= 0; --i)
        body.append(char((address >> (8 * i)) & 0xFF));
    body += data;
    unsigned sum = 0;
    for (char c : body)
        sum += uchar(c);
    body.append(char(~sum & 0xFF));
    return QByteArray("S") + type + body.toHex().toUpper() + "\r\n";
}

// S2 records of 32 bytes covering [from, to), each byte given by fill(address).
inline QByteArray s2Run(quint32 from, quint32 to, const std::function<char(quint32)> &fill)
{
    QByteArray out;
    for (quint32 a = from; a < to; a += 32) {
        QByteArray data;
        for (quint32 i = 0; i < 32; ++i)
            data.append(fill(a + i));
        out += record('2', a, data);
    }
    return out;
}

inline char oldByte(quint32 address)
{
    return char(0xAA ^ (address & 0xFF));
}

// A bank's contents that differ from bank to bank and from byte to byte.
inline QByteArray bankBytes(int bank)
{
    QByteArray bytes(16384, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7 + bank * 31 + (i >> 8)) & 0xFF);
    return bytes;
}

inline const QByteArray Header = "S00600004844521B\r\n";
inline const QByteArray EndS9 = "S9030000FC\r\n";

} // namespace fixtures
