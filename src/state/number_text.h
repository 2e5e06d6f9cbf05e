#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tenso {

// The number a field's text holds, read the way every field of the program is read: blanks, tabs and
// line feeds are ignored wherever they stand; then an optional sign, digits with at most one '.',
// and an optional exponent (E or D, either case); anything after that is ignored. "&H1F" and "&O17"
// give hexadecimal and octal whole numbers. No number at the start gives 0. The decimal point is
// always '.', whatever the user's locale. Throws Failure(6) for a number beyond the double range.
double Val(std::string_view text);

// The value of a decimal number written as std::from_chars reads it ("-12.5e-3"): correctly rounded,
// +-HUGE_VAL beyond the double range, +-0 below it.
double DecimalValue(std::string_view number);

// The nearest 16-bit whole number, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4);
// nullopt when the result does not fit 16 bits.
std::optional<int16_t> ToWhole(double value);

// The text a field shows for a Single: its exact value rounded to 7 significant digits, trailing
// zeros dropped ("1.1", "23.1", "-50", "0.012", "999999"). Decimal exponents from -5 to 6 are written
// plainly, others as mantissa, "E", sign and at least two digits ("1E+07", "1.5E-08").
std::string SingleText(float value);

}  // namespace tenso
