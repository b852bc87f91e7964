// The profile text parser and writer on arbitrary files and names: no crash,
// a stored value reads back unchanged, and no other entry changes.
//
// Input layout: four fields separated by the byte 0x01 - the file text, the
// section, the key and the value - then optionally a second section and key
// whose lookup must not be disturbed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile_text.h"

namespace {

std::vector<std::string_view> Split(std::string_view input)
{
    std::vector<std::string_view> fields;
    for (;;) {
        std::size_t at = input.find('\x01');
        fields.push_back(input.substr(0, at));
        if (at == std::string_view::npos) break;
        input.remove_prefix(at + 1);
    }
    fields.resize(6);
    return fields;
}

bool SameAscii(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto f = Split(input);
    std::string_view text = f[0], section = f[1], key = f[2], value = f[3];
    std::string_view otherSection = f[4], otherKey = f[5];

    std::optional<std::string> otherBefore = nimbrel::FindProfileValue(text, otherSection, otherKey);
    std::optional<std::string> updated = nimbrel::SetProfileValue(text, section, key, value);

    if (updated.has_value() != nimbrel::IsStorableProfileEntry(section, key, value)) std::abort();
    if (!updated) return 0;

    std::optional<std::string> readBack = nimbrel::FindProfileValue(*updated, section, key);
    if (!readBack || *readBack != value) std::abort();

    bool sameEntry = SameAscii(otherSection, section) && SameAscii(otherKey, key);
    if (!sameEntry && nimbrel::FindProfileValue(*updated, otherSection, otherKey) != otherBefore) {
        std::abort();
    }
    return 0;
}
