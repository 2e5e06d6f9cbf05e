#include "yield_point.h"

namespace tenso {

// Not built yet.
void Command5_Click(int16_t, SharedState&, Window&) {}

}  // namespace tenso
