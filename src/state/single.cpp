#include "single.h"

#include "failure.h"

#include <cfloat>
#include <cmath>

namespace tenso::single {

using detail::OverflowThreshold;

void detail::overflow() { throw Failure(failure::Overflow); }
void detail::divisionByZero() { throw Failure(failure::DivisionByZero); }

float fromExact(double hi, double lo)
{
    if (!std::isfinite(hi) || !std::isfinite(lo))
        throw Failure(failure::Overflow);
    if (std::fabs(hi) == OverflowThreshold && (lo < 0) != (hi < 0))
        return hi < 0 ? -FLT_MAX : FLT_MAX;  // just below the halfway point to infinity
    const float f = from(hi);
    if (lo == 0 || static_cast<double>(f) == hi)
        return f;
    // hi is the double nearest the exact value, so the float rounding of hi can only be wrong when hi
    // lies exactly halfway between two floats; then lo says on which side the exact value lies.
    const float other = std::nextafter(f, static_cast<double>(f) < hi ? HUGE_VALF : -HUGE_VALF);
    const double mid = (static_cast<double>(f) + static_cast<double>(other)) / 2;
    if (mid != hi)
        return f;
    const bool exactAboveHi = lo > 0;
    const bool otherAbove = static_cast<double>(other) > hi;
    const float chosen = exactAboveHi == otherAbove ? other : f;
    if (std::isinf(chosen))
        throw Failure(failure::Overflow);
    return chosen;
}

float product(double a, double b)
{
    const double hi = a * b;
    if (!std::isfinite(hi))
        throw Failure(failure::Overflow);
    return fromExact(hi, std::fma(a, b, -hi));
}

}  // namespace tenso::single
