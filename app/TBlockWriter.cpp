// TBlockWriter: the window's text gathered in blocks of 1 MiB, written or held.
#include "app/TBlockWriter.h"

#include <cstring>

TBlockWriter::TBlockWriter() : MbrPtrBlock(new char[kBlock + kSlack]) {}

void TBlockWriter::Put(const char* data, std::size_t size) {
    while (size > 0) {
        if (MbrSizeUsed >= kBlock) {
            NextBlock();
        }
        const std::size_t piece = size < kBlock - MbrSizeUsed ? size : kBlock - MbrSizeUsed;
        std::memcpy(MbrPtrBlock.get() + MbrSizeUsed, data, piece);
        MbrSizeUsed += piece;
        data += piece;
        size -= piece;
    }
}

void TBlockWriter::NextBlock() {
    if (MbrPtrOutput != nullptr) {
        MbrPtrOutput->Write(MbrPtrBlock.get(), MbrSizeUsed);
    } else {
        MbrVecHeld.push_back({std::move(MbrPtrBlock), MbrSizeUsed});
        MbrPtrBlock.reset(new char[kBlock + kSlack]);
    }
    MbrSizeUsed = 0;
}

void TBlockWriter::Send(TOutput& output) {
    MbrPtrOutput = &output;
    for (THeld& held : MbrVecHeld) {
        output.Write(held.MbrPtrData.get(), held.MbrSizeUsed);
        held.MbrPtrData.reset();  // each block is let go once written
    }
    MbrVecHeld.clear();
}

void TBlockWriter::Finish() {
    if (MbrPtrOutput != nullptr) {
        MbrPtrOutput->Write(MbrPtrBlock.get(), MbrSizeUsed);
        MbrSizeUsed = 0;
        MbrPtrOutput->Finish();
    }
}
