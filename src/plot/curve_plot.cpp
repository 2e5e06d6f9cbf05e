#include "curve_plot.h"

namespace tenso {

// Not built yet.
void Command3_Click(int16_t, SharedState&, Window&) {}

}  // namespace tenso
