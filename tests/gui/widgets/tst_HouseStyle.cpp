#include "config/USetVar.h"
#include "support/GuiTestSupport.h"
#include "widgets/SpreadsheetGrid.h"
#include "widgets/Style.h"

#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <memory>

namespace {

double luminance(QRgb rgb)
{
    const auto channel = [](int v) {
        const double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

// The contrast a reader sees between the commonest colour of a picture (its
// background) and the pixel that stands out most from it (the ink of its text).
double textContrast(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    const double lb = luminance(background);
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const double l = luminance(it.key());
        best = std::max(best, (std::max(l, lb) + 0.05) / (std::min(l, lb) + 0.05));
    }
    return best;
}

// A desktop theme as dark ones are: light text on dark faces.
QPalette darkDesktop()
{
    const QColor text(0xEE, 0xEE, 0xEE);
    QPalette p(text, QColor(0x35, 0x35, 0x35), QColor(0x50, 0x50, 0x50), QColor(0x20, 0x20, 0x20),
               QColor(0x2A, 0x2A, 0x2A), text, QColor(0xFF, 0xFF, 0xFF), QColor(0x1E, 0x1E, 0x1E),
               QColor(0x2B, 0x2B, 0x2B));
    p.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    p.setColor(QPalette::HighlightedText, Qt::black);
    return p;
}

} // namespace

class TestHouseStyle : public QObject {
    Q_OBJECT
private slots:
    // Under a dark desktop theme the captions of buttons and tabs, the grid's row
    // numbers and its column headers stay readable (WCAG's 4.5:1 for text).
    void readableUnderDarkTheme()
    {
        const QPalette before = QApplication::palette();
        QApplication::setPalette(darkDesktop());
        ProjectTestContext t;
        auto window = std::make_unique<TFSetVar>(t.ctx);
        showActive(window.get());

        auto *cancel = requireChild<QPushButton>(window.get(), "BitBtn2");
        auto *tabBar = requireChild<QTabWidget>(window.get(), "PageControl")->tabBar();
        SpreadsheetGrid *grid = nullptr;
        for (SpreadsheetGrid *g : window->findChildren<SpreadsheetGrid *>())
            if (g->isVisible())
                grid = g;
        QVERIFY(grid);
        const QRect rowNumber = grid->visualRect(grid->model()->index(1, 0));
        QHeaderView *header = grid->horizontalHeader();
        const QRect firstColumn(header->sectionViewportPosition(1), 0, header->sectionSize(1), header->height());
        const QImage gridPicture = grid->viewport()->grab().toImage();

        const struct {
            const char *what;
            QImage picture;
        } seen[] = {
            {"button caption", cancel->grab().toImage()},
            {"tab caption", tabBar->grab(tabBar->tabRect(tabBar->currentIndex())).toImage()},
            {"row number", gridPicture.copy(rowNumber)},
            {"column header", header->grab(firstColumn).toImage()},
        };
        QApplication::setPalette(before);
        for (const auto &s : seen) {
            const double contrast = textContrast(s.picture);
            if (contrast < 4.5)
                QFAIL(qPrintable(
                    QStringLiteral("%1: contrast %2:1").arg(QLatin1String(s.what)).arg(contrast, 0, 'f', 2)));
        }
    }
};

QTEST_MAIN(TestHouseStyle)
#include "tst_HouseStyle.moc"
