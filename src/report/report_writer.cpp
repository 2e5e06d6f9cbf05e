#include "report_writer.h"
#include "report_formats.h"

namespace tenso::report {

std::unique_ptr<ReportWriter> MakeWriter(
    Format format, const std::vector<double>& proofPercents, bool withIncluded)
{
    if (format == Format::Json)
        return MakeJsonWriter(proofPercents, withIncluded);
    return MakeCsvWriter(proofPercents, withIncluded);
}

}  // namespace tenso::report
