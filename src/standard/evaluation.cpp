#include "standard/evaluation.h"

#include "standard/columns.h"
#include "standard/export_reader.h"
#include "standard/header_values.h"
#include "standard/quantities.h"
#include "standard/quantity_table.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>

namespace tenso::standard {
namespace {

// Turns the two chosen values of each record into stress (MPa) and strain (a fraction) as they
// are read, and remembers the force at the first maximum of stress.
class Collector : public RecordSink {
public:
    explicit Collector(const ColumnPlan& plan, const SpecimenValues& specimen)
        : plan_(plan)
        , specimen_(specimen)
    { }

    void Record(double a, double b, std::size_t line) override
    {
        double forceOrStress = a * plan_.stressFactor;
        double extensionOrStrain = b * plan_.strainFactor;
        if (plan_.stressUserFactor != 1)
            forceOrStress *= plan_.stressUserFactor;
        if (plan_.strainUserFactor != 1)
            extensionOrStrain *= plan_.strainUserFactor;
        const double R = plan_.stressFromForce ? forceOrStress / *specimen_.S0 : forceOrStress;
        const double e = plan_.strainFromExtension ? extensionOrStrain / *specimen_.L0 : extensionOrStrain;
        if (!std::isfinite(R) || !std::isfinite(e))
            throw ReadError("line " + std::to_string(line)
                + ": the stress or strain lies beyond the range of double precision");
        if (stress.empty() || R > maxStress_) {
            maxStress_ = R;
            forceAtMax_ = forceOrStress;
        }
        stress.push_back(R);
        strain.push_back(e);
    }
    std::optional<double> FmKiloNewton() const
    {
        if (!plan_.stressFromForce || stress.empty())
            return std::nullopt;
        return forceAtMax_ / 1000;
    }

    std::vector<double> stress, strain;

private:
    const ColumnPlan& plan_;
    const SpecimenValues& specimen_;
    double maxStress_ = 0;
    double forceAtMax_ = 0;
};

// Huge values in range can still overflow a sum of squares; such a result is not reported.
bool allFinite(const Result& r, const std::vector<double>& proofPercents)
{
    const std::vector<Quantity> table = QuantityTable(proofPercents);
    return std::ranges::all_of(table, [&r](const Quantity& q) {
        const Value v = q.value(r);
        const double* d = std::get_if<double>(&v);
        return d == nullptr || std::isfinite(*d);
    });
}

std::size_t estimatedRecords(const ExportReader& reader, const ExportLayout& layout)
{
    if (layout.dataLineBytes == 0 || reader.FileSize() <= layout.dataOffset)
        return 0;
    const std::uint64_t estimate = (reader.FileSize() - layout.dataOffset) / layout.dataLineBytes;
    // A little over the estimate, as later lines may be shorter; bounded so that a short first line
    // in front of a huge footer reserves no more than the growth of the vectors would anyway.
    return static_cast<std::size_t>(
        std::min<std::uint64_t>(estimate + estimate / 16 + 16, std::uint64_t {1} << 21));
}

void evaluate(const std::string& path, const Options& options, bool keepCurve, Result& result)
{
    ExportReader reader(path);
    const ExportLayout layout = reader.ReadLayout(options.separator, options.decimal);
    // The specimen: a specimens row over the command line, else what the file's header says.
    Options effective = options;
    result.notes = layout.header.notes;
    effective.specimen = WithHeader(options.specimen, layout.header, result.notes);
    result.specimen = effective.specimen;
    result.id = !options.id.empty() ? std::optional(options.id)
        : layout.header.id          ? std::optional(layout.header.id->text)
                                    : std::nullopt;
    result.material = !options.material.empty() ? std::optional(options.material)
        : layout.header.material                ? std::optional(layout.header.material->text)
                                                : std::nullopt;
    const Plan plan = MakePlan(layout, effective);
    const bool ready = plan.columns && !plan.problem;

    // The records are read (and checked) even when a later check has already failed, since a
    // reading error comes first.
    std::optional<Collector> collector;
    std::optional<std::size_t> a, b;
    if (ready) {
        collector.emplace(*plan.columns, plan.specimen);
        const std::size_t reserve = estimatedRecords(reader, layout);
        collector->stress.reserve(reserve);
        collector->strain.reserve(reserve);
        a = plan.columns->stressColumn;
        b = plan.columns->strainColumn;
    }
    const RecordCounts counts = reader.ReadRecords(layout, a, b, collector ? &*collector : nullptr);
    if (plan.problem)
        throw *plan.problem;

    if (counts.skipped > 0)
        result.notes.push_back(std::to_string(counts.skipped) + (counts.skipped == 1 ? " record" : " records")
            + " skipped: " + plan.columns->stressName + " or " + plan.columns->strainName
            + " empty (first on line " + std::to_string(counts.firstSkippedLine) + ")");
    if (counts.footerLines > 0)
        result.notes.push_back(std::to_string(counts.footerLines)
            + (counts.footerLines == 1 ? " line" : " lines") + " after the table ignored (from line "
            + std::to_string(counts.footerLine) + ")");

    result.records = counts.records;
    result.skipped = counts.skipped;
    result.S0 = plan.specimen.S0;
    result.L0 = plan.specimen.L0;
    EvaluateCurve(collector->stress, collector->strain, collector->FmKiloNewton(), plan.specimen,
        effective.specimen, effective, result);
    if (plan.columns->strainFromCrosshead)
        result.warnings.insert(
            std::ranges::find_if(
                result.warnings, [](const std::string& w) { return w.starts_with("the test was unloaded"); }),
            "the strain comes from the crosshead (column \"" + plan.columns->strainColumnName
                + "\"): E and the extensions include the machine's own stretch");
    if (!allFinite(result, options.proofPercents))
        throw std::runtime_error("the values are too large to evaluate in double precision");
    if (keepCurve) {
        result.curve.stress = std::move(collector->stress);
        result.curve.strain = std::move(collector->strain);
    }
}

}  // namespace

Result EvaluateFile(const std::string& path, const Options& options, bool keepCurve)
{
    Result result;
    result.file = path;
    try {
        evaluate(path, options, keepCurve, result);
    } catch (const Problem& problem) {
        // Worded by the program, in its own terms; the notes gathered up to here stay.
        Result failed;
        failed.file = path;
        failed.error.emplace();
        failed.problem = problem;
        failed.id = std::move(result.id);
        failed.material = std::move(result.material);
        failed.notes = std::move(result.notes);
        result = std::move(failed);
    } catch (const std::exception& failure) {
        // Every value goes; the notes gathered up to the failure stay, they may explain it.
        Result failed;
        failed.file = path;
        failed.error = dynamic_cast<const std::bad_alloc*>(&failure) ? "not enough memory for the records"
                                                                     : failure.what();
        failed.id = std::move(result.id);
        failed.material = std::move(result.material);
        failed.notes = std::move(result.notes);
        result = std::move(failed);
    }
    return result;
}

}  // namespace tenso::standard
