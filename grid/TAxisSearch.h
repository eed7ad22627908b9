// TAxisSearch: many segment lookups on one axis within one call, each giving TAxis::GetIndex's
// result.
#pragma once

#include <cstdint>
#include <vector>

#include <gridsnip/grid/TAxis.h>
#include <gridsnip/grid/TMap.h>

// An operation that looks up many ordinates on one axis reads the axis once:
// the search copies the selected coordinate of every point when it is made,
// and answers each lookup with what TAxis::FindIndex gives for the axis as it
// stood then. Callers may change an axis through its public points between
// calls, so a search lives only within the call that made it.
class TAxisSearch {
  public:
    // A search over `axis`, reading the coordinate that `selector` picks ('X'
    // for X, any other character for Y).
    TAxisSearch(const TAxis& axis, char selector);

    // The map's edge axis for `selector`: columns for 'X', rows otherwise.
    // Throws "Map has no axes in TMap::GetIndex" when the map has none.
    static const TAxis& EdgesOf(const TMap& map, char selector);

    // TAxis::FindIndex: the segment, or -1 where GetIndex raises its range failure.
    std::int32_t Find(double ordinate) const;
    // TAxis::GetIndex: the segment; throws "Ordinate is out of range in
    // TAxis::GetIndex" (and, on an axis with an empty slot, what the scan throws).
    std::int32_t Get(double ordinate) const;

  private:
    const TAxis& MbrAxis;
    char MbrChrSelector;
    std::vector<double> MbrVecCoordinates;  // the selected coordinates, in axis order
    int MbrIntDirection = 0;  // 1 strictly rising, -1 strictly falling, 0: the axis's own scan
};
