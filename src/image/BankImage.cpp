#include "image/BankImage.h"

#include "base/AtomicFile.h"
#include "base/Paths.h"
#include "base/TessiroError.h"
#include "image/Messages.h"
#include "project/ParseIntText.h"
#include "project/ProjectStore.h"
#include "project/ProjectXml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>

namespace {

// Strict conversion; the message keeps the integer rule's text and adds where the value stands.
qint32 convert(const char *text, const QString &path, const QString &where)
{
    try {
        return ParseIntText(QString::fromUtf8(text));
    } catch (const TessiroError &e) {
        throw TessiroError(QStringLiteral("%1\nFile %2, %3").arg(e.message(), ImageMessages::shown(path), where));
    }
}

struct Table {
    const char *element;
    int countOffset;
    int entrySize;
    std::initializer_list<const char *> attributes;
};

// One table: the number of children at countOffset, then one entry per child.
void readTable(BankImage &image, const pugi::xml_node &root, const QString &path, const Table &table)
{
    const QString element = QString::fromLatin1(table.element);
    const pugi::xml_node list = root.child(table.element);
    if (!list)
        throw TessiroError(ImageMessages::elementMissing(path, element));
    const auto rows = list.children();
    const int count = int(std::distance(rows.begin(), rows.end()));
    // The count field holds one byte; more rows would also run into the next table.
    if (count > BankLayout::MaxEntries)
        throw TessiroError(ImageMessages::tooManyRows(path, element, count));

    QList<qint32> values;
    int row = 0;
    for (const pugi::xml_node &node : rows) {
        ++row;
        values.clear();
        for (const char *name : table.attributes) {
            const QString attribute = QString::fromLatin1(name);
            const pugi::xml_attribute a = node.attribute(name);
            if (!a)
                throw TessiroError(ImageMessages::attributeMissing(path, element, row, attribute));
            values << convert(a.value(), path,
                              QStringLiteral("row %1 of %2, attribute %3").arg(row).arg(element, attribute));
        }
        int offset = table.countOffset + 1 + (row - 1) * table.entrySize;
        if (table.entrySize == BankLayout::SdoEntrySize) {
            image.setByte(offset, values[0]);     // IdDev
            image.setWord(offset + 1, values[1]); // Index
            image.setByte(offset + 3, values[2]); // SubIndex
            image.setByte(offset + 4, values[3]); // NByte
        } else {
            image.setWord(offset, values[0]);     // Cob_Id
            image.setByte(offset + 2, values[1]); // Dimension
        }
    }
    image.setByte(table.countOffset, count);
}

void readSdo(BankImage &image, const QString &path)
{
    pugi::xml_document doc;
    const pugi::xml_node root = requireProjectXml(path, doc);
    const std::initializer_list<const char *> sdo = {"IdDev", "Index", "SubIndex", "NByte"};
    readTable(image, root, path, {"ByteIN", BankLayout::SdoInCount, BankLayout::SdoEntrySize, sdo});
    readTable(image, root, path, {"ByteOUT", BankLayout::SdoOutCount, BankLayout::SdoEntrySize, sdo});
}

void readPdo(BankImage &image, const QString &path)
{
    pugi::xml_document doc;
    const pugi::xml_node root = requireProjectXml(path, doc);
    const std::initializer_list<const char *> pdo = {"Cob_Id", "Dimension"};
    readTable(image, root, path, {"ByteIN_TPDO", BankLayout::PdoInCount, BankLayout::PdoEntrySize, pdo});
    readTable(image, root, path, {"ByteOUT_RPDO", BankLayout::PdoOutCount, BankLayout::PdoEntrySize, pdo});
}

void readPargen(BankImage &image, const QString &path)
{
    pugi::xml_document doc;
    const pugi::xml_node root = requireProjectXml(path, doc);

    const struct {
        const char *element;
        int offset;
        bool word;
    } required[] = {{"Can_Dev_Id", BankLayout::CanDevId, false},
                    {"Can_Baud", BankLayout::CanBaud, false},
                    {"Net_Dev_Id", BankLayout::NetDevId, false},
                    {"Net_Baud", BankLayout::NetBaud, false},
                    {"Time_Out_SDO", BankLayout::TimeOutSdo, true}};
    for (const auto &field : required) {
        const QString element = QString::fromLatin1(field.element);
        const pugi::xml_node node = root.child(field.element);
        if (!node)
            throw TessiroError(ImageMessages::elementMissing(path, element));
        const qint32 value = convert(node.text().get(), path, QStringLiteral("element ") + element);
        if (field.word)
            image.setWord(field.offset, value);
        else
            image.setByte(field.offset, value);
    }

    const struct {
        const char *element;
        int offset;
    } optional[] = {
        {"Ope_Dev", BankLayout::OpeDev}, {"Ope_Net", BankLayout::OpeNet}, {"Ope_TimeOut", BankLayout::OpeTimeOut}};
    for (const auto &field : optional) {
        const pugi::xml_node node = root.child(field.element);
        image.setByte(field.offset, node ? ParseIntText(QString::fromUtf8(node.text().get()), 0) : 0);
    }
}

void writeOrThrow(const QString &path, const QByteArray &data)
{
    try {
        writeFileAtomically(path, data, {.replaceLink = true});
    } catch (const FileWriteError &e) {
        throw TessiroError(ImageMessages::fileNotWritten(path, e.reason()));
    }
}

} // namespace

BankImage BuildBankImage(const ProjectFiles &files)
{
    BankImage image;
    if (QFileInfo::exists(files.SdoPath))
        readSdo(image, files.SdoPath);
    if (QFileInfo::exists(files.PdoPath))
        readPdo(image, files.PdoPath);
    if (QFileInfo::exists(files.PargenPath))
        readPargen(image, files.PargenPath);
    return image;
}

QString bankFilePath(const QString &binDir, int bank)
{
    return joinPath(binDir, QStringLiteral("bank%1.bin").arg(bank + 1));
}

QString bankSourcePath(const QString &binDir)
{
    return joinPath(binDir, QStringLiteral("bankg.c"));
}

void WriteBankFiles(const BankImage &image, const ProjectFiles &files)
{
    const QString &bin = files.BinDir;
    // A project copied without its bin folder can still be updated, but a project
    // folder that has gone is not made anew around zeroed banks.
    if (!QFileInfo(bin).isDir() && !QDir().mkdir(bin))
        throw TessiroError(ImageMessages::directoryNotCreated(bin));
    for (int k = 0; k < BankImage::BankCount; ++k)
        writeOrThrow(bankFilePath(bin, k), image.bank(k));
}

QByteArray BankSourceText(const BankImage &image)
{
    static const char hex[] = "0123456789ABCDEF";
    constexpr int LinesOfBytes = BankImage::BankSize / 16;
    const auto *bytes = reinterpret_cast<const uchar *>(image.bankData(0));

    QByteArray text;
    text.reserve(117824);
    text += "#pragma CONST_SEG SEGMENT0\r\n";
    for (int i = 0; i < LinesOfBytes; ++i) {
        text += i == 0 ? QByteArrayView("const char Bank1 [] = {") : QByteArrayView("                 ");
        for (int j = 0; j < 16; ++j) {
            const uchar b = bytes[16 * i + j];
            const char group[] = {' ', '0', 'x', hex[b >> 4], hex[b & 0xF]};
            text.append(group, sizeof group);
            text += (i == LinesOfBytes - 1 && j == 15) ? QByteArrayView("};") : QByteArrayView(",");
        }
        text += "\r\n";
    }
    text += "\r\n#pragma CONST_SEG DEFAULT\r\n";
    return text;
}

void WriteBankSource(const BankImage &image, const ProjectFiles &files)
{
    writeOrThrow(bankSourcePath(files.BinDir), BankSourceText(image));
}

namespace {

void generate(const ProjectFiles &files)
{
    const BankImage image = BuildBankImage(files);
    WriteBankFiles(image, files);
    WriteBankSource(image, files);
}

} // namespace

void GenerateDeviceImage(const ProjectFiles &files, const QStringList &keep)
{
    for (int k = 0; k < BankImage::BankCount; ++k)
        removeStaleTemporaries(bankFilePath(files.BinDir, k), keep);
    removeStaleTemporaries(bankSourcePath(files.BinDir), keep);
    generate(files);
}
