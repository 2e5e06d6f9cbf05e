#pragma once

#include <cstdint>

namespace tenso {

struct SharedState;
class Window;

// Tangent (index 0) and Secant (index 1): the elastic modulus, the offset strength, the maximum and
// yield strength, drawn over the plot. A calculation that cannot go on stops at that step with an
// "Error" message box; what was shown or drawn before stays.
void Command1_Click(int16_t index, SharedState& s, Window& w);

}  // namespace tenso
