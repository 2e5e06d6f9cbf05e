// Tangent and Secant on every acceptance example, after a real Draw.
#include "golden.h"

#include "analysis/modulus.h"
#include "plot/draw.h"
#include "state/number_text.h"
#include "support/fake_window.h"

#include <QJsonObject>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tenso {
namespace {

using test::GoldenCase;

const std::map<const char*, Field> resultFields = {
    {"elastic_modulus", Field::Text7},
    {"offset_strength", Field::Text8},
    {"offset_strength_at", Field::Text16},
    {"max_strength", Field::Text9},
    {"yield_strength", Field::Text15},
};

// A calculation that the example does not run has no object (or a null one).
bool absent(const QJsonValue& v) { return v.isUndefined() || v.isNull(); }

// Runs one calculation button and checks the result fields and the message box against `expected`.
void clickAndCompare(test::Form& f, int16_t index, const QJsonObject& expected)
{
    const char* method = index == 0 ? "tangent" : "secant";
    f.window.ClearMessages();
    Command1_Click(index, f.state, f.window);

    for (const auto& [key, field] : resultFields) {
        const std::string text = f.window.Text(field);
        const QJsonValue want = expected[key];
        if (want.isNull()) {
            EXPECT_EQ(text, "") << method << "." << key;
        } else {
            EXPECT_NE(text, "") << method << "." << key;
            EXPECT_EQ(Val(text), want.toDouble()) << method << "." << key << " shows \"" << text << "\"";
        }
    }
    const auto& messages = f.window.Messages();
    if (expected["message"].isNull()) {
        EXPECT_TRUE(messages.empty())
            << method << " showed \"" << (messages.empty() ? "" : messages[0].text) << "\"";
    } else {
        ASSERT_EQ(messages.size(), 1u) << method;
        if (expected["message"].toString() == "Choice the proper steps") {
            EXPECT_EQ(messages[0].text, "Choice the proper steps") << method;
        }
    }
}

class AnalysisGolden : public testing::TestWithParam<GoldenCase> { };

TEST_P(AnalysisGolden, MatchesTheIndependentCalculation)
{
    const GoldenCase& c = GetParam();
    test::Form f;
    QString method = "both";
    for (qsizetype i = 0; i + 1 < c.args.size(); i += 2) {
        if (c.args[i] == "--method")
            method = c.args[i + 1];
        else if (const auto field = test::OptionField(c.args[i]))
            f.window.SetText(*field, c.args[i + 1].toStdString());
    }
    f.state.DataFileName = c.file.toStdString();
    f.state.FileScanned = 0;

    const QJsonObject& e = c.expected;
    Command3_Click(0, f.state, f.window);
    if (!f.window.Messages().empty()) {
        // A failed Draw leaves nothing to calculate on.
        EXPECT_TRUE(absent(e["tangent"]));
        EXPECT_TRUE(absent(e["secant"]));
        return;
    }
    // The scale that the analysis draws in, as the independent calculation has it.
    const QJsonObject scale = e["scale"].toObject();
    EXPECT_EQ(Val(SingleText(f.state.ScaleXMin)), scale["x_min"].toDouble());
    EXPECT_EQ(Val(SingleText(f.state.ScaleXMax)), scale["x_max"].toDouble());
    EXPECT_EQ(Val(SingleText(f.state.ScaleYMin)), scale["y_min"].toDouble());
    EXPECT_EQ(Val(SingleText(f.state.ScaleYMax)), scale["y_max"].toDouble());

    // "both" runs Tangent first, then Secant, on the same window.
    if (method == "tangent" || method == "both") {
        clickAndCompare(f, 0, e["tangent"].toObject());
    } else {
        EXPECT_TRUE(absent(e["tangent"]));
    }
    if (method == "secant" || method == "both") {
        clickAndCompare(f, 1, e["secant"].toObject());
    } else {
        EXPECT_TRUE(absent(e["secant"]));
    }
}

INSTANTIATE_TEST_SUITE_P(Acceptance, AnalysisGolden, testing::ValuesIn(test::LoadGoldenCases()),
    [](const testing::TestParamInfo<GoldenCase>& p) { return p.param.name.toStdString(); });

}  // namespace
}  // namespace tenso
