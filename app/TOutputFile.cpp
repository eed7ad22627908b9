// TOutputFile: standard output, or a named file replaced only once the window is whole.
#include "app/TOutputFile.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <vector>

#include <gridsnip/grid/TGridError.h>

namespace {

// The folder part of a path, with its slash ("" for a bare name).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The end of a chain of symbolic links, followed by hand (realpath refuses a
// link whose file does not exist yet), and what the chain passed through.
struct TLinkChain {
    std::string MbrStrEnd;
    bool MbrBoolLoop = false;     // more than 40 links, as the system counts
    bool MbrBoolProcess = false;  // a step under /proc or /sys: /dev/stdout and the like
};

// Whether `path` lies under /proc or /sys once its folder is resolved
// (/dev/stdout leads to /proc/self/fd/1, /dev/fd/1 into /proc/<pid>/fd). Such
// files are the kernel's or descriptors of this process, never replaced.
bool UnderProcess(const std::string& path) {
    std::vector<char> folder(PATH_MAX + 1);
    const std::string given = FolderOf(path).empty() ? std::string(".") : FolderOf(path);
    const std::string resolved = realpath(given.c_str(), folder.data()) != nullptr
                                     ? std::string(folder.data()) + "/"
                                     : given;
    return resolved.rfind("/proc/", 0) == 0 || resolved.rfind("/sys/", 0) == 0;
}

TLinkChain FollowLinks(std::string path) {
    TLinkChain chain;
    std::vector<char> text(PATH_MAX + 1);
    for (int links = 0;; ++links) {
        chain.MbrBoolProcess = chain.MbrBoolProcess || UnderProcess(path);
        struct stat status {};
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            break;
        }
        const ssize_t n = readlink(path.c_str(), text.data(), text.size() - 1);
        if (n <= 0) {
            break;
        }
        if (links == 40) {
            chain.MbrBoolLoop = true;
            break;
        }
        const std::string target(text.data(), static_cast<std::size_t>(n));
        path = target[0] == '/' ? target : FolderOf(path) + target;
    }
    chain.MbrStrEnd = path;
    return chain;
}

// The temporary file of a run, for the signal handler below: a run stopped by
// SIGINT, SIGTERM or SIGHUP removes it before it ends as the signal would.
char gTemporary[PATH_MAX + 32];
volatile std::sig_atomic_t gHasTemporary = 0;

extern "C" void RemoveTemporaryAndStop(int signal) {
    if (gHasTemporary != 0) {
        unlink(gTemporary);  // async-signal-safe, as is all of this handler
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void RemoveTemporaryOnSignals() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        // A signal the caller ignores (nohup) stays ignored.
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            std::signal(signal, RemoveTemporaryAndStop);
        }
    }
}

// The process's umask, which can only be read by setting it.
mode_t CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

}  // namespace

TOutputFile::TOutputFile() : MbrIntFd(1), MbrBoolStandard(true), MbrBoolOpen(true) {}

TOutputFile::TOutputFile(const std::string& name) : MbrIntFd(-1), MbrStrName(name) {}

TOutputFile::~TOutputFile() {
    if (!MbrBoolStandard && MbrIntFd >= 0) {
        close(MbrIntFd);
    }
    if (!MbrStrTemporary.empty()) {
        gHasTemporary = 0;
        unlink(MbrStrTemporary.c_str());
    }
}

void TOutputFile::Open() {
    if (MbrBoolOpen) {
        return;
    }
    const auto openFailed = [this] { throw TGridError("Unable to open file " + MbrStrName); };
    if (MbrStrName.empty()) {
        openFailed();  // no file has an empty name
    }
    const TLinkChain chain = FollowLinks(MbrStrName);
    if (chain.MbrBoolLoop) {
        openFailed();  // a loop of links is kept as it is
    }
    struct stat status {};
    const bool exists = stat(MbrStrName.c_str(), &status) == 0;
    // A link is followed to the file it names, which is then replaced.
    MbrStrTarget = chain.MbrStrEnd;
    if (exists) {
        std::vector<char> resolved(PATH_MAX + 1);
        if (realpath(MbrStrName.c_str(), resolved.data()) != nullptr) {
            MbrStrTarget = resolved.data();
        }
    }
    if (exists && (!S_ISREG(status.st_mode) || chain.MbrBoolProcess)) {
        if (S_ISDIR(status.st_mode)) {
            openFailed();
        }
        // A FIFO, a device, a kernel file or a descriptor of this process
        // (/dev/stdout, even when it is a regular file): written in place.
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
    const std::string pattern = FolderOf(MbrStrTarget) + ".gridsnip-XXXXXX";
    if (pattern.size() >= sizeof gTemporary) {
        openFailed();
    }
    RemoveTemporaryOnSignals();
    pattern.copy(gTemporary, pattern.size());
    gTemporary[pattern.size()] = '\0';
    MbrIntFd = mkstemp(gTemporary);
    if (MbrIntFd < 0) {
        openFailed();
    }
    gHasTemporary = 1;
    MbrStrTemporary = gTemporary;
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
    if (MbrBoolStandard) {
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
        gHasTemporary = 0;
    }
}

void TOutputFile::FailWrite() const {
    throw TGridError(MbrBoolStandard ? std::string("Unable to write to standard output")
                                     : "Unable to write file " + MbrStrName);
}
