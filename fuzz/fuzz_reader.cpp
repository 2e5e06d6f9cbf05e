// The data file reader and Draw on arbitrary file contents and settings: no crash, no sanitizer
// report, no inf or NaN in the state, and every failure a known number.
#include "fuzz_input.h"

#include "plot/draw.h"
#include "plot/null_surface.h"
#include "state/shared_state.h"
#include "ui/headless_window.h"
#include "ui/main_window_load.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

std::string filePath()
{
    static const std::string path = "/tmp/tenso-fuzz-reader-" + std::to_string(::getpid()) + ".dat";
    return path;
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tenso::fuzz::Input in(data, size);
    auto state = std::make_unique<tenso::SharedState>();
    tenso::NullSurface picture;
    tenso::HeadlessWindow w(*state, picture);
    tenso::Form_Load(*state, w);
    w.SetText(tenso::Field::Text10, in.Text());
    w.SetText(tenso::Field::Text4, in.Text());
    w.SetText(tenso::Field::Text5, in.Text());
    w.SetText(tenso::Field::Text13, in.Text());
    w.SetText(tenso::Field::Text14, in.Text());
    w.SetText(tenso::Text12(0), in.Text());
    w.SetText(tenso::Text12(1), in.Text());
    const std::string_view content = in.Rest();
    if (FILE* f = std::fopen(filePath().c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    state->DataFileName = filePath();
    tenso::Command3_Click(0, *state, w);
    tenso::Command3_Click(1, *state, w);

    const tenso::SharedState& s = *state;
    for (float v :
        {s.XMax, s.YMax, s.XAtYMax, s.ScaleXMax, s.ScaleXMin, s.ScaleYMax, s.ScaleYMin, s.MarkerRadius})
        check(std::isfinite(v));
    check(s.ValleyCount >= 0 && s.ValleyCount <= tenso::MaxValleys);
    for (const tenso::Message& m : w.Messages())
        check(m.title == "Error" && m.text.rfind("This file includes error data", 0) == 0);
    return 0;
}
