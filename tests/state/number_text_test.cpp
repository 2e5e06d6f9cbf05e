#include "state/failure.h"
#include "state/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>

namespace tenso {
namespace {

TEST(Val, ReadsTheExamplesOfTheFieldRules)
{
    EXPECT_EQ(Val(" 1 2"), 12);
    EXPECT_EQ(Val("12abc"), 12);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("1e3"), 1000);
    EXPECT_EQ(Val("1d3"), 1000);
    EXPECT_EQ(Val("1D3"), 1000);
    EXPECT_EQ(Val("0,5"), 0);
    EXPECT_EQ(Val("&H1F"), 31);
    EXPECT_EQ(Val("&h1f"), 31);
    EXPECT_EQ(Val("&O17"), 15);
    EXPECT_EQ(Val("-0.5"), -0.5);
}

TEST(Val, IgnoresBlanksTabsAndLineFeedsAnywhere)
{
    EXPECT_EQ(Val("\t- 1\n2 . 5 e 1"), -125);
    EXPECT_EQ(Val("+.25"), 0.25);
    EXPECT_EQ(Val("5."), 5);
}

TEST(Val, StopsAtTheFirstCharacterThatDoesNotFit)
{
    EXPECT_EQ(Val("1.2.3"), 1.2);
    EXPECT_EQ(Val("20%"), 20);
    EXPECT_EQ(Val("1e"), 1);
    EXPECT_EQ(Val("1e+"), 1);
    EXPECT_EQ(Val("2e-1x"), 0.2);
    EXPECT_EQ(Val("-"), 0);
    EXPECT_EQ(Val("."), 0);
    EXPECT_EQ(Val("\r5"), 0);  // a carriage return is not ignored
    EXPECT_EQ(Val("&"), 0);
    EXPECT_EQ(Val("&Hxyz"), 0);
}

TEST(Val, IsCorrectlyRoundedAndIgnoresTheLocale)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    // A locale with a decimal comma, where available; the result must not change either way.
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(Val("0.5"), 0.5);
    EXPECT_EQ(Val("0.1"), 0.1);
    EXPECT_EQ(Val("2.2250738585072014e-308"), DBL_MIN);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(Val, NumbersBeyondTheDoubleRangeFailOrVanish)
{
    EXPECT_THROW(Val("1e400"), Failure);
    EXPECT_THROW(Val("-1e309"), Failure);
    EXPECT_THROW(Val(std::string(400, '9')), Failure);
    EXPECT_EQ(Val("1e-400"), 0);
    EXPECT_EQ(Val("0.000001e-320"), 0);
    EXPECT_EQ(Val("0e99999"), 0);
    EXPECT_EQ(Val("1e308"), 1e308);
    try {
        Val("1e400");
    } catch (const Failure& f) {
        EXPECT_EQ(f.number, 6);
    }
}

TEST(ToWhole, RoundsHalvesToEven)
{
    EXPECT_EQ(ToWhole(2.6), 3);
    EXPECT_EQ(ToWhole(2.5), 2);
    EXPECT_EQ(ToWhole(3.5), 4);
    EXPECT_EQ(ToWhole(-2.5), -2);
    EXPECT_EQ(ToWhole(-0.4), 0);
}

TEST(ToWhole, RefusesWhatDoesNotFitSixteenBits)
{
    EXPECT_EQ(ToWhole(32767.4), 32767);
    EXPECT_EQ(ToWhole(-32768.5), -32768);  // halfway, the even neighbour fits
    EXPECT_EQ(ToWhole(32767.5), std::nullopt);
    EXPECT_EQ(ToWhole(-32769), std::nullopt);
    EXPECT_EQ(ToWhole(1e300), std::nullopt);
}

TEST(SingleText, ShowsSevenSignificantDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(SingleText(1.1f), "1.1");
    EXPECT_EQ(SingleText(23.1f), "23.1");
    EXPECT_EQ(SingleText(-50.0f), "-50");
    EXPECT_EQ(SingleText(0.012f), "0.012");
    EXPECT_EQ(SingleText(999999.0f), "999999");
    EXPECT_EQ(SingleText(0.0f), "0");
    EXPECT_EQ(SingleText(-0.0f), "0");
    EXPECT_EQ(SingleText(280962.0f), "280962");
    EXPECT_EQ(SingleText(-28096.2f), "-28096.2");
    EXPECT_EQ(SingleText(0.2060814f), "0.2060814");
    EXPECT_EQ(SingleText(1234567.0f), "1234567");
    EXPECT_EQ(SingleText(0.001480784f), "0.001480784");
}

TEST(SingleText, RoundsTheExactBinaryValue)
{
    // 16777217 is not a float; 16777216 is, and shows with 7 digits in exponent form.
    EXPECT_EQ(SingleText(16777216.0f), "1.677722E+07");
    // 0.3 as a float is 0.300000011920928955078125.
    EXPECT_EQ(SingleText(0.3f), "0.3");
    // The float nearest 1.0000005 is 1.000000477, which rounds down.
    EXPECT_EQ(SingleText(1.0000005f), "1");
    // Exact ties in the eighth digit go to the even neighbour.
    EXPECT_EQ(SingleText(1234567.5f), "1234568");
    EXPECT_EQ(SingleText(1234568.5f), "1234568");
}

TEST(SingleText, UsesExponentFormOutsideThePlainRange)
{
    EXPECT_EQ(SingleText(1e7f), "1E+07");
    EXPECT_EQ(SingleText(12345678.0f), "1.234568E+07");
    EXPECT_EQ(SingleText(1.5e-8f), "1.5E-08");
    EXPECT_EQ(SingleText(0.00001f), "0.00001");
    EXPECT_EQ(SingleText(0.000001f), "1E-06");
    EXPECT_EQ(SingleText(-FLT_MAX), "-3.402823E+38");
    EXPECT_EQ(SingleText(FLT_TRUE_MIN), "1.401298E-45");
}

// The text a field shows, read back as a Single, must show the same text again: Draw writes the
// scale as text and the change rules read it back.
void expectStableText(float f)
{
    const std::string text = SingleText(f);
    const auto back = static_cast<float>(Val(text));
    ASSERT_EQ(SingleText(back), text) << "for " << f;
}

TEST(SingleText, ReadsBackToTheSameTextForSpecialValues)
{
    for (float f : {0.0f, -0.0f, 1.0f, -1.0f, FLT_MAX, -FLT_MAX, FLT_MIN, FLT_TRUE_MIN, 0.1f, 1e-5f, 1e7f,
             999999.5f, 9999999.0f, 16777215.0f, 8589934592.0f})
        expectStableText(f);
    // Around every power of two, where the float spacing changes.
    for (int e = -149; e < 128; ++e) {
        float p = std::ldexp(1.0f, e);
        for (int k = 0; k < 64 && std::isfinite(p); ++k, p = std::nextafter(p, FLT_MAX)) {
            expectStableText(p);
            expectStableText(-p);
        }
    }
}

TEST(SingleText, PowersOfTenThatNoFloatReachesShowTheFloatTheyReadBackAs)
{
    // The floats nearest 1e28 lie at 9.99999944e27 and 1.00000006e28: the text "1E+28" of the upper
    // one would read back as the lower one. Both show the lower one's text, which is stable.
    const float below = 1e28f;  // the nearest float to 1e28 is 9.99999944e27
    EXPECT_EQ(SingleText(below), "9.999999E+27");
    const float above = std::nextafter(below, FLT_MAX);
    EXPECT_EQ(SingleText(above), "9.999999E+27");
    EXPECT_EQ(SingleText(-above), "-9.999999E+27");
    // Where the power of ten reads back to itself nothing changes.
    EXPECT_EQ(SingleText(1e10f), "1E+10");
    for (float p : {1e28f, 1e-38f, 1e-5f, 1e20f}) {
        float f = p;
        for (int k = 0; k < 16; ++k, f = std::nextafter(f, FLT_MAX)) {
            expectStableText(f);
            expectStableText(-f);
        }
    }
}

}  // namespace
}  // namespace tenso
