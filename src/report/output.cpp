#include "output.h"
#include "output_formats.h"

namespace tenso::report {

std::unique_ptr<ReportWriter> MakeWriter(Format format, std::vector<std::string> proofKeys)
{
    if (format == Format::Json)
        return MakeJsonWriter(std::move(proofKeys));
    return MakeCsvWriter(std::move(proofKeys));
}

}  // namespace tenso::report
