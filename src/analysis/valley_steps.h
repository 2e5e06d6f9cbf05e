#pragma once

#include <cstdint>

namespace tenso {

struct SharedState;
class Window;

// "<" (index 0) and ">" (index 1): moves the yield point to the previous or next valley, cyclically.
void Command5_Click(int16_t index, SharedState& s, Window& w);

}  // namespace tenso
