#pragma once
// Which columns of an export give stress and strain, in which units, and the specimen they need.

#include "standard/evaluation.h"
#include "standard/export_reader.h"
#include "standard/problem.h"

#include <cstddef>
#include <optional>
#include <string>

namespace tenso::standard {

// The specimen as the evaluation uses it: S0 and Su worked out from the given form, in mm and mm².
struct SpecimenValues {
    std::optional<double> S0, L0, Su;
};

// How each record becomes stress (MPa) and strain (a fraction).
struct ColumnPlan {
    std::size_t stressColumn = 0;  // 0-based; a force column when stressFromForce
    std::size_t strainColumn = 0;  // an extension column when strainFromExtension
    bool stressFromForce = false;
    bool strainFromExtension = false;
    double stressFactor = 1;  // to N (force) or MPa (stress)
    double strainFactor = 1;  // to mm (extension) or a fraction (strain)
    double stressUserFactor = 1;  // --force-factor or --stress-factor, after the unit
    double strainUserFactor = 1;  // --extension-factor or --strain-factor
    std::string stressName, strainName;  // for notes: "column 3 (Force)"
    bool strainFromCrosshead = false;  // the extension is the crosshead's travel
    std::string strainColumnName;  // as the file names it
};

// The outcome of the checks that need only the layout and the options, in their order: columns,
// units, specimen; `problem` is the first that fails (a later check that depends on it is not run).
struct Plan {
    std::optional<ColumnPlan> columns;  // set when the columns check passed
    std::optional<Problem> problem;
    SpecimenValues specimen;
};

Plan MakePlan(const ExportLayout& layout, const Options& options);

// The cross-section, gauge length and final cross-section of a specimen, checked: positive values,
// one cross-section form, Lu only with L0, du or Su only with a cross-section. Returns the first
// fault, none when there is none.
std::optional<Problem> CheckSpecimen(const Specimen& specimen, SpecimenValues& values);

}  // namespace tenso::standard
