#include "ticks.h"

#include <algorithm>
#include <cmath>

namespace tenso::report {

namespace {

// Relative slack for quotients that are whole numbers but for the binary representation.
constexpr double Slack = 1e-9;

double NextStep(double step)
{
    const double base = std::pow(10.0, std::floor(std::log10(step) + Slack));
    const double m = step / base;
    if (m < 1.5)
        return 2 * base;
    if (m < 3.5)
        return 5 * base;
    return 10 * base;
}

}  // namespace

double TickStep(double span, int maxIntervals)
{
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double raw = span / std::max(1, maxIntervals);
    const double base = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * base >= raw * (1 - Slack))
            return m * base;
    }
    return 10 * base;
}

Axis NiceAxis(double lo, double hi, int maxIntervals)
{
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return {};
    if (hi < lo)
        std::swap(lo, hi);
    if (hi - lo <= 0) {
        // A single value: a unit range that holds it.
        lo = std::floor(lo);
        hi = lo + 1;
    }
    maxIntervals = std::max(1, maxIntervals);
    double step = TickStep(hi - lo, maxIntervals);
    for (;;) {
        const double first = std::floor(lo / step + Slack) * step;
        const double last = std::ceil(hi / step - Slack) * step;
        // Widening outwards can add an interval at each end; then the next step is taken.
        if ((last - first) / step <= maxIntervals + Slack)
            return {first == 0 ? 0.0 : first, last, step};
        step = NextStep(step);
    }
}

int TickDecimals(double step)
{
    if (!(step > 0) || !std::isfinite(step))
        return 0;
    return std::max(0, static_cast<int>(-std::floor(std::log10(step) + Slack)));
}

}  // namespace tenso::report
