#pragma once

#include <QByteArray>
#include <QString>
#include <array>

class Notices;
class Progress;

// Where the configuration banks live in the gateway's 24-bit S-record address space.
namespace BankRange {
constexpr quint32 first(int bank)
{
    return 0x388000u + 0x10000u * quint32(bank);
}
constexpr quint32 last(int bank)
{
    return first(bank) + 16384u - 1u;
}
} // namespace BankRange

// line is a record line whose last two characters are placeholders. Sums the
// bytes of the character pairs from the third character up to the placeholders
// and returns the S-record checksum (two upper-case hex digits) or, when
// checksumOnly is false, the line with the placeholders replaced by it.
QByteArray SetRecordChecksum(const QByteArray &line, bool checksumOnly);

// The 512 "S224" record lines (each ending with CR LF) that carry the 16384
// bytes of bankBytes at the addresses of bank (0 to 4).
QByteArray BankRecordLines(int bank, const char *bankBytes);

// Banks 1 and 2 for the variants 2 and 3, all five otherwise.
std::array<bool, 5> selectedBanks(int variantCode);

// The firmware merge: each stage replaces the records of one bank's address range
// in an S-record file by records made from that bank's file.
class FirmwareMerge {
public:
    FirmwareMerge(Notices &notices, Progress &progress) : m_notices(notices), m_progress(progress) {}

    // Both directories end with the platform's separator, so names are appended directly.
    QString BinDir;
    QString OutputDir;
    QString NewFirmwareName;
    std::array<bool, 5> SelectedBanks = selectedBanks(2);

    // One stage: bank 0 to 4 from BinDir into the records of input, written to
    // OutputDir + outputName. Returns -1 when the stage did not complete (its
    // message was shown, nothing was written), 0 when no record of input lay in
    // the bank's range, 1 when the bank's records were placed. Throws TessiroError
    // when a file cannot be opened or created.
    int MergeBankIntoFirmware(int bank, const QString &input, const QString &outputName);

    // The chain of five stages from masterFile to OutputDir + NewFirmwareName,
    // through the intermediate files, which are removed at the end in every case.
    // Returns true only when every stage completed.
    bool runChain(const QString &masterFile);

    // "°B1°.sx" to "°B4°.sx".
    static QString intermediateName(int number);

private:
    void passOn(const QString &input, const QString &output);

    // Whether a stage's output must survive a crash (false for the intermediate files).
    bool m_durableOutput = true;

    Notices &m_notices;
    Progress &m_progress;
};
