#pragma once

#include <QString>

namespace EdsMessages {
// The save dialog of the "EDS File" step.
inline const QString SaveFilter = QStringLiteral("Electronic Data Sheet (*.eds)|*.eds");
inline const QString DefaultSuffix = QStringLiteral("eds");

// %1 is the full path, %2 the system's reason.
inline const QString CannotCreateFile = QStringLiteral("Cannot create file \"%1\". %2");

// pdo.xml without one of its lists; %1 is the file's path.
inline const QString MissingList = QStringLiteral("File \"%1\": the root element has no \"%2\" element.");
} // namespace EdsMessages
