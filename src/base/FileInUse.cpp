#include "base/FileInUse.h"

#ifdef Q_OS_WIN
#include <QDir>

#include <windows.h>

bool isHeldOpenElsewhere(const QString &path, FileUse use)
{
    // Asks for what the failed operation needed while sharing everything: only a
    // holder that shares less makes this fail, and then with a sharing violation.
    // Replacing a file needs the right to delete it.
    const DWORD access = use == FileUse::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE | DELETE;
    const QString native = QDir::toNativeSeparators(path);
    HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    }
    CloseHandle(handle);
    return false;
}
#else
bool isHeldOpenElsewhere(const QString &, FileUse)
{
    return false;
}
#endif
