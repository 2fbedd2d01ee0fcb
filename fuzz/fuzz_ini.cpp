// The last-project INI file: whatever a file holds, the value written is the
// value read back, and the write keeps a file the reader agrees with.
#include "project/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const QString section = QStringLiteral("lastproj");
    const QString key = QStringLiteral("projectname");
    readIniValue(path, section, key);
    const QString value = QStringLiteral("\\Line 7\\a");
    // A file that reads must also take the new value: a throw here is a finding.
    writeIniValue(path, section, key, value);
    if (readIniValue(path, section, key) != value)
        std::abort();
    return 0;
}
