// Test helpers: the command run as a real process, and temporary files.
#include "TestSupport.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input, const std::string& stdoutPath) {
    ProcessOptions options;
    options.MbrStrStdoutPath = stdoutPath;
    return RunProcessWith(program, arguments, input, options);
}

ProcessResult RunProcessWith(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& input, const ProcessOptions& options) {
    const std::string& stdoutPath = options.MbrStrStdoutPath;
    int inPipe[2], outPipe[2], errPipe[2];
    if (pipe(inPipe) != 0 || pipe(outPipe) != 0 || pipe(errPipe) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        rlimit cpu{static_cast<rlim_t>(options.MbrIntCpuSeconds),
                   static_cast<rlim_t>(options.MbrIntCpuSeconds)};
        setrlimit(RLIMIT_CPU, &cpu);
        if (options.MbrLngMemoryLimit > 0) {
            rlimit memory{static_cast<rlim_t>(options.MbrLngMemoryLimit),
                          static_cast<rlim_t>(options.MbrLngMemoryLimit)};
            setrlimit(RLIMIT_AS, &memory);
        }
        for (const std::string& variable : options.MbrVecEnvironment) {
            const std::size_t equals = variable.find('=');
            setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
        }
        signal(SIGPIPE, options.MbrBoolIgnoreSigpipe ? SIG_IGN : SIG_DFL);
        if (options.MbrBoolNonBlockingStdin) {
            fcntl(inPipe[0], F_SETFL, fcntl(inPipe[0], F_GETFL) | O_NONBLOCK);
        }
        dup2(inPipe[0], 0);
        if (stdoutPath.empty()) {
            dup2(outPipe[1], 1);
        } else {
            const int fd = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 1);
        }
        dup2(errPipe[1], 2);
        for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) {
            close(fd);
        }
        // Dropping root makes file permissions count again; 126 if it cannot.
        if (options.MbrBoolAsNobody && geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(126);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    signal(SIGPIPE, SIG_IGN);

    ProcessResult result;
    bool outOpen = true, errOpen = true;
    if (options.MbrBoolCloseStdout) {
        close(outPipe[0]);  // the reader goes away at once
        outOpen = false;
    }
    std::size_t written = 0;
    bool inOpen = true;
    if (input.empty()) {
        close(inPipe[1]);
        inOpen = false;
    }
    char buffer[65536];
    while (outOpen || errOpen) {
        pollfd fds[3];
        int count = 0;
        if (outOpen)
            fds[count++] = {outPipe[0], POLLIN, 0};
        if (errOpen)
            fds[count++] = {errPipe[0], POLLIN, 0};
        if (inOpen)
            fds[count++] = {inPipe[1], POLLOUT, 0};
        if (poll(fds, static_cast<nfds_t>(count), -1) < 0) {
            break;
        }
        for (int i = 0; i < count; ++i) {
            if (fds[i].revents == 0)
                continue;
            if (fds[i].fd == inPipe[1]) {
                if (written == options.MbrSizePauseAt && written > 0) {
                    // The input pauses: the reader finds nothing there for a while.
                    usleep(200000);
                }
                std::size_t end = input.size();
                if (written < options.MbrSizePauseAt && options.MbrSizePauseAt < end) {
                    end = options.MbrSizePauseAt;
                }
                const ssize_t n = write(inPipe[1], input.data() + written, end - written);
                if (n > 0)
                    written += static_cast<std::size_t>(n);
                if (n < 0 || written == input.size()) {
                    close(inPipe[1]);
                    inOpen = false;
                }
                continue;
            }
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            std::string& target = fds[i].fd == outPipe[0] ? result.MbrOut : result.MbrErr;
            if (n > 0) {
                target.append(buffer, static_cast<std::size_t>(n));
            } else {
                (fds[i].fd == outPipe[0] ? outOpen : errOpen) = false;
            }
        }
    }
    if (inOpen)
        close(inPipe[1]);
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.MbrStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "gridsnip-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "mkdtemp failed";
    }
    MbrPath = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(MbrPath, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
}

bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}
