// The wording of the start-up error report.
#include "app/error_report.h"

#include <tuple>

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(ErrorReportTest, NamesClassBareFileNameUpperCaseAddressAndMessageWithOneFinalPeriod)
{
    const std::tuple<const char*, std::uint32_t, const char*, const char*> cases[] = {
        {"C:\\WINDOWS\\NIMBREL.SCR", 0x0040A1B2, "'12ab' は整数ではありません",
         "NIMBREL.SCR の\r\n0040A1B2 で発生しました。\r\n'12ab' は整数ではありません."},
        {"C:N.SCR", 0xFFFFFFFF, "Done.", "N.SCR の\r\nFFFFFFFF で発生しました。\r\nDone."},
        {"/opt/n.scr", 0xABCDEF, "終わり。", "n.scr の\r\n00ABCDEF で発生しました。\r\n終わり。."},
        {"N.SCR", 0, "", "N.SCR の\r\n00000000 で発生しました。\r\n."},
    };
    for (const auto& [path, address, message, text] : cases) {
        EXPECT_EQ(StartupErrorReportText("EConvertError", path, address, message),
                  std::string("EConvertErrorがﾓｼﾞｭｰﾙ ") + text)
            << path;
    }
}

} // namespace
} // namespace nimbrel
