// tenso-eval: evaluates data files with the window's own rules, without a window.
#include "field_options.h"
#include "file_evaluation.h"
#include "file_names.h"
#include "help_text.h"
#include "output.h"
#include "plot_output.h"
#include "standard_output.h"

#include "common/ordered_pool.h"
#include "plot/null_surface.h"
#include "plot/recording_surface.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <clocale>
#include <cstdio>
#include <memory>

namespace {

// Results of a batch that may wait for their turn, per thread (about 18 KB each): enough that the
// others run on while one thread, or the writer, is held up (by a slow file, or by the scheduler on
// a busy machine), and memory does not grow with the number of files.
constexpr std::size_t ResultsWaitingPerThread = 32;

[[noreturn]] void usageError(const QString& message)
{
    std::fprintf(stderr, "tenso-eval: %s\n", qPrintable(message));
    std::exit(2);
}

}  // namespace

int main(int argc, char* argv[])
{
    tenso::CheckStandardStreams();
    QCoreApplication app(argc, argv);
    // Qt sets the process locale from the environment; what tenso-eval writes, a number or a
    // system message, must not depend on it.
    std::setlocale(LC_ALL, "C");
    QCoreApplication::setApplicationName(QStringLiteral("tenso-eval"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TENSO_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(tenso::HelpDescription());
    // Qt's own help option would offer Qt's options under --help-all; tenso-eval has none that
    // matter, so both show the same help, with the units and exit statuses after the options.
    parser.addOption({{QStringLiteral("?"), QStringLiteral("h"), QStringLiteral("help")},
        QStringLiteral("Shows this help.")});
    parser.addOption({QStringLiteral("help-all"), QStringLiteral("Shows this help too.")});
    parser.addVersionOption();
    for (const tenso::FieldOption& o : tenso::FieldOptions)
        parser.addOption({QString::fromLatin1(o.name), QString::fromLatin1(o.help), QStringLiteral("TEXT")});
    parser.addOption({QStringLiteral("method"),
        QStringLiteral("tangent, secant or both, the button(s) pressed after Draw (default both)."),
        QStringLiteral("METHOD"), QStringLiteral("both")});
    parser.addOption(
        {QStringLiteral("format"), QStringLiteral("json or csv, the form of the output (default json)."),
            QStringLiteral("FORMAT"), QStringLiteral("json")});
    parser.addOption({QStringLiteral("plot"),
        QStringLiteral("Also write the plot area to PATH (.png or .svg); with several files the "
                       "file's base name is inserted before the extension."),
        QStringLiteral("PATH")});
    parser.addOption(
        {QStringLiteral("plot-scale"), QStringLiteral("Draw the plot N times larger (default 1)."),
            QStringLiteral("N"), QStringLiteral("1")});
    parser.addPositionalArgument(
        QStringLiteral("FILE"), QStringLiteral("Data files to evaluate."), QStringLiteral("FILE..."));

    if (!parser.parse(tenso::ArgumentsOf(argc, argv)))
        usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        if (!tenso::WriteHelp(parser.helpText() + tenso::HelpClosing())) {
            std::fprintf(stderr, "tenso-eval: the help could not be written to standard output\n");
            return 1;
        }
        return 0;
    }
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    tenso::EvaluationSettings settings;
    for (const tenso::FieldOption& o : tenso::FieldOptions)
        if (parser.isSet(QString::fromLatin1(o.name)))
            settings.fieldTexts.emplace_back(
                o.field, parser.value(QString::fromLatin1(o.name)).toStdString());
    const QString method = parser.value(QStringLiteral("method"));
    if (method != QLatin1String("tangent") && method != QLatin1String("secant")
        && method != QLatin1String("both"))
        usageError(QStringLiteral("--method takes tangent, secant or both, not \"%1\"").arg(method));
    settings.tangent = method != QLatin1String("secant");
    settings.secant = method != QLatin1String("tangent");
    const QString format = parser.value(QStringLiteral("format"));
    if (format != QLatin1String("json") && format != QLatin1String("csv"))
        usageError(QStringLiteral("--format takes json or csv, not \"%1\"").arg(format));

    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        usageError(QStringLiteral("no FILE given (see --help)"));

    std::unique_ptr<tenso::PlotOutput> plot;
    if (parser.isSet(QStringLiteral("plot"))) {
        bool ok = false;
        const int scale = parser.value(QStringLiteral("plot-scale")).toInt(&ok);
        if (!ok || scale < 1 || scale > 20)
            usageError(QStringLiteral("--plot-scale takes a whole number from 1 to 20"));
        QString error;
        plot = tenso::PlotOutput::Create(tenso::common::EncodeArgument(parser.value(QStringLiteral("plot"))),
            scale, files.size() > 1, &error);
        if (!plot)
            usageError(error);
    }

    tenso::ResultWriter writer(format == QLatin1String("json") ? tenso::ResultWriter::Format::Json
                                                               : tenso::ResultWriter::Format::Csv,
        settings);
    tenso::WriteOut(writer.Begin());
    int status = 0;
    tenso::NullSurface nothing;
    tenso::RecordingSurface recording;
    auto result = std::make_unique<tenso::FileEvaluation>();
    if (!plot && files.size() > 1) {  // several files: evaluated ahead on every usable core
        std::vector<std::string> names;
        names.reserve(static_cast<size_t>(files.size()));
        for (const QString& file : files)
            names.push_back(tenso::common::EncodeArgument(file));
        // Each evaluation on a window of its own with a plot that draws nothing; an exception of one
        // reaches this thread at that file's turn, after every earlier result was written.
        tenso::common::EvaluateInOrder<tenso::FileEvaluation>(
            names.size(), 0, ResultsWaitingPerThread,
            [&](std::size_t i, tenso::FileEvaluation& r) {
                tenso::NullSurface none;
                tenso::Evaluate(names[i], settings, none, r);
            },
            [&](std::size_t, const tenso::FileEvaluation& r) {
                if (r.error)
                    status = 1;
                tenso::WriteOut(writer.Write(r));
                return true;
            });
    }
    // One file, and the pictures of --plot, are evaluated here, one after the other.
    const QStringList serial = plot || files.size() == 1 ? files : QStringList();
    for (const QString& argument : serial) {
        const std::string file = tenso::common::EncodeArgument(argument);
        recording.Clear();
        tenso::Surface& picture = plot ? static_cast<tenso::Surface&>(recording) : nothing;
        tenso::Evaluate(file, settings, picture, *result);
        if (result->error)
            status = 1;
        if (plot) {
            QString error;
            if (!plot->Write(file, recording, &error)) {
                std::fprintf(stderr, "tenso-eval: %s\n", qPrintable(error));
                status = 1;
            }
        }
        tenso::WriteOut(writer.Write(*result));
    }
    tenso::WriteOut(writer.End());
    tenso::FinishOut();
    return status;
}
