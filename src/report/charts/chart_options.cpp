#include "chart_options.h"

#include "command_line.h"

#include <charconv>
#include <string_view>

namespace tenso::report {

namespace {

// "WxH" with each side from 100 to 10000 pixels.
bool ParseSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    const auto side = [](std::string_view part, int& out) {
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), out);
        return ec == std::errc() && end == part.data() + part.size() && out >= 100 && out <= 10000;
    };
    const std::string_view all(text);
    return side(all.substr(0, x), width) && side(all.substr(x + 1), height);
}

}  // namespace

ChartOptions ParseChartOptions(const std::function<std::optional<std::string>(const char*)>& value)
{
    ChartOptions c;
    if (const auto pdf = value("pdf")) {
        if (pdf->empty())
            throw UsageError("--pdf needs a file name, not an empty text");
        c.pdf = *pdf;
    }
    if (const auto dir = value("plot")) {
        if (dir->empty())
            throw UsageError("--plot needs a folder, not an empty text");
        c.plotDir = *dir;
    }
    if (const auto page = value("page-size")) {
        if (c.pdf.empty())
            throw UsageError("--page-size is for the report: give --pdf FILE too");
        if (*page == "a4" || *page == "A4")
            c.page = PageSize::A4;
        else if (*page == "letter")
            c.page = PageSize::Letter;
        else
            throw UsageError("--page-size takes a4 or letter, not \"" + *page + "\"");
    }
    if (const auto title = value("title")) {
        if (c.pdf.empty())
            throw UsageError("--title is for the report: give --pdf FILE too");
        c.title = *title;
    }
    if (const auto format = value("plot-format")) {
        if (c.plotDir.empty())
            throw UsageError("--plot-format is for the charts: give --plot DIR too");
        if (*format == "png")
            c.plotFormat = PlotFormat::Png;
        else if (*format == "svg")
            c.plotFormat = PlotFormat::Svg;
        else
            throw UsageError("--plot-format takes png or svg, not \"" + *format + "\"");
    }
    if (const auto size = value("plot-size")) {
        if (c.plotDir.empty())
            throw UsageError("--plot-size is for the charts: give --plot DIR too");
        if (!ParseSize(*size, c.plotWidth, c.plotHeight))
            throw UsageError(
                "--plot-size takes WxH in pixels, each from 100 to 10000, not \"" + *size + "\"");
    }
    return c;
}

}  // namespace tenso::report
