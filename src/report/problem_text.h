#pragma once
// What tenso-report says of a file's problem: one line that names the option that would mend it.

#include "standard/problem.h"

#include <string>

namespace tenso::report {

std::string ProblemText(const standard::Problem& problem);

}  // namespace tenso::report
