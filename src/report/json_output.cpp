// The JSON report: an array of one object per file, one line each, then the statistics object.
#include "output_formats.h"
#include "text.h"

namespace tenso::report {
namespace {

std::string number(const std::optional<double>& v)
{
    const std::string text = v ? NumberText(*v) : std::string();
    return text.empty() ? "null" : text;
}

std::string count(const std::optional<std::size_t>& v) { return v ? std::to_string(*v) : "null"; }

std::string modulus(const std::optional<standard::ModulusFit>& fit)
{
    if (!fit)
        return "null";
    return "{\"GPa\": " + number(fit->GPa) + ", \"lo\": " + number(fit->lo) + ", \"hi\": " + number(fit->hi)
        + ", \"points\": " + std::to_string(fit->points) + ", \"r2\": " + number(fit->r2)
        + ", \"pass\": " + std::to_string(fit->pass) + "}";
}

class JsonWriter : public ReportWriter {
public:
    explicit JsonWriter(std::vector<std::string> proofKeys)
        : proofKeys_(std::move(proofKeys))
    { }

    std::string Begin() override { return "[\n"; }

    std::string Write(const standard::Result& r) override
    {
        const bool failed = r.error.has_value();
        std::string o = "  {\"file\": " + JsonString(r.file);
        o += ", \"error\": " + (failed ? JsonString(*r.error) : std::string("null"));
        o += ", \"records\": " + count(r.records) + ", \"skipped\": " + count(r.skipped);
        o += ", \"S0\": " + number(r.S0) + ", \"L0\": " + number(r.L0);
        o += ", \"E\": " + modulus(r.E) + ", \"e0\": " + number(r.e0);
        o += ", \"ReH\": " + number(r.ReH) + ", \"ReL\": " + number(r.ReL) + ", \"Ae\": " + number(r.Ae);
        o += ", \"Rp\": ";
        if (failed) {
            o += "null";
        } else {
            o += '{';
            for (std::size_t k = 0; k < proofKeys_.size(); ++k) {
                const standard::ProofResult* proof = k < r.Rp.size() ? &r.Rp[k] : nullptr;  // --proof order
                o += (k > 0 ? ", " : "") + JsonString(proofKeys_[k])
                    + ": {\"MPa\": " + (proof ? number(proof->MPa) : "null")
                    + ", \"strain\": " + (proof ? number(proof->strain) : "null") + "}";
            }
            o += '}';
        }
        o += ", \"Rm\": " + number(r.Rm) + ", \"Fm\": " + number(r.Fm) + ", \"Agt\": " + number(r.Agt)
            + ", \"Ag\": " + number(r.Ag) + ", \"Rf\": " + number(r.Rf) + ", \"At\": " + number(r.At)
            + ", \"A\": " + number(r.A);
        o += ", \"A_from_curve\": ";
        o += r.A_from_curve ? (*r.A_from_curve ? "true" : "false") : "null";
        o += ", \"Z\": " + number(r.Z) + ", \"notes\": [";
        for (std::size_t k = 0; k < r.notes.size(); ++k)
            o += (k > 0 ? ", " : "") + JsonString(r.notes[k]);
        o += "]},\n";
        return o;
    }

    std::string End(const Statistics& statistics) override
    {
        std::string o = "  {\"statistics\": {";
        bool first = true;
        for (const auto& [name, s] : statistics) {
            o += (first ? "\n    " : ",\n    ") + JsonString(name) + ": {\"n\": " + std::to_string(s.n)
                + ", \"mean\": " + number(s.mean) + ", \"s\": " + number(s.s) + ", \"CoV\": " + number(s.CoV)
                + ", \"min\": " + number(s.min) + ", \"max\": " + number(s.max) + "}";
            first = false;
        }
        return o + "\n  }}\n]\n";
    }

private:
    std::vector<std::string> proofKeys_;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeJsonWriter(std::vector<std::string> proofKeys)
{
    return std::make_unique<JsonWriter>(std::move(proofKeys));
}

}  // namespace tenso::report
