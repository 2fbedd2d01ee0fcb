#include "translate/Workbook.h"

#include "base/FileRead.h"
#include "base/TessiroError.h"
#include "translate/Messages.h"
#include "translate/WorkbookFormats.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>

namespace {

// Excel's own limits; a cell reference beyond them comes from a damaged file.
constexpr int MaxSheetRows = 1048576;
constexpr int MaxSheetColumns = 16384;

const QByteArray ZipMagic("PK\x03\x04", 4);
const QByteArray CompoundFileMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

} // namespace

QString numberCellText(double value)
{
    if (std::isfinite(value) && value == std::floor(value))
        return value == 0 ? QStringLiteral("0") : QString::number(value, 'f', 0);
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString columnLetters(int column)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters;
}

void SheetCells::reserve(int rows, int columns)
{
    m_rows.reserve(std::clamp(rows, 0, MaxSheetRows));
    m_columnHint = std::clamp(columns, 0, 256);
}

SheetCells::Placed SheetCells::set(int row, int column, QString text)
{
    if (row < 0 || row >= MaxSheetRows || column < 0 || column >= MaxSheetColumns)
        return Placed::OutsideSheet;
    if (text.isEmpty())
        return Placed::Set;
    const int spanRows = std::max(int(m_rows.size()), row + 1);
    const int spanColumns = std::max(m_columns, column + 1);
    if (qint64(spanRows) * spanColumns > MaxSheetCells) {
        m_spanRows = spanRows;
        m_spanColumns = spanColumns;
        return Placed::TooManyCells;
    }
    if (row >= m_rows.size())
        m_rows.resize(row + 1);
    QStringList &cells = m_rows[row];
    if (cells.isEmpty())
        cells.reserve(std::max(m_columnHint, column + 1));
    if (column >= cells.size())
        cells.resize(column + 1);
    cells[column] = std::move(text);
    m_columns = spanColumns;
    return Placed::Set;
}

Worksheet SheetCells::finish(const QString &path, const QString &name, bool formulasUnread)
{
    Worksheet sheet;
    sheet.workbookPath = path;
    sheet.name = name;
    sheet.columnCount = m_columns;
    sheet.formulasUnread = formulasUnread;
    sheet.records.reserve(std::max<qsizetype>(0, m_rows.size() - 1));
    for (qsizetype r = 1; r < m_rows.size(); ++r) {
        QStringList &cells = m_rows[r];
        cells.resize(m_columns);
        sheet.records << std::move(cells);
    }
    m_rows.clear();
    return sheet;
}

Worksheet readWorksheet(const QString &path, const QString &table)
{
    // A FIFO or a device would hang the reader or feed it without end.
    QFile file;
    openRegularFile(file, path, MaxWorkbookBytes);
    const QByteArray head = file.peek(8);
    if (file.error() != QFileDevice::NoError)
        throw TessiroError(
            TranslateMessages::WorkbookUnreadable.arg(QDir::toNativeSeparators(path), file.errorString()));
    if (head.startsWith(CompoundFileMagic)) {
#ifdef Q_OS_LINUX
        // FreeXL opens by name: it gets the very file checked above, whatever
        // may have been put at path since.
        return readXlsWorksheet(path, QStringLiteral("/proc/self/fd/%1").arg(file.handle()), table);
#else
        return readXlsWorksheet(path, path, table);
#endif
    }
    if (!head.startsWith(ZipMagic))
        throw TessiroError(TranslateMessages::NotAWorkbook.arg(QDir::toNativeSeparators(path)));
    // Read whole, so that the zip reader never sees the file change under it.
    return readXlsxWorksheet(path, readRegularFile(path, MaxWorkbookBytes), table);
}
