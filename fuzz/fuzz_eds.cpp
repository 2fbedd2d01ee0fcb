// A device's EDS or DCF: any bytes are read or refused with a message naming the
// file and a line, and what is read lists its entries and PDOs without a crash.
#include "FuzzSupport.h"
#include "base/TessiroError.h"
#include "config/DeviceEds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = QStringLiteral("device.eds");
    try {
        const DeviceEds eds = parseDeviceEds(inputBytes(data, size), path);
        edsObjectsText(eds);
        for (qsizetype k = 1; k < eds.objects.size(); ++k)
            if (eds.objects[k - 1].index >= eds.objects[k].index)
                fuzzFail("objects are not sorted by index");
        edsPdosText(devicePdos(eds, 127));
    } catch (const TessiroError &e) {
        if (!e.message().startsWith(path + QStringLiteral(", line ")))
            fuzzFail("a refusal does not name the file and line");
    }
    return 0;
}
