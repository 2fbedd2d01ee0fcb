// Imports a worksheet of 3000 records into the SDO translation table from .xls,
// .xlsx and .ods, each side by side with the fastest minimal reader of its format
// (the floor: FreeXL's C API for .xls; the zip reader and pugixml for .xlsx and .ods, which
// only unpack the sheet and touch every cell; for .xls also FreeXL making each
// cell its text, as the table needs), and exports the table against python's csv
// writer, as python writes plainly and as durably as Export writes (a synced
// temporary renamed over the file); then times opening TFsdo. Imports are timed
// in CPU time, the rest in wall time. Runs interleave; it prints best
// and median times and the ratio of the medians.
//   [BENCH_KEEP_HEAP=1] bench_translate WORKBOOK_DIR [RUNS]
// (bench_translate.sh makes the workbooks)
#include "base/FileChooser.h"
#include "base/Notices.h"
#include "base/ProcessLauncher.h"
#include "project/AppContext.h"
#include "project/ProjectStore.h"
#include "translate/SdoTranslation.h"
#include "translate/USdo.h"
#include "workbook/CsvText.h"
#include "workbook/ZipArchive.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <freexl.h>
#include <malloc.h>
#include <pugixml.hpp>
#include <vector>

namespace {

template <typename F> double milliseconds(F &&body)
{
    QElapsedTimer timer;
    timer.start();
    body();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The CPU time the body takes on this thread, page faults included: on a shared
// machine, time spent waiting for a core would swell the longer runs more.
template <typename F> double cpuMilliseconds(F &&body)
{
    auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    };
    const double start = now();
    body();
    return now() - start;
}

// Opens the workbook with FreeXL, finds the sheet "sdo" and hands each row's
// cells to onRow(row, rows, columns, cellAt).
template <typename OnRow> void freexlSheet(const QString &path, OnRow &&onRow)
{
    const void *handle = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &handle) != FREEXL_OK)
        qFatal("FreeXL cannot open the workbook");
    unsigned int sheets = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets);
    for (unsigned short i = 0; i < sheets; ++i) {
        const char *name = nullptr;
        freexl_get_worksheet_name(handle, i, &name);
        if (std::strcmp(name, "sdo") != 0)
            continue;
        freexl_select_active_worksheet(handle, i);
        unsigned int rows = 0;
        unsigned short columns = 0;
        freexl_worksheet_dimensions(handle, &rows, &columns);
        for (unsigned int r = 0; r < rows; ++r)
            onRow(r, rows, columns, [&](unsigned short c) {
                FreeXL_CellValue value;
                freexl_get_cell_value(handle, r, c, &value);
                return value;
            });
    }
    freexl_close(handle);
}

// .xls floor: open the workbook, find the sheet, touch every cell.
qint64 freexlAlone(const QString &path)
{
    qint64 touched = 0;
    freexlSheet(path, [&](unsigned int, unsigned int, unsigned short columns, auto &&cellAt) {
        for (unsigned short c = 0; c < columns; ++c)
            touched += cellAt(c).type;
    });
    return touched;
}

// .xls floor as the table needs it: the same, each cell made the text it shows
// (FreeXL gives numbers, and texts as UTF-8), as any reader filling a table of
// texts must.
qint64 freexlAsText(const QString &path)
{
    qint64 touched = 0;
    QList<QStringList> records;
    freexlSheet(path, [&](unsigned int r, unsigned int rows, unsigned short columns, auto &&cellAt) {
        if (r == 0)
            records.resize(rows);
        QStringList &fields = records[r];
        fields.reserve(columns);
        for (unsigned short c = 0; c < columns; ++c) {
            const FreeXL_CellValue value = cellAt(c);
            // Numbers by std::to_chars, the fastest way to their digits.
            char digits[32];
            switch (value.type) {
            case FREEXL_CELL_INT:
                fields << QString::fromLatin1(
                    digits, std::to_chars(digits, digits + sizeof digits, value.value.int_value).ptr - digits);
                break;
            case FREEXL_CELL_DOUBLE:
                fields << QString::fromLatin1(
                    digits, std::to_chars(digits, digits + sizeof digits, value.value.double_value).ptr - digits);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                fields << QString::fromUtf8(value.value.text_value);
                break;
            default:
                fields << QString();
            }
        }
        touched += fields.size();
    });
    return touched;
}

// The workbook's bytes as a zip.
ZipArchive openZip(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot open the workbook");
    return ZipArchive(f.readAll());
}

// .xlsx floor: the shared strings and the one sheet's cells, every value touched.
qint64 zipXmlAloneXlsx(const QString &path)
{
    const ZipArchive zip = openZip(path);
    qint64 touched = 0;
    const QByteArray strings = zip.read(QStringLiteral("xl/sharedStrings.xml"));
    const QByteArray sheet = zip.read(QStringLiteral("xl/worksheets/sheet1.xml"));
    pugi::xml_document doc;
    doc.load_buffer(strings.constData(), size_t(strings.size()));
    for (const pugi::xml_node si : doc.child("sst").children("si"))
        touched += qint64(std::strlen(si.child("t").child_value()));
    doc.load_buffer(sheet.constData(), size_t(sheet.size()));
    for (const pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row"))
        for (const pugi::xml_node c : row.children("c"))
            touched +=
                qint64(std::strlen(c.child("v").child_value()) + std::strlen(c.child("is").child("t").child_value()));
    return touched;
}

// .ods floor: content.xml's cells, every value touched.
qint64 zipXmlAloneOds(const QString &path)
{
    const ZipArchive zip = openZip(path);
    const QByteArray content = zip.read(QStringLiteral("content.xml"));
    pugi::xml_document doc;
    doc.load_buffer(content.constData(), size_t(content.size()));
    qint64 touched = 0;
    const pugi::xml_node table =
        doc.child("office:document-content").child("office:body").child("office:spreadsheet").child("table:table");
    for (const pugi::xml_node row : table.children("table:table-row"))
        for (const pugi::xml_node c : row.children("table:table-cell"))
            touched += qint64(std::strlen(c.child("text:p").child_value())) + c.attribute("office:value").as_int();
    return touched;
}

struct Quiet : Notices, FileChooser, ProcessLauncher {
    void notice(const QString &) override {}
    void error(const QString &) override {}
    void generalError(const QString &) override {}
    bool confirm(const QString &) override { return false; }
    QString openFile(const FileDialogOptions &) override { return {}; }
    QString saveFile(const FileDialogOptions &) override { return {}; }
    QString chooseFolder(const QString &, const QString &, const QString &) override { return {}; }
    void startDetached(const QString &, const QString &) override {}
    void openUrl(const QString &) override {}
};

struct Times {
    std::vector<double> runs;
    double best() const { return *std::min_element(runs.begin(), runs.end()); }
    double median() const
    {
        std::vector<double> sorted = runs;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

void row(const char *what, const Times &t)
{
    std::printf("  %-34s best %8.2f ms  median %8.2f ms\n", what, t.best(), t.median());
}

// Python's csv writer on the same lines: median of runs, in milliseconds, as the
// script measures it around the writing alone; a negative value when there is no
// python3. durable: written as Export writes, to a temporary file synced to the
// disk, renamed over the file, the folder synced.
double pythonCsvMedian(const QString &csvPath, int runs, const QString &outDir, bool durable = false)
{
    const QString script =
        QStringLiteral("import csv, sys, time, statistics\n"
                       "rows = list(csv.reader(open(sys.argv[1], encoding='utf-8-sig', newline='')))\n"
                       "out = sys.argv[3] + '/py.csv'\n"
                       "times = []\n"
                       "for _ in range(int(sys.argv[2])):\n"
                       "    t = time.perf_counter()\n"
                       "    if sys.argv[4] == '1':\n"
                       "        import os\n"
                       "        with open(out + '.tmp', 'w', encoding='utf-8-sig', newline='') as f:\n"
                       "            csv.writer(f, lineterminator='\\r\\n').writerows(rows)\n"
                       "            f.flush()\n"
                       "            os.fsync(f.fileno())\n"
                       "        os.replace(out + '.tmp', out)\n"
                       "        d = os.open(sys.argv[3], os.O_RDONLY)\n"
                       "        os.fsync(d)\n"
                       "        os.close(d)\n"
                       "    else:\n"
                       "        with open(out, 'w', encoding='utf-8-sig', newline='') as f:\n"
                       "            csv.writer(f, lineterminator='\\r\\n').writerows(rows)\n"
                       "    times.append((time.perf_counter() - t) * 1000)\n"
                       "print(statistics.median(times))\n");
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), script, csvPath, QString::number(runs), outDir,
                                             durable ? QStringLiteral("1") : QStringLiteral("0")});
    if (!python.waitForFinished(120000) || python.exitCode() != 0)
        return -1;
    return python.readAllStandardOutput().trimmed().toDouble();
}

} // namespace

int main(int argc, char *argv[])
{
    // BENCH_KEEP_HEAP set: freed memory stays in the process, so that no run pays
    // page faults for memory an earlier run gave back; the times are then the
    // work alone.
    if (qEnvironmentVariableIsSet("BENCH_KEEP_HEAP")) {
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        mallopt(M_MMAP_THRESHOLD, 1 << 30);
    }
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "Usage: bench_translate WORKBOOK_DIR [RUNS]\n");
        return 2;
    }
    const QDir books(QString::fromLocal8Bit(argv[1]));
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 21;
    QTemporaryDir project;
    qint64 sink = 0;

    struct Format {
        const char *name;
        qint64 (*floor)(const QString &);
        const char *floorName;
        // The floor with each cell made its text, where the floor leaves that out.
        qint64 (*textFloor)(const QString &) = nullptr;
        const char *textFloorName = nullptr;
    };
    const Format formats[] = {{"xls", freexlAlone, "FreeXL alone", freexlAsText, "FreeXL, cells made texts"},
                              {"xlsx", zipXmlAloneXlsx, "zip reader + pugixml alone"},
                              {"ods", zipXmlAloneOds, "zip reader + pugixml alone"}};
    std::printf("Import of 3000 records, 8 columns, into the SDO table (CPU time, medians of %d runs)\n", runs);
    for (const Format &format : formats) {
        const QString path = books.filePath(QStringLiteral("sdo_3000.") + QLatin1String(format.name));
        if (!QFile::exists(path)) {
            std::printf(".%s: no workbook (%s)\n", format.name, qPrintable(path));
            continue;
        }
        Times floor, textFloor, ours;
        for (int i = 0; i < runs; ++i) {
            floor.runs.push_back(cpuMilliseconds([&] { sink += format.floor(path); }));
            if (format.textFloor)
                textFloor.runs.push_back(cpuMilliseconds([&] { sink += format.textFloor(path); }));
            SdoTranslation table;
            ours.runs.push_back(cpuMilliseconds([&] {
                const ImportOutcome outcome = table.importFrom(path);
                if (outcome.taken != 3000 || !outcome.notices.isEmpty())
                    qFatal("import took %d records: %s", outcome.taken, qPrintable(outcome.notices.join(u' ')));
            }));
        }
        std::printf(".%s\n", format.name);
        row(format.floorName, floor);
        if (format.textFloor)
            row(format.textFloorName, textFloor);
        row("import", ours);
        std::printf("  ratio of medians: %.2fx (goal: within 2x)\n", ours.median() / floor.median());
        if (format.textFloor)
            std::printf("  ratio of medians to the floor with texts: %.2fx\n", ours.median() / textFloor.median());
    }

    // Export of the imported table: the CSV alone, as python writes it, and the
    // whole of Export (CSV and .xlsx).
    SdoTranslation table;
    table.importFrom(books.filePath(QStringLiteral("sdo_3000.xlsx")));
    const ProjectFiles files = projectFiles(project.path());
    Times csvOnly, whole, bytesOnly, plainly;
    const QString plainPath = project.filePath(QStringLiteral("plain.csv"));
    for (int i = 0; i < runs; ++i) {
        bytesOnly.runs.push_back(milliseconds([&] { sink += csvBytes(table.exportLines()).size(); }));
        // Written as python's plain open() and write() do: no temporary, no sync.
        plainly.runs.push_back(milliseconds([&] {
            QFile plain(plainPath);
            if (!plain.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                plain.write(csvBytes(table.exportLines())) < 0)
                qFatal("cannot write %s", qPrintable(plainPath));
        }));
        csvOnly.runs.push_back(
            milliseconds([&] { writeCsvFile(files.csvPath(QStringLiteral("sdo")), csvBytes(table.exportLines())); }));
        whole.runs.push_back(milliseconds([&] { table.exportFiles(files); }));
    }
    const double python = pythonCsvMedian(files.csvPath(QStringLiteral("sdo")), runs, project.path());
    const double pythonDurable = pythonCsvMedian(files.csvPath(QStringLiteral("sdo")), runs, project.path(), true);
    std::printf("Export of the table (3002 lines)\n");
    row("sdo.csv", csvOnly);
    row("  of which its bytes, in memory", bytesOnly);
    row("  written plainly, no sync", plainly);
    row("sdo.csv and sdo.xlsx (Export)", whole);
    if (python > 0) {
        std::printf("  python csv writer, same lines:     median %8.2f ms\n", python);
        std::printf("  ratio of medians: sdo.csv %.2fx, Export %.2fx (goal: within 1x)\n", csvOnly.median() / python,
                    whole.median() / python);
        std::printf("  ratio of medians, both written plainly: %.2fx\n", plainly.median() / python);
    }
    if (pythonDurable > 0) {
        std::printf("  python, synced and renamed as Export: median %8.2f ms\n", pythonDurable);
        std::printf("  ratio of medians, both synced and renamed: sdo.csv %.2fx\n", csvOnly.median() / pythonDurable);
    }

    Quiet quiet;
    ProjectStore store;
    AppContext ctx{quiet, quiet, quiet, store};
    Times open;
    for (int i = 0; i < std::max(3, runs / 3); ++i)
        open.runs.push_back(milliseconds([&] {
            TFsdo window(ctx);
            window.show();
            QApplication::processEvents();
        }));
    row("opening TFsdo (2 x 1501 rows)", open);
    std::printf("(%lld cells touched by the floors)\n", static_cast<long long>(sink));
    return 0;
}
