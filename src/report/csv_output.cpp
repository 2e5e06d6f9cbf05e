// The CSV report: a header with each column's unit, one row per file, then the statistics rows.
#include "output_formats.h"
#include "text.h"

#include <map>

namespace tenso::report {
namespace {

std::string number(const std::optional<double>& v) { return v ? NumberText(*v) : std::string(); }
std::string count(const std::optional<std::size_t>& v) { return v ? std::to_string(*v) : std::string(); }

class CsvWriter : public ReportWriter {
public:
    explicit CsvWriter(std::vector<std::string> proofKeys)
        : proofKeys_(std::move(proofKeys))
    {
        header_ = {"file", "error", "records", "skipped", "S0 [mm²]", "L0 [mm]", "E [GPa]", "E lo [MPa]",
            "E hi [MPa]", "E points", "E r2", "E pass", "e0 [-]", "ReH [MPa]", "ReL [MPa]", "Ae [%]"};
        for (const std::string& key : proofKeys_) {
            header_.push_back("Rp" + key + " [MPa]");
            header_.push_back("Rp" + key + " strain [-]");
        }
        for (const char* name : {"Rm [MPa]", "Fm [kN]", "Agt [%]", "Ag [%]", "Rf [MPa]", "At [%]", "A [%]",
                 "A from curve", "Z [%]", "notes"})
            header_.emplace_back(name);
        // The statistics rows fill the quantity's column: the one headed by its name and unit.
        std::vector<std::string> quantities = {"E", "ReH", "ReL", "Ae"};
        for (const std::string& key : proofKeys_)
            quantities.push_back("Rp" + key);
        quantities.insert(quantities.end(), {"Rm", "Fm", "Agt", "Ag", "Rf", "At", "A", "Z"});
        for (const std::string& name : quantities)
            for (std::size_t c = 0; c < header_.size(); ++c)
                if (header_[c].compare(0, name.size() + 2, name + " [") == 0)
                    statisticColumn_[name] = c;
    }

    std::string Begin() override { return row(header_); }

    std::string Write(const standard::Result& r) override
    {
        std::vector<std::string> cells;
        cells.reserve(header_.size());
        const standard::ModulusFit* fit = r.E ? &*r.E : nullptr;
        cells = {r.file, r.error.value_or(std::string()), count(r.records), count(r.skipped), number(r.S0),
            number(r.L0), fit ? NumberText(fit->GPa) : std::string(),
            fit ? NumberText(fit->lo) : std::string(), fit ? NumberText(fit->hi) : std::string(),
            fit ? std::to_string(fit->points) : std::string(), fit ? NumberText(fit->r2) : std::string(),
            fit ? std::to_string(fit->pass) : std::string(), number(r.e0), number(r.ReH), number(r.ReL),
            number(r.Ae)};
        for (std::size_t k = 0; k < proofKeys_.size(); ++k) {
            const standard::ProofResult* proof = k < r.Rp.size() ? &r.Rp[k] : nullptr;
            cells.push_back(proof ? number(proof->MPa) : std::string());
            cells.push_back(proof ? number(proof->strain) : std::string());
        }
        for (const std::optional<double>* v : {&r.Rm, &r.Fm, &r.Agt, &r.Ag, &r.Rf, &r.At, &r.A})
            cells.push_back(number(*v));
        cells.emplace_back(r.A_from_curve ? (*r.A_from_curve ? "true" : "false") : "");
        cells.push_back(number(r.Z));
        std::string notes;
        for (const std::string& note : r.notes)
            notes += (notes.empty() ? "" : "; ") + note;
        cells.push_back(notes);
        return row(cells);
    }

    std::string End(const Statistics& statistics) override
    {
        using Member = std::optional<double> standard::Statistic::*;
        const std::pair<const char*, Member> rows[] = {{"mean", &standard::Statistic::mean},
            {"s", &standard::Statistic::s}, {"CoV %", &standard::Statistic::CoV},
            {"min", &standard::Statistic::min}, {"max", &standard::Statistic::max}};
        std::string out;
        for (const auto& [label, member] : rows) {
            std::vector<std::string> cells(header_.size());
            cells[0] = label;
            for (const auto& [name, statistic] : statistics) {
                const auto column = statisticColumn_.find(name);
                if (column != statisticColumn_.end())
                    cells[column->second] = number(statistic.*member);
            }
            out += row(cells);
        }
        return out;
    }

private:
    static std::string row(const std::vector<std::string>& cells)
    {
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c > 0)
                line += ',';
            line += CsvField(cells[c]);
        }
        return line + "\r\n";
    }

    std::vector<std::string> proofKeys_;
    std::vector<std::string> header_;
    std::map<std::string, std::size_t> statisticColumn_;
};

}  // namespace

std::unique_ptr<ReportWriter> MakeCsvWriter(std::vector<std::string> proofKeys)
{
    return std::make_unique<CsvWriter>(std::move(proofKeys));
}

}  // namespace tenso::report
