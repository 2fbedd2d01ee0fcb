#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The bytes of a table's CSV export, UTF-8 after a byte-order mark (without it
// Excel and LibreOffice take the file for an 8-bit character set): every field followed by ",", every line
// ended by CR LF. A field holding a comma, a double quote, CR or LF is put in double
// quotes with its quotes doubled, so that it comes back whole; every other field
// is written as it stands.
QByteArray csvBytes(const QList<QStringList> &lines);

// Replaces path with bytes in one step; throws TessiroError naming the file. The
// export writes its .xlsx through it too.
void writeCsvFile(const QString &path, const QByteArray &bytes);
