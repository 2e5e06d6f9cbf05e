// Tenso Lab's chart view repainting a 1,000,000-record curve at 1200 x 800 (each well under 50 ms):
// the whole chart, a view zoomed about the top of the fit, a handle being dragged, and a series of 30 such
// curves. The curve goes through MakeChartData once, as in the program; that step is timed on its own.

#include "chart_view.h"

#include "charts/chart_data.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

namespace {

using tenso::standard::Result;

constexpr int Width = 1200, Height = 800;

// A steel curve: 210 GPa up to 350 MPa, a yield plateau with a little noise, hardening to about
// 560 MPa at 20 % and a fall to fracture at 30 %; E fitted from 56 to 280 MPa.
Result SteelResult(std::size_t records)
{
    Result r;
    r.file = "steel.csv";
    r.records = records;
    r.S0 = 78.54;
    r.L0 = 50;
    r.E = tenso::standard::ModulusFit {210, 56, 280, 100, 0.9999, 2, 0, 100};
    r.e0 = 0;
    r.curve.strain.reserve(records);
    r.curve.stress.reserve(records);
    std::size_t m = 0;
    for (std::size_t i = 0; i < records; ++i) {
        const double e = 0.3 * static_cast<double>(i) / static_cast<double>(records - 1);
        double R = e * 210000;
        if (R > 350)
            R = 350 + 210 * (1 - std::exp(-(e - 350.0 / 210000) / 0.06))
                + 2 * std::sin(static_cast<double>(i));
        if (e > 0.2)
            R -= (e - 0.2) * 1500;
        r.curve.strain.push_back(e);
        r.curve.stress.push_back(R);
        if (R > r.curve.stress[m])
            m = i;
    }
    r.Rm = r.curve.stress[m];
    r.indexRm = m;
    r.indexFracture = records - 1;
    r.Agt = r.curve.strain[m] * 100;
    r.At = 30;
    r.Rp.push_back({0.2, "0.2", 352.0, 0.0037, 10.0});
    return r;
}

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
