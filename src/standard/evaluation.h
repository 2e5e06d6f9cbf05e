#pragma once
// tenso-report's evaluation of a machine export by the definitions of ISO 6892-1, in double
// precision and without a record limit. Values in, values out: no Qt, nothing of the window's code.

#include "standard/problem.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tenso::standard {

enum class Separator { Semicolon, Tab, Comma, Blank };
enum class DecimalMark { Point, Comma };
// How E is found without --modulus-range: ASTM E3076's SDAR, or the two passes over fixed parts of
// Rm and of the yield strength.
enum class ModulusMethod { Sdar, Passes };

// Specimen geometry in mm and mm²; unset = not given.
struct Specimen {
    std::optional<double> d0, a0, b0, S0, L0, Lu, du, Su;
};

// Everything the command line says about how to evaluate a file. Column and unit texts are empty
// when the option was not given.
struct Options {
    std::optional<Separator> separator;
    std::optional<DecimalMark> decimal;
    std::string forceColumn, extensionColumn, strainColumn, stressColumn;  // number from 1 or name
    std::string forceUnit, extensionUnit, strainUnit, stressUnit;
    Specimen specimen;
    std::string id, material;  // the specimen's, from a specimens row; empty: from the header if it says
    // Column factors after the unit (a sign convention, a calibration); 1 when not given.
    double forceFactor = 1, extensionFactor = 1, strainFactor = 1, stressFactor = 1;
    double fractureDropPercent = 10.0;
    std::vector<double> proofPercents {0.2};
    std::optional<std::pair<double, double>> modulusRange;  // lo, hi in MPa
    ModulusMethod modulus = ModulusMethod::Sdar;  // --modulus
};

// The curve as evaluated: records after reading (skipped ones removed), up to and including the
// fracture record f. Kept so that charts can be drawn; strain is the engineering strain e (a
// fraction, before the origin correction e0), stress in MPa.
struct Curve {
    std::vector<double> strain;
    std::vector<double> stress;
};

// Which checks of ASTM E3076 pass (x: strain, y: stress; q1, q4: the start and end of the fit).
struct SdarChecks {
    bool xNoise = false, yNoise = false, xResolution = false, yResolution = false;
    bool q1 = false, q4 = false, fitRange = false;
};

// The quality metrics of ASTM E3076 for an E found by SDAR. Each passes at 1 or less (the
// resolutions also with few values in the most frequent bin, q1 and q4 only with at least 5 records
// in their quarter); a metric is unset where the curve gives it no value (a quarter of one record).
struct SdarMetrics {
    std::optional<double> x_noise, y_noise;  // strain, stress
    std::optional<double> x_resolution, y_resolution;
    std::optional<double> q1;  // residual slope over the first quarter of the fit's strain
    std::size_t q1_points = 0;
    std::optional<double> q4;  // and over the last
    std::size_t q4_points = 0;
    std::optional<double> fit_range;
    std::size_t records = 0;  // searched below the tangency point (after thinning)
    std::size_t raises = 0;  // raises of the offset whose window was taken
    bool passed = false;  // every check passes
    SdarChecks checks;
};

// How the modulus fit was chosen: "sdar", "passes" or "range" in the outputs.
enum class FitMethod { Sdar, Passes, Range };

struct ModulusFit {
    double GPa = 0, lo = 0, hi = 0;
    std::size_t points = 0;
    double r2 = 0;
    std::optional<int> pass;  // 0 (--modulus-range), 1 or 2; unset for SDAR
    std::size_t first = 0, end = 0;  // 0-based record indices of the fitted range [first, end)
    FitMethod method = FitMethod::Sdar;
    double s = 0;  // MPa, the standard deviation of the stress about the line
    std::optional<SdarMetrics> sdar {};  // with FitMethod::Sdar only
};

struct ProofResult {
    double percent = 0.2;
    std::string key;  // the shortest decimal text of percent: "0.2", "1"
    std::optional<double> MPa;  // null: not reached
    std::optional<double> strain;  // fraction, from the strain origin e0
    std::optional<double> index;  // fractional 0-based record position (k + t), for charts
};

// One file's outcome. On an error every value is unset but file and notes.
struct Result {
    std::string file;  // as given on the command line (bytes)
    std::optional<std::string> id, material;  // from the specimens row, else the file's header
    Specimen specimen;  // the geometry evaluated with: the options' over the header's
    std::optional<std::string> error;  // the message, naming the line or column; empty with a problem
    std::optional<Problem> problem;  // what the columns, units or specimen lack: the program words it
    std::optional<std::size_t> records, skipped;
    std::optional<double> S0, L0;
    std::optional<ModulusFit> E;
    std::optional<double> e0;
    std::optional<double> ReH, ReL, Ae;
    std::vector<ProofResult> Rp;  // in the order of --proof
    std::optional<double> Rm, Fm, Agt, Ag, Rf, At, A;
    std::optional<bool> A_from_curve;
    std::optional<double> Z;
    std::vector<std::string> warnings;  // results computed but not to be trusted as they stand
    std::vector<std::string> notes;

    // 0-based record indices of the characteristic points, for charts.
    std::optional<std::size_t> indexReH, indexReL, indexRm, indexFracture;
    Curve curve;  // empty on an error
};

// Reads and evaluates one file. A bad file never throws: its message is in Result::error.
// `keepCurve` false leaves Result::curve empty (a batch that draws nothing needs no copy).
Result EvaluateFile(const std::string& path, const Options& options, bool keepCurve);

}  // namespace tenso::standard
