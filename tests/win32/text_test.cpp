// Bad UTF-8 and lone surrogates between the core and Windows: replacement
// characters rather than lost or misread text. Whole texts are checked where
// the dialogs and the error box show them.
#include "platform/win32/text.h"

#include <gtest/gtest.h>

namespace nimbrel::win32 {
namespace {

TEST(TextTest, BadUtf8AndLoneSurrogatesBecomeReplacementCharactersAndPairsSurvive)
{
    // A stray byte, an overlong form and a sequence cut off at the end.
    EXPECT_EQ(Widen("a\xFF" "b\xC0\xAF" "c\xE3\x81"), L"a\uFFFDb\uFFFD\uFFFDc\uFFFD\uFFFD");
    EXPECT_EQ(Widen("\xF0\x9F\x98\x80"), L"\xD83D\xDE00");
    EXPECT_EQ(Narrow(L"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Narrow(L"x\xD800y"), "x\xEF\xBF\xBDy");
}

} // namespace
} // namespace nimbrel::win32
