#include "workbook/TableImport.h"

#include "base/TessiroError.h"
#include "project/ParseIntText.h"
#include "workbook/Messages.h"

#include <QDir>
#include <cmath>

QString ImportRecord::cellName(int column) const
{
    const QString letters = columnLetters(m_sheetColumns ? m_sheetColumns->value(column, column) : column);
    return m_row > 0 ? letters + QString::number(m_row) : letters;
}

CellValue ImportRecord::value(int column) const
{
    if (m_values && column >= 0 && column < m_values->size())
        return m_values->at(column);
    return {m_fields.value(column).isEmpty() ? CellKind::Empty : CellKind::Text};
}

CellValue ImportRecord::valueNotError(int column) const
{
    const CellValue cell = value(column);
    if (cell.kind == CellKind::Error)
        throw TessiroError(WorkbookMessages::ErrorCell.arg(cellName(column), m_fields.value(column)));
    return cell;
}

QString ImportRecord::field(int column) const
{
    valueNotError(column);
    return m_fields.value(column);
}

qint32 ImportRecord::integer(int column) const
{
    const CellValue cell = valueNotError(column);
    // A plain whole number in the signed range is what its digits would parse to.
    if (cell.kind == CellKind::Number && plainNumber(cell) && cell.number <= 2147483647.0 && column < m_fields.size() &&
        !m_fields.at(column).isEmpty())
        return qint32(cell.number);
    const QString text = m_fields.value(column);
    if (text.isEmpty()) {
        const QString name = cellName(column);
        throw TessiroError(m_formulasUnread ? WorkbookMessages::EmptyIntegerXls.arg(name)
                                            : WorkbookMessages::EmptyInteger.arg(name));
    }
    checkInteger(column);
    return ParseIntText(cell.kind == CellKind::Number ? numberCellText(cell.number) : text);
}

bool ImportRecord::plainNumber(const CellValue &cell)
{
    switch (cell.format) {
    case NumberFormat::Date:
    case NumberFormat::DateTime:
    case NumberFormat::Time:
    case NumberFormat::Currency:
    case NumberFormat::Percent:
    case NumberFormat::Fraction:
        return false;
    default:
        return std::isfinite(cell.number) && cell.number == std::floor(cell.number) && cell.number >= -2147483648.0 &&
               cell.number <= 4294967295.0;
    }
}

void ImportRecord::checkInteger(int column) const
{
    const CellValue cell = valueNotError(column);
    // Most cells pass, thousands of them: named only when refused.
    if (cell.kind != CellKind::Number && cell.kind != CellKind::Boolean)
        return;
    if (cell.kind == CellKind::Number && plainNumber(cell))
        return;
    const QString text = m_fields.value(column);
    const QString name = cellName(column);
    if (cell.kind == CellKind::Boolean)
        throw TessiroError(WorkbookMessages::BooleanForInteger.arg(name, text));
    const double n = cell.number;
    switch (cell.format) {
    case NumberFormat::Date:
    case NumberFormat::DateTime:
        throw TessiroError(WorkbookMessages::DateForInteger.arg(name, text));
    case NumberFormat::Time:
        throw TessiroError(WorkbookMessages::TimeForInteger.arg(name, text));
    case NumberFormat::Currency:
    case NumberFormat::Percent: {
        // The export's "$283" comes back as the currency amount 283: it meant 0x283.
        const QString shown = numberCellText(n);
        const bool whole = n == std::floor(n) && n >= 0 && n <= 0xFFFFFFFF;
        throw TessiroError(WorkbookMessages::FormattedForInteger.arg(
            name, shown, cell.format == NumberFormat::Currency ? QStringLiteral("currency") : QStringLiteral("percent"),
            whole ? QStringLiteral("0x") + shown : QStringLiteral("0x183")));
    }
    default:
        break;
    }
    if (!std::isfinite(n) || n != std::floor(n) || cell.format == NumberFormat::Fraction)
        throw TessiroError(WorkbookMessages::FractionForInteger.arg(name, numberCellText(n)));
    // 32 bits: what ParseIntText takes as text, signed or unsigned.
    if (n < -2147483648.0 || n > 4294967295.0)
        throw TessiroError(WorkbookMessages::NumberOutside32Bits.arg(name, numberCellText(n)));
}

QString rowRanges(const QList<int> &rows)
{
    QStringList parts;
    for (qsizetype i = 0; i < rows.size();) {
        qsizetype j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        parts << (j == i ? QString::number(rows[i]) : QStringLiteral("%1-%2").arg(rows[i]).arg(rows[j]));
        i = j + 1;
    }
    return (rows.size() == 1 ? QStringLiteral("row ") : QStringLiteral("rows ")) + parts.join(QStringLiteral(", "));
}

ImportOutcome importWorkbook(const QString &workbookPath, const ImportParams &params, ImportTarget &target)
{
    Worksheet sheet;
    try {
        sheet = readWorksheet(workbookPath, params.table);
    } catch (const TessiroError &e) {
        ImportOutcome outcome;
        outcome.stoppedEarly = true;
        outcome.notices << e.message();
        return outcome;
    }
    return importWorksheet(sheet, params, target);
}

namespace {

// The sheet column of each of the table's fields when row 1 names every one of
// them; empty otherwise. Of two columns with one name, the first counts.
QList<int> namedColumns(const Worksheet &sheet, const QStringList &names)
{
    QList<int> columns;
    for (const QString &name : names) {
        qsizetype found = -1;
        for (qsizetype c = 0; c < sheet.columnNames.size() && found < 0; ++c)
            if (sheet.columnNames[c].trimmed().compare(name, Qt::CaseInsensitive) == 0)
                found = c;
        if (found < 0)
            return {};
        columns << int(found);
    }
    return columns;
}

// Whether row 1, read by position, holds in the key column what a record holds
// there: an integer.
bool rowOneLooksLikeRecord(const Worksheet &sheet, int keyField)
{
    if (keyField < 0 || keyField >= sheet.columnNames.size())
        return false;
    const CellKind kind = sheet.columnNameValues.value(keyField).kind;
    if (kind == CellKind::Number)
        return true;
    return kind != CellKind::Error && tryParseIntText(sheet.columnNames[keyField]).has_value();
}

} // namespace

QString withImportedPlace(const QString &message, const ImportOutcome &imported)
{
    for (const ImportedText &t : imported.nonIntegers)
        if (message == invalidIntegerMessage(t.text))
            return WorkbookMessages::ImportedTextPlace.arg(message, t.cells, imported.sheetName,
                                                           QDir::toNativeSeparators(imported.workbookPath));
    return message;
}

ImportOutcome importWorksheet(const Worksheet &sheet, const ImportParams &params, ImportTarget &target)
{
    ImportOutcome outcome;
    outcome.workbookPath = sheet.workbookPath;
    outcome.sheetName = sheet.name;
    const QString shown = QDir::toNativeSeparators(sheet.workbookPath);
    auto stopped = [&](int row, const QString &reason) {
        outcome.stoppedEarly = true;
        outcome.notices << WorkbookMessages::ImportStopped.arg(shown, sheet.name).arg(row).arg(reason);
    };
    const QList<int> named = namedColumns(sheet, params.columnNames);
    if (named.isEmpty()) {
        // A sheet too narrow for the table leaves the user's rows as they are.
        if (sheet.columnCount < params.columns) {
            stopped(1, WorkbookMessages::TooFewColumns.arg(sheet.columnCount).arg(params.columns));
            return outcome;
        }
        if (rowOneLooksLikeRecord(sheet, params.headerField))
            outcome.notices << WorkbookMessages::RowOneTakenAsNames.arg(shown, sheet.name)
                                   .arg(columnLetters(params.headerField) + u'1')
                                   .arg(sheet.columnNames[params.headerField])
                                   .arg(params.columnNames.join(QStringLiteral(", ")));
    }
    target.clearForImport();
    outcome.cleared = true;
    QList<int> leftOut;
    QList<int> pastEnd;
    // Texts no integer, in the order met, with their cells.
    QList<QString> nonIntegerTexts;
    QList<QStringList> nonIntegerCells;
    QStringList mappedFields;
    QList<CellValue> mappedValues;
    // Columns found by name where they stand by position: a record exactly as
    // wide serves as it is.
    bool inPlace = !named.isEmpty();
    for (qsizetype c = 0; c < named.size() && inPlace; ++c)
        inPlace = named[c] == c;
    for (qsizetype i = 0; i < sheet.records.size(); ++i) {
        const QStringList *fields = &sheet.records[i];
        const QList<CellValue> *values = i < sheet.values.size() ? &sheet.values[i] : nullptr;
        if (!named.isEmpty() &&
            !(inPlace && fields->size() == named.size() && values && values->size() == named.size())) {
            mappedFields.clear();
            mappedValues.clear();
            for (const int c : named) {
                mappedFields << fields->value(c);
                mappedValues << (values ? values->value(c) : CellValue{});
            }
            fields = &mappedFields;
            values = values ? &mappedValues : nullptr;
        }
        const int row = int(i) + 2; // row 1 holds the column names
        if (params.headerField >= 0 && fields->value(params.headerField) == params.headerText)
            continue;
        try {
            const ImportRecord record = sheet.values.isEmpty() && named.isEmpty()
                                            ? ImportRecord(*fields, sheet.formulasUnread)
                                            : ImportRecord(*fields, values, row, named.isEmpty() ? nullptr : &named);
            for (const int column : params.integerColumns)
                record.checkInteger(column);
            const RowTaken taken = target.takeRecord(record);
            if (taken == RowTaken::NoRoom) {
                leftOut << row;
                continue;
            }
            ++outcome.taken;
            if (taken == RowTaken::PastEnd)
                pastEnd << row;
            for (const int column : params.integerColumns) {
                const QString text = fields->value(column);
                if (text.isEmpty() || tryParseIntText(text))
                    continue;
                const qsizetype at = nonIntegerTexts.indexOf(text);
                if (at < 0) {
                    nonIntegerTexts << text;
                    nonIntegerCells << QStringList{record.cellName(column)};
                } else {
                    nonIntegerCells[at] << record.cellName(column);
                }
            }
        } catch (const TessiroError &e) {
            stopped(row, e.message());
            break;
        }
    }
    for (qsizetype t = 0; t < nonIntegerTexts.size(); ++t)
        outcome.nonIntegers << ImportedText{
            nonIntegerTexts[t], (nonIntegerCells[t].size() == 1 ? QStringLiteral("cell ") : QStringLiteral("cells ")) +
                                    nonIntegerCells[t].join(QStringLiteral(", "))};
    outcome.leftOut = int(leftOut.size());
    if (!leftOut.isEmpty())
        outcome.notices << (params.leftOutNotice.isEmpty() ? WorkbookMessages::RowsLeftOut : params.leftOutNotice)
                               .arg(shown, sheet.name)
                               .arg(WorkbookMessages::counted(leftOut.size(), "record", "records"))
                               .arg(rowRanges(leftOut));
    if (!pastEnd.isEmpty())
        outcome.notices << WorkbookMessages::RowsPastEnd.arg(shown, sheet.name)
                               .arg(WorkbookMessages::counted(pastEnd.size(), "record", "records"))
                               .arg(rowRanges(pastEnd));
    return outcome;
}
