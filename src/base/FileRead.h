#pragma once

#include <QByteArray>
#include <QString>

// Upper bounds for files the program reads whole: far above any real file of its
// kind, low enough that a wrong file cannot exhaust memory.
constexpr qint64 MaxMasterFileBytes = qint64(1) << 30;
constexpr qint64 MaxProjectFileBytes = qint64(64) << 20;

// Reads the whole of path. Throws TessiroError naming the file when it is not a
// regular file (a FIFO or a device would block or never end), is larger than
// maxBytes, or cannot be read.
QByteArray readRegularFile(const QString &path, qint64 maxBytes = MaxProjectFileBytes);

// The same checks without reading: throws as readRegularFile does.
void requireRegularFile(const QString &path, qint64 maxBytes = MaxProjectFileBytes);
