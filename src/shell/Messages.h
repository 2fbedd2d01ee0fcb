#pragma once

#include <QString>

namespace ShellMessages {
inline const QString BuiltInCaption = QStringLiteral("Veltrona Tessiro_QK4470_Brevik");
inline const QString ProjectCaption = QStringLiteral("Veltrona Tessiro_QK4471_Brevik :");
inline const QString ProjectNotValid = QStringLiteral("Project not valid");
} // namespace ShellMessages
