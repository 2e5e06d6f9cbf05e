#include "data/data_file.h"
#include "state/failure.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tenso {
namespace {

using Kind = DataField::Kind;

// Every field of the file in the data view, numbers as their values, text as "T", empty as "E".
std::vector<std::string> fieldsOf(std::string_view content)
{
    test::TempFile file(content);
    DataFile f(file.path(), DataFile::View::Data);
    std::vector<std::string> out;
    while (!f.AtEnd()) {
        const DataField d = f.ReadField();
        if (d.kind == Kind::Empty)
            out.push_back("E");
        else if (d.kind == Kind::Text)
            out.push_back("T");
        else {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%g", d.value);
            out.emplace_back(buf);
        }
    }
    return out;
}

using Fields = std::vector<std::string>;

TEST(DataFields, NumbersSeparatedByCommasOrBlanks)
{
    EXPECT_EQ(fieldsOf("0.0  0  0.0\r\n0.5 1 10.5\r\n1.0,2,21.0\r\n"),
        (Fields {"0", "0", "0", "0.5", "1", "10.5", "1", "2", "21"}));
    EXPECT_EQ(fieldsOf("1 , 2\n3\t4\n"), (Fields {"1", "2", "3", "4"}));
    EXPECT_EQ(fieldsOf("  -1.5E+2,+2e-1,.5,5."), (Fields {"-150", "0.2", "0.5", "5"}));
}

TEST(DataFields, EmptyFields)
{
    EXPECT_EQ(fieldsOf("1,,2\r\n"), (Fields {"1", "E", "2"}));
    EXPECT_EQ(fieldsOf("1,2,\r\n3,4,\r\n"), (Fields {"1", "2", "E", "3", "4", "E"}));
    // A blank line between records is one empty field; blank lines at the end are nothing.
    EXPECT_EQ(fieldsOf("1,2\r\n\r\n3,4\r\n \t\r\n\r\n"), (Fields {"1", "2", "E", "3", "4"}));
    // A comma just before the end of the file still gives its field.
    EXPECT_EQ(fieldsOf("0.2864,,,,"), (Fields {"0.2864", "E", "E", "E", "E"}));
    EXPECT_EQ(fieldsOf("1, \n2"), (Fields {"1", "E", "2"}));
}

TEST(DataFields, BlanksBeforeALineEndMakeNoField)
{
    EXPECT_EQ(fieldsOf("1 2   \r\n3 4 \n"), (Fields {"1", "2", "3", "4"}));
}

TEST(DataFields, LineEndsOfEveryKind)
{
    EXPECT_EQ(fieldsOf("1,2\r3,4\n5,6\r\n7,8"), (Fields {"1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(fieldsOf("1\n\r2"), (Fields {"1", "E", "2"}));  // LF then a lone CR: two line ends
}

TEST(DataFields, QuotedAndUnquotedText)
{
    EXPECT_EQ(fieldsOf("\"ISO 6892-1, method B\",3\r\n"), (Fields {"T", "3"}));
    EXPECT_EQ(fieldsOf("\"12.5\",\" 7 \"\r\n"), (Fields {"12.5", "7"}));
    EXPECT_EQ(fieldsOf("Strain [ue]    Stress [MPa]\r\n"), (Fields {"T"}));
    EXPECT_EQ(fieldsOf("12abc,1,006.3\r\n"), (Fields {"T", "1", "6.3"}));
    EXPECT_EQ(fieldsOf("12 abc\r\n"), (Fields {"12", "T"}));
    EXPECT_EQ(fieldsOf("1e,1e+5,-,+.e3\r\n"), (Fields {"T", "100000", "T", "T"}));
    EXPECT_EQ(fieldsOf("\"unterminated, quote\r\n5"), (Fields {"T", "5"}));
}

TEST(DataFields, NumbersBeyondTheDoubleRange)
{
    test::TempFile file("1e999,1e-999,-1e999");
    DataFile f(file.path(), DataFile::View::Data);
    EXPECT_TRUE(std::isinf(f.ReadField().value));
    EXPECT_EQ(f.ReadField().value, 0);
    EXPECT_EQ(f.ReadField().value, -HUGE_VAL);
}

TEST(DataFields, AVeryLongFieldIsTextAndIsNotHeldWhole)
{
    std::string content(3'000'000, '7');
    content += ",1";
    EXPECT_EQ(fieldsOf(content), (Fields {"T", "1"}));
}

TEST(DataFields, ReadingPastTheEndFails)
{
    test::TempFile file("1\r\n");
    DataFile f(file.path(), DataFile::View::Data);
    f.ReadField();
    EXPECT_TRUE(f.AtEnd());
    try {
        f.ReadField();
        FAIL();
    } catch (const Failure& e) {
        EXPECT_EQ(e.number, 62);
    }
}

TEST(DataLines, RawViewKeepsTrailingBlankLinesAndCapsLongLines)
{
    test::TempFile file("abc\r\n" + std::string(5000, 'x') + "\n\r\n");
    DataFile f(file.path(), DataFile::View::Raw);
    std::string line;
    ASSERT_TRUE(f.ReadLine(line, 1024));
    EXPECT_EQ(line, "abc");
    ASSERT_TRUE(f.ReadLine(line, 1024));
    EXPECT_EQ(line.size(), 1024u);
    ASSERT_TRUE(f.ReadLine(line, 1024));
    EXPECT_EQ(line, "");
    EXPECT_FALSE(f.ReadLine(line, 1024));
}

TEST(DataLines, BlankLinesAtTheEndAreNotLinesOfTheDataView)
{
    // Longer than one read buffer of blanks, to walk backwards over several chunks.
    test::TempFile file("a\r\nb\r\n" + std::string(200'000, ' ') + "\r\n\t\n");
    DataFile f(file.path(), DataFile::View::Data);
    f.SkipLine();
    EXPECT_FALSE(f.AtEnd());
    f.SkipLine();
    EXPECT_TRUE(f.AtEnd());
    EXPECT_THROW(f.SkipLine(), Failure);
}

int16_t openFailure(const std::string& path)
{
    try {
        DataFile f(path, DataFile::View::Data);
    } catch (const Failure& e) {
        return e.number;
    }
    return 0;
}

TEST(DataFileOpen, FailureNumbers)
{
    test::TempFile file("1,2\r\n");
    EXPECT_EQ(openFailure(file.folder() + "/missing.dat"), 53);
    EXPECT_EQ(openFailure(file.folder() + "/no/such/folder/x.dat"), 76);
    EXPECT_EQ(openFailure(file.path() + "/x.dat"), 76);  // a file used as a folder
    EXPECT_EQ(openFailure(file.folder()), 75);  // a folder
    EXPECT_EQ(openFailure("/dev/null"), 75);  // a device
    EXPECT_EQ(openFailure(""), 52);
    EXPECT_EQ(openFailure(file.folder() + "/" + std::string(300, 'n')), 52);
}

}  // namespace
}  // namespace tenso
