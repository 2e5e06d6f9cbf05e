#pragma once
// Axis ranges and tick steps at 1-2-5 steps, so that every tick number is short and round.

namespace tenso::report {

struct Axis {
    double lo = 0, hi = 1, step = 1;  // lo and hi are multiples of step
};

// The smallest step of 1, 2 or 5 times a power of ten that divides `span` into at most
// `maxIntervals` intervals.
double TickStep(double span, int maxIntervals);

// The range [lo, hi] widened outwards to multiples of a 1-2-5 step, with at most `maxIntervals`
// intervals. An empty or invalid range becomes one of unit length.
Axis NiceAxis(double lo, double hi, int maxIntervals);

// Digits after the decimal point that the numbers of a step need (0.05 -> 2, 20 -> 0).
int TickDecimals(double step);

}  // namespace tenso::report
