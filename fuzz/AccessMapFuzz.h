#pragma once

// sdo.xml and pdo.xml: each map loads its own file and counts the other one's bytes.
#include "FuzzSupport.h"
#include "config/AccessMap.h"
#include "config/AccessMapParams.h"

#include <cstdio>

// ownParams is the map whose file is the input; otherParams the map that reads it as the other one.
inline int fuzzAccessMap(const AccessMapParams &ownParams, const AccessMapParams &otherParams, const QString &ownName,
                         const QString &otherName, const uint8_t *data, size_t size)
{
    const QString own = fuzzDir().filePath(ownName);
    const QString other = fuzzDir().filePath(otherName);
    removeFile(other);
    writeWhole(own, inputBytes(data, size));

    AccessMap map(ownParams);
    const Loaded<AccessMap::ByteCounts> loaded = map.load(own, other);
    for (const QString &problem : loaded.problems)
        if (!problem.contains(own))
            fuzzFail("a problem does not name the map's file");
    map.failures(false);

    AccessMap reader(otherParams);
    reader.load(other, own);

    if (!loaded.ok())
        return 0;
    // What loads cleanly is written so that it loads back the same.
    const QByteArray bytes = map.toXml();
    writeWhole(own, bytes);
    AccessMap again(ownParams);
    if (!again.load(own, other).ok() || again.toXml() != bytes)
        fuzzFail("saved map does not load back");
    return 0;
}
