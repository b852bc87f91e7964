// ParseInteger against a second, deliberately plain reading of the same rule:
// both must accept the same texts with the same values, and reject the rest
// with the same message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "settings/errors.h"
#include "settings/parse_integer.h"

namespace {

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c)
{
    return IsDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(char c)
{
    if (IsDecimalDigit(c)) return c - '0';
    return (c | 0x20) - 'a' + 10;
}

// Strips the leading zeros of a digit string, keeping at least one digit.
std::string WithoutLeadingZeros(std::string digits)
{
    while (digits.size() > 1 && digits[0] == '0') digits.erase(0, 1);
    return digits;
}

std::optional<std::int32_t> Reference(std::string text)
{
    while (!text.empty() && text[0] == ' ') text.erase(0, 1);
    if (text.empty()) return std::nullopt;
    if (text[0] == '$') {
        std::string digits = text.substr(1);
        if (digits.empty()) return std::nullopt;
        for (char c : digits) if (!IsHexDigit(c)) return std::nullopt;
        digits = WithoutLeadingZeros(digits);
        if (digits.size() > 8) return std::nullopt;
        std::uint64_t value = 0;
        for (char c : digits) value = value * 16 + HexValue(c);
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        text.erase(0, 1);
    }
    if (text.empty()) return std::nullopt;
    for (char c : text) if (!IsDecimalDigit(c)) return std::nullopt;
    text = WithoutLeadingZeros(text);
    if (text.size() > 10) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    if (value > 2147483647) return std::nullopt;
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::optional<std::int32_t> expected = Reference(text);
    try {
        std::int32_t value = nimbrel::ParseInteger(text);
        if (!expected || *expected != value) std::abort();
    } catch (const nimbrel::EConvertError& e) {
        if (expected) std::abort();
        // what() ends at the first NUL, so compare only that far.
        std::string message = "'" + text + "' は整数ではありません";
        if (std::string(e.what()) != message.c_str()) std::abort();
    }
    return 0;
}
