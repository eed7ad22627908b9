// FaultShim: a preloaded library that makes reads and writes fail, for the fault tests.
//
//   LD_PRELOAD=libgridsnip_fault_shim.so GRIDSNIP_SHIM_READ_LIMIT=N ...
//
// GRIDSNIP_SHIM_READ_LIMIT: read and pread hand over N bytes in all, then fail
// with EIO. GRIDSNIP_SHIM_WRITE_LIMIT: write takes N bytes in all (standard
// error aside, so that the message gets out), then fails with ENOSPC.
// GRIDSNIP_SHIM_WRITE_LOG: the size of every write to standard output is
// appended to this file, one line each. GRIDSNIP_SHIM_SIGNAL=S: the first write
// to a file other than standard output and error raises signal S after it.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

long long Limit(const char* name) {
    const char* text = std::getenv(name);
    return text == nullptr ? -1 : std::atoll(text);
}

long long gRead = 0;
long long gWritten = 0;

// How much of `size` may go through: all of it, a part, or -1 for an error.
ssize_t Allowed(long long& used, long long limit, size_t size) {
    if (limit < 0) {
        return static_cast<ssize_t>(size);
    }
    if (used >= limit) {
        return -1;
    }
    const long long left = limit - used;
    return static_cast<ssize_t>(static_cast<long long>(size) < left ? static_cast<long long>(size)
                                                                    : left);
}

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t size) {
    static const auto real = Next<ssize_t (*)(int, void*, size_t)>("read");
    const ssize_t allowed = Allowed(gRead, Limit("GRIDSNIP_SHIM_READ_LIMIT"), size);
    if (allowed < 0) {
        errno = EIO;
        return -1;
    }
    const ssize_t n = real(fd, buffer, static_cast<size_t>(allowed));
    gRead += n > 0 ? n : 0;
    return n;
}

extern "C" ssize_t pread(int fd, void* buffer, size_t size, off_t offset) {
    static const auto real = Next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    const ssize_t allowed = Allowed(gRead, Limit("GRIDSNIP_SHIM_READ_LIMIT"), size);
    if (allowed < 0) {
        errno = EIO;
        return -1;
    }
    const ssize_t n = real(fd, buffer, static_cast<size_t>(allowed), offset);
    gRead += n > 0 ? n : 0;
    return n;
}

extern "C" ssize_t pread64(int fd, void* buffer, size_t size, off_t offset) {
    return pread(fd, buffer, size, offset);
}

extern "C" ssize_t write(int fd, const void* buffer, size_t size) {
    static const auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
    static const int log = [] {
        const char* path = std::getenv("GRIDSNIP_SHIM_WRITE_LOG");
        return path == nullptr ? -1 : open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    }();
    if (fd == 1 && log >= 0) {
        char line[32];
        const int length = std::snprintf(line, sizeof line, "%zu\n", size);
        real(log, line, static_cast<size_t>(length));
    }
    const ssize_t allowed = fd == 2 ? static_cast<ssize_t>(size)
                                    : Allowed(gWritten, Limit("GRIDSNIP_SHIM_WRITE_LIMIT"), size);
    if (allowed < 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t n = real(fd, buffer, static_cast<size_t>(allowed));
    gWritten += n > 0 && fd != 2 ? n : 0;
    static const long long signal = Limit("GRIDSNIP_SHIM_SIGNAL");
    if (signal > 0 && fd > 2) {
        raise(static_cast<int>(signal));
    }
    return n;
}
