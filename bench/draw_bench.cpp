// Draw of a 2000-record file: the core's part (scan and read) on a surface that draws nothing.
#include "bench_data.h"

#include "plot/curve_plot.h"
#include "plot/null_surface.h"
#include "state/form1.h"
#include "state/headless_window.h"
#include "state/shared_state.h"

#include <benchmark/benchmark.h>

namespace tenso {
namespace {

struct Window {
    Window()
    {
        Form_Load(state, window);
        state.DataFileName = bench::TensileFile(2000);
    }
    SharedState state;
    NullSurface picture;
    HeadlessWindow window{state, picture};
};

// The first Draw after Browse: three passes over the file (lines, fields, records).
void FirstDraw(benchmark::State& bs)
{
    Window w;
    for (auto _ : bs) {
        w.state.FileScanned = 0;
        Command3_Click(0, w.state, w.window);
    }
    if (!w.window.Messages().empty())
        bs.SkipWithError(w.window.Messages().back().text.c_str());
}
BENCHMARK(FirstDraw)->Unit(benchmark::kMicrosecond);

// A later Draw: the counts are known, one pass reads the records.
void LaterDraw(benchmark::State& bs)
{
    Window w;
    Command3_Click(0, w.state, w.window);
    for (auto _ : bs)
        Command3_Click(0, w.state, w.window);
}
BENCHMARK(LaterDraw)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tenso
