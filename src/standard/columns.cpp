#include "standard/columns.h"

#include "standard/text.h"
#include "standard/units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

namespace tenso::standard {
namespace {

constexpr std::array<std::string_view, 3> ForceWords {"force", "load", "kraft"};
constexpr std::array<std::string_view, 5> ExtensionWords {
    "extension", "elongation", "displacement", "deformation", "verl\xC3\xA4ngerung"};
constexpr std::array<std::string_view, 2> StrainWords {"strain", "dehnung"};
constexpr std::array<std::string_view, 2> StressWords {"stress", "spannung"};

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
    std::string_view option, const std::string& value, const ExportLayout& layout, std::string& error)
{
    if (allDigits(value)) {
        std::size_t number = 0;
        for (char c : value) {
            number = number * 10 + static_cast<std::size_t>(c - '0');
            if (number > layout.fieldCount)
                break;
        }
        if (number == 0 || number > layout.fieldCount) {
            error = std::string(option) + " " + value
                + ": there is no such column; the first data line (line " + std::to_string(layout.dataLine)
                + ") has " + std::to_string(layout.fieldCount) + " fields";
            return std::nullopt;
        }
        return number - 1;
    }
    const std::string wanted = FoldCase(value);
    for (std::size_t i = 0; i < layout.names.size(); ++i) {
        const std::string& name = layout.names[i];
        if (name.empty())
            continue;
        if (FoldCase(SplitName(name).name) == wanted || FoldCase(name) == wanted)
            return i;
    }
    error = std::string(option) + " " + quoted(value) + ": no column has that name";
    error += layout.namesLine == 0 ? " (the file has no names line; give the column's number)"
                                   : " (the names are on line " + std::to_string(layout.namesLine) + ")";
    return std::nullopt;
}

template <std::size_t N>
std::optional<std::size_t> byWords(const ExportLayout& layout, const std::array<std::string_view, N>& words)
{
    for (std::size_t i = 0; i < layout.names.size() && i < layout.fieldCount; ++i) {
        const std::string name = FoldCase(layout.names[i]);
        for (std::string_view word : words)
            if (StartsWithFolded(name, word))
                return i;
    }
    return std::nullopt;
}

// The factor of a column's unit: the option's, else the one at the end of its name, else the units
// line's, else 1. `other` names what would take the column if it holds another quantity.
std::string unitFactor(UnitKind kind, std::size_t column, const ExportLayout& layout,
    const std::string& optionText, std::string_view option, std::string_view other, double& factor)
{
    const std::string expected = std::string(KindName(kind)) + " unit (" + std::string(UnitList(kind)) + ")";
    const std::string anExpected = (kind == UnitKind::Extension ? "an " : "a ") + expected;
    if (!optionText.empty()) {
        const std::optional<Unit> unit = FindUnit(optionText);
        if (!unit || unit->kind != kind)
            return std::string(option) + " " + quoted(optionText) + ": not " + anExpected;
        factor = unit->factor;
        return {};
    }
    std::string_view text;
    std::string where;
    if (column < layout.names.size() && !SplitName(layout.names[column]).unit.empty()) {
        text = SplitName(layout.names[column]).unit;
        where = columnText(layout, column);
    } else if (column < layout.units.size() && !layout.units[column].empty()) {
        text = layout.units[column];
        where = columnText(layout, column) + " (units on line " + std::to_string(layout.unitsLine) + ")";
    } else {
        factor = 1;
        return {};
    }
    const std::optional<Unit> unit = FindUnit(text);
    if (!unit)
        return where + ": unknown unit " + quoted(text) + "; give the " + expected + " with "
            + std::string(option);
    if (unit->kind != kind)
        return where + ": " + quoted(text) + " is "
            + std::string(unit->kind == UnitKind::Extension ? "an " : "a ")
            + std::string(KindName(unit->kind)) + " unit, not " + anExpected + "; give the unit with "
            + std::string(option) + std::string(other);
    factor = unit->factor;
    return {};
}

std::string checkPositive(const std::optional<double>& value, std::string_view option)
{
    if (value && !(std::isfinite(*value) && *value > 0))
        return std::string(option) + " " + MessageText(*value) + ": must be a positive number";
    return {};
}

}  // namespace

std::string CheckSpecimen(const Specimen& s, SpecimenValues& values)
{
    values = {};
    const std::array<std::pair<const std::optional<double>*, std::string_view>, 8> all {{
        {&s.d0, "--diameter"},
        {&s.b0, "--width"},
        {&s.a0, "--thickness"},
        {&s.S0, "--area"},
        {&s.L0, "--gauge-length"},
        {&s.Lu, "--final-length"},
        {&s.du, "--final-diameter"},
        {&s.Su, "--final-area"},
    }};
    for (const auto& [value, option] : all)
        if (std::string error = checkPositive(*value, option); !error.empty())
            return error;
    const int forms = (s.d0 ? 1 : 0) + (s.a0 || s.b0 ? 1 : 0) + (s.S0 ? 1 : 0);
    if (forms > 1)
        return "two cross-sections given: give one of --diameter, --width with --thickness, or --area";
    if (s.b0 && !s.a0)
        return "--width without --thickness";
    if (s.a0 && !s.b0)
        return "--thickness without --width";
    if (s.d0)
        values.S0 = std::numbers::pi / 4 * (*s.d0 * *s.d0);
    else if (s.a0)
        values.S0 = *s.a0 * *s.b0;
    else
        values.S0 = s.S0;
    if (values.S0 && !(std::isfinite(*values.S0) && *values.S0 > 0))
        return "the cross-section " + MessageText(*values.S0) + " mm\xC2\xB2 is out of range";
    values.L0 = s.L0;
    if (s.Lu && !s.L0)
        return "--final-length without --gauge-length: A needs L0";
    if (s.du && s.Su)
        return "both --final-diameter and --final-area given: give one";
    if ((s.du || s.Su) && !values.S0)
        return std::string(s.du ? "--final-diameter" : "--final-area")
            + " without a cross-section: Z needs S0 (--diameter, --width with --thickness, or --area)";
    if (s.du)
        values.Su = std::numbers::pi / 4 * (*s.du * *s.du);
    else
        values.Su = s.Su;
    if (values.Su && !(std::isfinite(*values.Su) && *values.Su > 0))
        return "the final cross-section " + MessageText(*values.Su) + " mm\xC2\xB2 is out of range";
    return {};
}

Plan MakePlan(const ExportLayout& layout, const Options& options)
{
    Plan plan;
    std::string error;
    std::optional<std::size_t> force, extension, strain, stress;
    if (!options.forceColumn.empty() && !(force = byOption("--force", options.forceColumn, layout, error)))
        return plan.columnsError = error, plan;
    if (!options.extensionColumn.empty()
        && !(extension = byOption("--extension", options.extensionColumn, layout, error)))
        return plan.columnsError = error, plan;
    if (!options.strainColumn.empty()
        && !(strain = byOption("--strain", options.strainColumn, layout, error)))
        return plan.columnsError = error, plan;
    if (!options.stressColumn.empty()
        && !(stress = byOption("--stress", options.stressColumn, layout, error)))
        return plan.columnsError = error, plan;

    const std::string specimenError = CheckSpecimen(options.specimen, plan.specimen);
    const bool crossSection = specimenError.empty() && plan.specimen.S0.has_value();
    const std::optional<std::size_t> namedForce = byWords(layout, ForceWords);
    const std::optional<std::size_t> namedStress = byWords(layout, StressWords);
    const std::optional<std::size_t> namedStrain = byWords(layout, StrainWords);
    const std::optional<std::size_t> namedExtension = byWords(layout, ExtensionWords);

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
        plan.columnsError = "no force and no stress column: give the column with --force or --stress";
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
        plan.columnsError = "no strain and no extension column: give the column with --strain or --extension";
        return plan;
    }
    c.stressName = columnText(layout, c.stressColumn);
    c.strainName = columnText(layout, c.strainColumn);
    plan.columns = c;

    const std::string stressNumber = std::to_string(c.stressColumn + 1);
    const std::string strainNumber = std::to_string(c.strainColumn + 1);
    std::string units = c.stressFromForce
        ? unitFactor(UnitKind::Force, c.stressColumn, layout, options.forceUnit, "--force-unit",
            ", or --stress " + stressNumber + " if the column holds stress", plan.columns->stressFactor)
        : unitFactor(UnitKind::Stress, c.stressColumn, layout, options.stressUnit, "--stress-unit",
            ", or --force " + stressNumber + " if the column holds force", plan.columns->stressFactor);
    if (units.empty())
        units = c.strainFromExtension
            ? unitFactor(UnitKind::Extension, c.strainColumn, layout, options.extensionUnit,
                "--extension-unit", ", or --strain " + strainNumber + " if the column holds strain",
                plan.columns->strainFactor)
            : unitFactor(UnitKind::Strain, c.strainColumn, layout, options.strainUnit, "--strain-unit",
                ", or --extension " + strainNumber + " if the column holds extension",
                plan.columns->strainFactor);
    if (!units.empty()) {
        plan.unitsError = units;
        return plan;
    }

    if (!specimenError.empty()) {
        plan.specimenError = specimenError;
    } else if (c.stressFromForce && !plan.specimen.S0) {
        plan.specimenError = "the stress comes from the force in " + c.stressName
            + ", but no cross-section is given: give --diameter, --width with --thickness, or --area";
    } else if (c.strainFromExtension && !plan.specimen.L0) {
        plan.specimenError = "no strain column, and the extension in " + c.strainName
            + " needs the gauge length: give --gauge-length, or the strain column with --strain";
    }
    return plan;
}

}  // namespace tenso::standard
