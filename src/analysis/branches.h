#pragma once

namespace tenso {

struct SharedState;
class Window;

// The two branches of Command1_Click, run after its common steps. Both throw CalcError when the
// calculation cannot go on.
void SecantBranch(SharedState& s, Window& w);
void TangentBranch(SharedState& s, Window& w, float n);  // n: points of the range, End - Start + 1

}  // namespace tenso
