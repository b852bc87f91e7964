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

} // namespace
} // namespace nimbrel::win32
