#pragma once
// Results that are computed but should not be trusted as they stand: each a sentence in the
// result's warnings, never an error.

#include "standard/evaluation.h"

namespace tenso::standard {

// The warnings that the quantities call for, in their order: a bent elastic range, a stiffness no
// material has, an unloaded test. (The crosshead's is the columns'.)
void AddWarnings(bool unloaded, Result& result);

}  // namespace tenso::standard
