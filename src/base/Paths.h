#pragma once

#include <QString>

// Joins with the platform's separator: "\" on Windows, as the user and the flash tool expect.
QString joinPath(const QString &dir, const QString &name);
