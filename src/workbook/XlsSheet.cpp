// The .xls reader: the compound-file container and the BIFF8 records of one
// worksheet, read in one pass over the file in memory. Every offset is checked
// against what the file holds; chains are walked with a step bound, so a damaged
// or crafted file ends in a message, never a crash or a loop.
#include "base/TessiroError.h"
#include "workbook/Messages.h"
#include "workbook/WorkbookFormats.h"

#include <QDir>
#include <QHash>
#include <algorithm>
#include <cstring>

namespace {

constexpr quint32 EndOfChain = 0xFFFFFFFE;
constexpr quint32 FreeSector = 0xFFFFFFFF;
constexpr quint32 NoStream = 0xFFFFFFFF;

quint16 u16(const char *p)
{
    return quint16(quint8(p[0]) | quint8(p[1]) << 8);
}

quint32 u32(const char *p)
{
    return quint32(u16(p)) | quint32(u16(p + 2)) << 16;
}

double f64(const char *p)
{
    quint64 bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | quint8(p[i]);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The compound file (OLE2) around the workbook stream.
class CompoundFile {
public:
    CompoundFile(const QByteArray &data, const QString &shown) : m_data(data), m_shown(shown)
    {
        if (data.size() < 512)
            throw damaged(QStringLiteral("it is shorter than a compound document's header"));
        const char *h = data.constData();
        const quint16 sectorShift = u16(h + 0x1E);
        const quint16 miniShift = u16(h + 0x20);
        if ((sectorShift != 9 && sectorShift != 12) || miniShift != 6)
            throw damaged(QStringLiteral("its compound-document header states sectors of an unknown size"));
        m_sectorSize = 1u << sectorShift;
        // A last sector cut short still holds stream data; the FAT, DIFAT and
        // directory are read from whole sectors only.
        m_sectorCount = quint32((quint64(data.size()) + m_sectorSize - 1) / m_sectorSize - 1);
        m_wholeSectors = quint32(quint64(data.size()) / m_sectorSize - 1);
        m_miniCutoff = u32(h + 0x38);

        // The FAT's sectors: 109 in the header, the rest in the DIFAT chain.
        const quint32 fatSectors = u32(h + 0x2C);
        if (fatSectors > m_wholeSectors)
            throw damaged(QStringLiteral("its compound-document header states %1 FAT sectors").arg(fatSectors));
        QList<quint32> fatIds;
        fatIds.reserve(fatSectors);
        for (int i = 0; i < 109 && quint32(fatIds.size()) < fatSectors; ++i)
            fatIds << u32(h + 0x4C + 4 * i);
        quint32 difat = u32(h + 0x44);
        const quint32 perDifat = m_sectorSize / 4 - 1;
        for (quint32 steps = 0; quint32(fatIds.size()) < fatSectors; ++steps) {
            if (difat >= m_wholeSectors || steps > m_sectorCount)
                throw damagedAt(difat);
            const char *s = sector(difat);
            for (quint32 i = 0; i < perDifat && quint32(fatIds.size()) < fatSectors; ++i)
                fatIds << u32(s + 4 * i);
            difat = u32(s + 4 * perDifat);
        }
        m_fat.reserve(qsizetype(fatSectors) * (m_sectorSize / 4));
        for (const quint32 id : fatIds) {
            if (id >= m_wholeSectors)
                throw damagedAt(id);
            const char *s = sector(id);
            for (quint32 i = 0; i < m_sectorSize / 4; ++i)
                m_fat << u32(s + 4 * i);
        }

        const QByteArray directory = chain(u32(h + 0x30), m_fat, m_sectorSize, nullptr, 0);
        for (qsizetype at = 0; at + 128 <= directory.size(); at += 128) {
            const char *e = directory.constData() + at;
            Entry entry;
            const int nameBytes = std::min<int>(u16(e + 0x40), 64);
            for (int i = 0; i + 1 < nameBytes; i += 2)
                if (const quint16 c = u16(e + i))
                    entry.name += QChar(c);
            entry.type = quint8(e[0x42]);
            entry.start = u32(e + 0x74);
            entry.size = u32(e + 0x78);
            m_entries << entry;
        }
        if (m_entries.isEmpty() || m_entries[0].type != 5)
            throw damaged(QStringLiteral("its compound-document directory has no root entry"));
        m_miniFatStart = u32(h + 0x3C);
    }

    // The stream named name (any case), or a null array when there is none.
    QByteArray stream(const QString &name)
    {
        for (const Entry &e : std::as_const(m_entries)) {
            if (e.type != 2 || e.name.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            if (e.size >= m_miniCutoff)
                return chain(e.start, m_fat, m_sectorSize, nullptr, e.size);
            if (m_miniStream.isNull()) {
                const QByteArray miniFatBytes = chain(m_miniFatStart, m_fat, m_sectorSize, nullptr, 0);
                for (qsizetype i = 0; i + 4 <= miniFatBytes.size(); i += 4)
                    m_miniFat << u32(miniFatBytes.constData() + i);
                m_miniStream = chain(m_entries[0].start, m_fat, m_sectorSize, nullptr, m_entries[0].size);
            }
            return chain(e.start, m_miniFat, 64, &m_miniStream, e.size);
        }
        return {};
    }

    TessiroError damaged(const QString &problem) const
    {
        return TessiroError(WorkbookMessages::WorkbookDamaged.arg(m_shown, problem));
    }

private:
    struct Entry {
        QString name;
        quint8 type = 0;
        quint32 start = 0;
        quint32 size = 0;
    };

    TessiroError damagedAt(quint32 sector) const
    {
        return damaged(QStringLiteral("its compound-document structure is damaged at sector %1").arg(sector));
    }

    const char *sector(quint32 id) const { return m_data.constData() + qsizetype(id + 1) * m_sectorSize; }

    // The sectors of a chain in order; size 0: the whole chain. A chain longer
    // than the sectors there are loops.
    QByteArray chain(quint32 start, const QList<quint32> &fat, quint32 unit, const QByteArray *mini, quint32 size) const
    {
        const quint64 units = mini ? quint64(mini->size()) / unit : m_sectorCount;
        // Writers lay a stream's sectors one after the other: such a stream is
        // read where it lies, not copied.
        if (!mini && size && (quint64(start) + 1) * unit + size <= quint64(m_data.size())) {
            quint64 have = 0;
            for (quint32 id = start; have < size; ++id) {
                if (id >= units || id >= quint32(fat.size()))
                    break;
                have += unit;
                if (have < size && fat[id] != id + 1)
                    break;
            }
            if (have >= size)
                return QByteArray::fromRawData(sector(start), qsizetype(size));
        }
        QByteArray out;
        if (size)
            out.reserve(qsizetype(std::min<quint64>(size, units * unit)));
        quint32 id = start;
        for (quint64 steps = 0; id != EndOfChain; ++steps) {
            if (size && quint64(out.size()) >= size)
                break;
            if (id >= units || id >= quint32(fat.size()) || steps >= units)
                throw damagedAt(id);
            const qsizetype available =
                mini ? qsizetype(unit) : std::min<qsizetype>(unit, m_data.size() - qsizetype(id + 1) * unit);
            out.append(mini ? mini->constData() + qsizetype(id) * unit : sector(id), available);
            id = fat[id];
            if (id == FreeSector)
                break;
        }
        if (size) {
            if (quint64(out.size()) < size)
                throw damaged(
                    QStringLiteral("its compound-document structure ends a stream early at sector %1").arg(id));
            out.truncate(qsizetype(size));
        }
        return out;
    }

    const QByteArray &m_data;
    QString m_shown;
    quint32 m_sectorSize = 512;
    quint32 m_sectorCount = 0;
    quint32 m_wholeSectors = 0;
    quint32 m_miniCutoff = 4096;
    quint32 m_miniFatStart = EndOfChain;
    QList<quint32> m_fat;
    QList<quint32> m_miniFat;
    QByteArray m_miniStream;
    QList<Entry> m_entries;
};

enum Record : quint16 {
    Formula = 0x0006,
    Eof = 0x000A,
    DateMode = 0x0022,
    FilePass = 0x002F,
    Continue = 0x003C,
    BoundSheet = 0x0085,
    MulRk = 0x00BD,
    RString = 0x00D6,
    Xf = 0x00E0,
    Sst = 0x00FC,
    LabelSst = 0x00FD,
    Dimensions = 0x0200,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Rk = 0x027E,
    Format = 0x041E,
    Bof = 0x0809,
};

QString errorText(quint8 code)
{
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    default:
        return QStringLiteral("#ERROR!");
    }
}

double rkValue(quint32 rk)
{
    double value;
    if (rk & 2) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return rk & 1 ? value / 100 : value;
}

// The BIFF8 record stream of the workbook.
class Biff {
public:
    Biff(const QByteArray &stream, const QString &shown) : m_s(stream), m_shown(shown) {}

    struct Rec {
        quint16 type = 0;
        qsizetype offset = 0; // of the data
        qsizetype size = 0;
    };
    // The record at pos, or false at the stream's end; a record running past the
    // end is damage.
    bool at(qsizetype pos, Rec *r) const
    {
        if (pos + 4 > m_s.size())
            return false;
        r->type = u16(m_s.constData() + pos);
        r->size = u16(m_s.constData() + pos + 2);
        r->offset = pos + 4;
        if (r->offset + r->size > m_s.size())
            throw damaged(QStringLiteral("its record at byte %1 runs past the workbook stream's end").arg(pos));
        return true;
    }
    const char *data(const Rec &r) const { return m_s.constData() + r.offset; }

    // A record's data and those of the CONTINUE records after it, read as one:
    // the characters of a text that crosses into a CONTINUE record resume there
    // after a byte of flags that says how they are stored.
    class Reader {
    public:
        Reader(const Biff &biff, qsizetype pos) : m_biff(biff)
        {
            Rec r;
            biff.at(pos, &r);
            m_segments << r;
            for (qsizetype next = r.offset + r.size; biff.at(next, &r) && r.type == Continue; next = r.offset + r.size)
                m_segments << r;
        }
        qsizetype nextRecord() const
        {
            const Rec &last = m_segments.last();
            return last.offset + last.size;
        }
        bool atEnd()
        {
            while (m_pos == m_segments[m_segment].size && m_segment + 1 < m_segments.size()) {
                ++m_segment;
                m_pos = 0;
            }
            return m_pos == m_segments[m_segment].size;
        }
        quint8 byte()
        {
            if (atEnd())
                throw m_biff.damaged(QStringLiteral("a text runs past the end of its records"));
            return quint8(m_biff.data(m_segments[m_segment])[m_pos++]);
        }
        quint16 word() { return quint16(byte() | byte() << 8); }
        quint32 dword() { return quint32(word()) | quint32(word()) << 16; }
        void skip(quint64 n)
        {
            while (n > 0) {
                if (atEnd())
                    throw m_biff.damaged(QStringLiteral("a text runs past the end of its records"));
                const qsizetype step = qsizetype(std::min<quint64>(n, quint64(m_segments[m_segment].size - m_pos)));
                m_pos += step;
                n -= quint64(step);
            }
        }
        // An XLUnicodeString's characters after its count: flags, then runs and
        // phonetic sizes, the characters, then the runs and phonetic data.
        QString text(quint32 count)
        {
            const quint8 flags = byte();
            quint32 runs = 0, phonetic = 0;
            if (flags & 0x08)
                runs = word();
            if (flags & 0x04)
                phonetic = dword();
            bool wide = flags & 0x01;
            QString out;
            // Most texts lie whole in the record: made in one step.
            if (const qsizetype room = m_segments[m_segment].size - m_pos;
                count > 0 && qsizetype(count) * (wide ? 2 : 1) <= room) {
                const char *p = m_biff.data(m_segments[m_segment]) + m_pos;
                if (wide) {
                    out = QString(qsizetype(count), Qt::Uninitialized);
                    QChar *d = out.data();
                    for (quint32 i = 0; i < count; ++i)
                        d[i] = QChar(u16(p + 2 * i));
                } else {
                    out = QString::fromLatin1(p, qsizetype(count));
                }
                m_pos += qsizetype(count) * (wide ? 2 : 1);
                skip(quint64(runs) * 4 + phonetic);
                return out;
            }
            out.reserve(qsizetype(std::min<quint32>(count, 32767)));
            for (quint32 left = count; left > 0;) {
                if (m_pos == m_segments[m_segment].size) {
                    if (m_segment + 1 == m_segments.size())
                        throw m_biff.damaged(QStringLiteral("a text runs past the end of its records"));
                    ++m_segment;
                    m_pos = 0;
                    wide = byte() & 0x01;
                    continue;
                }
                const Rec &seg = m_segments[m_segment];
                const char *p = m_biff.data(seg) + m_pos;
                const qsizetype room = seg.size - m_pos;
                if (wide) {
                    const quint32 n = std::min<quint32>(left, quint32(room / 2));
                    if (n == 0)
                        throw m_biff.damaged(QStringLiteral("a text is split inside a character"));
                    for (quint32 i = 0; i < n; ++i)
                        out += QChar(u16(p + 2 * i));
                    m_pos += 2 * qsizetype(n);
                    left -= n;
                } else {
                    const quint32 n = std::min<quint32>(left, quint32(room));
                    out += QLatin1String(p, qsizetype(n));
                    m_pos += n;
                    left -= n;
                }
            }
            skip(quint64(runs) * 4 + phonetic);
            return out;
        }

    private:
        const Biff &m_biff;
        QList<Rec> m_segments;
        int m_segment = 0;
        qsizetype m_pos = 0;
    };

    TessiroError damaged(const QString &problem) const
    {
        return TessiroError(WorkbookMessages::WorkbookDamaged.arg(m_shown, problem));
    }

private:
    const QByteArray &m_s;
    QString m_shown;
};

} // namespace

Worksheet readXlsWorksheet(const QString &path, const QByteArray &data, const QString &table)
{
    const QString shown = QDir::toNativeSeparators(path);
    CompoundFile file(data, shown);
    QByteArray stream = file.stream(QStringLiteral("Workbook"));
    if (stream.isNull()) {
        if (!file.stream(QStringLiteral("Book")).isNull())
            throw file.damaged(QStringLiteral("it is an Excel 5.0/95 workbook; save it in a newer format "
                                              "(Excel 97-2003 .xls, .xlsx or .ods)"));
        throw file.damaged(QStringLiteral("it holds no workbook stream"));
    }
    const Biff biff(stream, shown);

    Biff::Rec r;
    if (!biff.at(0, &r) || r.type != Bof || r.size < 4)
        throw biff.damaged(QStringLiteral("its workbook stream does not begin with a BOF record"));
    if (u16(biff.data(r)) != 0x0600)
        throw biff.damaged(QStringLiteral("it is an Excel 5.0/95 workbook; save it in a newer format "
                                          "(Excel 97-2003 .xls, .xlsx or .ods)"));

    // The globals: sheet names, shared strings, number formats.
    QStringList shared;
    QHash<quint16, QString> formats;
    QList<quint16> xfFormats;
    bool date1904 = false;
    QString name;
    qint64 sheetAt = -1;
    qsizetype pos = r.offset + r.size;
    while (biff.at(pos, &r) && r.type != Eof) {
        const char *d = biff.data(r);
        qsizetype next = r.offset + r.size;
        switch (r.type) {
        case FilePass:
            throw biff.damaged(QStringLiteral("it is protected by a password"));
        case DateMode:
            if (r.size >= 2)
                date1904 = u16(d) == 1;
            break;
        case Xf:
            if (r.size >= 4)
                xfFormats << u16(d + 2);
            break;
        case Format: {
            if (r.size < 5)
                throw biff.damaged(QStringLiteral("its number format at byte %1 is damaged").arg(pos));
            Biff::Reader in(biff, pos);
            in.skip(2);
            const quint16 id = u16(d);
            const quint16 count = in.word();
            formats.insert(id, in.text(count));
            next = in.nextRecord();
            break;
        }
        case BoundSheet: {
            if (r.size < 8)
                throw biff.damaged(QStringLiteral("its sheet list is damaged at byte %1").arg(pos));
            Biff::Reader in(biff, pos);
            in.skip(6);
            const QString sheetName = in.text(in.byte());
            if (name.isEmpty() && quint8(d[5]) == 0 && sheetName.toLower() == table) {
                name = sheetName;
                sheetAt = u32(d);
            }
            next = in.nextRecord();
            break;
        }
        case Sst: {
            Biff::Reader in(biff, pos);
            in.skip(4);
            const quint32 unique = in.dword();
            // Each string takes three bytes at least: a count never met is damage.
            shared.reserve(qsizetype(std::min<quint64>(unique, quint64(stream.size()) / 3)));
            for (quint32 i = 0; i < unique && !in.atEnd(); ++i) {
                const quint16 count = in.word();
                shared << in.text(count);
            }
            next = in.nextRecord();
            break;
        }
        default:
            break;
        }
        pos = next;
    }
    if (name.isEmpty())
        throw TessiroError(WorkbookMessages::SheetMissing.arg(shown, table));

    auto sheetDamaged = [&](const QString &problem) {
        return TessiroError(WorkbookMessages::SheetDamaged.arg(shown, name, problem));
    };
    if (!biff.at(sheetAt, &r) || r.type != Bof)
        throw sheetDamaged(QStringLiteral("its records do not begin where the sheet list says (byte %1)").arg(sheetAt));

    // Each cell names its format by XF: classified once for each XF, not each cell.
    QList<NumberFormat> xfKinds;
    xfKinds.reserve(xfFormats.size());
    for (const quint16 id : std::as_const(xfFormats))
        xfKinds << classifyNumberFormat(id, formats.value(id));
    auto formatOf = [&](quint16 xf) { return xf < xfKinds.size() ? xfKinds[xf] : NumberFormat::General; };

    SheetCells cells;
    cells.setDate1904(date1904);
    auto place = [&](SheetCells::Placed placed, int row) {
        if (const QString problem = cells.placeProblem(placed, row); !problem.isNull())
            throw sheetDamaged(problem);
    };
    auto tooShort = [&](qsizetype at) {
        return sheetDamaged(QStringLiteral("its record at byte %1 is too short").arg(at));
    };

    // A formula whose result is text: the STRING record that follows gives it.
    int pendingRow = -1, pendingColumn = -1;
    int depth = 0;
    for (pos = sheetAt; biff.at(pos, &r);) {
        const char *d = biff.data(r);
        qsizetype next = r.offset + r.size;
        if (r.type == Bof) {
            ++depth;
        } else if (r.type == Eof) {
            if (--depth == 0)
                break;
        } else if (depth == 1) {
            const int row = r.size >= 4 ? u16(d) : 0;
            const int column = r.size >= 4 ? u16(d + 2) : 0;
            switch (r.type) {
            case Dimensions:
                // Room for the rows the sheet states; a row with a value takes a
                // record of 10 bytes at least, so no more rows than that. Its
                // columns are no hint: rows take the width of the rows above them.
                if (r.size >= 12)
                    cells.reserve(int(std::min<quint64>(u32(d + 4), quint64(stream.size()) / 10)), 0);
                break;
            case LabelSst: {
                if (r.size < 10)
                    throw tooShort(pos);
                const quint32 index = u32(d + 6);
                if (index >= quint32(shared.size()))
                    throw sheetDamaged(QStringLiteral("cell %1%2 names a missing shared string")
                                           .arg(columnLetters(column))
                                           .arg(row + 1));
                place(cells.set(row, column, shared[index]), row);
                break;
            }
            case Label:
            case RString: {
                if (r.size < 9)
                    throw tooShort(pos);
                Biff::Reader in(biff, pos);
                in.skip(6);
                const quint16 count = in.word();
                place(cells.set(row, column, in.text(count)), row);
                next = in.nextRecord();
                break;
            }
            case Number:
                if (r.size < 14)
                    throw tooShort(pos);
                place(cells.setNumber(row, column, f64(d + 6), formatOf(u16(d + 4))), row);
                break;
            case Rk:
                if (r.size < 10)
                    throw tooShort(pos);
                place(cells.setNumber(row, column, rkValue(u32(d + 6)), formatOf(u16(d + 4))), row);
                break;
            case MulRk: {
                if (r.size < 6)
                    throw tooShort(pos);
                const qsizetype count = (r.size - 6) / 6;
                for (qsizetype i = 0; i < count; ++i) {
                    const char *cell = d + 4 + 6 * i;
                    place(cells.setNumber(row, column + int(i), rkValue(u32(cell + 2)), formatOf(u16(cell))), row);
                }
                break;
            }
            case BoolErr:
                if (r.size < 8)
                    throw tooShort(pos);
                if (d[7])
                    place(cells.set(row, column, errorText(quint8(d[6])), {CellKind::Error}), row);
                else
                    place(cells.set(row, column, d[6] ? QStringLiteral("TRUE") : QStringLiteral("FALSE"),
                                    {CellKind::Boolean, NumberFormat::General, d[6] ? 1.0 : 0.0}),
                          row);
                break;
            case Formula: {
                if (r.size < 20)
                    throw tooShort(pos);
                const char *result = d + 6;
                if (u16(result + 6) != 0xFFFF) {
                    place(cells.setNumber(row, column, f64(result), formatOf(u16(d + 4))), row);
                } else if (result[0] == 0) {
                    pendingRow = row;
                    pendingColumn = column;
                } else if (result[0] == 1) {
                    place(cells.set(row, column, result[2] ? QStringLiteral("TRUE") : QStringLiteral("FALSE"),
                                    {CellKind::Boolean, NumberFormat::General, result[2] ? 1.0 : 0.0}),
                          row);
                } else if (result[0] == 2) {
                    place(cells.set(row, column, errorText(quint8(result[2])), {CellKind::Error}), row);
                }
                break;
            }
            case String: {
                if (pendingRow < 0)
                    break;
                if (r.size < 3)
                    throw tooShort(pos);
                Biff::Reader in(biff, pos);
                const quint16 count = in.word();
                place(cells.set(pendingRow, pendingColumn, in.text(count)), pendingRow);
                pendingRow = -1;
                next = in.nextRecord();
                break;
            }
            default:
                break;
            }
        }
        pos = next;
    }
    return cells.finish(path, name, false);
}
