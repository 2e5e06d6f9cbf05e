#include "command_line.h"

#include "evaluation_file.h"

#include "fields.h"
#include "help.h"
#include "problem_text.h"
#include "raw_text.h"

#include "standard/columns.h"
#include "standard/units.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace tenso::report {
namespace {

QString name(const char* text) { return QString::fromLatin1(text); }

// A number as the options take it: an optional sign, digits with an optional '.', at least one
// digit, an optional exponent. A decimal comma is refused, since "1,5" would be read as 1 or 15
// by other tools without a word.
std::optional<double> decimalNumber(const std::string& text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            ++i;
        return i - start;
    };
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t mantissaStart = i;
    std::size_t count = digits();
    if (i < n && text[i] == '.') {
        ++i;
        count += digits();
    }
    if (count == 0)
        return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (digits() == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    double value = 0;
    const char* first = text.data() + mantissaStart;
    const auto [end, ec] = std::from_chars(first, text.data() + n, value);
    if (ec != std::errc() || end != text.data() + n || !std::isfinite(value))
        return std::nullopt;
    return text[0] == '-' ? -value : value;
}

class Parser {
public:
    Parser(int argc, char** argv)
        : argc_(argc)
        , argv_(argv)
    {
        for (int i = 0; i < argc; ++i)
            arguments_ << DecodeArgument(argv[i]);
    }

    QCommandLineParser parser;

    void parse()
    {
        if (!parser.parse(arguments_))
            throw UsageError(parser.errorText().toStdString());
    }

    bool isSet(const char* option) const { return parser.isSet(name(option)); }
    std::string text(const char* option) const { return EncodeArgument(parser.value(name(option))); }

    // The value of a column or unit option: empty when not given, never an empty text when given.
    std::string nonEmpty(const char* option) const
    {
        if (!isSet(option))
            return {};
        std::string value = text(option);
        if (value.empty())
            throw UsageError(std::string("--") + option + " needs a value, not an empty text");
        return value;
    }

    std::optional<double> positive(const char* option, const char* what) const
    {
        if (!isSet(option))
            return std::nullopt;
        const std::string value = text(option);
        const std::optional<double> v = decimalNumber(value);
        if (!v || *v <= 0)
            throw UsageError(std::string("--") + option + " takes " + what
                + " as a positive number with a '.' " + "decimal mark, not \"" + value + "\"");
        return v;
    }

    // The help text names the program from the application's arguments, so it needs one; a run that
    // evaluates starts none before its arguments are parsed.
    QByteArray helpText()
    {
        std::optional<QCoreApplication> app;
        if (QCoreApplication::instance() == nullptr)
            app.emplace(argc_, argv_);
        return parser.helpText().toUtf8();
    }

private:
    int argc_;
    char** argv_;
    QStringList arguments_;
};

struct OptionText {
    const char* name;
    const char* valueName;
    const char* help;
};

const OptionText optionTexts[] = {
    {"force", "COL",
        "Force column: number from 1 or name (\"Load (kN)\" or \"Load\"). Found by name otherwise."},
    {"extension", "COL", "Extension column (elongation of the extensometer), divided by L0."},
    {"strain", "COL", "Strain column (instead of extension and L0)."},
    {"stress", "COL", "Stress column (instead of force and cross-section)."},
    {"force-unit", "UNIT", "N (default), daN, kN, MN, kgf, lbf or kip; wins over the unit in the file."},
    {"extension-unit", "UNIT", "mm (default), um (µm), cm, m or in."},
    {"strain-unit", "UNIT", "mm/mm, m/m, in/in or - (fraction, default), %, ue, um/m or microstrain."},
    {"stress-unit", "UNIT", "MPa or N/mm2 (default), kPa, GPa, kgf/mm2, ksi or psi."},
    {"force-factor", "F", "Multiply the force by F after its unit (-1 for a sign, 2000 N per volt)."},
    {"extension-factor", "F", "Multiply the extension by F after its unit."},
    {"strain-factor", "F", "Multiply the strain by F after its unit."},
    {"stress-factor", "F", "Multiply the stress by F after its unit."},
    {"separator", "SEP", "semicolon, tab, comma or blank (default: detected from the first data line)."},
    {"decimal", "MARK", "point or comma (default: detected; comma separator means point)."},
    {"diameter", "d0", "Original diameter of a round specimen [mm]."},
    {"width", "b0", "Original width of a flat specimen [mm] (with --thickness)."},
    {"thickness", "a0", "Original thickness of a flat specimen [mm] (with --width)."},
    {"area", "S0", "Original cross-section [mm²], instead of diameter or width and thickness."},
    {"gauge-length", "L0", "Original gauge length [mm]."},
    {"final-length", "Lu", "Gauge length after fracture [mm], for A."},
    {"final-diameter", "du", "Smallest diameter after fracture [mm], for Z."},
    {"final-area", "Su", "Smallest cross-section after fracture [mm²], for Z."},
    {"specimens", "FILE",
        "CSV table per data file (columns file, id, material, d0, a0, b0, S0, L0, Lu, du, Su)."},
    {"fracture-drop", "P",
        "Fracture: the first fall of more than P % of Rm within 0.05 % strain (default 10)."},
    {"proof", "LIST", "Plastic extensions of the proof strengths, in %, e.g. 0.2,0.5,1 (default 0.2)."},
    {"modulus", "METHOD",
        "How E is found: sdar (default), the method of ASTM E3076, which looks for the straightest "
        "run of records at the start of the curve and checks its noise, resolution and curvature; "
        "or passes, two fits over fixed parts of the curve: 10 to 40 % of Rm, then 10 to 50 % of ReH "
        "(or Rp0.2). When SDAR finds no straight start, the passes are used, with a note."},
    {"modulus-range", "LO,HI", "Fit E over this stress range [MPa] instead of SDAR or the passes."},
    {"evaluation", "FILE",
        "Evaluate a series saved by Tenso Lab: its files, each specimen's values and the settings, "
        "instead of FILEs and the evaluation options."},
    {"format", "FORMAT", "csv (default) or json."},
    {"pdf", "FILE", "Also write the test report: series table, statistics, charts, a page per specimen."},
    {"page-size", "SIZE", "Paper of the report: a4 (default) or letter."},
    {"title", "TEXT", "Title of the report (default \"Tensile test report\")."},
    {"plot", "DIR", "Also write a chart per specimen into this existing folder, named after the data file."},
    {"plot-format", "FORMAT", "png (default) or svg."},
    {"plot-size", "WxH", "Size of each chart in pixels (default 800x600)."},
};

// A unit option's text, checked against the units of its kind so that a typing error stops the
// call at once instead of failing every file.
std::string unitOption(const Parser& p, const char* option, standard::UnitKind kind)
{
    std::string unit = p.nonEmpty(option);
    if (unit.empty())
        return unit;
    const std::optional<standard::Unit> found = standard::FindUnit(unit);
    if (!found || found->kind != kind)
        throw UsageError(std::string("--") + option + " takes " + std::string(standard::UnitList(kind))
            + ", not \"" + unit + "\"");
    return unit;
}

standard::Separator separatorOf(const std::string& text)
{
    if (text == "semicolon")
        return standard::Separator::Semicolon;
    if (text == "tab")
        return standard::Separator::Tab;
    if (text == "comma")
        return standard::Separator::Comma;
    if (text == "blank")
        return standard::Separator::Blank;
    throw UsageError("--separator takes semicolon, tab, comma or blank, not \"" + text + "\"");
}

// "a,b,c" as numbers; `option` names the option in a message.
std::vector<double> numberList(const std::string& text, const char* option)
{
    std::vector<double> values;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item
            = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::optional<double> v = decimalNumber(item);
        if (!v)
            throw UsageError(std::string("--") + option + ": \"" + item
                + "\" is not a number (use '.' as the decimal mark)");
        values.push_back(*v);
        if (comma == std::string::npos)
            return values;
        start = comma + 1;
    }
}

// Declares the options and parses the arguments; --help and --version print and end the program.
void parseOrExit(Parser& p)
{
    QCommandLineParser& parser = p.parser;
    parser.setApplicationDescription(name("Evaluates tensile tests from machine exports by ISO 6892-1."));
    const QCommandLineOption help(
        {name("h"), name("help")}, name("Show this help (quantities, units, exit codes)."));
    const QCommandLineOption version(name("version"), name("Show the version."));
    parser.addOption(help);
    parser.addOption(version);
    for (const OptionText& o : optionTexts)
        parser.addOption({name(o.name), QString::fromUtf8(o.help), QString::fromUtf8(o.valueName)});
    parser.addOption({name("validate"),
        name("Run the known-answer suite installed with the program instead of evaluating FILEs: expected "
             "and computed values, tolerance and pass or fail; with --pdf the validation record.")});
    parser.addOption({name("reference"), name("With --validate: also a laboratory's own reference export."),
        name("FILE")});
    parser.addOption({name("expect"),
        name("With --reference: its certified values, rows quantity,expected,tolerance."), name("FILE.csv")});
    parser.addPositionalArgument(
        name("FILE"), name("Machine exports to evaluate, one series."), name("FILE..."));
    p.parse();
    if (parser.isSet(help)) {
        const QByteArray text = p.helpText() + HelpEpilogue();
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
        std::exit(std::fflush(stdout) == 0 ? 0 : 1);
    }
    if (parser.isSet(version)) {
        const int ok = std::printf("tenso-report %s (ISO 6892-1, rules 2)\n", TENSO_VERSION);
        std::exit(ok > 0 && std::fflush(stdout) == 0 ? 0 : 1);
    }
}

// The columns, their units, the separator and the decimal mark.
void readColumns(const Parser& p, standard::Options& o)
{
    o.forceColumn = p.nonEmpty("force");
    o.extensionColumn = p.nonEmpty("extension");
    o.strainColumn = p.nonEmpty("strain");
    o.stressColumn = p.nonEmpty("stress");
    o.forceUnit = unitOption(p, "force-unit", standard::UnitKind::Force);
    o.extensionUnit = unitOption(p, "extension-unit", standard::UnitKind::Extension);
    o.strainUnit = unitOption(p, "strain-unit", standard::UnitKind::Strain);
    o.stressUnit = unitOption(p, "stress-unit", standard::UnitKind::Stress);
    if (p.isSet("separator"))
        o.separator = separatorOf(p.text("separator"));
    if (p.isSet("decimal")) {
        const std::string mark = p.text("decimal");
        if (mark == "point")
            o.decimal = standard::DecimalMark::Point;
        else if (mark == "comma")
            o.decimal = standard::DecimalMark::Comma;
        else
            throw UsageError("--decimal takes point or comma, not \"" + mark + "\"");
    }
    for (const auto& [option, factor] :
        {std::pair {"force-factor", &o.forceFactor}, {"extension-factor", &o.extensionFactor},
            {"strain-factor", &o.strainFactor}, {"stress-factor", &o.stressFactor}}) {
        if (!p.isSet(option))
            continue;
        const std::optional<double> v = decimalNumber(p.text(option));
        if (!v || *v == 0)
            throw UsageError(std::string("--") + option
                + " takes a non-zero number with a '.' decimal mark, not \"" + p.text(option) + "\"");
        *factor = *v;
    }
    if (o.decimal == standard::DecimalMark::Comma && o.separator == standard::Separator::Comma)
        throw UsageError("--decimal comma cannot go with --separator comma");
}

// The geometry given on the command line, for every file; at most one way to each cross-section.
void readSpecimen(const Parser& p, standard::Specimen& g)
{
    g.d0 = p.positive("diameter", "the diameter in mm");
    g.b0 = p.positive("width", "the width in mm");
    g.a0 = p.positive("thickness", "the thickness in mm");
    g.S0 = p.positive("area", "the cross-section in mm²");
    g.L0 = p.positive("gauge-length", "the gauge length in mm");
    g.Lu = p.positive("final-length", "the final gauge length in mm");
    g.du = p.positive("final-diameter", "the final diameter in mm");
    g.Su = p.positive("final-area", "the final cross-section in mm²");
    // The same checks as a file's specimen gets, in the same words, but before any file is read:
    // what the options alone get wrong is a usage error. Lu or du without L0 or S0 is not, since
    // a specimens row may give the rest.
    standard::SpecimenValues values;
    if (const std::optional<standard::Problem> problem = standard::CheckSpecimen(g, values)) {
        using Kind = standard::Problem::Kind;
        if (problem->kind != Kind::LuWithoutL0 && problem->kind != Kind::FinalWithoutCrossSection)
            throw UsageError(ProblemText(*problem));
    }
}

// --proof: positive plastic extensions, none named twice.
void readProof(const Parser& p, standard::Options& o)
{
    o.proofPercents = numberList(p.text("proof"), "proof");
    for (std::size_t k = 0; k < o.proofPercents.size(); ++k) {
        if (o.proofPercents[k] <= 0)
            throw UsageError(
                "--proof takes plastic extensions above 0 %, not " + NumberText(o.proofPercents[k]));
        for (std::size_t j = 0; j < k; ++j)
            if (o.proofPercents[j] == o.proofPercents[k])
                throw UsageError("--proof names " + NumberText(o.proofPercents[k]) + " twice");
    }
}

// The specimens table, the fracture criterion, the proof strengths, the modulus method and range and
// the output format.
void readEvaluation(const Parser& p, Settings& s)
{
    standard::Options& o = s.options;
    if (p.isSet("specimens")) {
        s.specimensFile = p.text("specimens");
        if (s.specimensFile.empty())
            throw UsageError("--specimens needs a file name, not an empty text");
    }
    if (p.isSet("fracture-drop")) {
        const std::optional<double> drop = p.positive("fracture-drop", "a per cent of Rm");
        if (*drop >= 100)
            throw UsageError(
                "--fracture-drop takes a per cent of Rm below 100, not \"" + p.text("fracture-drop") + "\"");
        o.fractureDropPercent = *drop;
    }
    if (p.isSet("proof"))
        readProof(p, o);
    if (p.isSet("modulus")) {
        const std::string method = p.text("modulus");
        if (method == "passes")
            o.modulus = standard::ModulusMethod::Passes;
        else if (method != "sdar")
            throw UsageError("--modulus takes sdar or passes, not \"" + method + "\"");
    }
    if (p.isSet("modulus-range")) {
        const std::vector<double> range = numberList(p.text("modulus-range"), "modulus-range");
        if (range.size() != 2 || range[0] < 0 || range[1] <= range[0])
            throw UsageError("--modulus-range takes LO,HI in MPa with 0 <= LO < HI, not \""
                + p.text("modulus-range") + "\"");
        o.modulusRange = std::make_pair(range[0], range[1]);
    }
    if (p.isSet("format")) {
        const std::string format = p.text("format");
        if (format == "json")
            s.format = Format::Json;
        else if (format != "csv")
            throw UsageError("--format takes csv or json, not \"" + format + "\"");
    }
}

// --validate, and a laboratory's reference export with its certified values beside the suite.
void readValidation(const Parser& p, Settings& s)
{
    s.validate = p.isSet("validate");
    s.referenceFile = p.nonEmpty("reference");
    s.expectFile = p.nonEmpty("expect");
    if (!s.validate) {
        if (p.isSet("reference") || p.isSet("expect"))
            throw UsageError(std::string("--") + (p.isSet("reference") ? "reference" : "expect")
                + " goes with --validate");
        return;
    }
    if (p.isSet("reference") && !p.isSet("expect"))
        throw UsageError("--reference needs --expect FILE.csv with the certified values of the export");
    if (p.isSet("expect") && !p.isSet("reference"))
        throw UsageError("--expect needs --reference FILE, the export its values are for");
    if (!p.parser.positionalArguments().isEmpty())
        throw UsageError("--validate takes no FILE: it runs the suite installed with the program "
                         "(a laboratory's own export goes with --reference)");
    if (p.isSet("format"))
        throw UsageError("--format does not go with --validate: the output is the table of checks");
    if (p.isSet("plot"))
        throw UsageError("--plot does not go with --validate: the record is written with --pdf");
    if (p.isSet("title"))
        throw UsageError("--title does not go with --validate: the validation record has a title of its own");
    if (!s.referenceFile.empty())
        return;
    // The suite is evaluated as the plain call: an evaluation option would change nothing of it.
    const std::string_view output[]
        = {"format", "pdf", "page-size", "title", "plot", "plot-format", "plot-size"};
    for (const OptionText& o : optionTexts)
        if (p.isSet(o.name) && std::ranges::find(output, o.name) == std::end(output))
            throw UsageError(std::string("--") + o.name + " applies to a --reference file; the suite is "
                + "evaluated as the plain call");
}

// --evaluation: the saved series replaces FILEs and every option that changes an evaluation; only
// the output's options go with it.
void readSavedEvaluation(const Parser& p, Settings& s)
{
    if (!p.isSet("evaluation"))
        return;
    s.evaluationFile = p.nonEmpty("evaluation");
    if (p.isSet("validate"))
        throw UsageError("--evaluation does not go with --validate");
    if (!p.parser.positionalArguments().isEmpty())
        throw UsageError("--evaluation takes no FILE: the evaluation names its data files");
    const std::string_view output[]
        = {"evaluation", "format", "pdf", "page-size", "title", "plot", "plot-format", "plot-size"};
    for (const OptionText& o : optionTexts)
        if (p.isSet(o.name) && std::ranges::find(output, o.name) == std::end(output))
            throw UsageError(std::string("--") + o.name + " does not go with --evaluation: the evaluation "
                + "holds the settings and each specimen's values");
}

}  // namespace

Settings ParseCommandLine(int argc, char** argv)
{
    Parser p(argc, argv);
    parseOrExit(p);

    Settings s;
    readColumns(p, s.options);
    readSpecimen(p, s.options.specimen);
    readEvaluation(p, s);

    s.charts = ParseChartOptions([&p](const char* option) -> std::optional<std::string> {
        return p.isSet(option) ? std::optional(p.text(option)) : std::nullopt;
    });

    // Before --validate's checks, so that the two together are named as such.
    readSavedEvaluation(p, s);
    readValidation(p, s);

    for (const QString& file : p.parser.positionalArguments())
        s.files.push_back(EncodeArgument(file));
    if (s.files.empty() && !s.validate && s.evaluationFile.empty())
        throw UsageError("no FILE given (see --help)");
    return s;
}

void ApplyEvaluation(Settings& settings)
{
    Evaluation evaluation;
    try {
        evaluation = ReadEvaluation(settings.evaluationFile);
    } catch (const std::runtime_error& e) {
        throw UsageError(std::string("--evaluation: ") + e.what());
    }
    if (evaluation.specimens.empty())
        throw UsageError(
            "--evaluation: " + common::DisplayName(settings.evaluationFile) + " names no data file");
    settings.options = OptionsFor(evaluation.series);
    for (const SpecimenSetup& specimen : evaluation.specimens) {
        settings.files.push_back(specimen.file);
        settings.fileOptions.push_back(OptionsFor(evaluation.series, specimen));
        settings.included.push_back(specimen.included);
    }
}

}  // namespace tenso::report
