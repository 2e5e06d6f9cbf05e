// tenso-report's options, its CSV, and what it does with bad files and a bad standard output.
#include "report_run.h"

#include "support/temp_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

namespace tenso::test {
namespace {

const std::string good = TENSO_TEST_DATA "/realdata/steel-1045-normalized-2.csv";
const std::vector<std::string> geometry = {"--diameter", "7.08", "--gauge-length", "25.4"};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    return out;
}

TEST(ReportOptions, UsageErrorsNameTheOptionOnOneLineAndExit2)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "FILE"},
        {{"--bogus", good}, "bogus"},
        {{"--format", "xml", good}, "--format"},
        {{"--separator", "colon", good}, "--separator"},
        {{"--decimal", "dot", good}, "--decimal"},
        {{"--width", "20", good}, "--width"},
        {{"--thickness", "2", good}, "--thickness"},
        {{"--diameter", "7", "--area", "40", good}, "--area"},
        {{"--diameter", "7,08", good}, "--diameter"},  // a decimal comma
        {{"--diameter", "-7", good}, "--diameter"},  // not positive
        {{"--gauge-length", "abc", good}, "--gauge-length"},
        {{"--final-diameter", "5", "--final-area", "20", good}, "--final-area"},
        {{"--proof", "0.2,x", good}, "--proof"},
        {{"--proof", "0.2,0.2", good}, "--proof"},
        {{"--modulus-range", "50", good}, "--modulus-range"},
        {{"--modulus-range", "300,100", good}, "--modulus-range"},
        {{"--modulus", "sdar2", good}, "--modulus"},
        {{"--fracture-drop", "0", good}, "--fracture-drop"},
        {{"--force", "", good}, "--force"},
        {{"--force-unit", "kg", good}, "--force-unit"},
        {{"--strain-unit", "mm", good}, "--strain-unit"},  // a unit of another kind
        {{"--specimens", "/nonexistent/specimens.csv", good}, "--specimens"},
        // Conflicts of the options alone: a usage error before any file, not one error per file.
        {{"--decimal", "comma", "--separator", "comma", good, good}, "--separator comma"},
        {{"--diameter", "1e200", good, good}, "out of range"},
    };
    for (const auto& [args, option] : cases) {
        const ReportRun r = RunReport(args);
        std::string shown;
        for (const std::string& a : args)
            shown += a + " ";
        EXPECT_EQ(r.status, 2) << shown << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << r.err;
        EXPECT_NE(r.err.find(option), std::string::npos) << shown << r.err;
        EXPECT_TRUE(r.out.empty()) << shown;
    }
}

TEST(ReportOptions, HelpAndVersion)
{
    const ReportRun help = RunReport({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* text :
        {"--specimens", "--modulus-range", "--modulus ", "SDAR", "ReH", "Exit status", "mm²"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    const ReportRun version = RunReport({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tenso-report ", 0), 0U) << version.out;
}

TEST(ReportCsv, HeaderRowsAndStatisticsRows)
{
    const ReportRun r = RunReport(with(geometry, {"--proof", "0.2,1", good, good}));
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> rows = lines(r.out);
    ASSERT_EQ(rows.size(), 8U) << r.out;  // header, 2 files, mean, s, CoV %, min, max
    EXPECT_EQ(rows[0],
        "file,id,material,error,records,skipped,S0 [mm²],L0 [mm],E [GPa],E lo [MPa],E hi [MPa],E points,"
        "E r2,E pass,E method,E x noise,E y noise,E x resolution,E y resolution,E q1,E q4,E fit range,e0 [-],"
        "ReH [MPa],ReL [MPa],Ae [%],Rp0.2 [MPa],Rp0.2 strain [-],Rp1 [MPa],Rp1 strain [-],Rm [MPa],Fm [kN],"
        "Agt [%],Ag [%],Rf [MPa],At [%],A [%],A from curve,Z [%],warnings,notes");
    EXPECT_EQ(rows[1].rfind(good + ",,,,321,0,", 0), 0U) << rows[1];
    EXPECT_EQ(rows[1], rows[2]);
    const char* labels[] = {"mean", "s", "CoV %", "min", "max"};
    for (std::size_t k = 0; k < 5; ++k) {
        const std::string& row = rows[3 + k];
        EXPECT_EQ(row.rfind(std::string(labels[k]) + ",", 0), 0U) << row;
        EXPECT_EQ(std::count(row.begin(), row.end(), ','), std::count(rows[0].begin(), rows[0].end(), ','))
            << row;
    }
    // Two equal files: s = 0; the columns around E [GPa] stay empty.
    EXPECT_EQ(rows[4].substr(0, 12), "s,,,,,,,,0,,");
}

// --proof 0.0001 was "Rp1e-04" in the columns and "Rp0.0001" in the statistics, whose cells then
// stayed empty. Two equal files: the mean is the value, s is 0, in the same column. With the passes,
// whose fit ends at 222 MPa, so small an extension is met after the fit; SDAR's ends at 319 MPa,
// beyond it.
TEST(ReportCsv, ASmallProofExtensionHasItsStatistics)
{
    const ReportRun r = RunReport(with(geometry, {"--modulus", "passes", "--proof", "0.0001", good, good}));
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> rows = lines(r.out);
    ASSERT_EQ(rows.size(), 8U) << r.out;
    const auto cells = [](const std::string& row) {
        std::vector<std::string> out;
        std::size_t start = 0;
        for (std::size_t comma; (comma = row.find(',', start)) != std::string::npos; start = comma + 1)
            out.push_back(row.substr(start, comma - start));
        out.push_back(row.substr(start));
        return out;
    };
    const std::vector<std::string> header = cells(rows[0]);
    const auto column = std::find(header.begin(), header.end(), "Rp0.0001 [MPa]");
    ASSERT_NE(column, header.end()) << rows[0];
    const auto c = static_cast<std::size_t>(column - header.begin());
    const std::string value = cells(rows[1])[c];
    EXPECT_FALSE(value.empty());
    EXPECT_EQ(cells(rows[3])[c], value);  // mean
    EXPECT_EQ(cells(rows[4])[c], "0");  // s
    EXPECT_EQ(cells(rows[6])[c], value);  // min
}

// The method of E and SDAR's checks in their columns: empty with the passes and with a given range.
TEST(ReportCsv, TheMethodOfEAndItsChecks)
{
    const auto cells = [](const std::vector<std::string>& args) {
        const std::vector<std::string> rows = lines(RunReport(with(geometry, args)).out);
        std::vector<std::string> out;
        std::size_t start = 0;
        for (int c = 0; c < 22; ++c) {
            const std::size_t comma = rows.at(1).find(',', start);
            out.push_back(rows.at(1).substr(start, comma - start));
            start = comma + 1;
        }
        return out;  // file, id, material ... E fit range
    };
    const std::vector<std::string> sdar = cells({good});
    EXPECT_EQ(sdar[13], "");  // E pass
    EXPECT_EQ(sdar[14], "sdar");
    for (std::size_t c = 15; c < 22; ++c)
        EXPECT_NE(sdar[c], "") << c;
    const std::vector<std::string> passes = cells({"--modulus", "passes", good});
    EXPECT_EQ(passes[13], "2");
    EXPECT_EQ(passes[14], "passes");
    const std::vector<std::string> range = cells({"--modulus-range", "50,200", good});
    EXPECT_EQ(range[13], "0");
    EXPECT_EQ(range[14], "range");
    for (std::size_t c = 15; c < 22; ++c) {
        EXPECT_EQ(passes[c], "") << c;
        EXPECT_EQ(range[c], "") << c;
    }
}

TEST(ReportCsv, QuotesAFileNameWithACommaOrAQuote)
{
    TempFile file(std::string("x"), "a,\"b\".csv");
    const ReportRun r = RunReport({file.path()});
    EXPECT_EQ(r.status, 1);
    const std::vector<std::string> rows = lines(r.out);
    ASSERT_GE(rows.size(), 2U);
    EXPECT_EQ(rows[1].rfind("\"" + file.folder() + "/a,\"\"b\"\".csv\",", 0), 0U) << rows[1];
}

TEST(ReportFiles, ABadFileAmongGoodOnesIsReportedInItsPlace)
{
    // 12 files, every third one missing: the rows stay in the order of the arguments although
    // the files are evaluated on several threads.
    std::vector<std::string> args = with(geometry, {"--format", "json"});
    for (int i = 0; i < 12; ++i)
        args.push_back(i % 3 == 1 ? "/nonexistent/" + std::to_string(i) + ".csv" : good);
    const ReportRun r = RunReport(args);
    EXPECT_EQ(r.status, 1);
    std::size_t at = 0;
    for (int i = 0; i < 12; ++i) {
        at = r.out.find("{\"file\": ", at);
        ASSERT_NE(at, std::string::npos) << i;
        const std::string row = r.out.substr(at, r.out.find('\n', at) - at);
        if (i % 3 == 1) {
            EXPECT_NE(row.find("\"/nonexistent/" + std::to_string(i)
                          + ".csv\", \"id\": null, \"material\": null, \"error\": \""),
                std::string::npos)
                << row;
        } else {
            EXPECT_NE(row.find("\"error\": null, \"records\": 321"), std::string::npos) << row;
        }
        ++at;
    }
    EXPECT_NE(r.out.find("\"Rm\": {\"n\": 8,"), std::string::npos) << r.out;
}

TEST(ReportFiles, TwoSpecimenRowsForOneFileAreThatFilesError)
{
    TempFile table(
        "file,d0,L0\nsteel-1045-normalized-2.csv,7.08,25.4\n" + good + ",7.1,25.4\n", "specimens.csv");
    const ReportRun r = RunReport({"--specimens", table.path(), "--diameter", "7", good,
        TENSO_TEST_DATA "/realdata/steel-1045-normalized-1.csv"});
    EXPECT_EQ(r.status, 1);
    const std::vector<std::string> rows = lines(r.out);
    ASSERT_GE(rows.size(), 3U) << r.out;
    EXPECT_EQ(rows[1].rfind(good + ",", 0), 0U);
    EXPECT_NE(rows[1].find("specimens.csv"), std::string::npos) << rows[1];  // names the table
    EXPECT_EQ(rows[2].find(",,"), rows[2].find(',')) << rows[2];  // the other file: no error
}

TEST(ReportFiles, AnEmptyFileNameIsAFileError)
{
    const ReportRun r = RunReport(with(geometry, {"--format", "json", "", good}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(
        r.out.find("{\"file\": \"\", \"id\": null, \"material\": null, \"error\": \""), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"error\": null"), std::string::npos) << r.out;
}

TEST(ReportFiles, ALatin1FileNameIsKeptByteForByte)
{
    std::ifstream in(good, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TempFile file(content,
        "Pr\xfc"
        "fung.csv");  // "Prüfung" in Latin-1: not UTF-8
    const ReportRun json = RunReport(with(geometry, {"--format", "json", file.path()}));
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("/Pr\\udcfcfung.csv\", \"id\": null, \"material\": null, \"error\": null"),
        std::string::npos)
        << json.out;
    const ReportRun csv = RunReport(with(geometry, {file.path()}));
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find("\r\n" + file.path() + ",,,,321,"), std::string::npos) << csv.out;
}

TEST(ReportFiles, AFifoDoesNotHang)
{
    TempFile folder(std::string(), "unused");
    const std::string fifo = folder.folder() + "/pipe.csv";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const ReportRun r = RunReport(with(geometry, {fifo, good}), {}, 20);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find(fifo + ","), std::string::npos) << r.out;
    unlink(fifo.c_str());
}

TEST(ReportOutput, AFullDiskIsAnErrorNotASuccess)
{
    const ReportRun r = RunReport(with(geometry, {good}), "/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("standard output"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tenso::test
