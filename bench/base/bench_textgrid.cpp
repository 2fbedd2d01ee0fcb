// Fills a 1501-row grid shown in a table view: a pasted block (one change for the
// view) against the same cells set one by one, then copying and clearing it all.
// Prints the best of several runs and the ratio of the two fills.
#include "base/TextGridModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <algorithm>
#include <cstdio>

namespace {

template <typename F> double bestMilliseconds(int runs, F &&body)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        body();
        QCoreApplication::processEvents();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList titles{"N", "RW", "Index", "Subindex", "devID", "Index", "Subindex", "nbyte", "mnemonico"};
    TextGridModel model({.dataRows = 1500, .columnTitles = titles, .firstNumber = 0, .headerRow = titles});
    QTableView view;
    view.setModel(&model);
    view.resize(800, 600);
    view.show();
    QCoreApplication::processEvents();

    QList<QStringList> block;
    QString text;
    for (int r = 0; r < 1500; ++r) {
        QStringList cells;
        for (int c = 1; c < 9; ++c)
            cells << QStringLiteral("%1.%2").arg(r).arg(c);
        block << cells;
        text += cells.join(u'\t') + QStringLiteral("\r\n");
    }

    const int runs = 7;
    const double paste = bestMilliseconds(runs, [&] {
        model.clearAll();
        model.pasteText(1, 1, text);
    });
    const double oneByOne = bestMilliseconds(runs, [&] {
        model.clearAll();
        for (int r = 0; r < block.size(); ++r)
            for (int c = 0; c < block[r].size(); ++c)
                model.setCell(r + 1, c + 1, block[r][c]);
    });
    QString copied;
    const double copy = bestMilliseconds(runs, [&] { copied = model.copyText(QRect(0, 0, 9, 1501)); });
    const double clear = bestMilliseconds(runs, [&] { model.clearAll(); });

    std::printf("1501 x 9 grid in a table view, best of %d runs\n", runs);
    std::printf("paste 1500 x 8 block      %8.2f ms\n", paste);
    std::printf("same cells one by one     %8.2f ms\n", oneByOne);
    std::printf("ratio one by one / paste  %8.1f\n", oneByOne / paste);
    std::printf("copy the whole grid       %8.2f ms (%lld characters)\n", copy, qlonglong(copied.size()));
    std::printf("clear                     %8.2f ms\n", clear);
    return 0;
}
