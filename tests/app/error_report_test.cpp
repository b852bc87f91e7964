// The wording of the start-up error report.
#include "app/error_report.h"

#include <gtest/gtest.h>

#include "settings/errors.h"

namespace nimbrel {
namespace {

TEST(ErrorReportTest, NamesClassFileAddressAndMessage)
{
    EXPECT_EQ(StartupErrorReportText("EConvertError", "C:\\WINDOWS\\NIMBREL.SCR", 0x0040A1B2,
                                     "'12ab' は整数ではありません"),
              "EConvertErrorがﾓｼﾞｭｰﾙ NIMBREL.SCR の\r\n"
              "0040A1B2 で発生しました。\r\n"
              "'12ab' は整数ではありません.");
    EXPECT_EQ(StartupErrorReportText("Exception", "C:N.SCR", 0xFFFFFFFF, "Done."),
              "Exceptionがﾓｼﾞｭｰﾙ N.SCR の\r\nFFFFFFFF で発生しました。\r\nDone.");
}

TEST(ErrorReportTest, HelpersKeepOnePeriodAndTheBareFileName)
{
    EXPECT_EQ(WithFinalPeriod("abc."), "abc.");
    EXPECT_EQ(WithFinalPeriod("abc。"), "abc。.");
    EXPECT_EQ(WithFinalPeriod(""), ".");
    EXPECT_EQ(FileNameOf("/opt/n.scr"), "n.scr");
    EXPECT_EQ(FileNameOf("N.SCR"), "N.SCR");
}

} // namespace
} // namespace nimbrel
