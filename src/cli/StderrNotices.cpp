#include "cli/StderrNotices.h"

#include <cstdio>

namespace {
void print(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}
} // namespace

void StderrNotices::notice(const QString &text)
{
    print(text);
}

void StderrNotices::error(const QString &text)
{
    print(text);
}

void StderrNotices::generalError(const QString &text)
{
    print(text);
}

bool StderrNotices::confirm(const QString &text)
{
    print(text);
    return false;
}
