// TCropWindow: which cells the crop keeps, and the window's header as the writer writes it.
#pragma once

#include <cstdint>
#include <string>

#include "files/TARCGISScanner.h"

// The cells that TMapTools::Extract cuts between two corners from the grid the
// header describes, found without building the grid: the edges are formed as
// the reader forms them (TEdgeRule::Form) and the lookup rule is applied to
// them as they come (TEdgeRule::TLookup). Costs at most one pass over the column
// edges and one over the row edges, each stopping once both corners are held
// (corners near the lower-left corner cost a few edges, whatever the header
// claims); stores nothing of the grid.
class TCropWindow {
  public:
    TCropWindow(const TARCGISScanner::THeader& header, double x1, double y1, double x2, double y2);

    // False when a corner lies outside the grid (or is not a number).
    bool Inside() const { return MbrBoolInside; }
    // The window's columns West .. East and rows North .. South, both ends in.
    std::int32_t West() const { return MbrLngWest; }
    std::int32_t East() const { return MbrLngEast; }
    std::int32_t North() const { return MbrLngNorth; }
    std::int32_t South() const { return MbrLngSouth; }

    // The window's six header lines as the library writes the window Extract
    // cuts, every number by the exact rule (TNumberText::FormatExact): its
    // corner derived from its cell centres as TMap derives its edges, the
    // corners right-aligned in 8 characters, the source's cell size and
    // NODATA value. Only for a window Inside.
    std::string HeaderText() const;

  private:
    TARCGISScanner::THeader MbrHeader;
    bool MbrBoolInside = false;
    std::int32_t MbrLngWest = 0, MbrLngEast = 0, MbrLngNorth = 0, MbrLngSouth = 0;
};
