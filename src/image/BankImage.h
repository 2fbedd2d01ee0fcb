#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ProjectFiles;

// The five configuration banks of the gateway, bank 1 first. Only bank 1 carries
// data; multi-byte fields are big-endian.
class BankImage {
public:
    static constexpr int BankCount = 5;
    static constexpr int BankSize = 16384;

    BankImage() : m_bytes(BankCount * BankSize, '\0') {}

    // index 0 is bank 1.
    QByteArray bank(int index) const { return m_bytes.mid(index * BankSize, BankSize); }
    const char *bankData(int index) const { return m_bytes.constData() + index * BankSize; }

    // Fields of bank 1: the low 8 or 16 bits of value, no range check.
    void setByte(int offset, qint32 value) { m_bytes[offset] = char(value & 0xFF); }
    void setWord(int offset, qint32 value)
    {
        m_bytes[offset] = char((value >> 8) & 0xFF);
        m_bytes[offset + 1] = char(value & 0xFF);
    }

private:
    QByteArray m_bytes;
};

// Bank 1 offsets of the tables and fields.
namespace BankLayout {
constexpr int SdoOutCount = 0;
constexpr int SdoInCount = 2000;
constexpr int PdoInCount = 4000;
constexpr int PdoOutCount = 5000;
constexpr int SdoEntrySize = 5;
constexpr int PdoEntrySize = 3;
constexpr int MaxEntries = 255;
constexpr int CanDevId = 15000;
constexpr int CanBaud = 15001;
constexpr int NetDevId = 15002;
constexpr int NetBaud = 15003;
constexpr int TimeOutSdo = 15004;
constexpr int OpeDev = 15006;
constexpr int OpeNet = 15007;
constexpr int OpeTimeOut = 15010;
} // namespace BankLayout

// Builds the banks from the project's sdo.xml, pdo.xml and pargen.xml, in that
// order. Every generation starts from zeroed banks, so a missing file leaves its
// tables empty. Throws TessiroError naming the file on a broken or incomplete file.
BankImage BuildBankImage(const ProjectFiles &files);

// bank1.bin to bank5.bin (bank 0 to 4) and the C source, in the project's bin directory.
QString bankFilePath(const QString &binDir, int bank);
QString bankSourcePath(const QString &binDir);

// Writes bank1.bin to bank5.bin (16384 bytes each) into the project's bin
// directory, creating it when it is missing. Throws TessiroError on the first
// file that cannot be written; the files before it stay written.
void WriteBankFiles(const BankImage &image, const ProjectFiles &files);

// Bank 1 as the C source bankg.c: 1027 lines of CR LF text, 117824 bytes.
QByteArray BankSourceText(const BankImage &image);
// Writes BankSourceText to bankg.c in the bin directory. Throws TessiroError with the path.
void WriteBankSource(const BankImage &image, const ProjectFiles &files);

// The update step's generation: BuildBankImage, WriteBankFiles, WriteBankSource.
// Call it under the project's write lock: it first removes what a killed run left
// of its files (their temporaries), except the files in keep.
void GenerateDeviceImage(const ProjectFiles &files, const QStringList &keep = {});
