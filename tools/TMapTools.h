// TMapTools: the library's operations on grids, as static functions.
#pragma once

#include <ostream>

#include "grid/TMap.h"
#include "grid/TPoint.h"

// Every function that returns a TMap* hands over a new map that the caller owns.
// Inputs are only read unless a function says otherwise. Failures are TGridError.
class TMapTools {
  public:
    // ---- Window extraction ----------------------------------------------------

    // A new map of every cell from the cell that holds one corner to the cell that
    // holds the other, corners in any order. A cell holds its western and southern
    // edge; the grid's outer eastern and northern edges belong to the last column
    // and row 0, so a corner on an inner boundary selects the cell east / north of
    // it. The result has clones of the selected centre points, edge axes derived
    // from them, the source's values and the source's MbrDblNoData. Throws
    // "Ordinate is out of range in TAxis::GetIndex" for a corner outside the grid
    // (corner 1 X, corner 1 Y, corner 2 X, corner 2 Y, in that order).
    static TMap* Extract(const TMap* source, const TPoint* corner1, const TPoint* corner2);

    // ---- Text output ----------------------------------------------------------

    // Writes the values row by row, row 0 first, each value followed by
    // `separator`, each row ended by a line end and a flush. Values are written
    // as stored (no-data included), in the stream's own format and precision.
    static void WriteFlatFile(const TMap* map, std::ostream& out, char separator);
};
