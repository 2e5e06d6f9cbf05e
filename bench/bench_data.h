#pragma once

#include <string>

namespace tenso::bench {

// Writes (once per process) a realistic data file of `records` records with three columns
// (strain in micro-strain, stress in MPa, force in kN) after 5 header lines; returns its path.
std::string TensileFile(int records);

}  // namespace tenso::bench
