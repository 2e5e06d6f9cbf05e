#include "target_marker.h"

#include "state/shared_state.h"
#include "state/single.h"

namespace tenso {

void DrawTargetMarkers(const SharedState& s, Surface& picture, std::initializer_list<TargetMarker> markers)
{
    // The factor is summed in double on purpose: seventeen additions of 0.1 overshoot 1.8, so the
    // marker has 17 rings (0.1 to 1.7), as users know it; a counted loop would draw an 18th.
    for (double r = 0.1; r <= 1.8; r += 0.1) {
        const float radius = Scaled(s.MarkerRadius, r).value();
        for (const TargetMarker& m : markers)
            picture.Circle(m.x, -m.y, radius, m.color);
    }
}

void DrawTargetMarker(const SharedState& s, Surface& picture, float x, float y, Color c)
{
    DrawTargetMarkers(s, picture, {{x, y, c}});
}

}  // namespace tenso
