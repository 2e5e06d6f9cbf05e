#pragma once
// The one list of what a result reports, in the order of the CSV columns and the JSON keys: each
// value's symbol, unit, how it is read from a Result, how the printed report rounds it, whether the
// series statistics cover it, what it means and its line of help. The CSV and JSON writers, the
// statistics, the PDF's tables and --help all walk this list, so a quantity is added in one place.

#include "standard/evaluation.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tenso::standard {

// How the printed report rounds, as ISO 6892-1 asks of a test report: strengths to 1 MPa, E to
// 0.1 GPa, Ae to 0.1 %, every other extension and elongation to 0.5 %, Z to 1 %. The CSV and JSON
// output keep full precision; only the report rounds.
enum class Rounding {
    Strength,  // 1 MPa
    Modulus,  // 0.1 GPa
    Ae,  // 0.1 %
    Elongation,  // 0.5 %, written with one decimal
    Z,  // 1 %
    CoV,  // 0.1 %
    Area,  // 0.01 mm²
    Length,  // 0.1 mm
    Force,  // 0.01 kN
};

// `value` rounded to the step of `kind`, halves away from zero, as text with the step's decimals
// ("523", "205.3", "12.5", "12.0") and a '.' whatever the locale; never "-0". An empty value is an
// en dash.
std::string FormatRounded(std::optional<double> value, Rounding kind);

// The key of a proof strength: the shortest decimal text of its plastic extension in per cent
// ("0.2", "1", "0.0001"), never an exponent form.
std::string ProofKey(double percent);

// What identifies a row of the table, for the few places that show one quantity in a way of its own.
enum class QuantityId {
    Records,
    Skipped,
    S0,
    L0,
    E,
    ELo,
    EHi,
    EPoints,
    ER2,
    EPass,
    EMethod,
    EXNoise,
    EYNoise,
    EXResolution,
    EYResolution,
    EQ1,
    EQ1Points,
    EQ4,
    EQ4Points,
    EFitRange,
    ERecords,
    ERaises,
    EPassed,
    e0,
    ReH,
    ReL,
    Ae,
    Rp,
    RpStrain,
    Rm,
    Fm,
    Agt,
    Ag,
    Rf,
    At,
    A,
    AFromCurve,
    Z
};

// The JSON object a value sits in: the top level, the modulus fit "E", SDAR's metrics in "sdar" within
// "E" (null unless E is by SDAR), or a proof strength in "Rp".
enum class Group { Top, E, Sdar, Proof };

// A value as the outputs write it: absent (an empty cell, null), a number, a count, a flag or a word.
using Value = std::variant<std::monostate, double, std::uint64_t, bool, std::string>;

// How E was found, as the outputs name it: "sdar", "passes" or "range".
std::string FitMethodText(FitMethod method);

struct Quantity {
    QuantityId id;
    std::string symbol;  // "E", "E lo", "Rp0.2", "Rp0.2 strain", "A from curve"
    std::string unit;  // "GPa", "%", "-"; empty: the value has none (a count, a flag, r²)
    Group group = Group::Top;
    std::size_t proof = 0;  // which proof strength, in the order of --proof (Group::Proof)
    std::string proofKey;  // its key, "0.2" (Group::Proof)
    std::string key;  // the JSON key within its group: "S0", "GPa", "MPa", "A_from_curve"
    std::function<Value(const Result&)> value;
    std::optional<Rounding> rounding;  // how the report prints it; unset: the report does not
    bool statistics = false;  // in the series statistics
    bool seriesTable = false;  // a column of the report's series table
    std::string meaning;  // for the report's specimen page: "upper yield strength"
    std::string help;  // for --help; empty: described with the quantity before it
    bool csv = true;  // a column of the CSV; false: a JSON key only

    // "E [GPa]", "E points": the CSV header of the value.
    std::string Heading() const { return unit.empty() ? symbol : symbol + " [" + unit + "]"; }
    // The value as a number, for the report and the statistics; unset for none or a flag.
    std::optional<double> Number(const Result& r) const;
};

// The table for a call's proof strengths (in the order of --proof).
std::vector<Quantity> QuantityTable(const std::vector<double>& proofPercents);

}  // namespace tenso::standard
