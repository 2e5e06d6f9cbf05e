#include "data/reader.h"
#include "state/failure.h"
#include "state/shared_state.h"
#include "support/fake_window.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

#include <string>

namespace tenso {
namespace {

// Runs a whole read as Draw does: settings, scan (once), records. Returns the failure number or 0.
int16_t read(SharedState& s, ReadMinima& m)
{
    try {
        m = StartRead(s);
        if (s.FileScanned != 1)
            ScanDataFile(s);
        ReadRecords(s, m);
    } catch (const Failure& f) {
        return f.number;
    }
    return 0;
}

struct Reader {
    explicit Reader(std::string_view content, int16_t skip = 0, int16_t x = 1, int16_t y = 2)
        : file(content)
    {
        s.DataFileName = file.path();
        s.SkipLines = skip;
        s.XColumn = x;
        s.YColumn = y;
        s.XCoefficient = 1;
        s.YCoefficient = 1;
    }
    int16_t run() { return read(s, minima); }

    test::TempFile file;
    SharedState s;
    ReadMinima minima;
};

std::string records(int n, int from = 1)
{
    std::string out;
    for (int i = from; i < from + n; ++i)
        out += std::to_string(i) + "," + std::to_string(i * 2) + "\r\n";
    return out;
}

TEST(ReadRecords, TheWorkedExample)
{
    Reader r("first header line, with, commas\r\nsecond header line\r\n0.0  0  0.0\r\n0.5  1  "
             "10.5\r\n1.0,2,21.0\r\n",
        2, 1, 3);
    ASSERT_EQ(r.run(), 0);
    EXPECT_EQ(r.s.PointCount, 3);
    EXPECT_EQ(r.s.ColumnCount, 3);
    EXPECT_EQ(r.s.FileScanned, 1);
    EXPECT_EQ(r.s.XData[1], 0);
    EXPECT_EQ(r.s.XData[2], 0.5f);
    EXPECT_EQ(r.s.XData[3], 1);
    EXPECT_EQ(r.s.YData[2], 10.5f);
    EXPECT_EQ(r.s.YData[3], 21);
    EXPECT_EQ(r.s.XMax, 1);
    EXPECT_EQ(r.s.YMax, 21);
    EXPECT_EQ(r.s.XAtYMax, 1);
    EXPECT_EQ(r.minima.XMin, 0);
    EXPECT_EQ(r.minima.YMin, 0);
    EXPECT_EQ(r.s.ValleyCount, 1);
    EXPECT_EQ(r.s.ValleyIndex, 1);
    EXPECT_EQ(r.s.ValleyX[1], 0);
    EXPECT_EQ(r.s.ValleyY[1], 0);
}

TEST(ScanDataFile, ColumnCountIsFieldsPerLineRoundedHalfToEven)
{
    Reader r("1,2,3\r\n4,5,6\r\n7,8,9\r\n10\r\n");  // 10 fields / 4 lines = 2.5
    EXPECT_EQ(r.run(), 0);
    EXPECT_EQ(r.s.PointCount, 4);
    EXPECT_EQ(r.s.ColumnCount, 2);
    // 14 fields / 4 lines = 3.5 gives 4.
    Reader r2("1,2,3,4\r\n4,5,6,7\r\n7,8,9\r\n10,11,12\r\n");
    r2.run();
    EXPECT_EQ(r2.s.ColumnCount, 4);
}

TEST(ScanDataFile, AHundredRecordsOfThreeFields)
{
    std::string content;
    for (int i = 0; i < 100; ++i)
        content += std::to_string(i) + " " + std::to_string(i * 3) + " 7\r\n";
    Reader r(content);
    ASSERT_EQ(r.run(), 0);
    EXPECT_EQ(r.s.PointCount, 100);
    EXPECT_EQ(r.s.ColumnCount, 3);
}

TEST(ScanDataFile, AHeaderLongerThanTheFileOrNoRecordFails62)
{
    Reader shortFile("a\r\nb\r\n", 3);
    EXPECT_EQ(shortFile.run(), 62);
    EXPECT_EQ(shortFile.s.FileScanned, 0);
    Reader headerOnly("a\r\nb\r\n\r\n  \r\n", 2);
    EXPECT_EQ(headerOnly.run(), 62);
    EXPECT_EQ(headerOnly.s.PointCount, 0);
    Reader empty("", 0);
    EXPECT_EQ(empty.run(), 62);
}

TEST(ScanDataFile, IsReusedUntilTheNextBrowseEvenWhenTheSkipCountChanges)
{
    Reader r("h\r\n" + records(3));
    r.s.SkipLines = 1;
    ASSERT_EQ(r.run(), 0);
    EXPECT_EQ(r.s.PointCount, 3);
    // One header line fewer: the header is read as a record and the last record is not read.
    r.s.SkipLines = 0;
    r.s.XColumn = 2;  // the header's text "h" falls into column 1 and is dropped
    ASSERT_EQ(r.run(), 0);
    EXPECT_EQ(r.s.PointCount, 3);
    EXPECT_EQ(r.s.XData[1], 1);  // records ("h", 1), (2, 2), (4, 3)
    EXPECT_EQ(r.s.XData[3], 3);
    // One more: the read runs past the end.
    r.s.SkipLines = 2;
    EXPECT_EQ(r.run(), 62);
}

TEST(ReadRecords, AMissingFieldShiftsTheRecordsAndFailsAtTheEnd)
{
    Reader r("1,10\r\n2\r\n3,30\r\n4,40\r\n");  // 7 fields / 4 lines = 1.75 -> 2 columns
    EXPECT_EQ(r.run(), 62);
    EXPECT_EQ(r.s.YData[2], 3);  // record 2 takes its Y from the next line
    EXPECT_EQ(r.s.XData[3], 30);
    EXPECT_EQ(r.s.XData[4], 40);  // then the stream runs out at record 4's Y
}

TEST(ReadRecords, ShortHeaderSkipPutsTextIntoTheColumns)
{
    Reader r("h1\r\nh2\r\nh3\r\nh4\r\nStrain,Stress\r\n" + records(5), 3);
    EXPECT_EQ(r.run(), 13);
    EXPECT_EQ(r.s.PointCount, 7);
}

TEST(ReadRecords, TwoThousandRecordsAndOneMore)
{
    Reader ok(records(2000));
    ASSERT_EQ(ok.run(), 0);
    EXPECT_EQ(ok.s.XData[2000], 2000);
    EXPECT_EQ(ok.s.YMax, 4000);

    Reader over(records(2001));
    EXPECT_EQ(over.run(), 9);
    EXPECT_EQ(over.s.PointCount, 2001);
    EXPECT_EQ(over.s.XData[2000], 2000);  // stored before the failure
    EXPECT_EQ(over.s.XMax, 2000);
}

TEST(ReadRecords, Record2001FailsEvenWithoutMatchingColumns)
{
    Reader over(records(2001), 0, 0, 0);
    EXPECT_EQ(over.run(), 9);
}

TEST(ReadRecords, ValleysAreTheLastPointsOfRunsThatDidNotRise)
{
    Reader r("1,5\r\n2,3\r\n3,3\r\n4,4\r\n5,2\r\n6,6\r\n");
    ASSERT_EQ(r.run(), 0);
    ASSERT_EQ(r.s.ValleyCount, 2);
    EXPECT_EQ(r.s.ValleyX[1], 3);
    EXPECT_EQ(r.s.ValleyY[1], 3);
    EXPECT_EQ(r.s.ValleyX[2], 5);
    EXPECT_EQ(r.s.ValleyY[2], 2);
    EXPECT_EQ(r.s.ValleyIndex, 2);
}

TEST(ReadRecords, AFirstYAtOrBelowZeroIsAValleyWhenYThenRises)
{
    Reader r("7,-1\r\n8,4\r\n9,3\r\n");
    ASSERT_EQ(r.run(), 0);
    ASSERT_EQ(r.s.ValleyCount, 1);
    EXPECT_EQ(r.s.ValleyX[1], 7);
    EXPECT_EQ(r.s.ValleyY[1], -1);
    // A run that falls to the end of the file records nothing.
    EXPECT_EQ(r.s.FallFlag, 1);
}

TEST(ReadRecords, The201stValleyFails9)
{
    std::string content;
    for (int i = 0; i < 202; ++i)
        content += std::to_string(2 * i) + ",1\r\n" + std::to_string(2 * i + 1) + ",2\r\n";
    Reader r(content);
    EXPECT_EQ(r.run(), 9);
    EXPECT_EQ(r.s.ValleyCount, 200);
    EXPECT_EQ(r.s.ValleyIndex, 0);  // keeps its value from before the read
}

TEST(ReadRecords, EqualMaximaMoveToTheLaterRecord)
{
    Reader r("1,5\r\n2,9\r\n3,9\r\n4,1\r\n");
    ASSERT_EQ(r.run(), 0);
    EXPECT_EQ(r.s.YMax, 9);
    EXPECT_EQ(r.s.XAtYMax, 3);
}

TEST(ReadRecords, AColumnThatMatchesNoFieldKeepsTheOldSeries)
{
    Reader r(records(3));
    ASSERT_EQ(r.run(), 0);
    r.s.XColumn = 0;
    r.s.YColumn = 5;
    r.s.XData[2] = 77;
    ASSERT_EQ(r.run(), 0);
    EXPECT_EQ(r.s.XData[2], 77);
    EXPECT_EQ(r.s.YData[3], 6);
    EXPECT_EQ(r.s.XMax, 77);
}

TEST(ReadRecords, AShorterFileLeavesTheLongerOnesValuesAbovePointCount)
{
    Reader r(records(5));
    ASSERT_EQ(r.run(), 0);
    test::TempFile shorter(records(2, 100));
    r.s.DataFileName = shorter.path();
    r.s.FileScanned = 0;
    ASSERT_EQ(r.run(), 0);
    EXPECT_EQ(r.s.PointCount, 2);
    EXPECT_EQ(r.s.XData[1], 100);
    EXPECT_EQ(r.s.XData[5], 5);
}

TEST(ReadRecords, ProductsWithTheCoefficientsAreSingles)
{
    Reader r("0.1,3\r\n1e38,1\r\n");
    r.s.XCoefficient = 10;
    r.s.YCoefficient = 0.5f;
    EXPECT_EQ(r.run(), 6);  // 1e39 does not fit a Single
    EXPECT_EQ(r.s.XData[1], 1.0f);
    EXPECT_EQ(r.s.YData[1], 1.5f);
}

TEST(ReadRecords, TextInTheYColumnFails13AndOtherColumnsMayHoldAnything)
{
    Reader bad("1,abc\r\n");
    EXPECT_EQ(bad.run(), 13);
    Reader ok("1,\"x, y\",2\r\n3,zz,4\r\n", 0, 1, 3);
    EXPECT_EQ(ok.run(), 0);
    EXPECT_EQ(ok.s.YData[2], 4);
    Reader empty("1,,2\r\n", 0, 1, 2);
    EXPECT_EQ(empty.run(), 0);
    EXPECT_EQ(empty.s.YData[1], 0);
}

TEST(ReadRecords, MissingFileFails53AndLeavesTheScanUndone)
{
    SharedState s;
    s.DataFileName = "/nonexistent-tenso-folder-xyz/none.dat";
    ReadMinima m;
    EXPECT_EQ(read(s, m), 76);
    test::TempFile file("1,2");
    s.DataFileName = file.folder() + "/gone.dat";
    EXPECT_EQ(read(s, m), 53);
    EXPECT_EQ(s.FileScanned, 0);
}

TEST(ReadRecords, RealWorldFileWithEmptyTrailingFieldsAndNoFinalLineEnd)
{
    SharedState s;
    s.DataFileName = test::DataPath("realdata/steel-1045-normalized-1.csv");
    s.SkipLines = 1;
    s.XColumn = 4;
    s.YColumn = 3;
    s.XCoefficient = 1000000;
    s.YCoefficient = 1;
    ReadMinima m;
    ASSERT_EQ(read(s, m), 0);
    EXPECT_EQ(s.ColumnCount, 8);
    EXPECT_EQ(s.XData[1], 40);  // 0.00004 x 1e6
    EXPECT_GT(s.YMax, 20);  // peak load in kN
}

TEST(ReadSettings, TakesColumnsAndCoefficientsAndKeepsValuesThatDoNotFit)
{
    test::Form f;
    f.window.SetText(Field::Text4, "2.5");
    f.window.SetText(Field::Text5, "-3");
    f.window.SetText(Field::Text13, "12.7324");
    f.window.SetText(Field::Text14, "1e-3");
    ReadSettings(f.state, f.window);
    EXPECT_EQ(f.state.XColumn, 2);
    EXPECT_EQ(f.state.YColumn, -3);
    EXPECT_EQ(f.state.XCoefficient, 12.7324f);
    EXPECT_EQ(f.state.YCoefficient, 0.001f);
    f.window.SetText(Field::Text4, "99999");
    f.window.SetText(Field::Text13, "1e39");
    f.window.SetText(Field::Text14, "1e999");
    ReadSettings(f.state, f.window);
    EXPECT_EQ(f.state.XColumn, 2);
    EXPECT_EQ(f.state.XCoefficient, 12.7324f);
    EXPECT_EQ(f.state.YCoefficient, 0.001f);
}

TEST(DataFileMessage, TextsTitleIconAndFailureNumber)
{
    const Message m = DataFileMessage(62);
    EXPECT_EQ(m.text, "This file includes error data or you may mistake column or skip indication. (62)");
    EXPECT_EQ(m.title, "Error");
    EXPECT_EQ(m.icon, MessageIcon::Exclamation);
    EXPECT_EQ(m.failure, 62);
    EXPECT_EQ(
        FileInUseMessage(70).text, "This output data file has been opened by another application. (70)");
    EXPECT_EQ(FileInUseMessage(70).failure, 70);
}

}  // namespace
}  // namespace tenso
