#pragma once

#include <QString>

// What the spreadsheet readers, the CSV writer and the import say.
namespace WorkbookMessages {
// "1 record", "2 records": a count with its noun in the right number.
inline QString counted(qsizetype n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}

inline const QString NotAWorkbook = QStringLiteral("File \"%1\" is not a workbook (.xls, .xlsx or .ods).");
inline const QString WorkbookDamaged = QStringLiteral("Workbook \"%1\" cannot be read: %2.");
inline const QString SheetDamaged = QStringLiteral("Worksheet \"%2\" of workbook \"%1\" cannot be read: %3.");
inline const QString SheetMissing = QStringLiteral("Workbook \"%1\" has no worksheet named \"%2\".");
// The reason in SheetDamaged for values spread too far: %1 rows, %2 columns, %3 the bound.
inline const QString SheetTooLarge = QStringLiteral("its values span %1 rows and %2 columns, more than the %3 cells "
                                                    "an import reads");
// An import that stops early or leaves records out; %1 workbook, %2 worksheet.
inline const QString ImportStopped =
    QStringLiteral("Import from workbook \"%1\", worksheet \"%2\" stopped at row %3: %4");
inline const QString TooFewColumns = QStringLiteral("the worksheet has %1 columns; the table reads %2.");
inline const QString EmptyInteger = QStringLiteral("cell %1 is empty where an integer is needed.");
// A cell whose kind is no integer; %1 the cell (B4), %2 what it shows.
inline const QString ErrorCell =
    QStringLiteral("cell %1 holds the error %2; correct the formula or write the value in the cell.");
inline const QString BooleanForInteger =
    QStringLiteral("cell %1 holds the boolean %2 where an integer is needed; write 1 or 0 instead.");
inline const QString DateForInteger = QStringLiteral(
    "cell %1 holds the date %2 where an integer is needed; format the cell as text or as a plain number.");
inline const QString TimeForInteger = QStringLiteral(
    "cell %1 holds the time %2 where an integer is needed; format the cell as text or as a plain number.");
// %3 currency or percent, %4 the example.
inline const QString FormattedForInteger =
    QStringLiteral("cell %1 holds %2 formatted as %3; write a hexadecimal value as text, e.g. %4");
inline const QString FractionForInteger =
    QStringLiteral("cell %1 holds %2, which is not a whole number; write an integer.");
inline const QString NumberOutside32Bits =
    QStringLiteral("cell %1 holds %2, which does not fit in 32 bits; write an integer from -2147483648 to 4294967295.");
inline const QString EmptyIntegerXls =
    QStringLiteral("cell %1 is empty where an integer is needed (a formula cell of an .xls workbook reads as empty).");
inline const QString RowsLeftOut = QStringLiteral(
    "Import from workbook \"%1\", worksheet \"%2\": %3 (%4) left out, as the table has no room for more.");
// Row 1 read as the column names though it looks like a record; %3 the key cell
// (A1), %4 its text, %5 the column names.
inline const QString RowOneTakenAsNames =
    QStringLiteral("Import from workbook \"%1\", worksheet \"%2\": row 1 was taken as the column names and not "
                   "imported, though cell %3 holds %4 as a record would; if it is a record, insert a row above it "
                   "holding the column names (%5).");
// Records below an entry whose key is empty; %3 count, %4 the rows.
inline const QString RowsPastEnd = QStringLiteral(
    "Import from workbook \"%1\", worksheet \"%2\": %3 (%4) below a record whose key cell is empty, which "
    "ends the table; fill in or delete that record, or OK will refuse the table.");
// A save refusing a text an import took; %1 the save's message, %2 the cells.
inline const QString ImportedTextPlace = QStringLiteral("%1 (imported from %2 of worksheet \"%3\" in workbook \"%4\")");
inline const QString CannotWriteCsv = QStringLiteral("Cannot write file \"%1\". %2");
inline const QString CannotWriteXlsx = QStringLiteral("Cannot write workbook \"%1\": %2.");
} // namespace WorkbookMessages
