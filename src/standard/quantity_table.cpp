#include "standard/quantity_table.h"

#include "standard/text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <type_traits>

namespace tenso::standard {
namespace {

Value number(const std::optional<double>& v) { return v ? Value(*v) : Value(); }
Value count(const std::optional<std::size_t>& v) { return v ? Value(std::uint64_t {*v}) : Value(); }

// A number or a count as a value; absent when unset.
template <typename T> Value valueOf(const T& v)
{
    if constexpr (std::is_same_v<T, bool>)
        return Value(v);
    else if constexpr (std::is_floating_point_v<T>)
        return Value(static_cast<double>(v));
    else
        return Value(static_cast<std::uint64_t>(v));
}
template <typename T> Value valueOf(const std::optional<T>& v) { return v ? valueOf(*v) : Value(); }

// A member of the modulus fit, absent without one.
template <typename T> std::function<Value(const Result&)> fitMember(T ModulusFit::*member)
{
    return [member](const Result& r) { return r.E ? valueOf((*r.E).*member) : Value(); };
}

// A metric of SDAR, absent unless E is by SDAR.
template <typename T> std::function<Value(const Result&)> sdarMember(T SdarMetrics::*member)
{
    return [member](const Result& r) { return r.E && r.E->sdar ? valueOf((*r.E->sdar).*member) : Value(); };
}

// A plain optional number of the result.
std::function<Value(const Result&)> member(std::optional<double> Result::*m)
{
    return [m](const Result& r) { return number(r.*m); };
}

struct Step {
    double perUnit;  // steps per unit: 1 / step, a whole number
    int decimals;
};

Step stepOf(Rounding kind)
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
    const auto [perUnit, decimals] = stepOf(kind);
    // Multiplying by a whole number keeps a tie like 205.25 x 10 exact, where dividing by 0.1
    // would not; std::round takes halves away from zero.
    double rounded = std::round(*value * perUnit) / perUnit;
    if (rounded == 0)
        rounded = 0;  // -0 becomes 0
    // to_chars never looks at the locale, where printf would write a decimal comma under de_DE.
    std::array<char, 400> text {};
    const auto [end, ec]
        = std::to_chars(text.data(), text.data() + text.size(), rounded, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return "\u2013";
    return {text.data(), end};
}

std::string ProofKey(double percent) { return ShortestFixedText(percent); }

std::string FitMethodText(FitMethod method)
{
    switch (method) {
    case FitMethod::Sdar:
        return "sdar";
    case FitMethod::Passes:
        return "passes";
    case FitMethod::Range:
        return "range";
    }
    return {};
}

std::optional<double> Quantity::Number(const Result& r) const
{
    const Value v = value(r);
    if (const double* d = std::get_if<double>(&v))
        return *d;
    if (const std::uint64_t* n = std::get_if<std::uint64_t>(&v))
        return static_cast<double>(*n);
    return std::nullopt;
}

std::vector<Quantity> QuantityTable(const std::vector<double>& proofPercents)
{
    using enum QuantityId;
    std::vector<Quantity> t;
    t.reserve(37 + 2 * proofPercents.size());
    t.push_back({Records, "records", "", Group::Top, 0, "", "records",
        [](const Result& r) { return count(r.records); }, {}, false, false, "records evaluated", ""});
    t.push_back({Skipped, "skipped", "", Group::Top, 0, "", "skipped",
        [](const Result& r) { return count(r.skipped); }, {}, false, false, "records skipped", ""});
    t.push_back({S0, "S0", "mm\xC2\xB2", Group::Top, 0, "", "S0", member(&Result::S0), Rounding::Area, false,
        true, "original cross-section", ""});
    t.push_back({L0, "L0", "mm", Group::Top, 0, "", "L0", member(&Result::L0), Rounding::Length, false, true,
        "original gauge length", ""});
    t.push_back({E, "E", "GPa", Group::E, 0, "", "GPa", fitMember(&ModulusFit::GPa), Rounding::Modulus, true,
        true, "elastic modulus",
        "slope of the straight start of the curve, by ASTM E3076 (SDAR): a line from a point above "
        "the curve touches it where it bends away (the tangency point); of every run of records "
        "below that point, the one that lies closest to a straight line is fitted by least squares. "
        "E lo/hi/points/r2 tell the fit; E method says how it was found: sdar, passes (--modulus "
        "passes, or when SDAR finds no straight start: 10 % to 40 % of Rm, then 10 % to 50 % of ReH "
        "or Rp0.2; E pass 1 or 2) or range (--modulus-range, E pass 0). E x noise, y noise, x "
        "resolution, y resolution (strain and stress), q1, q4 (curvature at the start and end of "
        "the fit) and fit range are the quality checks of ASTM E3076: each passes at 1 or less, "
        "and a note names those that fail."});
    t.push_back({ELo, "E lo", "MPa", Group::E, 0, "", "lo", fitMember(&ModulusFit::lo), {}, false, false,
        "lowest stress of the elastic fit", ""});
    t.push_back({EHi, "E hi", "MPa", Group::E, 0, "", "hi", fitMember(&ModulusFit::hi), {}, false, false,
        "highest stress of the elastic fit", ""});
    t.push_back({EPoints, "E points", "", Group::E, 0, "", "points", fitMember(&ModulusFit::points), {},
        false, false, "records of the elastic fit", ""});
    t.push_back({ER2, "E r2", "", Group::E, 0, "", "r2", fitMember(&ModulusFit::r2), {}, false, false,
        "coefficient of determination of the elastic fit", ""});
    t.push_back({EPass, "E pass", "", Group::E, 0, "", "pass", fitMember(&ModulusFit::pass), {}, false, false,
        "pass of the elastic fit", ""});
    t.push_back({EMethod, "E method", "", Group::E, 0, "", "method",
        [](const Result& r) { return r.E ? Value(FitMethodText(r.E->method)) : Value(); }, {}, false, false,
        "how the elastic fit was found", ""});
    // SDAR's metrics: the CSV has the checks, the JSON every value.
    const auto sdar = [&t](QuantityId id, const char* symbol, const char* key,
                          std::function<Value(const Result&)> value, const char* meaning, bool csv) {
        Quantity q {id, symbol, "", Group::Sdar, 0, "", key, std::move(value), {}, false, false, meaning, ""};
        q.csv = csv;
        t.push_back(std::move(q));
    };
    sdar(
        EXNoise, "E x noise", "x_noise", sdarMember(&SdarMetrics::x_noise), "relative noise in strain", true);
    sdar(
        EYNoise, "E y noise", "y_noise", sdarMember(&SdarMetrics::y_noise), "relative noise in stress", true);
    sdar(EXResolution, "E x resolution", "x_resolution", sdarMember(&SdarMetrics::x_resolution),
        "relative resolution in strain", true);
    sdar(EYResolution, "E y resolution", "y_resolution", sdarMember(&SdarMetrics::y_resolution),
        "relative resolution in stress", true);
    sdar(EQ1, "E q1", "q1", sdarMember(&SdarMetrics::q1), "relative residual slope at the start of the fit",
        true);
    sdar(EQ1Points, "E q1 points", "q1_points", sdarMember(&SdarMetrics::q1_points),
        "records of the start of the fit", false);
    sdar(EQ4, "E q4", "q4", sdarMember(&SdarMetrics::q4), "relative residual slope at the end of the fit",
        true);
    sdar(EQ4Points, "E q4 points", "q4_points", sdarMember(&SdarMetrics::q4_points),
        "records of the end of the fit", false);
    sdar(EFitRange, "E fit range", "fit_range", sdarMember(&SdarMetrics::fit_range), "relative fit range",
        true);
    sdar(ERecords, "E records", "records", sdarMember(&SdarMetrics::records),
        "records searched below the tangency point", false);
    sdar(ERaises, "E raises", "raises", sdarMember(&SdarMetrics::raises), "raises of the offset that stood",
        false);
    sdar(EPassed, "E passed", "passed", sdarMember(&SdarMetrics::passed), "every check of ASTM E3076 passes",
        false);
    t.push_back(
        {e0, "e0", "-", Group::Top, 0, "", "e0", member(&Result::e0), {}, false, false, "strain origin",
            "where the elastic line crosses zero stress (slack and toe); every strain below is counted "
            "from it."});
    t.push_back({ReH, "ReH", "MPa", Group::Top, 0, "", "ReH", member(&Result::ReH), Rounding::Strength, true,
        true, "upper yield strength",
        "the stress at which a clear drop (0.5 % or more, and at least 3 times the scatter of the "
        "elastic fit) follows before the curve rises above it again, at least 0.05 % strain later, "
        "where the elastic line ends (at most 0.2 % plastic extension). Empty for a continuous "
        "yielding material; then ReL and Ae are empty too."});
    t.push_back({ReL, "ReL", "MPa", Group::Top, 0, "", "ReL", member(&Result::ReL), Rounding::Strength, true,
        true, "lower yield strength",
        "the lowest minimum of the yield region, the first (transient) minimum left out when there "
        "are several."});
    t.push_back({Ae, "Ae", "%", Group::Top, 0, "", "Ae", member(&Result::Ae), Rounding::Ae, true, true,
        "yield point extension", "the length of the yield region."});
    for (std::size_t k = 0; k < proofPercents.size(); ++k) {
        const std::string key = ProofKey(proofPercents[k]);
        const auto proof = [k](const Result& r) { return k < r.Rp.size() ? &r.Rp[k] : nullptr; };
        t.push_back({Rp, "Rp" + key, "MPa", Group::Proof, k, key, "MPa",
            [proof](const Result& r) {
                const ProofResult* p = proof(r);
                return p ? number(p->MPa) : Value();
            },
            Rounding::Strength, true, true, "proof strength, plastic extension " + key + " %",
            k == 0 ? "at x % plastic extension (the line of slope E shifted by x %), with the strain "
                     "where it is met; empty when the curve does not reach it."
                   : ""});
        t.push_back({RpStrain, "Rp" + key + " strain", "-", Group::Proof, k, key, "strain",
            [proof](const Result& r) {
                const ProofResult* p = proof(r);
                return p ? number(p->strain) : Value();
            },
            {}, false, false, "strain where Rp" + key + " is met", ""});
    }
    t.push_back({Rm, "Rm", "MPa", Group::Top, 0, "", "Rm", member(&Result::Rm), Rounding::Strength, true,
        true, "tensile strength", "the highest stress."});
    t.push_back({Fm, "Fm", "kN", Group::Top, 0, "", "Fm", member(&Result::Fm), Rounding::Force, true, false,
        "maximum force", "the force at Rm (empty with a stress column)."});
    t.push_back({Agt, "Agt", "%", Group::Top, 0, "", "Agt", member(&Result::Agt), Rounding::Elongation, true,
        true, "total extension at maximum force", "from the strain origin e0 to the strain at Rm."});
    t.push_back({Ag, "Ag", "%", Group::Top, 0, "", "Ag", member(&Result::Ag), Rounding::Elongation, true,
        true, "plastic extension at maximum force", "Agt less the elastic part Rm / E."});
    t.push_back({Rf, "Rf", "MPa", Group::Top, 0, "", "Rf", member(&Result::Rf), Rounding::Strength, true,
        false, "stress at fracture",
        "the stress of the fracture record: the first fall by more than 10 % of Rm within 0.05 % "
        "strain (--fracture-drop), else the last record; none for a test that was unloaded."});
    t.push_back({At, "At", "%", Group::Top, 0, "", "At", member(&Result::At), Rounding::Elongation, true,
        true, "total extension at fracture", "from e0 to the strain of the fracture record."});
    t.push_back({A, "A", "%", Group::Top, 0, "", "A", member(&Result::A), Rounding::Elongation, true, true,
        "percentage elongation after fracture",
        "(Lu - L0) / L0 with --final-length, else At minus the elastic part Rf / E (\"A from curve\" "
        "true)."});
    t.push_back({AFromCurve, "A from curve", "", Group::Top, 0, "", "A_from_curve",
        [](const Result& r) { return r.A_from_curve ? Value(*r.A_from_curve) : Value(); }, {}, false, false,
        "A taken from the curve, for want of Lu", ""});
    t.push_back({Z, "Z", "%", Group::Top, 0, "", "Z", member(&Result::Z), Rounding::Z, true, true,
        "percentage reduction of area", "(S0 - Su) / S0, with --final-diameter or --final-area."});
    return t;
}

}  // namespace tenso::standard
