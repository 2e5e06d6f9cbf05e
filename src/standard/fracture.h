#pragma once
// Where a tensile test broke, and whether it broke at all.

#include <cstddef>
#include <vector>

namespace tenso::standard {

struct Fracture {
    std::size_t index = 0;  // f: 0-based
    bool found = false;  // false: no fall, f is the last record
    bool unloaded = false;  // the machine gave the load back: no fracture values
};

// f is the first record i >= m from which the stress falls by more than `drop` (MPa) within 0.05 %
// strain: some j > i with R_i - R_j > drop where every record from i + 1 to j has
// e <= e_i + 0.0005; the next record always counts. A break sampled fast spreads its fall over many
// records, and the window finds its start. O(n log n) whatever the strain does after the break.
// The test was unloaded when at least 10 records after f hold more than 0.10 Rm below e_f.
Fracture FindFracture(
    const std::vector<double>& R, const std::vector<double>& e, std::size_t m, double drop, double Rm);

}  // namespace tenso::standard
