// The CSV report: a header with each column's unit, one row per file, then the statistics rows.
#include "fields.h"
#include "report_formats.h"

namespace tenso::report {
namespace {

std::string cell(const standard::Value& v) { return ValueText(v).value_or(std::string()); }

// The rows of the table that are CSV columns.
std::vector<standard::Quantity> columns(const std::vector<double>& proofPercents)
{
    std::vector<standard::Quantity> table = standard::QuantityTable(proofPercents);
    std::erase_if(table, [](const standard::Quantity& q) { return !q.csv; });
    return table;
}

class CsvWriter : public ReportWriter {
public:
    CsvWriter(const std::vector<double>& proofPercents, bool withIncluded)
        : table_(columns(proofPercents))
        , leading_(withIncluded ? 5 : 4)
    { }

    std::string Begin() override
    {
        std::vector<std::string> header = {"file", "id", "material", "error"};
        if (leading_ == 5)
            header.insert(header.begin() + 1, "included");
        for (const standard::Quantity& q : table_)
            header.push_back(q.Heading());
        header.emplace_back("warnings");
        header.emplace_back("notes");
        return row(header);
    }

    std::string Write(const standard::Result& r, bool included) override
    {
        std::vector<std::string> cells;
        cells.reserve(table_.size() + leading_ + 2);
        cells.push_back(r.file);
        if (leading_ == 5)
            cells.emplace_back(included ? "true" : "false");
        cells.push_back(r.id.value_or(std::string()));
        cells.push_back(r.material.value_or(std::string()));
        cells.push_back(r.error.value_or(std::string()));
        for (const standard::Quantity& q : table_)
            cells.push_back(cell(q.value(r)));
        cells.push_back(joined(r.warnings));
        cells.push_back(joined(r.notes));
        return row(cells);
    }

    // The statistics rows fill the columns of their quantities.
    std::string End(const standard::Statistics& statistics) override
    {
        using Member = std::optional<double> standard::Statistic::*;
        const std::pair<const char*, Member> rows[] = {{"mean", &standard::Statistic::mean},
            {"s", &standard::Statistic::s}, {"CoV %", &standard::Statistic::CoV},
            {"min", &standard::Statistic::min}, {"max", &standard::Statistic::max}};
        std::string out;
        for (const auto& [label, member] : rows) {
            std::vector<std::string> cells(table_.size() + leading_ + 2);
            cells[0] = label;
            for (std::size_t c = 0; c < table_.size(); ++c) {
                if (!table_[c].statistics)
                    continue;
                if (const standard::Statistic* s = standard::FindStatistic(statistics, table_[c].symbol))
                    if (const std::optional<double>& v = s->*member)
                        cells[c + leading_] = NumberText(*v);
            }
            out += row(cells);
        }
        return out;
    }

private:
    static std::string joined(const std::vector<std::string>& sentences)
    {
        std::string text;
        for (const std::string& s : sentences)
            text += (text.empty() ? "" : "; ") + s;
        return text;
    }

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

    std::vector<standard::Quantity> table_;
    std::size_t leading_;  // file, (included,) id, material, error
};

}  // namespace

std::unique_ptr<ReportWriter> MakeCsvWriter(const std::vector<double>& proofPercents, bool withIncluded)
{
    return std::make_unique<CsvWriter>(proofPercents, withIncluded);
}

}  // namespace tenso::report
