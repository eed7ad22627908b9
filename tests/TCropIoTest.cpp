// The command's input and output under faults: read errors, full disks, pauses,
// closed pipes, special files, links, and a file cut while it is read.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "TCropReference.h"
#include "TestSupport.h"
#include "app/TInputFile.h"
#include "app/TOutputFile.h"

namespace {

// A grid of 40 x 30 cells whose last value is 666.25, and the window of its
// middle: enough output to need several writes of a small limit.
std::string Grid() {
    std::string text =
        "ncols 40\nnrows 30\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n";
    for (int i = 0; i < 40 * 30 - 1; ++i) {
        text += std::to_string(i % 997) + ".5" + (i % 40 == 39 ? "\n" : " ");
    }
    return text + "666.25";
}
const std::vector<std::string> kCorners = {"5.5", "25.5", "34.5", "4.5"};

std::string Window() {
    const double corners[4] = {5.5, 25.5, 34.5, 4.5};
    return TCropReference::Plain(Grid(), corners).MbrStrOut;
}

std::vector<std::string> With(std::vector<std::string> arguments,
                              const std::vector<std::string>& more) {
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

ProcessOptions Shimmed(const std::string& variable) {
    ProcessOptions options;
    options.MbrVecEnvironment = {std::string("LD_PRELOAD=") + GRIDSNIP_FAULT_SHIM, variable,
                                 // the sanitizers' runtime then no longer comes first
                                 "ASAN_OPTIONS=verify_asan_link_order=0"};
    return options;
}

// The names in a folder.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(TCropIo, ReadErrorsAreErrors) {
    // read and pread fail with EIO after N bytes: in the header, in the body,
    // inside the last value. Never a shortened window, never exit 0.
    TempDir dir;
    const std::string grid = Grid(), in = dir.Path("in.asc"), out = dir.Path("out.asc");
    WriteFile(in, grid);
    WriteFile(out, "precious\n");
    for (const std::size_t limit : {std::size_t{20}, grid.size() / 2, grid.size() - 2}) {
        SCOPED_TRACE(limit);
        const ProcessOptions options = Shimmed("GRIDSNIP_SHIM_READ_LIMIT=" + std::to_string(limit));
        const ProcessResult file =
            RunProcessWith(GRIDSNIP_EXE, With(kCorners, {in, out}), "", options);
        EXPECT_EQ(file.MbrErr, "Unable to read file " + in + "\n");
        EXPECT_EQ(file.MbrStatus, 1);
        EXPECT_EQ(ReadFile(out), "precious\n");
        const ProcessResult piped = RunProcessWith(GRIDSNIP_EXE, kCorners, grid, options);
        EXPECT_EQ(piped.MbrErr, "Unable to read standard input\n");
        EXPECT_EQ(piped.MbrStatus, 1);
        EXPECT_EQ(piped.MbrOut, "");
    }
    EXPECT_EQ(Names(dir.Path("")), (std::vector<std::string>{"in.asc", "out.asc"}));
    // The shim lets a read through below its limit.
    const ProcessResult whole =
        RunProcessWith(GRIDSNIP_EXE, With(kCorners, {in}), "",
                       Shimmed("GRIDSNIP_SHIM_READ_LIMIT=" + std::to_string(grid.size() * 10)));
    EXPECT_EQ(whole.MbrOut, Window());
}

TEST(TCropIo, FailedWriteKeepsTheOldFile) {
    // A disk that fills up part-way: the old file keeps its content, no
    // temporary file is left, and the message names the file.
    TempDir dir;
    const std::string in = dir.Path("in.asc"), out = dir.Path("out.asc");
    WriteFile(in, Grid());
    WriteFile(out, "precious\n");
    const ProcessResult full = RunProcessWith(GRIDSNIP_EXE, With(kCorners, {in, out}), "",
                                              Shimmed("GRIDSNIP_SHIM_WRITE_LIMIT=100"));
    EXPECT_EQ(full.MbrErr, "Unable to write file " + out + "\n");
    EXPECT_EQ(full.MbrStatus, 1);
    EXPECT_EQ(ReadFile(out), "precious\n");
    EXPECT_EQ(Names(dir.Path("")), (std::vector<std::string>{"in.asc", "out.asc"}));
    // Standard output that fills up.
    const ProcessResult piped = RunProcessWith(GRIDSNIP_EXE, With(kCorners, {in}), "",
                                               Shimmed("GRIDSNIP_SHIM_WRITE_LIMIT=100"));
    EXPECT_EQ(piped.MbrErr, "Unable to write to standard output\n");
    EXPECT_EQ(piped.MbrStatus, 1);
}

TEST(TCropIo, ReplacedFilesKeepTheirModeAndNewOnesFollowTheUmask) {
    TempDir dir;
    const std::string in = dir.Path("in.asc"), out = dir.Path("out.asc");
    WriteFile(in, Grid());
    WriteFile(out, "old\n");
    chmod(out.c_str(), 0640);
    ASSERT_EQ(RunProcess(GRIDSNIP_EXE, With(kCorners, {in, out}), "").MbrStatus, 0);
    EXPECT_EQ(ReadFile(out), Window());
    struct stat status {};
    stat(out.c_str(), &status);
    EXPECT_EQ(status.st_mode & 07777, 0640u);

    const mode_t mask = umask(0);
    umask(mask);
    const std::string fresh = dir.Path("fresh.asc");
    ASSERT_EQ(RunProcess(GRIDSNIP_EXE, With(kCorners, {in, fresh}), "").MbrStatus, 0);
    stat(fresh.c_str(), &status);
    EXPECT_EQ(status.st_mode & 07777, 0666u & ~mask);
    EXPECT_EQ(ReadFile(fresh), Window());
}

// Regression: replacing by rename needs only the folder's permission, so a
// file its user may not write must be refused before anything is made.
TEST(TCropIo, AFileTheUserMayNotWriteIsRefusedAndKept) {
    TempDir dir;
    chmod(dir.Path("").c_str(), 0777);  // the folder is writable for everyone
    const std::string in = dir.Path("in.asc"), out = dir.Path("out.asc");
    WriteFile(in, Grid());
    WriteFile(out, "precious\n");
    chmod(in.c_str(), 0644);
    chmod(out.c_str(), 0444);
    ProcessOptions options;
    options.MbrBoolAsNobody = true;
    const ProcessResult refused =
        RunProcessWith(GRIDSNIP_EXE, With(kCorners, {in, out}), "", options);
    if (refused.MbrStatus == 126 || refused.MbrStatus == 127) {
        GTEST_SKIP() << "the command cannot be run as another user here";
    }
    EXPECT_EQ(refused.MbrErr, "Unable to open file " + out + "\n");
    EXPECT_EQ(refused.MbrStatus, 1);
    EXPECT_EQ(ReadFile(out), "precious\n");
    EXPECT_EQ(Names(dir.Path("")), (std::vector<std::string>{"in.asc", "out.asc"}));
}

// Regression: an empty name counted as standard output, and a loop of links
// was replaced by a regular file; both are refused and left as they were.
TEST(TCropIo, NamesThatNameNoFileAreRefused) {
    TempDir dir;
    const std::string in = dir.Path("in.asc");
    WriteFile(in, Grid());
    ASSERT_EQ(symlink("loop2", dir.Path("loop1").c_str()), 0);
    ASSERT_EQ(symlink("loop1", dir.Path("loop2").c_str()), 0);
    for (const std::string& name : {std::string(), dir.Path("loop1")}) {
        const ProcessResult result = RunProcess(GRIDSNIP_EXE, With(kCorners, {in, name}), "");
        EXPECT_EQ(result.MbrErr, "Unable to open file " + name + "\n");
        EXPECT_EQ(result.MbrStatus, 1);
        EXPECT_EQ(result.MbrOut, "");
    }
    struct stat status {};
    ASSERT_EQ(lstat(dir.Path("loop1").c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(Names(dir.Path("")), (std::vector<std::string>{"in.asc", "loop1", "loop2"}));
}

// Regression: a regular file under /dev (a tmpfs at /dev/shm) was written in
// place like a device, so a failed write cut it.
TEST(TCropIo, RegularFilesUnderDevAreReplacedWhole) {
    const std::string out = "/dev/shm/gridsnip-test-" + std::to_string(getpid()) + ".asc";
    {
        std::ofstream probe(out);
        if (!probe) {
            GTEST_SKIP() << "no writable /dev/shm here";
        }
    }
    TempDir dir;
    const std::string in = dir.Path("in.asc");
    WriteFile(in, Grid());
    WriteFile(out, "precious\n");
    const ProcessResult full = RunProcessWith(GRIDSNIP_EXE, With(kCorners, {in, out}), "",
                                              Shimmed("GRIDSNIP_SHIM_WRITE_LIMIT=100"));
    EXPECT_EQ(full.MbrErr, "Unable to write file " + out + "\n");
    EXPECT_EQ(ReadFile(out), "precious\n");
    ASSERT_EQ(RunProcess(GRIDSNIP_EXE, With(kCorners, {in, out}), "").MbrStatus, 0);
    EXPECT_EQ(ReadFile(out), Window());
    unlink(out.c_str());
    for (const std::string& name : Names("/dev/shm")) {
        EXPECT_NE(name.rfind(".gridsnip-", 0), 0u) << name;
    }
}

// A run stopped by a signal while it writes leaves no temporary file behind
// and ends by that signal; the old file stays.
TEST(TCropIo, StoppedRunsRemoveTheirTemporaryFile) {
    TempDir dir;
    const std::string in = dir.Path("in.asc"), out = dir.Path("out.asc");
    WriteFile(in, Grid());
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        WriteFile(out, "precious\n");
        const ProcessResult stopped =
            RunProcessWith(GRIDSNIP_EXE, With(kCorners, {in, out}), "",
                           Shimmed("GRIDSNIP_SHIM_SIGNAL=" + std::to_string(signal)));
        EXPECT_EQ(stopped.MbrStatus, 128 + signal);
        EXPECT_EQ(ReadFile(out), "precious\n");
        EXPECT_EQ(Names(dir.Path("")), (std::vector<std::string>{"in.asc", "out.asc"}));
    }
}

TEST(TCropIo, LinksFifosAndStandardOutputAsOutputFile) {
    TempDir dir;
    const std::string in = dir.Path("in.asc");
    WriteFile(in, Grid());
    // A symbolic link stays a link; the file it points to gets the window.
    const std::string target = dir.Path("target.asc"), link = dir.Path("link.asc");
    WriteFile(target, "old\n");
    ASSERT_EQ(symlink("target.asc", link.c_str()), 0);
    ASSERT_EQ(RunProcess(GRIDSNIP_EXE, With(kCorners, {in, link}), "").MbrStatus, 0);
    struct stat status {};
    ASSERT_EQ(lstat(link.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(ReadFile(target), Window());
    // Also one whose file does not exist yet.
    const std::string dangling = dir.Path("dangling.asc");
    ASSERT_EQ(symlink("made.asc", dangling.c_str()), 0);
    ASSERT_EQ(RunProcess(GRIDSNIP_EXE, With(kCorners, {in, dangling}), "").MbrStatus, 0);
    ASSERT_EQ(lstat(dangling.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(ReadFile(dir.Path("made.asc")), Window());

    // A FIFO is written in place, and stays a FIFO.
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(fifo); });
    const ProcessResult toFifo = RunProcess(GRIDSNIP_EXE, With(kCorners, {in, fifo}), "");
    reader.join();
    EXPECT_EQ(toFifo.MbrStatus, 0);
    EXPECT_EQ(received, Window());
    ASSERT_EQ(stat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));

    // /dev/stdout, a pipe and a regular file behind it.
    const ProcessResult toPipe = RunProcess(GRIDSNIP_EXE, With(kCorners, {in, "/dev/stdout"}), "");
    EXPECT_EQ(toPipe.MbrStatus, 0);
    EXPECT_EQ(toPipe.MbrOut, Window());
    const std::string redirected = dir.Path("redirected.asc");
    const ProcessResult toFile =
        RunProcess(GRIDSNIP_EXE, With(kCorners, {in, "/dev/stdout"}), "", redirected);
    EXPECT_EQ(toFile.MbrStatus, 0);
    EXPECT_EQ(ReadFile(redirected), Window());
}

TEST(TCropIo, PausingNonBlockingInputIsWaitedFor) {
    // Standard input that is non-blocking and has nothing for a while (EAGAIN)
    // is waited for, not taken for its end.
    ProcessOptions options;
    options.MbrBoolNonBlockingStdin = true;
    const std::string grid = Grid();
    for (const std::size_t pause : {std::size_t{30}, grid.size() - 3}) {
        options.MbrSizePauseAt = pause;
        const ProcessResult result = RunProcessWith(GRIDSNIP_EXE, kCorners, grid, options);
        EXPECT_EQ(result.MbrErr, "");
        EXPECT_EQ(result.MbrOut, Window());
    }
}

TEST(TCropIo, ClosedPipeEndsTheCommandBySignalOrMessage) {
    // A reader that goes away: the default SIGPIPE ends the command, as it
    // ends cat; where SIGPIPE is ignored, the failed write is reported. The
    // window is larger than a pipe holds, so its writing meets the closed end
    // however soon the command gets there.
    TempDir dir;
    const std::string in = dir.Path("in.asc");
    std::string grid =
        "ncols 300\nnrows 300\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n";
    for (int i = 0; i < 300 * 300; ++i) {
        grid += "1234.5 ";
    }
    WriteFile(in, grid);
    const std::vector<std::string> arguments = {"0", "300", "300", "0", in};
    ProcessOptions options;
    options.MbrBoolCloseStdout = true;
    const ProcessResult signalled = RunProcessWith(GRIDSNIP_EXE, arguments, "", options);
    EXPECT_EQ(signalled.MbrStatus, 128 + SIGPIPE);
    EXPECT_EQ(signalled.MbrErr, "");
    options.MbrBoolIgnoreSigpipe = true;
    const ProcessResult reported = RunProcessWith(GRIDSNIP_EXE, arguments, "", options);
    EXPECT_EQ(reported.MbrStatus, 1);
    EXPECT_EQ(reported.MbrErr, "Unable to write to standard output\n");
}

TEST(TCropIo, OutputGoesInBlocksOfOneMiB) {
    // A tall, narrow window: 300000 rows of one value, 2.4 MB. Written in
    // blocks of 1 MiB, not a write per row, from a file and from a pipe.
    TempDir dir;
    const std::string in = dir.Path("in.asc"), log = dir.Path("writes");
    std::string grid =
        "ncols 1\nnrows 300000\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n";
    for (int i = 0; i < 300000; ++i) {
        grid += "1234.5\n";
    }
    WriteFile(in, grid);
    const std::vector<std::string> corners = {"0.5", "300000", "0.5", "0"};
    for (bool piped : {false, true}) {
        SCOPED_TRACE(piped ? "pipe" : "file");
        ProcessOptions options = Shimmed("GRIDSNIP_SHIM_WRITE_LOG=" + log);
        std::remove(log.c_str());
        const ProcessResult result = RunProcessWith(
            GRIDSNIP_EXE, piped ? corners : With(corners, {in}), piped ? grid : "", options);
        ASSERT_EQ(result.MbrStatus, 0);
        ASSERT_EQ(result.MbrOut.size(), 300000u * 8 + 89);  // the rows and the header
        std::istringstream sizes(ReadFile(log));
        std::vector<std::size_t> writes;
        for (std::size_t size; sizes >> size;) {
            writes.push_back(size);
        }
        ASSERT_EQ(writes.size(), 3u);
        EXPECT_GE(writes[0], std::size_t{1} << 20);
        EXPECT_GE(writes[1], std::size_t{1} << 20);
    }
}

TEST(TCropIo, FileCutWhileReadIsAnError) {
    // The file is cut after phase 1 checked it: phase 2 finds it short and
    // says so; the old output file stays, no temporary file is left.
    TempDir dir;
    const std::string in = dir.Path("in.asc"), out = dir.Path("out.asc");
    const std::string grid = Grid();
    WriteFile(out, "precious\n");
    for (const std::size_t keep : {std::size_t{0}, std::size_t{100}, grid.size() / 2}) {
        SCOPED_TRACE(keep);
        WriteFile(in, grid);
        TCropEngine::TOptions options;
        options.MbrBetweenPhases = [&] {
            ASSERT_EQ(truncate(in.c_str(), static_cast<off_t>(keep)), 0);
        };
        const std::vector<std::string> words = With(kCorners, {in, out});
        const char* argv[] = {"gridsnip",       words[0].c_str(), words[1].c_str(),
                              words[2].c_str(), words[3].c_str(), words[4].c_str(),
                              words[5].c_str()};
        TMemoryInput unused("", 1, false);
        TMemoryOutput standardOutput;
        std::ostringstream err;
        EXPECT_EQ(TCropCommand::Run(6, argv, unused, standardOutput, err, options), 1);
        EXPECT_EQ(err.str(), "Unable to read file " + in + "\n");
        EXPECT_EQ(ReadFile(out), "precious\n");
        EXPECT_EQ(Names(dir.Path("")), (std::vector<std::string>{"in.asc", "out.asc"}));
    }
}
