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
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The file lives in memory (memfd) and is reached by its /proc path, so that the reader opens it as
// it opens any file and no run leaves a file behind, not even one that crashes.
const std::string& filePath()
{
    static const std::string path = [] {
        const int fd = ::memfd_create("tenso-fuzz-reader", 0);
        if (fd < 0)
            std::abort();
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

void writeFile(std::string_view content)
{
    const int fd = std::stoi(filePath().substr(filePath().rfind('/') + 1));
    if (::ftruncate(fd, 0) != 0)
        std::abort();
    for (size_t done = 0; done < content.size();) {
        const ssize_t n
            = ::pwrite(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (n <= 0)
            std::abort();
        done += static_cast<size_t>(n);
    }
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
    writeFile(content);
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
