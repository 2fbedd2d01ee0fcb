// pargen.xml: any bytes load with problems that name the file, and what loads
// cleanly is saved so that it loads back as the same values.
#include "FuzzSupport.h"
#include "config/Pargen.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzDir().filePath(QStringLiteral("pargen.xml"));
    writeWhole(path, inputBytes(data, size));
    const Loaded<PargenValues> loaded = loadPargen(path);
    for (const QString &problem : loaded.problems)
        if (!problem.contains(path))
            fuzzFail("a problem does not name pargen.xml");
    if (!loaded.ok())
        return 0;
    writeWhole(path, pargenXml(loaded.value));
    const Loaded<PargenValues> again = loadPargen(path);
    if (!again.ok() || !(again.value == loaded.value))
        fuzzFail("saved values do not load back");
    return 0;
}
