#include "report_charts_run.h"

#include "chart_files.h"
#include "progress.h"
#include "raw_text.h"
#include "report_pdf.h"
#include "series.h"

#include "standard/statistics.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimeZone>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace tenso::report {

namespace {

void CheckFolders(const ChartOptions& c)
{
    if (!c.plotDir.empty()) {
        const QFileInfo dir(DecodeArgument(c.plotDir));
        if (!dir.exists())
            throw UsageError("--plot: the folder \"" + c.plotDir + "\" does not exist");
        if (!dir.isDir())
            throw UsageError("--plot: \"" + c.plotDir + "\" is not a folder");
    }
    if (!c.pdf.empty()) {
        const QFileInfo file(DecodeArgument(c.pdf));
        if (file.isDir())
            throw UsageError("--pdf: \"" + c.pdf + "\" is a folder, not a file name");
        if (!file.absoluteDir().exists())
            throw UsageError("--pdf: the folder of \"" + c.pdf + "\" does not exist");
    }
}

// The time the report gives: now, or SOURCE_DATE_EPOCH when set, so that pictures made for the
// documentation do not change from one build to the next.
QDateTime EvaluationTime()
{
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    if (ok)
        return QDateTime::fromSecsSinceEpoch(epoch, QTimeZone::utc());
    return QDateTime::currentDateTime();
}

void Message(const std::string& text) { std::fprintf(stderr, "tenso-report: %s\n", text.c_str()); }

}  // namespace

std::unique_ptr<QGuiApplication> MakeGuiApplication(int& argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own warnings (no runtime folder, font fallbacks) mean nothing to the user of a command;
    // its critical messages still come through.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "tenso-report: %s\n", text.toLocal8Bit().constData());
    });
    return std::make_unique<QGuiApplication>(argc, argv);
}

int RunSeriesWithCharts(const Settings& settings, const standard::SpecimenTable* table)
{
    const ChartOptions& c = settings.charts;
    CheckFolders(c);
    const QDateTime evaluated = EvaluationTime();
    const QDir plotDir(DecodeArgument(c.plotDir));
    const QSize plotSize(c.plotWidth, c.plotHeight);
    const std::size_t columns = std::max<std::size_t>(KeptColumns, static_cast<std::size_t>(c.plotWidth));

    ChartNames names(c.plotFormat);
    std::vector<ReportEntry> entries;
    bool failed = false;
    std::size_t done = 0;
    // The progress line shares the terminal with nothing else: not when the results go there too.
    std::optional<Progress> progress;
    if (isatty(STDOUT_FILENO) == 0)
        progress.emplace(settings.files.size());

    const auto hook = [&](const standard::Result& r, bool included) {
        ++done;
        ChartData chart = MakeChartData(r, columns);
        if (!c.plotDir.empty() && !r.error) {
            const QString path = plotDir.filePath(names.Next(r.file));
            const std::string error = WriteChartFile(path, chart, plotSize, c.plotFormat);
            if (!error.empty()) {
                if (progress)
                    progress->Clear();
                Message(error);
                failed = true;
            }
        }
        if (!c.pdf.empty()) {
            standard::Result kept = r;
            kept.curve = {};
            entries.push_back({std::move(kept), std::move(chart), included});
        }
        if (progress)
            progress->Update(done);
        return true;
    };
    const SeriesOutcome outcome = RunSeries(settings, table, hook);
    progress.reset();

    if (!c.pdf.empty()) {
        ReportSettings report;
        report.title = c.title;
        report.evaluated = evaluated;
        report.version = TENSO_VERSION;
        report.options = settings.options;
        report.page = c.page;
        const std::string error = WritePdfReport(DecodeArgument(c.pdf), report, entries, outcome.statistics);
        if (!error.empty()) {
            Message(error);
            failed = true;
        }
    }
    return failed ? std::max(outcome.status, 1) : outcome.status;
}

}  // namespace tenso::report
