#pragma once

#include "xmlview/XMLTree.h"

#include <QDir>
#include <QFile>
#include <QTest>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// What stands where the viewer expects an XML file, and the refusal it must get
// at once: reading any of these would block, never end or fill the memory.
inline void addHostileFileCases()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    const QString notRegular = QStringLiteral("File \"%1\" is not a regular file.");
#ifdef Q_OS_UNIX
    QTest::newRow("FIFO") << "fifo" << notRegular;
    QTest::newRow("link to /dev/zero") << "zero" << notRegular;
#endif
    QTest::newRow("directory") << "dir" << notRegular;
    QTest::newRow("one byte over the bound")
        << "big"
        << QStringLiteral("File \"%1\" is larger than %2 MiB.")
               .replace(QStringLiteral("%2"), QString::number(MaxXMLFileBytes >> 20));
}

// Makes the kind of file at path; false when it cannot be made here.
inline bool makeHostileFile(const QString &kind, const QString &path)
{
#ifdef Q_OS_UNIX
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == QLatin1String("zero"))
        return QFile::link(QStringLiteral("/dev/zero"), path);
#endif
    if (kind == QLatin1String("dir"))
        return QDir().mkdir(path);
    // Sparse: no disk space is taken.
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(MaxXMLFileBytes + 1);
}
