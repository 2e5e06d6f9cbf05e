// Draw of a 2000-record, 3-column file: the core's part (scan and read) on a surface that draws
// nothing, and the whole Draw painting into the window's image surface.
#include "bench_data.h"

#include "plot/draw.h"
#include "plot/null_surface.h"
#include "state/shared_state.h"
#include "ui/headless_window.h"
#include "ui/main_window_load.h"

#include "image_surface.h"

#include <benchmark/benchmark.h>

namespace tenso {
namespace {

template <typename Picture> struct Window {
    Window()
    {
        Form_Load(state, window);
        state.DataFileName = bench::TensileFile(2000);
    }
    SharedState state;
    Picture picture;
    HeadlessWindow window {state, picture};
};

// The plot area of the window: 271 x 247 pixels inside its frame.
struct PlotImage : ImageSurface {
    PlotImage()
        : ImageSurface(QSize(271, 247))
    { }
};

// The first Draw after Browse: three passes over the file (lines, fields, records).
template <typename Picture> void FirstDraw(benchmark::State& bs)
{
    Window<Picture> w;
    for (auto _ : bs) {
        w.state.FileScanned = 0;
        Command3_Click(0, w.state, w.window);
    }
    if (!w.window.Messages().empty())
        bs.SkipWithError(w.window.Messages().back().text.c_str());
}
BENCHMARK(FirstDraw<NullSurface>)->Name("FirstDraw/core")->Unit(benchmark::kMicrosecond);
BENCHMARK(FirstDraw<PlotImage>)->Name("FirstDraw/painted")->Unit(benchmark::kMicrosecond);

// A later Draw: the counts are known, one pass reads the records.
template <typename Picture> void LaterDraw(benchmark::State& bs)
{
    Window<Picture> w;
    Command3_Click(0, w.state, w.window);
    for (auto _ : bs)
        Command3_Click(0, w.state, w.window);
}
BENCHMARK(LaterDraw<NullSurface>)->Name("LaterDraw/core")->Unit(benchmark::kMicrosecond);
BENCHMARK(LaterDraw<PlotImage>)->Name("LaterDraw/painted")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tenso
