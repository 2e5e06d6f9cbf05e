#include "standard/sdar.h"

#include "standard/quantity_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace tenso::standard {
namespace {

// Above this many records below the tangency point the window search takes every k-th: the search
// is quadratic in them, and 10000 keep it within a tenth of a second.
constexpr std::size_t SearchLimit = 10000;

// The running sums of one window start, updated a record at a time in the written order. Every
// operation is a plain IEEE one, so the sums are the same bits on any machine.
struct Running {
    double xm = 0, ym = 0, Sxx = 0, Syy = 0, Sxy = 0;
};

inline void addRecord(Running& r, double x, double y, double k)
{
    const double dx = x - r.xm, dy = y - r.ym;
    r.xm += dx / k;
    r.ym += dy / k;
    const double rx = x - r.xm, ry = y - r.ym;
    r.Sxx += dx * rx;
    r.Syy += dy * ry;
    r.Sxy += dx * ry;
}

// The best window of one start so far. `cut` lets a window be passed over without the division of
// its Q: when Sxy² < Sxx Syy cut, its Q is at least `bound` (the smallest Q of every window before
// it in the order), so it cannot replace the chosen one. The margin of 1e-9 is far above the few
// roundings between the two sides, so the test never passes over a window that the plain
// comparison would take.
struct Chosen {
    bool any = false;
    double Q = 0;
    std::size_t e = 0;
    double cut = 0;

    void setBound(double bound)
    {
        const double T = 1 - bound;
        cut = T > 0 ? T * (1 - 1e-9) : 0;
    }

    // A window of at least Nmin records ending at e, with its sums; `bound` is the smallest Q before it.
    void offer(const Running& r, std::size_t last, double& bound)
    {
        if (r.Sxx == 0 || r.Syy == 0)
            return;  // no Q
        const double A = r.Sxy * r.Sxy, B = r.Sxx * r.Syy;
        if (A < B * cut)
            return;
        const double candidate = 1 - A / B;
        // Only a smaller Q than every window before replaces the chosen one; a NaN (sums beyond the
        // double range) is no Q either.
        if (!(candidate < bound))
            return;
        any = true;
        Q = candidate;
        e = last;
        bound = candidate;
        setBound(bound);
    }
};

// The starts [s0, s0 + Lanes) in step: they share each record, and their independent chains of
// divisions fill the processor's divider, where one start alone waits for each division in turn. Two
// starts share a vector of two, so that one instruction divides for both and one comparison passes
// both over. Each element takes exactly the operations of the plain loop (a scalar in an operation
// with a vector stands for a vector of it), so nothing changes but the speed.
using Pair = double __attribute__((vector_size(2 * sizeof(double))));
constexpr std::size_t Groups = 6;
constexpr std::size_t Lanes = 2 * Groups;

void searchLanes(std::span<const double> X, std::span<const double> Y, std::size_t s0, std::size_t Nmin,
    double globalBound, std::array<Chosen, Lanes>& chosen)
{
    const std::size_t n = X.size();
    std::array<double, Lanes> bound {};
    std::array<Running, Lanes> run {};
    for (std::size_t l = 0; l < Lanes; ++l) {
        bound[l] = globalBound;
        chosen[l] = Chosen {};
        chosen[l].setBound(globalBound);
    }
    // The triangle where the later starts have not begun.
    for (std::size_t j = s0; j < s0 + Lanes - 1; ++j) {
        for (std::size_t l = 0; l <= j - s0; ++l) {
            const std::size_t k = j - s0 - l + 1;
            addRecord(run[l], X[j], Y[j], static_cast<double>(k));
            if (k >= Nmin)
                chosen[l].offer(run[l], j, bound[l]);
        }
    }
    // Lane l = 2 g + i is element i of group g.
    std::array<Pair, Groups> xm {}, ym {}, Sxx {}, Syy {}, Sxy {}, cut {}, least {}, back {};
    for (std::size_t l = 0; l < Lanes; ++l) {
        const std::size_t g = l / 2, i = l % 2;
        xm[g][i] = run[l].xm;
        ym[g][i] = run[l].ym;
        Sxx[g][i] = run[l].Sxx;
        Syy[g][i] = run[l].Syy;
        Sxy[g][i] = run[l].Sxy;
        cut[g][i] = chosen[l].cut;
        least[g][i] = bound[l];
        back[g][i] = static_cast<double>(l);  // lane l started l records after lane 0
    }
    for (std::size_t j = s0 + Lanes - 1; j < n; ++j) {
        const double x = X[j], y = Y[j];
        const std::size_t k0 = j - s0 + 1;  // the records of lane 0's window
        for (std::size_t g = 0; g < Groups; ++g) {
            const Pair k = static_cast<double>(k0) - back[g];
            const Pair dx = x - xm[g], dy = y - ym[g];
            xm[g] += dx / k;
            ym[g] += dy / k;
            const Pair rx = x - xm[g], ry = y - ym[g];
            Sxx[g] += dx * rx;
            Syy[g] += dy * ry;
            Sxy[g] += dx * ry;
        }
        if (k0 < Nmin)
            continue;
        // On a noisy curve most records pass every lane over at once. On a clean line every Q lies
        // within rounding of the smallest, so the Q themselves decide, all lanes at once (the same
        // operations as one lane's); only a lane that beats its bound is looked at on its own.
        auto skip = Sxy[0] * Sxy[0] < Sxx[0] * Syy[0] * cut[0];
        for (std::size_t g = 1; g < Groups; ++g)
            skip &= Sxy[g] * Sxy[g] < Sxx[g] * Syy[g] * cut[g];
        if (skip[0] && skip[1])
            continue;
        auto better = 1 - Sxy[0] * Sxy[0] / (Sxx[0] * Syy[0]) < least[0];
        for (std::size_t g = 1; g < Groups; ++g)
            better |= 1 - Sxy[g] * Sxy[g] / (Sxx[g] * Syy[g]) < least[g];
        if (!better[0] && !better[1])
            continue;
        for (std::size_t l = 0; l < Lanes && k0 - l >= Nmin; ++l) {
            const std::size_t g = l / 2, i = l % 2;
            chosen[l].offer(Running {xm[g][i], ym[g][i], Sxx[g][i], Syy[g][i], Sxy[g][i]}, j, bound[l]);
            cut[g][i] = chosen[l].cut;
            least[g][i] = bound[l];
        }
    }
}

// A value to 3 significant digits, as printf's %.3g: "1.18", "0.0312", "2.73e+03".
std::string threeDigits(double value)
{
    std::array<char, 32> text {};
    const auto result
        = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::general, 3);
    return {text.data(), result.ptr};
}

// The standard deviation of the steps of `u` (mean first, divisor count - 1), as a share of 0.005.
std::optional<double> relativeNoise(const std::vector<double>& steps)
{
    const std::size_t n = steps.size();
    double sum = 0;
    for (const double d : steps)
        sum += d;
    const double mean = sum / static_cast<double>(n);
    double squares = 0;
    for (const double d : steps)
        squares += (d - mean) * (d - mean);
    const double value = std::sqrt(squares / static_cast<double>(n - 1)) / 0.005;
    return std::isfinite(value) ? std::optional(value) : std::nullopt;
}

struct Resolution {
    std::optional<double> value;
    bool passes = false;
};

// The most frequent step between neighbouring steps, in 1/4096 of the range, as a share of 3 bins.
Resolution relativeResolution(const std::vector<double>& steps)
{
    std::vector<double> bins;
    bins.reserve(steps.size());
    for (std::size_t i = 0; i + 1 < steps.size(); ++i)
        bins.push_back(std::floor(4096 * std::abs(steps[i + 1] - steps[i]) + 0.5));
    Resolution r;
    if (std::ranges::any_of(bins, [](double b) { return !std::isfinite(b); }))
        return r;
    std::ranges::sort(bins);
    double z = 1;
    std::size_t most = 0, zeros = 0;
    for (std::size_t i = 0; i < bins.size();) {
        std::size_t j = i;
        while (j < bins.size() && bins[j] == bins[i])
            ++j;
        if (bins[i] == 0)
            zeros = j - i;
        else if (bins[i] >= 1 && j - i > most) {  // ascending: the lowest bin wins a tie
            most = j - i;
            z = bins[i];
        }
        i = j;
    }
    r.value = z / 3;
    const std::size_t n = bins.size();
    r.passes = *r.value <= 1 || (4 * most <= n && 4 * zeros <= n);
    return r;
}

struct Quarter {
    std::optional<double> q;
    std::size_t points = 0;
};

// The least-squares slope of the residuals on the strain over the fit's records on one side of
// `limit`, as a share of 5 % of E.
Quarter residualSlope(
    std::span<const double> R, std::span<const double> e, const LineFit& fit, bool low, double limit)
{
    const auto inside = [&](std::size_t j) { return low ? e[j] <= limit : e[j] >= limit; };
    const auto residual = [&](std::size_t j) { return R[j] - (fit.E * e[j] + fit.c); };
    Quarter quarter;
    double sumX = 0, sumY = 0;
    for (std::size_t j = fit.first; j < fit.end; ++j) {
        if (inside(j)) {
            ++quarter.points;
            sumX += e[j];
            sumY += residual(j);
        }
    }
    if (quarter.points < 2)
        return quarter;
    const auto n = static_cast<double>(quarter.points);
    const double xm = sumX / n, ym = sumY / n;
    double Sxx = 0, Sxy = 0;
    for (std::size_t j = fit.first; j < fit.end; ++j) {
        if (inside(j)) {
            const double dx = e[j] - xm;
            Sxx += dx * dx;
            Sxy += dx * (residual(j) - ym);
        }
    }
    const double q = Sxy / Sxx / (0.05 * fit.E);
    if (Sxx != 0 && std::isfinite(q))
        quarter.q = q;
    return quarter;
}

struct Run {
    std::size_t t = 0;
    std::vector<std::size_t> searched;
    std::size_t s = 0, e = 0;  // the chosen window
};

// (c) on the records from a up to the tangency point t.
Run searchBelow(std::span<const double> R, std::span<const double> e, std::size_t a, std::size_t t)
{
    Run run;
    run.t = t;
    run.searched = SearchedRecords(a, t);
    const std::size_t N = run.searched.size();
    if (N < 10)
        throw SdarError(
            "SDAR: " + std::to_string(N) + " records below the tangency point, at least 10 needed");
    std::vector<double> X(N), Y(N);
    for (std::size_t i = 0; i < N; ++i) {
        X[i] = e[run.searched[i]] - e[a];
        Y[i] = R[run.searched[i]] - R[a];
    }
    const std::optional<Window> window = BestWindow(X, Y, std::max<std::size_t>(10, N / 5));
    if (!window)
        throw SdarError("SDAR: no rise below the tangency point");
    run.s = run.searched[window->s];
    run.e = run.searched[window->e];
    return run;
}

}  // namespace

LineFit FitLine(std::span<const double> R, std::span<const double> e, std::size_t first, std::size_t end)
{
    LineFit fit;
    fit.first = first;
    fit.end = end;
    double sumX = 0, sumY = 0;
    for (std::size_t i = first; i < end; ++i) {
        sumX += e[i];
        sumY += R[i];
    }
    const auto n = static_cast<double>(end - first);
    const double xm = sumX / n, ym = sumY / n;
    double Sxx = 0, Sxy = 0, Syy = 0;
    for (std::size_t i = first; i < end; ++i) {
        const double dx = e[i] - xm, dy = R[i] - ym;
        Sxx += dx * dx;
        Sxy += dx * dy;
        Syy += dy * dy;
    }
    fit.Sxx = Sxx;
    fit.E = Sxx == 0 ? std::numeric_limits<double>::quiet_NaN() : Sxy / Sxx;
    fit.c = ym - fit.E * xm;
    fit.r2 = Sxy * Sxy / (Sxx * Syy);
    const double rest = Sxx == 0 ? 0 : Syy - Sxy * Sxy / Sxx;
    fit.s = rest > 0 && n > 2 ? std::sqrt(rest / (n - 2)) : 0;
    return fit;
}

std::size_t SdarStart(std::span<const double> R, std::size_t m)
{
    if (!(R[m] > R[0]))
        throw SdarError("SDAR: no rise in the record");
    const double rise = R[0] + 0.05 * (R[m] - R[0]);
    std::size_t a = 0;
    for (std::size_t i = 0; i <= m; ++i) {
        if (R[i] <= R[0])
            a = i;
        if (R[i] > rise)
            break;
    }
    return a;
}

std::optional<std::size_t> TangencyPoint(std::span<const double> R, std::span<const double> e, std::size_t a,
    std::size_t o, std::size_t m, double YP)
{
    const double Xo = e[o] - e[a];
    std::optional<std::size_t> t;
    double steepest = 0;
    for (std::size_t i = o + 1; i <= m; ++i) {
        const double X = e[i] - e[a], Y = R[i] - R[a];
        if (!(Y > YP && X > Xo))
            continue;
        const double slope = (Y - YP) / (X - Xo);
        if (!t || slope > steepest) {
            t = i;
            steepest = slope;
        }
    }
    return t;
}

std::optional<Window> BestWindow(std::span<const double> X, std::span<const double> Y, std::size_t Nmin)
{
    const std::size_t n = X.size();
    Nmin = std::max<std::size_t>(Nmin, 1);
    if (n < Nmin)
        return std::nullopt;
    const std::size_t starts = n - Nmin + 1;  // a later start has no window of Nmin records
    std::optional<Window> best;
    double bound = std::numeric_limits<double>::infinity();
    std::array<Chosen, Lanes> chosen {};
    const auto take = [&](const Chosen& c, std::size_t s) {
        if (c.any && (!best || c.Q < best->Q)) {
            best = Window {s, c.e, c.Q};
            bound = c.Q;
        }
    };
    std::size_t s0 = 0;
    for (; s0 + Lanes <= starts; s0 += Lanes) {
        searchLanes(X, Y, s0, Nmin, bound, chosen);
        for (std::size_t l = 0; l < Lanes; ++l)
            take(chosen[l], s0 + l);
    }
    for (; s0 < starts; ++s0) {
        Running run;
        Chosen c;
        double own = bound;
        c.setBound(bound);
        for (std::size_t j = s0; j < n; ++j) {
            const std::size_t k = j - s0 + 1;
            addRecord(run, X[j], Y[j], static_cast<double>(k));
            if (k >= Nmin)
                c.offer(run, j, own);
        }
        take(c, s0);
    }
    return best;
}

std::vector<std::size_t> SearchedRecords(std::size_t a, std::size_t t)
{
    const std::size_t count = t - a + 1;
    const std::size_t k = count > SearchLimit ? (count + SearchLimit - 1) / SearchLimit : 1;
    std::vector<std::size_t> records((t - a) / k + 1);
    for (std::size_t i = 0; i < records.size(); ++i)
        records[records.size() - 1 - i] = t - i * k;
    return records;
}

SdarMetrics QualityMetrics(std::span<const double> R, std::span<const double> e, std::size_t a,
    const std::vector<std::size_t>& searched, const LineFit& fit)
{
    SdarMetrics metrics;
    SdarChecks& checks = metrics.checks;
    const std::size_t N = searched.size();
    const auto X = [&](std::size_t i) { return e[i] - e[a]; };
    const auto Y = [&](std::size_t i) { return R[i] - R[a]; };
    const double Xt = X(searched.back()), Yt = Y(searched.back());
    std::vector<double> du(N - 1), dv(N - 1);
    for (std::size_t i = 0; i + 1 < N; ++i) {
        du[i] = X(searched[i + 1]) / Xt - X(searched[i]) / Xt;
        dv[i] = Y(searched[i + 1]) / Yt - Y(searched[i]) / Yt;
    }
    metrics.x_noise = relativeNoise(du);
    metrics.y_noise = relativeNoise(dv);
    const Resolution xr = relativeResolution(du), yr = relativeResolution(dv);
    metrics.x_resolution = xr.value;
    metrics.y_resolution = yr.value;

    const double eLo = e[fit.first], eHi = e[fit.end - 1];
    const Quarter q1 = residualSlope(R, e, fit, true, eLo + 0.25 * (eHi - eLo));
    const Quarter q4 = residualSlope(R, e, fit, false, eLo + 0.75 * (eHi - eLo));
    metrics.q1 = q1.q;
    metrics.q1_points = q1.points;
    metrics.q4 = q4.q;
    metrics.q4_points = q4.points;

    const auto [low, high] = std::minmax_element(
        R.begin() + static_cast<std::ptrdiff_t>(fit.first), R.begin() + static_cast<std::ptrdiff_t>(fit.end));
    const double range = 0.4 * Yt / (*high - *low);
    if (std::isfinite(range))
        metrics.fit_range = range;
    metrics.records = N;

    const auto atMostOne = [](const std::optional<double>& v) { return v && *v <= 1; };
    const auto quarterPasses = [](const Quarter& q) { return q.points >= 5 && q.q && std::abs(*q.q) <= 1; };
    checks.xNoise = atMostOne(metrics.x_noise);
    checks.yNoise = atMostOne(metrics.y_noise);
    checks.xResolution = xr.passes;
    checks.yResolution = yr.passes;
    checks.q1 = quarterPasses(q1);
    checks.q4 = quarterPasses(q4);
    checks.fitRange = atMostOne(metrics.fit_range);
    metrics.passed = checks.xNoise && checks.yNoise && checks.xResolution && checks.yResolution && checks.q1
        && checks.q4 && checks.fitRange;
    return metrics;
}

SdarResult Sdar(std::span<const double> R, std::span<const double> e, std::size_t m)
{
    SdarResult result;
    const std::size_t a = SdarStart(R, m);
    result.a = a;
    const double Ymax = R[m] - R[a];
    std::size_t o = a;
    while (!(R[o] - R[a] > 0.05 * Ymax))
        ++o;  // Y_m = Ymax > 0, so o <= m
    const double Yo = R[o] - R[a];

    double f = 0.15;
    const std::optional<std::size_t> t = TangencyPoint(R, e, a, o, m, Yo + f * Ymax);
    if (!t)
        throw SdarError("SDAR: no tangency point above the offset point");
    Run run = searchBelow(R, e, a, *t);
    // A window that runs up to the tangency point may stop short of the straight line's end: a higher
    // offset point gives a later tangency point and a longer search. When the tangency point stays
    // (the line ends there, as at an upper yield point) or there is none, the window found stands; so
    // it does when the new search finds no window, as a raise only ever improves on a window found.
    while (run.e == run.t) {
        f += 0.05;
        const std::optional<std::size_t> next = TangencyPoint(R, e, a, o, m, Yo + f * Ymax);
        if (!next || *next == run.t)
            break;
        try {
            run = searchBelow(R, e, a, *next);
        } catch (const SdarError&) {
            break;
        }
        ++result.metrics.raises;
    }

    result.t = run.t;
    result.step = run.searched.size() > 1 ? run.searched[1] - run.searched[0] : 1;
    result.fit = FitLine(R, e, run.s, run.e + 1);
    if (!(result.fit.E > 0) || !std::isfinite(result.fit.E))
        throw SdarError("SDAR: no rise below the tangency point");
    const std::size_t raises = result.metrics.raises;
    result.metrics = QualityMetrics(R, e, a, run.searched, result.fit);
    result.metrics.raises = raises;
    return result;
}

std::string SdarNote(const SdarResult& sdar, std::span<const double> R)
{
    const auto mpa = [](double v) { return FormatRounded(v, Rounding::Strength); };
    const std::size_t below = sdar.t - sdar.a + 1;
    std::string note = "E by SDAR (ASTM E3076) from " + mpa(R[sdar.fit.first]) + " to "
        + mpa(R[sdar.fit.end - 1]) + " MPa, " + std::to_string(sdar.fit.end - sdar.fit.first) + " of the "
        + std::to_string(below) + " records below the tangency point at " + mpa(R[sdar.t]) + " MPa";
    if (sdar.step > 1)
        note += " (the window searched on one record in " + std::to_string(sdar.step) + ", "
            + std::to_string(sdar.metrics.records) + " records)";
    return note;
}

std::string SdarFailures(const SdarMetrics& metrics)
{
    const SdarChecks& checks = metrics.checks;
    std::vector<std::string> items;
    const auto value = [](const std::optional<double>& v) { return v ? threeDigits(*v) : "undefined"; };
    const auto records = [](std::size_t n) { return std::to_string(n) + (n == 1 ? " record" : " records"); };
    if (!checks.xNoise)
        items.push_back("relative noise " + value(metrics.x_noise) + " in strain");
    if (!checks.yNoise)
        items.push_back("relative noise " + value(metrics.y_noise) + " in stress");
    if (!checks.xResolution)
        items.push_back("relative resolution " + value(metrics.x_resolution) + " in strain");
    if (!checks.yResolution)
        items.push_back("relative resolution " + value(metrics.y_resolution) + " in stress");
    if (!checks.q1)
        items.push_back("relative residual slope " + value(metrics.q1) + " at the start of the fit ("
            + records(metrics.q1_points) + ")");
    if (!checks.q4)
        items.push_back("relative residual slope " + value(metrics.q4) + " at the end of the fit ("
            + records(metrics.q4_points) + ")");
    if (!checks.fitRange)
        items.push_back("relative fit range " + value(metrics.fit_range));
    if (items.empty())
        return {};
    std::string note = "E fails checks of ASTM E3076: ";
    for (std::size_t i = 0; i < items.size(); ++i)
        note += (i > 0 ? "; " : "") + items[i];
    return note;
}

}  // namespace tenso::standard
