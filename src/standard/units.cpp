#include "standard/units.h"

#include "standard/text.h"

#include <array>

namespace tenso::standard {
namespace {

struct UnitEntry {
    std::string_view text;  // folded, with µ as u, ε as e, ² as 2
    Unit unit;
};

constexpr std::array<UnitEntry, 33> Units {{
    {"n", {UnitKind::Force, 1}},
    {"dan", {UnitKind::Force, 10}},
    {"kn", {UnitKind::Force, 1000}},
    {"mn", {UnitKind::Force, 1e6}},
    {"kgf", {UnitKind::Force, 9.80665}},
    {"lbf", {UnitKind::Force, 4.4482216152605}},
    {"kip", {UnitKind::Force, 4448.2216152605}},
    {"mm", {UnitKind::Extension, 1}},
    {"um", {UnitKind::Extension, 0.001}},
    {"cm", {UnitKind::Extension, 10}},
    {"m", {UnitKind::Extension, 1000}},
    {"in", {UnitKind::Extension, 25.4}},
    {"mm/mm", {UnitKind::Strain, 1}},
    {"m/m", {UnitKind::Strain, 1}},
    {"in/in", {UnitKind::Strain, 1}},
    {"-", {UnitKind::Strain, 1}},
    {"%", {UnitKind::Strain, 0.01}},
    {"ue", {UnitKind::Strain, 1e-6}},
    {"um/m", {UnitKind::Strain, 1e-6}},
    {"microstrain", {UnitKind::Strain, 1e-6}},
    {"mpa", {UnitKind::Stress, 1}},
    {"n/mm2", {UnitKind::Stress, 1}},
    {"kpa", {UnitKind::Stress, 0.001}},
    {"gpa", {UnitKind::Stress, 1000}},
    {"kgf/mm2", {UnitKind::Stress, 9.80665}},
    {"ksi", {UnitKind::Stress, 6.894757293168}},
    {"psi", {UnitKind::Stress, 0.006894757293168}},
    {"s", {UnitKind::Time, 1}},
    {"sec", {UnitKind::Time, 1}},
    {"ms", {UnitKind::Time, 1}},
    {"min", {UnitKind::Time, 1}},
    {"h", {UnitKind::Time, 1}},
}};

// The folded spelling that the table holds.
std::string normalise(std::string_view text)
{
    const std::string folded = FoldCase(text);
    std::string out;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const std::string_view rest = std::string_view(folded).substr(i);
        if (rest.starts_with("\xC2\xB5") || rest.starts_with("\xCE\xBC")) {  // µ, μ
            out += 'u';
            ++i;
        } else if (rest.starts_with("\xCE\xB5")) {  // ε
            out += 'e';
            ++i;
        } else if (rest.starts_with("\xC2\xB2") || rest.starts_with("^2")) {  // ², ^2
            out += '2';
            ++i;
        } else {
            out += folded[i];
        }
    }
    return out;
}

}  // namespace

std::optional<Unit> FindUnit(std::string_view text)
{
    text = TrimBlanks(text);
    if (text.size() >= 2
        && ((text.front() == '[' && text.back() == ']') || (text.front() == '(' && text.back() == ')')))
        text = TrimBlanks(text.substr(1, text.size() - 2));
    if (text.empty() || text.size() > 32)
        return std::nullopt;
    const std::string key = normalise(text);
    for (const UnitEntry& entry : Units)
        if (entry.text == key)
            return entry.unit;
    return std::nullopt;
}

NameAndUnit SplitName(std::string_view columnName)
{
    const std::string_view name = TrimBlanks(columnName);
    if (name.empty())
        return {name, {}};
    const char close = name.back();
    const char open = close == ')' ? '(' : close == ']' ? '[' : '\0';
    if (open == '\0')
        return {name, {}};
    const auto at = name.rfind(open);
    if (at == std::string_view::npos)
        return {name, {}};
    return {TrimBlanks(name.substr(0, at)), TrimBlanks(name.substr(at + 1, name.size() - at - 2))};
}

std::string_view KindName(UnitKind kind)
{
    switch (kind) {
    case UnitKind::Force:
        return "force";
    case UnitKind::Extension:
        return "extension";
    case UnitKind::Strain:
        return "strain";
    case UnitKind::Stress:
        return "stress";
    case UnitKind::Time:
        return "time";
    }
    return "";
}

std::string_view UnitList(UnitKind kind)
{
    switch (kind) {
    case UnitKind::Force:
        return "N, daN, kN, MN, kgf, lbf, kip";
    case UnitKind::Extension:
        return "mm, \xC2\xB5m, cm, m, in";
    case UnitKind::Strain:
        return "mm/mm, m/m, in/in, -, %, \xC2\xB5\xCE\xB5, ue, \xC2\xB5m/m, microstrain";
    case UnitKind::Stress:
        return "MPa, N/mm\xC2\xB2, kPa, GPa, kgf/mm\xC2\xB2, ksi, psi";
    case UnitKind::Time:
        return "s, sec, ms, min, h";
    }
    return "";
}

}  // namespace tenso::standard
