// The codec over QString that tenso-eval and tenso-report parse their arguments with.
#include "common/qt_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tenso::common {
namespace {

TEST(DecodeArgument, EveryByteStringSurvivesTheTripThroughQt)
{
    for (const std::string& bytes : {std::string("plain"),
             std::string("Pr\xfc"
                         "fung"),
             std::string("\xc3\xbc\xff"), std::string("\xf0\x9f\x92\xa9.csv"), std::string("\xed\xb2\x80"),
             std::string("\xef\xbb\xbf"
                         "bom")}) {
        EXPECT_EQ(EncodeArgument(DecodeArgument(bytes)), bytes) << bytes;
        // Parsing cuts arguments into pieces (--plot=PATH): each piece gives its own bytes back.
        const QString text = DecodeArgument("--plot=" + bytes);
        EXPECT_EQ(EncodeArgument(QStringView(text).mid(7)), bytes) << bytes;
    }
    EXPECT_EQ(DecodeArgument("Pr\xc3\xbc"
                             "fung"),
        QStringLiteral("Pr\u00fcfung"));  // UTF-8 reads as text
    EXPECT_EQ(DecodeArgument("caf\xe9").size(), 4);  // one unit for the stray byte
}

TEST(DisplayNameText, IsTheJsonEscapeNotAReplacementCharacter)
{
    EXPECT_EQ(DisplayNameText("caf\xe9.csv"), QStringLiteral("caf\\udce9.csv"));
    EXPECT_EQ(DisplayNameText("caf\xc3\xa9.csv"), QStringLiteral("caf\u00e9.csv"));
}

}  // namespace
}  // namespace tenso::common
