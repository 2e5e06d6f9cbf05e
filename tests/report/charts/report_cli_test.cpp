// tenso-report --pdf and --plot run as a user would.
#include "report/report_run.h"
#include "support/comma_locale.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <filesystem>

using tenso::test::RunReport;

namespace {

const std::string Examples = TENSO_EXAMPLES;

QString Tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

std::string Path(const QTemporaryDir& dir, const char* name) { return dir.filePath(name).toStdString(); }

}  // namespace

TEST(ReportPdf, ExamplesSeriesWithTheRoundedValues)
{
    QTemporaryDir dir;
    const std::string pdf = Path(dir, "series.pdf");
    const auto run = RunReport({"--pdf", pdf, "--title", "Lot 7", "--specimens", Examples + "/specimens.csv",
        Examples + "/machine_aluminium_flat.tsv", Examples + "/machine_steel_european.txt",
        Examples + "/machine_steel_round.csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no progress line into a pipe
    EXPECT_NE(run.out.find("machine_steel_round.csv"), std::string::npos);  // the CSV as without --pdf
    EXPECT_TRUE(Tool("pdfinfo", {QString::fromStdString(pdf)}).contains(QRegularExpression("Pages: +4\n")));
    // The round steel's page, from tests/report/expected/examples.json (an independent evaluation)
    // rounded by hand: E 205.0456 GPa -> 205.0; ReH 321.9997 -> 322; ReL 293.52 -> 294;
    // Rm 438.047 -> 438; Ae 2.4136 -> 2.4; Agt 17.8466 -> 18.0 (35.69 halves); At 28.0306 -> 28.0;
    // A 28.2 -> 28.0 (56.4 halves); Z 61.56 -> 62.
    const QString page
        = Tool("pdftotext", {"-f", "4", "-l", "4", "-layout", QString::fromStdString(pdf), "-"});
    for (const char* value : {"machine_steel_round.csv", "205.0 GPa", "322 MPa", "294 MPa", "438 MPa",
             "2.4 %", "18.0 %", "28.0 %", "62 %"})
        EXPECT_TRUE(page.contains(value)) << value;
    // E by SDAR over 0.30 to 322.0 MPa, 215 records; of its checks the strain's resolution, 4/3, fails.
    for (const char* value : {"SDAR (ASTM E3076), fit over 0 to 322 MPa, 215 points", "E3076", "fail",
             "resolution 1.33 (fails) / 0.67"})
        EXPECT_TRUE(page.contains(value)) << value << "\n" << page.toStdString();
    EXPECT_TRUE(Tool("pdftotext", {"-l", "1", QString::fromStdString(pdf), "-"}).contains("Lot 7"));
}

TEST(ReportPdf, AFileNameThatIsNotUtf8IsShownAsTheJsonWritesIt)
{
    // Latin-1 names: each stray byte shows as the JSON's \udcXX in the PDF's tables and pages and
    // in the chart's title, not as U+FFFD, which would not say which byte it was.
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("plots");
    const std::string folder = dir.path().toStdString();  // names as bytes, not through QString
    // QTemporaryDir cannot remove a name that is not UTF-8; std::filesystem takes the bytes.
    const struct RemoveAll {
        std::string folder;
        ~RemoveAll() { std::filesystem::remove_all(folder); }
    } removeAll {folder};
    const std::string good = folder + "/r\xe9und.csv";
    std::filesystem::copy_file(Examples + "/machine_steel_round.csv", good);
    const std::string pdf = Path(dir, "series.pdf");
    const auto run = RunReport({"--pdf", pdf, "--plot", Path(dir, "plots"), "--plot-format", "svg",
        "--diameter", "10", "--gauge-length", "50", good, folder + "/missing-\xe9.csv"});
    EXPECT_EQ(run.status, 1) << run.err;  // the missing file
    const QString series = Tool("pdftotext", {"-f", "1", "-l", "1", QString::fromStdString(pdf), "-"});
    EXPECT_TRUE(series.contains("r\\udce9und.csv")) << series.toStdString();  // the table
    EXPECT_TRUE(series.contains("missing-\\udce9.csv: ")) << series.toStdString();  // not evaluated
    const QString page = Tool("pdftotext", {"-f", "2", "-l", "2", QString::fromStdString(pdf), "-"});
    EXPECT_TRUE(page.startsWith(QString::fromStdString(folder) + "/r\\udce9und.csv\n"))
        << page.toStdString();  // the specimen's page
    EXPECT_FALSE(page.contains(QChar(0xFFFD)));

    const QStringList charts = QDir(dir.filePath("plots")).entryList(QDir::Files);
    ASSERT_EQ(charts.size(), 1);
    QFile svg(dir.filePath("plots/" + charts[0]));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    EXPECT_TRUE(text.contains("/r\\udce9und.csv</title>")) << text.left(600).toStdString();
    EXPECT_GE(text.count("r\\udce9und.csv"), 2);  // the title painted above the chart too
    EXPECT_FALSE(text.contains("\xef\xbf\xbd"));
}

TEST(ReportPlot, MissingFolderIsAUsageErrorBeforeAnyEvaluation)
{
    QTemporaryDir dir;
    const auto run = RunReport({"--plot", Path(dir, "none"), Examples + "/machine_steel_round.csv",
        "--diameter", "10", "--gauge-length", "50"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("--plot: the folder"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
}

TEST(ReportPlot, SameBaseNameGetsANumber)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("a");
    QDir(dir.path()).mkpath("b");
    QDir(dir.path()).mkpath("plots");
    for (const char* folder : {"a", "b"})
        QFile::copy(
            QString::fromStdString(Examples + "/machine_steel_round.csv"), dir.filePath(folder) + "/run.csv");
    const auto run = RunReport({"--plot", Path(dir, "plots"), "--plot-size", "640x480", "--diameter", "10",
        "--gauge-length", "50", Path(dir, "a/run.csv"), Path(dir, "b/run.csv")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(QImage(dir.filePath("plots/run.png")).size(), QSize(640, 480));
    EXPECT_EQ(QImage(dir.filePath("plots/run-2.png")).size(), QSize(640, 480));
}

TEST(ReportPlot, SvgCharts)
{
    QTemporaryDir dir;
    const auto run = RunReport({"--plot", dir.path().toStdString(), "--plot-format", "svg", "--diameter",
        "10", "--gauge-length", "50", Examples + "/machine_steel_round.csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    QFile svg(dir.filePath("machine_steel_round.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("</svg>"));
}

TEST(ReportPlot, UnwritableChartNamesItAndExitsOne)
{
    // A folder where the chart would go: the rename onto it fails, whoever runs the test.
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("machine_steel_round.png");
    const auto run = RunReport({"--plot", dir.path().toStdString(), "--diameter", "10", "--gauge-length",
        "50", Examples + "/machine_steel_round.csv"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot write " + Path(dir, "machine_steel_round.png")), std::string::npos)
        << run.err;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());  // no temporary file left
}

TEST(ReportPdf, BadPictureOptions)
{
    const std::string file = Examples + "/machine_steel_round.csv";
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>> {
             {"--plot", "/tmp", "--plot-size", "10x10", file},
             {"--plot", "/tmp", "--plot-size", "800", file},
             {"--plot", "/tmp", "--plot-format", "jpg", file},
             {"--pdf", "/tmp/r.pdf", "--page-size", "a5", file},
             {"--title", "x", file},
             {"--pdf", "/tmp", file},
             {"--pdf", "/no/such/folder/r.pdf", file},
         }) {
        const auto run = RunReport(args);
        EXPECT_EQ(run.status, 2) << args[args.size() - 2];
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("tenso-report: --"), std::string::npos) << run.err;
    }
}

// Qt makes the environment's locale the process locale; under de_DE printf wrote "78,54" in the
// report while the CSV had "78.54". Every byte must be the same as under the C locale.
TEST(ReportLocale, DecimalCommaLocaleChangesNoByte)
{
    if (!tenso::test::CommaLocaleEnvironment::Available())
        GTEST_SKIP() << tenso::test::CommaLocale::Why();
    QTemporaryDir dir;
    const std::vector<std::string> series = {"--specimens", Examples + "/specimens.csv",
        Examples + "/machine_aluminium_flat.tsv", Examples + "/machine_steel_european.txt",
        Examples + "/machine_steel_round.csv", Path(dir, "missing.csv")};
    const auto report = [&](const char* name) {
        std::vector<std::string> args = {"--pdf", Path(dir, name)};
        args.insert(args.end(), series.begin(), series.end());
        const auto run = RunReport(args);
        EXPECT_EQ(run.status, 1) << run.err;
        return std::make_pair(
            run.out, Tool("pdftotext", {"-layout", QString::fromStdString(Path(dir, name)), "-"}));
    };
    qputenv("SOURCE_DATE_EPOCH", "1700000000");  // the same date on both reports
    const auto plain = report("c.pdf");
    std::pair<std::string, QString> comma;
    {
        const tenso::test::CommaLocaleEnvironment german;
        comma = report("de.pdf");
    }
    EXPECT_EQ(comma.first, plain.first);
    EXPECT_EQ(comma.second, plain.second);
    EXPECT_TRUE(comma.second.contains("78.54"));  // S0 = pi/4 x 10² of the round steel
    EXPECT_TRUE(comma.second.contains("No such file or directory"));
    qunsetenv("SOURCE_DATE_EPOCH");
}

// The fallback after from_chars read "1.5e400" under de_DE up to the '.': a record of 1 N, and the
// file evaluated with exit 0. It lies beyond the double range: the line's error.
TEST(ReportLocale, ANumberBeyondTheRangeIsAnErrorUnderADecimalCommaLocale)
{
    if (!tenso::test::CommaLocaleEnvironment::Available())
        GTEST_SKIP() << tenso::test::CommaLocale::Why();
    QTemporaryDir dir;
    QFile file(dir.filePath("huge.csv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Force;Extension\n0;0\n100;0.01\n1.5e400;0.02\n50;0.03\n");
    file.close();
    const tenso::test::CommaLocaleEnvironment german;
    const auto run = RunReport({"--pdf", Path(dir, "r.pdf"), "--area", "10", "--gauge-length", "50",
        "--format", "json", file.fileName().toStdString()});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.out.find("line 4"), std::string::npos) << run.out;
}
