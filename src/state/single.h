#pragma once

// Checked Single (32-bit float) arithmetic. Every operation gives the correctly rounded float result,
// exactly as a float unit would, but a result beyond the float range throws Failure(6) and a zero
// divisor throws Failure(11): no infinity or NaN ever reaches the state, a field or the plot.

namespace tenso::single {

// Rounds a double to the nearest float. Throws Failure(6) when the rounded value would be infinite
// or the argument is not finite.
float from(double v);

// Rounds the exact sum hi + lo (|lo| at most half an ulp of hi, as left by an error-free
// transformation) once to float, so that a double product is not rounded twice.
float fromExact(double hi, double lo);

// The exact product a * b rounded once to float.
float product(double a, double b);

float add(float a, float b);
float sub(float a, float b);
float mul(float a, float b);
float div(float a, float b);  // Failure(11) for b == 0

}  // namespace tenso::single
