#include "standard/quantities.h"

#include "standard/fracture.h"
#include "standard/quantity_table.h"
#include "standard/sdar.h"
#include "standard/text.h"
#include "standard/warnings.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

namespace tenso::standard {
namespace {

// The fit in use: what items 4 to 10 need of it.
struct Fit {
    double E = 0;  // MPa
    double c = 0;  // MPa, the intercept
    double lo = 0, hi = 0, r2 = 0, s = 0;
    std::size_t a = 0, end = 0;  // the records [a, end)
    std::size_t b = 0;  // where the proof strengths and the walk to ReH start
    std::optional<int> pass;
    FitMethod method = FitMethod::Passes;
    std::optional<SdarMetrics> sdar;
};

std::string mpa(double value) { return MessageText(value) + " MPa"; }

// Least squares of R on e over the points of [lo, hi] before the maximum m, in centred form with
// every sum in file order.
Fit fitRange(
    const std::vector<double>& R, const std::vector<double>& e, std::size_t m, double lo, double hi, int pass)
{
    const std::string range = MessageText(lo) + " and " + MessageText(hi) + " MPa";
    std::size_t a = 0;
    while (a < m && !(R[a] >= lo))
        ++a;
    if (a >= m)
        throw EvaluationError("too few points between " + range + " for the elastic modulus");
    std::size_t b = a + 1;
    while (b < m && !(R[b] > hi))
        ++b;
    if (b - a < 5)
        throw EvaluationError("too few points between " + range + " for the elastic modulus");
    const LineFit line = FitLine(R, e, a, b);
    if (line.Sxx == 0 || !(line.E > 0) || !std::isfinite(line.E))
        throw EvaluationError("no rise between " + range);
    Fit fit;
    fit.E = line.E;
    fit.c = line.c;
    fit.r2 = line.r2;
    fit.s = line.s;
    fit.lo = lo;
    fit.hi = hi;
    fit.a = a;
    fit.end = b;
    fit.b = b;
    fit.pass = pass;
    fit.method = pass == 0 ? FitMethod::Range : FitMethod::Passes;
    return fit;
}

struct Proof {
    std::optional<double> MPa, strain, index;
};

// Rp(x): the first crossing of the line parallel to the fit, offset by x %, from the fit's end on.
Proof proofStrength(const std::vector<double>& R, const std::vector<double>& e, std::size_t f, const Fit& fit,
    double e0, double percent)
{
    const double offset = percent / 100;
    const auto g = [&](std::size_t i) { return R[i] - fit.E * ((e[i] - e0) - offset); };
    Proof proof;
    for (std::size_t k = fit.b - 1; k + 1 <= f; ++k) {
        const double gk = g(k), gk1 = g(k + 1);
        if (gk >= 0 && gk1 < 0) {
            const double t = gk / (gk - gk1);
            proof.MPa = R[k] + t * (R[k + 1] - R[k]);
            const double epsK = e[k] - e0, epsK1 = e[k + 1] - e0;
            proof.strain = epsK + t * (epsK1 - epsK);
            proof.index = static_cast<double>(k) + t;
            return proof;
        }
    }
    return proof;
}

struct Yield {
    std::size_t h = 0, p = 0;  // the upper yield point and the first record above it
};

// The walk from the fit's end to the maximum: a record h followed by a fall of at least 0.5 % before
// the stress rises above R_h again, over a strain of at least 0.05 %. The fall must stand out of the
// scatter of the elastic line (3 s of the fit), and h must lie where the elastic line ends (a plastic
// extension of at most 0.2 %): noise on a hardening curve is no yield point.
std::optional<Yield> upperYield(
    const std::vector<double>& R, const std::vector<double>& e, std::size_t m, const Fit& fit, double e0)
{
    std::size_t h = fit.b;
    while (h < m) {
        const double limit = 0.995 * R[h];
        bool fell = false;
        double lowest = R[h];
        std::size_t j = h + 1;
        while (j < m && !(R[j] > R[h])) {
            fell = fell || R[j] <= limit;
            lowest = std::min(lowest, R[j]);
            ++j;
        }
        // R_m is the first maximum, so a record above R_h exists by m at the latest.
        const double epsH = e[h] - e0;
        if (fell && (e[j - 1] - e0) - epsH >= 0.0005 && R[h] - lowest >= 3 * fit.s
            && epsH - R[h] / fit.E <= 0.002)
            return Yield {h, j};
        h = j;
    }
    return std::nullopt;
}

// The two passes: 10 % to 40 % of Rm, then 10 % to 50 % of the yield strength that pass finds.
Fit passes(const std::vector<double>& R, const std::vector<double>& e, std::size_t m, std::size_t f,
    std::vector<std::string>& notes)
{
    const double Rm = R[m];
    const Fit first = fitRange(R, e, m, 0.10 * Rm, 0.40 * Rm, 1);
    const double e0first = -first.c / first.E;
    std::optional<double> Y1;
    std::string basis;
    if (const std::optional<Yield> y = upperYield(R, e, m, first, e0first)) {
        Y1 = R[y->h];
        basis = "ReH";
    } else if (const Proof p = proofStrength(R, e, f, first, e0first, 0.2); p.MPa) {
        Y1 = p.MPa;
        basis = "Rp0.2";
    }
    if (!Y1) {
        notes.emplace_back("E from pass 1 (10 % to 40 % of Rm): pass 1 finds neither ReH nor Rp0.2");
        return first;
    }
    try {
        const Fit second = fitRange(R, e, m, 0.10 * *Y1, 0.50 * *Y1, 2);
        notes.push_back("E from pass 2 (10 % to 50 % of " + basis + " = " + mpa(*Y1) + " of pass 1)");
        return second;
    } catch (const EvaluationError& failure) {
        notes.push_back("E from pass 1 (10 % to 40 % of Rm): pass 2 failed: " + std::string(failure.what()));
        return first;
    }
}

// SDAR's fit, whose window's last record starts the walks of items 4 and 5 (it may be the upper
// yield point itself).
Fit sdarFit(const std::vector<double>& R, const std::vector<double>& e, std::size_t m,
    std::vector<std::string>& notes)
{
    const SdarResult sdar = Sdar(R, e, m);
    Fit fit;
    fit.E = sdar.fit.E;
    fit.c = sdar.fit.c;
    fit.r2 = sdar.fit.r2;
    fit.s = sdar.fit.s;
    fit.a = sdar.fit.first;
    fit.end = sdar.fit.end;
    fit.b = sdar.fit.end - 1;
    fit.lo = R[fit.a];
    fit.hi = R[fit.b];
    fit.method = FitMethod::Sdar;
    fit.sdar = sdar.metrics;
    notes.push_back(SdarNote(sdar, R));
    if (std::string failures = SdarFailures(sdar.metrics); !failures.empty())
        notes.push_back(std::move(failures));
    return fit;
}

}  // namespace

void EvaluateCurve(std::vector<double>& R, std::vector<double>& e, std::optional<double> Fm,
    const SpecimenValues& specimen, const Specimen& given, const Options& options, Result& result)
{
    const std::size_t N = R.size();
    if (N == 0)
        throw EvaluationError("no records: every data line lacks the stress or the strain");
    std::size_t m = 0;
    for (std::size_t i = 1; i < N; ++i)
        if (R[i] > R[m])
            m = i;
    const double Rm = R[m];
    if (!(Rm > 0))
        throw EvaluationError("no tensile load: the highest stress is " + mpa(Rm));

    const Fracture fracture = FindFracture(R, e, m, options.fractureDropPercent / 100 * Rm, Rm);
    const std::size_t f = fracture.index;
    if (!fracture.found)
        result.notes.push_back("no fall of over " + MessageText(options.fractureDropPercent)
            + " % of Rm: the last record is taken as the fracture");
    R.resize(f + 1);
    e.resize(f + 1);

    // The modulus: one fit over a given range, SDAR, or the two passes, which also stand in for
    // SDAR when it finds no straight start.
    Fit fit;
    if (options.modulusRange) {
        fit = fitRange(R, e, m, options.modulusRange->first, options.modulusRange->second, 0);
        result.notes.emplace_back("E from the range given by --modulus-range");
    } else {
        bool found = false;
        if (options.modulus == ModulusMethod::Sdar) {
            try {
                fit = sdarFit(R, e, m, result.notes);
                found = true;
            } catch (const SdarError& failure) {
                result.notes.push_back(std::string(failure.what()) + "; E from the passes");
            }
        }
        if (!found)
            fit = passes(R, e, m, f, result.notes);
    }
    const double e0 = -fit.c / fit.E;
    const std::optional<Yield> yield = upperYield(R, e, m, fit, e0);

    ModulusFit modulus;
    modulus.GPa = fit.E / 1000;
    modulus.lo = fit.lo;
    modulus.hi = fit.hi;
    modulus.points = fit.end - fit.a;
    modulus.r2 = fit.r2;
    modulus.pass = fit.pass;
    modulus.method = fit.method;
    modulus.s = fit.s;
    modulus.sdar = fit.sdar;
    modulus.first = fit.a;
    modulus.end = fit.end;
    result.E = modulus;
    result.e0 = e0;

    for (double percent : options.proofPercents) {
        ProofResult proof;
        proof.percent = percent;
        proof.key = ProofKey(percent);
        const Proof p = proofStrength(R, e, f, fit, e0, percent);
        proof.MPa = p.MPa;
        proof.strain = p.strain;
        proof.index = p.index;
        if (!p.MPa)
            result.notes.push_back("Rp" + proof.key + " not reached");
        result.Rp.push_back(proof);
    }

    if (yield) {
        const std::size_t h = yield->h, p = yield->p;
        const double ReH = R[h];
        std::size_t minima = 0, low = 0;
        for (std::size_t j = h + 1; j < p; ++j) {
            if (R[j] < R[j - 1] && R[j] <= R[j + 1]) {
                // With two or more minima the first, the initial transient, does not count.
                ++minima;
                if (minima <= 2 || R[j] < R[low])
                    low = j;
            }
        }
        result.ReH = ReH;
        result.indexReH = h;
        if (minima > 0) {
            const double ReL = R[low];
            result.ReL = ReL;
            result.indexReL = low;
            const double middle = (ReH + ReL) / 2;
            std::size_t q = h;
            for (std::size_t j = h + 1; j < p; ++j)
                if (R[j] <= middle)
                    q = j;
            result.Ae = ((e[q] - e0) - (e[h] - e0)) * 100;
        }
    } else {
        result.notes.emplace_back("continuous yielding: no upper yield point, so no ReH, ReL or Ae");
    }

    result.Rm = Rm;
    result.Fm = Fm;
    result.indexRm = m;
    result.Agt = (e[m] - e0) * 100;
    result.Ag = *result.Agt - Rm / fit.E * 100;
    result.Rf = R[f];
    result.indexFracture = f;
    result.At = (e[f] - e0) * 100;
    if (given.Lu && specimen.L0) {
        result.A = (*given.Lu - *specimen.L0) / *specimen.L0 * 100;
        result.A_from_curve = false;
    } else {
        result.A = *result.At - R[f] / fit.E * 100;
        result.A_from_curve = true;
        result.notes.emplace_back("A from the curve (no --final-length)");
    }
    if (specimen.Su && specimen.S0)
        result.Z = (*specimen.S0 - *specimen.Su) / *specimen.S0 * 100;
    if (fracture.unloaded) {
        // The machine gave the load back: the last record held is no fracture.
        result.Rf.reset();
        result.At.reset();
        if (result.A_from_curve.value_or(false)) {
            result.A.reset();
            result.A_from_curve.reset();
            std::erase(result.notes, std::string("A from the curve (no --final-length)"));
        }
    }
    AddWarnings(fracture.unloaded, result);
}

}  // namespace tenso::standard
