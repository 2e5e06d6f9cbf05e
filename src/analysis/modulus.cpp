#include "modulus.h"

namespace tenso {

// Not built yet.
void Command1_Click(int16_t, SharedState&, Window&) {}
void DrawTargetMarker(const SharedState&, Surface&, float, float, Color) {}

}  // namespace tenso
