#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a cell holds, beyond the text it shows.
enum class CellKind : quint8 { Empty, Text, Number, Boolean, Error };
// A number cell's format, as far as the import cares: a date or a currency amount
// is no integer, whatever number the file stores.
// Boolean: LibreOffice's "TRUE";"TRUE";"FALSE", a number shown as a boolean.
enum class NumberFormat : quint8 { General, Date, Time, DateTime, Currency, Percent, Fraction, Boolean, Other };

struct CellValue {
    CellKind kind = CellKind::Empty;
    NumberFormat format = NumberFormat::General;
    // Number: the stored value; Boolean: 0 or 1.
    double number = 0;
};

// One worksheet as the import reads it: row 1 holds the column names and is not a
// record; the records are the rows below it down to the last row holding a value.
// Field 0 is column A; an empty cell is the empty text (the null marker).
struct Worksheet {
    QString workbookPath;
    // The sheet's name as the workbook spells it.
    QString name;
    // Columns up to the last one holding a value in any row, the name row included.
    int columnCount = 0;
    // Row 1, columnCount fields, and what each of its cells holds (values may be
    // empty, as for the records).
    QStringList columnNames;
    QList<CellValue> columnNameValues;
    // Every record has columnCount fields: the texts the cells show (a date as
    // a date, a boolean as TRUE or FALSE, an error as its code).
    QList<QStringList> records;
    // What each field holds, parallel to records; empty when the sheet was made
    // from texts alone (every non-empty field then is text).
    QList<QList<CellValue>> values;
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

// The text a spreadsheet shows for a number in a format of this kind; serial is
// a day count from the workbook's epoch (1899-12-30, or 1904-01-01 with date1904).
QString numberShownText(double value, NumberFormat format, bool date1904 = false);

// Spreadsheet name of a 0-based column: 0 is "A", 26 is "AA".
QString columnLetters(int column);
