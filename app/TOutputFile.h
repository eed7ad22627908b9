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
// A named file that exists and is not a regular file (a FIFO, a device,
// /dev/stdout) is written in place. Otherwise the window goes to a new
// temporary file in the target's folder, which is renamed over the target by
// Finish, after the last byte was written and the file closed without error; a
// symbolic link is followed, so the link stays and the file it points to gets
// the window. The temporary file is synced before the rename. A replaced file
// keeps its permission bits (and its owner, where the user may give it); a new
// one gets 0666 less the umask. An existing file the user may not write is
// refused ("Unable to open file NAME") and kept. Until Finish succeeds the target keeps its old
// content, and the destructor removes the temporary file. Throws "Unable to open file NAME" when
// the temporary file (or the file written in place) cannot be made, and "Unable to write file NAME"
// for any later failure.
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
    std::string MbrStrName;       // as given; empty for standard output
    std::string MbrStrTarget;     // the file renamed over: the name, links followed
    std::string MbrStrTemporary;  // empty when written in place
    bool MbrBoolOpen = false;
};
