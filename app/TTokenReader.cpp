// TTokenReader: the body's tokens from a run of bytes that arrive in blocks.
#include "app/TTokenReader.h"

#include <cstring>

#include "files/TTokenScan.h"

TTokenReader::TTokenReader(TFill fill, std::size_t block)
    : MbrFill(std::move(fill)), MbrPtrBuffer(new char[block]), MbrSizeCapacity(block) {}

void TTokenReader::Grow(std::size_t capacity) {
    std::unique_ptr<char[]> bigger(new char[capacity]);
    std::memcpy(bigger.get(), MbrPtrBuffer.get(), MbrSizeEnd);
    MbrPtrBuffer = std::move(bigger);
    MbrSizeCapacity = capacity;
}

void TTokenReader::Restart(TFill fill) {
    MbrFill = std::move(fill);
    MbrSizeCursor = MbrSizeEnd = 0;
    MbrSizeBase = 0;
    MbrSizeSearched = 0;
    MbrBoolEnded = false;
}

void TTokenReader::Prime(const char* data, std::size_t size) {
    if (MbrSizeCapacity < MbrSizeEnd + size) {
        Grow(MbrSizeEnd + size);
    }
    std::memcpy(MbrPtrBuffer.get() + MbrSizeEnd, data, size);
    MbrSizeEnd += size;
}

bool TTokenReader::Refill() {
    if (MbrBoolEnded) {
        return false;
    }
    if (MbrSizeCursor > 0) {
        const std::size_t kept = MbrSizeEnd - MbrSizeCursor;
        std::memmove(MbrPtrBuffer.get(), MbrPtrBuffer.get() + MbrSizeCursor, kept);
        MbrSizeBase += MbrSizeCursor;
        MbrSizeCursor = 0;
        MbrSizeEnd = kept;
    }
    if (MbrSizeEnd == MbrSizeCapacity) {
        Grow(MbrSizeCapacity * 2);  // one token fills the buffer
    }
    const std::size_t n = MbrFill(MbrPtrBuffer.get() + MbrSizeEnd, MbrSizeCapacity - MbrSizeEnd);
    if (n == 0) {
        MbrBoolEnded = true;
        return false;
    }
    MbrSizeEnd += n;
    return true;
}

bool TTokenReader::Whole(const char*& first, const char*& safe) {
    for (;;) {
        const char* data = MbrPtrBuffer.get();
        // Tokens that start before the last white space end before it; at the
        // end of the input every token ends at the end. The search goes back
        // only to where the last one stopped: the bytes before that hold no
        // white space, so a long token costs one look at each of its bytes
        // however many blocks it arrives in.
        std::size_t end = MbrSizeEnd;
        if (!MbrBoolEnded) {
            std::size_t floor = MbrSizeCursor;
            if (MbrSizeSearched > MbrSizeBase + floor) {
                floor = static_cast<std::size_t>(MbrSizeSearched - MbrSizeBase);
            }
            while (end > floor && !TTokenScan::IsSpace(data[end - 1])) {
                --end;
            }
            if (end == floor) {
                MbrSizeSearched = MbrSizeBase + MbrSizeEnd;
                end = MbrSizeCursor;  // [cursor, end) holds no white space
            }
        }
        if (end > MbrSizeCursor) {
            first = data + MbrSizeCursor;
            safe = data + end;
            return true;
        }
        if (!Refill() && MbrSizeCursor == MbrSizeEnd) {
            return false;
        }
    }
}

std::int64_t TTokenReader::SkipPlain(std::int64_t count) {
    const std::int64_t wanted = count;
    const char* first;
    const char* safe;
    while (count > 0 && Whole(first, safe)) {
        const char* stop = TTokenScan::SkipPlain(first, safe, count);
        Consume(stop);
        if (stop != safe) {
            break;  // done, or a token that is not a plain number
        }
    }
    return wanted - count;
}

bool TTokenReader::Next(const char*& first, const char*& last) {
    for (;;) {
        while (MbrSizeCursor != MbrSizeEnd && TTokenScan::IsSpace(MbrPtrBuffer[MbrSizeCursor])) {
            ++MbrSizeCursor;
        }
        if (MbrSizeCursor != MbrSizeEnd) {
            break;
        }
        if (!Refill()) {
            return false;
        }
    }
    std::size_t end = MbrSizeCursor;
    for (;;) {
        while (end != MbrSizeEnd && !TTokenScan::IsSpace(MbrPtrBuffer[end])) {
            ++end;
        }
        if (end != MbrSizeEnd || MbrBoolEnded) {
            break;
        }
        // The token goes on past the buffer: keep it and read more.
        const std::size_t start = MbrSizeCursor;
        const bool more = Refill();
        end -= start;
        if (!more) {
            break;
        }
    }
    first = MbrPtrBuffer.get() + MbrSizeCursor;
    last = MbrPtrBuffer.get() + end;
    MbrSizeCursor = end;
    return true;
}
