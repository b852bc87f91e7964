// ParseInteger: decimal with an optional sign, or "$" hexadecimal, nothing else.
#include "settings/parse_integer.h"

#include "settings/errors.h"

namespace nimbrel {
namespace {

[[noreturn]] void Reject(std::string_view text)
{
    throw EConvertError(FormatErrorMessage("'%s' は整数ではありません", text));
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::int32_t ParseInteger(std::string_view text)
{
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string_view::npos) Reject(text);
    std::string_view rest = text.substr(at);

    if (rest.front() == '$') {
        rest.remove_prefix(1);
        if (rest.empty()) Reject(text);
        std::uint32_t value = 0;
        for (char c : rest) {
            int digit = HexDigitValue(c);
            // Leading zeros are free; a ninth significant digit would overflow.
            if (digit < 0 || (value >> 28) != 0) Reject(text);
            value = (value << 4) | static_cast<std::uint32_t>(digit);
        }
        return static_cast<std::int32_t>(value);
    }

    bool negative = false;
    if (rest.front() == '+' || rest.front() == '-') {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty()) Reject(text);
    // Both signs share the limit 2147483647: -2147483648 is not accepted.
    constexpr std::uint32_t kLimit = 2147483647u;
    std::uint32_t value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') Reject(text);
        std::uint32_t digit = static_cast<std::uint32_t>(c - '0');
        if (value > (kLimit - digit) / 10) Reject(text);
        value = value * 10 + digit;
    }
    auto magnitude = static_cast<std::int32_t>(value);
    return negative ? -magnitude : magnitude;
}

} // namespace nimbrel
