#pragma once
// How the printed report rounds, as ISO 6892-1 asks of a test report: strengths to 1 MPa, E to
// 0.1 GPa, Ae to 0.1 %, every other extension and elongation to 0.5 %, Z to 1 %. The CSV and JSON
// output keep full precision; only the PDF rounds.

#include <optional>
#include <string>

namespace tenso::report {

enum class Rounding {
    Strength,  // 1 MPa
    Modulus,  // 0.1 GPa
    Ae,  // 0.1 %
    Elongation,  // 0.5 %, written with one decimal
    Z,  // 1 %
    CoV,  // 0.1 %
    Area,  // 0.01 mm²
    Length,  // 0.1 mm
    Force,  // 0.01 kN
};

// `value` rounded to the step of `kind`, halves away from zero, as text with the step's decimals
// ("523", "205.3", "12.5", "12.0"); never "-0". An empty value is an en dash.
std::string FormatRounded(std::optional<double> value, Rounding kind);

}  // namespace tenso::report
