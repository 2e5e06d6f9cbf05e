// tenso-report run as a user runs it. The golden values come from tests/report/reference.py, an
// independent evaluation in Python written from the definitions alone (see its docstring).
#include "report_run.h"

#include "support/temp_file.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>

namespace tenso::test {
namespace {

const std::string realdata = TENSO_TEST_DATA "/realdata/";
const std::string examples = TENSO_EXAMPLES "/";
const std::string here = TENSO_REPORT_TESTS "/";

QJsonArray json(const std::string& text)
{
    QJsonParseError error {};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text;
    return doc.array();
}

QJsonArray expected(const char* name)
{
    QFile f(QString::fromStdString(here + "expected/" + name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return json(f.readAll().toStdString());
}

// Numbers agree to a relative 1e-9 (both sum in file order, so they differ in the last bits at
// most); nulls, booleans, counts, warnings and key sets exactly. Notes are free text, errors only present
// or not.
void expectClose(const QJsonValue& e, const QJsonValue& a, const std::string& where)
{
    if (e.isObject()) {
        ASSERT_TRUE(a.isObject()) << where;
        const QJsonObject eo = e.toObject(), ao = a.toObject();
        QStringList expectedKeys = eo.keys(), actualKeys = ao.keys();
        expectedKeys.removeAll(QStringLiteral("notes"));
        actualKeys.removeAll(QStringLiteral("notes"));
        EXPECT_EQ(expectedKeys, actualKeys) << where;
        for (const QString& key : expectedKeys) {
            if (key == QLatin1String("error"))
                EXPECT_EQ(eo[key].isNull(), ao[key].isNull())
                    << where << ": " << ao[key].toString().toStdString();
            else if (key == QLatin1String("file"))
                EXPECT_TRUE(ao[key].toString().endsWith(eo[key].toString())) << where;
            else
                expectClose(eo[key], ao[key], where + "." + key.toStdString());
        }
    } else if (e.isDouble()) {
        ASSERT_TRUE(a.isDouble()) << where << " is not a number";
        const double x = e.toDouble(), y = a.toDouble();
        EXPECT_LE(std::abs(x - y), 1e-9 * std::max(std::abs(x), 1e-300)) << where << ": " << x << " vs " << y;
    } else {
        EXPECT_EQ(e, a) << where;
    }
}

void expectGolden(const ReportRun& r, const char* expectedName)
{
    EXPECT_EQ(r.status, 0) << r.err;
    const QJsonArray all = json(r.out), want = expected(expectedName);
    ASSERT_EQ(all.size(), want.size()) << r.out;
    for (qsizetype i = 0; i < want.size(); ++i)
        expectClose(want[i], all[i], std::string(expectedName) + "[" + std::to_string(i) + "]");
}

TEST(ReportGolden, RealSeriesOf1045Steel)
{
    // Geometry read by hand from the first record of each file (columns 5 to 8).
    expectGolden(RunReport({"--format", "json", "--specimens", here + "realdata_specimens.csv",
                     realdata + "steel-1045-normalized-1.csv", realdata + "steel-1045-normalized-2.csv",
                     realdata + "steel-1045-normalized-3.csv"}),
        "realdata.json");
}

TEST(ReportGolden, MachineExportsOfTheExamples)
{
    expectGolden(RunReport({"--format", "json", "--specimens", examples + "specimens.csv", "--proof",
                     "0.2,0.5,1", examples + "machine_steel_round.csv",
                     examples + "machine_steel_european.txt", examples + "machine_aluminium_flat.tsv"}),
        "examples.json");
}

TEST(ReportGolden, ModulusRangeFractureDropAndAProofList)
{
    // One fit over 100 to 400 MPa (pass 0); a fall of 0.5 % of Rm marks the fracture earlier (At
    // 27.16 % instead of 28.64 % with the default 10 %).
    expectGolden(RunReport({"--format", "json", "--diameter", "7.13", "--gauge-length", "25.4",
                     "--modulus-range", "100,400", "--fracture-drop", "0.5", "--proof", "0.1,0.2",
                     realdata + "steel-1045-normalized-1.csv"}),
        "realdata_options.json");
}

TEST(ReportGolden, ThePassesOnRequest)
{
    // --modulus passes gives the passes' E, with no SDAR metrics: on the first file of the series,
    // pass 2 over 52.4 to 261.9 MPa as reference.py --modulus passes gives it.
    const ReportRun r = RunReport({"--format", "json", "--modulus", "passes", "--diameter", "7.13",
        "--gauge-length", "25.4", realdata + "steel-1045-normalized-1.csv"});
    EXPECT_EQ(r.status, 0) << r.err;
    const QJsonObject E = json(r.out)[0].toObject()["E"].toObject();
    EXPECT_NEAR(E["GPa"].toDouble(), 179.55231575270187, 1e-9 * 180);
    EXPECT_NEAR(E["lo"].toDouble(), 52.37030361885217, 1e-9 * 52);
    EXPECT_NEAR(E["hi"].toDouble(), 261.8515180942608, 1e-9 * 262);
    EXPECT_EQ(E["points"].toInt(), 34);
    EXPECT_EQ(E["pass"].toInt(), 2);
    EXPECT_EQ(E["method"].toString(), "passes");
    EXPECT_TRUE(E["sdar"].isNull());
}

TEST(ReportGolden, GeometryFromOptionsEqualsTheSpecimensRow)
{
    const ReportRun byOptions = RunReport({"--format", "json", "--diameter", "7.13", "--gauge-length", "25.4",
        "--final-length", "32.3", "--final-diameter", "4.51", realdata + "steel-1045-normalized-1.csv"});
    const QJsonArray all = json(byOptions.out), want = expected("realdata.json");
    ASSERT_EQ(all.size(), 2);
    expectClose(want[0], all[0], "options");
}

const char* const fileKeys[]
    = {"file", "id", "material", "error", "records", "skipped", "S0", "L0", "E", "e0", "ReH", "ReL", "Ae",
        "Rp", "Rm", "Fm", "Agt", "Ag", "Rf", "At", "A", "A_from_curve", "Z", "warnings", "notes"};

TEST(ReportJson, HasExactlyTheKeysOfTheReportInTheirOrder)
{
    const ReportRun r = RunReport({"--format", "json", "--proof", "0.2,1", "--diameter", "7.13",
        "--gauge-length", "25.4", realdata + "steel-1045-normalized-1.csv", "/nonexistent/x.csv"});
    EXPECT_EQ(r.status, 1);
    const QJsonArray all = json(r.out);
    ASSERT_EQ(all.size(), 3);
    // One object a line; QJsonObject sorts its keys, so their order is checked in the text.
    std::size_t lineStart = r.out.find('\n') + 1;
    for (int i : {0, 1}) {
        const std::size_t lineEnd = r.out.find('\n', lineStart);
        const std::string line = r.out.substr(lineStart, lineEnd - lineStart);
        std::size_t at = 0;
        for (const char* key : fileKeys) {
            at = line.find("\"" + std::string(key) + "\": ", at);
            EXPECT_NE(at, std::string::npos) << key << " in " << line;
        }
        EXPECT_EQ(all[i].toObject().size(), static_cast<qsizetype>(std::size(fileKeys))) << line;
        if (i == 0) {
            EXPECT_NE(line.find("\"pass\": null, \"method\": \"sdar\", \"sdar\": {\"x_noise\": "),
                std::string::npos)
                << line;
        }
        lineStart = lineEnd + 1;
    }
    const QJsonObject ok = all[0].toObject();
    EXPECT_EQ(ok["E"].toObject().keys(),
        (QStringList {"GPa", "hi", "lo", "method", "pass", "points", "r2", "sdar"}));
    EXPECT_EQ(ok["E"].toObject()["sdar"].toObject().keys(),
        (QStringList {"fit_range", "passed", "q1", "q1_points", "q4", "q4_points", "raises", "records",
            "x_noise", "x_resolution", "y_noise", "y_resolution"}));
    EXPECT_EQ(ok["Rp"].toObject().keys(), (QStringList {"0.2", "1"}));
    EXPECT_EQ(ok["Rp"].toObject()["1"].toObject().keys(), (QStringList {"MPa", "strain"}));
    EXPECT_TRUE(ok["A_from_curve"].toBool());  // no Lu

    const QJsonObject bad = all[1].toObject();
    EXPECT_FALSE(bad["error"].toString().isEmpty());
    for (const QString& key : bad.keys()) {
        if (key != QLatin1String("file") && key != QLatin1String("error") && key != QLatin1String("notes")) {
            EXPECT_TRUE(bad[key].isNull()) << key.toStdString();
        }
    }

    const QJsonObject stats = all[2].toObject()["statistics"].toObject();
    EXPECT_EQ(stats.keys(),
        (QStringList {
            "A", "Ae", "Ag", "Agt", "At", "E", "Fm", "ReH", "ReL", "Rf", "Rm", "Rp0.2", "Rp1", "Z"}));
    const QJsonObject rm = stats["Rm"].toObject();
    EXPECT_EQ(rm.keys(), (QStringList {"CoV", "max", "mean", "min", "n", "s"}));
    EXPECT_EQ(rm["n"].toInt(), 1);  // the failed file is left out
    EXPECT_TRUE(rm["s"].isNull());  // and s needs two values
    EXPECT_EQ(rm["mean"], rm["max"]);
    EXPECT_EQ(stats["Z"].toObject()["n"].toInt(), 0);  // no du: no value at all
    EXPECT_TRUE(stats["Z"].toObject()["mean"].isNull());
}

}  // namespace
}  // namespace tenso::test
