#include "chart_data.h"

#include "decimate.h"

#include <algorithm>
#include <cmath>

namespace tenso::report {

namespace {

void Extend(ChartData& chart, double x, double y)
{
    chart.xMin = std::min(chart.xMin, x);
    chart.xMax = std::max(chart.xMax, x);
    chart.yMin = std::min(chart.yMin, y);
    chart.yMax = std::max(chart.yMax, y);
}

}  // namespace

ChartData MakeChartData(const standard::Result& result, std::size_t columns)
{
    ChartData chart;
    chart.name = result.file;
    const auto& curve = result.curve;
    const std::size_t n = std::min(curve.strain.size(), curve.stress.size());
    if (result.error || n == 0 || !result.E || !result.e0)
        return chart;
    const double e0 = *result.e0;
    const auto percent = [e0](double e) { return (e - e0) * 100; };

    // Thinning by the raw strain is thinning by eps: the shift by e0 moves every column alike.
    const auto [lowest, highest]
        = std::minmax_element(curve.strain.begin(), curve.strain.begin() + static_cast<std::ptrdiff_t>(n));
    const std::vector<std::size_t> kept = DecimateIndices(
        std::span(curve.strain).first(n), std::span(curve.stress).first(n), *lowest, *highest, columns);
    chart.x.reserve(kept.size());
    chart.y.reserve(kept.size());
    chart.xMin = chart.xMax = percent(curve.strain[0]);
    chart.yMin = chart.yMax = curve.stress[0];
    for (const std::size_t i : kept) {
        chart.x.push_back(static_cast<float>(percent(curve.strain[i])));
        chart.y.push_back(static_cast<float>(curve.stress[i]));
        Extend(chart, percent(curve.strain[i]), curve.stress[i]);
    }

    // The elastic line from the origin over the fitted range and a quarter of it beyond.
    const double E = result.E->GPa * 1000;  // MPa
    if (E > 0) {
        const double top = std::min(result.E->hi + 0.25 * (result.E->hi - result.E->lo), chart.yMax);
        chart.elastic = ChartSegment {0, 0, top / E * 100, top};
        // The fit window as the part of that line between its lowest and highest stress, so that a
        // window of SDAR at the top of the line (up to the yield point) shows as such.
        chart.fit = ChartSegment {result.E->lo / E * 100, result.E->lo, result.E->hi / E * 100, result.E->hi};
        // Each offset line from its proof strain on the axis to a little above its intersection.
        for (const auto& proof : result.Rp) {
            const double start = proof.percent;
            const double end = proof.MPa ? std::min(*proof.MPa * 1.1, chart.yMax) : chart.yMax;
            chart.offsets.push_back({start, 0, start + end / E * 100, end});
        }
    }

    const auto mark = [&](const std::string& label, std::optional<std::size_t> index) {
        if (index && *index < n)
            chart.markers.push_back({label, percent(curve.strain[*index]), curve.stress[*index]});
    };
    if (result.ReH)
        mark("ReH", result.indexReH);
    if (result.ReL)
        mark("ReL", result.indexReL);
    for (const auto& proof : result.Rp) {
        if (proof.MPa && proof.strain)
            chart.markers.push_back({"Rp" + proof.key, *proof.strain * 100, *proof.MPa});
    }
    mark("Rm", result.indexRm);
    if (result.At)  // an unloaded test has no fracture to mark
        mark("At", result.indexFracture);
    return chart;
}

ChartData ZoomOnYielding(const ChartData& chart)
{
    ChartData zoom = chart;
    double x = chart.elastic ? chart.elastic->x1 : 0.0;
    double y = chart.elastic ? chart.elastic->y1 : 0.0;
    for (const auto& marker : chart.markers) {
        if (marker.label != "Rm" && marker.label != "At") {
            x = std::max(x, marker.x);
            y = std::max(y, marker.y);
        }
    }
    if (!(x > 0) || !(y > 0))
        return zoom;
    // From the origin to two and a half times the farthest yield point, a fifth above the highest.
    zoom.xMin = 0;
    zoom.xMax = std::min(chart.xMax, 2.5 * x);
    zoom.yMin = 0;
    zoom.yMax = std::min(chart.yMax, 1.2 * y);
    return zoom;
}

}  // namespace tenso::report
