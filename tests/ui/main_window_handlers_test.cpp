#include "support/fake_window.h"
#include "support/recording_surface.h"
#include "ui/browse.h"

#include <gtest/gtest.h>

namespace tenso {
namespace {

using test::Form;

TEST(FormLoad, FillsTheDefaultsAndResetsTheState)
{
    Form f;
    EXPECT_EQ(f.window.Text(Field::Text4), "1");
    EXPECT_EQ(f.window.Text(Field::Text5), "2");
    EXPECT_EQ(f.window.Text(Field::Text10), "5");
    EXPECT_EQ(f.window.Text(Field::Text1), "20");
    EXPECT_EQ(f.window.Text(Field::Text3), "60");
    EXPECT_EQ(f.window.Text(Field::Text6), "2000");
    EXPECT_EQ(f.window.Text(Field::Text13), "1");
    EXPECT_EQ(f.window.Text(Field::Text14), "1");
    EXPECT_EQ(f.window.Text(Text12(0)), "");
    EXPECT_EQ(f.state.SkipLines, 5);
    EXPECT_EQ(f.state.ScaleXMax, 0);
    EXPECT_EQ(f.state.ScaleXMin, 0);
    EXPECT_EQ(f.state.ScaleYMax, 0);
    EXPECT_EQ(f.state.ScaleYMin, 0);
    // Taken by the first Draw, not by the load step.
    EXPECT_EQ(f.state.XColumn, 0);
    EXPECT_EQ(f.state.XCoefficient, 0);
    for (Button b : {Command1(0), Command1(1), Command3(0), Command3(1)})
        EXPECT_FALSE(f.window.IsEnabled(b));
}

TEST(Text10Change, StoresTheRoundedSkipCountWithALowerBoundOfZero)
{
    Form f;
    f.window.SetText(Field::Text10, "");
    EXPECT_EQ(f.state.SkipLines, 0);
    f.window.SetText(Field::Text10, "1");
    EXPECT_EQ(f.state.SkipLines, 1);
    f.window.SetText(Field::Text10, "15");
    EXPECT_EQ(f.state.SkipLines, 15);
    f.window.SetText(Field::Text10, "-3");
    EXPECT_EQ(f.state.SkipLines, 0);
    EXPECT_EQ(f.window.Text(Field::Text10), "-3");  // the field is never rewritten
    f.window.SetText(Field::Text10, "2.5");
    EXPECT_EQ(f.state.SkipLines, 2);
    f.window.SetText(Field::Text10, "3.5");
    EXPECT_EQ(f.state.SkipLines, 4);
    f.window.SetText(Field::Text10, "2.6");
    EXPECT_EQ(f.state.SkipLines, 3);
}

TEST(Text10Change, KeepsThePreviousValueWhenTheNumberDoesNotFit)
{
    Form f;
    f.window.SetText(Field::Text10, "7");
    for (const char* text : {"40000", "-40000", "1e400", "&HFFFFF"}) {
        f.window.SetText(Field::Text10, text);
        EXPECT_EQ(f.state.SkipLines, 7) << text;
    }
}

TEST(Text12Change, StoresTheMaximumAndATenthBelowZeroAsTheMinimum)
{
    Form f;
    f.window.SetText(Text12(0), "500");
    EXPECT_EQ(f.state.ScaleXMax, 500);
    EXPECT_EQ(f.state.ScaleXMin, -50);
    f.window.SetText(Text12(0), "-200");
    EXPECT_EQ(f.state.ScaleXMax, -200);
    EXPECT_EQ(f.state.ScaleXMin, 20);
    f.window.SetText(Text12(1), "23.1");
    EXPECT_EQ(f.state.ScaleYMax, 23.1f);
    EXPECT_EQ(f.state.ScaleYMin, -2.31f);
    f.window.SetText(Text12(0), "");
    EXPECT_EQ(f.state.ScaleXMax, 0);
    EXPECT_EQ(f.state.ScaleXMin, 0);
    EXPECT_EQ(f.state.ScaleYMax, 23.1f);  // the other member is untouched
}

TEST(Text12Change, KeepsBothEdgesWhenTheNumberIsBeyondTheSingleRange)
{
    Form f;
    f.window.SetText(Text12(1), "600");
    f.window.SetText(Text12(1), "1e39");
    EXPECT_EQ(f.state.ScaleYMax, 600);
    EXPECT_EQ(f.state.ScaleYMin, -60);
    f.window.SetText(Text12(1), "1e400");
    EXPECT_EQ(f.state.ScaleYMax, 600);
}

TEST(FieldTexts, SettingTheSameTextRunsNoRule)
{
    Form f;
    f.window.SetText(Text12(0), "500");
    f.state.ScaleXMin = -123;  // as an automatic scale leaves it
    f.window.SetText(Text12(0), "500");
    EXPECT_EQ(f.state.ScaleXMin, -123);
    f.window.SetText(Text12(0), "500.0");
    EXPECT_EQ(f.state.ScaleXMin, -50);
}

TEST(Browse, EnablesTheAnalysisButtonsClearsThePlotAndForgetsTheScan)
{
    Form f;
    f.state.FileScanned = 1;
    f.state.DataFileName = "/old/file.dat";
    f.window.SetText(Text2(0), "/old/file.dat");
    f.window.SetText(Text12(0), "500");
    std::string title, pattern;
    f.window.onFileDialog = [&](std::string_view t, std::string_view p) {
        title = t;
        pattern = p;
        EXPECT_EQ(f.window.Text(Text2(0)), "");  // emptied before the dialog shows
    };
    Command2_Click(f.state, f.window);
    EXPECT_EQ(title, "Data File Open");
    EXPECT_EQ(pattern, "*.dat");
    for (Button b : {Command1(0), Command1(1), Command3(0), Command3(1)})
        EXPECT_TRUE(f.window.IsEnabled(b)) << ControlName(b);
    EXPECT_EQ(f.state.FileScanned, 0);
    EXPECT_EQ(f.state.DataFileName, "/old/file.dat");  // a cancelled dialog keeps the old file
    EXPECT_EQ(f.state.ScaleXMax, 500);
    ASSERT_FALSE(f.picture.Commands().empty());
    EXPECT_EQ(f.picture.Commands().back().op, test::Op::Cls);
}

}  // namespace
}  // namespace tenso
