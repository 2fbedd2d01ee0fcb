#include "workbook/CsvText.h"

#include "base/AtomicFile.h"
#include "base/TessiroError.h"
#include "workbook/Messages.h"

#include <QDir>

QByteArray csvBytes(const QList<QStringList> &lines)
{
    // One text for the whole file, encoded once: thousands of fields stay cheap.
    QString out;
    for (const QStringList &line : lines) {
        for (const QString &field : line) {
            bool quote = false;
            for (const QChar c : field)
                if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
                    quote = true;
                    break;
                }
            if (quote) {
                QString quoted = field;
                quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
                out += u'"' + quoted + QStringLiteral("\",");
            } else {
                out += field;
                out += u',';
            }
        }
        out += QStringLiteral("\r\n");
    }
    return "\xEF\xBB\xBF" + out.toUtf8();
}

void writeCsvFile(const QString &path, const QByteArray &bytes)
{
    try {
        writeFileAtomically(path, bytes, {.replaceLink = true, .removeStale = true});
    } catch (const FileWriteError &e) {
        throw TessiroError(WorkbookMessages::CannotWriteCsv.arg(QDir::toNativeSeparators(path), e.reason()));
    }
}
