// Texts cross into Windows as UTF-16 on the NT family: the core's UTF-8
// messages are widened here, so Japanese texts show correctly whatever the
// system's code page. The Windows 95 family takes texts in its ANSI code page
// instead (system_api.h decides which).
#pragma once

#include <string>
#include <string_view>

namespace nimbrel::win32 {

// UTF-8 <-> UTF-16. A byte that starts no valid UTF-8 sequence and an
// unpaired surrogate become U+FFFD, so bad input never stops a conversion.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// UTF-8 <-> the system's ANSI code page. Characters the code page cannot
// show become its default character ("?").
std::string ToAnsi(std::string_view utf8);
std::string FromAnsi(std::string_view ansi);

} // namespace nimbrel::win32
