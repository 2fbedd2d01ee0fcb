#pragma once

#include "translate/Workbook.h"

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
    Placed set(int row, int column, QString text);
    int rows() const { return m_spanRows; }
    int columns() const { return m_spanColumns; }
    Worksheet finish(const QString &path, const QString &name, bool formulasUnread);

private:
    QList<QStringList> m_rows; // grows as rows are met; a row only as wide as its last value
    int m_columns = 0;
    int m_columnHint = 0;
    int m_spanRows = 0;
    int m_spanColumns = 0;
};

// Sheet readers behind readWorksheet; both throw TessiroError naming path. The
// .xls reader opens openPath, the name of the same file that is safe to open.
Worksheet readXlsWorksheet(const QString &path, const QString &openPath, const QString &table);
Worksheet readXlsxWorksheet(const QString &path, const QByteArray &data, const QString &table);
