#include "problem_text.h"

#include "standard/text.h"
#include "standard/units.h"

namespace tenso::report {
namespace {

using standard::Problem;
using standard::Subject;
using standard::UnitKind;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string option(Subject subject)
{
    switch (subject) {
    case Subject::ForceColumn:
        return "--force";
    case Subject::ExtensionColumn:
        return "--extension";
    case Subject::StrainColumn:
        return "--strain";
    case Subject::StressColumn:
        return "--stress";
    case Subject::ForceUnit:
        return "--force-unit";
    case Subject::ExtensionUnit:
        return "--extension-unit";
    case Subject::StrainUnit:
        return "--strain-unit";
    case Subject::StressUnit:
        return "--stress-unit";
    case Subject::d0:
        return "--diameter";
    case Subject::b0:
        return "--width";
    case Subject::a0:
        return "--thickness";
    case Subject::S0:
        return "--area";
    case Subject::L0:
        return "--gauge-length";
    case Subject::Lu:
        return "--final-length";
    case Subject::du:
        return "--final-diameter";
    case Subject::Su:
        return "--final-area";
    case Subject::None:
        break;
    }
    return {};
}

UnitKind kindOf(Subject unit)
{
    switch (unit) {
    case Subject::ExtensionUnit:
        return UnitKind::Extension;
    case Subject::StrainUnit:
        return UnitKind::Strain;
    case Subject::StressUnit:
        return UnitKind::Stress;
    default:
        return UnitKind::Force;
    }
}

std::string article(UnitKind kind) { return kind == UnitKind::Extension ? "an " : "a "; }

std::string columnText(const Problem& p)
{
    std::string text = "column " + std::to_string(p.column + 1);
    if (!p.columnName.empty())
        text += " " + quoted(p.columnName);
    return text;
}

// The option that takes the column as the other quantity of its pair, for a unit of that kind.
std::string otherOption(Subject unit, std::size_t column)
{
    const std::string number = std::to_string(column + 1);
    switch (unit) {
    case Subject::ForceUnit:
        return ", or --stress " + number + " if the column holds stress";
    case Subject::StressUnit:
        return ", or --force " + number + " if the column holds force";
    case Subject::ExtensionUnit:
        return ", or --strain " + number + " if the column holds strain";
    default:
        return ", or --extension " + number + " if the column holds extension";
    }
}

const char* const CrossSectionOptions = "--diameter, --width with --thickness, or --area";

}  // namespace

std::string ProblemText(const Problem& p)
{
    using Kind = Problem::Kind;
    const UnitKind kind = kindOf(p.subject);
    const std::string expected
        = std::string(standard::KindName(kind)) + " unit (" + std::string(standard::UnitList(kind)) + ")";
    switch (p.kind) {
    case Kind::NoSuchColumnNumber:
        return option(p.subject) + " " + p.text + ": there is no such column; the first data line (line "
            + std::to_string(p.line) + ") has " + std::to_string(p.count) + " fields";
    case Kind::NoColumnNamed:
        return option(p.subject) + " " + quoted(p.text) + ": no column has that name"
            + (p.line == 0 ? " (the file has no names line; give the column's number)"
                           : " (the names are on line " + std::to_string(p.line) + ")");
    case Kind::NoStressColumn:
        return "no force and no stress column: give the column with --force or --stress";
    case Kind::NoStrainColumn:
        return "no strain and no extension column: give the column with --strain or --extension";
    case Kind::UnitNotOfKind:
        return option(p.subject) + " " + quoted(p.text) + ": not " + article(kind) + expected;
    case Kind::UnknownUnit:
    case Kind::UnitOfAnotherKind: {
        std::string where = columnText(p);
        if (p.line > 0)
            where += " (units on line " + std::to_string(p.line) + ")";
        if (p.kind == Kind::UnknownUnit)
            return where + ": unknown unit " + quoted(p.text) + "; give the " + expected + " with "
                + option(p.subject);
        const UnitKind other = p.other.value_or(UnitKind::Time);
        return where + ": " + quoted(p.text) + " is " + article(other)
            + std::string(standard::KindName(other)) + " unit, not " + article(kind) + expected
            + "; give the unit with " + option(p.subject) + otherOption(p.subject, p.column);
    }
    case Kind::NotPositive:
        return option(p.subject) + " " + standard::MessageText(p.number) + ": must be a positive number";
    case Kind::OutOfRange:
        return std::string(p.subject == Subject::Su ? "the final cross-section " : "the cross-section ")
            + standard::MessageText(p.number) + " mm\xC2\xB2 is out of range";
    case Kind::TwoCrossSections:
        return std::string("two cross-sections given: give one of ") + CrossSectionOptions;
    case Kind::WidthWithoutThickness:
        return "--width without --thickness";
    case Kind::ThicknessWithoutWidth:
        return "--thickness without --width";
    case Kind::LuWithoutL0:
        return "--final-length without --gauge-length: A needs L0";
    case Kind::TwoFinalCrossSections:
        return "both --final-diameter and --final-area given: give one";
    case Kind::FinalWithoutCrossSection:
        return option(p.subject) + " without a cross-section: Z needs S0 (" + CrossSectionOptions + ")";
    case Kind::NoCrossSection:
        return "the stress comes from the force in " + columnText(p)
            + ", but no cross-section is given: give " + CrossSectionOptions;
    case Kind::NoGaugeLength:
        return "no strain column, and the extension in " + columnText(p)
            + " needs the gauge length: give --gauge-length, or the strain column with --strain";
    }
    return "the file cannot be evaluated";
}

}  // namespace tenso::report
