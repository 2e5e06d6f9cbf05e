#pragma once
// The units a machine export may give its columns, and the unit at the end of a column name.

#include <optional>
#include <string>
#include <string_view>

namespace tenso::standard {

enum class UnitKind { Force, Extension, Strain, Stress, Time };

struct Unit {
    UnitKind kind = UnitKind::Force;
    double factor = 1;  // to N, mm, a strain fraction or MPa; 1 for time, which is never evaluated
};

// The unit a text names, without regard to case, with `µ` as U+00B5, U+03BC or `u`, `ε` or `e`,
// `²` as `2` or `^2`, and brackets or parentheses around it dropped. nullopt for none.
std::optional<Unit> FindUnit(std::string_view text);

// A column name split into its name and the unit at its end in parentheses or brackets
// ("Load (kN)" -> "Load", "kN"); `unit` is empty when the name ends in neither.
struct NameAndUnit {
    std::string_view name;
    std::string_view unit;
};
NameAndUnit SplitName(std::string_view columnName);

// "force", "extension", ... and the units of a kind, for messages: "N, kN, MN, lbf".
std::string_view KindName(UnitKind kind);
std::string_view UnitList(UnitKind kind);

}  // namespace tenso::standard
