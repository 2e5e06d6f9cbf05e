#include "help.h"

#include "standard/quantity_table.h"

#include <string>
#include <string_view>

namespace tenso::report {
namespace {

// The words of `text` wrapped to lines of at most `width` characters; the first line starts at
// column `first`, the others after `indent`.
std::string wrap(const std::string& text, std::size_t first, std::size_t width, const std::string& indent)
{
    std::string out;
    std::size_t column = first;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t space = text.find(' ', i);
        if (space == std::string::npos)
            space = text.size();
        const std::string_view word(text.data() + i, space - i);
        i = space + 1;
        if (!out.empty()) {
            if (column + 1 + word.size() > width) {
                out += "\n" + indent;
                column = indent.size();
            } else {
                out += ' ';
                ++column;
            }
        }
        out += word;
        column += word.size();
    }
    return out;
}

// One entry per quantity that has a line of help, from the table every output walks.
std::string quantities()
{
    constexpr std::size_t Width = 92;
    const std::string indent(10, ' ');
    std::string out = "Quantities (ISO 6892-1; R stress in MPa, strain as a fraction or in %):\n";
    for (const standard::Quantity& q : standard::QuantityTable({0.2})) {
        if (q.help.empty())
            continue;
        std::string name = q.id == standard::QuantityId::Rp ? "Rp<x>" : q.symbol;
        std::string meaning = q.id == standard::QuantityId::Rp ? "proof strength" : q.meaning;
        std::string entry = "  " + name + std::string(name.size() < 8 ? 8 - name.size() : 1, ' ');
        const std::string text = meaning + (q.unit.empty() ? "" : " [" + q.unit + "]") + ": " + q.help;
        out += entry + wrap(text, entry.size(), Width, indent) + "\n";
    }
    return out + "\n";
}

const char* const Columns = R"help(
Columns and units:
  Stress comes from --stress, or from the force over S0; strain from --strain, or from the
  extension over L0. Columns are found by a word anywhere in the name: force, load, kraft;
  stress, spannung; strain, dehnung; extension, elongation, displacement, deformation,
  verlängerung, allongement, extensometer; only without these a crosshead column (travel,
  weg, course, stroke, crosshead, traverse, position), with a warning. Names holding true,
  wahre, rate or speed are never taken. Units come from the option, else from the name
  ("Load (kN)", "Force [N]"), else from a units line; without any: N, mm, fraction, MPa.
  A one-word bracket that is no unit ("Force (kp)") is an error when that column is used.
  d0, a0, b0, S0, L0, Lu, du, Su, id and material are read from header lines too ("Gauge
  length,30,mm"); a --specimens row wins over the options, the options over the header.
  Separator and decimal mark are detected (";" or TAB allow decimal commas); a record whose
  force or extension is empty or missing ("nan", "-", "n/a") is skipped.

)help";

const char* const Rest = R"help(Output:
  One CSV row (or JSON object) per file in the order given, then the series statistics over
  the files that gave a value: mean, s (standard deviation, n - 1), CoV % (s / mean), min, max.
  Numbers are written with all the digits a double needs to read back the same.

Exit status:
  0  every file was evaluated
  1  at least one file could not be evaluated (its row holds the error; the others are
     still reported), or the report could not be written
  2  a bad option or no file (one line on standard error, nothing evaluated)
)help";
}  // namespace

QByteArray HelpEpilogue()
{
    return QByteArray(Columns) + QByteArray::fromStdString(quantities()) + QByteArray(Rest);
}

}  // namespace tenso::report
