#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Upper bounds for files the program reads whole: far above any real file of its
// kind, low enough that a wrong file cannot exhaust memory.
constexpr qint64 MaxMasterFileBytes = qint64(1) << 30;
constexpr qint64 MaxProjectFileBytes = qint64(64) << 20;

// The message for a file that cannot be opened or read: %1 the file, %2 the system's reason.
inline const QString CannotReadFileMessage = QStringLiteral("Cannot read file \"%1\". %2");

// Reads the whole of path. Throws TessiroError naming the file when it is not a
// regular file (a FIFO or a device would block or never end), is larger than
// maxBytes, or cannot be opened or read (then with cannotRead, for callers
// whose own text says so).
QByteArray readRegularFile(const QString &path, qint64 maxBytes = MaxProjectFileBytes,
                           const QString &cannotRead = CannotReadFileMessage);

// Opens path into file for reading (mode: ReadOnly and its options) with
// readRegularFile's checks, for readers that go on by themselves; throws as
// readRegularFile does. On Unix the checks are made on the opened descriptor: what
// is read is what was checked.
void openRegularFile(QFile &file, const QString &path, qint64 maxBytes = MaxProjectFileBytes,
                     const QString &cannotRead = CannotReadFileMessage, QIODevice::OpenMode mode = QIODevice::ReadOnly);

// The same checks without reading: throws as readRegularFile does.
void requireRegularFile(const QString &path, qint64 maxBytes = MaxProjectFileBytes);
