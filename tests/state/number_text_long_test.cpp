// The long run of the SingleText round trip, apart so that scripts/test --quick can leave it out.
#include "state/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

namespace tenso {
namespace {

// The text a field shows, read back as a Single, must show the same text again: Draw writes the
// scale as text and the change rules read it back.
void expectStableText(float f)
{
    const std::string text = SingleText(f);
    const auto back = static_cast<float>(Val(text));
    ASSERT_EQ(SingleText(back), text) << "for " << f;
}

TEST(SingleText, ReadsBackToTheSameTextForMillionsOfRandomFloats)
{
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<uint32_t> bits;
    for (int n = 0; n < 2'000'000; ++n) {
        const uint32_t b = bits(rng);
        float f;
        std::memcpy(&f, &b, sizeof f);
        if (!std::isfinite(f))
            continue;
        expectStableText(f);
    }
}

}  // namespace
}  // namespace tenso
