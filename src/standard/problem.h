#pragma once
// Why the columns, units or specimen of a file cannot be evaluated, as a value: what is wrong and
// where. The library words none of it; each program says it in its own terms (tenso-report names
// the option that would mend it).

#include "standard/units.h"

#include <cstddef>
#include <optional>
#include <string>

namespace tenso::standard {

// What a problem is about: a column the evaluation needs, a unit, or a specimen value.
enum class Subject {
    None,
    ForceColumn,
    ExtensionColumn,
    StrainColumn,
    StressColumn,
    ForceUnit,
    ExtensionUnit,
    StrainUnit,
    StressUnit,
    d0,
    b0,
    a0,
    S0,
    L0,
    Lu,
    du,
    Su
};

struct Problem {
    enum class Kind {
        NoSuchColumnNumber,  // text: the number; line: the first data line; count: its fields
        NoColumnNamed,  // text: the name; line: the names line (0: none)
        NoStressColumn,  // neither force nor stress
        NoStrainColumn,  // neither strain nor extension
        UnitNotOfKind,  // a unit given for `subject` that is no unit of its kind; text: the unit
        UnknownUnit,  // the column's unit is none of the tables; text, column, line (units line, 0: name)
        UnitOfAnotherKind,  // the column's unit is of `other`'s kind; text, column, line as above
        NotPositive,  // a specimen value: number
        OutOfRange,  // S0 or Su worked out of the given values: number (mm²)
        TwoCrossSections,  // d0, a0 with b0, S0: more than one
        WidthWithoutThickness,
        ThicknessWithoutWidth,
        LuWithoutL0,
        TwoFinalCrossSections,  // du and Su
        FinalWithoutCrossSection,  // subject du or Su
        NoCrossSection,  // force in `column` but no S0
        NoGaugeLength,  // extension in `column` but no L0
    };
    Kind kind;
    Subject subject = Subject::None;
    std::string text {};
    std::size_t line = 0;
    std::size_t count = 0;
    std::size_t column = 0;  // 0-based
    std::string columnName {};  // empty when the file names none
    double number = 0;
    std::optional<UnitKind> other {};  // UnitOfAnotherKind: the kind the unit has
};

}  // namespace tenso::standard
