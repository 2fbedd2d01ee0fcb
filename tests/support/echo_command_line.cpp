// Stands in for the flash tool in the Windows tests: writes what follows its own
// name on its command line, as UTF-8, to received.txt beside itself. The file
// appears whole, so a test may wait for it.
#include <windows.h>

#include <string>

int main()
{
    const wchar_t *line = GetCommandLineW();
    // The program's name: quoted, or up to the first blank.
    if (*line == L'"') {
        ++line;
        while (*line && *line != L'"')
            ++line;
        if (*line)
            ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t')
            ++line;
    }
    // The one blank between the name and the parameters.
    if (*line == L' ')
        ++line;
    const int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string text(size_t(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line, -1, text.data(), size, nullptr, nullptr);
    text.resize(text.size() - 1);

    std::wstring dir(MAX_PATH, L'\0');
    dir.resize(GetModuleFileNameW(nullptr, dir.data(), DWORD(dir.size())));
    dir.resize(dir.find_last_of(L'\\') + 1);
    const std::wstring part = dir + L"received.tmp";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != text.size())
        return 1;
    return MoveFileExW(part.c_str(), (dir + L"received.txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
