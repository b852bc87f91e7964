// UTF-8 texts of the core reach Windows as the same characters.
#include "platform/win32/text.h"

#include <gtest/gtest.h>

namespace nimbrel::win32 {
namespace {

TEST(TextTest, WidensJapaneseAndHalfWidthKatakana)
{
    EXPECT_EQ(Widen("ｼｽﾃﾑ ﾘｿｰｽが足りません"),
              L"\uFF7C\uFF7D\uFF83\uFF91 \uFF98\uFF7F\uFF70\uFF7D\u304C\u8DB3\u308A\u307E\u305B\u3093");
    EXPECT_EQ(Widen(""), L"");
    EXPECT_EQ(Narrow(Widen("'abc' は整数ではありません")), "'abc' は整数ではありません");
}

TEST(TextTest, BadUtf8AndLoneSurrogatesBecomeReplacementCharactersAndPairsSurvive)
{
    // A stray byte, an overlong form and a sequence cut off at the end.
    EXPECT_EQ(Widen("a\xFF" "b\xC0\xAF" "c\xE3\x81"), L"a\uFFFDb\uFFFD\uFFFDc\uFFFD\uFFFD");
    EXPECT_EQ(Widen("\xF0\x9F\x98\x80"), L"\xD83D\xDE00");
    EXPECT_EQ(Narrow(L"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Narrow(L"x\xD800y"), "x\xEF\xBF\xBDy");
    EXPECT_EQ(FromAnsi(ToAnsi("Nimbrel ver1.00")), "Nimbrel ver1.00");
}

} // namespace
} // namespace nimbrel::win32
