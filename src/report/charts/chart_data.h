#pragma once
// What a chart of one specimen shows, taken from its evaluation: the curve thinned to a fixed
// number of columns (so that a long series keeps a bounded copy per file), the elastic line and the
// window of its fit, the offset lines of the proof strengths and the characteristic points. Strain in % from
// the strain origin e0, stress in MPa.

#include "standard/evaluation.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tenso::report {

struct ChartSegment {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct ChartMarker {
    std::string label;  // "ReH", "Rp0.2", "Rm", "At"
    double x = 0, y = 0;
};

struct ChartData {
    std::string name;  // the data file
    std::vector<float> x, y;  // the curve up to fracture, thinned
    std::optional<ChartSegment> elastic;
    std::optional<ChartSegment> fit;  // the stretch of the elastic line whose records E was fitted to
    std::vector<ChartSegment> offsets;  // one per proof strength
    std::vector<ChartMarker> markers;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // extent of everything above
};

// Columns a kept curve is thinned to: finer than any chart on a page or a screen.
constexpr std::size_t KeptColumns = 2000;

// The same chart cut down to the start of the curve: the elastic line, the offset lines and the
// yield points at a scale where they can be told apart. The curve beyond is clipped when painted.
ChartData ZoomOnYielding(const ChartData& chart);

// The chart of an evaluated file; empty (no curve) for a failed one or one without a kept curve.
ChartData MakeChartData(const standard::Result& result, std::size_t columns = KeptColumns);

}  // namespace tenso::report
