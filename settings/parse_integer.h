// The one strict text-to-integer conversion of the program.
#pragma once

#include <cstdint>
#include <string_view>

namespace nimbrel {

// Converts a text to a signed 32-bit integer. Accepts any number of leading
// blanks (character 32 only), then either an optional sign and decimal digits
// in -2147483647..2147483647, or "$" and one or more hexadecimal digits whose
// value fits 32 bits, read as a signed number ($FFFFFFFF is -1). Nothing may
// follow the digits. Anything else throws EConvertError with the message
// "'<text>' は整数ではありません".
std::int32_t ParseInteger(std::string_view text);

} // namespace nimbrel
