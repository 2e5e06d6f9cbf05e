#include "branches.h"
#include "calc_error.h"
#include "target_marker.h"

#include "state/number_text.h"
#include "state/shared_state.h"
#include "state/single.h"
#include "state/surface.h"
#include "state/window.h"

namespace tenso {
namespace {

struct Crossing {
    const char* neverExceeded;
    const char* flat;
    const char* tooLarge;
};

constexpr Crossing StartCrossing {"The curve never rises above the start level.",
    "The curve is flat where it crosses the start level.", "The start point is too large."};
constexpr Crossing EndCrossing {"The curve never rises above the end level.",
    "The curve is flat where it crosses the end level.", "The end point is too large."};

Single level(float percent, float yMax, const char* tooLarge)
{
    return Step(tooLarge, [&] { return Single::From(static_cast<double>(percent) / 100 * yMax); });
}

// The X at which the segment from record k to record k + 1 reaches `level`. Record k + 1 must be a
// record of this curve: what lies above PointCount belongs to an earlier file or to no record at all.
Single crossingX(const SharedState& s, long k, Single lvl, const Crossing& c)
{
    if (s.PointCount < 1)
        throw CalcError {"There is no curve to evaluate."};
    if (static_cast<float>(k + 1) > s.PointCount)
        throw CalcError {c.neverExceeded};
    const size_t lo = Record(k);
    const size_t hi = Record(k + 1);
    const float x0 = s.XData[lo], x1 = s.XData[hi], y0 = s.YData[lo], y1 = s.YData[hi];
    if (y1 == y0)
        throw CalcError {c.flat};
    return Step(c.tooLarge, [&] {
        const Single slope = Single::From((static_cast<double>(x1) - x0) / (static_cast<double>(y1) - y0));
        return x0 + (lvl - y0) * slope;
    });
}

}  // namespace

void SecantBranch(SharedState& s, Window& w)
{
    const Single startLevel = level(s.CalcStart, s.YMax, "The start level is too large.");
    const Single endLevel = level(s.CalcEnd, s.YMax, "The end level is too large.");

    // A: the last record at or below the start level, up to the first record above the end level;
    // B + 1: that first record above the end level.
    long a = 0, b = 0;
    bool endExceeded = false;
    for (long i = 1; static_cast<float>(i) <= s.PointCount; ++i) {
        const float y = s.YData[Record(i)];
        if (y <= startLevel)
            a = i;
        if (y > endLevel) {
            endExceeded = true;
            break;
        }
        b = i;
    }

    // A curve that falls back below the start level at its end, with no record above the end
    // level, lacks the end crossing: that is what the user has to change, not the start.
    if (!endExceeded && s.PointCount >= 1 && static_cast<float>(a + 1) > s.PointCount)
        throw CalcError {EndCrossing.neverExceeded};
    const Single startX = crossingX(s, a, startLevel, StartCrossing);
    const Single endX = crossingX(s, b, endLevel, EndCrossing);

    // Start equal to End meets the curve twice at one point: a vertical secant, shown as 999999.
    s.Modulus = startX == endX ? 999999.0f : Step("The elastic modulus is too large.", [&] {
        return ((endLevel - startLevel) / (endX - startX)).value();
    });

    w.SetText(Field::Text7, SingleText(s.Modulus));
    w.SetText(Field::Text8, "");
    w.SetText(Field::Text16, "");
    w.SetText(Field::Text9, SingleText(s.YMax));
    w.SetText(Field::Text15, "");

    if (s.Modulus == 0)
        throw CalcError {"The elastic modulus is zero, so the secant cannot be drawn."};
    // The secant through the start point, from the bottom edge of the plot to its top edge.
    const auto xAt = [&](Single y) { return (startX + (y - startLevel) / s.Modulus).value(); };
    const float xBottom = Step("The secant is too long to draw.", [&] { return xAt(s.ScaleYMin); });
    const float xTop = Step("The secant is too long to draw.", [&] { return xAt(s.ScaleYMax); });
    Surface& picture = w.Picture1();
    picture.Line(xBottom, -s.ScaleYMin, xTop, -s.ScaleYMax, colors::Red);

    Step("The target marker is too large to draw.", [&] {
        DrawTargetMarkers(s, picture,
            {{startX.value(), startLevel.value(), colors::Red}, {endX.value(), endLevel.value(), colors::Red},
                {s.XAtYMax, s.YMax, colors::Black}});
    });
}

}  // namespace tenso
