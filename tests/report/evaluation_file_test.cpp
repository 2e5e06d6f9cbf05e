// Tenso Lab's evaluation file: ReadEvaluation's messages, the round trip of every value and name, and
// tenso-report --evaluation: usage errors, and each specimen evaluated as its options would.
#include "evaluation_file.h"
#include "report_run.h"

#include "common/json_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace tenso::test {
namespace {

using report::Evaluation;
using report::SpecimenSetup;

const std::string fraunhofer = TENSO_TEST_DATA "/realdata/fraunhofer-42CrMoS4/";

// A fresh temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tenso-evaluation-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

    // Writes `content` at `relative` (its folders made) and returns the file's path.
    std::string Write(const std::string& relative, const std::string& content) const
    {
        const std::string file = path_ + "/" + relative;
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

private:
    std::string path_;
};

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string withHeader(const std::string& rest)
{
    return R"({"format": "tenso-lab evaluation", "version": 1, )" + rest + "}";
}

// The message ReadEvaluation throws, or "" when it reads the file.
std::string readError(const std::string& path)
{
    try {
        report::ReadEvaluation(path);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

bool same(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool same(const std::optional<double>& a, const std::optional<double>& b)
{
    return a.has_value() == b.has_value() && (!a || same(*a, *b));
}

bool same(
    const std::optional<std::pair<double, double>>& a, const std::optional<std::pair<double, double>>& b)
{
    return a.has_value() == b.has_value() && (!a || (same(a->first, b->first) && same(a->second, b->second)));
}

// The files' lines of tenso-report's JSON, without the "included" key of an evaluation.
std::vector<std::string> jsonLines(const std::string& out)
{
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("  {\"file\": ", 0) == 0) {
            for (const char* key : {"\"included\": true, ", "\"included\": false, "})
                if (const std::size_t at = line.find(key); at != std::string::npos)
                    line.erase(at, std::string(key).size());
            lines.push_back(line);
        }
    return lines;
}

// The statistics object at the end of tenso-report's JSON.
std::string statisticsText(const std::string& out)
{
    const std::size_t at = out.find("  {\"statistics\": ");
    return at == std::string::npos ? std::string() : out.substr(at);
}

TEST(EvaluationFile, EachFaultIsOneLineNamingTheFileAndWhatIsWrong)
{
    const TempDir dir;
    const std::string specimen = R"({"file": "a.csv"}, )";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"{", "is not JSON"},
        {"[1, 2]", "\"format\""},
        {R"({"format": "tenso-report", "version": 1, "specimens": []})", "\"format\""},
        {R"({"version": 1, "specimens": []})", "\"format\""},
        {R"({"format": "tenso-lab evaluation", "version": 2, "specimens": []})", "version 2"},
        {R"({"format": "tenso-lab evaluation", "version": "1", "specimens": []})", "version"},
        {R"({"format": "tenso-lab evaluation", "specimens": []})", "version"},
        {withHeader(R"("settings": {}, "specimens": {})"), "no list of specimens"},
        {withHeader(R"("specimens": [)" + specimen + R"({"file": "b.csv", "geometry": {"d0": -1}}])"),
            "specimen 2: d0 must be above 0, not -1"},
        {withHeader(R"("specimens": [{"file": "b.csv", "geometry": {"S0": 0}}])"),
            "specimen 1: S0 must be above 0"},
        {withHeader(R"("specimens": [{"file": "b.csv", "geometry": {"d0": "6"}}])"),
            "specimen 1: d0 is not a number"},
        {withHeader(R"("specimens": [{"file": "b.csv", "geometry": {"D0": 6}}])"),
            "specimen 1: D0 is no value of the geometry"},
        {withHeader(R"("specimens": [{"file": "b.csv", "modulus_range": [300, 300]}])"),
            "specimen 1: modulus_range needs 0 <= LO < HI, not [300, 300]"},
        {withHeader(R"("specimens": [{"file": "b.csv", "modulus_range": [400, 100]}])"),
            "modulus_range needs 0 <= LO < HI, not [400, 100]"},
        {withHeader(R"("specimens": [{"file": "b.csv", "modulus_range": [100]}])"),
            "modulus_range is not [LO, HI]"},
        {withHeader(R"("settings": {"modulus_range": [-1, 100]}, "specimens": [])"),
            "settings.modulus_range needs 0 <= LO < HI"},
        {withHeader(R"("settings": {"proof": [0.2, 1, 0.2]}, "specimens": [])"),
            "settings.proof names 0.2 twice"},
        {withHeader(R"("settings": {"proof": []}, "specimens": [])"), "settings.proof"},
        {withHeader(R"("settings": {"fracture_drop": 100}, "specimens": [])"), "settings.fracture_drop"},
        {withHeader(R"("settings": {"modulus": "tangent"}, "specimens": [])"), "settings.modulus"},
        {withHeader(R"("specimens": [{"id": "x"}])"), "specimen 1 names no file"},
        {withHeader(R"("specimens": [{"file": "b.csv", "included": "yes"}])"),
            "included is not true or false"},
    };
    for (const auto& [content, expected] : cases) {
        const std::string path = dir.Write("series.json", content);
        const std::string error = readError(path);
        EXPECT_EQ(error.rfind(path + ": ", 0), 0U) << content << "\n" << error;
        EXPECT_NE(error.find(expected), std::string::npos) << content << "\n" << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }

    const std::string missing = dir.path() + "/none.json";
    const std::string error = readError(missing);
    EXPECT_EQ(error.rfind(missing + ": cannot be read", 0), 0U) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
}

// Every value back bit for bit and every name byte for byte; paths relative to the file's folder
// (below it, beside it) and a Latin-1 byte that is no UTF-8.
TEST(EvaluationFile, RoundTripKeepsEveryValueAndName)
{
    const TempDir dir;
    const std::string folder = dir.path() + "/series";
    std::filesystem::create_directories(folder);
    const double tenth = 0.1 + 0.2;  // 0.30000000000000004

    Evaluation e;
    e.series.proofPercents = {tenth, 1e-300, 2};
    e.series.fractureDropPercent = tenth;
    e.series.modulus = standard::ModulusMethod::Passes;
    e.series.modulusRange = std::make_pair(1e-300, tenth);
    SpecimenSetup all;
    all.file = folder + "/sub/caf\xE9.csv";
    all.specimen = {tenth, 1e-300, 1.0 / 3, 1.7976931348623157e308, 2.0 / 3, std::numbers::pi,
        std::nextafter(1.0, 2.0), 123456789.123456789};
    all.id = "Pr\xC3\xBC"
             "fling \"7\" \\ tab\there";
    all.material = "42CrMoS4";
    all.included = false;
    all.modulusRange = std::make_pair(tenth, 1e300);
    SpecimenSetup beside;
    beside.file = dir.path() + "/other/x.csv";
    SpecimenSetup far;
    far.file = "/nonexistent-tenso/data/y.csv";
    far.specimen.Lu = 50;
    e.specimens = {all, beside, far};

    const std::string path = folder + "/saved.json";
    ASSERT_EQ(report::WriteEvaluation(path, e), "");
    const std::string text = slurp(path);
    EXPECT_EQ(text, report::EvaluationText(e, folder));
    EXPECT_NE(text.find("\"file\": \"sub/caf\\udce9.csv\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"file\": \"../other/x.csv\""), std::string::npos) << text;
    EXPECT_NE(text.find("0.30000000000000004"), std::string::npos) << text;
    EXPECT_NE(text.find("1e-300"), std::string::npos) << text;

    const Evaluation r = report::ReadEvaluation(path);
    EXPECT_EQ(r.series.proofPercents.size(), e.series.proofPercents.size());
    for (std::size_t k = 0; k < std::min(r.series.proofPercents.size(), e.series.proofPercents.size()); ++k)
        EXPECT_TRUE(same(r.series.proofPercents[k], e.series.proofPercents[k])) << k;
    EXPECT_TRUE(same(r.series.fractureDropPercent, e.series.fractureDropPercent));
    EXPECT_EQ(r.series.modulus, standard::ModulusMethod::Passes);
    EXPECT_TRUE(same(r.series.modulusRange, e.series.modulusRange));
    ASSERT_EQ(r.specimens.size(), 3U);
    for (std::size_t k = 0; k < 3; ++k) {
        const SpecimenSetup& x = e.specimens[k];
        const SpecimenSetup& y = r.specimens[k];
        EXPECT_EQ(y.file, x.file) << common::DisplayName(y.file);
        EXPECT_EQ(y.id, x.id) << k;
        EXPECT_EQ(y.material, x.material) << k;
        EXPECT_EQ(y.included, x.included) << k;
        EXPECT_TRUE(same(y.modulusRange, x.modulusRange)) << k;
        for (const auto& [member, symbol] :
            std::initializer_list<std::pair<std::optional<double> standard::Specimen::*, const char*>> {
                {&standard::Specimen::d0, "d0"}, {&standard::Specimen::a0, "a0"},
                {&standard::Specimen::b0, "b0"}, {&standard::Specimen::S0, "S0"},
                {&standard::Specimen::L0, "L0"}, {&standard::Specimen::Lu, "Lu"},
                {&standard::Specimen::du, "du"}, {&standard::Specimen::Su, "Su"}})
            EXPECT_TRUE(same(y.specimen.*member, x.specimen.*member)) << k << " " << symbol;
    }
    // Written again, the text is the same: nothing drifts on each save.
    EXPECT_EQ(report::EvaluationText(r, folder), text);
}

// The file's own folder is where its relative names start, wherever the program runs.
TEST(EvaluationFile, RelativeNamesStartAtTheFilesFolder)
{
    const TempDir dir;
    const std::string path = dir.Write(
        "a/b/saved.json", withHeader(R"("specimens": [{"file": "x.csv"}, {"file": "../c/./y.csv"}])"));
    const Evaluation e = report::ReadEvaluation(path);
    ASSERT_EQ(e.specimens.size(), 2U);
    EXPECT_EQ(e.specimens[0].file, dir.path() + "/a/b/x.csv");
    EXPECT_EQ(e.specimens[1].file, dir.path() + "/a/c/y.csv");
    EXPECT_TRUE(e.specimens[0].included);
    EXPECT_EQ(e.series.proofPercents, std::vector<double> {0.2});  // what is not said is the default
    EXPECT_EQ(e.series.modulus, standard::ModulusMethod::Sdar);
}

class EvaluationCommand : public ::testing::Test {
protected:
    TempDir dir;
    std::string files[3] = {fraunhofer + "46NT71.csv", fraunhofer + "46NT99.csv", fraunhofer + "46NTA1.csv"};

    // The first file with its own diameter, the second with its own range of E, with `more` after.
    std::string saved(const std::string& name = "saved.json",
        const std::string& more = R"(, {"file": ")" + fraunhofer + R"(46NTA1.csv", "included": false})") const
    {
        return dir.Write(name,
            withHeader(R"("settings": {"proof": [0.2, 1]}, "specimens": [{"file": ")" + files[0]
                + R"(", "geometry": {"d0": 5.25}}, {"file": ")" + files[1]
                + R"(", "modulus_range": [100, 600]})" + more + "]"));
    }
};

TEST_F(EvaluationCommand, UsageErrorsExit2WithOneLine)
{
    const std::string evaluation = saved();
    const std::string empty = dir.Write("empty.json", withHeader(R"("specimens": [])"));
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--evaluation", evaluation, files[0]}, "--evaluation takes no FILE"},
        {{"--evaluation", evaluation, "--proof", "0.2"}, "--proof"},
        {{"--evaluation", evaluation, "--diameter", "7"}, "--diameter"},
        {{"--evaluation", evaluation, "--specimens", evaluation}, "--specimens"},
        {{"--evaluation", evaluation, "--validate"}, "--evaluation does not go with --validate"},
        {{"--validate", "--reference", files[0], "--expect", evaluation, "--evaluation", evaluation},
            "--evaluation does not go with --validate"},
        {{"--evaluation", dir.path() + "/none.json"},
            "--evaluation: " + dir.path() + "/none.json: cannot be read"},
        {{"--evaluation", empty}, "names no data file"},
        {{"--evaluation", ""}, "--evaluation"},
    };
    for (const auto& [args, expected] : cases) {
        const ReportRun r = RunReport(args);
        std::string call;
        for (const std::string& a : args)
            call += a + " ";
        EXPECT_EQ(r.status, 2) << call << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << call << r.err;
        EXPECT_EQ(r.err.rfind("tenso-report: ", 0), 0U) << call << r.err;
        EXPECT_NE(r.err.find(expected), std::string::npos) << call << r.err;
        EXPECT_TRUE(r.out.empty()) << call;
    }
}

// Each specimen as the options evaluate that file alone; the one left out is printed, marked, and
// missing from the statistics.
TEST_F(EvaluationCommand, EachSpecimenWithItsOwnValuesAndTheExcludedOneLeftOut)
{
    const ReportRun r = RunReport({"--evaluation", saved(), "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> got = jsonLines(r.out);
    ASSERT_EQ(got.size(), 3U) << r.out;
    EXPECT_NE(r.out.find("\"included\": true"), std::string::npos);
    EXPECT_NE(r.out.find("{\"file\": " + common::JsonString(files[2]) + ", \"included\": false, "),
        std::string::npos)
        << r.out;
    const std::vector<std::vector<std::string>> alone
        = {{"--diameter", "5.25", files[0]}, {"--modulus-range", "100,600", files[1]}, {files[2]}};
    for (std::size_t k = 0; k < 3; ++k) {
        std::vector<std::string> args = {"--format", "json", "--proof", "0.2,1"};
        args.insert(args.end(), alone[k].begin(), alone[k].end());
        const ReportRun one = RunReport(args);
        ASSERT_EQ(one.status, 0) << one.err;
        const std::vector<std::string> expected = jsonLines(one.out);
        ASSERT_EQ(expected.size(), 1U);
        EXPECT_EQ(got[k], expected[0]) << k;
    }

    // The statistics are those of the first two alone, each with its own values.
    const ReportRun both = RunReport({"--evaluation", saved("two.json", ""), "--format", "json"});
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(statisticsText(r.out), statisticsText(both.out));
    EXPECT_NE(statisticsText(r.out).find("\"E\": {\"n\": 2, "), std::string::npos) << statisticsText(r.out);

    // The CSV has the column after the file's name.
    const ReportRun csv = RunReport({"--evaluation", dir.path() + "/saved.json"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out.rfind("file,included,id,material,error,", 0), 0U) << csv.out.substr(0, 80);
    EXPECT_NE(csv.out.find("\r\n" + files[2] + ",false,"), std::string::npos);
    EXPECT_NE(csv.out.find("\r\n" + files[0] + ",true,"), std::string::npos);
}

}  // namespace
}  // namespace tenso::test
