#include "project/ParseIntText.h"

#include "base/TessiroError.h"

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

std::optional<qint32> tryParseIntText(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;

    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    bool hex = false;
    if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }

    if (i >= n)
        return std::nullopt; // empty, lone sign or lone prefix

    if (hex) {
        if (n - i > 8)
            return std::nullopt;
        quint32 bits = 0;
        for (; i < n; ++i) {
            const int d = hexDigit(text[i]);
            if (d < 0)
                return std::nullopt;
            bits = (bits << 4) | quint32(d);
        }
        const qint32 value = qint32(bits);
        // Negating the pattern wraps like the 32-bit arithmetic it stands for.
        return negative ? qint32(0u - bits) : value;
    }

    qint64 magnitude = 0;
    for (; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < u'0' || u > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (u - u'0');
        if (magnitude > qint64(1) << 31)
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<qint32>::max() || value < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return qint32(value);
}

QString invalidIntegerMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

qint32 ParseIntText(const QString &text)
{
    if (const auto value = tryParseIntText(text))
        return *value;
    throw TessiroError(invalidIntegerMessage(text));
}

qint32 ParseIntText(const QString &text, qint32 defaultValue)
{
    return tryParseIntText(text).value_or(defaultValue);
}
