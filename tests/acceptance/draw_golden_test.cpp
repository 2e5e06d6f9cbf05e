// Draw's part of every acceptance example: counts, extremes, valleys, scale and data-file failures.
#include "golden.h"

#include "plot/draw.h"
#include "state/failure.h"
#include "state/number_text.h"
#include "support/fake_window.h"

#include <QJsonArray>

#include <gtest/gtest.h>

namespace tenso {
namespace {

using test::GoldenCase;

// A value as the field would show it, read back: numbers are compared as numbers.
double shown(float v) { return Val(SingleText(v)); }

class DrawGolden : public testing::TestWithParam<GoldenCase> { };

TEST_P(DrawGolden, MatchesTheIndependentCalculation)
{
    const GoldenCase& c = GetParam();
    test::Form f;
    for (qsizetype i = 0; i + 1 < c.args.size(); i += 2)
        if (const auto field = test::OptionField(c.args[i]))
            f.window.SetText(*field, c.args[i + 1].toStdString());
    f.state.DataFileName = c.file.toStdString();
    f.state.FileScanned = 0;

    Command3_Click(0, f.state, f.window);
    int failure = 0;
    if (!f.window.Messages().empty()) {
        const std::string& text = f.window.Messages().back().text;
        failure = std::stoi(text.substr(text.rfind('(') + 1));
    }

    const QJsonObject& e = c.expected;
    const int expectedFailure = e["error"].isNull() ? 0 : e["error"].toObject()["number"].toInt();
    EXPECT_EQ(failure, expectedFailure);
    EXPECT_EQ(f.state.PointCount, e["points"].toDouble());
    EXPECT_EQ(f.state.ColumnCount, e["columns"].toInt());
    EXPECT_EQ(shown(f.state.XMax), e["x_max"].toDouble());
    EXPECT_EQ(shown(f.state.YMax), e["y_max"].toDouble());
    EXPECT_EQ(shown(f.state.XAtYMax), e["x_at_y_max"].toDouble());
    const QJsonObject scale = e["scale"].toObject();
    EXPECT_EQ(shown(f.state.ScaleXMin), scale["x_min"].toDouble());
    EXPECT_EQ(shown(f.state.ScaleXMax), scale["x_max"].toDouble());
    EXPECT_EQ(shown(f.state.ScaleYMin), scale["y_min"].toDouble());
    EXPECT_EQ(shown(f.state.ScaleYMax), scale["y_max"].toDouble());
    const QJsonArray valleys = e["valleys"].toArray();
    ASSERT_EQ(f.state.ValleyCount, valleys.size());
    for (int k = 1; k <= f.state.ValleyCount; ++k) {
        const QJsonArray v = valleys[k - 1].toArray();
        EXPECT_EQ(shown(f.state.ValleyX[static_cast<size_t>(k)]), v[0].toDouble()) << "valley " << k;
        EXPECT_EQ(shown(f.state.ValleyY[static_cast<size_t>(k)]), v[1].toDouble()) << "valley " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Acceptance, DrawGolden, testing::ValuesIn(test::LoadGoldenCases()),
    [](const testing::TestParamInfo<GoldenCase>& p) { return p.param.name.toStdString(); });

}  // namespace
}  // namespace tenso
