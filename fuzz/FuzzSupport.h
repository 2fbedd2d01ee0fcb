#pragma once

// What the harnesses share: a scratch folder under TMPDIR and a file written whole.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// One folder for the whole run; every input overwrites its files.
inline const QTemporaryDir &fuzzDir()
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    return dir;
}

inline void writeWhole(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

inline void removeFile(const QString &path)
{
    if (QFile::exists(path) && !QFile::remove(path))
        std::abort();
}

inline QByteArray inputBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A failed property: the message goes to stderr before libFuzzer saves the input.
[[noreturn]] inline void fuzzFail(const char *what)
{
    fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}
