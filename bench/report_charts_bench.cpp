// The charts and the PDF report of tenso-report on synthetic results: a chart of a 1,000,000-record
// curve (under 1 s), 1000 PNG charts of 2000 records (under 10 s), a report of 100 specimens of 2000
// records (under 5 s). The evaluation is not part of these; bench/report_charts.sh times the whole
// program.

#include "chart_data.h"
#include "chart_files.h"
#include "report_pdf.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cmath>

namespace {

using tenso::standard::Result;

// A steel curve: 210 GPa up to 350 MPa, a yield plateau with a little noise, hardening to about
// 560 MPa at 20 % and a fall to fracture at 30 %.
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

void ChartOfAMillionRecords(benchmark::State& state)
{
    const Result r = SteelResult(1000000);
    QTemporaryDir dir;
    for (auto _ : state) {
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
    for (auto _ : state) {
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
    for (auto _ : state) {
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
