#pragma once
// The synthetic result the benchmarks of the report's charts and of Tenso Lab's chart view draw, so
// that both time the same curve.

#include "standard/evaluation.h"

#include <cmath>
#include <cstddef>

namespace tenso::bench {

// A steel curve: 210 GPa up to 350 MPa, a yield plateau with a little noise, hardening to about
// 560 MPa at 20 % and a fall to fracture at 30 %; E fitted from 56 to 280 MPa.
inline standard::Result SteelResult(std::size_t records)
{
    standard::Result r;
    r.file = "steel.csv";
    r.records = records;
    r.S0 = 78.54;
    r.L0 = 50;
    r.E = tenso::standard::ModulusFit {210, 56, 280, 100, 0.9999, 2, 0, 100};
    r.e0 = 0;
    r.curve.strain.reserve(records);
    r.curve.stress.reserve(records);
    std::size_t m = 0;
    for (std::size_t i = 0; i < records; ++i) {
        const double e = 0.3 * static_cast<double>(i) / static_cast<double>(records - 1);
        double R = e * 210000;
        if (R > 350)
            R = 350 + 210 * (1 - std::exp(-(e - 350.0 / 210000) / 0.06))
                + 2 * std::sin(static_cast<double>(i));
        if (e > 0.2)
            R -= (e - 0.2) * 1500;
        r.curve.strain.push_back(e);
        r.curve.stress.push_back(R);
        if (R > r.curve.stress[m])
            m = i;
    }
    r.Rm = r.curve.stress[m];
    r.indexRm = m;
    r.indexFracture = records - 1;
    r.Agt = r.curve.strain[m] * 100;
    r.At = 30;
    r.Rp.push_back({0.2, "0.2", 352.0, 0.0037, 10.0});
    return r;
}

}  // namespace tenso::bench
