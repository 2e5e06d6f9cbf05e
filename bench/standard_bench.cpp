// tenso-report's library on one machine export of 1,000,000 records (about 25 MB: time, extension
// in mm and force in kN, comma-separated, after a names line): reading and evaluating in-process.
#include "standard/evaluation.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>

namespace tenso::standard {
namespace {

// A round specimen of d0 = 7.13 mm and L0 = 35 mm: elastic to 500 MPa, hardening to 650 MPa, then
// a fracture fall at 24 % strain. Written once per process.
std::string exportFile(int records)
{
    static const std::string path = [records] {
        const std::string p = (std::filesystem::temp_directory_path() / "tenso-standard-bench.csv").string();
        FILE* f = std::fopen(p.c_str(), "w");
        if (!f)
            std::abort();
        std::fputs("Time (s),Extension (mm),Force (kN)\n", f);
        const double S0 = std::numbers::pi / 4 * (7.13 * 7.13);
        for (int i = 0; i < records; ++i) {
            const double e = 0.25 * i / records;
            double R = e < 0.0025 ? 200000 * e : std::min(500 + 800 * std::sqrt(e - 0.0025), 650.0);
            if (e > 0.24)
                R = 10;
            std::fprintf(f, "%.3f,%.5f,%.5f\n", i * 0.001, e * 35, R * S0 / 1000);
        }
        if (std::fclose(f) != 0)
            std::abort();
        return p;
    }();
    return path;
}

void EvaluateMillionRecords(benchmark::State& bs)
{
    const std::string path = exportFile(1000000);
    Options options;
    options.specimen.d0 = 7.13;
    options.specimen.L0 = 35;
    for (auto _ : bs) {
        const Result r = EvaluateFile(path, options, false);
        if (r.error)
            bs.SkipWithError(r.error->c_str());
        benchmark::DoNotOptimize(r.Rm);
    }
    bs.SetBytesProcessed(static_cast<std::int64_t>(bs.iterations())
        * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(EvaluateMillionRecords)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tenso::standard
