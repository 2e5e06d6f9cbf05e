// The charts and the PDF report of tenso-report on synthetic results: a chart of a 1,000,000-record
// curve (under 1 s), 1000 PNG charts of 2000 records (under 10 s), a report of 100 specimens of 2000
// records (under 5 s). The evaluation is not part of these; bench/report_charts.sh times the whole
// program.

#include "chart_data.h"
#include "chart_files.h"
#include "report_pdf.h"
#include "steel_result.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

using tenso::bench::SteelResult;
using tenso::standard::Result;

void ChartOfAMillionRecords(benchmark::State& state)
{
    const Result r = SteelResult(1000000);
    QTemporaryDir dir;
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        const auto chart = tenso::report::MakeChartData(r);
        const std::string error = tenso::report::WriteChartFile(
            dir.filePath("million.png"), chart, QSize(800, 600), tenso::report::PlotFormat::Png);
        benchmark::DoNotOptimize(error);
    }
}
BENCHMARK(ChartOfAMillionRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

void ThousandPngCharts(benchmark::State& state)
{
    const Result r = SteelResult(2000);
    QTemporaryDir dir;
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        tenso::report::ChartNames names(tenso::report::PlotFormat::Png);
        for (int i = 0; i < 1000; ++i) {
            const auto chart = tenso::report::MakeChartData(r);
            const std::string error = tenso::report::WriteChartFile(
                dir.filePath(names.Next(r.file)), chart, QSize(800, 600), tenso::report::PlotFormat::Png);
            benchmark::DoNotOptimize(error);
        }
    }
}
BENCHMARK(ThousandPngCharts)->Unit(benchmark::kMillisecond)->Iterations(1);

void ReportOfAHundredSpecimens(benchmark::State& state)
{
    const Result r = SteelResult(2000);
    QTemporaryDir dir;
    tenso::report::ReportSettings settings;
    settings.evaluated = QDateTime::currentDateTime();
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        std::vector<tenso::report::ReportEntry> entries;
        for (int i = 0; i < 100; ++i) {
            tenso::report::ReportEntry entry {r, tenso::report::MakeChartData(r)};
            entry.result.curve = {};
            entry.result.file = "steel-" + std::to_string(i) + ".csv";
            entries.push_back(std::move(entry));
        }
        const std::string error = tenso::report::WritePdfReport(dir.filePath("r.pdf"), settings, entries, {});
        benchmark::DoNotOptimize(error);
    }
}
BENCHMARK(ReportOfAHundredSpecimens)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
