// Texts cross into Windows as UTF-16: the core's UTF-8 messages are widened
// here, so Japanese texts show correctly whatever the system's code page.
#pragma once

#include <string>
#include <string_view>

namespace nimbrel::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

} // namespace nimbrel::win32
