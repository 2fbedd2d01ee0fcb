#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The bytes of a table's CSV export, UTF-8: every field followed by ",", every line
// ended by CR LF. A field holding a comma, a double quote, CR or LF is put in double
// quotes with its quotes doubled, so that it comes back whole; every other field
// is written as it stands.
QByteArray csvBytes(const QList<QStringList> &lines);

// Replaces path with bytes in one step; throws TessiroError naming the file.
void writeCsvFile(const QString &path, const QByteArray &bytes);
