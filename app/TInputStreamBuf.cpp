// TInputStreamBuf: a read-only stream buffer over a TInput, in large blocks.
#include "app/TInputStreamBuf.h"

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

}  // namespace

TInputStreamBuf::TInputStreamBuf(TInput& input) : MbrInput(input), MbrPtrBlock(new char[kBlock]) {
    setg(MbrPtrBlock.get(), MbrPtrBlock.get(), MbrPtrBlock.get());
}

std::uint64_t TInputStreamBuf::Taken() const {
    return MbrSizeRead - RestSize();
}

TInputStreamBuf::int_type TInputStreamBuf::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    const std::size_t n = MbrInput.Read(MbrPtrBlock.get(), kBlock);
    if (n == 0) {
        return traits_type::eof();
    }
    MbrSizeRead += n;
    setg(MbrPtrBlock.get(), MbrPtrBlock.get(), MbrPtrBlock.get() + n);
    return traits_type::to_int_type(*gptr());
}
