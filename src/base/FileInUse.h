#pragma once

#include <QString>

// The reason a message gives when another program holds a file open against us, as
// a spreadsheet program keeps the workbook it shows.
inline const QString FileInUseReason = QStringLiteral("Another program has it open; close it there and try again.");

enum class FileUse { Read, Replace };

// Whether another program holds path open so that it cannot be used so. Only
// Windows keeps files from their readers and from being replaced: elsewhere false.
bool isHeldOpenElsewhere(const QString &path, FileUse use);
