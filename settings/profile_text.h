// The profile format as plain text operations, shared by the portable file
// store and the fuzz tests. Windows has its own reader and writer; this one
// follows it where it matters and never loses a line it does not understand.
//
// Format: lines end in "\n" or "\r\n". A line whose first non-blank character
// is "[" starts a section, named by the text up to "]" with blanks and tabs
// around it dropped. A line holding "=" is a key: its name is the text before
// the first "=" (blanks and tabs around it dropped) and its value is the text
// after it, exactly as it stands. Lines that start with ";" are comments.
// Names match without regard to ASCII case; the first matching section and
// the first matching key in it count. Every other line is kept as it is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

// The value of the key, or nothing when the section or the key is missing.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// Whether a value can be written so that it reads back unchanged: names that
// are non-empty, free of line breaks and NULs, without blanks at their ends,
// a section without brackets, a key without "=" that starts with no ";" or
// "[", and a value without line breaks or NULs.
bool IsStorableProfileEntry(std::string_view section, std::string_view key,
                            std::string_view value);

// The text with the key set to the value: an existing value is replaced in
// place, a new key goes after the last entry of its section, and a new
// section is appended at the end. Every other line stays byte for byte.
// Nothing when the entry is not storable.
std::optional<std::string> SetProfileValue(std::string_view text, std::string_view section,
                                           std::string_view key, std::string_view value);

} // namespace nimbrel
