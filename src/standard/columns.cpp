#include "standard/columns.h"

#include "standard/text.h"
#include "standard/units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>
#include <string_view>

namespace tenso::standard {
namespace {

constexpr std::array<std::string_view, 3> ForceWords {"force", "load", "kraft"};
constexpr std::array<std::string_view, 2> StressWords {"stress", "spannung"};
constexpr std::array<std::string_view, 2> StrainWords {"strain", "dehnung"};
constexpr std::array<std::string_view, 7> ExtensionWords {"extension", "elongation", "displacement",
    "deformation", "verl\xC3\xA4ngerung", "allongement", "extensometer"};
// The machine's own travel: a strain from it includes the stretch of the frame and the grips.
constexpr std::array<std::string_view, 8> CrossheadWords {
    "travel", "weg", "course", "stroke", "crosshead", "cross-head", "traverse", "position"};
// True values and rates are not what the standard evaluates.
constexpr std::array<std::string_view, 6> NeverWords {
    "true", "wahre", "rate", "speed", "geschwindigkeit", "vitesse"};

template <std::size_t N> bool holdsAny(std::string_view folded, const std::array<std::string_view, N>& words)
{
    return std::ranges::any_of(words, [&](std::string_view w) { return HoldsWord(folded, w); });
}

// The unit at the end of a column name: a unit of the tables, or a one-word text that is meant as
// one ("kp"), which is then an unknown unit. A bracketed text with a blank ("Strain 1") is part of
// the name.
std::string_view nameUnit(std::string_view name)
{
    const std::string_view unit = SplitName(name).unit;
    if (unit.empty() || FindUnit(unit) || unit.find_first_of(" \t") == std::string_view::npos)
        return unit;
    return {};
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string columnText(const ExportLayout& layout, std::size_t index)
{
    std::string text = "column " + std::to_string(index + 1);
    if (index < layout.names.size() && !layout.names[index].empty())
        text += " " + quoted(layout.names[index]);
    return text;
}

bool allDigits(std::string_view s)
{
    return !s.empty() && std::ranges::all_of(s, [](char c) { return c >= '0' && c <= '9'; });
}

// A column given by option: its number from 1, or its name with or without the unit.
std::optional<std::size_t> byOption(
    Subject subject, const std::string& value, const ExportLayout& layout, std::optional<Problem>& problem)
{
    if (allDigits(value)) {
        std::size_t number = 0;
        for (char c : value) {
            number = number * 10 + static_cast<std::size_t>(c - '0');
            if (number > layout.fieldCount)
                break;
        }
        if (number == 0 || number > layout.fieldCount) {
            problem = Problem {
                Problem::Kind::NoSuchColumnNumber, subject, value, layout.dataLine, layout.fieldCount};
            return std::nullopt;
        }
        return number - 1;
    }
    const std::string wanted = FoldCase(value);
    for (std::size_t i = 0; i < layout.names.size(); ++i) {
        const std::string& name = layout.names[i];
        if (name.empty())
            continue;
        if ((!nameUnit(name).empty() && FoldCase(SplitName(name).name) == wanted) || FoldCase(name) == wanted)
            return i;
    }
    problem = Problem {Problem::Kind::NoColumnNamed, subject, value, layout.namesLine};
    return std::nullopt;
}

enum class Kind { None, Force, Stress, Strain, Extension, Crosshead };

// The unit of a column as far as its kind goes: the name's, else the units line's.
std::optional<UnitKind> unitKind(const ExportLayout& layout, std::size_t column)
{
    std::string_view text;
    if (column < layout.names.size())
        text = nameUnit(layout.names[column]);
    if (text.empty() && column < layout.units.size())
        text = layout.units[column];
    if (const std::optional<Unit> unit = FindUnit(text))
        return unit->kind;
    return std::nullopt;
}

// What a column holds by its name, and by its unit where that says another kind: "Strain1 (mm)"
// is an extension.
Kind kindOf(const ExportLayout& layout, std::size_t column)
{
    const std::string name = FoldCase(layout.names[column]);
    if (name.empty() || holdsAny(name, NeverWords))
        return Kind::None;
    Kind kind = holdsAny(name, ForceWords) ? Kind::Force
        : holdsAny(name, StressWords)      ? Kind::Stress
        : holdsAny(name, StrainWords)      ? Kind::Strain
        : holdsAny(name, ExtensionWords)   ? Kind::Extension
        : holdsAny(name, CrossheadWords)   ? Kind::Crosshead
                                           : Kind::None;
    if (kind == Kind::None)
        return kind;
    const std::optional<UnitKind> unit = unitKind(layout, column);
    if (!unit)
        return kind;
    switch (*unit) {
    case UnitKind::Force:
        return Kind::Force;
    case UnitKind::Stress:
        return Kind::Stress;
    case UnitKind::Strain:
        return Kind::Strain;
    case UnitKind::Extension:
        return kind == Kind::Crosshead ? Kind::Crosshead : Kind::Extension;
    case UnitKind::Time:
        return Kind::None;
    }
    return kind;
}

bool firstWordIsOneOf(const std::string& folded, std::span<const std::string_view> words)
{
    const std::size_t end = folded.find_first_of(" \t_-./:=([");
    const std::string_view first = std::string_view(folded).substr(0, end);
    return std::ranges::find(words, first) != words.end();
}

// The column of a kind found by name: of several, one whose first word is a search word
// ("Displacement" before "Machine Displacement"), then the one further left; among crosshead
// columns, the one holding the earlier word of the list.
std::optional<std::size_t> byKind(
    const ExportLayout& layout, Kind kind, std::span<const std::string_view> words)
{
    std::optional<std::size_t> best;
    std::size_t bestRank = SIZE_MAX;
    for (std::size_t i = 0; i < layout.names.size() && i < layout.fieldCount; ++i) {
        if (kindOf(layout, i) != kind)
            continue;
        const std::string name = FoldCase(layout.names[i]);
        std::size_t rank = 0;
        if (kind == Kind::Crosshead) {
            rank = static_cast<std::size_t>(std::ranges::find_if(words, [&](std::string_view w) {
                return HoldsWord(name, w);
            }) - words.begin());
        } else {
            rank = firstWordIsOneOf(name, words) ? 0 : 1;
        }
        if (rank < bestRank) {
            best = i;
            bestRank = rank;
        }
    }
    return best;
}

// Whether the strain of an extension column comes from the crosshead: its name holds a crosshead
// word and no word of an extensometer.
bool isCrosshead(const ExportLayout& layout, std::size_t column)
{
    if (column >= layout.names.size())
        return false;
    const std::string name = FoldCase(layout.names[column]);
    return holdsAny(name, CrossheadWords) && !holdsAny(name, ExtensionWords);
}

std::string columnName(const ExportLayout& layout, std::size_t index)
{
    return index < layout.names.size() ? layout.names[index] : std::string();
}

// The factor of a column's unit: the option's, else the one at the end of its name, else the units
// line's, else 1.
std::optional<Problem> unitFactor(UnitKind kind, Subject subject, std::size_t column,
    const ExportLayout& layout, const std::string& optionText, double& factor)
{
    if (!optionText.empty()) {
        const std::optional<Unit> unit = FindUnit(optionText);
        if (!unit || unit->kind != kind)
            return Problem {Problem::Kind::UnitNotOfKind, subject, optionText};
        factor = unit->factor;
        return std::nullopt;
    }
    std::string_view text;
    std::size_t line = 0;
    if (column < layout.names.size() && !nameUnit(layout.names[column]).empty()) {
        text = nameUnit(layout.names[column]);
    } else if (column < layout.units.size() && !layout.units[column].empty()) {
        text = layout.units[column];
        line = layout.unitsLine;
    } else {
        factor = 1;
        return std::nullopt;
    }
    const std::optional<Unit> unit = FindUnit(text);
    if (!unit || unit->kind != kind) {
        Problem p {unit ? Problem::Kind::UnitOfAnotherKind : Problem::Kind::UnknownUnit, subject,
            std::string(text), line};
        p.column = column;
        p.columnName = columnName(layout, column);
        if (unit)
            p.other = unit->kind;
        return p;
    }
    factor = unit->factor;
    return std::nullopt;
}

std::optional<Problem> checkPositive(const std::optional<double>& value, Subject subject)
{
    if (value && !(std::isfinite(*value) && *value > 0)) {
        Problem p {Problem::Kind::NotPositive, subject};
        p.number = *value;
        return p;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Problem> CheckSpecimen(const Specimen& s, SpecimenValues& values)
{
    using Kind = Problem::Kind;
    values = {};
    const std::array<std::pair<const std::optional<double>*, Subject>, 8> all {{
        {&s.d0, Subject::d0},
        {&s.b0, Subject::b0},
        {&s.a0, Subject::a0},
        {&s.S0, Subject::S0},
        {&s.L0, Subject::L0},
        {&s.Lu, Subject::Lu},
        {&s.du, Subject::du},
        {&s.Su, Subject::Su},
    }};
    for (const auto& [value, subject] : all)
        if (std::optional<Problem> problem = checkPositive(*value, subject))
            return problem;
    const int forms = (s.d0 ? 1 : 0) + (s.a0 || s.b0 ? 1 : 0) + (s.S0 ? 1 : 0);
    if (forms > 1)
        return Problem {Kind::TwoCrossSections};
    if (s.b0 && !s.a0)
        return Problem {Kind::WidthWithoutThickness};
    if (s.a0 && !s.b0)
        return Problem {Kind::ThicknessWithoutWidth};
    if (s.d0)
        values.S0 = std::numbers::pi / 4 * (*s.d0 * *s.d0);
    else if (s.a0)
        values.S0 = *s.a0 * *s.b0;
    else
        values.S0 = s.S0;
    const auto outOfRange = [](Subject subject, double area) {
        Problem p {Kind::OutOfRange, subject};
        p.number = area;
        return p;
    };
    if (values.S0 && !(std::isfinite(*values.S0) && *values.S0 > 0))
        return outOfRange(Subject::S0, *values.S0);
    values.L0 = s.L0;
    if (s.Lu && !s.L0)
        return Problem {Kind::LuWithoutL0};
    if (s.du && s.Su)
        return Problem {Kind::TwoFinalCrossSections};
    if ((s.du || s.Su) && !values.S0)
        return Problem {Kind::FinalWithoutCrossSection, s.du ? Subject::du : Subject::Su};
    if (s.du)
        values.Su = std::numbers::pi / 4 * (*s.du * *s.du);
    else
        values.Su = s.Su;
    if (values.Su && !(std::isfinite(*values.Su) && *values.Su > 0))
        return outOfRange(Subject::Su, *values.Su);
    return std::nullopt;
}

Plan MakePlan(const ExportLayout& layout, const Options& options)
{
    Plan plan;
    std::optional<std::size_t> force, extension, strain, stress;
    const std::pair<const std::string*, std::optional<std::size_t>*> given[] = {
        {&options.forceColumn, &force},
        {&options.extensionColumn, &extension},
        {&options.strainColumn, &strain},
        {&options.stressColumn, &stress},
    };
    const Subject subjects[]
        = {Subject::ForceColumn, Subject::ExtensionColumn, Subject::StrainColumn, Subject::StressColumn};
    for (std::size_t k = 0; k < std::size(given); ++k) {
        const auto& [text, column] = given[k];
        if (!text->empty() && !(*column = byOption(subjects[k], *text, layout, plan.problem)))
            return plan;
    }

    const std::optional<Problem> specimenProblem = CheckSpecimen(options.specimen, plan.specimen);
    const bool crossSection = !specimenProblem && plan.specimen.S0.has_value();
    const std::optional<std::size_t> namedForce = byKind(layout, Kind::Force, ForceWords);
    const std::optional<std::size_t> namedStress = byKind(layout, Kind::Stress, StressWords);
    const std::optional<std::size_t> namedStrain = byKind(layout, Kind::Strain, StrainWords);
    std::optional<std::size_t> namedExtension = byKind(layout, Kind::Extension, ExtensionWords);
    if (!namedExtension)
        namedExtension = byKind(layout, Kind::Crosshead, CrossheadWords);

    ColumnPlan c;
    if (stress) {
        c.stressColumn = *stress;
    } else if (force) {
        c.stressColumn = *force;
        c.stressFromForce = true;
    } else if (namedForce && (crossSection || !namedStress)) {
        // A named force column wins over a named stress column only when the cross-section is known.
        c.stressColumn = *namedForce;
        c.stressFromForce = true;
    } else if (namedStress) {
        c.stressColumn = *namedStress;
    } else {
        plan.problem = Problem {Problem::Kind::NoStressColumn};
        return plan;
    }
    if (strain) {
        c.strainColumn = *strain;
    } else if (extension) {
        c.strainColumn = *extension;
        c.strainFromExtension = true;
    } else if (namedStrain) {
        c.strainColumn = *namedStrain;
    } else if (namedExtension) {
        c.strainColumn = *namedExtension;
        c.strainFromExtension = true;
    } else {
        plan.problem = Problem {Problem::Kind::NoStrainColumn};
        return plan;
    }
    c.stressName = columnText(layout, c.stressColumn);
    c.strainName = columnText(layout, c.strainColumn);
    c.strainFromCrosshead = c.strainFromExtension && isCrosshead(layout, c.strainColumn);
    c.strainColumnName = columnName(layout, c.strainColumn);
    plan.columns = c;

    plan.problem = c.stressFromForce ? unitFactor(UnitKind::Force, Subject::ForceUnit, c.stressColumn, layout,
                       options.forceUnit, plan.columns->stressFactor)
                                     : unitFactor(UnitKind::Stress, Subject::StressUnit, c.stressColumn,
                                         layout, options.stressUnit, plan.columns->stressFactor);
    if (!plan.problem)
        plan.problem = c.strainFromExtension
            ? unitFactor(UnitKind::Extension, Subject::ExtensionUnit, c.strainColumn, layout,
                options.extensionUnit, plan.columns->strainFactor)
            : unitFactor(UnitKind::Strain, Subject::StrainUnit, c.strainColumn, layout, options.strainUnit,
                plan.columns->strainFactor);
    if (plan.problem)
        return plan;
    plan.columns->stressUserFactor = c.stressFromForce ? options.forceFactor : options.stressFactor;
    plan.columns->strainUserFactor = c.strainFromExtension ? options.extensionFactor : options.strainFactor;

    if (specimenProblem) {
        plan.problem = specimenProblem;
    } else if (c.stressFromForce && !plan.specimen.S0) {
        plan.problem = Problem {Problem::Kind::NoCrossSection};
        plan.problem->column = c.stressColumn;
        plan.problem->columnName = columnName(layout, c.stressColumn);
    } else if (c.strainFromExtension && !plan.specimen.L0) {
        plan.problem = Problem {Problem::Kind::NoGaugeLength};
        plan.problem->column = c.strainColumn;
        plan.problem->columnName = columnName(layout, c.strainColumn);
    }
    return plan;
}

}  // namespace tenso::standard
