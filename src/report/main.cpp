// tenso-report: evaluates machine exports of tensile tests by ISO 6892-1, one series per call.
#include "charts/report_charts_run.h"
#include "charts/validation_pdf.h"
#include "command_line.h"
#include "series.h"

#include "standard/specimens.h"

#include <QCoreApplication>

#include <clocale>
#include <cstdio>
#include <memory>
#include <optional>

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("tenso-report"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TENSO_VERSION));
    try {
        // The arguments are parsed once, before any Qt application exists: what they ask for
        // decides whether one is needed at all.
        tenso::report::Settings settings = tenso::report::ParseCommandLine(argc, argv);
        if (!settings.evaluationFile.empty())
            tenso::report::ApplyEvaluation(settings);
        std::optional<tenso::standard::SpecimenTable> table;
        if (!settings.specimensFile.empty()) {
            try {
                table = tenso::standard::SpecimenTable::Read(settings.specimensFile);
            } catch (const std::exception& e) {
                throw tenso::report::UsageError(std::string("--specimens: ") + e.what());
            }
        }
        if (settings.validate) {
            // The suite is found beside the program, which takes an application object; the
            // record's fonts take the Gui one that the charts use.
            const std::unique_ptr<QCoreApplication> app = settings.charts.pdf.empty()
                ? std::make_unique<QCoreApplication>(argc, argv)
                : tenso::report::MakeGuiApplication(argc, argv);
            std::setlocale(LC_ALL, "C");
            return tenso::report::RunValidation(settings, table ? &*table : nullptr);
        }
        if (!settings.charts.Any())
            return tenso::report::RunSeries(settings, table ? &*table : nullptr).status;
        const auto app = tenso::report::MakeGuiApplication(argc, argv);
        // Qt sets the process locale from the environment; every byte the report writes, a
        // number or a system message, must not depend on it.
        std::setlocale(LC_ALL, "C");
        return tenso::report::RunSeriesWithCharts(settings, table ? &*table : nullptr);
    } catch (const tenso::report::UsageError& e) {
        std::fprintf(stderr, "tenso-report: %s\n", e.what());
        return 2;
    }
}
