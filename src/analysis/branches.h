#pragma once

#include "state/single.h"

namespace tenso {

struct SharedState;
class Window;

// The two branches of Command1_Click, run after its common steps. Both throw CalcError when the
// calculation cannot go on.
void SecantBranch(SharedState& s, Window& w);
void TangentBranch(SharedState& s, Window& w, Single n);  // n: points of the range, End - Start + 1

}  // namespace tenso
