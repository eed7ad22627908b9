// TEdgeRule: how a grid's edge coordinates are formed, and which cell holds a coordinate.
#pragma once

#include <cstdint>
#include <limits>
#include <type_traits>

// The one statement of the two rules that place a grid's cells, shared by the
// reader that builds edge axes, the axis lookup and the crop engine, which
// applies the lookup to edges as it forms them without storing them.
class TEdgeRule {
  public:
    // The failure of a lookup whose ordinate no segment holds.
    static constexpr const char* kOutOfRange = "Ordinate is out of range in TAxis::GetIndex";

    // Calls each(k, coordinate) for the edges k = 0 .. segments, in that order:
    // edge 0 is `start`, and each next edge is the one before plus `step`, the
    // sum rounded to double (successive addition, not start + k x step, so the
    // last bits follow the additions). When `each` returns bool, false stops
    // the walk after that edge.
    //
    // With a positive `step` the edges never decrease: x + step rounds to a
    // value not below x (an infinite x stays, or becomes not a number, and a
    // segment with an end that is not a number holds nothing). So the
    // half-open segments [edge k, edge k + 1) that can hold an ordinate are
    // disjoint, and a segment that holds one is the only one that does: a
    // lookup (TLookup) that is Held cannot change, whichever segments are
    // still to come, and its Result needs no later edge (the held segment
    // lies between the axis's first edge and any edge formed after it). A
    // walk that only looks up ordinates may stop once every lookup is Held.
    template <typename Each>
    static void Form(double start, double step, std::int32_t segments, Each each) {
        double coordinate = start;
        for (std::int32_t k = 0;; ++k) {
            if constexpr (std::is_same_v<std::invoke_result_t<Each&, std::int32_t, double>, bool>) {
                if (!each(k, coordinate)) {
                    break;
                }
            } else {
                each(k, coordinate);
            }
            if (k >= segments) {
                break;
            }
            coordinate += step;
        }
    }

    // Where the edges around a run of centre points start, and the step their
    // Y coordinate takes (TAxisTools::PointsToIntervals forms them from here by
    // Form): X starts half a resolution west of the first centre; Y half a
    // resolution north of the first centre and steps south (for direction 'Y')
    // when the centres fall from `firstY` to `lastY`, otherwise half a
    // resolution south of it, stepping north.
    struct TStart {
        double MbrDblX;
        double MbrDblY;
        double MbrDblYStep;
    };
    static TStart StartAround(double firstX, double firstY, double lastY, double resolution,
                              char direction) {
        const double h = resolution * 0.5;
        if (firstY > lastY) {
            return {firstX - h, firstY + h, direction == 'Y' ? -resolution : resolution};
        }
        return {firstX - h, firstY - h, resolution};
    }

    // The segment lookup for one ordinate v. Segment i lies between points i
    // and i + 1 of an axis; offer every segment, in any order, then read
    // Result. The rule: the segment of lowest index with min <= v < max holds
    // v; failing that, the segment of lowest index whose max equals v (the
    // axis's upper end belongs to the segment that ends there).
    class TLookup {
      public:
        explicit TLookup(double ordinate) : MbrDblOrdinate(ordinate) {}

        void Offer(std::int32_t index, double a, double b) {
            const double lo = a < b ? a : b;
            const double hi = a < b ? b : a;
            if (lo <= MbrDblOrdinate && MbrDblOrdinate < hi && index < MbrLngHolding) {
                MbrLngHolding = index;
            }
            if (hi == MbrDblOrdinate && index < MbrLngEnding) {
                MbrLngEnding = index;
            }
        }

        // True once a segment holds v: when segments are offered in rising
        // index order, or are disjoint (edges formed by Form with a positive
        // step), no later one can change the result.
        bool Held() const { return MbrLngHolding != kNone; }

        // The segment, or -1 when there is none: v outside the range of the
        // axis's two end coordinates `first` and `last`, v not a number, no
        // segment offered, or no segment matching (coordinates not numbers).
        std::int32_t Result(double first, double last) const {
            const double lo = first < last ? first : last;
            const double hi = first < last ? last : first;
            if (!(lo <= MbrDblOrdinate && MbrDblOrdinate <= hi)) {
                return -1;
            }
            const std::int32_t index = Held() ? MbrLngHolding : MbrLngEnding;
            return index == kNone ? -1 : index;
        }

      private:
        static constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();
        double MbrDblOrdinate;
        std::int32_t MbrLngHolding = kNone;
        std::int32_t MbrLngEnding = kNone;
    };
};
