// tenso-report --validate as a laboratory runs it: the installed suite passes, a wrong certified value
// fails and is named, the usage errors, the PDF record; and the comparison of one value with its
// tolerance, on results made by hand.
#include "report_run.h"

#include "support/temp_file.h"
#include "validation.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace tenso::test {
namespace {

using report::Expectation;

const std::string Suite = TENSO_VALIDATION_SOURCE;
const std::string ProofCase = Suite + "/01_proof_strength.csv";

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// The rows of the table of checks: the lines between the heading and the blank line before the count.
std::vector<std::string> checkRows(const std::string& out)
{
    std::vector<std::string> rows;
    bool inTable = false;
    for (const std::string& line : lines(out)) {
        if (line.starts_with("case "))
            inTable = true;
        else if (inTable && line.empty())
            break;
        else if (inTable)
            rows.push_back(line);
    }
    return rows;
}

std::size_t suiteCases()
{
    std::ifstream in(Suite + "/cases.csv");
    std::size_t n = 0;
    for (std::string line; std::getline(in, line);)
        n += line.empty() ? 0U : 1U;
    return n - 1;  // the header
}

// ---- The program ----

TEST(Validate, TheInstalledSuitePassesEveryCheck)
{
    const ReportRun run = RunReport({"--validate"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Software: Tenso " TENSO_VERSION " (tenso-report)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Rules:    ISO 6892-1, rules 2"), std::string::npos);
    EXPECT_NE(run.out.find("Machine:  "), std::string::npos);
    const std::vector<std::string> rows = checkRows(run.out);
    ASSERT_GE(rows.size(), 30U);
    std::set<std::string> cases;
    for (const std::string& row : rows) {
        EXPECT_TRUE(row.ends_with("  pass")) << row;
        cases.insert(row.substr(0, row.find(' ')));
    }
    EXPECT_EQ(cases.size(), suiteCases());
    const std::string count = std::to_string(rows.size());
    EXPECT_NE(run.out.find("\n" + count + " of " + count + " checks passed\n"), std::string::npos) << run.out;
}

TEST(Validate, TheDateFollowsSourceDateEpoch)
{
    ::setenv("SOURCE_DATE_EPOCH", "1000000000", 1);
    const ReportRun run = RunReport({"--validate"});
    ::unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_NE(run.out.find("Date:     2001-09-09 01:46:40 UTC"), std::string::npos) << run.out;
}

TEST(Validate, AWrongCertifiedValueFailsWithExit1AndIsNamed)
{
    // The suite's first export as a laboratory's reference: E and Rp0.2 are right, Rm is not.
    const TempFile expect("quantity,expected,tolerance\n# certificate 17/4\nE,200,0.1 %\nRp0.2,300,1 MPa\n"
                          "Rm,380,1 MPa\n",
        "certified.csv");
    const ReportRun run = RunReport({"--validate", "--reference", ProofCase, "--expect", expect.path()});
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_EQ(run.err, "");
    std::vector<std::string> reference;
    for (const std::string& row : checkRows(run.out))
        if (row.starts_with("reference "))
            reference.push_back(row);
    ASSERT_EQ(reference.size(), 3U) << run.out;
    EXPECT_TRUE(reference[0].ends_with("pass")) << reference[0];
    EXPECT_TRUE(reference[1].ends_with("pass")) << reference[1];
    // Rm is 375 MPa by construction: 5 MPa off, more than the 1 MPa allowed.
    EXPECT_NE(reference[2].find("Rm [MPa]"), std::string::npos) << reference[2];
    EXPECT_NE(reference[2].find("fail: off by 5 MPa, more than 1 MPa"), std::string::npos) << reference[2];
    const std::size_t total = checkRows(run.out).size();
    EXPECT_NE(run.out.find(std::to_string(total - 1) + " of " + std::to_string(total) + " checks passed"),
        std::string::npos);
}

TEST(Validate, ANameTheResultDoesNotHaveFailsThatCheckOnly)
{
    // The metrics of ASTM E3076 by their JSON names: a version without them says so, and one with
    // them compares them; neither ends the run.
    const TempFile expect("Rm,375,0.1 %\nsdar.no_such_metric,1,1\nRp0.5,310,1 %\n", "expect.csv");
    const ReportRun run = RunReport({"--validate", "--reference", ProofCase, "--expect", expect.path()});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.out.find("fail: no such value: sdar.no_such_metric"), std::string::npos) << run.out;
    EXPECT_NE(
        run.out.find("fail: no such value: Rp0.5 (the proof strengths of this call are Rp0.2; --proof adds "
                     "others)"),
        std::string::npos);
    // With --proof 0.5 the reference has it: the evaluation options apply to the reference.
    const ReportRun proof = RunReport(
        {"--validate", "--proof", "0.2,0.5", "--reference", ProofCase, "--expect", expect.path()});
    EXPECT_EQ(proof.out.find("no such value: Rp0.5"), std::string::npos) << proof.out;
}

TEST(Validate, UsageErrorsExit2WithOneLineAndNothingRun)
{
    const TempFile expect("E,200,1 %\n", "expect.csv");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--validate", ProofCase}, "--validate takes no FILE"},
        {{"--reference", ProofCase, "--expect", expect.path(), ProofCase},
            "--reference goes with --validate"},
        {{"--expect", expect.path(), ProofCase}, "--expect goes with --validate"},
        {{"--validate", "--reference", ProofCase}, "--reference needs --expect"},
        {{"--validate", "--expect", expect.path()}, "--expect needs --reference"},
        {{"--validate", "--reference", "", "--expect", expect.path()}, "--reference needs a value"},
        {{"--validate", "--format", "json"}, "--format does not go with --validate"},
        {{"--validate", "--plot", "/tmp"}, "--plot does not go with --validate"},
        {{"--validate", "--diameter", "10"}, "--diameter applies to a --reference file"},
        {{"--validate", "--reference", ProofCase, "--expect", "/nonexistent/expect.csv"},
            "--expect: cannot open /nonexistent/expect.csv"},
        {{"--validate", "--pdf", "/nonexistent/record.pdf"}, "--pdf: the folder of"},
    };
    for (const auto& [args, message] : cases) {
        const ReportRun run = RunReport(args);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_EQ(run.out, "") << message;
        EXPECT_TRUE(run.err.starts_with("tenso-report: ")) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

QString pdfText(const std::string& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
        {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(Validate, ThePdfRecordHoldsTheTitleVersionChecksAndSignatures)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    const std::string pdf = dir.filePath(QStringLiteral("record.pdf")).toStdString();
    const ReportRun run = RunReport({"--validate", "--pdf", pdf});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("checks passed"), std::string::npos);  // the text as without --pdf
    const QString text = pdfText(pdf);
    const std::string version = std::string("Tenso ") + TENSO_VERSION;
    for (const std::string& expected :
        {std::string("Software validation record"), version, std::string("ISO 6892-1, rules 2"),
            std::string("01_proof_strength"), std::string("07_units_ksi_percent"), std::string("Ramberg"),
            std::string("Prepared by"), std::string("Reviewed by"), std::string("Signature")})
        EXPECT_TRUE(text.contains(QString::fromStdString(expected))) << expected;
    const std::size_t checks = checkRows(run.out).size();
    EXPECT_TRUE(text.contains(QStringLiteral("%1 of %1 checks passed").arg(checks))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1 of ")));
    EXPECT_FALSE(text.contains(QStringLiteral("FAIL")));
}

TEST(Validate, ThePdfRecordShowsAFailureAndWhy)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    const std::string pdf = dir.filePath(QStringLiteral("record.pdf")).toStdString();
    const TempFile expect("Rm,380,1 MPa\n", "expect.csv");
    const ReportRun run
        = RunReport({"--validate", "--pdf", pdf, "--reference", ProofCase, "--expect", expect.path()});
    EXPECT_EQ(run.status, 1) << run.err;
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("FAIL")));
    EXPECT_TRUE(text.contains(QStringLiteral("off by 5 MPa, more than 1 MPa")));
    EXPECT_TRUE(text.contains(QStringLiteral("1 failed")));
}

// ---- One value against its tolerance ----

standard::Result madeByHand()
{
    standard::Result r;
    r.records = 513;
    r.Rm = 400;
    r.At = 10;
    r.e0 = 0.0004;
    r.A_from_curve = true;
    r.E = standard::ModulusFit {};
    r.E->GPa = 200;
    r.E->lo = 40;
    r.Rp.push_back({0.2, "0.2", 300.0, 0.0035, {}});
    return r;  // ReH absent: continuous yielding
}

report::Check judge(const std::string& quantity, const std::string& expected, const std::string& tolerance)
{
    static const std::vector<standard::Quantity> table = standard::QuantityTable({0.2});
    return report::Judge(Expectation {1, quantity, expected, tolerance, {}}, madeByHand(), table);
}

TEST(ValidateCheck, RelativeTolerancesArePerCentOfTheExpectedValue)
{
    EXPECT_TRUE(judge("Rm", "401", "0.25 %").passed);  // 1 MPa off, 1.0025 allowed
    const report::Check off = judge("Rm", "401", "0.2%");
    EXPECT_FALSE(off.passed);
    EXPECT_EQ(off.computed, "400");
    EXPECT_EQ(off.reason, "off by 0.249377 % of the expected value, more than 0.2 %");
    // For a value in %, % is still relative; percentage points are pp.
    EXPECT_FALSE(judge("At", "10.4", "0.5 %").passed);
    EXPECT_TRUE(judge("At", "10.4", "0.5 pp").passed);
    EXPECT_EQ(judge("At", "10.6", "0.5 pp").reason, "off by 0.6 pp, more than 0.5 pp");
}

TEST(ValidateCheck, AbsoluteTolerancesTakeAUnitOfTheQuantitysKind)
{
    EXPECT_TRUE(judge("Rm", "401", "1 MPa").passed);
    EXPECT_TRUE(judge("Rm", "0.4005 GPa", "0.5 MPa").passed);  // an expected value with its unit
    EXPECT_TRUE(judge("E", "200.4", "500 MPa").passed);  // E is in GPa
    EXPECT_FALSE(judge("E", "200.6", "500 MPa").passed);
    EXPECT_TRUE(judge("records", "513", "0").passed);
    EXPECT_TRUE(judge("e0", "0.0004", "1e-12").passed);
    EXPECT_EQ(
        judge("Rm", "400", "1 mm").reason, "the tolerance \"1 mm\" is in mm, which is no unit of Rm (MPa)");
    EXPECT_EQ(
        judge("Rm", "400", "1").reason, "the tolerance \"1\" needs a unit (MPa) or % of the expected value");
    EXPECT_EQ(judge("Rm", "400", "1 pp").reason,
        "the tolerance \"1 pp\" is in percentage points, but Rm is in MPa");
    EXPECT_EQ(judge("Rm", "400", "-1 MPa").reason, "the tolerance \"-1 MPa\" is negative");
    EXPECT_TRUE(judge("Rm", "400", "").passed);  // empty: exact
    EXPECT_FALSE(judge("Rm", "400.0000001", "").passed);
}

TEST(ValidateCheck, AbsentValuesFlagsAndBadExpectedValues)
{
    EXPECT_TRUE(judge("ReH", "none", "").passed);
    EXPECT_EQ(judge("ReH", "350", "1 MPa").reason, "Tenso computed no value of ReH");
    EXPECT_EQ(judge("Rm", "None", "").reason, "Tenso computed a value where none is expected");
    EXPECT_TRUE(judge("A from curve", "true", "").passed);
    EXPECT_FALSE(judge("A_from_curve", "false", "").passed);
    EXPECT_EQ(judge("Rm", "abc", "1 MPa").reason,
        "the expected value \"abc\" is no number (with '.' as the decimal mark)");
    EXPECT_EQ(judge("Rm", "4OO", "1 MPa").reason,
        "the expected value \"4OO\" is in OO, which is no unit of Rm (MPa)");
    EXPECT_EQ(judge("Rm", "1,5", "1 MPa").reason,
        "the expected value \"1,5\" is no number (with '.' as the decimal mark)");
}

TEST(ValidateCheck, NamesAreSymbolsOrJsonKeysAndAnUnknownOneIsNoCrash)
{
    const std::vector<standard::Quantity> table = standard::QuantityTable({0.2, 0.5});
    const auto symbol = [&](const std::string& name) {
        const standard::Quantity* q = report::FindQuantity(table, name);
        return q ? q->symbol : std::string("(none)");
    };
    EXPECT_EQ(symbol("E"), "E");
    EXPECT_EQ(symbol("rp0.5"), "Rp0.5");
    EXPECT_EQ(symbol("Rp0.2_strain"), "Rp0.2 strain");
    EXPECT_EQ(symbol("lo"), "E lo");
    EXPECT_EQ(symbol("E.hi"), "E hi");
    EXPECT_EQ(symbol("e0"), "e0");
    EXPECT_EQ(symbol("A_from_curve"), "A from curve");
    EXPECT_EQ(symbol("sdar.bogus"), "(none)");
    EXPECT_EQ(judge("sdar.bogus", "1", "1").reason, "no such value: sdar.bogus");
}

TEST(ValidateCheck, AMetricOfAstmE3076ByEachOfItsNames)
{
    // By its JSON name, whichever of the forms the laboratory writes.
    const std::vector<standard::Quantity> table = standard::QuantityTable({0.2});
    for (const char* name : {"x_noise", "E x noise", "sdar.x_noise", "E.sdar.x_noise", "E_x_noise"}) {
        const standard::Quantity* q = report::FindQuantity(table, name);
        ASSERT_NE(q, nullptr) << name;
        EXPECT_EQ(q->key, "x_noise");
    }
    standard::Result r = madeByHand();
    r.E->sdar.emplace();
    r.E->sdar->x_noise = 0.4;
    EXPECT_TRUE(report::Judge(Expectation {1, "x_noise", "0.5", "0.2", {}}, r, table).passed);
    EXPECT_FALSE(report::Judge(Expectation {1, "x_noise", "0.7", "0.2", {}}, r, table).passed);
}

TEST(ValidateCheck, ExpectedValuesFile)
{
    const TempFile file("\xEF\xBB\xBFquantity,expected,tolerance\r\n# a comment\r\n\r\nE,200,0.5 %\r\n"
                        "\"A from curve\",true\r\nRm,400,1 MPa,extra\r\n",
        "expect.csv");
    const std::vector<Expectation> rows = report::ReadExpectations(file.path());
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0].quantity, "E");
    EXPECT_EQ(rows[0].tolerance, "0.5 %");
    EXPECT_EQ(rows[0].line, 4U);
    EXPECT_EQ(rows[1].quantity, "A from curve");
    EXPECT_EQ(rows[1].tolerance, "");
    EXPECT_EQ(rows[2].problem,
        file.path() + " line 6: a row is quantity,expected,tolerance (the tolerance may be empty)");
    EXPECT_FALSE(report::Judge(rows[2], madeByHand(), standard::QuantityTable({0.2})).passed);

    const TempFile empty("quantity,expected,tolerance\n# nothing certified yet\n", "empty.csv");
    EXPECT_THROW(report::ReadExpectations(empty.path()), std::runtime_error);
    EXPECT_THROW(report::ReadExpectations("/nonexistent/expect.csv"), std::runtime_error);
}

}  // namespace
}  // namespace tenso::test
