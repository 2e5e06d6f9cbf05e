// The export reader on small files whose layout is plain to see: separator and decimal detection,
// names and units lines, quotes, line ends, footer, skipped records and bad files.
#include "standard/export_reader.h"
#include "standard/text.h"

#include "support/temp_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tenso::standard {
namespace {

using test::TempFile;

struct Pairs : RecordSink {
    std::vector<std::pair<double, double>> values;
    std::vector<std::size_t> lines;
    void Record(double a, double b, std::size_t line) override
    {
        values.emplace_back(a, b);
        lines.push_back(line);
    }
};

struct Read {
    ExportLayout layout;
    RecordCounts counts;
    Pairs records;
};

Read readFile(const std::string& content, std::size_t a = 0, std::size_t b = 1,
    std::optional<Separator> separator = std::nullopt, std::optional<DecimalMark> decimal = std::nullopt)
{
    TempFile file(content);
    ExportReader reader(file.path());
    Read r;
    r.layout = reader.ReadLayout(separator, decimal);
    r.counts = reader.ReadRecords(r.layout, a, b, &r.records);
    return r;
}

std::string errorOf(const std::string& content, std::optional<Separator> separator = std::nullopt)
{
    try {
        readFile(content, 0, 1, separator);
    } catch (const ReadError& e) {
        return e.what();
    }
    return "no error";
}

using V = std::vector<std::pair<double, double>>;

TEST(ReadLayout, SemicolonWithDecimalCommas)
{
    const Read r = readFile("Zeit;Kraft\n0,5;1,25\n1;2,5\n", 0, 1);
    EXPECT_EQ(r.layout.separator, Separator::Semicolon);
    EXPECT_EQ(r.records.values, (V {{0.5, 1.25}, {1, 2.5}}));
    EXPECT_EQ(r.layout.names, (std::vector<std::string> {"Zeit", "Kraft"}));
}

TEST(ReadLayout, TabSeparatesAndBothMarksAreDecimal)
{
    const Read r = readFile("a\tb\tc\n1.5\t2,5\t3\n");
    EXPECT_EQ(r.layout.separator, Separator::Tab);
    EXPECT_EQ(r.layout.fieldCount, 3u);
    EXPECT_EQ(r.records.values, (V {{1.5, 2.5}}));
}

TEST(ReadLayout, CommaWhenItSplitsIntoNumbersWithDecimalPoint)
{
    const Read r = readFile("t,F\n0.5,1e3\n");
    EXPECT_EQ(r.layout.separator, Separator::Comma);
    EXPECT_EQ(r.records.values, (V {{0.5, 1000}}));
}

TEST(ReadLayout, BlanksWhenCommasDoNotGiveNumbers)
{
    // "1,5  2,5": split by ',' the fields are "1", "5  2", "5"; the middle one is no number, so runs
    // of blanks separate and the commas are decimal marks.
    const Read r = readFile("  1,5  2,5   3\n");
    EXPECT_EQ(r.layout.separator, Separator::Blank);
    EXPECT_EQ(r.layout.fieldCount, 3u);
    EXPECT_EQ(r.records.values, (V {{1.5, 2.5}}));
}

TEST(ReadLayout, OptionsOverrideTheDetection)
{
    // The trailing TAB makes the detection split by TAB, into "1 2" and nothing: no data line. The
    // separator given reads the blanks.
    EXPECT_NE(errorOf("x y\n1 2\t\n").find("no data line"), std::string::npos);
    const Read forced = readFile("x y\n1 2\t\n", 0, 1, Separator::Blank);
    EXPECT_EQ(forced.layout.dataLine, 2u);
    EXPECT_EQ(forced.records.values, (V {{1, 2}}));
    // --decimal point with ';': "1,5" is no number, so the line is not a data line.
    EXPECT_EQ(readFile("1;2\n1,5;2\n", 0, 1, std::nullopt, DecimalMark::Point).counts.footerLines, 1u);
    // --decimal comma with ';': "1.5" is no number.
    const Read comma = readFile("1.5;2\n1,5;2\n", 0, 1, std::nullopt, DecimalMark::Comma);
    EXPECT_EQ(comma.layout.dataLine, 2u);
    EXPECT_EQ(comma.records.values, (V {{1.5, 2}}));
}

TEST(ReadLayout, NamesAreTheLastHeaderLineOfTheDataWidth)
{
    const Read r = readFile("Test 17\nSpeed;5;mm/min\nTime;Load (kN);Ext [mm]\n0;1;2\n", 1, 2);
    EXPECT_EQ(r.layout.namesLine, 3u);
    EXPECT_EQ(r.layout.unitsLine, 0u);
    EXPECT_EQ(r.layout.names, (std::vector<std::string> {"Time", "Load (kN)", "Ext [mm]"}));
}

TEST(ReadLayout, UnitsLineBelowTheNames)
{
    const Read r = readFile("Zeit;Kraft;Weg\n[s];[kN];mm\n0;1;2\n");
    EXPECT_EQ(r.layout.namesLine, 1u);
    EXPECT_EQ(r.layout.unitsLine, 2u);
    EXPECT_EQ(r.layout.units, (std::vector<std::string> {"[s]", "[kN]", "mm"}));
    // A line of units without a line of as many fields above it gives the names.
    const Read alone = readFile("Test\ns;kN;mm\n0;1;2\n");
    EXPECT_EQ(alone.layout.unitsLine, 0u);
    EXPECT_EQ(alone.layout.names, (std::vector<std::string> {"s", "kN", "mm"}));
    // A word that is no unit beside units ("sec" of an old table, "N/tex") still makes a units line.
    const Read relaxed = readFile("a;b;c\nsec;kN;N/tex\n0;1;2\n");
    EXPECT_EQ(relaxed.layout.namesLine, 1u);
    EXPECT_EQ(relaxed.layout.unitsLine, 2u);
    // No unit at all, or a number, makes it a names line.
    for (const char* second : {"zeit;kraft;weg", "s;kN;5"}) {
        const Read names = readFile(std::string("a;b;c\n") + second + "\n0;1;2\n");
        EXPECT_EQ(names.layout.namesLine, 2u) << second;
        EXPECT_EQ(names.layout.unitsLine, 0u) << second;
    }
}

TEST(ReadLayout, Latin1HeaderBecomesUtf8)
{
    const Read r = readFile("Verl\xE4ngerung;Kraft\n1;2\n");
    EXPECT_EQ(r.layout.names[0], "Verl\xC3\xA4ngerung");
    const Read utf8 = readFile("Verl\xC3\xA4ngerung;Kraft\n1;2\n");
    EXPECT_EQ(utf8.layout.names[0], "Verl\xC3\xA4ngerung");
}

TEST(ReadLayout, QuotesHoldSeparatorsAndEscapedQuotes)
{
    const Read r = readFile("\"Load; max\";\"Ext \"\"A\"\"\"\n\"1,5\";2\n");
    EXPECT_EQ(r.layout.names, (std::vector<std::string> {"Load; max", "Ext \"A\""}));
    EXPECT_EQ(r.records.values, (V {{1.5, 2}}));
}

TEST(ReadLayout, ByteOrderMarkAndEveryLineEnd)
{
    const Read r = readFile("\xEF\xBB\xBFx;y\r\n1;2\r3;4\n5;6\r\n7;8");
    EXPECT_EQ(r.layout.names, (std::vector<std::string> {"x", "y"}));
    EXPECT_EQ(r.records.values, (V {{1, 2}, {3, 4}, {5, 6}, {7, 8}}));
    EXPECT_EQ(r.records.lines, (std::vector<std::size_t> {2, 3, 4, 5}));
}

TEST(ReadLayout, NoDataLine)
{
    EXPECT_NE(errorOf("just text\n1\n").find("no data line"), std::string::npos);
    EXPECT_NE(errorOf("").find("no data line"), std::string::npos);
}

TEST(ReadRecords, FooterEndsTheTableAndBlankLinesDoNot)
{
    // Line 3 is blank (";;" has no non-empty field), line 5 ends the table; lines 5, 6 and 8 are
    // the footer, the blank line 7 is not counted.
    const Read r = readFile("1;2\n3;4\n;;\n5;6\nMax;6\nEnd\n\n1;2\n");
    EXPECT_EQ(r.records.values, (V {{1, 2}, {3, 4}, {5, 6}}));
    EXPECT_EQ(r.counts.footerLine, 5u);
    EXPECT_EQ(r.counts.footerLines, 3u);
}

TEST(ReadRecords, EmptyChosenFieldSkipsTheRecord)
{
    // Column 3 may be empty; an empty column 1 or 2 (lines 3 and 4) skips the record.
    const Read r = readFile("1;2;\n3;4;9\n;5;1\n6;;1\n7;8\n");
    EXPECT_EQ(r.records.values, (V {{1, 2}, {3, 4}, {7, 8}}));
    EXPECT_EQ(r.counts.skipped, 2u);
    EXPECT_EQ(r.counts.firstSkippedLine, 3u);
}

TEST(ReadRecords, OnlyTheChosenColumns)
{
    const Read r = readFile("1;2;3;4\n5;6;7;8\n", 3, 1);
    EXPECT_EQ(r.records.values, (V {{4, 2}, {8, 6}}));
}

TEST(ReadRecords, NumberBeyondDoubleRangeNamesTheLine)
{
    EXPECT_EQ(
        errorOf("1;2\n3;1e999\n"), "line 2, field 2: the number lies beyond the range of double precision");
    // Also in a column that is not chosen, and as the detection line.
    EXPECT_EQ(
        errorOf("-1e400;1;2\n"), "line 1, field 1: the number lies beyond the range of double precision");
    // A value too small for a double is zero, not an error.
    EXPECT_EQ(readFile("1e-400;2\n").records.values, (V {{0, 2}}));
}

TEST(ReadRecords, LongLinesAndFieldsStayBounded)
{
    // A header line of 200 000 fields and a 100 000-character field: read, but not kept whole; the
    // long field is no number, so its line ends the table.
    std::string wide;
    for (int i = 0; i < 200000; ++i)
        wide += "name;";
    std::string content = wide + "\n1;2\n" + std::string(100000, '1') + ";2\n";
    const Read r = readFile(content);
    EXPECT_LE(r.layout.names.size(), 1024u);
    EXPECT_EQ(r.records.values, (V {{1, 2}}));
    EXPECT_EQ(r.counts.footerLines, 1u);
}

// glibc's strtod, which rounds correctly, as the independent reference for a field's value.
double strtodOf(std::string field)
{
    if (!field.empty() && field.front() == '+')
        field.erase(0, 1);
    for (char& c : field)
        c = c == ',' ? '.' : c;
    return std::strtod(field.c_str(), nullptr);
}

TEST(ParseShortDecimal, AgreesWithACorrectlyRoundedParseAndLeavesTheRest)
{
    const DecimalMarks both;
    double v = 7;
    // Taken, bit for bit as strtod rounds them (the signed zero too).
    for (const char* field : {"0", "-0", "+0,0", "0.1", "-523.703", "1,5", "5.", ".5", "000.000",
             "9007199254740992", "0.9007199254740992", "0.000000000000001", "-.0000000000000000001"}) {
        const std::string f = field;
        ASSERT_TRUE(ParseShortDecimal(f, both, v)) << f;
        const double expected = strtodOf(f);
        EXPECT_EQ(std::memcmp(&v, &expected, sizeof v), 0) << f;
    }
    // Left to the general path: exponents, more than 19 digits or a mantissa above 2^53 (whose
    // conversion to double would round a second time), stray characters, marks not allowed.
    for (const char* field : {"", "-", ".", "1e5", "1E-3", "12345678901234567890", "9007199254740993",
             "0.12345678901234567890", "1.2.3", "1 2", "--1", "0x10", "inf", "nan", "1;5"}) {
        v = 7;
        EXPECT_FALSE(ParseShortDecimal(field, both, v)) << field;
        EXPECT_EQ(v, 7) << field;
    }
    EXPECT_FALSE(ParseShortDecimal("1,5", DecimalMarks {true, false}, v));
    EXPECT_FALSE(ParseShortDecimal("1.5", DecimalMarks {false, true}, v));

    // Random fields of up to 19 digits with the mark anywhere.
    std::mt19937_64 random(6892);
    for (int i = 0; i < 20000; ++i) {
        std::string f = random() % 2 ? "-" : "";
        const auto digits = static_cast<int>(1 + random() % 19);
        const auto mark = static_cast<int>(random() % static_cast<std::uint64_t>(digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == mark)
                f += random() % 2 ? '.' : ',';
            f += static_cast<char>('0' + random() % 10);
        }
        if (!ParseShortDecimal(f, both, v))
            continue;  // a mantissa above 2^53
        const double expected = strtodOf(f);
        ASSERT_EQ(std::memcmp(&v, &expected, sizeof v), 0) << f;
    }
}

TEST(ExportReader, RefusesWhatIsNotARegularFile)
{
    TempFile file("");
    const std::string fifo = file.folder() + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, file.folder(), std::string("/dev/zero")}) {
        try {
            ExportReader reader(path);
            ADD_FAILURE() << path << " was opened";
        } catch (const ReadError& e) {
            EXPECT_NE(std::string(e.what()).find("not a regular file"), std::string::npos) << e.what();
        }
    }
    try {
        ExportReader reader(file.folder() + "/missing");
        ADD_FAILURE() << "a missing file was opened";
    } catch (const ReadError& e) {
        EXPECT_EQ(
            std::string(e.what()), "cannot open " + file.folder() + "/missing: No such file or directory");
    }
}

}  // namespace
}  // namespace tenso::standard
