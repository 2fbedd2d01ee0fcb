#pragma once

#include "workbook/Messages.h"

#include <QString>

namespace TranslateMessages {
using WorkbookMessages::counted;

// OK while a tab's fields hold what New or Modify has not stored; %1 the tab.
inline const QString UnstoredFields =
    QStringLiteral("The fields of tab \"%1\" hold values that neither New nor Modify has stored. Save the table "
                   "without them?");

// Reading a workbook; %1 is the workbook's path.
inline const QString WorkbookUnreadable = QStringLiteral("Cannot read workbook \"%1\". %2");

// The import's file dialog.
inline const QString OpenExcelTitle = QStringLiteral("Import");
inline const QString OpenExcelFilter = QStringLiteral("File EXCEL (*.xls *.xlsx *.ods)|*.xls;*.xlsx;*.ods");

// Loading and saving the tables' files: the program's own texts.
inline const QString XmlParserNotInstalled = QStringLiteral("Error XML parser not installed");
inline const QString XmlNotFound = QStringLiteral("File XML not found");
inline const QString XmlReadError = QStringLiteral("Error in reading file XML");
// A fault met while reading a table's file; %1 file, %2 the fault.
inline const QString FileFault = QStringLiteral("File \"%1\": %2");
// More entries in a file than a grid has rows; %1 file, %2 count, %3 tab caption.
// %2 is counted().
inline const QString FileRowsLeftOut = QStringLiteral("File \"%1\": %2 left out, as \"%3\" has no room for more.");

// OK refused on a grid's rows; %1 tab, %2 the row (as numbered), %3 the key column.
inline const QString RowWithoutKey =
    QStringLiteral("Tab \"%1\", row %2: %3 is empty, so the row would not be saved. Fill in %3 or clear the row.");
// %4 the filled row below.
inline const QString RowsBelowKeyless =
    QStringLiteral("Tab \"%1\", row %2: %3 is empty, so it ends the table and row %4 below it would not be saved. "
                   "Fill in %3 in row %2 or clear row %4.");
// %1 tab, %2 row, %3 column, %4 what is wrong.
inline const QString CellFault = QStringLiteral("Tab \"%1\", row %2, column \"%3\": %4");
// OK or Export in a window opened without a project.
inline const QString NoProjectOpen = QStringLiteral("No project is open, so the table cannot be written.");

// Export.
// The status line after an export; %1 the files written, quoted.
inline const QString ExportWrote = QStringLiteral("Export wrote %1.");
// The status line for a button that needs a selection; %1 button, %2 what, %3 tab.
inline const QString NeedsSelection = QStringLiteral("\"%1\" needs a selected %2 on tab \"%3\".");

// The EMCY translation table's identifier check.
inline const QString IndexNotValid = QStringLiteral("Index Not Valid");
// A field refused; %1 its label, %2 what is wrong.
inline const QString FieldFault = QStringLiteral("%1: %2");
// %1 the value, %2..%3 the range.
inline const QString OutsideRange = QStringLiteral("%1 is outside %2..%3.");
// OK refused on an EMCY entry; %1 tab, %2 line (from 1), %3 its ID, %4 the field's fault.
inline const QString EmcyEntryFault = QStringLiteral("Tab \"%1\", line %2 (ID %3): %4");
// OK refused on an EMCY word; %1 tab, %2 the word's node, %3 the attribute, %4 what is wrong.
inline const QString WordFault = QStringLiteral("Tab \"%1\", word %2, %3: %4");
// OK refused on a stored SDO; %1 tab, %2 the PDO, %3 the SDO's number, %4 field, %5 what is wrong.
inline const QString StoredSdoFault = QStringLiteral("Tab \"%1\", PDO %2, Sdo%3: %4 %5");
// The stored-PDO table (sdopdo.xml) and its window: the program's own texts.
inline const QString StoredPdoCaption = QStringLiteral("Define Store PDO");
inline const QString SdoXmlNotFound = QStringLiteral("File SDO XML not found");
inline const QString SdoXmlReadError = QStringLiteral("Error in reading file SDO XML");
inline const QString PdoXmlNotFound = QStringLiteral("File PDO XML not found");
inline const QString PdoXmlReadError = QStringLiteral("Error in reading file PDO XML");
inline const QString SdopdoXmlNotFound = QStringLiteral("File SDOPDO XML not found");
inline const QString SdopdoXmlReadError = QStringLiteral("Error in reading file SDOPDO XML");
inline const QString SdoAlreadyTranslated = QStringLiteral("Index or Subindex Not Valid,Sdo Already Exists");
inline const QString SdoAlreadyStored = QStringLiteral("Index or Subindex Not Valid");
// Stored SDOs whose PDO number names no PDO of rpdodef.xml; %1 file, %2 count.
inline const QString StoredSdosLeftOut = QStringLiteral(
    "File \"%1\": %2 left out for naming a PDO that rpdodef.xml does not list; OK would remove what was left out.");
// The same met by an import; %1 workbook, %2 worksheet, %3 count, %4 the rows.
inline const QString ImportedSdosLeftOut = QStringLiteral(
    "Import from workbook \"%1\", worksheet \"%2\": %3 (%4) left out for naming a PDO that rpdodef.xml does not list.");
// More PDOs in one direction than a stored SDO can name; %1 file, %2 count, %3 tab.
inline const QString PdosLeftOut =
    QStringLiteral("File \"%1\": %2 of \"%3\" left out past the 127th, which a stored SDO cannot name.");
// A row of sdopdo.xml whose PDO number is 0; %1 its byte offset, %2 the value.
inline const QString NrpdoNamesNoPdo =
    QStringLiteral("<row> at byte %1: attribute \"nrpdo\" is %2, which names no PDO (PDO number 0)");
// An import record whose PDO number is 0.
inline const QString NoPdoZero = QStringLiteral("cell C holds nrpdo %1, which names no PDO (PDO number 0).");
// EMCY word definitions and string picker: the program's own texts.
inline const QString StringsXmlNotFound = QStringLiteral("File strings XML not found");
// A fixed text above the line that says where; %1 the text, %2 the line.
inline const QString FixedTextWithPlace = QStringLiteral("%1\n%2");
inline const QString FileNotThere = QStringLiteral("File \"%1\" does not exist.");
// More strings than the picker has rows; %1 file, %2 count.
inline const QString StringsLeftOut = QStringLiteral("File \"%1\": %2 left out, as the list holds no more than 1000.");
} // namespace TranslateMessages
