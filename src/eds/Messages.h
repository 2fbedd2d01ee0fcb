#pragma once

#include <QString>

namespace EdsMessages {
// The save dialog of the "EDS File" step.
inline const QString SaveFilter = QStringLiteral("Electronic Data Sheet (*.eds)|*.eds");
inline const QString DefaultSuffix = QStringLiteral("eds");

// %1 is the full path, %2 the system's reason.
inline const QString CannotCreateFile = QStringLiteral("Cannot create file \"%1\". %2");

// pdo.xml that cannot be read; %1 is the file's path.
inline const QString CannotReadFile = QStringLiteral("Cannot read file \"%1\". %2");
inline const QString NotValidXml = QStringLiteral("File \"%1\" is not valid XML: %2 (at byte %3).");
inline const QString NoRootElement = QStringLiteral("File \"%1\" has no root element.");
inline const QString MissingList = QStringLiteral("File \"%1\": the root element has no \"%2\" element.");

// tessiro-cli
inline const QString CliUsage = QStringLiteral("Usage: tessiro-cli eds PROJECT_DIR OUTPUT_FILE");
inline const QString CliNoProject = QStringLiteral("Project directory \"%1\" does not exist.");
} // namespace EdsMessages
