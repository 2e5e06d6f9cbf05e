#include "standard/warnings.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tenso::standard {
namespace {

std::string fixed(double value, int decimals)
{
    std::array<char, 64> text {};
    const auto [end, ec]
        = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(text.data(), end) : std::string();
}

}  // namespace

void AddWarnings(bool unloaded, Result& result)
{
    if (result.E && result.E->r2 < 0.995)
        result.warnings.push_back("the elastic range is not straight (r\xC2\xB2 = " + fixed(result.E->r2, 4)
            + "): E and every value that uses it are uncertain");
    if (result.E && result.E->GPa > 1300)
        result.warnings.push_back("E = " + fixed(std::round(result.E->GPa), 0)
            + " GPa is stiffer than any material: check the extension unit and L0");
    if (unloaded)
        result.warnings.emplace_back(
            "the test was unloaded, not broken: no fracture values; give --final-length for A");
}

}  // namespace tenso::standard
