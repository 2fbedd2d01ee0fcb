// Preloaded into a tessiro-cli that a test starts, never into a shipped program.
// TESSIRO_TEST_KILL_AT_LOCK_WRITE=1: the process dies at its first write into a
// .tessiro.lock, as a power cut between creating the lock and naming its owner.
// TESSIRO_TEST_ENOSPC_UNDER=DIR: every write into a file under DIR other than the
// lock fails with ENOSPC, as a full disk where no file system can be mounted.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace {

bool isLock(const char *path)
{
    const char *name = strrchr(path, '/');
    return name && std::strcmp(name, "/.tessiro.lock") == 0;
}

} // namespace

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    static ssize_t (*realWrite)(int, const void *, size_t) = nullptr;
    if (!realWrite)
        realWrite = reinterpret_cast<ssize_t (*)(int, const void *, size_t)>(dlsym(RTLD_NEXT, "write"));
    const char *kill = std::getenv("TESSIRO_TEST_KILL_AT_LOCK_WRITE");
    const char *full = std::getenv("TESSIRO_TEST_ENOSPC_UNDER");
    if ((kill && *kill) || (full && *full)) {
        char link[64];
        char path[4096];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        const ssize_t length = readlink(link, path, sizeof path - 1);
        if (length > 0) {
            path[static_cast<size_t>(length)] = '\0';
            if (kill && *kill && isLock(path))
                std::raise(SIGKILL);
            if (full && *full && !isLock(path) && std::strncmp(path, full, std::strlen(full)) == 0) {
                errno = ENOSPC;
                return -1;
            }
        }
    }
    return realWrite(fd, data, size);
}
