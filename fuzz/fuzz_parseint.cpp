// The number rule: never crashes, and its two forms agree.
#include "base/TessiroError.h"
#include "project/ParseIntText.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<qint32> parsed = tryParseIntText(text);
    try {
        const qint32 strict = ParseIntText(text);
        if (!parsed || *parsed != strict)
            std::abort();
    } catch (const TessiroError &) {
        if (parsed)
            std::abort();
    }
    if (ParseIntText(text, -1) != (parsed ? *parsed : -1))
        std::abort();
    // What parses is printable again as decimal and parses to the same value.
    if (parsed && tryParseIntText(QString::number(*parsed)) != parsed)
        std::abort();
    return 0;
}
