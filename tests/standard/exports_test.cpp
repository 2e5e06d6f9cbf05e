// What testing machines write, read as they write it: missing values, quoted thousands separators,
// units lines with a word that is no unit, the specimen in the header, columns by a word anywhere,
// a fall spread over many records, an unloaded test, and the warnings. Every expected value follows
// from the few records of each file by hand.
#include "standard/evaluation.h"
#include "standard/fracture.h"
#include "standard/text.h"

#include "support/temp_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace tenso::standard {
namespace {

using test::TempFile;

Result evaluate(const std::string& content, const Options& options = {}, bool keepCurve = false)
{
    TempFile file(content);
    return EvaluateFile(file.path(), options, keepCurve);
}

bool hasNote(const Result& r, const std::string& start)
{
    return std::ranges::any_of(r.notes, [&](const std::string& n) { return n.starts_with(start); });
}

// Records i = 0..22 of a linear rise, strain 0.0001 i and stress 20 i up to 400 MPa (E 200 GPa),
// then 401 and 402 MPa at the maximum: pass 1 fits the six records from 60 to 160 MPa. `line(i)`
// writes record i from its strain and stress; a break to 10 MPa follows.
template <typename Line> std::string rise(const Line& line)
{
    std::string text;
    for (int i = 0; i <= 22; ++i)
        text += line(i, 0.0001 * i, i <= 20 ? 20.0 * i : 380.0 + i);
    return text + line(23, 0.0023, 10.0);
}

std::string number(double v)
{
    std::string text = std::to_string(v);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

std::string records(const char* separator)
{
    return rise([&](int, double e, double R) { return number(e) + separator + number(R) + "\n"; });
}

TEST(Numbers, ThousandsSeparatorsInQuotesOnly)
{
    EXPECT_EQ(ParseThousands("1,009.34485"), 1009.34485);
    EXPECT_EQ(ParseThousands("-12,345,678"), -12345678);
    for (const char* refused : {"1,0095", "1009", "1234,567", ",123", "1,23", "1,009.", "1.009,5"})
        EXPECT_FALSE(ParseThousands(refused).has_value()) << refused;
    // As Bluehill quotes every value: the grouped stress is read; a group of four digits is no
    // number, and its line ends the table.
    // Stresses of 2.5 times the rise's, 1,002.5 MPa at the maximum.
    const std::string content = "\"Strain\",\"Stress\"\n" + rise([](int, double e, double R) {
        const double stress = 2.5 * R;
        const std::string text = stress >= 1000 ? "1," + number(stress).substr(1) : number(stress);
        return "\"" + number(e) + "\",\"" + text + "\"\n";
    }) + "\"0.0024\",\"1,0015\"\n";
    const Result r = evaluate(content);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_EQ(r.records, 24U);
    EXPECT_EQ(r.Rm, 1005);
    EXPECT_NEAR(r.E->GPa, 500, 1e-6);
    EXPECT_TRUE(hasNote(r, "1 line after the table ignored (from line 26)"));
}

TEST(Numbers, MissingValues)
{
    for (const char* missing : {"nan", "NaN", "-inf", "Infinity", "n/a", "#N/A", "null", "None", "-", "---"})
        EXPECT_TRUE(IsMissingValue(missing)) << missing;
    for (const char* text : {"nanometre", "----", "0", "", "inf1"})
        EXPECT_FALSE(IsMissingValue(text)) << text;
    // True stress turns nan after the maximum: the table goes on. A nan in the evaluated stress
    // skips its record; a number beyond the double range matters only in an evaluated column.
    const std::string content = "Strain;Stress;True stress\n" + rise([](int i, double e, double R) {
        return number(e) + ";" + (i == 23 ? "nan;5\n0.0024;10" : number(R)) + ";" + (i < 6 ? "1e999" : "nan")
            + "\n";
    });
    const Result r = evaluate(content);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_EQ(r.records, 24U);
    EXPECT_EQ(r.skipped, 1U);
    EXPECT_EQ(r.Rm, 402);
    EXPECT_EQ(r.Rf, 402);  // the last record before the break
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);
}

TEST(UnitsLine, AWordThatIsNoUnitAndADash)
{
    // An MTS table: "sec" beside kN and mm, and "-" for a strain: a units line, so kN counts.
    Options o;
    o.specimen.S0 = 10;
    o.specimen.L0 = 50;
    const std::string content
        = "Time;Force;Extension;Strain\nsec;kN;mm;-\n" + rise([](int i, double e, double R) {
              return std::to_string(i) + ";" + number(R / 100) + ";" + number(e * 7) + ";" + number(e) + "\n";
          });
    const Result r = evaluate(content, o);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_NEAR(*r.Rm, 402, 1e-9);  // 4.02 kN / 10 mm², not 4.02 N
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);  // from the strain column, not the extension
}

TEST(ColumnNames, BracketsThatAreNoUnitAndWordsAnywhere)
{
    // "(Strain 1)" is part of the name; the unit, %, comes from the units line.
    Result r = evaluate("Tensile strain (Strain 1);Tensile stress\n%;MPa\n"
        + rise([](int, double e, double R) { return number(e * 100) + ";" + number(R) + "\n"; }));
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);
    // Standardkraft holds kraft. Dehnung1 in mm is an extension, and an extensometer's comes before
    // the crosshead's Standardweg: E from it, not from the travel (which would give 20 GPa).
    Options o;
    o.specimen.S0 = 1;
    o.specimen.L0 = 100;
    r = evaluate("Standardweg;Standardkraft;Dehnung1\nmm;N;mm\n" + rise([](int, double e, double R) {
        return number(e * 1000) + ";" + number(R) + ";" + number(e * 100) + "\n";
    }),
        o);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);
    EXPECT_TRUE(r.warnings.empty());
    // True values and rates are never found; "Displacement" before "Machine Displacement".
    r = evaluate("True stress;Machine Displacement;Displacement;Engineering Stress;Strain rate\n"
            + rise([](int, double e, double R) {
                  return number(R * 1.1) + ";" + number(e * 1000) + ";" + number(e * 100) + ";" + number(R)
                      + ";1\n";
              }),
        o);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_EQ(r.Rm, 402);
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);
}

TEST(ColumnNames, TheCrossheadWarns)
{
    Options o;
    o.specimen.S0 = 1;
    o.specimen.L0 = 100;
    const Result r = evaluate("Standard travel;Standard force\n"
            + rise([](int, double e, double R) { return number(e * 100) + ";" + number(R) + "\n"; }),
        o);
    ASSERT_FALSE(r.error) << *r.error;
    ASSERT_EQ(r.warnings.size(), 1U);
    EXPECT_EQ(r.warnings[0],
        "the strain comes from the crosshead (column \"Standard travel\"): E and the extensions include the "
        "machine's own stretch");
}

TEST(Header, SpecimenValuesInBothFormsAndThreeLanguages)
{
    // Instron's TAB lines with a unit field; the cross-section is taken whole from S0.
    Result r = evaluate(
        "Specimen ID:\t46NT71\nMaterial:\t42CrMoS4\nGauge diameter:\t5.003\tmm\n"
        "Gauge length:\t2.5\tcm\nParallel length:\t30\tmm\nOriginal cross-section:\t20\tmm\xC2\xB2\n"
        "Cross-section after fracture:\t10\tmm\xC2\xB2\nReduction of area:\t50\t%\n"
        "Time\tForce\tExtension\ns\tkN\tmm\n"
        + rise([](int i, double e, double R) {
              return std::to_string(i) + "\t" + number(R / 50) + "\t" + number(e * 25) + "\n";
          }));
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_EQ(r.id, "46NT71");
    EXPECT_EQ(r.material, "42CrMoS4");
    EXPECT_EQ(r.S0, 20);  // not pi/4 d0²
    EXPECT_EQ(r.L0, 25);  // 2.5 cm, not the parallel length
    EXPECT_NEAR(*r.Rm, 402, 1e-9);  // 8.04 kN / 20 mm²
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);
    EXPECT_EQ(r.Z, 50);  // (20 - 10) / 20
    EXPECT_TRUE(hasNote(r, "S0 = 20 mm\xC2\xB2 from line 6 of the file"));
    EXPECT_TRUE(hasNote(r, "L0 = 25 mm from line 4 of the file"));
    // Zwick's quoted lines in Latin-1, French; a one-field line "key: value unit"; the grip length
    // (Einspannlänge) is no gauge length, and "Specimen width" is no id.
    r = evaluate(
        "\"\xC9paisseur\",2,\"mm\"\n\"Largeur\",\"10\",\"mm\"\nLongueur de r\xE9"
        "f\xE9rence: 5 cm\n"
        "\"Einspannl\xE4nge\",80,\"mm\"\n\"Specimen width\",\"12\"\n\"Force\",\"Allongement\"\n\"N\",\"mm\"\n"
        + rise([](int, double e, double R) { return number(R * 20) + "," + number(e * 50) + "\n"; }));
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_EQ(r.S0, 20);  // a0 b0 = 2 x 10; the later "Specimen width" gives no b0
    EXPECT_FALSE(r.id.has_value());
    EXPECT_EQ(r.L0, 50);
    EXPECT_NEAR(*r.Rm, 402, 1e-9);
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);
}

TEST(Header, OptionsAndRowsComeFirst)
{
    const std::string content = "Diameter = 10 mm\nGauge length = 50\nStress;Force;Extension\n"
        + rise([](int, double e, double R) { return "0;" + number(R * 10) + ";" + number(e * 50) + "\n"; });
    Options o;
    o.specimen.a0 = 2;
    o.specimen.b0 = 5;
    o.id = "row 7";
    o.forceColumn = "2";
    o.extensionColumn = "3";
    const Result r = evaluate(content, o);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_EQ(r.S0, 10);  // the option's a0 b0 whole, not the header's d0
    EXPECT_EQ(r.L0, 50);  // the header's: the options give none
    EXPECT_EQ(r.id, "row 7");
    EXPECT_NEAR(*r.Rm, 402, 1e-9);
    EXPECT_FALSE(hasNote(r, "d0"));
    EXPECT_TRUE(hasNote(r, "L0 = 50 mm from line 2 of the file"));
}

// Records of a fast break: the stress falls from 1000 MPa by 20 MPa a record, each record
// `step` strain further on. Rm = 1000 at record 1 with drop 10 %: a fall of more than 100 MPa
// is a fracture when it happens within 0.05 % strain.
Fracture fallOver(double step)
{
    std::vector<double> R {500, 1000}, e {0.001, 0.01};
    for (int k = 1; k <= 10; ++k) {
        R.push_back(1000 - 20 * k);
        e.push_back(0.01 + step * k);
    }
    return FindFracture(R, e, 1, 100, 1000);
}

TEST(Fracture, AFallSpreadOverManyRecords)
{
    // 0.008 % a record: six records (120 MPa) lie within 0.05 %; at 0.01 % only five (100 MPa).
    const Fracture within = fallOver(0.00008);
    EXPECT_TRUE(within.found);
    EXPECT_EQ(within.index, 1U);
    EXPECT_FALSE(fallOver(0.0001).found);
    // A fall between two records is a fracture however far apart they are.
    const Fracture wide = FindFracture({0, 1000, 800}, {0, 0.01, 0.5}, 1, 100, 1000);
    EXPECT_TRUE(wide.found);
    // Constant strain after the maximum: every window reaches the end, and the search stays fast.
    std::vector<double> R(1000000, 999), e(1000000, 0.05);
    R[0] = 1000;
    R.back() = 880;
    const Fracture flat = FindFracture(R, e, 0, 100, 1000);
    EXPECT_TRUE(flat.found);
    EXPECT_EQ(flat.index, 0U);
}

// The window word for word, record by record: what the fast searches must agree with.
std::size_t bruteForce(const std::vector<double>& R, const std::vector<double>& e, std::size_t m, double drop)
{
    for (std::size_t i = m; i + 1 < R.size(); ++i)
        for (std::size_t j = i + 1; j < R.size() && (j == i + 1 || e[j] <= e[i] + 0.0005); ++j)
            if (R[i] - R[j] > drop)
                return i;
    return R.size() - 1;
}

TEST(Fracture, BothSearchesAgreeWithTheWindowRecordByRecord)
{
    std::mt19937 random(6892);
    for (int round = 0; round < 400; ++round) {
        const bool monotone = round % 2 == 0;  // the strain never goes back, or it does
        std::vector<double> R, e;
        double strain = 0;
        for (int k = 0; k < 60; ++k) {
            const auto step = static_cast<int>(random() % 7);
            strain += 0.0001 * (monotone ? step % 4 : step - 2);
            e.push_back(strain);
            R.push_back(1000 - 15.0 * static_cast<double>(random() % 12) - (k > 40 ? 5.0 * (k - 40) : 0));
        }
        const std::size_t m = random() % 30;
        const Fracture f = FindFracture(R, e, m, 100, 1000);
        EXPECT_EQ(f.index, bruteForce(R, e, m, 100)) << "round " << round;
    }
}

TEST(Fracture, AnUnloadedTestHasNoFractureValues)
{
    // After the maximum the machine gives the load back: twelve records above 40.2 MPa (0.10 Rm)
    // below the strain of the maximum, where the fall of 102 MPa puts f.
    std::string content = "Strain;Stress\n";
    for (int i = 0; i <= 22; ++i)
        content += number(0.0001 * i) + ";" + number(i <= 20 ? 20.0 * i : 380.0 + i) + "\n";
    for (int k = 0; k < 12; ++k)
        content += number(0.0021 - 0.0001 * k) + ";" + number(300.0 - 10 * k) + "\n";
    const Result r = evaluate(content);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_EQ(r.indexFracture, 22U);
    EXPECT_FALSE(r.Rf.has_value());
    EXPECT_FALSE(r.At.has_value());
    EXPECT_FALSE(r.A.has_value());
    ASSERT_FALSE(r.warnings.empty());
    EXPECT_EQ(r.warnings.back(),
        "the test was unloaded, not broken: no fracture values; give --final-length for A");
}

TEST(Warnings, AnImpossibleStiffnessAndTheColumnFactor)
{
    // An extension in metres read as mm: a thousand times too stiff.
    Options o;
    o.specimen.S0 = 1;
    o.specimen.L0 = 100;
    Result r = evaluate("Force;Extension\n"
            + rise([](int, double e, double R) { return number(R) + ";" + number(e * 0.1) + "\n"; }),
        o);
    ASSERT_FALSE(r.error) << *r.error;
    ASSERT_EQ(r.warnings.size(), 1U);
    EXPECT_EQ(r.warnings[0], "E = 200000 GPa is stiffer than any material: check the extension unit and L0");
    // --extension-factor -1000 turns the metres, written negative, into mm.
    o.extensionFactor = -1000;
    r = evaluate("Force;Extension\n"
            + rise([](int, double e, double R) { return number(R) + ";" + number(-e * 0.1) + "\n"; }),
        o);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);
    EXPECT_TRUE(r.warnings.empty());
}

// Found by fuzzing: a curve that is not kept leaves the curve empty, with the fracture's index set
// all the same (the fuzz target checked the curve of such a result against that index).
TEST(EvaluateFile, ACurveNotKeptIsEmpty)
{
    Options o;
    o.specimen.d0 = 7.13;
    o.specimen.L0 = 35;
    const std::string content = "Strain;Stress [MPa]\n" + records(";");
    const Result kept = evaluate(content, o, true), dropped = evaluate(content, o, false);
    ASSERT_FALSE(kept.error) << *kept.error;
    EXPECT_EQ(kept.curve.stress.size(), *kept.indexFracture + 1);
    EXPECT_TRUE(dropped.curve.stress.empty());
    EXPECT_EQ(dropped.indexFracture, kept.indexFracture);
}

}  // namespace
}  // namespace tenso::standard
