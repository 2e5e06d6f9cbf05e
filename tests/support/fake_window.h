#pragma once

#include "plot/recording_surface.h"
#include "state/shared_state.h"
#include "ui/headless_window.h"
#include "ui/main_window_load.h"

#include <memory>

namespace tenso::test {

// A freshly started main window without a window system: the shared state, a recording plot area
// and the headless window, after the load step.
struct Form {
    Form() { Form_Load(state, window); }
    SharedState state;
    RecordingSurface picture;
    HeadlessWindow window {state, picture};
};

}  // namespace tenso::test
