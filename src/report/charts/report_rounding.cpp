#include "report_rounding.h"

#include <cmath>
#include <cstdio>

namespace tenso::report {

namespace {

struct Step {
    double perUnit;  // steps per unit: 1 / step, a whole number
    int decimals;
};

Step StepOf(Rounding kind)
{
    switch (kind) {
    case Rounding::Strength:
    case Rounding::Z:
        return {1, 0};
    case Rounding::Modulus:
    case Rounding::Ae:
    case Rounding::CoV:
    case Rounding::Length:
        return {10, 1};
    case Rounding::Elongation:
        return {2, 1};
    case Rounding::Area:
    case Rounding::Force:
        return {100, 2};
    }
    return {1, 0};
}

}  // namespace

std::string FormatRounded(std::optional<double> value, Rounding kind)
{
    if (!value || !std::isfinite(*value))
        return "\u2013";
    const auto [perUnit, decimals] = StepOf(kind);
    // Multiplying by a whole number keeps a tie like 205.25 x 10 exact, where dividing by 0.1
    // would not; std::round takes halves away from zero.
    double rounded = std::round(*value * perUnit) / perUnit;
    if (rounded == 0)
        rounded = 0;  // -0 becomes 0
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, rounded);
    return text;
}

}  // namespace tenso::report
