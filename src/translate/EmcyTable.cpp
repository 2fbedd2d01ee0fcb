#include "translate/EmcyTable.h"

#include "base/TessiroError.h"
#include "project/ParseIntText.h"
#include "project/ProjectXml.h"
#include "translate/Messages.h"

#include <algorithm>
#include <optional>

const std::array<const char *, EmcyTextCount + 1> EmcyAttributes = {
    "id_dev",       "mask_eq_ec",   "mask_eq_er",   "mask_eq_m1",   "mask_eq_m2",   "mask_eq_m3",
    "enmask_eq_ec", "enmask_eq_er", "enmask_eq_m1", "enmask_eq_m2", "enmask_eq_m3", "bypass_set"};

namespace {

// "bypass_set": bit 0 the translate switch, bits 1 to 4 the alias, bit 5 the list.
constexpr qint32 TranslateBit = 0x01;
constexpr qint32 AliasMask = 0x0F;
constexpr qint32 CanBBit = 0x20;

constexpr int BypassColumn = EmcyTextCount;

struct Bypass {
    CanLine line;
    bool translate;
    qint32 alias;
};

Bypass splitBypass(qint32 v)
{
    return {(v & CanBBit) ? CanLine::B : CanLine::A, (v & TranslateBit) != 0, (v >> 1) & AliasMask};
}

} // namespace

qint32 EmcyEntry::bypassSet(CanLine line) const
{
    return alias * 2 + (translate ? TranslateBit : 0) + (line == CanLine::B ? CanBBit : 0);
}

EmcyEntry EmcyEntry::fromFields(const EmcyTexts &fields, bool translate, qint32 alias)
{
    EmcyEntry entry{fields, translate, alias};
    // The identifier stays as typed: the identifier check refuses an empty one.
    for (int t = IdDev + 1; t < EmcyTextCount; ++t)
        if (entry.texts[size_t(t)].isEmpty())
            entry.texts[size_t(t)] = QStringLiteral("0");
    return entry;
}

QStringList EmcyTable::lines(CanLine line) const
{
    QStringList out;
    for (const EmcyEntry &entry : m_entries[line])
        out << entry.texts[IdDev];
    return out;
}

void EmcyTable::clear()
{
    for (QList<EmcyEntry> &entries : m_entries.items)
        entries.clear();
}

QString EmcyTable::missingNotice() const
{
    return TranslateMessages::XmlNotFound;
}

void EmcyTable::readRow(const pugi::xml_node &row)
{
    EmcyEntry entry;
    for (int t = 0; t < EmcyTextCount; ++t) {
        entry.texts[size_t(t)] = requireAttribute(row, EmcyAttributes[size_t(t)]);
        if (entry.texts[size_t(t)].isEmpty())
            entry.texts[size_t(t)] = QStringLiteral("0");
    }
    const Bypass bypass = splitBypass(requireIntegerAttribute(row, EmcyAttributes[BypassColumn]));
    entry.translate = bypass.translate;
    entry.alias = bypass.alias;
    m_entries[bypass.line] << entry;
}

std::optional<QString> EmcyTable::identifierRefusal(CanLine line, const QString &id) const
{
    // A line that is no integer would make saving fail, so none is made.
    if (!tryParseIntText(id) || lines(line).contains(id))
        return TranslateMessages::IndexNotValid;
    return std::nullopt;
}

namespace {

struct FieldRange {
    const char *label;
    qint32 low;
    qint32 high;
};

// The field labels of the window, in the order of the fields, and the ranges they show.
const std::array<FieldRange, EmcyTextCount> FieldRanges = {{{"ID_EMCY (1..127)", 1, 127},
                                                            {"Mask_error_code (0..65535)", 0, 65535},
                                                            {"MAsk_error_Reg (0..255)", 0, 255},
                                                            {"Mask_Manu1 (0..65535)", 0, 65535},
                                                            {"Mask_Manu2 (0..65535)", 0, 65535},
                                                            {"Mask_Manu3 (0..255)", 0, 255},
                                                            {"Enabled_mask_error_code (0..65535)", 0, 65535},
                                                            {"Enabled_mask_error_Reg (0..255)", 0, 255},
                                                            {"Enabled_Mask_Manu1 (0..65535)", 0, 65535},
                                                            {"Enabled_Mask_Manu2 (0..65535)", 0, 65535},
                                                            {"Enabled_Mask_Manu3 (0..255)", 0, 255}}};

} // namespace

QString EmcyTable::fieldLabel(int t)
{
    return QString::fromLatin1(FieldRanges[size_t(t)].label);
}

std::optional<TableFault> EmcyTable::rangeFault(const EmcyEntry &entry)
{
    using namespace TranslateMessages;
    for (int t = 0; t < EmcyTextCount; ++t) {
        const FieldRange &range = FieldRanges[size_t(t)];
        const QString &text = entry.texts[size_t(t)];
        const std::optional<qint32> value = tryParseIntText(text);
        if (!value)
            return TableFault{.column = t, .message = FieldFault.arg(fieldLabel(t), invalidIntegerMessage(text))};
        if (*value < range.low || *value > range.high)
            return TableFault{.column = t,
                              .message =
                                  FieldFault.arg(fieldLabel(t), OutsideRange.arg(text).arg(range.low).arg(range.high))};
    }
    return std::nullopt;
}

std::optional<TableFault> EmcyTable::saveFault() const
{
    for (CanLine line : CanLines)
        for (int row = 0; row < m_entries[line].size(); ++row)
            if (std::optional<TableFault> fault = rangeFault(m_entries[line][row])) {
                fault->line = line;
                fault->row = row;
                fault->message =
                    TranslateMessages::EmcyEntryFault
                        .arg(line == CanLine::A ? QStringLiteral("From CAN A") : QStringLiteral("From CAN B"))
                        .arg(row + 1)
                        .arg(m_entries[line][row].texts[IdDev], fault->message);
                return fault;
            }
    return std::nullopt;
}

std::optional<QString> EmcyTable::add(CanLine line, const EmcyEntry &entry)
{
    std::optional<QString> refusal = identifierRefusal(line, entry.texts[IdDev]);
    if (!refusal)
        m_entries[line] << entry;
    return refusal;
}

std::optional<QString> EmcyTable::modify(CanLine line, int row, const EmcyEntry &entry)
{
    if (row < 0 || row >= m_entries[line].size())
        return std::nullopt;
    // Keeping its identifier, an entry is not compared with its own line.
    if (entry.texts[IdDev] != m_entries[line][row].texts[IdDev])
        if (std::optional<QString> refusal = identifierRefusal(line, entry.texts[IdDev]))
            return refusal;
    m_entries[line][row] = entry;
    return std::nullopt;
}

void EmcyTable::remove(CanLine line, int row)
{
    if (row >= 0 && row < m_entries[line].size())
        m_entries[line].removeAt(row);
}

QByteArray EmcyTable::toXml() const
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("emcydef");
    for (CanLine line : CanLines) {
        const QList<EmcyEntry> &entries = m_entries[line];
        struct Key {
            qint32 id;
            qsizetype row;
        };
        QList<Key> order;
        for (qsizetype r = 0; r < entries.size(); ++r)
            order << Key{ParseIntText(entries[r].texts[IdDev]), r};
        // Smallest identifier first; of equal ones, the one further down the list first.
        std::sort(order.begin(), order.end(),
                  [](const Key &x, const Key &y) { return x.id != y.id ? x.id < y.id : x.row > y.row; });
        for (const Key &key : order) {
            const EmcyEntry &entry = entries[key.row];
            pugi::xml_node row = root.append_child("row");
            for (int t = 0; t < EmcyTextCount; ++t)
                row.append_attribute(EmcyAttributes[size_t(t)]).set_value(entry.texts[size_t(t)].toUtf8().constData());
            row.append_attribute(EmcyAttributes[BypassColumn])
                .set_value(QByteArray::number(entry.bypassSet(line)).constData());
        }
    }
    return projectXmlBytes(doc);
}

namespace {
QStringList attributeNames()
{
    QStringList names;
    for (const char *name : EmcyAttributes)
        names << QString::fromLatin1(name);
    return names;
}
} // namespace

QList<QStringList> EmcyTable::exportLines() const
{
    // The import takes a sheet's first row as its column names: without this line a
    // spreadsheet round trip would lose the first entry.
    QList<QStringList> lines{attributeNames()};
    for (CanLine line : CanLines)
        for (const EmcyEntry &entry : m_entries[line]) {
            QStringList fields(entry.texts.begin(), entry.texts.end());
            fields << QString::number(entry.bypassSet(line));
            lines << fields;
        }
    return lines;
}

const ImportParams &EmcyTable::importParams()
{
    static const ImportParams params{.table = QStringLiteral("emcydef"),
                                     .columns = EmcyTextCount + 1,
                                     .headerField = IdDev,
                                     .headerText = QString::fromLatin1(EmcyAttributes[IdDev]),
                                     .integerColumns = {IdDev, BypassColumn},
                                     .columnNames = attributeNames()};
    return params;
}

void EmcyTable::clearForImport()
{
    clear();
}

RowTaken EmcyTable::takeRecord(const ImportRecord &record)
{
    // As in the window, an identifier that is no integer would make saving fail.
    record.integer(IdDev);
    const Bypass bypass = splitBypass(record.integer(BypassColumn));
    EmcyEntry entry;
    for (int t = 0; t < EmcyTextCount; ++t)
        entry.texts[size_t(t)] = record.field(t);
    entry.translate = bypass.translate;
    entry.alias = bypass.alias;
    m_entries[bypass.line] << entry;
    return RowTaken::Taken;
}
