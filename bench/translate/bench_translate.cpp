// Imports a generated worksheet of 3000 records into the SDO translation table and
// exports it as CSV, against FreeXL reading the same workbook alone (the floor),
// and times opening TFsdo (two grids of 1501 rows). Prints best and median times
// of interleaved runs and the ratio of the medians.
#include "base/FileChooser.h"
#include "base/Notices.h"
#include "base/ProcessLauncher.h"
#include "project/ProjectStore.h"
#include "translate/SdoTranslation.h"
#include "translate/USdo.h"
#include "widgets/AppContext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <freexl.h>
#include <vector>

namespace {

template <typename F> double milliseconds(F &&body)
{
    QElapsedTimer timer;
    timer.start();
    body();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The floor: open the workbook, find the sheet, touch every cell.
qint64 freexlAlone(const QString &path)
{
    const void *handle = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &handle) != FREEXL_OK)
        qFatal("FreeXL cannot open the workbook");
    unsigned int sheets = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets);
    qint64 touched = 0;
    for (unsigned short i = 0; i < sheets; ++i) {
        const char *name = nullptr;
        freexl_get_worksheet_name(handle, i, &name);
        if (QString::fromUtf8(name).toLower() != QLatin1String("sdo"))
            continue;
        freexl_select_active_worksheet(handle, i);
        unsigned int rows = 0;
        unsigned short columns = 0;
        freexl_worksheet_dimensions(handle, &rows, &columns);
        for (unsigned int r = 0; r < rows; ++r)
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue value;
                freexl_get_cell_value(handle, r, c, &value);
                touched += value.type;
            }
    }
    freexl_close(handle);
    return touched;
}

struct Quiet : Notices, FileChooser, ProcessLauncher {
    void notice(const QString &) override {}
    void error(const QString &) override {}
    void generalError(const QString &) override {}
    QString openFile(const FileDialogOptions &) override { return {}; }
    QString saveFile(const FileDialogOptions &) override { return {}; }
    QString chooseFolder(const QString &, const QString &, const QString &) override { return {}; }
    bool startDetached(const QString &, const QString &, QString *) override { return true; }
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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString workbook = QStringLiteral(BENCH_WORKBOOK);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 21;
    QTemporaryDir project;

    Times floor;
    Times ours;
    Times importOnly;
    Times exportOnly;
    qint64 sink = 0;
    for (int i = 0; i < runs; ++i) {
        floor.runs.push_back(milliseconds([&] { sink += freexlAlone(workbook); }));
        SdoTranslation table;
        double imported = 0;
        ours.runs.push_back(milliseconds([&] {
            imported = milliseconds([&] {
                const ImportOutcome outcome = table.importFrom(workbook);
                if (outcome.taken != 3000 || !outcome.notices.isEmpty())
                    qFatal("import took %d records", outcome.taken);
            });
            exportOnly.runs.push_back(milliseconds([&] { table.exportFiles(projectFiles(project.path())); }));
        }));
        importOnly.runs.push_back(imported);
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

    std::printf("3000 records, 8 columns (%lld cells touched by the floor)\n", sink / runs);
    std::printf("FreeXL alone (floor):         best %7.2f ms  median %7.2f ms\n", floor.best(), floor.median());
    std::printf("import into TFsdo's table\n"
                "  and export sdo.csv:         best %7.2f ms  median %7.2f ms\n",
                ours.best(), ours.median());
    std::printf("  of which the import:        best %7.2f ms  median %7.2f ms\n", importOnly.best(),
                importOnly.median());
    std::printf("  and the export:             best %7.2f ms  median %7.2f ms\n", exportOnly.best(),
                exportOnly.median());
    std::printf("ratio of medians:             %.2fx (goal: within 2x)\n", ours.median() / floor.median());
    std::printf("opening TFsdo (2 x 1501 rows): best %7.2f ms  median %7.2f ms\n", open.best(), open.median());
    return 0;
}
