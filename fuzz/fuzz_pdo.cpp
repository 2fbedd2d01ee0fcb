#include "AccessMapFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzAccessMap(pdoAccessMap(), sdoAccessMap(), QStringLiteral("pdo.xml"), QStringLiteral("sdo.xml"), data,
                         size);
}
