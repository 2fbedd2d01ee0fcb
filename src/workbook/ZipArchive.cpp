#include "workbook/ZipArchive.h"

#include <QStringList>
#define ZLIB_CONST
#include <zlib.h>

namespace {

constexpr quint32 LocalHeaderSignature = 0x04034b50;
constexpr quint32 CentralHeaderSignature = 0x02014b50;
constexpr quint32 EndSignature = 0x06054b50;
constexpr quint32 Zip64LocatorSignature = 0x07064b50;
constexpr qsizetype LocalHeaderSize = 30;
constexpr qsizetype CentralHeaderSize = 46;
constexpr qsizetype EndSize = 22;
constexpr qsizetype Zip64LocatorSize = 20;
constexpr quint16 EncryptedFlag = 0x0001;
constexpr quint16 Utf8NameFlag = 0x0800;
constexpr quint16 Stored = 0;
constexpr quint16 Deflated = 8;

quint16 le16(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint16(u[0] | u[1] << 8);
}

quint32 le32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

QString folded(const QString &name)
{
    return name.toCaseFolded();
}

// The end-of-central-directory record: the last signature whose comment ends
// exactly at the end of the file, searched over the longest comment possible;
// failing that, as unzip tools do, the last signature with bytes after it.
qsizetype findEnd(const QByteArray &data)
{
    const qsizetype lowest = qMax<qsizetype>(0, data.size() - EndSize - 0xFFFF);
    qsizetype loose = -1;
    for (qsizetype at = data.size() - EndSize; at >= lowest; --at) {
        const char *p = data.constData() + at;
        if (le32(p) != EndSignature)
            continue;
        if (at + EndSize + le16(p + 20) == data.size())
            return at;
        if (loose < 0)
            loose = at;
    }
    return loose;
}

} // namespace

ZipArchive::ZipArchive(QByteArray data, Limits limits) : m_data(std::move(data)), m_limits(limits)
{
    const qsizetype end = findEnd(m_data);
    if (end < 0)
        throw ZipError(QStringLiteral("it is not a valid zip file"));
    const char *e = m_data.constData() + end;
    const quint16 count = le16(e + 10);
    const quint32 directorySize = le32(e + 12);
    const quint32 directoryOffset = le32(e + 16);
    if ((end >= Zip64LocatorSize && le32(e - Zip64LocatorSize) == Zip64LocatorSignature) || count == 0xFFFF ||
        directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF)
        throw ZipError(QStringLiteral("it uses the zip64 extensions, which this program does not read"));
    if (le16(e + 4) != 0 || le16(e + 6) != 0 || le16(e + 8) != count)
        throw ZipError(QStringLiteral("it is one part of a zip file split over several files"));
    if (count > m_limits.maxMembers)
        throw ZipError(
            QStringLiteral("it has %1 members, more than the %2 allowed").arg(count).arg(m_limits.maxMembers));
    if (qint64(directoryOffset) + directorySize > end)
        throw ZipError(QStringLiteral("its central directory lies outside the file"));

    m_members.reserve(count);
    qsizetype at = directoryOffset;
    const qsizetype directoryEnd = qsizetype(directoryOffset) + qsizetype(directorySize);
    for (quint16 i = 0; i < count; ++i) {
        if (at + CentralHeaderSize > directoryEnd || le32(m_data.constData() + at) != CentralHeaderSignature)
            throw ZipError(QStringLiteral("its central directory is damaged at entry %1").arg(i + 1));
        const char *h = m_data.constData() + at;
        const quint16 nameLength = le16(h + 28);
        const qsizetype next = at + CentralHeaderSize + nameLength + le16(h + 30) + le16(h + 32);
        if (next > directoryEnd)
            throw ZipError(QStringLiteral("its central directory is damaged at entry %1").arg(i + 1));
        const QByteArray rawName(h + CentralHeaderSize, nameLength);
        Member m{.name = (le16(h + 8) & Utf8NameFlag) ? QString::fromUtf8(rawName) : QString::fromLatin1(rawName),
                 .flags = le16(h + 8),
                 .method = le16(h + 10),
                 .crc = le32(h + 16),
                 .packedSize = le32(h + 20),
                 .size = le32(h + 24),
                 .localOffset = le32(h + 42)};
        if (m.packedSize == 0xFFFFFFFF || m.size == 0xFFFFFFFF || m.localOffset == 0xFFFFFFFF)
            throw ZipError(QStringLiteral("it uses the zip64 extensions, which this program does not read"));
        m_members.append(std::move(m));
        at = next;
    }
    // The first of two same names wins.
    for (qsizetype i = m_members.size() - 1; i >= 0; --i)
        m_byName.insert(folded(m_members[i].name), i);
}

bool ZipArchive::contains(const QString &name) const
{
    return m_byName.contains(folded(name));
}

QStringList ZipArchive::names() const
{
    QStringList out;
    for (const Member &m : m_members)
        out.append(m.name);
    return out;
}

const ZipArchive::Member &ZipArchive::member(const QString &name) const
{
    const auto it = m_byName.constFind(folded(name));
    if (it == m_byName.cend())
        throw ZipError(QStringLiteral("its part %1 is missing").arg(name));
    return m_members[*it];
}

QByteArray ZipArchive::read(const QString &name) const
{
    const Member &m = member(name);
    if (m.flags & EncryptedFlag)
        throw ZipError(QStringLiteral("its part %1 is encrypted").arg(m.name));
    if (m.method != Stored && m.method != Deflated)
        throw ZipError(QStringLiteral("its part %1 is packed by method %2, which this program does not read")
                           .arg(m.name)
                           .arg(m.method));
    if (m.size > m_limits.maxMemberBytes)
        throw ZipError(
            QStringLiteral("its part %1 unpacks to more than %2 MiB").arg(m.name).arg(m_limits.maxMemberBytes >> 20));

    const qint64 local = m.localOffset;
    if (local + LocalHeaderSize > m_data.size() || le32(m_data.constData() + local) != LocalHeaderSignature)
        throw ZipError(QStringLiteral("its part %1 has no local header").arg(m.name));
    const char *h = m_data.constData() + local;
    const qint64 start = local + LocalHeaderSize + le16(h + 26) + le16(h + 28);
    if (start + m.packedSize > m_data.size())
        throw ZipError(QStringLiteral("its part %1 is cut short").arg(m.name));
    const char *packed = m_data.constData() + start;

    QByteArray bytes;
    if (m.method == Stored) {
        if (m.packedSize != m.size)
            throw ZipError(QStringLiteral("its part %1 is stored with two different sizes").arg(m.name));
        bytes = QByteArray(packed, qsizetype(m.size));
    } else {
        bytes = inflated(m, packed);
    }
    if (crc32(0, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())) != m.crc)
        throw ZipError(QStringLiteral("its part %1 does not match its checksum").arg(m.name));
    return bytes;
}

// Unpacks into room for one byte more than the stated size: a stream that
// fills it, or ends short of the stated size, is damaged (or a bomb whose
// directory understates its size).
QByteArray ZipArchive::inflated(const Member &m, const char *packed) const
{
    QByteArray bytes(qsizetype(m.size) + 1, Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        throw ZipError(QStringLiteral("its part %1 cannot be unpacked").arg(m.name));
    stream.next_in = reinterpret_cast<const Bytef *>(packed);
    stream.avail_in = m.packedSize;
    stream.next_out = reinterpret_cast<Bytef *>(bytes.data());
    stream.avail_out = m.size + 1;
    const int status = inflate(&stream, Z_FINISH);
    const uLong produced = stream.total_out;
    inflateEnd(&stream);
    if (produced > m.size)
        throw ZipError(QStringLiteral("its part %1 unpacks to more than its stated %2 bytes").arg(m.name).arg(m.size));
    if (status == Z_DATA_ERROR)
        throw ZipError(QStringLiteral("its part %1 is not a valid deflate stream").arg(m.name));
    if (status != Z_STREAM_END)
        throw ZipError(QStringLiteral("its part %1 is cut short").arg(m.name));
    if (produced != m.size)
        throw ZipError(
            QStringLiteral("its part %1 unpacks to %2 bytes, not the %3 stated").arg(m.name).arg(produced).arg(m.size));
    bytes.truncate(qsizetype(m.size));
    return bytes;
}
