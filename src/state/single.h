#pragma once

#include <cmath>

// Checked Single (32-bit float) arithmetic. Every operation gives the correctly rounded float result,
// exactly as a float unit would, but a result beyond the float range throws Failure(6) and a zero
// divisor throws Failure(11): no infinity or NaN ever reaches the state, a field or the plot.

namespace tenso::single {

namespace detail {
// The smallest magnitude that rounds to infinity in float: FLT_MAX plus half an ulp.
inline constexpr double OverflowThreshold = 0x1.ffffffp127;
[[noreturn]] void overflow();
[[noreturn]] void divisionByZero();
}  // namespace detail

// Rounds a double to the nearest float. Throws Failure(6) when the rounded value would be infinite
// or the argument is not finite.
inline float from(double v)
{
    // The negated test also catches NaN.
    if (!(std::fabs(v) < detail::OverflowThreshold))
        detail::overflow();
    return static_cast<float>(v);
}

// Rounds the exact sum hi + lo (|lo| at most half an ulp of hi, as left by an error-free
// transformation) once to float, so that a double product is not rounded twice.
float fromExact(double hi, double lo);

// The exact product a * b rounded once to float.
float product(double a, double b);

// For float operands the double result of +, -, * and / rounded to float equals the directly rounded
// float result (double has more than twice the float precision plus two bits).
inline float add(float a, float b) { return from(static_cast<double>(a) + static_cast<double>(b)); }
inline float sub(float a, float b) { return from(static_cast<double>(a) - static_cast<double>(b)); }
inline float mul(float a, float b) { return from(static_cast<double>(a) * static_cast<double>(b)); }

// Failure(11) for b == 0, 0/0 included.
inline float div(float a, float b)
{
    if (b == 0)
        detail::divisionByZero();
    return from(static_cast<double>(a) / static_cast<double>(b));
}

}  // namespace tenso::single
