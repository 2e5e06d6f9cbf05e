// tenso-eval: evaluates data files with the window's own rules, without a window.
#include "field_options.h"
#include "file_evaluation.h"
#include "output.h"
#include "plot_output.h"

#include "plot/null_surface.h"
#include "plot/recording_surface.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {

[[noreturn]] void usageError(const QString& message)
{
    std::fprintf(stderr, "tenso-eval: %s\n", qPrintable(message));
    std::exit(2);
}

void writeOut(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tenso-eval"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TENSO_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Evaluates tensile-test data files as the Tenso window does: Draw, then Tangent and/or Secant.\n"
        "Each option takes the text exactly as it would be typed into its field."));
    parser.addHelpOption();
    parser.addVersionOption();
    for (const tenso::FieldOption& o : tenso::FieldOptions)
        parser.addOption({QString::fromLatin1(o.name), QString::fromLatin1(o.help), QStringLiteral("TEXT")});
    parser.addOption({QStringLiteral("method"), QStringLiteral("tangent, secant or both (default both)."),
        QStringLiteral("METHOD"), QStringLiteral("both")});
    parser.addOption({QStringLiteral("format"), QStringLiteral("json or csv (default json)."),
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

    if (!parser.parse(QCoreApplication::arguments()))
        usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
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
        plot = tenso::PlotOutput::Create(
            parser.value(QStringLiteral("plot")), scale, files.size() > 1, &error);
        if (!plot)
            usageError(error);
    }

    tenso::ResultWriter writer(format == QLatin1String("json") ? tenso::ResultWriter::Format::Json
                                                               : tenso::ResultWriter::Format::Csv,
        settings);
    writeOut(writer.Begin());
    int status = 0;
    tenso::NullSurface nothing;
    tenso::RecordingSurface recording;
    auto result = std::make_unique<tenso::FileEvaluation>();
    for (const QString& file : files) {
        recording.Clear();
        tenso::Surface& picture = plot ? static_cast<tenso::Surface&>(recording) : nothing;
        tenso::Evaluate(file.toStdString(), settings, picture, *result);
        if (result->error)
            status = 1;
        if (plot) {
            QString error;
            if (!plot->Write(file, recording, &error)) {
                std::fprintf(stderr, "tenso-eval: %s\n", qPrintable(error));
                status = 1;
            }
        }
        writeOut(writer.Write(*result));
    }
    writeOut(writer.End());
    std::fflush(stdout);
    return status;
}
