#include "translate/SdoTranslation.h"

#include "base/TessiroError.h"
#include "project/ParseIntText.h"
#include "project/ProjectXml.h"
#include "translate/Messages.h"

namespace {

// "conf": bit 0 the grid (set for sgb), bit 4 the read/write flag.
constexpr qint32 GridBit = 0x01;
constexpr qint32 ReadWriteBit = 0x10;

QString flagText(qint32 conf)
{
    return (conf & ReadWriteBit) ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

const TranslationTableParams &sdoTranslationTable()
{
    auto column = [](const char *title, const char *header, const char *attribute, bool tinted) {
        return TranslationColumn{.title = QString::fromUtf8(title),
                                 .headerCell = QString::fromLatin1(header),
                                 .attribute = attribute,
                                 .tinted = tinted};
    };
    static const TranslationTableParams params{
        .windowClass = "TFsdo",
        .caption = QStringLiteral("Set SDO Access"),
        .initialWidth = 760,
        .initialHeight = 520,
        .file = &ProjectFiles::SdotransPath,
        .rootElement = "sdo",
        .tabA = QStringLiteral("SDO from CAN A request to CAN B"),
        .tabB = QStringLiteral("SDO from CAN B request to CAN A"),
        .entryRows = 1500,
        .columns = {column("N\u00B0", "N", nullptr, false), column("RW", "RW", nullptr, false),
                    column("Index", "Index", "IndexA", false), column("SubIndex", "Subindex", "SubindexA", false),
                    column("devID", "devID", "devIDB", true), column("Index", "Index", "IndexB", true),
                    column("SubIndex", "Subindex", "SubindexB", true), column("nbyte", "nbyte", "nbyteB", true),
                    column("mnemonico", "mnemonico", "mnemonico", true)},
        .keyColumn = SdoTranslation::IndexA,
        .import = {.table = QStringLiteral("sdo"),
                   .columns = 8,
                   .headerField = 1,
                   .headerText = QStringLiteral("Index"),
                   .integerColumns = {0},
                   // The file's names: the header line's repeat Index and Subindex.
                   .columnNames = {QStringLiteral("conf"), QStringLiteral("IndexA"), QStringLiteral("SubindexA"),
                                   QStringLiteral("devIDB"), QStringLiteral("IndexB"), QStringLiteral("SubindexB"),
                                   QStringLiteral("nbyteB"), QStringLiteral("mnemonico")}},
        .sizing = ColumnSizing::TenthsWithStrips,
        .stripsA = {QStringLiteral("Define virtual index SDO in CAN A"),
                    QStringLiteral("Input index address SDO in CAN B")},
        .stripsB = {QStringLiteral("Define virtual index SDO in CAN B"),
                    QStringLiteral("Input index address SDO in CAN A")},
    };
    return params;
}

SdoTranslation::SdoTranslation() : TranslationTable(sdoTranslationTable()) {}

void SdoTranslation::loadRow(const pugi::xml_node &row, Filler &filler)
{
    const qint32 conf = requireIntegerAttribute(row, "conf");
    QStringList values;
    for (int c = IndexA; c < Mnemonico; ++c)
        values << requireAttribute(row, params().columns[c].attribute);
    // Only the mnemonic may be left out.
    values << fromXml(row.attribute(params().columns[Mnemonico].attribute).value());
    const CanLine line = (conf & GridBit) ? CanLine::B : CanLine::A;
    const int entry = takeRow(filler, line);
    if (entry < 0)
        return;
    values.prepend(flagText(conf));
    grid(line).setEntry(entry, values);
}

QByteArray SdoTranslation::toXml() const
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child(params().rootElement);
    for (CanLine line : CanLines) {
        const TranslationGrid &g = grid(line);
        const int n = g.entryCount(IndexA);
        for (int e = 0; e < n; ++e) {
            const qint32 conf = (line == CanLine::B ? GridBit : 0) |
                                (g.entryCell(e, ReadWrite) == QLatin1String("1") ? ReadWriteBit : 0);
            pugi::xml_node row = root.append_child("row");
            row.append_attribute("conf").set_value(QByteArray::number(conf).constData());
            for (int c = IndexA; c <= Mnemonico; ++c)
                row.append_attribute(params().columns[c].attribute).set_value(g.entryCell(e, c).toUtf8().constData());
        }
    }
    return projectXmlBytes(doc);
}

QList<QStringList> SdoTranslation::exportLines() const
{
    QList<QStringList> lines;
    for (CanLine line : CanLines) {
        const TranslationGrid &g = grid(line);
        lines.reserve(lines.size() + g.rowCount());
        for (int r = 0; r < g.rowCount(); ++r) {
            const qint32 conf =
                (line == CanLine::B ? GridBit : 0) | (g.cell(r, ReadWrite) == QLatin1String("1") ? ReadWriteBit : 0);
            QStringList fields{QString::number(conf)};
            for (int c = IndexA; c <= Mnemonico; ++c)
                fields << g.cell(r, c);
            lines << fields;
        }
    }
    return lines;
}

RowTaken SdoTranslation::takeRecord(const ImportRecord &record)
{
    const qint32 v = record.integer(0);
    const CanLine line = (v & GridBit) ? CanLine::B : CanLine::A;
    const int entry = takeRow(m_import, line);
    if (entry < 0)
        return RowTaken::NoRoom;
    QStringList cells{flagText(v)};
    for (int f = 1; f <= 7; ++f)
        cells << record.field(f);
    grid(line).setEntry(entry, cells);
    return entryTaken(line, record.field(1).isEmpty());
}
