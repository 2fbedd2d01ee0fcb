#include "translate/PdoTranslation.h"

#include "base/TessiroError.h"
#include "project/ParseIntText.h"
#include "project/ProjectXml.h"
#include "translate/Messages.h"

#include <algorithm>

namespace {

// "en_bypass": bit 1 is the direction (set for sga), bit 0 the translate flag.
constexpr qint32 DirectionBit = 0x02;
constexpr qint32 TranslateBit = 0x01;

const char *const Attributes[] = {"cobid", "id_dev_orig", "en_bypass", "posind", "n_tpdo"};

} // namespace

const TranslationTableParams &pdoTranslationTable()
{
    static const TranslationTableParams params{
        .windowClass = "TFpdo",
        .caption = QStringLiteral("Define Traslate PDO"),
        .initialWidth = 560,
        .initialHeight = 400,
        .file = &ProjectFiles::RpdodefPath,
        .rootElement = "rpdodef",
        .tabA = QStringLiteral("PDO From CanA to CanB"),
        .tabB = QStringLiteral("PDO From CanB to CanA"),
        .entryRows = 10,
        .columns = {{.title = QStringLiteral("N\u00B0"), .headerCell = QStringLiteral("N")},
                    {.title = QStringLiteral("cobid"), .headerCell = QStringLiteral("cobid"), .attribute = "cobid"},
                    {.title = QStringLiteral("id_dev_orig"),
                     .headerCell = QStringLiteral("id_dev_orig"),
                     .attribute = "id_dev_orig"},
                    {.title = QStringLiteral("en_traslate"), .headerCell = QStringLiteral("en_bypass")},
                    {.title = QStringLiteral("posid"),
                     .headerCell = QStringLiteral("posind"),
                     .attribute = "posind",
                     .tinted = true},
                    {.title = QStringLiteral("n_tPDO"),
                     .headerCell = QStringLiteral("n_tpdo"),
                     .attribute = "n_tpdo",
                     .tinted = true}},
        .keyColumn = PdoTranslation::Cobid,
        .import = {.table = QStringLiteral("rpdodef"),
                   .columns = 5,
                   .headerField = 0,
                   .headerText = QStringLiteral("cobid"),
                   .integerColumns = {0, 2},
                   .columnNames = {QStringLiteral("cobid"), QStringLiteral("id_dev_orig"), QStringLiteral("en_bypass"),
                                   QStringLiteral("posind"), QStringLiteral("n_tpdo")}},
    };
    return params;
}

PdoTranslation::PdoTranslation() : TranslationTable(pdoTranslationTable()) {}

QString PdoTranslation::missingNotice() const
{
    return TranslateMessages::XmlNotFound;
}

void PdoTranslation::loadRow(const pugi::xml_node &row, Filler &filler)
{
    QStringList values;
    for (const char *name : Attributes)
        values << requireAttribute(row, name);
    const qint32 v = requireIntegerAttribute(row, Attributes[2]);
    const CanLine line = (v & DirectionBit) ? CanLine::A : CanLine::B;
    const int entry = takeRow(filler, line);
    if (entry < 0)
        return;
    values[2] = (v & TranslateBit) ? QStringLiteral("1") : QStringLiteral("0");
    grid(line).setEntry(entry, values);
}

QByteArray PdoTranslation::toXml() const
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child(params().rootElement);
    for (CanLine line : CanLines) {
        const TranslationGrid &g = grid(line);
        struct Entry {
            qint32 cobid;
            int row;
        };
        QList<Entry> entries;
        for (int e = 0; e < g.entryCount(Cobid); ++e)
            entries << Entry{ParseIntText(g.entryCell(e, Cobid)), e};
        // Smallest cobid first; of equal ones, the one further down the grid first.
        std::sort(entries.begin(), entries.end(), [](const Entry &x, const Entry &y) {
            return x.cobid != y.cobid ? x.cobid < y.cobid : x.row > y.row;
        });
        for (const Entry &entry : entries) {
            const bool translate = g.entryCell(entry.row, Translate) == QLatin1String("1");
            const int bypass = (line == CanLine::A ? DirectionBit : 0) | (translate ? TranslateBit : 0);
            pugi::xml_node row = root.append_child("row");
            row.append_attribute("cobid").set_value(g.entryCell(entry.row, Cobid).toUtf8().constData());
            row.append_attribute("id_dev_orig").set_value(g.entryCell(entry.row, IdDevOrig).toUtf8().constData());
            row.append_attribute("en_bypass").set_value(QByteArray::number(bypass).constData());
            row.append_attribute("posind").set_value(g.entryCell(entry.row, Posind).toUtf8().constData());
            row.append_attribute("n_tpdo").set_value(g.entryCell(entry.row, NTpdo).toUtf8().constData());
        }
    }
    return projectXmlBytes(doc);
}

QList<QStringList> PdoTranslation::exportLines() const
{
    QList<QStringList> lines;
    for (CanLine line : CanLines) {
        const TranslationGrid &g = grid(line);
        // The spreadsheet's translate column: tens digit the grid, units the flag.
        const QString prefix = line == CanLine::A ? QStringLiteral("0") : QStringLiteral("1");
        for (int r = 0; r < g.rowCount(); ++r)
            lines << QStringList{g.cell(r, Cobid), g.cell(r, IdDevOrig),
                                 prefix + (g.cell(r, Translate) == QLatin1String("1") ? u'1' : u'0'), g.cell(r, Posind),
                                 g.cell(r, NTpdo)};
    }
    return lines;
}

RowTaken PdoTranslation::takeRecord(const ImportRecord &record)
{
    const qint32 v = record.integer(2);
    // In the spreadsheet, bit 1 set means sgb: the opposite of the file.
    const CanLine line = (v & DirectionBit) ? CanLine::B : CanLine::A;
    const int entry = takeRow(m_import, line);
    if (entry < 0)
        return RowTaken::NoRoom;
    grid(line).setEntry(entry, {record.field(0), record.field(1),
                                (v & TranslateBit) ? QStringLiteral("1") : QStringLiteral("0"), record.field(3),
                                record.field(4)});
    return entryTaken(line, record.field(0).isEmpty());
}
