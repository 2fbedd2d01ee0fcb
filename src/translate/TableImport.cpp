#include "translate/TableImport.h"

#include "base/TessiroError.h"
#include "project/ParseIntText.h"
#include "translate/Messages.h"

#include <QDir>

qint32 ImportRecord::integer(int column) const
{
    const QString text = field(column);
    if (text.isEmpty()) {
        const QString cell = columnLetters(column);
        throw TessiroError(m_formulasUnread ? TranslateMessages::EmptyIntegerXls.arg(cell)
                                            : TranslateMessages::EmptyInteger.arg(cell));
    }
    return ParseIntText(text);
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
            if (target.takeRecord(ImportRecord(fields, sheet.formulasUnread)) == RowTaken::Taken)
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
