// TMapTools: the library's operations on grids, as static functions.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <vector>

#include <gridsnip/grid/TMap.h>
#include <gridsnip/grid/TPoint.h>

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
    // Writes one line "X,Y,value" per cell (the cell centre and its value), column
    // by column from the west, each column from row 0; no header. Values are
    // written as stored, in the stream's format; every line is flushed.
    static void WriteCSVFile(const TMap* map, std::ostream& out);

    // ---- Cell arithmetic ------------------------------------------------------
    // A result declares the marker its no-data cells hold, so no no-data cell
    // turns into data when the result is written or used again.

    // Cell-wise a + b on the finer grid's geometry (the first grid when the
    // resolutions are equal). Each fine cell pairs with the coarse cell that holds
    // its centre. The result takes the fine grid's marker, which it holds wherever
    // either cell lacks data. Throws "Ordinate is out of range in TAxis::GetIndex"
    // when a fine cell centre lies outside the coarse grid.
    static TMap* Add(const TMap* first, const TMap* second);
    // Cell-wise a x b, paired and marked as Add.
    static TMap* Multiply(const TMap* first, const TMap* second);
    // Cell-wise dividend / divisor on the dividend's geometry, paired and marked
    // as Add; a zero divisor gives what IEEE division gives. Throws "Divisor must
    // be of equal of coarser resolution than the dividend in TMapTools::Divide"
    // when the dividend is coarser.
    static TMap* Divide(const TMap* dividend, const TMap* divisor);
    // Cell-wise first - second, cells paired by index (positions and resolutions
    // are not compared). No-data, with the first grid's marker, where either
    // lacks data. Throws "X dimensions do not match in TMapTools::Subtract", then
    // the Y message.
    static TMap* Subtract(const TMap* first, const TMap* second);
    // Every data cell times `factor`; no-data cells and the marker stay the input's.
    static TMap* Multiply(const TMap* map, double factor);
    // Every data cell divided by `divisor`; no-data cells and the marker stay the
    // input's.
    static TMap* Divide(const TMap* map, double divisor);
    // Per cell, the sum over the list, on the first grid's geometry; no-data,
    // with the first grid's marker, where any grid lacks data. Throws "Must have
    // more than 2 maps to sum in TMapTools::Sum" for fewer than two grids, and
    // "X-dimension of maps are inconsistent in TMapTools::Sum" (then Y).
    static TMap* Sum(std::vector<TMap*> maps);
    // Per cell, how many grids of the list have data there (NaN counts as data);
    // marker -9999. Throws "Must have at least one map in TMapTools::DataCounts"
    // and "X-dimension of maps are inconsistent in TMapTools::DataCounts" (then Y).
    static TMap* DataCounts(std::vector<TMap*> maps);
    // Divide of Sum by DataCounts: the mean where every grid has data, no-data
    // with the first grid's marker elsewhere. Fails as Sum does.
    static TMap* Average(std::vector<TMap*> maps);
    // The second grid's values, with cells equal to `match` replaced by
    // `replacement`, on the first grid's geometry; the marker is the second
    // grid's. Throws "X dimensions do not match in TMapTools::Mask", then Y.
    static TMap* Mask(const TMap* first, const TMap* second, double match, double replacement);
    // Every data cell rounded half up to a whole number: floor(a), plus 1 when
    // a - floor(a) >= 0.5 (-2.5 gives -2, -2.6 gives -3). No-data cells, NaN and
    // infinities are kept; the marker is the input's.
    static TMap* RoundContents(const TMap* map);

    // ---- Value classification and counting ------------------------------------
    // Results have the input's geometry and marker -9999; no-data cells are
    // classified like any other value.

    // Cells at or above `threshold` keep their value, all others (NaN included) are 0.
    static TMap* Threshold(const TMap* map, double threshold);
    // Threshold of each grid, in order; the grids and the vector are the caller's.
    static std::vector<TMap*> Threshold(std::vector<TMap*> maps, double threshold);
    // Cells at or above `threshold` become `replacement`, all others keep their value.
    static TMap* ThresholdReplace(const TMap* map, double threshold, double replacement);
    // Every cell mapped through `table`; values that are not keys, NaN included,
    // take `defaultValue`.
    static TMap* ReplaceValue(const TMap* map, std::map<double, double> table, double defaultValue);
    // Each distinct cell value with the number of cells holding it, ascending.
    // NaN cells are not counted (they have no place in an ordered table), so the
    // counts add up to the number of cells that are not NaN.
    static std::map<double, long> CountValues(const TMap* map);
    // The number of cells equal to `value` (a NaN value matches nothing).
    static std::int32_t CountValues(const TMap* map, double value);

    // ---- Resampling -----------------------------------------------------------
    // X axes are taken to rise from west to east; Y axes may run either way, the
    // direction read from the Y edge axis (north to south unless its last point
    // lies above its first).

    // The bilinear formula: corner values Q11 at (x1, y1), Q21 at (x2, y1), Q12 at
    // (x1, y2), Q22 at (x2, y2), evaluated at (x, y); outside the rectangle it
    // extrapolates. Raises nothing (a zero-sized rectangle gives NaN or infinity).
    static double BilinearInterpolate(double q11, double q21, double q12, double q22, double x,
                                      double x1, double x2, double y, double y1, double y2);
    // The formula on points: x1, y1 from p1, x2 from p2, y2 from p3, the four
    // values as Q11, Q21, Q12, Q22; sets the target's value (its X and Y stay).
    static void BilinearInterpolate(const TMapPoint* p1, const TMapPoint* p2, const TMapPoint* p3,
                                    const TMapPoint* p4, TMapPoint* target);
    // The grid resampled to `resolution` on the Downscale frame: each sample point
    // (from one source cell in from the frame's edges, `resolution` apart) is
    // interpolated between the four source cell centres around it and written to
    // the result cell that holds it. Where any of the four holds the source's
    // marker, the cell gets the marker. Unreached cells hold the marker, which the
    // result declares. Throws "New resolution cannot be <= 0.0 in
    // TMapTools::BilinearInterpolate" (also for NaN), "LngGetX1 is out of range
    // in TMapTools::BilinearInterpolate" (X2, Y1, Y2 likewise) when a neighbour is
    // missing, and the lookup message for a sample outside the grids.
    static TMap* BilinearInterpolate(const TMap* source, double resolution);
    // The empty frame of cell size `resolution` over the source, from its
    // north-western corner: columns and rows are the source extent over the new
    // size, truncated. All cells and the marker are -9999. Throws "New resolution
    // cannot be <= 0.0 in TMapTools::Downscale", "Result grid is too large in
    // TMapTools::Downscale", and "Index is out of range in TAxis::GetPoint" when
    // the new size exceeds the source's width or height.
    static TMap* Downscale(const TMap* source, double resolution);
    // Every cell split into factor x factor cells of its value (no-data cells
    // included), over the source's exact extent; the marker is the source's.
    // Throws "Factor must be greater than 0 in TMapTools::Subdivide" and "Result
    // grid is too large in TMapTools::Subdivide".
    static TMap* Subdivide(const TMap* source, int factor);

    // ---- Map series ---------------------------------------------------------------
    // A series is a list of grids of equal dimensions; the position in the list
    // is the step.

    // The value of cell (column, row) in each grid from position start to end,
    // both included. Throws "Start map number is out of range in
    // TMapTools::GetValuesVector" (a negative start counts as too large), "End
    // map number is out of range ...", "Stat map number must be less than end map
    // number", then the cell messages of TMap::GetPointVal.
    static std::vector<double> GetValuesVector(std::vector<TMap*> maps, std::int32_t column,
                                               std::int32_t row, int start, int end);
    // A nonzero value of the 3 x 3 neighbourhood of the cell (cut to the grid):
    // that of the easternmost column holding one, its northernmost; else 0.
    // Throws "X-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal"
    // (then Y).
    static double FindNonzeroNeighbourVal(const TMap* map, std::int32_t column, std::int32_t row);
    // For each window of `window` steps (window + 1 grids), a grid of the per-cell
    // least-squares slope of the values against their list positions. Zeros
    // before the window's last grid are replaced by their neighbourhood's nonzero
    // value, values equal to their grid's marker are left out; cells where the
    // window's first grid holds 0 stay -9999 (the results' marker). Throws
    // "Window size must be < number of maps in TMapTools::ValueGradients" (also
    // for a negative window) and "Map dimensions do not match in ...". The grids
    // and the vector are the caller's; nothing is left behind on failure.
    static std::vector<TMap*> ValueGradients(std::vector<TMap*> maps, int window);
    // For each window of `window` grids, their Average (no-data with the first
    // grid's marker wherever a grid lacks data). Empty when the window exceeds
    // the list; a window of 1 or less fails as Sum does.
    static std::vector<TMap*> MovingAverage(std::vector<TMap*> maps, int window);

    // ---- Value lookups --------------------------------------------------------------
    // Cells are visited column by column from the west, each column from row 0.

    // For each distinct value, a new TMapPoint (cell centre and value) of the first
    // cell holding it, the caller owning the points. A cell equal to the one
    // visited before it is passed over (the scan starts as if after a no-data
    // cell); excluded values and NaN cells are never keys, and a NaN cell leaves
    // the "previous value" as it was.
    static std::map<double, TMapPoint*> GetFirstValues(const TMap* map,
                                                       std::vector<double> excluded);
    static std::vector<std::map<double, TMapPoint*>> GetFirstValues(std::vector<TMap*> maps,
                                                                    std::vector<double> excluded);
    // For each entry, the value this grid holds at the point's coordinates.
    // Throws the lookup messages of TMap::GetPointVal.
    static std::map<double, double> FetchMapValues(const TMap* map,
                                                   std::map<double, TMapPoint*> points);
    // FetchMapValues of grid k with table k; extra tables are ignored. Throws
    // "Number of point tables does not match the number of maps in
    // TMapTools::FetchMapValues" when there are fewer tables than grids.
    static std::vector<std::map<double, double>> FetchMapValues(
        std::vector<TMap*> maps, std::vector<std::map<double, TMapPoint*>> points);
    // For each value of the second grid (excluded values and NaN are not keys),
    // the first grid's values in those cells, in scan order, NaN included.
    // Throws "Map X-dimensions do not match", then "Map Y-Dimensions do not match".
    static std::map<double, std::vector<double>> GetValuesOverlay(const TMap* first,
                                                                  const TMap* second,
                                                                  std::vector<double> excluded);

    // ---- Overlay and block operations -----------------------------------------
    // A block is four inclusive cell indices: north row, south row, west column,
    // east column (rows count from 0 at the north).

    // Cuts both grids to their common cells: with h half the finer resolution,
    // each grid's corners lie h inside its outer edges, and both grids are cut
    // by Extract between the larger lower corner and the smaller upper corner.
    // Grids that only touch do not intersect. outA and outB receive new grids
    // (the caller's), only when both cuts succeed. Throws "Maps do not intersect
    // in TMapTools::Intersection".
    static void Intersection(const TMap* a, const TMap* b, TMap*& outA, TMap*& outB);
    // Writes every cell of `insert` into the cell of `destination` that holds its
    // centre (the last written wins; no-data markers are copied as values).
    // Throws "Insert map's NW corner is outside of the destination map in
    // TMapTools::Insert" or the SE message; on failure nothing is written.
    static void Insert(TMap* destination, const TMap* insert);
    // The smallest block holding every cell equal to `value` (never a NaN), or
    // 0, 0, 0, 0 when none does.
    static void FindPatchExtent(const TMap* map, double value, std::int32_t& north,
                                std::int32_t& south, std::int32_t& west, std::int32_t& east);
    // Widens the block by `buffer` cells on every side, clamped to the grid (a
    // negative buffer counts as 0).
    static void BufferIndices(const TMap* map, std::int32_t buffer, std::int32_t& north,
                              std::int32_t& south, std::int32_t& west, std::int32_t& east);
    // Sets every cell of the block to `value`. Throws, in this order, "Northern
    // edge must be less than southern edge in TMapTools::FillBlock", "Western
    // edge must be less than eastern edge ...", "Northern ordinate is out of
    // range ...", "Southern ordinate ...", "Western ordinate ...", "Eastern
    // ordinate is out of range in TMapTools::FillBlock"; on failure nothing changes.
    static void FillBlock(TMap* map, double value, std::int32_t north, std::int32_t south,
                          std::int32_t west, std::int32_t east);

    // ---- Checks -----------------------------------------------------------------

    // Throws "Map is not set in <where>" or "Map values do not match its
    // dimensions in <where>" unless the map holds MbrLngYDim rows of at least
    // MbrLngXDim values, as every operation here reads them.
    static void RequireValues(const TMap* map, const char* where);

  private:
    // RequireValues, then a new map on the map's own centre axes: its geometry,
    // all cells -9999, marker -9999.
    static std::unique_ptr<TMap> NewOnAxesOf(const TMap* map, const char* where);
    // result[y][x] = op(source[y][x]) over the source's dimensions, row by row.
    // Both maps must hold their values (RequireValues) and the same dimensions.
    template <typename CellOp>
    static void MapCells(const TMap* source, TMap* result, CellOp op) {
        const auto columns = static_cast<std::size_t>(source->MbrLngXDim);
        for (std::size_t y = 0; y < static_cast<std::size_t>(source->MbrLngYDim); ++y) {
            const double* in = source->MbrVecValues[y].data();
            double* out = result->MbrVecValues[y].data();
            for (std::size_t x = 0; x < columns; ++x) {
                out[x] = op(in[x]);
            }
        }
    }
    // result[y][x] = op(a[y][x], b[y][x]), likewise for two sources.
    template <typename CellOp>
    static void ZipCells(const TMap* a, const TMap* b, TMap* result, CellOp op) {
        const auto columns = static_cast<std::size_t>(a->MbrLngXDim);
        for (std::size_t y = 0; y < static_cast<std::size_t>(a->MbrLngYDim); ++y) {
            const double* inA = a->MbrVecValues[y].data();
            const double* inB = b->MbrVecValues[y].data();
            double* out = result->MbrVecValues[y].data();
            for (std::size_t x = 0; x < columns; ++x) {
                out[x] = op(inA[x], inB[x]);
            }
        }
    }
};
