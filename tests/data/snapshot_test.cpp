// A Draw's passes share the bytes that the first one read (FileSnapshot): the same fields, counts
// and failures as passes that each read the file, the file closed once the bytes are in memory.
#include "data/data_file.h"
#include "data/reader.h"
#include "state/failure.h"
#include "state/shared_state.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace tenso {
namespace {

SharedState settingsFor(const std::string& path, int16_t skip = 0)
{
    SharedState s;
    s.DataFileName = path;
    s.SkipLines = skip;
    s.XColumn = 1;
    s.YColumn = 2;
    s.XCoefficient = 1;
    s.YCoefficient = 1;
    return s;
}

// The failure number of a scan and read, 0 when both complete.
int scanAndRead(SharedState& s, FileSnapshot* snapshot)
{
    try {
        ReadMinima m = StartRead(s);
        if (snapshot) {
            ScanDataFile(s, *snapshot);
            ReadRecords(s, m, *snapshot);
        } else {
            ScanDataFile(s);
            ReadRecords(s, m);
        }
    } catch (const Failure& f) {
        return f.number;
    }
    return 0;
}

int openFiles()
{
    int n = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d))
            ++n;
        ::closedir(d);
    }
    return n;
}

TEST(ScanAndReadFromSnapshot, SameFailuresAndStateAsReadingEachPass)
{
    struct Case {
        const char* content;
        int failure;
    };
    const Case cases[] = {
        {"1,10\r\n2,20\r\n3,15\r\n4,30\r\n", 0},
        {"1,10\r\n2\r\n3,15\r\n", 62},  // one field too few: the last record lacks one
        {"1,10\r\n2,abc\r\n", 13},  // text in the Y column
        {"1,10\r\n2,1e39\r\n", 6},  // beyond the Single range
        {"", 62},  // nothing after the (empty) header
        {"1,10\n\n\n  \r\n", 0},  // trailing blank lines do not exist
        {"\"1\",\"2\"\r\n3 4\r\n5 ,6\r\n", 0},  // quoted numbers, blanks as separators
    };
    for (const Case& c : cases) {
        test::TempFile file(c.content);
        SharedState each = settingsFor(file.path());
        SharedState shared = settingsFor(file.path());
        FileSnapshot snapshot;
        EXPECT_EQ(scanAndRead(each, nullptr), c.failure) << c.content;
        EXPECT_EQ(scanAndRead(shared, &snapshot), c.failure) << c.content;
        EXPECT_EQ(shared.PointCount, each.PointCount) << c.content;
        EXPECT_EQ(shared.ColumnCount, each.ColumnCount) << c.content;
        EXPECT_EQ(shared.XData, each.XData) << c.content;
        EXPECT_EQ(shared.YData, each.YData) << c.content;
        EXPECT_EQ(shared.ValleyCount, each.ValleyCount) << c.content;
    }
}

TEST(ScanAndReadFromSnapshot, CountsOfPlainAndMixedLines)
{
    // Fields by line: 2; 1 (the empty line); 2 (blank-separated); 3 (quoted, then a trailing comma's
    // empty field); 2 without a line end. 10 fields / 5 lines = 2 columns, so the records pair up
    // as (1,2) (E,3) (4,"5") (6,E) (7,8), an empty field being 0.
    test::TempFile file("1,2\r\n\r\n3 4\r\n\"5\",6,\r\n7,8");
    for (bool fromSnapshot : {false, true}) {
        SharedState s = settingsFor(file.path());
        FileSnapshot snapshot;
        EXPECT_EQ(scanAndRead(s, fromSnapshot ? &snapshot : nullptr), 0);
        EXPECT_EQ(s.PointCount, 5);
        EXPECT_EQ(s.ColumnCount, 2);
        EXPECT_EQ((std::vector<float>(s.XData.begin() + 1, s.XData.begin() + 6)),
            (std::vector<float> {1, 0, 4, 6, 7}));
        EXPECT_EQ((std::vector<float>(s.YData.begin() + 1, s.YData.begin() + 6)),
            (std::vector<float> {2, 3, 5, 0, 8}));
    }
}

TEST(ScanAndReadFromSnapshot, LaterPassesDoNotOpenTheFileAgain)
{
    test::TempFile file("1,10\r\n2,20\r\n3,15\r\n4,30\r\n");
    SharedState s = settingsFor(file.path());
    FileSnapshot snapshot;
    const int before = openFiles();
    ScanDataFile(s, snapshot);
    EXPECT_EQ(openFiles(), before);  // closed as soon as its bytes were read
    EXPECT_TRUE(snapshot.Holds(file.path()));

    // Within one Draw the file does not change; the read takes what the scan saw.
    std::filesystem::remove(file.path());
    ReadMinima m = StartRead(s);
    ReadRecords(s, m, snapshot);
    EXPECT_EQ(s.YData[4], 30);
    EXPECT_EQ(s.ValleyCount, 1);  // 20 then 15 then a rise: record 3
    EXPECT_EQ(scanAndRead(s, nullptr), failure::FileNotFound);
}

TEST(ScanAndReadFromSnapshot, LargeFileIsReadFromDiskEveryPass)
{
    // 1 MiB and more (here a header line of 1 MiB): each pass streams the file through its buffer.
    std::string content(size_t {1} << 20, 'h');
    content += "\r\n1,10\r\n2,20\r\n3,30\r\n";
    test::TempFile file(content);
    SharedState s = settingsFor(file.path(), 1);
    FileSnapshot snapshot;
    EXPECT_EQ(scanAndRead(s, &snapshot), 0);
    EXPECT_FALSE(snapshot.Holds(file.path()));
    EXPECT_EQ(s.PointCount, 3);
    EXPECT_EQ(s.ColumnCount, 2);
    EXPECT_EQ(s.YData[3], 30);
}

TEST(ScanAndReadFromSnapshot, NotARegularFileFailsAsBefore)
{
    FileSnapshot snapshot;
    SharedState folder = settingsFor(std::filesystem::temp_directory_path().string());
    EXPECT_EQ(scanAndRead(folder, &snapshot), failure::AccessError);
    SharedState missing = settingsFor("/nonexistent-folder-of-tenso/data.dat");
    EXPECT_EQ(scanAndRead(missing, &snapshot), failure::PathNotFound);
    EXPECT_FALSE(snapshot.Holds(missing.DataFileName));
}

// With a coefficient of 1 the field is rounded to float on its own. The float range ends at
// FLT_MAX + half an ulp = (2 - 2^-24) * 2^127 = 3.40282356779...e38: 3.40282356e38 lies below it
// and rounds to FLT_MAX, 3.40282357e38 lies above it and overflows (6), as with any coefficient.
TEST(ReadRecordsWithCoefficientOne, TheFloatRangeEndsWhereTheProductsDoes)
{
    for (bool fromSnapshot : {false, true}) {
        test::TempFile below("1,3.40282356e38\r\n-2,-3.40282356e38\r\n");
        SharedState s = settingsFor(below.path());
        FileSnapshot snapshot;
        EXPECT_EQ(scanAndRead(s, fromSnapshot ? &snapshot : nullptr), 0);
        EXPECT_EQ(s.YData[1], FLT_MAX);
        EXPECT_EQ(s.YData[2], -FLT_MAX);
        test::TempFile above("1,3.40282357e38\r\n");
        SharedState t = settingsFor(above.path());
        FileSnapshot other;
        EXPECT_EQ(scanAndRead(t, fromSnapshot ? &other : nullptr), failure::Overflow);
    }
}

std::string repeated(const std::string& line, int times)
{
    std::string s;
    for (int k = 0; k < times; ++k)
        s += line;
    return s;
}

// The scan counts the plain lines of a snapshot sixteen bytes at a time; lines cross the blocks'
// edges, a CR LF is cut by one, and the lines that the field walk must decide sit among them.
TEST(CountFieldsInMemory, SameCountsAsTheFieldWalk)
{
    struct Case {
        std::string content;
        int64_t fields;
        int64_t lineEnds;  // the data view ends after its last content: no line end there
    };
    const Case cases[] = {
        // 9 bytes a line: the CR of line 9 is byte 79, the last of the block at 64. 3 x 40 fields.
        {repeated("12,34,5\r\n", 40), 120, 39},
        // Lines longer than a block: 12 fields each, then one.
        {repeated("1,2,3,4,5,6,7,8,9,10,11,12\n", 3) + "1", 37, 3},
        // A quoted comma is not a separator: 8 x 2, 2, 8 x 2, 1.
        {repeated("1,2\n", 8) + "\"a,b\",7\n" + repeated("1,2\n", 8) + "3", 35, 17},
        // Blanks as a separator: "3 4" and "5 ,6" are two fields each. 8 x 2 + 2 + 2 + 4 x 2 + 1.
        {repeated("1,2\n", 8) + "3 4\n5 ,6\n" + repeated("5,6\n", 4) + "7", 29, 14},
        // CR alone ends a line: 20 x 2 + 1.
        {repeated("1,2\r", 20) + "3", 41, 20},
        // "1," gives 2 fields, the empty line 1, "," 2: 6 x 5 + 1.
        {repeated("1,\n\n,\n", 6) + "9", 31, 18},
        // A tab after a number, and CR LF and LF mixed: 10 x (2 + 2) + 1.
        {repeated("1\t,2\r\n33,44\n", 10) + "5", 41, 20},
    };
    for (const Case& c : cases) {
        test::TempFile file(c.content);
        FileSnapshot snapshot;
        for (bool fromSnapshot : {false, true}) {
            DataFile f = fromSnapshot ? DataFile(file.path(), snapshot)
                                      : DataFile(file.path(), DataFile::View::Data);
            EXPECT_EQ(f.InMemory(), fromSnapshot);
            EXPECT_EQ(f.CountFields(), c.fields) << c.content;
            EXPECT_EQ(f.LineEnds(), c.lineEnds) << c.content;
        }
    }
}

// Numbers taken in the buffer walk: each must be the double nearest its decimal text, as the
// compiler's own conversion of the same literal gives it.
TEST(DataFieldsInOneWalk, PlainDecimalsAreTheNearestDouble)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"0.1", 0.1},
        {"-0.0", -0.0},
        {"+5", 5},
        {"5.", 5},
        {".5", 0.5},
        {"9007199254740992", 9007199254740992.0},  // 2^53, the largest exact mantissa
        {"9007199254740993", 9007199254740993.0},  // 2^53 + 1: the general conversion
        {"9007199254.740993", 9007199254.740993},  // the same digits with decimals
        {"1234567890123456789", 1234567890123456789.0},  // 19 digits
        {"12345678901234567890", 12345678901234567890.0},  // 20 digits
        {"0.0000000000000000000123", 0.0000000000000000000123},
        {"123.4567890123456789", 123.4567890123456789},
        {"2000.0", 2000.0},
        {"348.125", 348.125},
    };
    std::string content;
    for (const Case& c : cases)
        content += std::string(c.text) + ",\"x\"\r\n";
    test::TempFile file(content);
    FileSnapshot snapshot;
    for (bool fromSnapshot : {false, true}) {
        DataFile f
            = fromSnapshot ? DataFile(file.path(), snapshot) : DataFile(file.path(), DataFile::View::Data);
        for (const Case& c : cases) {
            const DataField d = f.ReadField();
            EXPECT_EQ(d.kind, DataField::Kind::Number) << c.text;
            EXPECT_EQ(d.value, c.value) << c.text;
            EXPECT_EQ(std::signbit(d.value), std::signbit(c.value)) << c.text;
            EXPECT_EQ(f.ReadField().kind, DataField::Kind::Text) << c.text;
        }
        EXPECT_TRUE(f.AtEnd());
    }
}

TEST(DataFieldsInOneWalk, LineEndAcrossTheBufferEdge)
{
    // The streaming reader's buffer holds 64 KiB. The record "123,45.5\r\n" starts `k` bytes
    // before its edge: k = 1 to 3 cut the first number, 6 and 5 the second, 9 puts the CR as the
    // buffer's last byte and its LF as the next read's first.
    const size_t edge = size_t {64} * 1024;
    for (size_t k : {size_t {1}, size_t {2}, size_t {3}, size_t {5}, size_t {6}, size_t {9}, size_t {10}}) {
        std::string content(edge - k - 2, 'h');  // one header line
        content += "\r\n123,45.5\r\n6,7\r\n";
        test::TempFile file(content);
        DataFile f(file.path(), DataFile::View::Data);
        f.SkipLine();
        std::vector<double> values;
        while (!f.AtEnd())
            values.push_back(f.ReadField().value);
        EXPECT_EQ(values, (std::vector<double> {123, 45.5, 6, 7})) << "k = " << k;
    }
}

}  // namespace
}  // namespace tenso
