// UTF-8 <-> UTF-16 by hand: Windows 95 converts UTF-8 only with later
// updates, and the program must run without them. The ANSI code page is
// reached through the system's converter, which every Windows has.
#include "platform/win32/text.h"

#include <windows.h>

namespace nimbrel::win32 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point that starts at `at`, and how many bytes it takes; a byte
// that starts no valid sequence (overlong, surrogate, beyond U+10FFFF,
// truncated) is one replacement character.
char32_t DecodeUtf8(std::string_view text, std::size_t at, std::size_t& length)
{
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    const unsigned char lead = byte(at);
    length = 1;
    if (lead < 0x80) return lead;
    std::size_t extra = 0;
    char32_t value = 0, minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) { extra = 1; value = lead & 0x1F; minimum = 0x80; }
    else if (lead >= 0xE0 && lead <= 0xEF) { extra = 2; value = lead & 0x0F; minimum = 0x800; }
    else if (lead >= 0xF0 && lead <= 0xF4) { extra = 3; value = lead & 0x07; minimum = 0x10000; }
    else return kReplacement;
    if (at + extra >= text.size()) return kReplacement;
    for (std::size_t index = 1; index <= extra; ++index) {
        const unsigned char next = byte(at + index);
        if ((next & 0xC0) != 0x80) return kReplacement;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacement;
    length = extra + 1;
    return value;
}

void AppendUtf8(std::string& out, char32_t value)
{
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

} // namespace

std::wstring Widen(std::string_view utf8)
{
    std::wstring wide;
    wide.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        std::size_t length = 1;
        const char32_t value = DecodeUtf8(utf8, at, length);
        at += length;
        if (value < 0x10000) {
            wide += static_cast<wchar_t>(value);
        } else {
            wide += static_cast<wchar_t>(0xD800 + ((value - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
        }
    }
    return wide;
}

std::string Narrow(std::wstring_view utf16)
{
    std::string narrow;
    narrow.reserve(utf16.size());
    for (std::size_t at = 0; at < utf16.size(); ++at) {
        char32_t value = static_cast<char16_t>(utf16[at]);
        if (value >= 0xD800 && value <= 0xDBFF && at + 1 < utf16.size() &&
            utf16[at + 1] >= 0xDC00 && utf16[at + 1] <= 0xDFFF) {
            value = 0x10000 + ((value - 0xD800) << 10) + (static_cast<char16_t>(utf16[at + 1]) - 0xDC00);
            ++at;
        } else if (value >= 0xD800 && value <= 0xDFFF) {
            value = kReplacement;
        }
        AppendUtf8(narrow, value);
    }
    return narrow;
}

std::string ToAnsi(std::string_view utf8)
{
    const std::wstring wide = Widen(utf8);
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

std::string FromAnsi(std::string_view ansi)
{
    if (ansi.empty()) return {};
    const int size = static_cast<int>(ansi.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
    return Narrow(wide);
}

} // namespace nimbrel::win32
