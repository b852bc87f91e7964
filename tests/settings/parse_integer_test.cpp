// ParseInteger: the accepted forms, the 32-bit limits and the error message.
#include "settings/parse_integer.h"

#include <gtest/gtest.h>

#include "settings/errors.h"

namespace nimbrel {
namespace {

std::string MessageOf(std::string_view text)
{
    try {
        ParseInteger(text);
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(ParseIntegerTest, ReadsDecimalWithOptionalSign)
{
    EXPECT_EQ(ParseInteger("12"), 12);
    EXPECT_EQ(ParseInteger("+7"), 7);
    EXPECT_EQ(ParseInteger("007"), 7);
    EXPECT_EQ(ParseInteger("-5"), -5);
    EXPECT_EQ(ParseInteger("0"), 0);
    EXPECT_EQ(ParseInteger("-0"), 0);
}

TEST(ParseIntegerTest, SkipsLeadingSpacesOnly)
{
    EXPECT_EQ(ParseInteger("  12"), 12);
    EXPECT_EQ(ParseInteger("   $ff"), 255);
    EXPECT_THROW(ParseInteger("\t12"), EConvertError);
    EXPECT_THROW(ParseInteger("12 "), EConvertError);
    EXPECT_THROW(ParseInteger("- 1"), EConvertError);
    EXPECT_THROW(ParseInteger("$ 1"), EConvertError);
}

TEST(ParseIntegerTest, DecimalLimitsAreSymmetric)
{
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseInteger("-2147483647"), -2147483647);
    EXPECT_EQ(ParseInteger("00000000002147483647"), 2147483647);
    EXPECT_THROW(ParseInteger("2147483648"), EConvertError);
    EXPECT_THROW(ParseInteger("-2147483648"), EConvertError);
    EXPECT_THROW(ParseInteger("99999999999999999999"), EConvertError);
}

TEST(ParseIntegerTest, HexTakesUpToEightSignificantDigits)
{
    EXPECT_EQ(ParseInteger("$1f"), 31);
    EXPECT_EQ(ParseInteger("$1F"), 31);
    EXPECT_EQ(ParseInteger("$7FFFFFFF"), 2147483647);
    EXPECT_EQ(ParseInteger("$80000000"), -2147483647 - 1);
    EXPECT_EQ(ParseInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(ParseInteger("$0000000000FF"), 255);
    EXPECT_THROW(ParseInteger("$100000000"), EConvertError);
    EXPECT_THROW(ParseInteger("$-1"), EConvertError);
    EXPECT_THROW(ParseInteger("-$1"), EConvertError);
    EXPECT_THROW(ParseInteger("$g"), EConvertError);
}

TEST(ParseIntegerTest, RejectsEverythingElse)
{
    for (const char* text : {"", " ", "$", "-", "+", "1.5", "true", "0x10", "1e3", "١", "+-1"}) {
        EXPECT_THROW(ParseInteger(text), EConvertError) << "'" << text << "'";
    }
    EXPECT_THROW(ParseInteger(std::string_view("1\0", 2)), EConvertError);
}

TEST(ParseIntegerTest, MessageQuotesTheWholeText)
{
    EXPECT_EQ(MessageOf("abc"), "'abc' は整数ではありません");
    EXPECT_EQ(MessageOf(" 12 "), "' 12 ' は整数ではありません");
    EXPECT_EQ(MessageOf(""), "'' は整数ではありません");
}

TEST(ParseIntegerTest, ConversionErrorNamesItsClass)
{
    try {
        ParseInteger("x");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.ClassName(), "EConvertError");
    }
}

} // namespace
} // namespace nimbrel
