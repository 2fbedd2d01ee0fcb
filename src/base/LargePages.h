#pragma once

#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

// A large document's memory is mostly written once, right after it is taken:
// with 4 KiB pages, faulting the pages in costs about as much as reading the
// document. Where the system offers it, such memory asks for large pages.
constexpr size_t LargePageSize = size_t(2) << 20;

inline void adviseLargePages(void *memory, size_t size)
{
#ifdef Q_OS_LINUX
    const auto begin = (reinterpret_cast<std::uintptr_t>(memory) + LargePageSize - 1) & ~(LargePageSize - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(memory) + size) & ~(LargePageSize - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(memory);
    Q_UNUSED(size);
#endif
}
