#pragma once

#include <cmath>
#include <compare>

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

namespace tenso {

// A Single of the handlers' arithmetic. Each operator is one operation of the checked arithmetic
// above, rounded to float and raising its failures, so that a formula reads as written:
// (m * (slope * x1 - y1) - (m * offset) * slope) / den is that many sub, mul and div calls in the
// order of C++'s precedence and left-to-right grouping. Nothing converts a Single back to float but
// value(), so an expression cannot fall back to unchecked float or double arithmetic by accident.
class Single {
public:
    constexpr Single() = default;
    constexpr Single(float v)
        : v_(v)
    { }  // NOLINT(google-explicit-constructor): the state's floats

    // A double rounded to the nearest Single; Failure(6) beyond the Single range.
    static Single From(double v) { return single::from(v); }

    constexpr float value() const { return v_; }

    constexpr Single operator-() const { return -v_; }  // exact, as for a float
    friend Single operator+(Single a, Single b) { return single::add(a.v_, b.v_); }
    friend Single operator-(Single a, Single b) { return single::sub(a.v_, b.v_); }
    friend Single operator*(Single a, Single b) { return single::mul(a.v_, b.v_); }
    friend Single operator/(Single a, Single b) { return single::div(a.v_, b.v_); }
    Single& operator+=(Single b) { return *this = *this + b; }

    friend constexpr bool operator==(Single, Single) = default;
    // clang-tidy 14 takes the 0 that a defaulted <=> compares against for a null pointer.
    friend constexpr auto operator<=>(Single, Single) = default;  // NOLINT(modernize-use-nullptr)

private:
    float v_ = 0;
};

// A Single times a factor that is no Single (a margin such as 1.1, a marker's radius factor): the
// exact product rounded once to float, Failure(6) beyond the Single range.
inline Single Scaled(Single v, double factor) { return single::product(v.value(), factor); }

}  // namespace tenso
