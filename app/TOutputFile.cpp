// TOutputFile: standard output, or a named file replaced only once the window is whole.
#include "app/TOutputFile.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include <gridsnip/grid/TGridError.h>

namespace {

// The folder part of a path, with its slash ("" for a bare name).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Where a chain of symbolic links ends, followed by hand: realpath refuses a
// link whose file does not exist yet. Stops after 40 links, as the system does.
std::string LinkTarget(std::string path) {
    std::vector<char> text(PATH_MAX + 1);
    for (int links = 0; links < 40; ++links) {
        struct stat status {};
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            break;
        }
        const ssize_t n = readlink(path.c_str(), text.data(), text.size() - 1);
        if (n <= 0) {
            break;
        }
        const std::string target(text.data(), static_cast<std::size_t>(n));
        path = target[0] == '/' ? target : FolderOf(path) + target;
    }
    return path;
}

// The process's umask, which can only be read by setting it.
mode_t CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

}  // namespace

TOutputFile::TOutputFile() : MbrIntFd(1), MbrBoolOpen(true) {}

TOutputFile::TOutputFile(const std::string& name) : MbrIntFd(-1), MbrStrName(name) {}

TOutputFile::~TOutputFile() {
    if (!MbrStrName.empty() && MbrIntFd >= 0) {
        close(MbrIntFd);
    }
    if (!MbrStrTemporary.empty()) {
        unlink(MbrStrTemporary.c_str());
    }
}

void TOutputFile::Open() {
    if (MbrBoolOpen) {
        return;
    }
    const auto openFailed = [this] { throw TGridError("Unable to open file " + MbrStrName); };
    struct stat status {};
    const bool exists = stat(MbrStrName.c_str(), &status) == 0;
    // A link is followed to the file it names, which is then replaced.
    MbrStrTarget = MbrStrName;
    if (exists) {
        std::vector<char> resolved(PATH_MAX + 1);
        if (realpath(MbrStrName.c_str(), resolved.data()) != nullptr) {
            MbrStrTarget = resolved.data();
        }
    } else {
        MbrStrTarget = LinkTarget(MbrStrName);  // a link to a file still to be made
    }
    const bool special =
        MbrStrTarget.rfind("/dev/", 0) == 0 || MbrStrTarget.rfind("/proc/", 0) == 0;
    if (exists && (!S_ISREG(status.st_mode) || special)) {
        if (S_ISDIR(status.st_mode)) {
            openFailed();
        }
        // A FIFO, a device or a descriptor of this process: written in place.
        MbrIntFd = open(MbrStrName.c_str(), O_WRONLY | O_CLOEXEC | O_TRUNC);
        if (MbrIntFd < 0) {
            openFailed();
        }
        MbrBoolOpen = true;
        return;
    }
    // Renaming over a file needs only the folder's permission: a file its user
    // may not write is refused, as opening it for writing would be.
    if (exists && access(MbrStrTarget.c_str(), W_OK) != 0) {
        openFailed();
    }
    std::string pattern = FolderOf(MbrStrTarget) + ".gridsnip-XXXXXX";
    MbrIntFd = mkstemp(pattern.data());
    if (MbrIntFd < 0) {
        openFailed();
    }
    MbrStrTemporary = pattern;
    if (exists) {
        // Keep the replaced file's owner where the user may (root may); others
        // get the file as their own, as any editor that saves by renaming does.
        // Owner first: a change of owner clears the set-id bits set below.
        [[maybe_unused]] const int kept = fchown(MbrIntFd, status.st_uid, status.st_gid);
    }
    const mode_t mode = exists ? (status.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (fchmod(MbrIntFd, mode) != 0) {
        openFailed();
    }
    MbrBoolOpen = true;
}

void TOutputFile::Write(const char* data, std::size_t size) {
    Open();
    while (size > 0) {
        const ssize_t n = write(MbrIntFd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd ready{MbrIntFd, POLLOUT, 0};
            if (poll(&ready, 1, -1) >= 0 || errno == EINTR) {
                continue;
            }
        }
        FailWrite();
    }
}

void TOutputFile::Finish() {
    Open();
    if (MbrStrName.empty()) {
        return;
    }
    const int fd = MbrIntFd;
    MbrIntFd = -1;
    // The window must be on the disk before it takes the old file's name: a
    // crash after the rename must not leave an empty or partial file behind it,
    // and some file systems report a full disk only here.
    const bool synced = MbrStrTemporary.empty() || fsync(fd) == 0;
    if (close(fd) != 0 || !synced) {
        FailWrite();
    }
    if (!MbrStrTemporary.empty()) {
        if (rename(MbrStrTemporary.c_str(), MbrStrTarget.c_str()) != 0) {
            FailWrite();
        }
        MbrStrTemporary.clear();
    }
}

void TOutputFile::FailWrite() const {
    throw TGridError(MbrStrName.empty() ? std::string("Unable to write to standard output")
                                        : "Unable to write file " + MbrStrName);
}
