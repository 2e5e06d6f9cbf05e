// The export reader and the ISO 6892-1 evaluation on arbitrary file contents and options, and the
// specimens table on the same bytes: no crash, no sanitizer report, and every result either an
// error message or finite values with a positive Rm and E.
#include "fuzz_input.h"

#include "standard/evaluation.h"
#include "standard/specimens.h"
#include "standard/statistics.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

std::string filePath()
{
    // In TMPDIR (fuzz/run.sh points it at a folder it removes), and removed at exit in any case.
    // The name is never destroyed, so that the exit handler can still read it.
    static const std::string* const path = [] {
        const char* folder = std::getenv("TMPDIR");
        auto* name = new std::string(std::string(folder && *folder ? folder : "/tmp")
            + "/tenso-fuzz-standard-" + std::to_string(::getpid()) + ".csv");
        std::atexit([] { ::unlink(filePath().c_str()); });
        return name;
    }();
    return *path;
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}

bool finite(const std::optional<double>& v) { return !v || std::isfinite(*v); }

// `kept`: the curve was asked for, so it holds the records up to the fracture; else it is empty.
void checkResult(const tenso::standard::Result& r, bool kept)
{
    if (r.error) {
        check((!r.error->empty() || r.problem) && !r.Rm && !r.E && r.curve.stress.empty());
        return;
    }
    check(r.Rm && *r.Rm > 0 && r.E && r.E->GPa > 0 && std::isfinite(r.E->GPa));
    for (const auto* v :
        {&r.e0, &r.ReH, &r.ReL, &r.Ae, &r.Rm, &r.Fm, &r.Agt, &r.Ag, &r.Rf, &r.At, &r.A, &r.Z})
        check(finite(*v));
    for (const auto& p : r.Rp)
        check(finite(p.MPa) && finite(p.strain));
    check(r.indexFracture && r.curve.stress.size() == (kept ? *r.indexFracture + 1 : 0));
    for (const std::string& w : r.warnings)
        check(!w.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tenso::standard;
    tenso::fuzz::Input in(data, size);
    const uint8_t choice = in.Byte();
    Options o;
    if (const int s = choice & 7; s < 4)
        o.separator = static_cast<Separator>(s);
    if (const int d = (choice >> 3) & 3; d < 2)
        o.decimal = static_cast<DecimalMark>(d);
    if (choice & 0x20) {
        o.specimen.d0 = 7.13;
        o.specimen.L0 = 35;
    }
    if (choice & 0x40) {
        o.specimen.Lu = 42;
        o.specimen.du = 5;
    }
    if (choice & 0x80) {
        o.proofPercents = {0.2, 0.5, 1};
        o.fractureDropPercent = 50;
        o.modulusRange = std::pair {10.0, 200.0};
    }
    o.forceColumn = in.Text();
    o.extensionColumn = in.Text();
    o.forceUnit = in.Text();
    o.strainUnit = in.Text();
    const std::string_view content = in.Rest();
    if (FILE* f = std::fopen(filePath().c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    const Result first = EvaluateFile(filePath(), o, true);
    checkResult(first, true);
    // The same file with every column and unit found from the header.
    Options plain;
    plain.specimen = o.specimen;
    const Result second = EvaluateFile(filePath(), plain, false);
    checkResult(second, false);
    SeriesStatistics series(o.proofPercents);
    series.Add(first);
    series.Add(second);
    for (const auto& [name, st] : series.Compute())
        check(st.n <= 2 && (st.n == 0) != st.mean.has_value());

    try {
        const SpecimenTable table = SpecimenTable::Read(filePath());
        (void)table.Find("a.csv");
    } catch (const std::runtime_error&) { }
    return 0;
}
