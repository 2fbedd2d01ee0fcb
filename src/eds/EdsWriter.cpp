#include "eds/EdsWriter.h"

#include "base/AtomicFile.h"
#include "base/TessiroError.h"
#include "eds/Messages.h"
#include "project/ParseIntText.h"
#include "project/ProjectStore.h"
#include "project/ProjectXml.h"

#include <QDir>
#include <QFileInfo>
#include <initializer_list>
#include <pugixml.hpp>

namespace {

// ---------------------------------------------------------------- pdo.xml

void readCobIdList(pugi::xml_node root, const char *listName, const QString &path, qint32 &count,
                   std::array<qint32, PdosPerDirection> &cobIds)
{
    const pugi::xml_node list = root.child(listName);
    if (!list)
        throw TessiroError(EdsMessages::MissingList.arg(QDir::toNativeSeparators(path), QLatin1String(listName)));
    count = 0;
    for (pugi::xml_node row = list.first_child(); row; row = row.next_sibling())
        ++count;
    // The table and the document have room for ten PDOs; later rows are never read.
    int n = 0;
    for (pugi::xml_node row = list.first_child(); row && n < PdosPerDirection; row = row.next_sibling())
        cobIds[n++] = ParseIntText(QString::fromUtf8(row.attribute("Cob_Id").value()));
}

// ---------------------------------------------------------------- document

QByteArray hex(quint32 value, int digits)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(digits, '0');
}

// "1018" for the object, "1018sub4" for a sub-entry.
QByteArray sectionName(quint16 index, int sub)
{
    QByteArray name = hex(index, 4);
    if (sub >= 0)
        name += "sub" + QByteArray::number(sub);
    return name;
}

struct Variable {
    QByteArray parameterName;
    const char *dataType;
    QByteArray defaultValue;
    const char *accessType;
    const char *pdoMapping;
};

// The lines of the document; every line, the last included, ends with CR LF.
class EdsText {
public:
    EdsText() { m_text.reserve(96 * 1024); }
    QByteArray take() { return std::move(m_text); }

    void line(const QByteArray &text)
    {
        m_text += text;
        m_text += "\r\n";
    }
    void blank() { m_text += "\r\n"; }

    void keySection(const char *name, std::initializer_list<const char *> keyLines)
    {
        line(QByteArray("[") + name + ']');
        for (const char *keyLine : keyLines)
            line(keyLine);
        blank();
    }

    void objectList(const char *name, const QList<quint16> &indices)
    {
        line(QByteArray("[") + name + ']');
        line("SupportedObjects=" + QByteArray::number(indices.size()));
        blank();
        for (qsizetype i = 0; i < indices.size(); ++i)
            line(QByteArray::number(i + 1) + "=0x" + hex(indices[i], 4));
        blank();
    }

    void objectHeader(quint16 index, int subNumber, const QByteArray &parameterName, const char *objectType)
    {
        line('[' + sectionName(index, -1) + ']');
        line("SubNumber=" + QByteArray::number(subNumber));
        line("ParameterName=" + parameterName);
        line(QByteArray("ObjectType=") + objectType);
        blank();
    }

    void variable(quint16 index, int sub, const Variable &v)
    {
        line('[' + sectionName(index, sub) + ']');
        line("ParameterName=" + v.parameterName);
        line("ObjectType=0x7");
        line(QByteArray("DataType=") + v.dataType);
        line("DefaultValue=" + v.defaultValue);
        line(QByteArray("AccessType=") + v.accessType);
        line(QByteArray("PDOMapping=") + v.pdoMapping);
        blank();
    }

private:
    QByteArray m_text;
};

const char *const Record = "0x9";
const char *const Array = "0x8";

// A section of the fixed part of the dictionary: an object header when
// objectType is Record or Array, a variable otherwise.
struct FixedEntry {
    quint16 index;
    int sub; // -1: the object itself
    const char *objectType;
    int subNumber;
    const char *parameterName;
    const char *dataType;
    const char *defaultValue;
    const char *accessType;
    const char *pdoMapping;
    int extraBlanks;
};

constexpr FixedEntry header(quint16 index, int subNumber, const char *name, const char *objectType)
{
    return {index, -1, objectType, subNumber, name, nullptr, nullptr, nullptr, nullptr, 0};
}

constexpr FixedEntry var(quint16 index, int sub, const char *name, const char *dataType, const char *defaultValue,
                         const char *accessType, const char *pdoMapping, int extraBlanks = 0)
{
    return {index, sub, nullptr, 0, name, dataType, defaultValue, accessType, pdoMapping, extraBlanks};
}

// The stray empty lines and the odd-looking values (DataType 0x0040 of the identity
// entries, the lower-case name of [1018sub0]) are part of the file other tools know.
const FixedEntry MandatoryEntries[] = {
    var(0x1000, -1, "Device Type", "0x0007", "0x00010192", "const", "0"),
    var(0x1001, -1, "Error Register", "0x0005", "0x00", "ro", "0", 1),
    header(0x1018, 5, "Identity Object", Record),
    var(0x1018, 0, "number of entries", "0x0005", "0x4", "rw", "0"),
    var(0x1018, 1, "Vendor Id", "0x0040", "0x0", "rw", "0"),
    var(0x1018, 2, "Product Code", "0x0040", "0x0", "rw", "0"),
    var(0x1018, 3, "Revision number", "0x0040", "0x0", "rw", "0"),
    var(0x1018, 4, "Serial number", "0x0040", "0x0", "rw", "0", 1),
};

const FixedEntry OptionalEntries[] = {
    header(0x1003, 2, "Pre-defined Error Field", Array),
    var(0x1003, 0, "Number of Errors", "0x0005", "0x00000000", "rw", "0"),
    var(0x1003, 1, "Standard Error Field", "0x0007", "0x00000000", "ro", "0"),
    var(0x1008, -1, "Manufacturer Device Name", "0x0009", "0", "const", "0"),
    var(0x1009, -1, "Manufacturer Hardware Version", "0x0009", "0", "const", "0"),
    var(0x100A, -1, "Manufacturer Software Version", "0x0009", "0", "const", "0"),
    var(0x1017, -1, "p301_prod_HB_time", "0x0006", "0x03E8", "rw", "0", 1),
    header(0x1200, 3, "Server SDO Parameter", Record),
    var(0x1200, 0, "Number of Entries", "0x0005", "0x02", "ro", "0"),
    var(0x1200, 1, "COB-ID Client -> Server", "0x0007", "0x00000600", "ro", "0"),
    var(0x1200, 2, "COB-ID Server -> Client", "0x0007", "0x000005FF", "ro", "0"),
    header(0x1280, 4, "Client SDO Parameter", Record),
    var(0x1280, 0, "Number of Entries", "0x0005", "0x03", "ro", "0"),
    var(0x1280, 1, "COB-ID Client -> Server", "0x0007", "0x800006E0", "rw", "0"),
    var(0x1280, 2, "COB-ID Server -> Client", "0x0007", "0x800006E0", "rw", "0"),
    var(0x1280, 3, "Node ID of the SDO Server", "0x0005", "0x00", "rw", "0"),
};

const FixedEntry ManufacturerEntries[] = {
    var(0x2010, -1, "7th Application Variable", "0x0007", "0x00000000", "rw", "1"),
};

template <std::size_t N> void writeFixed(EdsText &text, const FixedEntry (&entries)[N])
{
    for (const FixedEntry &e : entries) {
        if (e.objectType)
            text.objectHeader(e.index, e.subNumber, e.parameterName, e.objectType);
        else
            text.variable(e.index, e.sub, {e.parameterName, e.dataType, e.defaultValue, e.accessType, e.pdoMapping});
        for (int i = 0; i < e.extraBlanks; ++i)
            text.blank();
    }
}

// One direction of PDOs: communication records, mapping records, data arrays.
struct PdoFamily {
    quint16 communicationIndex;
    const char *communicationName;
    quint32 defaultCobId; // for a PDO without a row in pdo.xml
    quint16 mappingIndex;
    const char *mappingName;
    // Mapping records k whose sub0 reads "0x8" (bit k set) rather than "0x08".
    unsigned shortCountForm;
    quint16 dataIndex;
    const char *dataName;
    const char *letters; // of the data array entries, one per PDO
};

const PdoFamily Receive = {0x1400,
                           "Receive PDO Communication Parameter",
                           0x200,
                           0x1600,
                           "Receive PDO Mapping Parameter",
                           0b0000000001,
                           0x2020,
                           "data_rpdo",
                           "abcdefghil"};
const PdoFamily Transmit = {0x1800,
                            "Transmit PDO Communication Parameter",
                            0x180,
                            0x1A00,
                            "Transmit PDO Mapping Parameter",
                            0b1111111000,
                            0x202A,
                            "data_tpdo",
                            "mnopqrstuv"};

void communicationRecords(EdsText &text, const PdoFamily &f, qint32 count,
                          const std::array<qint32, PdosPerDirection> &cobIds)
{
    for (int k = 0; k < PdosPerDirection; ++k) {
        const int n = k + 1;
        const auto index = static_cast<quint16>(f.communicationIndex + k);
        // The project's value goes out unchanged: no node-ID, no flag bits.
        const quint32 cobId = count >= n ? quint32(cobIds[k]) : f.defaultCobId;
        text.objectHeader(index, 4, f.communicationName, Record);
        text.variable(index, 0, {"Number of Entries", "0x0005", "0x03", "ro", "0"});
        text.variable(index, 1, {"COB-ID", "0x0007", "0x" + hex(cobId, 8), "rw", "0"});
        text.variable(index, 2, {"Transmission Type", "0x0005", "0xFE", "rw", "0"});
        text.variable(index, 3, {"Inhibit Time", "0x0006", "0x0000", "rw", "0"});
    }
}

void mappingRecords(EdsText &text, const PdoFamily &f)
{
    for (int k = 0; k < PdosPerDirection; ++k) {
        const auto index = static_cast<quint16>(f.mappingIndex + k);
        const QByteArray dataIndex = hex(f.dataIndex + k, 4);
        text.objectHeader(index, 9, f.mappingName, Record);
        text.variable(index, 0,
                      {"Number of Entries", "0x0005", (f.shortCountForm >> k) & 1 ? "0x8" : "0x08", "rw", "0"});
        // Eight 8-bit entries of the PDO's data array, whatever the row's Dimension.
        for (int s = 1; s <= 8; ++s)
            text.variable(index, s, {"PDO Mapping Entry", "0x0007", "0x" + dataIndex + hex(s, 2) + "08", "rw", "0"});
    }
}

void dataArrays(EdsText &text, const PdoFamily &f)
{
    for (int k = 0; k < PdosPerDirection; ++k) {
        const QByteArray n = QByteArray::number(k + 1);
        const auto index = static_cast<quint16>(f.dataIndex + k);
        text.objectHeader(index, 9, f.dataName + n, Array);
        // Both families carry the receive name here.
        text.variable(index, 0, {"num_entry_rpdo" + n, "0x0005", "0x8", "rw", "1"});
        for (int s = 1; s <= 8; ++s)
            text.variable(index, s, {f.letters[k] + QByteArray::number(s), "0x0005", "0x0", "rw", "1"});
    }
}

QList<quint16> indexRange(quint16 first, int count)
{
    QList<quint16> indices;
    for (int i = 0; i < count; ++i)
        indices << quint16(first + i);
    return indices;
}

} // namespace

PdoCobIds ReadPdoCobIds(const QString &path)
{
    PdoCobIds table;
    // A project whose PDO map was never saved: both lists empty.
    if (!QFileInfo::exists(path))
        return table;
    pugi::xml_document doc;
    const pugi::xml_node root = requireProjectXml(path, doc);

    readCobIdList(root, "ByteOUT_RPDO", path, table.RpdoCount, table.RpdoCobId);
    readCobIdList(root, "ByteIN_TPDO", path, table.TpdoCount, table.TpdoCobId);
    return table;
}

QByteArray BuildEdsText(const PdoCobIds &cobIds)
{
    EdsText text;
    // The file name, dates and vendor lines are constants of the device's EDS.
    text.keySection("FileInfo", {"FileName=QE4470.eds", "FileVersion=1", "FileRevision=0", "EDSVersion=4.0",
                                 "Description=EDS for QH4470", "CreationTime=12.00 AM", "CreationDate=12-30-2006",
                                 "CreatedBy=Veltrona", "ModificationTime=01.12 PM", "ModificationDate=12-30-2006",
                                 "ModifiedBy=Veltrona"});
    text.keySection("DeviceInfo", {"VendorName=Veltrona",  "VendorNumber=0",   "ProductName=EDS for QH4470",
                                   "ProductNumber=731",    "RevisionNumber=2", "OrderCode=0731/1",
                                   "BaudRate_10=1",        "BaudRate_20=1",    "BaudRate_50=1",
                                   "BaudRate_125=1",       "BaudRate_250=1",   "BaudRate_500=1",
                                   "BaudRate_800=0",       "BaudRate_1000=1",  "SimpleBootUpSlave=1",
                                   "SimpleBootUpMaster=0", "Granularity=1",    "DynamicChannelsSupported=0",
                                   "GroupMessaging=0",     "NrOfRXPDO=10",     "NrOfTXPDO=10",
                                   "LSS_Supported=0"});
    text.keySection("DummyUsage", {"Dummy0001=0", "Dummy0002=1", "Dummy0003=1", "Dummy0004=1", "Dummy0005=1",
                                   "Dummy0006=1", "Dummy0007=1"});
    text.keySection("Comments", {"Lines=0x1", "Line1=EDS for QH4470"});

    text.objectList("MandatoryObjects", {0x1000, 0x1001, 0x1018});
    writeFixed(text, MandatoryEntries);

    const QList<quint16> optional =
        QList<quint16>{0x1003, 0x1008, 0x1009, 0x100A, 0x1017, 0x1200, 0x1280} +
        indexRange(Receive.communicationIndex, PdosPerDirection) + indexRange(Receive.mappingIndex, PdosPerDirection) +
        indexRange(Transmit.communicationIndex, PdosPerDirection) + indexRange(Transmit.mappingIndex, PdosPerDirection);
    text.objectList("OptionalObjects", optional);
    writeFixed(text, OptionalEntries);
    communicationRecords(text, Receive, cobIds.RpdoCount, cobIds.RpdoCobId);
    mappingRecords(text, Receive);
    communicationRecords(text, Transmit, cobIds.TpdoCount, cobIds.TpdoCobId);
    mappingRecords(text, Transmit);
    text.blank();
    text.blank();

    text.objectList("ManufacturerObjects", QList<quint16>{0x2010} + indexRange(Receive.dataIndex, PdosPerDirection) +
                                               indexRange(Transmit.dataIndex, PdosPerDirection));
    writeFixed(text, ManufacturerEntries);
    dataArrays(text, Receive);
    dataArrays(text, Transmit);
    text.blank();
    return text.take();
}

void WriteEdsFile(const QString &fileName, const QString &pdoPath)
{
    const QByteArray text = BuildEdsText(ReadPdoCobIds(pdoPath));
    // Inside the project the EDS is a generated file like the others: never written through a link.
    const bool inProject = QFileInfo(fileName).absolutePath() == QFileInfo(pdoPath).absolutePath();
    try {
        writeFileAtomically(fileName, text, {.replaceLink = inProject});
    } catch (const FileWriteError &e) {
        throw TessiroError(EdsMessages::CannotCreateFile.arg(QDir::toNativeSeparators(fileName), e.reason()));
    }
}

FileDialogOptions edsSaveDialogOptions(const QString &projectDir)
{
    return {QString(), EdsMessages::SaveFilter, EdsMessages::DefaultSuffix, projectDir};
}
