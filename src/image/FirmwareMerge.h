#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

class Progress;
class QIODevice;
struct ProjectState;

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

// What the merge reads and writes, as full paths.
struct MergeInputs {
    QString MasterFile;
    // The project's bin directory; empty when the project has none, so that the
    // banks of another project are never merged.
    QString BinDir;
    // OutputDir + NewFirmwareName: the project directory and "New_" + the master's name.
    QString OutputPath;
    std::array<bool, 5> SelectedBanks = selectedBanks(2);
};

// The one set-up of the merge, shared by the update window and the command line.
MergeInputs mergeInputs(const ProjectState &project, const QString &masterFile);

enum class StageResult { Failed, RangeAbsent, Placed };

struct StageOutcome {
    StageResult result = StageResult::Failed;
    // What to show as a notice when the stage failed; empty otherwise.
    QString message;
};

// The firmware merge: the records of each selected bank's address range in the
// master firmware are replaced by records made from that bank's file, in one pass
// over the master, and the result replaces the merged file in one step.
class FirmwareMerge {
public:
    FirmwareMerge(MergeInputs inputs, Progress &progress) : m_inputs(std::move(inputs)), m_progress(progress) {}

    const MergeInputs &inputs() const { return m_inputs; }

    // One stage: bank 0 to 4 from BinDir into the records of input, written to
    // outputPath. Failed when the stage did not complete (nothing was written),
    // RangeAbsent when no record of input lay in the bank's range, Placed when the
    // bank's records were placed. Throws TessiroError when a file cannot be opened
    // or created.
    StageOutcome MergeBankIntoFirmware(int bank, const QString &input, const QString &outputPath);
    // The same stage into output, already open for writing; outputPath names it in messages.
    StageOutcome MergeBankIntoDevice(int bank, const QString &input, QIODevice &output, const QString &outputPath);

    // The chain: every selected bank from MasterFile to OutputPath in one pass.
    // It fails with the message of the stage that would fail first, and then
    // writes nothing: OutputPath keeps the file of an earlier merge. Placed when
    // every stage completed. Call it under the project's write lock: it removes
    // what a killed run left of OutputPath.
    StageOutcome runChain();

private:
    // The checks of a stage, in their order; a failed outcome, or nothing.
    std::optional<StageOutcome> checkInput(const QString &input) const;
    std::optional<StageOutcome> checkBank(int bank, QByteArray *records) const;
    // The pass for the banks selected in banks; into device when given, else
    // into the file outputPath.
    StageOutcome merge(const QString &input, const std::array<bool, 5> &banks, const QString &outputPath,
                       QIODevice *device);

    MergeInputs m_inputs;
    Progress &m_progress;
};
