#pragma once

#include "support/TestSupport.h"
#include "workbook/Workbook.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>

// The notices without the lines that say where: a damaged file's notice is the
// program's fixed text over the file and the fault.
inline QStringList firstLines(const QStringList &notices)
{
    QStringList lines;
    for (const QString &notice : notices)
        lines << notice.section(u'\n', 0, 0);
    return lines;
}

inline QString fixture(const QString &name)
{
    return sourcePath(QStringLiteral("tests/core/translate/fixtures/") + name);
}

// What the export's CSV starts with.
inline const QByteArray CsvBom("\xEF\xBB\xBF");

// Splits CSV bytes as RFC 4180 readers (every spreadsheet program) do; a
// byte-order mark is no text.
inline QList<QStringList> parseCsv(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes.startsWith(CsvBom) ? bytes.mid(CsvBom.size()) : bytes);
    QList<QStringList> lines;
    QStringList line;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            line << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            line << field;
            lines << line;
            line.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return lines;
}

// An exported CSV file as a spreadsheet program opens it and saves it as a
// workbook with the sheet named after the table: the first line becomes the name
// row, the field after each line's final comma an empty column.
inline Worksheet csvAsWorksheet(const QByteArray &csv, const QString &sheetName)
{
    const QList<QStringList> lines = parseCsv(csv);
    Worksheet sheet;
    sheet.workbookPath = QStringLiteral("/data/edited.xlsx");
    sheet.name = sheetName;
    for (const QStringList &line : lines)
        for (int c = 0; c < line.size(); ++c)
            if (!line[c].isEmpty())
                sheet.columnCount = std::max(sheet.columnCount, c + 1);
    if (!lines.isEmpty()) {
        sheet.columnNames = lines[0];
        sheet.columnNames.resize(sheet.columnCount);
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QStringList record = lines[i];
        record.resize(sheet.columnCount);
        sheet.records << record;
    }
    return sheet;
}
