// Wording of the start-up error report.
#include "app/error_report.h"

#include "settings/errors.h"

#include <array>

namespace nimbrel {


std::string_view FileNameOf(std::string_view path)
{
    const std::size_t last = path.find_last_of("\\/:");
    return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::string StartupErrorReportText(std::string_view className, std::string_view programPath,
                                   std::uint32_t codeAddress, std::string_view message)
{
    std::array<char, 8> address{};
    for (std::size_t i = address.size(); i-- > 0; codeAddress >>= 4) {
        address[i] = "0123456789ABCDEF"[codeAddress & 0xF];
    }
    std::string text(className);
    text += "がﾓｼﾞｭｰﾙ ";
    text += FileNameOf(programPath);
    text += " の\r\n";
    text.append(address.data(), address.size());
    text += " で発生しました。\r\n";
    text += WithFinalPeriod(message);
    return text;
}

} // namespace nimbrel
