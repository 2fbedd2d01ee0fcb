#include "base/TabText.h"

QList<QStringList> parseTabText(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool atCellStart = true;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (atCellStart && c == u'"') {
            // Quoted cell: runs to the lone closing quote; what follows it up to
            // the next separator is kept as typed.
            ++i;
            while (i < n) {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        cell += u'"';
                        i += 2;
                        continue;
                    }
                    break;
                }
                cell += text[i++];
            }
            atCellStart = false;
            continue;
        }
        atCellStart = false;
        if (c == u'\t') {
            row << cell;
            cell.clear();
            atCellStart = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            row << cell;
            rows << row;
            row.clear();
            cell.clear();
            atCellStart = true;
        } else {
            cell += c;
        }
    }
    // A final line end closes the last row; it does not open an empty one.
    if (!atCellStart || !row.isEmpty())
        rows << (row << cell);
    return rows;
}

QString toTabText(const QList<QStringList> &rows)
{
    QString out;
    for (const QStringList &row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += u'\t';
            const QString &cell = row[c];
            if (cell.contains(u'\t') || cell.contains(u'\n') || cell.contains(u'\r') || cell.startsWith(u'"')) {
                QString quoted = cell;
                quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
                out += u'"' + quoted + u'"';
            } else {
                out += cell;
            }
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}
