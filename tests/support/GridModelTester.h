#pragma once

#include "base/TextGridModel.h"

#include <QAbstractItemModelTester>
#include <QTest>

// Runs Qt's model tester over a grid while it is set, pasted into, cleared and
// reset, so that every grid model keeps the rules views rely on.
inline void exerciseGridModel(TextGridModel &model)
{
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const int row = model.firstDataRow();
    const int column = model.firstEditableColumn();
    model.setCell(row, column, QStringLiteral("a"));
    QVERIFY(model.setData(model.index(row + 1, column), QStringLiteral("b")));
    QVERIFY(!model.setData(model.index(row, 0), QStringLiteral("x")) || column == 0);
    model.pasteText(row, column, QStringLiteral("1\t2\r\n3\t4\r\n"));
    model.pasteText(model.rowCount() - 1, model.columnCount() - 1, QStringLiteral("x\ty\nz"));
    model.clearCells({model.index(row, column), model.index(row + 1, column)});
    model.clearAll();
    QCOMPARE(model.cell(row, column), QString());
}
