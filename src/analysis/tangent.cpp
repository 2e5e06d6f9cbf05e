#include "branches.h"
#include "calc_error.h"
#include "target_marker.h"

#include "state/number_text.h"
#include "state/shared_state.h"
#include "state/single.h"
#include "state/surface.h"
#include "state/window.h"

#include <optional>

namespace tenso {
namespace {

constexpr const char* SumsTooLarge = "A sum over the range is too large.";
constexpr const char* OffsetTooLarge = "The offset strength is too large.";

bool rangeAccepted(const SharedState& s)
{
    return s.CalcStart >= 1 && s.CalcEnd >= 1 && s.CalcStart <= s.PointCount && s.CalcEnd <= s.PointCount
        && s.CalcEnd > s.CalcStart;
}

// Visits the records of the range: a Single counter from Start while it does not exceed End, each
// value rounded to the nearest record (halves to even), so fractional bounds may visit a record twice.
// The range check keeps the counter below 2002, where adding 1 is exact.
template <typename F> void forEachRecord(const SharedState& s, F&& visit)
{
    for (Single c = s.CalcStart; c <= s.CalcEnd; c = c + 1) {
        const auto k = ToWhole(c.value());
        visit(Record(k ? *k : -1));
    }
}

Single leastSquaresSlope(const SharedState& s, Single n)
{
    Single sumX = 0, sumY = 0;
    Step(SumsTooLarge, [&] {
        forEachRecord(s, [&](size_t k) {
            sumX += s.XData[k];
            sumY += s.YData[k];
        });
    });
    const Single meanX = Step(SumsTooLarge, [&] { return sumX / n; });
    const Single meanY = Step(SumsTooLarge, [&] { return sumY / n; });

    double sumSquares = 0;  // squares in double: the range's X spread must not round away
    Single sumProducts = 0;
    Step(SumsTooLarge, [&] {
        forEachRecord(s, [&](size_t k) {
            const Single dx = s.XData[k] - meanX;
            const Single dy = s.YData[k] - meanY;
            sumSquares += static_cast<double>(dx.value()) * dx.value();
            sumProducts += dx * dy;
        });
    });
    if (sumSquares == 0)
        throw CalcError {"All X values in the range are equal."};
    return Step("The elastic modulus is too large.",
        [&] { return Single::From(static_cast<double>(sumProducts.value()) / sumSquares); });
}

// Walks the curve from its first segment and stops at the first one on which the offset line
// Y = Modulus * (X - Offset) meets it; without such a segment the last computed meeting point stays.
// Returns the meeting X (unset while every segment so far ran parallel to the modulus line) and
// leaves the meeting Y in OffsetLineY.
std::optional<float> offsetStrength(SharedState& s)
{
    std::optional<float> offsetX;
    const Single m = s.Modulus;
    const Single offset = s.OffsetValue;
    for (long i = 2; static_cast<float>(i) <= s.PointCount; ++i) {
        const size_t hi = Record(i);
        const size_t lo = hi - 1;
        const float x0 = s.XData[lo], x1 = s.XData[hi], y0 = s.YData[lo], y1 = s.YData[hi];
        if (x1 != x0) {
            const Single slope = Step(OffsetTooLarge, [&] {
                return Single::From((static_cast<double>(y1) - y0) / (static_cast<double>(x1) - x0));
            });
            if (slope != m) {
                Step(OffsetTooLarge, [&] {
                    const Single k = -offset * m;
                    const Single den = slope - m;
                    offsetX = ((slope * x1 + k - y1) / den).value();
                    s.OffsetLineY = ((m * (slope * x1 - y1) - (m * offset) * slope) / den).value();
                });
            }
            const float ox = offsetX.value_or(0);
            if (x0 <= ox && ox <= x1)
                break;
        } else {
            offsetX = x1;
            s.OffsetLineY = Step(OffsetTooLarge,
                [&] { return Single::From((static_cast<double>(x1) - s.OffsetValue) * m.value()).value(); });
            const float y = s.OffsetLineY;
            if ((y0 <= y && y <= y1) || (y1 <= y && y <= y0))
                break;
        }
    }
    return offsetX;
}

}  // namespace

void TangentBranch(SharedState& s, Window& w, Single n)
{
    if (!rangeAccepted(s)) {
        w.MsgBox({"Choice the proper steps", "tenso", MessageIcon::None});
        return;
    }

    s.Modulus = leastSquaresSlope(s, n).value();
    const std::optional<float> offsetX = offsetStrength(s);

    w.SetText(Field::Text7, SingleText(s.Modulus));
    w.SetText(Field::Text8, SingleText(s.OffsetLineY));
    w.SetText(Field::Text16, offsetX ? SingleText(*offsetX) : "");
    w.SetText(Field::Text9, SingleText(s.YMax));

    if (s.Modulus == 0)
        throw CalcError {"The elastic modulus is zero, so its lines cannot be drawn."};
    // Both lines run from the X axis up to the top edge of the plot.
    Surface& picture = w.Picture1();
    const double run = static_cast<double>(s.ScaleYMax) / s.Modulus;
    const float modulusTop
        = Step("The modulus line is too long to draw.", [&] { return Single::From(run).value(); });
    picture.Line(0, 0, modulusTop, -s.ScaleYMax, colors::Red);
    const float offsetTop = Step(
        "The offset line is too long to draw.", [&] { return Single::From(run + s.OffsetValue).value(); });
    picture.Line(s.OffsetValue, 0, offsetTop, -s.ScaleYMax, colors::Blue);

    constexpr const char* MarkerTooLarge = "The target marker is too large to draw.";
    Step(MarkerTooLarge, [&] {
        DrawTargetMarkers(s, picture,
            {{offsetX.value_or(0), s.OffsetLineY, colors::Blue}, {s.XAtYMax, s.YMax, colors::Black}});
    });
    // The last valley, as in "Yield strength", not the one the step buttons selected.
    const size_t last = Valley(s.ValleyCount);
    if (s.ValleyY[last] != 0)
        Step(MarkerTooLarge,
            [&] { DrawTargetMarker(s, picture, s.ValleyX[last], s.ValleyY[last], colors::Grey); });
}

}  // namespace tenso
