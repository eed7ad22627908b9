// TFdStreamBuf: a read-only stream buffer over a POSIX file descriptor, in large blocks.
#include "app/TFdStreamBuf.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

}  // namespace

TFdStreamBuf::TFdStreamBuf(int fd) : MbrIntFd(fd), MbrBoolOwned(false), MbrVecBlock(kBlock) {
    setg(MbrVecBlock.data(), MbrVecBlock.data(), MbrVecBlock.data());
}

TFdStreamBuf::TFdStreamBuf() : TFdStreamBuf(-1) {}

TFdStreamBuf::~TFdStreamBuf() {
    if (MbrBoolOwned) {
        close(MbrIntFd);
    }
}

bool TFdStreamBuf::Open(const std::string& fileName) {
    const int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(fd);
        return false;
    }
    if (MbrBoolOwned) {
        close(MbrIntFd);
    }
    MbrIntFd = fd;
    MbrBoolOwned = true;
    setg(MbrVecBlock.data(), MbrVecBlock.data(), MbrVecBlock.data());
    return true;
}

TFdStreamBuf::int_type TFdStreamBuf::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    if (MbrIntFd < 0) {
        return traits_type::eof();
    }
    ssize_t n;
    do {
        n = read(MbrIntFd, MbrVecBlock.data(), MbrVecBlock.size());
    } while (n < 0 && errno == EINTR);
    // A read error ends the input like its end: the reader then reports the
    // grid as cut short.
    if (n <= 0) {
        return traits_type::eof();
    }
    setg(MbrVecBlock.data(), MbrVecBlock.data(), MbrVecBlock.data() + n);
    return traits_type::to_int_type(*gptr());
}
