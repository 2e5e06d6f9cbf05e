#include "draw.h"

#include "data/reader.h"
#include "state/failure.h"
#include "state/number_text.h"
#include "state/shared_state.h"
#include "state/single.h"
#include "state/surface.h"
#include "state/window.h"

#include <cfloat>
#include <cmath>

namespace tenso {
namespace {

// Margins of the automatic scale, as double constants; each product is rounded once to Single.
constexpr double FarMargin = 1.1;
constexpr double NearMargin = -0.1;

void automaticScale(SharedState& s, const ReadMinima& m)
{
    s.ScaleXMax = Scaled(s.XMax, FarMargin).value();
    s.ScaleYMax = Scaled(s.YMax, FarMargin).value();
    s.ScaleXMin = Scaled(s.XMax, NearMargin).value();
    s.ScaleYMin = Scaled(s.YMax, NearMargin).value();
    // Data reaching further below zero than a tenth of the maximum get a tenth of their own margin.
    if (m.XMin < s.ScaleXMin)
        s.ScaleXMin = Scaled(m.XMin, FarMargin).value();
    if (m.YMin < s.ScaleYMin)
        s.ScaleYMin = Scaled(m.YMin, FarMargin).value();
}

// The plot's user scale. A drawn point must map into the plot area's own units; a point so far
// outside the scale that its place overflows a Single cannot be drawn (6).
struct PlotMapping {
    float x0, width, y0, height;

    explicit PlotMapping(const SharedState& s)
        : x0(s.ScaleXMin)
        , width((Single(s.ScaleXMax) - s.ScaleXMin).value())
        , y0(-s.ScaleYMax)
        , height((Single(-s.ScaleYMin) - -s.ScaleYMax).value())
    { }
    void check(float x, float y) const
    {
        // Double precision is exact enough to tell whether the Single result would overflow.
        const double px = (static_cast<double>(x) - x0) / width;
        const double py = (static_cast<double>(y) - y0) / height;
        if (std::fabs(px) > FLT_MAX || std::fabs(py) > FLT_MAX
            || std::fabs(static_cast<double>(x) - x0) > FLT_MAX
            || std::fabs(static_cast<double>(y) - y0) > FLT_MAX)
            throw Failure(failure::Overflow);
    }
};

void drawCurve(const SharedState& s, const PlotMapping& mapping, Surface& pic)
{
    mapping.check(s.XData[1], -s.YData[1]);
    pic.PSet(s.XData[1], -s.YData[1], colors::Green);
    for (int i = 1; static_cast<double>(i) <= static_cast<double>(s.PointCount); ++i) {
        if (i > MaxRecords)  // the count may have changed while other events ran
            throw Failure(failure::OutOfRange);
        const auto k = static_cast<size_t>(i);
        const float x = s.XData[k];
        const float y = -s.YData[k];
        mapping.check(x, y);
        pic.LineTo(x, y, colors::Green);
        pic.Circle(x, y, s.MarkerRadius, colors::Green);
        // Every fifth point blue and every tenth red, so record numbers can be read off the curve.
        if (i % 5 == 0)
            pic.Circle(x, y, s.MarkerRadius, colors::Blue);
        if (i % 10 == 0)
            pic.Circle(x, y, s.MarkerRadius, colors::Red);
    }
}

}  // namespace

void Command3_Click(int16_t index, SharedState& s, Window& w)
{
    Surface& pic = w.Picture1();
    pic.Cls();
    if (index == 1) {
        s.ScaleXMax = 0;
        s.ScaleYMax = 0;
    }
    ReadSettings(s, w);

    w.DoEvents();
    if (s.DataFileName.empty())
        return;
    try {
        w.SetText(Text2(0), s.DataFileName);
        w.DoEvents();
    } catch (const Failure& f) {
        w.MsgBox(FileInUseMessage(f.number));
        return;
    }

    try {
        ReadMinima minima = StartRead(s);
        // No events run between the passes, so they may share what the first one read.
        FileSnapshot file;
        if (s.FileScanned != 1)
            ScanDataFile(s, file);
        ReadRecords(s, minima, file);

        pic.Cls();
        if (s.ScaleXMax == 0 && s.ScaleYMax == 0)
            automaticScale(s, minima);
        // A scale of no width or no height cannot be mapped onto the plot area.
        if (s.ScaleXMax == s.ScaleXMin || s.ScaleYMax == s.ScaleYMin)
            throw Failure(failure::InvalidCall);
        pic.Scale(s.ScaleXMin, -s.ScaleYMax, s.ScaleXMax, -s.ScaleYMin);
        pic.Line(s.ScaleXMin, 0, s.ScaleXMax, 0, colors::Blue);
        pic.Line(0, -s.ScaleYMin, 0, -s.ScaleYMax, colors::Blue);
        const PlotMapping mapping(s);  // before the change rules below move the minima
        s.MarkerRadius = (Single(mapping.width) / 100).value();

        // Written as a user would type them: the change rules read the maxima back and reset the
        // minima to a tenth below zero for the next Draw.
        w.SetText(Text12(0), SingleText(s.ScaleXMax));
        w.SetText(Text12(1), SingleText(s.ScaleYMax));
        w.DoEvents();

        drawCurve(s, mapping, pic);
    } catch (const Failure& f) {
        w.MsgBox(DataFileMessage(f.number));
    }
}

}  // namespace tenso
