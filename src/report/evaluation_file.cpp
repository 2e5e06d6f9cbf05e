#include "evaluation_file.h"

#include "fields.h"
#include "raw_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tenso::report {
namespace {

constexpr const char* FormatName = "tenso-lab evaluation";
constexpr int FormatVersion = 1;

struct GeometryKey {
    const char* key;
    std::optional<double> standard::Specimen::*value;
};
constexpr GeometryKey geometryKeys[] = {{"d0", &standard::Specimen::d0}, {"a0", &standard::Specimen::a0},
    {"b0", &standard::Specimen::b0}, {"S0", &standard::Specimen::S0}, {"L0", &standard::Specimen::L0},
    {"Lu", &standard::Specimen::Lu}, {"du", &standard::Specimen::du}, {"Su", &standard::Specimen::Su}};

std::string rangeText(const std::optional<std::pair<double, double>>& range)
{
    if (!range)
        return "null";
    return "[" + NumberText(range->first) + ", " + NumberText(range->second) + "]";
}

std::string methodText(standard::ModulusMethod m)
{
    return m == standard::ModulusMethod::Sdar ? "sdar" : "passes";
}

// Reading: each fault is one line that names the file and where in it.
class Reader {
public:
    explicit Reader(std::string path)
        : path_(std::move(path))
    { }

    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::runtime_error(common::DisplayName(path_) + ": " + what);
    }

    double number(const QJsonValue& v, const std::string& where) const
    {
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            fail(where + " is not a number");
        return v.toDouble();
    }

    double positive(const QJsonValue& v, const std::string& where) const
    {
        const double x = number(v, where);
        if (x <= 0)
            fail(where + " must be above 0, not " + NumberText(x));
        return x;
    }

    std::optional<std::pair<double, double>> range(const QJsonValue& v, const std::string& where) const
    {
        if (v.isNull() || v.isUndefined())
            return std::nullopt;
        const QJsonArray a = v.toArray();
        if (!v.isArray() || a.size() != 2)
            fail(where + " is not [LO, HI] in MPa");
        const double lo = number(a[0], where);
        const double hi = number(a[1], where);
        if (lo < 0 || hi <= lo)
            fail(where + " needs 0 <= LO < HI, not [" + NumberText(lo) + ", " + NumberText(hi) + "]");
        return std::make_pair(lo, hi);
    }

    std::string text(const QJsonValue& v, const std::string& where) const
    {
        if (v.isNull() || v.isUndefined())
            return {};
        if (!v.isString())
            fail(where + " is not a text");
        return EncodeArgument(v.toString());
    }

    SeriesSetup series(const QJsonObject& o) const
    {
        SeriesSetup s;
        if (o.contains(QStringLiteral("proof"))) {
            const QJsonValue proofs = o.value(QStringLiteral("proof"));
            if (!proofs.isArray() || proofs.toArray().isEmpty())
                fail("settings.proof is not a list of plastic extensions in %");
            s.proofPercents.clear();
            for (const QJsonValue p : proofs.toArray()) {
                const double x = positive(p, "settings.proof");
                for (const double earlier : s.proofPercents)
                    if (earlier == x)
                        fail("settings.proof names " + NumberText(x) + " twice");
                s.proofPercents.push_back(x);
            }
        }
        if (o.contains(QStringLiteral("fracture_drop"))) {
            s.fractureDropPercent
                = positive(o.value(QStringLiteral("fracture_drop")), "settings.fracture_drop");
            if (s.fractureDropPercent >= 100)
                fail("settings.fracture_drop must be below 100 %");
        }
        const std::string modulus = text(o.value(QStringLiteral("modulus")), "settings.modulus");
        if (modulus == "passes")
            s.modulus = standard::ModulusMethod::Passes;
        else if (!modulus.empty() && modulus != "sdar")
            fail("settings.modulus is sdar or passes, not \"" + modulus + "\"");
        s.modulusRange = range(o.value(QStringLiteral("modulus_range")), "settings.modulus_range");
        return s;
    }

    SpecimenSetup specimen(const QJsonValue& v, std::size_t k, const QDir& folder) const
    {
        const std::string where = "specimen " + std::to_string(k + 1);
        if (!v.isObject())
            fail(where + " is not an object");
        const QJsonObject o = v.toObject();
        SpecimenSetup s;
        const QJsonValue file = o.value(QStringLiteral("file"));
        if (!file.isString() || file.toString().isEmpty())
            fail(where + " names no file");
        s.file = EncodeArgument(QDir::cleanPath(folder.absoluteFilePath(file.toString())));
        const QJsonValue included = o.value(QStringLiteral("included"));
        if (!included.isUndefined() && !included.isBool())
            fail(where + ": included is not true or false");
        s.included = included.toBool(true);
        s.id = text(o.value(QStringLiteral("id")), where + ": id");
        s.material = text(o.value(QStringLiteral("material")), where + ": material");
        const QJsonValue geometry = o.value(QStringLiteral("geometry"));
        if (!geometry.isUndefined() && !geometry.isNull()) {
            if (!geometry.isObject())
                fail(where + ": geometry is not an object");
            const QJsonObject g = geometry.toObject();
            for (auto it = g.begin(); it != g.end(); ++it) {
                const std::string key = it.key().toStdString();
                const auto* const known = std::find_if(std::begin(geometryKeys), std::end(geometryKeys),
                    [&](const GeometryKey& gk) { return key == gk.key; });
                std::string what = where;
                what += ": ";
                what += key;
                if (known == std::end(geometryKeys))
                    fail(what + " is no value of the geometry (d0, a0, b0, S0, L0, Lu, du, Su)");
                if (!it.value().isNull())
                    s.specimen.*(known->value) = positive(it.value(), what);
            }
        }
        s.modulusRange = range(o.value(QStringLiteral("modulus_range")), where + ": modulus_range");
        return s;
    }

private:
    std::string path_;
};

}  // namespace

standard::Options OptionsFor(const SeriesSetup& series)
{
    standard::Options o;
    o.proofPercents = series.proofPercents;
    o.fractureDropPercent = series.fractureDropPercent;
    o.modulus = series.modulus;
    o.modulusRange = series.modulusRange;
    return o;
}

standard::Options OptionsFor(const SeriesSetup& series, const SpecimenSetup& specimen)
{
    standard::Options o = OptionsFor(series);
    o.specimen = specimen.specimen;
    o.id = specimen.id;
    o.material = specimen.material;
    if (specimen.modulusRange)
        o.modulusRange = specimen.modulusRange;
    return o;
}

Evaluation ReadEvaluation(const std::string& path)
{
    const Reader reader(path);
    const QString name = DecodeArgument(path);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        reader.fail("cannot be read: " + file.errorString().toStdString());
    // An evaluation names a few hundred files at most; a file far larger is not one.
    if (file.size() > (64 << 20))
        reader.fail("is too large for an evaluation file");
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (document.isNull())
        reader.fail(
            "is not JSON: " + error.errorString().toStdString() + " at byte " + std::to_string(error.offset));
    const QJsonObject top = document.object();
    if (top.value(QStringLiteral("format")).toString() != QLatin1String(FormatName))
        reader.fail(
            R"(is not an evaluation of Tenso Lab ("format" is not ")" + std::string(FormatName) + "\")");
    if (top.value(QStringLiteral("version")).toInt(-1) != FormatVersion)
        reader.fail("is an evaluation of another version of Tenso Lab (version "
            + std::to_string(top.value(QStringLiteral("version")).toInt(-1)) + ", this one reads "
            + std::to_string(FormatVersion) + ")");

    Evaluation e;
    const QJsonValue settings = top.value(QStringLiteral("settings"));
    if (!settings.isUndefined() && !settings.isObject())
        reader.fail("has settings that are not an object");
    e.series = reader.series(settings.toObject());
    const QJsonValue specimens = top.value(QStringLiteral("specimens"));
    if (!specimens.isArray())
        reader.fail("has no list of specimens");
    const QDir folder = QFileInfo(name).absoluteDir();
    const QJsonArray list = specimens.toArray();
    for (qsizetype k = 0; k < list.size(); ++k)
        e.specimens.push_back(reader.specimen(list[k], static_cast<std::size_t>(k), folder));
    return e;
}

std::string EvaluationText(const Evaluation& evaluation, const std::string& folder)
{
    const QDir dir(DecodeArgument(folder));
    const SeriesSetup& s = evaluation.series;
    std::string t = "{\n  \"format\": \"" + std::string(FormatName)
        + "\",\n  \"version\": " + std::to_string(FormatVersion) + ",\n  \"settings\": {\n    \"proof\": [";
    for (std::size_t k = 0; k < s.proofPercents.size(); ++k)
        t += (k ? ", " : "") + NumberText(s.proofPercents[k]);
    t += "],\n    \"fracture_drop\": " + NumberText(s.fractureDropPercent) + ",\n    \"modulus\": \""
        + methodText(s.modulus) + "\",\n    \"modulus_range\": " + rangeText(s.modulusRange)
        + "\n  },\n  \"specimens\": [";
    for (std::size_t k = 0; k < evaluation.specimens.size(); ++k) {
        const SpecimenSetup& sp = evaluation.specimens[k];
        // Relative, with '/', so that the folder of a series moves with its evaluation.
        const std::string file = EncodeArgument(dir.relativeFilePath(DecodeArgument(sp.file)));
        t += std::string(k ? "," : "") + "\n    {\n      \"file\": " + JsonString(file)
            + ",\n      \"included\": " + (sp.included ? "true" : "false")
            + ",\n      \"id\": " + (sp.id.empty() ? "null" : JsonString(sp.id)) + ",\n      \"material\": "
            + (sp.material.empty() ? "null" : JsonString(sp.material)) + ",\n      \"geometry\": {";
        bool first = true;
        for (const GeometryKey& g : geometryKeys) {
            if (const std::optional<double>& v = sp.specimen.*(g.value)) {
                t += std::string(first ? "" : ", ") + "\"" + g.key + "\": " + NumberText(*v);
                first = false;
            }
        }
        t += "},\n      \"modulus_range\": " + rangeText(sp.modulusRange) + "\n    }";
    }
    t += std::string(evaluation.specimens.empty() ? "" : "\n  ") + "]\n}\n";
    return t;
}

std::string WriteEvaluation(const std::string& path, const Evaluation& evaluation)
{
    const QString name = DecodeArgument(path);
    const QFileInfo info(name);
    const std::string text = EvaluationText(evaluation, EncodeArgument(info.absolutePath()));
    QSaveFile file(name);
    const auto failed = [&](const QString& reason) {
        return common::DisplayName(path) + ": cannot be written: " + reason.toStdString();
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
        return failed(file.errorString());
    if (!file.commit())
        return failed(file.errorString());
    return {};
}

}  // namespace tenso::report
