#include "translate/StoredPdoTable.h"

#include "base/TessiroError.h"
#include "project/ParseIntText.h"
#include "project/ProjectXml.h"
#include "translate/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

// rpdodef.xml "en_bypass": bit 1 set lists the PDO on "CanB".
constexpr qint32 PdoDirectionBit = 0x02;
// sdotrans.xml "conf": bit 0 set puts the SDO on "CanB".
constexpr qint32 SdoLineBit = 0x01;
// "nrpdo": bit 7 set names a "CanB" PDO, the low seven bits its number.
constexpr qint32 CanBBit = 0x80;
constexpr qint32 PdoNumberMask = 0x7F;
constexpr int MaxPdosPerTab = PdoNumberMask;
constexpr int LastPosition = 8;

const QString TableName = QStringLiteral("sdopdo");

// The root of an existing project file, or the step's message: notFound when the
// file is not there, readError when it cannot be read as XML.
std::optional<pugi::xml_node> openStep(const QString &path, pugi::xml_document &doc, const QString &notFound,
                                       const QString &readError, QStringList &problems)
{
    if (!QFileInfo::exists(path)) {
        problems << notFound;
        return std::nullopt;
    }
    const Loaded<pugi::xml_node> loaded = loadProjectXml(path, doc);
    if (!loaded.ok()) {
        problems << TranslateMessages::FixedTextWithPlace.arg(readError, loaded.problems.constFirst());
        return std::nullopt;
    }
    return loaded.value;
}

// A step's reading message over the file and the fault met in it.
QString readFault(const QString &readError, const QString &path, const TessiroError &fault)
{
    return TranslateMessages::FixedTextWithPlace.arg(
        readError, TranslateMessages::FileFault.arg(QDir::toNativeSeparators(path), fault.message()));
}

// A position nibble as a radio index; 9 to 15 set no button.
int position(qint32 nibble)
{
    return nibble <= LastPosition ? int(nibble) : -1;
}

} // namespace

StoredPdoCopies &programStoredPdoCopies()
{
    static StoredPdoCopies copies;
    return copies;
}

StoredPdoTable::StoredPdoTable(StoredPdoCopies &copies)
    : ProjectTable(importParams(), &ProjectFiles::SdopdoPath), m_copies(copies)
{
}

void StoredPdoTable::clear()
{
    for (LineData &t : m_lines.items)
        t = LineData();
}

Loaded<TableRead> StoredPdoTable::load(const ProjectFiles &files)
{
    clear();
    Loaded<TableRead> loaded;
    loadReference(files.SdotransPath, loaded.problems);
    loadPdos(files.RpdodefPath, loaded.problems);
    loaded.value = loadStored(files.SdopdoPath, loaded.problems);
    return loaded;
}

void StoredPdoTable::loadReference(const QString &path, QStringList &problems)
{
    pugi::xml_document doc;
    const std::optional<pugi::xml_node> root =
        openStep(path, doc, TranslateMessages::SdoXmlNotFound, TranslateMessages::SdoXmlReadError, problems);
    if (!root)
        return;
    try {
        for (const pugi::xml_node &row : root->children()) {
            if (row.type() != pugi::node_element)
                continue;
            StoredSdo entry{requireAttribute(row, "IndexA"), requireAttribute(row, "SubindexA"), {}};
            const qint32 conf = requireIntegerAttribute(row, "conf");
            m_lines[(conf & SdoLineBit) ? CanLine::B : CanLine::A].reference << entry;
        }
    } catch (const TessiroError &e) {
        problems << readFault(TranslateMessages::SdoXmlReadError, path, e);
    }
}

void StoredPdoTable::loadPdos(const QString &path, QStringList &problems)
{
    pugi::xml_document doc;
    const std::optional<pugi::xml_node> root =
        openStep(path, doc, TranslateMessages::PdoXmlNotFound, TranslateMessages::PdoXmlReadError, problems);
    if (!root)
        return;
    PerLine<int> leftOut;
    try {
        for (const pugi::xml_node &row : root->children()) {
            if (row.type() != pugi::node_element)
                continue;
            const qint32 bypass = requireIntegerAttribute(row, "en_bypass");
            const QString cobid = requireAttribute(row, "cobid");
            QList<StoredPdo> &pdos = m_lines[(bypass & PdoDirectionBit) ? CanLine::B : CanLine::A].pdos;
            // A stored SDO names its PDO in seven bits.
            if (pdos.size() == MaxPdosPerTab) {
                ++leftOut[(bypass & PdoDirectionBit) ? CanLine::B : CanLine::A];
                continue;
            }
            pdos << StoredPdo{cobid, int(pdos.size()) + 1, {}};
        }
    } catch (const TessiroError &e) {
        problems << readFault(TranslateMessages::PdoXmlReadError, path, e);
    }
    for (CanLine line : CanLines)
        if (leftOut[line] > 0)
            problems << TranslateMessages::PdosLeftOut.arg(QDir::toNativeSeparators(path))
                            .arg(TranslateMessages::counted(leftOut[line], "PDO", "PDOs"))
                            .arg(line == CanLine::A ? QStringLiteral("CanA") : QStringLiteral("CanB"));
}

TableRead StoredPdoTable::loadStored(const QString &path, QStringList &problems)
{
    TableRead read;
    // No file yet is an empty table, read whole.
    if (!QFileInfo::exists(path)) {
        problems << TranslateMessages::SdopdoXmlNotFound;
        read.state = ReadState::Missing;
        return read;
    }
    pugi::xml_document doc;
    const std::optional<pugi::xml_node> root =
        openStep(path, doc, TranslateMessages::SdopdoXmlNotFound, TranslateMessages::SdopdoXmlReadError, problems);
    if (!root) {
        read.state = ReadState::Partly;
        return read;
    }
    int skipped = 0;
    try {
        for (const pugi::xml_node &row : root->children()) {
            if (row.type() != pugi::node_element)
                continue;
            const qint32 nrpdo = requireIntegerAttribute(row, "nrpdo");
            const std::optional<std::pair<CanLine, int>> at =
                pdoOf(nrpdo, TranslateMessages::NrpdoNamesNoPdo.arg(row.offset_debug()).arg(nrpdo));
            const StoredSdo sdo{requireAttribute(row, "index"), requireAttribute(row, "subindex"),
                                requireAttribute(row, "poscomp")};
            if (!at) {
                ++skipped;
                continue;
            }
            m_lines[at->first].pdos[at->second].sdos << sdo;
            ++read.entries;
        }
    } catch (const TessiroError &e) {
        problems << readFault(TranslateMessages::SdopdoXmlReadError, path, e);
        read.state = ReadState::Partly;
    }
    // Dropped in silence, they would be gone at the next OK.
    if (skipped > 0) {
        problems << TranslateMessages::StoredSdosLeftOut.arg(QDir::toNativeSeparators(path))
                        .arg(TranslateMessages::counted(skipped, "stored SDO", "stored SDOs"));
        read.state = ReadState::Partly;
    }
    return read;
}

std::optional<std::pair<CanLine, int>> StoredPdoTable::pdoOf(qint32 nrpdo, const QString &zeroMessage) const
{
    const CanLine line = (nrpdo & CanBBit) ? CanLine::B : CanLine::A;
    const int number = int(nrpdo & PdoNumberMask);
    if (number == 0)
        throw TessiroError(zeroMessage);
    if (number > m_lines[line].pdos.size())
        return std::nullopt;
    return std::make_pair(line, number - 1);
}

std::optional<QString> StoredPdoTable::refusal(CanLine line, const SdoFields &fields, int exceptPdo,
                                               int exceptSdo) const
{
    // Read even with nothing to compare: an entry that saving cannot sort is not taken.
    const qint32 index = ParseIntText(fields.index);
    const qint32 subindex = ParseIntText(fields.subindex);
    auto same = [&](const StoredSdo &sdo) {
        return ParseIntText(sdo.index) == index && ParseIntText(sdo.subindex) == subindex;
    };
    const LineData &t = m_lines[line];
    for (const StoredSdo &sdo : t.reference)
        if (same(sdo))
            return TranslateMessages::SdoAlreadyTranslated;
    for (int p = 0; p < t.pdos.size(); ++p)
        for (int s = 0; s < t.pdos[p].sdos.size(); ++s)
            if (!(p == exceptPdo && s == exceptSdo) && same(t.pdos[p].sdos[s]))
                return TranslateMessages::SdoAlreadyStored;
    return std::nullopt;
}

std::optional<QString> StoredPdoTable::newSdo(CanLine line, int pdo, const SdoFields &fields)
{
    if (const std::optional<QString> refused = refusal(line, fields))
        return refused;
    m_lines[line].pdos[pdo].sdos << StoredSdo{fields.index, fields.subindex, QString::number(fields.code())};
    return std::nullopt;
}

std::optional<QString> StoredPdoTable::modifySdo(CanLine line, int pdo, int sdo, const SdoFields &fields)
{
    if (const std::optional<QString> refused = refusal(line, fields, pdo, sdo))
        return refused;
    m_lines[line].pdos[pdo].sdos[sdo] = StoredSdo{fields.index, fields.subindex, QString::number(fields.code())};
    return std::nullopt;
}

void StoredPdoTable::deleteSdo(CanLine line, int pdo, int sdo)
{
    m_lines[line].pdos[pdo].sdos.removeAt(sdo);
}

SdoFields StoredPdoTable::fieldsOf(const StoredSdo &sdo)
{
    const qint32 code = ParseIntText(sdo.poscomp);
    return SdoFields{sdo.index, sdo.subindex, position((code >> 4) & 0xF), position(code & 0xF)};
}

void StoredPdoTable::copySdo(CanLine line, const SdoFields &fields)
{
    const int code = fields.code();
    m_copies.lines[line] = SdoFields{fields.index, fields.subindex, position(code >> 4), position(code & 0xF)};
}

QByteArray StoredPdoTable::toXml() const
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("sdopdo");
    for (CanLine line : CanLines) {
        struct Entry {
            qint32 index;
            qint32 subindex;
            int nrpdo;
            const StoredSdo *sdo;
        };
        QList<Entry> entries;
        for (const StoredPdo &pdo : m_lines[line].pdos)
            for (const StoredSdo &sdo : pdo.sdos)
                entries << Entry{ParseIntText(sdo.index), ParseIntText(sdo.subindex),
                                 pdo.number + (line == CanLine::B ? CanBBit : 0), &sdo};
        // Equal ones keep PDO order, then list order.
        std::stable_sort(entries.begin(), entries.end(), [](const Entry &x, const Entry &y) {
            return x.index != y.index ? x.index < y.index : x.subindex < y.subindex;
        });
        for (const Entry &entry : entries) {
            pugi::xml_node row = root.append_child("row");
            row.append_attribute("index").set_value(entry.sdo->index.toUtf8().constData());
            row.append_attribute("subindex").set_value(entry.sdo->subindex.toUtf8().constData());
            row.append_attribute("nrpdo").set_value(QByteArray::number(entry.nrpdo).constData());
            row.append_attribute("poscomp").set_value(entry.sdo->poscomp.toUtf8().constData());
        }
    }
    return projectXmlBytes(doc);
}

QList<QStringList> StoredPdoTable::exportLines() const
{
    // The spreadsheet takes the first line as its column names.
    QList<QStringList> lines{
        {QStringLiteral("index"), QStringLiteral("subindex"), QStringLiteral("nrpdo"), QStringLiteral("poscomp")}};
    for (CanLine line : CanLines)
        for (const StoredPdo &pdo : m_lines[line].pdos)
            for (const StoredSdo &sdo : pdo.sdos)
                lines << QStringList{sdo.index, sdo.subindex,
                                     QString::number(pdo.number + (line == CanLine::B ? CanBBit : 0)), sdo.poscomp};
    return lines;
}

const ImportParams &StoredPdoTable::importParams()
{
    static const ImportParams params{.table = TableName,
                                     .columns = 4,
                                     .headerField = 0,
                                     .headerText = QStringLiteral("index"),
                                     .leftOutNotice = TranslateMessages::ImportedSdosLeftOut,
                                     .integerColumns = {0, 1, 2, 3},
                                     .columnNames = {QStringLiteral("index"), QStringLiteral("subindex"),
                                                     QStringLiteral("nrpdo"), QStringLiteral("poscomp")}};
    return params;
}

void StoredPdoTable::clearForImport()
{
    for (LineData &t : m_lines.items)
        for (StoredPdo &pdo : t.pdos)
            pdo.sdos.clear();
}

RowTaken StoredPdoTable::takeRecord(const ImportRecord &record)
{
    const qint32 nrpdo = record.integer(2);
    const std::optional<std::pair<CanLine, int>> at = pdoOf(nrpdo, TranslateMessages::NoPdoZero.arg(record.field(2)));
    if (!at)
        return RowTaken::NoRoom;
    m_lines[at->first].pdos[at->second].sdos << StoredSdo{record.field(0), record.field(1), record.field(3)};
    return RowTaken::Taken;
}

QStringList StoredPdoTable::sdoLabels(int count)
{
    QStringList labels;
    for (int n = 0; n < count; ++n)
        labels << QStringLiteral("Sdo%1").arg(n);
    return labels;
}

std::optional<TableFault> StoredPdoTable::saveFault() const
{
    for (CanLine line : CanLines)
        for (int p = 0; p < m_lines[line].pdos.size(); ++p) {
            const StoredPdo &pdo = m_lines[line].pdos[p];
            for (int s = 0; s < pdo.sdos.size(); ++s) {
                const QString texts[] = {pdo.sdos[s].index, pdo.sdos[s].subindex};
                const char *names[] = {"index", "subindex"};
                for (int f = 0; f < 2; ++f)
                    if (!tryParseIntText(texts[f]))
                        return TableFault{
                            line, p, f,
                            TranslateMessages::StoredSdoFault
                                .arg(line == CanLine::A ? QStringLiteral("CanA") : QStringLiteral("CanB"), pdo.name)
                                .arg(s)
                                .arg(QString::fromLatin1(names[f]), invalidIntegerMessage(texts[f])),
                            s};
            }
        }
    return std::nullopt;
}
