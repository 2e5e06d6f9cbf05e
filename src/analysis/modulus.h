#pragma once

#include "state/surface.h"

#include <cstdint>

namespace tenso {

struct SharedState;
class Window;

// Tangent (index 0) and Secant (index 1): the elastic modulus, the offset strength, the maximum and
// yield strength, drawn over the plot. A calculation that cannot go on stops at that step with an
// "Error" message box; what was shown or drawn before stays.
void Command1_Click(int16_t index, SharedState& s, Window& w);

// The 17 concentric circles that mark a result point (x, y), radii 0.1 to 1.7 times MarkerRadius,
// centred at (x, -y). Throws Failure(6) when a radius is beyond the Single range.
void DrawTargetMarker(const SharedState& s, Surface& picture, float x, float y, Color c);

}  // namespace tenso
