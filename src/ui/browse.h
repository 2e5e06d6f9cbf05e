#pragma once

namespace tenso {

struct SharedState;
class Window;

// Browse: lets the user choose the data file in the file dialog and readies the window for it.
void Command2_Click(SharedState& s, Window& w);

}  // namespace tenso
