#pragma once
// The options of tenso-report's pictures: --pdf, --page-size, --title, --plot, --plot-format and
// --plot-size.

#include <functional>
#include <optional>
#include <string>

namespace tenso::report {

enum class PageSize { A4, Letter };
enum class PlotFormat { Png, Svg };

struct ChartOptions {
    std::string pdf;  // empty: no report
    PageSize page = PageSize::A4;
    std::string title = "Tensile test report";
    std::string plotDir;  // empty: no charts
    PlotFormat plotFormat = PlotFormat::Png;
    int plotWidth = 800, plotHeight = 600;

    bool Any() const { return !pdf.empty() || !plotDir.empty(); }
};

// The options that `value` reports (the option's text, or nothing when it is not given). Throws
// UsageError naming the option for a bad value, or for a picture option without --pdf or --plot.
ChartOptions ParseChartOptions(const std::function<std::optional<std::string>(const char*)>& value);

}  // namespace tenso::report
