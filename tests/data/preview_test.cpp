#include "data/preview.h"
#include "state/failure.h"
#include "support/fake_window.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace tenso {
namespace {

TEST(ShowFirstLines, TenLinesFillAllSixBoxes)
{
    test::Form f;
    test::TempFile file("l1\r\nl2, \"q\"\r\nl3\r\nl4\r\nl5\r\nl6\r\nl7\r\nl8\r\nl9\r\nl10\r\n");
    ShowFirstLines(file.path(), f.window);
    EXPECT_EQ(f.window.Text(Text11(0)), "l1");
    EXPECT_EQ(f.window.Text(Text11(1)), "l2, \"q\"");
    EXPECT_EQ(f.window.Text(Text11(5)), "l6");
    EXPECT_EQ(f.state.FileScanned, 0);
}

TEST(ShowFirstLines, AShorterFileLeavesTheLaterBoxesAsTheyWere)
{
    test::Form f;
    test::TempFile longer("a1\r\na2\r\na3\r\na4\r\na5\r\na6\r\n");
    test::TempFile shorter("b1\nb2\rb3");
    ShowFirstLines(longer.path(), f.window);
    ShowFirstLines(shorter.path(), f.window);
    EXPECT_EQ(f.window.Text(Text11(0)), "b1");
    EXPECT_EQ(f.window.Text(Text11(1)), "b2");
    EXPECT_EQ(f.window.Text(Text11(2)), "b3");
    EXPECT_EQ(f.window.Text(Text11(3)), "a4");
    EXPECT_EQ(f.window.Text(Text11(5)), "a6");
}

TEST(ShowFirstLines, AnEmptyFileFillsNoBox)
{
    test::Form f;
    f.window.SetText(Text11(0), "kept");
    test::TempFile empty("");
    ShowFirstLines(empty.path(), f.window);
    EXPECT_EQ(f.window.Text(Text11(0)), "kept");
}

TEST(ShowFirstLines, AFileThatCannotBeOpenedChangesNothingAndFails)
{
    test::Form f;
    f.window.SetText(Text11(0), "kept");
    EXPECT_THROW(ShowFirstLines("/nonexistent-tenso/x.dat", f.window), Failure);
    EXPECT_EQ(f.window.Text(Text11(0)), "kept");
}

TEST(ShowFirstLines, ALongLineShowsItsFirst1024Bytes)
{
    test::Form f;
    test::TempFile file(std::string(100'000, 'z') + "\r\nnext");
    ShowFirstLines(file.path(), f.window);
    EXPECT_EQ(f.window.Text(Text11(0)), std::string(1024, 'z'));
    EXPECT_EQ(f.window.Text(Text11(1)), "next");
}

TEST(DisplayText, Utf8ThenShiftJisThenLatin1)
{
    EXPECT_EQ(DisplayText("Stress [MPa]"), "Stress [MPa]");
    EXPECT_EQ(DisplayText("\xE5\xBF\x9C\xE5\x8A\x9B"), "\xE5\xBF\x9C\xE5\x8A\x9B");  // 応力 in UTF-8
    EXPECT_EQ(DisplayText("\x89\x9E\x97\xCD"), "\xE5\xBF\x9C\xE5\x8A\x9B");  // 応力 in Shift_JIS
    EXPECT_EQ(DisplayText("\xB5m \xB0"
                          "C\xFF"),
        "\xC2\xB5m \xC2\xB0"
        "C\xC3\xBF");  // Latin-1
    // A UTF-8 character cut off at the 1024-byte limit is dropped, not garbled.
    EXPECT_EQ(DisplayText("ab\xE5\xBF"), "ab");
}

}  // namespace
}  // namespace tenso
