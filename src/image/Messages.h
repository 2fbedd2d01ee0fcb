#pragma once

#include <QDir>
#include <QString>

// The device image's own texts, shown exactly as they stand.
namespace ImageMessages {
inline const QString FirmwareFileName = QStringLiteral("qk4471.sx");
inline const QString NewFirmwarePrefix = QStringLiteral("New_");
inline const QString FlashToolName = QStringLiteral("Kavrin.exe");

// Status label of the main window while the image is generated.
inline const QString StatusWait = QStringLiteral("Wait..");
inline const QString StatusDone = QStringLiteral("--");

inline const QString WindowCaption = QStringLiteral("Generate Firmware");
inline const QString ExecuteCaption = QStringLiteral("Execute update firmware");
inline const QString PortCaption = QStringLiteral("Port");

inline const QString SxNotFound = QStringLiteral("File *.Sx Not Found,Abort Procedure");
inline const QString NewSxNameEmpty = QStringLiteral("File New *.Sx Not Found,Abort Procedure");
inline const QString BinDirNotFound = QStringLiteral("Directory Bin Not Found,Abort Procedure");
inline QString bankFileNotFound(int bankNumber)
{
    return QStringLiteral("File bank%1.bin Not Found,Abort Procedure").arg(bankNumber);
}
inline const QString NewSxNotCreated = QStringLiteral("File New Sx Not Create,Abort Procedure");
inline const QString FirmwareDirNotFound =
    QStringLiteral("Error! Firmware Directory not Found! Please reinstall the software.");
inline const QString FirmwareFileNotFound =
    QStringLiteral("Error! Firmware File not Found! Please reinstall the software.");
inline const QString FlashToolNotFound = QStringLiteral("Kavrin.exe Not Found, Procedure Aborted");

// Texts for failures that the fixed messages above do not cover (a short bank file,
// a tool that cannot start, a write that fails): each names the file and the reason,
// the file as the system writes it (C:\...\bank1.bin on Windows).
inline QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
inline QString bankFileTooShort(const QString &path, qint64 size, int needed)
{
    return QStringLiteral("File %1 is %2 bytes long, %3 are needed,Abort Procedure")
        .arg(shown(path))
        .arg(size)
        .arg(needed);
}
inline QString noEndRecord(const QString &path)
{
    return QStringLiteral("File %1 has no end record (S7, S8 or S9),Abort Procedure").arg(shown(path));
}
inline QString badRecordLine(const QString &path, qint64 lineNumber, const QString &what)
{
    return QStringLiteral("%1\nFile %2, line %3: %4").arg(NewSxNotCreated, shown(path)).arg(lineNumber).arg(what);
}
inline QString outputNotWritten(const QString &path, const QString &reason)
{
    return QStringLiteral("%1\nFile %2 could not be written: %3").arg(NewSxNotCreated, shown(path), reason);
}
inline QString flashToolNotStarted(const QString &path, const QString &reason)
{
    return QStringLiteral("%1 could not be started: %2\nThe merged firmware is kept.").arg(shown(path), reason);
}
// The window's status line.
inline QString firmwareWritten(const QString &path)
{
    return QStringLiteral("Firmware written: %1").arg(shown(path));
}
inline QString flashToolStarted(const QString &port, const QString &path)
{
    return QStringLiteral("Flash tool started on %1 with %2").arg(port, path);
}
inline QString fileNotWritten(const QString &path, const QString &reason)
{
    return QStringLiteral("File %1 could not be written: %2").arg(shown(path), reason);
}
inline QString fileNotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("File %1 could not be read: %2").arg(shown(path), reason);
}
inline QString directoryNotCreated(const QString &path)
{
    return QStringLiteral("Directory %1 could not be created").arg(shown(path));
}
inline QString fileNotRenamed(const QString &from, const QString &to, const QString &reason)
{
    return QStringLiteral("File %1 could not be renamed to %2: %3").arg(shown(from), shown(to), reason);
}
inline QString notRegularFile(const QString &path)
{
    return QStringLiteral("File %1 is not a regular file,Abort Procedure").arg(shown(path));
}
inline QString fileTooLarge(const QString &path, qint64 size, qint64 limit)
{
    return QStringLiteral("File %1 is %2 bytes long, more than the %3 bytes allowed,Abort Procedure")
        .arg(shown(path))
        .arg(size)
        .arg(limit);
}
inline QString sameInputAndOutput(const QString &path)
{
    return QStringLiteral("File %1 would be both read and written by the merge,Abort Procedure").arg(shown(path));
}
// Project files read by the bank generator.
inline QString elementMissing(const QString &path, const QString &element)
{
    return QStringLiteral("File %1: element %2 not found").arg(shown(path), element);
}
inline QString attributeMissing(const QString &path, const QString &element, int row, const QString &attribute)
{
    return QStringLiteral("File %1: row %2 of %3 has no attribute %4")
        .arg(shown(path))
        .arg(row)
        .arg(element, attribute);
}
inline QString tooManyRows(const QString &path, const QString &element, int rows)
{
    return QStringLiteral("File %1: %2 holds %3 rows, at most 255 fit in a bank").arg(shown(path), element).arg(rows);
}
} // namespace ImageMessages
