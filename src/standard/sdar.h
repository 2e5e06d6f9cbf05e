#pragma once
// The elastic modulus by ASTM E3076, the slope determination by analysis of residuals (SDAR): the
// straight start of the curve is the run of records below the tangency point whose normalized
// residual is smallest, and E is the least-squares slope over it. Every step is a function of its
// own, so that each can be checked by hand on a small curve.
//
// R (MPa) and e (a fraction) are the records in file order; SDAR measures from the record a where the
// evaluation starts: X_i = e_i - e_a, Y_i = R_i - R_a, each computed as that one subtraction.

#include "standard/evaluation.h"

#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tenso::standard {

// SDAR cannot find a straight start; the message (from "SDAR: ") says why, and the passes take over.
class SdarError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The least squares of R on e over the records [first, end), in centred form, every sum in file order.
// E is NaN when Sxx = 0.
struct LineFit {
    double E = 0, c = 0;  // MPa, R = E e + c
    double r2 = 0;
    double s = 0;  // sqrt((Syy - Sxy² / Sxx) / (n - 2)); 0 where rounding makes the sum negative
    double Sxx = 0;
    std::size_t first = 0, end = 0;
};
LineFit FitLine(std::span<const double> R, std::span<const double> e, std::size_t first, std::size_t end);

// (a) The first record a of the evaluation: the last record up to the first rise above
// R_0 + 5 % of (Rm - R_0) that is not above R_0, so that a test idling at its start is left out. `m`
// is the record of the maximum.
std::size_t SdarStart(std::span<const double> R, std::size_t m);

// (b) The tangency point: of the records o + 1 .. m above the offset point (X_o, YP), the one the
// steepest line from that point reaches, the first on ties; none when no record lies above and to
// the right of it.
std::optional<std::size_t> TangencyPoint(std::span<const double> R, std::span<const double> e, std::size_t a,
    std::size_t o, std::size_t m, double YP);

// (c) A window [s, e] of the searched records (indices into X and Y) and its normalized residual
// Q = 1 - Sxy² / (Sxx Syy).
struct Window {
    std::size_t s = 0, e = 0;
    double Q = 0;
};
// The window of at least `Nmin` records with the smallest Q, from running sums that start afresh at
// each start and take the records in order; on equal Q the earlier start, then the shorter window.
// None when no window has a Q (Sxx or Syy zero in every one).
std::optional<Window> BestWindow(std::span<const double> X, std::span<const double> Y, std::size_t Nmin);

// The records searched from a up to the tangency point t: all of them, or above 10000 of them every
// k-th, k = ceil((t - a + 1) / 10000), counted back from t. Ascending.
std::vector<std::size_t> SearchedRecords(std::size_t a, std::size_t t);

// (f) The quality metrics of ASTM E3076. `searched` are the records of the last search, ending at the
// tangency point; `fit` is the fit of (e). The raises are left 0: they are the search's.
SdarMetrics QualityMetrics(std::span<const double> R, std::span<const double> e, std::size_t a,
    const std::vector<std::size_t>& searched, const LineFit& fit);

// What SDAR found: the fit of (e), its metrics, and what the notes tell.
struct SdarResult {
    LineFit fit;
    SdarMetrics metrics;
    std::size_t a = 0, t = 0;  // the first record and the tangency point
    std::size_t step = 1;  // the thinning of the search: every step-th record
};

// Steps (a) to (f) on the records up to the maximum m. Throws SdarError.
SdarResult Sdar(std::span<const double> R, std::span<const double> e, std::size_t m);

// The note that describes the fit: "E by SDAR (ASTM E3076) from 137 to 865 MPa, 91 of the 149
// records below the tangency point at 1043 MPa".
std::string SdarNote(const SdarResult& sdar, std::span<const double> R);
// The note that lists the checks that fail, in the order of the metrics; empty when all pass.
std::string SdarFailures(const SdarMetrics& metrics);

}  // namespace tenso::standard
