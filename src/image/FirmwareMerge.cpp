#include "image/FirmwareMerge.h"

#include "base/AppConstants.h"
#include "base/Progress.h"
#include "base/TessiroError.h"
#include "image/BankImage.h"
#include "image/Messages.h"
#include "project/ProjectStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";
constexpr int RecordLines = BankImage::BankSize / 32;
// The bar is moved every so many lines: enough to be seen, few enough to cost nothing.
constexpr int ProgressStride = 256;
// Output is handed to the file system in pieces of about this size.
constexpr qsizetype WriteChunk = 256 * 1024;

struct HexTable {
    signed char value[256];
    constexpr HexTable() : value()
    {
        for (int c = 0; c < 256; ++c)
            value[c] = -1;
        for (int d = 0; d < 10; ++d)
            value['0' + d] = char(d);
        for (int d = 0; d < 6; ++d) {
            value['A' + d] = char(10 + d);
            value['a' + d] = char(10 + d);
        }
    }
};
constexpr HexTable Hex;

// digits hex characters at text; false when one of them is not hexadecimal.
bool readHex(const char *text, int digits, quint32 *value)
{
    quint32 v = 0;
    for (int i = 0; i < digits; ++i) {
        const int d = Hex.value[uchar(text[i])];
        if (d < 0)
            return false;
        v = (v << 4) | quint32(d);
    }
    *value = v;
    return true;
}

void appendHexByte(QByteArray &out, uchar b)
{
    const char pair[] = {HexDigits[b >> 4], HexDigits[b & 0xF]};
    out.append(pair, 2);
}

// A data record "S" + type with addressDigits address digits, CR LF included.
QByteArray dataRecord(char type, int addressDigits, quint32 address, const uchar *data, int size)
{
    QByteArray line;
    line.reserve(4 + addressDigits + 2 * size + 4);
    line += 'S';
    line += type;
    appendHexByte(line, uchar(addressDigits / 2 + size + 1));
    for (int shift = (addressDigits - 2) * 4; shift >= 0; shift -= 8)
        appendHexByte(line, uchar(address >> shift));
    for (int i = 0; i < size; ++i)
        appendHexByte(line, data[i]);
    line += "00";
    return SetRecordChecksum(line, false) + "\r\n";
}

// Gathers a stage's output and writes it to the file in large pieces; spans of
// the input that pass unchanged go to the file without being copied first.
class OutputSink {
public:
    explicit OutputSink(QIODevice &file) : m_file(file) { m_buffer.reserve(WriteChunk); }

    void append(const char *data, qsizetype size)
    {
        if (size >= WriteChunk) {
            flush();
            write(data, size);
            return;
        }
        m_buffer.append(data, size);
        if (m_buffer.size() >= WriteChunk)
            flush();
    }
    void append(const QByteArray &bytes) { append(bytes.constData(), bytes.size()); }
    void flush()
    {
        write(m_buffer.constData(), m_buffer.size());
        m_buffer.clear();
    }
    bool ok() const { return m_ok; }

private:
    void write(const char *data, qsizetype size)
    {
        if (m_ok && size > 0 && m_file.write(data, size) != size)
            m_ok = false;
    }

    QIODevice &m_file;
    QByteArray m_buffer;
    bool m_ok = true;
};

struct PassOutcome {
    StageResult result = StageResult::Failed;
    bool missingEnd = false;
    qint64 badLine = 0; // the line that could not be handled, 0 for none
    const char *badReason = nullptr;
};

// How one data record meets the bank's range.
enum class Overlap { None, Inside, Straddles };

// The stage's pass over the input text: lines outside the bank's range are kept
// (with CR LF endings), the first line touching the range gives way to the bank's
// records, and the parts of a record that stick out of the range survive as
// records of their own.
PassOutcome mergeText(const char *text, qsizetype size, const std::vector<const char *> &newlines, int bank,
                      const QByteArray &records, Progress &progress, OutputSink &out)
{
    PassOutcome outcome;
    const quint32 rangeFirst = BankRange::first(bank);
    const quint32 rangeLast = BankRange::last(bank);

    const char *p = text;
    const char *const end = text + size;
    const char *span = p; // start of the bytes still to be copied as they are
    bool pending = true;
    bool sawEnd = false;
    qint64 lineNumber = 0;
    int position = 0;

    auto fail = [&](const char *reason) {
        outcome.result = StageResult::Failed;
        outcome.badLine = lineNumber;
        outcome.badReason = reason;
        return outcome;
    };

    for (const char *newline : newlines) {
        const char *lineEnd = newline ? newline : end;
        const char *contentEnd = (lineEnd > p && lineEnd[-1] == '\r') ? lineEnd - 1 : lineEnd;
        const char *next = newline ? newline + 1 : end;
        const bool endsWithCrLf = newline && contentEnd == lineEnd - 1;
        const qsizetype length = contentEnd - p;
        ++lineNumber;
        if (++position % ProgressStride == 0)
            progress.setPosition(position);

        Overlap overlap = Overlap::None;
        char type = 0;
        int addressDigits = 0;
        quint32 address = 0;
        quint32 count = 0;
        if (length >= 2 && p[0] == 'S') {
            type = p[1];
            if (type == '1' || type == '2' || type == '3') {
                addressDigits = 2 * (type - '0' + 1);
                if (length < 4 + addressDigits)
                    return fail("the record is too short to hold its address");
                if (!readHex(p + 2, 2, &count))
                    return fail("the byte count is not hexadecimal");
                if (!readHex(p + 4, addressDigits, &address))
                    return fail("the address is not hexadecimal");
                if (count < quint32(addressDigits / 2 + 1))
                    return fail("the byte count is too small for the address");
                const quint64 dataSize = count - quint32(addressDigits / 2) - 1;
                const quint64 first = address;
                const quint64 last = first + std::max<quint64>(dataSize, 1) - 1;
                if (last >= rangeFirst && first <= rangeLast)
                    overlap = (first >= rangeFirst && last <= rangeLast) ? Overlap::Inside : Overlap::Straddles;
            } else if (type == '7' || type == '8' || type == '9') {
                sawEnd = true;
                outcome.result = pending ? StageResult::RangeAbsent : StageResult::Placed;
            }
        }

        if (overlap == Overlap::None) {
            if (!endsWithCrLf) {
                out.append(span, p - span);
                out.append(p, length);
                out.append("\r\n", 2);
                span = next;
            }
            p = next;
            continue;
        }

        out.append(span, p - span);
        span = next;
        uchar data[256];
        int dataSize = 0;
        if (overlap == Overlap::Straddles) {
            // The record is cut, so it must be whole and sound.
            if (length != 4 + 2 * qsizetype(count))
                return fail("the line length does not match the byte count");
            quint32 value = 0;
            for (quint32 i = 0; i < count; ++i) {
                if (!readHex(p + 4 + 2 * i, 2, &value))
                    return fail("the record holds a character that is not hexadecimal");
                if (i >= quint32(addressDigits / 2) && i + 1 < count)
                    data[dataSize++] = uchar(value);
            }
            if (SetRecordChecksum(QByteArray(p, length), true) != QByteArray(p + length - 2, 2))
                return fail("the checksum does not match the record");
            const quint32 before = address < rangeFirst ? rangeFirst - address : 0;
            if (before > 0)
                out.append(dataRecord(type, addressDigits, address, data, int(before)));
        }
        if (pending) {
            out.append(records);
            position += RecordLines;
            progress.setPosition(position);
            pending = false;
        }
        if (overlap == Overlap::Straddles) {
            const quint64 last = quint64(address) + quint64(dataSize) - 1;
            if (last > rangeLast) {
                const quint32 skip = rangeLast + 1 - address;
                out.append(dataRecord(type, addressDigits, rangeLast + 1, data + skip, int(dataSize - skip)));
            }
        }
        p = next;
    }
    out.append(span, end - span);
    out.flush();
    if (!sawEnd) {
        outcome.result = StageResult::Failed;
        outcome.missingEnd = true;
    }
    return outcome;
}

// Where each line ends: its newline, or null for a last line without one.
std::vector<const char *> findLineEnds(const char *text, qsizetype size)
{
    std::vector<const char *> ends;
    ends.reserve(size_t(size / 64 + 1));
    const char *p = text;
    const char *const end = text + size;
    while (p < end) {
        const char *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        ends.push_back(newline);
        p = newline ? newline + 1 : end;
    }
    return ends;
}

// The whole text of a file: mapped where the platform allows, read otherwise.
class InputText {
public:
    explicit InputText(const QString &path) : m_file(path)
    {
        if (!m_file.open(QIODevice::ReadOnly))
            throw TessiroError(ImageMessages::fileNotRead(path, m_file.errorString()));
        const qint64 size = m_file.size();
        if (size > 0)
            m_data = reinterpret_cast<const char *>(m_file.map(0, size));
        if (m_data) {
            m_size = size;
            return;
        }
        m_copy = m_file.readAll();
        if (m_file.error() != QFileDevice::NoError)
            throw TessiroError(ImageMessages::fileNotRead(path, m_file.errorString()));
        m_data = m_copy.constData();
        m_size = m_copy.size();
    }
    const char *data() const { return m_data; }
    qsizetype size() const { return m_size; }

private:
    QFile m_file;
    QByteArray m_copy;
    const char *m_data = nullptr;
    qsizetype m_size = 0;
};

// A stage's pass from text into output, and its outcome.
StageOutcome runStage(int bank, const QString &input, const InputText &text, const QByteArray &records,
                      QIODevice &output, const QString &outputPath, Progress &progress)
{
    const std::vector<const char *> lineEnds = findLineEnds(text.data(), text.size());
    const qint64 maximum = std::min<qint64>(RecordLines + qint64(lineEnds.size()), INT_MAX);
    progress.setMaximum(int(maximum));
    OutputSink sink(output);
    const PassOutcome outcome = mergeText(text.data(), text.size(), lineEnds, bank, records, progress, sink);
    progress.setPosition(int(maximum));

    if (outcome.badLine > 0)
        return {StageResult::Failed,
                ImageMessages::badRecordLine(input, outcome.badLine, QString::fromLatin1(outcome.badReason))};
    if (outcome.missingEnd)
        return {StageResult::Failed, ImageMessages::noEndRecord(input)};
    if (!sink.ok())
        return {StageResult::Failed, ImageMessages::outputNotWritten(outputPath, output.errorString())};
    return {outcome.result, QString()};
}

} // namespace

QByteArray SetRecordChecksum(const QByteArray &line, bool checksumOnly)
{
    unsigned sum = 0;
    const qsizetype end = line.size() - 2;
    for (qsizetype i = 2; i + 1 < end; i += 2)
        sum += unsigned(std::max<int>(Hex.value[uchar(line[i])], 0) * 16 +
                        std::max<int>(Hex.value[uchar(line[i + 1])], 0));
    QByteArray digits;
    appendHexByte(digits, uchar(~sum & 0xFF));
    if (checksumOnly)
        return digits;
    QByteArray result = line;
    if (result.size() >= 2)
        result.replace(result.size() - 2, 2, digits);
    return result;
}

QByteArray BankRecordLines(int bank, const char *bankBytes)
{
    QByteArray out;
    out.reserve(RecordLines * 78);
    const auto *bytes = reinterpret_cast<const uchar *>(bankBytes);
    for (int n = 0; n < RecordLines; ++n)
        out += dataRecord('2', 6, BankRange::first(bank) + quint32(32 * n), bytes + 32 * n, 32);
    return out;
}

std::array<bool, 5> selectedBanks(int variantCode)
{
    if (variantCode == 2 || variantCode == 3)
        return {true, true, false, false, false};
    return {true, true, true, true, true};
}

MergeInputs mergeInputs(const ProjectState &project, const QString &masterFile)
{
    MergeInputs inputs;
    const QFileInfo master(masterFile);
    inputs.MasterFile = QDir::toNativeSeparators(master.absoluteFilePath());
    if (project.hasValidProject()) {
        const QString &bin = project.ProjectFiles.BinDir;
        if (QFileInfo(bin).isDir())
            inputs.BinDir = bin;
        inputs.OutputPath = joinPath(project.ProjectDir, ImageMessages::NewFirmwarePrefix + master.fileName());
    }
    inputs.SelectedBanks = selectedBanks(VariantCode);
    return inputs;
}

QString FirmwareMerge::intermediateName(int number)
{
    return QStringLiteral("\u00B0B%1\u00B0.sx").arg(number);
}

std::optional<StageOutcome> FirmwareMerge::checkStage(int bank, const QString &input, QByteArray *records) const
{
    auto failed = [](const QString &message) { return StageOutcome{StageResult::Failed, message}; };
    if (!QFileInfo::exists(input))
        return failed(ImageMessages::SxNotFound);
    if (QFileInfo(m_inputs.OutputPath).fileName().isEmpty())
        return failed(ImageMessages::NewSxNameEmpty);
    // An empty BinDir would otherwise stand for the current directory.
    if (m_inputs.BinDir.isEmpty() || !QFileInfo(m_inputs.BinDir).isDir())
        return failed(ImageMessages::BinDirNotFound);
    const QString bankPath = bankFilePath(m_inputs.BinDir, bank);
    if (!QFileInfo::exists(bankPath))
        return failed(ImageMessages::bankFileNotFound(bank + 1));

    QFile bankFile(bankPath);
    if (!bankFile.open(QIODevice::ReadOnly))
        throw TessiroError(ImageMessages::fileNotRead(bankPath, bankFile.errorString()));
    const QByteArray bankBytes = bankFile.read(BankImage::BankSize);
    if (bankBytes.size() < BankImage::BankSize)
        return failed(ImageMessages::bankFileTooShort(bankPath, bankBytes.size(), BankImage::BankSize));
    *records = BankRecordLines(bank, bankBytes.constData());
    return std::nullopt;
}

StageOutcome FirmwareMerge::MergeBankIntoDevice(int bank, const QString &input, QIODevice &output,
                                                const QString &outputPath)
{
    m_progress.setPosition(0);
    QByteArray records;
    if (const auto failure = checkStage(bank, input, &records))
        return *failure;
    return runStage(bank, input, InputText(input), records, output, outputPath, m_progress);
}

StageOutcome FirmwareMerge::MergeBankIntoFirmware(int bank, const QString &input, const QString &outputPath)
{
    m_progress.setPosition(0);
    QByteArray records;
    if (const auto failure = checkStage(bank, input, &records))
        return *failure;
    const QFileInfo outputInfo(outputPath);
    if (outputInfo.exists() && outputInfo == QFileInfo(input))
        throw TessiroError(ImageMessages::sameInputAndOutput(input));
    const InputText text(input);

    // A file that lives on after the chain is replaced in one step; an intermediate
    // one is removed at the chain's end anyway, so it need not reach the disk.
    std::unique_ptr<QFileDevice> file;
    if (m_durableOutput)
        file = std::make_unique<QSaveFile>(outputPath);
    else
        file = std::make_unique<QFile>(outputPath);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw TessiroError(ImageMessages::fileNotWritten(outputPath, file->errorString()));
    auto *saveFile = qobject_cast<QSaveFile *>(file.get());
    auto discard = [&] {
        if (saveFile) {
            saveFile->cancelWriting();
            saveFile->commit();
        } else {
            file->close();
            QFile::remove(outputPath);
        }
    };

    const StageOutcome outcome = runStage(bank, input, text, records, *file, outputPath, m_progress);
    if (outcome.result == StageResult::Failed) {
        discard();
        return outcome;
    }
    bool written = false;
    if (saveFile) {
        written = saveFile->commit();
    } else {
        file->close();
        written = file->error() == QFileDevice::NoError;
    }
    if (!written) {
        // Like a bad line, a failed write ends the stage with its own message.
        const QString reason = file->errorString();
        discard();
        return {StageResult::Failed, ImageMessages::outputNotWritten(outputPath, reason)};
    }
    return outcome;
}

void FirmwareMerge::passOn(const QString &input, const QString &output)
{
    if (QFileInfo::exists(output))
        QFile::remove(output);
    QFile file(input);
    if (!file.rename(output))
        throw TessiroError(ImageMessages::fileNotRenamed(input, output, file.errorString()));
}

StageOutcome FirmwareMerge::runChain()
{
    const QString outputDir = QFileInfo(m_inputs.OutputPath).path();
    // Removes the intermediate files however the chain ends, an exception included.
    struct Cleanup {
        FirmwareMerge &merge;
        const QString &dir;
        ~Cleanup()
        {
            merge.m_durableOutput = true;
            for (int n = 1; n <= 4; ++n)
                QFile::remove(joinPath(dir, intermediateName(n)));
        }
    } cleanup{*this, outputDir};

    // Stages after the last merging one only rename its output into place.
    int lastMerging = 0;
    for (int k = 0; k < 5; ++k)
        if (m_inputs.SelectedBanks[k])
            lastMerging = k;

    QString input = m_inputs.MasterFile;
    for (int k = 0; k < 5; ++k) {
        const QString output = k < 4 ? joinPath(outputDir, intermediateName(k + 1)) : m_inputs.OutputPath;
        if (m_inputs.SelectedBanks[k]) {
            m_durableOutput = k == lastMerging;
            const StageOutcome outcome = MergeBankIntoFirmware(k, input, output);
            if (outcome.result == StageResult::Failed)
                return outcome;
        } else {
            passOn(input, output);
        }
        input = output;
    }
    return {StageResult::Placed, QString()};
}
