// TOutputFile: standard output, or a named file replaced only once the window is whole.
#pragma once

#include <string>

#include "app/TOutput.h"

// Standard output is written in place; write is retried after EINTR and, on
// non-blocking output, waits with poll after EAGAIN. A closed pipe raises
// SIGPIPE, which ends the command by its default action; where SIGPIPE is
// ignored the write fails and throws like any other failure: "Unable to write
// to standard output".
//
// A named file that exists and is not a regular file (a FIFO, a device), or
// that is reached through /proc or /sys (/dev/stdout, /dev/fd/N, kernel
// files), is written in place. Otherwise the window goes to a new temporary
// file in the target's folder, which is synced and renamed over the target by
// Finish, after the last byte was written and the file closed without error; a
// symbolic link is followed, so the link stays and the file it points to gets
// the window. A replaced file keeps its permission bits (and its owner, where
// the user may give it); a new one gets 0666 less the umask. Until Finish
// succeeds the target keeps its old content; the destructor removes the
// temporary file, and so does SIGINT, SIGTERM or SIGHUP arriving meanwhile
// (each then ends the command as it would have).
//
// Throws "Unable to open file NAME" for an empty name, a folder, a loop of
// symbolic links, an existing file the user may not write, or a temporary file
// (or a file written in place) that cannot be made; "Unable to write file
// NAME" for any later failure.
class TOutputFile : public TOutput {
  public:
    // Standard output.
    TOutputFile();
    // The named file; nothing is created before Open.
    explicit TOutputFile(const std::string& name);
    ~TOutputFile() override;
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    // Creates the temporary file (or opens the file written in place).
    void Open();
    void Write(const char* data, std::size_t size) override;
    void Finish() override;

  private:
    [[noreturn]] void FailWrite() const;

    int MbrIntFd;
    std::string MbrStrName;        // as given
    bool MbrBoolStandard = false;  // standard output, not a named file
    std::string MbrStrTarget;      // the file renamed over: the name, links followed
    std::string MbrStrTemporary;   // empty when written in place
    bool MbrBoolOpen = false;
};
