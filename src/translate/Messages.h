#pragma once

#include <QString>

namespace TranslateMessages {
// Reading a workbook; %1 is the workbook's path.
inline const QString WorkbookUnreadable = QStringLiteral("Cannot read workbook \"%1\". %2");
inline const QString NotAWorkbook = QStringLiteral("File \"%1\" is not an Excel workbook (.xls or .xlsx).");
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
inline const QString EmptyIntegerXls =
    QStringLiteral("cell %1 is empty where an integer is needed (a formula cell of an .xls workbook reads as empty).");
inline const QString RowsLeftOut = QStringLiteral(
    "Import from workbook \"%1\", worksheet \"%2\": %3 rows did not fit in the table and were left out (%4).");

// The import's file dialog.
inline const QString OpenExcelTitle = QStringLiteral("Import");
inline const QString OpenExcelFilter = QStringLiteral("File EXCEL (*.xls *.xlsx)|*.xls;*.xlsx");

// Loading and saving the tables' files: the program's own texts.
inline const QString XmlParserNotInstalled = QStringLiteral("Error XML parser not installed");
inline const QString XmlNotFound = QStringLiteral("File XML not found");
inline const QString XmlReadError = QStringLiteral("Error in reading file XML");
// More entries in a file than a grid has rows; %1 file, %2 count, %3 tab caption.
inline const QString FileRowsLeftOut =
    QStringLiteral("File \"%1\": %2 entries did not fit in \"%3\" and were left out.");

// OK or Export in a window opened without a project.
inline const QString NoProjectOpen = QStringLiteral("No project is open, so the table cannot be written.");

// Export.
inline const QString CannotWriteCsv = QStringLiteral("Cannot write file \"%1\". %2");
} // namespace TranslateMessages
