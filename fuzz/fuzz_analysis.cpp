// Tangent, Secant and the step buttons on arbitrary series, scales and field texts: no crash, no
// sanitizer report, never inf or NaN in a field or in a drawing.
#include "fuzz_input.h"

#include "analysis/modulus.h"
#include "analysis/valley_steps.h"
#include "plot/recording_surface.h"
#include "state/shared_state.h"
#include "ui/headless_window.h"
#include "ui/main_window_load.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

float nextFloat(std::string_view& rest)
{
    float f = 0;
    if (rest.size() >= sizeof f) {
        std::memcpy(&f, rest.data(), sizeof f);
        rest.remove_prefix(sizeof f);
    }
    return std::isfinite(f) ? f : 0.0f;  // the reader never leaves non-finite values
}

bool finiteText(const std::string& t)
{
    return t.find("inf") == std::string::npos && t.find("nan") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tenso::fuzz::Input in(data, size);
    auto state = std::make_unique<tenso::SharedState>();
    tenso::RecordingSurface picture;
    tenso::HeadlessWindow w(*state, picture);
    tenso::Form_Load(*state, w);
    w.SetText(tenso::Field::Text1, in.Text());
    w.SetText(tenso::Field::Text3, in.Text());
    w.SetText(tenso::Field::Text6, in.Text());
    const uint8_t buttons = in.Byte();

    tenso::SharedState& s = *state;
    std::string_view rest = in.Rest();
    const int points = static_cast<int>(rest.size() / 8 > 2000 ? 2000 : rest.size() / 8);
    s.PointCount = static_cast<float>(points);
    s.YMax = -999999;
    for (int i = 1; i <= points; ++i) {
        s.XData[static_cast<size_t>(i)] = nextFloat(rest);
        s.YData[static_cast<size_t>(i)] = nextFloat(rest);
        if (s.YMax <= s.YData[static_cast<size_t>(i)]) {
            s.YMax = s.YData[static_cast<size_t>(i)];
            s.XAtYMax = s.XData[static_cast<size_t>(i)];
        }
    }
    s.ValleyCount = static_cast<int16_t>(buttons % 4);
    for (int k = 1; k <= s.ValleyCount && k <= points; ++k) {
        s.ValleyX[static_cast<size_t>(k)] = s.XData[static_cast<size_t>(k)];
        s.ValleyY[static_cast<size_t>(k)] = s.YData[static_cast<size_t>(k)];
    }
    s.ValleyIndex = s.ValleyCount;
    s.ScaleYMax = s.YMax * 1.1f;
    s.ScaleYMin = std::isfinite(s.ScaleYMax) ? s.ScaleYMax * -0.1f : 0;
    if (!std::isfinite(s.ScaleYMax))
        s.ScaleYMax = 0;
    s.MarkerRadius = 1;

    tenso::Command1_Click(static_cast<int16_t>(buttons & 1), s, w);
    tenso::Command5_Click(static_cast<int16_t>((buttons >> 1) & 1), s, w);
    tenso::Command1_Click(static_cast<int16_t>((buttons >> 2) & 1), s, w);

    for (tenso::Field f : {tenso::Field::Text7, tenso::Field::Text8, tenso::Field::Text9,
             tenso::Field::Text15, tenso::Field::Text16})
        if (!finiteText(w.Text(f)))
            std::abort();
    for (const auto& c : picture.Commands())
        if (!std::isfinite(c.a) || !std::isfinite(c.b) || !std::isfinite(c.c) || !std::isfinite(c.d))
            std::abort();
    return 0;
}
