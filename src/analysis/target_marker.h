#pragma once

#include "state/surface.h"

#include <initializer_list>

namespace tenso {

struct SharedState;

struct TargetMarker {
    float x = 0, y = 0;  // the curve point; drawn at (x, -y)
    Color color;
};

// Draws several target markers interleaved: for each radius factor in turn, one circle of every
// marker in the order given. Throws Failure(6) when a radius is beyond the Single range; the circles
// drawn before stay.
void DrawTargetMarkers(const SharedState& s, Surface& picture, std::initializer_list<TargetMarker> markers);

// The 17 concentric circles that mark a result point (x, y), radii 0.1 to 1.7 times MarkerRadius,
// centred at (x, -y). Throws Failure(6) when a radius is beyond the Single range.
void DrawTargetMarker(const SharedState& s, Surface& picture, float x, float y, Color c);

}  // namespace tenso
