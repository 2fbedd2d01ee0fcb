#include "workbook/Workbook.h"

#include "base/FileRead.h"
#include "base/TessiroError.h"
#include "workbook/Messages.h"
#include "workbook/WorkbookFormats.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTime>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Excel's own limits; a cell reference beyond them comes from a damaged file.
constexpr int MaxSheetRows = 1048576;
constexpr int MaxSheetColumns = 16384;

const QByteArray ZipMagic("PK\x03\x04", 4);
const QByteArray CompoundFileMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
const QByteArray OdsMediaType("application/vnd.oasis.opendocument.spreadsheet");

} // namespace

QString numberCellText(double value)
{
    // Most cells of a table hold small whole numbers: their digits, as
    // QString::number writes them, without its locale machinery.
    if (std::isfinite(value) && value == std::floor(value)) {
        if (std::abs(value) >= 9007199254740992.0)
            return QString::number(value, 'f', 0);
        char digits[24];
        const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, qint64(value));
        return QString::fromLatin1(digits, end.ptr - digits);
    }
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString numberShownText(double value, NumberFormat format, bool date1904)
{
    if (!std::isfinite(value))
        return numberCellText(value);
    switch (format) {
    case NumberFormat::Date:
    case NumberFormat::Time:
    case NumberFormat::DateTime: {
        // Whole seconds, as the common formats show them.
        const qint64 seconds = qint64(std::llround(value * 86400.0));
        qint64 days = seconds / 86400;
        qint64 secondOfDay = seconds % 86400;
        if (secondOfDay < 0) {
            secondOfDay += 86400;
            --days;
        }
        const QTime time = QTime(0, 0).addSecs(int(secondOfDay));
        if (format == NumberFormat::Time)
            return time.toString(QStringLiteral("HH:mm:ss"));
        // Serials below 61 count Excel's 29 February 1900, a day that never was.
        if (!date1904 && days < 61 && days > 0)
            ++days;
        const QDate date = QDate(date1904 ? 1904 : 1899, date1904 ? 1 : 12, date1904 ? 1 : 30).addDays(days);
        const QString shown = date.toString(Qt::ISODate);
        return format == NumberFormat::Date ? shown : shown + u' ' + time.toString(QStringLiteral("HH:mm:ss"));
    }
    case NumberFormat::Percent:
        return numberCellText(value * 100) + u'%';
    default:
        return numberCellText(value);
    }
}

NumberFormat classifyNumberFormat(int builtinId, const QString &code)
{
    if (code.isEmpty()) {
        if (builtinId >= 5 && builtinId <= 8)
            return NumberFormat::Currency;
        if (builtinId == 9 || builtinId == 10)
            return NumberFormat::Percent;
        if (builtinId == 12 || builtinId == 13)
            return NumberFormat::Fraction;
        if ((builtinId >= 14 && builtinId <= 17) || (builtinId >= 27 && builtinId <= 31) ||
            (builtinId >= 50 && builtinId <= 58))
            return NumberFormat::Date;
        if ((builtinId >= 18 && builtinId <= 21) || (builtinId >= 45 && builtinId <= 47) ||
            (builtinId >= 32 && builtinId <= 35))
            return NumberFormat::Time;
        if (builtinId == 22)
            return NumberFormat::DateTime;
        if (builtinId == 41 || builtinId == 43)
            return NumberFormat::Other;
        if (builtinId == 42 || builtinId == 44)
            return NumberFormat::Currency;
        return builtinId <= 4 || builtinId == 37 || builtinId == 38 || builtinId == 39 || builtinId == 40
                   ? NumberFormat::General
                   : NumberFormat::Other;
    }
    if (code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return NumberFormat::General;
    if (code.startsWith(QLatin1String("\"TRUE\";"), Qt::CaseInsensitive) && code.contains(QLatin1String("\"FALSE\"")))
        return NumberFormat::Boolean;
    // Only the first section counts; quoted text and escapes are literals, but a
    // currency sign among them still makes a currency format.
    bool currency = false, percent = false, fraction = false, date = false, time = false, digits = false;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else if (QStringLiteral("$\u20ac\u00a3\u00a5").contains(c))
                currency = true;
            continue;
        }
        if (c == u'"') {
            quoted = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            if (i + 1 < code.size() && QStringLiteral("$\u20ac\u00a3\u00a5").contains(code[i + 1]))
                currency = true;
            ++i;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            const QString inside = code.mid(i + 1, end < 0 ? -1 : end - i - 1);
            // [$€-407] names a currency; [$-409] only a locale; [h] elapsed hours.
            if (inside.startsWith(u'$') && inside.size() > 1 && inside[1] != u'-')
                currency = true;
            const QString lower = inside.toLower();
            if (lower == QLatin1String("h") || lower == QLatin1String("hh") || lower == QLatin1String("mm") ||
                lower == QLatin1String("ss"))
                time = true;
            if (end < 0)
                break;
            i = end;
        } else if (c == u';') {
            break;
        } else if (QStringLiteral("$\u20ac\u00a3\u00a5").contains(c)) {
            currency = true;
        } else if (c == u'%') {
            percent = true;
        } else if (c == u'/') {
            fraction = true;
        } else if (c == u'0' || c == u'#' || c == u'?') {
            digits = true;
        } else {
            const QChar l = c.toLower();
            if (l == u'y' || l == u'd')
                date = true;
            else if (l == u'h' || l == u's')
                time = true;
            else if (l == u'm')
                date = date || !time;
        }
    }
    if (currency)
        return NumberFormat::Currency;
    if (percent)
        return NumberFormat::Percent;
    if (!digits && (date || time)) {
        if (date && time)
            return NumberFormat::DateTime;
        return date ? NumberFormat::Date : NumberFormat::Time;
    }
    if (fraction && digits)
        return NumberFormat::Fraction;
    return digits ? NumberFormat::General : NumberFormat::Other;
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
    m_values.reserve(std::clamp(rows, 0, MaxSheetRows));
    m_columnHint = std::clamp(columns, 0, 256);
}

SheetCells::Placed SheetCells::set(int row, int column, QString text, CellValue value)
{
    if (row < 0 || row >= MaxSheetRows || column < 0 || column >= MaxSheetColumns)
        return Placed::OutsideSheet;
    if (value.kind == CellKind::Empty || (value.kind == CellKind::Text && text.isEmpty()))
        return Placed::Set;
    const int spanRows = std::max(int(m_rows.size()), row + 1);
    const int spanColumns = std::max(m_columns, column + 1);
    if (qint64(spanRows) * spanColumns > MaxSheetCells) {
        m_spanRows = spanRows;
        m_spanColumns = spanColumns;
        return Placed::TooManyCells;
    }
    if (row >= m_rows.size()) {
        m_rows.resize(row + 1);
        m_values.resize(row + 1);
    }
    QStringList &cells = m_rows[row];
    QList<CellValue> &values = m_values[row];
    if (cells.isEmpty()) {
        // Rows of a table are as wide as the rows above them: made that wide at
        // once, as finish() would make them, rather than a cell at a time.
        const int width = std::max({m_columnHint, m_columns, column + 1});
        cells.resize(width);
        values.resize(width);
    }
    if (column >= cells.size()) {
        cells.resize(column + 1);
        values.resize(column + 1);
    }
    cells[column] = std::move(text);
    values[column] = value;
    m_columns = spanColumns;
    return Placed::Set;
}

SheetCells::Placed SheetCells::setNumber(int row, int column, double number, NumberFormat format)
{
    if (format == NumberFormat::Boolean)
        return set(row, column, number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE"),
                   {CellKind::Boolean, NumberFormat::General, number != 0 ? 1.0 : 0.0});
    return set(row, column, shownText(number, format), {CellKind::Number, format, number});
}

QString SheetCells::shownText(double number, NumberFormat format)
{
    // A table's columns repeat the same small numbers thousands of times: each
    // text is made once and shared.
    if ((format == NumberFormat::General || format == NumberFormat::Other) && number >= 0 && number < SmallNumbers &&
        number == std::floor(number)) {
        if (m_smallNumbers.isEmpty())
            m_smallNumbers.resize(SmallNumbers);
        QString &text = m_smallNumbers[qsizetype(number)];
        if (text.isNull())
            text = numberCellText(number);
        return text;
    }
    return numberShownText(number, format, m_date1904);
}

Worksheet SheetCells::finish(const QString &path, const QString &name, bool formulasUnread)
{
    Worksheet sheet;
    sheet.workbookPath = path;
    sheet.name = name;
    sheet.columnCount = m_columns;
    sheet.formulasUnread = formulasUnread;
    if (!m_rows.isEmpty()) {
        sheet.columnNames = std::move(m_rows.first());
        sheet.columnNameValues = std::move(m_values.first());
        m_rows.removeFirst();
        m_values.removeFirst();
    }
    sheet.columnNames.resize(m_columns);
    sheet.columnNameValues.resize(m_columns);
    // The rows become the records where they stand, each made columns() wide.
    for (QStringList &cells : m_rows)
        cells.resize(m_columns);
    for (QList<CellValue> &values : m_values)
        values.resize(m_columns);
    sheet.records = std::move(m_rows);
    sheet.values = std::move(m_values);
    m_rows.clear();
    m_values.clear();
    return sheet;
}

Worksheet readWorksheet(const QString &path, const QString &table)
{
    // Read whole, through a check that refuses a FIFO or a device, so that no
    // reader ever sees the file change under it.
    const QByteArray data = readRegularFile(path, MaxWorkbookBytes);
    if (data.startsWith(CompoundFileMagic))
        return readXlsWorksheet(path, data, table);
    if (!data.startsWith(ZipMagic))
        throw TessiroError(WorkbookMessages::NotAWorkbook.arg(QDir::toNativeSeparators(path)));
    // OpenDocument puts its media type first, stored, right after the entry's name.
    if (data.mid(30, 8) == "mimetype" && data.mid(38).startsWith(OdsMediaType))
        return readOdsWorksheet(path, data, table);
    return readXlsxWorksheet(path, data, table);
}

QString SheetCells::placeProblem(Placed placed, qint64 row) const
{
    switch (placed) {
    case Placed::Set:
        break;
    case Placed::OutsideSheet:
        return QStringLiteral("a cell lies outside the sheet in row %1").arg(row + 1);
    case Placed::TooManyCells:
        return WorkbookMessages::SheetTooLarge.arg(rows()).arg(columns()).arg(MaxSheetCells);
    }
    return {};
}
