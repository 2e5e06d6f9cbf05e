#pragma once

namespace tenso {

struct SharedState;
class Window;

// The load step of the main window (after the window has centred itself): the input fields get
// their defaults, results, preview, file name and plot maxima are emptied, and the scale and
// reader state are reset. The change rules run as the fields are set.
void Form_Load(SharedState& s, Window& w);

}  // namespace tenso
