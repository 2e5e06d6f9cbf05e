#pragma once

#include <cstdint>

namespace tenso {

struct SharedState;
class Window;

// Draw (index 0) and Clear scale (index 1): clears the plot area, reads the data file, fixes the
// scale, draws the axes and the curve, and writes the scale maxima back into Text12(0) and Text12(1).
// A bad file ends in the data-file message box.
void Command3_Click(int16_t index, SharedState& s, Window& w);

}  // namespace tenso
