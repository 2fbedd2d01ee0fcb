#pragma once

#include <QString>

// The command-line tool's own texts.
namespace CliMessages {
// %1 is the directory as given.
inline const QString NoProjectDir = QStringLiteral("Project directory %1 not found");
// %1 is the command's usage line.
inline const QString Usage = QStringLiteral("Usage: tessiro-cli %1");
} // namespace CliMessages
