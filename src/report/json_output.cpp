// The JSON report: an array of one object per file, one line each, then the statistics object.
#include "fields.h"
#include "report_formats.h"

#include <algorithm>
#include <cstdint>

namespace tenso::report {
namespace {

std::string number(const std::optional<double>& v)
{
    const std::string text = v ? NumberText(*v) : std::string();
    return text.empty() ? "null" : text;
}

std::string json(const standard::Value& v)
{
    if (const std::string* word = std::get_if<std::string>(&v))
        return JsonString(*word);
    const std::optional<std::string> text = ValueText(v);
    return text && !text->empty() ? *text : "null";  // none, or a number that is not finite
}

class JsonWriter : public ReportWriter {
public:
    JsonWriter(const std::vector<double>& proofPercents, bool withIncluded)
        : table_(standard::QuantityTable(proofPercents))
        , withIncluded_(withIncluded)
    { }

    std::string Begin() override { return "[\n"; }

    // The table's values in its order; the modulus fit's members nest in "E" (null without a fit),
    // SDAR's metrics in "sdar" within it (null unless E is by SDAR), each proof strength's in its key
    // under "Rp" (null for a failed file).
    std::string Write(const standard::Result& r, bool included) override
    {
        const auto text
            = [](const std::optional<std::string>& t) { return t ? JsonString(*t) : std::string("null"); };
        std::string o = "  {\"file\": " + JsonString(r.file);
        if (withIncluded_)
            o += std::string(", \"included\": ") + (included ? "true" : "false");
        o += ", \"id\": " + text(r.id) + ", \"material\": " + text(r.material);
        o += ", \"error\": " + (r.error ? JsonString(*r.error) : std::string("null"));
        for (std::size_t i = 0; i < table_.size();) {
            const standard::Group group = table_[i].group;
            if (group == standard::Group::Top) {
                o += ", " + JsonString(table_[i].key) + ": " + json(table_[i].value(r));
                ++i;
                continue;
            }
            const std::size_t end = runEnd(i, [&](const standard::Quantity& q) { return q.group == group; });
            if (group == standard::Group::E) {
                // SDAR's metrics follow the fit's members in the table and nest in its object.
                const std::size_t sdarFirst = end;
                const std::size_t sdarEnd = runEnd(
                    sdarFirst, [](const standard::Quantity& q) { return q.group == standard::Group::Sdar; });
                std::string fit = "null";
                if (r.E) {
                    fit = object(i, end, r);
                    fit.pop_back();
                    fit += ", \"sdar\": " + (r.E->sdar ? object(sdarFirst, sdarEnd, r) : std::string("null"))
                        + "}";
                }
                o += ", \"E\": " + fit;
                i = sdarEnd;
                continue;
            }
            if (r.error) {
                o += ", \"Rp\": null";
            } else {
                o += ", \"Rp\": {";
                for (std::size_t k = i; k < end;) {
                    const std::size_t proof = table_[k].proof;
                    const std::size_t next = runEnd(
                        k, [&](const standard::Quantity& q) { return q.proof == proof; }, end);
                    o += (k > i ? ", " : "") + JsonString(table_[k].proofKey) + ": " + object(k, next, r);
                    k = next;
                }
                o += '}';
            }
            i = end;
        }
        o += ", \"warnings\": " + (r.error ? std::string("null") : list(r.warnings));
        o += ", \"notes\": " + list(r.notes) + "},\n";
        return o;
    }

    std::string End(const standard::Statistics& statistics) override
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
    // The end of the run of rows from `first` (before `limit`) for which `same` holds.
    template <typename Same>
    std::size_t runEnd(std::size_t first, const Same& same, std::size_t limit = SIZE_MAX) const
    {
        std::size_t end = first;
        while (end < std::min(limit, table_.size()) && same(table_[end]))
            ++end;
        return end;
    }

    static std::string list(const std::vector<std::string>& sentences)
    {
        std::string o = "[";
        for (std::size_t k = 0; k < sentences.size(); ++k)
            o += (k > 0 ? ", " : "") + JsonString(sentences[k]);
        return o + "]";
    }

    // {"key": value, ...} of the rows [first, end).
    std::string object(std::size_t first, std::size_t end, const standard::Result& r) const
    {
        std::string o = "{";
        for (std::size_t k = first; k < end; ++k)
            o += (k > first ? ", " : "") + JsonString(table_[k].key) + ": " + json(table_[k].value(r));
        return o + "}";
    }

    std::vector<standard::Quantity> table_;
    bool withIncluded_;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeJsonWriter(const std::vector<double>& proofPercents, bool withIncluded)
{
    return std::make_unique<JsonWriter>(proofPercents, withIncluded);
}

}  // namespace tenso::report
