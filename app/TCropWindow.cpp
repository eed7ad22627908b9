// TCropWindow: which cells the crop keeps, and the window's header as the writer writes it.
#include "app/TCropWindow.h"

#include <algorithm>
#include <memory>

#include <gridsnip/grid/TAxisTools.h>
#include "grid/TEdgeRule.h"
#include "numbers/TNumberText.h"

namespace {

// The segments that the axis lookup picks for two ordinates on an edge axis of
// `segments` + 1 points formed by successive addition from `start` (reversed:
// the points come out from the last index to the first, as Y edges do), -1 for
// an ordinate outside the axis. The step is the cell size, positive, so the
// walk stops once both ordinates are held (TEdgeRule::Form): corners near the
// start cost a few edges however many the header claims. Nothing is stored.
void LookUp(double start, double step, std::int32_t segments, bool reversed,
            const double (&ordinates)[2], std::int32_t (&found)[2]) {
    TEdgeRule::TLookup lookups[2] = {TEdgeRule::TLookup(ordinates[0]),
                                     TEdgeRule::TLookup(ordinates[1])};
    double previous = start;
    TEdgeRule::Form(start, step, segments, [&](std::int32_t k, double edge) {
        if (k > 0) {
            const std::int32_t index = reversed ? segments - k : k - 1;
            lookups[0].Offer(index, previous, edge);
            lookups[1].Offer(index, previous, edge);
        }
        previous = edge;
        return !(lookups[0].Held() && lookups[1].Held());
    });
    for (int k = 0; k < 2; ++k) {
        found[k] = lookups[k].Result(start, previous);
    }
}

// Edges a and a + 1 (in axis order) of an axis formed as LookUp forms it; the
// walk stops once both are formed.
void EdgesAt(double start, double step, std::int32_t segments, bool reversed, std::int32_t a,
             double (&edges)[2]) {
    int missing = 2;
    TEdgeRule::Form(start, step, segments, [&](std::int32_t k, double edge) {
        const std::int32_t index = reversed ? segments - k : k;
        if (index == a || index == a + 1) {
            edges[index - a] = edge;
            --missing;
        }
        return missing > 0;
    });
}

// The centre between two edges, by the grid model's own conversion.
double Centre(double a, double b, char direction) {
    TAxis edges(1.0);
    if (direction == 'X') {
        edges.AddPoint(a, 0.0);
        edges.AddPoint(b, 0.0);
    } else {
        edges.AddPoint(0.0, a);
        edges.AddPoint(0.0, b);
    }
    const std::unique_ptr<TAxis> centres(TAxisTools::IntervalsToPoints(&edges, direction));
    const TPoint* point = centres->GetPoint(0);
    return direction == 'X' ? point->MbrDblX : point->MbrDblY;
}

void PutExact(std::string& text, double value, std::size_t width) {
    char number[TNumberText::kExactRoom];
    const char* end = TNumberText::FormatExact(number, value);
    const auto length = static_cast<std::size_t>(end - number);
    if (length < width) {
        text.append(width - length, ' ');
    }
    text.append(number, length);
}

}  // namespace

TCropWindow::TCropWindow(const TARCGISScanner::THeader& header, double x1, double y1, double x2,
                         double y2)
    : MbrHeader(header) {
    std::int32_t columns[2];
    std::int32_t rows[2];
    LookUp(header.MbrDblXCorner, header.MbrDblCellSize, header.MbrLngColumns, false, {x1, x2},
           columns);
    LookUp(header.MbrDblYCorner, header.MbrDblCellSize, header.MbrLngRows, true, {y1, y2}, rows);
    MbrBoolInside = columns[0] >= 0 && columns[1] >= 0 && rows[0] >= 0 && rows[1] >= 0;
    MbrLngWest = std::min(columns[0], columns[1]);
    MbrLngEast = std::max(columns[0], columns[1]);
    MbrLngNorth = std::min(rows[0], rows[1]);
    MbrLngSouth = std::max(rows[0], rows[1]);
}

std::string TCropWindow::HeaderText() const {
    const TARCGISScanner::THeader& h = MbrHeader;
    const double cell = h.MbrDblCellSize;
    // The window's first column centre, and its first and last row centres,
    // from the source's edges around them.
    double x[2], north[2], south[2];
    EdgesAt(h.MbrDblXCorner, cell, h.MbrLngColumns, false, MbrLngWest, x);
    EdgesAt(h.MbrDblYCorner, cell, h.MbrLngRows, true, MbrLngNorth, north);
    EdgesAt(h.MbrDblYCorner, cell, h.MbrLngRows, true, MbrLngSouth, south);
    const double firstX = Centre(x[0], x[1], 'X');
    const double firstY = Centre(north[0], north[1], 'Y');
    const double lastY = Centre(south[0], south[1], 'Y');
    // The window's edges around those centres, as TMap derives them; the
    // writer takes the lower Y end as the southern edge.
    const TEdgeRule::TStart xStart = TEdgeRule::StartAround(firstX, firstY, firstY, cell, 'X');
    const TEdgeRule::TStart yStart = TEdgeRule::StartAround(firstX, firstY, lastY, cell, 'Y');
    double lastEdge = yStart.MbrDblY;
    TEdgeRule::Form(yStart.MbrDblY, yStart.MbrDblYStep, MbrLngSouth - MbrLngNorth + 1,
                    [&](std::int32_t, double y) { lastEdge = y; });
    const double southernEdge = yStart.MbrDblY < lastEdge ? yStart.MbrDblY : lastEdge;

    std::string text = "ncols " + std::to_string(MbrLngEast - MbrLngWest + 1) + "\nnrows " +
                       std::to_string(MbrLngSouth - MbrLngNorth + 1) + "\nxllcorner ";
    PutExact(text, xStart.MbrDblX, 8);
    text += "\nyllcorner ";
    PutExact(text, southernEdge, 8);
    text += "\ncellsize ";
    PutExact(text, cell, 0);
    text += "\nNODATA_value ";
    PutExact(text, h.MbrDblNoData, 0);
    text += "\n";
    return text;
}
