// The reader's passes over a 2000-record, 3-column file: the scan (lines, then fields) and the read
// of the records, each as a Draw runs it (the first pass reading the file into a snapshot that the
// later passes of the same Draw reuse) and each reading the file on its own, as a test calls them.
#include "bench_data.h"

#include "data/data_file.h"
#include "data/reader.h"
#include "state/shared_state.h"

#include <benchmark/benchmark.h>

namespace tenso {
namespace {

SharedState scanned()
{
    SharedState s;
    s.DataFileName = bench::TensileFile(2000);
    s.SkipLines = 5;
    s.XColumn = 1;
    s.YColumn = 2;
    s.XCoefficient = 1;
    s.YCoefficient = 1;
    ScanDataFile(s);
    return s;
}

void check(benchmark::State& bs, const SharedState& s)
{
    if (s.PointCount != 2000 || s.ColumnCount != 3)
        bs.SkipWithError("the bench file did not scan as 2000 records of 3 fields");
}

// Both counting passes, each opening and reading the file.
void ScanOnItsOwn(benchmark::State& bs)
{
    SharedState s = scanned();
    for (auto _ : bs)
        ScanDataFile(s);
    check(bs, s);
}
BENCHMARK(ScanOnItsOwn)->Name("Reader/scan")->Unit(benchmark::kMicrosecond);

// Both counting passes as a first Draw runs them: the file read once, the second pass from memory.
void ScanWithSnapshot(benchmark::State& bs)
{
    SharedState s = scanned();
    for (auto _ : bs) {
        FileSnapshot file;
        ScanDataFile(s, file);
    }
    check(bs, s);
}
BENCHMARK(ScanWithSnapshot)->Name("Reader/scan+snapshot")->Unit(benchmark::kMicrosecond);

// The records pass of a later Draw: the file opened and read once.
void ReadOnItsOwn(benchmark::State& bs)
{
    SharedState s = scanned();
    for (auto _ : bs) {
        ReadMinima m = StartRead(s);
        ReadRecords(s, m);
    }
    check(bs, s);
}
BENCHMARK(ReadOnItsOwn)->Name("Reader/read")->Unit(benchmark::kMicrosecond);

// The records pass of a first Draw, from the bytes that the scan kept.
void ReadFromSnapshot(benchmark::State& bs)
{
    SharedState s = scanned();
    FileSnapshot file;
    ScanDataFile(s, file);
    for (auto _ : bs) {
        ReadMinima m = StartRead(s);
        ReadRecords(s, m, file);
    }
    check(bs, s);
}
BENCHMARK(ReadFromSnapshot)->Name("Reader/read-from-snapshot")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tenso
