#pragma once

// Makes small zip files for tests and fuzz harnesses: each member stored or
// deflated, with the fields the format needs and nothing else. Tests that want
// a damaged zip change its bytes at the offsets this layout gives.
#include <QByteArray>
#include <QList>
#include <cstdlib>
#define ZLIB_CONST
#include <zlib.h>

struct ZipMember {
    QByteArray name;
    QByteArray bytes;
    bool deflate = true;
};

namespace zipwriter {

inline void put16(QByteArray &out, unsigned v)
{
    out.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF));
}

inline void put32(QByteArray &out, quint32 v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

inline QByteArray deflated(const QByteArray &bytes)
{
    z_stream s{};
    if (deflateInit2(&s, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        std::abort();
    QByteArray out(qsizetype(deflateBound(&s, uLong(bytes.size()))), Qt::Uninitialized);
    s.next_in = reinterpret_cast<const Bytef *>(bytes.constData());
    s.avail_in = uInt(bytes.size());
    s.next_out = reinterpret_cast<Bytef *>(out.data());
    s.avail_out = uInt(out.size());
    if (deflate(&s, Z_FINISH) != Z_STREAM_END)
        std::abort();
    out.truncate(qsizetype(s.total_out));
    deflateEnd(&s);
    return out;
}

} // namespace zipwriter

// Local headers and data in order, then the central directory and its end
// record (no comment). The first member's local header is at offset 0.
inline QByteArray makeZip(const QList<ZipMember> &members)
{
    using namespace zipwriter;
    QByteArray out;
    QByteArray directory;
    for (const ZipMember &m : members) {
        const QByteArray packed = m.deflate ? deflated(m.bytes) : m.bytes;
        const quint32 crc =
            quint32(crc32(0, reinterpret_cast<const Bytef *>(m.bytes.constData()), uInt(m.bytes.size())));
        const auto offset = quint32(out.size());
        QByteArray common;
        put16(common, 20);                // version needed
        put16(common, 0);                 // flags
        put16(common, m.deflate ? 8 : 0); // method
        put32(common, 0);                 // time, date
        put32(common, crc);
        put32(common, quint32(packed.size()));
        put32(common, quint32(m.bytes.size()));
        put16(common, unsigned(m.name.size()));
        put16(common, 0); // extra
        put32(out, 0x04034b50);
        out += common + m.name + packed;
        put32(directory, 0x02014b50);
        put16(directory, 20); // made by
        directory += common;
        put16(directory, 0); // comment
        put16(directory, 0); // disk
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, offset);
        directory += m.name;
    }
    const auto directoryOffset = quint32(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, unsigned(members.size()));
    put16(out, unsigned(members.size()));
    put32(out, quint32(directory.size()));
    put32(out, directoryOffset);
    put16(out, 0);
    return out;
}
