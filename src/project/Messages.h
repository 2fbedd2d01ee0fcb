#pragma once

#include <QString>

namespace ProjectMessages {
inline const QString DestinationNotValid = QStringLiteral("directory destination not valid");
inline const QString NameNotValid = QStringLiteral("Name project not valid");
inline const QString NameExists = QStringLiteral("Name project not valid because directory already exists");
inline const QString SelectDirectoryTitle = QStringLiteral("Select directory of project");
} // namespace ProjectMessages
