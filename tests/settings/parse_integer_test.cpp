// ParseInteger: the accepted forms, the 32-bit limits and the error message.
#include "settings/parse_integer.h"

#include <gtest/gtest.h>

#include <optional>

#include "settings/errors.h"

namespace nimbrel {
namespace {

TEST(ParseIntegerTest, AcceptsDecimalOrDollarHexAndRejectsTheRestWithItsText)
{
    constexpr std::optional<std::int32_t> kRejected;
    const std::pair<std::string_view, std::optional<std::int32_t>> cases[] = {
        // Decimal with an optional sign, after leading spaces only.
        {"+007", 7}, {"-0", 0}, {"  -12", -12}, {"\t12", kRejected}, {"12 ", kRejected}, {"- 1", kRejected},
        {"+-1", kRejected},
        // Both signs share the limit 2147483647.
        {"00000000002147483647", 2147483647}, {"-2147483647", -2147483647}, {"2147483648", kRejected},
        {"-2147483648", kRejected}, {"99999999999999999999", kRejected},
        // "$" and up to eight significant hex digits, read as a signed value.
        {"   $1f", 31}, {"$7FFFFFFF", 2147483647}, {"$80000000", -2147483647 - 1}, {"$0000000000FFFFFFFF", -1},
        {"$100000000", kRejected}, {"$ 1", kRejected}, {"$-1", kRejected}, {"-$1", kRejected}, {"$g", kRejected},
        // Nothing else.
        {"", kRejected}, {" ", kRejected}, {"$", kRejected}, {"-", kRejected}, {"1.5", kRejected},
        {"0x10", kRejected}, {"1e3", kRejected}, {"١", kRejected}, {std::string_view("1\0", 2), kRejected},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE("'" + std::string(text) + "'");
        try {
            EXPECT_EQ(std::optional(ParseInteger(text)), expected);
        } catch (const EConvertError& e) {
            EXPECT_FALSE(expected) << e.what();
            // The message quotes the whole text, blanks included (as far as
            // a C string reaches).
            const std::string message = "'" + std::string(text) + "' は整数ではありません";
            EXPECT_STREQ(e.what(), message.c_str());
            EXPECT_EQ(e.ClassName(), "EConvertError");
        }
    }
}

} // namespace
} // namespace nimbrel
