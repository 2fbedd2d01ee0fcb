#include "translate/CsvText.h"

#include "base/AtomicFile.h"
#include "base/TessiroError.h"
#include "translate/Messages.h"

#include <QDir>

QByteArray csvBytes(const QList<QStringList> &lines)
{
    QByteArray out;
    for (const QStringList &line : lines) {
        for (const QString &field : line) {
            const QByteArray text = field.toUtf8();
            if (text.contains(',') || text.contains('"') || text.contains('\r') || text.contains('\n')) {
                QByteArray quoted = text;
                quoted.replace('"', "\"\"");
                out += '"' + quoted + "\",";
            } else {
                out += text + ',';
            }
        }
        out += "\r\n";
    }
    return out;
}

void writeCsvFile(const QString &path, const QByteArray &bytes)
{
    QString reason;
    if (!writeFileAtomically(path, bytes, &reason))
        throw TessiroError(TranslateMessages::CannotWriteCsv.arg(QDir::toNativeSeparators(path), reason));
}
