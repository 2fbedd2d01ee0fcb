// The merge stage: any master firmware text, merged with valid bank files, ends
// with a result, and a failure says why. The input is the master's text.
#include "FuzzSupport.h"
#include "base/Progress.h"
#include "base/TessiroError.h"
#include "image/FirmwareMerge.h"

#include <QDir>
#include <cstdio>

namespace {

// Five bank files of 16384 bytes, each with its own pattern, written once.
QString binDir()
{
    static const QString dir = [] {
        const QString path = fuzzDir().filePath(QStringLiteral("bin"));
        if (!QDir().mkpath(path))
            std::abort();
        for (int bank = 0; bank < 5; ++bank) {
            QByteArray bytes(16384, '\0');
            for (int i = 0; i < bytes.size(); ++i)
                bytes[i] = char((i * 7 + bank) & 0xFF);
            writeWhole(QStringLiteral("%1/bank%2.bin").arg(path).arg(bank + 1), bytes);
        }
        return path;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Masters are megabytes long; the merge's paths are all reached with a few lines.
    if (size > 4096)
        return 0;
    MergeInputs inputs;
    inputs.MasterFile = fuzzDir().filePath(QStringLiteral("master.s19"));
    inputs.BinDir = binDir();
    inputs.OutputPath = fuzzDir().filePath(QStringLiteral("New_master.s19"));
    // The input's length picks the variant: two banks or all five.
    inputs.SelectedBanks = selectedBanks(size % 2 ? 2 : 1);
    writeWhole(inputs.MasterFile, inputBytes(data, size));
    NoProgress progress;
    FirmwareMerge merge(inputs, progress);
    try {
        const StageOutcome outcome = merge.runChain();
        if (outcome.result == StageResult::Failed && outcome.message.isEmpty())
            fuzzFail("a failed merge without a message");
        if (outcome.result != StageResult::Failed && !QFile::exists(inputs.OutputPath))
            fuzzFail("a merge that did not fail wrote nothing");
    } catch (const TessiroError &e) {
        if (e.message().isEmpty())
            fuzzFail("an error without a message");
    }
    return 0;
}
