// TInputFile: a named file or standard input, read with read(2) and pread(2).
#include "app/TInputFile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <gridsnip/grid/TGridError.h>

TInputFile::TInputFile() : MbrIntFd(0), MbrBoolOwned(false) {
    Describe();
}

TInputFile::TInputFile(const std::string& name) : MbrBoolOwned(true), MbrStrName(name) {
    MbrIntFd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (MbrIntFd >= 0 && (fstat(MbrIntFd, &status) != 0 || S_ISDIR(status.st_mode))) {
        close(MbrIntFd);
        MbrIntFd = -1;
    }
    if (MbrIntFd < 0) {
        throw TGridError("Unable to open file " + name);
    }
    Describe();
}

TInputFile::~TInputFile() {
    if (MbrBoolOwned) {
        close(MbrIntFd);
    }
}

void TInputFile::Describe() {
    // A regular file is read from where its descriptor stands (standard input
    // may have been read from before), up to its size at this moment.
    struct stat status {};
    if (fstat(MbrIntFd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return;
    }
    const off_t at = lseek(MbrIntFd, 0, SEEK_CUR);
    if (at < 0 || at > status.st_size) {
        return;
    }
    MbrBoolPositional = true;
    MbrSizeBase = static_cast<std::uint64_t>(at);
    MbrSizeSize = static_cast<std::uint64_t>(status.st_size - at);
}

std::size_t TInputFile::Read(char* to, std::size_t size) {
    for (;;) {
        const ssize_t n = read(MbrIntFd, to, size);
        if (n >= 0) {
            return static_cast<std::size_t>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            // Non-blocking input that has nothing yet: wait for more.
            pollfd ready{MbrIntFd, POLLIN, 0};
            if (poll(&ready, 1, -1) >= 0 || errno == EINTR) {
                continue;
            }
        }
        FailRead();
    }
}

std::size_t TInputFile::ReadAt(char* to, std::size_t size, std::uint64_t offset) const {
    for (;;) {
        const ssize_t n = pread(MbrIntFd, to, size, static_cast<off_t>(MbrSizeBase + offset));
        if (n >= 0) {
            return static_cast<std::size_t>(n);
        }
        if (errno != EINTR) {
            FailRead();
        }
    }
}

void TInputFile::FailRead() const {
    throw TGridError(MbrBoolOwned ? "Unable to read file " + MbrStrName
                                  : std::string("Unable to read standard input"));
}
