#pragma once

#include "workbook/Workbook.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Collects the cells of one worksheet as its reader meets them and makes the
// records: row 0 is the name row; trailing rows and columns without a value go.
class SheetCells {
public:
    // Room for the sheet's size as its file states it; only a hint.
    void reserve(int rows, int columns);
    enum class Placed { Set, OutsideSheet, TooManyCells };
    // OutsideSheet: a place outside Excel's largest sheet, a damaged file.
    // TooManyCells: values spanning more than MaxSheetCells, which the records
    // could not hold; rows() and columns() then give the span.
    Placed set(int row, int column, QString text) { return set(row, column, std::move(text), {CellKind::Text}); }
    // A typed cell: text is what it shows.
    Placed set(int row, int column, QString text, CellValue value);
    // What a placing that failed says of the sheet (row 0-based), for the reader's
    // "damaged" message; a null text when it was placed.
    QString placeProblem(Placed placed, qint64 row) const;
    // A number cell, shown as its format shows it.
    Placed setNumber(int row, int column, double number, NumberFormat format);
    // numberShownText() for this sheet.
    QString shownText(double number, NumberFormat format);
    // Dates count from 1904-01-01 rather than 1899-12-30.
    void setDate1904(bool on) { m_date1904 = on; }
    int rows() const { return m_spanRows; }
    int columns() const { return m_spanColumns; }
    Worksheet finish(const QString &path, const QString &name, bool formulasUnread);

private:
    QList<QStringList> m_rows;        // grows as rows are met; finish() makes each row columns() wide
    QList<QList<CellValue>> m_values; // parallel to m_rows
    bool m_date1904 = false;
    // Texts of the whole numbers 0 to SmallNumbers - 1 met so far, shared by their cells.
    static constexpr int SmallNumbers = 1024;
    QList<QString> m_smallNumbers;
    int m_columns = 0;
    int m_columnHint = 0;
    int m_spanRows = 0;
    int m_spanColumns = 0;
};

namespace pugi {
class xml_document;
}

// Parses the part of a zip package (an .xlsx or .ods); a missing or broken part
// throws TessiroError naming path.
void parseZipPart(const QString &path, const QByteArray &data, const QString &part, pugi::xml_document &doc);

// The kind of a number format: Excel's built-in format id, or the format code of
// a format the workbook defines (code wins when not empty).
NumberFormat classifyNumberFormat(int builtinId, const QString &code);

// Sheet readers behind readWorksheet, over the whole file in memory; all throw
// TessiroError naming path.
Worksheet readXlsWorksheet(const QString &path, const QByteArray &data, const QString &table);
Worksheet readXlsxWorksheet(const QString &path, const QByteArray &data, const QString &table);
Worksheet readOdsWorksheet(const QString &path, const QByteArray &data, const QString &table);
