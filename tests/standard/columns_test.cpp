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
        {"sec", UnitKind::Time, 1},
        {"daN", UnitKind::Force, 10},
        {"kip", UnitKind::Force, 4448.2216152605},
        {"m", UnitKind::Extension, 1000},
        {"\xC2\xB5m/m", UnitKind::Strain, 1e-6},
        {"kgf/mm\xC2\xB2", UnitKind::Stress, 9.80665},
        {"[kN]", UnitKind::Force, 1000},
        {" ( mm ) ", UnitKind::Extension, 1},
    };
    for (const Case& c : cases) {
        const std::optional<Unit> unit = FindUnit(c.text);
        ASSERT_TRUE(unit.has_value()) << c.text;
        EXPECT_EQ(unit->kind, c.kind) << c.text;
        EXPECT_EQ(unit->factor, c.factor) << c.text;
    }
    for (const char* text : {"", "kp", "mm/s", "[]", "N/tex"})
        EXPECT_FALSE(FindUnit(text).has_value()) << text;
}

TEST(MakePlan, ColumnsFoundByName)
{
    Options o;
    o.specimen.d0 = 10;
    o.specimen.L0 = 50;
    const Plan plan = MakePlan(layoutOf(Machine), o);
    ASSERT_TRUE(plan.columns.has_value());
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
    ASSERT_TRUE(plan.columns.has_value());
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

// What is wrong and where, as a value; tenso-report words it (tests/report/problem_text_test.cpp).
TEST(MakePlan, ProblemsSayWhatAndWhere)
{
    Options o;
    o.specimen.S0 = 1;
    o.specimen.L0 = 1;
    std::optional<Problem> p = MakePlan(layoutOf("Force (kp);Extension\n1;2\n"), o).problem;
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->kind, Problem::Kind::UnknownUnit);
    EXPECT_EQ(p->subject, Subject::ForceUnit);
    EXPECT_EQ(p->text, "kp");
    EXPECT_EQ(p->column, 0U);
    EXPECT_EQ(p->line, 0U);  // from the name
    o.extensionColumn = "2";
    p = MakePlan(layoutOf("Force;Extension\nkN;%\n1;2\n"), o).problem;
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->kind, Problem::Kind::UnitOfAnotherKind);
    EXPECT_EQ(p->subject, Subject::ExtensionUnit);
    EXPECT_EQ(p->other, UnitKind::Strain);
    EXPECT_EQ(p->columnName, "Extension");
    EXPECT_EQ(p->line, 2U);  // the units line
    o.forceColumn = "4";
    p = MakePlan(layoutOf("a;b;c\n1;2;3\n"), o).problem;
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->kind, Problem::Kind::NoSuchColumnNumber);
    EXPECT_EQ(p->subject, Subject::ForceColumn);
    EXPECT_EQ(p->line, 2U);
    EXPECT_EQ(p->count, 3U);
}

TEST(EvaluateFile, AProblemKeepsNoValueAndNoMessage)
{
    TempFile file("Stress;Extension\n1;2\n");
    const Result r = EvaluateFile(file.path(), Options {}, false);
    ASSERT_TRUE(r.problem.has_value());
    EXPECT_EQ(r.problem->kind, Problem::Kind::NoGaugeLength);
    EXPECT_EQ(r.problem->column, 1U);
    EXPECT_EQ(r.error, std::string());  // the program words it
    EXPECT_FALSE(r.Rm.has_value());
}

TEST(CheckSpecimen, CrossSectionForms)
{
    SpecimenValues v;
    Specimen s;
    s.a0 = 2;
    s.b0 = 10;
    EXPECT_FALSE(CheckSpecimen(s, v).has_value());
    EXPECT_EQ(v.S0, 20);  // a0 b0
    s.S0 = 20;
    EXPECT_EQ(CheckSpecimen(s, v)->kind, Problem::Kind::TwoCrossSections);
    Specimen w;
    w.b0 = 10;
    EXPECT_EQ(CheckSpecimen(w, v)->kind, Problem::Kind::WidthWithoutThickness);
    Specimen negative;
    negative.L0 = -5;
    const std::optional<Problem> p = CheckSpecimen(negative, v);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->kind, Problem::Kind::NotPositive);
    EXPECT_EQ(p->subject, Subject::L0);
    EXPECT_EQ(p->number, -5);
}

}  // namespace
}  // namespace tenso::standard
