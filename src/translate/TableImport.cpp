#include "translate/TableImport.h"

#include "base/TessiroError.h"
#include "project/ParseIntText.h"
#include "translate/Messages.h"

#include <QDir>
#include <cmath>

QString ImportRecord::cellName(int column) const
{
    return m_row > 0 ? columnLetters(column) + QString::number(m_row) : columnLetters(column);
}

CellValue ImportRecord::value(int column) const
{
    if (m_values && column >= 0 && column < m_values->size())
        return m_values->at(column);
    return {m_fields.value(column).isEmpty() ? CellKind::Empty : CellKind::Text};
}

QString ImportRecord::field(int column) const
{
    if (value(column).kind == CellKind::Error)
        throw TessiroError(TranslateMessages::ErrorCell.arg(cellName(column), m_fields.value(column)));
    return m_fields.value(column);
}

qint32 ImportRecord::integer(int column) const
{
    const QString text = field(column);
    if (text.isEmpty()) {
        const QString name = cellName(column);
        throw TessiroError(m_formulasUnread ? TranslateMessages::EmptyIntegerXls.arg(name)
                                            : TranslateMessages::EmptyInteger.arg(name));
    }
    checkInteger(column);
    const CellValue cell = value(column);
    return ParseIntText(cell.kind == CellKind::Number ? numberCellText(cell.number) : text);
}

void ImportRecord::checkInteger(int column) const
{
    const QString text = field(column);
    const CellValue cell = value(column);
    const QString name = cellName(column);
    if (cell.kind == CellKind::Boolean)
        throw TessiroError(TranslateMessages::BooleanForInteger.arg(name, text));
    if (cell.kind != CellKind::Number)
        return;
    const double n = cell.number;
    switch (cell.format) {
    case NumberFormat::Date:
    case NumberFormat::DateTime:
        throw TessiroError(TranslateMessages::DateForInteger.arg(name, text));
    case NumberFormat::Time:
        throw TessiroError(TranslateMessages::TimeForInteger.arg(name, text));
    case NumberFormat::Currency:
    case NumberFormat::Percent: {
        // The export's "$283" comes back as the currency amount 283: it meant 0x283.
        const QString shown = numberCellText(n);
        const bool whole = n == std::floor(n) && n >= 0 && n <= 0xFFFFFFFF;
        throw TessiroError(TranslateMessages::FormattedForInteger.arg(
            name, shown, cell.format == NumberFormat::Currency ? QStringLiteral("currency") : QStringLiteral("percent"),
            whole ? QStringLiteral("0x") + shown : QStringLiteral("0x183")));
    }
    default:
        break;
    }
    if (!std::isfinite(n) || n != std::floor(n) || cell.format == NumberFormat::Fraction)
        throw TessiroError(TranslateMessages::FractionForInteger.arg(name, numberCellText(n)));
    // 32 bits: what ParseIntText takes as text, signed or unsigned.
    if (n < -2147483648.0 || n > 4294967295.0)
        throw TessiroError(TranslateMessages::NumberOutside32Bits.arg(name, numberCellText(n)));
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

ImportOutcome importWorksheet(const Worksheet &sheet, const ImportParams &params, ImportTarget &target)
{
    ImportOutcome outcome;
    const QString shown = QDir::toNativeSeparators(sheet.workbookPath);
    auto stopped = [&](int row, const QString &reason) {
        outcome.stoppedEarly = true;
        outcome.notices << TranslateMessages::ImportStopped.arg(shown, sheet.name).arg(row).arg(reason);
    };
    // A sheet too narrow for the table leaves the user's rows as they are.
    if (sheet.columnCount < params.columns) {
        stopped(1, TranslateMessages::TooFewColumns.arg(sheet.columnCount).arg(params.columns));
        return outcome;
    }
    target.clearForImport();
    outcome.cleared = true;
    QList<int> leftOut;
    for (qsizetype i = 0; i < sheet.records.size(); ++i) {
        const QStringList &fields = sheet.records[i];
        const int row = int(i) + 2; // row 1 holds the column names
        if (params.headerField >= 0 && fields.value(params.headerField) == params.headerText)
            continue;
        try {
            const QList<CellValue> *values = i < sheet.values.size() ? &sheet.values[i] : nullptr;
            const ImportRecord record =
                sheet.values.isEmpty() ? ImportRecord(fields, sheet.formulasUnread) : ImportRecord(fields, values, row);
            for (const int column : params.integerColumns)
                record.checkInteger(column);
            const RowTaken taken = target.takeRecord(record);
            if (taken == RowTaken::Taken)
                ++outcome.taken;
            else
                leftOut << row;
        } catch (const TessiroError &e) {
            stopped(row, e.message());
            break;
        }
    }
    outcome.leftOut = int(leftOut.size());
    if (!leftOut.isEmpty())
        outcome.notices << (params.leftOutNotice.isEmpty() ? TranslateMessages::RowsLeftOut : params.leftOutNotice)
                               .arg(shown, sheet.name)
                               .arg(leftOut.size())
                               .arg(rowRanges(leftOut));
    return outcome;
}
