// Real exports of five sources, evaluated with the call a user would make, against the values their
// sources publish: a laboratory's own evaluation in each 42CrMoS4 file's header, Zwick's and
// Bluehill's results in theirs, and the values the other projects give (tests/data/realdata/README.md).
// Where a source publishes nothing, what the file itself makes certain.
#include "report_run.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace tenso::test {
namespace {

const std::string realdata = TENSO_TEST_DATA "/realdata/";

QJsonArray run(const std::vector<std::string>& args)
{
    std::vector<std::string> all = {"--format", "json"};
    all.insert(all.end(), args.begin(), args.end());
    const ReportRun r = RunReport(all);
    EXPECT_EQ(r.status, 0) << r.err << r.out;
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).array();
}

// A value of a result by its symbol: "E" (GPa), "Rp0.2", "Rm", "Ag", ...
double value(const QJsonObject& o, const std::string& symbol)
{
    if (symbol == "E")
        return o["E"].toObject()["GPa"].toDouble(NAN);
    if (symbol.starts_with("Rp"))
        return o["Rp"].toObject()[QString::fromStdString(symbol.substr(2))].toObject()["MPa"].toDouble(NAN);
    return o[QString::fromStdString(symbol)].toDouble(NAN);
}

struct Published {
    std::string symbol;
    double value;
    double tolerance;  // relative
};

void expectPublished(const QJsonObject& o, const std::vector<Published>& published)
{
    const std::string file = o["file"].toString().toStdString();
    for (const Published& p : published) {
        const double ours = value(o, p.symbol);
        EXPECT_LE(std::abs(ours - p.value), p.tolerance * std::abs(p.value))
            << file << " " << p.symbol << ": published " << p.value << ", ours " << ours;
    }
}

// The laboratory's results in the header of a 42CrMoS4 file: "Ultimate tensile strength:<TAB>1198.73".
double headerValue(const std::string& path, const std::string& key)
{
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(key + ":\t"))
            return std::stod(line.substr(key.size() + 2));
    ADD_FAILURE() << key << " not in " << path;
    return NAN;
}

TEST(RealExports, Fraunhofer42CrMoS4FromTheHeaderAlone)
{
    const std::vector<std::string> files = {"46NT71", "46NT99", "46NTA1", "46NTAT", "46NTBL"};
    std::vector<std::string> args = {"--proof", "0.2,1"};
    for (const std::string& f : files)
        args.push_back(realdata + "fraunhofer-42CrMoS4/" + f + ".csv");
    const QJsonArray all = run(args);
    ASSERT_EQ(all.size(), 6);  // and the statistics
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QJsonObject o = all[static_cast<qsizetype>(i)].toObject();
        const std::string path = realdata + "fraunhofer-42CrMoS4/" + files[i] + ".csv";
        expectPublished(o,
            {{"Rm", headerValue(path, "Ultimate tensile strength"), 0.001},
                {"Rp0.2", headerValue(path, "Yield stress at 0.2% plastic strain"), 0.005},
                {"Rp1", headerValue(path, "Yield stress at 1% plastic strain"), 0.002},
                {"Ag", headerValue(path, "Uniform elongation"), 0.02},
                {"A", headerValue(path, "Elongation after fracture"), 0.005},
                {"Z", headerValue(path, "Reduction of area"), 0.001},
                {"E", headerValue(path, "Slope of linear-elastic region") / 1000, 0.07}});
        // The geometry from the header: S0 and Su, L0, the material; no nan ended the table early.
        EXPECT_NEAR(o["S0"].toDouble(), headerValue(path, "Original cross-section"), 1e-9);
        EXPECT_EQ(o["L0"].toDouble(), 25);
        EXPECT_EQ(o["material"].toString(), "42CrMoS4");
        EXPECT_GT(o["records"].toInt(), 600);
    }
}

TEST(RealExports, ZwickAndBluehillAsTheyComeOutOfTheMachine)
{
    // ETFE film, German, TAB, Latin-1: a0 and b0 from the header, strain in %.
    QJsonObject o = run({realdata + "zwick-testxpert/ETFE-film-17.csv"})[0].toObject();
    expectPublished(
        o, {{"E", 1.12712, 0.07}, {"Rm", 37.9483, 0.005}, {"Agt", 306.402, 0.005}, {"At", 309.236, 0.005}});
    EXPECT_NEAR(o["S0"].toDouble(), 0.2 * 11.4, 1e-12);
    EXPECT_TRUE(o["warnings"].toArray().isEmpty());
    // Bluehill quotes every value, with thousands separators; its results stand in the file.
    o = run({realdata + "bluehill-results/am2.csv"})[0].toObject();
    expectPublished(
        o, {{"Rp0.2", 588.719, 0.01}, {"Rm", 939.877, 0.005}, {"A", 14.34, 0.005}, {"Ag", 10.02, 0.02}});
    EXPECT_GT(o["records"].toInt(), 10000);
    // French and English testXpert: the specimen from the header, the strain from the crosshead,
    // and the French test unloaded into compression, not broken.
    o = run({realdata + "zwick-testxpert/Allong 1.TRA"})[0].toObject();
    EXPECT_EQ(o["S0"].toDouble(), 5.96);
    EXPECT_EQ(o["L0"].toDouble(), 25);
    const QJsonArray allong = o["warnings"].toArray();
    ASSERT_EQ(allong.size(), 2);
    EXPECT_TRUE(allong[0].toString().contains("crosshead (column \"Course standard\")"));
    EXPECT_TRUE(allong[1].toString().startsWith("the test was unloaded"));
    EXPECT_TRUE(o["Rf"].isNull());
    o = run({realdata + "zwick-testxpert/Invar_LT_05_01.TRA"})[0].toObject();
    EXPECT_EQ(o["S0"].toDouble(), 7.335);
    EXPECT_EQ(o["L0"].toDouble(), 30);
    ASSERT_EQ(o["warnings"].toArray().size(), 1);
    EXPECT_TRUE(o["warnings"][0].toString().contains("crosshead (column \"Standard travel\")"));
}

TEST(RealExports, ProcessedDataWithTheirUnitsGiven)
{
    QJsonObject o = run({"--diameter", "10", "--gauge-length", "75", "--extension-unit", "m",
        realdata + "mechanical-testing/tensile_steel_1045.csv"})[0]
                        .toObject();
    expectPublished(
        o, {{"Rp0.2", 765.22, 0.01}, {"Rm", 951.30, 0.005}, {"Fm", 74.7153, 0.005}, {"Agt", 1.86, 0.02}});
    o = run({"--stress-unit", "ksi", realdata + "sandia-6061/cleaned_CA-RD-01.csv"})[0].toObject();
    expectPublished(
        o, {{"Rp0.2", 299.6, 0.01}, {"Rm", 324.0, 0.005}, {"Agt", 7.133, 0.02}, {"At", 17.037, 0.005}});
}

}  // namespace
}  // namespace tenso::test
