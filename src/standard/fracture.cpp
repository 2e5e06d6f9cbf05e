#include "standard/fracture.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>

namespace tenso::standard {
namespace {

// The machine gave the load back when at least 10 records after f hold a tenth of Rm below e_f.
void markUnloaded(const std::vector<double>& R, const std::vector<double>& e, double Rm, Fracture& fracture)
{
    std::size_t held = 0;
    for (std::size_t k = fracture.index + 1; k < R.size() && held < 10; ++k)
        if (R[k] > 0.10 * Rm && e[k] < e[fracture.index])
            ++held;
    fracture.unloaded = held >= 10;
}

// The usual case, a strain that never goes back after the maximum: the window's end only moves on,
// so one walk with the lowest stresses of the window in a queue finds f, and stops there.
std::optional<std::size_t> forwardSearch(
    const std::vector<double>& R, const std::vector<double>& e, std::size_t m, double drop)
{
    const std::size_t N = R.size();
    std::deque<std::size_t> lowest;  // indices of the window (i, end), stress rising from the front
    std::size_t end = m + 1;
    for (std::size_t i = m; i + 1 < N; ++i) {
        while (!lowest.empty() && lowest.front() <= i)
            lowest.pop_front();
        const double limit = e[i] + 0.0005;
        end = std::max(end, i + 1);
        while (end < N && (end == i + 1 || e[end] <= limit)) {
            while (!lowest.empty() && R[lowest.back()] >= R[end])
                lowest.pop_back();
            lowest.push_back(end);
            ++end;
        }
        if (R[i] - R[lowest.front()] > drop)
            return i;
    }
    return std::nullopt;
}

// Any strain: from the end backwards, two chains of the records after i, the nearest at the back:
// `rising` the records each of higher strain than all between it and i + 1 (the first record
// beyond a strain is found by bisection), `falling` each of lower stress (the lowest stress up
// to a record likewise). O(n log n) whatever the strain does after the break.
std::optional<std::size_t> backwardSearch(
    const std::vector<double>& R, const std::vector<double>& e, std::size_t m, double drop)
{
    const std::size_t N = R.size();
    std::optional<std::size_t> f;
    std::vector<std::size_t> rising, falling;
    for (std::size_t i = N; i-- > m;) {
        if (i + 1 < N) {
            const double limit = e[i] + 0.0005;
            // The window ends before the first record beyond the limit; the next record always counts.
            const auto beyond = std::partition_point(
                rising.begin(), rising.end(), [&](std::size_t k) { return e[k] > limit; });
            const std::size_t last = std::max(beyond == rising.begin() ? N - 1 : *(beyond - 1) - 1, i + 1);
            const auto lowest = std::partition_point(
                falling.begin(), falling.end(), [&](std::size_t k) { return k > last; });
            if (R[i] - R[*lowest] > drop)
                f = i;
        }
        while (!rising.empty() && e[rising.back()] <= e[i])
            rising.pop_back();
        rising.push_back(i);
        while (!falling.empty() && R[falling.back()] >= R[i])
            falling.pop_back();
        falling.push_back(i);
    }
    return f;
}

}  // namespace

Fracture FindFracture(
    const std::vector<double>& R, const std::vector<double>& e, std::size_t m, double drop, double Rm)
{
    const bool forward = std::is_sorted(e.begin() + static_cast<std::ptrdiff_t>(m), e.end());
    const std::optional<std::size_t> f
        = forward ? forwardSearch(R, e, m, drop) : backwardSearch(R, e, m, drop);
    Fracture fracture;
    fracture.index = f.value_or(R.size() - 1);
    fracture.found = f.has_value();
    markUnloaded(R, e, Rm, fracture);
    return fracture;
}

}  // namespace tenso::standard
