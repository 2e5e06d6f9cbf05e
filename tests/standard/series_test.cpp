// Series statistics and the specimens file.
#include "standard/specimens.h"
#include "standard/statistics.h"

#include "support/temp_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

namespace tenso::standard {
namespace {

using test::TempFile;

Result withRm(double Rm)
{
    Result r;
    r.Rm = Rm;
    return r;
}

Statistic statisticOf(const SeriesStatistics& series, const std::string& name)
{
    for (const auto& [key, st] : series.Compute())
        if (key == name)
            return st;
    ADD_FAILURE() << "no statistic " << name;
    return {};
}

TEST(SeriesStatistics, QuantitiesInReportOrder)
{
    const SeriesStatistics series({0.2, 1});
    std::vector<std::string> names;
    for (const auto& [key, st] : series.Compute())
        names.push_back(key);
    EXPECT_EQ(names,
        (std::vector<std::string> {
            "E", "ReH", "ReL", "Ae", "Rp0.2", "Rp1", "Rm", "Fm", "Agt", "Ag", "Rf", "At", "A", "Z"}));
}

TEST(SeriesStatistics, NoneOneAndSeveral)
{
    SeriesStatistics series({0.2});
    Statistic st = statisticOf(series, "Rm");
    EXPECT_EQ(st.n, 0u);
    EXPECT_FALSE(st.mean || st.s || st.CoV || st.min || st.max);

    series.Add(withRm(10));
    st = statisticOf(series, "Rm");
    EXPECT_EQ(st.n, 1u);
    EXPECT_EQ(st.mean, 10);
    EXPECT_EQ(st.min, 10);
    EXPECT_EQ(st.max, 10);
    EXPECT_FALSE(st.s || st.CoV);

    Result failed = withRm(1000);
    failed.error = "bad file";
    series.Add(failed);  // left out
    series.Add(withRm(12));
    series.Add(withRm(14));
    series.Add(Result {});  // no Rm: left out of Rm
    // mean 12; s = sqrt((4 + 0 + 4) / 2) = 2; CoV = 2 / 12 100.
    st = statisticOf(series, "Rm");
    EXPECT_EQ(st.n, 3u);
    EXPECT_EQ(st.mean, 12);
    EXPECT_EQ(st.s, 2);
    EXPECT_NEAR(*st.CoV, 100.0 / 6, 1e-12);
    EXPECT_EQ(st.min, 10);
    EXPECT_EQ(st.max, 14);
}

TEST(SeriesStatistics, CoVNullForMeanZeroAndEInGPa)
{
    SeriesStatistics series({0.2});
    for (double v : {-1.0, 1.0}) {
        Result r = withRm(v);
        r.E = ModulusFit {};
        r.E->GPa = 200 + v;
        r.Rp.push_back({0.2, "0.2", 300 + v, 0.003, 5});
        series.Add(r);
    }
    const Statistic rm = statisticOf(series, "Rm");
    EXPECT_EQ(rm.mean, 0);
    EXPECT_EQ(rm.s, std::sqrt(2.0));
    EXPECT_FALSE(rm.CoV);
    EXPECT_EQ(statisticOf(series, "E").mean, 200);
    EXPECT_EQ(statisticOf(series, "Rp0.2").max, 301);
}

TEST(SpecimenTable, SemicolonWithDecimalComma)
{
    TempFile file("\xEF\xBB\xBF"
                  "File; D0 ;L0;Lu;du;Comment\r\nA.csv;7,13;35;\"42,5\";;first\r\n\r\nB.csv;7.1;35\r\n",
        "specimens.csv");
    const SpecimenTable table = SpecimenTable::Read(file.path());
    const SpecimenRow* a = table.Find("data/A.csv");  // by base name
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->specimen.d0, 7.13);
    EXPECT_EQ(a->specimen.L0, 35);
    EXPECT_EQ(a->specimen.Lu, 42.5);
    EXPECT_FALSE(a->specimen.du);
    EXPECT_EQ(table.Find("B.csv")->specimen.d0, 7.1);
    EXPECT_EQ(table.Find("C.csv"), nullptr);
}

TEST(SpecimenTable, CommaSeparatedTakesPointsOnly)
{
    TempFile good("file,S0,L0\nx.txt,20.5,50\n", "s.csv");
    EXPECT_EQ(SpecimenTable::Read(good.path()).Find("x.txt")->specimen.S0, 20.5);
    TempFile bad("file,S0\nx.txt,abc\n", "s.csv");
    EXPECT_THROW(SpecimenTable::Read(bad.path()), std::runtime_error);
    TempFile noFile("name,S0\nx.txt,1\n", "s.csv");
    EXPECT_THROW(SpecimenTable::Read(noFile.path()), std::runtime_error);
}

TEST(SpecimenTable, TwoMatchingRowsAreAnError)
{
    // The argument "run/x.txt" matches row 2 as given and row 3 by its base name.
    TempFile file("file,S0\nrun/x.txt,1\nx.txt,2\n", "s.csv");
    const SpecimenTable table = SpecimenTable::Read(file.path());
    try {
        table.Find("run/x.txt");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), file.path() + ": lines 2 and 3 both give the specimen of run/x.txt");
    }
    EXPECT_EQ(table.Find("other/x.txt")->specimen.S0, 2);
}

TEST(Override, RowReplacesTheWholeCrossSection)
{
    Specimen base;
    base.d0 = 10;
    base.L0 = 50;
    base.du = 8;
    Specimen row;
    row.S0 = 20;
    row.Lu = 60;
    const Specimen s = Override(base, row);
    EXPECT_FALSE(s.d0);
    EXPECT_EQ(s.S0, 20);
    EXPECT_EQ(s.L0, 50);
    EXPECT_EQ(s.Lu, 60);
    EXPECT_EQ(s.du, 8);
}

}  // namespace
}  // namespace tenso::standard
