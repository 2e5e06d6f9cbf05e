#include "series.h"

#include "problem_text.h"
#include "report_writer.h"

#include "common/ordered_pool.h"
#include "standard/statistics.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace tenso::report {
namespace {

// Standard output with every write checked: a full disk ends the report with a message instead of
// a truncated table that looks complete.
class CheckedOutput {
public:
    CheckedOutput() { std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16); }

    bool Write(const std::string& text)
    {
        if (failed_)
            return false;
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::ferror(stdout))
            fail();
        return !failed_;
    }

    bool Finish()
    {
        if (!failed_ && std::fflush(stdout) != 0)
            fail();
        return !failed_;
    }

private:
    void fail()
    {
        failed_ = true;
        std::fprintf(
            stderr, "tenso-report: cannot write the report to standard output: %s\n", std::strerror(errno));
    }

    bool failed_ = false;
};

standard::Result failure(const std::string& file, std::string message)
{
    standard::Result r;
    r.file = file;
    r.error = std::move(message);
    return r;
}

// The options of one file: the command line's, with the specimens table's row over them.
standard::Options optionsFor(
    const std::string& file, const Settings& settings, const standard::SpecimenTable* table)
{
    if (table) {
        if (const standard::SpecimenRow* row = table->Find(file)) {
            standard::Options options = settings.options;
            options.specimen = standard::Override(options.specimen, row->specimen);
            options.id = row->id;
            options.material = row->material;
            return options;
        }
    }
    return settings.options;
}

}  // namespace

standard::Result EvaluateWith(const std::string& file, const standard::Options& options, bool keepCurve)
{
    if (file.empty())
        return failure(file, "the file name is empty");
    standard::Result r;
    try {
        r = standard::EvaluateFile(file, options, keepCurve);
    } catch (const std::exception& e) {  // out of memory
        return failure(file, e.what());
    }
    if (r.problem)
        r.error = ProblemText(*r.problem);
    return r;
}

standard::Result EvaluateOne(
    const std::string& file, const Settings& settings, const standard::SpecimenTable* table, bool keepCurve)
{
    standard::Options options;
    try {
        options = optionsFor(file, settings, table);
    } catch (const std::exception& e) {  // several rows of the specimens table
        return failure(file, e.what());
    }
    return EvaluateWith(file, options, keepCurve);
}

SeriesOutcome RunSeries(
    const Settings& settings, const standard::SpecimenTable* table, const ResultHook& hook)
{
    CheckedOutput out;
    const std::unique_ptr<ReportWriter> writer
        = MakeWriter(settings.format, settings.options.proofPercents, !settings.included.empty());
    standard::SeriesStatistics statistics(settings.options.proofPercents);
    int status = 0;
    bool written = out.Write(writer->Begin());
    const bool keepCurve = static_cast<bool>(hook);
    // A result that keeps its curve for the charts may hold millions of points, so only two a
    // thread wait; without curves a result is small, and a longer queue keeps both cores busy
    // while the writer or a slow file holds one up.
    const std::size_t waitingPerThread = keepCurve ? 2 : 32;
    common::EvaluateInOrder<standard::Result>(
        written ? settings.files.size() : 0, 0, waitingPerThread,
        [&](std::size_t i, standard::Result& r) {
            try {
                r = settings.fileOptions.empty()
                    ? EvaluateOne(settings.files[i], settings, table, keepCurve)
                    : EvaluateWith(settings.files[i], settings.fileOptions[i], keepCurve);
            } catch (...) {  // EvaluateOne reports a bad file in its result; this is only a last guard
                r = standard::Result {};
                r.error = "internal error while evaluating this file";
            }
        },
        [&](std::size_t i, standard::Result& slot) {
            // Taken out of its slot, so that a kept curve is freed once written, not when the slot
            // is filled again.
            standard::Result r = std::move(slot);
            r.file = settings.files[i];
            if (r.error)
                status = 1;
            const bool included = settings.included.empty() || settings.included[i];
            if (hook && !hook(r, included)) {
                status = 1;
                return false;
            }
            if (included)
                statistics.Add(r);
            written = out.Write(writer->Write(r, included));
            return written;
        });
    SeriesOutcome outcome {status, statistics.Compute()};
    if (written)
        written = out.Write(writer->End(outcome.statistics));
    if (!out.Finish() || !written)
        outcome.status = 1;
    return outcome;
}

}  // namespace tenso::report
