// TFdStreamBuf: a read-only stream buffer over a POSIX file descriptor, in large blocks.
#pragma once

#include <streambuf>
#include <string>
#include <vector>

// Reads with read(2) into a 1 MiB block, so that standard input, pipes and
// files all arrive in large pieces whatever the C library's own buffering.
class TFdStreamBuf : public std::streambuf {
  public:
    // Reads from an open descriptor, which stays open (standard input).
    explicit TFdStreamBuf(int fd);
    TFdStreamBuf();
    ~TFdStreamBuf() override;
    TFdStreamBuf(const TFdStreamBuf&) = delete;
    TFdStreamBuf& operator=(const TFdStreamBuf&) = delete;

    // Opens the named file for reading; false when it cannot be opened or is a
    // folder.
    bool Open(const std::string& fileName);

  protected:
    int_type underflow() override;

  private:
    int MbrIntFd;
    bool MbrBoolOwned;
    std::vector<char> MbrVecBlock;
};
