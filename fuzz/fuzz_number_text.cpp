// Val, ToWhole, SingleText and the change rules on arbitrary text: no crash, and a written value
// reads back to the same text.
#include "fuzz_input.h"

#include "plot/null_surface.h"
#include "state/failure.h"
#include "state/number_text.h"
#include "state/shared_state.h"
#include "ui/headless_window.h"
#include "ui/main_window_load.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const double v = tenso::Val(text);
        if (!std::isfinite(v))
            std::abort();
        (void)tenso::ToWhole(v);
        if (std::fabs(v) < 3.4e38) {
            const float f = static_cast<float>(v);
            const std::string shown = tenso::SingleText(f);
            if (tenso::SingleText(static_cast<float>(tenso::Val(shown))) != shown)
                std::abort();
        }
    } catch (const tenso::Failure& e) {
        if (e.number != 6)
            std::abort();
    }
    if (size >= 4) {  // the bytes as a float, too
        float f;
        std::memcpy(&f, data, sizeof f);
        if (std::isfinite(f)) {
            const std::string shown = tenso::SingleText(f);
            if (tenso::SingleText(static_cast<float>(tenso::Val(shown))) != shown)
                std::abort();
        }
    }

    auto state = std::make_unique<tenso::SharedState>();
    tenso::NullSurface picture;
    tenso::HeadlessWindow w(*state, picture);
    tenso::Form_Load(*state, w);
    for (tenso::Field f : {tenso::Field::Text10, tenso::Text12(0), tenso::Text12(1)})
        w.SetText(f, text);
    if (state->SkipLines < 0 || !std::isfinite(state->ScaleXMax) || !std::isfinite(state->ScaleXMin)
        || !std::isfinite(state->ScaleYMax) || !std::isfinite(state->ScaleYMin))
        std::abort();
    return 0;
}
