// TARCGISScanner: reads the header and the value tokens of an ArcGIS ASCII grid.
#pragma once

#include <cstdint>
#include <istream>
#include <streambuf>
#include <string>

// The one implementation of the text rules of the format, shared by every
// reader: the six header items with their messages and checks, and the body
// tokens, each of which must be a number as a whole (TNumberText::ParseDouble).
//
// The body is scanned straight from the stream buffer's get area, a block at a
// time (of any size), and the stream is left just after the last character
// taken, as character-wise extraction would leave it. Nothing is allocated from
// what the header claims.
class TARCGISScanner {
  public:
    struct THeader {
        std::int32_t MbrLngColumns = 0;
        std::int32_t MbrLngRows = 0;
        double MbrDblXCorner = 0.0;
        double MbrDblYCorner = 0.0;
        double MbrDblCellSize = 0.0;
        double MbrDblNoData = 0.0;
    };

    explicit TARCGISScanner(std::istream& in);
    // Hands the stream back positioned just after the last character taken.
    ~TARCGISScanner();
    TARCGISScanner(const TARCGISScanner&) = delete;
    TARCGISScanner& operator=(const TARCGISScanner&) = delete;

    // The six header items, checked: the tag messages, "NODATA_value is not a
    // number", "ncols must be a positive integer" (nrows likewise), "cellsize
    // must be a positive number", and the end-of-file message.
    THeader ReadHeader();

    // The next `count` body values, converted into `values` (ReadValues) or
    // only checked (SkipValues), each by the full rule; they throw the
    // end-of-file message or "value 'TOKEN' at column C, row R is not a number". `cell` is the
    // number of the first of them in the body (row-major, from 0) and `columns` the row length, for
    // the messages. The bulk forms scan whole blocks without a call per value.
    void ReadValues(double* values, std::int64_t count, std::int64_t cell, std::int32_t columns);
    void SkipValues(std::int64_t count, std::int64_t cell, std::int32_t columns);

    // The two body messages, written here only: "Unexpected end of file found
    // in TARCGISFileTools::LoadARCGISFile", and the bad value message for the
    // token [first, last) at body cell `cell` (row-major from 0) of a grid of
    // `columns` columns, the token shown with at most 32 bytes.
    [[noreturn]] static void EndOfFile();
    [[noreturn]] static void ValueError(const char* first, const char* last, std::int64_t cell,
                                        std::int32_t columns);

  private:
    // The body a block at a time: `within(cursor, safe)` takes the tokens that
    // lie wholly in [cursor, safe), lowering `count`, and returns where it
    // stopped; a token cut by the block's end goes to `one(first, last)`.
    template <typename Within, typename One>
    void ScanBlocks(std::int64_t& count, Within within, One one);
    // The next token as [first, last); false at the end of the input.
    bool NextToken(const char*& first, const char*& last);
    // Makes the get area current: after a refill the cursor is its start.
    bool Refill();
    void Commit();

    std::istream& MbrIn;
    std::streambuf* MbrBuf;
    const char* MbrPtrCursor = nullptr;  // the next character in the get area
    const char* MbrPtrEnd = nullptr;     // the end of the get area
    std::string MbrStrSpill;             // a token cut by the end of the get area
    char MbrChar = 0;                    // the peeked character of an unbuffered stream
};
