#include "standard/statistics.h"

#include "standard/text.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tenso::standard {
namespace {

// The scalar quantities in report order, around the proof strengths that follow Ae.
enum Quantity { E, ReH, ReL, Ae, Rm, Fm, Agt, Ag, Rf, At, A, Z, Count };
constexpr const char* Names[Count] = {"E", "ReH", "ReL", "Ae", "Rm", "Fm", "Agt", "Ag", "Rf", "At", "A", "Z"};

std::optional<double> valueOf(const Result& r, int q)
{
    switch (q) {
    case E:
        return r.E ? std::optional<double>(r.E->GPa) : std::nullopt;
    case ReH:
        return r.ReH;
    case ReL:
        return r.ReL;
    case Ae:
        return r.Ae;
    case Rm:
        return r.Rm;
    case Fm:
        return r.Fm;
    case Agt:
        return r.Agt;
    case Ag:
        return r.Ag;
    case Rf:
        return r.Rf;
    case At:
        return r.At;
    case A:
        return r.A;
    case Z:
        return r.Z;
    default:
        return std::nullopt;
    }
}

// n, mean, s with n - 1 from the deviations of a first-pass mean, CoV, min and max.
Statistic describe(const std::vector<double>& x)
{
    Statistic st;
    st.n = x.size();
    if (x.empty())
        return st;
    double sum = 0;
    for (double v : x)
        sum += v;
    const double mean = sum / static_cast<double>(x.size());
    st.mean = mean;
    st.min = *std::min_element(x.begin(), x.end());
    st.max = *std::max_element(x.begin(), x.end());
    if (x.size() < 2)
        return st;
    double squares = 0;
    for (double v : x)
        squares += (v - mean) * (v - mean);
    const double s = std::sqrt(squares / static_cast<double>(x.size() - 1));
    st.s = s;
    if (mean != 0)
        st.CoV = s / mean * 100;
    return st;
}

}  // namespace

SeriesStatistics::SeriesStatistics(const std::vector<double>& proofPercents)
{
    for (int q = E; q <= Ae; ++q)
        names_.emplace_back(Names[q]);
    for (double percent : proofPercents)
        names_.push_back("Rp" + ShortestFixedText(percent));
    for (int q = Rm; q < Count; ++q)
        names_.emplace_back(Names[q]);
    values_.resize(names_.size());
}

void SeriesStatistics::Add(const Result& result)
{
    if (result.error)
        return;
    std::size_t slot = 0;
    const auto add = [&](const std::optional<double>& v) {
        if (v && std::isfinite(*v))
            values_[slot].push_back(*v);
        ++slot;
    };
    for (int q = E; q <= Ae; ++q)
        add(valueOf(result, q));
    const std::size_t proofs = names_.size() - static_cast<std::size_t>(Count);
    for (std::size_t k = 0; k < proofs; ++k)
        add(k < result.Rp.size() ? result.Rp[k].MPa : std::nullopt);
    for (int q = Rm; q < Count; ++q)
        add(valueOf(result, q));
}

std::vector<std::pair<std::string, Statistic>> SeriesStatistics::Compute() const
{
    std::vector<std::pair<std::string, Statistic>> out;
    out.reserve(names_.size());
    for (std::size_t i = 0; i < names_.size(); ++i)
        out.emplace_back(names_[i], describe(values_[i]));
    return out;
}

}  // namespace tenso::standard
