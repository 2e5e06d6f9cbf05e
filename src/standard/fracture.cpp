#include "standard/fracture.h"

#include <algorithm>
#include <cstdint>

namespace tenso::standard {

Fracture FindFracture(
    const std::vector<double>& R, const std::vector<double>& e, std::size_t m, double drop, double Rm)
{
    const std::size_t N = R.size();
    Fracture fracture;
    fracture.index = N - 1;
    // From the end backwards, two chains of the records after i, the nearest at the back:
    // `rising` the records each of higher strain than all between it and i + 1 (the first record
    // beyond a strain is found by bisection), `falling` each of lower stress (the lowest stress up
    // to a record likewise).
    std::vector<std::size_t> rising, falling;
    for (std::size_t i = N; i-- > m;) {
        if (i + 1 < N) {
            const double limit = e[i] + 0.0005;
            // The window ends before the first record beyond the limit; the next record always counts.
            const auto beyond = std::partition_point(
                rising.begin(), rising.end(), [&](std::size_t k) { return e[k] > limit; });
            std::size_t last = beyond == rising.begin() ? N - 1 : *(beyond - 1) - 1;
            last = std::max(last, i + 1);
            const auto lowest = std::partition_point(
                falling.begin(), falling.end(), [&](std::size_t k) { return k > last; });
            if (R[i] - R[*lowest] > drop) {
                fracture.index = i;
                fracture.found = true;
            }
        }
        while (!rising.empty() && e[rising.back()] <= e[i])
            rising.pop_back();
        rising.push_back(i);
        while (!falling.empty() && R[falling.back()] >= R[i])
            falling.pop_back();
        falling.push_back(i);
    }
    std::size_t held = 0;
    for (std::size_t k = fracture.index + 1; k < N && held < 10; ++k)
        if (R[k] > 0.10 * Rm && e[k] < e[fracture.index])
            ++held;
    fracture.unloaded = held >= 10;
    return fracture;
}

}  // namespace tenso::standard
