#pragma once
// The ISO 6892-1 quantities of one curve: maximum, fracture, the modulus fit (SDAR, the two passes or
// a given range) and the strain origin, proof strengths, upper and lower yield strength, yield point
// extension, elongations and reduction of area.

#include "standard/columns.h"
#include "standard/evaluation.h"

#include <stdexcept>
#include <vector>

namespace tenso::standard {

// A curve whose quantities cannot be determined; the message says why.
class EvaluationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fills every quantity of `result` and its chart indices and notes from the records (the stress `R`
// in MPa, the strain `e` as a fraction, file order). `R` and `e` are cut after the fracture record,
// so that the caller can hand them on as the curve. Fm is the force at the first maximum of stress
// in kN, or unset without a force column. Throws EvaluationError.
void EvaluateCurve(std::vector<double>& R, std::vector<double>& e, std::optional<double> Fm,
    const SpecimenValues& specimen, const Specimen& given, const Options& options, Result& result);

}  // namespace tenso::standard
