// The words tenso-report gives a file's problem: each names the column, the unit and the option
// that would mend it.
#include "problem_text.h"

#include "standard/columns.h"

#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace tenso::report {
namespace {

using namespace tenso::standard;
using test::TempFile;

std::string planProblem(const std::string& content, const Options& options)
{
    TempFile file(content);
    ExportReader reader(file.path());
    const Plan plan = MakePlan(reader.ReadLayout(std::nullopt, std::nullopt), options);
    return plan.problem ? ProblemText(*plan.problem) : "no problem";
}

std::string errorOf(const std::string& content, const Options& options)
{
    TempFile file(content);
    const Result r = EvaluateFile(file.path(), options, false);
    return r.problem ? ProblemText(*r.problem) : r.error.value_or("no error");
}

TEST(MakePlan, UnitErrorsNameTheColumnAndTheOption)
{
    Options o;
    o.specimen.S0 = 1;
    o.specimen.L0 = 1;
    EXPECT_EQ(planProblem("Force (kp);Extension\n1;2\n", o),
        "column 1 \"Force (kp)\": unknown unit \"kp\"; give the force unit (N, daN, kN, MN, kgf, lbf, kip) "
        "with --force-unit");
    o.extensionColumn = "2";  // found by name, a column in % would be the strain
    EXPECT_EQ(planProblem("Force;Extension\nN;%\n1;2\n", o),
        "column 2 \"Extension\" (units on line 2): \"%\" is a strain unit, not an extension unit (mm, "
        "\xC2\xB5m, cm, m, in); give the unit with --extension-unit, or --strain 2 if the column holds "
        "strain");
    o.extensionColumn.clear();
    o.stressUnit = "kN";
    EXPECT_EQ(planProblem("Stress;Strain\n1;2\n", o),
        "--stress-unit \"kN\": not a stress unit (MPa, N/mm\xC2\xB2, kPa, GPa, kgf/mm\xC2\xB2, ksi, psi)");
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
    o.forceColumn = "9";  // a columns error: the range of a field matters only where it is evaluated
    EXPECT_EQ(errorOf("a;b\n1;2\n3;1e999\n", o).substr(0, 9), "--force 9");
    o.forceColumn = "1";
    o.strainColumn = "2";
    o.specimen.S0 = 1;
    EXPECT_EQ(errorOf("a;b\n1;2\n3;1e999\n", o).substr(0, 6), "line 3");  // in a chosen column
    o.forceUnit = "bar";  // a units error before the missing cross-section
    o.specimen.S0.reset();
    o.strainColumn.clear();
    o.forceUnit = "bar";  // a units error before the missing cross-section
    EXPECT_EQ(errorOf("a;Strain\n1;2\n", o).substr(0, 12), "--force-unit");
}

}  // namespace
}  // namespace tenso::report
