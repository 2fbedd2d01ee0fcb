#pragma once

#include <QString>

namespace ProjectMessages {
inline const QString DestinationNotValid = QStringLiteral("directory destination not valid");
inline const QString NameNotValid = QStringLiteral("Name project not valid");
inline const QString NameExists = QStringLiteral("Name project not valid because directory already exists");
// Names that Windows cannot hold as a folder; %1 is the name as typed.
inline const QString NameIsDevice =
    QStringLiteral("Name project not valid: \"%1\" is the name of a device on Windows.");
inline const QString NameHasForbiddenCharacter =
    QStringLiteral("Name project not valid: \"%1\" holds \"%2\", which Windows does not allow in a folder name.");
inline const QString NameHasControlCharacter =
    QStringLiteral("Name project not valid: \"%1\" holds a control character.");
inline const QString NameEndsWithDotOrBlank =
    QStringLiteral("Name project not valid: \"%1\" ends with a dot or a blank, which Windows drops.");
inline const QString SelectDirectoryTitle = QStringLiteral("Select directory of project");

// Project XML files that cannot be read or written; %1 is the file's path.
inline const QString CannotReadFile = QStringLiteral("Cannot read file \"%1\". %2");
inline const QString NotValidXml = QStringLiteral("File \"%1\" is not valid XML: %2 (at byte %3).");
inline const QString NoRootElement = QStringLiteral("File \"%1\" has no root element.");
inline const QString CannotWriteFile = QStringLiteral("Cannot write file \"%1\". %2");

// A second program writing into the same project.
inline const QString ProjectInUse = QStringLiteral("Project is in use by another program");
inline const QString CannotLockProject = QStringLiteral("Cannot lock project folder \"%1\" for writing.");
// The lock file's path, and its owner where the file names one.
inline const QString ProjectInUseBy = QStringLiteral("%1 (%2, process %3 on %4)");
inline const QString ProjectInUseAt = QStringLiteral("%1 (%2)");
inline const QString LockNotAFile =
    QStringLiteral("Cannot lock project folder for writing: \"%1\" is not a regular file. Remove it and try again.");
} // namespace ProjectMessages
