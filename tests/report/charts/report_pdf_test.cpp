#include "chart_data.h"
#include "report_pdf.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>

using namespace tenso::report;
using tenso::standard::Result;
using tenso::standard::Statistic;

namespace {

// A hand-made specimen: the values are chosen so that each rounds in a way of its own.
ReportEntry Specimen(const std::string& file, double Rm)
{
    Result r;
    r.file = file;
    r.records = 6;
    r.skipped = 0;
    r.S0 = 78.5398;  // pi/4 x 10²
    r.L0 = 50;
    r.E = tenso::standard::ModulusFit {
        205.25, 60, 240, 40, 0.99991, 2, 0, 5, tenso::standard::FitMethod::Passes};
    r.e0 = 0.0001;
    r.ReH = 352.5;  // -> 353 (half away from zero)
    r.ReL = 331.4;  // -> 331
    r.Ae = 1.449;  // -> 1.4
    r.Rp.push_back({0.2, "0.2", 340.2, 0.00375, 2.5});
    r.Rm = Rm;
    r.Fm = Rm * 78.5398 / 1000;
    r.Agt = 20.74;  // -> 20.5
    r.Ag = 20.46;  // -> 20.5
    r.Rf = 410;
    r.At = 31.3;  // -> 31.5
    r.A = 29.1;  // -> 29.0, from the curve
    r.A_from_curve = true;
    r.Z = 61.6;  // -> 62
    r.notes = {"2 lines after the table ignored"};
    r.curve.strain = {0.0001, 0.001, 0.002, 0.1, 0.2075, 0.3131};
    r.curve.stress = {0, 184, 352.5, 480, Rm, 410};
    r.indexReH = 2;
    r.indexRm = 4;
    r.indexFracture = 5;
    ReportEntry entry {r, MakeChartData(r)};
    entry.result.curve = {};
    return entry;
}

ReportEntry Failed(const std::string& file, const std::string& message)
{
    ReportEntry entry;
    entry.result.file = file;
    entry.result.error = message;
    return entry;
}

ReportSettings Settings()
{
    ReportSettings settings;
    settings.title = "Batch 4711";
    settings.evaluated = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), QTimeZone::utc());
    settings.version = "1.0.0";
    return settings;
}

std::vector<ReportEntry> Series(int n)
{
    std::vector<ReportEntry> entries;
    for (int i = 1; i <= n; ++i)
        entries.push_back(Specimen("specimen-" + std::to_string(100 + i) + ".csv", 600 + i));
    return entries;
}

QString Tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int Pages(const QString& pdf)
{
    for (const QString& line : Tool("pdfinfo", {pdf}).split('\n')) {
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

QString PageText(const QString& pdf, int first, int last)
{
    return Tool(
        "pdftotext", {"-layout", "-f", QString::number(first), "-l", QString::number(last), pdf, "-"});
}

class WritePdfReportTest : public testing::Test {
protected:
    QString Write(const std::vector<ReportEntry>& entries, const tenso::standard::Statistics& statistics = {})
    {
        const QString path = dir.filePath("report.pdf");
        EXPECT_EQ(WritePdfReport(path, Settings(), entries, statistics), "");
        return path;
    }
    QTemporaryDir dir;
};

}  // namespace

// Pages: the series (table, failures, chart), then one per evaluated specimen.
TEST_F(WritePdfReportTest, OnePagePerSpecimenAfterTheSeries)
{
    EXPECT_EQ(Pages(Write(Series(1))), 2);
    EXPECT_EQ(Pages(Write(Series(3))), 4);
}

TEST_F(WritePdfReportTest, FortySpecimensEachOnAPageOfItsOwn)
{
    // The series takes one page or two (the chart needs 100 mm below the table); after it, page by
    // page, the specimens in order.
    const QString pdf = Write(Series(40));
    const int series = Pages(pdf) - 40;
    ASSERT_GE(series, 1);
    ASSERT_LE(series, 2);
    const QString table = PageText(pdf, 1, 1);
    EXPECT_TRUE(table.contains("specimen-101.csv"));
    EXPECT_TRUE(table.contains("specimen-140.csv"));
    EXPECT_TRUE(table.contains("max"));
    for (int i = 1; i <= 40; ++i) {
        const QString heading = PageText(pdf, series + i, series + i).trimmed().section('\n', 0, 0);
        EXPECT_EQ(heading.toStdString(), "specimen-" + std::to_string(100 + i) + ".csv");
    }
}

TEST_F(WritePdfReportTest, LongTableContinuesWithItsHeader)
{
    // 125 rows of at least 5-point text (2.3 mm) need more than the 264 mm of a page: the rest
    // goes to page 2 under a repeated header.
    const QString pdf = Write(Series(120));
    const QString second = PageText(pdf, 2, 2);
    EXPECT_TRUE(second.contains("specimen-220.csv"));
    EXPECT_TRUE(second.contains("ReH"));
    EXPECT_TRUE(second.contains("File"));
    const QString all = PageText(pdf, 1, Pages(pdf) - 120);
    for (int i = 101; i <= 220; ++i)
        EXPECT_TRUE(all.contains(QString("specimen-%1.csv").arg(i))) << i;
}

TEST_F(WritePdfReportTest, RoundedValuesAndTheFailedFile)
{
    // Statistics over Rm = 611 and 613 by hand: mean 612, s = sqrt(2) = 1.414 -> 1, CoV 0.231 -> 0.2.
    tenso::standard::Statistics statistics
        = {{"Rm", Statistic {2, 612.0, 1.41421356, 0.2310806, 611.0, 613.0}}};
    const QString pdf
        = Write({Specimen("a.csv", 611.46), Failed("broken.csv", "line 3: no force column (--force)"),
                    Specimen("b.csv", 613.0)},
            statistics);
    EXPECT_EQ(Pages(pdf), 3);
    const QString first = PageText(pdf, 1, 1);
    for (const char* value : {"205.3", "353", "331", "1.4", "340", "611", "613", "20.5", "31.5", "29.0*",
             "62", "78.54", "50.0", "612", "0.2", "Batch 4711", "2026-03-14 09:26:53", "ISO 6892-1", "1.0.0"})
        EXPECT_TRUE(first.contains(value)) << value;
    EXPECT_FALSE(first.contains("611.46"));
    EXPECT_TRUE(first.contains("broken.csv"));
    EXPECT_TRUE(first.contains("line 3: no force column (--force)"));
    // The specimen's page: its file, its values with units, and its notes.
    const QString page = PageText(pdf, 2, 2);
    for (const char* value : {"a.csv", "611 MPa", "353 MPa", "205.3 GPa", "31.5 %", "48.02 kN", "ignored"})
        EXPECT_TRUE(page.contains(value)) << value;
}

TEST_F(WritePdfReportTest, FontsAreEmbedded)
{
    const QString fonts = Tool("pdffonts", {Write(Series(1))});
    const QStringList lines = fonts.split('\n', Qt::SkipEmptyParts).mid(2);  // below the header
    ASSERT_FALSE(lines.isEmpty());
    for (const QString& line : lines)
        EXPECT_TRUE(line.contains(" yes ")) << line.toStdString();
}

TEST_F(WritePdfReportTest, LetterPages)
{
    ReportSettings settings = Settings();
    settings.page = PageSize::Letter;
    const QString path = dir.filePath("letter.pdf");
    ASSERT_EQ(WritePdfReport(path, settings, Series(1), {}), "");
    EXPECT_TRUE(Tool("pdfinfo", {path}).contains("612 x 792 pts"));
}

TEST_F(WritePdfReportTest, FailureNamesTheFileAndLeavesNothing)
{
    const QString path = dir.filePath("no/such/folder/r.pdf");
    const std::string message = WritePdfReport(path, Settings(), Series(1), {});
    EXPECT_NE(message.find(path.toStdString()), std::string::npos) << message;
    EXPECT_FALSE(QFile::exists(path));
}
