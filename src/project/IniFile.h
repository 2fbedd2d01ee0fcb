#pragma once

#include <QString>

// Reads and writes one key of one section of an INI file, the way the Windows
// profile functions do: names match without regard to case, the value is trimmed.
// The writer changes only that key's line (or adds it) and keeps every other byte;
// it throws TessiroError when the file cannot be read or replaced.
QString readIniValue(const QString &path, const QString &section, const QString &key);
void writeIniValue(const QString &path, const QString &section, const QString &key, const QString &value);
