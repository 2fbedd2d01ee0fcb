#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

QString ScriptedChooser::next()
{
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

QString ScriptedChooser::openFile(const FileDialogOptions &options)
{
    requests.append({QStringLiteral("open"), options, {}, {}});
    return next();
}

QString ScriptedChooser::saveFile(const FileDialogOptions &options)
{
    requests.append({QStringLiteral("save"), options, {}, {}});
    return applyDefaultSuffix(next(), options.defaultSuffix);
}

QString ScriptedChooser::chooseFolder(const QString &title, const QString &root, const QString &preselect)
{
    requests.append({QStringLiteral("folder"), {title, {}, {}, {}}, root, preselect});
    return next();
}

void RecordingLauncher::startDetached(const QString &program, const QString &parameters)
{
    starts.append({program, parameters});
    if (fail)
        throw TessiroError(QStringLiteral("cannot start"));
}

QByteArray readFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        QTest::qFail(qPrintable(QStringLiteral("cannot read ") + path), __FILE__, __LINE__);
    return file.readAll();
}

void writeFileBytes(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        QTest::qFail(qPrintable(QStringLiteral("cannot write ") + path), __FILE__, __LINE__);
}

QString lockHostName()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("COMPUTERNAME");
#else
    return QSysInfo::machineHostName();
#endif
}

QString sourcePath(const QString &relative)
{
    return QDir(QString::fromLocal8Bit(qgetenv("TESSIRO_SOURCE_DIR"))).filePath(relative);
}

#ifdef Q_OS_WIN
HeldOpen::HeldOpen(const QString &path, unsigned long shareMode)
{
    const QString native = QDir::toNativeSeparators(path);
    m_handle = CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), GENERIC_READ | GENERIC_WRITE, shareMode,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

HeldOpen::~HeldOpen()
{
    if (isOpen())
        CloseHandle(m_handle);
}

bool HeldOpen::isOpen() const
{
    return m_handle != INVALID_HANDLE_VALUE;
}
#endif
