#include "report_writer.h"
#include "report_formats.h"

namespace tenso::report {

std::unique_ptr<ReportWriter> MakeWriter(Format format, const std::vector<double>& proofPercents)
{
    if (format == Format::Json)
        return MakeJsonWriter(proofPercents);
    return MakeCsvWriter(proofPercents);
}

}  // namespace tenso::report
