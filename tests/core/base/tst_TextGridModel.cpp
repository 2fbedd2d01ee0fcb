#include "base/TextGridModel.h"
#include "support/GridModelTester.h"

#include <QTest>

namespace {

// The shape of the translation grids: a header row holding titles, entries numbered from 0.
TextGridLayout translationLayout(int entries)
{
    return {.dataRows = entries,
            .columnTitles = {"N\u00B0", "cobid", "id_dev_orig"},
            .firstNumber = 0,
            .headerRow = {"N", "cobid", "id_dev_orig"}};
}

} // namespace

class TestTextGridModel : public QObject {
    Q_OBJECT
private slots:
    void modelRules_data()
    {
        QTest::addColumn<bool>("headerRow");
        QTest::newRow("number column") << false;
        QTest::newRow("number column and header row") << true;
    }

    void modelRules()
    {
        QFETCH(bool, headerRow);
        TextGridModel model(headerRow ? translationLayout(1500)
                                      : TextGridLayout{.dataRows = 32, .columnTitles = {"N\u00B0", "A", "B"}});
        exerciseGridModel(model);
    }

    void headerRowAndNumbersAreReadOnly()
    {
        TextGridModel model(translationLayout(10));
        QCOMPARE(model.rowCount(), 11);
        QCOMPARE(model.cell(0, 0), QStringLiteral("N"));
        QCOMPARE(model.cell(0, 2), QStringLiteral("id_dev_orig"));
        QCOMPARE(model.cell(1, 0), QStringLiteral("0"));
        QCOMPARE(model.cell(10, 0), QStringLiteral("9"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("cobid"));
        QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(!model.setData(model.index(0, 1), QStringLiteral("x")));
        QVERIFY(model.flags(model.index(1, 1)) & Qt::ItemIsEditable);

        // A block pasted onto the titles lands below them; clearing leaves titles and numbers.
        QCOMPARE(model.pasteText(0, 0, QStringLiteral("$181\ta\n$182\tb\n")), QRect(1, 1, 2, 2));
        QCOMPARE(model.cell(0, 1), QStringLiteral("cobid"));
        QCOMPARE(model.cell(2, 2), QStringLiteral("b"));
        QCOMPARE(model.copyText(QRect(0, 0, 3, 2)), QStringLiteral("N\tcobid\tid_dev_orig\r\n0\t$181\ta\r\n"));
        model.clearCells({model.index(0, 1), model.index(1, 0), model.index(1, 1)});
        QCOMPARE(model.cell(0, 1), QStringLiteral("cobid"));
        QCOMPARE(model.cell(1, 0), QStringLiteral("0"));
        QCOMPARE(model.cell(1, 1), QString());
        model.clearAll();
        QCOMPARE(model.cell(2, 2), QString());
        QCOMPARE(model.cell(0, 2), QStringLiteral("id_dev_orig"));
    }

    void pasteIntoALargeGridIsOneChange()
    {
        TextGridModel model(translationLayout(1500));
        QString column;
        for (int i = 0; i < 1500; ++i)
            column += QString::number(i) + QStringLiteral("\r\n");
        int changes = 0;
        connect(&model, &QAbstractItemModel::dataChanged, this, [&changes] { ++changes; });
        QCOMPARE(model.pasteText(1, 1, column), QRect(1, 1, 1, 1500));
        QCOMPARE(changes, 1);
        QCOMPARE(model.cell(1500, 1), QStringLiteral("1499"));
    }
};

QTEST_GUILESS_MAIN(TestTextGridModel)
#include "tst_TextGridModel.moc"
