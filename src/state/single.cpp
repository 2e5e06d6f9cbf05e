#include "single.h"

#include "failure.h"

#include <cfloat>
#include <cmath>

namespace tenso::single {
namespace {

// The smallest magnitude that rounds to infinity in float: FLT_MAX plus half an ulp.
constexpr double OverflowThreshold = 0x1.ffffffp127;

}  // namespace

float from(double v)
{
    if (!std::isfinite(v) || std::fabs(v) >= OverflowThreshold)
        throw Failure(failure::Overflow);
    return static_cast<float>(v);
}

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

// For float operands the double result of +, -, * and / rounded to float equals the directly rounded
// float result (double has more than twice the float precision plus two bits).
float add(float a, float b) { return from(static_cast<double>(a) + static_cast<double>(b)); }
float sub(float a, float b) { return from(static_cast<double>(a) - static_cast<double>(b)); }
float mul(float a, float b) { return from(static_cast<double>(a) * static_cast<double>(b)); }

float div(float a, float b)
{
    if (b == 0)
        throw Failure(failure::DivisionByZero);
    return from(static_cast<double>(a) / static_cast<double>(b));
}

}  // namespace tenso::single
