#include "image/FirmwareMerge.h"

#include "base/AppConstants.h"
#include "base/AtomicFile.h"
#include "base/FileRead.h"
#include "base/Paths.h"
#include "base/Progress.h"
#include "base/TessiroError.h"
#include "image/BankImage.h"
#include "image/Messages.h"
#include "project/ProjectStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
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

// The same for a fixed number of digits, checked once at the end: every record
// line goes through here, so the loads run side by side without a branch each.
template <int Digits> bool readHexFixed(const char *text, quint32 *value)
{
    quint32 v = 0;
    int invalid = 0;
    for (int i = 0; i < Digits; ++i) {
        const int d = Hex.value[uchar(text[i])];
        invalid |= d;
        v = (v << 4) | quint32(d & 0xF);
    }
    *value = v;
    return invalid >= 0;
}

bool readAddress(const char *text, int digits, quint32 *value)
{
    switch (digits) {
    case 4:
        return readHexFixed<4>(text, value);
    case 6:
        return readHexFixed<6>(text, value);
    default:
        return readHexFixed<8>(text, value);
    }
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

// Gathers the merge's output and writes it to the file in large pieces; runs of
// the input that pass unchanged go to the file without being copied first. With
// no file, the output is dropped.
class OutputSink {
public:
    explicit OutputSink(QIODevice *file) : m_file(file) { m_buffer.reserve(WriteChunk); }

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
        if (!m_file || !m_ok || size <= 0)
            return;
        if (m_file->write(data, size) != size) {
            m_ok = false;
            return;
        }
#ifdef Q_OS_LINUX
        // The file is synced before it replaces the old one; handing each piece to
        // the disk now lets that sync find little left to write.
        if (const auto *file = qobject_cast<QFileDevice *>(m_file); file && file->handle() >= 0)
            sync_file_range(file->handle(), m_written, size, SYNC_FILE_RANGE_WRITE);
#endif
        m_written += size;
    }

    QIODevice *m_file;
    QByteArray m_buffer;
    qint64 m_written = 0;
    bool m_ok = true;
};

struct PassOutcome {
    bool missingEnd = false;
    qint64 badLine = 0; // the line that could not be handled, 0 for none
    const char *badReason = nullptr;
    bool readFailed = false;
};

// How one data record meets a bank's range.
enum class Overlap { None, Inside, Straddles };

// A bank on its way through the pass.
struct BankJob {
    int bank = 0;
    quint32 first = 0;
    quint32 last = 0;
    QByteArray records;
    bool pending = true;
    StageResult result = StageResult::Failed;
};

// The pass over the input, line by line as it arrives: lines outside every bank's
// range are kept (with CR LF endings) and written in runs as they stand, the first
// line touching a bank's range gives way to the bank's records, and the parts of a
// record that stick out of the range survive as records of their own.
class MergePass {
public:
    MergePass(std::vector<BankJob> &jobs, Progress &progress, OutputSink &out)
        : m_jobs(jobs), m_progress(progress), m_out(out)
    {
    }

    PassOutcome run(QIODevice &input, qint64 size);

private:
    // One line: [p, contentEnd) without its line end; next is where the line after it starts.
    bool line(const char *p, const char *contentEnd, const char *next, bool endsWithCrLf);
    bool fail(const char *reason)
    {
        m_outcome.badLine = m_lineNumber;
        m_outcome.badReason = reason;
        return false;
    }

    std::vector<BankJob> &m_jobs;
    Progress &m_progress;
    OutputSink &m_out;
    PassOutcome m_outcome;
    const char *m_span = nullptr; // start of the bytes still to be copied as they are
    bool m_sawEnd = false;
    qint64 m_lineNumber = 0;
};

// Input is read in pieces of this size; a longer line makes the piece grow, up to
// a bound that no S-record file comes near (a record line holds at most 514
// characters), so that a file without line ends cannot exhaust memory.
constexpr qsizetype ReadChunk = 1024 * 1024;
constexpr qsizetype MaxLineLength = 16 * ReadChunk;

PassOutcome MergePass::run(QIODevice &input, qint64 size)
{
    const int maximum = int(std::clamp<qint64>(size, 1, INT_MAX));
    m_progress.setMaximum(maximum);
    m_progress.setPosition(0);

    QByteArray buffer(ReadChunk, Qt::Uninitialized);
    qsizetype held = 0;  // bytes in buffer: a partial line carried over, then what was read
    qint64 consumed = 0; // input bytes before buffer[0]
    bool atEnd = false;
    while (!atEnd) {
        if (held == buffer.size()) {
            if (held >= MaxLineLength) {
                ++m_lineNumber;
                fail("the line is longer than 16777216 characters");
                return m_outcome;
            }
            buffer.resize(buffer.size() * 2);
        }
        const qint64 got = input.read(buffer.data() + held, buffer.size() - held);
        if (got < 0) {
            m_outcome.readFailed = true;
            return m_outcome;
        }
        atEnd = got == 0;
        held += qsizetype(got);

        const char *p = buffer.constData();
        const char *const end = p + held;
        m_span = p;
        while (p < end) {
            const char *newline = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            if (!newline && !atEnd)
                break; // the rest of the line is still to come
            const char *lineEnd = newline ? newline : end;
            const char *next = newline ? newline + 1 : end;
            const bool crlf = newline && lineEnd > p && lineEnd[-1] == '\r';
            ++m_lineNumber;
            if (!line(p, crlf ? lineEnd - 1 : lineEnd, next, crlf))
                return m_outcome;
            p = next;
            if (m_lineNumber % ProgressStride == 0)
                m_progress.setPosition(int(std::min<qint64>(consumed + (p - buffer.constData()), maximum)));
        }
        m_out.append(m_span, p - m_span);
        const qsizetype done = p - buffer.constData();
        consumed += done;
        held -= done;
        if (held > 0)
            std::memmove(buffer.data(), buffer.constData() + done, size_t(held));
    }
    m_out.flush();
    m_progress.setPosition(maximum);
    m_outcome.missingEnd = !m_sawEnd;
    return m_outcome;
}

bool MergePass::line(const char *p, const char *contentEnd, const char *next, bool endsWithCrLf)
{
    const qsizetype length = contentEnd - p;
    BankJob *job = nullptr;
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
            if (!readHexFixed<2>(p + 2, &count))
                return fail("the byte count is not hexadecimal");
            if (!readAddress(p + 4, addressDigits, &address))
                return fail("the address is not hexadecimal");
            if (count < quint32(addressDigits / 2 + 1))
                return fail("the byte count is too small for the address");
            const quint64 dataSize = count - quint32(addressDigits / 2) - 1;
            const quint64 first = address;
            const quint64 last = first + std::max<quint64>(dataSize, 1) - 1;
            // The ranges lie far apart, so a record meets one of them at most.
            for (BankJob &j : m_jobs) {
                if (last >= j.first && first <= j.last) {
                    job = &j;
                    overlap = (first >= j.first && last <= j.last) ? Overlap::Inside : Overlap::Straddles;
                    break;
                }
            }
        } else if (type == '7' || type == '8' || type == '9') {
            m_sawEnd = true;
            for (BankJob &j : m_jobs)
                j.result = j.pending ? StageResult::RangeAbsent : StageResult::Placed;
        }
    }

    if (overlap == Overlap::None) {
        // A line kept as it is stays in the run; one without CR LF ends it.
        if (!endsWithCrLf) {
            m_out.append(m_span, p - m_span);
            m_out.append(p, length);
            m_out.append("\r\n", 2);
            m_span = next;
        }
        return true;
    }

    m_out.append(m_span, p - m_span);
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
        const quint32 before = address < job->first ? job->first - address : 0;
        if (before > 0)
            m_out.append(dataRecord(type, addressDigits, address, data, int(before)));
    }
    if (job->pending) {
        m_out.append(job->records);
        job->pending = false;
    }
    if (overlap == Overlap::Straddles) {
        const quint64 last = quint64(address) + quint64(dataSize) - 1;
        if (last > job->last) {
            const quint32 skip = job->last + 1 - address;
            m_out.append(dataRecord(type, addressDigits, job->last + 1, data + skip, int(dataSize - quint32(skip))));
        }
    }
    m_span = next;
    return true;
}

// Bounds of what the merge reads: far above any real firmware or bank file, far
// below what would exhaust memory or time.
constexpr qint64 MasterSizeLimit = qint64(1) << 30;
constexpr qint64 BankFileSizeLimit = qint64(64) << 20;

// Why a file given to the merge is refused, or nothing: a FIFO or a device would
// block the read or never end.
const QString CannotRead = ImageMessages::fileNotRead(QStringLiteral("%1"), QStringLiteral("%2"));

std::optional<QString> refusal(const QString &path, qint64 limit)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return ImageMessages::notRegularFile(path);
    if (info.size() > limit)
        return ImageMessages::fileTooLarge(path, info.size(), limit);
    return std::nullopt;
}

StageOutcome failed(const QString &message)
{
    return {StageResult::Failed, message};
}

std::array<bool, 5> onlyBank(int bank)
{
    std::array<bool, 5> banks{};
    banks[size_t(bank)] = true;
    return banks;
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

std::optional<StageOutcome> FirmwareMerge::checkInput(const QString &input) const
{
    if (!QFileInfo::exists(input))
        return failed(ImageMessages::SxNotFound);
    if (QFileInfo(m_inputs.OutputPath).fileName().isEmpty())
        return failed(ImageMessages::NewSxNameEmpty);
    // An empty BinDir would otherwise stand for the current directory.
    if (m_inputs.BinDir.isEmpty() || !QFileInfo(m_inputs.BinDir).isDir())
        return failed(ImageMessages::BinDirNotFound);
    return std::nullopt;
}

std::optional<StageOutcome> FirmwareMerge::checkBank(int bank, QByteArray *records) const
{
    const QString bankPath = bankFilePath(m_inputs.BinDir, bank);
    if (!QFileInfo::exists(bankPath))
        return failed(ImageMessages::bankFileNotFound(bank + 1));
    if (const auto refused = refusal(bankPath, BankFileSizeLimit))
        return failed(*refused);
    // Opened with the checks made again on the descriptor: a FIFO put in place
    // since the look above must not block.
    QFile bankFile;
    openRegularFile(bankFile, bankPath, BankFileSizeLimit, CannotRead);
    const QByteArray bankBytes = bankFile.read(BankImage::BankSize);
    if (bankBytes.size() < BankImage::BankSize)
        return failed(ImageMessages::bankFileTooShort(bankPath, bankBytes.size(), BankImage::BankSize));
    *records = BankRecordLines(bank, bankBytes.constData());
    return std::nullopt;
}

StageOutcome FirmwareMerge::merge(const QString &input, const std::array<bool, 5> &banks, const QString &outputPath,
                                  QIODevice *device)
{
    m_progress.setPosition(0);
    if (const auto failure = checkInput(input))
        return *failure;

    // The stages of the chain this pass stands for run in order, each stopping the
    // chain when it fails; a later stage's failure is known before the pass, but
    // is shown only when the stages before it went through.
    std::vector<BankJob> jobs;
    std::optional<StageOutcome> laterFailure;
    std::optional<TessiroError> laterError;
    for (int k = 0; k < 5 && !laterFailure && !laterError; ++k) {
        if (!banks[size_t(k)])
            continue;
        BankJob job;
        job.bank = k;
        job.first = BankRange::first(k);
        job.last = BankRange::last(k);
        try {
            if (const auto failure = checkBank(k, &job.records)) {
                if (jobs.empty())
                    return *failure;
                laterFailure = failure;
                continue;
            }
        } catch (const TessiroError &e) {
            if (jobs.empty())
                throw;
            laterError = e;
            continue;
        }
        jobs.push_back(std::move(job));
    }

    const QFileInfo outputInfo(outputPath);
    if (outputInfo.exists() && outputInfo == QFileInfo(input))
        throw TessiroError(ImageMessages::sameInputAndOutput(input));
    if (const auto refused = refusal(input, MasterSizeLimit))
        return failed(*refused);
    QFile inputFile;
    openRegularFile(inputFile, input, MasterSizeLimit, CannotRead, QIODevice::ReadOnly | QIODevice::Unbuffered);

    // Nothing is written when a later stage is known to fail: the pass only looks
    // for the failures of the stages before it.
    std::optional<AtomicFileWriter> file;
    if (!device && !laterFailure && !laterError) {
        try {
            file.emplace(outputPath, AtomicWriteOptions{.replaceLink = true});
        } catch (const FileWriteError &e) {
            throw TessiroError(ImageMessages::fileNotWritten(outputPath, e.reason()));
        }
        device = &file->device();
    }

    OutputSink sink(device);
    MergePass pass(jobs, m_progress, sink);
    const PassOutcome outcome = pass.run(inputFile, inputFile.size());
    // A file that is not committed is discarded with its temporary: the old one stays.
    if (outcome.readFailed)
        throw TessiroError(ImageMessages::fileNotRead(input, inputFile.errorString()));
    if (outcome.badLine > 0)
        return failed(ImageMessages::badRecordLine(input, outcome.badLine, QString::fromLatin1(outcome.badReason)));
    if (outcome.missingEnd)
        return failed(ImageMessages::noEndRecord(input));
    if (laterError)
        throw *laterError;
    if (laterFailure)
        return *laterFailure;
    if (!sink.ok())
        return failed(ImageMessages::outputNotWritten(outputPath, device->errorString()));
    if (file) {
        try {
            file->commit();
        } catch (const FileWriteError &e) {
            return failed(ImageMessages::outputNotWritten(outputPath, e.reason()));
        }
    }

    // The chain goes on after a stage whose range was absent, so only a single
    // stage tells one from the other.
    return {jobs.size() == 1 ? jobs.front().result : StageResult::Placed, QString()};
}

StageOutcome FirmwareMerge::MergeBankIntoFirmware(int bank, const QString &input, const QString &outputPath)
{
    return merge(input, onlyBank(bank), outputPath, nullptr);
}

StageOutcome FirmwareMerge::MergeBankIntoDevice(int bank, const QString &input, QIODevice &output,
                                                const QString &outputPath)
{
    return merge(input, onlyBank(bank), outputPath, &output);
}

StageOutcome FirmwareMerge::runChain()
{
    // Under the project's write lock nobody else writes here: what looks like our
    // temporary was left by a run that was killed.
    if (!m_inputs.OutputPath.isEmpty())
        removeStaleTemporaries(m_inputs.OutputPath, {m_inputs.MasterFile});
    return merge(m_inputs.MasterFile, m_inputs.SelectedBanks, m_inputs.OutputPath, nullptr);
}
