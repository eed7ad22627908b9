// TMap: a rectangular grid of double values placed in space by an X and a Y axis.
#pragma once

#include <cstdint>
#include <vector>

#include <gridsnip/grid/TAxis.h>
#include <gridsnip/grid/TMapPoint.h>
#include <gridsnip/grid/TPoint.h>

// Geometry. Column x (0 = westernmost) and row y (0 = northernmost) address the
// value MbrVecValues[y][x]. Each direction has a centre axis (one point per
// column or row) and an edge axis (one point more). X axes rise from west to
// east, Y axes fall from north to south. A cell holds its western and southern
// edge; the grid's outer eastern and northern edges belong to the last column
// and to row 0.
//
// A cell without data is one whose value equals MbrDblNoData; the grid model
// itself never compares values with it.
//
// Ownership. The map owns its values and its four axes. Setters store copies of
// the axis they are given. Every returned TPoint / TMapPoint is new and owned by
// the caller. Maps are handled through pointers and never copied.
//
// Errors are TGridError with the messages named below. Every operation checks
// before it changes anything: a failed setter leaves both axes of its direction
// as they were.
class TMap {
  public:
    double MbrDblResolution;                        // cell size, in coordinate units
    std::int32_t MbrLngXDim;                        // number of columns
    std::int32_t MbrLngYDim;                        // number of rows
    std::vector<std::vector<double>> MbrVecValues;  // [row][column]
    TAxis* MbrPtrXAxis;                             // X centre axis
    TAxis* MbrPtrYAxis;                             // Y centre axis
    TAxis* MbrPtrXAxisInterval;                     // X edge axis
    TAxis* MbrPtrYAxisInterval;                     // Y edge axis
    double MbrDblNoData;                            // marks cells without data; -9999 by default

    // An empty map: no columns, rows or axes.
    explicit TMap(double resolution);
    // columns x rows cells of -9999, no axes. Throws for negative dimensions.
    TMap(double resolution, std::int32_t columns, std::int32_t rows);
    // A map sized by two centre axes, all cells -9999, with copies of both axes
    // and the edge axes derived from them. Throws "Axes resolutions do not match
    // in TMap::TMap" unless both resolutions are equal (a NaN is never equal).
    TMap(const TAxis* xAxis, const TAxis* yAxis);
    ~TMap();

    TMap(const TMap&) = delete;
    TMap& operator=(const TMap&) = delete;

    // Sets resolution, dimensions and marker, drops any axes and makes
    // rows x columns cells of `noData`. Throws for negative dimensions.
    void Init(double resolution, std::int32_t columns, std::int32_t rows, double noData);
    // Sets every cell to `value`; MbrDblNoData is left alone.
    void InitValues(double value);

    // Store a copy of the centre axis and derive the edge axis (SetXAxis,
    // SetYAxis), or store a copy of the edge axis and derive the centre axis
    // (SetXAxisInterval, SetYAxisInterval). Each throws its length message
    // ("Length of new X axis does not match the X dimension of the map", ...)
    // when the axis does not fit the dimension.
    void SetXAxis(const TAxis* axis);
    void SetYAxis(const TAxis* axis);
    void SetXAxisInterval(const TAxis* axis);
    void SetYAxisInterval(const TAxis* axis);

    // The column ('X') or row (any other selector) that holds `ordinate`, looked
    // up on the edge axis. Throws "Ordinate is out of range in TAxis::GetIndex",
    // or "Map has no axes in TMap::GetIndex".
    std::int32_t GetIndex(double ordinate, char selector) const;
    // GetIndex without the range failure: -1 for an ordinate outside the grid.
    std::int32_t FindIndex(double ordinate, char selector) const;

    // A new point at the centre of cell (x, y). Throws "LngX is out of range for
    // the X-axis in TMap::GetCoordinates" or the LngY message.
    TPoint* GetCoordinates(std::int32_t x, std::int32_t y) const;
    // A new TMapPoint at the centre of cell (x, y) with its value. Throws "LngX is
    // out of range in TMap::GetPoint (long,long)" or the LngY message.
    TMapPoint* GetPoint(std::int32_t x, std::int32_t y) const;
    // A new TMapPoint with the given point's X and Y and the value of the cell
    // that holds it. Throws the lookup message, then "LngX/LngY is out of range
    // in TMap::GetPoint (TPoint*)".
    TMapPoint* GetPoint(const TPoint* point) const;

    // The value of cell (x, y). Throws "X-ordinate is out of range in
    // TMap::GetPointVal", then "Y-ordinate is out of range in TMap::GetPointVal".
    double GetPointVal(std::int32_t x, std::int32_t y) const {
        if (x < 0 || x >= MbrLngXDim) {
            ThrowX();
        }
        if (y < 0 || y >= MbrLngYDim || static_cast<std::size_t>(y) >= MbrVecValues.size()) {
            ThrowY();
        }
        const std::vector<double>& row = MbrVecValues[static_cast<std::size_t>(y)];
        if (static_cast<std::size_t>(x) >= row.size()) {
            ThrowX();
        }
        return row[static_cast<std::size_t>(x)];
    }
    // The value of the cell that holds `point`. Throws the lookup message, then
    // "LngX/LngY is out of range in TMap::GetPointVal".
    double GetPointVal(const TPoint* point) const;
    // GetPointVal for each point, in order; the first failure ends the call.
    // Each edge axis is read once per call, so the time grows with the number
    // of points times the logarithm of the axis length on the usual axes.
    std::vector<double> GetPointValues(const std::vector<TPoint*>& points) const;

    // Stores `value` in cell (x, y). Throws "Index is out of range in
    // TMap::SetPoint" for a cell outside the grid.
    void SetPoint(std::int32_t x, std::int32_t y, double value);
    // Stores `value` in the cell that holds `point` (lookup messages as GetIndex).
    void SetPoint(const TPoint* point, double value);

    // A copy of row y, column 0 first. Throws "Index is out of bounds in TMap::GetRow".
    std::vector<double> GetRow(std::int32_t y) const;
    // Appends a row and counts it; an empty map takes its column count from the
    // row. Axes are not touched.
    void AddRow(std::vector<double> row);

    // True when MbrVecValues holds MbrLngYDim rows of at least MbrLngXDim values:
    // what the writers and window extraction read.
    bool ValuesMatchDimensions() const;

  private:
    [[noreturn]] static void ThrowX();
    [[noreturn]] static void ThrowY();
    void ReleaseAxes();
    // The cell that holds `point`: column from X, then row from Y.
    void LookUp(const TPoint* point, const char* where, std::int32_t& x, std::int32_t& y) const;
    bool HasCell(std::int32_t x, std::int32_t y) const;
    // The value of the looked-up cell (x, y); throws "LngX is out of range in
    // <where>", then the LngY message, for a cell outside the values.
    double HeldValue(std::int32_t x, std::int32_t y, const char* where) const;
    // Replaces one direction's pair of axes with a copy of `given` and the axis
    // `derive` makes from it; nothing changes if anything throws.
    void ReplaceAxes(const TAxis* given, TAxis*& stored, TAxis*& derived,
                     TAxis* (*derive)(const TAxis*, char), char direction);
};
