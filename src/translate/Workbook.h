#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One worksheet as the import reads it: row 1 holds the column names and is not a
// record; the records are the rows below it down to the last row holding a value.
// Field 0 is column A; an empty cell is the empty text (the null marker).
struct Worksheet {
    QString workbookPath;
    // The sheet's name as the workbook spells it.
    QString name;
    // Columns up to the last one holding a value in any row, the name row included.
    int columnCount = 0;
    // Every record has columnCount fields.
    QList<QStringList> records;
    // An .xls workbook: its formula cells read as empty.
    bool formulasUnread = false;
};

// The largest workbook the import opens; translation tables are far smaller.
constexpr qint64 MaxWorkbookBytes = qint64(64) << 20;
// The most cells a worksheet's values may span (rows times columns, the name row
// included): a few bytes of a packed sheet can name a cell a million rows down
// and thousands of columns across, whose records would fill the memory.
constexpr qint64 MaxSheetCells = qint64(4) << 20;

// Reads the worksheet whose name, in lower case, is table (itself lower case).
// Knows .xls (BIFF5 to BIFF8) and .xlsx by their content, whatever the file's
// extension. Throws TessiroError naming the workbook (and the sheet) when the file
// is not a regular file, too large, not a workbook, damaged, or has no such sheet.
Worksheet readWorksheet(const QString &path, const QString &table);

// The text a number cell gives: a whole number its decimal digits ("385"), any
// other its shortest decimal text.
QString numberCellText(double value);

// Spreadsheet name of a 0-based column: 0 is "A", 26 is "AA".
QString columnLetters(int column);
