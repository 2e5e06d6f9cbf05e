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
    for (float c = s.CalcStart; c <= s.CalcEnd; c = single::add(c, 1)) {
        const auto k = ToWhole(c);
        visit(Record(k ? *k : -1));
    }
}

float leastSquaresSlope(const SharedState& s, float n)
{
    float sumX = 0, sumY = 0;
    Step(SumsTooLarge, [&] {
        forEachRecord(s, [&](size_t k) {
            sumX = single::add(sumX, s.XData[k]);
            sumY = single::add(sumY, s.YData[k]);
        });
    });
    const float meanX = Step(SumsTooLarge, [&] { return single::div(sumX, n); });
    const float meanY = Step(SumsTooLarge, [&] { return single::div(sumY, n); });

    double sumSquares = 0;  // squares in double: the range's X spread must not round away
    float sumProducts = 0;
    Step(SumsTooLarge, [&] {
        forEachRecord(s, [&](size_t k) {
            const float dx = single::sub(s.XData[k], meanX);
            const float dy = single::sub(s.YData[k], meanY);
            sumSquares += static_cast<double>(dx) * dx;
            sumProducts = single::add(sumProducts, single::mul(dx, dy));
        });
    });
    if (sumSquares == 0)
        throw CalcError {"All X values in the range are equal."};
    return Step("The elastic modulus is too large.",
        [&] { return single::from(static_cast<double>(sumProducts) / sumSquares); });
}

// Walks the curve from its first segment and stops at the first one on which the offset line
// Y = Modulus * (X - Offset) meets it; without such a segment the last computed meeting point stays.
// Returns the meeting X (unset while every segment so far ran parallel to the modulus line) and
// leaves the meeting Y in OffsetLineY.
std::optional<float> offsetStrength(SharedState& s)
{
    std::optional<float> offsetX;
    const float m = s.Modulus;
    for (long i = 2; static_cast<float>(i) <= s.PointCount; ++i) {
        const size_t hi = Record(i);
        const size_t lo = hi - 1;
        const float x0 = s.XData[lo], x1 = s.XData[hi], y0 = s.YData[lo], y1 = s.YData[hi];
        if (x1 != x0) {
            const float slope = Step(OffsetTooLarge, [&] {
                return single::from((static_cast<double>(y1) - y0) / (static_cast<double>(x1) - x0));
            });
            if (slope != m) {
                Step(OffsetTooLarge, [&] {
                    using namespace single;
                    const float k = mul(-s.OffsetValue, m);
                    const float den = sub(slope, m);
                    offsetX = div(sub(add(mul(slope, x1), k), y1), den);
                    s.OffsetLineY
                        = div(sub(mul(m, sub(mul(slope, x1), y1)), mul(mul(m, s.OffsetValue), slope)), den);
                });
            }
            const float ox = offsetX.value_or(0);
            if (x0 <= ox && ox <= x1)
                break;
        } else {
            offsetX = x1;
            s.OffsetLineY = Step(
                OffsetTooLarge, [&] { return single::from((static_cast<double>(x1) - s.OffsetValue) * m); });
            const float y = s.OffsetLineY;
            if ((y0 <= y && y <= y1) || (y1 <= y && y <= y0))
                break;
        }
    }
    return offsetX;
}

}  // namespace

void TangentBranch(SharedState& s, Window& w, float n)
{
    if (!rangeAccepted(s)) {
        w.MsgBox({"Choice the proper steps", "tenso", MessageIcon::None});
        return;
    }

    s.Modulus = leastSquaresSlope(s, n);
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
    const float modulusTop = Step("The modulus line is too long to draw.", [&] { return single::from(run); });
    picture.Line(0, 0, modulusTop, -s.ScaleYMax, colors::Red);
    const float offsetTop
        = Step("The offset line is too long to draw.", [&] { return single::from(run + s.OffsetValue); });
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
