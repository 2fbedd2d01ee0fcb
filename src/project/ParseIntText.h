#pragma once

#include <QString>
#include <optional>

// The one rule for numbers held as text: leading blanks, an optional sign, then
// decimal digits in the signed 32-bit range or at most eight hex digits after
// "$", "0x", "0X", "x" or "X" (taken as a 32-bit pattern). Nothing may follow.
std::optional<qint32> tryParseIntText(const QString &text);

// Strict form: throws TessiroError "'<text>' is not a valid integer value".
qint32 ParseIntText(const QString &text);

// Lenient form: invalid text gives defaultValue.
qint32 ParseIntText(const QString &text, qint32 defaultValue);

QString invalidIntegerMessage(const QString &text);
