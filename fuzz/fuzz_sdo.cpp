#include "AccessMapFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzAccessMap(sdoAccessMap(), pdoAccessMap(), QStringLiteral("sdo.xml"), QStringLiteral("pdo.xml"), data,
                         size);
}
