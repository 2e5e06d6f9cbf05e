// tenso-report: evaluates machine exports of tensile tests by ISO 6892-1, one series per call.
#include "charts/report_charts_run.h"
#include "command_line.h"
#include "series.h"

#include "standard/specimens.h"

#include <QCoreApplication>

#include <cstdio>
#include <optional>

int main(int argc, char* argv[])
{
    // For the parser's help text, and the fonts of the pictures; nothing runs an event loop.
    const auto app = tenso::report::MakeApplication(argc, argv, tenso::report::WantsCharts(argc, argv));
    QCoreApplication::setApplicationName(QStringLiteral("tenso-report"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TENSO_VERSION));
    try {
        const tenso::report::Settings settings = tenso::report::ParseCommandLine(argc, argv);
        std::optional<tenso::standard::SpecimenTable> table;
        if (!settings.specimensFile.empty()) {
            try {
                table = tenso::standard::SpecimenTable::Read(settings.specimensFile);
            } catch (const std::exception& e) {
                throw tenso::report::UsageError(std::string("--specimens: ") + e.what());
            }
        }
        if (settings.charts.Any())
            return tenso::report::RunSeriesWithCharts(settings, table ? &*table : nullptr);
        return tenso::report::RunSeries(settings, table ? &*table : nullptr);
    } catch (const tenso::report::UsageError& e) {
        std::fprintf(stderr, "tenso-report: %s\n", e.what());
        return 2;
    }
}
