// The start-up error report: how an error that escapes start-up is worded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbrel {

inline constexpr std::string_view kStartupErrorTitle = "ｱﾌﾟﾘｹｰｼｮﾝ ｴﾗｰ";

// The file name of a path: what follows its last "\", "/" or drive ":".
std::string_view FileNameOf(std::string_view path);

// Three lines, separated by CR LF:
//   <class name>がﾓｼﾞｭｰﾙ <program file name> の
//   <code address, 8 upper-case hex digits> で発生しました。
//   <message, with a final ".">
std::string StartupErrorReportText(std::string_view className, std::string_view programPath,
                                   std::uint32_t codeAddress, std::string_view message);

} // namespace nimbrel
