#pragma once

#include "workbook/Workbook.h"

#include <QString>
#include <QStringList>

// One record as a table's row mapping sees it. Integer fields are read here, so
// that every table reports a bad one the same way.
class ImportRecord {
public:
    ImportRecord(const QStringList &fields, bool formulasUnread) : m_fields(fields), m_formulasUnread(formulasUnread) {}
    // A record of a read sheet: values says what each field holds (may be null:
    // all text), row is its spreadsheet row, named in messages.
    // sheetColumns: the sheet's column of each field, when they were found by
    // name; null when field n is column n.
    ImportRecord(const QStringList &fields, const QList<CellValue> *values, int row,
                 const QList<int> *sheetColumns = nullptr)
        : m_fields(fields), m_formulasUnread(false), m_values(values), m_row(row), m_sheetColumns(sheetColumns)
    {
    }
    // The cell's spreadsheet name ("B4"; "B" for a record of no known row).
    QString cellName(int column) const;
    // The text the field's cell shows; the empty text for a column past the
    // record's end. An error cell (#DIV/0!) throws TessiroError.
    QString field(int column) const;
    // The field as an integer (strict ParseIntText); throws TessiroError with the
    // reason. A number cell must be a plain whole 32-bit number: a date, time,
    // boolean, error, fraction, or a number formatted as currency or percent is
    // refused with what to write instead.
    qint32 integer(int column) const;
    // Throws, as integer() does, when the field's cell holds what no integer
    // column may take (a date, a currency amount, an error...); an empty cell or
    // a text passes: the table decides about those.
    void checkInteger(int column) const;

private:
    CellValue value(int column) const;
    // The column's cell, refused when it shows a spreadsheet error.
    CellValue valueNotError(int column) const;
    // A number cell that checkInteger() passes: whole, within 32 bits, in no
    // format that makes it something else (a date, an amount, a fraction).
    static bool plainNumber(const CellValue &cell);

    const QStringList &m_fields;
    bool m_formulasUnread;
    const QList<CellValue> *m_values = nullptr;
    int m_row = 0;
    const QList<int> *m_sheetColumns = nullptr;
};

// PastEnd: taken, but below an entry with an empty key in its part of the table,
// which ends that part: saving would drop it.
enum class RowTaken { Taken, NoRoom, PastEnd };

// A table that a worksheet can fill: each editor's table implements it.
class ImportTarget {
public:
    virtual ~ImportTarget() = default;
    // Empties the table as the editor's import does; called only once the sheet
    // is found and wide enough.
    virtual void clearForImport() = 0;
    // Takes one record; NoRoom when the part of the table it belongs to is full.
    // A TessiroError ends the import, keeping the records already taken.
    virtual RowTaken takeRecord(const ImportRecord &record) = 0;
};

struct ImportParams {
    // The worksheet's name in lower case.
    QString table;
    // Fields each record must have.
    int columns = 0;
    // A record whose field headerField reads headerText is a header line that the
    // table's own export writes in the middle; it is skipped. -1: none.
    int headerField = -1;
    QString headerText;
    // The notice for records the table had no place for (%1 workbook, %2 sheet,
    // %3 count, %4 rows); empty: RowsLeftOut.
    QString leftOutNotice = {};
    // Columns the table reads as integers, now or when it saves: a cell there
    // that holds a date, a boolean, a currency or percent amount, a fraction or
    // an error stops the import at its record.
    QList<int> integerColumns = {};
    // The fields' names: a sheet whose row 1 holds all of them (any case, blanks
    // around ignored) is read by name, in whatever order its columns stand;
    // otherwise by position. headerField is the key that tells a record.
    QStringList columnNames = {};
};

// A text taken into a column the table reads as an integer when it saves, which
// is no integer: the save names its cells.
struct ImportedText {
    QString text;
    // "cell A4" or "cells A4, A9".
    QString cells;
};

// What an import did; notices are shown as plain notices, in order.
struct ImportOutcome {
    QStringList notices;
    // The table was emptied and refilled, wholly or in part.
    bool cleared = false;
    // Ended before the last record (or before the first: the workbook, the
    // sheet or its width was wrong).
    bool stoppedEarly = false;
    int taken = 0;
    int leftOut = 0;
    // Where the import read from, and the texts it took that saving will refuse.
    QString workbookPath;
    QString sheetName;
    QList<ImportedText> nonIntegers;
};

// Adds to a save's message "'385.0' is not a valid integer value" the cells that
// text came from, when an import took it; the message as it stands otherwise.
QString withImportedPlace(const QString &message, const ImportOutcome &imported);

// Reads the worksheet named after the table and hands its records to target.
ImportOutcome importWorkbook(const QString &workbookPath, const ImportParams &params, ImportTarget &target);
// The same on a worksheet already read.
ImportOutcome importWorksheet(const Worksheet &sheet, const ImportParams &params, ImportTarget &target);

// "row 7", "rows 7-9, 12": spreadsheet row numbers, ascending.
QString rowRanges(const QList<int> &rows);
