#pragma once

#include <QString>

namespace ShellMessages {
inline const QString BuiltInCaption = QStringLiteral("Veltrona Tessiro_QK4470_Brevik");
inline const QString ProjectCaption = QStringLiteral("Veltrona Tessiro_QK4471_Brevik :");
inline const QString ProjectNotValid = QStringLiteral("Project not valid");
// What the last step did, in the status line under the steps; %1 is a path.
inline const QString EdsWritten = QStringLiteral("EDS file written: %1");
inline const QString BanksWritten = QStringLiteral("Banks written to %1");
// Why a Windows program (the flash tool) cannot be started on a system without Wine.
inline const QString WineNeeded =
    QStringLiteral("Wine is needed to start a Windows program here: install the \"wine\" package.");
// The help window's file, when neither copy can be read.
inline const QString HelpUnreadable = QStringLiteral("Impossible to read file Help");
inline const QString HelpLookedIn = QStringLiteral("Looked for \"%1\" and \"%2\".");
} // namespace ShellMessages
