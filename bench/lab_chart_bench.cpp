// Tenso Lab's chart view repainting a 1,000,000-record curve at 1200 x 800 (each well under 50 ms):
// the whole chart, a view zoomed about the top of the fit, a handle being dragged, and a series of 30 such
// curves. The curve goes through MakeChartData once, as in the program; that step is timed on its own.

#include "chart_view.h"
#include "steel_result.h"

#include "charts/chart_data.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

using tenso::bench::SteelResult;
using tenso::standard::Result;

constexpr int Width = 1200, Height = 800;

const tenso::report::ChartData& MillionRecordChart()
{
    static const tenso::report::ChartData chart = tenso::report::MakeChartData(SteelResult(1000000));
    return chart;
}

void Repaint(benchmark::State& state, tenso::lab::ChartView& view)
{
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void MakeChartOfAMillionRecords(benchmark::State& state)
{
    const Result r = SteelResult(1000000);
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        const auto chart = tenso::report::MakeChartData(r);
        benchmark::DoNotOptimize(chart.x.data());
    }
}
BENCHMARK(MakeChartOfAMillionRecords)->Unit(benchmark::kMillisecond);

void WholeChart(benchmark::State& state)
{
    tenso::lab::ChartView view;
    view.resize(Width, Height);
    view.ShowSpecimen(MillionRecordChart(), false);
    Repaint(state, view);
}
BENCHMARK(WholeChart)->Unit(benchmark::kMillisecond);

void ZoomedAboutTheFitsTop(benchmark::State& state)
{
    tenso::lab::ChartView view;
    view.resize(Width, Height);
    view.ShowSpecimen(MillionRecordChart(), false);
    // Ten notches in (nine times) about the upper handle: the elastic line's top and the yield.
    const QPointF at = view.HandlePositions()->second;
    QWheelEvent wheel(
        at, at, QPoint(), QPoint(0, 1200), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    Repaint(state, view);
}
BENCHMARK(ZoomedAboutTheFitsTop)->Unit(benchmark::kMillisecond);

void DraggingAHandle(benchmark::State& state)
{
    tenso::lab::ChartView view;
    view.resize(Width, Height);
    view.ShowSpecimen(MillionRecordChart(), false);
    const QPointF high = view.HandlePositions()->second;
    QMouseEvent press(QEvent::MouseButtonPress, high, high, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        // A move of the pointer and the repaint it asks for.
        const QPointF to = high + QPointF(0, 10 + step++ % 40);
        QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(DraggingAHandle)->Unit(benchmark::kMillisecond);

void SeriesOfThirty(benchmark::State& state)
{
    tenso::lab::ChartView view;
    view.resize(Width, Height);
    std::vector<tenso::report::ChartData> charts;
    for (int i = 0; i < 30; ++i) {
        charts.push_back(MillionRecordChart());
        charts.back().name = "steel-" + std::to_string(i) + ".csv";
    }
    view.ShowSeries(std::move(charts));
    Repaint(state, view);
}
BENCHMARK(SeriesOfThirty)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
