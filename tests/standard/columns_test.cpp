// Column and unit resolution and the checks of the specimen, through MakePlan and EvaluateFile.
#include "standard/columns.h"
#include "standard/units.h"

#include "support/temp_file.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

namespace tenso::standard {
namespace {

using test::TempFile;

ExportLayout layoutOf(const std::string& content)
{
    TempFile file(content);
    ExportReader reader(file.path());
    return reader.ReadLayout(std::nullopt, std::nullopt);
}

std::string errorOf(const std::string& content, const Options& options)
{
    TempFile file(content);
    const Result r = EvaluateFile(file.path(), options, false);
    return r.error.value_or("no error");
}

const char* const Machine = "Time (s);Extension (mm);Force (kN)\n0;0;0\n1;0,01;1\n";

TEST(FindUnit, EveryUnitOfTheTables)
{
    struct Case {
        const char* text;
        UnitKind kind;
        double factor;
    };
    const Case cases[] = {
        {"N", UnitKind::Force, 1},
        {"kN", UnitKind::Force, 1000},
        {"MN", UnitKind::Force, 1e6},
        {"lbf", UnitKind::Force, 4.4482216152605},
        {"mm", UnitKind::Extension, 1},
        {"\xC2\xB5m", UnitKind::Extension, 0.001},
        {"\xCE\xBCm", UnitKind::Extension, 0.001},
        {"um", UnitKind::Extension, 0.001},
        {"in", UnitKind::Extension, 25.4},
        {"mm/mm", UnitKind::Strain, 1},
        {"m/m", UnitKind::Strain, 1},
        {"in/in", UnitKind::Strain, 1},
        {"-", UnitKind::Strain, 1},
        {"%", UnitKind::Strain, 0.01},
        {"\xC2\xB5\xCE\xB5", UnitKind::Strain, 1e-6},
        {"ue", UnitKind::Strain, 1e-6},
        {"Microstrain", UnitKind::Strain, 1e-6},
        {"MPa", UnitKind::Stress, 1},
        {"N/mm\xC2\xB2", UnitKind::Stress, 1},
        {"n/MM2", UnitKind::Stress, 1},
        {"N/mm^2", UnitKind::Stress, 1},
        {"GPa", UnitKind::Stress, 1000},
        {"ksi", UnitKind::Stress, 6.894757293168},
        {"psi", UnitKind::Stress, 0.006894757293168},
        {"s", UnitKind::Time, 1},
        {"ms", UnitKind::Time, 1},
        {"min", UnitKind::Time, 1},
        {"h", UnitKind::Time, 1},
        {"[kN]", UnitKind::Force, 1000},
        {" ( mm ) ", UnitKind::Extension, 1},
    };
    for (const Case& c : cases) {
        const std::optional<Unit> unit = FindUnit(c.text);
        ASSERT_TRUE(unit.has_value()) << c.text;
        EXPECT_EQ(unit->kind, c.kind) << c.text;
        EXPECT_EQ(unit->factor, c.factor) << c.text;
    }
    for (const char* text : {"", "kp", "mm/s", "[]", "sec"})
        EXPECT_FALSE(FindUnit(text).has_value()) << text;
}

TEST(MakePlan, ColumnsFoundByName)
{
    Options o;
    o.specimen.d0 = 10;
    o.specimen.L0 = 50;
    const Plan plan = MakePlan(layoutOf(Machine), o);
    ASSERT_TRUE(plan.columns.has_value()) << plan.columnsError;
    EXPECT_EQ(plan.columns->stressColumn, 2u);
    EXPECT_TRUE(plan.columns->stressFromForce);
    EXPECT_EQ(plan.columns->stressFactor, 1000);
    EXPECT_EQ(plan.columns->strainColumn, 1u);
    EXPECT_TRUE(plan.columns->strainFromExtension);
    EXPECT_EQ(plan.specimen.S0, std::numbers::pi / 4 * 100);  // pi/4 d0²
}

TEST(MakePlan, ColumnByNumberOrNameWinsOverTheNames)
{
    const ExportLayout layout = layoutOf("Force;Stress;Strain;Dehnung (%)\n1;2;3;4\n");
    Options o;
    o.stressColumn = "1";
    o.strainColumn = "dehnung";  // the name without its unit, in another case
    Plan plan = MakePlan(layout, o);
    ASSERT_TRUE(plan.columns.has_value()) << plan.columnsError;
    EXPECT_EQ(plan.columns->stressColumn, 0u);
    EXPECT_FALSE(plan.columns->stressFromForce);
    EXPECT_EQ(plan.columns->strainColumn, 3u);
    EXPECT_EQ(plan.columns->strainFactor, 0.01);
    o.strainColumn = "DEHNUNG (%)";  // the whole name
    plan = MakePlan(layout, o);
    EXPECT_EQ(plan.columns->strainColumn, 3u);
}

TEST(MakePlan, StressColumnWithoutCrossSectionForceColumnWithOne)
{
    const ExportLayout layout = layoutOf("Load (kN);Stress (MPa);Strain\n1;2;3\n");
    EXPECT_EQ(MakePlan(layout, {}).columns->stressColumn, 1u);
    Options o;
    o.specimen.S0 = 20;
    const Plan plan = MakePlan(layout, o);
    EXPECT_EQ(plan.columns->stressColumn, 0u);
    EXPECT_TRUE(plan.columns->stressFromForce);
}

TEST(MakePlan, UnitOptionOverNameOverUnitsLine)
{
    const ExportLayout layout = layoutOf("Force (N);Extension\nkN;in\n1;2\n");
    Options o;
    o.specimen.S0 = 1;
    o.specimen.L0 = 1;
    Plan plan = MakePlan(layout, o);
    EXPECT_EQ(plan.columns->stressFactor, 1);  // the name's N, not the units line's kN
    EXPECT_EQ(plan.columns->strainFactor, 25.4);
    o.forceUnit = "lbf";
    o.extensionUnit = "\xC2\xB5m";
    plan = MakePlan(layout, o);
    EXPECT_EQ(plan.columns->stressFactor, 4.4482216152605);
    EXPECT_EQ(plan.columns->strainFactor, 0.001);
}

TEST(MakePlan, UnitErrorsNameTheColumnAndTheOption)
{
    Options o;
    o.specimen.S0 = 1;
    o.specimen.L0 = 1;
    EXPECT_EQ(MakePlan(layoutOf("Force (kp);Extension\n1;2\n"), o).unitsError,
        "column 1 \"Force (kp)\": unknown unit \"kp\"; give the force unit (N, kN, MN, lbf) with "
        "--force-unit");
    EXPECT_EQ(MakePlan(layoutOf("Force;Extension (%)\n1;2\n"), o).unitsError,
        "column 2 \"Extension (%)\": \"%\" is a strain unit, not an extension unit (mm, \xC2\xB5m, in); give "
        "the unit "
        "with --extension-unit, or --strain 2 if the column holds strain");
    o.stressUnit = "kN";
    EXPECT_EQ(MakePlan(layoutOf("Stress;Strain\n1;2\n"), o).unitsError,
        "--stress-unit \"kN\": not a stress unit (MPa, N/mm\xC2\xB2, GPa, ksi, psi)");
}

TEST(EvaluateFile, MissingInputsNameTheOption)
{
    Options none;
    EXPECT_EQ(errorOf("a;b\n1;2\n", none),
        "no force and no stress column: give the column with --force or --stress");
    EXPECT_EQ(errorOf("Stress;b\n1;2\n", none),
        "no strain and no extension column: give the column with --strain or --extension");
    EXPECT_EQ(errorOf("Force;Strain\n1;2\n", none),
        "the stress comes from the force in column 1 \"Force\", but no cross-section is given: give "
        "--diameter, --width with --thickness, or --area");
    EXPECT_EQ(errorOf("Stress;Extension\n1;2\n", none),
        "no strain column, and the extension in column 2 \"Extension\" needs the gauge length: give "
        "--gauge-length, or the strain column with --strain");
    Options lu;
    lu.specimen.Lu = 60;
    EXPECT_EQ(errorOf("Stress;Strain\n1;2\n", lu), "--final-length without --gauge-length: A needs L0");
    Options du;
    du.specimen.du = 8;
    EXPECT_EQ(errorOf("Stress;Strain\n1;2\n", du),
        "--final-diameter without a cross-section: Z needs S0 (--diameter, --width with --thickness, or "
        "--area)");
    Options column;
    column.forceColumn = "4";
    EXPECT_EQ(errorOf("a;b;c\n1;2;3\n", column),
        "--force 4: there is no such column; the first data line (line 2) has 3 fields");
    column.forceColumn = "Kraft";
    EXPECT_EQ(errorOf("a;b;c\n1;2;3\n", column),
        "--force \"Kraft\": no column has that name (the names are on line 1)");
}

TEST(EvaluateFile, ChecksRunInTheirOrder)
{
    Options o;
    o.forceColumn = "9";  // a columns error ...
    EXPECT_EQ(errorOf("a;b\n1;2\n3;1e999\n", o).substr(0, 6), "line 3");  // ... after the reading error
    o.forceColumn = "1";
    o.forceUnit = "bar";  // a units error before the missing cross-section
    EXPECT_EQ(errorOf("a;Strain\n1;2\n", o).substr(0, 12), "--force-unit");
}

TEST(CheckSpecimen, CrossSectionForms)
{
    SpecimenValues v;
    Specimen s;
    s.a0 = 2;
    s.b0 = 10;
    EXPECT_EQ(CheckSpecimen(s, v), "");
    EXPECT_EQ(v.S0, 20);  // a0 b0
    s.S0 = 20;
    EXPECT_NE(CheckSpecimen(s, v).find("two cross-sections"), std::string::npos);
    Specimen w;
    w.b0 = 10;
    EXPECT_EQ(CheckSpecimen(w, v), "--width without --thickness");
    Specimen negative;
    negative.L0 = -5;
    EXPECT_EQ(CheckSpecimen(negative, v), "--gauge-length -5: must be a positive number");
}

}  // namespace
}  // namespace tenso::standard
